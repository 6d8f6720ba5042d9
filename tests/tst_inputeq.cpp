// The input EQ dialog against the emulator: what each control stores and
// sends, the knob's press-and-hold counted in timer periods with the mouse
// buttons in the test's hands, the EQ copy, and the frequency texts.

#include "EditorRig.h"
#include "ModalRig.h"
#include "data/Tables.h"
#include "editor/InEQWind.h"
#include "editor/PopupPlace.h"
#include "startwin/InputWind.h"
#include "startwin/Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstring>

namespace {

struct Fixture : EditorRig {
    MainWind& m = *main;

    InRec& in(int ch) { return record().In[ch]; }
    InRec& unitIn(int ch) { return unitState().rec[0].In[ch]; }

    // Opens input ch's dialog by opener, runs script in it and closes it.
    void inDialog(int ch, const std::function<void(InEQWind&)>& script, QAbstractButton* opener = nullptr) {
        InEQWind& w = m.inEQWind();
        const auto run = [&] {
            script(w);
            if (w.isVisible())
                QTest::mouseClick(w.CloseButton, Qt::LeftButton);
        };
        Modal(w, run, [&] { QTest::mouseClick(opener ? opener : m.InEQ[ch], Qt::LeftButton); });
    }

    // The list window that opens next picks pos; seen gets its prompt,
    // unit, first value, number of values and the position it opened on.
    void pickNext(int pos, QStringList* seen) {
        ListWind& l = *m.dialogs.listWind;
        QTimer::singleShot(0, &l, [&l, pos, seen] {
            *seen << l.SelText->text() << l.Tani->text() << l.SelList->itemText(0)
                  << QString::number(l.SelList->count()) << QString::number(l.SelList->currentIndex());
            l.SelList->setCurrentIndex(pos);
            l.OKButton->click();
        });
    }

    // The copy dialog that opens next: position pick and O K, or CANCEL for
    // -1; greyed gets the position it greyed out.
    void copyNext(EQCopyWind& c, int pick, int* greyed) {
        QTimer::singleShot(0, &c, [&c, pick, greyed] {
            for (int i = 0; i < c.Option1.size(); ++i)
                if (!c.Option1[i]->isEnabled())
                    *greyed = i;
            if (pick >= 0)
                QTest::mouseClick(c.Option1[pick], Qt::LeftButton);
            (pick >= 0 ? c.OKButton : c.CancelButton)->click();
        });
    }

    // Holds knob b with button: the times (ms) of the gain's steps.
    QList<int> hold(InEQWind& w, int b, Qt::MouseButton button, int releaseAfter = -1, bool down = true) {
        return holdKnob(
            w.GainVol[b], w.GainVolTimer, [&w] { w.GainVolTimer_Timer(); },
            [this, &w, b] { return int(in(w.InEQCh).Band[b].EQGain); }, button, releaseAfter, down);
    }
};

// The ten EQ bytes of an input (the switch and three bands) as they lie in
// the record.
QByteArray EQBytes(const InRec& r) {
    return QByteArray(reinterpret_cast<const char*>(&r.EQEnable), 1 + sizeof r.Band);
}

// "I S" messages for input ch as (sub, the bytes after it).
QList<QPair<int, QByteArray>> InputSets(const QList<QByteArray>& bodies, int ch) {
    QList<QPair<int, QByteArray>> l;
    for (const QByteArray& b : bodies)
        if (b.startsWith("IS") && b.size() > 5 && b[3] == ch + 1)
            l.append({int(b[4]), b.mid(5)});
    return l;
}

QByteArray Band(int freq, int q, int gain) {
    return QByteArray{} + char(freq) + char(q) + char(gain);
}

// The switch and, per band, frequency, Q and gain (as the messages carry
// them), into the editor's record and, with unit, the unit's too.
void SetEQ(Fixture& f, int ch, uint8_t on, std::array<uint8_t, 9> bands, bool unit = false) {
    for (InRec* r : {&f.in(ch), unit ? &f.unitIn(ch) : nullptr}) {
        if (!r)
            continue;
        r->EQEnable = on;
        for (int b = 0; b < 3; ++b)
            r->Band[b] = {bands[3 * b + 2], bands[3 * b], bands[3 * b + 1]};
    }
}

} // namespace

class TestInputEQ : public QObject {
    Q_OBJECT
private slots:
    void changesReachTheUnit();
    void knobHoldAndDoubleClick();
    void copyToAnotherInput();
    void frequencyTexts();
    void nameTakesTheNameFace();
};

