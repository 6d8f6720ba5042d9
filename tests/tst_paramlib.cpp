#include "ParamRig.h"
#include "RecordDiff.h"
#include "data/VenueFile.h"
#include "sim/SimFtdiDriver.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using namespace testrig;

namespace {

// A reply body of n bytes: the two letters, then zeros, then the given
// bytes at their indexes.
QByteArray Reply(const char* letters, int n, std::initializer_list<std::pair<int, int>> at) {
    QByteArray r(n, '\0');
    r[0] = letters[0];
    r[1] = letters[1];
    for (auto [i, v] : at)
        r[i] = static_cast<char>(v);
    return r;
}

// The emulator behind the bridge, answering at once; the records start at
// the factory defaults on both sides.
struct EmuRig {
    FakeClock clock;
    SimFtdiDriver usb{clock, false};
    FakeHost host;
    CodePage cp{CodePage::Japanese};
    TickWait waits;
    ParamData data;
    Link link;
    ParamSend send{data, link, cp, waits, clock, host, QString()};
    ParamLib lib{data, link, cp, waits, host, send};

    EmuRig() {
        clock.step = 1;
        usb.unit().setPaced(false);
        waits.pumpEvents = [this] { waits.Tick(); };
        for (int m = 0; m < ParamData::RecordCount; ++m)
            data.InitMemoryData(m);
        host.gate = true;
        link.SerialObj = std::make_unique<Serial>(link, host, clock, usb);
        usb.unit().model().state().micLineBits = 0x3F;
        link.SerialObj->PortOpen();
        link.OnLine = true;
    }
    UnitState& unit() { return usb.unit().model().state(); }
    void reset() {
        for (int m = 0; m < ParamData::RecordCount; ++m) {
            data.InitMemoryData(m);
            data.MemLevel[m] = LevelRec{};
        }
        data.VenueName.clear();
    }
};

// A record of values in range that differ from the defaults almost
// everywhere, and from one seed to the next.
void Vary(BankRec& r, LevelRec& lv, int seed) {
    int k = 0;
    const auto v = [&](int hi) { return uint8_t((seed * 7 + ++k * 13) % (hi + 1)); };
    for (int c = 0; c < 10; ++c) {
        InRec& in = r.In[c];
        in.Trim = uint8_t(1 + v(30));
        in.EQEnable = v(1);
        for (InBand& b : in.Band)
            b = {v(60), v(53), v(23)};
        in.HSOn = v(1);
        in.VRLink = v(1);
        in.Lock = v(1);
        in.Fader = uint8_t(6 + v(119));
        lv.In[c] = uint8_t(6 + v(119));
    }
    for (int o = 0; o < 6; ++o) {
        OutRec& out = r.Out[o];
        out.Delay = uint16_t((seed * 37 + o * 51) % 301);
        out.DelayFlag = v(1);
        out.EQEnable = v(1);
        for (int b = 0; b < 6; ++b) {
            out.EQType[b] = v(4);
            out.EQFreq[b] = v(53);
            out.EQQ[b] = v(23);
            // Filters carry no gain; the unit gets 29 for them.
            out.EQGain[b] = out.EQType[b] == 1 || out.EQType[b] == 2 ? 29 : v(60);
        }
        out.Balance = o % 2 == 0 ? 46 : v(46);
        out.Mono = o < 2 ? v(1) : 0;
        out.VRLink = v(1);
        out.Lock = v(1);
        out.Fader = uint8_t(6 + v(119));
        lv.Out[o] = uint8_t(6 + v(119));
    }
    const uint8_t linkFlags = uint8_t(0x22 | v(1) | v(1) << 4); // one setting, which every row reports
    for (MatrixRec& row : r.Mix) {
        for (uint8_t& sw : row.SrcSwitch)
            sw = v(1);
        row.ExtraSwitch = v(1);
        for (uint8_t& level : row.MixLevel)
            level = uint8_t(24 + v(101));
        row.LinkFlags = linkFlags;
    }
    r.SAMask = v(63);
    r.SAAtt = uint8_t(24 + v(69));
    r.SATime = v(12);
    r.SMMask = v(63);
    r.SMTime = v(12);
    r.VT20Out1Mask = v(15);
    r.VT20Out2Mask = v(15);
    r.RC24Mode = v(1);
    // The venue's own settings, alike in every memory.
    for (int i = 0; i < 4; ++i)
        r.PatternMemNo[i] = uint8_t(1 + (5 * i + 3) % 16);
    for (int i = 0; i < 8; ++i)
        r.LinkMemNo[i] = uint8_t((3 * i + 1) % 17);
}

} // namespace

