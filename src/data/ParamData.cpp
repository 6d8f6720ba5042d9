#include "data/ParamData.h"

#include "data/InEQPreset.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Str, typename Rec>
std::array<Str*, NameCount> NamesOf(Rec& r) {
    std::array<Str*, NameCount> out{};
    std::size_t n = 0;
    for (auto& s : r.InNameStr)
        out[n++] = &s;
    for (auto& s : r.OutNameStr)
        out[n++] = &s;
    for (auto& s : r.SpareNameStr)
        out[n++] = &s;
    for (auto& s : r.ExtOutNameStr)
        out[n++] = &s;
    out[n++] = &r.MemNameStr;
    for (auto& s : r.SpkNameStr)
        out[n++] = &s;
    return out;
}

constexpr uint8_t OutBandFreq[6] = {2, 8, 22, 34, 48, 51};

} // namespace

std::array<QString*, NameCount> BankRec::names() { return NamesOf<QString>(*this); }
std::array<const QString*, NameCount> BankRec::names() const { return NamesOf<const QString>(*this); }

bool BankRec::operator==(const BankRec& o) const {
    if (std::memcmp(fixedBytes(), o.fixedBytes(), sizeof(BankFixed)) != 0 || Reserved != o.Reserved)
        return false;
    auto a = names();
    auto b = o.names();
    return std::equal(a.begin(), a.end(), b.begin(), [](const QString* x, const QString* y) { return *x == *y; });
}

void ParamData::SetInEQFlat(int m, int ch) {
    ApplyInEQPreset(BankData[m].In[ch], FlatPreset);
}

void ParamData::InitMemoryData(int m) {
    BankRec& r = BankData[m];
    for (QString* s : r.names())
        s->clear();

    r.RC24Mode = 0;
    std::fill(std::begin(r.LinkMemNo), std::end(r.LinkMemNo), 0);
    r.ExtOutMask = 255;

    for (int c = 0; c < 10; ++c) {
        InRec& in = r.In[c];
        in.MicSel = 1;
        in.Trim = 31;
        in.EQEnable = 0;
        SetInEQFlat(m, c);
        in.HSOn = 0;
        in.VRLink = 0;
        in.Lock = 0;
        in.VRLevel = 125;
        in.Fader = 125;
        MemLevel[m].In[c] = 125;
    }

    for (int o = 0; o < 7; ++o) {
        OutRec& out = r.Out[o];
        out.Delay = 0;
        out.DelayFlag = 0;
        out.EQEnable = 0;
        for (int b = 0; b < 6; ++b) {
            out.EQType[b] = 0;
            out.EQGain[b] = 30;
            out.EQQ[b] = 2;
            out.EQFreq[b] = OutBandFreq[b];
        }
        out.Balance = 46;
        out.Mono = 0;
        out.VRLink = 0;
        out.Lock = 0;
        out.VRLevel = 125;
        out.Fader = 125;
        MemLevel[m].Out[o] = 125;
    }

    for (MatrixRec& row : r.Mix) {
        std::fill(std::begin(row.SrcSwitch), std::end(row.SrcSwitch), 0);
        row.ExtraSwitch = 0;
        std::fill(std::begin(row.MixLevel), std::end(row.MixLevel), 24);
        row.LinkFlags = 0x22;
    }

    r.SAMask = 0;
    r.SAAtt = 74;
    r.SATime = 0;
    r.SMMask = 0;
    r.SMTime = 0;
    r.VT20Out1Mask = 1;
    r.VT20Out2Mask = 2;
    std::fill(std::begin(r.PatternMemNo), std::end(r.PatternMemNo), 1);
}

void ParamData::BackupMemory() {
    BankBackup[CurBank] = BankData[CurBank];
    VenueNameBak = VenueName;
    for (int m = 1; m < RecordCount; ++m)
        BankBackup[m].MemNameStr = BankData[m].MemNameStr;
}

void ParamData::RestoreMemory() {
    BankData[CurBank] = BankBackup[CurBank];
    VenueName = VenueNameBak;
    for (int m = 1; m < RecordCount; ++m)
        BankData[m].MemNameStr = BankBackup[m].MemNameStr;
}

void ParamData::Clear48VFlag() { In48VFlag.fill(0); }

void ParamData::ClearRecord(int m) { BankData[m] = BankRec{}; }

void ParamData::SetAllLevels(uint8_t level) {
    for (LevelRec& l : MemLevel) {
        std::fill(std::begin(l.In), std::end(l.In), level);
        std::fill(std::begin(l.Out), std::end(l.Out), level);
    }
}
