#include "FakeClock.h"
#include "sim/FrameParser.h"
#include "sim/SimFtdiDriver.h"
#include "sim/SimPty.h"
#include "sim/SimUnit.h"
#include "sim/UnitState.h"

#include <QElapsedTimer>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const QByteArray Probe = QByteArray::fromHex("0100034e4f0002");

QByteArray Frame(const QByteArray& body) {
    return QByteArray(1, '\x01') + char(body.size() >> 8) + char(body.size() & 0xFF) + body + '\x02';
}

const uint8_t* U(const QByteArray& b) { return reinterpret_cast<const uint8_t*>(b.constData()); }
void Send(SimUnit& u, const QByteArray& bytes, uint32_t t) { u.Receive(U(bytes), size_t(bytes.size()), t); }
void SendUs(SimUnit& u, const QByteArray& bytes, int64_t t) { u.ReceiveUs(U(bytes), size_t(bytes.size()), t); }
QList<size_t> AvailableAt(const SimUnit& u, std::initializer_list<int64_t> us) {
    QList<size_t> n;
    for (int64_t t : us)
        n << u.AvailableUs(t);
    return n;
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
    char buf[256];
    for (pollfd p{fd, POLLIN, 0}; got.size() < n && poll(&p, 1, int(timeoutMs - timer.elapsed())) > 0;) {
        const ssize_t r = read(fd, buf, sizeof buf);
        if (r <= 0)
            break;
        got.append(buf, r);
    }
    return got;
}

// A body: the letters, then the bytes.
QByteArray B(const char* letters, std::initializer_list<int> bytes) {
    QByteArray b(letters);
    for (int v : bytes)
        b.append(char(v));
    return b;
}

// (position, value) pairs.
using Bytes = QList<QPair<int, int>>;

// All 17 records' fixed bytes end to end.
QByteArray Records(const UnitState& s) {
    QByteArray out;
    for (const BankRec& r : s.rec)
        out.append(reinterpret_cast<const char*>(r.fixedBytes()), sizeof(BankFixed));
    return out;
}
// The 17 level rows end to end.
QByteArray Levels(const UnitState& s) {
    return QByteArray(reinterpret_cast<const char*>(s.level.data()), qsizetype(sizeof s.level));
}

const QByteArray MatrixSwitches = B("MS", {1, 2, 1, 1, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1, 1, 7, 1});
const QByteArray ExternalInputs = B("PS", {1, 5, 1, 1, 0, 1, 0, 0, 0, 0, 1, 3, 9, 16, 4, 0, 0, 0, 12});

// One whole body of each kind the unit answers.
const QList<QByteArray> EveryKind{
    B("IS", {1, 3, 0, 0, 11, 1, 1, 40, 12, 50, 41, 13, 51, 42, 14, 52, 11, 1, 1, 60, 70}),
    B("OS", {0, 1, 0, 1, 1, 44, 1}) + QByteArray(24, 7) + B("", {1, 1, 40, 50, 20}), MatrixSwitches,
    ExternalInputs,
    B("RS", {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), B("PH", {1, 9, 1}),
    B("CO", {2, 2, 1}), B("CI", {2, 2, 1}), B("NO", {0}), B("IL", {0, 1, 0}), B("OL", {0, 1, 0}),
    B("ML", {0, 1, 0}), B("PL", {0, 5}), B("RL", {0, 0, 0}), B("DL", {0, 1}),
    B("NS", {0, 1, 1}) + QByteArray("VenueVenueVenueVenue") + QByteArray(2, '\0'), B("NL", {0, 1, 1}),
    B("BA", {0, 2}), B("SA", {0, 0, 2})};

} // namespace

class TestSim : public QObject {
    Q_OBJECT
private slots:
    void parserResyncs();
    void pacing();
    void faults();
    void driver();
    void ptyEndToEnd();
    void setThenLoad();
    void statusBits();
    void howling();
    void malformedBodies();
    void cutFramesReported();
};

