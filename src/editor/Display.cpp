// The refresh of every control from record CurBank, in its order.

#include "editor/MainWind.h"

#include "startwin/App.h"
#include "startwin/TopWind.h"

#include <QLabel>

void MainWind::DispAllParam() {
    app_.DispBusy = 1;
    DispSystemName();
    DispChannelName();
    top_.DispSpeakerName();
    DispInputStatus();
    DispInputTrim();
    DispOutputStatus();
    DispOutputStrip();
    DispInputStrip();
    DispMatrix();
    DispOutput();
    DispSystemParam();
    DispExtOut();
    DispMemoryName();
    DispPatternBtn();
    // Online the knob readers keep these current.
    if (!app_.link.OnLine) {
        DispFaderLevel();
        DispInFaderWind(0);
        DispInFaderWind(1);
    }
    update();
    app_.DispBusy = 0;
}

void MainWind::DispSystemName() {
    SystemName->setText(app_.data.VenueName);
    top_.DispSystemName();
}
