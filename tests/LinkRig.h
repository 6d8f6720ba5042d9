#pragma once

// A link without hardware for the tests: a clock that moves when told, a
// bridge that holds exactly the bytes a test gives it, and a host whose
// send gate the test opens.

#include "link/LinkHost.h"
#include "platform/EventWait.h"
#include "platform/FtdiDriver.h"
#include "FakeClock.h"
#include "platform/MsClock.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

namespace testrig {

inline QByteArray Frame(const QByteArray& body) {
    QByteArray f;
    f += '\x01';
    f += static_cast<char>(body.size() / 256);
    f += static_cast<char>(body.size() & 255);
    return f + body + '\x02';
}

inline void Queue(std::deque<uint8_t>& q, const QByteArray& bytes) {
    for (char c : bytes)
        q.push_back(static_cast<uint8_t>(c));
}

// A bridge whose receive queue holds exactly the bytes a test puts there;
// waiting for more lets the fake clock run instead of sleeping.
class ScriptedFtdi : public FtdiDriver {
public:
    explicit ScriptedFtdi(FakeClock& clock) : clock_(clock) {}
    std::deque<uint8_t> rx;
    // Every frame written, and what answers it (nothing when unset or empty).
    QList<QByteArray> frames;
    std::function<QByteArray(const QByteArray& body)> answer;
    int writes = 0;
    int purges = 0;
    int closes = 0;

    FT_STATUS FT_Open(int, FT_HANDLE* h) override {
        *h = this;
        return FT_OK;
    }
    FT_STATUS FT_Close(FT_HANDLE) override {
        ++closes;
        return FT_OK;
    }
    FT_STATUS FT_SetBaudRate(FT_HANDLE, unsigned long) override { return FT_OK; }
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE, uint8_t, uint8_t, uint8_t) override { return FT_OK; }
    FT_STATUS FT_SetFlowControl(FT_HANDLE, uint16_t, uint8_t, uint8_t) override { return FT_OK; }
    FT_STATUS FT_Purge(FT_HANDLE, unsigned long) override {
        ++purges;
        return FT_OK;
    }
    FT_STATUS FT_SetTimeouts(FT_HANDLE, unsigned long, unsigned long) override { return FT_OK; }
    FT_STATUS FT_SetDtr(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetRts(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_SetBreakOff(FT_HANDLE) override { return FT_OK; }
    FT_STATUS FT_Write(FT_HANDLE, const void* b, unsigned long n, unsigned long* w) override {
        ++writes;
        *w = n;
        const QByteArray frame(static_cast<const char*>(b), static_cast<qsizetype>(n));
        frames.append(frame);
        const QByteArray reply = answer && frame.size() >= 4 ? answer(frame.mid(3, frame.size() - 4)) : QByteArray();
        if (!reply.isEmpty()) // an empty answer is silence
            Queue(rx, Frame(reply));
        return FT_OK;
    }
    FT_STATUS FT_GetStatus(FT_HANDLE, unsigned long* rxq, unsigned long* txq, unsigned long* ev) override {
        *rxq = static_cast<unsigned long>(rx.size());
        *txq = *ev = 0;
        return FT_OK;
    }
    FT_STATUS FT_Read(FT_HANDLE, void* buf, unsigned long n, unsigned long* got) override {
        *got = 0;
        auto* out = static_cast<uint8_t*>(buf);
        while (*got < n && !rx.empty()) {
            out[(*got)++] = rx.front();
            rx.pop_front();
        }
        return FT_OK;
    }
    void WaitRx(FT_HANDLE, unsigned maxMs) override { clock_.t += maxMs; }

private:
    FakeClock& clock_;
};

class FakeHost : public LinkHost {
public:
    bool gate = false;
    int lost = 0;
    QStringList channel;
    bool SendGateOpen() override { return gate; }
    void OnLinkLost() override { ++lost; }
    void PumpEvents(int maxMs) override { WaitForEvents(maxMs); }
    void SetConnectChannel(const QString& text) override { channel.append(text); }
    QList<MsgBox> messages;
    MsgResult ShowMessage(const MsgBox& box) override {
        messages.append(box);
        return MsgResult::Ok;
    }
    QList<int> knobSides;
    void KnobLevelsRead(int side) override { knobSides.append(side); }
    QList<int> memNos;
    void MemNoRead(int memNo) override { memNos.append(memNo); }
    QList<int> progress;
    // Runs at each progress step; a test may cancel a transfer here.
    std::function<void(int)> onProgress;
    void BankProgress(int m) override {
        progress.append(m);
        if (onProgress)
            onProgress(m);
    }
};

} // namespace testrig
