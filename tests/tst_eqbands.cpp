// The OUTPUT EQ page's bands against the emulator: type selectors and
// up-downs, markers dragged on the graph with the drag tick run by hand,
// the A & B link, and the page as editing starts.

#include "EditorRig.h"
#include "data/VenueFile.h"
#include "editor/EQGraph.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>

namespace {

// One band message as heard: block, band, then type, frequency, Q and gain.
struct BandSend {
    int block, band, type, freq, q, gain;
    bool operator==(const BandSend&) const = default;
};

struct Fixture : EditorRig {
    MainWind& m = *main;

    // Online with OUT 1 on the page; blocks 0 and 1 alike (linked) or not.
    explicit Fixture(bool linked = false) {
        if (!goOnline())
            return;
        OutRec* out = record().Out;
        for (int o = 0; o < 2; ++o)
            for (int b = 0; b < 6; ++b) {
                out[o].EQType[b] = 0;
                out[o].EQFreq[b] = uint8_t(8 + 8 * b);
                out[o].EQQ[b] = 6;
                out[o].EQGain[b] = 30;
            }
        out[0].EQEnable = out[1].EQEnable = 1;
        if (!linked)
            out[1].EQGain[5] = 31;
        m.OutputWindMake();
        clearHeard();
    }

    // The band messages heard, and the log emptied; names counts the
    // speaker-name messages among them.
    QList<BandSend> bandSends(int* names = nullptr) {
        QList<BandSend> l;
        for (const QByteArray& x : heard()) {
            const auto u = [&x](int i) { return int(uint8_t(x[i])); };
            if (x.size() == 9 && x.startsWith("OS") && u(4) >= 3 && u(4) <= 8)
                l.append({u(3) - 1, u(4) - 3, u(5), u(6), u(7), u(8)});
            if (names && x.startsWith("NS") && u(3) == 6)
                ++*names;
        }
        clearHeard();
        return l;
    }
    void choose(int b, int type) {
        m.cboEQ_S[b]->setCurrentIndex(type);
        emit m.cboEQ_S[b]->activated(type);
    }

    // The mouse on the graph at a point in its units.
    void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        const QPointF u0 = m.PicGraph->ToUnits({0, 0}), u1 = m.PicGraph->ToUnits({1, 1});
        const QPointF p((at.x() - u0.x()) / (u1.x() - u0.x()), (at.y() - u0.y()) / (u1.y() - u0.y()));
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, p, m.PicGraph->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(m.PicGraph, &e);
    }
    // Pressed on band b's marker, a unit inside its corner, the drag's
    // anchor.
    QPointF grab(int b) {
        const EQGraph::Marker k = m.PicGraph->Picmark()[b];
        const QPointF at(k.Left + 1, k.Top + 1);
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        return at;
    }
    void moveTo(QPointF at) { mouse(QEvent::MouseMove, at, Qt::LeftButton); }
    void release(QPointF at) { mouse(QEvent::MouseButtonRelease, at, Qt::NoButton); }
    // One period of the drag timer gone by.
    void tick() {
        if (m.OutputEQTimer.isActive())
            m.OutputEQTimer_Timer();
    }
};

} // namespace

class TestEQBands : public QObject {
    Q_OBJECT
private slots:
    void typeSelectors();
    void upDownsAndSpeakerMark();
    void shortDragSendsAtRelease();
    void longDragSendsPerTickWhileChanged();
    void dragsStopAtRangeEnds();
    void linkedBandsGoOutForBothBlocks();
    void editingStartShowsOut1();
};

