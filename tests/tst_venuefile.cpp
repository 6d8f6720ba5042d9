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

// The range of every fixed byte of a record; bytes without one (the external
// outputs' mask, the routing mask, MicSel and Mono) take any value, a group
// mask those of its members' bits. The delay's two bytes hold one value of
// at most 300.
using ByteRanges = std::array<std::pair<int, int>, BankFixedBytes>;

ByteRanges RecordRanges() {
    ByteRanges r;
    r.fill({0, 255});
    const auto set = [&r](int at, int n, int lo, int hi) {
        for (int i = at; i < at + n; ++i)
            r[static_cast<std::size_t>(i)] = {lo, hi};
    };
    for (int c = 0; c < 10; ++c) {
        const int b = 20 * c;
        set(b + 1, 1, 1, 31);
        set(b + 2, 1, 0, 1);
        for (int k = 0; k < 3; ++k) {
            set(b + 3 + 3 * k, 1, 0, 60);
            set(b + 4 + 3 * k, 1, 0, 53);
            set(b + 5 + 3 * k, 1, 0, 23);
        }
        set(b + 13, 3, 0, 1);
        set(b + 16, 1, 6, 125);
        set(b + 17, 2, 0, 1);
        set(b + 19, 1, 6, 125);
    }
    for (int o = 0; o < 7; ++o) {
        const int b = 200 + 36 * o;
        set(b + 2, 2, 0, 1);
        set(b + 4, 6, 0, 60);
        set(b + 10, 6, 0, 53);
        set(b + 16, 6, 0, 23);
        set(b + 22, 6, 0, 4);
        set(b + 28, 1, 0, 46);
        set(b + 30, 2, 0, 1);
        set(b + 32, 2, 6, 125);
        set(b + 34, 1, 0, 1);
        set(b + 35, 1, 0, 6);
    }
    for (int k = 0; k < 4; ++k) {
        set(452 + 20 * k, 13, 0, 1);
        set(452 + 20 * k + 13, 6, 24, 125);
    }
    set(532, 1, 0, 0x3F);
    set(533, 1, 24, 93);
    set(534, 1, 0, 12);
    set(535, 1, 0, 0x3F);
    set(536, 1, 0, 12);
    set(537, 2, 0, 0x0F);
    set(539, 4, 1, 16);
    set(543, 1, 0, 1);
    set(544, 8, 0, 16);
    return r;
}

// Every fixed byte of every record and every level varied within its range
// (pick 0: the lowest, 1: the highest, else at random), so that a round
// trip must be exact.
void Scramble(ParamData& d, int pick = 2) {
    static const ByteRanges ranges = RecordRanges();
    uint32_t x = 12345;
    auto next = [&x, pick](int lo, int hi) {
        x = x * 1103515245u + 12345u;
        return pick == 0 ? lo : pick == 1 ? hi : lo + static_cast<int>((x >> 16) % static_cast<uint32_t>(hi - lo + 1));
    };
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        BankRec& r = d.BankData[m];
        uint8_t* b = r.fixedBytes();
        for (std::size_t i = 0; i < BankFixedBytes; ++i)
            b[i] = static_cast<uint8_t>(next(ranges[i].first, ranges[i].second));
        for (OutRec& o : r.Out)
            o.Delay = static_cast<uint16_t>(next(0, 300));
        uint8_t* lv = reinterpret_cast<uint8_t*>(&d.MemLevel[m]);
        for (int i = 0; i < 17; ++i)
            lv[i] = static_cast<uint8_t>(next(6, 125));
    }
}

} // namespace

class TestVenueFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void roundTripByteForByte();
    void valuesOutOfRangeClamped();
    void extensionIsCaseSensitive();
    void levelTableRules();
    void longNamesCut();
    void failedLoadChangesNothing();
    void failedSavesKeepOldFile();
    void saveRemovesItsOwnLeftovers();
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
        if (!factory) {
            // Two records with every value at the ends of its range.
            ParamData ends;
            Scramble(ends, 0);
            d.BankData[1] = ends.BankData[1];
            Scramble(ends, 1);
            d.BankData[2] = ends.BankData[2];
        }
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

