#include "sim/FrameParser.h"
#include "sim/SimFtdiDriver.h"
#include "sim/SimPty.h"
#include "sim/SimUnit.h"
#include "sim/UnitState.h"

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

QByteArray Raw(std::initializer_list<int> bytes) {
    QByteArray b;
    for (int v : bytes)
        b.append(char(v));
    return b;
}

// A request or reply body: the two letters, then the bytes.
QByteArray B(const char* letters, std::initializer_list<int> bytes) {
    return QByteArray(letters) + Raw(bytes);
}

// (position, value) pairs.
using Bytes = QList<QPair<int, int>>;

// The fixed bytes of all 17 records end to end; record m's byte n is at Mem(m, n).
constexpr int Mem(int m, int n) {
    return m * int(sizeof(BankFixed)) + n;
}
QByteArray Records(const UnitState& s) {
    QByteArray out;
    for (const BankRec& r : s.rec)
        out.append(reinterpret_cast<const char*>(r.fixedBytes()), sizeof(BankFixed));
    return out;
}
// The 17 level rows end to end; row m's entry i (inputs 0..9, blocks 10..16) at m * 17 + i.
QByteArray Levels(const UnitState& s) {
    return QByteArray(reinterpret_cast<const char*>(s.level.data()), qsizetype(sizeof s.level));
}

QByteArray With(QByteArray b, const Bytes& changes) {
    for (const auto& [at, v] : changes)
        b[at] = char(v);
    return b;
}

// Empty when equal, else the first differing positions.
QString Diff(const QByteArray& got, const QByteArray& want) {
    QStringList out;
    for (qsizetype i = 0; i < qMin(got.size(), want.size()) && out.size() < 8; ++i)
        if (got[i] != want[i])
            out << QString("[%1] %2 not %3").arg(i).arg(uint8_t(got[i])).arg(uint8_t(want[i]));
    if (got.size() != want.size())
        out << QString("size %1 not %2").arg(got.size()).arg(want.size());
    return out.join(", ");
}