class TestParamLib : public QObject {
    Q_OBJECT
private slots:
    void loadRequestsByteForByte();
    void parameterClamps();
    void balanceFixUp();
    void systemAndExternal();
    void systemLimitsAtTheirEdges();
    void statusReaders();
    void namesAndPassword();
    void unitNamesSurviveAVenueFile();
    void allMemoriesRoundTrip();
    void cancelledTransfers();
    void linkLostDuringRead();
    void transferStopsAtFirstUnanswered();
    void brokenReadKeepsPcCopy();
};

void TestParamLib::loadRequestsByteForByte() {
    ParamRig rig;
    rig.link.AllBankFlag = 1;
    rig.lib.ReadBankParam();
    rig.link.AllBankFlag = 0;
    rig.lib.ReadExtOut();
    rig.lib.ReadExtOutAll();
    rig.lib.ReadNameAll();
    rig.lib.LoadPassword();
    const QList<QByteArray> b = rig.bodies();
    QCOMPARE(b.size(), 4 + 10 + 4 + 6 + 6 + 1 + 1 + 1 + 1 + 16 + 10 + 7 + 8 + 4 + 1);
    // The first and last of each run.
    const std::pair<int, QByteArray> want[] = {
        {0, Bytes({'D', 'L', 0, 1})},      {1, Bytes({'D', 'L', 0, 3})},       {2, Bytes({'D', 'L', 0, 2})},
        {3, Bytes({'D', 'L', 0, 4})},      {4, Bytes({'I', 'L', 1, 1, 0})},    {13, Bytes({'I', 'L', 1, 10, 0})},
        {14, Bytes({'M', 'L', 1, 1, 0})},  {17, Bytes({'M', 'L', 1, 4, 0})},   {18, Bytes({'O', 'L', 1, 1, 0})},
        {23, Bytes({'O', 'L', 1, 6, 0})},  {24, Bytes({'P', 'L', 1, 1})},      {29, Bytes({'P', 'L', 1, 7})},
        {30, Bytes({'R', 'L', 0, 0, 1})},  {31, Bytes({'R', 'L', 0, 0, 0})},   {32, Bytes({'D', 'L', 0, 1})},
        {33, Bytes({'N', 'L', 0, 1, 1})},  {34, Bytes({'N', 'L', 0, 2, 1})},   {66, Bytes({'N', 'L', 0, 5, 17})},
        {74, Bytes({'N', 'L', 0, 4, 8})},  {78, Bytes({'N', 'L', 0, 6, 4})},   {79, Bytes({'N', 'L', 0, 5, 15})}};
    for (const auto& [i, body] : want)
        QCOMPARE(QByteArray::number(i) + ": " + b[i].toHex(' '), QByteArray::number(i) + ": " + body.toHex(' '));
}

