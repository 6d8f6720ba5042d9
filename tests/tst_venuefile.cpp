#include "data/ParamData.h"
#include "data/VenueFile.h"
#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

void Defaults(ParamData& d) {
    for (int m = 0; m < ParamData::RecordCount; ++m)
        d.InitMemoryData(m);
}

// Every fixed byte of every record varied; knob levels kept within what the
// reader would clamp, so that a round trip must be exact.
void Scramble(ParamData& d) {
    uint32_t x = 12345;
    auto next = [&x] { return static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 16); };
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        BankRec& r = d.BankData[m];
        uint8_t* b = r.fixedBytes();
        for (std::size_t i = 0; i < BankFixedBytes; ++i)
            b[i] = next();
        for (InRec& in : r.In)
            in.VRLevel = static_cast<uint8_t>(6 + in.VRLevel % 120);
        for (OutRec& o : r.Out)
            o.VRLevel = static_cast<uint8_t>(6 + o.VRLevel % 120);
        uint8_t* lv = reinterpret_cast<uint8_t*>(&d.MemLevel[m]);
        for (int i = 0; i < 17; ++i)
            lv[i] = next();
    }
}

} // namespace

class TestVenueFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void emptyNamesFileLength();
    void roundTripByteForByte_data();
    void roundTripByteForByte();
    void extensionIsCaseSensitive();
    void levelTableRules();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void failedSaveKeepsOldFile();
    void interruptedSaveKeepsOldFile();
    void saveClears48VFlags();
    void setFileName();
    void nameCheck();

private:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

void TestVenueFile::emptyNamesFileLength() {
    const CodePage cp(CodePage::Western);
    ParamData d;
    Defaults(d);
    QVERIFY(SaveVenueFile(d, cp, path("empty")));
    const QByteArray bytes = ReadAll(path("empty.vnf"));
    QCOMPARE(bytes.size(), 11560);
    // Record 1 starts right after record 0: 553 fixed bytes, 43 counts of 0, 24 reserved.
    QCOMPARE(static_cast<uint8_t>(bytes[663 + 200]), 0); // delay low byte of record 1
    QCOMPARE(static_cast<uint8_t>(bytes[663 + 552]), 255);
    QCOMPARE(static_cast<uint8_t>(bytes[11560 - 289]), 125);

    ParamData back;
    QVERIFY(LoadVenueFile(back, cp, path("empty.vnf"), true));
    for (int m = 0; m < ParamData::RecordCount; ++m)
        QVERIFY(back.BankData[m] == d.BankData[m]);
    QVERIFY(back.VenueLoaded);
}

void TestVenueFile::roundTripByteForByte_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("nameBytes");
    QTest::newRow("western") << CodePage::Western << QStringLiteral("Café") << QByteArray("Caf\xE9");
    QTest::newRow("japanese") << CodePage::Japanese << QStringLiteral("会議室")
                              << QByteArray("\x89\xEF\x8B\x63\x8E\xBA");
}

void TestVenueFile::roundTripByteForByte() {
    QFETCH(int, page);
    QFETCH(QString, name);
    QFETCH(QByteArray, nameBytes);
    const CodePage cp(page);
    ParamData d;
    Scramble(d);
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        d.BankData[m].InNameStr[0] = name;
        d.BankData[m].SpkNameStr[6] = QStringLiteral("*Ceiling %1").arg(m);
    }
    QVERIFY(SaveVenueFile(d, cp, path("trip.vnf")));
    const QByteArray file = ReadAll(path("trip.vnf"));
    QCOMPARE(file.size(), 11560 + 17 * nameBytes.size() + 10 * 10 + 7 * 11);
    // The first name of record 0: its count, then its code-page bytes.
    QCOMPARE(static_cast<uint8_t>(file[553]), nameBytes.size());
    QCOMPARE(static_cast<uint8_t>(file[554]), 0);
    QCOMPARE(file.mid(555, nameBytes.size()), nameBytes);

    ParamData back;
    QVERIFY(LoadVenueFile(back, cp, path("trip.vnf"), true));
    for (int m = 0; m < ParamData::RecordCount; ++m)
        QVERIFY2(back.BankData[m] == d.BankData[m], qPrintable(QString::number(m)));
    QCOMPARE(EncodeVenue(back, cp), file);
}

