#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

class CodePage;
class MsClock;

// Busy-waits ms milliseconds on the clock; nothing else runs meanwhile.
void TimeWait(MsClock& clock, uint32_t ms);

// The wait that lets window events run: it lasts whole ticks of the start
// window's 100 ms timer, which counts WaitTick down through Tick().
class TickWait {
public:
    int WaitTick = 0;

    // Runs pending events (timers included), blocking until at least one
    // has come; the window layer or a test may put its own in.
    std::function<void()> pumpEvents;
    // Told true as a pause begins and false as it ends: the window layer
    // holds the user's input back meanwhile.
    std::function<void(bool)> pausing;

    TickWait();
    void TimerWait(int ms);
    void Tick();
    // ms / 100 rounded to the nearest whole number, a half to the even one.
    static int TicksFor(int ms);
};

// Names travel to and from the unit as bytes of the ANSI code page.
// b holds the text and a zero after it; at most bytes 0..200 are examined.
// A byte sequence without a character gives the empty text; a lead byte
// followed by the terminating zero (a field cut inside a character) ends
// the text before it.
QString ByteToStr(const CodePage& cp, std::span<const uint8_t> b);
// Zeroes b, then copies as many of the text's bytes as fit.
void StrToByte(const CodePage& cp, const QString& s, std::span<uint8_t> b);
// The text cut to at most n bytes; a double-byte character split by the cut
// becomes one blank, so the result is still n bytes long.
QString LeftByteStr(const CodePage& cp, const QString& s, int n);

bool FileExist(const QString& path);

constexpr uint8_t MaxByte(uint8_t a, uint8_t b) { return a < b ? b : a; }
constexpr uint8_t MinByte(uint8_t a, uint8_t b) { return a < b ? a : b; }
constexpr int16_t MinInt(int16_t a, int16_t b) { return a < b ? a : b; }
// v held within lo..hi, the upper bound first, as every reader clamps.
constexpr uint8_t ClampByte(uint8_t v, uint8_t lo, uint8_t hi) { return MaxByte(MinByte(v, hi), lo); }
