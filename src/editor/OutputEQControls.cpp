// The OUTPUT EQ page's controls around the graph: the output chosen and
// its A/B choice, EQ on/off, copying to other outputs, speaker presets, and
// the jumps to the page from the strips' keys.

#include "editor/MainWind.h"

#include "data/SpeakerFile.h"
#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "link/ParamSend.h"
#include "startwin/App.h"
#include "startwin/SPSelectWind.h"
#include "startwin/Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace {

using Pic = ImageWind::Pic;

// Whether the page's A & B link is on.
bool Linked(const std::array<PicButton*, 3>& ab) { return ab[0]->Tag.toInt() != 0; }

} // namespace

void MainWind::connectOutputEQ() {
    connect(OEQChannel, &QComboBox::currentIndexChanged, this, &MainWind::OEQChannel_Click);
    for (int i = 0; i < 3; ++i)
        connect(OEQAB[i], &PicButton::clicked, this, [this, i] { OEQAB_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(OEQOnOff[i], &PicButton::clicked, this, [this, i] { OEQOnOff_Click(i); });
    connect(OEQCopy, &PicButton::clicked, this, &MainWind::OEQCopy_Click);
    connect(SpkPickup, &PicButton::clicked, this, &MainWind::SpkPickup_Click);
    connect(OutEQList, &QListWidget::itemClicked, this, &MainWind::OutEQList_Click);
    panel::OnFocusOut(OutEQList, [this] { OutEQList_LostFocus(); });
    for (int o : ChToOut) {
        connect(OutEQ1[o], &PicButton::clicked, this, [this, o] { OutEQ1_Click(o); });
        connect(OutEQButton[o], &QPushButton::clicked, this, [this, o] { OutEQButton_Click(o); });
    }
}

QPushButton* MainWind::buildOutEQButton(int o, QWidget* parent) {
    OutEQButton[o] = new QPushButton(QStringLiteral("EQ+FILTER"), parent);
    OutEQButton[o]->setFixedSize(panel::KeySize.width() + 16, panel::KeySize.height());
    return OutEQButton[o];
}

void MainWind::OEQChannel_Click() {
    const int li = OEQChannel->currentIndex();
    if (li == -1 || li == OutSel)
        return;
    OutSel = li;
    if (li < 2) {
        ABChoiceFromRecord(li);
        OEQABPanel->show();
    } else {
        OEQABPanel->hide();
    }
    OEQName->setText(app_.data.BankData[app_.data.CurBank].OutNameStr[li]);
    GetOutEQChannel();
    OutEQParamSet();
    OutDelayParamSet();
}

// Linked when the pair's blocks are equal, else A.
void MainWind::ABChoiceFromRecord(int pair) {
    const bool equal = OutputEQDataComp(2 * pair, 2 * pair + 1);
    OEQAB[0]->Tag = equal ? QStringLiteral("1") : QStringLiteral("0");
    OEQAB[1]->Tag = equal ? QStringLiteral("0") : QStringLiteral("1");
    OEQAB[2]->Tag = QStringLiteral("0");
    OEQABSetup();
}

void MainWind::OEQAB_Click(int Index) {
    if (OEQAB[Index]->Tag.toInt() == 1)
        return;
    if (Index == 0) {
        const bool bShown = OutEQCh % 2 == 1;
        if (ShowMessage({bShown ? QStringLiteral("Copy B to A?") : QStringLiteral("Copy A to B?"),
                         QStringLiteral("Confirmation"), MsgButtons::OkCancel, MsgIcon::Question,
                         MsgResult::Cancel}) != MsgResult::Ok)
            return;
        OutputEQDataCopy(OutEQCh, bShown ? OutEQCh - 1 : OutEQCh + 1);
    }
    for (PicButton* b : OEQAB)
        b->Tag = QStringLiteral("0");
    OEQAB[Index]->Tag = QStringLiteral("1");
    OEQABSetup();
    GetOutEQChannel();
    OutEQParamSet();
    OutDelayParamSet();
}

void MainWind::OEQOnOff_Click(int Index) {
    OEQOnOff[Index ^ 1]->setPicture(Pic::SwOff);
    OEQOnOff[Index]->setPicture(Pic::SwOn);
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    const auto on = static_cast<uint8_t>(Index ^ 1);
    r.Out[OutEQCh].EQEnable = on;
    app_.send->SendOutputEQOn(OutEQCh);
    if ((OutSel == 0 || OutSel == 1) && Linked(OEQAB)) {
        r.Out[OutEQCh + 1].EQEnable = on;
        app_.send->SendOutputEQOn(OutEQCh + 1);
    }
    DispOutEQBtn(OutEQCh);
}

void MainWind::OEQCopy_Click() {
    int firstDst = -1;
    if (OutSel == 2 || OutSel == 3 || Linked(OEQAB)) {
        EQCopyWind2& w = *dialogs.eqCopyWind2;
        w.SourceCh = OutSel;
        w.CopyMode = 1;
        const int r = dialogs.EQCopyWindShow(1);
        if (r == -1)
            return;
        if (r < 2) {
            OutputEQDataCopy(OutEQCh, 2 * r);
            OutputEQDataCopy(OutEQCh, 2 * r + 1);
        } else {
            OutputEQDataCopy(OutEQCh, r + 2);
        }
        firstDst = ChToOut[r];
    } else {
        EQCopyWind1& w = *dialogs.eqCopyWind1;
        w.SourceCh = OutEQCh;
        w.CopyMode = 1;
        const int r = dialogs.EQCopyWindShow(0);
        if (r == -1)
            return;
        OutputEQDataCopy(OutEQCh, r);
        firstDst = ChToOut[OutToCh[r]];
    }
    DispOutEQBtn(firstDst);
}

bool MainWind::OutputEQDataComp(int a, int b) const {
    const OutRec& x = app_.data.BankData[app_.data.CurBank].Out[a];
    const OutRec& y = app_.data.BankData[app_.data.CurBank].Out[b];
    if (x.EQEnable != y.EQEnable)
        return false;
    for (int i = 0; i < OutEQTables::Bands; ++i)
        if (x.EQGain[i] != y.EQGain[i] || x.EQFreq[i] != y.EQFreq[i] || x.EQQ[i] != y.EQQ[i] ||
            x.EQType[i] != y.EQType[i])
            return false;
    return true;
}

// The unit copies the bands itself: only the copy and the switch are sent.
void MainWind::OutputEQDataCopy(int src, int dst) {
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    const OutRec& from = r.Out[src];
    OutRec& to = r.Out[dst];
    to.EQEnable = from.EQEnable;
    for (int b = 0; b < OutEQTables::Bands; ++b) {
        to.EQType[b] = from.EQType[b];
        to.EQFreq[b] = from.EQFreq[b];
        to.EQQ[b] = from.EQQ[b];
        to.EQGain[b] = from.EQGain[b];
    }
    app_.send->SendOutputEQCopy(src, dst);
    app_.send->SendOutputEQOn(dst);
}

// The list opens under the key, over whatever lies there.
void MainWind::SpkPickup_Click() {
    const QPoint at = SpkPickup->mapTo(OutEQList->parentWidget(), QPoint(0, SpkPickup->height() + 2));
    OutEQList->move(at);
    OutEQList->raise();
    OutEQList->show();
    OutEQList->setFocus();
}

void MainWind::OutEQList_Click() {
    if (EQBusy == 1)
        return;
    OutEQList->hide();
    // The preset's name belongs to an output: none chosen yet, none loaded.
    if (OutEQList->currentRow() == -1 || OutSel < 0)
        return;
    const QString name = OutEQList->currentItem()->text();
    // A name cut to its field may not be the file's: the file is loaded.
    const QString file = OutEQList->currentItem()->data(Qt::UserRole).toString();
    // Loading takes several messages with waits; the page takes no input
    // meanwhile.
    LockPanel[4]->setEnabled(false);
    app_.send->SpeakerEQLoad(file, OutEQCh);
    // The page shows the loaded bands (and draws them) before the partner
    // block follows.
    OutEQParamSet();
    for (BankRec& r : app_.data.BankData)
        r.SpkNameStr[OutSel] = name;
    if ((OutSel == 0 || OutSel == 1) && Linked(OEQAB))
        app_.send->SpeakerEQLoad(file, OutEQCh + 1);
    app_.send->SendSpeakerName(OutSel);
    LockPanel[4]->setEnabled(true);
}

void MainWind::OutEQList_LostFocus() { OutEQList->hide(); }

void MainWind::OutEQ1_Click(int Index) {
    app_.DispBusy = 1;
    OutEQCh = Index;
    OEQChannel->setCurrentIndex(-1);
    OEQChannel->setCurrentIndex(OutToCh[Index]);
    // The same output again keeps its A/B choice: the block edited follows it.
    GetOutEQChannel();
    MainTab->setCurrentIndex(PageOutputEQ);
    app_.DispBusy = 0;
}

void MainWind::OutEQButton_Click(int Index) { OutEQ1_Click(Index); }

void MainWind::OutputEQShowFirst() {
    OEQChannel->setCurrentIndex(-1);
    OutSel = -1;
    OEQChannel->setCurrentIndex(0);
}

void MainWind::SpeakerListFill(const QList<SpeakerEntry>& speakers) {
    // A selection by code is no click: nothing is loaded.
    FillSpeakerList(OutEQList, speakers);
}
