// The outputs' delay against the emulator: the DELAY dialog from the BLOCK
// and OUTPUT pages, its two up-downs kept in step and heard by the unit, and
// the OUTPUT EQ page's pair with its A & B link.

#include "EditorRig.h"
#include "ModalRig.h"
#include "editor/DelayWind.h"
#include "editor/PopupPlace.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace {

using Sends = QList<QPair<int, int>>;
using Pic = ImageWind::Pic;

struct Fixture : EditorRig {
    MainWind& m = *main;

    // The delay messages heard, as (block, ms), and the log emptied.
    Sends delaySends() {
        Sends l;
        for (const QByteArray& b : heard())
            if (b.size() == 8 && b.startsWith("OS") && b[4] == 1)
                l.append({b[3] - 1, uint8_t(b[6]) * 256 + uint8_t(b[7])});
        clearHeard();
        return l;
    }
    int unitDelay(int o) { return unitState().rec[0].Out[o].Delay; }

    // Time and distance values, then their texts, of the dialog or the page.
    template <class W> static QStringList shown(const W& w) {
        return {QString::number(w.TimeUpDown->value()), QString::number(w.DistUpDown->value()), w.TimeLabel->text(),
                w.DistLabel->text()};
    }
};

} // namespace

class TestDelay : public QObject {
    Q_OBJECT
private slots:
    void dialogFromBothOpeners();
    void upDownsKeptInStep();
    void outputEQPagePair();
};

void TestDelay::dialogFromBothOpeners() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.record().Out[2].Delay = 105;
    f.m.DispAllParam();
    QPushButton* block = f.m.DelayButton[2];
    const QColor face = block->palette().color(QPalette::Button);
    DelayWind& w = f.m.delayWind();
    QStringList seen;
    bool marked = false;

    Modal(
        w,
        [&] {
            seen << w.windowTitle() << w.LineCH->text() << w.LineName->text() << w.Tag << Fixture::shown(w);
            marked = block->palette().color(QPalette::Button) == QColor::fromRgb(VbColor(popup::OpenColor));
            w.CloseButton->click();
        },
        [&] { QTest::mouseClick(block, Qt::LeftButton); });
    QCOMPARE(seen, QStringList({"DELAY", "OUT 2", f.m.OutLineName[1]->text(), "2", "105", "105", "105ms", "36.08m"}));
    QVERIFY(marked);
    QCOMPARE(block->palette().color(QPalette::Button), face);
    QVERIFY(!w.isVisible());

    // From the OUTPUT page's key: the same dialog, the key left unmarked;
    // once the output has a delay, the key is lit when the dialog closes.
    PicButton* key = f.m.OutDelay1[5];
    QCOMPARE(key->picture(), Pic::SwOff);
    seen.clear();
    Modal(
        w,
        [&] {
            seen << w.LineCH->text() << w.LineName->text() << Fixture::shown(w);
            marked = key->tint().isValid();
            w.DistUpDown->stepUp();
            QCOMPARE(key->picture(), Pic::SwOff);
            w.CloseButton->click();
        },
        [&] { QTest::mouseClick(key, Qt::LeftButton); });
    QCOMPARE(&f.m.delayWind(), &w);
    QCOMPARE(seen, QStringList({"OUT 4", f.m.OutLineName[3]->text(), "0", "0", "0ms", "0.00m"}));
    QVERIFY(!marked);
    QCOMPARE(key->picture(), Pic::SwOn);
    QCOMPARE(f.delaySends(), (Sends{{5, 1}}));
    QCOMPARE(int(f.record().Out[2].Delay), 105);
}

