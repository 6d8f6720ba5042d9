#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <optional>

// Cuts request frames out of the byte stream the unit hears:
// 0x01, LEN (high, low), LEN body bytes, 0x02. Bytes outside a frame are
// skipped; a LEN the unit could never take (0 or above 1025) means the 0x01
// was not a frame start, so the search resumes just after it.
class FrameParser {
public:
    static constexpr uint8_t Start = 0x01;
    static constexpr uint8_t End = 0x02;
    static constexpr int MaxBody = 1025;

    struct Frame {
        QByteArray body;
        // Every byte from the 0x01 to the 0x02, including any skipped
        // between body and 0x02.
        QByteArray raw;
        // Bytes skipped between body and 0x02: the frame was not whole
        // (its tail cut, another frame run into it).
        int skipped = 0;
    };

    // Takes one byte; returns the frame it completes, if any.
    std::optional<Frame> Push(uint8_t byte);
    // Takes a run of bytes; returns the frames completed in order.
    QList<Frame> Feed(const QByteArray& bytes);

    // True while between a 0x01 and its frame's end.
    bool InFrame() const { return state_ != State::Hunt; }
    void Reset();
    // Gives up the frame begun: its bytes so far, and the search resumes.
    QByteArray Abandon();

private:
    enum class State { Hunt, LenHigh, LenLow, Body, Trailer };

    State state_ = State::Hunt;
    int len_ = 0;
    int skipped_ = 0;
    QByteArray body_;
    QByteArray raw_;
};
