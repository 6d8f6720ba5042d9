// Whole roads through the program against the emulator on a pseudo-terminal
// as COM1: start-up offline, the first Parameter Edit, being found, editing
// online with the read-back, leaving with a store, saving all memories to a
// venue file, and quitting. The dialogs' own one-second timers run for
// real, so each road takes a few seconds.

#include "GuiRig.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "sim/SimPty.h"
#include "startwin/AllBankWind.h"
#include "startwin/PasswordWind.h"
#include "startwin/Widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

struct Road : GuiRig {
    SimPty pty;

    Road() {
        pty.start();
        pty.withUnit([](SimUnit& u) { u.setPaced(false); });
        qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    }
    template <class F> auto unit(F f) { return pty.withUnit([&](SimUnit& u) { return f(u.model().state()); }); }
    QList<QByteArray> heard() {
        return pty.withUnit([](SimUnit& u) { return u.model().requests(); });
    }
    bool tickUntil(const std::function<bool()>& done, int ticks = 60) {
        for (int i = 0; i < ticks && !done(); ++i)
            top->ConnectTimer_Timer();
        return done();
    }
    // Parameter Edit from the click to the editor on screen.
    void startEditing() {
        top->SyousaiBtn_Click();
        QCOMPARE(top->PendingStart, 1);
        top->PollSkip = 0;
        top->ConnectTimer_Timer();
        QVERIFY(top->mainWind->isVisible());
        QVERIFY(!top->isVisible());
    }
};

void TypeOnce(password& dlg, const QString& text) {
    QTimer::singleShot(50, &dlg, [&dlg, text] {
        dlg.passtext->setText(text);
        dlg.OKButton->click();
    });
}

} // namespace

class TestEditFlow : public QObject {
    Q_OBJECT
private slots:
    void offlineFirstThenFound();
    void onlineEditingStoreSaveQuit();
};

void TestEditFlow::offlineFirstThenFound() {
    Road r;
    QVERIFY(r.top->Form_Initialize());
    r.top->show();
    QVERIFY(r.tickUntil([&] { return r.top->OfflineShown; }));
    QCOMPARE(r.top->OnLineMess[0]->text(), QStringLiteral("Offline"));
    // Until editing has started once the scan only opens and closes ports.
    QVERIFY(r.heard().isEmpty());

    r.byTitle.insert(QStringLiteral("Close of Offline Edit"), MsgResult::No);
    MainWind& m = *r.top->mainWind;
    const int lowest = m.FaderVRImg[0]->y(), knobTop = m.FaderPosImg[0]->y();
    QVERIFY(knobTop < lowest);
    r.startEditing();
    QCOMPARE(r.asked.first().text, QStringLiteral("Offline edit?"));
    QCOMPARE(r.top->mainWind->windowTitle(), QStringLiteral("QDR318 Manager Ver.1.00 Parameter Edit"));
    QCOMPARE(r.top->mainWind->OnLineMess->text(), QStringLiteral("Offline"));
    // Offline without a venue file the knob levels are the lowest.
    QCOMPARE(r.app->data.BankData[0].In[3].VRLevel, 125);
    QCOMPARE(m.FaderPosImg[0]->y(), lowest);
    QCOMPARE(m.OutFaderPos[0]->y(), m.OutFaderVRImg[5]->y());
    QVERIFY(r.top->KantanBtn->isEnabled());

    r.top->mainWind->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QVERIFY(!r.top->mainWind->isVisible());
    QVERIFY(r.top->isVisible());
    QVERIFY(r.tickUntil([&] { return r.top->OnLineMess[0]->text() == QStringLiteral("Online"); }));
    QCOMPARE(r.top->ConnectChannel->text(), QStringLiteral("COM(1) Connect"));
    QCOMPARE(r.heard().first(), QByteArray("NO\x00", 3));
}

