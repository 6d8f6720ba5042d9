// The MISC and GPI pages against the emulator: the mute groups and feedback
// suppressors, the external inputs' memories with the remote-unit mode, the
// external outputs, and records whose bytes lie outside their ranges.

#include "EditorRig.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

using Pic = ImageWind::Pic;

struct Fixture : EditorRig {
    MainWind& m = *main;

    BankRec& rec(int bank) { return app->data.BankData[bank]; }
    BankRec& cur() { return rec(app->data.CurBank); }
};

QByteArray Body(std::initializer_list<int> bytes) {
    QByteArray b;
    for (int v : bytes)
        b.append(char(v));
    return b;
}

// SystemSet sub 5: the mode, a chosen-or-not flag per input, the memories.
QByteArray ExInputs(int mode, const std::array<int, 8>& mem) {
    QByteArray b = Body({'P', 'S', 0, 5, mode});
    for (int n : mem)
        b.append(char(n != 0 ? 1 : 0));
    for (int n : mem)
        b.append(char(n));
    return b;
}

} // namespace

class TestMiscGpi : public QObject {
    Q_OBJECT
private slots:
    void muteGroupsAndSuppressors();
    void externalInputsAndOutputs();
    void storedNameShowsOnInputs();
    void outOfRangeBytes();
};

void TestMiscGpi::muteGroupsAndSuppressors() {
    Fixture f;
    MainWind& m = f.m;
    QVERIFY(f.goOnline());
    BankRec& r = f.cur();
    r.SAMask = 0x21;
    r.SMMask = 0x12;
    r.SAAtt = 30;
    r.SATime = 3;
    r.SMTime = 4;
    r.In[3].HSOn = 1;
    r.Out[1].Mono = 1;

    // The refresh sets every box from the record and sends nothing.
    m.DispAllParam();
    QVERIFY(f.heard().isEmpty());
    QCOMPARE(m.SACheck[0]->isChecked(), true);
    QCOMPARE(m.SACheck[1]->isChecked(), false);
    QCOMPARE(m.SACheck[5]->isChecked(), true);
    QCOMPARE(m.inMute[5]->picture(), Pic::SwOn);
    QCOMPARE(m.inMute[5]->toolTip(), QStringLiteral("Enable"));
    QCOMPARE(m.inMute[1]->picture(), Pic::SwOff);
    QCOMPARE(m.SMCheck[1]->isChecked(), true);
    QCOMPARE(m.SMCheck[4]->isChecked(), true);
    QCOMPARE(m.inMMute[1]->picture(), Pic::SwOn);
    QCOMPARE(m.SAMuteUpDown[0]->value(), -6);
    QCOMPARE(m.SAMuteUpDown[1]->value(), 3);
    QCOMPARE(m.SAMuteLabel[1]->text(), QStringLiteral("1.5"));
    QCOMPARE(m.SMMuteUpDown->value(), 4);
    QCOMPARE(m.SMMuteLabel->text(), QStringLiteral("2.0"));
    QCOMPARE(m.OutMonoSW[0]->text(), QStringLiteral("STEREO"));
    QCOMPARE(m.OutMonoSW[1]->text(), QStringLiteral("MONO"));
    QCOMPARE(m.OutMonoSW[1]->Tag, QStringLiteral("1"));
    QCOMPARE(m.OutMonoSW[1]->picture(), Pic::SwOn);

    // The masks are rebuilt from the boxes, not toggled in the record.
    r.SAMask = 0;
    m.SACheck[2]->setChecked(true);
    QCOMPARE(r.SAMask, 0x25);
    QCOMPARE(m.inMute[2]->picture(), Pic::SwOn);
    m.SAMuteUpDown[0]->setValue(-69);
    QCOMPARE(r.SAAtt, 93);
    m.SAMuteUpDown[0]->setValue(0);
    QCOMPARE(r.SAAtt, 24);
    QCOMPARE(m.SAMuteLabel[0]->text(), QStringLiteral("0.0"));
    m.SAMuteUpDown[1]->setValue(12);
    QCOMPARE(m.SAMuteLabel[1]->text(), QStringLiteral("6.0"));
    m.SMCheck[1]->setChecked(false);
    m.SMCheck[5]->setChecked(true);
    QCOMPARE(r.SMMask, 0x30);
    QCOMPARE(m.inMMute[1]->picture(), Pic::SwOff);
    m.SMMuteUpDown->setValue(1);
    QCOMPARE(m.SMMuteLabel->text(), QStringLiteral("0.5"));
    m.SHawling[3]->setChecked(false);
    QCOMPARE(r.In[3].HSOn, 0);
    QCOMPARE(m.InHS1[3]->picture(), Pic::SwOff);

    QCOMPARE(f.heard(), (QList<QByteArray>{
                            Body({'P', 'S', 0, 2, 0x25, 30, 3}), Body({'P', 'S', 0, 2, 0x25, 93, 3}),
                            Body({'P', 'S', 0, 2, 0x25, 24, 3}), Body({'P', 'S', 0, 2, 0x25, 24, 12}),
                            Body({'P', 'S', 0, 3, 0x10, 4}), Body({'P', 'S', 0, 3, 0x30, 4}),
                            Body({'P', 'S', 0, 3, 0x30, 1}), Body({'I', 'S', 0, 4, 3, 0})}));
}

