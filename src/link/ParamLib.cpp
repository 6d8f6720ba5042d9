#include "link/ParamLib.h"

#include "data/ParamData.h"
#include "data/Tables.h"
#include "data/Utilities.h"
#include "link/Link.h"
#include "link/LinkHost.h"
#include "link/ParamSend.h"
#include "link/Serial.h"

#include <algorithm>

namespace {

uint8_t Bit(uint8_t byte, int n) { return (byte >> n) & 1; }
uint8_t Level(uint8_t v) { return ClampByte(v, 6, 125); }
// A memory number: 0 is memory 1, and there are 16.
uint8_t MemoryNumber(uint8_t v) { return ClampByte(v, 1, 16); }

// What a read from the unit may change on the PC.
struct PcCopy {
    explicit PcCopy(const ParamData& d)
        : bank(d.BankData), levels(d.MemLevel), memNo(d.MemNo), venueName(d.VenueName), in48V(d.In48VFlag),
          micLine(d.MicLineStat), micLineOld(d.MicLineStatOld) {}

    void restore(ParamData& d) const {
        d.BankData = bank;
        d.MemLevel = levels;
        d.MemNo = memNo;
        d.VenueName = venueName;
        d.In48VFlag = in48V;
        d.MicLineStat = micLine;
        d.MicLineStatOld = micLineOld;
    }

    std::array<BankRec, ParamData::RecordCount> bank;
    std::array<LevelRec, ParamData::RecordCount> levels;
    int memNo;
    QString venueName;
    std::array<uint8_t, 6> in48V;
    int micLine;
    int micLineOld;
};

} // namespace

ParamLib::ParamLib(ParamData& data, Link& link, const CodePage& cp, TickWait& waits, LinkHost& host,
                   ParamSend& send)
    : d_(data), link_(link), cp_(cp), waits_(waits), host_(host), send_(send) {}

uint8_t ParamLib::rx(int i) const { return link_.RxBuf[static_cast<std::size_t>(i)]; }

bool ParamLib::ask(std::initializer_list<uint8_t> body) {
    link_.Send(body, ParamSend::SetWait);
    return link_.Replied();
}

// ---- parameters

void ParamLib::ReadInputParam() {
    for (int c = 0; c < 10 && link_.OnLine; ++c) {
        if (!ask({'I', 'L', link_.AllBankFlag, uint8_t(c + 1), 0}))
            continue;
        InRec& in = d_.BankData[d_.CurBank].In[c];
        in.Trim = ClampByte(rx(6), 1, 31);
        in.HSOn = MinByte(rx(7), 1);
        in.EQEnable = MinByte(rx(8), 1);
        // Bands arrive as frequency, Q, gain, in the order LOW, HIGH, MID.
        const int order[3] = {2, 0, 1};
        for (int i = 0; i < 3; ++i) {
            InBand& b = in.Band[order[i]];
            b.EQFreq = MinByte(rx(9 + 3 * i), 53);
            b.EQQ = MinByte(rx(10 + 3 * i), 23);
            b.EQGain = MinByte(rx(11 + 3 * i), 60);
        }
        in.RouteMask = rx(18);
        in.Lock = MinByte(rx(19), 1);
        in.VRLink = MinByte(rx(20), 1);
        in.Fader = Level(rx(21));
        d_.MemLevel[d_.CurBank].In[c] = Level(rx(22));
    }
}

