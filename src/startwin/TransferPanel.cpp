#include "startwin/TransferPanel.h"

#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TransferPanel::TransferPanel(App& app, const QString& title, const QString& heading, const QString& line,
                             QWidget* parent)
    : QDialog(parent), app_(app) {
    setProperty("qdrForm", true);
    setWindowTitle(title);
    // No close box: the transfer ends the panel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    face_ = DialogFace(this, app.images, {28, 22, 28, 18}, 8);
    auto* col = static_cast<QVBoxLayout*>(face_->layout());

    heading_ = new QLabel(heading, face_);
    QFont big = heading_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    heading_->setFont(big);
    heading_->setMinimumWidth(360);
    line_ = new QLabel(line, face_);
    Label3 = new QLabel(QStringLiteral("Progress"), face_);
    BankProgress = new QProgressBar(face_);
    BankProgress->setValue(0);
    CancelButton = new QPushButton(QStringLiteral("CANCEL"), face_);
    CancelButton->setAutoDefault(false);
    CancelButton->setMinimumSize(96, 30);

    col->addWidget(heading_);
    col->addWidget(line_);
    col->addSpacing(6);
    col->addWidget(Label3);
    col->addWidget(BankProgress);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(CancelButton);
    col->addSpacing(6);
    col->addLayout(row);

    Timer1.setInterval(1000);
}

void TransferPanel::SetPicture(bool on) {
    if (on)
        face_->setPicture(ImageWind::Pic::Silver86);
    else
        face_->clearPicture();
}

bool TransferPanel::HasPicture() const {
    return face_->hasPicture();
}

void TransferPanel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}
