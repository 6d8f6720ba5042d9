#include "editor/DelayWind.h"

#include "editor/PanelParts.h"
#include "startwin/App.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

DelayWind::DelayWind(App& app, QWidget* parent)
    : FaceDialog(app.images, {18, 14, 18, 14}, 10, parent), app_(app) {
    setObjectName(QStringLiteral("DelayWind"));
    setWindowTitle(QStringLiteral("DELAY"));
    QVBoxLayout* col = column();

    col->addLayout(panel::PortHead(face_, 120, LineCH, LineName));

    QFrame* f = panel::Panel(face_);
    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(12, 8, 12, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    TimeLabel = delay::MakeLabel(f);
    DistLabel = delay::MakeLabel(f);
    TimeUpDown = delay::MakeUpDown(f);
    DistUpDown = delay::MakeUpDown(f);
    grid->addWidget(panel::Legend(QStringLiteral("TIME"), f), 0, 0);
    grid->addWidget(TimeLabel, 0, 1);
    grid->addWidget(TimeUpDown, 0, 2);
    grid->addWidget(panel::Legend(QStringLiteral("DISTANCE"), f), 1, 0);
    grid->addWidget(DistLabel, 1, 1);
    grid->addWidget(DistUpDown, 1, 2);
    col->addWidget(f);

    CloseButton = panel::CloseKey(app.images, face_, {76, 26});
    col->addWidget(CloseButton, 0, Qt::AlignRight);

    connect(TimeUpDown, &QSpinBox::valueChanged, this, &DelayWind::TimeUpDown_Change);
    connect(DistUpDown, &QSpinBox::valueChanged, this, &DelayWind::DistUpDown_Change);
    connect(CloseButton, &PicButton::clicked, this, &DelayWind::CloseButton_Click);
    Form_Initialize();
}

void DelayWind::Form_Initialize() { CloseButton->setPicture(ImageWind::Pic::SwOff); }

// Hidden, not closed: the dialog is kept for the next opening.
void DelayWind::CloseButton_Click() { accept(); }
