// The memories: recall and store on the memory page, the four quick-recall
// buttons with their assignment list, and the captions that show memory
// names.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "link/ParamSend.h"
#include "startwin/App.h"
#include "startwin/BankReadWind.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int MemoryCount = 16;

bool IsMemory(int m) { return m >= 1 && m <= MemoryCount; }

} // namespace

// The memory controls join the pages the page builders made.
void MainWind::connectMemories() {
    auto* names = static_cast<QGridLayout*>(PatternGroup->layout());
    for (int i = 0; i < MemoryCount; ++i) {
        PatternNameLabel[i] = new NameLabel(PatternGroup);
        names->addWidget(PatternNameLabel[i], i % 8, 2 * (i / 8) + 1);
    }
    auto* storeCol = static_cast<QBoxLayout*>(PatternName->parentWidget()->layout());
    auto* buttons = new QHBoxLayout;
    PLoadButton = new QPushButton(QStringLiteral("Recall"), PatternName->parentWidget());
    PSaveButton = new QPushButton(QStringLiteral("Store"), PatternName->parentWidget());
    buttons->addWidget(PLoadButton);
    buttons->addWidget(PSaveButton);
    storeCol->insertLayout(1, buttons);
    connect(PLoadButton, &QPushButton::clicked, this, &MainWind::PLoadButton_Click);
    connect(PSaveButton, &QPushButton::clicked, this, &MainWind::PSaveButton_Click);

    auto* keys = static_cast<QBoxLayout*>(PatternBtn[0]->parentWidget()->layout());
    auto* links = static_cast<QBoxLayout*>(Picture2[3]->layout());
    for (int i = 0; i < 4; ++i) {
        PatternLabel[i] = new NameLabel(PatternBtn[i]->parentWidget());
        // The four names share the row's room equally, whatever their lengths.
        keys->insertWidget(keys->indexOf(PatternBtn[i]) + 1, PatternLabel[i], 1);
        SMemPattern[i] = panel::NameStrip(Picture2[3], 200);
        links->insertWidget(links->indexOf(SMemLink[i]) + 1, SMemPattern[i]);
        connect(PatternBtn[i], &QAbstractButton::clicked, this, [this, i] { PatternBtn_Click(i); });
        connect(SMemLink[i], &QAbstractButton::clicked, this, [this, i] { SMemLink_Click(i); });
        panel::OnClick(SMemPattern[i], [this, i] { SMemPattern_Click(i); });
    }

    SMemList = new QListWidget(Picture2[3]->parentWidget());
    SMemList->setProperty("Tag", -1);
    SMemList->hide();
    connect(SMemList, &QListWidget::itemClicked, this, &MainWind::SMemList_Click);
    panel::OnFocusOut(SMemList, [this] { SMemList_LostFocus(); });
}

int MainWind::selectedMemory() const {
    for (int i = 0; i < MemoryCount; ++i)
        if (PatternRadio[i]->isChecked())
            return i + 1;
    return 1;
}

QString MainWind::MemoryItemText(int m) const {
    const QString name = IsMemory(m) ? app_.data.BankData[m].MemNameStr : QString();
    return QStringLiteral("%1:").arg(m, 2, 10, QLatin1Char('0')) + name;
}

void MainWind::afterRecall() {
    ParamData& d = app_.data;
    if (!app_.link.OnLine)
        d.BankData[d.CurBank] = d.BankData[d.MemNo];
    top_.bankReadWind->ShowBankReadWind(1);
    d.BackupMemory();
    OutputEQShowFirst();
    if (!app_.link.OnLine)
        MeterLampClear();
}

void MainWind::PLoadButton_Click() {
    const int n = selectedMemory();
    if (ShowMessage({QStringLiteral("Recall memory %1?").arg(n), QStringLiteral("Confirmation"),
                     MsgButtons::OkCancel, MsgIcon::Question, MsgResult::Cancel}) != MsgResult::Ok)
        return;
    setEnabled(false);
    app_.data.MemNo = selectedMemory();
    app_.send->SendBankRecall(app_.data.MemNo);
    top_.SyousaiInitial();
    app_.waits.TimerWait(800);
    afterRecall();
    setEnabled(true);
    MainTab->setCurrentIndex(PageBlock);
}

void MainWind::PatternBtn_Click(int Index) {
    ParamData& d = app_.data;
    const int m = d.BankData[d.CurBank].PatternMemNo[Index];
    // A hand-made file may assign a memory the unit does not have.
    if (!IsMemory(m))
        return;
    const bool polling = IntervalTimer.isActive();
    IntervalTimer.stop();
    LockPanel[0]->setEnabled(false);
    d.MemNo = m;
    app_.send->SendBankRecall(m);
    afterRecall();
    LockPanel[0]->setEnabled(true);
    SelectPatternRadio(d.MemNo);
    if (polling)
        IntervalTimer.start();
}

