#include "ParamRig.h"
#include "data/InEQPreset.h"

#include <QTemporaryDir>
#include <QTest>
#include <QFile>
#include <QDir>

using namespace testrig;

namespace {

// Values chosen so that every byte of a message can be told apart.
void Fill(ParamData& d) {
    BankRec& r = d.BankData[0];
    InRec& in = r.In[3];
    in.Trim = 20;
    in.HSOn = 1;
    in.EQEnable = 1;
    in.Band[0] = {40, 50, 3};
    in.Band[1] = {10, 20, 5};
    in.Band[2] = {33, 7, 1};
    in.Lock = 1;
    in.VRLink = 0;
    in.Fader = 77;
    d.MemLevel[0].In[3] = 66;
    r.Mix[0].SrcSwitch[3] = 1;
    r.Mix[2].SrcSwitch[3] = 5; // any non-zero switch routes

    OutRec& out = r.Out[2];
    out.Delay = 300;
    out.DelayFlag = 1;
    out.EQEnable = 1;
    const uint8_t type[] = {0, 1, 2, 3, 4, 0};
    for (int b = 0; b < 6; ++b) {
        out.EQType[b] = type[b];
        out.EQFreq[b] = uint8_t(1 + b);
        out.EQQ[b] = uint8_t(7 + b);
        out.EQGain[b] = uint8_t(40 + b);
    }
    out.Lock = 1;
    out.VRLink = 1;
    out.Fader = 90;
    d.MemLevel[0].Out[2] = 70;
    out.Balance = 30;

    MatrixRec& row = r.Mix[1];
    row.SrcSwitch[1] = 7;
    row.SrcSwitch[2] = 1;
    row.SrcSwitch[11] = 1;
    row.ExtraSwitch = 5;
    const uint8_t lv[] = {24, 30, 40, 50, 60, 125};
    std::copy(std::begin(lv), std::end(lv), row.MixLevel);
    r.Mix[0].LinkFlags = 0x33;

    r.Out[0].Mono = 1;
    r.Out[1].Mono = 3;
    r.SAMask = 0x15;
    r.SAAtt = 80;
    r.SATime = 12;
    r.SMMask = 0x3F;
    r.SMTime = 3;
    r.VT20Out1Mask = 5;
    r.VT20Out2Mask = 6;
    r.RC24Mode = 1;
    const uint8_t links[] = {0, 3, 0, 16, 0, 0, 0, 1};
    std::copy(std::begin(links), std::end(links), r.LinkMemNo);
    const uint8_t pattern[] = {4, 5, 6, 7};
    std::copy(std::begin(pattern), std::end(pattern), r.PatternMemNo);
    for (int m = 1; m <= 16; ++m)
        d.BankData[m].ExtOutMask = uint8_t(m * 3);
    r.ExtOutMask = 0xA5;
}


constexpr int T = -1; // stands for AllBankFlag in the expected bodies

QByteArray Body(const std::vector<int>& v, uint8_t t) {
    QByteArray out;
    for (int b : v)
        out += static_cast<char>(b == T ? t : b);
    return out;
}

} // namespace

class TestParamSend : public QObject {
    Q_OBJECT
private slots:
    void everyBuilderByteForByte();
    void groupSendersInOrder();
    void names();
    void memories();
    void speakerFile();
    void presets();
};