void TestEditFlow::onlineEditingStoreSaveQuit() {
    Road r;
    r.unit([](UnitState& s) {
        s.setPassword("pw1");
        // An unlinked fader stands at the level held with the memory.
        s.rec[0].In[2].Fader = 50;
        s.level[0].In[2] = 50;
        s.rec[0].Out[2].Delay = 123;
        s.rec[0].Mix[1].SrcSwitch[4] = 1;
        s.rec[0].SAAtt = 60;
        for (int m = 1; m <= 16; ++m)
            s.rec[m].In[0].Trim = uint8_t(m);
        s.setInKnob(0, 6);
        s.setOutKnob(3, 6);
        return 0;
    });
    QVERIFY(r.top->Form_Initialize());
    r.top->show();
    r.top->KantanBtn->setEnabled(true); // as after the first start of editing
    QVERIFY(r.tickUntil([&] { return r.app->link.OnLine; }));

    TypeOnce(*r.top->passwordWind, QStringLiteral("pw1"));
    r.startEditing();
    // The read-back left record 0 as the unit has it.
    const BankRec& cur = r.app->data.BankData[0];
    QCOMPARE(cur.In[2].Fader, 50);
    QCOMPARE(uint16_t(cur.Out[2].Delay), 123);
    QCOMPARE(cur.Mix[1].SrcSwitch[4], 1);
    QCOMPARE(cur.SAAtt, 60);
    QCOMPARE(r.top->mainWind->OnLineMess->text(), QStringLiteral("Online"));
    // The knob marks stand where the unit's knobs are: input 1 and the last
    // output channel at the top of their scales.
    {
        const MainWind& w = *r.top->mainWind;
        QVERIFY(w.FaderPosImg[0]->y() < w.FaderPosImg[1]->y());
        QCOMPARE(w.OutFaderPos[5]->y(), qRound(w.OutFaderOffset()));
        QVERIFY(w.OutFaderPos[0]->y() > w.OutFaderPos[5]->y());
    }

    // EXIT, Yes: memory MemNo takes the current record in the unit.
    r.top->mainWind->PatternName->setText(QStringLiteral("Lecture"));
    r.app->data.BankData[0].In[2].Fader = 70;
    r.app->send->SendInputLevel(2);
    r.byTitle.insert(QStringLiteral("Close"), MsgResult::Yes);
    r.top->mainWind->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    const int mem = r.app->data.MemNo;
    QCOMPARE(r.unit([mem](UnitState& s) { return int(s.rec[mem].In[2].Fader); }), 70);
    QCOMPARE(r.unit([mem](UnitState& s) { return s.nameField(2, mem).left(7); }), QByteArray("Lecture"));
    QCOMPARE(r.heard().last(), QByteArray("NO\x02", 3));
    QVERIFY(r.top->isVisible());

    // SAVE online: all memories read back, then written to the file.
    TypeOnce(*r.top->passwordWind, QStringLiteral("pw1"));
    r.startEditing();
    const QString path = r.venuePath(QStringLiteral("Main.vnf"));
    r.chosenFile = path;
    r.byTitle.insert(QStringLiteral("Confirmation"), MsgResult::No);
    r.byTitle.insert(QStringLiteral("Close of Offline Edit"), MsgResult::No);
    r.top->mainWind->Toolbar1_ButtonClick(QStringLiteral("SAVE"));
    QCOMPARE(r.top->allBankWind->BankResult, -1);
    ParamData saved;
    QVERIFY(LoadVenueFile(saved, CodePage(CodePage::Western), path, true));
    for (int m = 1; m <= 16; ++m) {
        const int want = m == mem ? int(r.unit([m](UnitState& s) { return s.rec[m].In[0].Trim; })) : m;
        QCOMPARE(int(saved.BankData[m].In[0].Trim), want);
        QCOMPARE(saved.BankData[m].In[2].Fader, r.unit([m](UnitState& s) { return s.rec[m].In[2].Fader; }));
    }
    QCOMPARE(r.app->data.VenueName, QStringLiteral("Main"));

    // OPEN: another venue file's 16 memories into the unit, memory 1 recalled
    // and read back.
    ParamData other;
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        other.InitMemoryData(m);
        other.BankData[m].Out[0].Balance = uint8_t(20 + m);
    }
    r.chosenFile = r.venuePath(QStringLiteral("Other.vnf"));
    QVERIFY(SaveVenueFile(other, CodePage(CodePage::Western), r.chosenFile));
    r.top->mainWind->Toolbar1_ButtonClick(QStringLiteral("OPEN"));
    for (int m = 1; m <= 16; ++m)
        QCOMPARE(int(r.unit([m](UnitState& s) { return s.rec[m].Out[0].Balance; })), 20 + m);
    QCOMPARE(r.app->data.MemNo, 1);
    QCOMPARE(r.app->data.BankData[0].Out[0].Balance, 21);
    QCOMPARE(r.top->mainWind->MainTab->currentIndex(), 0);
    QVERIFY(r.top->mainWind->IntervalTimer.isActive());

    // The unit falls silent: "Break" once, both windows offline, still running.
    MainWind& m = *r.top->mainWind;
    r.app->data.BankData[0].In[0].PeakOn = 1;
    r.app->data.BankData[0].In[1].SignalOn = 1;
    r.app->data.BankData[0].Out[0].MeterStep = 6;
    m.DispInputStatus();
    m.DispOutputStatus();
    QCOMPARE(m.SignalPeak[0]->fillColor(), LampRed);
    QCOMPARE(m.SignalPeak[1]->fillColor(), LampGreen);
    QCOMPARE(m.InSignal[1]->fillColor(), LampGreen);
    r.asked.clear();
    r.pty.withUnit([](SimUnit& u) { u.silentAfter(0); });
    r.app->send->SendInputTrim(0);
    r.app->send->SendInputTrim(1);
    QCOMPARE(r.asked.size(), 1);
    QCOMPARE(r.asked[0].title, QStringLiteral("Break"));
    QCOMPARE(r.top->mainWind->OnLineMess->text(), QStringLiteral("Offline"));
    QCOMPARE(r.top->OnLineMess[0]->text(), QStringLiteral("Offline"));
    for (int ch = 0; ch < 10; ++ch) // the lamps go out; the record keeps its bytes
        QVERIFY(m.SignalPeak[ch]->fillColor() == LampOff && m.InSignal[ch]->fillColor() == LampOff);
    QCOMPARE(r.app->data.BankData[0].In[0].PeakOn, 1);
    r.pty.withUnit([](SimUnit& u) { u.clearFaults(); });
    r.top->mainWind->Toolbar1_ButtonClick(QStringLiteral("EXIT")); // offline now: "Do you want to save File?"
    QVERIFY(r.tickUntil([&] { return r.app->link.OnLine; }));

    // Quit while online: the end of editing is told and the port closed.
    r.byTitle.insert(QStringLiteral("Confirmation"), MsgResult::Ok);
    r.top->close();
    QCOMPARE(r.heard().last(), QByteArray("NO\x02", 3));
    QVERIFY(!r.app->link.SerialObj->IsOpen());
}

QTEST_MAIN(TestEditFlow)
#include "tst_editflow.moc"
