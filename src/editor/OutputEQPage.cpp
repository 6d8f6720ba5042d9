#include "editor/MainWind.h"

#include "editor/EQGraph.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

// OUTPUT EQ: the response graph of the chosen output, with its A/B choice,
// EQ switch, copy and speaker presets beside it.
void MainWind::buildOutputEQPage(QWidget* page) {
    QFrame* panel = LockPanel[4] = panel::LockPanelOn(page);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(16);
    row->addStretch(1);

    auto* graphCol = new QVBoxLayout;
    PicGraph = new EQGraph(panel);
    PicGraph->setFixedSize(PicGraph->sizeHint());
    graphCol->addWidget(PicGraph);
    graphCol->addWidget(buildBandControls(panel));
    graphCol->addStretch(1);
    row->addLayout(graphCol);

    auto* side = new QVBoxLayout;
    side->setSpacing(8);
    auto* channel = new QHBoxLayout;
    channel->setSpacing(8);
    OEQChannel = new QComboBox(panel);
    for (int k = 1; k <= 4; ++k)
        OEQChannel->addItem(QStringLiteral("OUT %1").arg(k));
    // No output is chosen until editing begins.
    OEQChannel->setCurrentIndex(-1);
    OEQChannel->setFixedWidth(84);
    channel->addWidget(OEQChannel);
    OEQName = panel::NameStrip(panel, 150);
    channel->addWidget(OEQName);
    channel->addStretch(1);
    side->addLayout(channel);
    OEQABPanel = new QFrame(panel);
    OEQABPanel->setFrameShape(QFrame::Box);
    auto* ab = new QHBoxLayout(OEQABPanel);
    ab->setContentsMargins(0, 0, 0, 0);
    ab->setSpacing(4);
    const std::pair<const char*, const char*> abKeys[] = {
        {"A & B", "Copy A to B,or B to A. "}, {"A", "Adjust the A channel."}, {"B", "Adjust the B channel."}};
    for (int i = 0; i < 3; ++i) {
        OEQAB[i] =
            panel::Key(app_.images, QLatin1String(abKeys[i].first), OEQABPanel, QSize(i == 0 ? 64 : 44, 22));
        OEQAB[i]->setToolTip(QLatin1String(abKeys[i].second));
        // The caption is drawn as it stands; its ampersand is no mnemonic.
        OEQAB[i]->setShortcut(QKeySequence());
        ab->addWidget(OEQAB[i]);
    }
    // Hidden for the single-block outputs, its place kept so that the keys
    // below stay where they are.
    QSizePolicy keep = OEQABPanel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    OEQABPanel->setSizePolicy(keep);
    side->addWidget(OEQABPanel, 0, Qt::AlignLeft);

    auto* onOff = new QHBoxLayout;
    onOff->setSpacing(4);
    OEQOnOff[0] = panel::Key(app_.images, QStringLiteral("EQ ON"), panel);
    OEQOnOff[1] = panel::Key(app_.images, QStringLiteral("EQ OFF"), panel);
    onOff->addWidget(OEQOnOff[0]);
    onOff->addWidget(OEQOnOff[1]);
    onOff->addStretch(1);
    side->addLayout(onOff);

    OEQCopy = panel::Key(app_.images, QStringLiteral("COPY to"), panel);
    OEQCopy->setToolTip(QStringLiteral("Copy."));
    side->addWidget(OEQCopy);
    side->addSpacing(8);
    SpkPickup = panel::Key(app_.images, QStringLiteral("Speaker Preset"), panel, QSize(132, 32));
    side->addWidget(SpkPickup);
    side->addSpacing(8);
    side->addWidget(buildDelayPair(panel), 0, Qt::AlignLeft);
    side->addStretch(1);
    row->addLayout(side);
    row->addStretch(1);

    // The speaker presets, shown over the page by the preset key.
    OutEQList = new QListWidget(panel);
    OutEQList->setFixedSize(180, 160);
    OutEQList->hide();
}

void MainWind::OEQABSetup() {
    for (PicButton* b : OEQAB)
        b->setPicture(b->Tag.toInt() == 0 ? ImageWind::Pic::SwOff : ImageWind::Pic::SwOn);
}
