#include "ParamRig.h"
#include "sim/SimFtdiDriver.h"

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
// everywhere.
void Vary(BankRec& r, LevelRec& lv, int seed) {
    auto v = [&](int i, int hi) { return uint8_t((seed * 7 + i * 13) % (hi + 1)); };
    for (int c = 0; c < 10; ++c) {
        InRec& in = r.In[c];
        in.Trim = uint8_t(1 + v(c, 30));
        in.EQEnable = v(c + 1, 1);
        for (int b = 0; b < 3; ++b)
            in.Band[b] = {v(c * 3 + b, 60), v(c * 5 + b, 53), v(c * 7 + b, 23)};
        in.HSOn = v(c + 2, 1);
        in.VRLink = v(c + 3, 1);
        in.Lock = v(c + 4, 1);
        in.Fader = uint8_t(6 + v(c + 5, 119));
        lv.In[c] = uint8_t(6 + v(c + 6, 119));
    }
    for (int o = 0; o < 6; ++o) {
        OutRec& out = r.Out[o];
        out.Delay = uint16_t((seed * 37 + o * 51) % 301);
        out.DelayFlag = v(o, 1);
        out.EQEnable = v(o + 1, 1);
        for (int b = 0; b < 6; ++b) {
            out.EQType[b] = v(o * 6 + b, 4);
            out.EQFreq[b] = v(o * 7 + b, 53);
            out.EQQ[b] = v(o * 11 + b, 23);
            // Filters carry no gain; the unit gets 29 for them.
            out.EQGain[b] = out.EQType[b] == 1 || out.EQType[b] == 2 ? 29 : v(o * 13 + b, 60);
        }
        out.Balance = o % 2 == 0 ? 46 : v(o, 46);
        out.Mono = o < 2 ? v(o + 9, 1) : 0;
        out.VRLink = v(o + 2, 1);
        out.Lock = v(o + 3, 1);
        out.Fader = uint8_t(6 + v(o + 4, 119));
        lv.Out[o] = uint8_t(6 + v(o + 5, 119));
    }
    for (int k = 0; k < 4; ++k) {
        MatrixRec& row = r.Mix[k];
        for (int j = 0; j < 12; ++j)
            row.SrcSwitch[j] = v(k * 12 + j, 1);
        row.ExtraSwitch = v(k, 1);
        for (int i = 0; i < 6; ++i)
            row.MixLevel[i] = uint8_t(24 + v(k * 6 + i, 101));
        row.LinkFlags = uint8_t(0x22 | v(k, 1) | (v(k + 1, 1) << 4));
    }
    for (int k = 1; k < 4; ++k)
        r.Mix[k].LinkFlags = r.Mix[0].LinkFlags;
    r.SAMask = v(1, 63);
    r.SAAtt = uint8_t(24 + v(2, 69));
    r.SATime = v(3, 12);
    r.SMMask = v(4, 63);
    r.SMTime = v(5, 12);
    r.VT20Out1Mask = v(6, 15);
    r.VT20Out2Mask = v(7, 15);
    for (int i = 0; i < 4; ++i)
        r.PatternMemNo[i] = uint8_t(1 + v(8 + i, 15));
    r.RC24Mode = v(12, 1);
    for (int i = 0; i < 8; ++i)
        r.LinkMemNo[i] = v(13 + i, 16);
}

// The bytes a record shows the unit and gets back from it: without the
// live status, the knob levels, the routing mask, block 6 and the external
// outputs (sent for the memories only).
std::vector<uint8_t> Sendable(const BankRec& r, bool withExtOut) {
    BankRec c = r;
    for (InRec& in : c.In) {
        in.RouteMask = in.VRLevel = in.SignalOn = in.PeakOn = 0;
        in.MicSel = 0;
    }
    for (OutRec& o : c.Out)
        o.VRLevel = o.OutLamp34 = o.MeterStep = 0;
    c.Out[6] = OutRec{};
    if (!withExtOut)
        c.ExtOutMask = 0;
    return std::vector<uint8_t>(c.fixedBytes(), c.fixedBytes() + BankFixedBytes);
}