void TestMiscGpi::externalInputsAndOutputs() {
    Fixture f;
    MainWind& m = f.m;
    QVERIFY(f.goOnline());
    f.rec(5).MemNameStr = QStringLiteral("HALL");
    for (BankRec& r : f.app->data.BankData)
        r.LinkMemNo[2] = 7;
    m.DispAllParam();
    QCOMPARE(m.ExInput[2]->text(), QStringLiteral("07:") + f.rec(7).MemNameStr);

    // The list opens on the stored memory; a choice goes to every record.
    m.ExInput_Click(2);
    QVERIFY(!m.ExInputList->isHidden());
    QCOMPARE(m.ExInputList->currentRow(), 7);
    QCOMPARE(m.ExInputList->item(5)->text(), QStringLiteral("05:HALL"));
    m.ExInputList->setCurrentRow(5);
    m.ExInputList_Click();
    QVERIFY(m.ExInputList->isHidden());
    QCOMPARE(m.ExInput[2]->text(), QStringLiteral("05:HALL"));
    for (const BankRec& r : f.app->data.BankData)
        QCOMPARE(r.LinkMemNo[2], 5);
    // The same choice again only closes the list; a second click closes it too.
    m.ExInput_Click(2);
    m.ExInputList_Click();
    m.ExInput_Click(4);
    m.ExInput_Click(2);
    QVERIFY(m.ExInputList->isHidden());
    m.ExInput_Click(2);
    m.ExInputList->setCurrentRow(0);
    m.ExInputList_Click();
    QCOMPARE(m.ExInput[2]->text(), QStringLiteral("None"));

    // The remote-unit mode locks the memory choice and stays in the current record.
    m.RC24Button->click();
    QCOMPARE(f.cur().RC24Mode, 1);
    QCOMPARE(f.rec(3).RC24Mode, 0);
    QTest::mouseClick(m.ExInput[1], Qt::LeftButton);
    QVERIFY(m.ExInputList->isHidden());
    m.RC24Button->click();
    QVERIFY(m.ExInput[1]->isEnabled());
    QTest::mouseClick(m.ExInput[1], Qt::LeftButton);
    QVERIFY(!m.ExInputList->isHidden());
    // Leaving the chooser closes it.
    QFocusEvent away(QEvent::FocusOut);
    QCoreApplication::sendEvent(m.ExInputList, &away);
    QVERIFY(m.ExInputList->isHidden());

    // Outputs: a set bit is OFF; a click switches the current record's only.
    for (BankRec& r : f.app->data.BankData)
        r.ExtOutMask = 0xFE;
    m.DispAllParam();
    QCOMPARE(m.ExOutButton[0]->picture(), Pic::SwOn);
    QCOMPARE(m.ExOutButton[0]->toolTip(), QStringLiteral("ON"));
    QCOMPARE(m.ExOutButton[7]->toolTip(), QStringLiteral("OFF"));
    m.ExOutButton[0]->click();
    QCOMPARE(f.cur().ExtOutMask, 0xFF);
    QCOMPARE(f.rec(3).ExtOutMask, 0xFE);
    QCOMPARE(m.ExOutButton[0]->picture(), Pic::SwOff);
    QCOMPARE(m.ExOutButton[0]->toolTip(), QStringLiteral("OFF"));
    m.ExOutButton[0]->click();
    QCOMPARE(m.ExOutButton[0]->toolTip(), QStringLiteral("ON"));

    QCOMPARE(f.heard(), (QList<QByteArray>{ExInputs(0, {0, 0, 5, 0, 0, 0, 0, 0}), ExInputs(0, {}),
                                           ExInputs(1, {}), ExInputs(0, {}), Body({'R', 'S', 0, 0, 1, 255}),
                                           Body({'R', 'S', 0, 0, 1, 254})}));

    // Memory names show in the face of the code page, like every name.
    f.app->codePage = CodePage(CodePage::Japanese);
    f.top->FontSetAll();
    QCOMPARE(m.ExInput[3]->font().family(), QStringLiteral("IPAGothic"));
    QCOMPARE(m.ExInputList->font().family(), QStringLiteral("IPAGothic"));
}

