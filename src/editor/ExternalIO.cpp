// The GPI page: the memory each external input recalls, the remote-unit
// mode, and the external outputs switched per memory.

#include "editor/MainWind.h"

#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

using Pic = ImageWind::Pic;

constexpr int MemoryCount = 16;

// A stored memory number 1..16, or 0 for none; a byte out of that range
// (a damaged or hand-made file) counts as none.
int LinkedMemory(uint8_t stored) { return stored <= MemoryCount ? stored : 0; }

QString MemoryCaption(const ParamData& d, int n) {
    if (n == 0)
        return QStringLiteral("None");
    return QStringLiteral("%1:").arg(n, 2, 10, QLatin1Char('0')) + d.BankData[n].MemNameStr;
}

void ShowOutput(PicButton* key, bool off) {
    key->setPicture(off ? Pic::SwOff : Pic::SwOn);
    key->setToolTip(off ? QStringLiteral("OFF") : QStringLiteral("ON"));
}

// Closes the memory chooser when it loses the focus.
class HideOnFocusOut : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusOut)
            static_cast<QWidget*>(watched)->hide();
        return false;
    }
};

} // namespace

void MainWind::buildExternalInputs() {
    QFrame* box = Picture2[10];
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    grid->addWidget(panel::Legend(QStringLiteral("GPI Input Terminal"), box), 0, 0);
    grid->addWidget(panel::Legend(QStringLiteral("MEMORY Assign "), box), 0, 1);
    for (int i = 0; i < 8; ++i) {
        ExtInName[i] = panel::Legend(QStringLiteral("IN %1").arg(i + 1), box);
        ExInput[i] = panel::NameStrip(box, 200);
        ExInput[i]->setText(QStringLiteral("None"));
        grid->addWidget(ExtInName[i], i + 1, 0);
        grid->addWidget(ExInput[i], i + 1, 1);
        panel::OnClick(ExInput[i], [this, i] { ExInput_Click(i); });
    }
    RC24Button = new QPushButton(QStringLiteral("KL-RC24接続モード"), box);
    grid->addWidget(RC24Button, 9, 0, 1, 2, Qt::AlignLeft);
    connect(RC24Button, &QPushButton::clicked, this, &MainWind::RC24Button_Click);

    // The chooser floats over the labels, so it is laid out by hand.
    ExInputList = new QListWidget(box);
    ExInputList->hide();
    connect(ExInputList, &QListWidget::itemClicked, this, &MainWind::ExInputList_Click);
    ExInputList->installEventFilter(new HideOnFocusOut(ExInputList));

    for (int k = 0; k < 8; ++k)
        connect(ExOutButton[k], &PicButton::clicked, this, [this, k] { ExOutButton_Click(k); });
}

void MainWind::ExInput_Click(int Index) {
    if (!ExInputList->isHidden()) {
        ExInputList->hide();
        return;
    }
    ExInputList->clear();
    for (int n = 0; n <= MemoryCount; ++n)
        ExInputList->addItem(MemoryCaption(app_.data, n));
    ExInputList->setProperty("Tag", Index);
    const QRect at = ExInput[Index]->geometry();
    ExInputList->setGeometry(at.left(), at.bottom() + 1, at.width(), 8 * ExInputList->sizeHintForRow(0) + 4);
    ExInputList->setCurrentRow(LinkedMemory(app_.data.BankData[app_.data.CurBank].LinkMemNo[Index]));
    ExInputList->show();
    ExInputList->raise();
    ExInputList->setFocus();
}

void MainWind::ExInputList_Click() {
    const int i = ExInputList->property("Tag").toInt();
    const int n = ExInputList->currentRow();
    if (n >= 0 && app_.data.BankData[app_.data.CurBank].LinkMemNo[i] != n) {
        // The inputs' memories are the unit's, not a memory's.
        for (BankRec& r : app_.data.BankData)
            r.LinkMemNo[i] = static_cast<uint8_t>(n);
        ExInput[i]->setText(MemoryCaption(app_.data, n));
        app_.send->SendExInputParam();
    }
    ExInputList->hide();
}

void MainWind::RC24Button_Click() {
    uint8_t& mode = app_.data.BankData[app_.data.CurBank].RC24Mode;
    mode = mode == 0 ? 1 : 0;
    ShowRemoteMode(mode != 0);
    app_.send->SendExInputParam();
}

void MainWind::ShowRemoteMode(bool on) {
    RC24Button->setStyleSheet(on ? QStringLiteral("background-color: #ff0000;") : QString());
    for (QLabel* l : ExInput)
        l->setEnabled(!on);
    if (on)
        ExInputList->hide();
}

// The mode and the inputs' memories of record CurBank.
void MainWind::DispExInput() {
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    if (r.RC24Mode != 0)
        r.RC24Mode = 1;
    ShowRemoteMode(r.RC24Mode != 0);
    DispExInputMemories();
}

void MainWind::DispExInputMemories() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int i = 0; i < 8; ++i)
        ExInput[i]->setText(MemoryCaption(app_.data, LinkedMemory(r.LinkMemNo[i])));
}

void MainWind::ExOutButton_Click(int Index) {
    uint8_t& mask = app_.data.BankData[app_.data.CurBank].ExtOutMask;
    const uint8_t bit = static_cast<uint8_t>(1 << Index);
    ShowOutput(ExOutButton[Index], (mask & bit) == 0);
    mask ^= bit;
    app_.send->SendExtOut();
}

void MainWind::DispExtOut() {
    const uint8_t mask = app_.data.BankData[app_.data.CurBank].ExtOutMask;
    for (int i = 0; i < 8; ++i)
        ShowOutput(ExOutButton[i], (mask >> i & 1) != 0);
}
