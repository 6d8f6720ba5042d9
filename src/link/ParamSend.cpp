#include "link/ParamSend.h"

#include "data/InEQPreset.h"
#include "data/ParamData.h"
#include "data/SpeakerFile.h"
#include "data/Tables.h"
#include "data/Utilities.h"
#include "link/Link.h"
#include "link/LinkHost.h"
#include "link/Serial.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace {

// Input bands go out as frequency, Q, gain, under these subs.
constexpr uint8_t InBandSub[3] = {6, 7, 5};
constexpr int HPF = 1;
constexpr int LPF = 2;
// Filters have no gain; the unit takes this byte for them.
constexpr uint8_t FilterGain = 29;

uint8_t Flag(uint8_t v) { return v != 0 ? 1 : 0; }

uint8_t OutBandGain(const OutRec& out, int b) {
    return out.EQType[b] == HPF || out.EQType[b] == LPF ? FilterGain : out.EQGain[b];
}

} // namespace

ParamSend::ParamSend(ParamData& data, Link& link, const CodePage& cp, TickWait& waits, MsClock& clock,
                     LinkHost& host, const QString& appPath)
    : d_(data), link_(link), cp_(cp), waits_(waits), clock_(clock), host_(host), appPath_(appPath) {}

uint8_t ParamSend::T() const { return link_.AllBankFlag; }

void ParamSend::send(std::initializer_list<uint8_t> body, int wait) { link_.Send(body, wait); }

// ---- inputs

void ParamSend::SendInputParam(int c) {
    const BankRec& r = d_.BankData[d_.CurBank];
    const InRec& in = r.In[c];
    uint8_t route = 0;
    for (int k = 0; k < 4; ++k)
        if (r.Mix[k].SrcSwitch[c] != 0)
            route |= static_cast<uint8_t>(1 << k);
    const InBand* b = in.Band;
    send({'I', 'S', T(), uint8_t(c + 1), 0, 0, in.Trim, in.HSOn, in.EQEnable,
          b[2].EQFreq, b[2].EQQ, b[2].EQGain, b[0].EQFreq, b[0].EQQ, b[0].EQGain, b[1].EQFreq, b[1].EQQ, b[1].EQGain,
          route, in.Lock, in.VRLink, in.Fader, d_.MemLevel[d_.CurBank].In[c]});
}

void ParamSend::SendInputParamAll() {
    for (int c = 0; c < 10; ++c)
        SendInputParam(c);
}

void ParamSend::SendInputTrim(int c) {
    send({'I', 'S', 0, uint8_t(c + 1), 2, d_.BankData[d_.CurBank].In[c].Trim});
}

void ParamSend::SendInputHowling(int c) {
    send({'I', 'S', 0, uint8_t(c + 1), 3, d_.BankData[d_.CurBank].In[c].HSOn});
}

void ParamSend::SendInputEQOn(int c) {
    send({'I', 'S', T(), uint8_t(c + 1), 4, d_.BankData[d_.CurBank].In[c].EQEnable});
}

void ParamSend::SendInputEQBand(int c, int band) {
    const InBand& b = d_.BankData[d_.CurBank].In[c].Band[band];
    send({'I', 'S', T(), uint8_t(c + 1), InBandSub[band], b.EQFreq, b.EQQ, b.EQGain});
}

void ParamSend::SendInputLevel(int c) {
    const InRec& in = d_.BankData[d_.CurBank].In[c];
    send({'I', 'S', 0, uint8_t(c + 1), 9, in.Lock, in.VRLink, in.Fader, d_.MemLevel[d_.CurBank].In[c]});
}

// ---- outputs

void ParamSend::SendOutputParam(int o) {
    const OutRec& out = d_.BankData[d_.CurBank].Out[o];
    const uint16_t delay = out.Delay;
    uint8_t* tx = link_.TxBuf.data();
    const uint8_t head[] = {'O', 'S', T(), uint8_t(o + 1), 0, out.DelayFlag, uint8_t(delay / 256), uint8_t(delay & 255),
                            out.EQEnable};
    std::copy(std::begin(head), std::end(head), tx);
    for (int b = 0; b < 6; ++b) {
        tx[9 + 4 * b] = out.EQType[b];
        tx[10 + 4 * b] = out.EQFreq[b];
        tx[11 + 4 * b] = out.EQQ[b];
        tx[12 + 4 * b] = OutBandGain(out, b);
    }
    tx[33] = out.Lock;
    tx[34] = out.VRLink;
    tx[35] = out.Fader;
    tx[36] = d_.MemLevel[d_.CurBank].Out[o];
    tx[37] = out.Balance;
    link_.SendTx(38, SetWait);
}

