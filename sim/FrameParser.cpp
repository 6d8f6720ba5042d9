#include "sim/FrameParser.h"

void FrameParser::Reset() {
    state_ = State::Hunt;
    len_ = 0;
    skipped_ = 0;
    body_.clear();
    raw_.clear();
}

QByteArray FrameParser::Abandon() {
    const QByteArray raw = raw_;
    Reset();
    return raw;
}

std::optional<FrameParser::Frame> FrameParser::Push(uint8_t byte) {
    switch (state_) {
    case State::Hunt:
        if (byte == Start) {
            raw_.append(char(byte));
            state_ = State::LenHigh;
        }
        return std::nullopt;
    case State::LenHigh:
        raw_.append(char(byte));
        len_ = byte << 8;
        state_ = State::LenLow;
        return std::nullopt;
    case State::LenLow:
        raw_.append(char(byte));
        len_ |= byte;
        if (len_ == 0 || len_ > MaxBody) {
            // The length bytes may themselves hold the real start.
            const QByteArray again = raw_.mid(1);
            Reset();
            for (char c : again)
                Push(uint8_t(c)); // two bytes: cannot complete a frame
            return std::nullopt;
        }
        body_.reserve(len_);
        state_ = State::Body;
        return std::nullopt;
    case State::Body:
        raw_.append(char(byte));
        body_.append(char(byte));
        if (body_.size() == len_)
            state_ = State::Trailer;
        return std::nullopt;
    case State::Trailer:
        raw_.append(char(byte));
        if (byte != End) {
            ++skipped_;
            return std::nullopt;
        }
        Frame f{body_, raw_, skipped_};
        Reset();
        return f;
    }
    return std::nullopt;
}

QList<FrameParser::Frame> FrameParser::Feed(const QByteArray& bytes) {
    QList<Frame> out;
    for (char c : bytes)
        if (auto f = Push(uint8_t(c)))
            out.append(std::move(*f));
    return out;
}
