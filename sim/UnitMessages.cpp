#include "sim/UnitMessages.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

// A layout lists, body byte by body byte, the record byte it carries
// (offset within the channel's record, or within the whole record for the
// system messages), or one of these.
constexpr int Gap = -2;   // ignored coming in, 0 going out
constexpr int Level = -1; // the knob level held with the current settings
using Layout = std::vector<int>;

// Input c's record bytes from [5] of InputSet, per sub. A band travels as
// frequency, Q, gain; the whole channel carries bands 2, 0, 1.
const std::map<int, Layout>& InputLayouts() {
    static const std::map<int, Layout> layouts{
        {0, {Gap, 1, 13, 2, 10, 11, 9, 4, 5, 3, 7, 8, 6, 12, 15, 14, 19, Level}},
        {2, {1}},
        {3, {13}},
        {4, {2}},
        {5, {10, 11, 9}},
        {6, {4, 5, 3}},
        {7, {7, 8, 6}},
        {9, {15, 14, 19, Level}},
    };
    return layouts;
}

// Output block o's record bytes from [5] of OutputSet, per sub. The delay
// travels high byte first; a band as type, frequency, Q, gain.
const std::map<int, Layout>& OutputLayouts() {
    static const std::map<int, Layout> layouts = [] {
        std::map<int, Layout> m;
        Layout all{2, 1, 0, 3};
        for (int b = 0; b < 6; ++b) {
            const Layout band{22 + b, 10 + b, 16 + b, 4 + b};
            m[3 + b] = band;
            all.insert(all.end(), band.begin(), band.end());
        }
        all.insert(all.end(), {31, 30, 33, Level, 28});
        m[0] = all;
        m[1] = {2, 1, 0};
        m[2] = {3};
        m[9] = {31, 30, 33, Level};
        m[31] = {28};
        return m;
    }();
    return layouts;
}

const Layout MatrixSwitches{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, Gap, 12};
const Layout MatrixLevels{13, 14, 15, 16, 17, 18};
const Layout MatrixLoad = [] {
    Layout l = MatrixSwitches;
    l.insert(l.end(), MatrixLevels.begin(), MatrixLevels.end());
    l.push_back(19);
    return l;
}();

// Whole-record bytes of the plain SystemSet subs, from [4] (and of their
// SystemLoad replies, from [3]).
const std::map<int, Layout> SystemLayouts{
    {2, {532, 533, 534}},
    {3, {535, 536}},
    {4, {537, 538}},
    {7, {539, 540, 541, 542}},
};

constexpr int InBase(int c) {
    return 20 * c;
}
constexpr int OutBase(int o) {
    return 200 + 36 * o;
}
constexpr int MixBase(int k) {
    return 452 + 20 * k;
}
constexpr int MonoFlags = 229; // Out 29 of block 0; block 1's is 36 further
constexpr int LinkBits = 19;   // of a matrix row
constexpr int ExtInMode = 543; // then the eight memory numbers

// Byte i of the body, or -1 past its end.
int At(const QByteArray& b, int i) {
    return i < b.size() ? uint8_t(b[i]) : -1;
}

bool Fits(const QByteArray& b, int from, const Layout& l) {
    return b.size() >= from + qsizetype(l.size());
}

void Take(const QByteArray& b, int from, const Layout& l, uint8_t* base, uint8_t* level) {
    for (size_t i = 0; i < l.size(); ++i) {
        const uint8_t v = uint8_t(b[from + qsizetype(i)]);
        if (l[i] == Level)
            *level = v;
        else if (l[i] >= 0)
            base[l[i]] = v;
    }
}

void Give(QByteArray& r, int from, const Layout& l, const uint8_t* base, uint8_t level) {
    for (size_t i = 0; i < l.size(); ++i)
        r[from + qsizetype(i)] = char(l[i] == Level ? level : l[i] >= 0 ? base[l[i]] : 0);
}

// The request's first `keep` bytes, zero-padded to n.
QByteArray Reply(const QByteArray& b, int keep, int n) {
    QByteArray r = b.left(keep);
    r.append(QByteArray(n - r.size(), '\0'));
    return r;
}

QByteArray Ack(const QByteArray& b) {
    return b.left(5);
}

