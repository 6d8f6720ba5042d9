#include "editor/InFaderWind.h"

#include "editor/FaderBay.h"
#include "editor/MainWind.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

using Pic = ImageWind::Pic;

InFaderWind::InFaderWind(App& app, MainWind& main, QWidget* parent)
    : FaceDialog(app.images, {14, 12, 14, 12}, 8, parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("InFaderWind"));
    setWindowTitle(QStringLiteral("LEVEL"));
    QVBoxLayout* col = column();

    LineCH = panel::Legend(QString(), face_);
    LineCH->setVisible(false);
    LineName = panel::NameStrip(face_, 120);
    InOut = new QLabel(QStringLiteral("IN/OUT"), face_);
    InOut->setProperty("Tag", QStringLiteral("0"));
    InOut->setVisible(false);
    col->addWidget(LineCH, 0, Qt::AlignHCenter);
    col->addWidget(LineName, 0, Qt::AlignHCenter);

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    auto* bay = new FaderBay(app.images, face_);
    InSlider = bay->slider();
    FaderPosImg = bay->knobMark();
    FaderVRImg = bay->memoryMark();
    LeftScale = bay->scale();
    // The knob mark's design place: level 6.
    FaderPosImg->move(FaderPosImg->x(), bay->markTopFor(FaderBay::LevelTop));
    row->addWidget(bay);

    auto* keys = new QVBoxLayout;
    keys->setSpacing(6);
    InLock = panel::Key(app.images, QStringLiteral("LOCK"), face_);
    InVRADJ = panel::Key(app.images, QStringLiteral("LINK"), face_);
    CloseButton = panel::CloseKey(app.images, face_);
    keys->addWidget(InLock);
    keys->addWidget(InVRADJ);
    keys->addStretch(1);
    keys->addWidget(CloseButton);
    row->addLayout(keys);
    col->addLayout(row);

    ConnectLevelSlider(InSlider, [this] { InSlider_Scroll(); }, [this] { InSlider_Change(); });
    connect(InLock, &PicButton::clicked, this, &InFaderWind::InLock_Click);
    connect(InVRADJ, &PicButton::clicked, this, &InFaderWind::InVRADJ_Click);
    connect(CloseButton, &PicButton::clicked, this, &InFaderWind::CloseButton_Click);
}

void InFaderWind::Form_Initialize() {
    FaderPosTop = FaderPosImg->y();
    InSlider->setToolTip(QStringLiteral("\t"));
    CloseButton->setPicture(Pic::SwOff);
    LeftScale->setFrameShape(QFrame::NoFrame);
    DrawLeftScale(app_.images, LeftScale);
    FaderPosImg->setPicture(Pic::Fpos);
    FaderVRImg->setPicture(Pic::FLPos);
    FaderPosImg->setProperty("Tag", QStringLiteral("0"));
    FaderVRImg->setProperty("Tag", QStringLiteral("0"));
    InSlider->setMaximum(125);
    InSlider->setMinimum(6);
}

void InFaderWind::Form_Activate() {
    const bool linked = InVRADJ->Tag == QLatin1String("1");
    InVRADJ->setPicture(linked ? Pic::SwOn : Pic::SwOff);
    InSlider->setEnabled(!linked);
    if (!linked)
        InSlider->setFocus();
    InLock->setPicture(InLock->Tag == QLatin1String("1") ? Pic::RedBar : Pic::SwOff);
    InSlider->setToolTip(QStringLiteral("\t"));
    InSlider->update();
}

void InFaderWind::CloseButton_Click() {
    hide();
}

int InFaderWind::Side() const {
    return InOut->property("Tag").toString() == QLatin1String("1") ? 1 : 0;
}

void InFaderWind::PlaceMark(PictureBox* mark, int level) {
    mark->move(mark->x(), qRound((level - 6) * main_.OutFaderScale() + FaderPosTop));
}

void InFaderWind::InSlider_Scroll() {
    main_.LevelSliderScroll([this] { InSlider_Change(); });
}

void InFaderWind::InSlider_Change() {
    const int v = InSlider->sliderPosition();
    const int ch = Tag.toInt();
    if (Side() == 0)
        main_.InSlider[ch]->setValue(v);
    else
        main_.Slider1[ch]->setValue(v);
}

void InFaderWind::InLock_Click() {
    const int ch = Tag.toInt();
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    const bool wasLocked = (Side() == 0 ? r.In[ch].Lock : r.Out[ch].Lock) != 0;
    if (Side() == 0)
        main_.InLock_Click(ch);
    else
        main_.OutLockSW_Click(ch);
    InLock->setPicture(wasLocked ? Pic::SwOff : Pic::RedBar);
}

void InFaderWind::InVRADJ_Click() {
    const int ch = Tag.toInt();
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    const bool wasLinked = (Side() == 0 ? r.In[ch].VRLink : r.Out[ch].VRLink) != 0;
    const int knob = Side() == 0 ? r.In[ch].VRLevel : r.Out[ch].VRLevel;
    if (Side() == 0)
        main_.InVRADJ_Click(ch);
    else
        main_.OutAdjSW_Click(ch);
    if (main_.VrAdjFlag == 0)
        return;
    if (wasLinked) {
        InVRADJ->setPicture(Pic::SwOff);
        InSlider->setEnabled(true);
    } else {
        InSlider->setValue(knob);
        InVRADJ->setPicture(Pic::SwOn);
        InSlider->setEnabled(false);
    }
}
