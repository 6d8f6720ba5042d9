// One exchange with the unit at a time, on the emulator behind a
// pseudo-terminal as COM1 with a slow reply, as a user meets it: a spin
// box's arrow held down and keys pressed faster than the unit answers, a
// second click on a key that starts a measurement, and a click elsewhere
// while a speaker preset loads. Every road ends with the unit holding what
// the window shows, no frame cut and the link up. The replies are slow on
// purpose, so each road takes a few seconds.

#include "EditorRig.h"
#include "ModalRig.h"
#include "editor/DelayWind.h"
#include "platform/Animation.h"
#include "sim/SimPty.h"
#include "startwin/AllBankWind.h"
#include "startwin/HawlingWind.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

namespace {

struct SlowUnit : EditorRig {
    SimPty pty;

    explicit SlowUnit(int replyDelayMs) {
        // The measurement's picture stands still: what matters here is the link.
        SetAnimationMaker([](QWidget* parent) { return std::make_unique<NoAnimation>(parent); });
        pty.start();
        pty.withUnit([](SimUnit& u) { u.setPaced(false); });
        qputenv("QDR318_COM1", pty.path().toLocal8Bit());
        top->show();
        top->KantanBtn->setEnabled(true);
        app->link.PortIndex = 1;
        app->link.SerialObj->AllPortCheck();
        top->hide();
        main->show();
        // The status poll runs while editing, as it does in the program.
        main->IntervalTimer.start();
        pty.withUnit([replyDelayMs](SimUnit& u) {
            u.clearLogs();
            u.setReplyDelay(uint32_t(replyDelayMs));
        });
    }

    ~SlowUnit() { SetAnimationMaker({}); }

    template <class F> auto unit(F f) {
        return pty.withUnit([&](SimUnit& u) { return f(u.model().state()); });
    }
    QList<QByteArray> malformed() {
        return pty.withUnit([](SimUnit& u) { return u.malformedFrames(); });
    }
    QStringList titlesAsked() const {
        QStringList l;
        for (const MsgBox& b : asked)
            l << b.title;
        return l;
    }
    // Runs the event loop until every scheduled press has come, no message
    // is in flight or waiting and no input is held back.
    bool settle() {
        return QTest::qWaitFor(
            [this] {
                return scheduled == 0 && !app->link.SendBusy && app->link.Waiting() == 0 &&
                       app->hold.heldCount() == 0;
            },
            30000);
    }
    // Runs f `times` times, `every` ms apart, from now, each from a timer of
    // its own: the calls land inside reply waits, as a user's quick presses
    // do.
    int scheduled = 0;
    void repeat(int times, int every, const std::function<void()>& f) {
        for (int i = 1; i <= times; ++i) {
            ++scheduled;
            QTimer::singleShot(i * every, main, [this, f] {
                f();
                --scheduled;
            });
        }
    }
    void loseReplyAfter(int ms) {
        QTimer::singleShot(ms, main, [this] { pty.withUnit([](SimUnit& u) { u.dropReplies(1); }); });
    }
    // The road's end: the link never broke and no frame was cut.
    void checkWhole() {
        QVERIFY(settle());
        QVERIFY(!titlesAsked().contains(QStringLiteral("Break")));
        QVERIFY(app->link.OnLine);
        QCOMPARE(malformed(), QList<QByteArray>());
    }
};

// A measurement's window left open by a fault is closed after ms, so that
// the test fails instead of hanging; the guard ends with its scope.
struct MeasurementGuard {
    QTimer timer;
    explicit MeasurementGuard(int ms) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] {
            if (auto* w = qobject_cast<HawlingWind*>(QApplication::activeModalWidget()))
                w->CancelButton->click();
        });
        timer.start(ms);
    }
};

} // namespace

class TestOneExchange : public QObject {
    Q_OBJECT
private slots:
    void heldArrowThenFader();
    void heldClickOpensDialog();
    void measurementStartsOnce();
    void presetKeepsItsOutput();
    void transferTakesItsCancel();
};