// Garbage, LEN 0, LEN 1026, a bad LEN whose low byte is the real start, and
// a 0x01 between body and 0x02: every frame is still found, in one go or byte by byte.
void TestSim::parserResyncs() {
    const QByteArray trailer = QByteArray::fromHex("0100024142ff0102");
    const QByteArray longest = Frame(QByteArray(FrameParser::MaxBody, 'x'));
    const QByteArray stream = QByteArray::fromHex("ff02007f") + Probe + QByteArray::fromHex("010000") +
                              Probe + QByteArray::fromHex("010402") + trailer + QByteArray::fromHex("0105") +
                              Probe + longest;
    const QList<QByteArray> want{Probe, Probe, trailer, Probe, longest};

    FrameParser whole, single;
    QList<QByteArray> raws;
    for (const auto& f : whole.Feed(stream))
        raws << f.raw;
    QCOMPARE(raws, want);
    raws.clear();
    for (char c : stream)
        if (auto f = single.Push(uint8_t(c)))
            raws << f->raw;
    QCOMPARE(raws, want);
    QVERIFY(!single.InFrame());
    QCOMPARE(whole.Feed(trailer).value(0).body, QByteArray("AB"));
}

void TestSim::pacing() {
    // A 7-byte request is 1823 us on the wire; reply byte k follows at
    // 1823 + (k + 1) / 3840 s, rounded up: 2084, 2344, 2605 ... 3646 us.
    SimUnit u;
    const int64_t t0 = 5'000'250;
    SendUs(u, Probe, t0);
    QCOMPARE(u.NextByteTimeUs(), std::optional<int64_t>(t0 + 2084));
    // Asked later, then earlier again.
    QCOMPARE(AvailableAt(u, {t0 + 2083, t0 + 3646, t0 + 2345, t0 + 3645}), QList<size_t>({0, 7, 2, 6}));
    // The same line in milliseconds: 5002.334, 5002.594 and 5002.855 are there at 5003.
    QCOMPARE(u.NextByteTime(), std::optional<uint32_t>(5003));
    QCOMPARE(u.Available(5003), size_t(3));
    uint8_t buf[8];
    QCOMPARE(u.TakeUs(buf, 2, t0 + 3646), size_t(2));
    QCOMPARE(u.AvailableUs(t0 + 3646), size_t(5));
    QCOMPARE(u.NextByteTimeUs(), std::optional<int64_t>(t0 + 2605));

    // Begun at 100 ms but finished at 110: the reply starts then, not at 101.823.
    SimUnit v;
    SendUs(v, Probe.left(3), 100'000);
    SendUs(v, Probe.mid(3), 110'000);
    QCOMPARE(v.NextByteTimeUs(), std::optional<int64_t>(110'261));

    // The second reply waits for the first to end (3646 us): 3907 ... 5469 us.
    SimUnit w;
    SendUs(w, Probe + Probe, 0);
    QCOMPARE(AvailableAt(w, {3906, 3907, 5468, 5469}), QList<size_t>({7, 8, 13, 14}));

    // The 32-bit tick wraps under the unit: across the wrap, and a whole turn in steps of 18 days.
    SimUnit x;
    for (uint32_t t = 0xFFFFFFFEu, i = 0; i < 6; ++i, t += 0x60000000u) {
        Send(x, Probe, t);
        QCOMPARE(x.Available(t + 2), size_t(0));
        QCOMPARE(x.NextByteTime(), std::optional<uint32_t>(t + 3));
        QCOMPARE(TakeAll(x, t + 3), Probe.left(4));
        QCOMPARE(TakeAll(x, t + 4), Probe.mid(4));
    }
}

void TestSim::faults() {
    SimUnit u;
    u.setPaced(false);
    u.dropReplies(2); // logged, but the model never hears them
    Send(u, Probe + Probe + Probe, 0);
    QCOMPARE(TakeAll(u, 0), Probe);
    QCOMPARE(u.rawFrames().size(), 3);
    QCOMPARE(u.model().requests().size(), 1);

    u.dropReplies(1);
    u.cutNextReply(3); // the next reply sent, not the dropped one
    u.silentAfter(2);  // dropped ones count
    Send(u, Probe + Probe + Probe, 10);
    QCOMPARE(TakeAll(u, 10), Probe.left(3));
    u.dropReplies(5);
    u.clearFaults(); // ends the silence and the drop
    Send(u, Probe, 20);
    QCOMPARE(TakeAll(u, 20), Probe);

    // Noise never holds a 0x01, and each reply frame gets its own.
    u.setNoise(300);
    Send(u, Probe + Probe, 40);
    const QByteArray got = TakeAll(u, 40);
    QVERIFY(!got.left(300).contains('\x01') && !got.mid(307, 300).contains('\x01'));
    QCOMPARE(got.mid(300, 7) + got.mid(607), Probe + Probe);

    // Paced, a delay comes after the request's wire time: 1000 + 50 + 2.084 ms.
    u.clearFaults();
    u.setPaced(true);
    u.setReplyDelay(50);
    Send(u, Probe, 1000);
    QCOMPARE(u.Available(1052), size_t(0));
    QCOMPARE(u.Available(1053), size_t(4));

    // A purged reply's tail (to 1053.646 ms) does not hold up the next.
    u.setReplyDelay(0);
    u.Purge();
    Send(u, Probe, 1003);
    QCOMPARE(u.Available(1006), size_t(4));
}

void TestSim::driver() {
    FakeClock clock;
    SimFtdiDriver d(clock, false);
    FT_HANDLE h = nullptr, other = nullptr;
    unsigned long n = 0, rx = 0;
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    QCOMPARE(d.FT_Open(0, &other), FT_DEVICE_NOT_OPENED);
    // At the power-on 9600 baud, or with parity, the unit hears nothing.
    d.FT_Write(h, Probe.constData(), 7, &n);
    d.FT_SetBaudRate(h, 38400);
    d.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, 2);
    d.FT_Write(h, Probe.constData(), 7, &n);
    QVERIFY(d.unit().rawFrames().isEmpty());

    d.clearCalls();
    d.FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE);
    d.FT_Write(h, Probe.constData(), 7, &n);
    clock.t = 10;
    d.WaitRx(h, 100);
    d.FT_Purge(h, FT_PURGE_TX);
    d.FT_GetStatus(h, &rx, nullptr, nullptr);
    QCOMPARE(rx, 7ul);
    char buf[16] = {};
    QCOMPARE(d.FT_Read(h, buf, 16, &n), FT_OK); // asks for more than came: no block
    QCOMPARE(QByteArray(buf, int(n)), Probe);
    d.FT_Write(h, Probe.constData(), 7, &n);
    clock.t = 20;
    d.FT_Purge(h, FT_PURGE_RX);
    d.FT_GetStatus(h, &rx, nullptr, nullptr);
    QCOMPARE(rx, 0ul);
    // Polling calls are counted, not logged.
    QCOMPARE(d.calls(), (QStringList{"FT_SetDataCharacteristics 8 0 0", "FT_Write 7", "FT_Purge 2", "FT_Write 7",
                                     "FT_Purge 1"}));
    QCOMPARE(d.getStatusCalls() + d.waitRxCalls(), 3);
    QCOMPARE(d.FT_Close(h), FT_OK);
    QCOMPARE(d.FT_Open(0, &h), FT_OK);
    QCOMPARE(d.baudRate(), 9600ul); // a fresh open starts over
}

void TestSim::ptyEndToEnd() {
    SimPty pty;
    QVERIFY(pty.start());
    // The terminal is raw from the start, and never quicker than the line:
    // 14 bytes at 38400 baud take 3646 us. Closing the port does not end the service.
    for (int i = 0; i < 3; ++i) {
        const int fd = open(qPrintable(pty.path()), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(write(fd, Probe.constData(), 7), ssize_t(7));
        QCOMPARE(ReadFor(fd, 7, 1000), Probe);
        QVERIFY(timer.nsecsElapsed() >= 3'646'000);
        close(fd);
    }
    QCOMPARE(pty.withUnit([](SimUnit& u) { return u.answered(); }), 3);
    QElapsedTimer timer;
    timer.start();
    pty.stop();
    QVERIFY(timer.elapsed() < 200);
}

// Messages the PC sends only in parts (the whole ones make round trips in
// tst_paramlib), against the bytes of the unit's current record (nothing
// else may change); then the load reply.
void TestSim::setThenLoad() {
    // Row 2 (bytes 472..491); the routing masks of inputs 0, 2, 6, 9 gain bit 1.
    const Bytes routed{{472, 1}, {474, 1}, {478, 1}, {481, 1}, {482, 1}, {483, 1}, {484, 1}, {12, 2}, {52, 2},
                       {132, 2}, {192, 2}};
    // The message, the bytes it changes, the load request and bytes of its reply.
    const std::tuple<QByteArray, Bytes, QByteArray, Bytes> cases[] = {
        {B("OS", {0, 1, 1, 1, 1, 44}), {{202, 1}, {201, 1}, {200, 44}}, // the delay high byte first
         B("OL", {0, 1, 0}), {{5, 1}, {6, 1}, {7, 44}}},
        {B("OS", {1, 4, 8, 4, 52, 23, 60}), {{335, 4}, {323, 52}, {329, 23}, {317, 60}}, // block 4, band 5
         B("OL", {1, 4, 0}), {{29, 4}, {30, 52}, {31, 23}, {32, 60}}},
        {MatrixSwitches, routed, B("ML", {1, 2, 0}),
         {{5, 1}, {6, 0}, {7, 1}, {11, 1}, {14, 1}, {16, 1}, {17, 0}, {18, 1}, {19, 24}, {25, 0x22}}},
        // A memory number counts only where its flag is set.
        {ExternalInputs, {{543, 1}, {544, 3}, {546, 16}, {551, 12}}, B("PL", {1, 5}),
         {{3, 1}, {4, 1}, {5, 0}, {6, 1}, {11, 1}, {12, 3}, {13, 0}, {14, 16}, {18, 0}, {19, 12}}},
        {B("PS", {1, 7, 4, 16, 1, 9}), {{539, 4}, {540, 16}, {541, 1}, {542, 9}}, B("PL", {1, 7}),
         {{3, 4}, {4, 16}, {5, 1}, {6, 9}}}};
    for (const auto& [set, changes, load, reply] : cases) {
        UnitModel m;
        QByteArray want = Records(m.state());
        for (const auto& [at, v] : changes) {
            // The quick-recall assignment and the external inputs' memories are the venue's, alike in every memory.
            const int records = at >= 539 && at <= 551 && at != 543 ? 17 : 1;
            for (int n = 0; n < records; ++n)
                want[n * int(sizeof(BankFixed)) + at] = char(v);
        }
        QCOMPARE(m.Handle(set), set.left(5));
        QCOMPARE(Records(m.state()), want);
        const QByteArray got = m.Handle(load).value_or(QByteArray());
        QCOMPARE(got.left(2), load.left(2));
        for (const auto& [at, v] : reply)
            QCOMPARE(QByteArray::number(at) + ": " + QByteArray::number(uint8_t(got[at])),
                     QByteArray::number(at) + ": " + QByteArray::number(v));
    }
}

void TestSim::statusBits() {
    UnitModel m;
    UnitState& s = m.state();
    // Factory state: nothing lit, all MIC, memory 1.
    QCOMPARE(m.Handle(B("DL", {0, 1})), B("DL", {0, 0, 0, 0, 0, 0x3F, 1}));
    s.signalBits = 0x245; // inputs 0, 2, 6, 9
    s.peakBits = 0x182;   // inputs 1, 7, 8
    s.phantomBits = 0x21;
    s.micLineBits = 0x1C;
    s.memNo = 12;
    for (int c = 0; c < 10; ++c)
        s.setInKnob(c, uint8_t(6 + 10 * c));
    s.meterBits = {0x00, 0x01, 0x3F, 0x80};
    s.outLampBits = 0x0D;
    // Peak bits lead, in the mono pair and in the stereo byte.
    QCOMPARE(m.Handle(B("DL", {0, 1})), B("DL", {0, 0x02, 0x05, 0x96, 0x21, 0x1C, 12}));
    QCOMPARE(m.Handle(B("DL", {0, 2})), B("DL", {0, 6, 16, 26, 36, 46, 56, 66, 76, 86, 96}));
    QCOMPARE(m.Handle(B("DL", {0, 3})), B("DL", {0, 0x00, 0x01, 0x3F, 0x80, 0x0D}));
}

void TestSim::howling() {
    // Queries until the end, whether it ends in a fault, and five statuses after the start.
    const std::tuple<int, bool, QList<int>> cases[] = {
        {3, false, {1, 1, 1, 2, 2}}, {3, true, {1, 1, 1, 3, 3}}, {0, false, {2, 2, 2, 2, 2}}};
    for (const auto& [queries, fault, statuses] : cases) {
        UnitModel m;
        m.state().setHowlingQueries(queries);
        m.state().setHowlingFaults(fault ? 0x02 : 0x01); // channel 2 measured
        const auto status = [&m] { return *m.Handle(B("PH", {3, 9, 0})); };
        QCOMPARE(status(), B("PH", {3, 0, 0})); // idle
        QCOMPARE(m.Handle(B("PH", {1, 9, 7})), B("PH", {1, 9, 7}));
        QCOMPARE(status(), B("PH", {3, 0, 0})); // no input 7: not started
        // A start on another channel begins again.
        m.Handle(B("PH", {1, 9, 4}));
        status();
        m.Handle(B("PH", {1, 9, 2}));
        QStringList log{"status 0", "status 0", "start 4", statuses[0] == 2 ? "status 2" : "status 1", "start 2"};
        for (int want : statuses) {
            QCOMPARE(status(), B("PH", {3, want, 2}));
            log << QString("status %1").arg(want);
        }
        QCOMPARE(m.Handle(B("PH", {2, 9, 2})), B("PH", {2, 9, 2}));
        QCOMPARE(status(), B("PH", {3, 0, 0}));
        QCOMPARE(m.state().howlingLog(), log << "end 2" << "status 0");
    }
}

// Every prefix of a whole body, out-of-range requests, and garbage: no
// crash, no reading past the body (the sanitizer build sees to that), and a
// cut or out-of-range body changes nothing.
void TestSim::malformedBodies() {
    QList<QByteArray> ignored{
        B("IS", {0, 11, 2, 5}), B("OS", {0, 8, 31, 0}), B("MS", {1, 5, 2, 30, 40, 50, 60, 70, 125}),
        B("SA", {0, 0, 0}), B("SA", {0, 0, 17}), B("BA", {0, 0}), B("BA", {0, 17}),
        B("NS", {0, 1, 1}) + "Short", B("NS", {0, 2, 17}) + QByteArray(22, 'x')};
    for (const QByteArray& whole : EveryKind) {
        QCOMPARE(UnitModel().Handle(whole).value_or("").left(2), whole.left(2));
        for (qsizetype n = 0; n < whole.size(); ++n)
            ignored << whole.left(n);
    }
    const UnitModel fresh;
    const QByteArray records = Records(fresh.state()), levels = Levels(fresh.state());
    for (const QByteArray& body : ignored) {
        UnitModel m;
        QCOMPARE(m.Handle(body).has_value(), body.size() >= 2);
        QCOMPARE(Records(m.state()), records);
        QCOMPARE(Levels(m.state()), levels);
        QCOMPARE(m.state().memNo, 1);
        QCOMPARE(m.state().nameField(1, 1), QByteArray(20, '\0'));
        QCOMPARE(m.state().nameField(2, 17), QByteArray());
    }

    UnitModel m;
    m.state().setLive(true);
    uint32_t x = 12345;
    const auto next = [&x] { return (x = x * 1103515245u + 12345u) >> 16; };
    for (int i = 0; i < 5000; ++i) {
        QByteArray body = EveryKind[int(next() % uint32_t(EveryKind.size()))].left(2);
        for (int k = int(next() % 40); k > 0; --k)
            body.append(char(next() % 5 == 0 ? next() : next() % 20));
        m.Handle(body);
    }
    QVERIFY(m.state().memNo >= 1 && m.state().memNo <= 16);
}

// A frame whose tail never came is reported and left unanswered, and the
// next one is heard on its own; one run into by another frame is reported
// whole instead of being taken for a request.
void TestSim::cutFramesReported() {
    const QByteArray delay = Frame(QByteArray::fromHex("4f530001010000"));
    const QByteArray fader = QByteArray::fromHex("010009 4f530001090000 7c7d 02");
    SimUnit u;
    u.setPaced(false);
    SendUs(u, delay.left(8), 1'000'000);
    SendUs(u, fader, 1'000'000 + SimUnit::CutGapUs + 1);
    QCOMPARE(u.malformedFrames(), QList<QByteArray>({delay.left(8)}));
    QCOMPARE(u.rawFrames(), QList<QByteArray>({fader}));
    QCOMPARE(u.answered(), 1);

    // A tail that stopped is given up as time passes, without more bytes.
    u.clearLogs();
    SendUs(u, delay.left(5), 2'000'000);
    uint8_t out[64];
    u.TakeUs(out, sizeof out, 2'000'000 + SimUnit::CutGapUs + 1);
    QCOMPARE(u.malformedFrames(), QList<QByteArray>({delay.left(5)}));

    u.clearLogs();
    SendUs(u, delay.left(8) + fader, 3'000'000);
    QCOMPARE(u.malformedFrames(), QList<QByteArray>({delay.left(8) + fader}));
    QVERIFY(u.rawFrames().isEmpty());
    QCOMPARE(u.answered(), 0);
    SendUs(u, delay, 3'000'100);
    QCOMPARE(u.rawFrames(), QList<QByteArray>({delay}));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