void MainWind::SMemLink_Click(int Index) {
    Picture2[3]->setEnabled(false);
    PatternBtn_Click(Index);
    Picture2[3]->setEnabled(true);
}

void MainWind::PSaveButton_Click() {
    const int n = selectedMemory();
    if (ShowMessage({QStringLiteral("Store to memory %1?").arg(n), QStringLiteral("Confirmation"),
                     MsgButtons::OkCancel, MsgIcon::Question, MsgResult::Cancel}) != MsgResult::Ok)
        return;
    ParamData& d = app_.data;
    storeIntoMemory(n);
    d.MemNo = n;
    // The memory's new name follows its contents into the unit.
    app_.send->SendMemoryName(n);
    DispMemoryName();
    d.BackupMemory();
}

void MainWind::SMemPattern_Click(int Index) {
    if (SMemList->isVisible()) {
        SMemList->hide();
        return;
    }
    SMemList->setProperty("Tag", Index);
    // Below the first caption, above the others.
    const QRect label(SMemPattern[Index]->mapTo(SMemList->parentWidget(), QPoint(0, 0)), SMemPattern[Index]->size());
    SMemList->setFixedSize(label.width(), 108);
    const int top = Index == 0 ? label.bottom() + 2 : label.top() - SMemList->height() - 2;
    SMemList->move(label.left(), top);
    const int m = app_.data.BankData[app_.data.CurBank].PatternMemNo[Index];
    SMemList->setCurrentRow(IsMemory(m) ? m - 1 : -1);
    SMemList->show();
    SMemList->raise();
    SMemList->setFocus();
}

void MainWind::SMemList_LostFocus() {
    SMemList->setProperty("Tag", -1);
    SMemList->hide();
}

void MainWind::SMemList_Click() {
    const int slot = SMemList->property("Tag").toInt();
    SMemList->hide();
    if (slot < 0 || slot > 3)
        return;
    QApplication::processEvents();
    ParamData& d = app_.data;
    const int n = SMemList->currentRow() + 1;
    if (!IsMemory(n) || d.BankData[d.CurBank].PatternMemNo[slot] == n)
        return;
    setEnabled(false);
    for (BankRec& r : d.BankData)
        r.PatternMemNo[slot] = static_cast<uint8_t>(n);
    SMemPattern[slot]->setText(MemoryItemText(n));
    PatternLabel[slot]->setText(MemoryItemText(n));
    app_.send->SendPatternMem();
    // The lit button's memory is the one being edited: it keeps the edits
    // before the newly assigned memory replaces them.
    if (SMemLink[slot]->Tag != QLatin1String("0")) {
        storeIntoMemory(d.MemNo);
        PatternBtn_Click(slot);
    }
    setEnabled(true);
}

void MainWind::DispMemoryName() {
    const ParamData& d = app_.data;
    SMemList->clear();
    for (int n = 1; n <= MemoryCount; ++n) {
        SMemList->addItem(MemoryItemText(n));
        PatternNameLabel[n - 1]->setText(d.BankData[n].MemNameStr);
    }
    for (int i = 0; i < 4; ++i)
        PatternLabel[i]->setText(MemoryItemText(d.BankData[d.CurBank].PatternMemNo[i]));
    for (int i = 0; i < 4; ++i)
        SMemPattern[i]->setText(MemoryItemText(d.BankData[d.CurBank].PatternMemNo[i]));
    DispExInputMemories();
}

void MainWind::storeIntoMemory(int m) {
    ParamData& d = app_.data;
    d.BankData[d.CurBank].MemNameStr = PatternName->text();
    app_.send->SendMemoryStore(m);
}

void MainWind::DispPatternBtn() {
    const ParamData& d = app_.data;
    const auto light = [](PicButton* b, bool on) {
        b->setPicture(on ? ImageWind::Pic::SwOn : ImageWind::Pic::SwOff);
        b->Tag = on ? QStringLiteral("1") : QStringLiteral("0");
    };
    for (int i = 0; i < 4; ++i) {
        light(PatternBtn[i], false);
        light(SMemLink[i], false);
    }
    for (int i = 0; i < 4; ++i) {
        if (d.BankData[d.CurBank].PatternMemNo[i] == d.MemNo) {
            light(PatternBtn[i], true);
            light(SMemLink[i], true);
            break;
        }
    }
}
