#include "LinkRig.h"
#include "link/Link.h"
#include "link/Serial.h"
#include "platform/ComPort.h"
#include "sim/SimFtdiDriver.h"
#include "sim/SimPty.h"

#include <QTest>
#include <deque>
#include <memory>

using namespace testrig;

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void frameBytes();
    void receiverEdges_data();
    void receiverEdges();
    void deadlineAcrossClockWrap();
    void replyLettersNotCompared();
    void sendGate();
    void attemptsAndPurges();
    void breakOncePerFailedMessage();
    void openAndCloseRules();
    void scanWithNoUnit();
    void scanFindsUnitOnCom1();
    void comLeftoversDropped();
    void comRetriesClearTheRing();
    void usbExchangeWithEmulator();

private:
    // A link on the scripted bridge, its port open in USB mode.
    struct Scripted {
        FakeClock clock;
        ScriptedFtdi ftdi{clock};
        FakeHost host;
        Link link;
        Scripted() {
            link.SerialObj = std::make_unique<Serial>(link, host, clock, ftdi);
            link.SerialObj->PortOpen();
        }
        Serial& serial() { return *link.SerialObj; }
    };
};

void TestLink::frameBytes() {
    uint8_t frame[Serial::SendBufferSize];
    const uint8_t probe[] = {'N', 'O', 0};
    QCOMPARE(Link::MakeFrame(probe, 3, frame), 7);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(frame), 7), QByteArray("\x01\x00\x03NO\x00\x02", 7));

    uint8_t body[129];
    for (int i = 0; i < 129; ++i)
        body[i] = static_cast<uint8_t>(i);
    QCOMPARE(Link::MakeFrame(body, 129, frame), 133);
    QCOMPARE(frame[1], 0);
    QCOMPARE(frame[2], 129);
    QCOMPARE(frame[3 + 128], 128);
    QCOMPARE(frame[132], 0x02);

    std::vector<uint8_t> big(300, 7);
    std::vector<uint8_t> out(304);
    QCOMPARE(Link::MakeFrame(big.data(), 300, out.data()), 304);
    QCOMPARE(out[1], 1);
    QCOMPARE(out[2], 44);
}

void TestLink::receiverEdges_data() {
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QByteArray>("body");
    const QByteArray ab = Frame("AB");
    QByteArray longBody(1025, '\0');
    for (int i = 0; i < 1025; ++i)
        longBody[i] = static_cast<char>(i % 251 + 3);
    QTest::newRow("plain") << Frame(QByteArray("NO\x00", 3)) << true << QByteArray("NO\x00", 3);
    QTest::newRow("noise before, bytes before the end") << QByteArray("\xFF\x7F\x02") + ab.chopped(1) + "xyz\x02"
                                                       << true << QByteArray("AB");
    QTest::newRow("empty body is not a reply") << QByteArray("\x01\x00\x00\x02", 4) + ab << true << QByteArray("AB");
    QByteArray oversize("\x01\x04\x02", 3);
    oversize += QByteArray(1026, '\x55') + '\x02';
    QTest::newRow("body over 1025 bytes is not a reply") << oversize + ab << true << QByteArray("AB");
    QTest::newRow("1025-byte body") << Frame(longBody) << true << longBody;
    QTest::newRow("cut frame") << ab.left(4) << false << QByteArray();
    QTest::newRow("only an oversize frame") << oversize << false << QByteArray();
    QTest::newRow("silence") << QByteArray() << false << QByteArray();
}

void TestLink::receiverEdges() {
    QFETCH(QByteArray, wire);
    QFETCH(bool, complete);
    QFETCH(QByteArray, body);
    Scripted s;
    s.link.RxBuf.fill(0xEE);
    s.link.RxWait = 1100;
    Queue(s.ftdi.rx, wire);
    const uint32_t start = s.clock.t;
    QCOMPARE(s.serial().ReceiveBuffer(), complete);
    if (complete) {
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(s.link.RxBuf.data()), body.size()), body);
        if (body.size() < 1025)
            QCOMPARE(s.link.RxBuf[static_cast<std::size_t>(body.size())], 0xEE); // nothing past the body
    } else {
        // Gave up at the deadline, not before.
        QVERIFY(s.clock.t - start > 1100u);
        QVERIFY(s.clock.t - start < 1200u);
    }
}

void TestLink::deadlineAcrossClockWrap() {
    for (uint32_t startAt : {0xFFFFFF00u, 0x7FFFFF00u, 0u}) {
        Scripted s;
        s.clock.t = startAt;
        s.clock.step = 1;
        s.link.RxWait = 1100;
        QVERIFY(!s.serial().ReceiveBuffer());
        const uint32_t waited = s.clock.t - startAt;
        QVERIFY2(waited > 1100u && waited < 1200u, qPrintable(QString::number(waited)));
    }
}

void TestLink::replyLettersNotCompared() {
    Scripted s;
    s.host.gate = true;
    Queue(s.ftdi.rx, Frame("XY"));
    SendNO(s.link, 0, 300);
    QCOMPARE(s.serial().GetRxOK(), -1);
    QCOMPARE(s.link.RxBuf[0], 'X');
}

