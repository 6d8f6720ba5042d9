#include "data/VenueFile.h"
#include "GuiRig.h"
#include "editor/MainWind.h"
#include "sim/SimPty.h"
#include "startwin/Widgets.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <unistd.h>

namespace {

// A started start window; COM1 leads nowhere or to a pty.
struct Fixture : GuiRig {
    bool started = false;

    explicit Fixture(const QByteArray& defaultVenue = {}, const QByteArray& com1 = "/nonexistent/com1")
        : GuiRig(defaultVenue) {
        qputenv("QDR318_COM1", com1);
        started = top->Form_Initialize();
    }
};

// Everything a message box shows, in one line.
QString Box(const MsgBox& b) {
    return QStringLiteral("%1 | %2 | %3 %4 %5").arg(b.title, b.text).arg(int(b.buttons)).arg(int(b.icon)).arg(int(b.defaultButton));
}

} // namespace

class TestTopWind : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetMessageHandler({}); }
    void startupWithAndWithoutDefaultVenue();
    void pollTimingAndQuit();
    void pollStopsOffThePageAndTimerWaits();
    void pollFindsUnitThenLosesIt();
    void secondInstanceRefused();
    void startUpTimersAndHeadings();
    void keepAliveAndEndOfSimpleSetup();
    void tabHeadersTakeNoInput();
};

void TestTopWind::startupWithAndWithoutDefaultVenue() {
    ParamData v;
    for (int m = 0; m < ParamData::RecordCount; ++m)
        v.InitMemoryData(m);
    v.BankData[0].In[2].Fader = 50;
    v.BankData[9].MemNameStr = QStringLiteral("Lobby");
    v.MemLevel[3].In[1] = 60;
    const QByteArray venue = EncodeVenue(v, CodePage(CodePage::Western));
    // None, a good one, and a cut one: then the factory records.
    for (const QByteArray& file : {QByteArray(), venue, venue.left(5000)}) {
        Fixture f(file);
        QVERIFY(f.started);
        // Simple setup waits for the first start of editing.
        QVERIFY(!f.top->KantanBtn->isEnabled());
        QCOMPARE(f.top->windowTitle(), QStringLiteral("QDR318 Manager Ver.1.00"));
        const ParamData& d = f.app->data;
        const bool loaded = file.size() == venue.size();
        QCOMPARE(d.VenueLoaded, loaded);
        QCOMPARE(d.BankData[0].In[2].Fader, loaded ? 50 : 125);
        QCOMPARE(d.BankData[9].MemNameStr, loaded ? QStringLiteral("Lobby") : QString());
        QCOMPARE(d.BankData[16].Mix[3].LinkFlags, 0x22);
        QCOMPARE(d.MemLevel[3].In[1], 125); // offline at start-up: the file's knob levels are not kept
        QVERIFY(d.BankBackup[0] == d.BankData[0]);
        QCOMPARE(d.BankBackup[9].MemNameStr, d.BankData[9].MemNameStr);
    }

    // The editor is not built before the start window has painted, and is
    // built in the first idle moment after.
    Fixture f;
    QVERIFY(!f.top->mainWind.made());
    f.top->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.top.get()));
    QTRY_VERIFY(f.top->mainWind.made());
    QCOMPARE(f.top->mainWind->windowTitle(), QStringLiteral("QDR318 Manager Ver.1.00 Parameter Edit"));
    QVERIFY(!f.top->mainWind->isVisible());

    // The time-out box is one setting shown on both windows.
    f.top->TimeOutNone->setChecked(true);
    QVERIFY(f.top->mainWind->TimeOutNone->isChecked());
    f.top->mainWind->TimeOutNone->setChecked(false);
    QVERIFY(!f.top->TimeOutNone->isChecked());
}

