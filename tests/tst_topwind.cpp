#include "data/VenueFile.h"
#include "link/Link.h"
#include "link/Serial.h"
#include "sim/SimFtdiDriver.h"
#include "sim/SimPty.h"
#include "platform/Dialogs.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// A start window on a folder of its own, with a lock of its own so that
// suites may run side by side.
struct Fixture {
    QTemporaryDir dir;
    SystemMsClock clock;
    SimFtdiDriver usb{clock};
    std::unique_ptr<App> app;
    std::unique_ptr<TopWind> top;

    explicit Fixture(const QByteArray& defaultVenue = {}, const QByteArray& com1 = "/nonexistent/com1") {
        // No real port is touched: the bridge is the emulator's, unplugged
        // unless a test plugs it in, and COM1/COM2 lead nowhere or to a pty.
        usb.setPresent(false);
        qputenv("QDR318_COM1", com1);
        qputenv("QDR318_COM2", "/nonexistent/com2");
        QDir(dir.path()).mkpath(QStringLiteral("param"));
        if (!defaultVenue.isNull()) {
            QFile f(dir.filePath(QStringLiteral("param/default.vnf")));
            f.open(QIODevice::WriteOnly);
            f.write(defaultVenue);
        }
        app = std::make_unique<App>(AppOptions{dir.path(), CodePage::Western,
                                               QStringLiteral("qdr318-test-%1").arg(QCoreApplication::applicationPid()),
                                               nullptr, &usb});
        top = std::make_unique<TopWind>(*app);
    }
};

QByteArray VenueBytes(void (*edit)(ParamData&)) {
    ParamData d;
    for (int m = 0; m < ParamData::RecordCount; ++m)
        d.InitMemoryData(m);
    edit(d);
    return EncodeVenue(d, CodePage(CodePage::Western));
}

} // namespace

class TestTopWind : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetMessageHandler({}); }
    void startupWithoutDefaultVenue();
    void startupWithDefaultVenue();
    void brokenDefaultVenueFallsBackToFactory();
    void pollSkipsThenShowsOffline();
    void pollStopsOffThePageAndRearms();
    void timerWaitEndsOnTimer1Ticks();
    void quitQuestion();
    void pollFindsUnitThenLosesIt();
    void secondInstanceRefused();
};

void TestTopWind::startupWithoutDefaultVenue() {
    Fixture f;
    QVERIFY(f.top->Form_Initialize());
    TopWind& t = *f.top;
    QCOMPARE(t.windowTitle(), QStringLiteral("QDR318 Manager Ver.1.00"));
    QCOMPARE(t.TopTab->count(), 4);
    QCOMPARE(t.TopTab->tabText(0), QStringLiteral("メニュー"));
    QCOMPARE(t.TopTab->tabText(1), QStringLiteral("ライン設定"));
    QCOMPARE(t.TopTab->tabText(2), QStringLiteral("スピーカー"));
    QCOMPARE(t.TopTab->tabText(3), QStringLiteral("ハウリング"));
    QCOMPARE(t.TopTab->currentIndex(), 0);
    QVERIFY(!t.KantanBtn->isEnabled());
    QVERIFY(t.SyousaiBtn->isEnabled());
    QCOMPARE(t.SyousaiBtn->text(), QStringLiteral("Parameter Edit"));
    QCOMPARE(t.FileTransBtn->text(), QStringLiteral("File Transfer"));
    QCOMPARE(t.SetEndBtn->text(), QStringLiteral("Quit"));
    QCOMPARE(t.TimeOutNone->text(), QStringLiteral("タイムアウトなし"));
    QCOMPARE(t.OnLineMess[0]->text(), QStringLiteral("Checking communication."));
    QCOMPARE(t.OnLineMess[2]->text(), QStringLiteral("オフライン"));
    QCOMPARE(t.ConnectChannel->text(), QStringLiteral("USB Connecting"));
    for (PicButton* b : t.LineButton) {
        QCOMPARE(b->Tag, QStringLiteral("0"));
        QCOMPARE(b->picture(), ImageWind::Pic::SwOff);
    }
    for (PictureBox* p : t.Image1)
        QCOMPARE(p->picture(), ImageWind::Pic::Silver86);
    QCOMPARE(t.PollSkip, 3);
    QVERIFY(t.Timer1.isActive());
    QVERIFY(t.ConnectTimer.isActive());
    QCOMPARE(t.FileDialogFolder, f.dir.path());

    const ParamData& d = f.app->data;
    QVERIFY(!d.VenueLoaded);
    QCOMPARE(d.MemNo, 1);
    QCOMPARE(d.CurBank, 0);
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        QCOMPARE(d.BankData[m].In[0].Trim, 31);
        QCOMPARE(d.MemLevel[m].Out[6], 125);
    }
    QVERIFY(d.BankBackup[0] == d.BankData[0]);
}

