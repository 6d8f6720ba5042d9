#include "editor/InTrimWind.h"

#include "editor/MainWind.h"
#include "editor/PanelParts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void MarkGainButton(QPushButton* button, bool open) {
    QPalette pal;
    if (open)
        pal.setColor(QPalette::Button, QColor::fromRgb(VbColor(0xC0C0FF)));
    button->setPalette(pal);
}

InTrimWind::InTrimWind(const ImageWind& images, MainWind& owner)
    : FaceDialog(images, {20, 14, 20, 14}, 10, &owner), images_(images), owner_(owner) {
    setObjectName(QStringLiteral("InTrimWind"));
    setWindowTitle(QStringLiteral("INPUT GAIN"));
    QVBoxLayout* col = column();

    col->addLayout(panel::PortHead(face_, 120, LineCH, LineName));

    Label1[1] = panel::Legend(QStringLiteral("INPUT GAIN"), face_);
    col->addWidget(Label1[1]);

    MicLine = new QLabel(QStringLiteral("LINE"), face_);
    MicLine->setFixedSize(panel::KeySize.width(), 20);
    MicLine->setAlignment(Qt::AlignCenter);
    MicLine->setFrameShape(QFrame::Panel);
    MicLine->setFrameShadow(QFrame::Sunken);
    Minus = panel::Key(images, QStringLiteral("-"), face_, {30, 24});
    Plus = panel::Key(images, QStringLiteral("+"), face_, {30, 24});
    for (PicButton* b : {Minus, Plus}) {
        b->setToolTip(QStringLiteral("Adjust Input GAIN."));
        b->setFont(Scaled(b->font(), 1.3, true));
    }
    TrimData = new QLabel(face_);
    TrimData->setFixedSize(64, 24);
    TrimData->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TrimData->setFrameShape(QFrame::Box);
    TrimData->setFont(Scaled(TrimData->font(), 1.2, true));
    panel::SetBackColor(TrimData, 0xF6FBFB);
    Label1[2] = panel::Legend(QStringLiteral("dB"), face_);
    auto* gain = new QHBoxLayout;
    gain->setSpacing(6);
    gain->addWidget(MicLine);
    gain->addSpacing(8);
    gain->addWidget(Minus);
    gain->addWidget(TrimData);
    gain->addWidget(Label1[2]);
    gain->addWidget(Plus);
    col->addLayout(gain);

    Label1[3] = panel::Legend(QStringLiteral("PAD"), face_);
    Label2 = panel::Legend(QStringLiteral("+48V"), face_);
    In48V = new Lamp(face_);
    CloseButton = panel::CloseKey(images, face_);
    auto* foot = new QHBoxLayout;
    foot->setSpacing(6);
    foot->addWidget(Label1[3]);
    foot->addSpacing(12);
    foot->addWidget(Label2);
    foot->addWidget(In48V);
    foot->addStretch(1);
    foot->addWidget(CloseButton);
    col->addLayout(foot);

    connect(Minus, &PicButton::pressed, this, &InTrimWind::Minus_MouseDown);
    connect(Plus, &PicButton::pressed, this, &InTrimWind::Plus_MouseDown);
    connect(Minus, &PicButton::released, this, &InTrimWind::Minus_MouseUp);
    connect(Plus, &PicButton::released, this, &InTrimWind::Plus_MouseUp);
    connect(CloseButton, &PicButton::clicked, this, &InTrimWind::CloseButton_Click);
    panel::OnClick(TrimData, [this] { TrimData_Click(); });
    Form_Initialize();
}

void InTrimWind::Form_Initialize() {
    CloseButton->setPicture(ImageWind::Pic::SwOff);
}

void InTrimWind::Minus_MouseDown() { owner_.TrimPress(Channel(), 0); }
void InTrimWind::Plus_MouseDown() { owner_.TrimPress(Channel(), -1); }
void InTrimWind::Minus_MouseUp() { owner_.TrimRelease(); }
void InTrimWind::Plus_MouseUp() { owner_.TrimRelease(); }

void InTrimWind::TrimData_Click() {
    const int ch = Channel();
    owner_.TrimListPick(ch, Label1[2]);
    owner_.TrimPicked(ch);
}

void InTrimWind::CloseButton_Click() {
    MarkGainButton(owner_.InputLevelButton[Channel()], false);
    hide();
}

// Esc and the close box close as CLOSE does.
void InTrimWind::reject() {
    CloseButton_Click();
    QDialog::reject();
}