void TestParamLib::parameterClamps() {
    ParamRig rig;
    rig.ftdi.answer = [](const QByteArray& q) {
        if (q.startsWith("IL"))
            return q[3] == 1 ? Reply("IL", 23, {{6, 0}, {7, 5}, {8, 1}, {9, 60}, {10, 30}, {11, 70}, {12, 11},
                                                {13, 12}, {14, 13}, {15, 21}, {16, 22}, {17, 23}, {18, 9},
                                                {21, 2}, {22, 200}})
                             : Reply("IL", 23, {{6, 40}, {21, 60}, {22, 70}});
        if (q.startsWith("OL"))
            return Reply("OL", 38, {{5, 3}, {6, 3}, {7, 200}, {9, 9}, {10, 99}, {11, 99}, {12, 99}, {35, 130},
                                    {36, 1}, {37, 46}});
        if (q.startsWith("ML"))
            return Reply("ML", 26, {{5, 1}, {6, 9}, {17, 1}, {18, 7}, {19, 0}, {24, 200}, {25, 0x33}});
        return q.left(2);
    };
    rig.lib.ReadInputParam();
    QCOMPARE(rig.bodies().size(), 10);
    QCOMPARE(rig.bodies()[0], Bytes({'I', 'L', 0, 1, 0}));
    const InRec& a = rig.data.BankData[0].In[0];
    const LevelRec& lv = rig.data.MemLevel[0];
    // Trim 0 is no trim; bands come as frequency, Q, gain for MID, LOW, HIGH.
    QCOMPARE((QList<int>{a.Trim, a.HSOn, a.Band[2].EQFreq, a.Band[2].EQQ, a.Band[2].EQGain, a.Band[0].EQFreq,
                         a.Band[0].EQGain, a.Band[1].EQFreq, a.Band[1].EQGain, a.RouteMask, a.Fader, lv.In[0],
                         rig.data.BankData[0].In[1].Trim, lv.In[9]}),
             (QList<int>{1, 1, 53, 23, 60, 11, 13, 21, 23, 9, 6, 125, 31, 70}));

    rig.lib.ReadOutputParam();
    const OutRec& o = rig.data.BankData[0].Out[5];
    // The delay is 1 x 256 + 200, then at most 300.
    QCOMPARE((QList<int>{o.DelayFlag, o.Delay, o.EQType[0], o.EQFreq[0], o.EQQ[0], o.EQGain[0], o.Fader, lv.Out[5]}),
             (QList<int>{1, 300, 4, 53, 23, 60, 125, 6}));

    rig.lib.ReadMatrix();
    const MatrixRec& m = rig.data.BankData[0].Mix[3];
    // Any non-zero switch is on.
    QCOMPARE((QList<int>{m.SrcSwitch[0], m.SrcSwitch[1], m.SrcSwitch[11], m.ExtraSwitch, m.MixLevel[0],
                         m.MixLevel[5], m.LinkFlags}),
             (QList<int>{1, 1, 0, 7, 24, 125, 0x33}));
}

void TestParamLib::balanceFixUp() {
    // Of each pair at least one side stays at 0 dB (46); both at 0 is none.
    const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{0, 0}, {46, 46}}, {{30, 40}, {46, 40}}, {{46, 12}, {46, 12}}, {{12, 46}, {12, 46}}, {{0, 46}, {0, 46}}};
    for (auto [in, out] : cases) {
        ParamRig rig;
        rig.ftdi.answer = [in](const QByteArray& q) {
            const int o = q[3] - 1;
            const int bal = o >= 4 ? 46 : o % 2 == 0 ? in.first : in.second;
            return Reply("OL", 38, {{37, bal}, {35, 125}, {36, 125}});
        };
        rig.lib.ReadOutputParam();
        const OutRec* o = rig.data.BankData[0].Out;
        for (int first : {0, 2})
            QCOMPARE(std::pair(int(o[first].Balance), int(o[first + 1].Balance)), out);
    }
}

void TestParamLib::systemAndExternal() {
    ParamRig rig;
    const QMap<int, QByteArray> pl{{1, Reply("PL", 4, {{3, 0x11}})},
                                   {2, Reply("PL", 6, {{3, 5}, {4, 10}, {5, 20}})},
                                   {3, Reply("PL", 5, {{3, 7}, {4, 13}})},
                                   {4, Reply("PL", 5, {{3, 3}, {4, 4}})},
                                   {5, Reply("PL", 20, {{3, 1}, {4, 1}, {5, 1}, {6, 0}, {12, 0}, {13, 40}, {14, 9}})},
                                   {7, Reply("PL", 7, {{3, 0}, {4, 17}, {5, 16}, {6, 2}})}};
    rig.ftdi.answer = [&pl](const QByteArray& q) {
        if (q.startsWith("RL"))
            return q[4] == 0 ? Reply("RL", 19, {{3, 1}, {18, 16}}) : Reply("RL", 4, {{3, 0x5A}});
        return pl.value(q[3]);
    };
    rig.lib.ReadSystemParam();
    const BankRec& r = rig.data.BankData[0];
    // A linked memory counts only where its flag is set; memory 0 is memory 1.
    QCOMPARE((QList<int>{r.Out[0].Mono, r.Out[1].Mono, r.SAAtt, r.SATime, r.SMTime, r.VT20Out2Mask, r.LinkMemNo[0],
                         r.LinkMemNo[1], r.LinkMemNo[2], r.PatternMemNo[0], r.PatternMemNo[1], r.PatternMemNo[2],
                         r.PatternMemNo[3]}),
             (QList<int>{1, 1, 24, 12, 12, 4, 1, 16, 0, 1, 16, 16, 2}));

    // The current record's external outputs, then every memory's (not the current record's).
    rig.lib.ReadExtOut();
    rig.lib.ReadExtOutAll();
    QCOMPARE((QList<int>{r.ExtOutMask, rig.data.BankData[1].ExtOutMask, rig.data.BankData[16].ExtOutMask}),
             (QList<int>{0x5A, 1, 16}));
    // Inside an all-memory read the current record's bits are not asked for.
    rig.link.AllBankFlag = 1;
    rig.clear();
    rig.lib.ReadExtOut();
    QVERIFY(rig.bodies().isEmpty());
}

