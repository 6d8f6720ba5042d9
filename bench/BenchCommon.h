#pragma once

#include "link/LinkHost.h"
#include "platform/EventWait.h"
#include "sim/SimUnit.h"
#include "sim/WiredLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>
#include <vector>

namespace bench {

// The windows' side of the link, always probing so every message goes out.
class Host : public LinkHost {
public:
    int lost = 0;
    bool SendGateOpen() override { return true; }
    void OnLinkLost() override { ++lost; }
    void PumpEvents(int maxMs) override { WaitForEvents(maxMs); }
    void SetConnectChannel(const QString&) override {}
    MsgResult ShowMessage(const MsgBox& box) override { return box.defaultButton; }
    void KnobLevelsRead(int) override {}
    void MemNoRead(int) override {}
    void BankProgress(int) override {}
};

using Rig = WiredLink<Host>;

struct Summary {
    double median = 0, min = 0, max = 0;
    size_t n = 0;
};

inline Summary Summarize(std::vector<double> v) {
    Summary s;
    s.n = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const size_t mid = v.size() / 2;
    s.median = v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
    s.min = v.front();
    s.max = v.back();
    return s;
}

inline double SecondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Seconds on the wire at the emulator's pace.
constexpr double WireSeconds(int bytes) { return bytes / double(SimUnit::BytesPerSecond); }

// The largest reply body the link takes, and a request the unit answers
// with one.
constexpr int LongReplyBody = int(std::tuple_size_v<decltype(Link::RxBuf)>);
inline const QByteArray LongRequest("XL\x01\x02\x03\x04", 6);
inline void AnswerLongRequests(SimUnit& unit) {
    unit.model().setHandler('X', 'L', [](const QByteArray&) {
        return QByteArray("XL") + QByteArray(LongReplyBody - 2, 'x');
    });
}

// The EQ graph's templates laid in appPath as the build lays them beside
// the program (and beside the benchmarks), so that the editor finds them.
inline void LayTemplates(const QString& appPath) {
    QDir(appPath).mkpath(QStringLiteral("pat"));
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/pat/outeq.pat"),
                appPath + QStringLiteral("/pat/outeq.pat"));
}

} // namespace bench