void ParamSend::SendOutputParamAll() {
    for (int o = 0; o < 6; ++o)
        SendOutputParam(o);
}

void ParamSend::SendOutputDelay(int o) {
    const OutRec& out = d_.BankData[d_.CurBank].Out[o];
    const uint16_t delay = out.Delay;
    send({'O', 'S', 0, uint8_t(o + 1), 1, out.DelayFlag, uint8_t(delay / 256), uint8_t(delay & 255)});
}

void ParamSend::SendOutputEQOn(int o) {
    send({'O', 'S', T(), uint8_t(o + 1), 2, d_.BankData[d_.CurBank].Out[o].EQEnable});
}

void ParamSend::SendOutputEQBand(int o, int b) {
    const OutRec& out = d_.BankData[d_.CurBank].Out[o];
    send({'O', 'S', T(), uint8_t(o + 1), uint8_t(3 + b), out.EQType[b], out.EQFreq[b], out.EQQ[b], OutBandGain(out, b)});
}

void ParamSend::SendOutputLevel(int o) {
    const OutRec& out = d_.BankData[d_.CurBank].Out[o];
    send({'O', 'S', 0, uint8_t(o + 1), 9, out.Lock, out.VRLink, out.Fader, d_.MemLevel[d_.CurBank].Out[o]});
}

void ParamSend::SendOutputBalance(int o) {
    send({'O', 'S', 0, uint8_t(o + 1), 31, d_.BankData[d_.CurBank].Out[o].Balance});
}

// ---- matrix

void ParamSend::SendMatrixSW(int k) {
    const MatrixRec& row = d_.BankData[d_.CurBank].Mix[k];
    uint8_t* tx = link_.TxBuf.data();
    const uint8_t head[] = {'M', 'S', T(), uint8_t(k + 1), 1};
    std::copy(std::begin(head), std::end(head), tx);
    for (int j = 0; j < 12; ++j)
        tx[5 + j] = Flag(row.SrcSwitch[j]);
    tx[17] = 0;
    tx[18] = row.ExtraSwitch;
    link_.SendTx(19, SetWait);
}

void ParamSend::SendMatrixLevel(int k) {
    const uint8_t* lv = d_.BankData[d_.CurBank].Mix[k].MixLevel;
    send({'M', 'S', T(), uint8_t(k + 1), 2, lv[0], lv[1], lv[2], lv[3], lv[4], lv[5]});
}

void ParamSend::SendMatrixMisc() { send({'M', 'S', T(), 1, 3, d_.BankData[d_.CurBank].Mix[0].LinkFlags}); }

void ParamSend::SendMatrixParamAll() {
    for (int k = 0; k < 4; ++k) {
        SendMatrixSW(k);
        SendMatrixLevel(k);
    }
    SendMatrixMisc();
}

// ---- system

void ParamSend::SendMonoStereo() {
    const BankRec& r = d_.BankData[d_.CurBank];
    // A mono switch is any non-zero byte; the unit takes bit 0 and bit 4.
    send({'P', 'S', T(), 1, uint8_t(Flag(r.Out[0].Mono) | Flag(r.Out[1].Mono) << 4)});
}

void ParamSend::SendSAParam() {
    const BankRec& r = d_.BankData[d_.CurBank];
    send({'P', 'S', T(), 2, r.SAMask, r.SAAtt, r.SATime});
}

void ParamSend::SendSMParam() {
    const BankRec& r = d_.BankData[d_.CurBank];
    send({'P', 'S', T(), 3, r.SMMask, r.SMTime});
}

void ParamSend::SendVT20Link() {
    const BankRec& r = d_.BankData[d_.CurBank];
    send({'P', 'S', T(), 4, r.VT20Out1Mask, r.VT20Out2Mask});
}

