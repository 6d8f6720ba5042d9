// The OUTPUT EQ page's controls against the emulator: output and A/B choice,
// the link question, EQ on/off, speaker presets from files the test writes,
// copies, the jumps to the page and the page after a recall.

#include "EditorRig.h"
#include "ModalRig.h"
#include "editor/EQCopyWind.h"
#include "startwin/InputWind.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <cstring>

namespace {

using Pic = ImageWind::Pic;

// A block's switch and 24 band bytes as they lie in the record.
QByteArray EQBytes(const OutRec& o) { return QByteArray(reinterpret_cast<const char*>(&o.EQEnable), 25); }

// The bands of the speaker file "Hall" (type, frequency, Q, gain each), in
// the record's order: gains, frequencies, Qs, types.
const uint8_t Hall[6][4] = {{0, 10, 4, 40}, {3, 5, 8, 35}, {4, 40, 12, 25}, {0, 20, 3, 31}, {0, 30, 5, 44}, {3, 50, 20, 10}};
QByteArray HallBands() {
    QByteArray b;
    for (int field : {3, 1, 2, 0})
        for (const auto& band : Hall)
            b += char(band[field]);
    return b;
}
QByteArray HallFile() {
    QByteArray text;
    for (const auto& band : Hall)
        text += QByteArray::number(band[0]) + ',' + QByteArray::number(band[1]) + ',' + QByteArray::number(band[2]) +
                ',' + QByteArray::number(band[3]) + "\r\n";
    return text;
}
QByteArray Bands(const OutRec& o) { return EQBytes(o).mid(1); }

struct Fixture : EditorRig {
    MainWind& m = *main;

    Fixture() { app->waits.pumpEvents = [this] { app->waits.Tick(); }; }

    OutRec& out(int o) { return record().Out[o]; }
    OutRec& unitOut(int o) { return unitState().rec[0].Out[o]; }
    // The unit's block o as the PC has it, as after a read-back.
    void sameOnUnit(int o) { std::memcpy(&unitOut(o).EQEnable, &out(o).EQEnable, 25); }
    QStringList tags() const { return {m.OEQAB[0]->Tag, m.OEQAB[1]->Tag, m.OEQAB[2]->Tag}; }

    // The requests heard, with blocks counted from 1: "CO 3<-1" a copy into
    // block 3 from 1, "OS 3/2=1" block 3's EQ switched on; the log emptied.
    QStringList kinds() {
        QStringList l;
        for (const QByteArray& b : heard()) {
            if (b.startsWith("CO"))
                l << QStringLiteral("CO %1<-%2").arg(int(b[3])).arg(int(b[4]));
            else if (b.startsWith("OS") && b[4] == 2)
                l << QStringLiteral("OS %1/2=%2").arg(int(b[3])).arg(int(b[5]));
            else
                l << QString::fromLatin1(b.left(2));
        }
        clearHeard();
        return l;
    }

