// Simple setup against the emulator: the routing buttons and names of
// page 1, the speaker chooser and microphone tone of page 2, finishing with
// a save, and stopping back to the last backup.

#include "EditorRig.h"
#include "data/InEQPreset.h"
#include "data/VenueFile.h"
#include "startwin/SPSelectWind.h"

#include <QCheckBox>
#include <QPushButton>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

namespace {

// Six bands (type, frequency, Q, gain) of a speaker file.
const uint8_t Bands[6][4] = {{0, 10, 4, 40}, {3, 5, 8, 35}, {4, 40, 12, 25}, {0, 20, 3, 31}, {0, 30, 5, 44}, {3, 50, 20, 10}};

QByteArray EQOf(const OutRec& o) { return QByteArray(reinterpret_cast<const char*>(&o.EQEnable), 25).mid(1); }
QByteArray EQOf(const InRec& in) { return QByteArray(reinterpret_cast<const char*>(in.Band), sizeof in.Band); }

struct Fixture : EditorRig {
    Fixture() {
        QVERIFY(goOnline());
        main->hide();
        top->show();
        top->TopTab->setCurrentIndex(1);
        clearHeard();
    }

    void writeSpeaker(const QString& name) {
        QDir(dir.path()).mkpath(QStringLiteral("spkr"));
        QFile f(dir.filePath(QStringLiteral("spkr/") + name + QStringLiteral(".spp")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (const auto& b : Bands)
            f.write(QByteArray::number(b[0]) + ',' + QByteArray::number(b[1]) + ',' + QByteArray::number(b[2]) + ',' +
                    QByteArray::number(b[3]) + "\r\n");
    }

    // The chooser of output k answered: the speaker named pick, or the
    // no-speaker box when pick is empty. Returns whether the hint about
    // speaker files showed.
    bool choose(int k, const QString& pick) {
        bool hint = false;
        answerChooser(k, [&](SPSelectWind& c) {
            hint = c.EmptyHint->isVisible();
            if (pick.isEmpty())
                c.NoSelect->setChecked(true);
            else
                c.SpeakerList->setCurrentItem(c.SpeakerList->findItems(pick, Qt::MatchExactly).value(0));
            c.OKButton->click();
        });
        return hint;
    }
    // The chooser of output k, answered by act.
    void answerChooser(int k, const std::function<void(SPSelectWind&)>& act) {
        whenModal([&](QWidget* w) {
            auto* c = qobject_cast<SPSelectWind*>(w);
            QVERIFY(c);
            act(*c);
        });
        top->SpeakerName_Click(k);
    }
};

} // namespace

class TestWizard : public QObject {
    Q_OBJECT
private slots:
    void entryShowsTheUnit();
    void routingAndNames();
    void speakers();
    void chooserTakesOnlyTheChoice();
    void microphoneTone();
    void finishSaves();
    void finishWithoutSaving();
    void stopRestores();
};

// Simple setup begins on page 1 with the unit's setup on its pages: the
// tone its microphones share, or flat for all when they differ.
void TestWizard::entryShowsTheUnit() {
    for (int differ : {-1, 3}) {
        Fixture f;
        UnitState& u = f.unitState();
        for (int c = 0; c < 6; ++c)
            ApplyInEQPreset(u.rec[0].In[c], c == differ ? 0 : 1);
        u.setNameField(6, 4, "Column");
        u.rec[0].Mix[2].SrcSwitch[4] = 1;
        f.top->TopTab->setCurrentIndex(0);
        f.top->KantanBtn_Click();
        f.top->PollSkip = 0;
        f.top->ConnectTimer_Timer();
        QCOMPARE(f.top->TopTab->currentIndex(), 1);
        QVERIFY(f.top->MicOption[differ == -1 ? 1 : 2]->isChecked());
        QCOMPARE(EQOf(u.rec[0].In[0]), EQOf(f.record().In[0]));
        QCOMPARE(f.top->SpeakerName[3]->text(), QStringLiteral("Column"));
        QCOMPARE(f.top->LineButton[4 * 4 + 2]->picture(), ImageWind::Pic::SwOn);
    }
}

// A routing button switches one source into one output on the unit; a
// button the companion unit holds does nothing. Names reach every record
// and the unit's name slots; the editor's refresh fills the pages.
void TestWizard::routingAndNames() {
    Fixture f;
    f.top->LineButton[4 * 6 + 1]->click();
    QCOMPARE(f.unitState().rec[0].Mix[1].SrcSwitch[6], 1);
    QCOMPARE(f.record().Mix[1].SrcSwitch[6], 1);
    f.top->LineButton[4 * 12 + 3]->click();
    QCOMPARE(f.unitState().rec[0].Mix[3].ExtraSwitch, 1);
    f.top->LineButton[4 * 6 + 1]->click();
    QCOMPARE(f.unitState().rec[0].Mix[1].SrcSwitch[6], 0);

    f.top->LineButton[0]->setTint(QColor::fromRgb(VbColor(0x80FFFF)));
    f.clearHeard();
    f.top->LineButton_Click(0);
    QCOMPARE(f.record().Mix[0].SrcSwitch[0], 0);
    QVERIFY(f.heard().isEmpty());

    const QStringList opened = f.answer([&] { f.top->NameText_Click(3); }, QStringLiteral("Vocal"));
    QCOMPARE(opened.mid(0, 2), (QStringList{"入力名称", "MONO 4入力名称を入力してください"}));
    QCOMPARE(f.unitState().nameField(5, 4).left(5), QByteArray("Vocal"));
    f.answer([&] { f.top->NameTextSP_Click(2); }, QStringLiteral("Hall"));
    QCOMPARE(f.unitState().nameField(5, 13).left(4), QByteArray("Hall"));
    QCOMPARE(f.top->NameText[14]->text(), QStringLiteral("Hall"));
    f.answer([&] { f.top->NameText_Click(16); }, QStringLiteral("Rec"));
    for (const BankRec& r : f.app->data.BankData)
        QCOMPARE(r.InNameStr[3] + r.OutNameStr[2] + r.OutNameStr[6], QStringLiteral("VocalHallRec"));

    BankRec& r = f.record();
    r.InNameStr[7] = QStringLiteral("Piano");
    r.SpkNameStr[1] = QStringLiteral("*Box");
    f.app->data.VenueName = QStringLiteral("Town hall");
    f.main->DispAllParam();
    QCOMPARE(f.top->NameText[7]->text(), QStringLiteral("Piano"));
    QCOMPARE(f.top->SystemText[2]->text(), QStringLiteral("Town hall"));
    QCOMPARE(f.top->SpeakerName[1]->text(), QStringLiteral("*Box"));
    QVERIFY(!f.top->SpChgMes[1]->isHidden());
    QCOMPARE(f.top->SpeakerName[0]->text(), QStringLiteral("FLAT"));
}

// A speaker loads both blocks of OUT 1 and the one block of OUT 3, unmarked;
// "FLAT" clears the current record's name only and sends nothing.
void TestWizard::speakers() {
    Fixture f;
    f.top->SpeakerListMake();
    f.top->TopTab->setCurrentIndex(2);
    QVERIFY(f.choose(0, QString()));

    f.writeSpeaker(QStringLiteral("Column"));
    f.top->SpeakerListMake();
    const QByteArray block5 = EQOf(f.unitState().rec[0].Out[5]);
    QVERIFY(!f.choose(0, QStringLiteral("Column")));
    f.choose(2, QStringLiteral("Column"));
    const UnitState& u = f.unitState();
    for (int o : {0, 1, 4}) {
        QCOMPARE(EQOf(u.rec[0].Out[o]), EQOf(f.record().Out[o]));
        QCOMPARE(u.rec[0].Out[o].EQGain[5], Bands[5][3]);
        QCOMPARE(u.rec[0].Out[o].EQFreq[2], Bands[2][1]);
    }
    QCOMPARE(EQOf(u.rec[0].Out[5]), block5);
    QCOMPARE(f.top->SpeakerName[2]->text(), QStringLiteral("Column"));
    QCOMPARE(u.nameField(6, 1).left(7), QByteArray("Column\0", 7));
    for (const BankRec& r : f.app->data.BankData)
        QCOMPARE(r.SpkNameStr[0], QStringLiteral("Column"));

    f.clearHeard();
    f.choose(0, QString());
    QVERIFY(f.heard().isEmpty());
    QCOMPARE(f.top->SpeakerName[0]->text(), QStringLiteral("FLAT"));
    QCOMPARE(f.record().SpkNameStr[0], QString());
    QCOMPARE(f.app->data.BankData[1].SpkNameStr[0], QStringLiteral("Column"));
}

// O K with nothing selected chooses nothing, though the list made its first
// row current when it took the focus; Esc, the close box and CLOSE choose
// nothing either, and leave a speaker changed in the editor as it is.
void TestWizard::chooserTakesOnlyTheChoice() {
    Fixture f;
    f.writeSpeaker(QStringLiteral("Column"));
    f.writeSpeaker(QStringLiteral("Horn"));
    f.top->SpeakerListMake();
    f.top->TopTab->setCurrentIndex(2);
    const QString shown = f.top->SpeakerName[0]->text();
    f.answerChooser(0, [](SPSelectWind& c) {
        c.activateWindow();
        c.SpeakerList->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&c));
        QCOMPARE(c.SpeakerList->currentRow(), 0);
        QVERIFY(c.SpeakerList->selectedItems().isEmpty());
        c.OKButton->click();
    });
    QVERIFY(f.heard().isEmpty());
    QCOMPARE(f.top->SpeakerName[0]->text(), shown);
    QCOMPARE(f.record().SpkNameStr[0], QString());

