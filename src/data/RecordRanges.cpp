#include "data/RecordRanges.h"

#include "data/Utilities.h"

#include <algorithm>

namespace {

constexpr uint8_t LevelLoudest = 6;
constexpr uint8_t LevelOffIndex = 125;
constexpr uint16_t DelayMaxMs = 300;

uint8_t Flag(uint8_t v) {
    return MinByte(v, 1);
}
uint8_t Level(uint8_t v) {
    return ClampByte(v, LevelLoudest, LevelOffIndex);
}
uint8_t Memory(uint8_t v) {
    return ClampByte(v, 1, 16);
}

void Clamp(InRec& in) {
    in.Trim = ClampByte(in.Trim, 1, 31);
    in.EQEnable = Flag(in.EQEnable);
    for (InBand& b : in.Band) {
        b.EQGain = MinByte(b.EQGain, 60);
        b.EQFreq = MinByte(b.EQFreq, 53);
        b.EQQ = MinByte(b.EQQ, 23);
    }
    in.HSOn = Flag(in.HSOn);
    in.VRLink = Flag(in.VRLink);
    in.Lock = Flag(in.Lock);
    in.VRLevel = Level(in.VRLevel);
    in.SignalOn = Flag(in.SignalOn);
    in.PeakOn = Flag(in.PeakOn);
    in.Fader = Level(in.Fader);
}

void Clamp(OutRec& out) {
    out.Delay = std::min<uint16_t>(out.Delay, DelayMaxMs);
    out.DelayFlag = Flag(out.DelayFlag);
    out.EQEnable = Flag(out.EQEnable);
    for (int b = 0; b < 6; ++b) {
        out.EQGain[b] = MinByte(out.EQGain[b], 60);
        out.EQFreq[b] = MinByte(out.EQFreq[b], 53);
        out.EQQ[b] = MinByte(out.EQQ[b], 23);
        out.EQType[b] = MinByte(out.EQType[b], 4);
    }
    out.Balance = MinByte(out.Balance, 46);
    out.VRLink = Flag(out.VRLink);
    out.Lock = Flag(out.Lock);
    out.VRLevel = Level(out.VRLevel);
    out.Fader = Level(out.Fader);
    out.OutLamp34 = Flag(out.OutLamp34);
    out.MeterStep = MinByte(out.MeterStep, 6);
}

void Clamp(MatrixRec& row) {
    for (uint8_t& s : row.SrcSwitch)
        s = Flag(s);
    row.ExtraSwitch = Flag(row.ExtraSwitch);
    for (uint8_t& l : row.MixLevel)
        l = ClampByte(l, 24, LevelOffIndex);
}

} // namespace

void ClampToRanges(BankFixed& r) {
    for (InRec& in : r.In)
        Clamp(in);
    for (OutRec& out : r.Out)
        Clamp(out);
    for (MatrixRec& row : r.Mix)
        Clamp(row);
    // A group mask has a bit per member: six inputs, four outputs.
    r.SAMask &= 0x3F;
    r.SAAtt = ClampByte(r.SAAtt, 24, 93);
    r.SATime = MinByte(r.SATime, 12);
    r.SMMask &= 0x3F;
    r.SMTime = MinByte(r.SMTime, 12);
    r.VT20Out1Mask &= 0x0F;
    r.VT20Out2Mask &= 0x0F;
    for (uint8_t& m : r.PatternMemNo)
        m = Memory(m);
    r.RC24Mode = Flag(r.RC24Mode);
    for (uint8_t& m : r.LinkMemNo)
        m = MinByte(m, 16);
}

void ClampToRanges(LevelRec& l) {
    for (uint8_t& v : l.In)
        v = Level(v);
    for (uint8_t& v : l.Out)
        v = Level(v);
}
