// The companion units against the emulator: the link switches with their
// re-routing, messages and waits; an absent unit's locks on both windows;
// the outputs' fader links; the input and output names on the MISC page.

#include "EditorRig.h"
#include "data/VenueFile.h"
#include "startwin/InputWind.h" // EnglishFontFamily
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

struct Fixture : EditorRig {
    MainWind& m = *main;
    // At each tick of the wait timer: the requests heard so far, and
    // whether the matrix page could be used.
    QList<int> heardAtTick;
    QList<bool> panelAtTick;

    Fixture() {
        app->waits.pumpEvents = [this] {
            heardAtTick << heard().size();
            panelAtTick << m.LockPanel[2]->isEnabled();
            app->waits.Tick();
        };
    }
    bool ready() {
        const bool online = goOnline();
        m.DispAllParam();
        clearHeard();
        heardAtTick.clear();
        panelAtTick.clear();
        return online;
    }
    // Byte at of each output's matrix row, as the record lays it out.
    QList<int> rows(int at) {
        QList<int> bytes;
        for (const MatrixRec& row : record().Mix)
            bytes << reinterpret_cast<const uint8_t*>(&row)[at];
        return bytes;
    }
    // Every grid button of source row j, on both windows, shows the mark
    // of a row a unit holds.
    bool remote(int j) {
        for (int i = 4 * j; i < 4 * j + 4; ++i)
            for (PicButton* b : {m.LineButton[i], top->LineButton[i]})
                if (b->hasPicture() || b->tint() != QColor::fromRgb(VbColor(0x80FFFF)) ||
                    b->toolTip() != QStringLiteral("REMOTE"))
                    return false;
        return true;
    }
};

constexpr int Flags = 19; // LinkFlags within a matrix row

} // namespace

class TestCompanion : public QObject {
    Q_OBJECT
private slots:
    void linkSwitches();
    void absentUnitLocked();
    void faderLinks();
    void namesOnTheMiscPage();
};

void TestCompanion::linkSwitches() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    QVERIFY(f.remote(10));
    f.m.VT20LinkSW[0]->click();
    QCOMPARE(f.rows(0), QList<int>(4, 1));
    QCOMPARE(f.rows(10), QList<int>(4, 0));
    QCOMPARE(f.rows(Flags), QList<int>(4, 0x23));
    QVERIFY(f.remote(0) && !f.remote(10));
    QCOMPARE(m.LineButton[42]->toolTip(), QStringLiteral("OFF"));
    // The link, then each output's row; 200 ms after the link and 100 ms
    // after each row, with the page locked meanwhile.
    const QList<QByteArray> heard = f.heard();
    QCOMPARE(heard.size(), 5);
    QCOMPARE(heard[0], QByteArray("MS\0\1\3\x23", 6));
    for (int k = 0; k < 4; ++k)
        QCOMPARE(heard[1 + k].left(6), QByteArray("MS\0", 3) + char(k + 1) + char(1) + char(1));
    QCOMPARE(f.unitState().rec[0].Mix[3].SrcSwitch[0], 1);
    QCOMPARE(f.heardAtTick, (QList<int>{1, 1, 2, 3, 4, 5}));
    QCOMPARE(f.panelAtTick, QList<bool>(6, false));
    QVERIFY(m.LockPanel[2]->isEnabled());

    // Either switch of a pair toggles its unit: the one showing on stands
    // for its partner.
    for (int i : {2, 0, 0}) {
        const bool link = f.rows(Flags)[0] == 0x22;
        m.VT20LinkSW[i]->click();
        QCOMPARE(f.rows(10), QList<int>(4, link ? 0 : 1));
        QCOMPARE(f.rows(Flags), QList<int>(4, link ? 0x23 : 0x22));
        QCOMPARE(f.remote(0), link);
    }
    m.VT20LinkSW[3]->click();
    QCOMPARE(f.rows(1), QList<int>(4, 1));
    QCOMPARE(f.rows(Flags), QList<int>(4, 0x32));
    QVERIFY(f.remote(1) && f.remote(10));
    QCOMPARE(m.VT20LinkSW[1]->Tag + m.VT20LinkSW[3]->Tag, QStringLiteral("10"));
}