void TestVenueFile::valuesOutOfRangeClamped() {
    // Files of every fixed byte and level 0xFF, then 0: each value with a
    // range comes in at the nearer end of it, every other byte as it is.
    const ByteRanges ranges = RecordRanges();
    for (const uint8_t fill : {0xFF, 0x00}) {
        ParamData src;
        for (BankRec& r : src.BankData)
            std::memset(r.fixedBytes(), fill, BankFixedBytes);
        std::memset(src.MemLevel.data(), fill, sizeof src.MemLevel);
        ParamData d;
        QVERIFY(DecodeVenue(d, West, EncodeVenue(src, West), true));
        for (int m = 0; m < ParamData::RecordCount; ++m) {
            const BankRec& r = d.BankData[m];
            for (std::size_t i = 0; i < BankFixedBytes; ++i) {
                if ((i - 200) % 36 < 2 && i >= 200 && i < 452)
                    continue; // the delay, below
                const auto [lo, hi] = ranges[i];
                QVERIFY2(r.fixedBytes()[i] == (fill == 0xFF ? hi : lo),
                         qPrintable(QStringLiteral("record %1 byte %2: %3").arg(m).arg(i).arg(r.fixedBytes()[i])));
            }
            for (const OutRec& o : r.Out)
                QCOMPARE(int(o.Delay), fill == 0xFF ? 300 : 0);
            for (uint8_t level : d.MemLevel[m].In)
                QCOMPARE(int(level), fill == 0xFF ? 125 : 6);
            for (uint8_t level : d.MemLevel[m].Out)
                QCOMPARE(int(level), fill == 0xFF ? 125 : 6);
        }
    }
    // A group mask keeps its members' bits and drops the others.
    ParamData src;
    BankRec& masks = src.BankData[3];
    masks.SAMask = 0xC5;
    masks.SMMask = 0x6A;
    masks.VT20Out1Mask = 0xF9;
    masks.VT20Out2Mask = 0x36;
    ParamData d;
    QVERIFY(DecodeVenue(d, West, EncodeVenue(src, West), true));
    const BankRec& r = d.BankData[3];
    QCOMPARE((QList<int>{r.SAMask, r.SMMask, r.VT20Out1Mask, r.VT20Out2Mask}),
             (QList<int>{0x05, 0x2A, 0x09, 0x06}));
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
    // Levels are clamped and the table kept; offline it is not.
    const QList<int> clamped{6, 125, 125, 6, 125, 6, 125, 6};
    QCOMPARE(load(file, true), clamped + QList<int>({60, 7}));
    QCOMPARE(load(file, false), clamped + QList<int>({125, 125}));
    // Exactly 17 records: no table, every level 125, the same clamps.
    QCOMPARE(load(file.chopped(289), true), clamped + QList<int>({125, 125}));
    // Bytes after the table are ignored.
    QCOMPARE(load(file + QByteArray(100, '\x7F'), true), clamped + QList<int>({60, 7}));
}

