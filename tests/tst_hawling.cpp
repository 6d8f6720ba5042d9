// The howling measurement against the emulator, from the editor's Automatic
// Setup and the wizard: the channels measured, the unit's start, status and
// end messages, a fault, a cancel, a lost link and a missing animation.
// The measuring window is polled by the test instead of its 600 ms timer
// (except on the slow serial line, where its own timer runs), and its
// animation is a recorder.

#include "EditorRig.h"
#include "LinkRig.h"
#include "editor/MainWind.h"
#include "link/ParamLib.h"
#include "platform/Animation.h"
#include "sim/SimPty.h"
#include "startwin/HawlingWind.h"

#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace {

struct Played {
    QStringList opened;
    int closed = 0;
};

class RecordedAnimation : public Animation {
public:
    RecordedAnimation(QWidget* parent, Played& played) : view_(new QWidget(parent)), played_(played) {}
    QWidget* view() override { return view_; }
    void Open(const QString& path) override { played_.opened << path; }
    void Close() override { ++played_.closed; }

private:
    QWidget* view_;
    Played& played_;
};

struct Fixture : EditorRig {
    Played played;
    QTimer driver;
    bool polling = false;
    // Run on the measuring window while it is open, in place of its timer.
    std::function<void(HawlingWind&)> step = [](HawlingWind& w) { w.Timer1_Timer(); };

    explicit Fixture(bool withAnimation = true) {
        if (withAnimation)
            QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/pat/how.avi"), aviPath());
        SetAnimationMaker(
            [this](QWidget* parent) { return std::make_unique<RecordedAnimation>(parent, played); });
        driver.setInterval(0);
        QObject::connect(&driver, &QTimer::timeout, [this] {
            auto* w = qobject_cast<HawlingWind*>(QApplication::activeModalWidget());
            // A query lets events run while it waits: no poll inside a poll.
            if (!w || !w->isVisible() || polling)
                return;
            polling = true;
            step(*w);
            polling = false;
        });
        driver.start();
    }
    ~Fixture() { SetAnimationMaker({}); }

    QString aviPath() const { return dir.filePath(QStringLiteral("pat/how.avi")); }
    HawlingWind& wind() { return *top->hawlingWind; }
    QStringList log() { return unitState().howlingLog(); }
    void switchesOn(std::initializer_list<int> inputs) {
        for (InRec& in : record().In)
            in.HSOn = 0;
        for (int c : inputs)
            record().In[c].HSOn = 1;
    }
    // What the unit hears for one channel finished after `running` polls
    // that found it running.
    static QStringList Channel(int n, int running, int last) {
        QStringList l{QStringLiteral("start %1").arg(n)};
        for (int i = 0; i < running; ++i)
            l << QStringLiteral("status 1");
        return l << QStringLiteral("status %1").arg(last) << QStringLiteral("end %1").arg(n);
    }
};

// The wizard's measurement on COM1, a pseudo-terminal to a unit that takes
// 300 ms over each reply, with the window's own poll timer.
struct SlowLine : GuiRig {
    SimPty pty;
    Played played;

    SlowLine() {
        SetAnimationMaker(
            [this](QWidget* parent) { return std::make_unique<RecordedAnimation>(parent, played); });
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/pat/how.avi"),
                    dir.filePath(QStringLiteral("pat/how.avi")));
        pty.start();
        qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    }
    ~SlowLine() { SetAnimationMaker({}); }

    bool goOnline() {
        top->Form_Initialize();
        top->show();
        top->KantanBtn->setEnabled(true);
        for (int tick = 0; tick < 40 && !app->link.OnLine; ++tick)
            top->ConnectTimer_Timer();
        pty.withUnit([](SimUnit& u) {
            u.setReplyDelay(300);
            u.model().state().setHowlingQueries(1000);
            u.clearLogs();
        });
        top->TopTab->setCurrentIndex(3);
        return app->link.OnLine;
    }
    QList<QByteArray> frames() {
        return pty.withUnit([](SimUnit& u) { return u.rawFrames(); });
    }
};

