#include "editor/FaderBay.h"

#include "startwin/ImageWind.h"
#include "startwin/Widgets.h"

#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ScaleWidth = 24;
// The scale's figures stand at fixed heights (0, 19, 43, 67 and 95 px for
// +10, 0, -10, -20 and -40 dB); their centres fall on levels 6, 24, 49, 74
// and about 103, a little under a pixel per level. 106 px puts the picture's
// major ticks closest to them.
constexpr int ScaleHeight = 106;
// Centre of the top figure below the scale's top, where level 6 stands.
constexpr int LevelTopY = 6;
// Handle travel from level 6 to level 125.
constexpr int Travel = 117;
constexpr int MarkWidth = 14, MarkHeight = 9;
constexpr int SliderWidth = 22;
constexpr int Margin = 2;

// A fader's groove is lit from its quiet end at the bottom up to the handle.
// The style lights it from the minimum's end, which is the top here (the
// loudest level), so the style is shown the mirror image: the handle where
// it is, the scale turned over.
class LevelSlider : public QSlider {
public:
    using QSlider::QSlider;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
        opt.upsideDown = !opt.upsideDown;
        opt.sliderPosition = opt.minimum + opt.maximum - opt.sliderPosition;
        opt.sliderValue = opt.minimum + opt.maximum - opt.sliderValue;
        style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, this);
    }
};

} // namespace

FaderBay::FaderBay(const ImageWind& store, QWidget* parent)
    : QWidget(parent), scale_(new QLabel(this)), slider_(new LevelSlider(Qt::Vertical, this)),
      knobMark_(new PictureBox(store, this)), memoryMark_(new PictureBox(store, this)) {
    // Larger levels are quieter and sit lower; the arrow keys move the
    // handle the way they point.
    slider_->setInvertedAppearance(true);
    slider_->setInvertedControls(true);
    // In range before anyone listens, so that setting the range later moves
    // no slider and runs no change handler.
    slider_->setRange(LevelTop, LevelBottom);

    // The style decides how much of the slider's height the handle travels;
    // size the slider so that the travel is what the scale needs.
    constexpr int Trial = 200;
    slider_->resize(SliderWidth, Trial);
    const double reach = handleCentre(LevelBottom) - handleCentre(LevelTop);
    slider_->resize(SliderWidth, Trial + Travel - int(std::lround(reach)));

    const int toTopHandle = int(std::lround(handleCentre(LevelTop)));
    const int scaleTop = std::max(Margin, toTopHandle - LevelTopY + Margin);
    const int sliderTop = scaleTop + LevelTopY - toTopHandle;
    const int memoryX = ScaleWidth + 1, knobX = memoryX + MarkWidth + 1, sliderX = knobX + MarkWidth;

    scale_->setGeometry(0, scaleTop, ScaleWidth, ScaleHeight);
    slider_->move(sliderX, sliderTop);
    memoryMark_->setGeometry(memoryX, 0, MarkWidth, MarkHeight);
    knobMark_->setGeometry(knobX, 0, MarkWidth, MarkHeight);

    const int bottom = std::max({scale_->geometry().bottom(), slider_->geometry().bottom(),
                                 markTopFor(LevelBottom) + MarkHeight - 1});
    setFixedSize(sliderX + SliderWidth, bottom + 1 + Margin);
}

double FaderBay::handleCentre(int level) const {
    QStyleOptionSlider opt;
    opt.initFrom(slider_);
    opt.orientation = Qt::Vertical;
    opt.minimum = LevelTop;
    opt.maximum = LevelBottom;
    opt.sliderPosition = level;
    opt.sliderValue = level;
    // Inverted appearance: the minimum at the top.
    opt.upsideDown = false;
    opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    const QRect handle =
        slider_->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider_);
    return handle.top() + handle.height() / 2.0;
}

int FaderBay::markTopFor(int level) const {
    return slider_->y() + int(std::lround(handleCentre(level) - MarkHeight / 2.0));
}

void ConnectLevelSlider(QSlider* slider, std::function<void()> scroll, std::function<void()> change) {
    QObject::connect(slider, &QSlider::sliderMoved, slider, [scroll](int) { scroll(); });
    QObject::connect(slider, &QSlider::valueChanged, slider, [slider, change](int) {
        if (!slider->isSliderDown())
            change();
    });
    QObject::connect(slider, &QSlider::sliderReleased, slider, change);
}

void DrawLeftScale(const ImageWind& images, QLabel* box) {
    QPixmap pm = images.Picture(ImageWind::Pic::LeftScale, 0, box->size(), box->devicePixelRatioF());
    QPainter p(&pm);
    QFont f = box->font();
    f.setPointSize(7);
    p.setFont(f);
    p.setPen(QColor(0x1C, 0x20, 0x26));
    // Figures at their twips positions (15 twips to the pixel).
    struct Figure {
        int x, y;
        const char* text;
    };
    constexpr Figure figures[] = {
        {0, 0, "10"}, {2, 285, " 0"}, {0, 645, "10"}, {0, 1005, "20"}, {0, 1425, "40"}};
    for (const Figure& fig : figures)
        p.drawText(QRectF(fig.x / 15.0, fig.y / 15.0, box->width(), box->height()),
                   Qt::AlignLeft | Qt::AlignTop, QLatin1String(fig.text));
    p.end();
    box->setPixmap(pm);
}