void TestEQBands::typeSelectors() {
    Fixture f;
    QVERIFY(f.app->link.OnLine);
    f.m.cmdGUpDown[2]->setValue(44);
    f.m.cmdQUpDown[2]->setValue(9);
    f.clearHeard();
    // Another type: 0 dB and the first Q, sent once.
    f.choose(2, 3);
    QCOMPARE(f.bandSends(), QList<BandSend>({{0, 2, 3, 24, 0, 30}}));
    QCOMPARE(f.m.cmdGUpDown[2]->value(), 30);
    QVERIFY(f.m.txtQ[2]->isHidden() && !f.m.txtG[2]->isHidden());
    // The type it has: nothing sent, nothing reset.
    f.m.cmdGUpDown[2]->setValue(40);
    f.clearHeard();
    f.choose(2, 3);
    QVERIFY(f.bandSends().isEmpty());
    QCOMPARE(f.record().Out[0].EQGain[2], 40);
    // The filters show neither gain nor Q, and send gain 29.
    f.choose(4, 1);
    QCOMPARE(f.bandSends(), QList<BandSend>({{0, 4, 1, 40, 0, 29}}));
    QCOMPARE(f.record().Out[0].EQGain[4], 30);
    for (QWidget* w : std::initializer_list<QWidget*>{f.m.lblg[4], f.m.txtG[4], f.m.cmdGUpDown[4], f.m.lblq[4],
                                                      f.m.txtQ[4], f.m.cmdQUpDown[4]})
        QVERIFY(w->isHidden());
    // A band at 0 dB already, whose up-down does not move, stays at 0 dB.
    f.choose(0, 4);
    QCOMPARE(f.bandSends(), QList<BandSend>({{0, 0, 4, 8, 0, 30}}));
    QCOMPARE(f.record().Out[0].EQGain[0], 30);
    // A type shown from the record counts as chosen.
    f.record().Out[0].EQType[5] = 2;
    f.m.OutEQParamSet();
    QVERIFY(f.m.txtG[5]->isHidden());
    f.choose(5, 2);
    QVERIFY(f.bandSends().isEmpty());
}

void TestEQBands::upDownsAndSpeakerMark() {
    Fixture f;
    f.record().SpkNameStr[0] = QStringLiteral("Wedge");
    int names = 0;
    f.m.cmdFUpDown[1]->stepBy(1);
    f.m.cmdGUpDown[1]->stepBy(-1);
    f.m.cmdQUpDown[1]->stepBy(1);
    QCOMPARE(f.bandSends(&names),
             QList<BandSend>({{0, 1, 0, 17, 6, 30}, {0, 1, 0, 17, 6, 29}, {0, 1, 0, 17, 7, 29}}));
    QCOMPARE(f.m.txtG[1]->text(), QStringLiteral("-0.5"));
    QCOMPARE(f.unitState().rec[0].Out[0].EQGain[1], 29);
    // Marked and told once, at the first change.
    QCOMPARE(names, 1);
    QVERIFY(f.unitState().nameField(6, 1).startsWith("*Wedge"));
    // No preset name: nothing to mark.
    f.record().SpkNameStr[0].clear();
    f.m.cmdFUpDown[1]->stepBy(1);
    QCOMPARE(f.bandSends(&names).size(), 1);
    QCOMPARE(names, 1);
    QVERIFY(f.record().SpkNameStr[0].isEmpty());
}

void TestEQBands::shortDragSendsAtRelease() {
    Fixture f;
    f.record().SpkNameStr[0] = QStringLiteral("Wedge");
    const QPointF at = f.grab(2) + QPointF(9, 0);
    f.moveTo(at);
    QVERIFY(f.heard().isEmpty());
    f.release(at);
    int names = 0;
    QCOMPARE(f.bandSends(&names), QList<BandSend>({{0, 2, 0, 25, 6, 30}}));
    QCOMPARE(names, 0);
    QVERIFY(!f.m.OutputEQTimer.isActive());
    // A press beside every marker holds nothing and starts no tick.
    f.mouse(QEvent::MouseButtonPress, {590, 300}, Qt::LeftButton);
    QCOMPARE(f.m.DragBand, -1);
    QVERIFY(!f.m.OutputEQTimer.isActive());
}

void TestEQBands::longDragSendsPerTickWhileChanged() {
    Fixture f;
    f.record().SpkNameStr[0] = QStringLiteral("Wedge");
    int names = 0;
    QPointF at = f.grab(3);
    f.tick();
    QVERIFY(f.bandSends(&names).isEmpty());
    // Two steps' way right: one step per event.
    at += QPointF(20, 0);
    f.moveTo(at);
    f.moveTo(at);
    f.tick();
    QCOMPARE(f.bandSends(&names), QList<BandSend>({{0, 3, 0, 34, 6, 30}}));
    QCOMPARE(names, 1);
    // Up two gain steps, then a tick with no change.
    for (int i = 0; i < 2; ++i)
        f.moveTo(at -= QPointF(0, 7));
    QCOMPARE(f.m.PicGraph->Picmark()[3].Top, f.m.outEQ.OEQMarkY[32]);
    f.tick();
    f.tick();
    f.release(at);
    QCOMPARE(f.bandSends(&names), QList<BandSend>(2, {0, 3, 0, 34, 6, 32}));
    QCOMPARE(names, 1);
}

