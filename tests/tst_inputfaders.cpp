// The input faders against the emulator: the 50 ms spacing of level
// messages while a fader is dragged, nested scroll events, lock and knob
// link, the fader dialog on both sides, the unit's knob levels on the
// strips and in the dialog, the refresh of the strips, and the proxy keys.
// The program's clock is the test's: it moves only when a test moves it.

#include "FaderRig.h"
#include "editor/InFaderWind.h"
#include "editor/MainWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {

struct Fixture : FaderRig {
    // Opens the fader dialog with open(), runs script while it is up, then
    // closes it. A dialog still up after 15 s is closed, so that a fault
    // fails the test instead of hanging it.
    void withDialog(const std::function<void()>& open, const std::function<void()>& script) {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, main, [this] { main->inFaderWind().hide(); });
        guard.start(15000);
        QTimer::singleShot(0, main, [this, script] {
            script();
            main->inFaderWind().CloseButton->click();
        });
        open();
    }

    int inMarkTop(int level) const { return qRound((level - 6) * main->InFaderScale() + main->InFaderOffset()); }
    int dialogMarkTop(int level) {
        return qRound((level - 6) * main->OutFaderScale() + main->inFaderWind().FaderPosTop);
    }
};

} // namespace

class TestInputFaders : public QObject {
    Q_OBJECT
private slots:
    void dragSendsAtMostOneLevelPerFiftyMs();
    void nestedScrollEventsSendOnce();
    void linkWarningAndLock();
    void knobLevelsMoveMarksAndLinkedFaders();
    void dialogServesInputsAndOutputs();
    void refreshShowsTheStripsAndRepairsHeldLevels();
    void proxyKeysSwitchTheMiscPage();
};

void TestInputFaders::dragSendsAtMostOneLevelPerFiftyMs() {
    Fixture f;
    QVERIFY(f.goOnline());
    QList<int> path;
    for (int i = 1; i <= 100; ++i)
        path << 125 - i;
    f.drag(f.main->InSlider[3], path);

    const QList<QByteArray> sent = f.levelsSent(3);
    QVERIFY2(sent.size() >= 2 && sent.size() <= 21, qPrintable(QString::number(sent.size())));
    QCOMPARE(uint8_t(sent.last()[7]), uint8_t(25));
    QCOMPARE(f.rec().In[3].Fader, 25);
    QCOMPARE(f.unitState().rec[0].In[3].Fader, 25);

    // The spacing is shared by every level slider: an output fader moved
    // right after an input's message waits for the same 50 ms.
    f.unit().model().clearRequests();
    f.main->InSlider[0]->setValue(40);
    QCOMPARE(f.levelsSent(0).size(), 1);
    QCOMPARE(f.drag(f.main->Slider1[2], {70}), 4);
    QCOMPARE(f.levelsSent(2, 'O').size(), 1);
}

void TestInputFaders::nestedScrollEventsSendOnce() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.main->InSlider[1]->setValue(100);
    QCOMPARE(f.levelsSent(1).size(), 1);
    // Three moves within the wait: the later two nest in the first, and
    // the outermost sends the last position as soon as 50 ms have passed.
    QCOMPARE(f.drag(f.main->InSlider[1], {90, 80, 70}), 2);
    const QList<QByteArray> sent = f.levelsSent(1);
    QCOMPARE(sent.size(), 2);
    QCOMPARE(uint8_t(sent.last()[7]), uint8_t(70));
    QCOMPARE(f.main->SliderNest, 0);
}

