// The companion units against the emulator: the link switches that hand a
// mono row over to a unit, with their messages and waits; the marks and
// locks of an absent unit on both windows; the outputs' fader links; and
// the input and output names on the MISC page.

#include "EditorRig.h"
#include "data/VenueFile.h"
#include "startwin/InputWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using Pic = ImageWind::Pic;

const QColor Remote = QColor::fromRgb(VbColor(0x80FFFF));
const QColor Black = QColor::fromRgb(VbColor(0x000000));

struct Fixture : EditorRig {
    MainWind& m = *main;
    // At each tick of the wait timer: how many requests the unit had heard,
    // and whether the matrix page could be used.
    QList<int> heardAtTick;
    QList<bool> panelAtTick;

    Fixture() {
        app->waits.pumpEvents = [this] {
            heardAtTick << heard().size();
            panelAtTick << m.LockPanel[2]->isEnabled();
            app->waits.Tick();
        };
    }

    // Online with every control showing the record; no tick counted yet.
    bool ready() {
        if (!goOnline())
            return false;
        m.DispAllParam();
        clearHeard();
        heardAtTick.clear();
        panelAtTick.clear();
        return true;
    }

    // Source row j's switch in each of the four outputs.
    QList<int> routed(int j) {
        QList<int> on;
        for (const MatrixRec& row : record().Mix)
            on << row.SrcSwitch[j];
        return on;
    }
    QList<int> flags() {
        QList<int> all;
        for (const MatrixRec& row : record().Mix)
            all << row.LinkFlags;
        return all;
    }

    // The "P S" sub 4 bodies heard: the two fader-link masks.
    QList<QList<int>> faderLinksSent() {
        QList<QList<int>> sent;
        for (const QByteArray& b : heard())
            if (b.left(2) == "PS" && b[3] == 4)
                sent << QList<int>{uint8_t(b[4]), uint8_t(b[5])};
        return sent;
    }
};

// Every grid button of source row j shows the REMOTE mark, on the editor
// and on the start window.
bool RowRemote(Fixture& f, int j) {
    for (int k = 0; k < 4; ++k)
        for (PicButton* b : {f.m.LineButton[4 * j + k], f.top->LineButton[4 * j + k]})
            if (b->hasPicture() || b->tint() != Remote || b->toolTip() != QStringLiteral("REMOTE"))
                return false;
    return true;
}

// Every grid button of row j shows its switch as a picture.
bool RowSwitches(Fixture& f, int j) {
    for (int k = 0; k < 4; ++k)
        for (PicButton* b : {f.m.LineButton[4 * j + k], f.top->LineButton[4 * j + k]})
            if (!b->hasPicture() || b->tint().isValid() || b->toolTip() == QStringLiteral("REMOTE"))
                return false;
    return true;
}

QStringList Tags(const MainWind& m) {
    QStringList tags;
    for (const PicButton* b : m.VT20LinkSW)
        tags << b->Tag;
    return tags;
}

} // namespace

class TestCompanion : public QObject {
    Q_OBJECT
private slots:
    void linkReroutesSendsAndWaits();
    void eitherSwitchOfAPairToggles();
    void absentUnitLockedOnBothWindows();
    void faderLinksOneUnitPerOutput();
    void namesOnTheMiscPage();
};

void TestCompanion::linkReroutesSendsAndWaits() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    QCOMPARE(f.flags(), (QList<int>{0x22, 0x22, 0x22, 0x22}));
    f.record().Mix[2].SrcSwitch[10] = 1;
    QVERIFY(RowRemote(f, 10));

    m.VT20LinkSW[0]->click();
    QCOMPARE(f.routed(0), (QList<int>{1, 1, 1, 1}));
    QCOMPARE(f.routed(10), (QList<int>{0, 0, 0, 0}));
    QCOMPARE(f.flags(), (QList<int>{0x23, 0x23, 0x23, 0x23}));
    QVERIFY(RowRemote(f, 0));
    QVERIFY(RowSwitches(f, 10));
    QCOMPARE(m.LineButton[42]->picture(), Pic::SwOff);
    QCOMPARE(Tags(m), (QStringList{"1", "0", "0", "1"}));
    QCOMPARE(m.VT20LinkSW[0]->picture(), Pic::SwOn);

    // The link first, then each output's row.
    const QList<QByteArray> heard = f.heard();
    QCOMPARE(heard.size(), 5);
    QCOMPARE(heard[0], QByteArray("MS\0\1\3\x23", 6));
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(heard[1 + k].left(5), QByteArray("MS\0", 3) + char(k + 1) + char(1));
        QCOMPARE(int(heard[1 + k][5]), 1);
        QCOMPARE(int(heard[1 + k][15]), 0);
    }
    QCOMPARE(f.unitState().rec[0].Mix[3].SrcSwitch[0], 1);
    // 200 ms after the link, 100 ms after each row, the page locked meanwhile.
    QCOMPARE(f.heardAtTick, (QList<int>{1, 1, 2, 3, 4, 5}));
    QCOMPARE(f.panelAtTick, QList<bool>(6, false));
    QVERIFY(m.LockPanel[2]->isEnabled());
}