void TestDelay::upDownsKeptInStep() {
    Fixture f;
    QVERIFY(f.goOnline());
    DelayWind& w = f.m.delayWind();
    Modal(
        w,
        [&] {
            // Opening sends nothing; each step of either up-down sends once,
            // and both up-downs and texts follow.
            QCOMPARE(f.delaySends(), Sends{});
            w.TimeUpDown->stepUp();
            QCOMPARE(Fixture::shown(w), QStringList({"1", "1", "1ms", "0.34m"}));
            w.DistUpDown->setValue(105);
            w.DistUpDown->stepUp();
            QCOMPARE(Fixture::shown(w), QStringList({"106", "106", "106ms", "36.42m"}));
            w.TimeUpDown->setValue(300);
            w.DistUpDown->stepUp();
            QCOMPARE(Fixture::shown(w), QStringList({"300", "300", "300ms", "103.08m"}));
            QCOMPARE(int(f.record().Out[0].Delay), 300);
            QCOMPARE(f.unitDelay(0), 300);
            w.DistUpDown->setValue(0);
            w.TimeUpDown->stepDown();
            QCOMPARE(Fixture::shown(w), QStringList({"0", "0", "0ms", "0.00m"}));
            QCOMPARE(f.unitDelay(0), 0);
            w.CloseButton->click();
        },
        [&] { f.m.DelayButton_Click(0); });
    QCOMPARE(f.delaySends(), (Sends{{0, 1}, {0, 105}, {0, 106}, {0, 300}, {0, 0}}));
    QCOMPARE(int(f.record().Out[1].Delay), 0);
    QCOMPARE(f.m.OutDelay1[0]->picture(), Pic::SwOff);
}

void TestDelay::outputEQPagePair() {
    Fixture f;
    QVERIFY(f.goOnline());
    for (int o = 0; o < 6; ++o)
        f.record().Out[o].Delay = uint16_t(10 * (o + 1));

    // Before an output is chosen the pair follows the block the page edits.
    f.m.OutEQCh = 3;
    f.m.MainTab->setCurrentIndex(MainWind::PageOutputEQ);
    QCOMPARE(Fixture::shown(f.m), QStringList({"30", "30", "30ms", "10.31m"}));

    // OUT 1 with A & B linked: both blocks stored, block 0 alone sent.
    f.m.OutSel = 0;
    f.m.OutDelayParamSet();
    QCOMPARE(f.delaySends(), Sends{});
    f.m.DistUpDown->setValue(105);
    QCOMPARE(Fixture::shown(f.m), QStringList({"105", "105", "105ms", "36.08m"}));
    QCOMPARE(int(f.record().Out[0].Delay), 105);
    QCOMPARE(int(f.record().Out[1].Delay), 105);
    QCOMPARE(f.unitDelay(0), 105);
    QCOMPARE(f.unitDelay(1), 0);
    QCOMPARE(f.delaySends(), (Sends{{0, 105}}));

    // Unlinked, block B keeps its delay; the key follows every change.
    f.m.OEQAB[0]->Tag = QStringLiteral("0");
    f.m.TimeUpDown->setValue(0);
    QCOMPARE(int(f.record().Out[1].Delay), 105);
    QCOMPARE(f.m.OutDelay1[0]->picture(), Pic::SwOff);
    f.m.TimeUpDown->stepUp();
    QCOMPARE(f.m.OutDelay1[0]->picture(), Pic::SwOn);
    QCOMPARE(f.delaySends(), (Sends{{0, 0}, {0, 1}}));

    // OUT 2 linked: block 3 takes the delay too. OUT 3 has no B block: the
    // link leaves block 5 alone.
    f.m.OEQAB[0]->Tag = QStringLiteral("1");
    f.m.OutSel = 1;
    f.m.OutDelayParamSet();
    f.m.TimeUpDown->setValue(77);
    QCOMPARE(int(f.record().Out[3].Delay), 77);
    QCOMPARE(f.delaySends(), (Sends{{2, 77}}));
    f.m.OutSel = 2;
    f.m.OutDelayParamSet();
    QCOMPARE(Fixture::shown(f.m), QStringList({"50", "50", "50ms", "17.18m"}));
    f.m.TimeUpDown->setValue(32);
    QCOMPARE(Fixture::shown(f.m), QStringList({"32", "32", "32ms", "10.99m"}));
    QCOMPARE(int(f.record().Out[4].Delay), 32);
    QCOMPARE(int(f.record().Out[5].Delay), 60);
    QCOMPARE(f.delaySends(), (Sends{{4, 32}}));
}

QTEST_MAIN(TestDelay)
#include "tst_delay.moc"