void TestTopWind::pollTimingAndQuit() {
    Fixture f;
    TopWind& t = *f.top;
    t.show(); // showing activates the window: five ticks to skip
    QCOMPARE(t.PollSkip, 5);

    // Quit, cancelled: the window stays, and the poll skips eleven ticks.
    QSignalSpy ended(&t, &TopWind::ProgramEnd);
    QList<MsgBox> asked;
    MsgResult answer = MsgResult::Cancel;
    SetMessageHandler([&](const MsgBox& b) {
        asked.append(b);
        return answer;
    });
    t.ConnectTimer.stop();
    t.SetEndBtn_Click();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(Box(asked[0]), Box({QStringLiteral("Quit?"), QStringLiteral("Confirmation"), MsgButtons::OkCancel,
                                 MsgIcon::Question, MsgResult::Cancel}));
    QVERIFY(t.isVisible());
    QVERIFY(t.ConnectTimer.isActive());
    QCOMPARE(ended.size(), 0);

    // The first scan step at the twelfth tick, then one every other tick;
    // "Offline" after the seventh, and only once.
    int firstStep = 0, offlineAt = 0;
    for (int tick = 1; tick <= 60 && !offlineAt; ++tick) {
        const int before = t.OfflineCount;
        t.ConnectTimer_Timer();
        if (t.OfflineCount == 1 && before == 0)
            firstStep = tick;
        if (t.OfflineShown)
            offlineAt = tick;
        else
            QCOMPARE(t.OnLineMess[0]->text(), QStringLiteral("Checking communication."));
    }
    QCOMPARE(firstStep, 12);
    QCOMPARE(offlineAt, firstStep + 12);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(t.OnLineMess[i]->text(), QStringLiteral("Offline"));
        QCOMPARE(t.OnLine[i]->fillColor(), LampGrey);
    }
    for (int tick = 0; tick < 10; ++tick)
        t.ConnectTimer_Timer();
    QCOMPARE(t.OfflineCount, 7);

    answer = MsgResult::Ok;
    t.close();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(ended.size(), 1);
    QVERIFY(!t.ConnectTimer.isActive());
    QVERIFY(!t.isVisible());
}

void TestTopWind::pollStopsOffThePageAndTimerWaits() {
    Fixture f;
    TopWind& t = *f.top;
    // Waits count Timer1's ticks, with the start window hidden too.
    int ticks = 0;
    QObject::connect(&t.Timer1, &QTimer::timeout, [&] { ++ticks; });
    f.app->waits.TimerWait(250);
    QCOMPARE(ticks, 2);
    f.app->waits.TimerWait(40);
    QCOMPARE(ticks, 2);

    t.show();
    t.TopTab->setCurrentIndex(1);
    t.ConnectTimer_Timer();
    QVERIFY(!t.ConnectTimer.isActive());
    QCOMPARE(t.PollSkip, 5); // nothing counted off the start page
    // Timer1 re-arms the poll at its 101st tick with the poll off.
    for (int i = 0; i < 100; ++i)
        t.Timer1_Timer();
    QVERIFY(!t.ConnectTimer.isActive());
    t.Timer1_Timer();
    QVERIFY(t.ConnectTimer.isActive());
    QCOMPARE(t.TimerRestart, 0);
    // Still on another page: the next poll tick stops it again.
    t.ConnectTimer_Timer();
    QVERIFY(!t.ConnectTimer.isActive());

    // A message in flight (a COM-port reply wait lets the poll tick run)
    // keeps its port: the scan step waits for a later tick.
    t.TopTab->setCurrentIndex(0);
    const int port = f.app->link.PortIndex;
    f.app->link.SendBusy = 1;
    t.PollSkip = 0;
    t.ConnectTimer_Timer();
    QCOMPARE(f.app->link.PortIndex, port);
    f.app->link.SendBusy = 0;
    t.PollSkip = 0;
    t.ConnectTimer_Timer();
    QCOMPARE(f.app->link.PortIndex, (port + 1) % 3);

    t.hide();
    t.ConnectTimer.start();
    t.ConnectTimer_Timer();
    QVERIFY(!t.ConnectTimer.isActive());
}

