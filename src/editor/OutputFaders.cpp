// The output faders with their lock and knob-link switches, the fader
// dialog for an output, and the refresh of the fader positions.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {
using Pic = ImageWind::Pic;
} // namespace

void MainWind::connectOutputStrips() {
    for (int o : ChToOut) {
        ConnectLevelSlider(Slider1[o], [this, o] { Slider1_Scroll(o); }, [this, o] { Slider1_Change(o); });
        connect(OutLockSW[o], &PicButton::clicked, this, [this, o] { OutLockSW_Click(o); });
        connect(OutAdjSW[o], &PicButton::clicked, this, [this, o] { OutAdjSW_Click(o); });
        connect(OutVrButton[o], &QPushButton::clicked, this, [this, o] { OutVrButton_Click(o); });
        connect(OutDelay1[o], &PicButton::clicked, this, [this, o] { OutDelay1_Click(o); });
    }
    for (int i = 0; i < 2; ++i) {
        connect(OutMonoSW[i], &PicButton::clicked, this, [this, i] { OutMonoSW_Click(i); });
        connect(MonoStereoButton[i], &QPushButton::clicked, this, [this, i] { MonoStereoButton_Click(i); });
    }
}

void MainWind::Slider1_Scroll(int Index) {
    LevelSliderScroll([this, Index] { Slider1_Change(Index); });
}

// No refresh test here: a refresh sets the slider to the record's value,
// which this finds equal.
void MainWind::Slider1_Change(int Index) {
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[Index];
    const int v = Slider1[Index]->sliderPosition();
    if (v == out.Fader)
        return;
    out.Fader = static_cast<uint8_t>(v);
    app_.send->SendOutputLevel(Index);
    LevelSendTime = app_.clock.now();
}

void MainWind::OutLockSW_Click(int Index) {
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[Index];
    out.Lock = out.Lock != 0 ? 0 : 1;
    OutLockSW[Index]->setPicture(out.Lock != 0 ? Pic::RedBar : Pic::SwOff);
    app_.send->SendOutputLevel(Index);
}

void MainWind::OutAdjSW_Click(int Index) {
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[Index];
    if (toggleLink(out.VRLink, out.Fader, out.VRLevel, OutAdjSW[Index], Slider1[Index],
                   QStringLiteral("Now linking QDR318.")))
        app_.send->SendOutputLevel(Index);
}

void MainWind::OutVrButton_Click(int Index) {
    const int k = OutToCh[Index];
    showFaderDialog(Index, 1, OutVrButton[Index], OutVrButton[0], OutVrButton[Index], OutLine[Index]->text(),
                    OutLineName[k]->text());
}

void MainWind::DispOutputStrip() {
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    const LevelRec& held = app_.data.MemLevel[app_.data.CurBank];
    for (int c = 0; c < 10; ++c) {
        InRec& in = r.In[c];
        if (in.VRLink == 1) {
            InSlider[c]->setValue(in.VRLevel);
        } else {
            // Held levels are brought into range only later in a refresh;
            // the fader byte is sent with every level change, so never
            // out of range.
            in.Fader = ClampByte(held.In[c], 6, 125);
            InSlider[c]->setValue(in.Fader);
        }
        PlaceInMark(FaderPosImg[c], in.VRLevel);
    }
    for (int o : ChToOut) {
        OutRec& out = r.Out[o];
        if (out.VRLink == 1) {
            Slider1[o]->setValue(out.VRLevel);
        } else {
            out.Fader = ClampByte(held.Out[o], 6, 125);
            Slider1[o]->setValue(out.Fader);
        }
        PlaceOutMark(OutFaderPos[o], out.VRLevel);
    }
}