void TestVenueFile::extensionIsCaseSensitive() {
    const CodePage cp(CodePage::Western);
    ParamData d;
    Defaults(d);
    QVERIFY(SaveVenueFile(d, cp, path("plain")));
    QVERIFY(QFile::exists(path("plain.vnf")));
    QVERIFY(SaveVenueFile(d, cp, path("given.vnf")));
    QVERIFY(QFile::exists(path("given.vnf")));
    QVERIFY(!QFile::exists(path("given.vnf.vnf")));
    QVERIFY(SaveVenueFile(d, cp, path("upper.VNF")));
    QVERIFY(QFile::exists(path("upper.VNF.vnf")));
    QCOMPARE(WithVenueExtension(QStringLiteral("a.vnf.bak")), QStringLiteral("a.vnf.bak"));
}

void TestVenueFile::levelTableRules() {
    const CodePage cp(CodePage::Western);
    ParamData d;
    Defaults(d);
    d.BankData[2].In[3].VRLevel = 0;
    d.BankData[2].In[4].VRLevel = 200;
    d.BankData[2].In[5].Fader = 200;
    d.BankData[2].Out[0].VRLevel = 0;
    d.BankData[2].Out[5].VRLevel = 250;
    d.BankData[2].Out[1].VRLevel = 0;
    d.BankData[2].Out[3].VRLevel = 200;
    d.BankData[2].Out[6].VRLevel = 1;
    d.MemLevel[4].In[2] = 60;
    d.MemLevel[16].Out[6] = 7;
    QVERIFY(SaveVenueFile(d, cp, path("levels.vnf")));

    ParamData online;
    QVERIFY(LoadVenueFile(online, cp, path("levels.vnf"), true));
    const BankRec& r = online.BankData[2];
    QCOMPARE(r.In[3].VRLevel, 6);
    QCOMPARE(r.In[4].VRLevel, 125);
    QCOMPARE(r.In[5].Fader, 200);
    QCOMPARE(r.Out[0].VRLevel, 6);
    QCOMPARE(r.Out[5].VRLevel, 125);
    QCOMPARE(r.Out[1].VRLevel, 0);
    QCOMPARE(r.Out[3].VRLevel, 200);
    QCOMPARE(r.Out[6].VRLevel, 1);
    QCOMPARE(online.MemLevel[4].In[2], 60);
    QCOMPARE(online.MemLevel[16].Out[6], 7);

    // Offline the file's knob levels are not kept.
    ParamData offline;
    QVERIFY(LoadVenueFile(offline, cp, path("levels.vnf"), false));
    QCOMPARE(offline.BankData[2].In[3].VRLevel, 6);
    QCOMPARE(offline.MemLevel[4].In[2], 125);
    QCOMPARE(offline.MemLevel[16].Out[6], 125);

    // Exactly 17 records: no table, every level 125 and no clamps.
    WriteAll(path("notable.vnf"), ReadAll(path("levels.vnf")).chopped(289));
    ParamData bare;
    QVERIFY(LoadVenueFile(bare, cp, path("notable.vnf"), true));
    QCOMPARE(bare.BankData[2].In[3].VRLevel, 0);
    QCOMPARE(bare.BankData[2].Out[5].VRLevel, 250);
    QCOMPARE(bare.MemLevel[4].In[2], 125);
    QVERIFY(bare.VenueLoaded);

    // Bytes after the table are ignored.
    WriteAll(path("tail.vnf"), ReadAll(path("levels.vnf")) + QByteArray(100, '\x7F'));
    ParamData tail;
    QVERIFY(LoadVenueFile(tail, cp, path("tail.vnf"), true));
    QCOMPARE(tail.MemLevel[4].In[2], 60);
}

void TestVenueFile::failedLoadChangesNothing_data() {
    QTest::addColumn<int>("cut");    // bytes kept from a valid file; -1: none at all
    QTest::addColumn<int>("poke");   // offset of a name count to spoil; -1: none
    QTest::newRow("missing") << -1 << -1;
    QTest::newRow("empty") << 0 << -1;
    QTest::newRow("inside fixed bytes of record 0") << 300 << -1;
    QTest::newRow("inside a name count") << 554 << -1;
    QTest::newRow("inside record 16") << 16 * 663 + 600 << -1;
    QTest::newRow("inside the level table") << 11560 - 100 << -1;
    QTest::newRow("name count past the end") << 11560 << 553 + 2 * 20;
}