QString FirstDifference(const BankRec& a, const BankRec& b, bool withExtOut) {
    const auto x = Sendable(a, withExtOut);
    const auto y = Sendable(b, withExtOut);
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] != y[i])
            return QStringLiteral("byte %1: %2 != %3").arg(i).arg(x[i]).arg(y[i]);
    return {};
}

void Name(BankRec& r, int seed) {
    for (int c = 0; c < 10; ++c)
        r.InNameStr[c] = QStringLiteral("入力%1-%2").arg(c).arg(seed);
    for (int o : {0, 1, 2, 3, 6})
        r.OutNameStr[o] = QStringLiteral("OUT-%1").arg(o);
    for (int k = 0; k < 8; ++k)
        r.ExtOutNameStr[k] = QStringLiteral("ランプ%1").arg(k);
    for (int k = 0; k < 4; ++k)
        r.SpkNameStr[k] = QStringLiteral("*天井%1").arg(k);
}

} // namespace

class TestParamLib : public QObject {
    Q_OBJECT
private slots:
    void loadRequestsByteForByte();
    void parameterClamps();
    void balanceFixUp();
    void systemAndExternal();
    void statusReaders();
    void noReplyStoresNothing();
    void namesAndPassword();
    void recordRoundTrip();
    void allMemoriesRoundTrip();
    void cancelledTransfers();
    void linkLostDuringRead();
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
    const QList<QByteArray> want = {
        Bytes({'D', 'L', 0, 1}),    Bytes({'D', 'L', 0, 3}),    Bytes({'D', 'L', 0, 2}),    Bytes({'D', 'L', 0, 4}),
        Bytes({'I', 'L', 1, 1, 0}), Bytes({'I', 'L', 1, 10, 0}), Bytes({'M', 'L', 1, 1, 0}), Bytes({'M', 'L', 1, 4, 0}),
        Bytes({'O', 'L', 1, 1, 0}), Bytes({'O', 'L', 1, 6, 0}), Bytes({'P', 'L', 1, 1}),    Bytes({'P', 'L', 1, 7}),
        Bytes({'R', 'L', 0, 0, 1}), Bytes({'R', 'L', 0, 0, 0}), Bytes({'D', 'L', 0, 1}),    Bytes({'N', 'L', 0, 1, 1}),
        Bytes({'N', 'L', 0, 2, 1}), Bytes({'N', 'L', 0, 5, 17}), Bytes({'N', 'L', 0, 4, 8}), Bytes({'N', 'L', 0, 6, 4}),
        Bytes({'N', 'L', 0, 5, 15})};
    // Picks of the sequence: first and last of each run.
    const int at[] = {0, 1, 2, 3, 4, 13, 14, 17, 18, 23, 24, 29, 30, 31, 32, 33, 34, 34 + 16 + 10 + 6,
                      34 + 16 + 10 + 7 + 7, 34 + 16 + 10 + 7 + 8 + 3, 34 + 16 + 10 + 7 + 8 + 4};
    for (int i = 0; i < want.size(); ++i)
        QVERIFY2(b[at[i]] == want[i], qPrintable(QStringLiteral("%1: %2").arg(at[i]).arg(QString::fromLatin1(b[at[i]].toHex(' ')))));
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
    const InRec& a = rig.data.BankData[0].In[0];
    QCOMPARE(a.Trim, 1); // 0 is no trim
    QCOMPARE(a.HSOn, 1);
    QCOMPARE(a.Band[2].EQFreq, 53);
    QCOMPARE(a.Band[2].EQQ, 23);
    QCOMPARE(a.Band[2].EQGain, 60);
    QCOMPARE(a.Band[0].EQFreq, 11);
    QCOMPARE(a.Band[0].EQGain, 13);
    QCOMPARE(a.Band[1].EQFreq, 21);
    QCOMPARE(a.Band[1].EQGain, 23);
    QCOMPARE(a.RouteMask, 9);
    QCOMPARE(a.Fader, 6);
    QCOMPARE(rig.data.MemLevel[0].In[0], 125);
    QCOMPARE(rig.data.BankData[0].In[1].Trim, 31);
    QCOMPARE(rig.data.MemLevel[0].In[9], 70);
    QCOMPARE(rig.bodies()[0], Bytes({'I', 'L', 0, 1, 0}));
    QCOMPARE(rig.bodies().size(), 10);

