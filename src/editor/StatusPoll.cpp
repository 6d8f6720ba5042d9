// The unit's live status on the strips: lamps and meters.

#include "editor/MainWind.h"

#include "editor/InTrimWind.h"
#include "platform/MouseState.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>

namespace {
unsigned Lit(bool on, unsigned colour) { return on ? colour : LampOff; }
} // namespace

void MainWind::IntervalOn_Click() {
    if (IntervalOn->isChecked())
        IntervalTimer.start();
}

// Not while the user holds a mouse button (a drag sends messages of its
// own), another message waits for its reply, or a transfer or read-back
// has the link (it starts once no message is in flight).
void MainWind::IntervalTimer_Timer() {
    if (PollBusy == 1 || LeftButtonDown() || RightButtonDown())
        return;
    if (!IntervalOn->isChecked()) {
        IntervalTimer.stop();
        return;
    }
    if (app_.link.SendBusy == 1 || top_.TransferShown())
        return;
    PollBusy = 1;
    if (++PollCount > 30000)
        PollCount = 0;
    // A reader sends nothing offline, so the reply flag would still be
    // that of some earlier message.
    const auto replied = [this] { return app_.link.OnLine && app_.link.Replied(); };
    const auto inputStatus = [&] {
        app_.lib->ReadInputStatus();
        if (!replied())
            return;
        DispInputStatus();
        if (app_.data.MicLineStat != app_.data.MicLineStatOld)
            DispInputTrim();
    };
    const auto outputStatus = [&] {
        app_.lib->ReadOutputStatus();
        if (replied())
            DispOutputStatus();
    };
    const bool odd = PollCount % 2 == 1;
    switch (MainTab->currentIndex()) {
    case PageBlock:
        if (PollCount % 3 == 0)
            inputStatus();
        else if (PollCount % 3 == 1)
            outputStatus();
        else {
            app_.lib->ReadInputLevel();
            app_.lib->ReadOutputLevel();
        }
        break;
    case PageInput:
        if (odd)
            app_.lib->ReadInputLevel();
        else
            inputStatus();
        break;
    case PageOutput:
        if (odd)
            app_.lib->ReadOutputLevel();
        else
            outputStatus();
        break;
    default:
        break;
    }
    PollBusy = 0;
}

void MainWind::DispInputStatus() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int ch = 0; ch < 10; ++ch) {
        const InRec& in = r.In[ch];
        SignalPeak[ch]->setFillColor(in.PeakOn == 1 ? LampRed : Lit(in.SignalOn == 1, LampGreen));
        InPeak[ch]->setFillColor(Lit(in.PeakOn == 1, LampRed));
        InSignal[ch]->setFillColor(Lit(in.SignalOn == 1, LampGreen));
        if (ch < 6) {
            const unsigned phantom = Lit(app_.data.In48VFlag[static_cast<std::size_t>(ch)] == 1, LampRed);
            In48V[ch]->setFillColor(phantom);
            if (trimWindOpen() && trimWind_->Channel() == ch)
                trimWind_->In48V->setFillColor(phantom);
        }
    }
}

void MainWind::DispOutputStatus() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int o = 0; o < 4; ++o) {
        app_.images.PictureCopy(ImageWind::Pic::BlockMeter, r.Out[o].MeterStep, OutMeterImage[o]);
        app_.images.PictureCopy(ImageWind::Pic::Meter, r.Out[o].MeterStep + 7, OutMeter[o]);
    }
    for (int o : {4, 5}) {
        const bool peak = r.Out[o].MeterStep == 1;
        const bool signal = r.Out[o].OutLamp34 == 1;
        OutSignalPeak[o]->setFillColor(peak ? LampRed : Lit(signal, LampGreen));
        OutPeak[o]->setFillColor(Lit(peak, LampRed));
        OutSignal[o]->setFillColor(Lit(signal, LampGreen));
    }
}

void MainWind::MeterLampClear() {
    for (Lamp* l : SignalPeak)
        l->setFillColor(LampOff);
    for (int o : {4, 5})
        OutSignalPeak[o]->setFillColor(LampOff);
    for (QLabel* m : OutMeterImage)
        app_.images.PictureCopy(ImageWind::Pic::BlockMeter, 0, m);
    for (int ch = 0; ch < 10; ++ch) {
        InPeak[ch]->setFillColor(LampOff);
        InSignal[ch]->setFillColor(LampOff);
    }
    for (Lamp* l : In48V)
        l->setFillColor(LampOff);
    for (QLabel* m : OutMeter)
        app_.images.PictureCopy(ImageWind::Pic::Meter, 7, m);
    for (int o : {4, 5}) {
        OutPeak[o]->setFillColor(LampOff);
        OutSignal[o]->setFillColor(LampOff);
    }
}
