#include "startwin/SPSelectWind.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

SPSelectWind::SPSelectWind(const ImageWind& store, QWidget* parent) : FaceDialog(store, {18, 16, 18, 14}, 8, parent) {
    setObjectName(QStringLiteral("SPSelectWind"));
    setWindowTitle(QStringLiteral("Select speaker"));

    LineName = new NameLabel(face_);
    LineName->setFont(Scaled(LineName->font(), 1.2, true));
    SpeakerList = new QListWidget(face_);
    SpeakerList->setFixedSize(260, 220);
    // The hint takes the list's place, at its size, so the dialog keeps
    // its shape.
    EmptyHint = new QLabel(QStringLiteral("No speaker files found.\n\nCopy the speaker files (*.spp) into the "
                                          "folder \"spkr\" beside this program and start it again."),
                           face_);
    EmptyHint->setFixedSize(SpeakerList->size());
    EmptyHint->setWordWrap(true);
    EmptyHint->setAlignment(Qt::AlignCenter);
    EmptyHint->setFrameShape(QFrame::StyledPanel);
    NoSelect = new QCheckBox(QStringLiteral("スピーカー選択なし (FLAT)"), face_);
    OKButton = new PicButton(store, QStringLiteral("O K"), face_);
    CloseButton = new PicButton(store, QStringLiteral("CLOSE"), face_);
    auto* buttons = new QHBoxLayout;
    for (PicButton* b : {OKButton, CloseButton}) {
        b->setFixedSize(110, 30);
        buttons->addWidget(b);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{LineName, SpeakerList, EmptyHint, NoSelect})
        column()->addWidget(w);
    column()->addLayout(buttons);

    connect(OKButton, &QAbstractButton::clicked, this, &SPSelectWind::OKButton_Click);
    connect(CloseButton, &QAbstractButton::clicked, this, &SPSelectWind::CloseButton_Click);
    connect(SpeakerList, &QListWidget::itemDoubleClicked, this, &SPSelectWind::OKButton_Click);
}

void FillSpeakerList(QListWidget* list, const QList<SpeakerEntry>& speakers) {
    list->clear();
    for (const SpeakerEntry& s : speakers) {
        auto* item = new QListWidgetItem(s.name, list);
        item->setData(Qt::UserRole, s.stem);
    }
    list->setCurrentRow(0);
}

void SPSelectWind::Form_Activate() {
    SetPicture(startWindowVisible && startWindowVisible());
    OKButton->setPicture(ImageWind::Pic::BigBar);
    CloseButton->setPicture(ImageWind::Pic::BigBar);
    SpeakerList->setVisible(SpeakerList->count() != 0);
    EmptyHint->setVisible(SpeakerList->count() == 0);
}

void SPSelectWind::OKButton_Click() { hide(); }

// Closing chooses nothing.
void SPSelectWind::CloseButton_Click() {
    SpeakerList->clearSelection();
    hide();
}