void TestParamLib::systemLimitsAtTheirEdges() {
    // Sent: SAAtt, SATime, SMTime, a linked memory, a pattern memory; then
    // what the record keeps of them.
    const std::pair<QList<int>, QList<int>> cases[] = {{{24, 12, 12, 16, 16}, {24, 12, 12, 16, 16}},
                                                       {{93, 0, 0, 1, 1}, {93, 0, 0, 1, 1}},
                                                       {{94, 13, 13, 17, 17}, {93, 12, 12, 16, 16}},
                                                       {{255, 255, 255, 255, 255}, {93, 12, 12, 16, 16}},
                                                       {{23, 0, 0, 0, 0}, {24, 0, 0, 1, 1}}};
    for (const auto& [sent, kept] : cases) {
        ParamRig rig;
        rig.ftdi.answer = [v = sent](const QByteArray& q) {
            switch (q[3]) {
            case 2: return Reply("PL", 6, {{4, v[0]}, {5, v[1]}});
            case 3: return Reply("PL", 5, {{4, v[2]}});
            case 5: return Reply("PL", 20, {{4, 1}, {12, v[3]}});
            case 7: return Reply("PL", 7, {{3, v[4]}});
            default: return q.left(2);
            }
        };
        rig.lib.ReadSystemParam();
        const BankRec& r = rig.data.BankData[0];
        QCOMPARE((QList<int>{r.SAAtt, r.SATime, r.SMTime, r.LinkMemNo[0], r.PatternMemNo[0]}), kept);
    }
}

void TestParamLib::statusReaders() {
    ParamRig rig;
    BankRec& r = rig.data.BankData[0];
    const QMap<int, QByteArray> dl{{1, Reply("DL", 9, {{3, 0x05}, {4, 0x22}, {5, 0x81}, {6, 0x3F}, {7, 0x2A}, {8, 0}})},
                                   {2, Reply("DL", 13, {{3, 2}, {4, 130}, {5, 60}})},
                                   {3, Reply("DL", 8, {{3, 0x24}, {4, 0x01}, {5, 0}, {6, 0x80}, {7, 0x09}})},
                                   {4, Reply("DL", 7, {{3, 50}, {4, 70}, {5, 80}, {6, 90}})}};
    rig.ftdi.answer = [&dl](const QByteArray& q) { return dl.value(q[3]); };
    rig.data.MicLineStat = 0x3F;
    rig.lib.ReadInputStatus();
    // Peak bits first, then signal; inputs 6..9 share a byte.
    QCOMPARE((QList<int>{r.In[0].PeakOn, r.In[2].PeakOn, r.In[1].SignalOn, r.In[5].SignalOn, r.In[6].PeakOn,
                         r.In[9].SignalOn, rig.data.In48VFlag[5], rig.data.MicLineStatOld, rig.data.MicLineStat,
                         r.In[0].MicSel, r.In[1].MicSel}),
             (QList<int>{1, 1, 1, 1, 1, 1, 1, 0x3F, 0x2A, 0, 1}));

    r.Out[3].MeterStep = 4;
    rig.lib.ReadOutputStatus();
    // The highest bit lit is the step; only bit 7 leaves the step as it was.
    QCOMPARE((QList<int>{r.Out[0].MeterStep, r.Out[1].MeterStep, r.Out[2].MeterStep, r.Out[3].MeterStep,
                         r.Out[4].MeterStep, r.Out[5].OutLamp34}),
             (QList<int>{6, 1, 0, 4, 1, 1}));

    // A knob-linked channel's fader follows its knob; output channel 2 is block 2.
    r.In[1].VRLink = 1;
    r.Out[2].VRLink = 1;
    rig.lib.ReadInputLevel();
    rig.lib.ReadOutputLevel();
    QCOMPARE((QList<int>{r.In[0].VRLevel, r.In[1].VRLevel, r.In[1].Fader, r.In[2].VRLevel, r.In[2].Fader,
                         r.Out[0].VRLevel, r.Out[0].Fader, r.Out[2].Fader, r.Out[5].VRLevel}),
             (QList<int>{6, 125, 125, 60, 125, 50, 125, 70, 90}));
    QCOMPARE(rig.host.knobSides, QList<int>({0, 1}));
    rig.lib.ReadAllLevel();
    QCOMPARE(r.In[2].Fader, 60);
    QCOMPARE(r.Out[4].Fader, 80);

    rig.data.MemNo = 5;
    rig.lib.ReadPatternNo(); // 0 is memory 1
    rig.ftdi.answer = [](const QByteArray&) { return Reply("DL", 9, {{8, 40}}); };
    rig.lib.ReadPatternNo();
    rig.link.OnLine = false; // offline: memory 1
    rig.lib.ReadPatternNo();
    QCOMPARE(rig.host.memNos, QList<int>({1, 16, 1}));
    QCOMPARE(rig.data.MemNo, 1);
}