void TestInputFaders::linkWarningAndLock() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.rec().In[2].VRLevel = 40;
    f.main->InSlider[2]->setValue(60);
    f.unit().model().clearRequests();

    f.answers << MsgResult::Cancel;
    f.main->InVRADJ_Click(2);
    QCOMPARE(f.asked.size(), 1);
    const MsgBox& box = f.asked.first();
    QCOMPARE(box.text, QStringLiteral("Sound level will increase.\r\nDo you still want to link?"));
    QCOMPARE(box.title, QStringLiteral("Confirmation"));
    QVERIFY(box.buttons == MsgButtons::OkCancel && box.icon == MsgIcon::Exclamation &&
            box.defaultButton == MsgResult::Cancel);
    QCOMPARE(f.main->VrAdjFlag, 0);
    QCOMPARE(f.rec().In[2].Fader, 60);
    QCOMPARE(f.rec().In[2].VRLink, 0);
    QCOMPARE(f.main->InSlider[2]->value(), 60);
    QVERIFY(f.main->InSlider[2]->isEnabled());
    QCOMPARE(f.main->InVRADJ[2]->picture(), ImageWind::Pic::SwOff);
    QVERIFY(f.unit().model().requests().isEmpty());

    // The same cancel from the dialog leaves the dialog as it was.
    f.answers << MsgResult::Cancel;
    f.withDialog([&] { f.main->InVrButton_Click(2); },
                 [&] {
                     InFaderWind& w = f.main->inFaderWind();
                     w.InVRADJ->click();
                     QCOMPARE(w.InVRADJ->picture(), ImageWind::Pic::SwOff);
                     QVERIFY(w.InSlider->isEnabled());
                     QCOMPARE(w.InSlider->value(), 60);
                 });
    QVERIFY(f.unit().model().requests().isEmpty());

    // OK links at the knob's level and sends once.
    f.answers << MsgResult::Ok;
    f.main->InVRADJ_Click(2);
    QCOMPARE(f.main->VrAdjFlag, -1);
    QCOMPARE(f.levelsSent(2).size(), 1);
    QCOMPARE(f.unitState().rec[0].In[2].Fader, 40);
    QCOMPARE(f.unitState().rec[0].In[2].VRLink, 1);
    QCOMPARE(f.main->InSlider[2]->toolTip(), QStringLiteral("Now,linking QDR318"));
    // Unlinking never asks and keeps the fader; linking a fader as loud as
    // the knob asks nothing.
    f.main->InVRADJ[2]->click();
    QVERIFY(f.main->InSlider[2]->isEnabled());
    f.main->InVRADJ[2]->click();
    QCOMPARE(f.asked.size(), 3);
    QCOMPARE(f.levelsSent(2).size(), 3);
    QCOMPARE(f.unitState().rec[0].In[2].Fader, 40);

    f.main->InLock[5]->click();
    QCOMPARE(f.unitState().rec[0].In[5].Lock, 1);
    QCOMPARE(f.main->InLock[5]->picture(), ImageWind::Pic::RedBar);
}

void TestInputFaders::knobLevelsMoveMarksAndLinkedFaders() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.unitState().rec[0].In[1].VRLink = 1;
    f.rec().In[1].VRLink = 1;
    f.main->InSlider[2]->setValue(70);
    f.unitState().setInKnob(1, 30);
    f.unitState().setInKnob(2, 90);
    f.unit().model().clearRequests();
    f.app->lib->ReadInputLevel();
    QCOMPARE(f.main->FaderPosImg[1]->y(), f.inMarkTop(30));
    QCOMPARE(f.main->FaderPosImg[2]->y(), f.inMarkTop(90));
    QCOMPARE(f.main->InSlider[1]->value(), 30);
    QCOMPARE(f.main->InSlider[2]->value(), 70);

    // The open dialog follows its channel's knob; the other side's levels
    // leave it alone. Nothing of this is sent back.
    f.withDialog([&] { f.main->InVrButton_Click(1); },
                 [&] {
                     InFaderWind& w = f.main->inFaderWind();
                     QCOMPARE(w.LineCH->text(), QStringLiteral("MONO 2"));
                     QCOMPARE(w.InSlider->value(), 30);
                     QVERIFY(!w.InSlider->isEnabled());
                     QCOMPARE(w.FaderPosImg->y(), f.dialogMarkTop(30));
                     f.unitState().setInKnob(1, 50);
                     f.app->lib->ReadInputLevel();
                     QCOMPARE(w.FaderPosImg->y(), f.dialogMarkTop(50));
                     QCOMPARE(w.InSlider->value(), 50);
                     QCOMPARE(f.main->InSlider[1]->value(), 50);
                     QCOMPARE(f.main->FaderPosImg[1]->y(), f.inMarkTop(50));
                     f.unitState().setOutKnob(0, 20);
                     f.app->lib->ReadOutputLevel();
                     QCOMPARE(w.FaderPosImg->y(), f.dialogMarkTop(50));
                 });
    QCOMPARE(f.rec().In[1].Fader, 50);
    QVERIFY(f.levelsSent(1).isEmpty());
    QVERIFY(f.levelsSent(0, 'O').isEmpty());
}