void ParamLib::ReadOutputParam() {
    if (!link_.OnLine)
        return;
    BankRec& r = d_.BankData[d_.CurBank];
    for (int o = 0; o < 6 && link_.OnLine; ++o) {
        if (!ask({'O', 'L', link_.AllBankFlag, uint8_t(o + 1), 0}))
            continue;
        OutRec& out = r.Out[o];
        out.DelayFlag = MinByte(rx(5), 1);
        out.Delay = static_cast<uint16_t>(std::min(MinByte(rx(6), 1) * 256 + rx(7), 300));
        out.EQEnable = MinByte(rx(8), 1);
        for (int b = 0; b < 6; ++b) {
            out.EQType[b] = MinByte(rx(9 + 4 * b), 4);
            out.EQFreq[b] = MinByte(rx(10 + 4 * b), 53);
            out.EQQ[b] = MinByte(rx(11 + 4 * b), 23);
            out.EQGain[b] = MinByte(rx(12 + 4 * b), 60);
        }
        out.Lock = MinByte(rx(33), 1);
        out.VRLink = MinByte(rx(34), 1);
        out.Fader = Level(rx(35));
        d_.MemLevel[d_.CurBank].Out[o] = Level(rx(36));
        out.Balance = MinByte(rx(37), 46);
    }
    // Of a pair, at least one side stays at 0 dB.
    for (int first : {0, 2}) {
        uint8_t& a = r.Out[first].Balance;
        uint8_t& b = r.Out[first + 1].Balance;
        if (a == 0 && b == 0)
            a = b = 46;
        if (a != 46 && b != 46)
            a = 46;
    }
}

void ParamLib::ReadMatrix() {
    for (int k = 0; k < 4 && link_.OnLine; ++k) {
        if (!ask({'M', 'L', link_.AllBankFlag, uint8_t(k + 1), 0}))
            continue;
        MatrixRec& row = d_.BankData[d_.CurBank].Mix[k];
        for (int j = 0; j < 12; ++j)
            row.SrcSwitch[j] = rx(5 + j) != 0 ? 1 : 0;
        row.ExtraSwitch = rx(18);
        for (int i = 0; i < 6; ++i)
            row.MixLevel[i] = ClampByte(rx(19 + i), 24, 125);
        row.LinkFlags = rx(25);
    }
}

void ParamLib::ReadSystemParam() {
    BankRec& r = d_.BankData[d_.CurBank];
    for (uint8_t sub : {1, 2, 3, 4, 5, 7}) {
        if (!link_.OnLine)
            return;
        if (!ask({'P', 'L', link_.AllBankFlag, sub}))
            continue;
        switch (sub) {
        case 1:
            r.Out[0].Mono = Bit(rx(3), 0);
            r.Out[1].Mono = Bit(rx(3), 4);
            break;
        case 2:
            r.SAMask = rx(3);
            r.SAAtt = ClampByte(rx(4), 24, 93);
            r.SATime = MinByte(rx(5), 12);
            break;
        case 3:
            r.SMMask = rx(3);
            r.SMTime = MinByte(rx(4), 12);
            break;
        case 4:
            r.VT20Out1Mask = rx(3);
            r.VT20Out2Mask = rx(4);
            break;
        case 5:
            r.RC24Mode = rx(3);
            for (int i = 0; i < 8; ++i)
                r.LinkMemNo[i] = rx(4 + i) != 0 ? MemoryNumber(rx(12 + i)) : 0;
            break;
        case 7:
            for (int i = 0; i < 4; ++i)
                r.PatternMemNo[i] = MemoryNumber(rx(3 + i));
            break;
        }
    }
}

void ParamLib::ReadExtOutAll() {
    if (!link_.OnLine || !ask({'R', 'L', 0, 0, 0}))
        return;
    for (int m = 1; m <= 16; ++m)
        d_.BankData[m].ExtOutMask = rx(2 + m);
}

void ParamLib::ReadExtOut() {
    // Inside the all-memory read the bits come from ReadExtOutAll at its end.
    if (!link_.OnLine || link_.AllBankFlag != 0 || !ask({'R', 'L', 0, 0, 1}))
        return;
    d_.BankData[d_.CurBank].ExtOutMask = rx(3);
}

void ParamLib::ReadBankParam() {
    if (!link_.OnLine)
        return;
    ReadInputStatus();
    ReadOutputStatus();
    ReadAllLevel();
    waits_.TimerWait(100);
    ReadInputParam();
    waits_.TimerWait(100);
    ReadMatrix();
    waits_.TimerWait(100);
    ReadOutputParam();
    ReadSystemParam();
    waits_.TimerWait(100);
    ReadExtOut();
}

// ---- status

uint8_t ParamLib::MeterStep(uint8_t bits, uint8_t previous) {
    if (bits == 0)
        return 0;
    for (int n = 5; n >= 0; --n)
        if (Bit(bits, n))
            return static_cast<uint8_t>(n + 1);
    return previous;
}

