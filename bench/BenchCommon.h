#pragma once

#include "link/LinkHost.h"
#include "platform/EventWait.h"
#include "sim/WiredLink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// Seconds on the wire at 38400 8N1: ten bits a byte.
constexpr double WireSeconds(int bytes) { return bytes / 3840.0; }

} // namespace bench
