#include "sim/SimUnit.h"

#include <algorithm>

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

} // namespace

int64_t SimUnit::UsOf(uint32_t nowMs) const {
    const int64_t refMs = FloorDiv(lastUs_, 1000);
    return (refMs + int32_t(nowMs - uint32_t(refMs))) * 1000;
}

void SimUnit::Saw(int64_t nowUs) {
    if (!seen_ || nowUs > lastUs_)
        lastUs_ = nowUs;
    seen_ = true;
}

void SimUnit::ExpireCut(int64_t nowUs) {
    if (parser_.InFrame() && nowUs - lastRxUs_ > CutGapUs)
        malformed_.append(parser_.Abandon());
}

void SimUnit::ReceiveUs(const uint8_t* data, size_t n, int64_t nowUs) {
    Saw(nowUs);
    ExpireCut(nowUs);
    if (n > 0)
        lastRxUs_ = nowUs;
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
    if (frame.skipped > 0) {
        malformed_.append(frame.raw);
        return;
    }
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

size_t SimUnit::AvailableUs(int64_t nowUs) const {
    // From the count last found, forward or back: a clock that only goes on
    // looks at each byte about once.
    while (due_ < out_.size() && out_[due_].atUs <= nowUs)
        ++due_;
    while (due_ > 0 && out_[due_ - 1].atUs > nowUs)
        --due_;
    return due_;
}

size_t SimUnit::TakeUs(uint8_t* out, size_t max, int64_t nowUs) {
    Saw(nowUs);
    ExpireCut(nowUs);
    const size_t n = std::min(max, AvailableUs(nowUs));
    for (size_t i = 0; i < n; ++i)
        out[i] = out_[i].byte;
    out_.erase(out_.begin(), out_.begin() + std::ptrdiff_t(n));
    due_ -= n;
    return n;
}

std::optional<int64_t> SimUnit::NextByteTimeUs() const {
    if (out_.empty())
        return std::nullopt;
    return out_.front().atUs;
}

std::optional<uint32_t> SimUnit::NextByteTime() const {
    if (out_.empty())
        return std::nullopt;
    // Rounded up: at that millisecond the byte is there.
    return uint32_t(-FloorDiv(-out_.front().atUs, 1000));
}

void SimUnit::Purge() {
    out_.clear();
    due_ = 0;
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
    malformed_.clear();
    answered_ = 0;
    model_.clearRequests();
}