void ParamLib::ReadInputStatus() {
    if (!link_.OnLine)
        return;
    send_.SendLoadReq('D', 1);
    if (!link_.Replied())
        return;
    BankRec& r = d_.BankData[d_.CurBank];
    // The first lamp byte of each pair lands in byte 18 of the input, the
    // second in byte 17.
    for (int c = 0; c < 6; ++c) {
        r.In[c].PeakOn = Bit(rx(3), c);
        r.In[c].SignalOn = Bit(rx(4), c);
    }
    for (int i = 0; i < 4; ++i) {
        r.In[6 + i].PeakOn = Bit(rx(5), i);
        r.In[6 + i].SignalOn = Bit(rx(5), 4 + i);
    }
    for (int i = 0; i < 6; ++i)
        d_.In48VFlag[static_cast<std::size_t>(i)] = Bit(rx(6), i);
    d_.MicLineStatOld = d_.MicLineStat;
    d_.MicLineStat = rx(7);
    for (int c = 0; c < 6; ++c)
        r.In[c].MicSel = Bit(rx(7), c);
}

void ParamLib::ReadPatternNo() {
    send_.SendLoadReq('D', 1);
    uint8_t memory = 1;
    if (link_.OnLine) {
        if (!link_.Replied())
            return;
        memory = MemoryNumber(rx(8));
    }
    d_.MemNo = memory;
    host_.MemNoRead(d_.MemNo);
}

void ParamLib::ReadInputLevel() {
    send_.SendLoadReq('D', 2);
    if (!link_.Replied())
        return;
    for (int c = 0; c < 10; ++c) {
        InRec& in = d_.BankData[d_.CurBank].In[c];
        in.VRLevel = Level(rx(3 + c));
        if (in.VRLink == 1)
            in.Fader = in.VRLevel;
    }
    host_.KnobLevelsRead(0);
}

void ParamLib::ReadOutputLevel() {
    send_.SendLoadReq('D', 4);
    if (!link_.Replied())
        return;
    for (int i = 0; i < 4; ++i) {
        OutRec& out = d_.BankData[d_.CurBank].Out[ChToOut[i]];
        out.VRLevel = Level(rx(3 + i));
        if (out.VRLink == 1)
            out.Fader = out.VRLevel;
    }
    host_.KnobLevelsRead(1);
}

void ParamLib::ReadAllLevel() {
    if (!link_.OnLine)
        return;
    BankRec& r = d_.BankData[d_.CurBank];
    send_.SendLoadReq('D', 2);
    if (link_.Replied())
        for (int c = 0; c < 10; ++c)
            r.In[c].VRLevel = r.In[c].Fader = Level(rx(3 + c));
    send_.SendLoadReq('D', 4);
    if (link_.Replied())
        for (int i = 0; i < 4; ++i)
            r.Out[ChToOut[i]].VRLevel = r.Out[ChToOut[i]].Fader = Level(rx(3 + i));
}

int ParamLib::GetHawlingStatus() {
    send_.SendHawlingMeasure(3, 0);
    const uint8_t status = rx(3);
    return link_.Replied() && (status == 2 || status == 3) ? status : 1;
}

void ParamLib::ReadOutputStatus() {
    if (!link_.OnLine)
        return;
    send_.SendLoadReq('D', 3);
    if (!link_.Replied())
        return;
    BankRec& r = d_.BankData[d_.CurBank];
    for (int k = 0; k < 4; ++k)
        r.Out[k].MeterStep = MeterStep(rx(3 + k), r.Out[k].MeterStep);
    for (int j = 0; j < 2; ++j) {
        r.Out[4 + j].MeterStep = Bit(rx(7), j);
        r.Out[4 + j].OutLamp34 = Bit(rx(7), 2 + j);
    }
}

// ---- names

QString ParamLib::nameField(int width) const {
    std::array<uint8_t, 129> nameBuf{};
    std::copy_n(link_.RxBuf.begin() + 4, width, nameBuf.begin());
    nameBuf[static_cast<std::size_t>(width)] = 0;
    return ByteToStr(cp_, nameBuf);
}

