#pragma once

#include "link/Link.h"
#include "link/LinkHost.h"
#include "link/Serial.h"
#include "platform/ComPort.h"
#include "platform/EventWait.h"
#include "platform/MsClock.h"
#include "sim/SimFtdiDriver.h"

#include <QObject>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
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

// A link wired as the program wires it: the emulator's bridge on USB and a
// real COM port whose receive event feeds the serial object.
struct Rig {
    SystemMsClock clock;
    SimFtdiDriver usb{clock};
    Host host;
    ComPort com;
    Link link;
    Rig() {
        link.SerialObj = std::make_unique<Serial>(link, host, clock, usb);
        link.SerialObj->SetMSComm(&com);
        QObject::connect(&com, &ComPort::onComm, [this](int ev) { link.SerialObj->OnCommProc(ev); });
    }
    Serial& serial() { return *link.SerialObj; }
    // Scans the one port given (0 USB, 1 COM1) and reports whether the
    // unit answered the probe there.
    bool connect(int portIndex) {
        link.PortIndex = portIndex;
        serial().AllPortCheck();
        return link.OnLine;
    }
};

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
