// The output pairs' balance against the emulator: what a slider position
// stores, shows and sends, the knob's press-and-hold counted in timer
// periods with the mouse buttons in the test's hands, the double click, the
// refresh, and the BALANCE dialog.

#include "EditorRig.h"
#include "ModalRig.h"
#include "data/Tables.h"
#include "editor/BalWind.h"
#include "editor/PopupPlace.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

using Sends = QList<QPair<int, int>>;

struct Fixture : EditorRig {
    MainWind& m = *main;

    std::pair<int, int> bytes(int p) { return {record().Out[p].Balance, record().Out[p + 1].Balance}; }
    std::pair<int, int> unitBytes(int p) {
        return {unitState().rec[0].Out[p].Balance, unitState().rec[0].Out[p + 1].Balance};
    }
    QStringList texts(int p) { return {m.OutBalLabel[p]->text(), m.OutBalLabel[p + 1]->text()}; }
    void setBytes(int p, uint8_t a, uint8_t b) {
        record().Out[p].Balance = a;
        record().Out[p + 1].Balance = b;
    }

    // The balance messages heard, as (block, byte), and the log emptied.
    Sends balanceSends() {
        Sends l;
        for (const QByteArray& b : heard())
            if (b.size() == 6 && b.startsWith("OS") && b[4] == 31)
                l.append({b[3] - 1, int(uint8_t(b[5]))});
        clearHeard();
        return l;
    }

    QList<int> hold(int p, Qt::MouseButton button, int releaseAfter = -1, bool down = true) {
        return holdKnob(
            m.BalVol[p], m.BalTimer, [this] { m.BalTimer_Timer(); }, [this, p] { return m.OutBallance[p]->value(); },
            button, releaseAfter, down);
    }
};

} // namespace

class TestBalance : public QObject {
    Q_OBJECT
private slots:
    void positionsStoreShowAndSend();
    void refreshSendsNothing();
    void knobHold();
    void doubleClickCentres();
    void dialogEditsItsPair();
};

void TestBalance::positionsStoreShowAndSend() {
    Fixture f;
    QVERIFY(f.goOnline());

    // The ends attenuate one block fully, the centre neither.
    f.m.OutBallance[0]->setValue(0);
    QCOMPARE(f.bytes(0), std::pair(46, 0));
    QCOMPARE(f.texts(0), QStringList({"0.0", "-20.1"}));
    QCOMPARE(f.m.BalVol[0]->angle(), 132);
    f.m.OutBallance[0]->setValue(92);
    QCOMPARE(f.bytes(0), std::pair(0, 46));
    QCOMPARE(f.texts(0), QStringList({"-20.1", "0.0"}));
    QCOMPARE(f.m.BalVol[0]->angle(), 48);
    f.m.OutBallance[0]->setValue(46);
    QCOMPARE(f.bytes(0), std::pair(46, 46));
    QCOMPARE(f.texts(0), QStringList({"0.0", "0.0"}));
    QCOMPARE(f.m.BalVol[0]->pointerEnd().x(), f.m.BalVol[0]->width() / 2.0);
    QCOMPARE(f.balanceSends(), (Sends{{0, 46}, {1, 0}, {0, 0}, {1, 46}, {0, 46}, {1, 46}}));

    // Across the centre both blocks change, and both are sent every time.
    f.m.OutBallance[2]->setValue(47);
    QCOMPARE(f.bytes(2), std::pair(45, 46));
    f.m.OutBallance[2]->setValue(45);
    QCOMPARE(f.bytes(2), std::pair(46, 45));
    QCOMPARE(f.texts(2), QStringList({"0.0", "-0.2"}));
    QCOMPARE(f.balanceSends(), (Sends{{2, 45}, {3, 46}, {2, 46}, {3, 45}}));
    QCOMPARE(f.unitBytes(2), f.bytes(2));
    QCOMPARE(f.bytes(0), std::pair(46, 46));
}

