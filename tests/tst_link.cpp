#include "LinkRig.h"
#include "link/Link.h"
#include "link/Serial.h"
#include "platform/ComPort.h"
#include "sim/SimFtdiDriver.h"
#include "sim/SimPty.h"
#include "sim/WiredLink.h"

#include <QTest>
#include <deque>
#include <functional>
#include <utility>
#include <memory>

using namespace testrig;

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void frameBytes();
    void receiverEdges();
    void sendGateAndAttempts();
    void replyAtTheDeadline();
    void openAndCloseRules();
    void scanFindsUnitOnUsb();
    void scanFindsUnitOnCom1();
    void comRetriesAndLeftovers();
    void oneExchangeAtATime();

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
    std::vector<uint8_t> big(300, 7), out(304);
    QCOMPARE(Link::MakeFrame(big.data(), 300, out.data()), 304);
    QCOMPARE(out[1], 1);
    QCOMPARE(out[2], 44);
    QCOMPARE(out[303], 2);
}

void TestLink::receiverEdges() {
    const QByteArray ab = Frame("AB");
    QByteArray longBody(1025, '\0');
    for (int i = 0; i < 1025; ++i)
        longBody[i] = static_cast<char>(i % 251 + 3);
    QByteArray oversize("\x01\x04\x02", 3);
    oversize += QByteArray(1026, '\x55') + '\x02';
    // The bytes on the wire, the body taken (null: none by the deadline), and the clock at the start.
    const std::tuple<const char*, QByteArray, QByteArray, uint32_t> cases[] = {
        {"plain", Frame(QByteArray("NO\x00", 3)), QByteArray("NO\x00", 3), 0},
        {"noise before, bytes before the end", QByteArray("\xFF\x7F\x02") + ab.chopped(1) + "xyz\x02", "AB", 0},
        {"an empty body is not a reply", QByteArray("\x01\x00\x00\x02", 4) + ab, "AB", 0},
        {"a body over 1025 bytes is not a reply", oversize + ab, "AB", 0},
        {"1025-byte body", Frame(longBody), longBody, 0},
        {"cut frame", ab.left(4), QByteArray(), 0},
        {"only an oversize frame", oversize, QByteArray(), 0},
        {"silence", QByteArray(), QByteArray(), 0},
        {"silence across the clock's wrap", QByteArray(), QByteArray(), 0xFFFFFF00u},
        {"silence across its sign bit", QByteArray(), QByteArray(), 0x7FFFFF00u}};
    for (const auto& [name, wire, body, start] : cases) {
        Scripted s;
        s.clock.t = start;
        s.clock.step = 1;
        s.link.RxBuf.fill(0xEE);
        s.link.RxWait = 1100;
        Queue(s.ftdi.rx, wire);
        QVERIFY2(s.serial().ReceiveBuffer() == !body.isNull(), name);
        if (!body.isNull()) {
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(s.link.RxBuf.data()), body.size()), body);
            if (body.size() < 1025)
                QCOMPARE(s.link.RxBuf[static_cast<std::size_t>(body.size())], 0xEE); // nothing past the body
        } else {
            // Gave up at the deadline, not before.
            QVERIFY2(s.clock.t - start > 1100u && s.clock.t - start < 1200u, name);
        }
    }
}

void TestLink::sendGateAndAttempts() {
    Scripted s;
    s.host.gate = true;
    s.ftdi.purges = 0;
    // Writes, purges, the result, lost links, online.
    const auto state = [&s] {
        return QList<int>{s.ftdi.writes, s.ftdi.purges, s.serial().GetRxOK(), s.host.lost, s.link.OnLine};
    };
    // Probing (the start window's gate open, offline): one attempt after a purge.
    SendNO(s.link, 0, 300);
    QCOMPARE(state(), QList<int>({1, 1, 0, 0, 0}));
    // Anything else: three, each after a purge; failing offline shows nothing.
    SendNO(s.link, 2, 500);
    QCOMPARE(state(), QList<int>({4, 4, 0, 0, 0}));
    // The reply's letters are not compared.
    Queue(s.ftdi.rx, Frame("XY"));
    SendNO(s.link, 0, 300);
    QCOMPARE(state(), QList<int>({5, 5, -1, 0, 0}));
    QCOMPARE(s.link.RxBuf[0], 'X');
    // Offline with the gate shut: nothing goes out, and the last result stands.
    s.host.gate = false;
    SendNO(s.link, 2, 500);
    QCOMPARE(state(), QList<int>({5, 5, -1, 0, 0}));

    // Online it always sends; a reply at the second attempt ends the tries.
    s.link.OnLine = true;
    int heard = 0;
    s.ftdi.answer = [&](const QByteArray&) { return ++heard == 2 ? QByteArray("OK") : QByteArray(); };
    SendNO(s.link, 2, 500);
    QCOMPARE(state(), QList<int>({7, 7, -1, 0, 1}));
    // No reply online: three tries, then the link is lost, once.
    s.ftdi.answer = nullptr;
    SendNO(s.link, 2, 500);
    QCOMPARE(state(), QList<int>({10, 10, 0, 1, 0}));
    SendNO(s.link, 2, 500);
    QCOMPARE(state(), QList<int>({10, 10, 0, 1, 0}));

    // A closed port sends nothing either.
    s.link.OnLine = true;
    s.serial().PortClose();
    SendNO(s.link, 2, 500);
    QCOMPARE(s.ftdi.writes, 10);
    QCOMPARE(s.link.SendBusy, 0);
}