// The refresh gives the two switches of a pair opposite tags, so either one
// toggles its unit's link; each unit has its own bit and rows.
void TestCompanion::eitherSwitchOfAPairToggles() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    const int through[] = {0, 2, 0, 0};
    for (int i : through) {
        const bool linked = (f.record().Mix[0].LinkFlags & 0x01) == 0;
        m.VT20LinkSW[i]->click();
        QCOMPARE(f.routed(0), QList<int>(4, linked ? 1 : 0));
        QCOMPARE(f.routed(10), QList<int>(4, linked ? 0 : 1));
        QCOMPARE(f.flags(), QList<int>(4, linked ? 0x23 : 0x22));
        QCOMPARE(RowRemote(f, 0), linked);
        QCOMPARE(RowRemote(f, 10), !linked);
    }

    // Unit 2's unlinked switch 3 shows on: it links.
    f.clearHeard();
    m.VT20LinkSW[3]->click();
    QCOMPARE(f.routed(1), QList<int>(4, 1));
    QCOMPARE(f.routed(11), QList<int>(4, 0));
    QCOMPARE(f.flags(), QList<int>(4, 0x32));
    QVERIFY(RowRemote(f, 1));
    QCOMPARE(Tags(m), (QStringList{"0", "1", "1", "0"}));
    QCOMPARE(f.heard().first(), QByteArray("MS\0\1\3\x32", 6));
    m.VT20LinkSW[1]->click();
    QCOMPARE(f.flags(), QList<int>(4, 0x22));
    QCOMPARE(f.routed(11), QList<int>(4, 1));
}

void TestCompanion::absentUnitLockedOnBothWindows() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    f.record().Mix[0].LinkFlags = 0x02;
    m.DispAllParam();

    for (int i = 44; i < 48; ++i) {
        for (PicButton* b : {m.LineButton[i], f.top->LineButton[i]}) {
            QVERIFY(!b->hasPicture());
            QCOMPARE(b->tint(), Black);
            QCOMPARE(b->toolTip(), QString());
            QVERIFY(!b->isEnabled());
        }
    }
    for (int i : {1, 3}) {
        QVERIFY(!m.VT20LinkSW[i]->hasPicture());
        QCOMPARE(m.VT20LinkSW[i]->tint(), Black);
        QVERIFY(!m.VT20LinkSW[i]->isEnabled());
    }
    const QList<QWidget*> locked{m.SKLVT202[0], m.SKLVT202[3], m.SMCheck[5],  m.SMName[5],  m.SupMrName2[1],
                                 m.MixInName[11], m.InLineName[11], m.Label2[11], m.Label2[43], m.Label2[34],
                                 m.Label2[55],    m.Label2[86],     m.Label2[94]};
    for (QWidget* w : locked)
        QVERIFY2(!w->isEnabled(), qPrintable(w->metaObject()->className()));
    // Unit 1 is there.
    for (QWidget* w : QList<QWidget*>{m.SKLVT201[0], m.SMCheck[4], m.SupMrName2[0], m.VT20LinkSW[2],
                                      m.LineButton[40], f.top->LineButton[40], m.Label2[95]})
        QVERIFY(w->isEnabled());
    QVERIFY(RowRemote(f, 10));

    // Back again, the switches show their pictures.
    f.record().Mix[0].LinkFlags = 0x22;
    m.DispAllParam();
    for (QWidget* w : locked)
        QVERIFY(w->isEnabled());
    QVERIFY(m.VT20LinkSW[1]->hasPicture());
    QVERIFY(!m.VT20LinkSW[1]->tint().isValid());
    QVERIFY(RowRemote(f, 11));
    QVERIFY(f.heard().isEmpty());
}