    rig.lib.ReadOutputParam();
    const OutRec& o = rig.data.BankData[0].Out[5];
    QCOMPARE(o.DelayFlag, 1);
    QCOMPARE(uint16_t(o.Delay), 300); // 1 x 256 + 200, then at most 300
    QCOMPARE(o.EQType[0], 4);
    QCOMPARE(o.EQFreq[0], 53);
    QCOMPARE(o.EQQ[0], 23);
    QCOMPARE(o.EQGain[0], 60);
    QCOMPARE(o.Fader, 125);
    QCOMPARE(rig.data.MemLevel[0].Out[5], 6);

    rig.lib.ReadMatrix();
    const MatrixRec& m = rig.data.BankData[0].Mix[3];
    QCOMPARE(m.SrcSwitch[0], 1);
    QCOMPARE(m.SrcSwitch[1], 1); // any non-zero switch is on
    QCOMPARE(m.SrcSwitch[11], 0);
    QCOMPARE(m.ExtraSwitch, 7);
    QCOMPARE(m.MixLevel[0], 24);
    QCOMPARE(m.MixLevel[5], 125);
    QCOMPARE(m.LinkFlags, 0x33);
}

void TestParamLib::balanceFixUp() {
    const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{0, 0}, {46, 46}}, {{30, 40}, {46, 40}}, {{46, 12}, {46, 12}}, {{12, 46}, {12, 46}}, {{0, 46}, {0, 46}}};
    for (auto [in, out] : cases) {
        ParamRig rig;
        rig.ftdi.answer = [in](const QByteArray& q) {
            const int o = q[3] - 1;
            const int bal = o == 0 ? in.first : o == 1 ? in.second : 46;
            return Reply("OL", 38, {{37, bal}, {35, 125}, {36, 125}});
        };
        rig.lib.ReadOutputParam();
        QCOMPARE(rig.data.BankData[0].Out[0].Balance, out.first);
        QCOMPARE(rig.data.BankData[0].Out[1].Balance, out.second);
    }
}

