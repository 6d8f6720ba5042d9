#pragma once

#include "data/Records.h"

#include <QByteArray>
#include <QStringList>
#include <array>
#include <cstdint>
#include <map>
#include <utility>

// What the unit keeps: its current settings (record 0) and its 16 memories,
// each with the knob levels held with it; the names; the live state of its
// panel (knobs, switches, lamps, meters); the howling measurement.
// Fields are open so that tests can set the unit up and look inside; the
// methods keep the rules that tie fields together.
class UnitState {
public:
    static constexpr int Memories = 16;
    static constexpr int Inputs = 10;
    static constexpr int OutChannels = 4;
    // The output block whose level an output channel's knob drives.
    static constexpr std::array<int, OutChannels> ChannelBlock{0, 2, 4, 5};

    // Factory settings, empty names, knobs at 125, all mono inputs on MIC.
    UnitState();

    std::array<BankRec, Memories + 1> rec;
    std::array<LevelRec, Memories + 1> level;
    int memNo = 1;

    // Memory m := the current settings; the unit is then on memory m.
    bool Store(int m);
    // The current settings := memory m, and the unit is on memory m.
    bool Recall(int m);

    // Name slots: venue 1/1 and memories 2/1..16 (20 bytes), external
    // outputs 4/1..8 and channels 5/1..17 (12), the password 5/15 (9),
    // speakers 6/1..4 (20). 0 for no such slot.
    static int NameWidth(int category, int index);
    // The field as kept, zero-padded to its width; empty for no such slot.
    QByteArray nameField(int category, int index) const;
    // Cut or zero-padded to the width; false for no such slot.
    bool setNameField(int category, int index, const QByteArray& bytes);
    // The password bytes up to the first 0.
    QByteArray password() const;
    void setPassword(const QByteArray& bytes) { setNameField(5, 15, bytes); }

    // The unit's own level knobs. A knob turned while its channel is linked
    // takes the channel's fader with it.
    uint8_t inKnob(int c) const { return inKnob_.at(size_t(c)); }
    uint8_t outKnob(int ch) const { return outKnob_.at(size_t(ch)); }
    void setInKnob(int c, uint8_t level);
    void setOutKnob(int ch, uint8_t level);

    uint8_t micLineBits = 0x3F; // bit c: mono input c on MIC
    uint8_t phantomBits = 0;    // bit c: +48 V on mono input c
    uint16_t signalBits = 0;    // bit c: signal lamp of input c (0..9)
    uint16_t peakBits = 0;      // bit c: peak lamp of input c
    // Blocks OUT 1A..2B: a bar, bit n lit for each step above n.
    std::array<uint8_t, 4> meterBits{};
    // OUT 3, OUT 4 as the record reads them: bits 0, 1 their peak lamps
    // (output byte 35), bits 2, 3 their signal lamps (byte 34).
    uint8_t outLampBits = 0;

    // Live: every Tick moves lamps, meters and knobs, pseudo-randomly but
    // the same way from each setLive(true). Off: they hold still, and
    // lamps and meters go dark.
    void setLive(bool on);
    bool live() const { return live_; }
    void Tick();

    // Howling measurement of mono input 1..6: Start, then status queries
    // answer 1 (running) for the set number of queries, then 2 (done) or,
    // for a channel set to fail, 3; End stops it. Idle answers 0. Every step
    // is logged as "start n", "status s", "end n".
    bool HowlingStart(int channel);
    uint8_t HowlingQuery();
    void HowlingEnd(int channel);
    int howlingChannel() const { return howlingChannel_; }
    void setHowlingQueries(int n) { howlingQueries_ = n; }
    // Bit n - 1 set: the measurement of channel n ends in a fault.
    void setHowlingFaults(uint8_t channels) { howlingFaults_ = channels; }
    QStringList howlingLog() const { return howlingLog_; }

private:
    uint32_t Random();

    std::map<std::pair<int, int>, QByteArray> names_;
    std::array<uint8_t, Inputs> inKnob_;
    std::array<uint8_t, OutChannels> outKnob_;

    bool live_ = false;
    uint32_t seed_ = 1;

    enum class Howling { Idle, Running, Done, Fault };
    Howling howling_ = Howling::Idle;
    int howlingChannel_ = 0;
    int howlingQueries_ = 3;
    int howlingLeft_ = 0;
    uint8_t howlingFaults_ = 0;
    QStringList howlingLog_;
};
