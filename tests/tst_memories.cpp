// The memories against the emulator: store and recall from the memory page,
// the PC-only recall offline, the quick-recall buttons with their lit button
// and assignment list, and memory numbers a file holds out of range.

#include "EditorRig.h"
#include "RecordDiff.h"
#include "data/VenueFile.h"
#include "startwin/AllBankWind.h"
#include "startwin/Widgets.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <cstring>

namespace {

struct Fixture : EditorRig {
    MainWind& m = *main;
    int ticks = 0;

    Fixture() {
        // Waits count ticks without the real timer.
        app->waits.pumpEvents = [this] {
            ++ticks;
            app->waits.Tick();
        };
        byTitle.insert(QStringLiteral("Confirmation"), MsgResult::Ok);
    }

    // The PC's current record and the unit's current settings alike, with
    // an edit that tells them from the factory settings.
    void sameCurrentState() {
        unitState().rec[0].In[2].RouteMask = 5;
        std::memcpy(record().fixedBytes(), unitState().rec[0].fixedBytes(), BankFixedBytes);
    }

    void assign(std::array<uint8_t, 4> memories) {
        for (BankRec& r : app->data.BankData)
            std::copy(memories.begin(), memories.end(), r.PatternMemNo);
    }

    // Position of the first request that starts with head, or -1.
    int heardAt(const QByteArray& head) {
        const QList<QByteArray> all = heard();
        for (int i = 0; i < all.size(); ++i)
            if (all[i].startsWith(head))
                return i;
        return -1;
    }

    // The two letters of each request, from the first.
    QStringList kinds() {
        QStringList all;
        for (const QByteArray& body : heard())
            all << QString::fromLatin1(body.left(2));
        return all;
    }

    QStringList lit() const {
        QStringList tags;
        for (int i = 0; i < 4; ++i)
            tags << m.PatternBtn[i]->Tag + m.SMemLink[i]->Tag;
        return tags;
    }
};

bool SameFixed(const BankRec& a, const BankRec& b) {
    return std::memcmp(a.fixedBytes(), b.fixedBytes(), BankFixedBytes) == 0;
}

} // namespace

class TestMemories : public QObject {
    Q_OBJECT
private slots:
    void storeWithNewName();
    void storeOrderOnEachRoad();
    void onlineSaveGivesTheUnitItsStateBack();
    void recallOnlineReadsBack();
    void recallOfflineCopiesRecord();
    void quickRecallButtons();
    void reassignLitButtonOfflineOrLinkLost();
    void outOfRangeMemoryNumbers();
    void quickRecallCaptionsShareTheRow();
};

void TestMemories::storeWithNewName() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.sameCurrentState();
    f.m.PatternRadio[2]->setChecked(true);
    f.m.PatternName->setText(QStringLiteral("Stage A"));

    f.answers << MsgResult::Cancel;
    f.m.PSaveButton_Click();
    QCOMPARE(f.asked.last().text, QStringLiteral("Store to memory 3?"));
    QVERIFY(f.heard().isEmpty());

    f.m.PSaveButton_Click();
    ParamData& d = f.app->data;
    QCOMPARE(d.MemNo, 3);
    QVERIFY(SameFixed(f.unitState().rec[3], f.record()));
    QVERIFY(f.unitState().nameField(2, 3).startsWith("Stage A\0"));
    QCOMPARE(f.unitState().memNo, 3);
    QVERIFY(d.BankData[3] == f.record());
    QCOMPARE(d.BankData[3].MemNameStr, QStringLiteral("Stage A"));
    QCOMPARE(f.m.PatternNameLabel[2]->text(), QStringLiteral("Stage A"));
    QCOMPARE(f.m.SMemList->count(), 16);
    QCOMPARE(f.m.SMemList->item(2)->text(), QStringLiteral("03:Stage A"));
    QCOMPARE(f.m.SMemList->item(0)->text(), QStringLiteral("01:"));
    // The reference for change checks is the stored state.
    QVERIFY(d.BankBackup[0] == f.record());
}