void TestBalance::refreshSendsNothing() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.setBytes(0, 46, 20);
    f.setBytes(2, 10, 46);
    f.m.DispAllParam();
    QCOMPARE(f.m.OutBallance[0]->value(), 20);
    QCOMPARE(f.m.OutBallance[2]->value(), 82);
    QCOMPARE(f.texts(0), QStringList({"0.0", "-10.1"}));
    QCOMPARE(f.texts(2), QStringList({"-15.1", "0.0"}));
    QCOMPARE(f.m.BalVol[2]->angle(), KnobAngle[82]);
    QCOMPARE(f.balanceSends(), Sends{});

    // A pair with both blocks attenuated (as a venue file may hold) is
    // placed by block A; bytes past the table (a record damaged in memory)
    // show within it. Still nothing goes out.
    f.setBytes(0, 30, 20);
    f.m.DispBalancePairs();
    QCOMPARE(f.m.OutBallance[0]->value(), 62);
    QCOMPARE(f.texts(0), QStringList({"-6.0", "-10.1"}));
    f.setBytes(0, 200, 46);
    f.setBytes(2, 46, 99);
    f.m.DispBalancePairs();
    QCOMPARE(f.m.OutBallance[0]->value(), 0);
    QCOMPARE(f.m.BalVol[0]->Tag, QStringLiteral("0"));
    QCOMPARE(f.m.BalVol[2]->Tag, QStringLiteral("92"));
    QCOMPARE(f.texts(0), QStringList({"0.0", "0.0"}));
    QCOMPARE(f.balanceSends(), Sends{});
}

void TestBalance::knobHold() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.m.DispBalancePairs();

    // Right from the centre: 30 ms, a second later, then every 100 ms, up
    // to 92, where it stops; A goes down while B stays at 0 dB.
    const QList<int> up = f.hold(0, Qt::RightButton);
    QCOMPARE(up.size(), 46);
    QCOMPARE(up.mid(0, 3), (QList<int>{30, 1030, 1130}));
    QCOMPARE(up.last(), 1030 + 44 * 100);
    QCOMPARE(f.m.BalVol[0]->Tag, QStringLiteral("92"));
    QCOMPARE(f.bytes(0), std::pair(0, 46));
    Sends want;
    for (int a = 45; a >= 0; --a)
        want << QPair(0, a) << QPair(1, 46);
    QCOMPARE(f.balanceSends(), want);
    QCOMPARE(f.hold(0, Qt::RightButton), QList<int>{});

    // Left on the other pair steps down, each press starting over at 30 ms.
    QCOMPARE(f.hold(2, Qt::LeftButton, 3), (QList<int>{30, 1030, 1130}));
    QCOMPARE(f.m.BalWindCh, 2);
    QCOMPARE(f.bytes(2), std::pair(46, 43));
    QCOMPARE(f.balanceSends(), (Sends{{2, 46}, {3, 45}, {2, 46}, {3, 44}, {2, 46}, {3, 43}}));
    // A button that reads as up ends the stepping after the step.
    QCOMPARE(f.hold(2, Qt::LeftButton, -1, false), QList<int>{30});
    QCOMPARE(f.balanceSends(), (Sends{{2, 46}, {3, 42}}));

    // Let go within the first 30 ms: no step. Other buttons do nothing.
    QCOMPARE(f.hold(2, Qt::RightButton, 0), QList<int>{});
    QTest::mousePress(f.m.BalVol[2], Qt::MiddleButton);
    QVERIFY(!f.m.BalTimer.isActive());
    QCOMPARE(f.m.BalTimer.interval(), 30);
    QCOMPARE(f.balanceSends(), Sends{});
}

