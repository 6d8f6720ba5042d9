// A venue file damaged in every fixed byte and every level: it loads, every
// display routine of the editor runs on it, and every message it then leads
// to (the current record with all names, all sixteen memories, a store)
// carries values within their ranges. Names far longer than their fields
// leave every window at its size.

#include "EditorRig.h"
#include "data/Tables.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "startwin/BankReadWind.h"
#include "startwin/Widgets.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <cstring>

namespace {

using Range = std::pair<int, int>;
constexpr Range Any{0, 255}, Flag{0, 1}, Level{6, 125}, Gain{0, 60}, Freq{0, 53}, Q{0, 23}, Memory{1, 16};

QList<Range> Times(int n, Range r) {
    return QList<Range>(n, r);
}

// The ranges of a set message's data bytes from body index `from` on, by its
// kind and sub; empty for messages without ranged data (names).
QList<Range> DataRanges(const QByteArray& b, int& from) {
    const QByteArray kind = b.left(2);
    const int sub = b.size() > 4 ? uint8_t(b[4]) : -1;
    from = 5;
    if (kind == "IS" && sub == 0) {
        QList<Range> r{Any, {1, 31}, Flag, Flag};
        for (int band = 0; band < 3; ++band)
            r += {Freq, Q, Gain};
        return r + QList<Range>{Any, Flag, Flag, Level, Level};
    }
    if (kind == "OS" && sub == 0) {
        QList<Range> r{Flag, Any, Any, Flag};
        for (int band = 0; band < 6; ++band)
            r += {{0, 4}, Freq, Q, Gain};
        return r + QList<Range>{Flag, Flag, Level, Level, {0, 46}};
    }
    if (kind == "MS" && sub == 1) return Times(12, Flag) + QList<Range>{Any, Flag};
    if (kind == "MS" && sub == 2) return Times(6, {24, 125});
    if (kind == "PS") {
        from = 4;
        switch (b.size() > 3 ? uint8_t(b[3]) : -1) {
        case 2:
            return {{0, 0x3F}, {24, 93}, {0, 12}};
        case 3:
            return {{0, 0x3F}, {0, 12}};
        case 4:
            return {{0, 0x0F}, {0, 0x0F}};
        case 5:
            return QList<Range>{Flag} + Times(8, Flag) + Times(8, {0, 16});
        case 7:
            return Times(4, Memory);
        }
    }
    if (kind == "SA") {
        from = 4;
        return {Memory};
    }
    if (kind == "BA") {
        from = 3;
        return {Memory};
    }
    return {};
}

// Where a request carries a value outside its range, or nothing.
QString OutOfRange(const QByteArray& b) {
    const QString where = QString::fromLatin1(b.toHex(' ')) + QStringLiteral(" at ");
    int from = 0;
    const QList<Range> ranges = DataRanges(b, from);
    for (int i = 0; i < ranges.size(); ++i) {
        const int at = from + i;
        const int v = at < b.size() ? uint8_t(b[at]) : -1;
        if (v < ranges[i].first || v > ranges[i].second)
            return where + QString::number(at);
    }
    // The delay, high byte first; the two mono switches as bits 0 and 4.
    if (b.startsWith("OS") && b.size() > 7 && b[4] == 0 && uint8_t(b[6]) * 256 + uint8_t(b[7]) > 300)
        return where + QStringLiteral("6");
    if (b.startsWith("PS") && b.size() > 4 && b[3] == 1 && (uint8_t(b[4]) & ~0x11) != 0)
        return where + QStringLiteral("4");
    return {};
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The editor's size and the room its layout asks for on every page, then
// the name dialog's as each name dialog opens (and is closed with O K);
// the start window's, which shows the channel and venue names too.
QList<QSize> WindowSizes(EditorRig& r) {
    MainWind& m = *r.main;
    QList<QSize> sizes;
    const auto settle = [] {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    };
    for (int page = 0; page < m.MainTab->count(); ++page) {
        m.MainTab->setCurrentIndex(page);
        settle();
        sizes << m.size() << m.minimumSizeHint();
    }
    InputWind& w = *r.top->InputWindObj;
    const auto opened = [&](const std::function<void()>& rename) {
        QTimer guard; // a dialog left open fails the test instead of hanging it
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &w, [&w] { w.done(-1); });
        guard.start(15000);
        QTimer::singleShot(0, &w, [&] {
            settle();
            sizes << w.size() << w.minimumSizeHint() << m.size();
            w.Command1->click();
        });
        rename();
    };
    opened([&] { m.SystemName_Click(); });
    opened([&] { m.PatternName_Click(); });
    for (int c = 0; c < 12; ++c)
        opened([&] { m.InLineName_Click(c); });
    for (int k = 0; k < 5; ++k)
        opened([&] { m.OutLineName_Click(k); });
    for (int k = 0; k < 8; ++k)
        opened([&] { m.ExtOutName_Click(k); });
    sizes << r.top->minimumSizeHint();
    return sizes;
}

// Where two lists of sizes first differ, or nothing.
QString FirstDifference(const QList<QSize>& sizes, const QList<QSize>& normal) {
    for (qsizetype i = 0; i < std::min(sizes.size(), normal.size()); ++i)
        if (sizes[i] != normal[i])
            return QStringLiteral("size %1: %2 x %3, not %4 x %5")
                .arg(i)
                .arg(sizes[i].width())
                .arg(sizes[i].height())
                .arg(normal[i].width())
                .arg(normal[i].height());
    return sizes.size() == normal.size() ? QString() : QStringLiteral("another count of sizes");
}

} // namespace

