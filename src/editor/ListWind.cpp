#include "editor/ListWind.h"

#include "editor/PopupPlace.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

ListWind::ListWind(const ImageWind& images, QWidget* parent)
    : FaceDialog(images, {22, 16, 22, 14}, 10, parent) {
    setObjectName(QStringLiteral("ListWind"));
    setWindowTitle(QStringLiteral("SELECT"));
    QVBoxLayout* col = column();

    SelText = new QLabel(face_);
    SelText->setFont(Scaled(SelText->font(), 1.15, true));
    SelList = new QComboBox(face_);
    SelList->setMinimumWidth(130);
    SelList->setMaxVisibleItems(16);
    SelList->setFont(Scaled(SelList->font(), 1.1));
    Tani = new QLabel(face_);
    Tani->setFont(Scaled(Tani->font(), 1.1, true));
    Tani->setMinimumWidth(36);
    OKButton = new PicButton(images, QStringLiteral("O K"), face_);
    OKButton->setFixedSize(images.NaturalSize(ImageWind::Pic::BigBar));

    col->addWidget(SelText);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(SelList, 1);
    row->addWidget(Tani);
    col->addLayout(row);
    auto* foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(OKButton);
    col->addSpacing(4);
    col->addLayout(foot);

    connect(OKButton, &PicButton::clicked, this, &ListWind::OKButton_Click);
    Form_Initialize();
}

void ListWind::Form_Initialize() {
    OKButton->setPicture(ImageWind::Pic::BigBar);
}

// The list takes the keys, so that the arrows step through the values.
void ListWind::Form_Activate() {
    SelList->setFocus();
}

void ListWind::OKButton_Click() {
    accept();
}

void ListWind::reject() {
    OKButton_Click();
}

int ListWind::Pick(const QString& prompt, const QString& unit, const QStringList& values, int current,
                   QWidget* beside) {
    SelText->setText(prompt);
    Tani->setText(unit);
    SelList->clear();
    SelList->addItems(values);
    // A value outside the list (a damaged record) shows as its nearest end,
    // so that the dialog never ends on no selection.
    if (!values.isEmpty()) SelList->setCurrentIndex(std::clamp(current, 0, int(values.size()) - 1));
    popup::ExecBeside(*this, beside, false);
    return SelList->currentIndex();
}
