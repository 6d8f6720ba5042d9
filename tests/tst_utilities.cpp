#include "FakeClock.h"
#include "data/ParamData.h"
#include "data/Utilities.h"
#include "data/VenueFile.h"
#include "platform/CodePage.h"
#include "platform/MsClock.h"

#include <QTest>
#include <array>
#include <dlfcn.h>
#include <iconv.h>
#include <vector>

namespace {
int ConvertersOpened = 0;
} // namespace

// Every iconv converter opened in this process is counted, then opened by
// the C library as usual.
extern "C" iconv_t iconv_open(const char* to, const char* from) {
    using Open = iconv_t (*)(const char*, const char*);
    static const auto open = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "iconv_open"));
    ++ConvertersOpened;
    return open(to, from);
}

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> v) { return std::vector<uint8_t>(v.begin(), v.end()); }

const CodePage Sjis(CodePage::Japanese);
const CodePage Western(CodePage::Western);

} // namespace

class TestUtilities : public QObject {
    Q_OBJECT
private slots:
    void waits();
    void byteToStr();
    void strToByteZeroesAndCuts();
    void leftByteStr();
    void convertersOpenedOncePerPage();
};

void TestUtilities::waits() {
    // Half a tick rounds to the even count.
    const std::pair<int, int> cases[] = {{0, 0},   {40, 0},  {50, 0},  {51, 1},   {100, 1}, {150, 2},
                                         {249, 2}, {250, 2}, {350, 4}, {1100, 11}};
    TickWait w;
    int pumps = 0;
    // Each pump stands for one tick of the 100 ms timer.
    w.pumpEvents = [&] {
        ++pumps;
        w.Tick();
    };
    for (auto [ms, ticks] : cases) {
        pumps = 0;
        w.TimerWait(ms);
        QCOMPARE(std::pair(ms, pumps), std::pair(ms, ticks));
    }
    w.Tick(); // a tick with nothing waiting stays at 0
    QCOMPARE(w.WaitTick, 0);

    FakeClock clock(0xFFFFFF00u, 3);
    TimeWait(clock, 1000);
    const uint32_t waited = clock.t - 0xFFFFFF00u;
    QVERIFY(waited >= 1000 && waited < 1010);
    FakeClock zero(5, 1);
    TimeWait(zero, 0);
    QCOMPARE(zero.t, 7u); // the start and one look
}

void TestUtilities::byteToStr() {
    const std::tuple<const CodePage*, std::vector<uint8_t>, QString> cases[] = {
        {&Sjis, Bytes({0x93, 0xFC, 0x97, 0xCD, 0x31, 0}), QStringLiteral("入力1")},
        {&Sjis, Bytes({0xB1, 0}), QStringLiteral("ｱ")}, // half-width katakana: one byte
        // A lead byte in the last element, or a code without a character.
        {&Sjis, Bytes({0x41, 0x82}), QString()},
        {&Sjis, Bytes({0x41, 0x85, 0x40, 0}), QString()},
        // A field cut after a lead byte ends before it.
        {&Sjis, Bytes({0x41, 0x82, 0}), QStringLiteral("A")},
        // On a single-byte page every byte is a character of its own.
        {&Western, Bytes({'C', 'a', 'f', 0xE9, 0}), QStringLiteral("Café")},
        {&Western, Bytes({0x82, 0xA0, 0}), QStringLiteral(u"\u201A\u00A0")},
        {&Western, Bytes({0x41, 0x81, 0}), QString()},
        // Without a terminating zero inside a short array the text is not trusted.
        {&Western, Bytes({'A', 'B'}), QString()},
    };
    for (const auto& [cp, bytes, text] : cases)
        QCOMPARE(ByteToStr(*cp, bytes), text);

    // At most 201 bytes are read, but a lead byte at 200 takes byte 201 with it.
    std::vector<uint8_t> b(300, 'A');
    QCOMPARE(ByteToStr(Western, b), QString(201, QLatin1Char('A')));
    b[200] = 0x82;
    b[201] = 0xA0;
    const QString t = ByteToStr(Sjis, b);
    QCOMPARE(t.size(), 201);
    QCOMPARE(t.back(), QChar(u'あ'));
}

void TestUtilities::strToByteZeroesAndCuts() {
    std::array<uint8_t, 129> b;
    b.fill(0xEE);
    StrToByte(Sjis, QStringLiteral("会議室"), b);
    const uint8_t expect[] = {0x89, 0xEF, 0x8B, 0x63, 0x8E, 0xBA};
    QVERIFY(std::equal(std::begin(expect), std::end(expect), b.begin()));
    QVERIFY(std::all_of(b.begin() + 6, b.end(), [](uint8_t x) { return x == 0; }));
    StrToByte(Western, QStringLiteral("Müller-Saal"), b);
    QCOMPARE(ByteToStr(Western, b), QStringLiteral("Müller-Saal"));
    // A character the page cannot hold travels as '?'.
    StrToByte(Western, QStringLiteral("A会B"), b);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(b.data())), QByteArray("A?B"));

    std::array<uint8_t, 3> small{};
    StrToByte(Western, QStringLiteral("ABCDE"), small);
    QCOMPARE(small[2], 'C');
}

void TestUtilities::leftByteStr() {
    const std::tuple<const CodePage*, QString, int, QString> cases[] = {
        {&Sjis, QStringLiteral("ABCDEF"), 4, QStringLiteral("ABCD")},
        {&Sjis, QStringLiteral("ABC"), 4, QStringLiteral("ABC")},
        // The fourth and fifth bytes are one character: it becomes a blank.
        {&Sjis, QStringLiteral("ABCあD"), 4, QStringLiteral("ABC ")},
        {&Sjis, QStringLiteral("ABあD"), 4, QStringLiteral("ABあ")},
        {&Sjis, QStringLiteral("あいう"), 5, QStringLiteral("あい ")},
        // On a single-byte page an accented letter is one byte, never split.
        {&Western, QStringLiteral("Cafés"), 4, QStringLiteral("Café")},
        {&Western, QStringLiteral("Café"), 4, QStringLiteral("Café")},
    };
    for (const auto& [cp, text, n, want] : cases)
        QCOMPARE(LeftByteStr(*cp, text, n), want);
}

void TestUtilities::convertersOpenedOncePerPage() {
    const int before = ConvertersOpened;
    const CodePage page(CodePage::Japanese);
    QCOMPARE(ConvertersOpened - before, 2);

    // A venue file converts 731 names each way on the converters it has.
    ParamData d;
    for (int m = 0; m < ParamData::RecordCount; ++m) {
        d.InitMemoryData(m);
        d.BankData[m].MemNameStr = QStringLiteral("会議室 %1").arg(m);
    }
    ParamData back;
    const CodePage copy = page;
    QVERIFY(DecodeVenue(back, copy, EncodeVenue(d, page), true));
    QCOMPARE(back.BankData[9].MemNameStr, QStringLiteral("会議室 9"));
    QCOMPARE(ConvertersOpened - before, 2);

    // A conversion that failed half-way leaves nothing behind for the next.
    QCOMPARE(page.decode(QByteArray("\x82\xA0\x82")), std::nullopt);
    QCOMPARE(page.decode(QByteArray("\x82\xA0")), std::optional<QString>(QStringLiteral("あ")));
    QCOMPARE(page.encode(QStringLiteral("あ€")), QByteArray("\x82\xA0?"));
    QCOMPARE(page.encode(QStringLiteral("あ")), QByteArray("\x82\xA0"));
}

QTEST_GUILESS_MAIN(TestUtilities)
#include "tst_utilities.moc"
