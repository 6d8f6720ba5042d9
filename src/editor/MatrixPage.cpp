#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

// MATRIX: 13 source rows into the 4 outputs; each mono route has its mix
// level beside its switch. Column 0 holds the rows' captions, column 1 their
// names, 2..5 the outputs (each headed by its caption over its name), and
// 6..8 the companion units' link switches.
void MainWind::buildMatrixPage(QWidget* page) {
    QFrame* panel = LockPanel[2] = panel::LockPanelOn(page);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(12, 12, 12, 12);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(4);

    for (int k = 0; k < 4; ++k) {
        auto* head = new QVBoxLayout;
        head->setSpacing(2);
        head->addWidget(panel::Legend(QLatin1String(ChName[12 + k]), panel));
        MixOutName[k] = panel::NameStrip(panel, 90);
        head->addWidget(MixOutName[k]);
        grid->addLayout(head, 0, 2 + k, Qt::AlignLeft | Qt::AlignBottom);
    }
    for (int j = 0; j < 13; ++j) {
        if (j < 10)
            grid->addWidget(panel::Legend(QLatin1String(ChName[j]), panel), 1 + j, 0, Qt::AlignRight);
        if (j < 12) {
            MixInName[j] = panel::NameStrip(panel, 110);
            grid->addWidget(MixInName[j], 1 + j, 1);
        }
        for (int k = 0; k < 4; ++k) {
            const int i = 4 * j + k;
            auto* cell = new QHBoxLayout;
            cell->setSpacing(3);
            LineButton[i] = panel::Key(app_.images, QString(), panel, QSize(56, 22));
            cell->addWidget(LineButton[i]);
            if (i < 24)
                MixAttUpDn[i] = new UpDown(0, 0, panel);
            cell->addStretch(1);
            if (i < 24) {
                MixAttLabel[i] = new QLabel(panel);
                MixAttLabel[i]->setFixedWidth(36);
                MixAttLabel[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                cell->addWidget(MixAttLabel[i]);
                cell->addWidget(MixAttUpDn[i]);
            }
            grid->addLayout(cell, 1 + j, 2 + k);
        }
    }
    // The mono switches of OUT 1 and OUT 2, under their columns.
    for (int i = 0; i < 2; ++i) {
        MonoStereoButton[i] = new QPushButton(QStringLiteral("STEREO"), panel);
        MonoStereoButton[i]->setFixedSize(panel::KeySize);
        grid->addWidget(MonoStereoButton[i], 14, 2 + i, Qt::AlignLeft);
    }
    Label2[44] = panel::Legend(QStringLiteral("KL-VT20 1"), panel);
    grid->addWidget(Label2[44], 11, 0, Qt::AlignRight);
    Label2[43] = panel::Legend(QStringLiteral("KL-VT20 2"), panel);
    grid->addWidget(Label2[43], 12, 0, Qt::AlignRight);
    buildLinkSwitches(grid, 6);
    // REC OUT takes no part in the matrix; its name is shown with the outputs.
    grid->setRowMinimumHeight(14, 8);
    Label2[16] = panel::Legend(QStringLiteral("REC OUT"), panel);
    grid->addWidget(Label2[16], 15, 0, Qt::AlignRight);
    MixOutName[4] = panel::NameStrip(panel, 90);
    grid->addWidget(MixOutName[4], 15, 1, Qt::AlignLeft);

    auto* centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addLayout(grid);
    centred->addStretch(1);
    col->addLayout(centred);
    col->addStretch(1);
}

void MainWind::MatrixSwitchToggle(int Index) {
    const int k = Index & 3, j = Index / 4;
    MatrixRec& row = app_.data.BankData[app_.data.CurBank].Mix[k];
    uint8_t& sw = j < 12 ? row.SrcSwitch[j] : row.ExtraSwitch;
    const bool on = sw == 0;
    const auto show = [on](PicButton* b) {
        b->setToolTip(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
        b->setPicture(on ? ImageWind::Pic::SwOn : ImageWind::Pic::SwOff);
    };
    show(LineButton[Index]);
    if (Index < 24)
        MixAttUpDn[Index]->setEnabled(on);
    if (Index < 40)
        show(InOut[Index]);
    sw = on ? 1 : 0;
    app_.send->SendMatrixSW(k);
}