void ParamSend::SendExInputParam() {
    const BankRec& r = d_.BankData[d_.CurBank];
    uint8_t* tx = link_.TxBuf.data();
    const uint8_t head[] = {'P', 'S', T(), 5, r.RC24Mode};
    std::copy(std::begin(head), std::end(head), tx);
    for (int i = 0; i < 8; ++i) {
        tx[5 + i] = Flag(r.LinkMemNo[i]);
        tx[13 + i] = r.LinkMemNo[i];
    }
    link_.SendTx(21, SetWait);
}

void ParamSend::SendPatternMem() {
    const uint8_t* p = d_.BankData[d_.CurBank].PatternMemNo;
    send({'P', 'S', T(), 7, p[0], p[1], p[2], p[3]});
}

void ParamSend::SendPSParamAll() {
    SendMonoStereo();
    SendSAParam();
    SendSMParam();
    SendVT20Link();
    SendExInputParam();
    SendPatternMem();
}

// ---- external outputs

void ParamSend::SendRSAll() {
    uint8_t* tx = link_.TxBuf.data();
    const uint8_t head[] = {'R', 'S', 0, 0, 0};
    std::copy(std::begin(head), std::end(head), tx);
    for (int m = 1; m <= 16; ++m)
        tx[4 + m] = d_.BankData[m].ExtOutMask;
    link_.SendTx(21, SetWait);
}

void ParamSend::SendExtOut() { send({'R', 'S', 0, 0, 1, d_.BankData[d_.CurBank].ExtOutMask}); }

// ---- measurement, copies, loads

void ParamSend::SendHawlingMeasure(int op, int ch) { send({'P', 'H', uint8_t(op), 9, uint8_t(ch)}); }

void ParamSend::SendOutputEQCopy(int src, int dst) { send({'C', 'O', 2, uint8_t(dst + 1), uint8_t(src + 1)}); }

void ParamSend::SendInputEQCopy(int src, int dst) { send({'C', 'I', 2, uint8_t(dst + 1), uint8_t(src + 1)}); }

void ParamSend::SendLoadReq(char kind, uint8_t index) { send({uint8_t(kind), 'L', 0, index}); }

void ParamSend::SpeakerEQLoad(const QString& name, int o) {
    BankRec& r = d_.BankData[d_.CurBank];
    // Outputs that follow the unit's knob take its level first.
    SendLoadReq('D', 4);
    for (int i = 0; i < 4 && link_.Replied(); ++i) {
        OutRec& out = r.Out[ChToOut[i]];
        if (out.VRLink != 0)
            out.VRLevel = out.Fader = ClampByte(link_.RxBuf[3 + i], 6, 125);
    }

    OutRec& out = r.Out[o];
    const uint8_t fader = out.Fader;
    const uint8_t link = out.VRLink;
    out.VRLink = 0;
    out.Fader = 125;
    SendOutputLevel(o);
    waits_.TimerWait(200);

    const QString path = SpeakerFilePath(appPath_, name);
    if (LoadSpeakerFile(d_, path, o)) {
        for (int b = 0; b < 6; ++b)
            SendOutputEQBand(o, b);
    } else {
        host_.ShowMessage(SpeakerFileError(path));
    }

    // The level comes back whether the file could be read or not.
    waits_.TimerWait(200);
    out.VRLink = 0;
    out.Fader = fader;
    SendOutputLevel(o);
    out.VRLink = link;
    SendOutputLevel(o);
    waits_.TimerWait(200);
}

// ---- names

void ParamSend::sendName(uint8_t category, uint8_t index, const QString& name, int width, int tail) {
    std::array<uint8_t, 129> nameBytes;
    StrToByte(cp_, name, nameBytes);
    uint8_t* tx = link_.TxBuf.data();
    const uint8_t head[] = {'N', 'S', 0, category, index};
    std::copy(std::begin(head), std::end(head), tx);
    std::copy_n(nameBytes.begin(), width, tx + 5);
    std::fill_n(tx + 5 + width, tail, 0);
    link_.SendTx(5 + width + tail, SetWait);
}

void ParamSend::SendSystemName() { sendName(1, 1, d_.VenueName, 20, 2); }

void ParamSend::SendMemoryName(int m) { sendName(2, uint8_t(m), TableAt(d_.BankData, m).MemNameStr, 20, 2); }

void ParamSend::SendInputName(int ch) {
    // The companion unit's inputs are named on the PC only.
    if (ch == 10 || ch == 11)
        return;
    sendName(5, uint8_t(ch + 1), d_.BankData[d_.CurBank].InNameStr[ch], 12, 0);
}