// One whole body of each kind the unit answers.
const QList<QByteArray>& EveryKind() {
    static const QList<QByteArray> bodies = [] {
        QList<QByteArray> b{
            B("IS", {0, 1, 0, 0, 11, 1, 1, 40, 12, 50, 41, 13, 51, 42, 14, 52, 11, 1, 1, 60, 70}),
            B("OS", {0, 1, 0, 1, 1, 44, 1}) + QByteArray(24, 7) + Raw({1, 1, 40, 50, 20}),
            B("MS", {0, 1, 1, 1, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, 1, 0, 1}),
            B("PS", {0, 5, 1, 1, 0, 1, 0, 0, 0, 0, 1, 3, 9, 16, 4, 0, 0, 0, 12}),
            B("RS", {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
            B("PH", {1, 9, 1}),
            B("CO", {2, 2, 1}),
            B("CI", {2, 2, 1}),
            B("NO", {0}),
            B("IL", {0, 1, 0}),
            B("OL", {0, 1, 0}),
            B("ML", {0, 1, 0}),
            B("PL", {0, 5}),
            B("RL", {0, 0, 0}),
            B("DL", {0, 1}),
            B("NS", {0, 1, 1}) + QByteArray("VenueVenueVenueVenue") + QByteArray(2, '\0'),
            B("NL", {0, 1, 1}),
            B("BA", {0, 2}),
            B("SA", {0, 0, 2}),
        };
        return b;
    }();
    return bodies;
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

    void setThenLoad_data();
    void setThenLoad();
    void eqCopy();
    void statusReplies();
    void knobTakesLinkedFader();
    void liveStatus();
    void memoryStoreRecall();
    void names_data();
    void names();
    void password();
    void howling_data();
    void howling();
    void malformedBodies();
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

// Each set message against the unit's bytes, then the load reply at the
// reader's indexes. Positions of record bytes: Mem(record, byte); of levels:
// record * 17 + entry. Everything not listed must stay as it was.
void TestSim::setThenLoad_data() {
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<Bytes>("changes");
    QTest::addColumn<Bytes>("levels");
    QTest::addColumn<QByteArray>("load");
    QTest::addColumn<int>("replySize");
    QTest::addColumn<Bytes>("reply");

    // Input 3 (bytes 40..59); bands arrive as frequency, Q, gain in the order low, high, mid.
    QTest::newRow("input whole channel")
        << B("IS", {1, 3, 0, 0, 11, 1, 1, 40, 12, 50, 41, 13, 51, 42, 14, 52, 0x0B, 1, 1, 60, 70})
        << Bytes{{41, 11}, {53, 1},  {42, 1},  {50, 40}, {51, 12},   {49, 50}, {44, 41}, {45, 13},
                 {43, 51}, {47, 42}, {48, 14}, {46, 52}, {52, 0x0B}, {55, 1},  {54, 1},  {59, 60}}
        << Bytes{{2, 70}} << B("IL", {1, 3, 0}) << 23
        << Bytes{{5, 0},   {6, 11},  {7, 1},   {8, 1},   {9, 40},  {10, 12}, {11, 50}, {12, 41}, {13, 13},
                 {14, 51}, {15, 42}, {16, 14}, {17, 52}, {18, 11}, {19, 1},  {20, 1},  {21, 60}, {22, 70}};
    QTest::newRow("input trim") << B("IS", {0, 10, 2, 5}) << Bytes{{181, 5}} << Bytes{} << B("IL", {0, 10, 0})
                                << 23 << Bytes{{6, 5}};
    QTest::newRow("input suppressor")
        << B("IS", {0, 1, 3, 1}) << Bytes{{13, 1}} << Bytes{} << B("IL", {0, 1, 0}) << 23 << Bytes{{7, 1}};
    QTest::newRow("input EQ on") << B("IS", {1, 7, 4, 1}) << Bytes{{122, 1}} << Bytes{} << B("IL", {1, 7, 0})
                                 << 23 << Bytes{{8, 1}};
    QTest::newRow("input low band is sub 5")
        << B("IS", {1, 1, 5, 9, 20, 55}) << Bytes{{10, 9}, {11, 20}, {9, 55}} << Bytes{} << B("IL", {1, 1, 0})
        << 23 << Bytes{{9, 9}, {10, 20}, {11, 55}};
    QTest::newRow("input high band is sub 6")
        << B("IS", {1, 2, 6, 53, 23, 0}) << Bytes{{24, 53}, {25, 23}, {23, 0}} << Bytes{}
        << B("IL", {1, 2, 0}) << 23 << Bytes{{12, 53}, {13, 23}, {14, 0}};
    QTest::newRow("input mid band is sub 7")
        << B("IS", {1, 4, 7, 1, 0, 60}) << Bytes{{67, 1}, {68, 0}, {66, 60}} << Bytes{} << B("IL", {1, 4, 0})
        << 23 << Bytes{{15, 1}, {16, 0}, {17, 60}};
    QTest::newRow("input level") << B("IS", {0, 6, 9, 1, 1, 40, 50}) << Bytes{{115, 1}, {114, 1}, {119, 40}}
                                 << Bytes{{5, 50}} << B("IL", {0, 6, 0}) << 23
                                 << Bytes{{19, 1}, {20, 1}, {21, 40}, {22, 50}};
    QTest::newRow("input sub 1 does not exist")
        << B("IS", {0, 1, 1, 5}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};
    QTest::newRow("input sub 8 does not exist")
        << B("IS", {0, 1, 8, 1, 2, 3, 4}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};
    QTest::newRow("input 11") << B("IS", {0, 11, 2, 5}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};
    QTest::newRow("input 0") << B("IS", {0, 0, 2, 5}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};
    QTest::newRow("input level one byte short")
        << B("IS", {0, 1, 9, 1, 1, 40}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};

    // Block 2 (bytes 236..271): delay high byte first, bands as type, frequency, Q, gain;
    // an HPF/LPF gain of 29 is kept as it came.
    QTest::newRow("output whole block")
        << B("OS", {1,  2, 0,  1, 1,  44, 1,  1, 3,  4, 29, 4, 9,  5, 31, 2,  23, 6,
                    29, 3, 35, 7, 32, 4,  49, 8, 33, 3, 53, 9, 34, 1, 1,  40, 50, 20})
        << Bytes{{238, 1}, {237, 1},  {236, 44}, {239, 1},  {258, 1}, {246, 3},  {252, 4},  {240, 29},
                 {259, 4}, {247, 9},  {253, 5},  {241, 31}, {260, 2}, {248, 23}, {254, 6},  {242, 29},
                 {261, 3}, {249, 35}, {255, 7},  {243, 32}, {262, 4}, {250, 49}, {256, 8},  {244, 33},
                 {263, 3}, {251, 53}, {257, 9},  {245, 34}, {267, 1}, {266, 1},  {269, 40}, {264, 20}}
        << Bytes{{11, 50}} << B("OL", {1, 2, 0}) << 38
        << Bytes{{5, 1},   {6, 1},   {7, 44},  {8, 1},   {9, 1},   {10, 3},  {11, 4},  {12, 29}, {13, 4},
                 {14, 9},  {15, 5},  {16, 31}, {17, 2},  {18, 23}, {19, 6},  {20, 29}, {21, 3},  {22, 35},
                 {23, 7},  {24, 32}, {25, 4},  {26, 49}, {27, 8},  {28, 33}, {29, 3},  {30, 53}, {31, 9},
                 {32, 34}, {33, 1},  {34, 1},  {35, 40}, {36, 50}, {37, 20}};
    QTest::newRow("output delay 300")
        << B("OS", {0, 1, 1, 1, 1, 44}) << Bytes{{202, 1}, {201, 1}, {200, 44}} << Bytes{}
        << B("OL", {0, 1, 0}) << 38 << Bytes{{5, 1}, {6, 1}, {7, 44}};
    QTest::newRow("output EQ on") << B("OS", {1, 6, 2, 1}) << Bytes{{383, 1}} << Bytes{} << B("OL", {1, 6, 0})
                                  << 38 << Bytes{{8, 1}};
    QTest::newRow("output band 0 is sub 3")
        << B("OS", {1, 3, 3, 1, 5, 7, 29}) << Bytes{{294, 1}, {282, 5}, {288, 7}, {276, 29}} << Bytes{}
        << B("OL", {1, 3, 0}) << 38 << Bytes{{9, 1}, {10, 5}, {11, 7}, {12, 29}};
    QTest::newRow("output band 5 is sub 8")
        << B("OS", {1, 4, 8, 4, 52, 23, 60}) << Bytes{{335, 4}, {323, 52}, {329, 23}, {317, 60}} << Bytes{}
        << B("OL", {1, 4, 0}) << 38 << Bytes{{29, 4}, {30, 52}, {31, 23}, {32, 60}};
    QTest::newRow("output level") << B("OS", {0, 5, 9, 1, 1, 6, 7}) << Bytes{{375, 1}, {374, 1}, {377, 6}}
                                  << Bytes{{14, 7}} << B("OL", {0, 5, 0}) << 38
                                  << Bytes{{33, 1}, {34, 1}, {35, 6}, {36, 7}};
    QTest::newRow("output balance, block 7")
        << B("OS", {0, 7, 31, 0}) << Bytes{{444, 0}} << Bytes{} << B("OL", {0, 7, 0}) << 38 << Bytes{{37, 0}};
    QTest::newRow("output sub 10 does not exist")
        << B("OS", {0, 1, 10, 1}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};
    QTest::newRow("output block 8") << B("OS", {0, 8, 31, 0}) << Bytes{} << Bytes{} << QByteArray() << 0
                                    << Bytes{};

    // Row 2 (bytes 472..491); the routing masks of inputs 0, 2, 6, 9 gain bit 1.
    QTest::newRow("matrix switches") << B("MS", {1, 2, 1, 1, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, 1, 7, 1})
                                     << Bytes{{472, 1}, {474, 1}, {478, 1}, {481, 1}, {482, 1}, {483, 1},
                                              {484, 1}, {12, 2},  {52, 2},  {132, 2}, {192, 2}}
                                     << Bytes{} << B("ML", {1, 2, 0}) << 26
                                     << Bytes{{5, 1},  {6, 0},  {7, 1},   {8, 0},   {9, 0},    {10, 0},
                                              {11, 1}, {12, 0}, {13, 0},  {14, 1},  {15, 1},   {16, 1},
                                              {17, 0}, {18, 1}, {19, 24}, {24, 24}, {25, 0x22}};
    QTest::newRow("matrix levels") << B("MS", {1, 4, 2, 30, 40, 50, 60, 70, 125})
                                   << Bytes{{525, 30}, {526, 40}, {527, 50}, {528, 60}, {529, 70}, {530, 125}}
                                   << Bytes{} << B("ML", {1, 4, 0}) << 26
                                   << Bytes{{19, 30}, {20, 40}, {21, 50}, {22, 60}, {23, 70}, {24, 125}};
    QTest::newRow("matrix link bits reach every row")
        << B("MS", {1, 1, 3, 0x33}) << Bytes{{471, 0x33}, {491, 0x33}, {511, 0x33}, {531, 0x33}} << Bytes{}
        << B("ML", {1, 3, 0}) << 26 << Bytes{{25, 0x33}};
    QTest::newRow("matrix row 5") << B("MS", {1, 5, 2, 30, 40, 50, 60, 70, 125}) << Bytes{} << Bytes{}
                                  << QByteArray() << 0 << Bytes{};

    QTest::newRow("system mono both") << B("PS", {1, 1, 0x11}) << Bytes{{229, 1}, {265, 1}} << Bytes{}
                                      << B("PL", {1, 1}) << 4 << Bytes{{3, 0x11}};
    QTest::newRow("system mono OUT 2")
        << B("PS", {0, 1, 0x10}) << Bytes{{265, 1}} << Bytes{} << B("PL", {0, 1}) << 4 << Bytes{{3, 0x10}};
    QTest::newRow("system SA group") << B("PS", {1, 2, 63, 93, 12}) << Bytes{{532, 63}, {533, 93}, {534, 12}}
                                     << Bytes{} << B("PL", {1, 2}) << 6 << Bytes{{3, 63}, {4, 93}, {5, 12}};
    QTest::newRow("system SM group") << B("PS", {1, 3, 21, 7}) << Bytes{{535, 21}, {536, 7}} << Bytes{}
                                     << B("PL", {1, 3}) << 5 << Bytes{{3, 21}, {4, 7}};
    QTest::newRow("system companion outputs") << B("PS", {1, 4, 12, 3}) << Bytes{{537, 12}, {538, 3}}
                                              << Bytes{} << B("PL", {1, 4}) << 5 << Bytes{{3, 12}, {4, 3}};
    // A memory number counts only where its flag is set.
    QTest::newRow("system external inputs")
        << B("PS", {1, 5, 1, 1, 0, 1, 0, 0, 0, 0, 1, 3, 9, 16, 4, 0, 0, 0, 12})
        << Bytes{{543, 1}, {544, 3}, {546, 16}, {551, 12}} << Bytes{} << B("PL", {1, 5}) << 20
        << Bytes{{3, 1},  {4, 1},  {5, 0},   {6, 1},  {7, 0},  {11, 1},
                 {12, 3}, {13, 0}, {14, 16}, {15, 0}, {18, 0}, {19, 12}};
    QTest::newRow("system quick-recall memories")
        << B("PS", {1, 7, 2, 5, 16, 9}) << Bytes{{539, 2}, {540, 5}, {541, 16}, {542, 9}} << Bytes{}
        << B("PL", {1, 7}) << 7 << Bytes{{3, 2}, {4, 5}, {5, 16}, {6, 9}};
    QTest::newRow("system sub 6 is not sent")
        << B("PS", {0, 6, 1}) << Bytes{} << Bytes{} << QByteArray() << 0 << Bytes{};

    QTest::newRow("external outputs, current") << B("RS", {0, 0, 1, 0x0F}) << Bytes{{552, 0x0F}} << Bytes{}
                                               << B("RL", {0, 0, 1}) << 4 << Bytes{{3, 0x0F}};
    Bytes memories, replied;
    for (int m = 1; m <= 16; ++m) {
        memories << qMakePair(Mem(m, 552), m);
        replied << qMakePair(2 + m, m);
    }
    QTest::newRow("external outputs, every memory")
        << B("RS", {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}) << memories << Bytes{}
        << B("RL", {0, 0, 0}) << 19 << replied;
}

void TestSim::setThenLoad() {
    QFETCH(QByteArray, set);
    QFETCH(Bytes, changes);
    QFETCH(Bytes, levels);
    QFETCH(QByteArray, load);
    QFETCH(int, replySize);
    QFETCH(Bytes, reply);

    UnitModel m;
    const QByteArray records = Records(m.state());
    const QByteArray levelRows = Levels(m.state());
    QCOMPARE(m.Handle(set), set.left(5));
    const QString recordDiff = Diff(Records(m.state()), With(records, changes));
    QVERIFY2(recordDiff.isEmpty(), qPrintable(recordDiff));
    const QString levelDiff = Diff(Levels(m.state()), With(levelRows, levels));
    QVERIFY2(levelDiff.isEmpty(), qPrintable(levelDiff));

    if (load.isEmpty())
        return;
    const auto got = m.Handle(load);
    QVERIFY(got);
    QCOMPARE(got->size(), replySize);
    QCOMPARE(got->left(2), load.left(2));
    for (const auto& [at, v] : reply)
        QVERIFY2(uint8_t(got->at(at)) == v,
                 qPrintable(QString("[%1] = %2").arg(at).arg(uint8_t(got->at(at)))));
}

void TestSim::eqCopy() {
    UnitModel m;
    uint8_t* r = m.state().rec[0].fixedBytes();
    for (int i = 2; i < 12; ++i) // input 1: EQ switch and bands
        r[i] = uint8_t(i);
    for (int i = 3; i < 29; ++i) // block 2: EQ switch, bands, balance
        r[236 + i] = uint8_t(i);

    // Only the bands travel: the EQ switch has its own message.
    QByteArray want = Records(m.state());
    for (int i = 3; i < 12; ++i)
        want[Mem(0, 40 + i)] = char(i);
    QCOMPARE(m.Handle(B("CI", {2, 3, 1})), B("CI", {2, 3, 1}));
    QString diff = Diff(Records(m.state()), want);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    for (int i = 4; i < 28; ++i)
        want[Mem(0, 344 + i)] = char(i);
    m.Handle(B("CO", {2, 5, 2}));
    diff = Diff(Records(m.state()), want);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    for (const QByteArray& bad :
         {B("CI", {2, 11, 1}), B("CI", {2, 1, 0}), B("CO", {2, 8, 2}), B("CO", {2, 1})})
        m.Handle(bad);
    QCOMPARE(Records(m.state()), want);
}

void TestSim::statusReplies() {
    UnitModel m;
    UnitState& s = m.state();
    s.signalBits = 0x245; // inputs 0, 2, 6, 9
    s.peakBits = 0x182;   // inputs 1, 7, 8
    s.phantomBits = 0x21;
    s.micLineBits = 0x1C;
    s.memNo = 12;
    for (int c = 0; c < 10; ++c)
        s.setInKnob(c, uint8_t(6 + 10 * c));
    s.meterBits = {0x00, 0x01, 0x3F, 0x80};
    s.outLampBits = 0x0D;
    const uint8_t outKnobs[4] = {2, 130, 125, 6}; // the unit may report out of range
    for (int ch = 0; ch < 4; ++ch)
        s.setOutKnob(ch, outKnobs[ch]);

    QCOMPARE(m.Handle(B("DL", {0, 1})), B("DL", {0, 0x05, 0x02, 0x69, 0x21, 0x1C, 12}));
    QCOMPARE(m.Handle(B("DL", {0, 2})), B("DL", {0, 6, 16, 26, 36, 46, 56, 66, 76, 86, 96}));
    QCOMPARE(m.Handle(B("DL", {0, 3})), B("DL", {0, 0x00, 0x01, 0x3F, 0x80, 0x0D}));
    QCOMPARE(m.Handle(B("DL", {0, 4})), B("DL", {0, 2, 130, 125, 6}));
    QCOMPARE(m.Handle(B("DL", {0, 5})), B("DL", {0, 5}));

    // Factory state: nothing lit, all MIC, knobs down, memory 1.
    UnitModel fresh;
    QCOMPARE(fresh.Handle(B("DL", {0, 1})), B("DL", {0, 0, 0, 0, 0, 0x3F, 1}));
    QCOMPARE(fresh.Handle(B("DL", {0, 4})), B("DL", {0, 125, 125, 125, 125}));
}

void TestSim::knobTakesLinkedFader() {
    UnitModel m;
    UnitState& s = m.state();
    m.Handle(B("IS", {0, 4, 9, 0, 1, 40, 125})); // input 3 linked
    m.Handle(B("OS", {0, 3, 9, 0, 1, 40, 125})); // block 2 = OUT 2, linked
    m.Handle(B("OS", {0, 2, 9, 0, 1, 40, 125})); // block 1 linked, but no knob drives it

    s.setInKnob(3, 70);
    s.setInKnob(4, 71);
    s.setOutKnob(1, 80);
    s.setOutKnob(0, 81);
    QCOMPARE(s.rec[0].In[3].Fader, 70);
    QCOMPARE(s.rec[0].In[4].Fader, 125);
    QCOMPARE(s.rec[0].Out[2].Fader, 80);
    QCOMPARE(s.rec[0].Out[0].Fader, 125);
    QCOMPARE(s.rec[0].Out[1].Fader, 40);
    QCOMPARE(uint8_t(m.Handle(B("IL", {0, 4, 0}))->at(21)), 70);
    QCOMPARE(uint8_t(m.Handle(B("OL", {0, 3, 0}))->at(35)), 80);
}

void TestSim::liveStatus() {
    UnitModel a, b;
    a.state().setLive(true);
    b.state().setLive(true);
    QSet<QByteArray> seen;
    for (int i = 0; i < 200; ++i) {
        const int sub = 1 + i % 4;
        const QByteArray ra = *a.Handle(B("DL", {0, sub}));
        QCOMPARE(ra, *b.Handle(B("DL", {0, sub})));
        seen.insert(ra);
        if (sub == 3)
            for (int k = 3; k < 7; ++k) {
                const uint8_t bar = uint8_t(ra[k]);
                QVERIFY2(bar <= 0x3F && (bar & (bar + 1)) == 0, qPrintable(QString::number(bar)));
            }
        if (sub == 2 || sub == 4)
            for (int k = 3; k < ra.size(); ++k)
                QVERIFY(uint8_t(ra[k]) >= 6 && uint8_t(ra[k]) <= 125);
    }
    QVERIFY(seen.size() > 100);
    QCOMPARE(*a.Handle(B("DL", {0, 1})), *b.Handle(B("DL", {0, 1})));

    a.state().setLive(false);
    QCOMPARE(*a.Handle(B("DL", {0, 3})), B("DL", {0, 0, 0, 0, 0, 0}));
    const QByteArray knobs = *a.Handle(B("DL", {0, 2}));
    QCOMPARE(*a.Handle(B("DL", {0, 2})), knobs);
}

void TestSim::memoryStoreRecall() {
    UnitModel m;
    UnitState& s = m.state();
    const QByteArray factory = Records(s);
    m.Handle(B("NS", {0, 2, 5}) + QByteArray("Fifth") + QByteArray(17, '\0'));
    m.Handle(B("IS", {0, 1, 2, 7}));
    m.Handle(B("OS", {0, 6, 9, 1, 0, 50, 60}));

    QCOMPARE(m.Handle(B("SA", {1, 0, 5})), B("SA", {1, 0, 5}));
    QCOMPARE(s.memNo, 5);
    const QByteArray current = Records(s).left(sizeof(BankFixed));
    QByteArray want = factory;
    want.replace(Mem(0, 0), sizeof(BankFixed), current);
    want.replace(Mem(5, 0), sizeof(BankFixed), current);
    QCOMPARE(Records(s), want); // memory 5 only
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&s.level[5]), 17),
             QByteArray(reinterpret_cast<const char*>(&s.level[0]), 17));
    QCOMPARE(s.level[5].Out[5], 60);

    m.Handle(B("IS", {0, 1, 2, 9}));
    m.Handle(B("OS", {0, 6, 9, 0, 0, 125, 125}));
    QCOMPARE(m.Handle(B("BA", {0, 3})), B("BA", {0, 3}));
    QCOMPARE(s.memNo, 3);
    QCOMPARE(Records(s).left(sizeof(BankFixed)), factory.mid(Mem(3, 0), sizeof(BankFixed)));
    QCOMPARE(s.level[0].Out[5], 125);
    QCOMPARE(uint8_t(m.Handle(B("DL", {0, 1}))->at(8)), 3);

    m.Handle(B("BA", {1, 5}));
    QCOMPARE(s.rec[0].In[0].Trim, 7);
    QCOMPARE(s.rec[0].Out[5].Fader, 50);
    QCOMPARE(s.level[0].Out[5], 60);
    QCOMPARE(uint8_t(m.Handle(B("IL", {0, 1, 0}))->at(6)), 7);
    QCOMPARE(uint8_t(m.Handle(B("OL", {0, 6, 0}))->at(36)), 60);
    QCOMPARE(s.nameField(2, 5).left(5), QByteArray("Fifth")); // names are not part of a memory's settings

    const QByteArray before = Records(s);
    for (const QByteArray& bad : {B("SA", {0, 0, 0}), B("SA", {0, 0, 17}), B("BA", {0, 0}), B("BA", {0, 17}),
                                  B("SA", {0, 0}), B("BA", {0})})
        m.Handle(bad);
    QCOMPARE(Records(s), before);
    QCOMPARE(s.memNo, 5);
}