void TestInputFaders::dialogServesInputsAndOutputs() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.app->data.MemLevel[0].In[7] = 100;
    f.main->InSlider[7]->setValue(64);
    f.unit().model().clearRequests();
    QPushButton* opener = f.main->InVrButton[7];
    const QColor face = opener->palette().color(QPalette::Button);
    f.withDialog([&] { f.main->InVrButton_Click(7); },
                 [&] {
                     InFaderWind& w = f.main->inFaderWind();
                     // Inputs past the fifth open level with the fifth.
                     QCOMPARE(w.y(), f.main->InVrButton[4]->mapToGlobal(QPoint(0, 0)).y());
                     QVERIFY(opener->palette().color(QPalette::Button) != face);
                     QCOMPARE(w.InSlider->value(), 64);
                     QCOMPARE(w.FaderVRImg->y(), f.dialogMarkTop(100));
                     w.InSlider->setValue(20);
                     QCOMPARE(f.main->InSlider[7]->value(), 20);
                     w.InLock->click();
                     QCOMPARE(w.InLock->picture(), ImageWind::Pic::RedBar);
                 });
    QCOMPARE(opener->palette().color(QPalette::Button), face);
    QCOMPARE(f.unitState().rec[0].In[7].Fader, 20);
    QCOMPARE(f.unitState().rec[0].In[7].Lock, 1);
    QCOMPARE(f.main->InLock[7]->picture(), ImageWind::Pic::RedBar);

    // Output block 2: the dialog moves its fader on the editor, and the
    // output side sends.
    f.rec().Out[2].VRLevel = 30;
    f.rec().Out[2].Fader = 80;
    f.main->Slider1[2]->setValue(80);
    f.unit().model().clearRequests();
    f.answers << MsgResult::Ok;
    f.withDialog([&] { f.main->OutVrButton_Click(2); },
                 [&] {
                     InFaderWind& w = f.main->inFaderWind();
                     QCOMPARE(w.LineCH->text(), QStringLiteral("OUT 2"));
                     QCOMPARE(w.Side(), 1);
                     w.InSlider->setValue(45);
                     QCOMPARE(f.main->Slider1[2]->value(), 45);
                     w.InVRADJ->click();
                     QCOMPARE(w.InSlider->value(), 30);
                     QVERIFY(!w.InSlider->isEnabled());
                     // OUT 2's knob drives block 2.
                     f.unitState().setOutKnob(1, 25);
                     f.app->lib->ReadOutputLevel();
                     QCOMPARE(w.InSlider->value(), 25);
                     QCOMPARE(w.FaderPosImg->y(), f.dialogMarkTop(25));
                     QCOMPARE(f.main->Slider1[2]->value(), 25);
                     w.InLock->click();
                 });
    QVERIFY(f.levelsSent(7).isEmpty());
    const QList<QByteArray> out = f.levelsSent(2, 'O');
    QCOMPARE(out.size(), 3);
    QCOMPARE(uint8_t(out[0][7]), uint8_t(45));
    const OutRec& unitOut = f.unitState().rec[0].Out[2];
    QCOMPARE(unitOut.Fader, 25);
    QCOMPARE(unitOut.VRLink, 1);
    QCOMPARE(unitOut.Lock, 1);
    QCOMPARE(f.main->OutAdjSW[2]->picture(), ImageWind::Pic::SwOn);
}