void TestInputEQ::changesReachTheUnit() {
    Fixture f;
    QVERIFY(f.goOnline());
    SetEQ(f, 2, 1, {40, 2, 30, 20, 5, 30, 8, 2, 30});
    // The unit holds other bytes, so that any byte left unsent shows.
    std::memset(&f.unitIn(2).EQEnable, 0x11, 10);
    QStringList gain, freq, q, shown;

    f.inDialog(2, [&](InEQWind& w) {
        // Filled from the record, nothing sent.
        shown << w.LineName->text() << w.GainText[0]->text() << w.FreqText[0]->text() << w.FreqText[1]->text()
              << w.QText[1]->text();
        QCOMPARE(w.EQOn[0]->picture(), ImageWind::Pic::SwOn);
        QVERIFY(w.Center->isVisible());
        QCOMPARE(f.heard(), QList<QByteArray>{});

        w.GainButton[0]->stepUp();
        w.FreqButton[1]->stepDown();
        w.QButton[1]->stepUp();
        // Values the record already holds send nothing.
        w.SetGainValue(0, 31);
        w.SetFreqValue(1, 19);
        w.SetQValue(1, 6);

        f.pickNext(0, &gain);
        QTest::mouseClick(w.GainText[2], Qt::LeftButton);
        f.pickNext(5, &freq);
        QTest::mouseClick(w.FreqText[0], Qt::LeftButton);
        f.pickNext(23, &q);
        QTest::mouseClick(w.QText[1], Qt::LeftButton);

        // EQ ON while on is sent again; EQ OFF switches it off.
        QTest::mouseClick(w.EQOn[0], Qt::LeftButton);
        QTest::mouseClick(w.EQOn[1], Qt::LeftButton);
        QCOMPARE(w.EQOn[1]->picture(), ImageWind::Pic::SwOn);
        QCOMPARE(w.EQOn[0]->picture(), ImageWind::Pic::SwOff);
        QCOMPARE(f.m.InEQ[2]->picture(), ImageWind::Pic::SwOff);
    });

    QCOMPARE(shown, QStringList({f.m.InLineName[2]->text(), "0.0", "4k", "400", "1.0"}));
    QCOMPARE(gain, QStringList({"Select GAIN", "dB", "-15.0", "61", "30"}));
    // The HIGH band's list starts at index 34.
    QCOMPARE(freq, QStringList({"Select Frequency", "Hz", "2k", "20", "6"}));
    QCOMPARE(q, QStringList({"Select Q", "  ", "0.5", "24", "6"}));

    const QList<QPair<int, QByteArray>> want{
        {6, Band(40, 2, 31)}, {7, Band(19, 5, 30)}, {7, Band(19, 6, 30)}, {5, Band(8, 2, 0)},
        {6, Band(39, 2, 31)}, {7, Band(19, 23, 30)}, {4, QByteArray(1, 1)}, {4, QByteArray(1, 0)}};
    QCOMPARE(InputSets(f.heard(), 2), want);
    QCOMPARE(f.heard().size(), want.size());
    QCOMPARE(EQBytes(f.unitIn(2)), EQBytes(f.in(2)));
}

void TestInputEQ::knobHoldAndDoubleClick() {
    Fixture f;
    QVERIFY(f.goOnline());
    SetEQ(f, 4, 0, {48, 2, 58, 34, 2, 55, 8, 2, 0});
    f.inDialog(4, [&](InEQWind& w) {
        // Right steps up: 30 ms, a second later, then every 100 ms, up to 60.
        QCOMPARE(f.hold(w, 0, Qt::RightButton), (QList<int>{30, 1030}));
        QCOMPARE(f.hold(w, 1, Qt::RightButton), (QList<int>{30, 1030, 1130, 1230, 1330}));
        QCOMPARE(w.GainText[1]->text(), QStringLiteral("15.0"));
        QCOMPARE(w.GainVol[1]->angle(), 60);
        // Left steps down; from 0 nothing.
        QCOMPARE(f.hold(w, 2, Qt::LeftButton), QList<int>{});
        QCOMPARE(f.hold(w, 1, Qt::LeftButton, 3), (QList<int>{30, 1030, 1130}));
        QVERIFY(!w.GainVolTimer.isActive());
        // Each press starts over at 30 ms; a button read as up ends the
        // stepping after the step.
        QCOMPARE(f.hold(w, 1, Qt::LeftButton, -1, false), QList<int>{30});
        // Let go within the first 30 ms: no step. Other buttons do nothing.
        QCOMPARE(f.hold(w, 2, Qt::RightButton, 0), QList<int>{});
        QTest::mousePress(w.GainVol[0], Qt::MiddleButton);
        QVERIFY(!w.GainVolTimer.isActive());
        // A double click resets the band to 0 dB, which points straight up.
        QTest::mouseDClick(w.GainVol[2], Qt::LeftButton);
        QCOMPARE(w.GainText[2]->text(), QStringLiteral("0.0"));
        const QPointF tip = w.GainVol[2]->pointerEnd();
        QCOMPARE(tip.x(), w.GainVol[2]->width() / 2.0);
        QVERIFY(tip.y() < w.GainVol[2]->height() / 2.0 - 10);
    });
    QList<int> gains[8];
    for (const auto& [sub, bytes] : InputSets(f.heard(), 4))
        gains[sub] << int(uint8_t(bytes[2]));
    QCOMPARE(gains[6], (QList<int>{59, 60}));
    QCOMPARE(gains[7], (QList<int>{56, 57, 58, 59, 60, 59, 58, 57, 56}));
    QCOMPARE(gains[5], QList<int>{30});
    QCOMPARE(EQBytes(f.unitIn(4)).mid(1), EQBytes(f.in(4)).mid(1));
}

