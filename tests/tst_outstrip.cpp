// The output strips against the emulator: the level messages' spacing
// shared with the input faders, the knob link's warning, the mono switches
// on both pages, and what a refresh shows on the strips.

#include "FaderRig.h"
#include "data/Tables.h"
#include "editor/MainWind.h"
#include "startwin/Widgets.h"

#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

using Pic = ImageWind::Pic;

QByteArray MonoStereo(int bits) {
    return QByteArray("PS") + char(0) + char(1) + char(bits);
}

} // namespace

class TestOutStrip : public QObject {
    Q_OBJECT
private slots:
    void fadersShareOneRateLimit();
    void linkWarnsOnlyWhenLouder();
    void monoOnBothSwitches();
    void refreshShowsTheStrips();
};

// A drag that goes back and forth between an input and an output fader
// leaves at least 50 ms between any two level messages; the last positions
// reach the unit when the faders are let go.
void TestOutStrip::fadersShareOneRateLimit() {
    FaderRig f;
    QVERIFY(f.goOnline());
    QSlider* in = f.main->InSlider[2];
    QSlider* out = f.main->Slider1[4];
    QList<FaderRig::Move> moves;
    for (int i = 1; i <= 30; ++i)
        moves << FaderRig::Move{in, 120 - i} << FaderRig::Move{out, 100 - 2 * i};
    f.drag(moves);

    const QList<uint32_t>& at = f.levelTimes;
    QVERIFY2(at.size() >= 4, qPrintable(QString::number(at.size())));
    for (qsizetype i = 1; i < at.size(); ++i)
        QVERIFY2(at[i] - at[i - 1] >= 50, qPrintable(QStringLiteral("%1 then %2").arg(at[i - 1]).arg(at[i])));
    QVERIFY(!f.levelsSent(2).isEmpty() && !f.levelsSent(4, 'O').isEmpty());
    QCOMPARE(f.rec().In[2].Fader, 90);
    QCOMPARE(f.rec().Out[4].Fader, 40);
    QCOMPARE(f.unitState().rec[0].In[2].Fader, 90);
    QCOMPARE(f.unitState().rec[0].Out[4].Fader, 40);

    // A fader set to what the record holds (as a refresh sets it) sends
    // nothing.
    f.clearHeard();
    f.rec().Out[5].Fader = 50;
    f.main->Slider1[5]->setValue(50);
    QVERIFY(f.heard().isEmpty());
}

void TestOutStrip::linkWarnsOnlyWhenLouder() {
    FaderRig f;
    QVERIFY(f.goOnline());
    MainWind& m = *f.main;
    OutRec& out = f.rec().Out[4];
    out.VRLevel = 40;
    m.Slider1[4]->setValue(60);
    f.clearHeard();

    f.answers << MsgResult::Cancel;
    m.OutAdjSW[4]->click();
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(m.VrAdjFlag, 0);
    QVERIFY(out.VRLink == 0 && out.Fader == 60 && m.Slider1[4]->isEnabled());
    QVERIFY(f.heard().isEmpty());

    f.answers << MsgResult::Ok;
    m.OutAdjSW[4]->click();
    QCOMPARE(m.VrAdjFlag, -1);
    QCOMPARE(m.Slider1[4]->value(), 40);
    QVERIFY(!m.Slider1[4]->isEnabled());
    QCOMPARE(f.levelsSent(4, 'O').size(), 1);
    QVERIFY(f.unitState().rec[0].Out[4].VRLink == 1 && f.unitState().rec[0].Out[4].Fader == 40);

    // Unlinking asks nothing and leaves the fader where the knob had it;
    // linking a fader louder than the knob asks nothing either.
    m.OutAdjSW[4]->click();
    QVERIFY(m.Slider1[4]->isEnabled() && out.VRLink == 0 && out.Fader == 40);
    m.Slider1[4]->setValue(30);
    m.OutAdjSW[4]->click();
    QCOMPARE(f.asked.size(), 2);
    QCOMPARE(out.Fader, 40);
    QCOMPARE(f.levelsSent(4, 'O').size(), 4);
}

