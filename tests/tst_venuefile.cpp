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

const CodePage West(CodePage::Western);

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
    void roundTripByteForByte();
    void extensionIsCaseSensitive();
    void levelTableRules();
    void failedLoadChangesNothing();
    void failedSavesKeepOldFile();
    void venueNames();

private:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

void TestVenueFile::roundTripByteForByte() {
    // Factory records without names, then varied ones named on both pages.
    const std::tuple<int, QString, QByteArray> cases[] = {
        {CodePage::Western, QString(), QByteArray()},
        {CodePage::Western, QStringLiteral("Café"), QByteArray("Caf\xE9")},
        {CodePage::Japanese, QStringLiteral("会議室"), QByteArray("\x89\xEF\x8B\x63\x8E\xBA")}};
    for (const auto& [page, name, nameBytes] : cases) {
        const CodePage cp(page);
        const bool factory = name.isEmpty();
        ParamData d;
        factory ? Defaults(d) : Scramble(d);
        for (int m = 0; m < ParamData::RecordCount && !factory; ++m) {
            d.BankData[m].InNameStr[0] = name;
            d.BankData[m].SpkNameStr[6] = QStringLiteral("*Ceiling %1").arg(m);
        }
        d.In48VFlag = {1, 1, 0, 1, 1, 1};
        QVERIFY(SaveVenueFile(d, cp, path("trip")));
        QCOMPARE(d.In48VFlag, (std::array<uint8_t, 6>{})); // saving clears them
        const QByteArray file = ReadAll(path("trip.vnf"));
        // Per record 553 fixed bytes, 43 name counts and 24 reserved; then 17 level rows.
        QCOMPARE(file.size(), 11560 + (factory ? 0 : 17 * nameBytes.size() + 10 * 10 + 7 * 11));
        // The first name of record 0: its count, then its code-page bytes.
        QCOMPARE(file.mid(553, 2 + nameBytes.size()), char(nameBytes.size()) + QByteArray(1, '\0') + nameBytes);
        if (factory) {
            QCOMPARE(static_cast<uint8_t>(file[663 + 552]), 255);   // record 1 right after record 0
            QCOMPARE(static_cast<uint8_t>(file[11560 - 289]), 125); // the level table
        }

        ParamData back;
        QVERIFY(LoadVenueFile(back, cp, path("trip.vnf"), true));
        QVERIFY(back.VenueLoaded);
        for (int m = 0; m < ParamData::RecordCount; ++m)
            QVERIFY2(back.BankData[m] == d.BankData[m], qPrintable(QString::number(m)));
        QCOMPARE(EncodeVenue(back, cp), file);
    }
}

void TestVenueFile::extensionIsCaseSensitive() {
    ParamData d;
    Defaults(d);
    const std::pair<const char*, const char*> saved[] = {
        {"plain", "plain.vnf"}, {"given.vnf", "given.vnf"}, {"upper.VNF", "upper.VNF.vnf"}};
    for (auto [asked, written] : saved) {
        QVERIFY(SaveVenueFile(d, West, path(asked)));
        QVERIFY2(QFile::exists(path(written)), written);
    }
    QVERIFY(!QFile::exists(path("given.vnf.vnf")));
    QCOMPARE(WithVenueExtension(QStringLiteral("a.vnf.bak")), QStringLiteral("a.vnf.bak"));
}

void TestVenueFile::levelTableRules() {
    ParamData d;
    Defaults(d);
    BankRec& r = d.BankData[2];
    r.In[3].VRLevel = 0;
    r.In[4].VRLevel = 200;
    r.In[5].Fader = 200;
    r.Out[0].VRLevel = 0;
    r.Out[5].VRLevel = 250;
    r.Out[1].VRLevel = 0;   // blocks 1, 3 and 6 are no knob's
    r.Out[3].VRLevel = 200;
    r.Out[6].VRLevel = 1;
    d.MemLevel[4].In[2] = 60;
    d.MemLevel[16].Out[6] = 7;
    QVERIFY(SaveVenueFile(d, West, path("levels.vnf")));
    const QByteArray file = ReadAll(path("levels.vnf"));
    // Some knob levels, a fader and two entries of the level table, as loaded.
    const auto load = [&](const QByteArray& bytes, bool online) {
        WriteAll(path("other.vnf"), bytes);
        ParamData l;
        if (!LoadVenueFile(l, West, path("other.vnf"), online))
            return QList<int>();
        const BankRec& o = l.BankData[2];
        return QList<int>{o.In[3].VRLevel,  o.In[4].VRLevel,  o.In[5].Fader,      o.Out[0].VRLevel, o.Out[5].VRLevel,
                          o.Out[1].VRLevel, o.Out[3].VRLevel, o.Out[6].VRLevel, l.MemLevel[4].In[2], l.MemLevel[16].Out[6]};
    };
    // The knob levels are clamped and the table kept; offline it is not.
    QCOMPARE(load(file, true), (QList<int>{6, 125, 200, 6, 125, 0, 200, 1, 60, 7}));
    QCOMPARE(load(file, false), (QList<int>{6, 125, 200, 6, 125, 0, 200, 1, 125, 125}));
    // Exactly 17 records: no table, every level 125 and no clamps.
    QCOMPARE(load(file.chopped(289), true), (QList<int>{0, 200, 200, 0, 250, 0, 200, 1, 125, 125}));
    // Bytes after the table are ignored.
    QCOMPARE(load(file + QByteArray(100, '\x7F'), true), (QList<int>{6, 125, 200, 6, 125, 0, 200, 1, 60, 7}));
}

