#include "platform/LibFtdiDriver.h"

#include <chrono>
#include <ftdi.h>

namespace {

// The bridge holds a short packet up to its latency timer before sending it
// to the host (16 ms by default); 1 ms keeps short replies from waiting.
constexpr unsigned char ReplyLatencyMs = 1;

ftdi_bits_type Bits(uint8_t n) {
    return n == 7 ? BITS_7 : BITS_8;
}

ftdi_stopbits_type StopBits(uint8_t code) {
    return code == 2 ? STOP_BIT_2 : STOP_BIT_1;
}

ftdi_parity_type Parity(uint8_t code) {
    switch (code) {
    case 1:
        return ODD;
    case 2:
        return EVEN;
    case 3:
        return MARK;
    case 4:
        return SPACE;
    default:
        return NONE;
    }
}

} // namespace

LibFtdiDriver::~LibFtdiDriver() {
    if (ctx_)
        FT_Close(ctx_);
}

FT_STATUS LibFtdiDriver::FT_Open(int deviceNumber, FT_HANDLE* handle) {
    if (ctx_)
        return FT_DEVICE_NOT_OPENED;
    ftdi_context* ctx = ftdi_new();
    if (!ctx)
        return FT_IO_ERROR;
    ftdi_device_list* list = nullptr;
    const int found = ftdi_usb_find_all(ctx, &list, 0, 0);
    ftdi_device_list* dev = list;
    for (int i = 0; dev && i < deviceNumber; ++i)
        dev = dev->next;
    const bool opened = found > 0 && dev && ftdi_usb_open_dev(ctx, dev->dev) == 0;
    ftdi_list_free(&list);
    if (!opened) {
        ftdi_free(ctx);
        return FT_DEVICE_NOT_FOUND;
    }
    ctx_ = ctx;
    rx_.clear();
    if (ftdi_get_latency_timer(ctx_, &savedLatency_) != 0)
        savedLatency_ = 16;
    ftdi_set_latency_timer(ctx_, ReplyLatencyMs);
    *handle = ctx_;
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_Close(FT_HANDLE handle) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    ftdi_set_latency_timer(ctx_, savedLatency_);
    const int r = ftdi_usb_close(ctx_);
    ftdi_free(ctx_);
    ctx_ = nullptr;
    rx_.clear();
    return r == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::FT_SetBaudRate(FT_HANDLE handle, unsigned long baud) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    return ftdi_set_baudrate(ctx_, static_cast<int>(baud)) == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::lineProperty() {
    return ftdi_set_line_property2(ctx_, Bits(wordLength_), StopBits(stopBits_), Parity(parity_), BREAK_OFF) == 0
               ? FT_OK
               : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::FT_SetDataCharacteristics(FT_HANDLE handle, uint8_t wordLength, uint8_t stopBits,
                                                   uint8_t parity) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    wordLength_ = wordLength;
    stopBits_ = stopBits;
    parity_ = parity;
    return lineProperty();
}

FT_STATUS LibFtdiDriver::FT_SetFlowControl(FT_HANDLE handle, uint16_t flow, uint8_t, uint8_t) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    return ftdi_setflowctrl(ctx_, flow) == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::FT_Purge(FT_HANDLE handle, unsigned long mask) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    int r = 0;
    if (mask & FT_PURGE_RX) {
        rx_.clear();
        r |= ftdi_tciflush(ctx_);
    }
    if (mask & FT_PURGE_TX)
        r |= ftdi_tcoflush(ctx_);
    return r == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::FT_SetTimeouts(FT_HANDLE handle, unsigned long readMs, unsigned long writeMs) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    ctx_->usb_read_timeout = static_cast<int>(readMs);
    ctx_->usb_write_timeout = static_cast<int>(writeMs);
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_SetDtr(FT_HANDLE handle) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    return ftdi_setdtr(ctx_, 1) == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::FT_SetRts(FT_HANDLE handle) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    return ftdi_setrts(ctx_, 1) == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS LibFtdiDriver::FT_SetBreakOff(FT_HANDLE handle) {
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    return lineProperty();
}

FT_STATUS LibFtdiDriver::FT_Write(FT_HANDLE handle, const void* buffer, unsigned long count,
                                  unsigned long* written) {
    *written = 0;
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    const int r = ftdi_write_data(ctx_, static_cast<const unsigned char*>(buffer), static_cast<int>(count));
    if (r < 0)
        return FT_IO_ERROR;
    *written = static_cast<unsigned long>(r);
    return FT_OK;
}

bool LibFtdiDriver::fetch() {
    unsigned char buf[512];
    const int r = ftdi_read_data(ctx_, buf, sizeof buf);
    if (r < 0)
        return false;
    rx_.insert(rx_.end(), buf, buf + r);
    return true;
}

FT_STATUS LibFtdiDriver::FT_GetStatus(FT_HANDLE handle, unsigned long* rxQueue, unsigned long* txQueue,
                                      unsigned long* events) {
    *rxQueue = *txQueue = *events = 0;
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    if (rx_.empty() && !fetch())
        return FT_IO_ERROR;
    *rxQueue = static_cast<unsigned long>(rx_.size());
    return FT_OK;
}

FT_STATUS LibFtdiDriver::FT_Read(FT_HANDLE handle, void* buffer, unsigned long count, unsigned long* read) {
    *read = 0;
    if (!valid(handle))
        return FT_INVALID_HANDLE;
    auto* out = static_cast<unsigned char*>(buffer);
    while (*read < count && !rx_.empty()) {
        out[(*read)++] = rx_.front();
        rx_.pop_front();
    }
    return FT_OK;
}

// Each bulk read returns when the bridge sends its next packet, at least
// once per latency period even when it has nothing, so this sleeps in the
// USB stack rather than spinning.
void LibFtdiDriver::WaitRx(FT_HANDLE handle, unsigned maxMs) {
    if (!valid(handle))
        return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    while (rx_.empty() && std::chrono::steady_clock::now() < until)
        if (!fetch())
            return;
}