void TestTopWind::pollFindsUnitThenLosesIt() {
    SimPty pty;
    QVERIFY(pty.start());
    Fixture f({}, pty.path().toLocal8Bit());
    TopWind& t = *f.top;
    t.show();
    QList<MsgBox> asked;
    SetMessageHandler([&](const MsgBox& b) {
        asked.append(b);
        return MsgResult::Cancel;
    });
    // The probe goes out once simple setup is available (after the first
    // start of editing).
    t.KantanBtn->setEnabled(true);
    auto tickUntil = [&](auto done) {
        for (int tick = 0; tick < 40 && !done(); ++tick)
            t.ConnectTimer_Timer();
        return done();
    };
    QVERIFY(tickUntil([&] { return f.app->link.OnLine; }));
    QCOMPARE(t.ConnectChannel->text(), QStringLiteral("COM(1) Connect"));
    // "Online" comes with the first keep-alive.
    QVERIFY(tickUntil([&] { return t.OnLineMess[0]->text() == QStringLiteral("Online"); }));
    QCOMPARE(t.OnLine[2]->fillColor(), LampGreen);

    pty.withUnit([](SimUnit& u) { u.silentAfter(0); });
    QVERIFY(tickUntil([&] { return !f.app->link.OnLine; }));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(Box(asked[0]),
             Box({QStringLiteral("Communication with QDR318 lost.\r\nPlease check the cable and try again."),
                  QStringLiteral("Break"), MsgButtons::CancelTryContinue, MsgIcon::None, MsgResult::Cancel}));
    QCOMPARE(t.OnLineMess[0]->text(), QStringLiteral("Offline"));
    QCOMPARE(t.ConnectChannel->text(), QString());
    // Scanning again: no further box.
    for (int tick = 0; tick < 8; ++tick)
        t.ConnectTimer_Timer();
    QCOMPARE(asked.size(), 1);

    // Quit closes the port.
    pty.withUnit([](SimUnit& u) { u.clearFaults(); });
    QVERIFY(tickUntil([&] { return f.app->link.OnLine; }));
    QVERIFY(f.app->link.SerialObj->IsOpen());
    SetMessageHandler([](const MsgBox&) { return MsgResult::Ok; });
    t.close();
    QVERIFY(!f.app->link.SerialObj->IsOpen());
}