void TestParamSend::everyBuilderByteForByte() {
    const std::vector<std::pair<const char*, std::pair<std::function<void(ParamSend&)>, std::vector<int>>>> cases = {
        {"input whole", {[](ParamSend& s) { s.SendInputParam(3); },
                         {'I', 'S', T, 4, 0, 0, 20, 1, 1, 7, 1, 33, 50, 3, 40, 20, 5, 10, 5, 1, 0, 77, 66}}},
        {"input trim", {[](ParamSend& s) { s.SendInputTrim(3); }, {'I', 'S', 0, 4, 2, 20}}},
        {"input howling", {[](ParamSend& s) { s.SendInputHowling(3); }, {'I', 'S', 0, 4, 3, 1}}},
        {"input EQ on", {[](ParamSend& s) { s.SendInputEQOn(3); }, {'I', 'S', T, 4, 4, 1}}},
        {"input band 0", {[](ParamSend& s) { s.SendInputEQBand(3, 0); }, {'I', 'S', T, 4, 6, 50, 3, 40}}},
        {"input band 1", {[](ParamSend& s) { s.SendInputEQBand(3, 1); }, {'I', 'S', T, 4, 7, 20, 5, 10}}},
        {"input band 2", {[](ParamSend& s) { s.SendInputEQBand(3, 2); }, {'I', 'S', T, 4, 5, 7, 1, 33}}},
        {"input level", {[](ParamSend& s) { s.SendInputLevel(3); }, {'I', 'S', 0, 4, 9, 1, 0, 77, 66}}},
        {"output whole", {[](ParamSend& s) { s.SendOutputParam(2); },
                          {'O', 'S', T, 3, 0, 1, 1, 44, 1, 0, 1, 7, 40, 1, 2, 8, 29, 2, 3, 9, 29, 3, 4, 10, 43,
                           4, 5, 11, 44, 0, 6, 12, 45, 1, 1, 90, 70, 30}}},
        {"output delay", {[](ParamSend& s) { s.SendOutputDelay(2); }, {'O', 'S', 0, 3, 1, 1, 1, 44}}},
        {"output EQ on", {[](ParamSend& s) { s.SendOutputEQOn(2); }, {'O', 'S', T, 3, 2, 1}}},
        {"output band 0", {[](ParamSend& s) { s.SendOutputEQBand(2, 0); }, {'O', 'S', T, 3, 3, 0, 1, 7, 40}}},
        {"output band HPF", {[](ParamSend& s) { s.SendOutputEQBand(2, 1); }, {'O', 'S', T, 3, 4, 1, 2, 8, 29}}},
        {"output band LPF", {[](ParamSend& s) { s.SendOutputEQBand(2, 2); }, {'O', 'S', T, 3, 5, 2, 3, 9, 29}}},
        {"output band 5", {[](ParamSend& s) { s.SendOutputEQBand(2, 5); }, {'O', 'S', T, 3, 8, 0, 6, 12, 45}}},
        {"output level", {[](ParamSend& s) { s.SendOutputLevel(2); }, {'O', 'S', 0, 3, 9, 1, 1, 90, 70}}},
        {"output balance", {[](ParamSend& s) { s.SendOutputBalance(2); }, {'O', 'S', 0, 3, 31, 30}}},
        {"matrix switches", {[](ParamSend& s) { s.SendMatrixSW(1); },
                             {'M', 'S', T, 2, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 5}}},
        {"matrix levels", {[](ParamSend& s) { s.SendMatrixLevel(1); }, {'M', 'S', T, 2, 2, 24, 30, 40, 50, 60, 125}}},
        {"matrix link bits", {[](ParamSend& s) { s.SendMatrixMisc(); }, {'M', 'S', T, 1, 3, 0x33}}},
        {"mono/stereo", {[](ParamSend& s) { s.SendMonoStereo(); }, {'P', 'S', T, 1, 17}}},
        {"SA group", {[](ParamSend& s) { s.SendSAParam(); }, {'P', 'S', T, 2, 0x15, 80, 12}}},
        {"SM group", {[](ParamSend& s) { s.SendSMParam(); }, {'P', 'S', T, 3, 0x3F, 3}}},
        {"companion outputs", {[](ParamSend& s) { s.SendVT20Link(); }, {'P', 'S', T, 4, 5, 6}}},
        {"external inputs", {[](ParamSend& s) { s.SendExInputParam(); },
                             {'P', 'S', T, 5, 1, 0, 1, 0, 1, 0, 0, 0, 1, 0, 3, 0, 16, 0, 0, 0, 1}}},
        {"quick recall", {[](ParamSend& s) { s.SendPatternMem(); }, {'P', 'S', T, 7, 4, 5, 6, 7}}},
        {"external outputs of all memories",
         {[](ParamSend& s) { s.SendRSAll(); },
          {'R', 'S', 0, 0, 0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 36, 39, 42, 45, 48}}},
        {"external outputs", {[](ParamSend& s) { s.SendExtOut(); }, {'R', 'S', 0, 0, 1, 0xA5}}},
        {"measurement start", {[](ParamSend& s) { s.SendHawlingMeasure(1, 3); }, {'P', 'H', 1, 9, 3}}},
        {"measurement status", {[](ParamSend& s) { s.SendHawlingMeasure(3, 0); }, {'P', 'H', 3, 9, 0}}},
        {"output EQ copy", {[](ParamSend& s) { s.SendOutputEQCopy(1, 4); }, {'C', 'O', 2, 5, 2}}},
        {"input EQ copy", {[](ParamSend& s) { s.SendInputEQCopy(0, 9); }, {'C', 'I', 2, 10, 1}}},
        {"status request", {[](ParamSend& s) { s.SendLoadReq('D', 3); }, {'D', 'L', 0, 3}}},
        {"memory recall", {[](ParamSend& s) { s.SendBankRecall(7); }, {'B', 'A', T, 7}}},
        {"memory store", {[](ParamSend& s) { s.SendMemoryStore(5); }, {'S', 'A', T, 0, 5}}},
    };
    for (uint8_t flag : {uint8_t(0), uint8_t(1)}) {
        ParamRig rig;
        Fill(rig.data);
        rig.link.AllBankFlag = flag;
        for (const auto& [name, c] : cases) {
            rig.clear();
            c.first(rig.send);
            QCOMPARE(rig.bodies().size(), 1);
            QCOMPARE(name + rig.last().toHex(' '), name + Body(c.second, flag).toHex(' '));
        }
    }
}