void TestSim::names_data() {
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("field"); // as kept afterwards; empty: nothing kept
    QTest::addColumn<QByteArray>("reply");

    const QByteArray venue("ABCDEFGHIJKLMNOPQRST");
    QTest::newRow("venue") << B("NS", {0, 1, 1}) + venue + Raw({0, 0}) << 1 << 1 << venue
                           << B("NL", {0, 1}) + venue + Raw({0, 0});
    const QByteArray wedding = QByteArray("Wedding") + QByteArray(13, '\0');
    QTest::newRow("memory 16") << B("NS", {0, 2, 16}) + wedding + Raw({0, 0}) << 2 << 16 << wedding
                               << B("NL", {0, 2}) + wedding + Raw({0, 0});
    const QByteArray door = QByteArray("Door lamp") + QByteArray(3, '\0');
    QTest::newRow("external output 8")
        << B("NS", {0, 4, 8}) + door << 4 << 8 << door << B("NL", {0, 4}) + door;
    // Kept byte for byte, a Shift-JIS lead byte at the end included.
    const QByteArray rec = QByteArray("Recorder 12") + '\x82';
    QTest::newRow("REC OUT") << B("NS", {0, 5, 17}) + rec << 5 << 17 << rec << B("NL", {0, 5}) + rec;
    const QByteArray spk = QByteArray("Ceiling 8in") + QByteArray(9, '\0');
    QTest::newRow("speaker 4") << B("NS", {0, 6, 4}) + spk << 6 << 4 << spk << B("NL", {0, 6}) + spk;
    QTest::newRow("venue, field cut short") << B("NS", {0, 1, 1}) + QByteArray("Short") << 1 << 1
                                            << QByteArray(20, '\0') << B("NL", {0, 1}) + QByteArray(22, '\0');
    QTest::newRow("venue without its two zeros")
        << B("NS", {0, 1, 1}) + venue << 1 << 1 << QByteArray(20, '\0')
        << B("NL", {0, 1}) + QByteArray(22, '\0');
    QTest::newRow("category 3") << B("NS", {0, 3, 1}) + door << 3 << 1 << QByteArray() << B("NL", {0, 3, 1});
    QTest::newRow("memory 17") << B("NS", {0, 2, 17}) + wedding + Raw({0, 0}) << 2 << 17 << QByteArray()
                               << B("NL", {0, 2, 17});
    QTest::newRow("channel 18") << B("NS", {0, 5, 18}) + door << 5 << 18 << QByteArray()
                                << B("NL", {0, 5, 18});
    QTest::newRow("speaker 5") << B("NS", {0, 6, 5}) + spk << 6 << 5 << QByteArray() << B("NL", {0, 6, 5});
}

