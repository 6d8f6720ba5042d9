#include "data/ParamData.h"
#include "data/Tables.h"

#include <QTest>
#include <cstring>

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void factoryDefaults();
    void fixedBytesAsTheUnitSeesThem();
    void flatEqKeepsEnable();
    void backupAndRestore();
    void valueTables();
    void nameLists();
};

void TestRecords::factoryDefaults() {
    ParamData d;
    d.BankData[5].InNameStr[3] = QStringLiteral("Podium");
    d.BankData[5].SpkNameStr[0] = QStringLiteral("*Ceiling");
    d.InitMemoryData(5);
    const BankRec& r = d.BankData[5];
    for (const QString* s : r.names())
        QVERIFY(s->isEmpty());
    for (const InRec& in : r.In) {
        QCOMPARE(in.MicSel, 1);
        QCOMPARE(in.Trim, 31);
        QCOMPARE(in.Band[0].EQGain, 30);
        QCOMPARE(in.Band[0].EQFreq, 48);
        QCOMPARE(in.Band[1].EQFreq, 34);
        QCOMPARE(in.Band[2].EQFreq, 8);
        QCOMPARE(in.Band[2].EQQ, 2);
        QCOMPARE(in.VRLevel, 125);
        QCOMPARE(in.Fader, 125);
    }
    for (const OutRec& o : r.Out) {
        const uint8_t freqs[] = {2, 8, 22, 34, 48, 51};
        QVERIFY(std::memcmp(o.EQFreq, freqs, 6) == 0);
        for (int b = 0; b < 6; ++b) {
            QCOMPARE(o.EQGain[b], 30);
            QCOMPARE(o.EQQ[b], 2);
            QCOMPARE(o.EQType[b], 0);
        }
        QCOMPARE(o.Balance, 46);
        QCOMPARE(uint16_t(o.Delay), 0);
    }
    for (const MatrixRec& m : r.Mix) {
        QCOMPARE(m.LinkFlags, 0x22);
        for (uint8_t lv : m.MixLevel)
            QCOMPARE(lv, 24);
    }
    QCOMPARE(r.ExtOutMask, 255);
    QCOMPARE(r.SAAtt, 74);
    QCOMPARE(r.VT20Out1Mask, 1);
    QCOMPARE(r.VT20Out2Mask, 2);
    for (uint8_t p : r.PatternMemNo)
        QCOMPARE(p, 1);
    const uint8_t* lv = reinterpret_cast<const uint8_t*>(&d.MemLevel[5]);
    for (int i = 0; i < 17; ++i)
        QCOMPARE(lv[i], 125);
    // Other records untouched.
    QCOMPARE(d.BankData[4].In[0].Trim, 0);
    QCOMPARE(d.MemLevel[4].In[0], 0);
}

void TestRecords::fixedBytesAsTheUnitSeesThem() {
    BankRec r;
    r.Out[0].Delay = 300; // 0x012C, low byte first
    r.Mix[0].SrcSwitch[0] = 1;
    r.SAMask = 0x3F;
    r.SAAtt = 74;
    r.RC24Mode = 1;
    r.ExtOutMask = 0xA5;
    r.In[9].Fader = 77;
    const uint8_t* b = r.fixedBytes();
    QCOMPARE(b[200], 0x2C);
    QCOMPARE(b[201], 0x01);
    QCOMPARE(b[452], 1);
    QCOMPARE(b[532], 0x3F);
    QCOMPARE(b[533], 74);
    QCOMPARE(b[543], 1);
    QCOMPARE(b[552], 0xA5);
    QCOMPARE(b[199], 77);
    QCOMPARE(static_cast<int>(r.names().size()), 43);
    // The names in their filed order: inputs, outputs, spares, external outputs, memory, speakers.
    auto n = r.names();
    QCOMPARE(n[0], &r.InNameStr[0]);
    QCOMPARE(n[12], &r.OutNameStr[0]);
    QCOMPARE(n[19], &r.SpareNameStr[0]);
    QCOMPARE(n[27], &r.ExtOutNameStr[0]);
    QCOMPARE(n[35], &r.MemNameStr);
    QCOMPARE(n[42], &r.SpkNameStr[6]);
}