void TestEQBands::dragsStopAtRangeEnds() {
    Fixture f;
    OutRec& out = f.record().Out[0];
    const auto dragFrom = [&](int b, QPointF way) {
        f.m.OutEQParamSet();
        const EQGraph::Marker before = f.m.PicGraph->Picmark()[b];
        const QPointF at = f.grab(b);
        f.moveTo(at + way);
        f.tick();
        f.release(at + way);
        QCOMPARE(f.m.PicGraph->Picmark()[b].Left, before.Left);
        QCOMPARE(f.m.PicGraph->Picmark()[b].Top, before.Top);
    };
    // Lowest, dragged left and down: the tick and the release send it as it was.
    out.EQFreq[0] = out.EQGain[0] = 0;
    dragFrom(0, {-6, 14});
    QCOMPARE(f.bandSends(), QList<BandSend>(2, {0, 0, 0, 0, 6, 0}));
    // Highest, dragged right and up.
    out.EQFreq[5] = 53;
    out.EQGain[5] = 60;
    dragFrom(5, {10, -7});
    QCOMPARE(f.bandSends(), QList<BandSend>(2, {0, 5, 0, 53, 6, 60}));
}

void TestEQBands::linkedBandsGoOutForBothBlocks() {
    Fixture f(true);
    f.m.cmdGUpDown[0]->setValue(50);
    f.choose(1, 4);
    const QPointF at = f.grab(2);
    f.moveTo(at + QPointF(-6, 0));
    f.release(at);
    const QList<BandSend> sent = f.bandSends();
    QCOMPARE(sent.size(), 6);
    for (int i = 0; i < sent.size(); i += 2) {
        QCOMPARE(sent[i].block, 0);
        BandSend partner = sent[i + 1];
        QCOMPARE(partner.block, 1);
        partner.block = 0;
        QCOMPARE(partner, sent[i]);
    }
    QVERIFY(f.m.OutputEQDataComp(0, 1));
    QCOMPARE(f.unitState().rec[0].Out[1].EQFreq[2], 23);
}

void TestEQBands::editingStartShowsOut1() {
    Fixture f;
    const auto startEditing = [&f] {
        f.top->TopWindowLock();
        f.top->SyousaiBtn_Click();
    };
    const auto tags = [&f] {
        QStringList l;
        for (PicButton* b : f.m.OEQAB)
            l << b->Tag;
        return l;
    };
    // Left on OUT 3; the unit's OUT 1 has blocks that differ.
    f.m.OEQChannel->setCurrentIndex(2);
    OutRec* unitOut = f.unitState().rec[0].Out;
    unitOut[0].EQGain[3] = 41;
    unitOut[1].EQGain[3] = 42;
    startEditing();
    QCOMPARE(f.m.OEQChannel->currentIndex(), 0);
    QCOMPARE(f.m.OutEQCh, 0);
    QCOMPARE(tags(), QStringList({"0", "1", "0"}));
    QCOMPARE(f.m.txtG[3]->text(), QStringLiteral("5.5"));
    // Left on OUT 1's B block; now the unit's blocks are alike.
    f.m.OEQAB[1]->Tag = QStringLiteral("0");
    f.m.OEQAB[2]->Tag = QStringLiteral("1");
    QCOMPARE(f.m.GetOutEQChannel(), 1);
    unitOut[1] = unitOut[0];
    startEditing();
    QCOMPARE(f.m.OutEQCh, 0);
    QCOMPARE(tags(), QStringList({"1", "0", "0"}));

    // A venue file opened offline while OUT 4 is on the page.
    f.app->link.OnLine = false;
    f.m.OEQChannel->setCurrentIndex(3);
    ParamData made;
    for (BankRec& r : made.BankData) {
        r.Out[1].EQGain[0] = 44;
        r.OutNameStr[0] = QStringLiteral("Mains");
    }
    QFile file(f.venuePath(QStringLiteral("bands.vnf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeVenue(made, f.app->codePage));
    file.close();
    f.chosenFile = file.fileName();
    f.m.Toolbar1_ButtonClick(QStringLiteral("OPEN"));
    QCOMPARE(f.m.OEQChannel->currentIndex(), 0);
    QCOMPARE(f.m.OEQName->text(), QStringLiteral("Mains"));
    QCOMPARE(tags(), QStringList({"0", "1", "0"}));
}

QTEST_MAIN(TestEQBands)
#include "tst_eqbands.moc"