void TestVenueFile::failedLoadChangesNothing() {
    ParamData src;
    Defaults(src);
    const QByteArray valid = EncodeVenue(src, West);
    QByteArray spoiled = valid;
    spoiled[553 + 2 * 20] = '\xFF'; // a name count past the end
    spoiled[553 + 2 * 20 + 1] = '\x7F';
    // Missing, empty, cut inside record 0's fixed bytes, inside a name count,
    // inside record 16, inside the level table; a bad name count.
    const QList<QByteArray> files{QByteArray(),    QByteArray(""),           valid.left(300), valid.left(554),
                                  valid.left(16 * 663 + 600), valid.left(11560 - 100), spoiled};
    for (const QByteArray& bytes : files) {
        if (!bytes.isNull())
            WriteAll(path("bad.vnf"), bytes);
        ParamData d;
        Scramble(d);
        d.BankData[7].MemNameStr = QStringLiteral("Keep me");
        const ParamData before = d;
        QVERIFY(!LoadVenueFile(d, West, path(bytes.isNull() ? "absent.vnf" : "bad.vnf"), true));
        for (int m = 0; m < ParamData::RecordCount; ++m)
            QVERIFY(d.BankData[m] == before.BankData[m]);
        QCOMPARE(std::memcmp(d.MemLevel.data(), before.MemLevel.data(), sizeof(d.MemLevel)), 0);
        QVERIFY(!d.VenueLoaded);
    }
}

void TestVenueFile::failedSavesKeepOldFile() {
    ParamData old;
    Defaults(old);
    old.BankData[0].MemNameStr = QStringLiteral("Old");
    QVERIFY(SaveVenueFile(old, West, path("venue.vnf")));
    const QByteArray oldBytes = ReadAll(path("venue.vnf"));
    QVERIFY(!SaveVenueFile(old, West, path("no/such/folder/x.vnf")));
    // A folder standing where the file should go.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.vnf")));
    QVERIFY(!SaveVenueFile(old, West, path("taken.vnf")));

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
            _exit(SaveVenueFile(bigger, West, path("venue.vnf")) ? 0 : 3);
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        if (killed)
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        else
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 3); // the failure was reported
        QCOMPARE(ReadAll(path("venue.vnf")), oldBytes);
    }
}

void TestVenueFile::venueNames() {
    ParamData d;
    int told = 0;
    d.venueNameChanged = [&] { ++told; };
    const std::pair<const char*, const char*> paths[] = {
        {"/home/user/venues.2024/venue.1.vnf", "venue"},
        {"C:\\Program Files\\QDR.318\\param\\Main Hall.vnf", "Main Hall"},
        {"/srv/a.b/noext", "noext"}};
    for (auto [full, venue] : paths) {
        ::SetFileName(d, QString::fromLatin1(full));
        QCOMPARE(d.VenueName, QString::fromLatin1(venue));
    }
    QCOMPARE(told, 3);

    QVERIFY(NameCheck(QStringLiteral("Main Hall 2-B")));
    QVERIFY(NameCheck(QStringLiteral("会議室")));
    QVERIFY(NameCheck(QString()));
    for (const char* bad : {"a\"b", "a.b", "a*b", "a/b", "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b"})
        QVERIFY2(!NameCheck(QString::fromLatin1(bad)), bad);
}

QTEST_GUILESS_MAIN(TestVenueFile)
#include "tst_venuefile.moc"