void TestTopWind::startupWithDefaultVenue() {
    Fixture f(VenueBytes([](ParamData& d) {
        d.BankData[0].In[2].Fader = 50;
        d.BankData[9].MemNameStr = QStringLiteral("Lobby");
        d.MemLevel[3].In[1] = 60;
    }));
    QVERIFY(f.top->Form_Initialize());
    const ParamData& d = f.app->data;
    QVERIFY(d.VenueLoaded);
    QCOMPARE(d.BankData[0].In[2].Fader, 50);
    QCOMPARE(d.BankData[9].MemNameStr, QStringLiteral("Lobby"));
    // Offline at start-up: the file's knob levels are not kept.
    QCOMPARE(d.MemLevel[3].In[1], 125);
    QCOMPARE(d.BankBackup[0].In[2].Fader, 50);
    QCOMPARE(d.BankBackup[9].MemNameStr, QStringLiteral("Lobby"));
}

void TestTopWind::brokenDefaultVenueFallsBackToFactory() {
    QByteArray cut = VenueBytes([](ParamData& d) { d.BankData[0].In[2].Fader = 50; });
    cut.truncate(5000);
    Fixture f(cut);
    QVERIFY(f.top->Form_Initialize());
    const ParamData& d = f.app->data;
    QVERIFY(!d.VenueLoaded);
    QCOMPARE(d.BankData[0].In[2].Fader, 125);
    QCOMPARE(d.BankData[16].Mix[3].LinkFlags, 0x22);
}

void TestTopWind::pollSkipsThenShowsOffline() {
    Fixture f;
    QVERIFY(f.top->Form_Initialize());
    TopWind& t = *f.top;
    t.show(); // showing activates the window: five ticks to skip
    QCOMPARE(t.PollSkip, 5);
    int firstStep = 0;
    int offlineAt = 0;
    for (int tick = 1; tick <= 40 && !offlineAt; ++tick) {
        const int before = t.OfflineCount;
        t.ConnectTimer_Timer();
        if (t.OfflineCount == 1 && before == 0)
            firstStep = tick;
        if (t.OfflineShown)
            offlineAt = tick;
        else
            QCOMPARE(t.OnLineMess[0]->text(), QStringLiteral("Checking communication."));
    }
    QCOMPARE(firstStep, 6);
    QCOMPARE(offlineAt, firstStep + 12);
    QCOMPARE(t.OfflineCount, 7);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(t.OnLineMess[i]->text(), QStringLiteral("Offline"));
        QCOMPARE(t.OnLine[i]->fillColor(), LampGrey);
    }
    // Shown once by this path.
    for (int tick = 0; tick < 10; ++tick)
        t.ConnectTimer_Timer();
    QCOMPARE(t.OfflineCount, 7);

    t.OnlineDisp(1);
    QCOMPARE(t.OnLineMess[1]->text(), QStringLiteral("Online"));
    QCOMPARE(t.OnLine[1]->fillColor(), LampGreen);
    t.OnlineDisp(-1);
    QCOMPARE(t.OnLineMess[3]->text(), QStringLiteral("Online"));
}

