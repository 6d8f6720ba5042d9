#include "data/Utilities.h"
#include "platform/CodePage.h"
#include "platform/MsClock.h"

#include <QTest>
#include <array>
#include <vector>

namespace {

class SteppingClock : public MsClock {
public:
    explicit SteppingClock(uint32_t start, uint32_t step) : t_(start), step_(step) {}
    uint32_t now() override { return t_ += step_; }
    uint32_t t_;
    uint32_t step_;
};

std::vector<uint8_t> Bytes(std::initializer_list<int> v) {
    std::vector<uint8_t> out;
    for (int b : v)
        out.push_back(static_cast<uint8_t>(b));
    return out;
}

} // namespace

class TestUtilities : public QObject {
    Q_OBJECT
private slots:
    void tickRounding();
    void timerWaitCountsTicks();
    void timeWaitAcrossClockWrap();
    void byteToStrJapanese();
    void byteToStrWestern();
    void byteToStrReadsAtMost201Bytes();
    void strToByteZeroesAndCuts();
    void leftByteStr();
    void clamps();
};

void TestUtilities::tickRounding() {
    const std::pair<int, int> cases[] = {{0, 0},   {40, 0},  {50, 0},  {51, 1},   {100, 1},
                                         {150, 2}, {249, 2}, {250, 2}, {350, 4}, {1000, 10}};
    for (auto [ms, ticks] : cases)
        QVERIFY2(TickWait::TicksFor(ms) == ticks, qPrintable(QString::number(ms)));
}

void TestUtilities::timerWaitCountsTicks() {
    TickWait w;
    int pumps = 0;
    // Each pump stands for one tick of the 100 ms timer.
    w.pumpEvents = [&] {
        ++pumps;
        w.Tick();
    };
    const std::pair<int, int> cases[] = {{0, 0}, {40, 0}, {100, 1}, {250, 2}, {1100, 11}};
    for (auto [ms, ticks] : cases) {
        pumps = 0;
        w.TimerWait(ms);
        QCOMPARE(pumps, ticks);
        QCOMPARE(w.WaitTick, 0);
    }
    w.Tick(); // a tick with nothing waiting stays at 0
    QCOMPARE(w.WaitTick, 0);
}

void TestUtilities::timeWaitAcrossClockWrap() {
    SteppingClock clock(0xFFFFFF00u, 3);
    TimeWait(clock, 1000);
    const uint32_t waited = clock.t_ - 0xFFFFFF00u;
    QVERIFY(waited >= 1000 && waited < 1010);

    SteppingClock zero(5, 1);
    TimeWait(zero, 0);
    QCOMPARE(zero.t_, 7u); // the start and one look
}

void TestUtilities::byteToStrJapanese() {
    const CodePage sjis(CodePage::Japanese);
    QCOMPARE(ByteToStr(sjis, Bytes({0x41, 0x42, 0})), QStringLiteral("AB"));
    QCOMPARE(ByteToStr(sjis, Bytes({0x82, 0xA0, 0})), QStringLiteral("あ"));
    QCOMPARE(ByteToStr(sjis, Bytes({0x93, 0xFC, 0x97, 0xCD, 0x31, 0})), QStringLiteral("入力1"));
    // A half-width katakana is a single byte.
    QCOMPARE(ByteToStr(sjis, Bytes({0xB1, 0})), QStringLiteral("ｱ"));
    // A lead byte in the last element, or a code without a character.
    QCOMPARE(ByteToStr(sjis, Bytes({0x41, 0x82})), QString());
    QCOMPARE(ByteToStr(sjis, Bytes({0x41, 0x85, 0x40, 0})), QString());
    // A field cut after a lead byte ends before it.
    QCOMPARE(ByteToStr(sjis, Bytes({0x41, 0x82, 0})), QStringLiteral("A"));
}

