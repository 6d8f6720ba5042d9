// The eight pages of the editor window and the controls on them.

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "editor/MainWind.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

constexpr int StripNameWidth = 80;
constexpr QSize SmallKey{31, 20};

// The page's own layout, holding one widget that fills it.
QVBoxLayout* PageLayout(QWidget* page) {
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(10, 10, 10, 10);
    col->setSpacing(8);
    return col;
}

// A container that holds a page's controls and is locked as a whole.
QFrame* LockPanelOn(QWidget* page) {
    auto* f = new QFrame(page);
    f->setFrameShape(QFrame::Box);
    PageLayout(page)->addWidget(f);
    return f;
}

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

// A meter picture box of fixed size.
QLabel* MeterBox(QWidget* parent, QSize size) {
    auto* l = new QLabel(parent);
    l->setFixedSize(size);
    return l;
}

} // namespace

// BLOCK: the signal flow at a glance: inputs, outputs with their block
// meters, and the quick-recall keys.
void MainWind::buildBlockPage(QWidget* page) {
    QFrame* panel = LockPanel[0] = LockPanelOn(page);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(12, 12, 12, 12);
    col->setSpacing(12);
    auto* row = new QHBoxLayout;
    row->setSpacing(24);

    QFrame* inputs = Section(QStringLiteral("INPUT"), panel, row);
    auto* inGrid = new QGridLayout(inputs);
    inGrid->setContentsMargins(10, 10, 10, 10);
    inGrid->setVerticalSpacing(5);
    for (int c = 0; c < 12; ++c) {
        InLineName[c] = panel::NameStrip(inputs, 120);
        // The default name, for the rename prompt.
        InLineName[c]->setProperty("Tag", QLatin1String(ChName[c]));
        inGrid->addWidget(InLineName[c], c, 0);
        if (c < 10) {
            SignalPeak[c] = new Lamp(inputs);
            inGrid->addWidget(SignalPeak[c], c, 1);
        }
    }
    inGrid->setRowStretch(12, 1);
    row->addStretch(1);

    QFrame* outputs = Section(QStringLiteral("OUTPUT"), panel, row);
    auto* outGrid = new QGridLayout(outputs);
    outGrid->setContentsMargins(10, 10, 10, 10);
    outGrid->setVerticalSpacing(5);
    outGrid->setHorizontalSpacing(10);
    for (int k = 0; k < 5; ++k) {
        OutLineName[k] = panel::NameStrip(outputs, 120);
        OutLineName[k]->setProperty("Tag",
                                    k < 4 ? QStringLiteral("OUT %1").arg(k + 1) : QStringLiteral("REC OUT"));
        outGrid->addWidget(OutLineName[k], k, 0);
    }
    // Blocks A and B of OUT 1 and OUT 2, one meter above the other.
    for (int i = 0; i < 4; ++i) {
        OutMeterImage[i] = MeterBox(outputs, QSize(72, 9));
        app_.images.PictureCopy(Pic::BlockMeter, 0, OutMeterImage[i]);
    }
    for (int k = 0; k < 2; ++k) {
        auto* pair = new QVBoxLayout;
        pair->setSpacing(2);
        pair->addWidget(OutMeterImage[2 * k]);
        pair->addWidget(OutMeterImage[2 * k + 1]);
        outGrid->addLayout(pair, k, 1);
    }
    for (int k : {2, 3}) {
        OutSignalPeak[ChToOut[k]] = new Lamp(outputs);
        outGrid->addWidget(OutSignalPeak[ChToOut[k]], k, 1, Qt::AlignLeft);
    }
    outGrid->setColumnMinimumWidth(1, 72);
    outGrid->setRowStretch(5, 1);
    col->addLayout(row, 1);

    QFrame* memory = Section(QStringLiteral("MEMORY"), panel, col);
    auto* keys = new QHBoxLayout(memory);
    keys->setContentsMargins(10, 8, 10, 8);
    keys->setSpacing(16);
    for (int i = 0; i < 4; ++i) {
        PatternBtn[i] = panel::Key(app_.images, QString(), memory);
        keys->addWidget(PatternBtn[i]);
    }
    keys->addStretch(1);
}