namespace {

// A bridge on which bytes arrive at given times of the fake clock; a wait
// for bytes lets the clock run to the next arrival, or to the end of the
// wait.
class TimedFtdi : public ScriptedFtdi {
public:
    explicit TimedFtdi(FakeClock& clock) : ScriptedFtdi(clock), clock_(clock) {}
    void Arrive(uint32_t at, const QByteArray& bytes) {
        for (char c : bytes)
            due_.emplace_back(at, static_cast<uint8_t>(c));
    }
    FT_STATUS FT_GetStatus(FT_HANDLE h, unsigned long* rxq, unsigned long* txq, unsigned long* ev) override {
        while (!due_.empty() && static_cast<int32_t>(clock_.t - due_.front().first) >= 0) {
            rx.push_back(due_.front().second);
            due_.pop_front();
        }
        return ScriptedFtdi::FT_GetStatus(h, rxq, txq, ev);
    }
    void WaitRx(FT_HANDLE, unsigned maxMs) override {
        const uint32_t toNext = due_.empty() ? maxMs : due_.front().first - clock_.t;
        clock_.t += std::min<uint32_t>(maxMs, toNext);
    }

private:
    FakeClock& clock_;
    std::deque<std::pair<uint32_t, uint8_t>> due_;
};

} // namespace

void TestLink::replyAtTheDeadline() {
    // A reply whose last byte comes exactly RxWait ms after the request is
    // in time; a millisecond later it is not, wherever the clock stands.
    const QByteArray reply = Frame(QByteArray("NO\x00", 3));
    for (uint32_t start : {0u, 0xFFFFFF00u, 0x7FFFFF80u}) {
        for (int wait : {300, 1100}) {
            for (int early : {0, 3}) { // bytes that come at once
                for (uint32_t late : {0u, 1u}) {
                    FakeClock clock;
                    clock.t = start;
                    TimedFtdi ftdi(clock);
                    FakeHost host;
                    host.gate = true;
                    Link link;
                    link.SerialObj = std::make_unique<Serial>(link, host, clock, ftdi);
                    link.SerialObj->PortOpen();
                    ftdi.Arrive(start, reply.left(early));
                    ftdi.Arrive(start + uint32_t(wait) + late, reply.mid(early));
                    SendNO(link, 0, wait);
                    const QString at =
                        QStringLiteral("%1 %2 %3 %4").arg(start).arg(wait).arg(early).arg(late);
                    QCOMPARE(std::pair(at, link.SerialObj->GetRxOK()), std::pair(at, late == 0 ? -1 : 0));
                }
            }
        }
    }
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
    QCOMPARE(sim.calls(),
             QStringList({"FT_Close", "FT_Open 0", "FT_SetBaudRate 38400", "FT_SetDataCharacteristics 8 0 0", "FT_SetFlowControl 0 0 0",
                          "FT_Purge 3", "FT_SetTimeouts 1500 5000", "FT_SetDtr", "FT_SetRts", "FT_SetBreakOff"}));
}

namespace {

using Rig = WiredLink<FakeHost>;

const QByteArray ProbeFrame("\x01\x00\x03\x4E\x4F\x00\x02", 7);

} // namespace

void TestLink::scanFindsUnitOnUsb() {
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
    QVERIFY(!r.link.OnLine);
    QVERIFY(!r.serial().IsOpen());
    QCOMPARE(r.host.channel, QStringList(4, QString()));
    QCOMPARE(r.usb.calls().count(QStringLiteral("FT_Open 0")), 2);

    // Plugged in, the unit is found when the scan comes round to USB again.
    r.usb.setPresent(true);
    for (int step = 0; step < 3; ++step)
        r.serial().AllPortCheck();
    QVERIFY(r.link.OnLine);
    QCOMPARE(r.host.channel.last(), QStringLiteral("USB Connect"));
    QCOMPARE(r.usb.unit().rawFrames(), QList<QByteArray>({ProbeFrame}));
    // Every attempt purges both ways before it writes.
    r.usb.unit().dropReplies(1);
    r.usb.clearCalls();
    SendNO(r.link, 2, 500);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(r.usb.calls(), QStringList({"FT_Purge 3", "FT_Write 7", "FT_Purge 3", "FT_Write 7"}));
    QCOMPARE(r.link.RxBuf[2], 2);
}