    const std::function<void(SPSelectWind&)> ways[] = {
        [](SPSelectWind& c) { QTest::keyClick(&c, Qt::Key_Escape); },
        [](SPSelectWind& c) { c.close(); },
        [](SPSelectWind& c) { c.CloseButton->click(); },
    };
    for (const auto& leave : ways) {
        f.record().SpkNameStr[1] = QStringLiteral("*Column");
        f.record().Out[2].EQGain[0] = 17;
        f.top->DispSpeakerName();
        bool preselected = false;
        f.answerChooser(1, [&](SPSelectWind& c) {
            const QList<QListWidgetItem*> selected = c.SpeakerList->selectedItems();
            preselected = selected.size() == 1 && selected[0]->text() == QStringLiteral("Column");
            leave(c);
            QVERIFY(c.isHidden());
        });
        QVERIFY(preselected);
        QVERIFY(f.heard().isEmpty());
        QCOMPARE(f.record().Out[2].EQGain[0], 17);
        QCOMPARE(f.record().SpkNameStr[1], QStringLiteral("*Column"));
        QCOMPARE(f.top->SpeakerName[1]->text(), QStringLiteral("*Column"));
        QVERIFY(!f.top->SpChgMes[1]->isHidden());
    }
}

// A tone preset reaches the mono inputs on MIC and leaves a LINE input; the
// suppressor box switches all six mono inputs on the unit.
void TestWizard::microphoneTone() {
    Fixture f;
    for (int c = 0; c < 6; ++c)
        f.record().In[c].MicSel = c == 4 ? 0 : 1;
    const QByteArray line = EQOf(f.unitState().rec[0].In[4]);
    f.top->Label12_Click(1);
    InRec expected = f.record().In[0];
    ApplyInEQPreset(expected, 1);
    for (int c : {0, 1, 2, 3, 5})
        QCOMPARE(EQOf(f.unitState().rec[0].In[c]), EQOf(expected));
    QCOMPARE(EQOf(f.unitState().rec[0].In[4]), line);
    QVERIFY(f.top->MicOption[1]->isChecked());

    f.top->Label11_Click();
    for (int c = 0; c < 6; ++c)
        QCOMPARE(f.unitState().rec[0].In[c].HSOn, 1);
    QVERIFY(f.top->HawlingStart->isEnabled());
    f.top->Label11_Click();
    QCOMPARE(f.unitState().rec[0].In[5].HSOn, 0);
    QVERIFY(!f.top->HawlingStart->isEnabled());
}