void TestRecords::flatEqKeepsEnable() {
    ParamData d;
    d.BankData[0].In[4].EQEnable = 1;
    d.BankData[0].In[4].Band[1] = {60, 0, 23};
    d.SetInEQFlat(0, 4);
    QCOMPARE(d.BankData[0].In[4].EQEnable, 1);
    const uint8_t* b = d.BankData[0].fixedBytes() + 4 * 20;
    const uint8_t flat[] = {30, 48, 2, 30, 34, 2, 30, 8, 2};
    QVERIFY(std::memcmp(b + 3, flat, 9) == 0);
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

    // Nothing changed: restoring leaves the records as they are.
    d.RestoreMemory();
    QVERIFY(d.BankData[0] == before);

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

void TestRecords::valueTables() {
    QCOMPARE(LevelTbl[6], 10.0);
    QCOMPARE(LevelTbl[0], 10.0);
    QCOMPARE(LevelTbl[7], 9.0);
    QCOMPARE(LevelTbl[19], 2.0);
    QCOMPARE(LevelTbl[20], 1.6);
    QCOMPARE(LevelTbl[24], 0.0);
    QCOMPARE(LevelTbl[21], 1.2);
    QCOMPARE(LevelTbl[80], -22.4);
    QCOMPARE(LevelTbl[81], -22.9);
    QCOMPARE(LevelTbl[90], -28.0);
    QCOMPARE(LevelTbl[124], -111.4);
    for (int i = 125; i < 128; ++i)
        QCOMPARE(LevelTbl[i], LevelOff);
    for (int i = 7; i < 125; ++i)
        QVERIFY2(LevelTbl[i] < LevelTbl[i - 1], qPrintable(QString::number(i)));

    QCOMPARE(MicGainTbl[31], -30.0);
    QCOMPARE(MicGainTbl[1], -54.0);
    QCOMPARE(LineGainTbl[19], 0.0);
    QCOMPARE(LineGainTbl[31], 4.0);
    QCOMPARE(LineGainTbl[0], 0.0);
    for (int i = 1; i < 32; ++i)
        QVERIFY(qFuzzyCompare(LineGainTbl[i] + 100, MicGainTbl[i] + 34 + 100));

    QCOMPARE(EQGainTbl[0], -15.0);
    QCOMPARE(EQGainTbl[30], 0.0);
    QCOMPARE(EQGainTbl[60], 15.0);
    QCOMPARE(static_cast<int>(EQFreqTbl.size()), 54);
    QCOMPARE(EQFreqTbl[0], 40);
    QCOMPARE(EQFreqTbl[38], 3150);
    QCOMPARE(EQFreqTbl[39], 3800);
    QCOMPARE(EQFreqTbl[40], 4000);
    QCOMPARE(EQFreqTbl[48], 10000);
    QCOMPARE(EQFreqTbl[53], 18000);
    QCOMPARE(EQQTbl[0], 0.5);
    QCOMPARE(EQQTbl[23], 12.0);
    QCOMPARE(static_cast<int>(BalTbl.size()), 47);
    QCOMPARE(BalTbl[0], -20.1);
    QCOMPARE(BalTbl[36], -3.5);
    QCOMPARE(BalTbl[45], -0.2);
    QCOMPARE(BalTbl[46], 0.0);

    QCOMPARE(KnobAngle[0], 132);
    QCOMPARE(KnobAngle[75], 357);
    QCOMPARE(KnobAngle[76], 0);
    QCOMPARE(KnobAngle[93], 51);
}

void TestRecords::nameLists() {
    QCOMPARE(QString::fromLatin1(ChName[0]), QStringLiteral("MONO 1"));
    QCOMPARE(QString::fromLatin1(ChName[10]), QStringLiteral("KL-VT20 1"));
    QCOMPARE(QString::fromLatin1(ChName[16]), QStringLiteral("RECOUT"));
    QCOMPARE(QString::fromLatin1(PinName[2]), QStringLiteral("   IN1"));
    QCOMPARE(QString::fromLatin1(PinName[12]), QStringLiteral("   GND"));
    QCOMPARE(QString::fromLatin1(PinName[13]), QStringLiteral("  OUT1"));
    QCOMPARE(QString::fromLatin1(PinName[23]), QStringLiteral(" PWR Hot "));
    QCOMPARE(QString::fromLatin1(PinName[24]), QStringLiteral("PWR Cold"));
    for (int o = 0; o < 4; ++o)
        QCOMPARE(OutToCh[ChToOut[o]], o);
}

QTEST_APPLESS_MAIN(TestRecords)
#include "tst_records.moc"
