#include "editor/BalWind.h"

#include "editor/MainWind.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

BalWind::BalWind(App& app, MainWind& main, QWidget* parent)
    : FaceDialog(app.images, {18, 14, 18, 14}, 10, parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("BalWind"));
    setWindowTitle(QStringLiteral("BALANCE"));
    QVBoxLayout* col = column();

    col->addLayout(panel::PortHead(face_, 120, LineCH, LineName));

    QFrame* f = panel::Panel(face_);
    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(12, 8, 12, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    BalLabel = panel::Legend(QStringLiteral("BALANCE"), f);
    BalALabel = panel::Legend(QStringLiteral("A"), f);
    BalBLabel = panel::Legend(QStringLiteral("B"), f);
    OutBalLabel[0] = balance::MakeDbLabel(f);
    OutBalLabel[1] = balance::MakeDbLabel(f);
    BalVol = balance::MakeKnob(f);
    OutBallance = balance::MakeSlider(f);
    OutBallance->setMinimumWidth(180);
    grid->addWidget(BalLabel, 0, 0, 1, 3);
    grid->addWidget(BalALabel, 1, 0, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(BalBLabel, 1, 2, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(OutBalLabel[0], 2, 0, Qt::AlignTop);
    grid->addWidget(OutBalLabel[1], 2, 2, Qt::AlignTop);
    grid->addWidget(BalVol, 1, 1, 2, 1, Qt::AlignHCenter);
    grid->addWidget(OutBallance, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    col->addWidget(f);

    CloseButton = panel::CloseKey(app.images, face_, {76, 26});
    col->addWidget(CloseButton, 0, Qt::AlignRight);

    connect(OutBallance, &QSlider::valueChanged, this, &BalWind::OutBallance_Change);
    BalVol->onPress = [this](Qt::MouseButton b) { BalVol_MouseDown(b); };
    BalVol->onRelease = [this] { BalVol_MouseUp(); };
    BalVol->onDoubleClick = [this] { BalVol_DblClick(); };
    connect(CloseButton, &PicButton::clicked, this, &BalWind::CloseButton_Click);
    BalWindTimer.setInterval(knobhold::FirstStepMs);
    connect(&BalWindTimer, &QTimer::timeout, this, &BalWind::BalWindTimer_Timer);
    Form_Initialize();
}

void BalWind::Form_Initialize() {
    CloseButton->setPicture(ImageWind::Pic::SwOff);
    DispBalVol();
}

// Hidden, not closed: the dialog is kept for the next opening.
void BalWind::CloseButton_Click() { accept(); }
