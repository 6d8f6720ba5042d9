// qdr318-sim: the unit on a pseudo-terminal, for trying the program without
// the hardware. Prints the port's path alone on the first line, then serves
// until interrupted.

#include "sim/SimPty.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <pthread.h>

namespace {

const char Usage[] = "Usage: qdr318-sim [options]\n"
                     "Serves an emulated QDR318 on a pseudo-terminal and prints its path.\n"
                     "\n"
                     "  --no-pace          answer at once instead of at 38400 baud\n"
                     "  --drop N           give no reply to the next N requests\n"
                     "  --delay MS         wait MS more before every reply\n"
                     "  --noise N          send N garbage bytes before every reply\n"
                     "  --cut K            cut the first reply after K bytes\n"
                     "  --silent-after N   answer N requests, then none\n"
                     "  --live             move lamps, meters and level knobs\n"
                     "  --howling-fault    end every howling measurement with a fault\n"
                     "  -v, --verbose      show each request on stderr\n"
                     "  --help             show this text\n";

struct Options {
    bool paced = true;
    bool verbose = false;
    bool live = false;
    bool howlingFault = false;
    int drop = 0;
    int delay = 0;
    int noise = 0;
    int cut = -1;
    int silentAfter = -1;
};

bool Count(const char* text, int* value) {
    bool ok = false;
    const int v = QByteArray(text).toInt(&ok);
    if (!ok || v < 0)
        return false;
    *value = v;
    return true;
}

// 0 to go on, otherwise the exit status.
int Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            fputs(Usage, stdout);
            return -1;
        }
        if (!strcmp(a, "--no-pace")) {
            o.paced = false;
            continue;
        }
        if (!strcmp(a, "-v") || !strcmp(a, "--verbose")) {
            o.verbose = true;
            continue;
        }
        if (!strcmp(a, "--live")) {
            o.live = true;
            continue;
        }
        if (!strcmp(a, "--howling-fault")) {
            o.howlingFault = true;
            continue;
        }
        int* target = !strcmp(a, "--drop")           ? &o.drop
                      : !strcmp(a, "--delay")        ? &o.delay
                      : !strcmp(a, "--noise")        ? &o.noise
                      : !strcmp(a, "--cut")          ? &o.cut
                      : !strcmp(a, "--silent-after") ? &o.silentAfter
                                                     : nullptr;
        if (!target) {
            fprintf(stderr, "qdr318-sim: unknown option %s\n%s", a, Usage);
            return 2;
        }
        if (i + 1 >= argc || !Count(argv[i + 1], target)) {
            fprintf(stderr, "qdr318-sim: %s needs a number of 0 or more\n", a);
            return 2;
        }
        ++i;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (const int rc = Parse(argc, argv, o))
        return rc < 0 ? 0 : rc;

    // Blocked before the serving thread exists, so only sigtimedwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimPty pty;
    pty.withUnit([&](SimUnit& u) {
        u.setPaced(o.paced);
        u.dropReplies(o.drop);
        u.setReplyDelay(uint32_t(o.delay));
        u.setNoise(o.noise);
        if (o.cut >= 0)
            u.cutNextReply(o.cut);
        if (o.silentAfter >= 0)
            u.silentAfter(o.silentAfter);
        u.model().state().setLive(o.live);
        u.model().state().setHowlingFaults(o.howlingFault ? 0x3F : 0);
    });
    QString error;
    if (!pty.start(&error)) {
        fprintf(stderr, "qdr318-sim: %s\n", qPrintable(error));
        return 1;
    }
    printf("%s\n", qPrintable(pty.path()));
    fflush(stdout);

    qsizetype shown = 0, shownMalformed = 0;
    const timespec tick{0, 200'000'000};
    for (;;) {
        const int sig = sigtimedwait(&stopSignals, nullptr, &tick);
        if (sig == SIGINT || sig == SIGTERM)
            break;
        if (!o.verbose)
            continue;
        const QList<QByteArray> frames = pty.withUnit([](SimUnit& u) { return u.rawFrames(); });
        for (; shown < frames.size(); ++shown)
            fprintf(stderr, "request %s\n", frames[shown].toHex(' ').constData());
        const QList<QByteArray> bad = pty.withUnit([](SimUnit& u) { return u.malformedFrames(); });
        for (; shownMalformed < bad.size(); ++shownMalformed)
            fprintf(stderr, "malformed request (not answered) %s\n", bad[shownMalformed].toHex(' ').constData());
        fflush(stderr);
    }
    pty.stop();
    const auto [answered, malformed] =
        pty.withUnit([](SimUnit& u) { return std::pair{u.answered(), int(u.malformedFrames().size())}; });
    fprintf(stderr, "qdr318-sim: %d request(s) answered, %d malformed\n", answered, malformed);
    return 0;
}
