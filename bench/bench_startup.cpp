// Start-up to the start window shown, against a bare Qt Widgets window
// shown the same way: each is a fresh process (library loading and Qt's
// own set-up included), started alternately by this program, which times
// it from launch to exit right after the first paint. Then the resident
// memory of the program's process at that moment.

#include "BenchCommon.h"
#include "sim/SimFtdiDriver.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

void ShowAndPaint(QWidget& w) {
    w.show();
    QApplication::processEvents();
    w.repaint();
}

long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The child: one start-up, then out.
int Child(int argc, char* argv[], bool program) {
    QApplication qapp(argc, argv);
    if (!program) {
        QWidget w;
        w.resize(760, 680);
        auto* label = new QLabel(QStringLiteral("QDR318 Manager"), &w);
        label->move(20, 20);
        ShowAndPaint(w);
        return 0;
    }
    QTemporaryDir dir;
    SystemMsClock clock;
    SimFtdiDriver usb(clock);
    usb.setPresent(false);
    App app(AppOptions{dir.path(), 0, QStringLiteral("qdr318-bench-startup"), nullptr, &usb});
    TopWind top(app);
    if (!top.Form_Initialize())
        return 1;
    ShowAndPaint(top);
    std::printf("%ld\n", ResidentKiB());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1)
        return Child(argc, argv, QByteArray(argv[1]) == "program");

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> program, bare;
    long rss = -1;
    // Enough alternating pairs that the shared machine's stalls fall
    // outside the medians.
    constexpr int Runs = 25;
    for (int run = 0; run < Runs; ++run) {
        for (const char* mode : {"bare", "program"}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::SeparateChannels);
            QElapsedTimer t;
            t.start();
            child.start(self, {QString::fromLatin1(mode)});
            child.waitForFinished(30000);
            const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
            if (child.exitCode() != 0) {
                std::fprintf(stderr, "%s start-up failed\n", mode);
                return 1;
            }
            if (QByteArray(mode) == "bare") {
                bare.push_back(ms);
            } else {
                program.push_back(ms);
                rss = child.readAllStandardOutput().trimmed().toLong();
            }
        }
    }
    std::printf("start-up to the window shown: program %.1f ms, bare Qt window %.1f ms (medians of %d): "
                "ratio %.2f  target <= 1.3\n",
                bench::Summarize(program).median, bench::Summarize(bare).median, Runs,
                bench::Summarize(program).median / bench::Summarize(bare).median);
    std::printf("resident memory after start-up: %.1f MiB\n", rss / 1024.0);
    return 0;
}
