// CPU the program spends while it waits for a reply that never comes, as a
// share of the wall time of the wait. The wait should sleep, not spin.
// COM mode talks to the emulator running as its own process, so the
// process's CPU time is the program's alone.

#include "BenchCommon.h"

#include <QCoreApplication>
#include <QProcess>
#include <sys/resource.h>

using namespace bench;

namespace {

constexpr double Target = 0.05;
constexpr int Reps = 3;
constexpr int Wait = 1100; // an ordinary message: three attempts

double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

void Run(Rig& r, const char* mode) {
    std::vector<double> self, thread, walls;
    int answered = 0;
    const uint8_t body[] = {'X', 'Y', 0};
    for (int i = 0; i < Reps; ++i) {
        r.link.OnLine = true;
        const double p0 = CpuSeconds(RUSAGE_SELF);
        const double t0 = CpuSeconds(RUSAGE_THREAD);
        const auto w0 = std::chrono::steady_clock::now();
        r.link.SendCommand(body, 3, Wait);
        const double wall = SecondsSince(w0);
        self.push_back((CpuSeconds(RUSAGE_SELF) - p0) / wall);
        thread.push_back((CpuSeconds(RUSAGE_THREAD) - t0) / wall);
        walls.push_back(wall);
        if (r.serial().GetRxOK() != 0)
            ++answered;
    }
    const Summary s = Summarize(self), t = Summarize(thread), w = Summarize(walls);
    printf("%-3s wait %.2f s: CPU/wall median %.4f (min %.4f, max %.4f, n=%zu; calling thread %.4f)   "
           "target <= %.2f\n",
           mode, w.median, s.median, s.min, s.max, s.n, t.median, Target);
    if (answered)
        printf("    %d of %d messages were answered by a unit meant to be silent\n", answered, Reps);
    fflush(stdout);
}

bool RunCom() {
    QProcess sim;
    sim.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/qdr318-sim"));
    sim.setArguments({QStringLiteral("--silent-after"), QStringLiteral("1")});
    sim.setStandardErrorFile(QProcess::nullDevice());
    sim.start();
    if (!sim.waitForStarted(5000)) {
        fprintf(stderr, "bench_waitcpu: cannot start %s\n", qPrintable(sim.program()));
        return false;
    }
    while (!sim.canReadLine() && sim.waitForReadyRead(5000)) {
    }
    const QByteArray path = sim.readLine().trimmed();
    bool ok = !path.isEmpty();
    if (ok) {
        qputenv("QDR318_COM1", path);
        Rig r;
        ok = r.connect(1);
        if (ok)
            Run(r, "COM");
        else
            fprintf(stderr, "bench_waitcpu: no answer to the probe on %s\n", path.constData());
    } else {
        fprintf(stderr, "bench_waitcpu: the emulator printed no port\n");
    }
    sim.terminate();
    if (!sim.waitForFinished(3000)) {
        sim.kill();
        sim.waitForFinished(1000);
    }
    return ok;
}

bool RunUsb() {
    Rig r;
    if (!r.connect(0)) {
        fprintf(stderr, "bench_waitcpu: no answer to the probe over USB\n");
        return false;
    }
    r.usb.unit().silentAfter(0);
    Run(r, "USB");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    printf("bench_waitcpu: %d messages of %d ms to a silent unit per mode\n", Reps, Wait);
    fflush(stdout);
    const bool com = RunCom();
    const bool usb = RunUsb();
    return com && usb ? 0 : 1;
}
