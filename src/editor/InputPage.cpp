#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int StripNameWidth = 80;
constexpr QSize SmallKey{31, 20};

} // namespace

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
    QVBoxLayout* col = panel::PageLayout(page);
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

    add(panel::Legend(QLatin1String(ChName[ch]), strip));
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
        QLayout* trim = buildTrimRow(ch, strip);
        col->addLayout(trim);
        col->setAlignment(trim, Qt::AlignHCenter);
    } else {
        gap(18);
        gap(20);
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