void TestCompanion::absentUnitLocked() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    f.record().Mix[0].LinkFlags = 0x02;
    m.DispAllParam();
    QList<PicButton*> blank{m.VT20LinkSW[1], m.VT20LinkSW[3]};
    for (int i = 44; i < 48; ++i)
        blank << m.LineButton[i] << f.top->LineButton[i];
    const QList<QWidget*> locked{m.SKLVT202[0],    m.SKLVT202[3], m.SMCheck[5], m.SMName[5],  m.SupMrName2[1],
                                 m.InLineName[11], m.Label2[11],  m.Label2[43], m.Label2[55], m.Label2[94],
                                 f.top->Label2[11], f.top->NameText[11]};
    for (PicButton* b : blank)
        QVERIFY(!b->hasPicture() && b->tint() == Qt::black && b->toolTip().isEmpty() && !b->isEnabled());
    for (QWidget* w : locked)
        QVERIFY(!w->isEnabled());
    QVERIFY(m.SKLVT201[0]->isEnabled() && m.SMName[4]->isEnabled() && f.top->LineButton[40]->isEnabled());

    f.record().Mix[0].LinkFlags = 0x22;
    m.DispAllParam();
    for (QWidget* w : locked)
        QVERIFY(w->isEnabled());
    QVERIFY(m.VT20LinkSW[1]->hasPicture() && !m.VT20LinkSW[1]->tint().isValid() && f.remote(11));
}

void TestCompanion::faderLinks() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    BankRec& r = f.record();
    // The refresh ticks the boxes from the masks and sends nothing.
    r.VT20Out1Mask = 0x09;
    r.VT20Out2Mask = 0x06;
    m.DispAllParam();
    QVERIFY(m.SKLVT201[3]->isChecked() && m.SKLVT202[2]->isChecked() && !m.SKLVT201[2]->isChecked());
    QVERIFY(f.heard().isEmpty());

    // OUT 3 to unit 1 leaves unit 2; the untick sends the masks too.
    m.SKLVT201[2]->setChecked(true);
    QVERIFY(!m.SKLVT202[2]->isChecked());
    QCOMPARE(r.VT20Out1Mask * 16 + r.VT20Out2Mask, 0xD2);
    QCOMPARE(f.heard(), QList<QByteArray>(2, QByteArray("PS\0\4\x0D\2", 6)));
    QCOMPARE(f.unitState().rec[0].VT20Out2Mask, 0x02);
}

// A venue file's names reach the MISC page's labels, which take the name
// face.
void TestCompanion::namesOnTheMiscPage() {
    Fixture f;
    MainWind& m = f.m;
    ParamData made;
    for (BankRec& r : made.BankData) {
        for (int c = 0; c < 12; ++c)
            r.InNameStr[c] = QStringLiteral("In%1").arg(c);
        r.OutNameStr[3] = QStringLiteral("Out3");
    }
    QFile file(f.venuePath(QStringLiteral("names.vnf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeVenue(made, f.app->codePage));
    file.close();
    f.chosenFile = file.fileName();
    m.Toolbar1_ButtonClick(QStringLiteral("OPEN"));
    const QList<QLabel*> labels{m.SAName[0], m.SHName[5], m.SMName[0],     m.SMName[5],
                                m.SupMrName2[0], m.SupMrName2[1], m.SupOutName2[3]};
    QStringList shown;
    for (QLabel* l : labels)
        shown << l->text();
    QCOMPARE(shown.join(' '), QStringLiteral("In0 In5 In6 In11 In10 In11 Out3"));

    f.top->FontSetAll();
    for (QLabel* l : labels)
        QCOMPARE(l->font().family(), EnglishFontFamily());
}

QTEST_MAIN(TestCompanion)
#include "tst_companion.moc"