void TestTopWind::pollStopsOffThePageAndRearms() {
    Fixture f;
    QVERIFY(f.top->Form_Initialize());
    TopWind& t = *f.top;
    t.show();
    t.TopTab->setCurrentIndex(1);
    t.ConnectTimer_Timer();
    QVERIFY(!t.ConnectTimer.isActive());
    QCOMPARE(t.PollSkip, 5); // nothing counted off the start page

    // Timer1 re-arms the poll at its 101st tick with the poll off.
    for (int i = 0; i < 100; ++i)
        t.Timer1_Timer();
    QVERIFY(!t.ConnectTimer.isActive());
    QCOMPARE(t.TimerRestart, 100);
    t.Timer1_Timer();
    QVERIFY(t.ConnectTimer.isActive());
    QCOMPARE(t.TimerRestart, 0);
    // Still on another page: the next poll tick stops it again.
    t.ConnectTimer_Timer();
    QVERIFY(!t.ConnectTimer.isActive());

    t.TopTab->setCurrentIndex(0);
    t.hide();
    t.ConnectTimer.start();
    t.ConnectTimer_Timer();
    QVERIFY(!t.ConnectTimer.isActive());
}

void TestTopWind::timerWaitEndsOnTimer1Ticks() {
    Fixture f;
    QVERIFY(f.top->Form_Initialize());
    int ticks = 0;
    QObject::connect(&f.top->Timer1, &QTimer::timeout, [&] { ++ticks; });
    f.app->waits.TimerWait(250);
    QCOMPARE(ticks, 2);
    ticks = 0;
    f.app->waits.TimerWait(40);
    QCOMPARE(ticks, 0);
    // The wait counts down with the start window hidden too.
    f.top->hide();
    f.app->waits.TimerWait(100);
    QCOMPARE(ticks, 1);
}

void TestTopWind::quitQuestion() {
    Fixture f;
    QVERIFY(f.top->Form_Initialize());
    TopWind& t = *f.top;
    t.show();
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
    QCOMPARE(asked[0].text, QStringLiteral("Quit?"));
    QCOMPARE(asked[0].title, QStringLiteral("Confirmation"));
    QCOMPARE(asked[0].buttons, MsgButtons::OkCancel);
    QCOMPARE(asked[0].icon, MsgIcon::Question);
    QCOMPARE(asked[0].defaultButton, MsgResult::Cancel);
    QVERIFY(t.isVisible());
    QCOMPARE(t.PollSkip, 11);
    QVERIFY(t.ConnectTimer.isActive());
    QCOMPARE(ended.size(), 0);
    // Twelve ticks to the next poll step.
    int tick = 0;
    while (t.OfflineCount == 0 && tick < 30) {
        t.ConnectTimer_Timer();
        ++tick;
    }
    QCOMPARE(tick, 12);

    answer = MsgResult::Ok;
    t.close();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(ended.size(), 1);
    QVERIFY(!t.ConnectTimer.isActive());
    QVERIFY(!t.isVisible());
}

void TestTopWind::pollFindsUnitThenLosesIt() {
    SimPty pty;
    QVERIFY(pty.start());
    Fixture f({}, pty.path().toLocal8Bit());
    QVERIFY(f.top->Form_Initialize());
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
    QCOMPARE(asked[0].text, QStringLiteral("Communication with QDR318 lost.\r\nPlease check the cable and try again."));
    QCOMPARE(asked[0].title, QStringLiteral("Break"));
    QCOMPARE(asked[0].buttons, MsgButtons::CancelTryContinue);
    QCOMPARE(asked[0].icon, MsgIcon::None);
    QCOMPARE(t.OnLineMess[0]->text(), QStringLiteral("Offline"));
    QCOMPARE(t.OnLine[0]->fillColor(), LampGrey);
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

    // Wait until the running copy holds the program's lock.
    bool held = false;
    for (int i = 0; i < 200 && !held; ++i) {
        InstanceGuard probe(InstanceGuard::DefaultKey());
        if (probe.acquire())
            probe.release();
        else
            held = true;
        if (!held)
            QTest::qWait(50);
    }
    QVERIFY(held);

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
    QCOMPARE(asked[0].text, QStringLiteral("Two or more this applications cannot be started."));
    QCOMPARE(asked[0].title, QStringLiteral("QDR318 Manager"));
    QCOMPARE(asked[0].icon, MsgIcon::Exclamation);
    QCOMPARE(asked[0].buttons, MsgButtons::Ok);
    // Nothing after the refusal ran, and the running copy goes on.
    QVERIFY(!second.Timer1.isActive());
    QCOMPARE(app.data.BankData[0].In[0].Trim, 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

QTEST_MAIN(TestTopWind)
#include "tst_topwind.moc"