// OUT 2's mono byte is block 1's; either view of a switch shows both, and
// each change sends both flags.
void TestOutStrip::monoOnBothSwitches() {
    FaderRig f;
    QVERIFY(f.goOnline());
    MainWind& m = *f.main;
    BankRec& r = f.rec();
    const QColor face = QPalette().color(QPalette::Button);
    r.Out[0].Mono = 1;
    m.DispAllParam();
    QCOMPARE(m.MonoStereoButton[0]->text(), QStringLiteral("MONO"));
    QCOMPARE(m.MonoStereoButton[0]->palette().color(QPalette::Button), QColor::fromRgb(VbColor(0xC0FFC0)));
    QCOMPARE(m.OutMonoSW[0]->picture(), Pic::SwOn);
    QVERIFY(f.heard().isEmpty());

    m.OutMonoSW[1]->click();
    QVERIFY(r.Out[1].Mono == 1 && r.Out[2].Mono == 0);
    QCOMPARE(f.heard(), QList<QByteArray>{MonoStereo(0x11)});
    QVERIFY(f.unitState().rec[0].Out[1].Mono == 1 && f.unitState().rec[0].Out[0].Mono == 1);
    QCOMPARE(m.MonoStereoButton[1]->text(), QStringLiteral("MONO"));
    QCOMPARE(m.OutMonoSW[1]->Tag, QStringLiteral("1"));

    f.clearHeard();
    m.MonoStereoButton[0]->click();
    QCOMPARE(r.Out[0].Mono, 0);
    QCOMPARE(f.heard(), QList<QByteArray>{MonoStereo(0x10)});
    QCOMPARE(m.MonoStereoButton[0]->text(), QStringLiteral("STEREO"));
    QCOMPARE(m.MonoStereoButton[0]->palette().color(QPalette::Button), face);
    QCOMPARE(m.OutMonoSW[0]->picture(), Pic::SwOff);

    // A byte other than 1 shows mono, and the first click makes it stereo.
    r.Out[1].Mono = 2;
    m.DispAllParam();
    QCOMPARE(m.OutMonoSW[1]->text(), QStringLiteral("MONO"));
    f.clearHeard();
    m.OutMonoSW[1]->click();
    QCOMPARE(m.OutMonoSW[1]->text(), QStringLiteral("STEREO"));
    QCOMPARE(f.heard(), QList<QByteArray>{MonoStereo(0x00)});
}

// Online, so that the marks of the held levels come from the strips'
// refresh alone; nothing is sent although faders move.
void TestOutStrip::refreshShowsTheStrips() {
    FaderRig f;
    QVERIFY(f.goOnline());
    MainWind& m = *f.main;
    BankRec& r = f.rec();
    LevelRec& held = f.app->data.MemLevel[0];
    r.Out[5] = OutRec{};
    r.Out[5].Lock = 1;
    r.Out[5].VRLink = 1;
    // A linked fader is at the knob's level, as the level reader keeps it.
    r.Out[5].VRLevel = r.Out[5].Fader = 30;
    held.Out[5] = 70;
    r.Out[0] = r.Out[1] = r.Out[2] = r.Out[3] = r.Out[4] = OutRec{};
    r.Out[0].Fader = 20;
    held.Out[0] = 77;
    r.Out[1].EQEnable = 1;
    r.Out[3].EQEnable = 1;
    r.Out[4].EQEnable = 1;
    r.Out[2].Delay = 105;
    m.DispAllParam();

    QCOMPARE(m.OutLockSW[5]->picture(), Pic::RedBar);
    QCOMPARE(m.OutLockSW[0]->picture(), Pic::SwOff);
    QCOMPARE(m.OutAdjSW[5]->picture(), Pic::SwOn);
    QCOMPARE(m.Slider1[5]->toolTip(), QStringLiteral("Now linking QDR318."));
    QVERIFY(!m.Slider1[5]->isEnabled() && m.Slider1[0]->isEnabled());
    QCOMPARE(m.Slider1[5]->value(), 30);
    // An unlinked fader stands at the level held with the memory.
    QCOMPARE(r.Out[0].Fader, 77);
    QCOMPARE(m.Slider1[0]->value(), 77);
    QCOMPARE(m.OutFaderVRImg[5]->y(), qRound((70 - 6) * m.OutFaderScale() + m.OutFaderOffset()));
    const auto lit = [](const std::array<PicButton*, 6>& keys) {
        QString on;
        for (int o : ChToOut)
            on += keys[o]->picture() == Pic::SwOn ? QLatin1Char('1') : QLatin1Char('0');
        return on;
    };
    // OUT 1's and OUT 2's keys are lit by their B blocks.
    QCOMPARE(lit(m.OutEQ1), QStringLiteral("1110"));
    QCOMPARE(lit(m.OutDelay1), QStringLiteral("0100"));
    // Each key looks at its own pair's B block.
    r.Out[1].EQEnable = 0;
    m.DispAllParam();
    QCOMPARE(lit(m.OutEQ1), QStringLiteral("0110"));
    QVERIFY(f.heard().isEmpty());
}

QTEST_MAIN(TestOutStrip)
#include "tst_outstrip.moc"
