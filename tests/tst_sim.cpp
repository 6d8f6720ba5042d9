#include "sim/FrameParser.h"
#include "sim/SimFtdiDriver.h"
#include "sim/SimPty.h"
#include "sim/SimUnit.h"

#include <QElapsedTimer>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray Probe = QByteArray::fromHex("0100034e4f0002");

class ManualClock : public MsClock {
public:
    uint32_t t = 0;
    uint32_t now() override { return t; }
};

QByteArray Frame(const QByteArray& body) {
    QByteArray f;
    f.append('\x01').append(char(body.size() >> 8)).append(char(body.size() & 0xFF));
    return f.append(body).append('\x02');
}

void Send(SimUnit& u, const QByteArray& bytes, uint32_t t) {
    u.Receive(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), t);
}

QByteArray TakeAll(SimUnit& u, uint32_t t) {
    QByteArray out(qsizetype(u.Pending()), '\0');
    out.resize(qsizetype(u.Take(reinterpret_cast<uint8_t*>(out.data()), size_t(out.size()), t)));
    return out;
}

// Reads until n bytes came or timeoutMs passed.
QByteArray ReadFor(int fd, qsizetype n, int timeoutMs) {
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (got.size() < n && timer.elapsed() < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, int(timeoutMs - timer.elapsed())) <= 0)
            break;
        char buf[256];
        const ssize_t r = read(fd, buf, sizeof buf);
        if (r <= 0)
            break;
        got.append(buf, r);
    }
    return got;
}

int OpenRaw(const QString& path) {
    const int fd = open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return fd;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

} // namespace

class TestSim : public QObject {
    Q_OBJECT
private slots:
    void parserSkipsGarbageAndSplitsFrames();
    void parserResyncsAfterBadLength();
    void parserSkipsToEndMarker();
    void modelAnswers();

    void pacingAcrossClockWrap();
    void pacingWaitsForWholeRequest();
    void pacingKeepsRepliesInLine();
    void unpacedAnswersAtOnce();

    void faultDropAndSilence();
    void faultDelay();
    void faultNoise();
    void faultCut();
    void purgeDropsQueuedReply();

    void driverOpenAndCallLog();
    void driverPurgeAndRead();
    void driverLineSettingsAndFailures();
    void driverWaitRx();

    void ptyEndToEnd();
};

void TestSim::parserSkipsGarbageAndSplitsFrames() {
    const QByteArray second = Frame("AB");
    const QByteArray stream = QByteArray::fromHex("ff02007f") + Probe + QByteArray::fromHex("02") + second;

    FrameParser whole;
    const auto frames = whole.Feed(stream);
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0].body, QByteArray::fromHex("4e4f00"));
    QCOMPARE(frames[0].raw, Probe);
    QCOMPARE(frames[1].body, QByteArray("AB"));
    QCOMPARE(frames[1].raw, second);

    // Byte by byte gives the same frames, each on its closing byte.
    FrameParser single;
    QList<QByteArray> raws;
    for (char c : stream)
        if (auto f = single.Push(uint8_t(c)))
            raws << f->raw;
    QCOMPARE(raws, (QList<QByteArray>{Probe, second}));
    QVERIFY(!single.InFrame());
}

void TestSim::parserResyncsAfterBadLength() {
    FrameParser p;
    // LEN 0, then a good frame straight after.
    auto frames = p.Feed(QByteArray::fromHex("010000") + Probe);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].raw, Probe);

    // LEN 1026 is one too many.
    frames = p.Feed(QByteArray::fromHex("010402") + Probe);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].raw, Probe);

    // A bad LEN whose low byte is the real frame's start.
    frames = p.Feed(QByteArray::fromHex("0105") + Probe);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].raw, Probe);

    // 1025 is the longest body taken.
    const QByteArray longest(FrameParser::MaxBody, 'x');
    frames = p.Feed(Frame(longest));
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].body, longest);
}

void TestSim::parserSkipsToEndMarker() {
    FrameParser p;
    // Within the trailer even a 0x01 is skipped, not a new start.
    const QByteArray raw = QByteArray::fromHex("0100024142ff0102");
    const auto frames = p.Feed(raw + Probe);
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0].body, QByteArray("AB"));
    QCOMPARE(frames[0].raw, raw);
    QCOMPARE(frames[1].raw, Probe);
}

