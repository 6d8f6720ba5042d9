// One exchange with the unit at a time, on the emulator behind a
// pseudo-terminal as COM1 with a slow reply, as a user meets it: a spin
// box's arrow held down and keys pressed faster than the unit answers, a
// second click on a key that starts a measurement, and a click elsewhere
// while a speaker preset loads. Every road ends with the unit holding what
// the window shows, no frame cut and the link up. The replies are slow on
// purpose, so each road takes a few seconds.

#include "EditorRig.h"
#include "ModalRig.h"
#include "RecordDiff.h"
#include "editor/DelayWind.h"
#include "link/ParamSend.h"
#include "platform/Animation.h"
#include "sim/SimPty.h"
#include "startwin/AllBankWind.h"
#include "startwin/BankReadWind.h"
#include "startwin/HawlingWind.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QTabWidget>

namespace {

struct SlowUnit : EditorRig {
    SimPty pty;

    const int replyDelay;

    explicit SlowUnit(int replyDelayMs) : replyDelay(replyDelayMs) {
        // The measurement's picture stands still: what matters here is the link.
        SetAnimationMaker([](QWidget* parent) { return std::make_unique<NoAnimation>(parent); });
        pty.start();
        pty.withUnit([](SimUnit& u) { u.setPaced(false); });
        qputenv("QDR318_COM1", pty.path().toLocal8Bit());
        connect();
        main->show();
        // The status poll runs while editing, as it does in the program.
        main->IntervalTimer.start();
        pty.withUnit([replyDelayMs](SimUnit& u) {
            u.clearLogs();
            u.setReplyDelay(uint32_t(replyDelayMs));
        });
    }

    ~SlowUnit() { SetAnimationMaker({}); }

    // Found on COM1 by the start window's port scan.
    void connect() {
        top->show();
        top->KantanBtn->setEnabled(true);
        app->link.PortIndex = 1;
        app->link.SerialObj->AllPortCheck();
        top->hide();
    }

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

// While armed, sends a message of its own, answered after 300 ms, just
// before the panel's timer ticks, so that the tick comes while that message
// waits for its reply.
struct MessageBeforeTick {
    bool armed = false;
    QTimer driver;
    MessageBeforeTick(SlowUnit& f, TransferPanel& w) {
        QObject::connect(&driver, &QTimer::timeout, [this, &f, &w] {
            if (armed && w.isVisible() && w.Timer1.isActive() && w.Timer1.remainingTime() < 150 &&
                !f.app->link.SendBusy) {
                armed = false;
                f.pty.withUnit([](SimUnit& u) { u.setReplyDelay(300); });
                SendNO(f.app->link, 0, ParamSend::SetWait);
                f.pty.withUnit([&f](SimUnit& u) { u.setReplyDelay(uint32_t(f.replyDelay)); });
            }
        });
        driver.start(5);
    }
};

// The close box as the window system reports it: to the window's handle,
// from outside the program.
void PressCloseBox(QWidget* w) {
    QCloseEvent e;
    QSpontaneKeyEvent::setSpontaneous(&e);
    QCoreApplication::sendEvent(w->windowHandle(), &e);
}

// Recalls memory 2 on the BLOCK page with the status poll running, the
// question answered with its OK, after which the unit answers the recall
// and falls silent (silence()): the poll then finds it gone during the
// recall's pause, and the "Break" box opens inside that pause. answer()
// is what the user does on the box. The boxes are the real ones.
struct BreakInsideAPause {
    bool opened = false;
    bool insideWait = false;
    bool stuck = false;
};

BreakInsideAPause RecallIntoSilence(EditorRig& f, const std::function<void()>& silence,
                                    const std::function<void(QMessageBox*)>& answer) {
    MainWind& m = *f.main;
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    m.PatternRadio[1]->setChecked(true);
    m.IntervalTimer.start();
    SetMessageHandler({});
    BreakInsideAPause run;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box->windowTitle() == QStringLiteral("Confirmation") && !f.app->link.SendBusy) {
            silence();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        } else if (box->windowTitle() == QStringLiteral("Break") && !run.opened) {
            run.opened = true;
            run.insideWait = f.app->hold.holding();
            answer(box);
            // A box that took nothing is closed, so that the test fails
            // instead of hanging.
            QTimer::singleShot(3000, box, [box, &run] {
                run.stuck = box->isVisible();
                box->done(QMessageBox::Cancel);
            });
        }
    });
    driver.start(20);
    m.PLoadButton_Click();
    return run;
}

} // namespace