    void writeSpeaker(const QString& file, const QByteArray& text) {
        QDir(dir.path()).mkpath(QStringLiteral("spkr"));
        QFile f(dir.filePath(QStringLiteral("spkr/") + file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    void pickSpeaker(const QString& name) {
        m.SpkPickup_Click();
        QVERIFY(m.OutEQList->isVisible());
        const QList<QListWidgetItem*> found = m.OutEQList->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        m.OutEQList->setCurrentItem(found[0]);
        m.OutEQList_Click();
        QVERIFY(!m.OutEQList->isVisible());
    }

    // The COPY key answered in dialog d with position pick (-1 CANCEL); the
    // position shown greyed as the source.
    int copyTo(EQCopyWind& d, int pick) {
        int greyed = -1;
        const auto answer = [&] {
            for (int i = 0; i < d.Option1.size(); ++i)
                if (!d.Option1[i]->isEnabled())
                    greyed = i;
            if (pick >= 0)
                QTest::mouseClick(d.Option1[pick], Qt::LeftButton);
            (pick >= 0 ? d.OKButton : d.CancelButton)->click();
        };
        Modal(d, answer, [&] { m.OEQCopy_Click(); });
        return greyed;
    }
};

} // namespace

class TestEQPage : public QObject {
    Q_OBJECT
private slots:
    void channelChoice();
    void linkQuestion();
    void eqOnOff();
    void speakerPresets();
    void copyToOutputs();
    void jumpsToPage();
    void recallShowsOut1Afresh();
};

void TestEQPage::channelChoice() {
    Fixture f;
    QVERIFY(f.goOnline());
    for (int k = 0; k < 4; ++k)
        f.record().OutNameStr[k] = QStringLiteral("Zone %1").arg(k + 1);
    // OUT 1's blocks alike; OUT 2's differ in the switch alone.
    f.out(2).EQEnable = 1;
    f.m.MainTab->setCurrentIndex(MainWind::PageOutputEQ);

    f.m.OEQChannel->setCurrentIndex(0);
    QCOMPARE(f.tags(), (QStringList{"1", "0", "0"}));
    QCOMPARE(f.m.OEQName->text(), QStringLiteral("Zone 1"));
    f.m.OEQChannel->setCurrentIndex(1);
    QCOMPARE(f.tags(), (QStringList{"0", "1", "0"}));
    QCOMPARE(f.m.OutEQCh, 2);
    // OUT 3 has one block: no A/B choice.
    f.m.OEQChannel->setCurrentIndex(2);
    QVERIFY(!f.m.OEQABPanel->isVisible());
    QCOMPARE(f.m.OEQName->text(), QStringLiteral("Zone 3"));
    QCOMPARE(f.m.OutEQCh, 4);
    // OUT 1 again, its B block's last band changed: A, not linked.
    f.out(1).EQType[5] = 2;
    f.m.OEQChannel->setCurrentIndex(0);
    QCOMPARE(f.tags(), (QStringList{"0", "1", "0"}));
    QVERIFY(f.m.OEQABPanel->isVisible());

    // Renaming the output shown renames the page's caption; another does not.
    InputWind& w = *f.top->InputWindObj;
    for (const auto& [k, name] : {std::pair{0, "Stage"}, std::pair{1, "Bar"}})
        Modal(
            w,
            [&] {
                w.Text1->setText(QLatin1String(name));
                w.Command1->click();
            },
            [&] { f.m.OutLineName_Click(k); });
    QCOMPARE(f.m.OEQName->text(), QStringLiteral("Stage"));
}

void TestEQPage::linkQuestion() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.out(1).EQGain[2] = 44;
    f.out(1).EQEnable = 1;
    f.sameOnUnit(1);
    f.m.OEQChannel->setCurrentIndex(0);
    f.m.OEQAB_Click(2);
    QCOMPARE(f.m.OutEQCh, 1);
    const QByteArray a = EQBytes(f.out(0));
    const QByteArray b = EQBytes(f.out(1));

    // B shown: the link asks to copy B to A; Cancel leaves everything.
    f.answers << MsgResult::Cancel;
    f.m.OEQAB_Click(0);
    QCOMPARE(f.asked.size(), 1);
    const MsgBox& q = f.asked[0];
    QCOMPARE(q.text, QStringLiteral("Copy B to A?"));
    QCOMPARE(q.title, QStringLiteral("Confirmation"));
    QCOMPARE(q.buttons, MsgButtons::OkCancel);
    QCOMPARE(q.icon, MsgIcon::Question);
    QCOMPARE(q.defaultButton, MsgResult::Cancel);
    QCOMPARE(f.tags(), (QStringList{"0", "0", "1"}));
    QCOMPARE(EQBytes(f.out(0)), a);
    QVERIFY(f.heard().isEmpty());

    // OK: the unit copies B into A, A's switch follows; A shown, linked.
    f.answers << MsgResult::Ok;
    f.m.OEQAB_Click(0);
    QCOMPARE(f.kinds(), (QStringList{"CO 1<-2", "OS 1/2=1"}));
    QCOMPARE(EQBytes(f.out(0)), b);
    QCOMPARE(EQBytes(f.unitOut(0)), b);
    QCOMPARE(f.tags(), (QStringList{"1", "0", "0"}));
    QCOMPARE(f.m.OutEQCh, 0);
    // Already linked: not asked again.
    f.m.OEQAB_Click(0);
    QCOMPARE(f.asked.size(), 2);

    // OUT 2 with A shown: A to B.
    f.out(2).EQFreq[0] = 7;
    f.sameOnUnit(2);
    f.m.OEQChannel->setCurrentIndex(1);
    f.answers << MsgResult::Ok;
    f.m.OEQAB_Click(0);
    QCOMPARE(f.asked.last().text, QStringLiteral("Copy A to B?"));
    QCOMPARE(f.kinds(), (QStringList{"CO 4<-3", "OS 4/2=0"}));
    QCOMPARE(EQBytes(f.unitOut(3)), EQBytes(f.out(2)));
}

void TestEQPage::eqOnOff() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.out(0).EQEnable = f.out(1).EQEnable = 1;
    f.m.OEQChannel->setCurrentIndex(0);
    f.m.DispOutput();