void TestSim::modelAnswers() {
    UnitModel m;
    QCOMPARE(m.Handle(QByteArray::fromHex("4e4f00")), QByteArray::fromHex("4e4f00"));
    QCOMPARE(m.Handle(QByteArray::fromHex("4e4f03")), QByteArray::fromHex("4e4f03"));
    QCOMPARE(m.Handle(QByteArray("PW\x01xyz")), QByteArray("PW"));
    QVERIFY(!m.Handle(QByteArray("P")).has_value());

    m.setHandler('P', 'W', [](const QByteArray&) { return std::optional<QByteArray>(); });
    QVERIFY(!m.Handle(QByteArray("PW")).has_value());
    m.setHandler('P', 'W', {});
    QCOMPARE(m.Handle(QByteArray("PW")), QByteArray("PW"));
    QCOMPARE(m.requests().size(), 6);
    QCOMPARE(m.requests()[3], QByteArray("P"));
}

void TestSim::pacingAcrossClockWrap() {
    // Request 7 bytes = 1.823 ms on the wire; reply byte k at
    // (8 + k) / 3840 s: 2.083 ms for the first, 3.646 ms for the last.
    const uint32_t t0 = 0xFFFFFFFEu;
    SimUnit u;
    Send(u, Probe, t0);
    QCOMPARE(u.Pending(), size_t(7));
    QCOMPARE(u.Available(t0), size_t(0));
    QCOMPARE(u.Available(t0 + 1), size_t(0));
    QCOMPARE(u.Available(t0 + 2), size_t(0));
    QCOMPARE(u.Available(t0 + 3), size_t(4));
    QCOMPARE(u.Available(t0 + 4), size_t(7));
    QCOMPARE(u.NextByteTime(), std::optional<uint32_t>(t0 + 3));

    QByteArray got = TakeAll(u, t0 + 3);
    QCOMPARE(got.size(), 4);
    QCOMPARE(u.NextByteTime(), std::optional<uint32_t>(t0 + 4));
    got += TakeAll(u, t0 + 4);
    QCOMPARE(got, Probe);
    QVERIFY(!u.NextByteTime());
    QCOMPARE(u.answered(), 1);
}

void TestSim::pacingWaitsForWholeRequest() {
    SimUnit u;
    Send(u, Probe.left(3), 100);
    Send(u, Probe.mid(3), 110);
    // Started 110 ms, not 100 + 1.8: bytes at 110.26, 110.52, 110.78, 111.04...
    QCOMPARE(u.Available(110), size_t(0));
    QCOMPARE(u.Available(111), size_t(3));
    QCOMPARE(u.Available(112), size_t(7));
}

void TestSim::pacingKeepsRepliesInLine() {
    SimUnit u;
    Send(u, Probe + Probe, 0);
    // The second reply follows the first (ends 3.646 ms): 3.906, 4.167, ... 5.469 ms.
    QCOMPARE(u.Available(3), size_t(4));
    QCOMPARE(u.Available(4), size_t(8));
    QCOMPARE(u.Available(5), size_t(12));
    QCOMPARE(u.Available(6), size_t(14));
    QCOMPARE(TakeAll(u, 6), Probe + Probe);
}

void TestSim::unpacedAnswersAtOnce() {
    SimUnit u;
    u.setPaced(false);
    Send(u, Probe + Frame("AB"), 50);
    QCOMPARE(TakeAll(u, 50), Probe + Frame("AB"));
}

void TestSim::faultDropAndSilence() {
    SimUnit u;
    u.setPaced(false);
    u.dropReplies(2);
    for (uint32_t t = 0; t < 3; ++t)
        Send(u, Probe, t);
    QCOMPARE(TakeAll(u, 3), Probe);
    QCOMPARE(u.rawFrames().size(), 3);
    QCOMPARE(u.model().requests().size(), 1); // dropped ones were not heard

    u.clearLogs();
    u.silentAfter(1);
    for (uint32_t t = 10; t < 13; ++t)
        Send(u, Probe, t);
    QCOMPARE(u.answered(), 1);
    u.dropReplies(5);
    u.clearFaults();
    Send(u, Probe, 20);
    QCOMPARE(u.answered(), 2);
    QCOMPARE(TakeAll(u, 20), Probe + Probe);

    u.silentAfter(0);
    Send(u, Probe, 30);
    QCOMPARE(u.Pending(), size_t(0));
}

void TestSim::faultDelay() {
    SimUnit u;
    u.setPaced(false);
    u.setReplyDelay(50);
    const uint32_t t = 0xFFFFFFF0u;
    Send(u, Probe, t);
    QCOMPARE(u.Available(t + 49), size_t(0));
    QCOMPARE(u.Available(t + 50), size_t(7));
    QCOMPARE(u.NextByteTime(), std::optional<uint32_t>(t + 50));

    // Paced: the delay comes after the request's own wire time.
    u.setPaced(true);
    TakeAll(u, t + 50);
    Send(u, Probe, 1000);
    QCOMPARE(u.Available(1052), size_t(0));
    QCOMPARE(u.Available(1053), size_t(4));
}