void TestInputEQ::copyToAnotherInput() {
    Fixture f;
    QVERIFY(f.goOnline());
    SetEQ(f, 1, 1, {50, 3, 10, 20, 9, 45, 4, 1, 52}, true);
    // HIGH at 125 Hz, outside its range (a damaged record): shown as it is,
    // never written back clamped.
    SetEQ(f, 7, 1, {10, 0, 60, 11, 22, 33, 30, 5, 0}, true);
    for (int ch : {3, 4, 8})
        SetEQ(f, ch, 0, {48, 2, 30, 34, 2, 30, 8, 2, 30}, true);
    const QByteArray untouched = EQBytes(f.in(4));
    int greyed = -1, greyed2 = -1;

    f.inDialog(1, [&](InEQWind& w) {
        f.copyNext(*f.m.dialogs.eqCopyWind1, -1, &greyed);
        QTest::mouseClick(w.EQCopy, Qt::LeftButton);
        QCOMPARE(f.heard(), QList<QByteArray>{});
        f.copyNext(*f.m.dialogs.eqCopyWind1, 3, &greyed);
        QTest::mouseClick(w.EQCopy, Qt::LeftButton);
    });
    QCOMPARE(greyed, 1);
    QCOMPARE(f.heard(), (QList<QByteArray>{QByteArray("CI\x02\x04\x02", 5), QByteArray("IS\x00\x04\x04\x01", 6)}));
    QCOMPARE(EQBytes(f.in(3)), EQBytes(f.in(1)));
    QCOMPARE(EQBytes(f.unitIn(3)), EQBytes(f.in(1)));
    QCOMPARE(f.m.InEQ[3]->picture(), ImageWind::Pic::SwOn);
    QCOMPARE(EQBytes(f.in(4)), untouched);

    // A stereo input, from the BLOCK page's key, marked while open: no
    // middle band, and a copy among the stereo inputs by their positions.
    f.clearHeard();
    QPushButton* key = f.m.InEQButton[7];
    const QColor face = key->palette().color(QPalette::Button);
    f.inDialog(
        7,
        [&](InEQWind& w) {
            QCOMPARE(key->palette().color(QPalette::Button), QColor::fromRgb(VbColor(popup::OpenColor)));
            QCOMPARE(w.LineCH->text(), QLatin1String(ChName[7]));
            QVERIFY(!w.Center->isVisible());
            QCOMPARE(w.FreqText[0]->text(), QStringLiteral("125"));
            f.copyNext(*f.m.dialogs.eqCopyWind2, 2, &greyed2);
            QTest::mouseClick(w.EQCopy, Qt::LeftButton);
        },
        key);
    QCOMPARE(key->palette().color(QPalette::Button), face);
    QCOMPARE(greyed2, 1);
    QCOMPARE(f.heard().first(), QByteArray("CI\x02\x09\x08", 5));
    QCOMPARE(f.in(7).Band[0].EQFreq, 10);
    QCOMPARE(EQBytes(f.in(8)), EQBytes(f.in(7)));
    QCOMPARE(EQBytes(f.unitIn(8)), EQBytes(f.in(7)));
}

void TestInputEQ::frequencyTexts() {
    const QList<QPair<int, QString>> texts{{0, "40"},    {26, "800"}, {28, "1k"},    {30, "1.25k"},
                                           {39, "3.8k"}, {48, "10k"}, {50, "12.5k"}, {53, "18k"}};
    for (const auto& [idx, text] : texts) {
        QCOMPARE(InEQWind::GetFreqStringInt(idx), text);
        QCOMPARE(InEQWind::GetFreqString(uint8_t(idx)), text);
    }
}

// The channel name in the dialog has the face of the other name controls,
// whether the dialog is made before or after the face is chosen.
void TestInputEQ::nameTakesTheNameFace() {
    Fixture f;
    f.app->codePage = CodePage(CodePage::Japanese);
    f.top->FontSetAll();
    QCOMPARE(f.m.inEQWind().LineName->font().family(), QStringLiteral("IPAGothic"));
    f.app->codePage = CodePage(CodePage::Western);
    f.top->FontSetAll();
    QCOMPARE(f.m.inEQWind().LineName->font().family(), EnglishFontFamily());
}

QTEST_MAIN(TestInputEQ)
#include "tst_inputeq.moc"