// Names longer than their fields take (a damaged or foreign file) are cut
// there, never inside a double-byte character; shorter ones come whole.
void TestVenueFile::longNamesCut() {
    // Inputs, outputs, spares, external outputs, the memory, speakers.
    QList<int> limits;
    for (auto [count, limit] : {std::pair{12, 12}, {7, 12}, {8, 20}, {8, 12}, {1, 20}, {7, 21}})
        limits += QList<int>(count, limit);
    const QString text = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz");
    ParamData src;
    Defaults(src);
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        const auto names = src.BankData[m].names();
        for (int i = 0; i < NameCount; ++i)
            *names[i] = text.left(limits[i] + (m % 2 == 0 ? 1 + m : 0));
    }
    ParamData d;
    QVERIFY(DecodeVenue(d, West, EncodeVenue(src, West), true));
    for (const BankRec& rec : d.BankData) {
        const auto names = rec.names();
        for (int i = 0; i < NameCount; ++i)
            QCOMPARE(*names[i], text.left(limits[i]));
    }

    // Shift-JIS: a double-byte character that would be split is left out.
    const CodePage japan(CodePage::Japanese);
    BankRec& r = src.BankData[0];
    r.InNameStr[0] = QStringLiteral("あいうえおかき");
    r.InNameStr[1] = QStringLiteral("1あいうえおか");
    r.MemNameStr = QStringLiteral("会議室会議室会議室会議");
    r.SpkNameStr[0] = QStringLiteral("*会議室会議室会議室会議");
    QVERIFY(DecodeVenue(d, japan, EncodeVenue(src, japan), true));
    const BankRec& cut = d.BankData[0];
    QCOMPARE((QStringList{cut.InNameStr[0], cut.InNameStr[1], cut.MemNameStr, cut.SpkNameStr[0]}),
             (QStringList{QStringLiteral("あいうえおか"), QStringLiteral("1あいうえお"),
                          QStringLiteral("会議室会議室会議室会"), QStringLiteral("*会議室会議室会議室会")}));

    // Every byte 0xFF: every name counts 65535 bytes, kept to its field.
    const qsizetype longest = ParamData::RecordCount * (663 + NameCount * 0xFFFF) + 289;
    QVERIFY(DecodeVenue(d, West, QByteArray(longest, '\xFF'), true));
    for (const BankRec& rec : d.BankData) {
        const auto names = rec.names();
        for (int i = 0; i < NameCount; ++i)
            QCOMPARE(*names[i], QString(limits[i], QChar(0xFF)));
    }
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
    // The killed save left its temporary file; the next save clears it.
    const QStringList temps{QStringLiteral(".venue.vnf.qdr-??????")};
    const auto listed = QDir::Files | QDir::Hidden;
    QCOMPARE(QDir(dir.path()).entryList(temps, listed).size(), 1);
    QVERIFY(SaveVenueFile(old, West, path("venue.vnf")));
    QCOMPARE(QDir(dir.path()).entryList(temps, listed), QStringList());
}

void TestVenueFile::saveRemovesItsOwnLeftovers() {
    QTemporaryDir folder;
    ParamData d;
    Defaults(d);
    // Two leftovers of saves to hall.vnf; a user's copies beside it, and
    // names that only look like a leftover.
    const QStringList leftovers{QStringLiteral(".hall.vnf.qdr-AbC123"),
                                QStringLiteral(".hall.vnf.qdr-zz9900")};
    const QStringList others{QStringLiteral("hall.vnf.backup"),       QStringLiteral("hall.vnf.2024v1"),
                             QStringLiteral("hall.vnf.AbC123"),       QStringLiteral(".hall.vnf.AbC123"),
                             QStringLiteral("hall.vnf.bak"),          QStringLiteral("hall.vnf.qdr-AbC123"),
                             QStringLiteral(".hall.vnf.qdr-AbC1234"), QStringLiteral(".hall.vnf.qdr-AbC12"),
                             QStringLiteral(".hall.vnf.qdr-Ab-123"),  QStringLiteral(".hall.vnfxqdr-AbC123"),
                             QStringLiteral(".other.vnf.qdr-AbC123"), QStringLiteral("hall.vnf")};
    for (const QString& name : leftovers + others)
        WriteAll(folder.filePath(name), "not a venue " + name.toLatin1());
    // The file written over keeps its permissions.
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(folder.filePath(QStringLiteral("hall.vnf")), mode));
    QVERIFY(SaveVenueFile(d, West, folder.filePath(QStringLiteral("hall"))));
    QCOMPARE(QFile::permissions(folder.filePath(QStringLiteral("hall.vnf"))), mode);
    QStringList expected = others;
    expected.sort();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    for (const QString& name : others.mid(0, others.size() - 1))
        QCOMPARE(ReadAll(folder.filePath(name)), "not a venue " + name.toLatin1());
    QCOMPARE(ReadAll(folder.filePath(QStringLiteral("hall.vnf"))), EncodeVenue(d, West));
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