void TestSim::faultNoise() {
    SimUnit u;
    u.setPaced(false);
    u.setNoise(300); // enough that a stray 0x01 would turn up
    Send(u, Probe + Probe, 0);
    const QByteArray got = TakeAll(u, 0);
    QCOMPARE(got.size(), 2 * (300 + 7));
    for (int i = 0; i < 2; ++i) {
        const QByteArray one = got.mid(i * 307, 307);
        QVERIFY(!one.left(300).contains('\x01'));
        QCOMPARE(one.mid(300), Probe);
    }
}

void TestSim::faultCut() {
    SimUnit u;
    u.setPaced(false);
    u.dropReplies(1);
    u.cutNextReply(3); // applies to the next reply sent, not to the dropped one
    Send(u, Probe + Probe + Probe, 0);
    QCOMPARE(TakeAll(u, 0), Probe.left(3) + Probe);
    QCOMPARE(u.answered(), 2);
}

void TestSim::purgeDropsQueuedReply() {
    SimUnit u;
    Send(u, Probe + Probe, 0); // on the line until 5.469 ms
    QCOMPARE(TakeAll(u, 3).size(), 4);
    u.Purge();
    QCOMPARE(u.Available(100), size_t(0));
    QVERIFY(!u.NextByteTime());
    // The purged tail does not hold up the next reply: it starts 4.823 ms.
    Send(u, Probe, 3);
    QCOMPARE(u.Available(6), size_t(4));
    QCOMPARE(TakeAll(u, 7), Probe);
}

void TestSim::driverOpenAndCallLog() {
    ManualClock clock;
    SimFtdiDriver d(clock, false);
    FT_HANDLE h = nullptr;
    d.setPresent(false);
    QCOMPARE(d.FT_Open(0, &h), FT_DEVICE_NOT_FOUND);
    d.setPresent(true);
    QCOMPARE(d.FT_Open(1, &h), FT_DEVICE_NOT_FOUND);
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    QVERIFY(h);
    FT_HANDLE other = nullptr;
    QCOMPARE(d.FT_Open(0, &other), FT_DEVICE_NOT_OPENED);

    d.clearCalls();
    unsigned long n = 0;
    QCOMPARE(d.FT_SetBaudRate(h, 38400), FT_OK);
    QCOMPARE(d.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE), FT_OK);
    QCOMPARE(d.FT_SetFlowControl(h, FT_FLOW_NONE, 0, 0), FT_OK);
    QCOMPARE(d.FT_Purge(h, FT_PURGE_RX | FT_PURGE_TX), FT_OK);
    QCOMPARE(d.FT_SetTimeouts(h, 1500, 5000), FT_OK);
    QCOMPARE(d.FT_SetDtr(h), FT_OK);
    QCOMPARE(d.FT_SetRts(h), FT_OK);
    QCOMPARE(d.FT_SetBreakOff(h), FT_OK);
    QCOMPARE(d.FT_Write(h, Probe.constData(), 7, &n), FT_OK);
    QCOMPARE(n, 7ul);
    for (int i = 0; i < 3; ++i) {
        d.FT_GetStatus(h, &n, nullptr, nullptr);
        d.WaitRx(h, 100);
    }
    char buf[8];
    d.FT_Read(h, buf, 1, &n);
    QCOMPARE(d.FT_Close(h), FT_OK);
    QCOMPARE(d.calls(), (QStringList{"FT_SetBaudRate 38400", "FT_SetDataCharacteristics 8 0 0",
                                     "FT_SetFlowControl 0 0 0", "FT_Purge 3", "FT_SetTimeouts 1500 5000",
                                     "FT_SetDtr", "FT_SetRts", "FT_SetBreakOff", "FT_Write 7", "FT_Close"}));
    QCOMPARE(d.getStatusCalls(), 3);
    QCOMPARE(d.waitRxCalls(), 3);
    QCOMPARE(d.readCalls(), 1);
    QCOMPARE(clock.t, 0u); // WaitRx without sleeping leaves time alone
}