class TestDamagedVenue : public QObject {
    Q_OBJECT
private slots:
    void loadsDisplaysAndSendsInRange();
    void longNamesKeepTheWindowsSize();
};

void TestDamagedVenue::loadsDisplaysAndSendsInRange() {
    GuiRig r;
    QVERIFY(r.top->Form_Initialize());
    App& app = *r.app;
    // Waits count ticks without the real timer.
    app.waits.pumpEvents = [&app] { app.waits.Tick(); };
    r.plugIn();
    for (int step = 0; step < 3 && !app.link.OnLine; ++step)
        app.link.SerialObj->AllPortCheck();
    QVERIFY(app.link.OnLine);

    ParamData damaged;
    for (BankRec& rec : damaged.BankData)
        std::memset(rec.fixedBytes(), 0xFF, BankFixedBytes);
    std::memset(damaged.MemLevel.data(), 0xFF, sizeof damaged.MemLevel);
    QFile file(r.venuePath(QStringLiteral("damaged.vnf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeVenue(damaged, app.codePage));
    file.close();
    QVERIFY(LoadVenueFile(app.data, app.codePage, file.fileName(), true));

    // Every display routine; knob marks and the faders linked to the knobs
    // stand at the quietest level, on their scales.
    MainWind& m = r.editor();
    m.DispAllParam();
    m.KnobLevelsRead(0);
    m.KnobLevelsRead(1);
    m.MeterLampClear();
    for (int c = 0; c < 10; ++c) {
        QCOMPARE(m.FaderPosImg[c]->y(), qRound((125 - 6) * m.InFaderScale() + m.InFaderOffset()));
        QCOMPARE(m.InSlider[c]->value(), 125);
    }
    for (int o : ChToOut) {
        QCOMPARE(m.OutFaderPos[o]->y(), qRound((125 - 6) * m.OutFaderScale() + m.OutFaderOffset()));
        QCOMPARE(m.Slider1[o]->value(), 125);
    }

    // A memory number past the last memory names the last one.
    app.data.BankData[16].MemNameStr = QStringLiteral("Last");
    app.data.MemNo = 17;
    r.top->bankReadWind->afterRead();
    QCOMPARE(m.PatternName->text(), QStringLiteral("Last"));
    app.data.MemNo = 16;

    SimUnit& unit = r.usb.unit();
    unit.model().clearRequests();
    app.send->SendMemoryData(0);
    app.link.AllBankContinue = true;
    app.send->SendAllBankData();
    app.send->SendMemoryStore(app.data.MemNo);
    const QList<QByteArray> heard = unit.model().requests();
    QVERIFY(heard.size() > 16 * 30);
    for (const QByteArray& body : heard)
        QVERIFY2(OutOfRange(body).isEmpty(), qPrintable(OutOfRange(body)));
    QVERIFY(app.link.OnLine);
}

// A file of nothing but 0xFF (every name counting 65535 bytes), one of
// random bytes, one whose names run to 4000 bytes, and names far past their
// fields put straight into the records: the editor and the name dialogs
// keep their sizes.
void TestDamagedVenue::longNamesKeepTheWindowsSize() {
    EditorRig r;
    App& app = *r.app;
    MainWind& m = *r.main;
    m.show();
    m.DispAllParam();
    const QList<QSize> normal = WindowSizes(r);

    const qsizetype longest = ParamData::RecordCount * (663 + NameCount * 0xFFFF) + 289;
    QByteArray random(longest, 0);
    QRandomGenerator noise(318);
    for (char& b : random)
        b = static_cast<char>(noise.bounded(256));
    ParamData named;
    for (int rec = 0; rec < ParamData::RecordCount; ++rec) {
        named.InitMemoryData(rec);
        for (QString* name : named.BankData[rec].names())
            *name = QString(4000, QLatin1Char('W'));
    }
    const QList<std::pair<const char*, QByteArray>> files{
        {"every byte 0xFF", QByteArray(longest, '\xFF')},
        {"random bytes", random},
        {"4000-byte names", EncodeVenue(named, app.codePage)}};
    for (const auto& [what, bytes] : files) {
        WriteFile(r.venuePath(QStringLiteral("long.vnf")), bytes);
        QVERIFY2(LoadVenueFile(app.data, app.codePage, r.venuePath(QStringLiteral("long.vnf")), false), what);
        m.DispAllParam();
        const QString difference = FirstDifference(WindowSizes(r), normal);
        QVERIFY2(difference.isEmpty(), qPrintable(what + QStringLiteral(": ") + difference));
    }

    for (BankRec& rec : app.data.BankData)
        for (QString* name : rec.names())
            *name = QString(4000, QLatin1Char('W'));
    app.data.VenueName = QString(255, QLatin1Char('W'));
    m.DispAllParam();
    m.DispSystemName();
    const QString difference = FirstDifference(WindowSizes(r), normal);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(TestDamagedVenue)
#include "tst_damagedvenue.moc"
