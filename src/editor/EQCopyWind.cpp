#include "editor/EQCopyWind.h"

#include "data/ParamData.h"
#include "editor/PanelParts.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int NameWidth = 150;
constexpr QSize ButtonSize{84, 26};

const char* const OutBlockCaption[] = {"OUT 1A", "OUT 1B", "OUT 2A", "OUT 2B", "OUT 3", "OUT 4"};
// The A and B blocks of OUT 1 and OUT 2 are one channel with one name.
constexpr int OutputOfBlock[] = {0, 0, 1, 1, 2, 3};

} // namespace

EQCopyWind::EQCopyWind(const ImageWind& images, const ParamData& data, int positions, QWidget* parent)
    : FaceDialog(images, {22, 16, 22, 14}, 10, parent), data_(data) {
    setWindowTitle(QStringLiteral("EQ COPY"));
    QVBoxLayout* col = column();

    Message = new QLabel(QStringLiteral("Select the destination."), face_);
    Message->setFont(Scaled(Message->font(), 1.15, true));
    col->addWidget(Message);

    QFrame* list = panel::Panel(face_);
    auto* grid = new QGridLayout(list);
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    options_ = new QButtonGroup(this);
    for (int i = 0; i < positions; ++i) {
        auto* option = new QRadioButton(list);
        option->setCursor(Qt::PointingHandCursor);
        options_->addButton(option, i);
        QLabel* caption = panel::Legend(QString(), list);
        caption->setMinimumWidth(64);
        QLabel* name = panel::NameStrip(list, NameWidth);
        // The source's name greys out with its option.
        QPalette pal = name->palette();
        pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9A, 0xA0, 0xA8));
        pal.setColor(QPalette::Disabled, QPalette::Window, QColor(0xE6, 0xE8, 0xEB));
        name->setPalette(pal);
        grid->addWidget(option, i, 0);
        grid->addWidget(caption, i, 1);
        grid->addWidget(name, i, 2);
        Option1.append(option);
        ChannelName.append(caption);
        MonoName.append(name);
    }
    col->addWidget(list);

    OKButton = panel::Key(images, QStringLiteral("O K"), face_, ButtonSize);
    OKButton->setToolTip(QStringLiteral("Copy."));
    CancelButton = panel::Key(images, QStringLiteral("CANCEL"), face_, ButtonSize);
    CancelButton->setToolTip(QStringLiteral("Cancel."));
    auto* foot = new QHBoxLayout;
    foot->setSpacing(10);
    foot->addStretch(1);
    foot->addWidget(OKButton);
    foot->addWidget(CancelButton);
    col->addSpacing(4);
    col->addLayout(foot);

    connect(OKButton, &PicButton::clicked, this, &EQCopyWind::OKButton_Click);
    connect(CancelButton, &PicButton::clicked, this, &EQCopyWind::CancelButton_Click);
    Form_Initialize();
}

void EQCopyWind::Form_Initialize() {
    ReturnCh = -1;
    OKButton->setPicture(ImageWind::Pic::SwOff);
    CancelButton->setPicture(ImageWind::Pic::SwOff);
}

void EQCopyWind::Form_Activate() {
    // An exclusive group keeps one option checked: lift that to clear them all.
    options_->setExclusive(false);
    for (int i = 0; i < Option1.size(); ++i) {
        ChannelName[i]->setText(channelCaption(i));
        MonoName[i]->setText(channelName(i));
        Option1[i]->setChecked(false);
        const bool destination = i != SourceCh;
        Option1[i]->setEnabled(destination);
        MonoName[i]->setEnabled(destination);
    }
    options_->setExclusive(true);
}

void EQCopyWind::OKButton_Click() {
    ReturnCh = -1;
    for (int i = 0; i < Option1.size(); ++i) {
        if (Option1[i]->isChecked()) {
            ReturnCh = i;
            break;
        }
    }
    accept();
}

void EQCopyWind::CancelButton_Click() {
    ReturnCh = -1;
    QDialog::reject();
}

// The close box and Esc: the same as CANCEL.
void EQCopyWind::reject() {
    CancelButton_Click();
}

EQCopyWind1::EQCopyWind1(const ImageWind& images, const ParamData& data, QWidget* parent)
    : EQCopyWind(images, data, 6, parent) {
    setObjectName(QStringLiteral("EQCopyWind1"));
}

QString EQCopyWind1::channelCaption(int i) const {
    return CopyMode == 0 ? QStringLiteral("MONO %1").arg(i + 1) : QLatin1String(OutBlockCaption[i]);
}

QString EQCopyWind1::channelName(int i) const {
    const BankRec& rec = data_.BankData[data_.CurBank];
    return CopyMode == 0 ? rec.InNameStr[i] : rec.OutNameStr[OutputOfBlock[i]];
}

EQCopyWind2::EQCopyWind2(const ImageWind& images, const ParamData& data, QWidget* parent)
    : EQCopyWind(images, data, 4, parent) {
    setObjectName(QStringLiteral("EQCopyWind2"));
}

QString EQCopyWind2::channelCaption(int i) const {
    return CopyMode == 0 ? QStringLiteral("STEREO %1").arg(i + 1) : QStringLiteral("OUT %1").arg(i + 1);
}

QString EQCopyWind2::channelName(int i) const {
    const BankRec& rec = data_.BankData[data_.CurBank];
    return CopyMode == 0 ? rec.InNameStr[i + 6] : rec.OutNameStr[i];
}