// The reply is checked after [3]: [4] onwards is the field the reader takes.
void TestSim::names() {
    QFETCH(QByteArray, set);
    QFETCH(int, category);
    QFETCH(int, index);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, reply);

    UnitModel m;
    QCOMPARE(m.Handle(set), set.left(5));
    QCOMPARE(m.state().nameField(category, index), field);
    const auto got = m.Handle(B("NL", {0, category, index}));
    QVERIFY(got);
    QCOMPARE(got->left(4), reply.left(4));
    QCOMPARE(got->mid(4), reply.mid(4));

    // No other slot changed.
    for (int cat = 1; cat <= 6; ++cat)
        for (int idx = 0; idx <= 18; ++idx)
            if (cat != category || idx != index)
                QCOMPARE(m.state().nameField(cat, idx), QByteArray(UnitState::NameWidth(cat, idx), '\0'));
}

void TestSim::password() {
    UnitModel m;
    QCOMPARE(UnitState::NameWidth(5, 15), 9);
    m.Handle(B("NS", {0, 5, 15}) + QByteArray("ABCDEFGHI"));
    QCOMPARE(m.state().password(), QByteArray("ABCDEFGHI"));
    QCOMPARE(m.Handle(B("NL", {0, 5, 15})), B("NL", {0, 5}) + QByteArray("ABCDEFGHI"));
    QCOMPARE(m.state().nameField(5, 14), QByteArray(12, '\0'));
    QCOMPARE(m.state().nameField(5, 16), QByteArray(12, '\0'));

    m.state().setPassword("pw");
    QCOMPARE(m.state().password(), QByteArray("pw"));
    QCOMPARE(m.Handle(B("NL", {0, 5, 15})), B("NL", {0, 5}) + QByteArray("pw") + QByteArray(7, '\0'));
}

