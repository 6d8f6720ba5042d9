#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <numbers>

// Value tables that turn the stored indices into shown values. They never
// change once the program runs.

inline constexpr std::array<double, 32> MicGainTbl{
    0,     -54,   -50,   -48,   -46,   -44,   -43, -42,   -41,   -40,   -39,
    -38,   -37.5, -37,   -36.5, -36,   -35.5, -35, -34.5, -34,   -33.5, -33.2,
    -32.8, -32.5, -32.2, -31.8, -31.5, -31.2, -30.8, -30.5, -30.2, -30};

// Entries 1..31 are the MIC gains plus 34 dB; entry 0 is never a valid trim.
inline constexpr std::array<double, 32> LineGainTbl{
    0,  -20,  -16, -14,  -12, -10,  -9,  -8,  -7,  -6,  -5,  -4,  -3.5, -3,  -2.5, -2,
    -1.5, -1, -0.5, 0,   0.5, 0.8,  1.2, 1.5, 1.8, 2.2, 2.5, 2.8, 3.2,  3.5, 3.8,  4};

// Level in dB for a level index; larger is quieter and 125.. is off.
inline constexpr double LevelOff = -999;

inline constexpr std::array<double, 128> LevelTbl = [] {
    std::array<double, 128> t{};
    for (int i = 0; i <= 6; ++i)
        t[i] = 10;
    constexpr double upper[] = {9, 8.1, 7.3, 6.5, 5.8, 5.2, 4.7, 4.2, 3.7, 3.2, 2.8, 2.4, 2.0};
    for (int i = 7; i <= 19; ++i)
        t[i] = upper[i - 7];
    // Whole tenths divided once, so each entry is the nearest double to its
    // one-decimal value.
    for (int i = 20; i <= 80; ++i)
        t[i] = (24 - i) * 4 / 10.0;
    constexpr double lower[] = {-22.9, -23.4, -23.9, -24.4, -24.9, -25.5, -26.1, -26.7, -27.3, -28.0, -28.7,
                                -29.4, -30.2, -31.0, -31.8, -32.7, -33.6, -34.5, -35.6, -36.7, -37.9, -39.1,
                                -40.4, -41.7, -43.1, -44.5, -46.0, -47.5, -49.1, -50.9, -52.9, -55.1, -57.6,
                                -60.6, -63.8, -66.4, -70.4, -74.4, -78.4, -83.4, -88.4, -94.4, -102.4, -111.4};
    for (int i = 81; i <= 124; ++i)
        t[i] = lower[i - 81];
    for (int i = 125; i <= 127; ++i)
        t[i] = LevelOff;
    return t;
}();

inline constexpr std::array<double, 61> EQGainTbl = [] {
    std::array<double, 61> t{};
    for (int i = 0; i < 61; ++i)
        t[i] = -15 + 0.5 * i;
    return t;
}();

inline constexpr std::array<int, 54> EQFreqTbl{
    40,   45,   50,   56,   63,   70,   80,   90,   100,  110,   125,   140,   160,   180,
    200,  220,  250,  280,  315,  360,  400,  450,  500,  560,   630,   700,   800,   900,
    1000, 1100, 1250, 1400, 1600, 1800, 2000, 2200, 2500, 2800,  3150,  3800,  4000,  4500,
    5000, 5600, 6300, 7000, 8000, 9000, 10000, 11000, 12500, 14000, 16000, 18000};

inline constexpr std::array<double, 24> EQQTbl{0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.3, 1.4, 1.5, 2.0,
                                               2.5, 3.0, 3.5, 4.0, 4.5, 5.0, 6,   7,   8,   9,   10,  12};

inline constexpr std::array<double, 47> BalTbl{
    -20.1, -19.6, -19.1, -18.6, -18.1, -17.6, -17.1, -16.6, -16.1, -15.6, -15.1, -14.6, -14.1, -13.6, -13.1, -12.6,
    -12.1, -11.6, -11.1, -10.6, -10.1, -9.6,  -9.2,  -8.8,  -8.4,  -8.0,  -7.6,  -7.2,  -6.8,  -6.4,  -6.0,  -5.6,
    -5.2,  -4.8,  -4.4,  -4.0,  -3.5,  -3.2,  -2.8,  -2.4,  -2.0,  -1.6,  -1.2,  -0.8,  -0.4,  -0.2,  0.0};

// Pointer angle in degrees of the drawn balance knob per slider position.
inline constexpr std::array<int, 94> KnobAngle = [] {
    std::array<int, 94> t{};
    int a = 132;
    for (int i = 0; i < 94; ++i) {
        t[i] = a >= 360 ? a - 360 : a;
        a += 3;
    }
    return t;
}();

// The entry of a table (or of the records) at an index that comes from
// stored data. A damaged value is held within the table, so that it shows a
// wrong entry instead of reading outside it.
template <typename Table>
constexpr auto& TableAt(Table& table, int index) {
    const int last = static_cast<int>(std::size(table)) - 1;
    return table[static_cast<std::size_t>(std::clamp(index, 0, last))];
}

inline constexpr double DegToRad = std::numbers::pi / 180;

inline constexpr std::array<const char*, 17> ChName{
    "MONO 1",   "MONO 2",   "MONO 3",   "MONO 4",    "MONO 5",    "MONO 6", "STEREO 1", "STEREO 2", "STEREO 3",
    "STEREO 4", "KL-VT20 1", "KL-VT20 2", "OUT 1", "OUT 2", "OUT 3",  "OUT 4",    "RECOUT"};

// Labels of pins 1..25 of the control connector; the blanks are part of them.
inline constexpr std::array<const char*, 25> PinName{
    "   GND", "   GND", "   IN1", "   IN2", "   IN3", "   IN4", "   IN5",     "   IN6",   "   IN7",
    "   IN8", "   GND", "   GND", "   GND", "  OUT1", "  OUT2", "  OUT3",     "  OUT4",   "  OUT5",
    "  OUT6", "  OUT7", "  OUT8", "   GND", "   GND", " PWR Hot ", "PWR Cold"};

// Output channel OUT 1..4 to its first output block, and back.
inline constexpr std::array<int, 4> ChToOut{0, 2, 4, 5};
inline constexpr std::array<int, 6> OutToCh{0, 0, 1, 1, 2, 3};

inline constexpr const char* VerStr = "Ver.1.00";
inline constexpr const char* VerStrEdit = "Ver.1.00 Parameter Edit";
inline constexpr const char* ProductName = "QDR318 Manager";
