// The MISC, GPI and MEMORY pages.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "editor/PinTable.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

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
    links->setContentsMargins(12, 10, 12, 10);
    links->setSpacing(8);
    links->addWidget(panel::Legend(QStringLiteral("MEMORY"), Picture2[3]));
    for (int i = 0; i < 4; ++i) {
        SMemLink[i] = panel::Key(app_.images, QString(), Picture2[3]);
        links->addWidget(SMemLink[i]);
    }
    links->addStretch(1);
    buildMiscSwitches();
    buildFaderLinks();
    QVBoxLayout* col = panel::PageLayout(page);
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
    // Each output's terminal, its switch and its name.
    for (int k = 0; k < 8; ++k) {
        outs->addWidget(panel::Legend(QStringLiteral("OUT %1").arg(k + 1), Picture2[11]), k, 0);
        ExOutButton[k] = panel::Key(app_.images, QString(), Picture2[11]);
        ExtOutName[k] = panel::NameStrip(Picture2[11], 110);
        outs->addWidget(ExOutButton[k], k, 1);
        outs->addWidget(ExtOutName[k], k, 2);
    }
    outs->setColumnStretch(3, 1);
    left->addWidget(Picture2[11]);
    row->addLayout(left);
    buildExternalInputs();

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

    QVBoxLayout* col = panel::PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}

void MainWind::PinAssignDraw() {
    QLabel* box = PinAssign;
    const QColor back = Picture2[10]->palette().color(QPalette::Window);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, back);
    box->setPalette(pal);
    box->setAutoFillBackground(true);
    box->setFrameShape(QFrame::NoFrame);

    const qreal dpr = box->devicePixelRatioF();
    QPixmap pm(box->size() * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(back);
    QPainter p(&pm);
    QFont f = box->font();
    f.setPointSize(8);
    p.setFont(f);
    p.setPen(QPen(Qt::black, 1));
    PinTable::Layout(box->size()).Draw(p, box->size());
    p.end();
    box->setPixmap(pm);
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

    QVBoxLayout* col = panel::PageLayout(page);
    col->addLayout(row);
    col->addStretch(1);
}

void MainWind::SelectPatternRadio(int memNo) { TableAt(PatternRadio, memNo - 1)->setChecked(true); }