void TestSim::howling_data() {
    QTest::addColumn<int>("queries");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<QList<int>>("statuses"); // five queries after the start

    QTest::newRow("done after three") << 3 << false << QList<int>{1, 1, 1, 2, 2};
    QTest::newRow("fault after three") << 3 << true << QList<int>{1, 1, 1, 3, 3};
    QTest::newRow("done at once") << 0 << false << QList<int>{2, 2, 2, 2, 2};
}

void TestSim::howling() {
    QFETCH(int, queries);
    QFETCH(bool, fault);
    QFETCH(QList<int>, statuses);

    UnitModel m;
    UnitState& s = m.state();
    s.setHowlingQueries(queries);
    s.setHowlingFault(fault);
    const auto status = [&m] { return *m.Handle(B("PH", {3, 9, 0})); };

    QCOMPARE(status(), B("PH", {3, 0, 0})); // idle
    QCOMPARE(m.Handle(B("PH", {1, 9, 7})), B("PH", {1, 9, 7}));
    QCOMPARE(m.Handle(B("PH", {1, 9, 0})), B("PH", {1, 9, 0}));
    QCOMPARE(status(), B("PH", {3, 0, 0})); // no such channel: not started

    // A start on another channel begins again.
    m.Handle(B("PH", {1, 9, 4}));
    status();
    QCOMPARE(m.Handle(B("PH", {1, 9, 2})), B("PH", {1, 9, 2}));
    QStringList log{"status 0", "status 0", "start 4", statuses[0] == 2 ? "status 2" : "status 1", "start 2"};
    for (int want : statuses) {
        QCOMPARE(status(), B("PH", {3, want, 2}));
        log << QString("status %1").arg(want);
    }
    QCOMPARE(m.Handle(B("PH", {2, 9, 2})), B("PH", {2, 9, 2}));
    QCOMPARE(status(), B("PH", {3, 0, 0}));
    log << "end 2"
        << "status 0";
    QCOMPARE(s.howlingLog(), log);
}

