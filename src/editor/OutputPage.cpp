#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

} // namespace

// OUTPUT: one strip per output channel, on its first output block.
void MainWind::buildOutputPage(QWidget* page) {
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addStretch(1);
    for (int k = 0; k < 4; ++k) {
        buildOutputStrip(k);
        row->addWidget(Frame2[k]);
    }
    row->addStretch(1);
    QVBoxLayout* col = panel::PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}

void MainWind::buildOutputStrip(int k) {
    const int o = ChToOut[k];
    QFrame* strip = Frame2[k] = panel::Panel(nullptr);
    auto* col = new QVBoxLayout(strip);
    col->setContentsMargins(8, 6, 8, 8);
    col->setSpacing(6);
    col->addWidget(panel::Legend(QLatin1String(ChName[12 + k]), strip), 0, Qt::AlignHCenter);
    OutName[k] = panel::NameStrip(strip, 150);
    col->addWidget(OutName[k], 0, Qt::AlignHCenter);

    auto* body = new QHBoxLayout;
    body->setSpacing(8);
    auto* keys = new QVBoxLayout;
    keys->setSpacing(5);
    if (k < 2) {
        OutMonoSW[k] = panel::Key(app_.images, QStringLiteral("STEREO"), strip);
        keys->addWidget(OutMonoSW[k]);
    } else {
        keys->addSpacing(panel::KeySize.height() + keys->spacing());
    }
    OutEQ1[o] = panel::Key(app_.images, QStringLiteral("E Q"), strip);
    OutDelay1[o] = panel::Key(app_.images, QStringLiteral("DELAY"), strip);
    OutLockSW[o] = panel::Key(app_.images, QStringLiteral("LOCK"), strip);
    OutAdjSW[o] = panel::Key(app_.images, QStringLiteral("LINK"), strip);
    for (PicButton* b : {OutEQ1[o], OutDelay1[o], OutLockSW[o], OutAdjSW[o]})
        keys->addWidget(b);
    keys->addStretch(1);
    body->addLayout(keys);

    auto* faderCol = new QVBoxLayout;
    faderCol->addStretch(1);
    FaderBay* bay = addFaderBay(strip, 10 + k, k);
    Slider1[o] = bay->slider();
    OutFaderPos[o] = bay->knobMark();
    OutFaderVRImg[o] = bay->memoryMark();
    faderCol->addWidget(bay);
    body->addLayout(faderCol);

    // Meters of blocks A and B of OUT 1 and OUT 2.
    auto* meters = new QHBoxLayout;
    meters->setSpacing(3);
    if (k < 2) {
        for (int i = 2 * k; i < 2 * k + 2; ++i) {
            OutMeter[i] = panel::MeterBox(strip, QSize(10, 110));
            app_.images.PictureCopy(Pic::Meter, 7, OutMeter[i]);
            meters->addWidget(OutMeter[i], 0, Qt::AlignBottom);
        }
    } else {
        OutSignal[o] = new Lamp(strip);
        OutPeak[o] = new Lamp(strip);
        OutSignal[o]->setToolTip(QStringLiteral("SIGNAL"));
        OutPeak[o]->setToolTip(QStringLiteral("PEAK"));
        auto* pair = new QVBoxLayout;
        pair->addStretch(1);
        pair->addWidget(OutSignal[o]);
        pair->addWidget(OutPeak[o]);
        meters->addLayout(pair);
    }
    body->addLayout(meters);
    col->addLayout(body);
    if (k < 2)
        col->addWidget(buildBalance(o, strip));
    col->addStretch(1);
}
