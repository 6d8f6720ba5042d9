#include "startwin/AllBankWind.h"

#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

AllBankWind::AllBankWind(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("AllBankWind"));
    setProperty("qdrForm", true);
    setWindowTitle(QStringLiteral("Transferring"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    face_ = DialogFace(this, app.images, {28, 22, 28, 18}, 8);
    auto* col = static_cast<QVBoxLayout*>(face_->layout());

    StartMessege[0] = new QLabel(QStringLiteral("Transferring"), face_);
    QFont big = StartMessege[0]->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    StartMessege[0]->setFont(big);
    StartMessege[0]->setMinimumWidth(360);
    StartMessege[1] = new QLabel(QStringLiteral("from PC to QDR318."), face_);
    QFont second = StartMessege[1]->font();
    second.setPointSizeF(second.pointSizeF() * 1.15);
    StartMessege[1]->setFont(second);
    Label3 = new QLabel(QStringLiteral("Progress"), face_);
    BankProgress = new QProgressBar(face_);
    BankProgress->setRange(0, 16);
    BankProgress->setValue(0);
    BankProgress->setFormat(QStringLiteral("%v / %m"));
    CancelButton = new QPushButton(QStringLiteral("CANCEL"), face_);
    CancelButton->setAutoDefault(false);
    CancelButton->setMinimumSize(96, 30);

    col->addWidget(StartMessege[0]);
    col->addWidget(StartMessege[1]);
    col->addSpacing(6);
    col->addWidget(Label3);
    col->addWidget(BankProgress);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(CancelButton);
    col->addSpacing(6);
    col->addLayout(row);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &AllBankWind::Timer1_Timer);
    connect(CancelButton, &QPushButton::clicked, this, &AllBankWind::CancelButton_Click);
}

void AllBankWind::SetPicture(bool on) {
    if (on)
        face_->setPicture(ImageWind::Pic::Silver86);
    else
        face_->clearPicture();
}

bool AllBankWind::HasPicture() const {
    return face_->hasPicture();
}

void AllBankWind::SetProgress(int m) {
    BankProgress->setValue(m);
}

void AllBankWind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Form_Activate();
}

void AllBankWind::Form_Activate() {
    StartMessege[1]->setText(TransDir == 0 ? QStringLiteral("from PC to QDR318.")
                                           : QStringLiteral("from QDR318 to PC."));
    cancelFlag_ = 0;
    CancelButton->setEnabled(true);
    BankResult = -1;
    BankProgress->setValue(0);
    Timer1.start();
}

void AllBankWind::Timer1_Timer() {
    if (cancelFlag_ == 0) {
        Timer1.stop();
        app_.link.AllBankContinue = true;
        running_ = true;
        if (TransDir == 0)
            app_.send->SendAllBankData();
        else
            app_.lib->AllBankRead();
        running_ = false;
        if (cancelFlag_ == 0) {
            BankResult = -1;
            accept();
        }
        return;
    }
    // While a cancelled transfer winds down, ticks wait for its end. A cancel
    // before it began has nothing to wait for (and AllBankDone is still
    // False when no transfer has run yet).
    if (app_.link.AllBankDone || !running_) {
        BankResult = 0;
        Timer1.stop();
        accept();
    }
}

void AllBankWind::CancelButton_Click() {
    CancelButton->setEnabled(false);
    app_.link.AllBankContinue = false;
    cancelFlag_ = 1;
    Timer1.start();
}