void TestParamLib::namesAndPassword() {
    ParamRig rig;
    int venueTold = 0;
    rig.data.venueNameChanged = [&] { ++venueTold; };
    rig.ftdi.answer = [](const QByteArray& q) {
        if (!q.startsWith("NL")) // the memory number asked first
            return q.left(2);
        const int cat = q[3], idx = q[4];
        const QByteArray r = Bytes({'N', 'L', 0, cat});
        if (cat == 1)
            return r + QByteArray("Grand Hall") + QByteArray(12, '\0');
        if (cat == 5 && idx == 15)
            return r + QByteArray("pass1234X");
        if (cat == 5 && idx == 1) // cut after the lead byte of a character
            return r + QByteArray("ABCDEFGHIJK\x82");
        return r + QByteArray("Name") + char('0' + idx) + QByteArray(17, '\0');
    };
    rig.lib.ReadNameAll();
    const BankRec& r = rig.data.BankData[0];
    QCOMPARE(rig.data.VenueName, QStringLiteral("Grand Hall"));
    QCOMPARE(venueTold, 1);
    QCOMPARE(r.InNameStr[0], QStringLiteral("ABCDEFGHIJK"));
    QCOMPARE(r.OutNameStr[6], QStringLiteral("NameA")); // slot 17
    QVERIFY(r.OutNameStr[4].isEmpty()); // the password slot never becomes a name
    // Channel and speaker names are copied into every memory.
    QCOMPARE(rig.data.BankData[9].OutNameStr[6], QStringLiteral("NameA"));
    QCOMPARE(rig.data.BankData[9].SpkNameStr[3], QStringLiteral("Name4"));

    rig.lib.LoadPassword(); // nine bytes come; the ninth is not the password's
    QCOMPARE(rig.link.PasswordStr, QStringLiteral("pass1234"));

    // Offline the readers ask nothing, yet the copy into the memories runs.
    rig.link.OnLine = false;
    rig.clear();
    rig.data.BankData[0].InNameStr[5] = QStringLiteral("PC only");
    rig.lib.ReadNameAll();
    QVERIFY(rig.bodies().isEmpty());
    QCOMPARE(rig.data.BankData[16].InNameStr[5], QStringLiteral("PC only"));
}

