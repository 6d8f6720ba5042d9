#include "sim/SimPty.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

// Longest single wait, so that stop() is prompt even without the wake pipe.
constexpr int64_t MaxWaitNs = 5'000'000;

QString Failure(const char* what) { return QStringLiteral("%1: %2").arg(what, strerror(errno)); }

int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The unit's clock: the monotonic one in whole microseconds, which in
// milliseconds is SystemMsClock's count.
int64_t MonotonicUs() { return MonotonicNs() / 1000; }

} // namespace

SimPty::SimPty() = default;

SimPty::~SimPty() { stop(); }

bool SimPty::start(QString* error) {
    if (running())
        return true;
    auto fail = [&](const char* what) {
        if (error)
            *error = Failure(what);
        CloseAll();
        return false;
    };

    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        return fail("posix_openpt");
    if (grantpt(master_) != 0)
        return fail("grantpt");
    if (unlockpt(master_) != 0)
        return fail("unlockpt");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0)
        return fail("ptsname");
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        return fail("open slave");
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe2");

    path_ = QString::fromLocal8Bit(name);
    stopping_ = false;
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void SimPty::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const char c = 0;
        [[maybe_unused]] const auto r = write(wake_[1], &c, 1);
        thread_.join();
    }
    CloseAll();
}

void SimPty::CloseAll() {
    for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void SimPty::Serve() {
    // Waits end when asked, not up to 50 us later: a paced byte lasts 260 us.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    uint8_t in[4096];
    uint8_t out[4096];
    size_t outLen = 0; // taken from the unit, not yet accepted by the terminal
    size_t outPos = 0;

    while (!stopping_) {
        // Wait for input, for the terminal to take a held-back reply, or for
        // the next reply byte's time, whichever comes first.
        int64_t waitNs = MaxWaitNs;
        if (outPos == outLen) {
            std::optional<int64_t> nextUs;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                nextUs = unit_.NextByteTimeUs();
            }
            if (nextUs)
                waitNs = std::clamp<int64_t>(*nextUs * 1000 - MonotonicNs(), 0, MaxWaitNs);
        }
        pollfd fds[2] = {{master_, short(POLLIN | (outPos < outLen ? POLLOUT : 0)), 0},
                         {wake_[0], POLLIN, 0}};
        const timespec ts{0, long(waitNs)};
        if (ppoll(fds, 2, &ts, nullptr) < 0 && errno != EINTR)
            break;
        if (stopping_)
            break;

        if (fds[0].revents & POLLIN) {
            const ssize_t n = read(master_, in, sizeof in);
            if (n > 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                unit_.ReceiveUs(in, size_t(n), MonotonicUs());
            }
        }

        if (outPos == outLen) {
            std::lock_guard<std::mutex> lock(mutex_);
            outLen = unit_.TakeUs(out, sizeof out, MonotonicUs());
            outPos = 0;
        }
        while (outPos < outLen) {
            const ssize_t n = write(master_, out + outPos, outLen - outPos);
            if (n <= 0)
                break; // the terminal is full; poll says when it has room
            outPos += size_t(n);
        }
    }
}