void TestParamLib::systemAndExternal() {
    ParamRig rig;
    rig.ftdi.answer = [](const QByteArray& q) {
        if (q.startsWith("PL")) {
            switch (q[3]) {
            case 1:
                return Reply("PL", 4, {{3, 0x11}});
            case 2:
                return Reply("PL", 6, {{3, 5}, {4, 10}, {5, 20}});
            case 3:
                return Reply("PL", 5, {{3, 7}, {4, 13}});
            case 5:
                return Reply("PL", 20, {{3, 1}, {4, 1}, {5, 1}, {6, 0}, {12, 0}, {13, 40}, {14, 9}});
            case 7:
                return Reply("PL", 7, {{3, 0}, {4, 17}, {5, 16}, {6, 2}});
            }
            return Reply("PL", 5, {{3, 3}, {4, 4}});
        }
        if (q.startsWith("RL"))
            return q[4] == 0 ? Reply("RL", 19, {{3, 1}, {18, 16}}) : Reply("RL", 4, {{3, 0x5A}});
        return q.left(2);
    };
    rig.lib.ReadSystemParam();
    const BankRec& r = rig.data.BankData[0];
    QCOMPARE(r.Out[0].Mono, 1);
    QCOMPARE(r.Out[1].Mono, 1);
    QCOMPARE(r.SAAtt, 24);
    QCOMPARE(r.SATime, 12);
    QCOMPARE(r.SMTime, 12);
    QCOMPARE(r.VT20Out2Mask, 4);
    QCOMPARE(r.LinkMemNo[0], 1); // flag set, memory 0: memory 1
    QCOMPARE(r.LinkMemNo[1], 16);
    QCOMPARE(r.LinkMemNo[2], 0); // flag clear
    const uint8_t pattern[] = {1, 16, 16, 2};
    QVERIFY(std::memcmp(r.PatternMemNo, pattern, 4) == 0);

    rig.lib.ReadExtOut();
    QCOMPARE(r.ExtOutMask, 0x5A);
    rig.lib.ReadExtOutAll();
    QCOMPARE(rig.data.BankData[1].ExtOutMask, 1);
    QCOMPARE(rig.data.BankData[16].ExtOutMask, 16);
    QCOMPARE(r.ExtOutMask, 0x5A);
    // Inside an all-memory read the current record's bits are not asked for.
    rig.link.AllBankFlag = 1;
    rig.clear();
    rig.lib.ReadExtOut();
    QVERIFY(rig.bodies().isEmpty());
}

void TestParamLib::statusReaders() {
    ParamRig rig;
    BankRec& r = rig.data.BankData[0];
    rig.ftdi.answer = [](const QByteArray& q) {
        switch (q[3]) {
        case 1:
            return Reply("DL", 9, {{3, 0x05}, {4, 0x22}, {5, 0x81}, {6, 0x3F}, {7, 0x2A}, {8, 0}});
        case 2:
            return Reply("DL", 13, {{3, 2}, {4, 130}, {5, 60}});
        case 3:
            return Reply("DL", 8, {{3, 0x24}, {4, 0x01}, {5, 0}, {6, 0x80}, {7, 0x09}});
        default:
            return Reply("DL", 7, {{3, 50}, {4, 70}, {5, 80}, {6, 90}});
        }
    };
    rig.data.MicLineStat = 0x3F;
    rig.lib.ReadInputStatus();
    QCOMPARE(r.In[0].PeakOn, 1);
    QCOMPARE(r.In[2].PeakOn, 1);
    QCOMPARE(r.In[1].SignalOn, 1);
    QCOMPARE(r.In[5].SignalOn, 1);
    QCOMPARE(r.In[6].PeakOn, 1);
    QCOMPARE(r.In[9].SignalOn, 1);
    QCOMPARE(rig.data.In48VFlag[5], 1);
    QCOMPARE(rig.data.MicLineStatOld, 0x3F);
    QCOMPARE(rig.data.MicLineStat, 0x2A);
    QCOMPARE(r.In[0].MicSel, 0);
    QCOMPARE(r.In[1].MicSel, 1);

    r.Out[3].MeterStep = 4;
    rig.lib.ReadOutputStatus();
    QCOMPARE(r.Out[0].MeterStep, 6);
    QCOMPARE(r.Out[1].MeterStep, 1);
    QCOMPARE(r.Out[2].MeterStep, 0);
    QCOMPARE(r.Out[3].MeterStep, 4); // only bit 7: unchanged
    QCOMPARE(r.Out[4].MeterStep, 1);
    QCOMPARE(r.Out[5].OutLamp34, 1);

    r.In[1].VRLink = 1;
    r.Out[2].VRLink = 1;
    rig.lib.ReadInputLevel();
    QCOMPARE(r.In[0].VRLevel, 6);
    QCOMPARE(r.In[1].VRLevel, 125);
    QCOMPARE(r.In[1].Fader, 125);
    QCOMPARE(r.In[2].VRLevel, 60);
    QCOMPARE(r.In[2].Fader, 125); // not linked: the fader stays
    rig.lib.ReadOutputLevel();
    QCOMPARE(r.Out[0].VRLevel, 50);
    QCOMPARE(r.Out[0].Fader, 125);
    QCOMPARE(r.Out[2].Fader, 70);
    QCOMPARE(r.Out[5].VRLevel, 90);
    QCOMPARE(rig.host.knobSides, QList<int>({0, 1}));

    rig.lib.ReadAllLevel();
    QCOMPARE(r.In[2].Fader, 60);
    QCOMPARE(r.Out[4].Fader, 80);

    rig.data.MemNo = 5;
    rig.lib.ReadPatternNo(); // 0 is memory 1
    QCOMPARE(rig.data.MemNo, 1);
    rig.ftdi.answer = [](const QByteArray&) { return Reply("DL", 9, {{8, 40}}); };
    rig.lib.ReadPatternNo();
    QCOMPARE(rig.data.MemNo, 16);
    rig.link.OnLine = false;
    rig.lib.ReadPatternNo();
    QCOMPARE(rig.data.MemNo, 1);
    QCOMPARE(rig.host.memNos, QList<int>({1, 16, 1}));
}

