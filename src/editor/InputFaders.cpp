// The input faders with their lock and knob-link switches, the strip's
// proxy keys, the fader dialog's opening for both sides, and the refresh of
// the input strips.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "editor/InFaderWind.h"
#include "editor/PopupPlace.h"
#include "platform/EventWait.h"
#include "platform/OnScreen.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace {

using Pic = ImageWind::Pic;

// The least time between two level messages from the sliders.
constexpr uint32_t LevelSendGap = 50;

} // namespace

void MainWind::connectInputStrips() {
    for (int c = 0; c < 10; ++c) {
        ConnectLevelSlider(InSlider[c], [this, c] { InSlider_Scroll(c); }, [this, c] { InSlider_Change(c); });
        connect(InLock[c], &PicButton::clicked, this, [this, c] { InLock_Click(c); });
        connect(InVRADJ[c], &PicButton::clicked, this, [this, c] { InVRADJ_Click(c); });
        connect(InVrButton[c], &QPushButton::clicked, this, [this, c] { InVrButton_Click(c); });
    }
    for (int c = 0; c < 6; ++c) {
        connect(InHS1[c], &PicButton::clicked, this, [this, c] { InHS1_Click(c); });
        connect(inMute[c], &PicButton::clicked, this, [this, c] { inMute_Click(c); });
    }
    for (int k = 0; k < 4; ++k)
        connect(inMMute[k], &PicButton::clicked, this, [this, k] { inMMute_Click(k); });
}

QPushButton* MainWind::levelButton(const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("LEVEL"), parent);
    b->setToolTip(tip);
    b->setFixedSize(56, 20);
    return b;
}

void MainWind::LevelSliderScroll(const std::function<void()>& change) {
    ++SliderNest;
    // Wrapping differences, so that the clock's wrap ends the wait too.
    for (uint32_t gone = ElapsedMs(LevelSendTime, app_.clock.now()); gone < LevelSendGap;
         gone = ElapsedMs(LevelSendTime, app_.clock.now()))
        WaitForEvents(static_cast<int>(LevelSendGap - gone));
    if (SliderNest == 1)
        change();
    --SliderNest;
}

void MainWind::InSlider_Scroll(int Index) {
    LevelSliderScroll([this, Index] { InSlider_Change(Index); });
}

void MainWind::InSlider_Change(int Index) {
    if (app_.DispBusy == 1)
        return;
    InRec& in = app_.data.BankData[app_.data.CurBank].In[Index];
    const int v = InSlider[Index]->sliderPosition();
    if (v == in.Fader)
        return;
    in.Fader = static_cast<uint8_t>(v);
    app_.send->SendInputLevel(Index);
    LevelSendTime = app_.clock.now();
}

void MainWind::InLock_Click(int Index) {
    InRec& in = app_.data.BankData[app_.data.CurBank].In[Index];
    in.Lock = in.Lock != 0 ? 0 : 1;
    InLock[Index]->setPicture(in.Lock != 0 ? Pic::RedBar : Pic::SwOff);
    app_.send->SendInputLevel(Index);
}

bool MainWind::toggleLink(uint8_t& link, uint8_t& fader, uint8_t knob, PicButton* key, QSlider* slider,
                          const QString& linkedTip) {
    VrAdjFlag = -1;
    if (link != 0) {
        link = 0;
        showKnobLink(key, slider, false, linkedTip);
        return true;
    }
    // A fader quieter than the knob gets louder by linking.
    if (fader > knob) {
        const MsgBox box{QStringLiteral("Sound level will increase.\r\nDo you still want to link?"),
                         QStringLiteral("Confirmation"), MsgButtons::OkCancel, MsgIcon::Exclamation,
                         MsgResult::Cancel};
        if (ShowMessage(box) == MsgResult::Cancel) {
            VrAdjFlag = 0;
            return false;
        }
    }
    fader = knob;
    slider->setValue(fader);
    link = 1;
    showKnobLink(key, slider, true, linkedTip);
    return true;
}

void MainWind::showKnobLink(PicButton* key, QSlider* slider, bool linked, const QString& linkedTip) {
    key->setPicture(linked ? Pic::SwOn : Pic::SwOff);
    slider->setEnabled(!linked);
    slider->setToolTip(linked ? linkedTip : QString());
}

void MainWind::InVRADJ_Click(int Index) {
    InRec& in = app_.data.BankData[app_.data.CurBank].In[Index];
    if (toggleLink(in.VRLink, in.Fader, in.VRLevel, InVRADJ[Index], InSlider[Index],
                   QStringLiteral("Now,linking QDR318")))
        app_.send->SendInputLevel(Index);
}

