// The OUTPUT EQ page's markers dragged on the graph: left and right step
// the band's frequency, up and down its gain. While a marker is held the
// band goes to the unit at most once per tick of OutputEQTimer, and once
// more when it is let go.

#include "editor/MainWind.h"

#include "editor/EQGraph.h"
#include "startwin/App.h"

#include <QLabel>
#include <QSpinBox>

void MainWind::PicGraph_MouseDown(float X, float Y) {
    DragX = X;
    DragY = Y;
    DragChanged = 0;
    DragBand = -1;
    const OutRec& out = app_.data.BankData[app_.data.CurBank].Out[OutEQCh];
    for (int b = 0; b < OutEQTables::Bands; ++b) {
        const float mx = outEQ.OEQMarkX[out.EQFreq[b]], my = outEQ.OEQMarkY[out.EQGain[b]];
        const float dx = X - mx, dy = Y - my;
        // The hit box reaches a little past the marker's left and top edges.
        if (dx > -2 && dx < 7 && dy > -2 && dy < 10) {
            DragBand = b;
            DragX = mx;
            DragY = my;
            OutputEQTimer.start();
            return;
        }
    }
}

void MainWind::PicGraph_MouseMove(Qt::MouseButtons Button, float X, float Y) {
    if (Button == Qt::NoButton || DragBand < 0)
        return;
    const int b = DragBand;
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[OutEQCh];
    int freq = out.EQFreq[b], gain = out.EQGain[b];
    const auto freqStep = [&](int step) {
        out.EQFreq[b] = static_cast<uint8_t>(FNEQ_No(freq, 0, OutEQTables::Freqs - 1, step));
        cmdFUpDown[b]->setValue(freq);
        DragX = outEQ.OEQMarkX[freq];
        txtF[b]->setText(FNFreq_Disp(freq));
        DragChanged = -1;
    };
    const auto gainStep = [&](int step) {
        out.EQGain[b] = static_cast<uint8_t>(FNEQ_No(gain, 0, OutEQTables::Gains - 1, step));
        cmdGUpDown[b]->setValue(gain);
        DragY = outEQ.OEQMarkY[gain];
        ShowBandGain(b);
        DragChanged = -1;
    };
    // Each test once per event, on the anchor the one before left.
    if (DragX - X > 4.0f)
        freqStep(-1);
    if (DragX - X < -8.0f)
        freqStep(+1);
    if (DragY - Y > 5.0f)
        gainStep(+1);
    if (DragY - Y < -13.0f)
        gainStep(-1);
    if (DragChanged == -1)
        PlaceEQMarker(b);
}

void MainWind::OutputEQTimer_Timer() {
    if (DragBand == -1) {
        OutputEQTimer.stop();
        return;
    }
    // A tick during the last change's reply wait leaves it to the next one.
    if (app_.link.SendBusy)
        return;
    if (DragChanged == -1) {
        OutEQDataChange(DragBand);
        DragChanged = 0;
        OutputEQGraphDraw();
    }
}

void MainWind::PicGraph_MouseUp() {
    OutputEQTimer.stop();
    // Sent changed or not, and without marking the speaker name.
    if (DragBand != -1)
        SendOutputEQParamAll(DragBand);
    DragBand = -1;
    OutputEQGraphDraw();
    DragX = 0;
    DragY = 0;
}
