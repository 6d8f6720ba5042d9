// Drives the send loop and the reply receiver with whatever the far side
// sends, arriving over time: on the USB bridge, and on a COM port whose
// receive event fills the receive ring. The receiver must never write past
// RxBuf; each attempt must begin with a purge and end by its deadline; a
// message is tried three times (a probe once) unless answered; and a lost
// link is reported exactly when an online message goes unanswered.
//
// The objects live across inputs, so the ring's indexes run on and wrap.
// Input: a flag byte (port, online, gate, reply wait, clock step), a clock
// start, a message count, then per write of the send loop a reply script:
// chunks of (delay, kind, length, bytes), a chunk being its bytes repeated
// up to 16 times, raw or inside a frame.
#include "../FakeClock.h"
#include "link/Link.h"
#include "link/LinkHost.h"
#include "link/Serial.h"
#include "platform/ComPort.h"
#include "platform/FtdiDriver.h"
#include "platform/MsClock.h"

#include <cstdlib>
#include <deque>
#include <span>

namespace {

// The far side of the line: bytes due at given times, and the script of
// what it answers to each write.
class Line {
public:
    explicit Line(FakeClock& clock) : clock_(clock) {}
    std::span<const uint8_t> script;
    int writes = 0;
    int purges = 0;

    void reset(std::span<const uint8_t> s) {
        script = s;
        writes = purges = 0;
        due_.clear();
        ready_ = 0;
    }
    // The next reply of the script, put on the line from now on.
    void answerWrite() {
        ++writes;
        const int chunks = next() % 4;
        uint32_t at = clock_.t;
        for (int c = 0; c < chunks && !script.empty(); ++c) {
            at += next() * 8u;
            const uint8_t kind = next();
            const int length = next() % 128;
            const int repeat = (kind >> 4) + 1;
            const auto body =
                script.first(std::min<std::size_t>(static_cast<std::size_t>(length), script.size()));
            script = script.subspan(body.size());
            // A frame around the repeated bytes, its length field now and
            // then one short or one or two long.
            const bool framed = kind & 1;
            if (framed) {
                const int n = static_cast<int>(body.size()) * repeat + (kind >> 1 & 3) - 1;
                for (int b : {1, n >> 8 & 0xFF, n & 0xFF})
                    due_.push_back({at, static_cast<uint8_t>(b)});
            }
            for (int r = 0; r < repeat; ++r)
                for (uint8_t b : body)
                    due_.push_back({at, b});
            if (framed) due_.push_back({at, 2});
        }
    }
    // Bytes on the line come in order: those due so far, up to the first
    // still to come. The clock only moves on, so the count is kept.
    std::size_t arrived() const {
        while (ready_ < due_.size() && static_cast<int32_t>(clock_.t - due_[ready_].at) >= 0)
            ++ready_;
        return ready_;
    }
    uint8_t take() {
        const uint8_t b = due_.front().byte;
        due_.pop_front();
        --ready_;
        return b;
    }
    void dropArrived() {
        due_.erase(due_.begin(), due_.begin() + static_cast<std::ptrdiff_t>(arrived()));
        ready_ = 0;
    }
    // Sleeps until the next byte is due, at most maxMs.
    void wait(unsigned maxMs) {
        if (!due_.empty()) {
            const auto until = static_cast<int32_t>(due_.front().at - clock_.t);
            if (until <= 0)
                return;
            if (until <= static_cast<int32_t>(maxMs)) {
                clock_.t = due_.front().at;
                return;
            }
        }
        clock_.t += maxMs;
    }

private:
    struct Due {
        uint32_t at;
        uint8_t byte;
    };
    FakeClock& clock_;
    std::deque<Due> due_;
    mutable std::size_t ready_ = 0;