void TestTopWind::secondInstanceRefused() {
    // The lock is the user's, whatever the environment names the user.
    const QString key = InstanceGuard::DefaultKey();
    QVERIFY(key.endsWith(QStringLiteral("-%1").arg(::getuid())));
    const QByteArray user = qgetenv("USER");
    qputenv("USER", "");
    QCOMPARE(InstanceGuard::DefaultKey(), key);
    qputenv("USER", "someone-else");
    QCOMPARE(InstanceGuard::DefaultKey(), key);
    qputenv("USER", user);

    // The program's own lock, in a temporary folder of this test's, so that
    // no other run nor a real copy of the program can hold it.
    QTemporaryDir lockDir;
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(lockDir.path()));
    const auto restoreTmp = qScopeGuard([&] { tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp); });

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/qdr318-manager");
    QVERIFY(QFile::exists(program));
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QDR318_COM1"), QStringLiteral("/nonexistent/com1"));
    env.insert(QStringLiteral("QDR318_COM2"), QStringLiteral("/nonexistent/com2"));
    first.setProcessEnvironment(env);
    first.start(program, {});
    QVERIFY(first.waitForStarted());

    // Wait until the running copy holds the lock; looking must not take it,
    // or the copy starting meanwhile would find it taken and end.
    const InstanceGuard probe(key);
    QTRY_COMPARE_WITH_TIMEOUT(probe.holder(), first.processId(), 20000);

    QList<MsgBox> asked;
    SetMessageHandler([&](const MsgBox& b) {
        asked.append(b);
        return MsgResult::Ok;
    });
    QTemporaryDir dir;
    SystemMsClock clock;
    SimFtdiDriver usb(clock);
    App app(AppOptions{dir.path(), CodePage::Western, QString(), nullptr, &usb});
    TopWind second(app);
    QVERIFY(!second.Form_Initialize());
    QCOMPARE(asked.size(), 1);
    QCOMPARE(Box(asked[0]), Box({QStringLiteral("Two or more this applications cannot be started."),
                                 QStringLiteral("QDR318 Manager"), MsgButtons::Ok, MsgIcon::Exclamation}));
    // Nothing after the refusal ran, and the running copy goes on.
    QVERIFY(!second.Timer1.isActive());
    QCOMPARE(app.data.BankData[0].In[0].Trim, 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

void TestTopWind::startUpTimersAndHeadings() {
    Fixture f;
    TopWind& t = *f.top;
    QVERIFY(f.started);
    // Both timers run from start-up; until the window shows, three poll
    // ticks are to be skipped.
    QCOMPARE((QList<int>{t.Timer1.interval(), t.ConnectTimer.interval()}), (QList<int>{100, 300}));
    QVERIFY(t.Timer1.isActive() && t.ConnectTimer.isActive());
    QCOMPARE(t.PollSkip, 3);

    QVERIFY(t.Label1[0]->text().isEmpty());
    const QStringList headings{QStringLiteral("マトリックス選択"), QStringLiteral("スピーカー選択"),
                               QStringLiteral("ハウリングサプレッサー設定"), QString()};
    for (int i = 0; i < 4; ++i) {
        t.TopTab->setCurrentIndex((i + 1) % 4);
        QCOMPARE(t.Label1[0]->text(), headings[i]);
    }
}

void TestTopWind::keepAliveAndEndOfSimpleSetup() {
    Fixture f;
    TopWind& t = *f.top;
    f.plugIn();
    for (int tick = 0; tick < 20 && !f.app->link.OnLine; ++tick)
        t.ConnectTimer_Timer();
    QVERIFY(f.app->link.OnLine);
    const auto heard = [&f] { return f.usb.unit().model().requests(); };

    // A message in flight: the keep-alive's tick sends nothing and counts
    // as one.
    const qsizetype before = heard().size();
    f.app->link.SendBusy = 1;
    t.PollSkip = 0;
    t.ConnectTimer_Timer();
    QCOMPARE(heard().size(), before);
    QCOMPARE(t.PollSkip, 3);
    f.app->link.SendBusy = 0;
    t.PollSkip = 0;
    t.ConnectTimer_Timer();
    QCOMPARE(heard().mid(before), QList<QByteArray>({QByteArray("NO\x00", 3)}));

    // The end of simple setup tells the unit, restores the title and
    // re-arms the poll, whose next keep-alive comes at the sixth tick.
    t.setWindowTitle(QStringLiteral("QDR318 Manager Ver.1.00 簡単設定"));
    t.ConnectTimer.stop();
    t.PollSkip = 0;
    t.KantanEndProc();
    QCOMPARE(heard().last(), QByteArray("NO\x02", 3));
    QCOMPARE(t.windowTitle(), QStringLiteral("QDR318 Manager Ver.1.00"));
    QVERIFY(t.ConnectTimer.isActive());
    const qsizetype told = heard().size();
    int keepAliveAt = 0;
    for (int tick = 1; tick <= 10 && !keepAliveAt; ++tick) {
        t.ConnectTimer_Timer();
        if (heard().size() > told)
            keepAliveAt = tick;
    }
    QCOMPARE(keepAliveAt, 6);
}

// Only the program turns the pages: a click, a wheel turn or a key on the
// headers, or Ctrl+Tab on a page, leaves the page as it is and sends
// nothing, online or offline, on the start page or inside simple setup.
void TestTopWind::tabHeadersTakeNoInput() {
    for (bool online : {false, true}) {
        Fixture f;
        TopWind& t = *f.top;
        if (online) {
            f.plugIn();
            for (int tick = 0; tick < 20 && !f.app->link.OnLine; ++tick)
                t.ConnectTimer_Timer();
            QVERIFY(f.app->link.OnLine);
        } else {
            t.show();
        }
        t.ConnectTimer.stop();
        t.Timer1.stop();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        const qsizetype sent = f.usb.unit().rawFrames().size();
        QTabBar* bar = t.TopTab->tabBar();
        for (int page : {0, 1}) {
            t.TopTab->setCurrentIndex(page);
            for (int i = 0; i < 4; ++i) {
                const QPoint at = bar->tabRect(i).center();
                QTest::mouseClick(bar, Qt::LeftButton, {}, at);
                QTest::mouseDClick(bar, Qt::LeftButton, {}, at);
                QWheelEvent wheel(at, bar->mapToGlobal(at), {}, {0, i < 2 ? 120 : -120}, Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(bar, &wheel);
                QCOMPARE(t.TopTab->currentIndex(), page);
            }
            for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left}) {
                QTest::keyClick(bar, key);
                QCOMPARE(t.TopTab->currentIndex(), page);
            }
            QTest::keyClick(t.TopTab->currentWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(t.TopTab->currentIndex(), page);
            QTest::keyClick(t.TopTab->currentWidget(), Qt::Key_Backtab,
                            Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(t.TopTab->currentIndex(), page);
        }
        QCOMPARE(f.usb.unit().rawFrames().size(), sent);
    }
}

QTEST_MAIN(TestTopWind)
#include "tst_topwind.moc"
