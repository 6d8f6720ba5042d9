// The OUTPUT EQ page's band editing: which block the page edits, and the
// page shown from that block.

#include "editor/MainWind.h"

#include "startwin/App.h"
#include "startwin/Widgets.h"

int MainWind::GetOutEQChannel() {
    const bool b = OEQAB[2]->Tag.toInt() != 0;
    switch (OutSel) {
    case 0:
        OutEQCh = b ? 1 : 0;
        break;
    case 1:
        OutEQCh = b ? 3 : 2;
        break;
    case 2:
        OutEQCh = 4;
        break;
    case 3:
        OutEQCh = 5;
        break;
    default:
        OutEQCh = 0;
    }
    return OutEQCh;
}

void MainWind::OutEQParamSet() {
    EQBusy = 1;
    const int e = app_.data.BankData[app_.data.CurBank].Out[OutEQCh].EQEnable != 0 ? 1 : 0;
    OEQOnOff[e ^ 1]->setPicture(ImageWind::Pic::SwOn);
    OEQOnOff[e]->setPicture(ImageWind::Pic::SwOff);
    for (int b = 0; b < OutEQTables::Bands; ++b)
        PlaceEQMarker(b);
    EQBusy = 0;
    OutputEQGraphDraw();
}
