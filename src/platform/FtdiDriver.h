#pragma once

#include <cstdint>

// The calls the link makes on the USB-serial bridge, in the vendor driver's
// terms: handles, status 0 for success. One implementation drives real
// bridges through libftdi1; the unit emulator offers another.

using FT_HANDLE = void*;
using FT_STATUS = unsigned long;

inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;

inline constexpr unsigned long FT_PURGE_RX = 1;
inline constexpr unsigned long FT_PURGE_TX = 2;
inline constexpr uint8_t FT_BITS_8 = 8;
inline constexpr uint8_t FT_STOP_BITS_1 = 0;
inline constexpr uint8_t FT_PARITY_NONE = 0;
inline constexpr uint16_t FT_FLOW_NONE = 0;

class FtdiDriver {
public:
    virtual ~FtdiDriver() = default;

    virtual FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* handle) = 0;
    virtual FT_STATUS FT_Close(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_SetBaudRate(FT_HANDLE handle, unsigned long baud) = 0;
    virtual FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, uint8_t wordLength, uint8_t stopBits,
                                                uint8_t parity) = 0;
    virtual FT_STATUS FT_SetFlowControl(FT_HANDLE handle, uint16_t flow, uint8_t xon, uint8_t xoff) = 0;
    virtual FT_STATUS FT_Purge(FT_HANDLE handle, unsigned long mask) = 0;
    virtual FT_STATUS FT_SetTimeouts(FT_HANDLE handle, unsigned long readMs, unsigned long writeMs) = 0;
    virtual FT_STATUS FT_SetDtr(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_SetRts(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_SetBreakOff(FT_HANDLE handle) = 0;
    virtual FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, unsigned long count,
                               unsigned long* written) = 0;
    virtual FT_STATUS FT_GetStatus(FT_HANDLE handle, unsigned long* rxQueue, unsigned long* txQueue,
                                   unsigned long* events) = 0;
    virtual FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, unsigned long count, unsigned long* read) = 0;

    // Blocks until a received byte is queued or maxMs have passed, so that a
    // reply wait sleeps in the driver instead of spinning on FT_GetStatus.
    virtual void WaitRx(FT_HANDLE handle, unsigned maxMs) = 0;
};
