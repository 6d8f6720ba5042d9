#include "data/ParamData.h"
#include "data/Tables.h"

#include <QTest>
#include <cstring>

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void factoryDefaults();
    void fixedBytesAsTheUnitSeesThem();
    void backupAndRestore();
    void computedTables();
};

void TestRecords::factoryDefaults() {
    ParamData d;
    d.BankData[5].InNameStr[3] = QStringLiteral("Podium");
    d.BankData[5].In[4].EQEnable = 1;
    d.BankData[5].In[4].Band[1] = {60, 0, 23};
    d.InitMemoryData(5);
    const BankRec& r = d.BankData[5];
    QVERIFY(r.InNameStr[3].isEmpty());
    // The flat input EQ, band by band as gain, frequency, Q, and switched off.
    const uint8_t flat[] = {30, 48, 2, 30, 34, 2, 30, 8, 2};
    QCOMPARE(std::memcmp(r.fixedBytes() + 4 * 20 + 3, flat, 9), 0);
    QCOMPARE(r.In[4].EQEnable, 0);
    const uint8_t outFreqs[] = {2, 8, 22, 34, 48, 51};
    QCOMPARE(std::memcmp(r.Out[6].EQFreq, outFreqs, 6), 0);
    const OutRec& o = r.Out[6];
    QCOMPARE((QList<int>{r.In[9].MicSel, r.In[9].Trim, r.In[9].VRLevel, r.In[9].Fader, o.EQType[5], o.EQQ[5],
                         o.EQGain[5], o.Balance, o.Delay, o.VRLevel, r.Mix[3].LinkFlags, r.Mix[3].MixLevel[5],
                         r.ExtOutMask, r.SAAtt, r.VT20Out1Mask, r.VT20Out2Mask, r.PatternMemNo[3],
                         d.MemLevel[5].In[9], d.MemLevel[5].Out[6]}),
             (QList<int>{1, 31, 125, 125, 0, 2, 30, 46, 0, 125, 0x22, 24, 255, 74, 1, 2, 1, 125, 125}));
    // Other records untouched.
    QCOMPARE(d.BankData[4].In[0].Trim, 0);
    QCOMPARE(d.MemLevel[4].In[0], 0);

    // Flattening keeps the switch.
    d.BankData[5].In[4].EQEnable = 1;
    d.SetInEQFlat(5, 4);
    QCOMPARE(d.BankData[5].In[4].EQEnable, 1);
}

void TestRecords::fixedBytesAsTheUnitSeesThem() {
    BankRec r;
    r.Out[0].Delay = 300; // 0x012C, low byte first
    r.Mix[0].SrcSwitch[0] = 1;
    r.SAMask = 0x3F;
    r.RC24Mode = 1;
    r.ExtOutMask = 0xA5;
    r.In[9].Fader = 77;
    const uint8_t* b = r.fixedBytes();
    const std::pair<int, int> at[] = {{200, 0x2C}, {201, 0x01}, {452, 1}, {532, 0x3F}, {543, 1}, {552, 0xA5}, {199, 77}};
    for (auto [i, v] : at)
        QCOMPARE(std::pair(i, int(b[i])), std::pair(i, v));
    // The names in their filed order: inputs, outputs, spares, external outputs, memory, speakers.
    const auto n = r.names();
    QCOMPARE(n.size(), std::size_t(43));
    QCOMPARE(n[12], &r.OutNameStr[0]);
    QCOMPARE(n[19], &r.SpareNameStr[0]);
    QCOMPARE(n[27], &r.ExtOutNameStr[0]);
    QCOMPARE(n[35], &r.MemNameStr);
    QCOMPARE(n[42], &r.SpkNameStr[6]);
}

void TestRecords::backupAndRestore() {
    ParamData d;
    for (int m = 0; m < 17; ++m)
        d.InitMemoryData(m);
    d.VenueName = QStringLiteral("Hall");
    d.BankData[3].MemNameStr = QStringLiteral("Speech");
    d.BankData[0].In[0].Fader = 40;
    d.BackupMemory();
    const BankRec before = d.BankData[0];

    d.BankData[0].In[0].Fader = 90;
    d.BankData[0].OutNameStr[1] = QStringLiteral("Stage");
    d.BankData[3].MemNameStr = QStringLiteral("Music");
    d.BankData[3].In[0].Fader = 10; // memories other than their names are not in the snapshot
    d.VenueName = QStringLiteral("Other");
    d.RestoreMemory();
    QVERIFY(d.BankData[0] == before);
    QCOMPARE(d.BankData[3].MemNameStr, QStringLiteral("Speech"));
    QCOMPARE(d.BankData[3].In[0].Fader, 10);
    QCOMPARE(d.VenueName, QStringLiteral("Hall"));
}

// The tables worked out at compile time, at the joins of their pieces.
void TestRecords::computedTables() {
    const std::pair<int, double> levels[] = {{0, 10.0},   {6, 10.0},    {7, 9.0},     {19, 2.0},    {20, 1.6},
                                             {24, 0.0},   {80, -22.4},  {81, -22.9},  {124, -111.4}, {125, LevelOff},
                                             {127, LevelOff}};
    for (auto [i, db] : levels)
        QCOMPARE(std::pair(i, LevelTbl[i]), std::pair(i, db));
    for (int i = 7; i < 125; ++i)
        QVERIFY2(LevelTbl[i] < LevelTbl[i - 1], qPrintable(QString::number(i)));
    for (int i = 1; i < 32; ++i)
        QVERIFY(qFuzzyCompare(LineGainTbl[i] + 100, MicGainTbl[i] + 34 + 100));
    QCOMPARE(EQGainTbl[0], -15.0);
    QCOMPARE(EQGainTbl[60], 15.0);
    QCOMPARE(KnobAngle[75], 357);
    QCOMPARE(KnobAngle[76], 0);
    for (int o = 0; o < 4; ++o)
        QCOMPARE(OutToCh[ChToOut[o]], o);
}

QTEST_APPLESS_MAIN(TestRecords)
#include "tst_records.moc"
