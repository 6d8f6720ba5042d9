#pragma once

#include "platform/FtdiDriver.h"

#include <QString>
#include <array>
#include <cstdint>

class ComPort;
class Link;
class LinkHost;
class MsClock;

// The one connection to the unit: the USB bridge through its driver, or a
// COM port. Sends a frame and waits for the reply frame, with retries, and
// steps the scan for the unit over USB, COM1 and COM2.
class Serial {
public:
    static constexpr int SendBufferSize = 256;
    static constexpr int RingSize = 2048;
    static constexpr int ProbeWait = 300;

    Serial(Link& link, LinkHost& host, MsClock& clock, FtdiDriver& ftdi);
    ~Serial();
    Serial(const Serial&) = delete;
    Serial& operator=(const Serial&) = delete;

    int GetRxOK() const { return mRxOK; }
    void DebugPrint(const QString&) {}
    void SetMSComm(ComPort* comm) { mComm = comm; }
    bool PortOpen();
    bool PortClose();
    // True when the frame went out and its reply came; GetRxOK keeps its
    // value when nothing went out.
    bool SendBuffer(const uint8_t* buf, int n);
    bool ReceiveBuffer();
    int SerialTimer() const;
    uint8_t ReceiveData();
    void OnCommProc(int event);
    void SetDebugMode(bool on) { mDebugMode = on; }
    void SetSerialMode(int mode) { mSerialMode = mode; }
    int IsSerialMode() const { return mSerialMode; }
    bool IsOpen() const { return mOpen; }
    void AllPortCheck();
    bool CheckPort();
    void SendDummy();
    bool IsDebugMode() const { return false; }

private:
    Link& link_;
    LinkHost& host_;
    MsClock& clock_;
    FtdiDriver& ftdi_;

    ComPort* mComm = nullptr;
    FT_HANDLE mHandle = nullptr;
    bool mOpen = false;
    std::array<uint8_t, RingSize> mRing{};
    int mRingWrite = 0;
    int mRingRead = 0;
    int mSerialMode = 0;
    bool mDebugMode = false;
    int mRxOK = 0;
    uint32_t mStartTime = 0;
    std::array<uint8_t, SendBufferSize> mSendBuf{};

    int remainingMs() const;
    // Takes one byte; false once the deadline has passed.
    bool take(uint8_t& byte);
};

// Closes the port at the end of the run.
void SerialClose(Link& link);