void TestUtilities::byteToStrWestern() {
    const CodePage western(CodePage::Western);
    // On a single-byte page every byte is a character of its own.
    QCOMPARE(ByteToStr(western, Bytes({'C', 'a', 'f', 0xE9, 0})), QStringLiteral("Café"));
    QCOMPARE(ByteToStr(western, Bytes({0x82, 0xA0, 0})), QStringLiteral(u"\u201A\u00A0"));
    std::array<uint8_t, 129> b{};
    StrToByte(western, QStringLiteral("Müller-Saal"), b);
    QCOMPARE(ByteToStr(western, b), QStringLiteral("Müller-Saal"));
    QCOMPARE(ByteToStr(western, Bytes({0x41, 0x81, 0})), QString());
}

void TestUtilities::byteToStrReadsAtMost201Bytes() {
    const CodePage western(CodePage::Western);
    std::vector<uint8_t> b(300, 'A');
    QCOMPARE(ByteToStr(western, b), QString(201, QLatin1Char('A')));
    // Without a terminating zero inside a short array the text is not trusted.
    QCOMPARE(ByteToStr(western, Bytes({'A', 'B'})), QString());

    const CodePage sjis(CodePage::Japanese);
    std::vector<uint8_t> j(300, 'A');
    j[200] = 0x82; // a lead byte at 200 takes byte 201 with it
    j[201] = 0xA0;
    const QString t = ByteToStr(sjis, j);
    QCOMPARE(t.size(), 201);
    QCOMPARE(t.back(), QChar(u'あ'));
}

void TestUtilities::strToByteZeroesAndCuts() {
    const CodePage western(CodePage::Western);
    std::array<uint8_t, 129> b;
    b.fill(0xEE);
    StrToByte(western, QStringLiteral("AB"), b);
    QCOMPARE(b[0], 0x41);
    QCOMPARE(b[1], 0x42);
    for (std::size_t i = 2; i < b.size(); ++i)
        QCOMPARE(b[i], 0);

    std::array<uint8_t, 3> small{};
    StrToByte(western, QStringLiteral("ABCDE"), small);
    QCOMPARE(small[2], 'C');

    const CodePage sjis(CodePage::Japanese);
    StrToByte(sjis, QStringLiteral("会議室"), b);
    const uint8_t expect[] = {0x89, 0xEF, 0x8B, 0x63, 0x8E, 0xBA, 0};
    QVERIFY(std::equal(std::begin(expect), std::end(expect), b.begin()));
    // A character the page cannot hold travels as '?'.
    StrToByte(western, QStringLiteral("A会B"), b);
    QCOMPARE(b[1], '?');
    QCOMPARE(b[2], 'B');
}

void TestUtilities::leftByteStr() {
    const CodePage sjis(CodePage::Japanese);
    const CodePage western(CodePage::Western);
    QCOMPARE(LeftByteStr(western, QStringLiteral("ABCDEF"), 4), QStringLiteral("ABCD"));
    QCOMPARE(LeftByteStr(sjis, QStringLiteral("ABCDEF"), 4), QStringLiteral("ABCD"));
    QCOMPARE(LeftByteStr(sjis, QStringLiteral("ABC"), 4), QStringLiteral("ABC"));
    // The fourth and fifth bytes are one character: it becomes a blank.
    QCOMPARE(LeftByteStr(sjis, QStringLiteral("ABCあD"), 4), QStringLiteral("ABC "));
    QCOMPARE(LeftByteStr(sjis, QStringLiteral("ABあD"), 4), QStringLiteral("ABあ"));
    QCOMPARE(LeftByteStr(sjis, QStringLiteral("あいう"), 5), QStringLiteral("あい "));
    // On a single-byte page an accented letter is one byte, never split.
    QCOMPARE(LeftByteStr(western, QStringLiteral("Cafés"), 4), QStringLiteral("Café"));
    QCOMPARE(LeftByteStr(western, QStringLiteral("Café"), 4), QStringLiteral("Café"));
}

void TestUtilities::clamps() {
    QCOMPARE(MaxByte(MinByte(200, 125), 6), 125);
    QCOMPARE(MaxByte(MinByte(0, 125), 6), 6);
    QCOMPARE(ClampByte(70, 6, 125), 70);
    QCOMPARE(MinInt(-3, 2), -3);
    QCOMPARE(MinInt(7, 7), 7);
}

QTEST_GUILESS_MAIN(TestUtilities)
#include "tst_utilities.moc"
