// The value tables typed in from the unit's published lists. Where a list
// follows a rule the rule is checked for every entry; where it does not, a
// few entries are checked by index and the sum of the published values
// catches a mistyped entry anywhere else.

// Qt first: moc reads <numbers> (through the tables) only after the
// standard library's configuration header.
#include <QTest>
#include <cmath>
#include <numeric>

#include "data/Tables.h"

namespace {

template <std::size_t N> double Sum(const std::array<double, N>& t, std::size_t from, std::size_t to) {
    return std::accumulate(t.begin() + from, t.begin() + to + 1, 0.0);
}

bool Near(double a, double b) { return std::abs(a - b) < 1e-9; }

// Compares entries by index so that a failure names the entry.
template <class T, std::size_t N>
void Spot(const std::array<T, N>& t, std::initializer_list<std::pair<int, T>> at) {
    for (auto [i, v] : at)
        QCOMPARE(std::pair(i, t[static_cast<std::size_t>(i)]), std::pair(i, v));
}

} // namespace

class TestTables : public QObject {
    Q_OBJECT
private slots:
    void gainAndLevelTables();
    void eqAndBalanceTables();
    void nameLists();
};

void TestTables::gainAndLevelTables() {
    QCOMPARE(MicGainTbl.size(), std::size_t(32));
    Spot(MicGainTbl, {{0, 0.0}, {1, -54.0}, {2, -50.0}, {5, -44.0}, {6, -43.0}, {11, -38.0}, {12, -37.5},
                      {20, -33.5}, {21, -33.2}, {22, -32.8}, {25, -31.8}, {28, -30.8}, {31, -30.0}});
    QVERIFY(Near(Sum(MicGainTbl, 0, 31), -1151.2));
    QCOMPARE(LineGainTbl.size(), std::size_t(32));
    Spot(LineGainTbl, {{0, 0.0}, {1, -20.0}, {12, -3.5}, {19, 0.0}, {21, 0.8}, {31, 4.0}});

    // Seven entries of +10 dB, listed steps to +2, steps of 0.4 dB from
    // +1.6 to -22.4, listed steps to -111.4, then three entries of "off".
    QCOMPARE(LevelTbl.size(), std::size_t(128));
    for (std::size_t i = 0; i < LevelTbl.size(); ++i) {
        if (i <= 6 || (i >= 20 && i <= 80) || i >= 125) {
            const double want = i <= 6 ? 10.0 : i <= 80 ? (24.0 - double(i)) * 0.4 : -999.0;
            QVERIFY2(Near(LevelTbl[i], want), qPrintable(QString::number(i)));
        }
    }
    Spot(LevelTbl, {{7, 9.0},      {8, 8.1},      {12, 5.2},     {19, 2.0},     {24, 0.0},     {81, -22.9},
                    {86, -25.5},   {90, -28.0},   {99, -35.6},   {100, -36.7},  {109, -49.1},  {110, -50.9},
                    {115, -63.8},  {116, -66.4},  {117, -70.4},  {122, -94.4},  {123, -102.4}, {124, -111.4}});
    QVERIFY(Near(Sum(LevelTbl, 7, 19), 64.9));
    QVERIFY(Near(Sum(LevelTbl, 81, 124), -2077.1));
}

void TestTables::eqAndBalanceTables() {
    // The frequencies repeat a decade up twenty entries later, except that
    // 360 Hz is followed by 3800 Hz, not 3600.
    QCOMPARE(EQFreqTbl.size(), std::size_t(54));
    Spot(EQFreqTbl,
         {{0, 40}, {3, 56}, {4, 63}, {10, 125}, {18, 315}, {19, 360}, {39, 3800}, {48, 10000}, {53, 18000}});
    for (std::size_t i = 0; i + 20 < EQFreqTbl.size(); ++i)
        if (i != 19)
            QCOMPARE(std::pair(int(i), EQFreqTbl[i + 20]), std::pair(int(i), EQFreqTbl[i] * 10));

    // Q: tenths to 1.5, halves to 5, whole numbers to 10, then 12.
    QCOMPARE(EQQTbl.size(), std::size_t(24));
    for (std::size_t i = 0; i < 23; ++i) {
        const double want = i <= 10   ? 0.5 + 0.1 * double(i)
                            : i <= 17 ? 1.5 + 0.5 * double(i - 10)
                                      : 5.0 + double(i - 17);
        QVERIFY2(Near(EQQTbl[i], want), qPrintable(QString::number(i)));
    }
    QCOMPARE(EQQTbl[23], 12.0);

    // Balance: half-dB steps from -20.1 to -9.6, 0.4 dB steps to -4.0, then
    // -3.5, 0.4 dB steps from -3.2 to -0.4, then -0.2 and 0.
    QCOMPARE(BalTbl.size(), std::size_t(47));
    for (std::size_t i = 0; i <= 35; ++i) {
        const double want = i <= 21 ? -20.1 + 0.5 * double(i) : -9.6 + 0.4 * double(i - 21);
        QVERIFY2(Near(BalTbl[i], want), qPrintable(QString::number(i)));
    }
    for (std::size_t i = 37; i <= 44; ++i)
        QVERIFY2(Near(BalTbl[i], -3.2 + 0.4 * double(i - 37)), qPrintable(QString::number(i)));
    Spot(BalTbl,
         {{0, -20.1}, {21, -9.6}, {35, -4.0}, {36, -3.5}, {37, -3.2}, {44, -0.4}, {45, -0.2}, {46, 0.0}});
}

void TestTables::nameLists() {
    const auto texts = [](const auto& list) {
        QStringList out;
        for (const char* s : list)
            out.append(QString::fromLatin1(s));
        return out;
    };
    QStringList ch;
    for (int i = 1; i <= 6; ++i)
        ch << QStringLiteral("MONO %1").arg(i);
    for (int i = 1; i <= 4; ++i)
        ch << QStringLiteral("STEREO %1").arg(i);
    ch << QStringLiteral("KL-VT20 1") << QStringLiteral("KL-VT20 2");
    for (int i = 1; i <= 4; ++i)
        ch << QStringLiteral("OUT %1").arg(i);
    ch << QStringLiteral("RECOUT");
    QCOMPARE(texts(ChName), ch);

    // Pins 1..25; the leading blanks line the labels up.
    QStringList pins(25, QStringLiteral("   GND"));
    for (int i = 0; i < 8; ++i) {
        pins[2 + i] = QStringLiteral("   IN%1").arg(i + 1);
        pins[13 + i] = QStringLiteral("  OUT%1").arg(i + 1);
    }
    pins[23] = QStringLiteral(" PWR Hot ");
    pins[24] = QStringLiteral("PWR Cold");
    QCOMPARE(texts(PinName), pins);

    QCOMPARE(std::vector<int>(ChToOut.begin(), ChToOut.end()), std::vector<int>({0, 2, 4, 5}));
    QCOMPARE(std::vector<int>(OutToCh.begin(), OutToCh.end()), std::vector<int>({0, 0, 1, 1, 2, 3}));
    QCOMPARE(QString::fromLatin1(VerStr), QStringLiteral("Ver.1.00"));
    QCOMPARE(QString::fromLatin1(VerStrEdit), QStringLiteral("Ver.1.00 Parameter Edit"));
}

QTEST_APPLESS_MAIN(TestTables)
#include "tst_tables.moc"
