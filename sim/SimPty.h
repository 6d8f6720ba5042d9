#pragma once

#include "sim/SimUnit.h"

#include <QString>
#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

// Serves a SimUnit on a pseudo-terminal, so the program can open it as a
// serial port (path()). A background thread moves bytes between the
// terminal and the unit on the real monotonic clock; paced replies leave
// byte by byte at the line's rate, each at its own microsecond.
//
// The emulator keeps the terminal's slave side open for its whole life, so
// the program may close and reopen the port freely. Reply bytes sent while
// the program has the port closed wait in the terminal for its next open.
class SimPty {
public:
    SimPty();
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    // Opens the terminal and starts serving; false with *error on failure.
    bool start(QString* error = nullptr);
    // Stops serving (joins the thread) and closes the terminal.
    void stop();
    bool running() const { return thread_.joinable(); }

    // The slave device, e.g. /dev/pts/7; empty before start().
    QString path() const { return path_; }

    // Runs f on the unit with the serving thread held off. Return values,
    // not references into the unit: the lock ends with the call.
    template <class F> decltype(auto) withUnit(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::forward<F>(f)(unit_);
    }

private:
    void Serve();
    void CloseAll();

    std::mutex mutex_;
    SimUnit unit_;

    int master_ = -1;
    int slave_ = -1;
    int wake_[2] = {-1, -1}; // stop() writes to [1] to end the poll at once
    QString path_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