void TestSim::driverPurgeAndRead() {
    ManualClock clock;
    clock.t = 500;
    SimFtdiDriver d(clock, false);
    FT_HANDLE h = nullptr;
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    d.FT_SetBaudRate(h, 38400);
    unsigned long n = 0, rx = 0;
    d.FT_Write(h, Probe.constData(), 7, &n);
    QCOMPARE(d.FT_GetStatus(h, &rx, nullptr, nullptr), FT_OK);
    QCOMPARE(rx, 0ul); // still on the wire
    clock.t += 10;
    d.FT_GetStatus(h, &rx, nullptr, nullptr);
    QCOMPARE(rx, 7ul);
    d.FT_Purge(h, FT_PURGE_TX);
    d.FT_GetStatus(h, &rx, nullptr, nullptr);
    QCOMPARE(rx, 7ul);
    d.FT_Purge(h, FT_PURGE_RX);
    d.FT_GetStatus(h, &rx, nullptr, nullptr);
    QCOMPARE(rx, 0ul);

    d.FT_Write(h, Probe.constData(), 7, &n);
    clock.t += 10;
    char buf[16] = {};
    QCOMPARE(d.FT_Read(h, buf, 16, &n), FT_OK); // asks for more than came: no block
    QCOMPARE(QByteArray(buf, int(n)), Probe);
    QCOMPARE(d.shortReads(), 1);
}

void TestSim::driverLineSettingsAndFailures() {
    ManualClock clock;
    SimFtdiDriver d(clock, false);
    d.unit().setPaced(false);
    FT_HANDLE h = nullptr;
    unsigned long n = 0, rx = 0;

    // Left at the power-on 9600 baud the unit hears nothing.
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    d.FT_Write(h, Probe.constData(), 7, &n);
    QVERIFY(d.unit().rawFrames().isEmpty());
    d.FT_SetBaudRate(h, 38400);
    d.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, 2);
    d.FT_Write(h, Probe.constData(), 7, &n);
    QVERIFY(d.unit().rawFrames().isEmpty());
    d.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE);
    d.FT_Write(h, Probe.constData(), 7, &n);
    QCOMPARE(d.unit().rawFrames().size(), 1);

    // Pulled while open.
    d.setPresent(false);
    QCOMPARE(d.FT_Write(h, Probe.constData(), 7, &n), FT_IO_ERROR);
    QCOMPARE(n, 0ul);
    QCOMPARE(d.FT_GetStatus(h, &rx, nullptr, nullptr), FT_IO_ERROR);
    d.setPresent(true);

    // A failing close still lets go of the handle.
    d.setCloseFails(true);
    QCOMPARE(d.FT_Close(h), FT_IO_ERROR);
    QVERIFY(!d.isOpen());
    QCOMPARE(d.FT_Write(h, Probe.constData(), 7, &n), FT_INVALID_HANDLE);
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    QCOMPARE(d.baudRate(), 9600ul); // a fresh open starts over
}

void TestSim::driverWaitRx() {
    SystemMsClock clock;
    SimFtdiDriver d(clock);
    FT_HANDLE h = nullptr;
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    d.FT_SetBaudRate(h, 38400);
    d.unit().setReplyDelay(30);

    QElapsedTimer timer;
    timer.start();
    d.WaitRx(h, 40); // nothing asked: the whole wait
    QVERIFY(timer.elapsed() >= 40);

    unsigned long n = 0, rx = 0;
    d.FT_Write(h, Probe.constData(), 7, &n);
    timer.restart();
    d.WaitRx(h, 2000);
    const qint64 spent = timer.elapsed();
    QVERIFY2(spent >= 29 && spent < 500, qPrintable(QString::number(spent)));
    d.FT_GetStatus(h, &rx, nullptr, nullptr);
    QVERIFY(rx > 0);
}

void TestSim::ptyEndToEnd() {
    SimPty pty;
    QString error;
    QVERIFY2(pty.start(&error), qPrintable(error));
    QVERIFY(pty.path().startsWith("/dev/"));

    int fd = OpenRaw(pty.path());
    QVERIFY(fd >= 0);
    QCOMPARE(write(fd, Probe.constData(), 7), ssize_t(7));
    QCOMPARE(ReadFor(fd, 7, 1000), Probe);
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.rawFrames(); }), QList<QByteArray>{Probe});

    // Closing the port must not end the service; faults set from here apply.
    close(fd);
    fd = OpenRaw(pty.path());
    QVERIFY(fd >= 0);
    pty.withUnit([](SimUnit& u) { u.dropReplies(1); });
    const QByteArray notice2 = Frame(QByteArray::fromHex("4e4f02"));
    QCOMPARE(write(fd, Probe.constData(), 7), ssize_t(7));
    QVERIFY(ReadFor(fd, 1, 150).isEmpty());
    QCOMPARE(write(fd, notice2.constData(), notice2.size()), ssize_t(notice2.size()));
    QCOMPARE(ReadFor(fd, 7, 1000), notice2);
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.answered(); }), 2);
    close(fd);

    QElapsedTimer timer;
    timer.start();
    pty.stop();
    QVERIFY(timer.elapsed() < 200);
    QVERIFY(!pty.running());
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
