// The MISC page's mute-group keys and feedback suppressors, which the
// input strips' proxy keys switch. Only the switches are here; the groups'
// levels and release times and DispSystemParam are not built yet.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

// A captioned column of six check boxes on a MISC panel, captioned with the
// channel names from first on.
void SwitchColumn(QFrame* panel, const QString& title, int first, std::array<QCheckBox*, 6>& boxes) {
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(12, 10, 12, 10);
    col->setSpacing(4);
    col->addWidget(panel::Legend(title, panel));
    for (int i = 0; i < 6; ++i) {
        boxes[static_cast<std::size_t>(i)] = new QCheckBox(QLatin1String(ChName[first + i]), panel);
        col->addWidget(boxes[static_cast<std::size_t>(i)]);
    }
    col->addStretch(1);
}

// The mask of the ticked boxes; each key shows its box's state.
uint8_t GroupMask(const std::array<QCheckBox*, 6>& boxes, PicButton* const* keys, int keyCount) {
    uint8_t mask = 0;
    for (int i = 0; i < 6; ++i) {
        const bool on = boxes[static_cast<std::size_t>(i)]->isChecked();
        if (on)
            mask = static_cast<uint8_t>(mask | 1 << i);
        if (i < keyCount) {
            keys[i]->setPicture(on ? Pic::SwOn : Pic::SwOff);
            keys[i]->setToolTip(on ? QStringLiteral("Enable") : QStringLiteral("Disable"));
        }
    }
    return mask;
}

} // namespace

void MainWind::buildMiscSwitches() {
    SwitchColumn(Picture2[0], QStringLiteral("Priority Ducker Key "), 0, SACheck);
    SwitchColumn(Picture2[1], QStringLiteral("Music Override Key"), 6, SMCheck);
    SwitchColumn(Picture2[2], QStringLiteral("Feedback Suppressor"), 0, SHawling);
    for (int i = 0; i < 6; ++i) {
        connect(SACheck[i], &QCheckBox::toggled, this, [this, i] { SACheck_Click(i); });
        connect(SMCheck[i], &QCheckBox::toggled, this, [this, i] { SMCheck_Click(i); });
        connect(SHawling[i], &QCheckBox::toggled, this, [this, i] { SHawling_Click(i); });
    }
}

void MainWind::SACheck_Click(int) {
    if (app_.DispBusy == 1)
        return;
    app_.data.BankData[app_.data.CurBank].SAMask = GroupMask(SACheck, inMute.data(), 6);
    app_.send->SendSAParam();
}

void MainWind::SMCheck_Click(int) {
    if (app_.DispBusy == 1)
        return;
    // The companion unit's two inputs have no key on the strips.
    app_.data.BankData[app_.data.CurBank].SMMask = GroupMask(SMCheck, inMMute.data(), 4);
    app_.send->SendSMParam();
}

void MainWind::SHawling_Click(int Index) {
    InRec& in = app_.data.BankData[app_.data.CurBank].In[Index];
    const uint8_t on = SHawling[Index]->isChecked() ? 1 : 0;
    if (on == in.HSOn)
        return;
    in.HSOn = on;
    InHS1[Index]->setPicture(on != 0 ? Pic::SwOn : Pic::SwOff);
    app_.send->SendInputHowling(Index);
}