    // Linked: both blocks of the pair.
    f.m.OEQOnOff_Click(1);
    QCOMPARE(f.kinds(), (QStringList{"OS 1/2=0", "OS 2/2=0"}));
    QCOMPARE(f.unitOut(1).EQEnable, 0);
    QCOMPARE(f.m.OEQOnOff[1]->picture(), Pic::SwOn);
    QCOMPARE(f.m.OutEQ1[0]->picture(), Pic::SwOff);

    // B alone: block 1 only, and the strip's key lights for either block.
    f.m.OEQAB_Click(2);
    f.m.OEQOnOff_Click(0);
    QCOMPARE(f.kinds(), (QStringList{"OS 2/2=1"}));
    QCOMPARE(f.out(0).EQEnable, 0);
    QCOMPARE(f.m.OutEQ1[0]->picture(), Pic::SwOn);
}

void TestEQPage::speakerPresets() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.writeSpeaker(QStringLiteral("Hall.spp"), HallFile());
    f.writeSpeaker(QStringLiteral("Broken.spp"), "0,10,4\r\n");
    // Listed by the part before the first dot cut to a name's 20 bytes,
    // loaded from its own file.
    f.writeSpeaker(QStringLiteral("ColumnArrayTwelveInchPair.v2.spp"), HallFile());
    f.writeSpeaker(QStringLiteral("notes.txt"), HallFile());
    f.top->SpeakerListMake();
    QStringList listed;
    for (int i = 0; i < f.m.OutEQList->count(); ++i)
        listed << f.m.OutEQList->item(i)->text();
    listed.sort();
    QCOMPARE(listed, (QStringList{"Broken", "ColumnArrayTwelveInc", "Hall"}));
    QCOMPARE(f.m.OutEQList->currentRow(), 0);
    QVERIFY(f.heard().isEmpty());
    f.m.MainTab->setCurrentIndex(MainWind::PageOutputEQ);

    // OUT 2 linked: both blocks loaded, the name kept for the output.
    f.m.OEQChannel->setCurrentIndex(1);
    QCOMPARE(f.tags(), (QStringList{"1", "0", "0"}));
    f.pickSpeaker(QStringLiteral("Hall"));
    QCOMPARE(Bands(f.out(2)), HallBands());
    QCOMPARE(Bands(f.unitOut(2)), HallBands());
    QCOMPARE(Bands(f.unitOut(3)), HallBands());
    for (const BankRec& r : f.app->data.BankData)
        QCOMPARE(r.SpkNameStr[1], QStringLiteral("Hall"));
    QVERIFY(f.unitState().nameField(6, 2).startsWith(QByteArray("Hall\0", 5)));
    QVERIFY(f.m.LockPanel[4]->isEnabled());

    // OUT 1 with A alone: block 0 only.
    f.out(1).EQGain[0] = 12;
    f.m.OEQChannel->setCurrentIndex(0);
    QCOMPARE(f.tags(), (QStringList{"0", "1", "0"}));
    const QByteArray b = EQBytes(f.unitOut(1));
    f.pickSpeaker(QStringLiteral("ColumnArrayTwelveInc"));
    QCOMPARE(Bands(f.unitOut(0)), HallBands());
    QCOMPARE(EQBytes(f.unitOut(1)), b);
    QCOMPARE(f.record().SpkNameStr[0], QStringLiteral("ColumnArrayTwelveInc"));
    QVERIFY(f.asked.isEmpty());

    // A file that cannot be read is reported; the page takes input again.
    const QByteArray before = EQBytes(f.unitOut(4));
    f.m.OEQChannel->setCurrentIndex(2);
    f.pickSpeaker(QStringLiteral("Broken"));
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.asked[0].title, QStringLiteral("File error"));
    QVERIFY(f.m.LockPanel[4]->isEnabled());
    QCOMPARE(EQBytes(f.unitOut(4)), before);
}