// The memory page stores, then names; the lit quick-recall key reassigned
// only stores; the questions of EXIT and SAVE name, then store.
void TestMemories::storeOrderOnEachRoad() {
    Fixture f;
    QVERIFY(f.goOnline());
    ParamData& d = f.app->data;
    const QStringList named{QStringLiteral("NS"), QStringLiteral("SA")};
    f.m.PatternName->setText(QStringLiteral("Choir"));

    f.m.PatternRadio[3]->setChecked(true);
    f.m.PSaveButton_Click();
    QCOMPARE(f.kinds(), (QStringList{QStringLiteral("SA"), QStringLiteral("NS")}));
    QCOMPARE(f.heard()[0], QByteArray("SA\0\0\x04", 5));
    QVERIFY(f.heard()[1].startsWith(QByteArray("NS\0\x02\x04" "Choir", 10)));

    f.clearHeard();
    f.assign({4, 1, 1, 1});
    f.m.DispAllParam();
    f.m.SMemPattern_Click(0);
    f.m.SMemList->setCurrentRow(5);
    f.m.SMemList_Click();
    QCOMPARE(f.kinds().mid(0, 3), (QStringList{QStringLiteral("PS"), QStringLiteral("SA"), QStringLiteral("BA")}));
    QCOMPARE(f.heard()[1], QByteArray("SA\0\0\x04", 5));
    QVERIFY(!f.kinds().contains(QStringLiteral("NS")));

    f.clearHeard();
    f.answers << MsgResult::Yes;
    f.chosenFile = f.venuePath(QStringLiteral("Order.vnf"));
    f.m.Toolbar1_ButtonClick(QStringLiteral("SAVE"));
    QCOMPARE(f.kinds().mid(0, 2), named);
    QCOMPARE(f.heard()[1], QByteArray("SA\0\0\x06", 5));

    f.clearHeard();
    f.answers << MsgResult::Yes;
    f.m.Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QCOMPARE(f.kinds(), named + QStringList{QStringLiteral("NO")});
    QCOMPARE(d.MemNo, 6);
}

// Reading every memory back for the file recalls one after another; then
// the unit gets the edits not yet stored back, on the memory the editor
// shows, whether the read ran to its end or was cancelled.
void TestMemories::onlineSaveGivesTheUnitItsStateBack() {
    for (const bool cancel : {false, true}) {
        Fixture f;
        QVERIFY(f.goOnline());
        ParamData& d = f.app->data;
        AllBankWind& transfer = *f.top->allBankWind;
        f.sameCurrentState();
        f.unitState().memNo = d.MemNo = 3;
        f.unitState().rec[16].In[0].Trim = 16;
        f.m.LineButton_Click(4 * 2 + 1); // MONO 3 to OUT 2
        QCOMPARE(f.record().Mix[1].SrcSwitch[2], 1);
        if (cancel)
            QObject::connect(f.top.get(), &TopWind::bankProgress, &transfer, [&](int m) {
                if (m == 3)
                    transfer.CancelButton_Click();
            });
        f.chosenFile = f.venuePath(QStringLiteral("Hall.vnf"));
        f.answers << MsgResult::No;
        f.m.Toolbar1_ButtonClick(QStringLiteral("SAVE"));
        QCOMPARE(transfer.BankResult, cancel ? 0 : -1);
        QCOMPARE(QFile::exists(f.chosenFile), !cancel);
        QCOMPARE(FirstDifference(f.unitState().rec[0], f.record(), true), QString());
        QCOMPARE(d.MemNo, 3);
        QCOMPARE(f.unitState().memNo, 3);

        // Stored into memory 2, the routing is there when it is recalled.
        f.m.PatternRadio[1]->setChecked(true);
        f.m.PSaveButton_Click();
        f.m.PLoadButton_Click();
        QCOMPARE(f.record().Mix[1].SrcSwitch[2], 1);
        QCOMPARE(f.record().In[0].Trim, f.unitState().rec[3].In[0].Trim);
    }
}

void TestMemories::recallOnlineReadsBack() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.unitState().rec[5].In[1].RouteMask = 9;
    f.app->data.BankData[5].MemNameStr = QStringLiteral("Five");
    f.m.PatternRadio[4]->setChecked(true);
    f.m.MainTab->setCurrentIndex(MainWind::PageMemory);

    f.m.PLoadButton_Click();
    // The unit is given 800 ms (eight ticks) before it is read back.
    QVERIFY(f.ticks >= 8);
    QCOMPARE(f.asked.last().title, QStringLiteral("Confirmation"));
    QCOMPARE(f.asked.last().defaultButton, MsgResult::Cancel);
    QVERIFY(f.heardAt(QByteArray("BA") + char(0) + char(5)) >= 0);
    QCOMPARE(f.unitState().memNo, 5);
    QCOMPARE(f.record().In[1].RouteMask, 9);
    QCOMPARE(f.app->data.MemNo, 5);
    QCOMPARE(f.m.PatternName->text(), QStringLiteral("Five"));
    QVERIFY(f.m.PatternRadio[4]->isChecked());
    QCOMPARE(f.m.MainTab->currentIndex(), int(MainWind::PageBlock));
    QVERIFY(f.m.isEnabled());
    QVERIFY(f.app->data.BankBackup[0] == f.record());
}