void TestParamLib::noReplyStoresNothing() {
    ParamRig rig;
    // Input 3's request goes unanswered (three times): what RxBuf still holds
    // is input 2's reply, which must not land in input 3.
    rig.ftdi.answer = [](const QByteArray& q) {
        return q[3] == 4 ? QByteArray() : Reply("IL", 23, {{6, 7}, {21, 50}, {22, 60}});
    };
    rig.lib.ReadInputParam();
    QCOMPARE(rig.data.BankData[0].In[2].Trim, 7);
    QCOMPARE(rig.data.BankData[0].In[3].Trim, 31);
    QCOMPARE(rig.data.BankData[0].In[3].Fader, 125);
    QCOMPARE(rig.host.lost, 1);
    QVERIFY(!rig.link.OnLine);
    // Nothing more was asked once the link was lost.
    QCOMPARE(rig.bodies().size(), 3 + 3);
}

void TestParamLib::namesAndPassword() {
    ParamRig rig;
    int venueTold = 0;
    rig.data.venueNameChanged = [&] { ++venueTold; };
    rig.ftdi.answer = [](const QByteArray& q) {
        const int cat = q[3], idx = q[4];
        QByteArray r = Bytes({'N', 'L', 0, cat});
        if (cat == 1)
            return r + QByteArray("Grand Hall") + QByteArray(12, '\0');
        if (cat == 2)
            return r + QByteArray("Mem") + char('A' + idx) + QByteArray(18, '\0');
        if (cat == 5 && idx == 15)
            return r + QByteArray("pass1234X");
        if (cat == 5 && idx == 1) // cut after the lead byte of a character
            return r + QByteArray("ABCDEFGHIJK\x82");
        if (cat == 5)
            return r + QByteArray("\x93\xFC\x97\xCD") + char('0' + idx % 10) + QByteArray(7, '\0');
        if (cat == 4)
            return r + QByteArray("Ext") + char('0' + idx) + QByteArray(8, '\0');
        return r + QByteArray("Speaker") + char('0' + idx) + QByteArray(12, '\0');
    };
    rig.lib.ReadNameAll();
    const BankRec& r = rig.data.BankData[0];
    QCOMPARE(rig.data.VenueName, QStringLiteral("Grand Hall"));
    QCOMPARE(venueTold, 1);
    QCOMPARE(rig.data.BankData[1].MemNameStr, QStringLiteral("MemB"));
    QCOMPARE(rig.data.BankData[16].MemNameStr, QStringLiteral("MemQ"));
    QCOMPARE(r.InNameStr[0], QStringLiteral("ABCDEFGHIJK"));
    QCOMPARE(r.InNameStr[1], QStringLiteral("入力2"));
    QCOMPARE(r.OutNameStr[0], QStringLiteral("入力1"));
    QCOMPARE(r.OutNameStr[6], QStringLiteral("入力7"));
    // The password slot never becomes output name 4.
    QVERIFY(r.OutNameStr[4].isEmpty());
    QCOMPARE(r.ExtOutNameStr[7], QStringLiteral("Ext8"));
    QCOMPARE(r.SpkNameStr[3], QStringLiteral("Speaker4"));
    // Channel and speaker names are copied into every memory.
    QCOMPARE(rig.data.BankData[9].InNameStr[1], QStringLiteral("入力2"));
    QCOMPARE(rig.data.BankData[9].SpkNameStr[0], QStringLiteral("Speaker1"));
    QCOMPARE(rig.bodies().size(), 1 + 1 + 16 + 10 + 7 + 8 + 4);

    rig.lib.LoadPassword();
    QCOMPARE(rig.link.PasswordStr, QStringLiteral("pass1234"));

    // Offline the readers ask nothing, yet the copy into the memories runs.
    rig.link.OnLine = false;
    rig.clear();
    rig.data.BankData[0].InNameStr[5] = QStringLiteral("PC only");
    rig.lib.ReadNameAll();
    QVERIFY(rig.bodies().isEmpty());
    QCOMPARE(rig.data.BankData[16].InNameStr[5], QStringLiteral("PC only"));
}