void TestLink::sendGate() {
    Scripted s;
    s.host.gate = true;
    Queue(s.ftdi.rx, Frame("NO"));
    SendNO(s.link, 0, 300);
    QCOMPARE(s.serial().GetRxOK(), -1);

    // Offline with the start window not probing: nothing goes out, and the
    // last result stands.
    s.host.gate = false;
    const int writes = s.ftdi.writes;
    SendNO(s.link, 2, 500);
    QCOMPARE(s.ftdi.writes, writes);
    QCOMPARE(s.serial().GetRxOK(), -1);

    // Online it always sends.
    s.link.OnLine = true;
    Queue(s.ftdi.rx, Frame("NO"));
    SendNO(s.link, 2, 500);
    QCOMPARE(s.ftdi.writes, writes + 1);

    // A closed port sends nothing either.
    s.serial().PortClose();
    SendNO(s.link, 2, 500);
    QCOMPARE(s.ftdi.writes, writes + 1);
    QCOMPARE(s.link.SendBusy, 0);
}

void TestLink::attemptsAndPurges() {
    Scripted s;
    s.host.gate = true;
    s.ftdi.purges = 0;
    SendNO(s.link, 0, 300); // the probe: one attempt
    QCOMPARE(s.ftdi.writes, 1);
    QCOMPARE(s.ftdi.purges, 1);
    QCOMPARE(s.serial().GetRxOK(), 0);

    SendNO(s.link, 2, 500); // anything else: three, each after a purge
    QCOMPARE(s.ftdi.writes, 4);
    QCOMPARE(s.ftdi.purges, 4);

    // A reply at the second attempt ends the tries.
    s.ftdi.writes = 0;
    struct SecondTime : ScriptedFtdi {
        using ScriptedFtdi::ScriptedFtdi;
        FT_STATUS FT_Write(FT_HANDLE h, const void* b, unsigned long n, unsigned long* w) override {
            const FT_STATUS st = ScriptedFtdi::FT_Write(h, b, n, w);
            if (writes == 2)
                Queue(rx, Frame("OK"));
            return st;
        }
    };
    FakeClock clock;
    SecondTime ftdi(clock);
    FakeHost host;
    host.gate = true;
    Link link;
    link.SerialObj = std::make_unique<Serial>(link, host, clock, ftdi);
    link.SerialObj->PortOpen();
    SendNO(link, 2, 500);
    QCOMPARE(ftdi.writes, 2);
    QCOMPARE(link.SerialObj->GetRxOK(), -1);
}

void TestLink::breakOncePerFailedMessage() {
    Scripted s;
    s.link.OnLine = true;
    SendNO(s.link, 2, 500);
    QCOMPARE(s.ftdi.writes, 3);
    QCOMPARE(s.host.lost, 1);
    QVERIFY(!s.link.OnLine);

    // Offline now: nothing is sent through the closed gate and nothing shown.
    SendNO(s.link, 2, 500);
    QCOMPARE(s.host.lost, 1);
    // Probing offline and failing shows nothing either.
    s.host.gate = true;
    SendNO(s.link, 0, 300);
    QCOMPARE(s.host.lost, 1);
}

void TestLink::openAndCloseRules() {
    Scripted s;
    QVERIFY(s.serial().IsOpen());
    QVERIFY(s.serial().PortOpen()); // open again: closed first
    QCOMPARE(s.ftdi.closes, 1);
    QVERIFY(s.serial().PortClose());
    QCOMPARE(s.ftdi.closes, 2);
    QVERIFY(s.serial().PortClose()); // already closed: the driver is not asked
    QCOMPARE(s.ftdi.closes, 2);

    FakeClock clock;
    SimFtdiDriver sim(clock, false);
    FakeHost host;
    Link link;
    Serial serial(link, host, clock, sim);
    QVERIFY(serial.PortOpen());
    sim.setCloseFails(true);
    QVERIFY(!serial.PortClose());
    QVERIFY(serial.IsOpen()); // still counts as open; the next open closes first
    sim.setCloseFails(false);
    sim.clearCalls();
    QVERIFY(serial.PortOpen());
    QCOMPARE(sim.calls().value(0), QStringLiteral("FT_Close"));
    QCOMPARE(sim.calls().value(1), QStringLiteral("FT_Open 0"));
    QCOMPARE(sim.calls().mid(2, 8),
             QStringList({"FT_SetBaudRate 38400", "FT_SetDataCharacteristics 8 0 0", "FT_SetFlowControl 0 0 0",
                          "FT_Purge 3", "FT_SetTimeouts 1500 5000", "FT_SetDtr", "FT_SetRts", "FT_SetBreakOff"}));
}

namespace {

// A link with the emulator's bridge on USB and a real COM port object, as
// the program builds them.
struct Rig {
    SystemMsClock clock;
    SimFtdiDriver usb{clock};
    FakeHost host;
    ComPort com;
    Link link;
    Rig() {
        link.SerialObj = std::make_unique<Serial>(link, host, clock, usb);
        link.SerialObj->SetMSComm(&com);
        QObject::connect(&com, &ComPort::onComm, [this](int ev) { link.SerialObj->OnCommProc(ev); });
    }
    Serial& serial() { return *link.SerialObj; }
};

const QByteArray ProbeFrame("\x01\x00\x03\x4E\x4F\x00\x02", 7);

} // namespace