void TestCompanion::faderLinksOneUnitPerOutput() {
    Fixture f;
    QVERIFY(f.ready());
    MainWind& m = f.m;
    BankRec& r = f.record();
    QVERIFY(m.SKLVT201[0]->isChecked() && m.SKLVT202[1]->isChecked());

    // The refresh ticks the boxes from the masks and sends nothing.
    r.VT20Out1Mask = 0x01;
    r.VT20Out2Mask = 0x06;
    m.DispAllParam();
    QVERIFY(m.SKLVT202[2]->isChecked() && !m.SKLVT201[2]->isChecked());
    QVERIFY(f.heard().isEmpty());

    // OUT 3 to unit 1 leaves unit 2; the untick sends the masks as well.
    m.SKLVT201[2]->setChecked(true);
    QVERIFY(!m.SKLVT202[2]->isChecked());
    QCOMPARE(r.VT20Out1Mask, 0x05);
    QCOMPARE(r.VT20Out2Mask, 0x02);
    QCOMPARE(f.faderLinksSent(), (QList<QList<int>>{{5, 2}, {5, 2}}));
    QCOMPARE(f.unitState().rec[0].VT20Out2Mask, 0x02);

    f.clearHeard();
    m.SKLVT202[0]->setChecked(true);
    QCOMPARE(r.VT20Out1Mask, 0x04);
    QCOMPARE(r.VT20Out2Mask, 0x03);
    m.SKLVT202[0]->setChecked(false);
    QCOMPARE(f.faderLinksSent(), (QList<QList<int>>{{4, 3}, {4, 3}, {4, 2}}));
}

// A venue file's names reach the MISC page's labels; a rename on the
// editor follows there at once; the labels take the name face.
void TestCompanion::namesOnTheMiscPage() {
    Fixture f;
    MainWind& m = f.m;
    ParamData made;
    for (BankRec& r : made.BankData) {
        for (int c = 0; c < 12; ++c)
            r.InNameStr[c] = QStringLiteral("In%1").arg(c);
        for (int o = 0; o < 4; ++o)
            r.OutNameStr[o] = QStringLiteral("Out%1").arg(o);
    }
    QFile file(f.venuePath(QStringLiteral("names.vnf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeVenue(made, f.app->codePage));
    file.close();
    f.chosenFile = file.fileName();
    m.Toolbar1_ButtonClick(QStringLiteral("OPEN"));

    QStringList shown;
    for (int c = 0; c < 6; ++c)
        shown << m.SAName[c]->text() << m.SHName[c]->text() << m.SMName[c]->text();
    QCOMPARE(shown.join(' '), QStringLiteral("In0 In0 In6 In1 In1 In7 In2 In2 In8 "
                                             "In3 In3 In9 In4 In4 In10 In5 In5 In11"));
    QCOMPARE(m.SupMrName2[0]->text() + m.SupMrName2[1]->text(), QStringLiteral("In10In11"));
    QCOMPARE(m.SupOutName2[0]->text() + m.SupOutName2[3]->text(), QStringLiteral("Out0Out3"));

    const auto typeName = [](const QString& name) {
        EditorRig::whenModal([name](QWidget* w) {
            auto* input = qobject_cast<InputWind*>(w);
            QVERIFY(input);
            input->Text1->setText(name);
            input->Command1->click();
        });
    };
    // The unit's port caption renames it.
    typeName(QStringLiteral("Lobby"));
    QTest::mouseClick(m.Label2[11], Qt::LeftButton);
    QCOMPARE(f.record().InNameStr[11], QStringLiteral("Lobby"));
    QCOMPARE(m.SMName[5]->text(), QStringLiteral("Lobby"));
    QCOMPARE(m.SupMrName2[1]->text(), QStringLiteral("Lobby"));
    typeName(QStringLiteral("Choir"));
    m.InLineName_Click(3);
    QCOMPARE(m.SAName[3]->text() + m.SHName[3]->text(), QStringLiteral("ChoirChoir"));
    typeName(QStringLiteral("Foyer"));
    m.OutLineName_Click(2);
    QCOMPARE(m.SupOutName2[2]->text(), QStringLiteral("Foyer"));

    f.top->FontSetAll();
    for (QWidget* w : QList<QWidget*>{m.SAName[0], m.SMName[5], m.SHName[2], m.SupMrName2[1], m.SupOutName2[3]})
        QCOMPARE(w->font().family(), EnglishFontFamily());
}

QTEST_MAIN(TestCompanion)
#include "tst_companion.moc"