void TestParamLib::recordRoundTrip() {
    EmuRig rig;
    BankRec& a = rig.data.BankData[0];
    Vary(a, rig.data.MemLevel[0], 1);
    Name(a, 0);
    rig.data.VenueName = QStringLiteral("大ホール");
    for (int m = 1; m <= 16; ++m)
        rig.data.BankData[m].MemNameStr = QStringLiteral("記憶 %1").arg(m);
    rig.send.SendMemoryData(0);
    QCOMPARE(rig.host.lost, 0);

    const ParamData sent = rig.data;
    rig.reset();
    rig.lib.ReadNameAll();
    rig.lib.ReadBankParam();
    const BankRec& b = rig.data.BankData[0];
    QVERIFY2(FirstDifference(a = sent.BankData[0], b, false).isEmpty(),
             qPrintable(FirstDifference(sent.BankData[0], b, false)));
    QCOMPARE(std::memcmp(&rig.data.MemLevel[0], &sent.MemLevel[0], 10 + 6), 0);
    QCOMPARE(rig.data.VenueName, sent.VenueName);
    for (int m = 1; m <= 16; ++m)
        QCOMPARE(rig.data.BankData[m].MemNameStr, sent.BankData[m].MemNameStr);
    QCOMPARE(b.InNameStr, sent.BankData[0].InNameStr);
    QCOMPARE(b.ExtOutNameStr, sent.BankData[0].ExtOutNameStr);
    for (int o : {0, 1, 2, 3, 6})
        QCOMPARE(b.OutNameStr[o], sent.BankData[0].OutNameStr[o]);
    QCOMPARE(b.SpkNameStr, sent.BankData[0].SpkNameStr);
    // The unit's own state agrees with the PC's record.
    QVERIFY(FirstDifference(rig.unit().rec[0], sent.BankData[0], false).isEmpty());
}