// INPUT: one strip per input, 0..5 the mono inputs, 6..9 the stereo ones.
void MainWind::buildInputPage(QWidget* page) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addStretch(1);
    for (int ch = 0; ch < 10; ++ch) {
        buildInputStrip(ch);
        row->addWidget(Frame1[ch]);
    }
    row->addStretch(1);
    QVBoxLayout* col = PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}

void MainWind::buildInputStrip(int ch) {
    QFrame* strip = Frame1[ch] = panel::Panel(nullptr);
    auto* col = new QVBoxLayout(strip);
    col->setContentsMargins(5, 6, 5, 6);
    col->setSpacing(5);
    const auto add = [col](QWidget* w) { col->addWidget(w, 0, Qt::AlignHCenter); };
    // Rows a strip lacks keep their height, so that the strips line up.
    const auto gap = [col](int height) { col->addSpacing(height + col->spacing()); };
    const bool mono = ch < 6;

    InName[ch] = panel::NameStrip(strip, StripNameWidth);
    add(InName[ch]);
    auto* lamps = new QHBoxLayout;
    lamps->setSpacing(3);
    InSignal[ch] = new Lamp(strip);
    InPeak[ch] = new Lamp(strip);
    InSignal[ch]->setToolTip(QStringLiteral("SIGNAL"));
    InPeak[ch]->setToolTip(QStringLiteral("PEAK"));
    lamps->addWidget(InSignal[ch]);
    lamps->addWidget(InPeak[ch]);
    if (mono) {
        In48V[ch] = new Lamp(strip);
        In48V[ch]->setToolTip(QStringLiteral("+48V"));
        lamps->addWidget(In48V[ch]);
    }
    col->addLayout(lamps);
    col->setAlignment(lamps, Qt::AlignHCenter);
    if (mono) {
        MicLine[ch] = new QLabel(QStringLiteral("LINE"), strip);
        MicLine[ch]->setFixedSize(panel::KeySize.width(), 18);
        MicLine[ch]->setAlignment(Qt::AlignCenter);
        MicLine[ch]->setFrameShape(QFrame::Panel);
        MicLine[ch]->setFrameShadow(QFrame::Sunken);
        add(MicLine[ch]);
    } else {
        gap(18);
    }
    InEQ[ch] = panel::Key(app_.images, QStringLiteral("E Q"), strip);
    add(InEQ[ch]);
    if (mono) {
        InHS1[ch] = panel::Key(app_.images, QStringLiteral("F.B.SUP"), strip);
        add(InHS1[ch]);
        inMute[ch] = panel::Key(app_.images, QStringLiteral("PRIORITY"), strip);
        add(inMute[ch]);
    } else {
        gap(panel::KeySize.height());
        inMMute[ch - 6] = panel::Key(app_.images, QStringLiteral("OVERRIDE"), strip);
        add(inMMute[ch - 6]);
    }

    // The input's switches into OUT 1..4, as on the matrix page.
    auto* routes = new QGridLayout;
    routes->setSpacing(2);
    for (int k = 0; k < 4; ++k) {
        PicButton* b = InOut[4 * ch + k] =
            panel::Key(app_.images, QStringLiteral("OUT%1").arg(k + 1), strip, SmallKey);
        QFont f = b->font();
        f.setPointSize(7);
        b->setFont(f);
        routes->addWidget(b, k / 2, k % 2);
    }
    col->addLayout(routes);
    col->setAlignment(routes, Qt::AlignHCenter);

    col->addStretch(1);
    InLock[ch] = panel::Key(app_.images, QStringLiteral("LOCK"), strip);
    add(InLock[ch]);
    InVRADJ[ch] = panel::Key(app_.images, QStringLiteral("LINK"), strip);
    add(InVRADJ[ch]);

    FaderBay* bay = addFaderBay(strip, ch, ch);
    InSlider[ch] = bay->slider();
    FaderPosImg[ch] = bay->knobMark();
    FaderVRImg[ch] = bay->memoryMark();
    add(bay);
}

