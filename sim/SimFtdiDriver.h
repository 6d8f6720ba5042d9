#pragma once

#include "platform/FtdiDriver.h"
#include "platform/MsClock.h"
#include "sim/SimUnit.h"

#include <QStringList>

// A USB-serial bridge with the unit on its far side, inside the process.
// One device (number 0). Every call except the polling ones (FT_GetStatus,
// FT_Read, WaitRx) is written to calls(); those are counted instead.
//
// The bridge opens at 9600 baud as real ones do. Bytes written while the
// line is not 38400 8N1 are garbage to the unit: it hears none of them.
// FT_Read never blocks; it returns what has arrived, at most count bytes.
// Pulling the device (setPresent(false)) while open makes every call on the
// handle but FT_Close fail with FT_IO_ERROR.
class SimFtdiDriver final : public FtdiDriver {
public:
    // sleeps: WaitRx sleeps on the real time until a byte is due. A test
    // whose clock moves on its own passes false: WaitRx then returns at once.
    explicit SimFtdiDriver(MsClock& clock, bool sleeps = true);

    FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* handle) override;
    FT_STATUS FT_Close(FT_HANDLE handle) override;
    FT_STATUS FT_SetBaudRate(FT_HANDLE handle, unsigned long baud) override;
    FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, uint8_t wordLength, uint8_t stopBits,
                                        uint8_t parity) override;
    FT_STATUS FT_SetFlowControl(FT_HANDLE handle, uint16_t flow, uint8_t xon, uint8_t xoff) override;
    FT_STATUS FT_Purge(FT_HANDLE handle, unsigned long mask) override;
    FT_STATUS FT_SetTimeouts(FT_HANDLE handle, unsigned long readMs, unsigned long writeMs) override;
    FT_STATUS FT_SetDtr(FT_HANDLE handle) override;
    FT_STATUS FT_SetRts(FT_HANDLE handle) override;
    FT_STATUS FT_SetBreakOff(FT_HANDLE handle) override;
    FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, unsigned long count,
                       unsigned long* written) override;
    FT_STATUS FT_GetStatus(FT_HANDLE handle, unsigned long* rxQueue, unsigned long* txQueue,
                           unsigned long* events) override;
    FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, unsigned long count, unsigned long* read) override;
    void WaitRx(FT_HANDLE handle, unsigned maxMs) override;

    SimUnit& unit() { return unit_; }

    // Plugged in (the default) or not.
    void setPresent(bool on) { present_ = on; }
    // FT_Close reports FT_IO_ERROR; the handle is released all the same.
    void setCloseFails(bool on) { closeFails_ = on; }

    bool isOpen() const { return open_; }
    unsigned long baudRate() const { return baud_; }

    QStringList calls() const { return calls_; }
    void clearCalls();
    int getStatusCalls() const { return getStatusCalls_; }
    int waitRxCalls() const { return waitRxCalls_; }

private:
    FT_STATUS Check(FT_HANDLE handle) const;
    bool LineOk() const;

    MsClock& clock_;
    const bool sleeps_;
    SimUnit unit_;

    bool present_ = true;
    bool closeFails_ = false;
    bool open_ = false;
    int handleTag_ = 0; // its address is the handle

    unsigned long baud_ = 9600;
    uint8_t wordLength_ = FT_BITS_8;
    uint8_t stopBits_ = FT_STOP_BITS_1;
    uint8_t parity_ = FT_PARITY_NONE;

    QStringList calls_;
    int getStatusCalls_ = 0;
    int waitRxCalls_ = 0;
};