void TestParamLib::allMemoriesRoundTrip() {
    EmuRig rig;
    for (int m = 1; m <= 16; ++m) {
        Vary(rig.data.BankData[m], rig.data.MemLevel[m], m + 3);
        rig.data.BankData[m].ExtOutMask = uint8_t(m * 11);
        rig.data.BankData[m].MemNameStr = QStringLiteral("Scene %1").arg(m);
    }
    Name(rig.data.BankData[0], 1);
    rig.link.AllBankContinue = true;
    rig.data.CurBank = 0;
    rig.send.SendAllBankData();
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.link.AllBankFlag, 0);
    QCOMPARE(rig.data.CurBank, 0);
    QCOMPARE(rig.host.progress.first(), 1);
    QCOMPARE(rig.host.progress.last(), 16);
    for (int m = 1; m <= 16; ++m)
        QVERIFY2(FirstDifference(rig.unit().rec[m], rig.data.BankData[m], true).isEmpty(),
                 qPrintable(QStringLiteral("memory %1: %2").arg(m).arg(
                     FirstDifference(rig.unit().rec[m], rig.data.BankData[m], true))));
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
    for (int m = 1; m <= 16; ++m) {
        QVERIFY2(FirstDifference(rig.data.BankData[m], sent.BankData[m], true).isEmpty(),
                 qPrintable(QStringLiteral("memory %1: %2").arg(m).arg(
                     FirstDifference(rig.data.BankData[m], sent.BankData[m], true))));
        QCOMPARE(rig.data.BankData[m].MemNameStr, sent.BankData[m].MemNameStr);
        QCOMPARE(rig.data.BankData[m].InNameStr, sent.BankData[0].InNameStr);
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
    rig.host.onProgress = [&](int m) {
        if (m == 3)
            rig.link.AllBankContinue = false;
    };
    rig.send.SendAllBankData();
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.data.CurBank, 7);
    QCOMPARE(rig.link.AllBankFlag, 0);
    for (int m = 1; m <= 2; ++m)
        QVERIFY(FirstDifference(rig.unit().rec[m], rig.data.BankData[m], true).isEmpty());
    for (int m = 3; m <= 16; ++m)
        QVERIFY2(rig.unit().rec[m] == before.rec[m], qPrintable(QString::number(m)));

    // A cancelled read leaves the later memories as they were, and still
    // reads the external outputs of all of them.
    rig.link.AllBankContinue = true;
    rig.data.CurBank = 0;
    const BankRec untouched = rig.data.BankData[5];
    rig.host.onProgress = [&](int m) {
        if (m == 2)
            rig.link.AllBankContinue = false;
    };
    rig.usb.unit().model().clearRequests();
    rig.lib.AllBankRead();
    QVERIFY(rig.link.AllBankDone);
    QCOMPARE(rig.data.CurBank, 0);
    QVERIFY(FirstDifference(rig.data.BankData[5], untouched, false).isEmpty());
    QVERIFY(rig.usb.unit().model().requests().last().startsWith("RL"));
}

void TestParamLib::linkLostDuringRead() {
    EmuRig rig;
    Vary(rig.data.BankData[0], rig.data.MemLevel[0], 9);
    rig.send.SendMemoryData(1);
    const ParamData sent = rig.data;
    rig.reset();
    const ParamData fresh = rig.data;

    // Status and levels (4 requests) and six inputs are answered, then nothing.
    rig.usb.unit().silentAfter(4 + 6);
    rig.lib.ReadBankParam();
    QCOMPARE(rig.host.lost, 1);
    QVERIFY(!rig.link.OnLine);
    const BankRec& b = rig.data.BankData[0];
    for (int c = 0; c < 10; ++c) {
        const InRec& want = c < 6 ? sent.BankData[0].In[c] : fresh.BankData[0].In[c];
        QVERIFY2(b.In[c].Trim == want.Trim && b.In[c].Fader == want.Fader &&
                     std::memcmp(b.In[c].Band, want.Band, 9) == 0,
                 qPrintable(QString::number(c)));
    }
    // Nothing after the loss was stored.
    QCOMPARE(std::memcmp(b.Mix, fresh.BankData[0].Mix, sizeof b.Mix), 0);
    BankRec outputsOnly = fresh.BankData[0];
    std::copy(std::begin(b.In), std::end(b.In), outputsOnly.In);
    QVERIFY(FirstDifference(outputsOnly, b, true).isEmpty());
    // Three tries of the seventh input, then nothing more.
    QCOMPARE(rig.usb.unit().rawFrames().size(), 31 + 4 + 6 + 3);
}

QTEST_GUILESS_MAIN(TestParamLib)
#include "tst_paramlib.moc"