// Keeps each input's routing mask (bit k: the input feeds output k) with
// matrix row k.
void RouteFromRow(UnitState& s, int k) {
    uint8_t* r = s.rec[0].fixedBytes();
    for (int c = 0; c < UnitState::Inputs; ++c) {
        uint8_t& mask = r[InBase(c) + 12];
        mask = uint8_t(r[MixBase(k) + c] ? mask | 1 << k : mask & ~(1 << k));
    }
}

QByteArray InputSet(UnitState& s, const QByteArray& b) {
    const int c = At(b, 3) - 1;
    const auto it = InputLayouts().find(At(b, 4));
    if (c >= 0 && c < UnitState::Inputs && it != InputLayouts().end() && Fits(b, 5, it->second))
        Take(b, 5, it->second, s.rec[0].fixedBytes() + InBase(c), &s.level[0].In[c]);
    return Ack(b);
}

QByteArray OutputSet(UnitState& s, const QByteArray& b) {
    const int o = At(b, 3) - 1;
    const auto it = OutputLayouts().find(At(b, 4));
    if (o >= 0 && o < 7 && it != OutputLayouts().end() && Fits(b, 5, it->second))
        Take(b, 5, it->second, s.rec[0].fixedBytes() + OutBase(o), &s.level[0].Out[o]);
    return Ack(b);
}

QByteArray MatrixSet(UnitState& s, const QByteArray& b) {
    uint8_t* r = s.rec[0].fixedBytes();
    const int sub = At(b, 4);
    if (sub == 3) {
        // One setting of the unit, so every row reports it.
        if (b.size() >= 6)
            for (int k = 0; k < 4; ++k)
                r[MixBase(k) + LinkBits] = uint8_t(b[5]);
        return Ack(b);
    }
    const int k = At(b, 3) - 1;
    const Layout* l = sub == 1 ? &MatrixSwitches : sub == 2 ? &MatrixLevels : nullptr;
    if (k >= 0 && k < 4 && l && Fits(b, 5, *l)) {
        Take(b, 5, *l, r + MixBase(k), nullptr);
        if (sub == 1)
            RouteFromRow(s, k);
    }
    return Ack(b);
}

// The quick-recall assignment and the external inputs' memories belong to
// the venue, not to a memory: they are kept alike in every record, so a
// recall or a store leaves them as they were set.
QByteArray SystemSet(UnitState& s, const QByteArray& b) {
    uint8_t* r = s.rec[0].fixedBytes();
    const int sub = At(b, 3);
    const auto venueWide = [&s, r](int from, int to) {
        for (int m = 1; m <= UnitState::Memories; ++m)
            std::copy(r + from, r + to, s.rec[size_t(m)].fixedBytes() + from);
    };
    if (sub == 1 && b.size() >= 5) {
        const uint8_t bits = uint8_t(b[4]);
        r[MonoFlags] = bits & 0x01;
        r[MonoFlags + 36] = bits >> 4 & 0x01;
    } else if (sub == 5 && b.size() >= 21) {
        r[ExtInMode] = uint8_t(b[4]);
        for (int i = 0; i < 8; ++i)
            r[ExtInMode + 1 + i] = b[5 + i] ? uint8_t(b[13 + i]) : 0;
        venueWide(ExtInMode + 1, ExtInMode + 9);
    } else if (const auto it = SystemLayouts.find(sub); it != SystemLayouts.end() && Fits(b, 4, it->second)) {
        Take(b, 4, it->second, r, nullptr);
        if (sub == 7)
            venueWide(it->second.front(), it->second.back() + 1);
    }
    return Ack(b);
}

QByteArray ExOutSet(UnitState& s, const QByteArray& b) {
    const int sub = At(b, 4);
    if (sub == 0 && b.size() >= 21) {
        for (int m = 1; m <= UnitState::Memories; ++m)
            s.rec[size_t(m)].ExtOutMask = uint8_t(b[4 + m]);
    } else if (sub == 1 && b.size() >= 6) {
        s.rec[0].ExtOutMask = uint8_t(b[5]);
    }
    return Ack(b);
}