void TestInputFaders::refreshShowsTheStripsAndRepairsHeldLevels() {
    Fixture f;
    LevelRec& held = f.app->data.MemLevel[0];
    BankRec& r = f.rec();
    held.In[0] = 3;
    held.In[1] = 200;
    held.Out[2] = 0;
    held.Out[1] = 3; // block 1 has no fader of its own
    r.In[4].Lock = 1;
    r.In[4].VRLink = 1;
    r.In[4].VRLevel = 20;
    r.In[8].EQEnable = 1;
    r.In[3].HSOn = 1;
    f.main->DispAllParam();
    QCOMPARE(held.In[0], 6);
    QCOMPARE(held.In[1], 125);
    QCOMPARE(held.Out[2], 6);
    QCOMPARE(held.Out[1], 3);
    QCOMPARE(f.main->FaderVRImg[0]->y(), f.inMarkTop(6));
    QCOMPARE(f.main->FaderVRImg[1]->y(), f.inMarkTop(125));
    QCOMPARE(f.main->InLock[4]->picture(), ImageWind::Pic::RedBar);
    QCOMPARE(f.main->InVRADJ[4]->picture(), ImageWind::Pic::SwOn);
    QVERIFY(!f.main->InSlider[4]->isEnabled());
    QCOMPARE(f.main->InSlider[4]->toolTip(), QStringLiteral("Now linking QDR318."));
    QCOMPARE(f.main->InSlider[4]->value(), 20);
    QCOMPARE(f.main->InEQ[8]->picture(), ImageWind::Pic::SwOn);
    QCOMPARE(f.main->InHS1[3]->picture(), ImageWind::Pic::SwOn);
    QVERIFY(f.main->SHawling[3]->isChecked());
    // Unlinked faders stand at the level held with the memory.
    QCOMPARE(r.In[0].Fader, 6);
    QCOMPARE(f.main->InSlider[0]->value(), 6);

    // Online the refresh sends nothing although the controls move, and
    // the held levels are left to the unit.
    QVERIFY(f.goOnline());
    held.In[0] = 3;
    held.In[5] = 90;
    r.In[4].VRLink = 0;
    // A linked fader is moved to the knob without storing or sending.
    r.In[9].VRLink = 1;
    r.In[9].VRLevel = 33;
    r.In[9].Fader = 80;
    f.main->DispAllParam();
    QCOMPARE(f.main->InSlider[9]->value(), 33);
    QCOMPARE(r.In[9].Fader, 80);
    QCOMPARE(held.In[0], 3);
    QCOMPARE(f.main->InSlider[5]->value(), 90);
    QVERIFY(f.main->InSlider[4]->isEnabled());
    QVERIFY(f.unit().model().requests().isEmpty());
}

void TestInputFaders::proxyKeysSwitchTheMiscPage() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.main->InHS1[3]->click();
    f.main->inMute[2]->click();
    f.main->inMMute[1]->click();
    QVERIFY(f.main->SHawling[3]->isChecked() && f.main->SACheck[2]->isChecked() && f.main->SMCheck[1]->isChecked());
    QCOMPARE(f.main->InHS1[3]->picture(), ImageWind::Pic::SwOn);
    QCOMPARE(f.main->inMute[2]->toolTip(), QStringLiteral("Enable"));
    const BankRec& unit = f.unitState().rec[0];
    QVERIFY(unit.In[3].HSOn == 1 && unit.SAMask == 4 && unit.SMMask == 2);
}

QTEST_MAIN(TestInputFaders)
#include "tst_inputfaders.moc"
