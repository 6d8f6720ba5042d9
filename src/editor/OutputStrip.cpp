// The output strips' mono switches, shown twice (the key on the OUTPUT page
// and the button on the MATRIX page), and the refresh of the strips' keys
// and of the marks of the levels held with the memory.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QPushButton>
#include <QSlider>

namespace {

using Pic = ImageWind::Pic;

// The MATRIX page's mono button when the output is mono.
constexpr unsigned MonoColor = 0xC0FFC0;

} // namespace

// Any non-zero byte counts as mono, so that a byte other than 1 from a file
// still switches to stereo at the first click.
void MainWind::MonoStereoButton_Click(int Index) {
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[Index];
    out.Mono = out.Mono != 0 ? 0 : 1;
    ShowMonoStereo(Index);
    app_.send->SendMonoStereo();
}

void MainWind::OutMonoSW_Click(int Index) {
    MonoStereoButton_Click(Index);
}

void MainWind::ShowMonoStereo(int Index) {
    const bool mono = app_.data.BankData[app_.data.CurBank].Out[Index].Mono != 0;
    const QString caption = mono ? QStringLiteral("MONO") : QStringLiteral("STEREO");
    QPushButton* button = MonoStereoButton[Index];
    button->setText(caption);
    // The default palette is the system's button face.
    QPalette pal;
    if (mono)
        pal.setColor(QPalette::Button, QColor::fromRgb(VbColor(MonoColor)));
    button->setPalette(pal);
    PicButton* key = OutMonoSW[Index];
    key->Tag = mono ? QStringLiteral("1") : QStringLiteral("0");
    key->setText(caption);
    key->setPicture(mono ? Pic::SwOn : Pic::SwOff);
}

// The faders' values are DispOutputStrip's.
void MainWind::DispOutput() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int o : ChToOut) {
        const OutRec& out = r.Out[o];
        DispOutEQBtn(o);
        OutLockSW[o]->setPicture(out.Lock != 0 ? Pic::RedBar : Pic::SwOff);
        showKnobLink(OutAdjSW[o], Slider1[o], out.VRLink != 0, QStringLiteral("Now linking QDR318."));
        DispOutDelayBtn(o);
        PlaceOutMark(OutFaderVRImg[o], app_.data.MemLevel[app_.data.CurBank].Out[o]);
    }
    DispBalancePairs();
}

void MainWind::DispOutEQBtn(int o) {
    // A B block shows on its pair's key.
    if (o == 1 || o == 3)
        --o;
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    const bool pair = o < 4;
    const bool on = r.Out[o].EQEnable != 0 || (pair && r.Out[o + 1].EQEnable != 0);
    OutEQ1[o]->setPicture(on ? Pic::SwOn : Pic::SwOff);
}

void MainWind::DispOutDelayBtn(int o) {
    OutDelay1[o]->setPicture(app_.data.BankData[app_.data.CurBank].Out[o].Delay != 0 ? Pic::SwOn : Pic::SwOff);
}
