#include "sim/SimUnit.h"

#include <algorithm>

void SimUnit::Advance(uint32_t nowMs) {
    if (!anchored_) {
        anchored_ = true;
        anchorMs_ = nowMs;
        anchorExtMs_ = 0;
        return;
    }
    const int32_t d = int32_t(nowMs - anchorMs_);
    if (d > 0) {
        anchorMs_ = nowMs;
        anchorExtMs_ += d;
    }
}

int64_t SimUnit::Us(uint32_t nowMs) const {
    if (!anchored_)
        return 0;
    return (anchorExtMs_ + int32_t(nowMs - anchorMs_)) * 1000;
}

void SimUnit::Receive(const uint8_t* data, size_t n, uint32_t nowMs) {
    Advance(nowMs);
    const int64_t nowUs = Us(nowMs);
    for (size_t i = 0; i < n; ++i) {
        const bool was = parser_.InFrame();
        auto frame = parser_.Push(data[i]);
        if (!was && parser_.InFrame())
            frameStartUs_ = nowUs;
        if (frame)
            Answer(*frame, frameStartUs_, nowUs);
    }
}

void SimUnit::Answer(const FrameParser::Frame& frame, int64_t startUs, int64_t nowUs) {
    rawFrames_.append(frame.raw);
    if (silentIn_) {
        if (*silentIn_ == 0)
            return;
        --*silentIn_;
    }
    if (drop_ > 0) {
        --drop_;
        return;
    }
    const auto reply = model_.Handle(frame.body);
    if (!reply)
        return;

    QByteArray wire = Noise(noise_);
    QByteArray f;
    f.reserve(reply->size() + 4);
    f.append(char(FrameParser::Start));
    f.append(char(reply->size() >> 8));
    f.append(char(reply->size() & 0xFF));
    f.append(*reply);
    f.append(char(FrameParser::End));
    if (cut_) {
        f.truncate(std::max(0, *cut_));
        cut_.reset();
    }
    wire.append(f);
    ++answered_;

    // The unit cannot start before the request has finished arriving.
    int64_t earliest = nowUs;
    if (paced_)
        earliest = std::max(earliest, startUs + WireUs(frame.raw.size()));
    Queue(wire, earliest + int64_t(delayMs_) * 1000);
}

void SimUnit::Queue(const QByteArray& bytes, int64_t earliestUs) {
    const int64_t start = std::max(earliestUs, lineFreeUs_);
    int64_t at = start;
    for (qsizetype k = 0; k < bytes.size(); ++k) {
        if (paced_)
            at = start + WireUs(k + 1);
        out_.push_back({at, uint8_t(bytes[k])});
    }
    if (!bytes.isEmpty())
        lineFreeUs_ = at;
}

void SimUnit::Inject(const QByteArray& bytes, uint32_t nowMs) {
    Advance(nowMs);
    Queue(bytes, Us(nowMs));
}

QByteArray SimUnit::Noise(int n) {
    QByteArray out;
    while (out.size() < n) {
        noiseSeed_ = noiseSeed_ * 1664525u + 1013904223u;
        const auto b = uint8_t(noiseSeed_ >> 24);
        if (b != FrameParser::Start)
            out.append(char(b));
    }
    return out;
}

size_t SimUnit::Available(uint32_t nowMs) const {
    const int64_t now = Us(nowMs);
    // Times rise along the queue.
    const auto due = std::find_if(out_.begin(), out_.end(), [&](const OutByte& b) { return b.atUs > now; });
    return size_t(due - out_.begin());
}

size_t SimUnit::Take(uint8_t* out, size_t max, uint32_t nowMs) {
    Advance(nowMs);
    const int64_t now = Us(nowMs);
    size_t n = 0;
    while (n < max && !out_.empty() && out_.front().atUs <= now) {
        out[n++] = out_.front().byte;
        out_.pop_front();
    }
    return n;
}

std::optional<uint32_t> SimUnit::NextByteTime() const {
    if (out_.empty())
        return std::nullopt;
    // Rounded up: at that millisecond the byte is there.
    const int64_t ms = (out_.front().atUs + 999) / 1000;
    return anchorMs_ + uint32_t(ms - anchorExtMs_);
}

void SimUnit::Purge() {
    out_.clear();
    lineFreeUs_ = INT64_MIN;
}

void SimUnit::clearFaults() {
    drop_ = 0;
    delayMs_ = 0;
    noise_ = 0;
    cut_.reset();
    silentIn_.reset();
}

void SimUnit::clearLogs() {
    rawFrames_.clear();
    answered_ = 0;
    model_.clearRequests();
}