void TestParamSend::groupSendersInOrder() {
    ParamRig rig;
    rig.send.SendInputParamAll();
    rig.send.SendOutputParamAll();
    rig.send.SendMatrixParamAll();
    rig.send.SendPSParamAll();
    QStringList heads, want;
    for (const QByteArray& b : rig.bodies())
        heads << QString::fromLatin1(b.left(2)) + QString::number(b[3]) +
                     (b.startsWith("PS") ? QString() : '/' + QString::number(b[4]));
    for (int c = 1; c <= 10; ++c)
        want << QStringLiteral("IS%1/0").arg(c);
    for (int o = 1; o <= 6; ++o) // block 7 is never sent
        want << QStringLiteral("OS%1/0").arg(o);
    for (int k = 1; k <= 4; ++k)
        want << QStringLiteral("MS%1/1").arg(k) << QStringLiteral("MS%1/2").arg(k);
    want << "MS1/3" << "PS1" << "PS2" << "PS3" << "PS4" << "PS5" << "PS7";
    QCOMPARE(heads, want);
}

void TestParamSend::names() {
    ParamRig rig;
    BankRec& r = rig.data.BankData[0];
    rig.data.VenueName = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    rig.data.BankData[5].MemNameStr = QStringLiteral("Speech");
    r.InNameStr[2] = QStringLiteral("Lectern-Mic-01"); // 14 bytes: the field holds 12
    // The 12th byte is the lead byte of a double-byte character: it goes
    // out last (reading the field back stops before it).
    r.InNameStr[0] = QStringLiteral("ABCDEFGHIJKあ");
    r.OutNameStr[6] = QStringLiteral("Rec");
    r.ExtOutNameStr[7] = QStringLiteral("Lamp");
    r.SpkNameStr[3] = QStringLiteral("*Ceiling");
    rig.link.PasswordStr = QStringLiteral("secret12");
    const std::pair<std::function<void()>, QByteArray> cases[] = {
        {[&] { rig.send.SendSystemName(); }, Bytes({'N', 'S', 0, 1, 1}) + "ABCDEFGHIJKLMNOPQRST" + Bytes({0, 0})},
        {[&] { rig.send.SendMemoryName(5); }, Bytes({'N', 'S', 0, 2, 5}) + "Speech" + QByteArray(16, '\0')},
        {[&] { rig.send.SendInputName(2); }, Bytes({'N', 'S', 0, 5, 3}) + "Lectern-Mic-"},
        {[&] { rig.send.SendInputName(0); }, Bytes({'N', 'S', 0, 5, 1}) + "ABCDEFGHIJK\x82"},
        {[&] { rig.send.SendOutputName(6); }, Bytes({'N', 'S', 0, 5, 17}) + "Rec" + QByteArray(9, '\0')},
        {[&] { rig.send.SendExtOutName(7); }, Bytes({'N', 'S', 0, 4, 8}) + "Lamp" + QByteArray(8, '\0')},
        {[&] { rig.send.SendSpeakerName(3); }, Bytes({'N', 'S', 0, 6, 4}) + "*Ceiling" + QByteArray(12, '\0')},
        {[&] { rig.send.SavePassword(); }, Bytes({'N', 'S', 0, 5, 15}) + "secret12" + Bytes({0})},
    };
    for (const auto& [send, want] : cases) {
        send();
        QCOMPARE(rig.last(), want);
    }

    // The companion inputs and outputs 4 and 5 stay on the PC.
    rig.clear();
    for (int ch : {10, 11})
        rig.send.SendInputName(ch);
    for (int o : {4, 5})
        rig.send.SendOutputName(o);
    QVERIFY(rig.bodies().isEmpty());
    rig.send.SendChannelNames();
    QCOMPARE(rig.bodies().size(), 15);
    QCOMPARE(uint8_t(rig.last()[4]), 17);
}

