#pragma once

#include "platform/FtdiDriver.h"

#include <deque>

struct ftdi_context;

// Real FTDI bridges through libftdi1 (over libusb). While the device is
// open libftdi detaches the kernel's serial driver from it.
class LibFtdiDriver final : public FtdiDriver {
public:
    LibFtdiDriver() = default;
    ~LibFtdiDriver() override;
    LibFtdiDriver(const LibFtdiDriver&) = delete;
    LibFtdiDriver& operator=(const LibFtdiDriver&) = delete;

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
    FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, unsigned long count, unsigned long* written) override;
    FT_STATUS FT_GetStatus(FT_HANDLE handle, unsigned long* rxQueue, unsigned long* txQueue,
                           unsigned long* events) override;
    FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, unsigned long count, unsigned long* read) override;
    void WaitRx(FT_HANDLE handle, unsigned maxMs) override;

private:
    ftdi_context* ctx_ = nullptr;
    // Bytes fetched from the device and not yet read by the caller.
    std::deque<uint8_t> rx_;
    unsigned char savedLatency_ = 16;
    uint8_t wordLength_ = 8, stopBits_ = 0, parity_ = 0;

    bool valid(FT_HANDLE handle) const { return ctx_ && handle == ctx_; }
    // One bulk read from the device into rx_; false on a USB error.
    bool fetch();
    // Word length, stop bits and parity as last set, no break.
    FT_STATUS lineProperty();
};
