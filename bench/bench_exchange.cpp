// Exchange time over a pseudo-terminal against the paced emulator, as a
// multiple of the time request and reply take on the wire at 38400 baud.
// What is above 1.0 is what the program, the port and the emulator add.

#include "BenchCommon.h"
#include "sim/SimPty.h"

#include <QCoreApplication>
#include <random>
#include <thread>

using namespace bench;

namespace {

constexpr double Target = 1.10;

struct Case {
    const char* name;
    QByteArray body;
    int wait;
    int replyBody;
    int reps;
    // A random pause of up to 1 ms before each exchange, so that requests
    // do not all start at the same phase of the system's own ticks.
    bool spread = false;
};

// Median seconds per exchange, 0 when any reply went missing or was wrong.
double Time(Rig& r, const Case& c, std::vector<double>* each = nullptr) {
    std::mt19937 rng(318);
    std::uniform_int_distribution<int> pauseUs(0, 999);
    const auto* body = reinterpret_cast<const uint8_t*>(c.body.constData());
    std::vector<double> times;
    int failures = 0;
    for (int i = -3; i < c.reps; ++i) { // three to warm up
        r.link.RxBuf.fill(0);
        if (c.spread)
            std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(rng)));
        const auto t0 = std::chrono::steady_clock::now();
        r.link.SendCommand(body, int(c.body.size()), c.wait);
        const double took = SecondsSince(t0);
        const bool ok = r.serial().GetRxOK() == -1 && r.link.RxBuf[0] == uint8_t(c.body[0]) &&
                        r.link.RxBuf[1] == uint8_t(c.body[1]) &&
                        (c.replyBody < LongReplyBody || r.link.RxBuf[LongReplyBody - 1] == 'x');
        if (!ok) {
            ++failures;
            r.link.OnLine = true; // a lost reply drops the link; carry on
        } else if (i >= 0) {
            times.push_back(took);
        }
    }
    if (failures)
        printf("      %s: %d exchange(s) without a correct reply\n", c.name, failures);
    if (each)
        *each = times;
    return failures ? 0 : Summarize(times).median;
}

double Wire(const Case& c) { return WireSeconds(int(c.body.size()) + 4 + c.replyBody + 4); }

void Ratio(Rig& r, const Case& c) {
    const double wire = Wire(c);
    std::vector<double> times;
    Time(r, c, &times);
    for (double& t : times)
        t /= wire;
    const Summary s = Summarize(times);
    printf("%-13s %3d+%4d bytes, wire %6.2f ms: exchange/wire median %.3f (min %.3f, max %.3f, n=%zu; "
           "%.2f ms)   target <= %.2f\n",
           c.name, int(c.body.size()) + 4, c.replyBody + 4, wire * 1e3, s.median, s.min, s.max, s.n,
           s.median * wire * 1e3, Target);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    SimPty pty;
    QString error;
    if (!pty.start(&error)) {
        fprintf(stderr, "bench_exchange: emulator: %s\n", qPrintable(error));
        return 1;
    }
    pty.withUnit([](SimUnit& u) { AnswerLongRequests(u); });
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());

    Rig r;
    if (!r.connect(1)) {
        fprintf(stderr, "bench_exchange: no answer to the probe on %s\n", qPrintable(pty.path()));
        return 1;
    }
    printf("bench_exchange: COM port on %s, paced emulator in this process\n", qPrintable(pty.path()));
    fflush(stdout);

    const Case shortCase{"short", QByteArray("NO\0", 3), Serial::ProbeWait, 3, 60};
    const Case longCase{"long", LongRequest, 1100, LongReplyBody, 30};
    Case spread = shortCase;
    spread.name = "short, spread";
    spread.spread = true;
    Ratio(r, shortCase);
    Ratio(r, spread);
    Ratio(r, longCase);

    // Unpaced, the round trip is what the program and the port add on their
    // own; added to the wire time it gives the ratio an exact line would show.
    // The paced figures above should come close to it.
    pty.withUnit([](SimUnit& u) { u.setPaced(false); });
    for (const Case& c : {shortCase, longCase}) {
        const double rtt = Time(r, c);
        printf("%-13s unpaced round trip median %.3f ms -> (wire + round trip)/wire %.3f   target <= %.2f\n",
               c.name, rtt * 1e3, (Wire(c) + rtt) / Wire(c), Target);
    }
    return 0;
}