void TestBalance::doubleClickCentres() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.setBytes(2, 46, 10);
    f.m.DispBalancePairs();
    QTest::mouseDClick(f.m.BalVol[2], Qt::LeftButton);
    QCOMPARE(f.m.OutBallance[2]->value(), 46);
    QCOMPARE(f.balanceSends(), (Sends{{2, 46}, {3, 46}}));
    // Already centred, or on a caption: nothing.
    QTest::mouseDClick(f.m.BalVol[2], Qt::LeftButton);
    QTest::mouseDClick(f.m.BalALabel[0], Qt::LeftButton);
    QTest::mouseDClick(f.m.OutBalLabel[1], Qt::LeftButton);
    QCOMPARE(f.balanceSends(), Sends{});
}

void TestBalance::dialogEditsItsPair() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.setBytes(0, 46, 30);
    f.setBytes(2, 20, 46);
    f.record().OutNameStr[0] = QStringLiteral("Mains");
    f.record().OutNameStr[1] = QStringLiteral("Fills");
    f.m.DispAllParam();
    BalWind& w = f.m.balWind();
    QPushButton* bal = f.m.OutBalButton[2];
    const QColor face = bal->palette().color(QPalette::Button);
    QStringList shown;

    Modal(
        w,
        [&] {
            shown << w.windowTitle() << w.LineCH->text() << w.LineName->text() << w.OutBalLabel[0]->text()
                  << w.OutBalLabel[1]->text() << QString::number(w.OutBallance->value()) << w.BalVol->Tag;
            QCOMPARE(bal->palette().color(QPalette::Button), QColor::fromRgb(VbColor(popup::OpenColor)));
            QCOMPARE(f.balanceSends(), Sends{});

            // The dialog's slider moves pair 2, and the page follows.
            w.OutBallance->setValue(50);
            QCOMPARE(f.bytes(2), std::pair(42, 46));
            QCOMPARE(w.OutBalLabel[0]->text(), QStringLiteral("-1.2"));
            QCOMPARE(f.m.OutBallance[2]->value(), 50);
            QCOMPARE(f.texts(2), QStringList({"-1.2", "0.0"}));
            QCOMPARE(f.m.BalVol[2]->angle(), KnobAngle[50]);
            QCOMPARE(w.BalVol->angle(), KnobAngle[50]);

            // Its knob steps the same way, and centres on a double click.
            const QList<int> steps = f.holdKnob(
                w.BalVol, w.BalWindTimer, [&w] { w.BalWindTimer_Timer(); }, [&w] { return w.OutBallance->value(); },
                Qt::RightButton, 2);
            QCOMPARE(steps, (QList<int>{30, 1030}));
            QCOMPARE(f.m.OutBallance[2]->value(), 52);
            QTest::mouseDClick(w.BalVol, Qt::LeftButton);
            QCOMPARE(f.m.OutBallance[2]->value(), 46);
            QCOMPARE(f.bytes(0), std::pair(46, 30));
            QTest::mouseClick(w.CloseButton, Qt::LeftButton);
        },
        [&] { QTest::mouseClick(bal, Qt::LeftButton); });

    QCOMPARE(shown, QStringList({"BALANCE", "OUT 2", "Fills", "-10.1", "0.0", "72", "72"}));
    QCOMPARE(f.balanceSends(),
             (Sends{{2, 42}, {3, 46}, {2, 41}, {3, 46}, {2, 40}, {3, 46}, {2, 46}, {3, 46}}));
    QCOMPARE(f.unitBytes(2), std::pair(46, 46));
    QVERIFY(!w.isVisible());
    QCOMPARE(bal->palette().color(QPalette::Button), face);

    // Kept, and filled anew for the other pair.
    Modal(
        w,
        [&] {
            shown = QStringList{w.LineCH->text(), w.LineName->text(), w.OutBalLabel[1]->text(),
                                QString::number(w.OutBallance->value())};
            w.CloseButton->click();
        },
        [&] { QTest::mouseClick(f.m.OutBalButton[0], Qt::LeftButton); });
    QCOMPARE(&f.m.balWind(), &w);
    QCOMPARE(shown, QStringList({"OUT 1", "Mains", "-6.0", "30"}));
    QCOMPARE(f.balanceSends(), Sends{});
}

QTEST_MAIN(TestBalance)
#include "tst_balance.moc"