void TestMemories::recallOfflineCopiesRecord() {
    Fixture f;
    f.m.show();
    ParamData& d = f.app->data;
    d.BankData[5].In[3].RouteMask = 3;
    d.BankData[5].In[0].PeakOn = 1;
    d.BankData[5].MemNameStr = QStringLiteral("Five");
    f.m.PatternRadio[4]->setChecked(true);

    f.m.PLoadButton_Click();
    QVERIFY(d.BankData[0] == d.BankData[5]);
    QCOMPARE(d.MemNo, 5);
    QCOMPARE(f.m.PatternName->text(), QStringLiteral("Five"));
    // The copied lamp byte is not shown lit offline.
    QCOMPARE(f.m.SignalPeak[0]->fillColor(), f.m.SignalPeak[9]->fillColor());
    QCOMPARE(f.m.InPeak[0]->fillColor(), f.m.InPeak[9]->fillColor());
    QCOMPARE(f.m.MainTab->currentIndex(), int(MainWind::PageBlock));
    QVERIFY(f.m.PatternRadio[4]->isChecked());
}

void TestMemories::quickRecallButtons() {
    Fixture f;
    QVERIFY(f.goOnline());
    ParamData& d = f.app->data;
    f.sameCurrentState();
    for (int n = 1; n <= 16; ++n)
        d.BankData[n].MemNameStr = QStringLiteral("M%1").arg(n);

    // Two buttons on the current memory: the first lights, on both pages.
    f.assign({7, 3, 3, 9});
    d.MemNo = 3;
    f.m.DispAllParam();
    QCOMPARE(f.lit(), (QStringList{"00", "11", "00", "00"}));
    QCOMPARE(f.m.PatternLabel[1]->text(), QStringLiteral("03:M3"));

    // An unlit button reassigned: captions and the assignment only.
    f.m.MainTab->setCurrentIndex(MainWind::PageMisc);
    f.m.SMemPattern_Click(3);
    QVERIFY(f.m.SMemList->isVisible());
    QCOMPARE(f.m.SMemList->currentRow(), 8);
    f.m.SMemList->setCurrentRow(11);
    f.m.SMemList_Click();
    QCOMPARE(f.heard(), (QList<QByteArray>{QByteArray("PS\0\x07\x07\x03\x03\x0C", 8)}));
    QCOMPARE(f.m.SMemPattern[3]->text(), QStringLiteral("12:M12"));
    for (const BankRec& r : d.BankData)
        QCOMPARE(r.PatternMemNo[3], 12);

    // The lit one reassigned: memory 3 keeps the edits, then memory 10 is
    // recalled and its button lit. The unit keeps the assignment sent for
    // all its memories, so the read-back of memory 10 brings it back.
    f.clearHeard();
    f.m.PatternName->setText(QStringLiteral("Edited"));
    f.m.SMemPattern_Click(1);
    f.m.SMemList->setCurrentRow(9);
    f.m.SMemList_Click();
    const int store = f.heardAt(QByteArray("SA\0\0\x03", 5));
    const int recall = f.heardAt(QByteArray("BA\0\x0A", 4));
    QVERIFY(store >= 0);
    QVERIFY(recall > store);
    QVERIFY(SameFixed(f.unitState().rec[3], d.BankData[3]));
    QCOMPARE(f.unitState().rec[3].In[2].RouteMask, 5);
    QCOMPARE(d.BankData[3].MemNameStr, QStringLiteral("Edited"));
    QCOMPARE(d.MemNo, 10);
    QCOMPARE(f.lit(), (QStringList{"00", "11", "00", "00"}));
    QVERIFY(f.m.PatternRadio[9]->isChecked());

    // The memory already assigned chosen again: nothing.
    f.clearHeard();
    f.m.SMemPattern_Click(1);
    f.m.SMemList_Click();
    QVERIFY(f.heard().isEmpty());
    QVERIFY(!f.m.SMemList->isVisible());
}