InFaderWind& MainWind::inFaderWind() {
    if (!inFaderWind_) {
        inFaderWind_ = new InFaderWind(app_, *this, this);
        inFaderWind_->Form_Initialize();
        SetNameFont(inFaderWind_->LineName, top_.NameFont);
    }
    return *inFaderWind_;
}

void MainWind::showFaderDialog(int ch, int side, QPushButton* opener, QPushButton* column, QPushButton* at,
                               const QString& line, const QString& name) {
    InFaderWind& w = inFaderWind();
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    const LevelRec& held = app_.data.MemLevel[app_.data.CurBank];
    w.LineCH->setText(line);
    w.LineCH->setVisible(true);
    w.Tag = QString::number(ch);
    w.InOut->setProperty("Tag", QString::number(side));
    popup::OpenerHighlight mark(opener);
    w.LineName->setText(name);
    w.PlaceMark(w.FaderPosImg, side == 0 ? r.In[ch].VRLevel : r.Out[ch].VRLevel);
    w.PlaceMark(w.FaderVRImg, side == 0 ? held.In[ch] : held.Out[ch]);
    w.InSlider->setValue(side == 0 ? r.In[ch].Fader : r.Out[ch].Fader);
    w.InVRADJ->Tag = QString::number(side == 0 ? r.In[ch].VRLink : r.Out[ch].VRLink);
    w.InLock->Tag = QString::number(side == 0 ? r.In[ch].Lock : r.Out[ch].Lock);
    MoveFrameTo(&w, QPoint(column->mapToGlobal(QPoint(column->width() + 2, 0)).x(),
                           at->mapToGlobal(QPoint(0, 0)).y()));
    w.exec();
}

void MainWind::InVrButton_Click(int Index) {
    // Inputs past the fifth open level with the fifth, so that the dialog
    // stays on the screen.
    showFaderDialog(Index, 0, InVrButton[Index], InVrButton[0], InVrButton[std::min(Index, 4)],
                    InLine[Index]->text(), InLineName[Index]->text());
}

void MainWind::InHS1_Click(int Index) {
    SHawling[Index]->setChecked(!SHawling[Index]->isChecked());
}

void MainWind::inMute_Click(int Index) {
    SACheck[Index]->setChecked(!SACheck[Index]->isChecked());
}

void MainWind::inMMute_Click(int Index) {
    SMCheck[Index]->setChecked(!SMCheck[Index]->isChecked());
}

void MainWind::DispInputStrip() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int ch = 0; ch < 6; ++ch) {
        const bool on = r.In[ch].HSOn != 0;
        InHS1[ch]->setPicture(on ? Pic::SwOn : Pic::SwOff);
        SHawling[ch]->setChecked(on);
    }
    for (int ch = 0; ch < 10; ++ch) {
        const InRec& in = r.In[ch];
        DispInEQOnButton(ch);
        InLock[ch]->setPicture(in.Lock != 0 ? Pic::RedBar : Pic::SwOff);
        showKnobLink(InVRADJ[ch], InSlider[ch], in.VRLink != 0, QStringLiteral("Now linking QDR318."));
        PlaceInMark(FaderVRImg[ch], app_.data.MemLevel[app_.data.CurBank].In[ch]);
    }
}

void MainWind::DispFaderLevel() {
    LevelRec& held = app_.data.MemLevel[app_.data.CurBank];
    for (int ch = 0; ch < 10; ++ch) {
        held.In[ch] = ClampByte(held.In[ch], 6, 125);
        PlaceInMark(FaderVRImg[ch], held.In[ch]);
    }
    for (int o : ChToOut) {
        held.Out[o] = ClampByte(held.Out[o], 6, 125);
        PlaceOutMark(OutFaderVRImg[o], held.Out[o]);
    }
}

void MainWind::DispInEQOnButton(int ch) {
    InEQ[ch]->setPicture(app_.data.BankData[app_.data.CurBank].In[ch].EQEnable != 0 ? Pic::SwOn : Pic::SwOff);
}

void MainWind::DispInFaderWind(int side) {
    if (!inFaderWind_ || !inFaderWind_->isVisible() || inFaderWind_->Side() != side)
        return;
    InFaderWind& w = *inFaderWind_;
    app_.DispBusy = 1;
    const int ch = w.Tag.toInt();
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    const int knob = side == 0 ? r.In[ch].VRLevel : r.Out[ch].VRLevel;
    w.PlaceMark(w.FaderPosImg, knob);
    if ((side == 0 ? r.In[ch].VRLink : r.Out[ch].VRLink) != 0)
        w.InSlider->setValue(knob);
    app_.DispBusy = 0;
}