void TestOneExchange::heldArrowThenFader() {
    SlowUnit f(300);
    MainWind& m = *f.main;
    DelayWind& w = m.delayWind();
    QSpinBox* time = w.TimeUpDown;
    int shown = -1;
    QString label;
    Modal(
        w,
        [&] {
            const QPoint upArrow(time->width() / 2, time->height() / 4);
            // Now and then a reply is lost, as on a loaded machine one comes
            // too late: the message in flight tries again.
            f.loseReplyAfter(1000);
            f.loseReplyAfter(2000);
            f.leftHeld = true;
            QTest::mousePress(time, Qt::LeftButton, {}, upArrow);
            QTest::qWait(3000);
            f.leftHeld = false;
            QTest::mouseRelease(time, Qt::LeftButton, {}, upArrow);
            f.loseReplyAfter(100);
            f.repeat(10, 30, [time] { QTest::keyClick(time, Qt::Key_Up); });
            QVERIFY(f.settle());
            shown = time->value();
            label = w.TimeLabel->text();
            w.CloseButton->click();
        },
        [&] { m.DelayButton_Click(0); });
    const int delay = f.record().Out[0].Delay;
    QVERIFY2(delay >= 11, qPrintable(QString::number(delay))); // the press, then ten keys at least
    QCOMPARE(shown, delay);
    QCOMPARE(label, delay::TimeText(delay));
    QCOMPARE(int(f.unit([](UnitState& s) { return s.rec[0].Out[0].Delay; })), delay);

    QSlider* fader = m.InSlider[0];
    const int before = fader->value();
    f.loseReplyAfter(100);
    f.repeat(6, 30, [fader] { QTest::keyClick(fader, Qt::Key_Down); });
    f.repeat(3, 40, [fader] { QTest::keyClick(fader, Qt::Key_Up); });
    f.checkWhole();
    QVERIFY(fader->value() != before);
    QCOMPARE(int(f.record().In[0].Fader), fader->value());
    QCOMPARE(f.unit([](UnitState& s) { return s.rec[0].In[0].Fader; }), f.record().In[0].Fader);
    QCOMPARE(int(f.unit([](UnitState& s) { return s.rec[0].Out[0].Delay; })), delay);
}

// A click held back while the poll waits opens the DELAY dialog once it is
// handed on; keys pressed in that dialog during the poll's next waits still
// reach it, although the dialog's loop runs inside the click's handling.
void TestOneExchange::heldClickOpensDialog() {
    SlowUnit f(300);
    MainWind& m = *f.main;
    DelayWind& w = m.delayWind();
    int step = 0, keys = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const bool waiting = f.app->link.SendBusy == 1;
        if (step == 0 && waiting) {
            QTest::mouseClick(m.DelayButton[0], Qt::LeftButton);
            step = 1;
        } else if (step == 1 && waiting && w.isVisible()) {
            QTest::keyClick(w.TimeUpDown, Qt::Key_Up);
            if (++keys == 5)
                step = 2;
        } else if (step == 2 && f.record().Out[0].Delay == 5) {
            QTest::mouseClick(w.CloseButton, Qt::LeftButton);
            step = 3;
        }
    });
    driver.start(10);
    // A dialog left waiting for its keys is closed, so that the test fails
    // instead of hanging.
    bool stuck = false;
    QTimer::singleShot(15000, &w, [&] {
        stuck = w.isVisible();
        w.done(-1);
    });
    QTRY_VERIFY_WITH_TIMEOUT(step == 3 && !w.isVisible(), 20000);
    driver.stop();
    QVERIFY(!stuck);
    f.checkWhole();
    QCOMPARE(int(f.unit([](UnitState& s) { return s.rec[0].Out[0].Delay; })), 5);
}

// A second click while the start message waits for its reply starts no
// second measurement, from the editor and from simple setup.
void TestOneExchange::measurementStartsOnce() {
    SlowUnit f(300);
    MainWind& m = *f.main;
    for (InRec& in : f.record().In)
        in.HSOn = 0;
    f.record().In[1].HSOn = 1;
    f.unit([](UnitState& s) {
        s.setHowlingQueries(1);
        return 0;
    });
    qsizetype seen = 0;
    const auto starts = [&f, &seen] {
        const QStringList l =
            f.unit([](UnitState& s) { return s.howlingLog().filter(QStringLiteral("start")); });
        return l.mid(std::exchange(seen, l.size()));
    };
    {
        MeasurementGuard guard(20000);
        QTimer::singleShot(100, [&m] { QTest::mouseClick(m.HawlingButton, Qt::LeftButton); });
        QTest::mouseClick(m.HawlingButton, Qt::LeftButton);
        f.checkWhole();
    }
    QCOMPARE(starts(), QStringList({"start 2"}));
    QVERIFY(!f.top->hawlingWind->isVisible());

    // Simple setup measures all six inputs.
    f.unit([](UnitState& s) {
        s.setHowlingQueries(0);
        return 0;
    });
    f.pty.withUnit([](SimUnit& u) { u.setReplyDelay(150); });
    m.IntervalTimer.stop();
    m.hide();
    f.top->show();
    f.top->HawlingStart->setEnabled(true);
    MeasurementGuard guard(30000);
    QTimer::singleShot(50, [&f] { QTest::mouseClick(f.top->HawlingStart, Qt::LeftButton); });
    QTest::mouseClick(f.top->HawlingStart, Qt::LeftButton);
    f.checkWhole();
    QCOMPARE(starts(), QStringList({"start 1", "start 2", "start 3", "start 4", "start 5", "start 6"}));
}