class TestOneExchange : public QObject {
    Q_OBJECT
private slots:
    void heldArrowThenFader();
    void heldClickOpensDialog();
    void measurementStartsOnce();
    void presetKeepsItsOutput();
    void transferTakesItsCancel();
    void closeBoxDuringAWait();
    void boxOpenedInsideAPauseTakesInput();
    void readBackWaitsForTheExchangeInFlight();
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

// A transfer waits for a message in flight as its timer ticks, then goes;
// its CANCEL acts inside its waits: the memories after the one in progress
// are not sent.
void TestOneExchange::transferTakesItsCancel() {
    SlowUnit f(50);
    AllBankWind& w = *f.top->allBankWind;
    w.TransDir = 0;
    MessageBeforeTick meddle(f, w);
    meddle.armed = true;
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
    QVERIFY(!meddle.armed);
    QVERIFY(!w.LinkLost);
    QCOMPARE(w.BankResult, 0);
    QVERIFY(f.settle());
    QVERIFY(f.app->link.OnLine);
    QCOMPARE(f.malformed(), QList<QByteArray>());
    QVERIFY(stores() > 0);
    QVERIFY(stores() < 16);
}

// The close box pressed while a message waits for its reply does what it
// does outside a wait, once the wait is over: the editor's ends editing and
// brings the start window back; the start window's asks "Quit?".
void TestOneExchange::closeBoxDuringAWait() {
    SlowUnit f(300);
    MainWind& m = *f.main;
    QSignalSpy ended(f.top.get(), &TopWind::ProgramEnd);
    QWidget* target = &m;
    bool pressedInside = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (target && target->isVisible() && f.app->link.SendBusy == 1) {
            pressedInside = f.app->hold.holding();
            PressCloseBox(std::exchange(target, nullptr));
        }
    });
    driver.start(10);
    QTRY_VERIFY_WITH_TIMEOUT(!target, 5000);
    QVERIFY(pressedInside);
    QVERIFY(m.isVisible()); // refused while the poll waits
    QTRY_VERIFY_WITH_TIMEOUT(f.top->isVisible(), 5000);
    QVERIFY(f.settle());
    QVERIFY(!m.isVisible());
    QCOMPARE(f.top->TopTab->currentIndex(), 0);
    const QList<QByteArray> heard = f.pty.withUnit([](SimUnit& u) { return u.model().requests(); });
    QCOMPARE(heard.count(QByteArray("NO\x02", 3)), 1);

    // The start window, while its keep-alive waits for the unit.
    f.pty.withUnit([](SimUnit& u) { u.setReplyDelay(150); });
    f.top->ConnectTimer.start();
    f.asked.clear();
    target = f.top.get();
    QTRY_VERIFY_WITH_TIMEOUT(!target, 5000);
    QVERIFY(pressedInside);
    QTRY_COMPARE_WITH_TIMEOUT(f.asked.size(), 1, 5000);
    QCOMPARE(f.asked[0].text, QStringLiteral("Quit?"));
    QVERIFY(f.settle());
    // Cancel keeps the program, its window and the link.
    QVERIFY(f.top->isVisible());
    QVERIFY(f.top->windowHandle()->handle());
    QCOMPARE(ended.count(), 0);
    QVERIFY(f.app->link.OnLine);
}

// A box that a timer opens inside a pause takes the user's click and Esc:
// the "Break" of a poll that finds the unit gone during a recall's pause,
// on a COM port and on the USB bridge.
void TestOneExchange::boxOpenedInsideAPauseTakesInput() {
    using Answer = std::function<void(QMessageBox*)>;
    const Answer cancel = [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton); };
    const Answer escape = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); };
    const auto check = [](const BreakInsideAPause& run, EditorRig& f) {
        QVERIFY(run.opened);
        QVERIFY(run.insideWait);
        QVERIFY(!run.stuck);
        QVERIFY(!f.app->link.OnLine);
        QVERIFY(f.main->isEnabled());
    };
    {
        SlowUnit f(50);
        for (const auto& answer : {cancel, escape}) {
            const BreakInsideAPause run = RecallIntoSilence(
                f, [&f] { f.pty.withUnit([](SimUnit& u) { u.silentAfter(1); }); }, answer);
            check(run, f);
            if (QTest::currentTestFailed())
                return;
            f.pty.withUnit([](SimUnit& u) { u.clearFaults(); });
            f.connect();
            QVERIFY(f.app->link.OnLine);
        }
    }
    for (const auto& answer : {cancel, escape}) {
        EditorRig f;
        QVERIFY(f.goOnline());
        const BreakInsideAPause run = RecallIntoSilence(f, [&f] { f.usb.unit().silentAfter(1); }, answer);
        check(run, f);
        if (QTest::currentTestFailed())
            return;
    }
}

// A recall's read-back whose timer fires while another message waits for
// its reply waits for that exchange, then reads the unit: the editor shows
// the memory recalled. The status poll runs, and the last time a message
// goes out just before the read-back's timer.
void TestOneExchange::readBackWaitsForTheExchangeInFlight() {
    SlowUnit f(300);
    MainWind& m = *f.main;
    f.unit([](UnitState& s) {
        for (int mem = 2; mem <= 3; ++mem) {
            s.rec[mem].Out[0].Delay = uint16_t(40 * mem);
            // Unlinked from the knob, the fader shows the level the memory holds.
            s.rec[mem].In[0].VRLink = 0;
            s.rec[mem].In[0].Fader = s.level[mem].In[0] = uint8_t(20 * mem);
            s.rec[mem].Mix[1].SrcSwitch[3] = uint8_t(mem % 2);
        }
        return 0;
    });
    f.byTitle.insert(QStringLiteral("Confirmation"), MsgResult::Ok);
    BankReadWind& w = *f.top->bankReadWind;
    MessageBeforeTick meddle(f, w);
    // The read-back's ticks: the poll keeps away while it is up, so only a
    // message in flight makes it wait for another.
    int ticks = 0;
    QObject::connect(&w.Timer1, &QTimer::timeout, [&ticks] { ++ticks; });
    for (int mem : {2, 3, 2}) {
        meddle.armed = mem == 2;
        ticks = 0;
        m.MainTab->setCurrentIndex(MainWind::PageBlock);
        m.PatternRadio[mem - 1]->setChecked(true);
        m.PLoadButton_Click();
        QVERIFY(!meddle.armed);
        QCOMPARE(ticks, mem == 2 ? 2 : 1);
        f.checkWhole();
        const BankRec unit = f.unit([](UnitState& s) { return s.rec[0]; });
        QCOMPARE(int(unit.Out[0].Delay), 40 * mem);
        QCOMPARE(FirstDifference(f.record(), unit, false), QString());
        QCOMPARE(f.app->data.MemNo, mem);
    }
}

QTEST_MAIN(TestOneExchange)
#include "tst_oneexchange.moc"