// Yes saves the venue file as the records are, stores memory 1 and puts
// every quick-recall key on it; Cancel on the overwrite question stays.
void TestWizard::finishSaves() {
    Fixture f;
    f.top->TopTab->setCurrentIndex(2);
    f.top->LineButton[4 * 2]->click();
    for (BankRec& r : f.app->data.BankData)
        std::fill(std::begin(r.PatternMemNo), std::end(r.PatternMemNo), uint8_t{3});
    std::fill(std::begin(f.unitState().rec[0].PatternMemNo), std::end(f.unitState().rec[0].PatternMemNo), uint8_t{3});
    f.answers = {MsgResult::Yes};
    f.top->NextButton[1]->click();
    QCOMPARE(f.asked.value(0).title, QStringLiteral("設定パラメーター保存確認"));
    QVERIFY(f.asked.value(0).text.contains(QStringLiteral("「名称未設定」")));
    QFile file(f.venuePath(QStringLiteral("名称未設定.vnf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), EncodeVenue(f.app->data, f.app->codePage));
    for (const BankRec& r : f.app->data.BankData)
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(r.PatternMemNo), 4), QByteArray(4, 1));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.unitState().rec[0].PatternMemNo), 4), QByteArray(4, 1));
    QCOMPARE(f.unitState().rec[1].Mix[0].SrcSwitch[2], 1);
    QCOMPARE(f.app->data.BankData[1], f.record());
    QCOMPARE(f.top->TopTab->currentIndex(), 0);
    QVERIFY(f.app->data.VenueName.isEmpty());

    f.top->TopTab->setCurrentIndex(3);
    f.asked.clear();
    f.answers = {MsgResult::Yes, MsgResult::Cancel};
    f.top->NextButton[2]->click();
    QCOMPARE(f.asked.size(), 2);
    QCOMPARE(f.asked[1].title, QStringLiteral("上書き保存確認"));
    QCOMPARE(f.asked[1].defaultButton, MsgResult::No);
    QCOMPARE(f.top->TopTab->currentIndex(), 3);
}

