// The matrix: the grid's switches, the mono inputs' mix levels and their
// refresh on the editor's pages and the start window.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

namespace {

using Pic = ImageWind::Pic;

QString LevelText(uint8_t level) {
    const double db = LevelTbl[level & 0x7F];
    return db == LevelOff ? QStringLiteral("-Inf") : QString::number(db, 'f', 1);
}

void ShowSwitch(PicButton* b, bool on) {
    b->setTint(QColor());
    b->setPicture(on ? Pic::SwOn : Pic::SwOff);
    b->setToolTip(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

uint8_t SwitchOf(const MatrixRec& row, int j) { return j < 12 ? row.SrcSwitch[j] : row.ExtraSwitch; }

} // namespace

void MainWind::connectMatrix() {
    for (int i = 0; i < static_cast<int>(LineButton.size()); ++i)
        connect(LineButton[i], &PicButton::clicked, this, [this, i] { LineButton_Click(i); });
    for (int i = 0; i < static_cast<int>(MixAttUpDn.size()); ++i)
        connect(MixAttUpDn[i], &QSpinBox::valueChanged, this, [this, i] { MixAttUpDn_Change(i); });
    connect(MixButton, &QPushButton::clicked, this, &MainWind::MixButton_Click);
    // Only the input and output captions forward their clicks.
    for (int i = 0; i <= 16; ++i)
        if (Label2[i])
            panel::OnClick(Label2[i], [this, i] { Label2_Click(i); });
}

void MainWind::LineButton_Click(int Index) {
    if (LineButton[Index]->tint() == QColor::fromRgb(VbColor(RemoteBack)))
        return;
    MatrixSwitchToggle(Index);
}

// The refresh sets the control from the record; finding the record equal
// keeps it from sending.
void MainWind::MixAttUpDn_Change(int Index) {
    const int k = Index & 3, j = Index / 4;
    uint8_t& level = app_.data.BankData[app_.data.CurBank].Mix[k].MixLevel[j];
    const int v = MixAttUpDn[Index]->value();
    if (level == 24 - v)
        return;
    level = static_cast<uint8_t>(24 - v);
    MixAttLabel[Index]->setText(LevelText(level));
    app_.send->SendMatrixLevel(k);
}

void MainWind::MixButton_Click() { MainTab->setCurrentIndex(PageMatrix); }

void MainWind::Label2_Click(int Index) {
    if (Index < 12)
        InLineName_Click(Index);
    else if (Index <= 16)
        OutLineName_Click(Index - 12);
}

void MainWind::DispMatrix() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 13; ++j) {
            const int i = 4 * j + k;
            const bool on = SwitchOf(r.Mix[k], j) != 0;
            ShowSwitch(LineButton[i], on);
            if (i < 24)
                MixAttUpDn[i]->setEnabled(on);
            ShowSwitch(top_.LineButton[i], on);
            if (j < 10)
                ShowSwitch(InOut[i], on);
        }
    }
    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 6; ++j) {
            const int i = 4 * j + k;
            const uint8_t level = r.Mix[k].MixLevel[j];
            MixAttUpDn[i]->setValue(std::min(24 - level, 0));
            MixAttLabel[i]->setText(LevelText(level));
        }
    }
    DispRemoteButtons();
    DispVT20Link();
}