// A click on another output's E Q key while a preset loads waits for the
// load: bands and name land on the output chosen, then the page moves.
void TestOneExchange::presetKeepsItsOutput() {
    SlowUnit f(100);
    MainWind& m = *f.main;
    QDir(f.dir.path()).mkpath(QStringLiteral("spkr"));
    QFile file(f.dir.filePath(QStringLiteral("spkr/Hall.spp")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0,10,4,40\r\n3,5,8,35\r\n4,40,12,25\r\n0,20,3,31\r\n0,30,5,44\r\n3,50,20,10\r\n");
    file.close();
    f.top->SpeakerListMake();
    const auto gains = [&f](int block) {
        return f.unit([block](UnitState& s) {
            const OutRec& o = s.rec[0].Out[block];
            return QByteArray(reinterpret_cast<const char*>(o.EQGain), sizeof o.EQGain);
        });
    };
    const QByteArray hall = QByteArray::fromHex("2823191f2c0a");
    const QByteArray out3 = gains(4);
    QVERIFY(out3 != hall);

    m.OutEQ1_Click(0);
    f.byTitle.insert(QStringLiteral("Confirmation"), MsgResult::Ok);
    m.OEQAB_Click(0); // A & B
    QVERIFY(f.settle());
    QCOMPARE(m.OEQAB[0]->Tag, QStringLiteral("1"));
    m.SpkPickup_Click();
    m.OutEQList->setCurrentItem(m.OutEQList->findItems(QStringLiteral("Hall"), Qt::MatchExactly).value(0));
    QTimer::singleShot(150, [&m] { QTest::mouseClick(m.OutEQ1[4], Qt::LeftButton); });
    m.OutEQList_Click();
    f.checkWhole();

    QCOMPARE(gains(0), hall);
    QCOMPARE(gains(1), hall);
    QCOMPARE(gains(4), out3);
    QVERIFY(f.unit([](UnitState& s) { return s.nameField(6, 1); }).startsWith(QByteArray("Hall\0", 5)));
    QVERIFY(!f.unit([](UnitState& s) { return s.nameField(6, 3); }).startsWith(QByteArray("Hall")));
    QCOMPARE(f.record().SpkNameStr[0], QStringLiteral("Hall"));
    QVERIFY(f.record().SpkNameStr[2] != QStringLiteral("Hall"));
    // The click itself was not lost.
    QCOMPARE(m.OEQChannel->currentIndex(), 2);
}

// A transfer's CANCEL acts inside its waits: the memories after the one in
// progress are not sent.
void TestOneExchange::transferTakesItsCancel() {
    SlowUnit f(50);
    AllBankWind& w = *f.top->allBankWind;
    w.TransDir = 0;
    const auto stores = [&f] {
        int n = 0;
        for (const QByteArray& b : f.pty.withUnit([](SimUnit& u) { return u.model().requests(); }))
            n += b.startsWith("SA");
        return n;
    };
    // Pressed while memory 2 is on its way, inside the transfer's waits.
    QObject::connect(f.top.get(), &TopWind::bankProgress, &w, [&w](int m) {
        if (m == 2)
            QTimer::singleShot(150, &w, [&w] { QTest::mouseClick(w.CancelButton, Qt::LeftButton); });
    });
    Modal(w, {});
    QCOMPARE(w.BankResult, 0);
    QVERIFY(f.settle());
    QVERIFY(f.app->link.OnLine);
    QCOMPARE(f.malformed(), QList<QByteArray>());
    QVERIFY(stores() > 0);
    QVERIFY(stores() < 16);
}

QTEST_MAIN(TestOneExchange)
#include "tst_oneexchange.moc"