// [3] destination + 1, [4] source + 1. Only the bands: the EQ switch has a
// message of its own.
QByteArray EQCopy(UnitState& s, const QByteArray& b, bool outputs) {
    const int dst = At(b, 3) - 1;
    const int src = At(b, 4) - 1;
    const int count = outputs ? 7 : UnitState::Inputs;
    if (dst >= 0 && dst < count && src >= 0 && src < count) {
        uint8_t* r = s.rec[0].fixedBytes();
        const int first = outputs ? 4 : 3;
        const int end = outputs ? 28 : 12;
        const int d = outputs ? OutBase(dst) : InBase(dst);
        const int f = outputs ? OutBase(src) : InBase(src);
        for (int i = first; i < end; ++i)
            r[d + i] = r[f + i];
    }
    return Ack(b);
}

// [2] operation: 1 start, 2 end, 3 status; [4] the channel.
QByteArray HowlingMeasure(UnitState& s, const QByteArray& b) {
    switch (At(b, 2)) {
    case 1:
        if (b.size() >= 5)
            s.HowlingStart(uint8_t(b[4]));
        break;
    case 2:
        if (b.size() >= 5)
            s.HowlingEnd(uint8_t(b[4]));
        break;
    case 3: {
        QByteArray r = Reply(b, 3, 5);
        r[3] = char(s.HowlingQuery());
        r[4] = char(s.howlingChannel());
        return r;
    }
    }
    return Ack(b);
}

QByteArray InputLoad(const UnitState& s, const QByteArray& b) {
    const int c = At(b, 3) - 1;
    if (c < 0 || c >= UnitState::Inputs)
        return Ack(b);
    const Layout& l = InputLayouts().at(0);
    QByteArray r = Reply(b, 5, 5 + int(l.size()));
    Give(r, 5, l, s.rec[0].fixedBytes() + InBase(c), s.level[0].In[c]);
    return r;
}

QByteArray OutputLoad(const UnitState& s, const QByteArray& b) {
    const int o = At(b, 3) - 1;
    if (o < 0 || o >= 7)
        return Ack(b);
    const Layout& l = OutputLayouts().at(0);
    QByteArray r = Reply(b, 5, 5 + int(l.size()));
    Give(r, 5, l, s.rec[0].fixedBytes() + OutBase(o), s.level[0].Out[o]);
    return r;
}

QByteArray MatrixLoadReply(const UnitState& s, const QByteArray& b) {
    const int k = At(b, 3) - 1;
    if (k < 0 || k >= 4)
        return Ack(b);
    QByteArray r = Reply(b, 5, 5 + int(MatrixLoad.size()));
    Give(r, 5, MatrixLoad, s.rec[0].fixedBytes() + MixBase(k), 0);
    return r;
}

// Replies carry their data from [3].
QByteArray SystemLoad(const UnitState& s, const QByteArray& b) {
    const uint8_t* r = s.rec[0].fixedBytes();
    const int sub = At(b, 3);
    if (sub == 1) {
        QByteArray out = Reply(b, 3, 4);
        out[3] = char((r[MonoFlags] ? 0x01 : 0) | (r[MonoFlags + 36] ? 0x10 : 0));
        return out;
    }
    if (sub == 5) {
        QByteArray out = Reply(b, 3, 20);
        out[3] = char(r[ExtInMode]);
        for (int i = 0; i < 8; ++i) {
            const uint8_t mem = r[ExtInMode + 1 + i];
            out[4 + i] = char(mem ? 1 : 0);
            out[12 + i] = char(mem);
        }
        return out;
    }
    const auto it = SystemLayouts.find(sub);
    if (it == SystemLayouts.end())
        return Ack(b);
    QByteArray out = Reply(b, 3, 3 + int(it->second.size()));
    Give(out, 3, it->second, r, 0);
    return out;
}

QByteArray ExOutLoad(const UnitState& s, const QByteArray& b) {
    const int sub = At(b, 4);
    if (sub == 0) {
        QByteArray r = Reply(b, 3, 3 + UnitState::Memories);
        for (int m = 1; m <= UnitState::Memories; ++m)
            r[2 + m] = char(s.rec[size_t(m)].ExtOutMask);
        return r;
    }
    if (sub == 1) {
        QByteArray r = Reply(b, 3, 4);
        r[3] = char(s.rec[0].ExtOutMask);
        return r;
    }
    return Ack(b);
}