// Names as wide as the unit's fields hold them, read from the unit, are
// saved in a venue file and come back from it whole.
void TestParamLib::unitNamesSurviveAVenueFile() {
    EmuRig rig;
    UnitState& unit = rig.unit();
    for (int i = 1; i <= 17; ++i)
        unit.setNameField(5, i, i == 3 ? rig.cp.encode(QStringLiteral("会議室マイク")) : "ABCDEFGHIJ" + QByteArray::number(i + 10));
    for (int k = 1; k <= 8; ++k)
        unit.setNameField(4, k, "Relay out " + QByteArray::number(k + 10));
    for (int m = 1; m <= 16; ++m)
        unit.setNameField(2, m, "Memory name number " + QByteArray(1, char('A' + m)));
    for (int k = 1; k <= 4; ++k)
        unit.setNameField(6, k, "Speaker name numbr " + QByteArray(1, char('0' + k)));
    QVERIFY(rig.lib.ReadBack(true));
    const BankRec& read = rig.data.BankData[0];
    QCOMPARE(read.InNameStr[0], QStringLiteral("ABCDEFGHIJ11"));
    QCOMPARE(read.InNameStr[2], QStringLiteral("会議室マイク"));
    QCOMPARE(read.OutNameStr[6], QStringLiteral("ABCDEFGHIJ27"));
    QCOMPARE(read.ExtOutNameStr[7], QStringLiteral("Relay out 18"));
    QCOMPARE(rig.data.BankData[16].MemNameStr, QStringLiteral("Memory name number Q"));
    QCOMPARE(read.SpkNameStr[3], QStringLiteral("Speaker name numbr 4"));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Hall"));
    QVERIFY(SaveVenueFile(rig.data, rig.cp, file));
    ParamData back;
    QVERIFY(LoadVenueFile(back, rig.cp, file, true));
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        const auto want = rig.data.BankData[m].names(), got = back.BankData[m].names();
        for (int i = 0; i < NameCount; ++i)
            QCOMPARE(*got[i], *want[i]);
    }
}

void TestParamLib::allMemoriesRoundTrip() {
    EmuRig rig;
    BankRec& names = rig.data.BankData[0];
    rig.data.VenueName = QStringLiteral("大ホール");
    for (int c = 0; c < 10; ++c)
        names.InNameStr[c] = QStringLiteral("入力%1").arg(c);
    for (int o : {0, 1, 2, 3, 6})
        names.OutNameStr[o] = QStringLiteral("OUT-%1").arg(o);
    for (int k = 0; k < 8; ++k)
        names.ExtOutNameStr[k] = QStringLiteral("ランプ%1").arg(k);
    for (int k = 0; k < 4; ++k)
        names.SpkNameStr[k] = QStringLiteral("*天井%1").arg(k);
    for (int m = 1; m <= 16; ++m) {
        Vary(rig.data.BankData[m], rig.data.MemLevel[m], m + 3);
        rig.data.BankData[m].ExtOutMask = uint8_t(m * 11);
        rig.data.BankData[m].MemNameStr = QStringLiteral("記憶 %1").arg(m);
    }
    rig.link.AllBankContinue = true;
    rig.send.SendAllBankData();
    QCOMPARE(rig.host.lost, 0);
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.link.AllBankFlag, 0);
    QCOMPARE(rig.data.CurBank, 0);
    QCOMPARE(rig.host.progress.first(), 1);
    QCOMPARE(rig.host.progress.last(), 16);
    // The unit's own memories agree with the PC's records.
    for (int m = 1; m <= 16; ++m)
        QCOMPARE(QString::number(m) + FirstDifference(rig.unit().rec[m], rig.data.BankData[m], true),
                 QString::number(m));
    // The flag byte carried 1 during the transfer.
    const QList<QByteArray> heard = rig.usb.unit().model().requests();
    QVERIFY(std::all_of(heard.begin(), heard.end(), [](const QByteArray& q) {
        return !(q.startsWith("IS") || q.startsWith("SA")) || q[2] == 1;
    }));

    const ParamData sent = rig.data;
    rig.reset();
    rig.host.progress.clear();
    rig.lib.AllBankRead();
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.host.progress.size(), 17);
    const BankRec& b = rig.data.BankData[0];
    QCOMPARE(rig.data.VenueName, sent.VenueName);
    QCOMPARE(b.InNameStr, sent.BankData[0].InNameStr);
    QCOMPARE(b.ExtOutNameStr, sent.BankData[0].ExtOutNameStr);
    QCOMPARE(b.SpkNameStr, sent.BankData[0].SpkNameStr);
    for (int o : {0, 1, 2, 3, 6})
        QCOMPARE(b.OutNameStr[o], sent.BankData[0].OutNameStr[o]);
    for (int m = 1; m <= 16; ++m) {
        QCOMPARE(QString::number(m) + FirstDifference(rig.data.BankData[m], sent.BankData[m], true),
                 QString::number(m));
        QCOMPARE(rig.data.BankData[m].MemNameStr, sent.BankData[m].MemNameStr);
        QCOMPARE(rig.data.BankData[m].InNameStr, sent.BankData[0].InNameStr);
        QCOMPARE(std::memcmp(&rig.data.MemLevel[m], &sent.MemLevel[m], 10 + 6), 0);
    }
    QCOMPARE(rig.unit().memNo, 16); // the unit is left on the last memory
}

