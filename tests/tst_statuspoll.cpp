// The status poll against the emulator: which reports each page asks for
// and in what order, when a tick stands aside, and what the replies light.

#include "EditorRig.h"
#include "editor/InTrimWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

namespace {

// The status reports a run of ticks asked for, by sub number ("D L" 1..4).
QList<int> Reports(EditorRig& r, int ticks) {
    r.clearHeard();
    for (int i = 0; i < ticks; ++i)
        r.main->IntervalTimer_Timer();
    QList<int> subs;
    for (const QByteArray& body : r.heard()) {
        if (body.left(2) != "DL")
            return {-1};
        subs << int(body[3]);
    }
    return subs;
}

bool Shows(EditorRig& r, const QLabel* box, ImageWind::Pic pic, int index) {
    return box->pixmap().toImage() ==
           r.app->images.Picture(pic, index, box->size(), box->devicePixelRatioF()).toImage();
}

} // namespace

class TestStatusPoll : public QObject {
    Q_OBJECT
private slots:
    void pagesAskInTurn();
    void ticksStandAside();
    void repliesLightTheStrips();
};

void TestStatusPoll::pagesAskInTurn() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;

    // BLOCK: input status, output status, both levels, each every third
    // tick; past 30000 the count starts again at 0, so input status comes
    // twice in a row there.
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    m.PollCount = 29999;
    QCOMPARE(Reports(r, 4), (QList<int>{1, 1, 3, 2, 4}));
    QCOMPARE(m.PollCount, 2);

    // INPUT and OUTPUT: levels on odd counts, status on even ones.
    m.MainTab->setCurrentIndex(MainWind::PageInput);
    QCOMPARE(Reports(r, 2), (QList<int>{2, 1}));
    m.MainTab->setCurrentIndex(MainWind::PageOutput);
    QCOMPARE(Reports(r, 2), (QList<int>{4, 3}));

    // Pages without live displays send nothing; the count still runs.
    for (int page : {MainWind::PageMatrix, MainWind::PageOutputEQ, MainWind::PageMisc, MainWind::PageGPI,
                     MainWind::PageMemory}) {
        m.MainTab->setCurrentIndex(page);
        QCOMPARE(Reports(r, 3), QList<int>{});
    }
    QCOMPARE(m.PollCount, 21);
    QCOMPARE(m.PollBusy, 0);
}

void TestStatusPoll::ticksStandAside() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    m.IntervalTimer.start();

    // A held button, left or right, a message in flight or a tick already
    // running: nothing is sent and the count stands.
    r.leftHeld = true;
    QCOMPARE(Reports(r, 3), QList<int>{});
    r.leftHeld = false;
    r.rightHeld = true;
    QCOMPARE(Reports(r, 3), QList<int>{});
    r.rightHeld = false;
    r.app->link.SendBusy = 1;
    QCOMPARE(Reports(r, 3), QList<int>{});
    r.app->link.SendBusy = 0;
    m.PollBusy = 1;
    QCOMPARE(Reports(r, 3), QList<int>{});
    m.PollBusy = 0;
    QCOMPARE(m.PollCount, 0);
    QCOMPARE(Reports(r, 1), QList<int>{3});

    // Unticked, the next tick stops the timer without sending; ticking the
    // box starts it again.
    m.IntervalOn->click();
    QVERIFY(!m.IntervalOn->isChecked());
    QVERIFY(m.IntervalTimer.isActive());
    QCOMPARE(Reports(r, 1), QList<int>{});
    QVERIFY(!m.IntervalTimer.isActive());
    m.IntervalOn->click();
    QVERIFY(m.IntervalTimer.isActive());
    m.IntervalTimer.stop();
}

void TestStatusPoll::repliesLightTheStrips() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    UnitState& u = r.unitState();
    u.peakBits = 0b0000000101;
    u.signalBits = 0b1000000111;
    u.phantomBits = 0b000100;
    u.micLineBits = 0b111011; // input 2 on LINE
    u.meterBits = {0x00, 0x01, 0x07, 0x3F};
    u.outLampBits = 0b1001; // OUT 3 peaks, OUT 4 signals
    for (int c = 0; c < 10; ++c)
        u.setInKnob(c, uint8_t(10 + 11 * c));
    r.record().In[2].Trim = 1;
    m.DispInputTrim();
    QCOMPARE(m.MicLine[2]->text(), QStringLiteral("MIC"));

    // Input status, output status and the levels, with the gain dialog of
    // input 2 open meanwhile.
    m.PollCount = 2;
    bool ran = false;
    EditorRig::whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<InTrimWind*>(w);
        QVERIFY(dlg);
        QCOMPARE(dlg->In48V->fillColor(), LampOff);
        for (int i = 0; i < 3; ++i)
            m.IntervalTimer_Timer();
        QCOMPARE(dlg->In48V->fillColor(), LampRed);
        // The unit's MIC/LINE change redraws the trim, here and on the strip.
        QCOMPARE(dlg->MicLine->text(), QStringLiteral("LINE"));
        QCOMPARE(dlg->TrimData->text(), QStringLiteral("-20.0"));
        dlg->CloseButton->click();
        ran = true;
    });
    m.InputLevelButton_Click(2);
    QVERIFY(ran);
    QCOMPARE(m.MicLine[2]->text(), QStringLiteral("LINE"));
    QCOMPARE(m.InInTrimName[2]->text(), QStringLiteral("-20.0"));
    QCOMPARE(m.MicLine[1]->text(), QStringLiteral("MIC"));

    const QList<unsigned> signalPeak{LampRed, LampGreen, LampRed, LampOff, LampOff,
                                     LampOff, LampOff,   LampOff, LampOff, LampGreen};
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(m.SignalPeak[c]->fillColor(), signalPeak[c]);
        QCOMPARE(m.InPeak[c]->fillColor(), u.peakBits >> c & 1 ? LampRed : LampOff);
        QCOMPARE(m.InSignal[c]->fillColor(), u.signalBits >> c & 1 ? LampGreen : LampOff);
        QCOMPARE(m.FaderPosImg[c]->y(), qRound((10 + 11 * c - 6) * m.InFaderScale() + m.InFaderOffset()));
    }
    for (int c = 0; c < 6; ++c)
        QCOMPARE(m.In48V[c]->fillColor(), c == 2 ? LampRed : LampOff);
    const int steps[] = {0, 1, 3, 6};
    for (int o = 0; o < 4; ++o) {
        QVERIFY(Shows(r, m.OutMeterImage[o], ImageWind::Pic::BlockMeter, steps[o]));
        QVERIFY(Shows(r, m.OutMeter[o], ImageWind::Pic::Meter, steps[o] + 7));
    }
    QCOMPARE(m.OutSignalPeak[4]->fillColor(), LampRed);
    QCOMPARE(m.OutSignalPeak[5]->fillColor(), LampGreen);

    // Offline the lamps go out and later ticks draw nothing, although the
    // record keeps the last bits.
    r.app->link.OnLine = false;
    m.MeterLampClear();
    for (int i = 0; i < 3; ++i)
        m.IntervalTimer_Timer();
    QCOMPARE(r.record().In[0].PeakOn, 1);
    QCOMPARE(m.SignalPeak[0]->fillColor(), LampOff);
    QCOMPARE(m.In48V[2]->fillColor(), LampOff);
    QVERIFY(Shows(r, m.OutMeterImage[3], ImageWind::Pic::BlockMeter, 0));
}

QTEST_MAIN(TestStatusPoll)
#include "tst_statuspoll.moc"