// Reassigning the lit button stores the edits into the memory they came
// from: offline into the PC's record only, and with the link lost at the
// store the PC's records still say which state went where.
void TestMemories::reassignLitButtonOfflineOrLinkLost() {
    for (const bool online : {false, true}) {
        Fixture f;
        f.m.show();
        if (online) {
            QVERIFY(f.goOnline());
            // The assignment is answered; the store is not.
            f.usb.unit().silentAfter(1);
        }
        ParamData& d = f.app->data;
        f.assign({3, 5, 5, 5});
        d.MemNo = 3;
        d.BankData[10].In[4].RouteMask = 6;
        f.record().In[2].RouteMask = 5;
        const BankRec edited = f.record();
        f.m.DispAllParam();
        QCOMPARE(f.lit().first(), QStringLiteral("11"));

        f.m.SMemPattern_Click(0);
        f.m.SMemList->setCurrentRow(9);
        f.m.SMemList_Click();
        QCOMPARE(d.BankData[3].In[2].RouteMask, edited.In[2].RouteMask);
        QCOMPARE(d.BankData[3].In[4].RouteMask, edited.In[4].RouteMask);
        QCOMPARE(d.MemNo, 10);
        QVERIFY(d.BankData[0] == d.BankData[10]);
        for (const BankRec& r : d.BankData)
            QCOMPARE(r.PatternMemNo[0], 10);
        QVERIFY(f.m.isEnabled());
        if (!online)
            QVERIFY(f.heard().isEmpty());
        else
            QVERIFY(!f.app->link.OnLine);
    }
}

void TestMemories::outOfRangeMemoryNumbers() {
    Fixture f;
    f.m.show();
    ParamData& d = f.app->data;
    ParamData hand;
    for (BankRec& r : hand.BankData) {
        r.PatternMemNo[0] = 0;
        r.PatternMemNo[1] = 17;
        r.PatternMemNo[2] = 255;
        r.PatternMemNo[3] = 2;
    }
    QFile file(f.venuePath(QStringLiteral("hand.vnf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(EncodeVenue(hand, f.app->codePage));
    file.close();
    QVERIFY(LoadVenueFile(d, f.app->codePage, file.fileName(), false));
    d.BankData[0].MemNameStr = QStringLiteral("current");

    f.m.DispAllParam();
    QCOMPARE(f.m.PatternLabel[3]->text(), QStringLiteral("02:"));

    // The same bytes reached the record some other way.
    std::copy_n(hand.BankData[0].PatternMemNo, 4, d.BankData[0].PatternMemNo);
    f.m.DispAllParam();
    QCOMPARE(f.m.PatternLabel[0]->text(), QStringLiteral("00:"));
    QCOMPARE(f.m.SMemPattern[1]->text(), QStringLiteral("17:"));
    QCOMPARE(f.m.SMemPattern[2]->text(), QStringLiteral("255:"));

    // A button on no memory recalls nothing; its list opens unselected.
    const BankRec before = d.BankData[0];
    f.m.PatternBtn_Click(0);
    f.m.PatternBtn_Click(2);
    QCOMPARE(d.MemNo, 1);
    QVERIFY(d.BankData[0] == before);
    f.m.MainTab->setCurrentIndex(MainWind::PageMisc);
    f.m.SMemPattern_Click(2);
    QCOMPARE(f.m.SMemList->currentRow(), -1);
}

// The four captions beside the quick-recall buttons on the BLOCK page are
// equally wide and share the whole row: a name that shows whole in one slot
// shows whole in every other.
void TestMemories::quickRecallCaptionsShareTheRow() {
    Fixture f;
    f.m.show();
    f.m.MainTab->setCurrentIndex(MainWind::PageBlock);
    f.assign({6, 6, 6, 6});
    f.app->data.BankData[6].MemNameStr = QStringLiteral("Scene Foxtrot");
    f.m.DispAllParam();
    QWidget* row = f.m.PatternBtn[0]->parentWidget();
    // At the editor's size and wider.
    for (int wider : {0, 37}) {
        f.m.resize(f.m.width() + wider, f.m.height());
        QTest::qWait(20);
        QCOMPARE(f.m.PatternLabel[0]->text(), QStringLiteral("06:Scene Foxtrot"));
        for (QLabel* l : f.m.PatternLabel)
            QCOMPARE(l->width(), f.m.PatternLabel[0]->width());
        const int end = row->contentsRect().right() - row->layout()->contentsMargins().right();
        QVERIFY2(end - f.m.PatternLabel[3]->geometry().right() < 4, qPrintable(QString::number(end)));
    }
}

QTEST_MAIN(TestMemories)
#include "tst_memories.moc"
