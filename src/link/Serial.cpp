#include "link/Serial.h"

#include "link/Link.h"
#include "link/LinkHost.h"
#include "platform/ComPort.h"
#include "platform/MsClock.h"

#include <algorithm>

namespace {

constexpr int StartByte = 0x01;
constexpr int EndByte = 0x02;
constexpr int Attempts = 3;

} // namespace

Serial::Serial(Link& link, LinkHost& host, MsClock& clock, FtdiDriver& ftdi)
    : link_(link), host_(host), clock_(clock), ftdi_(ftdi) {}

Serial::~Serial() {
    if (mOpen)
        PortClose();
}

bool Serial::PortOpen() {
    if (mOpen)
        PortClose();
    if (mSerialMode == 0) {
        if (ftdi_.FT_Open(0, &mHandle) != FT_OK)
            return false;
        ftdi_.FT_SetBaudRate(mHandle, 38400);
        ftdi_.FT_SetDataCharacteristics(mHandle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE);
        ftdi_.FT_SetFlowControl(mHandle, FT_FLOW_NONE, 0, 0);
        ftdi_.FT_Purge(mHandle, FT_PURGE_RX | FT_PURGE_TX);
        ftdi_.FT_SetTimeouts(mHandle, 1500, 5000);
        ftdi_.FT_SetDtr(mHandle);
        ftdi_.FT_SetRts(mHandle);
        ftdi_.FT_SetBreakOff(mHandle);
    } else {
        if (!mComm || !mComm->open())
            return false;
        mComm->clearInput();
        mComm->clearOutput();
    }
    mOpen = true;
    return true;
}

bool Serial::PortClose() {
    if (!mOpen)
        return true;
    if (mSerialMode == 0) {
        if (ftdi_.FT_Close(mHandle) != FT_OK)
            return false;
    } else if (mComm) {
        mComm->close();
    }
    mOpen = false;
    return true;
}

bool Serial::SendBuffer(const uint8_t* buf, int n) {
    if (n <= 0 || n > SendBufferSize)
        return false;
    std::copy(buf, buf + n, mSendBuf.begin());
    if (!mOpen)
        return false;
    if (!host_.SendGateOpen() && !link_.OnLine)
        return false;

    bool answered = false;
    host_.ReplyWait(true);
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        if (mSerialMode == 0) {
            unsigned long written = 0;
            ftdi_.FT_Purge(mHandle, FT_PURGE_RX | FT_PURGE_TX);
            ftdi_.FT_Write(mHandle, mSendBuf.data(), static_cast<unsigned long>(n), &written);
        } else {
            // Whatever a late reply left behind is not the answer to this one.
            mRingRead = mRingWrite;
            if (mComm) {
                mComm->clearInput();
                mComm->output(QByteArray(reinterpret_cast<const char*>(mSendBuf.data()), n));
            }
        }
        answered = ReceiveBuffer();
        mRxOK = answered ? -1 : 0;
        if (answered || link_.RxWait == ProbeWait)
            break;
    }
    host_.ReplyWait(false);

    if (!answered && link_.OnLine) {
        link_.OnLine = false;
        host_.OnLinkLost();
    }
    return answered;
}

int Serial::remainingMs() const {
    const auto elapsed = static_cast<int32_t>(clock_.now() - mStartTime);
    return link_.RxWait - elapsed;
}

int Serial::SerialTimer() const { return remainingMs() >= 0 ? 1 : 0; }

uint8_t Serial::ReceiveData() {
    for (;;) {
        if (mSerialMode == 0) {
            unsigned long rx = 0, tx = 0, events = 0;
            if (ftdi_.FT_GetStatus(mHandle, &rx, &tx, &events) == FT_OK && rx > 0) {
                uint8_t byte = 0;
                unsigned long got = 0;
                if (ftdi_.FT_Read(mHandle, &byte, 1, &got) == FT_OK && got == 1)
                    return byte;
            }
        }
        if (mRingRead != mRingWrite) {
            const uint8_t byte = mRing[static_cast<std::size_t>(mRingRead)];
            mRingRead = (mRingRead + 1) % RingSize;
            return byte;
        }
        const int remaining = remainingMs();
        if (remaining < 0)
            return 0;
        // Sleep until a byte comes or the deadline passes, never spin: in
        // the driver for USB (no window messages run), in the event loop
        // for a COM port (its receive event fills the ring).
        if (mSerialMode == 0)
            ftdi_.WaitRx(mHandle, static_cast<unsigned>(remaining) + 1);
        else
            host_.PumpEvents(remaining + 1);
    }
}

bool Serial::take(uint8_t& byte) {
    byte = ReceiveData();
    return SerialTimer() != 0;
}

// One frame within RxWait ms. A frame that cannot be a reply (an empty
// body, or one longer than RxBuf) is read past without storing it, and the
// wait goes on for a real one.
bool Serial::ReceiveBuffer() {
    mStartTime = clock_.now();
    uint8_t byte = 0;
    for (;;) {
        do {
            if (!take(byte))
                return false;
        } while (byte != StartByte);

        if (!take(byte))
            return false;
        int len = byte * 256;
        if (!take(byte))
            return false;
        len += byte;

        const bool fits = len > 0 && len <= static_cast<int>(link_.RxBuf.size());
        for (int index = 0; index < len; ++index) {
            if (!take(byte))
                return false;
            if (fits)
                link_.RxBuf[static_cast<std::size_t>(index)] = byte;
        }
        if (!fits)
            continue;

        do {
            if (!take(byte))
                return false;
        } while (byte != EndByte);
        return true;
    }
}

void Serial::OnCommProc(int event) {
    if (mSerialMode != 1 || event != ComPort::EvReceive || !mComm)
        return;
    const QByteArray bytes = mComm->input(mComm->inBufferCount());
    for (char c : bytes) {
        mRing[static_cast<std::size_t>(mRingWrite)] = static_cast<uint8_t>(c);
        mRingWrite = (mRingWrite + 1) % RingSize;
    }
}

void Serial::SendDummy() { SendNO(link_, 0, ProbeWait); }

bool Serial::CheckPort() {
    if (!PortOpen())
        return false;
    SendDummy();
    if (GetRxOK() == 0) {
        PortClose();
        return false;
    }
    return true;
}

void Serial::AllPortCheck() {
    if (link_.OnLine)
        return;
    host_.SetConnectChannel(QString());
    PortClose();
    if (link_.PortIndex == 0) {
        SetSerialMode(0);
    } else {
        SetSerialMode(1);
        if (mComm)
            mComm->setCommPort(link_.PortIndex);
    }
    if (CheckPort()) {
        link_.OnLine = true;
        host_.SetConnectChannel(link_.PortIndex == 0 ? QStringLiteral("USB Connect")
                                                     : QStringLiteral("COM(%1) Connect").arg(link_.PortIndex));
    } else {
        link_.PortIndex = (link_.PortIndex + 1) % 3;
    }
}

void SerialClose(Link& link) {
    if (link.SerialObj)
        link.SerialObj->PortClose();
}