void TestLink::scanFindsUnitOnCom1() {
    SimPty pty;
    QVERIFY(pty.start());
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

void TestLink::comRetriesAndLeftovers() {
    SimPty pty;
    QVERIFY(pty.start());
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    Rig r;
    r.host.gate = true;
    r.link.PortIndex = 1;
    r.serial().AllPortCheck();
    QVERIFY(r.link.OnLine);
    const auto frames = [&pty] { return pty.withUnit([](SimUnit& u) { return u.rawFrames().size(); }); };

    pty.withUnit([](SimUnit& u) {
        u.clearLogs();
        u.dropReplies(2);
    });
    SendNO(r.link, 3, 500);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(frames(), 3);
    QCOMPARE(r.host.lost, 0);

    // A reply that comes too late is not taken for the next one's.
    r.link.OnLine = false; // probing, so that the late reply is not a lost link
    pty.withUnit([](SimUnit& u) { u.setReplyDelay(450); });
    SendNO(r.link, 0, 300);
    QCOMPARE(r.serial().GetRxOK(), 0);
    QTest::qWait(400); // the late reply arrives meanwhile
    pty.withUnit([](SimUnit& u) { u.clearFaults(); });
    SendNO(r.link, 5, 500);
    QCOMPARE(r.serial().GetRxOK(), -1);
    QCOMPARE(r.link.RxBuf[2], 5);

    // Silence while online: three tries, then the lost link, once.
    r.link.OnLine = true;
    pty.withUnit([](SimUnit& u) {
        u.clearLogs();
        u.silentAfter(0);
    });
    SendNO(r.link, 3, 500);
    QCOMPARE(r.host.lost, 1);
    QVERIFY(!r.link.OnLine);
    QCOMPARE(frames(), 3);
}

namespace {

// A host whose reply wait runs something once, as a timer of the windows
// would that fires while the unit has not yet answered.
struct MeddlingHost : FakeHost {
    std::function<void()> meddle;
    void PumpEvents(int maxMs) override {
        if (auto once = std::exchange(meddle, nullptr))
            once();
        FakeHost::PumpEvents(maxMs);
    }
};

} // namespace

// A message sent while another waits for its reply goes after it, whole:
// the one in flight retries with its own bytes and keeps its reply. A run's
// message cannot wait so: it breaks its run.
void TestLink::oneExchangeAtATime() {
    SimPty pty;
    QVERIFY(pty.start());
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    WiredLink<MeddlingHost> r;
    r.host.gate = true;
    QVERIFY(r.connect(1));
    pty.withUnit([](SimUnit& u) {
        u.setPaced(false);
        u.clearLogs();
        u.dropReplies(1);
    });

    const QByteArray delay = QByteArray::fromHex("4f530001010000");
    int busyInside = -1;
    r.host.meddle = [&] {
        r.link.Send({0x4f, 0x53, 0x00, 0x01, 0x01, 0x00, 0x00}, 1100);
        QVERIFY(!r.link.Replied());
        // Another message's turn must not end this one's.
        busyInside = r.link.SendBusy;
    };
    SendNO(r.link, 2, 500);
    QVERIFY(r.link.Replied());
    QCOMPARE(r.link.RxBuf[2], 2);
    QCOMPARE(busyInside, 1);
    QCOMPARE(r.link.Waiting(), 1);
    QTRY_COMPARE(r.link.Waiting(), 0);
    QCOMPARE(r.link.RxBuf[0], 'O');

    const auto frames = pty.withUnit([](SimUnit& u) { return std::pair{u.rawFrames(), u.malformedFrames()}; });
    const QByteArray probe = Frame(QByteArray("NO\x02", 3));
    QCOMPARE(frames.first, QList<QByteArray>({probe, probe, Frame(delay)}));
    QVERIFY(frames.second.isEmpty());
    QCOMPARE(r.host.lost, 0);

    // A run that starts inside another message's reply wait (its timer
    // fired there) sends nothing and is broken: it never reports success for
    // messages that did not go out, nor are they sent afterwards. The unit
    // missed nothing, so no lost link is reported for them.
    pty.withUnit([](SimUnit& u) { u.clearLogs(); });
    bool broken = false;
    r.host.meddle = [&] {
        const AnsweredRun run(r.link);
        for (uint8_t block = 1; block <= 3; ++block) {
            r.link.Send({'O', 'L', 0, block, 0}, 1100);
            QVERIFY(!r.link.Replied());
        }
        broken = run.Broken();
    };
    SendNO(r.link, 2, 500);
    QVERIFY(r.link.Replied());
    QVERIFY(broken);
    QCOMPARE(r.link.Waiting(), 0);
    QTest::qWait(50);
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.rawFrames(); }), QList<QByteArray>{probe});
    QCOMPARE(r.host.lost, 0);
    // The next run, outside any other exchange, goes out whole.
    const AnsweredRun run(r.link);
    r.link.Send({'O', 'L', 0, 1, 0}, 1100);
    QVERIFY(r.link.Replied());
    QVERIFY(!run.Broken());
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