const QByteArray StatusQuery = testrig::Frame(QByteArray("PH\x03\x09\x00", 5));

} // namespace

class TestHawling : public QObject {
    Q_OBJECT
private slots:
    void editorMeasuresSwitchedOnInputs();
    void faultStopsAfterItsChannel();
    void cancelEndsTheChannel();
    void cancelWhileTheQueryWaits();
    void lostLinkWaitsForCancel();
    void offlineDoesNothing();
    void missingAnimation();
};

void TestHawling::editorMeasuresSwitchedOnInputs() {
    Fixture f;
    MainWind& m = *f.main;
    QVERIFY(f.goOnline());
    f.switchesOn({1, 4});
    f.unitState().setHowlingQueries(2);
    QStringList captions, labels;
    f.step = [&](HawlingWind& w) {
        captions << m.HawlingButton->text() + m.HawlingButton->styleSheet();
        labels << w.Label1[0]->text();
        w.Timer1_Timer();
    };
    QCOMPARE(m.HawlingButton->text(), QStringLiteral("Automatic Setup"));
    m.HawlingButton->click();

    QCOMPARE(f.log(), Fixture::Channel(2, 2, 2) + Fixture::Channel(5, 2, 2));
    labels.removeDuplicates();
    QCOMPARE(labels, QStringList({"Measuring MONO 2", "Measuring MONO 5"}));
    captions.removeDuplicates();
    QCOMPARE(captions, QStringList{"Measuring!background-color: #ff0000;"});
    QCOMPARE(m.HawlingButton->text(), QStringLiteral("Automatic Setup"));
    QCOMPARE(m.HawlingButton->styleSheet(), QString());
    // The animation plays in each channel's window and stops with it.
    QCOMPARE(f.played.opened, QStringList({f.aviPath(), f.aviPath()}));
    QCOMPARE(f.played.closed, 2);
    QVERIFY(f.asked.isEmpty());
}

void TestHawling::faultStopsAfterItsChannel() {
    Fixture f;
    QVERIFY(f.goOnline());
    // The wizard measures every mono input, switched on or not.
    f.switchesOn({});
    f.unitState().setHowlingQueries(1);
    f.unitState().setHowlingFaults(1 << 2);
    QStringList logAtBox;
    SetMessageHandler([&](const MsgBox& b) {
        f.asked << b;
        logAtBox = f.log();
        return MsgResult::Ok;
    });
    f.top->HawlingStart_Click();

    const QStringList measured =
        Fixture::Channel(1, 1, 2) + Fixture::Channel(2, 1, 2) + Fixture::Channel(3, 1, 3);
    QCOMPARE(f.log(), measured);
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.asked[0].title, QStringLiteral("Measurement fault"));
    QCOMPARE(f.asked[0].icon, MsgIcon::Exclamation);
    QVERIFY(
        f.asked[0].text.startsWith(QStringLiteral("Please confirm the Gain and Level setting of\r\nInput")));
    QCOMPARE(logAtBox, measured);
    QCOMPARE(f.wind().Label1[0]->text(), QStringLiteral("MONO 3 を測定しています"));
}

void TestHawling::cancelEndsTheChannel() {
    Fixture f;
    MainWind& m = *f.main;
    QVERIFY(f.goOnline());
    f.switchesOn({0, 1, 2, 3, 4, 5});
    f.unitState().setHowlingQueries(2);
    f.step = [&](HawlingWind& w) {
        if (f.unitState().howlingChannel() == 2 && f.log().endsWith(QStringLiteral("status 1")))
            QTest::mouseClick(w.CancelButton, Qt::LeftButton);
        else
            w.Timer1_Timer();
    };
    m.HawlingButton->click();

    QCOMPARE(f.log(), Fixture::Channel(1, 2, 2) + QStringList({"start 2", "status 1", "end 2"}));
    QCOMPARE(f.wind().GetStatus(), 0);
    QCOMPARE(f.wind().GetResponce(), 2);
    QCOMPARE(f.played.closed, 2);
    QVERIFY(f.asked.isEmpty());
    QCOMPARE(m.HawlingButton->text(), QStringLiteral("Automatic Setup"));
}