void TestParamLib::cancelledTransfers() {
    EmuRig rig;
    for (int m = 1; m <= 16; ++m)
        Vary(rig.data.BankData[m], rig.data.MemLevel[m], m);
    const UnitState before = rig.unit();
    rig.link.AllBankContinue = true;
    rig.data.CurBank = 7;
    rig.host.onProgress = [&](int m) { rig.link.AllBankContinue = m != 3; };
    rig.send.SendAllBankData();
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.data.CurBank, 7);
    QCOMPARE(rig.link.AllBankFlag, 0);
    for (int m = 1; m <= 2; ++m)
        QCOMPARE(FirstDifference(rig.unit().rec[m], rig.data.BankData[m], true), QString());
    // The later memories keep their settings; only the venue's own ones,
    // alike in every memory, follow the memories sent.
    for (int m = 3; m <= 16; ++m) {
        BankRec kept = before.rec[m];
        std::copy_n(rig.data.BankData[2].PatternMemNo, 4, kept.PatternMemNo);
        std::copy_n(rig.data.BankData[2].LinkMemNo, 8, kept.LinkMemNo);
        QVERIFY2(rig.unit().rec[m] == kept, qPrintable(QString::number(m)));
    }

    // A cancelled read leaves the later memories as they were, and still
    // reads the external outputs of all of them.
    rig.link.AllBankContinue = true;
    rig.data.CurBank = 0;
    const BankRec untouched = rig.data.BankData[5];
    rig.host.onProgress = [&](int m) { rig.link.AllBankContinue = m != 2; };
    rig.usb.unit().model().clearRequests();
    rig.lib.AllBankRead();
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.data.CurBank, 0);
    QCOMPARE(FirstDifference(rig.data.BankData[5], untouched, false), QString());
    QVERIFY(rig.usb.unit().model().requests().last().startsWith("RL"));
}

void TestParamLib::linkLostDuringRead() {
    EmuRig rig;
    Vary(rig.data.BankData[0], rig.data.MemLevel[0], 9);
    rig.send.SendMemoryData(1);
    const ParamData sent = rig.data;
    rig.reset();
    const BankRec fresh = rig.data.BankData[0];

    // Status and levels (4 requests) and six inputs are answered, then
    // nothing: what RxBuf still holds is input 6's reply, which must not
    // land in input 7.
    rig.usb.unit().silentAfter(4 + 6);
    rig.lib.ReadBankParam();
    QCOMPARE(rig.host.lost, 1);
    QVERIFY(!rig.link.OnLine);
    BankRec want = fresh;
    std::copy_n(sent.BankData[0].In, 6, want.In);
    QCOMPARE(FirstDifference(rig.data.BankData[0], want, true), QString());
    // Three tries of the seventh input, then nothing more.
    QCOMPARE(rig.usb.unit().rawFrames().size(), 31 + 4 + 6 + 3);
}

void TestParamLib::transferStopsAtFirstUnanswered() {
    EmuRig rig; // the send gate open, as on the start window: a lost message would not stop later ones
    for (int m = 1; m <= 16; ++m)
        Vary(rig.data.BankData[m], rig.data.MemLevel[m], m);
    rig.data.CurBank = 4;
    rig.link.AllBankContinue = true;
    rig.usb.unit().silentAfter(40);
    QVERIFY(!rig.send.SendAllBankData());
    QCOMPARE(rig.host.lost, 1);
    // Three tries of the 41st message, then nothing more of the transfer.
    QCOMPARE(rig.usb.unit().rawFrames().size(), 43);
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.link.AllBankFlag, 0);
    QCOMPARE(rig.data.CurBank, 4);

    // The unit is back and found: the next message goes out as ever.
    rig.usb.unit().clearFaults();
    rig.link.OnLine = true;
    rig.send.SendBankRecall(1);
    QVERIFY(rig.link.Replied());
    QCOMPARE(rig.usb.unit().rawFrames().size(), 44);
    QVERIFY(rig.send.SendAllBankData());

    // A transfer whose messages the gate holds back reached nothing,
    // although the last exchange was answered.
    rig.link.OnLine = false;
    rig.host.gate = false;
    rig.usb.unit().clearLogs();
    rig.host.progress.clear();
    QVERIFY(!rig.send.SendAllBankData());
    QVERIFY(!rig.link.Replied());
    QCOMPARE(rig.host.progress, QList<int>{1});
}