void TestEQPage::copyToOutputs() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.out(0).EQEnable = f.out(1).EQEnable = 1;
    f.out(0).EQGain[1] = f.out(1).EQGain[1] = 50;
    f.sameOnUnit(0);
    f.sameOnUnit(1);
    f.m.OEQChannel->setCurrentIndex(0);

    // Linked OUT 1 offers the four outputs: OUT 2 takes both blocks and its
    // key lights; OUT 4 is block 5; Cancel copies nothing.
    EQCopyWind2& four = *f.m.dialogs.eqCopyWind2;
    QCOMPARE(f.copyTo(four, 1), 0);
    QCOMPARE(f.kinds(), (QStringList{"CO 3<-1", "OS 3/2=1", "CO 4<-1", "OS 4/2=1"}));
    QCOMPARE(EQBytes(f.unitOut(3)), EQBytes(f.out(0)));
    QCOMPARE(f.m.OutEQ1[2]->picture(), Pic::SwOn);
    f.copyTo(four, 3);
    QCOMPARE(f.kinds(), (QStringList{"CO 6<-1", "OS 6/2=1"}));
    f.copyTo(four, -1);
    QVERIFY(f.heard().isEmpty());

    // B of OUT 1 alone offers the six blocks.
    f.m.OEQAB_Click(2);
    QCOMPARE(f.copyTo(*f.m.dialogs.eqCopyWind1, 4), 1);
    QCOMPARE(f.kinds(), (QStringList{"CO 5<-2", "OS 5/2=1"}));
    QCOMPARE(EQBytes(f.unitOut(4)), EQBytes(f.out(1)));
    QCOMPARE(f.m.OutEQ1[4]->picture(), Pic::SwOn);
}

void TestEQPage::jumpsToPage() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.record().OutNameStr[2] = QStringLiteral("Zone 3");
    f.out(4).EQEnable = 1;

    // The OUTPUT page's E Q key of OUT 3.
    f.m.MainTab->setCurrentIndex(MainWind::PageOutput);
    QTest::mouseClick(f.m.OutEQ1[4], Qt::LeftButton);
    QCOMPARE(f.m.MainTab->currentIndex(), int(MainWind::PageOutputEQ));
    QCOMPARE(f.m.OEQChannel->currentIndex(), 2);
    QCOMPARE(f.m.OutEQCh, 4);
    QCOMPARE(f.m.OEQName->text(), QStringLiteral("Zone 3"));
    QCOMPARE(f.m.OEQOnOff[0]->picture(), Pic::SwOn);
    QCOMPARE(f.app->DispBusy, 0);

    // The BLOCK page's EQ+FILTER key of OUT 2.
    f.m.MainTab->setCurrentIndex(MainWind::PageBlock);
    f.m.OutEQButton[2]->click();
    QCOMPARE(f.m.MainTab->currentIndex(), int(MainWind::PageOutputEQ));
    QCOMPARE(f.m.OEQChannel->currentIndex(), 1);
    QCOMPARE(f.m.OutEQCh, 2);

    // Back to the output already chosen, with B picked: B stays edited.
    f.m.OEQAB_Click(2);
    f.m.MainTab->setCurrentIndex(MainWind::PageOutput);
    QTest::mouseClick(f.m.OutEQ1[2], Qt::LeftButton);
    QCOMPARE(f.tags(), (QStringList{"0", "0", "1"}));
    QCOMPARE(f.m.OutEQCh, 3);
    QVERIFY(f.heard().isEmpty());

    // Brought to the front, the page shows the record as it is now.
    for (const int on : {0, 1}) {
        f.m.MainTab->setCurrentIndex(MainWind::PageOutput);
        f.out(3).EQEnable = uint8_t(on);
        f.m.MainTab->setCurrentIndex(MainWind::PageOutputEQ);
        QCOMPARE(f.m.OEQOnOff[on ^ 1]->picture(), Pic::SwOn);
    }
}

void TestEQPage::recallShowsOut1Afresh() {
    Fixture f;
    f.m.show();
    f.byTitle.insert(QStringLiteral("Confirmation"), MsgResult::Ok);
    ParamData& d = f.app->data;
    // The memories have OUT 1's blocks alike; the current record does not.
    f.out(1).EQGain[3] = 1;
    f.m.OEQChannel->setCurrentIndex(0);
    f.m.OEQAB_Click(2);

    // Recall from the memory page, offline: OUT 1 afresh, linked.
    f.m.PatternRadio[3]->setChecked(true);
    f.m.PLoadButton_Click();
    QCOMPARE(d.MemNo, 4);
    QCOMPARE(f.m.OEQChannel->currentIndex(), 0);
    QCOMPARE(f.tags(), (QStringList{"1", "0", "0"}));
    QCOMPARE(f.m.OutEQCh, 0);

    // Quick recall from OUT 3.
    f.m.OEQChannel->setCurrentIndex(2);
    for (BankRec& r : d.BankData)
        r.PatternMemNo[0] = 2;
    f.m.PatternBtn_Click(0);
    QCOMPARE(d.MemNo, 2);
    QCOMPARE(f.m.OutSel, 0);
    QCOMPARE(f.m.OutEQCh, 0);
    QVERIFY(!f.m.OEQABPanel->isHidden());
}

QTEST_MAIN(TestEQPage)
#include "tst_eqpage.moc"
