#include "startwin/BankReadWind.h"

#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

BankReadWind::BankReadWind(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("BankReadWind"));
    setProperty("qdrForm", true);
    setWindowTitle(QStringLiteral("Transferring Now."));
    // No close box: the read ends the dialog, nothing else does.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    face_ = DialogFace(this, app.images, {28, 22, 28, 18}, 8);
    auto* col = static_cast<QVBoxLayout*>(face_->layout());

    StartMessege[4] = new QLabel(QStringLiteral("QDR318 Transferring Now."), face_);
    QFont big = StartMessege[4]->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    StartMessege[4]->setFont(big);
    StartMessege[4]->setMinimumWidth(360);
    StartMessege[3] = new QLabel(QStringLiteral("Just waiting"), face_);
    Label3 = new QLabel(QStringLiteral("Progress"), face_);
    BankProgress = new QProgressBar(face_);
    BankProgress->setRange(0, 100);
    BankProgress->setValue(0);
    BankProgress->setTextVisible(false);
    BankProgress->setFixedHeight(14);
    CancelButton = new QPushButton(QStringLiteral("CANCEL"), face_);
    CancelButton->setEnabled(false);
    CancelButton->setAutoDefault(false);
    CancelButton->setMinimumSize(96, 30);

    col->addWidget(StartMessege[4]);
    col->addWidget(StartMessege[3]);
    col->addSpacing(6);
    col->addWidget(Label3);
    col->addWidget(BankProgress);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(CancelButton);
    col->addSpacing(6);
    col->addLayout(row);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &BankReadWind::Timer1_Timer);
}

void BankReadWind::SetPicture(bool on) {
    if (on)
        face_->setPicture(ImageWind::Pic::Silver86);
    else
        face_->clearPicture();
}

bool BankReadWind::HasPicture() const {
    return face_->hasPicture();
}

void BankReadWind::ShowBankReadWind(int mode) {
    ReadMode = mode;
    SetPicture(mode == 0);
    exec();
}

void BankReadWind::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Form_Activate();
}

void BankReadWind::Form_Activate() {
    QLabel* text = StartMessege[4];
    if (app_.link.OnLine) {
        setWindowTitle(QStringLiteral("Transferring now"));
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        text->setText(QStringLiteral("QDR318 transferring now."));
    } else {
        setWindowTitle(QStringLiteral("Offline"));
        text->setAlignment(Qt::AlignCenter);
        text->setText(QStringLiteral("Offline"));
    }
    // Painted now: the read that follows keeps the event loop busy.
    text->repaint();
    StartMessege[3]->clear();
    BankProgress->setValue(0);
    Timer1.start();
}

void BankReadWind::Timer1_Timer() {
    Timer1.stop();
    if (ReadMode == 0) app_.lib->ReadNameAll();
    app_.lib->ReadBankParam();
    if (dispAllParam) dispAllParam();
    if (afterRead) afterRead();
    accept();
}