// A read the unit breaks off at any of its requests leaves the PC's copy
// as it was before the read, save what the read does offline.
void TestParamLib::brokenReadKeepsPcCopy() {
    EmuRig rig;
    UnitState& unit = rig.unit();
    Vary(unit.rec[0], unit.level[0], 5);
    unit.memNo = 7;
    unit.phantomBits = 0x15;
    unit.micLineBits = 0x0C;
    unit.setNameField(1, 1, "Unit venue");
    for (int i = 1; i <= 17; ++i)
        unit.setNameField(5, i, "Unit ch " + QByteArray::number(i));
    for (int m = 1; m <= 16; ++m)
        unit.setNameField(2, m, "Unit mem " + QByteArray::number(m));
    for (int k = 1; k <= 4; ++k)
        unit.setNameField(6, k, "Unit spk " + QByteArray::number(k));

    for (int m = 0; m < ParamData::RecordCount; ++m)
        Vary(rig.data.BankData[m], rig.data.MemLevel[m], 20 + m);
    rig.data.BankData[0].InNameStr[5] = QStringLiteral("PC only");
    rig.data.VenueName = QStringLiteral("PC venue");
    rig.data.MemNo = 3;
    const ParamData pc = rig.data;
    // What an offline read does: the names of the current record go into
    // every memory.
    ParamData pcOffline = pc;
    for (int m = 1; m <= 16; ++m)
        pcOffline.BankData[m].InNameStr[5] = QStringLiteral("PC only");

    const auto same = [](const ParamData& a, const ParamData& b) {
        for (int m = 0; m < ParamData::RecordCount; ++m)
            if (!(a.BankData[m] == b.BankData[m]) ||
                std::memcmp(&a.MemLevel[m], &b.MemLevel[m], sizeof(LevelRec)) != 0)
                return QStringLiteral("record %1").arg(m);
        if (a.MemNo != b.MemNo || a.VenueName != b.VenueName || a.In48VFlag != b.In48VFlag ||
            a.MicLineStat != b.MicLineStat || a.MicLineStatOld != b.MicLineStatOld)
            return QStringLiteral("memory, venue or status");
        return QString();
    };
    struct Read {
        const char* name;
        std::function<bool()> run;
        bool names;
        int stride;
    };
    const Read reads[] = {
        {"read-back with names", [&] { return rig.lib.ReadBack(true); }, true, 1},
        {"read-back", [&] { return rig.lib.ReadBack(false); }, false, 1},
        {"all memories", [&] { return rig.lib.AllBankRead(); }, true, 7},
    };
    for (const Read& read : reads) {
        // Whole, the read takes the unit's values.
        rig.data = pc;
        rig.link.OnLine = true;
        rig.link.AllBankContinue = true;
        rig.usb.unit().clearFaults();
        rig.usb.unit().clearLogs();
        QVERIFY(read.run());
        QCOMPARE(rig.data.MemNo, read.names ? 7 : pc.MemNo);
        QVERIFY(!same(rig.data, read.names ? pcOffline : pc).isEmpty());
        const int requests = static_cast<int>(rig.usb.unit().rawFrames().size());

        for (int n = 0; n < requests; n += read.stride) {
            rig.data = pc;
            rig.link.OnLine = true;
            rig.host.memNos.clear();
            rig.usb.unit().clearFaults();
            rig.usb.unit().clearLogs();
            rig.usb.unit().silentAfter(n);
            const QString at =
                QStringLiteral("%1, unit silent after %2: ").arg(QLatin1String(read.name)).arg(n);
            QCOMPARE(at + QString::number(read.run()), at + QStringLiteral("0"));
            QCOMPARE(at + same(rig.data, read.names ? pcOffline : pc), at);
            QCOMPARE(rig.host.memNos.value(rig.host.memNos.size() - 1, pc.MemNo), pc.MemNo);
            QCOMPARE(rig.usb.unit().rawFrames().size(), n + 3);
        }
    }
}

QTEST_GUILESS_MAIN(TestParamLib)
#include "tst_paramlib.moc"
