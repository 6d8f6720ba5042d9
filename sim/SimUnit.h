#pragma once

#include "sim/FrameParser.h"
#include "sim/UnitModel.h"

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

// The unit as seen from its serial line, without any transport: request
// bytes go in with the time they arrived, reply bytes come out when the line
// would have delivered them.
//
// Time is kept in microseconds. A caller with a fine clock passes it as an
// int64 microsecond count (the ...Us calls); one with the wrapping 32-bit
// millisecond tick passes that, taken as the same count in milliseconds cut
// to 32 bits (CLOCK_MONOTONIC serves as both). A millisecond tick must not
// jump by more than 24 days between calls.
//
// Faults apply per request frame and stay until changed or cleared.
// A dropped or silenced request never reaches the model (the unit did not
// hear it) but is still logged in rawFrames().
class SimUnit {
public:
    // 38400 baud, 8N1: ten bits on the wire per byte.
    static constexpr int64_t BytesPerSecond = 3840;
    // A frame's bytes follow each other on the line; a pause this long
    // inside one means its sender stopped: the frame was cut.
    static constexpr int64_t CutGapUs = 50'000;

    // Request bytes as they arrive; a completed frame is answered.
    void Receive(const uint8_t* data, size_t n, uint32_t nowMs) { ReceiveUs(data, n, UsOf(nowMs)); }
    void ReceiveUs(const uint8_t* data, size_t n, int64_t nowUs);
    // Reply bytes whose time has come and that are not yet taken.
    size_t Available(uint32_t nowMs) const { return AvailableUs(UsOf(nowMs)); }
    size_t AvailableUs(int64_t nowUs) const;
    // Takes up to max of the Available() bytes.
    size_t Take(uint8_t* out, size_t max, uint32_t nowMs) { return TakeUs(out, max, UsOf(nowMs)); }
    size_t TakeUs(uint8_t* out, size_t max, int64_t nowUs);
    // When the next untaken byte becomes available: the millisecond at
    // which it is there, or its exact microsecond.
    std::optional<uint32_t> NextByteTime() const;
    std::optional<int64_t> NextByteTimeUs() const;
    // Reply bytes not yet taken, whether their time has come or not.
    size_t Pending() const { return out_.size(); }
    // Drops every reply byte not yet taken, sent or still to come.
    void Purge();

    // Paced (the default): bytes follow each other at the line's rate, and a
    // reply starts only once the whole request could have arrived.
    // Unpaced: a reply is there as soon as its request is.
    void setPaced(bool on) { paced_ = on; }
    bool paced() const { return paced_; }

    // The next n requests get no reply.
    void dropReplies(int n) { drop_ = n; }
    // Extra time before every reply.
    void setReplyDelay(uint32_t ms) { delayMs_ = ms; }
    // Garbage bytes (never 0x01) sent ahead of every reply frame.
    void setNoise(int bytes) { noise_ = bytes; }
    // The next reply frame stops after k bytes.
    void cutNextReply(int k) { cut_ = k; }
    // n more requests are answered, then none until the faults are cleared.
    void silentAfter(int n) { silentIn_ = n; }
    void clearFaults();

    UnitModel& model() { return model_; }
    const UnitModel& model() const { return model_; }
    // Every whole request frame heard, byte for byte, oldest first.
    QList<QByteArray> rawFrames() const { return rawFrames_; }
    // Requests that got a reply (a cut one counts).
    int answered() const { return answered_; }
    // Request frames heard cut short or run into by other bytes, byte for
    // byte: none is answered, nor taken for part of the next.
    QList<QByteArray> malformedFrames() const { return malformed_; }
    void clearLogs();

private:
    struct OutByte {
        int64_t atUs;
        uint8_t byte;
    };

    // A millisecond tick widened to microseconds around the latest time seen.
    int64_t UsOf(uint32_t nowMs) const;
    void Saw(int64_t nowUs);
    static int64_t WireUs(int64_t bytes) { return (bytes * 1000000 + BytesPerSecond - 1) / BytesPerSecond; }

    void Answer(const FrameParser::Frame& frame, int64_t startUs, int64_t nowUs);
    // A frame begun whose bytes stopped coming is given up as cut.
    void ExpireCut(int64_t nowUs);
    void Queue(const QByteArray& bytes, int64_t earliestUs);
    QByteArray Noise(int n);

    FrameParser parser_;
    UnitModel model_;
    // Due times never fall along the queue; the first due_ bytes are known
    // to be due at the last time asked, which makes a check per byte cheap.
    std::deque<OutByte> out_;
    mutable size_t due_ = 0;
    int64_t lineFreeUs_ = INT64_MIN;
    int64_t frameStartUs_ = 0;
    int64_t lastRxUs_ = 0;

    int64_t lastUs_ = 0;
    bool seen_ = false;

    bool paced_ = true;
    int drop_ = 0;
    uint32_t delayMs_ = 0;
    int noise_ = 0;
    std::optional<int> cut_;
    std::optional<int> silentIn_;
    uint32_t noiseSeed_ = 0x2545F491u;

    QList<QByteArray> rawFrames_;
    QList<QByteArray> malformed_;
    int answered_ = 0;
};