// Cancel pressed while a status query waits for its reply: the query's
// answer does not count, no query follows the end message, and the next
// exchange gets its own reply.
void TestHawling::cancelWhileTheQueryWaits() {
    SlowLine f;
    QVERIFY(f.goOnline());
    HawlingWind* cancelled = nullptr;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* w = qobject_cast<HawlingWind*>(QApplication::activeModalWidget());
        if (w && !cancelled && f.app->link.SendBusy == 1 && f.frames().endsWith(StatusQuery)) {
            cancelled = w;
            QTest::mouseClick(w->CancelButton, Qt::LeftButton);
        }
    });
    watch.start(5);
    f.top->HawlingStart_Click();
    watch.stop();
    QVERIFY(cancelled);
    QCOMPARE(cancelled->GetStatus(), 0);
    QCOMPARE(cancelled->GetResponce(), 2);

    // Long enough for two more polls of the window's 600 ms timer.
    QTest::qWait(1600);
    const QList<QByteArray> frames = f.frames();
    const QByteArray end = testrig::Frame(QByteArray("PH\x02\x09\x01", 5));
    QCOMPARE(frames.count(end), 1);
    QVERIFY(!frames.mid(frames.indexOf(end)).contains(StatusQuery));
    QCOMPARE(frames.count(StatusQuery), 1);

    f.pty.withUnit([](SimUnit& u) { u.model().state().setNameField(1, 1, "Town hall"); });
    f.app->lib->ReadSystemName();
    QCOMPARE(f.app->data.VenueName, QStringLiteral("Town hall"));
}

// The unit falls silent after the start: the lost link is reported, the
// window keeps polling into the closed send gate until the user cancels.
void TestHawling::lostLinkWaitsForCancel() {
    Fixture f;
    MainWind& m = *f.main;
    QVERIFY(f.goOnline());
    f.switchesOn({0, 1});
    f.unitState().setHowlingQueries(1000);
    f.usb.unit().silentAfter(1);
    int polls = 0;
    f.step = [&](HawlingWind& w) {
        if (++polls > 5) {
            w.CancelButton->click();
            return;
        }
        w.Timer1_Timer();
        QVERIFY(w.isVisible());
        QCOMPARE(w.GetResponce(), 1);
    };
    m.HawlingButton->click();

    QCOMPARE(polls, 6);
    QVERIFY(!f.app->link.OnLine);
    QCOMPARE(f.log(), QStringList({"start 1"}));
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.asked[0].title, QStringLiteral("Break"));
    QCOMPARE(m.HawlingButton->text(), QStringLiteral("Automatic Setup"));
}

void TestHawling::offlineDoesNothing() {
    Fixture f;
    MainWind& m = *f.main;
    f.plugIn();
    f.switchesOn({0});
    // A window opened by mistake is closed at once.
    f.step = [](HawlingWind& w) { w.CancelButton->click(); };
    m.HawlingButton->click();
    f.top->HawlingStart_Click();
    QVERIFY(!f.top->hawlingWind.made());
    QCOMPARE(m.HawlingButton->text(), QStringLiteral("Automatic Setup"));
    QVERIFY(f.log().isEmpty());
}

void TestHawling::missingAnimation() {
    Fixture f(false);
    QVERIFY(f.goOnline());
    f.unitState().setHowlingQueries(0);
    f.top->HawlingStart_Click();

    QStringList all;
    for (int n = 1; n <= 6; ++n)
        all += Fixture::Channel(n, 0, 2);
    QCOMPARE(f.log(), all);
    QCOMPARE(f.asked.size(), 6);
    for (const MsgBox& b : f.asked) {
        QCOMPARE(b.text, QStringLiteral("(") + f.aviPath() + QStringLiteral(") open error."));
        QCOMPARE(b.title, QStringLiteral("File error"));
        QCOMPARE(b.icon, MsgIcon::Critical);
    }
    QVERIFY(f.played.opened.isEmpty());
}

QTEST_MAIN(TestHawling)
#include "tst_hawling.moc"
