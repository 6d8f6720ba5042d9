#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The unit's parameter set. Every parameter is the one-byte index or flag
// that travels on the link; bytes 0..552 of a record are laid out exactly as
// the unit and the venue file see them.

// A 16-bit value stored low byte first, whatever the host.
struct U16LE {
    uint8_t lo = 0;
    uint8_t hi = 0;
    constexpr operator uint16_t() const { return static_cast<uint16_t>(lo | (hi << 8)); }
    constexpr U16LE& operator=(uint16_t v) {
        lo = static_cast<uint8_t>(v & 0xFF);
        hi = static_cast<uint8_t>(v >> 8);
        return *this;
    }
};

struct InBand {
    uint8_t EQGain; // 0..60 into EQGainTbl
    uint8_t EQFreq; // 0..53 into EQFreqTbl
    uint8_t EQQ;    // 0..23 into EQQTbl
};

// One input channel; Band[0] HIGH, Band[1] MID, Band[2] LOW.
struct InRec {
    uint8_t MicSel;   // 0 LINE, non-zero MIC
    uint8_t Trim;     // 1..31
    uint8_t EQEnable; // 0/1
    InBand Band[3];
    uint8_t RouteMask; // as read back; kept and filed only
    uint8_t HSOn;
    uint8_t VRLink;
    uint8_t Lock;
    uint8_t VRLevel; // 6..125, the unit's knob as reported
    uint8_t SignalOn;
    uint8_t PeakOn;
    uint8_t Fader; // 6..125
};

// One output block (OUT 1A, 1B, 2A, 2B, 3, 4, and a seventh never selected).
struct OutRec {
    U16LE Delay;       // ms, 0..300; 0 = off
    uint8_t DelayFlag; // read back and sent in front of the delay
    uint8_t EQEnable;
    uint8_t EQGain[6]; // 0..60
    uint8_t EQFreq[6]; // 0..53
    uint8_t EQQ[6];    // 0..23
    uint8_t EQType[6]; // 0 P.EQ, 1 HPF, 2 LPF, 3 L.Shelf, 4 H.Shelf
    uint8_t Balance;   // 0..46 into BalTbl
    uint8_t Mono;      // blocks 0, 1 only
    uint8_t VRLink;
    uint8_t Lock;
    uint8_t VRLevel;
    uint8_t Fader;
    uint8_t OutLamp34;
    uint8_t MeterStep;
};

// One output channel's matrix row.
struct MatrixRec {
    uint8_t SrcSwitch[12]; // MONO 1..6, STEREO 1..4, KL-VT20 1..2
    uint8_t ExtraSwitch;
    uint8_t MixLevel[6]; // 24..125, LevelTbl index of MONO i+1 into this output
    uint8_t LinkFlags;   // only row 0's byte is shown and sent
};

struct LevelRec {
    uint8_t In[10];
    uint8_t Out[7];
};

// The fixed part of a record: everything the venue file carries verbatim,
// then the three spare bytes.
struct BankFixed {
    InRec In[10];
    OutRec Out[7];
    MatrixRec Mix[4];
    // system bytes
    uint8_t SAMask;
    uint8_t SAAtt;
    uint8_t SATime;
    uint8_t SMMask;
    uint8_t SMTime;
    uint8_t VT20Out1Mask;
    uint8_t VT20Out2Mask;
    uint8_t PatternMemNo[4];
    // external-I/O bytes
    uint8_t RC24Mode;
    uint8_t LinkMemNo[8];
    uint8_t ExtOutMask;
    uint8_t Spare[3];
};

// The number of fixed bytes a record shows the unit and the file.
inline constexpr std::size_t BankFixedBytes = 553;
inline constexpr int NameCount = 43;

static_assert(std::is_standard_layout_v<BankFixed> && std::is_trivially_copyable_v<BankFixed>);
static_assert(sizeof(InRec) == 20 && sizeof(OutRec) == 36 && sizeof(MatrixRec) == 20 && sizeof(LevelRec) == 17);
static_assert(offsetof(BankFixed, Out) == 200);
static_assert(offsetof(BankFixed, Mix) == 452);
static_assert(offsetof(BankFixed, SAMask) == 532);
static_assert(offsetof(BankFixed, RC24Mode) == 543);
static_assert(offsetof(BankFixed, Spare) == BankFixedBytes);
static_assert(sizeof(BankFixed) == 556);

struct BankRec : BankFixed {
    std::array<QString, 12> InNameStr;  // 10, 11: the companion unit's inputs
    std::array<QString, 7> OutNameStr;  // 0..3 OUT 1..4, 6 REC OUT
    std::array<QString, 8> SpareNameStr;
    std::array<QString, 8> ExtOutNameStr;
    QString MemNameStr;
    std::array<QString, 7> SpkNameStr; // a leading '*' marks an EQ changed since loading
    std::array<uint8_t, 24> Reserved{};

    BankRec() : BankFixed{} {}

    // Bytes 0..552 as the unit and the file see them.
    uint8_t* fixedBytes() { return reinterpret_cast<uint8_t*>(static_cast<BankFixed*>(this)); }
    const uint8_t* fixedBytes() const { return reinterpret_cast<const uint8_t*>(static_cast<const BankFixed*>(this)); }

    // The 43 names in their filed order.
    std::array<QString*, NameCount> names();
    std::array<const QString*, NameCount> names() const;

    bool operator==(const BankRec& other) const;
};
