#include "sim/SimFtdiDriver.h"

#include <algorithm>
#include <chrono>
#include <thread>

SimFtdiDriver::SimFtdiDriver(MsClock& clock, bool sleeps) : clock_(clock), sleeps_(sleeps) {}

FT_STATUS SimFtdiDriver::Check(FT_HANDLE handle) const {
    if (!open_ || handle != &handleTag_)
        return FT_INVALID_HANDLE;
    if (!present_)
        return FT_IO_ERROR;
    return FT_OK;
}

bool SimFtdiDriver::LineOk() const {
    return baud_ == 38400 && wordLength_ == FT_BITS_8 && stopBits_ == FT_STOP_BITS_1 &&
           parity_ == FT_PARITY_NONE;
}

void SimFtdiDriver::clearCalls() {
    calls_.clear();
    getStatusCalls_ = waitRxCalls_ = 0;
}

FT_STATUS SimFtdiDriver::FT_Open(int deviceNumber, FT_HANDLE* handle) {
    calls_ << QStringLiteral("FT_Open %1").arg(deviceNumber);
    if (!present_ || deviceNumber != 0)
        return FT_DEVICE_NOT_FOUND;
    if (open_)
        return FT_DEVICE_NOT_OPENED; // one user at a time
    open_ = true;
    baud_ = 9600;
    wordLength_ = FT_BITS_8;
    stopBits_ = FT_STOP_BITS_1;
    parity_ = FT_PARITY_NONE;
    *handle = &handleTag_;
    return FT_OK;
}

FT_STATUS SimFtdiDriver::FT_Close(FT_HANDLE handle) {
    calls_ << QStringLiteral("FT_Close");
    if (!open_ || handle != &handleTag_)
        return FT_INVALID_HANDLE;
    open_ = false;
    return closeFails_ ? FT_IO_ERROR : FT_OK;
}

FT_STATUS SimFtdiDriver::FT_SetBaudRate(FT_HANDLE handle, unsigned long baud) {
    calls_ << QStringLiteral("FT_SetBaudRate %1").arg(baud);
    const FT_STATUS s = Check(handle);
    if (s == FT_OK)
        baud_ = baud;
    return s;
}

FT_STATUS SimFtdiDriver::FT_SetDataCharacteristics(FT_HANDLE handle, uint8_t wordLength, uint8_t stopBits,
                                                   uint8_t parity) {
    calls_ << QStringLiteral("FT_SetDataCharacteristics %1 %2 %3").arg(wordLength).arg(stopBits).arg(parity);
    const FT_STATUS s = Check(handle);
    if (s == FT_OK) {
        wordLength_ = wordLength;
        stopBits_ = stopBits;
        parity_ = parity;
    }
    return s;
}

FT_STATUS SimFtdiDriver::FT_SetFlowControl(FT_HANDLE handle, uint16_t flow, uint8_t xon, uint8_t xoff) {
    calls_ << QStringLiteral("FT_SetFlowControl %1 %2 %3").arg(flow).arg(xon).arg(xoff);
    return Check(handle);
}

FT_STATUS SimFtdiDriver::FT_Purge(FT_HANDLE handle, unsigned long mask) {
    calls_ << QStringLiteral("FT_Purge %1").arg(mask);
    const FT_STATUS s = Check(handle);
    // Writes reach the unit at once, so there is never anything to purge
    // on the way out.
    if (s == FT_OK && (mask & FT_PURGE_RX))
        unit_.Purge();
    return s;
}

FT_STATUS SimFtdiDriver::FT_SetTimeouts(FT_HANDLE handle, unsigned long readMs, unsigned long writeMs) {
    calls_ << QStringLiteral("FT_SetTimeouts %1 %2").arg(readMs).arg(writeMs);
    return Check(handle);
}

FT_STATUS SimFtdiDriver::FT_SetDtr(FT_HANDLE handle) {
    calls_ << QStringLiteral("FT_SetDtr");
    return Check(handle);
}

FT_STATUS SimFtdiDriver::FT_SetRts(FT_HANDLE handle) {
    calls_ << QStringLiteral("FT_SetRts");
    return Check(handle);
}

FT_STATUS SimFtdiDriver::FT_SetBreakOff(FT_HANDLE handle) {
    calls_ << QStringLiteral("FT_SetBreakOff");
    return Check(handle);
}

FT_STATUS SimFtdiDriver::FT_Write(FT_HANDLE handle, const void* buffer, unsigned long count,
                                  unsigned long* written) {
    calls_ << QStringLiteral("FT_Write %1").arg(count);
    if (written)
        *written = 0;
    const FT_STATUS s = Check(handle);
    if (s != FT_OK)
        return s;
    if (LineOk())
        unit_.Receive(static_cast<const uint8_t*>(buffer), count, clock_.now());
    if (written)
        *written = count;
    return FT_OK;
}

FT_STATUS SimFtdiDriver::FT_GetStatus(FT_HANDLE handle, unsigned long* rxQueue, unsigned long* txQueue,
                                      unsigned long* events) {
    ++getStatusCalls_;
    const FT_STATUS s = Check(handle);
    const unsigned long rx = s == FT_OK ? unit_.Available(clock_.now()) : 0;
    if (rxQueue)
        *rxQueue = rx;
    if (txQueue)
        *txQueue = 0;
    if (events)
        *events = 0;
    return s;
}

FT_STATUS SimFtdiDriver::FT_Read(FT_HANDLE handle, void* buffer, unsigned long count, unsigned long* read) {
    if (read)
        *read = 0;
    const FT_STATUS s = Check(handle);
    if (s != FT_OK)
        return s;
    const size_t n = unit_.Take(static_cast<uint8_t*>(buffer), count, clock_.now());
    if (read)
        *read = n;
    return FT_OK;
}

void SimFtdiDriver::WaitRx(FT_HANDLE handle, unsigned maxMs) {
    ++waitRxCalls_;
    if (!sleeps_ || Check(handle) != FT_OK)
        return;
    const uint32_t start = clock_.now();
    for (;;) {
        const uint32_t now = clock_.now();
        if (unit_.Available(now) > 0)
            return;
        const uint32_t spent = ElapsedMs(start, now);
        if (spent >= maxMs)
            return;
        uint32_t wait = maxMs - spent;
        if (const auto next = unit_.NextByteTime())
            wait = std::min(wait, uint32_t(std::max<int32_t>(int32_t(*next - now), 1)));
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
}
