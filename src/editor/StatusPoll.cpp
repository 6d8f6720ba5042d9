// The unit's live status on the strips: lamps and meters.

#include "editor/MainWind.h"

#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QLabel>

namespace {
unsigned Lit(bool on, unsigned colour) { return on ? colour : LampOff; }
} // namespace

void MainWind::DispInputStatus() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int ch = 0; ch < 10; ++ch) {
        const InRec& in = r.In[ch];
        SignalPeak[ch]->setFillColor(in.PeakOn == 1 ? LampRed : Lit(in.SignalOn == 1, LampGreen));
        InPeak[ch]->setFillColor(Lit(in.PeakOn == 1, LampRed));
        InSignal[ch]->setFillColor(Lit(in.SignalOn == 1, LampGreen));
        if (ch < 6)
            In48V[ch]->setFillColor(Lit(app_.data.In48VFlag[static_cast<std::size_t>(ch)] == 1, LampRed));
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
