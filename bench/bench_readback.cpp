// The read-back at the start of editing (names, then the whole record) and
// the read of all 16 memories, over a pseudo-terminal against the emulator
// paced at 38400 baud. Each is timed against what the line and the
// prescribed waits alone would take: the wire time of every request and
// reply frame plus the nominal TimerWait pauses.

#include "BenchCommon.h"
#include "data/ParamData.h"
#include "data/Utilities.h"
#include "link/ParamLib.h"
#include "link/ParamSend.h"
#include "platform/CodePage.h"
#include "sim/SimPty.h"
#include "sim/UnitModel.h"

#include <QCoreApplication>
#include <QTimer>

using namespace bench;

namespace {

// The bytes on the wire for a list of requests: each request frame and the
// reply frame the unit gives it, found by replaying the requests on a unit
// in the same starting state.
int WireBytes(const QList<QByteArray>& requests) {
    UnitModel replay;
    int bytes = 0;
    for (const QByteArray& body : requests) {
        bytes += static_cast<int>(body.size()) + 4;
        if (const auto reply = replay.Handle(body))
            bytes += static_cast<int>(reply->size()) + 4;
    }
    return bytes;
}

struct Stack {
    Rig rig;
    CodePage cp{CodePage::Western};
    TickWait waits;
    ParamData data;
    ParamSend send{data, rig.link, cp, waits, rig.clock, rig.host, QString()};
    ParamLib lib{data, rig.link, cp, waits, rig.host, send};
    QTimer timer1;
    Stack() {
        for (int m = 0; m < ParamData::RecordCount; ++m)
            data.InitMemoryData(m);
        // The start window's 100 ms tick counts the waits down.
        timer1.setInterval(100);
        QObject::connect(&timer1, &QTimer::timeout, [this] { waits.Tick(); });
        timer1.start();
    }
};

void Report(const char* what, double seconds, int wireBytes, int waitMs, int requests) {
    const double limit = WireSeconds(wireBytes) + waitMs / 1000.0;
    std::printf("%-28s %4d requests  %7.3f s  (wire %.3f s + waits %.1f s)  ratio %.3f  target <= 1.10\n", what,
                requests, seconds, WireSeconds(wireBytes), waitMs / 1000.0, seconds / limit);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SimPty pty;
    QString error;
    if (!pty.start(&error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("QDR318_COM1", pty.path().toLocal8Bit());
    Stack s;
    if (!s.rig.connect(1)) {
        std::fprintf(stderr, "the emulator did not answer\n");
        return 1;
    }

    // Start of editing: names, then the current record.
    pty.withUnit([](SimUnit& u) { u.model().clearRequests(); });
    auto t0 = std::chrono::steady_clock::now();
    s.lib.ReadNameAll();
    s.lib.ReadBankParam();
    double seconds = SecondsSince(t0);
    QList<QByteArray> heard = pty.withUnit([](SimUnit& u) { return u.model().requests(); });
    Report("read-back (names + record)", seconds, WireBytes(heard), 4 * 100, static_cast<int>(heard.size()));

    // All memories: names, then per memory a recall, the record and the pauses.
    pty.withUnit([](SimUnit& u) { u.model().clearRequests(); });
    s.rig.link.AllBankContinue = true;
    t0 = std::chrono::steady_clock::now();
    s.lib.AllBankRead();
    seconds = SecondsSince(t0);
    heard = pty.withUnit([](SimUnit& u) { return u.model().requests(); });
    Report("all-memory read", seconds, WireBytes(heard), 16 * (100 + 4 * 100 + 200), static_cast<int>(heard.size()));
    return s.rig.host.lost == 0 ? 0 : 1;
}