// MATRIX: 13 source rows into the 4 outputs; each mono route has its mix
// level beside its switch.
void MainWind::buildMatrixPage(QWidget* page) {
    QFrame* panel = LockPanel[2] = LockPanelOn(page);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(12, 12, 12, 12);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(4);

    for (int k = 0; k < 4; ++k) {
        MixOutName[k] = panel::NameStrip(panel, 90);
        grid->addWidget(MixOutName[k], 0, 1 + k, Qt::AlignLeft);
    }
    for (int j = 0; j < 13; ++j) {
        if (j < 12) {
            MixInName[j] = panel::NameStrip(panel, 110);
            grid->addWidget(MixInName[j], 1 + j, 0);
        }
        for (int k = 0; k < 4; ++k) {
            const int i = 4 * j + k;
            auto* cell = new QHBoxLayout;
            cell->setSpacing(3);
            LineButton[i] = panel::Key(app_.images, QString(), panel, QSize(56, 22));
            cell->addWidget(LineButton[i]);
            if (i < 24) {
                MixAttUpDn[i] = new QSpinBox(panel);
                MixAttUpDn[i]->setRange(0, 0);
                MixAttUpDn[i]->setFixedSize(16, 22);
            }
            cell->addStretch(1);
            if (i < 24)
                cell->addWidget(MixAttUpDn[i]);
            grid->addLayout(cell, 1 + j, 1 + k);
        }
    }
    // REC OUT takes no part in the matrix; its name is shown with the outputs.
    grid->setRowMinimumHeight(14, 8);
    grid->addWidget(panel::Legend(QStringLiteral("REC OUT"), panel), 15, 0, Qt::AlignRight);
    MixOutName[4] = panel::NameStrip(panel, 90);
    grid->addWidget(MixOutName[4], 15, 1, Qt::AlignLeft);

    auto* centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addLayout(grid);
    centred->addStretch(1);
    col->addLayout(centred);
    col->addStretch(1);
}

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
    QVBoxLayout* col = PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}

void MainWind::buildOutputStrip(int k) {
    const int o = ChToOut[k];
    QFrame* strip = Frame2[k] = panel::Panel(nullptr);
    auto* col = new QVBoxLayout(strip);
    col->setContentsMargins(8, 6, 8, 8);
    col->setSpacing(6);
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
    if (k < 2) {
        // The balance knob of the pair.
        BalVol[o] = new QLabel(strip);
        BalVol[o]->setFixedSize(50, 50);
        BalVol[o]->setFrameShape(QFrame::Box);
        keys->addSpacing(8);
        keys->addWidget(BalVol[o], 0, Qt::AlignHCenter);
    }
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
            OutMeter[i] = MeterBox(strip, QSize(10, 110));
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
}

// OUTPUT EQ: the response graph of the chosen output, with its A/B choice,
// EQ switch, copy and speaker presets beside it.
void MainWind::buildOutputEQPage(QWidget* page) {
    QFrame* panel = LockPanel[4] = LockPanelOn(page);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(16);
    row->addStretch(1);

    auto* graphCol = new QVBoxLayout;
    // 601 columns from 20 Hz to 20 kHz; 0 dB at 159, 10 units per dB.
    PicGraph = new QLabel(panel);
    PicGraph->setFixedSize(601 + 2, 313 + 2);
    PicGraph->setFrameShape(QFrame::Box);
    panel::SetBackColor(PicGraph, 0x2A2420);
    graphCol->addWidget(PicGraph);
    graphCol->addStretch(1);
    row->addLayout(graphCol);

    auto* side = new QVBoxLayout;
    side->setSpacing(8);
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
    side->addStretch(1);
    row->addLayout(side);
    row->addStretch(1);
}

// MISC: panels for the mute groups (0, 1), the feedback suppressors (2), the
// quick-recall links (3) and the companion unit's fader links (4).
void MainWind::buildMiscPage(QWidget* page) {
    auto* grid = new QGridLayout;
    grid->setSpacing(10);
    for (int i = 0; i < 5; ++i) {
        Picture2[i] = panel::Panel(page);
        Picture2[i]->setMinimumSize(280, 200);
    }
    grid->addWidget(Picture2[0], 0, 0);
    grid->addWidget(Picture2[1], 0, 1);
    grid->addWidget(Picture2[2], 0, 2);
    grid->addWidget(Picture2[3], 1, 0);
    grid->addWidget(Picture2[4], 1, 1, 1, 2);
    auto* links = new QVBoxLayout(Picture2[3]);
    links->setContentsMargins(12, 12, 12, 12);
    links->setSpacing(8);
    for (int i = 0; i < 4; ++i) {
        SMemLink[i] = panel::Key(app_.images, QString(), Picture2[3]);
        links->addWidget(SMemLink[i]);
    }
    links->addStretch(1);
    QVBoxLayout* col = PageLayout(page);
    col->addLayout(grid);
    col->addStretch(1);
}

