// The MISC page: the two automatic mute groups (keys, mute level, release
// times), the feedback suppressor of each mono input, and the refresh of the
// system bytes of the record.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

// A captioned column of six check boxes on a MISC panel for the inputs from
// first on, each with the input's name and then its port caption beside it;
// captions, when given, receives the captions.
using SixLabels = std::array<QLabel*, 6>;
QVBoxLayout* SwitchColumn(QFrame* panel, const QString& title, int first, std::array<QCheckBox*, 6>& boxes,
                          SixLabels& names, SixLabels* captions = nullptr) {
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(12, 10, 12, 10);
    col->setSpacing(4);
    col->addWidget(panel::Legend(title, panel));
    for (std::size_t i = 0; i < 6; ++i) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        boxes[i] = new QCheckBox(panel);
        names[i] = panel::NameStrip(panel, 110);
        QLabel* caption = panel::Legend(QLatin1String(ChName[static_cast<std::size_t>(first) + i]), panel);
        if (captions)
            (*captions)[i] = caption;
        row->addWidget(boxes[i]);
        row->addWidget(names[i]);
        row->addWidget(caption);
        row->addStretch(1);
        col->addLayout(row);
    }
    return col;
}

// An up-down with its value label and unit under a group's keys.
void ValueRow(QVBoxLayout* col, const QString& title, QSpinBox*& box, QLabel*& value, const QString& unit,
              int lo, int hi) {
    auto* row = new QHBoxLayout;
    QWidget* parent = col->parentWidget();
    row->addWidget(panel::Legend(title, parent));
    row->addStretch(1);
    value = panel::BoxLabel(parent, QSize(48, 20), 0xF6FBFB);
    row->addWidget(value);
    row->addWidget(panel::Legend(unit, parent));
    box = new UpDown(lo, hi, parent);
    row->addWidget(box);
    col->addLayout(row);
}

QString Seconds(int halfSeconds) { return QString::number(halfSeconds * 0.5, 'f', 1); }

// The key's picture and tooltip for a group member.
void ShowMember(PicButton* key, bool on) {
    key->setPicture(on ? Pic::SwOn : Pic::SwOff);
    key->setToolTip(on ? QStringLiteral("Enable") : QStringLiteral("Disable"));
}

// The mask of the ticked boxes; each key shows its box's state.
uint8_t GroupMask(const std::array<QCheckBox*, 6>& boxes, PicButton* const* keys, int keyCount) {
    uint8_t mask = 0;
    for (int i = 0; i < 6; ++i) {
        const bool on = boxes[static_cast<std::size_t>(i)]->isChecked();
        if (on)
            mask = static_cast<uint8_t>(mask | 1 << i);
        if (i < keyCount)
            ShowMember(keys[i], on);
    }
    return mask;
}

} // namespace

void MainWind::buildMiscSwitches() {
    QVBoxLayout* sa = SwitchColumn(Picture2[0], QStringLiteral("Priority Ducker Key "), 0, SACheck, SAName);
    ValueRow(sa, QStringLiteral("   Mute Level"), SAMuteUpDown[0], SAMuteLabel[0], QStringLiteral("dB"), -69, 0);
    ValueRow(sa, QStringLiteral("Release Time"), SAMuteUpDown[1], SAMuteLabel[1], QStringLiteral("sec"), 0, 12);
    sa->addStretch(1);
    // The companion inputs' captions are locked with their units.
    SixLabels keys{};
    QVBoxLayout* sm =
        SwitchColumn(Picture2[1], QStringLiteral("Music Override Key"), 6, SMCheck, SMName, &keys);
    Label2[95] = keys[4];
    Label2[94] = keys[5];
    ValueRow(sm, QStringLiteral("Release Time"), SMMuteUpDown, SMMuteLabel, QStringLiteral("sec"), 0, 12);
    sm->addStretch(1);
    QVBoxLayout* sh = SwitchColumn(Picture2[2], QStringLiteral("Feedback Suppressor"), 0, SHawling, SHName);
    sh->addStretch(1);
    sh->addWidget(buildHawlingButton(Picture2[2]), 0, Qt::AlignHCenter);
    for (int i = 0; i < 2; ++i)
        connect(SAMuteUpDown[i], &QSpinBox::valueChanged, this, [this, i] { SAMuteUpDown_Change(i); });
    connect(SMMuteUpDown, &QSpinBox::valueChanged, this, &MainWind::SMMuteUpDown_Change);
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

void MainWind::SAMuteUpDown_Change(int Index) {
    if (app_.DispBusy == 1)
        return;
    BankFixed& r = app_.data.BankData[app_.data.CurBank];
    const int v = SAMuteUpDown[Index]->value();
    if (Index == 0) {
        if (r.SAAtt == 24 - v)
            return;
        r.SAAtt = static_cast<uint8_t>(24 - v);
        SAMuteLabel[0]->setText(QString::number(TableAt(LevelTbl, r.SAAtt), 'f', 1));
    } else {
        if (r.SATime == v)
            return;
        r.SATime = static_cast<uint8_t>(v);
        SAMuteLabel[1]->setText(Seconds(v));
    }
    app_.send->SendSAParam();
}

void MainWind::SMMuteUpDown_Change() {
    // The refresh must not send a release time the up-down had to bring
    // into its range.
    if (app_.DispBusy == 1)
        return;
    BankFixed& r = app_.data.BankData[app_.data.CurBank];
    const int v = SMMuteUpDown->value();
    if (r.SMTime == v)
        return;
    r.SMTime = static_cast<uint8_t>(v);
    SMMuteLabel->setText(Seconds(v));
    app_.send->SendSMParam();
}

// The mute groups and the other system bytes of record CurBank, with the
// mono switches.
void MainWind::DispSystemParam() {
    const BankFixed& r = app_.data.BankData[app_.data.CurBank];
    ShowMonoStereo(0);
    ShowMonoStereo(1);
    for (int i = 0; i < 6; ++i) {
        const bool on = (r.SAMask >> i & 1) != 0;
        SACheck[i]->setChecked(on);
        ShowMember(inMute[i], on);
    }
    SAMuteUpDown[0]->setValue(std::min(24 - r.SAAtt, 0));
    SAMuteLabel[0]->setText(QString::number(TableAt(LevelTbl, r.SAAtt), 'f', 1));
    SAMuteUpDown[1]->setValue(r.SATime);
    SAMuteLabel[1]->setText(Seconds(r.SATime));
    for (int i = 0; i < 6; ++i) {
        const bool on = (r.SMMask >> i & 1) != 0;
        SMCheck[i]->setChecked(on);
        if (i < 4)
            ShowMember(inMMute[i], on);
    }
    SMMuteUpDown->setValue(r.SMTime);
    SMMuteLabel->setText(Seconds(r.SMTime));
    for (int i = 0; i < 4; ++i) {
        SKLVT201[i]->setChecked((r.VT20Out1Mask >> i & 1) != 0);
        SKLVT202[i]->setChecked((r.VT20Out2Mask >> i & 1) != 0);
    }
    DispExInput();
    for (int i = 0; i < 4; ++i) {
        PatternBtn[i]->setPicture(Pic::SwOff);
        SMemLink[i]->setPicture(Pic::SwOff);
    }
}