bool ParamLib::askName(uint8_t category, uint8_t index) { return ask({'N', 'L', 0, category, index}); }

void ParamLib::ReadSystemName() {
    if (!link_.OnLine || !askName(1, 1))
        return;
    d_.VenueName = nameField(22);
    if (d_.venueNameChanged)
        d_.venueNameChanged();
}

void ParamLib::ReadNameList() {
    BankRec& r = d_.BankData[d_.CurBank];
    for (int m = 1; m <= 16 && link_.OnLine; ++m)
        if (askName(2, uint8_t(m)))
            d_.BankData[m].MemNameStr = nameField(22);
    for (int c = 0; c < 10 && link_.OnLine; ++c)
        if (askName(5, uint8_t(c + 1)))
            r.InNameStr[c] = nameField(12);
    for (int o = 0; o < 7 && link_.OnLine; ++o) {
        // Slot 15 holds the password, which must never become a name (and
        // so reach a venue file).
        if (askName(5, uint8_t(o + 11)) && o != 4)
            r.OutNameStr[o] = nameField(12);
    }
    for (int k = 0; k < 8 && link_.OnLine; ++k)
        if (askName(4, uint8_t(k + 1)))
            r.ExtOutNameStr[k] = nameField(12);
}

void ParamLib::ReadSpeakerName() {
    for (int k = 0; k < 4 && link_.OnLine; ++k)
        if (askName(6, uint8_t(k + 1)))
            d_.BankData[d_.CurBank].SpkNameStr[k] = nameField(20);
}

void ParamLib::LoadPassword() {
    if (!link_.OnLine || !askName(5, 15))
        return;
    // Nine bytes come; the ninth is never part of the password.
    link_.PasswordStr = nameField(8);
}

void ParamLib::ReadNameAll() {
    if (link_.OnLine) {
        ReadPatternNo();
        ReadSystemName();
        ReadNameList();
        ReadSpeakerName();
    }
    copyNamesToMemories();
}

void ParamLib::copyNamesToMemories() {
    const BankRec& cur = d_.BankData[d_.CurBank];
    for (int m = 1; m <= 16; ++m) {
        BankRec& r = d_.BankData[m];
        r.InNameStr = cur.InNameStr;
        for (int o : {0, 1, 2, 3, 6})
            r.OutNameStr[o] = cur.OutNameStr[o];
        std::copy_n(cur.SpkNameStr.begin(), 4, r.SpkNameStr.begin());
    }
}

// ---- whole reads

bool ParamLib::readOrKeep(const std::function<void()>& read, bool names) {
    const PcCopy kept(d_);
    bool broken = false;
    {
        const AnsweredRun run(link_);
        read();
        broken = run.Broken();
    }
    if (!broken)
        return true;
    const int memNoRead = d_.MemNo;
    const QString venueRead = d_.VenueName;
    kept.restore(d_);
    if (names)
        copyNamesToMemories();
    if (d_.VenueName != venueRead && d_.venueNameChanged)
        d_.venueNameChanged();
    if (d_.MemNo != memNoRead)
        host_.MemNoRead(d_.MemNo);
    return false;
}

bool ParamLib::ReadBack(bool names) {
    return readOrKeep(
        [this, names] {
            if (names)
                ReadNameAll();
            ReadBankParam();
        },
        names);
}

bool ParamLib::AllBankRead() {
    return readOrKeep(
        [this] {
            const AllBankRun run(link_, d_.CurBank);

            ReadNameAll();
            host_.BankProgress(1);

            for (int m = 1; m <= 16 && link_.AllBankContinue && !run.Broken(); ++m) {
                d_.CurBank = m;
                send_.SendBankRecall(m);
                waits_.TimerWait(100);
                if (!link_.AllBankContinue)
                    break;
                ReadBankParam();
                host_.BankProgress(m);
                waits_.TimerWait(200);
            }
            ReadExtOutAll();
        },
        true);
}

bool ParamLib::AllBankReadAndResume() {
    if (!AllBankRead())
        return false;
    send_.SendBankRecall(d_.MemNo);
    waits_.TimerWait(100);
    send_.SendMemoryData(0);
    return true;
}