// GPI: external inputs (Picture2(10)) and outputs (Picture2(11)) beside the
// connector's pin table.
void MainWind::buildGPIPage(QWidget* page) {
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addStretch(1);

    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    Picture2[10] = panel::Panel(page);
    Picture2[10]->setMinimumSize(320, 200);
    left->addWidget(Picture2[10], 1);
    Picture2[11] = panel::Panel(page);
    auto* outs = new QGridLayout(Picture2[11]);
    outs->setContentsMargins(12, 12, 12, 12);
    outs->setHorizontalSpacing(10);
    outs->setVerticalSpacing(5);
    for (int k = 0; k < 8; ++k) {
        ExOutButton[k] = panel::Key(app_.images, QString(), Picture2[11]);
        ExtOutName[k] = panel::NameStrip(Picture2[11], 110);
        outs->addWidget(ExOutButton[k], k, 0);
        outs->addWidget(ExtOutName[k], k, 1);
    }
    outs->setColumnStretch(2, 1);
    left->addWidget(Picture2[11]);
    row->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    // Five columns of pins with 100 px to spare, title and ten rows of 20 px.
    PinAssign = new QLabel(page);
    PinAssign->setFixedSize(5 * 76 + 100, 11 * 20 + 7);
    PinAssign->setFrameShape(QFrame::Box);
    right->addWidget(PinAssign);
    Picture3 = panel::Panel(page);
    Picture3->setMinimumHeight(120);
    right->addWidget(Picture3);
    right->addStretch(1);
    row->addLayout(right);
    row->addStretch(1);

    QVBoxLayout* col = PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}

// MEMORY: the sixteen memories with room for their names, the name to
// store, and the status-poll switches.
void MainWind::buildMemoryPage(QWidget* page) {
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addStretch(1);

    PatternGroup = new QGroupBox(page);
    auto* grid = new QGridLayout(PatternGroup);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    for (int i = 0; i < 16; ++i) {
        PatternRadio[i] =
            new QRadioButton(QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')), PatternGroup);
        grid->addWidget(PatternRadio[i], i % 8, 2 * (i / 8));
    }
    // Each memory's name goes beside its button.
    grid->setColumnMinimumWidth(1, 170);
    grid->setColumnMinimumWidth(3, 170);
    PatternRadio[0]->setChecked(true);
    row->addWidget(PatternGroup, 0, Qt::AlignTop);

    auto* side = new QVBoxLayout;
    side->setSpacing(10);
    QFrame* store = panel::Panel(page);
    auto* storeCol = new QVBoxLayout(store);
    storeCol->setContentsMargins(12, 12, 12, 12);
    PatternName = panel::NameStrip(store, 220);
    PatternName->setFixedHeight(24);
    storeCol->addWidget(PatternName);
    storeCol->addStretch(1);
    side->addWidget(store, 1);

    QFrame* poll = panel::Panel(page);
    auto* pollCol = new QVBoxLayout(poll);
    pollCol->setContentsMargins(12, 10, 12, 10);
    IntervalOn = new QCheckBox(QStringLiteral("定期取得"), poll);
    IntervalOn->setChecked(true);
    TimeOutNone = new QCheckBox(QStringLiteral("タイムアウトなし"), poll);
    pollCol->addWidget(IntervalOn);
    pollCol->addWidget(TimeOutNone);
    connect(TimeOutNone, &QCheckBox::toggled, this, &MainWind::TimeOutNone_Click);
    side->addWidget(poll);
    row->addLayout(side);
    row->addStretch(1);

    QVBoxLayout* col = PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}