QByteArray StatusLoad(UnitState& s, const QByteArray& b) {
    s.Tick();
    QByteArray r;
    switch (At(b, 3)) {
    case 1:
        // Which lamp comes first is read from the record: the program keeps
        // the first lamp byte of each pair in input byte 18, PeakOn, and the
        // second in byte 17, SignalOn. So the peak bits lead, in the mono
        // byte pair and in each stereo nibble pair alike.
        r = Reply(b, 3, 9);
        r[3] = char(s.peakBits & 0x3F);
        r[4] = char(s.signalBits & 0x3F);
        r[5] = char((s.peakBits >> 6 & 0x0F) | (s.signalBits >> 6 & 0x0F) << 4);
        r[6] = char(s.phantomBits);
        r[7] = char(s.micLineBits);
        r[8] = char(s.memNo);
        return r;
    case 2:
        r = Reply(b, 3, 3 + UnitState::Inputs);
        for (int c = 0; c < UnitState::Inputs; ++c)
            r[3 + c] = char(s.inKnob(c));
        return r;
    case 3:
        r = Reply(b, 3, 8);
        for (int k = 0; k < 4; ++k)
            r[3 + k] = char(s.meterBits[size_t(k)]);
        r[7] = char(s.outLampBits);
        return r;
    case 4:
        r = Reply(b, 3, 3 + UnitState::OutChannels);
        for (int ch = 0; ch < UnitState::OutChannels; ++ch)
            r[3 + ch] = char(s.outKnob(ch));
        return r;
    }
    return Ack(b);
}

// Venue and memory names travel with two zeros after the field, both ways.
int NameTail(int category) {
    return category == 1 || category == 2 ? 2 : 0;
}

// [3] category, [4] index, the field from [5].
QByteArray NameSet(UnitState& s, const QByteArray& b) {
    const int cat = At(b, 3);
    const int idx = At(b, 4);
    const int w = UnitState::NameWidth(cat, idx);
    if (w > 0 && b.size() >= 5 + w + NameTail(cat))
        s.setNameField(cat, idx, b.mid(5, w));
    return Ack(b);
}

// The field from [4].
QByteArray NameLoad(const UnitState& s, const QByteArray& b) {
    const int cat = At(b, 3);
    const int idx = At(b, 4);
    const int w = UnitState::NameWidth(cat, idx);
    if (w == 0)
        return Ack(b);
    QByteArray r = Reply(b, 4, 4) + s.nameField(cat, idx);
    r.append(NameTail(cat), '\0');
    return r;
}

constexpr int Key(char kind, char op) {
    return uint8_t(kind) << 8 | uint8_t(op);
}

} // namespace

std::optional<QByteArray> UnitAnswer(UnitState& s, const QByteArray& b) {
    if (b.size() < 2)
        return std::nullopt;
    switch (Key(b[0], b[1])) {
    case Key('I', 'S'):
        return InputSet(s, b);
    case Key('O', 'S'):
        return OutputSet(s, b);
    case Key('M', 'S'):
        return MatrixSet(s, b);
    case Key('P', 'S'):
        return SystemSet(s, b);
    case Key('R', 'S'):
        return ExOutSet(s, b);
    case Key('P', 'H'):
        return HowlingMeasure(s, b);
    case Key('C', 'O'):
        return EQCopy(s, b, true);
    case Key('C', 'I'):
        return EQCopy(s, b, false);
    case Key('N', 'O'):
        return b.left(3); // the PC never looks at it; the unit echoes the value
    case Key('I', 'L'):
        return InputLoad(s, b);
    case Key('O', 'L'):
        return OutputLoad(s, b);
    case Key('M', 'L'):
        return MatrixLoadReply(s, b);
    case Key('P', 'L'):
        return SystemLoad(s, b);
    case Key('R', 'L'):
        return ExOutLoad(s, b);
    case Key('D', 'L'):
        return StatusLoad(s, b);
    case Key('N', 'S'):
        return NameSet(s, b);
    case Key('N', 'L'):
        return NameLoad(s, b);
    case Key('B', 'A'):
        if (b.size() >= 4)
            s.Recall(uint8_t(b[3]));
        return Ack(b);
    case Key('S', 'A'):
        if (b.size() >= 5)
            s.Store(uint8_t(b[4]));
        return Ack(b);
    }
    return b.left(2);
}