void TestLink::scanWithNoUnit() {
    qputenv("QDR318_COM1", "/nonexistent/com1");
    qputenv("QDR318_COM2", "/nonexistent/com2");
    Rig r;
    r.usb.setPresent(false);
    r.host.gate = true;
    QList<int> order;
    for (int step = 0; step < 4; ++step) {
        order.append(r.link.PortIndex);
        r.serial().AllPortCheck();
    }
    QCOMPARE(order, QList<int>({0, 1, 2, 0}));
    QCOMPARE(r.link.PortIndex, 1);
    QVERIFY(!r.link.OnLine);
    QVERIFY(!r.serial().IsOpen());
    QCOMPARE(r.host.channel, QStringList(4, QString()));
    QCOMPARE(r.usb.calls().count(QStringLiteral("FT_Open 0")), 2);
}

void TestLink::scanFindsUnitOnCom1() {
    SimPty pty;
    QString error;
    QVERIFY2(pty.start(&error), qPrintable(error));
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    qputenv("QDR318_COM2", "/nonexistent/com2");
    Rig r;
    r.usb.setPresent(false);

    // Before the first start of editing the scan only opens and closes.
    for (int step = 0; step < 3; ++step)
        r.serial().AllPortCheck();
    QVERIFY(!r.link.OnLine);
    QCOMPARE(r.link.PortIndex, 0);
    QVERIFY(pty.withUnit([](SimUnit& u) { return u.rawFrames(); }).isEmpty());
    QVERIFY(!r.usb.calls().join(' ').contains(QStringLiteral("FT_Write")));

    // With the gate open the probe goes out and the unit on COM1 answers.
    r.host.gate = true;
    r.serial().AllPortCheck(); // USB: nothing there
    QCOMPARE(r.link.PortIndex, 1);
    r.serial().AllPortCheck();
    QVERIFY(r.link.OnLine);
    QCOMPARE(r.link.PortIndex, 1);
    QCOMPARE(r.host.channel.last(), QStringLiteral("COM(1) Connect"));
    QVERIFY(r.serial().IsOpen());
    QCOMPARE(r.serial().IsSerialMode(), 1);
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.rawFrames(); }), QList<QByteArray>({ProbeFrame}));

    // Online, a scan step does nothing; the keep-alive goes through.
    r.serial().AllPortCheck();
    QCOMPARE(r.host.channel.last(), QStringLiteral("COM(1) Connect"));
    SendNO(r.link, 0, 300);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(r.link.RxBuf.data()), 3), QByteArray("NO\x00", 3));
}

void TestLink::comLeftoversDropped() {
    SimPty pty;
    QVERIFY(pty.start());
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    Rig r;
    r.host.gate = true;
    r.link.PortIndex = 1;
    r.serial().AllPortCheck();
    QVERIFY(r.link.OnLine);
    r.link.OnLine = false; // probing, so that the late reply is not a lost link

    pty.withUnit([](SimUnit& u) { u.setReplyDelay(450); });
    SendNO(r.link, 0, 300);
    QCOMPARE(r.serial().GetRxOK(), 0);
    QTest::qWait(400); // the late reply arrives meanwhile
    pty.withUnit([](SimUnit& u) { u.clearFaults(); });

    SendNO(r.link, 5, 500);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(r.link.RxBuf[2], 5);
}

void TestLink::comRetriesClearTheRing() {
    SimPty pty;
    QVERIFY(pty.start());
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    Rig r;
    r.host.gate = true;
    r.link.PortIndex = 1;
    r.serial().AllPortCheck();
    QVERIFY(r.link.OnLine);
    pty.withUnit([](SimUnit& u) {
        u.clearLogs();
        u.dropReplies(2);
    });
    SendNO(r.link, 3, 500);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.rawFrames().size(); }), 3);
    QCOMPARE(r.host.lost, 0);

    // Silence while online: three tries, then the lost link, once.
    pty.withUnit([](SimUnit& u) { u.silentAfter(0); });
    SendNO(r.link, 3, 500);
    QCOMPARE(r.host.lost, 1);
    QVERIFY(!r.link.OnLine);
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.rawFrames().size(); }), 6);
}

void TestLink::usbExchangeWithEmulator() {
    Rig r;
    r.host.gate = true;
    r.serial().AllPortCheck();
    QVERIFY(r.link.OnLine);
    QCOMPARE(r.host.channel.last(), QStringLiteral("USB Connect"));
    QCOMPARE(r.usb.unit().rawFrames(), QList<QByteArray>({ProbeFrame}));

    r.usb.unit().dropReplies(1);
    r.usb.clearCalls();
    SendNO(r.link, 2, 500);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(r.usb.calls(), QStringList({"FT_Purge 3", "FT_Write 7", "FT_Purge 3", "FT_Write 7"}));
    QCOMPARE(r.link.RxBuf[2], 2);
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