    uint8_t next() {
        if (script.empty())
            return 0;
        const uint8_t b = script.front();
        script = script.subspan(1);
        return b;
    }
};

class Bridge : public FtdiDriver {
public:
    explicit Bridge(Line& line) : line_(line) {}
    FT_STATUS FT_Open(int, FT_HANDLE* h) override {
        *h = this;
        return FT_OK;
    }
    FT_STATUS FT_Close(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetBaudRate(FT_HANDLE, unsigned long) override { return FT_OK; }
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, uint8_t, uint8_t, uint8_t) override { return FT_OK; }
    FT_STATUS FT_SetFlowControl(FT_HANDLE, uint16_t, uint8_t, uint8_t) override { return FT_OK; }
    FT_STATUS FT_Purge(FT_HANDLE, unsigned long) override {
        ++line_.purges;
        line_.dropArrived();
        return FT_OK;
    }
    FT_STATUS FT_SetTimeouts(FT_HANDLE, unsigned long, unsigned long) override { return FT_OK; }
    FT_STATUS FT_SetDtr(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetRts(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetBreakOff(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_Write(FT_HANDLE, const void*, unsigned long n, unsigned long* w) override {
        *w = n;
        line_.answerWrite();
        return FT_OK;
    }
    FT_STATUS FT_GetStatus(FT_HANDLE, unsigned long* rx, unsigned long* tx, unsigned long* ev) override {
        *rx = static_cast<unsigned long>(line_.arrived());
        *tx = *ev = 0;
        return FT_OK;
    }
    FT_STATUS FT_Read(FT_HANDLE, void* buf, unsigned long n, unsigned long* got) override {
        auto* out = static_cast<uint8_t*>(buf);
        *got = 0;
        for (std::size_t a = line_.arrived(); *got < n && a > 0; --a)
            out[(*got)++] = line_.take();
        return FT_OK;
    }
    void WaitRx(FT_HANDLE, unsigned maxMs) override { line_.wait(maxMs); }

private:
    Line& line_;
};

class Port : public ComPort {
public:
    explicit Port(Line& line) : line_(line) {}
    bool open() override { return true; }
    void close() override {}
    void clearInput() override {
        ++line_.purges;
        line_.dropArrived();
    }
    void clearOutput() override {}
    int inBufferCount() const override { return static_cast<int>(line_.arrived()); }
    QByteArray input(int max) override {
        QByteArray out;
        for (std::size_t a = line_.arrived(); out.size() < max && a > 0; --a)
            out += static_cast<char>(line_.take());
        return out;
    }
    void output(const QByteArray&) override { line_.answerWrite(); }

private:
    Line& line_;
};

// The windows' side: in COM mode, waiting runs the port's receive event.
class Host : public LinkHost {
public:
    Host(Line& line, Link& link) : line_(line), link_(link) {}
    bool gate = false;
    int lost = 0;
    bool SendGateOpen() override { return gate; }
    void OnLinkLost() override { ++lost; }
    void PumpEvents(int maxMs) override {
        line_.wait(static_cast<unsigned>(maxMs));
        if (line_.arrived() > 0) {
            link_.SerialObj->OnCommProc(ComPort::EvReceive + 1); // other events are ignored
            link_.SerialObj->OnCommProc(ComPort::EvReceive);
        }
    }
    void SetConnectChannel(const QString&) override {}
    MsgResult ShowMessage(const MsgBox&) override { return MsgResult::Ok; }
    void KnobLevelsRead(int) override {}
    void MemNoRead(int) override {}
    void BankProgress(int) override {}

private:
    Line& line_;
    Link& link_;
};

constexpr int Waits[] = {300, 500, 1100, 3300};
// What an attempt may run past its deadline: the last sleep and a few looks
// at the clock.
constexpr uint32_t SlackMs = 64;

void Check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FakeClock clock;
    static Line line(clock);
    static Bridge bridge(line);
    static Port port(line);
    static Link link;
    static Host host(line, link);
    static bool made = [] {
        link.SerialObj = std::make_unique<Serial>(link, host, clock, bridge);
        link.SerialObj->SetMSComm(&port);
        return true;
    }();
    (void)made;
    if (size < 3)
        return 0;

    const uint8_t flags = data[0];
    const bool com = flags & 1;
    const int wait = Waits[flags >> 3 & 3];
    clock.step = flags >> 5 & 3;
    clock.t = 0xFFFFF000u + data[1] * 16u;
    const int messages = data[2] % 4 + 1;
    line.reset(std::span<const uint8_t>(data + 3, size - 3));

    Serial& serial = *link.SerialObj;
    serial.SetSerialMode(com ? 1 : 0);
    Check(serial.PortOpen());

    for (int m = 0; m < messages; ++m) {
        const bool online = flags & 2;
        link.OnLine = online;
        host.gate = flags & 4;
        host.lost = 0;
        line.writes = line.purges = 0;
        const int before = serial.GetRxOK();
        const uint8_t body[] = {'I', 'L', 0, uint8_t(m + 1), 0};
        const uint32_t start = clock.t;
        link.SendCommand(body, sizeof body, wait);
        const uint32_t took = clock.t - start;

        if (!online && !host.gate) {
            Check(line.writes == 0 && serial.GetRxOK() == before);
            continue;
        }
        const bool replied = serial.GetRxOK() != 0;
        Check(line.writes >= 1 && line.writes <= 3);
        Check(line.purges == line.writes);
        Check(replied || line.writes == (wait == Serial::ProbeWait ? 1 : 3));
        Check(wait != Serial::ProbeWait || line.writes == 1);
        Check(took <= static_cast<uint32_t>(line.writes) * (static_cast<uint32_t>(wait) + SlackMs));
        Check(host.lost == (online && !replied ? 1 : 0));
        Check(link.OnLine == (online && replied));
        Check(link.SendBusy == 0);
    }
    return 0;
}