void TestVenueFile::failedLoadChangesNothing() {
    QFETCH(int, cut);
    QFETCH(int, poke);
    const CodePage cp(CodePage::Western);
    ParamData src;
    Defaults(src);
    const QByteArray valid = EncodeVenue(src, cp);
    QCOMPARE(valid.size(), 11560);
    if (cut >= 0) {
        QByteArray bytes = valid.left(cut);
        if (poke >= 0) {
            bytes[poke] = '\xFF';
            bytes[poke + 1] = '\x7F';
        }
        WriteAll(path("bad.vnf"), bytes);
    }

    ParamData d;
    Scramble(d);
    d.BankData[7].MemNameStr = QStringLiteral("Keep me");
    const ParamData before = d;
    QVERIFY(!LoadVenueFile(d, cp, path(cut >= 0 ? "bad.vnf" : "absent.vnf"), true));
    for (int m = 0; m < ParamData::RecordCount; ++m)
        QVERIFY(d.BankData[m] == before.BankData[m]);
    QCOMPARE(std::memcmp(d.MemLevel.data(), before.MemLevel.data(), sizeof(d.MemLevel)), 0);
    QVERIFY(!d.VenueLoaded);
}

void TestVenueFile::failedSaveKeepsOldFile() {
    const CodePage cp(CodePage::Western);
    ParamData d;
    Defaults(d);
    QVERIFY(!SaveVenueFile(d, cp, path("no/such/folder/x.vnf")));
    // A folder standing where the file should go.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.vnf")));
    QVERIFY(!SaveVenueFile(d, cp, path("taken.vnf")));
}

void TestVenueFile::interruptedSaveKeepsOldFile() {
    const CodePage cp(CodePage::Western);
    ParamData old;
    Defaults(old);
    old.BankData[0].MemNameStr = QStringLiteral("Old");
    QVERIFY(SaveVenueFile(old, cp, path("venue.vnf")));
    const QByteArray oldBytes = ReadAll(path("venue.vnf"));

    ParamData bigger;
    Defaults(bigger);
    for (int m = 0; m < ParamData::RecordCount; ++m)
        bigger.BankData[m].MemNameStr = QString(200, QLatin1Char('N'));

    // A child process saves with a file-size limit below the new file's
    // size: once killed by the limit's signal, once seeing the write fail.
    for (bool killed : {true, false}) {
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            if (!killed)
                signal(SIGXFSZ, SIG_IGN);
            rlimit lim{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &lim);
            const bool ok = SaveVenueFile(bigger, cp, path("venue.vnf"));
            _exit(ok ? 0 : 3);
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        if (killed) {
            QVERIFY(WIFSIGNALED(status));
            QCOMPARE(WTERMSIG(status), SIGXFSZ);
        } else {
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), 3); // the failure was reported
        }
        QCOMPARE(ReadAll(path("venue.vnf")), oldBytes);
        ParamData back;
        QVERIFY(LoadVenueFile(back, cp, path("venue.vnf"), false));
        QCOMPARE(back.BankData[0].MemNameStr, QStringLiteral("Old"));
    }
}

void TestVenueFile::saveClears48VFlags() {
    const CodePage cp(CodePage::Western);
    ParamData d;
    Defaults(d);
    d.In48VFlag = {1, 1, 0, 1, 1, 1};
    QVERIFY(SaveVenueFile(d, cp, path("p48.vnf")));
    for (uint8_t f : d.In48VFlag)
        QCOMPARE(f, 0);
}

void TestVenueFile::setFileName() {
    ParamData d;
    int told = 0;
    d.venueNameChanged = [&] { ++told; };
    ::SetFileName(d, QStringLiteral("/home/user/venues.2024/venue.1.vnf"));
    QCOMPARE(d.VenueName, QStringLiteral("venue"));
    ::SetFileName(d, QStringLiteral("C:\\Program Files\\QDR.318\\param\\Main Hall.vnf"));
    QCOMPARE(d.VenueName, QStringLiteral("Main Hall"));
    ::SetFileName(d, QStringLiteral("/srv/a.b/noext"));
    QCOMPARE(d.VenueName, QStringLiteral("noext"));
    QCOMPARE(told, 3);
}

void TestVenueFile::nameCheck() {
    QVERIFY(NameCheck(QStringLiteral("Main Hall 2-B")));
    QVERIFY(NameCheck(QStringLiteral("会議室")));
    QVERIFY(NameCheck(QString()));
    for (const char* bad : {"a\"b", "a.b", "a*b", "a/b", "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b"})
        QVERIFY2(!NameCheck(QString::fromLatin1(bad)), bad);
}

QTEST_GUILESS_MAIN(TestVenueFile)
#include "tst_venuefile.moc"