// Cancel on either question stays on the page; No leaves without saving
// and keeps every change in the records and the unit.
void TestWizard::finishWithoutSaving() {
    Fixture f;
    f.top->TopTab->setCurrentIndex(2);
    f.top->LineButton[4 * 5 + 1]->click();
    const QString path = f.venuePath(QStringLiteral("名称未設定.vnf"));

    f.answers = {MsgResult::Cancel};
    f.top->NextButton[1]->click();
    QCOMPARE(f.top->TopTab->currentIndex(), 2);
    QVERIFY(!QFile::exists(path));

    f.answers = {MsgResult::No};
    f.top->NextButton[1]->click();
    QCOMPARE(f.top->TopTab->currentIndex(), 0);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(f.record().Mix[1].SrcSwitch[5], 1);
    QCOMPARE(f.unitState().rec[0].Mix[1].SrcSwitch[5], 1);

    // The file there already: No to the overwrite leaves it as it was.
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    f.top->TopTab->setCurrentIndex(3);
    f.asked.clear();
    f.answers = {MsgResult::Yes, MsgResult::No};
    f.top->NextButton[2]->click();
    QCOMPARE(f.asked.size(), 2);
    QCOMPARE(f.top->TopTab->currentIndex(), 0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
}

// Stop asks first; Yes puts the last backup back into the records and the
// unit and leaves the wizard.
void TestWizard::stopRestores() {
    Fixture f;
    f.app->data.BackupMemory();
    f.top->LineButton[4 * 3 + 2]->click();
    f.answers = {MsgResult::No};
    f.top->StopButton[0]->click();
    QCOMPARE(f.record().Mix[2].SrcSwitch[3], 1);

    // Settings the unit holds apart from the backup come back too: the
    // whole record is sent.
    BankRec& unit = f.unitState().rec[0];
    unit.In[3].Trim = uint8_t(f.record().In[3].Trim + 1);
    unit.Out[2].Delay = uint16_t(f.record().Out[2].Delay + 7);
    unit.SAMask = uint8_t(f.record().SAMask ^ 5);
    f.answers = {MsgResult::Yes};
    f.top->StopButton[0]->click();
    QCOMPARE(f.asked.last().title, QStringLiteral("Confirmation"));
    QCOMPARE(f.record().Mix[2].SrcSwitch[3], 0);
    QCOMPARE(unit.Mix[2].SrcSwitch[3], 0);
    QCOMPARE(unit.In[3].Trim, f.record().In[3].Trim);
    QCOMPARE(unit.Out[2].Delay, f.record().Out[2].Delay);
    QCOMPARE(unit.SAMask, f.record().SAMask);
    QCOMPARE(f.top->TopTab->currentIndex(), 0);
    QVERIFY(f.top->isEnabled());
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