void TestParamSend::memories() {
    ParamRig rig;
    rig.data.BankData[0].In[0].Fader = 44;
    rig.data.BankData[0].MemNameStr = QStringLiteral("Now");
    rig.data.MemLevel[5].In[0] = 99;
    rig.send.SendMemoryStore(5);
    QVERIFY(rig.data.BankData[5] == rig.data.BankData[0]);
    QCOMPARE(rig.data.MemLevel[5].In[0], 99); // the level table is not copied
    QCOMPARE(rig.link.RxWait, 3300);
    rig.send.SendBankRecall(2);
    QCOMPARE(rig.link.RxWait, 3300);

    // The whole record with its names, then only its parameters.
    rig.clear();
    rig.send.SendMemoryData(0);
    QCOMPARE(rig.bodies().size(), 1 + 16 + 15 + 1 + 4 + 8 + 6 + 10 + 9 + 6);
    QCOMPARE(rig.bodies().first().left(5), Bytes({'N', 'S', 0, 1, 1}));
    rig.clear();
    rig.send.SendMemoryData(1);
    QCOMPARE(rig.bodies().size(), 6 + 10 + 9 + 6);
    QCOMPARE(rig.bodies().first().left(4), Bytes({'P', 'S', 0, 1}));
    QCOMPARE(rig.last().left(4), Bytes({'O', 'S', 0, 6}));

    // Restoring the backup sends the record even when nothing changed.
    rig.data.BackupMemory();
    rig.clear();
    rig.send.RestoreMemory();
    QCOMPARE(rig.bodies().size(), 1 + 16 + 15 + 1 + 4 + 8 + 6 + 10 + 9 + 6);
}

void TestParamSend::speakerFile() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("spkr"));
    const QByteArray five = "1,10,2,30\n0,20,2,36\r\n3, 22 ,2,40\n0,34,5,30\n4,48,2,24\n";
    const std::pair<const char*, QByteArray> files[] = {
        {"Ceiling", five + "2,51,2,30\n99,99\n"}, {"Short", five}, {"Wild", five + "2,51,24,30\n"},
        {"Decimal", five + "2,51,2,30.5\n"}};
    for (const auto& [name, text] : files) {
        QFile f(dir.filePath(QStringLiteral("spkr/%1.spp").arg(QLatin1String(name))));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    ParamRig rig(dir.path());
    rig.data.BankData[0].Out[2].VRLink = 1;
    rig.data.BankData[0].Out[2].Fader = 60;
    rig.ftdi.answer = [](const QByteArray& body) {
        return body.startsWith("DL") ? Bytes({'D', 'L', 0, 200, 50, 7, 90}) : body.left(2);
    };
    rig.send.SpeakerEQLoad(QStringLiteral("Ceiling"), 2);
    const OutRec& out = rig.data.BankData[0].Out[2];
    const uint8_t types[] = {1, 0, 3, 0, 4, 2}, freqs[] = {10, 20, 22, 34, 48, 51};
    QCOMPARE(std::memcmp(out.EQType, types, 6), 0);
    QCOMPARE(std::memcmp(out.EQFreq, freqs, 6), 0);
    // Knob-linked outputs took the unit's knob first (channel 1 is block 2); block 0 is not linked.
    QCOMPARE((QList<int>{out.EQQ[3], out.EQGain[1], out.Fader, out.VRLink, rig.data.BankData[0].Out[0].Fader}),
             (QList<int>{5, 36, 50, 1, 125}));
    const QList<QByteArray> b = rig.bodies();
    QCOMPARE(b.size(), 1 + 1 + 6 + 2);
    QCOMPARE(b[1], Bytes({'O', 'S', 0, 3, 9, 0, 0, 125, 125})); // muted
    QCOMPARE(b[2], Bytes({'O', 'S', 0, 3, 3, 1, 10, 2, 29}));
    QCOMPARE(b[8], Bytes({'O', 'S', 0, 3, 9, 0, 0, 50, 125}));
    QCOMPARE(b[9], Bytes({'O', 'S', 0, 3, 9, 0, 1, 50, 125}));
    QVERIFY(rig.host.messages.isEmpty());

    // A bad file changes no band, says which file, and the level comes back.
    for (const char* bad : {"Short", "Wild", "Decimal", "Missing"}) {
        const OutRec before = rig.data.BankData[0].Out[2];
        rig.clear();
        rig.host.messages.clear();
        rig.send.SpeakerEQLoad(QString::fromLatin1(bad), 2);
        QVERIFY2(std::memcmp(before.EQGain, out.EQGain, 24) == 0, bad); // gain, frequency, Q, type
        QCOMPARE(rig.host.messages.size(), 1);
        QCOMPARE(rig.host.messages[0].text, QStringLiteral("Error Read Speaker file\r\n(%1/spkr/%2.spp)\r\n")
                                                .arg(dir.path(), QLatin1String(bad)));
        QCOMPARE(rig.bodies().size(), 1 + 1 + 2);
        QCOMPARE(rig.last(), Bytes({'O', 'S', 0, 3, 9, 0, 1, 50, 125}));
    }
}