// A memory stored under a new name shows it on the inputs that recall it
// at once, not at the next refresh.
void TestMiscGpi::storedNameShowsOnInputs() {
    Fixture f;
    MainWind& m = f.m;
    m.show();
    for (BankRec& r : f.app->data.BankData) {
        r.LinkMemNo[0] = r.LinkMemNo[2] = 3;
        r.LinkMemNo[3] = 4;
    }
    m.DispAllParam();
    QCOMPARE(m.ExInput[0]->text(), QStringLiteral("03:"));

    m.PatternRadio[2]->setChecked(true);
    m.PatternName->setText(QStringLiteral("Choir"));
    f.answers << MsgResult::Ok;
    m.PSaveButton_Click();
    QCOMPARE(m.ExInput[0]->text(), QStringLiteral("03:Choir"));
    QCOMPARE(m.ExInput[2]->text(), QStringLiteral("03:Choir"));
    QCOMPARE(m.ExInput[3]->text(), QStringLiteral("04:"));
    QCOMPARE(m.ExInput[1]->text(), QStringLiteral("None"));
}

// A hand-made venue file with every mask bit set and memory numbers past
// the sixteenth, and a record holding such a byte as the unit may send it:
// both show within the pages' ranges.
void TestMiscGpi::outOfRangeBytes() {
    Fixture f;
    MainWind& m = f.m;
    ParamData made;
    for (BankRec& r : made.BankData) {
        std::fill(std::begin(r.LinkMemNo), std::end(r.LinkMemNo), 0xFF);
        r.SAMask = r.SMMask = r.ExtOutMask = 0xFF;
        r.SAAtt = r.SATime = r.SMTime = r.RC24Mode = 0xFF;
    }
    const QString path = f.venuePath(QStringLiteral("made.vnf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeVenue(made, f.app->codePage));
    file.close();
    QVERIFY(LoadVenueFile(f.app->data, f.app->codePage, path, false));
    m.DispAllParam();
    QCOMPARE(m.SAMuteUpDown[0]->value(), -69);
    QCOMPARE(m.SMMuteUpDown->value(), 12);
    QVERIFY(m.SMCheck[5]->isChecked());
    QVERIFY(!m.ExInput[0]->isEnabled());

    BankRec& r = f.cur();
    r.RC24Mode = 9;
    r.LinkMemNo[0] = 200;
    r.LinkMemNo[1] = 17;
    r.LinkMemNo[2] = 16;
    f.rec(16).MemNameStr = QStringLiteral("LAST");
    r.SAAtt = 250;
    // The up-down away from its top, so that the refresh moves it.
    m.SMMuteUpDown->setValue(3);
    r.SMTime = 40;
    m.DispAllParam();
    QCOMPARE(r.RC24Mode, 1);
    QCOMPARE(m.ExInput[0]->text(), QStringLiteral("None"));
    QCOMPARE(m.ExInput[1]->text(), QStringLiteral("None"));
    QCOMPARE(m.ExInput[2]->text(), QStringLiteral("16:LAST"));
    QCOMPARE(m.SAMuteUpDown[0]->value(), -69);
    QCOMPARE(r.SMTime, 40);
    m.RC24Button->click();
    m.ExInput_Click(0);
    QCOMPARE(m.ExInputList->currentRow(), 0);
}

QTEST_MAIN(TestMiscGpi)
#include "tst_miscgpi.moc"
