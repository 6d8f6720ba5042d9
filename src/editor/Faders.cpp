// Fader geometry: the bays, their dB scales, and the marks of the knob
// levels placed by level.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QLabel>
#include <QSlider>

#include <cmath>

FaderBay* MainWind::addFaderBay(QWidget* parent, int scaleIndex, int bayIndex) {
    auto* bay = new FaderBay(app_.images, parent);
    LeftScale[scaleIndex] = bay->scale();
    const int top = bay->markTopFor(FaderBay::LevelTop), bottom = bay->markTopFor(FaderBay::LevelBottom);
    constexpr int Steps = FaderBay::LevelBottom - FaderBay::LevelTop;
    const int knob = bayIndex == 0   ? top
                     : bayIndex == 1 ? top + int(std::lround((bottom - top) * (Steps + 1.0) / Steps))
                                     : bottom;
    bay->knobMark()->move(bay->knobMark()->x(), knob);
    bay->memoryMark()->move(bay->memoryMark()->x(), bottom);
    return bay;
}

void MainWind::measureFaderGeometry() {
    inFaderOffset_ = float(FaderPosImg[0]->y());
    inFaderScale_ = float(FaderPosImg[1]->y() - FaderPosImg[0]->y()) / 120;
    outFaderOffset_ = float(OutFaderPos[0]->y());
    outFaderScale_ = float(OutFaderPos[2]->y() - OutFaderPos[0]->y()) / 120;
    PlaceInMark(FaderPosImg[1], FaderBay::LevelBottom);
    PlaceOutMark(OutFaderPos[2], FaderBay::LevelBottom);
}

void MainWind::PlaceInMark(PictureBox* mark, int level) {
    mark->move(mark->x(), qRound((level - 6) * inFaderScale_ + inFaderOffset_));
}

void MainWind::PlaceOutMark(PictureBox* mark, int level) {
    mark->move(mark->x(), qRound((level - 6) * outFaderScale_ + outFaderOffset_));
}

void MainWind::PlaceAllMarks(int level) {
    for (int c = 0; c < 10; ++c) {
        PlaceInMark(FaderPosImg[c], level);
        PlaceInMark(FaderVRImg[c], level);
    }
    for (int o : ChToOut) {
        PlaceOutMark(OutFaderPos[o], level);
        PlaceOutMark(OutFaderVRImg[o], level);
    }
}

void MainWind::KnobLevelsRead(int side) {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    if (side == 0) {
        for (int c = 0; c < 10; ++c) {
            PlaceInMark(FaderPosImg[c], r.In[c].VRLevel);
            if (r.In[c].VRLink == 1)
                InSlider[c]->setValue(r.In[c].VRLevel);
        }
    } else {
        for (int o : ChToOut) {
            PlaceOutMark(OutFaderPos[o], r.Out[o].VRLevel);
            if (r.Out[o].VRLink == 1)
                Slider1[o]->setValue(r.Out[o].VRLevel);
        }
    }
    DispInFaderWind(side);
}