void TestParamSend::presets() {
    // Factory defaults hold the flat preset, with the EQ switched on on the way.
    ParamRig rig;
    QCOMPARE(rig.send.GetInEQPreset(), 2);
    QCOMPARE(rig.data.BankData[0].In[5].EQEnable, 1);
    QCOMPARE(rig.bodies().size(), 6);

    // A mismatch ends the search; later inputs are left alone.
    ParamRig mixed;
    BankRec& m = mixed.data.BankData[0];
    mixed.send.SetInEQPreset(0);
    m.In[1].Band[0] = {38, 46, 0};
    m.In[1].Band[1] = {38, 16, 2};
    for (int c = 2; c < 6; ++c)
        m.In[c].EQEnable = 0;
    QCOMPARE(mixed.send.GetInEQPreset(), -1);
    QCOMPARE(m.In[2].EQEnable, 0);
    // Band 2's Q differing: no preset.
    m.In[0].Band[2].EQQ = 2;
    QCOMPARE(CheckInEQPreset(mixed.data, 0), -1);

    // LINE inputs are never touched; stereo inputs neither.
    ParamRig line;
    for (int c = 0; c < 6; ++c)
        line.data.BankData[0].In[c].MicSel = 0;
    line.clear();
    const BankRec before = line.data.BankData[0];
    QCOMPARE(line.send.GetInEQPreset(), -1);
    line.send.SetInEQPreset(1);
    QVERIFY(line.data.BankData[0] == before);
    QVERIFY(line.bodies().isEmpty());

    // Online: EQ on, then the three bands of each MIC input.
    ParamRig on;
    on.data.BankData[0].In[4].MicSel = 0;
    on.clear();
    on.send.SetInEQPreset(1);
    QCOMPARE(on.bodies().size(), 5 * 4);
    QCOMPARE(on.bodies()[0], Bytes({'I', 'S', 0, 1, 4, 1}));
    QCOMPARE(on.bodies()[1], Bytes({'I', 'S', 0, 1, 6, 46, 0, 38}));
    QCOMPARE(on.data.BankData[0].In[6].Band[0].EQGain, 30);
    QCOMPARE(CheckInEQPreset(on.data, 0), 1);
    QCOMPARE(CheckInEQPreset(on.data, 4), 2);

    // Offline nothing is sent (the gate is shut), the record changes all the same.
    on.link.OnLine = false;
    on.clear();
    on.send.SetInEQPreset(0);
    QVERIFY(on.bodies().isEmpty());
    QCOMPARE(CheckInEQPreset(on.data, 5), 0);
}

QTEST_GUILESS_MAIN(TestParamSend)
#include "tst_paramsend.moc"