// Every prefix of a whole body, and garbage: no crash, no reading past the
// body (the sanitizer build sees to that), and a cut body changes nothing.
void TestSim::malformedBodies() {
    for (const QByteArray& whole : EveryKind()) {
        UnitModel full;
        const auto reply = full.Handle(whole);
        QVERIFY2(reply && reply->left(2) == whole.left(2), whole.left(2).constData());

        for (qsizetype n = 0; n < whole.size(); ++n) {
            UnitModel m;
            const QByteArray records = Records(m.state());
            const QByteArray levels = Levels(m.state());
            const auto r = m.Handle(whole.left(n));
            QCOMPARE(r.has_value(), n >= 2);
            QCOMPARE(Records(m.state()), records);
            QCOMPARE(Levels(m.state()), levels);
            QCOMPARE(m.state().memNo, 1);
            QCOMPARE(m.state().nameField(1, 1), QByteArray(20, '\0'));
        }
    }

    UnitModel m;
    m.state().setLive(true);
    uint32_t x = 12345;
    const auto next = [&x] {
        x = x * 1103515245u + 12345u;
        return x >> 16;
    };
    for (int i = 0; i < 5000; ++i) {
        QByteArray body = EveryKind()[int(next() % uint32_t(EveryKind().size()))].left(2);
        const int n = int(next() % 40);
        for (int k = 0; k < n; ++k)
            body.append(char(next() % 5 == 0 ? next() : next() % 20));
        m.Handle(body);
    }
    QVERIFY(m.state().memNo >= 1 && m.state().memNo <= 16);
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