void ParamSend::SendOutputName(int o) {
    if (o == 4 || o == 5)
        return;
    sendName(5, uint8_t(o + 11), d_.BankData[d_.CurBank].OutNameStr[o], 12, 0);
}

void ParamSend::SendChannelNames() {
    for (int ch = 0; ch < 12; ++ch)
        SendInputName(ch);
    for (int o = 0; o < 7; ++o)
        SendOutputName(o);
}

void ParamSend::SendExtOutName(int k) { sendName(4, uint8_t(k + 1), d_.BankData[d_.CurBank].ExtOutNameStr[k], 12, 0); }

void ParamSend::SendNS4All() {
    for (int k = 0; k < 8; ++k)
        SendExtOutName(k);
}

void ParamSend::SendSpeakerName(int k) { sendName(6, uint8_t(k + 1), d_.BankData[d_.CurBank].SpkNameStr[k], 20, 0); }

void ParamSend::SavePassword() { sendName(5, 15, link_.PasswordStr, 9, 0); }

// ---- memories

void ParamSend::SendBankRecall(int m) { send({'B', 'A', T(), uint8_t(m)}, MemoryWait); }

void ParamSend::SendMemoryStore(int m) {
    TableAt(d_.BankData, m) = d_.BankData[d_.CurBank];
    send({'S', 'A', T(), 0, uint8_t(m)}, MemoryWait);
}

void ParamSend::SendMemoryData(int mode) {
    if (mode == 0) {
        SendSystemName();
        for (int m = 1; m <= 16; ++m)
            SendMemoryName(m);
        SendChannelNames();
        SendRSAll();
        for (int k = 0; k < 4; ++k)
            SendSpeakerName(k);
        SendNS4All();
    }
    SendPSParamAll();
    waits_.TimerWait(100);
    SendInputParamAll();
    waits_.TimerWait(100);
    SendMatrixParamAll();
    waits_.TimerWait(100);
    SendOutputParamAll();
    waits_.TimerWait(100);
}

bool ParamSend::stopped() const { return !link_.AllBankContinue || link_.RunBroken(); }

bool ParamSend::SendAllBankData() {
    const AllBankRun run(link_, d_.CurBank);

    SendSystemName();
    SendChannelNames();
    for (int k = 0; k < 4; ++k)
        SendSpeakerName(k);
    SendNS4All();
    SendRSAll();
    host_.BankProgress(1);

    for (int m = 1; m <= 16 && !stopped(); ++m) {
        d_.CurBank = m;
        SendMemoryName(m);
        waits_.TimerWait(100);
        if (stopped())
            break;
        SendMemoryData(1);
        if (stopped())
            break;
        host_.BankProgress(m);
        if (stopped())
            break;
        waits_.TimerWait(300);
        if (stopped())
            break;
        SendMemoryStore(m);
        waits_.TimerWait(200);
    }
    return !run.Broken();
}

void ParamSend::RestoreMemory() {
    d_.RestoreMemory();
    SendMemoryData(0);
}

// ---- presets

void ParamSend::SetInEQPreset(int p) {
    for (int ch = 0; ch < 6; ++ch) {
        InRec& in = d_.BankData[d_.CurBank].In[ch];
        if (in.MicSel != 1)
            continue;
        in.EQEnable = 1;
        if (p >= 0 && p <= 2)
            ApplyInEQPreset(in, p);
        if (link_.OnLine) {
            SendInputEQOn(ch);
            TimeWait(clock_, 100);
            for (int band = 0; band < 3; ++band) {
                SendInputEQBand(ch, band);
                TimeWait(clock_, 20);
            }
        }
        TimeWait(clock_, 100);
    }
}

int ParamSend::GetInEQPreset() {
    int found = -1;
    for (int ch = 0; ch < 6; ++ch) {
        InRec& in = d_.BankData[d_.CurBank].In[ch];
        if (in.MicSel != 1)
            continue;
        if (in.EQEnable == 0) {
            in.EQEnable = 1;
            SendInputEQOn(ch);
        }
        const int r = CheckInEQPreset(d_, ch);
        if (r == -1 || (found != -1 && found != r))
            return -1;
        found = r;
    }
    return found;
}
