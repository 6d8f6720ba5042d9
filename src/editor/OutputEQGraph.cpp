// The OUTPUT EQ page's response graph: its tables from the template file,
// the summed curve of the edited block's six bands and their markers.

#include "editor/MainWind.h"

#include "editor/EQGraph.h"
#include "startwin/App.h"

void MainWind::OutputEQInit() {
    EQBusy = 1;
    const QString path = app_.AppPath + QStringLiteral("/pat/outeq.pat");
    // Without its templates the graph stays a level line on the unit's own
    // lists, and the page works all the same.
    if (!outEQ.ReadTemplates(path))
        ShowMessage({QStringLiteral("Error Read EQ template file\r\n(") + path + QStringLiteral(")\r\n"),
                     QStringLiteral("File error"), MsgButtons::Ok, MsgIcon::Critical, MsgResult::Ok});
    // The stored types are shown by the page's refresh.
    OEQType.fill(0);
    for (int b = 0; b < OutEQTables::Bands; ++b)
        PlaceEQMarker(b);
    EQBusy = 0;
    OutputEQGraphDraw();
}

OutEQBands MainWind::OutputEQBands() const {
    const OutRec& out = app_.data.BankData[app_.data.CurBank].Out[OutEQCh];
    OutEQBands bands;
    for (int b = 0; b < OutEQTables::Bands; ++b)
        bands[b] = {OEQType[b], out.EQFreq[b], out.EQQ[b], out.EQGain[b]};
    return bands;
}

void MainWind::PlaceEQMarker(int b) {
    const OutEQBand band = OutputEQBands()[b];
    PicGraph->MoveMarker(b, outEQ.OEQMarkX[band.freq], outEQ.OEQMarkY[band.gain]);
}

void MainWind::OutputEQGraphDraw() {
    outEQ.Compute(OutputEQBands());
    PicGraph->Draw(outEQ.Sum);
}

QString MainWind::FNFreq_Disp(int k) const {
    return outEQ.FreqText(k);
}
