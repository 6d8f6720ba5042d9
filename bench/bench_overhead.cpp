// The link's own cost per exchange: the in-process bridge with an unpaced
// unit, so no time goes to the wire and the reply is there at once.

#include "BenchCommon.h"

#include <QCoreApplication>

using namespace bench;

namespace {


void Run(Rig& r, const char* name, const QByteArray& request, int wait, int batches, int perBatch) {
    const auto* body = reinterpret_cast<const uint8_t*>(request.constData());
    std::vector<double> us;
    int failures = 0;
    for (int b = -1; b < batches; ++b) { // the first batch warms up
        // The emulator logs every call and frame; emptied outside the timing.
        r.usb.clearCalls();
        r.usb.unit().clearLogs();
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < perBatch; ++i) {
            r.link.SendCommand(body, int(request.size()), wait);
            if (r.serial().GetRxOK() != -1) {
                ++failures;
                r.link.OnLine = true;
            }
        }
        if (b >= 0)
            us.push_back(SecondsSince(t0) * 1e6 / perBatch);
    }
    const Summary s = Summarize(us);
    printf("%-5s: %.2f us per exchange, median of %zu batches of %d (min %.2f, max %.2f)\n", name, s.median, s.n,
           perBatch, s.min, s.max);
    if (failures)
        printf("       %d exchange(s) without a reply\n", failures);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Rig r;
    r.usb.unit().setPaced(false);
    AnswerLongRequests(r.usb.unit());
    if (!r.connect(0)) {
        fprintf(stderr, "bench_overhead: no answer to the probe over USB\n");
        return 1;
    }
    printf("bench_overhead: USB through the in-process bridge, unpaced unit\n");
    Run(r, "short", QByteArray("NO\0", 3), Serial::ProbeWait, 20, 1000);
    Run(r, "long", LongRequest, 1100, 20, 50);
    return 0;
}
