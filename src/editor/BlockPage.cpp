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
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

constexpr int NameWidth = 96;

// A captioned panel: the caption printed above it, the panel added to col.
QFrame* Section(const QString& title, QWidget* parent, QBoxLayout* col, int stretch = 0) {
    auto* box = new QVBoxLayout;
    box->setSpacing(3);
    box->addWidget(panel::Legend(title, parent));
    QFrame* f = panel::Panel(parent);
    box->addWidget(f, 1);
    col->addLayout(box, stretch);
    return f;
}

} // namespace

// BLOCK: the signal flow at a glance: inputs, outputs with their block
// meters, and the quick-recall keys.
void MainWind::buildBlockPage(QWidget* page) {
    QFrame* panel = LockPanel[0] = panel::LockPanelOn(page);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(12, 12, 12, 12);
    col->setSpacing(12);
    auto* row = new QHBoxLayout;
    row->setSpacing(12);

    // Each row: the port's fixed caption, then the user's name for it.
    QFrame* inputs = Section(QStringLiteral("INPUT"), panel, row);
    auto* inGrid = new QGridLayout(inputs);
    inGrid->setContentsMargins(10, 10, 10, 10);
    inGrid->setVerticalSpacing(5);
    for (int c = 0; c < 12; ++c) {
        QLabel* caption = panel::Legend(QLatin1String(ChName[c]), inputs);
        // The companion inputs' captions rename them, as their names do.
        (c < 10 ? InLine[c] : Label2[c]) = caption;
        inGrid->addWidget(caption, c, 0);
        InLineName[c] = panel::NameStrip(inputs, NameWidth);
        // The default name, for the rename prompt.
        InLineName[c]->setProperty("Tag", QLatin1String(ChName[c]));
        inGrid->addWidget(InLineName[c], c, 1);
        if (c < 10) {
            SignalPeak[c] = new Lamp(inputs);
            inGrid->addWidget(SignalPeak[c], c, 2);
            InVrButton[c] = levelButton(QStringLiteral("Adjust the Input Level."), inputs);
            inGrid->addWidget(InVrButton[c], c, 4);
            inGrid->addWidget(buildInEQButton(c, inputs), c, 5);
        }
        if (c < 6)
            inGrid->addWidget(buildGainButton(c, inputs), c, 3);
    }
    inGrid->setRowStretch(12, 1);
    row->addStretch(1);
    MixButton = new QPushButton(QStringLiteral("MATRIX"), panel);
    row->addWidget(MixButton, 0, Qt::AlignVCenter);
    row->addStretch(1);

    QFrame* outputs = Section(QStringLiteral("OUTPUT"), panel, row);
    auto* outGrid = new QGridLayout(outputs);
    outGrid->setContentsMargins(10, 10, 10, 10);
    outGrid->setVerticalSpacing(5);
    outGrid->setHorizontalSpacing(6);
    for (int k = 0; k < 5; ++k) {
        const QString port = k < 4 ? QLatin1String(ChName[12 + k]) : QStringLiteral("REC OUT");
        QLabel* caption = panel::Legend(port, outputs);
        if (k < 4)
            OutLine[ChToOut[k]] = caption;
        outGrid->addWidget(caption, k, 0);
        OutLineName[k] = panel::NameStrip(outputs, NameWidth);
        OutLineName[k]->setProperty("Tag", port);
        outGrid->addWidget(OutLineName[k], k, 1);
        if (k < 4) {
            OutVrButton[ChToOut[k]] = levelButton(QString(), outputs);
            outGrid->addWidget(OutVrButton[ChToOut[k]], k, 3);
            outGrid->addWidget(buildDelayButton(ChToOut[k], outputs), k, 4);
            outGrid->addWidget(buildOutEQButton(ChToOut[k], outputs), k, 5);
        }
    }
    // Blocks A and B of OUT 1 and OUT 2, one meter above the other.
    for (int i = 0; i < 4; ++i) {
        OutMeterImage[i] = panel::MeterBox(outputs, QSize(72, 9));
        app_.images.PictureCopy(Pic::BlockMeter, 0, OutMeterImage[i]);
    }
    for (int k = 0; k < 2; ++k) {
        auto* pair = new QVBoxLayout;
        pair->setSpacing(2);
        pair->addWidget(OutMeterImage[2 * k]);
        pair->addWidget(OutMeterImage[2 * k + 1]);
        outGrid->addLayout(pair, k, 2);
    }
    for (int k : {2, 3}) {
        OutSignalPeak[ChToOut[k]] = new Lamp(outputs);
        outGrid->addWidget(OutSignalPeak[ChToOut[k]], k, 2, Qt::AlignLeft);
    }
    outGrid->setColumnMinimumWidth(2, 72);
    outGrid->setRowStretch(5, 1);
    col->addLayout(row, 1);

    QFrame* memory = Section(QStringLiteral("MEMORY"), panel, col);
    // The captions that join the keys share the whole row alike.
    auto* keys = new EvenRow(memory);
    keys->setContentsMargins(10, 8, 10, 8);
    keys->setSpacing(16);
    for (int i = 0; i < 4; ++i) {
        PatternBtn[i] = panel::Key(app_.images, QString(), memory);
        keys->addWidget(PatternBtn[i]);
    }
}
