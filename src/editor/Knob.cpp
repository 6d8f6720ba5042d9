#include "editor/Knob.h"

#include "platform/MouseState.h"
#include "startwin/Widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>
#include <cmath>
#include <numbers>

namespace {

constexpr int KnobSize = 50;

double Rad(int degrees) { return degrees * std::numbers::pi / 180.0; }

} // namespace

Knob::Knob(Scale scale, QWidget* parent) : QWidget(parent), scale_(std::move(scale)) {
    setFixedSize(KnobSize, KnobSize);
    setCursor(Qt::PointingHandCursor);
}

void Knob::setAngle(int degrees) {
    angle_ = degrees;
    update();
}

QPointF Knob::pointerEnd() const {
    const double c = width() / 2.0, r = width() * scale_.pointer;
    return {std::cos(Rad(angle_)) * r + c, std::sin(Rad(angle_)) * r + c};
}

void Knob::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = width() * scale_.pointer;
    for (int deg : scale_.ticks) {
        const bool marked = deg == scale_.marked;
        const QPointF dir(std::cos(Rad(deg)), std::sin(Rad(deg)));
        p.setPen(QPen(QColor(0x3A, 0x40, 0x48), marked ? 1.6 : 1));
        p.drawLine(c + dir * (marked ? r + 2 : r + 4), c + dir * (r + 7));
    }
    QRadialGradient cap(c - QPointF(r / 3, r / 3), r * 1.6);
    cap.setColorAt(0, QColor(0x6A, 0x72, 0x7E));
    cap.setColorAt(0.55, QColor(0x30, 0x35, 0x3D));
    cap.setColorAt(1, QColor(0x15, 0x18, 0x1C));
    p.setPen(QPen(QColor(0x10, 0x12, 0x15), 1));
    p.setBrush(cap);
    p.drawEllipse(c, r + 1, r + 1);
    p.setPen(QPen(QColor::fromRgb(VbColor(PointerColor)), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(pointerEnd(), c);
}

void Knob::mousePressEvent(QMouseEvent* e) {
    if (onPress)
        onPress(e->button());
}

void Knob::mouseReleaseEvent(QMouseEvent*) {
    if (onRelease)
        onRelease();
}

// The second press of a double click is not a new press: no stepping.
void Knob::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onDoubleClick)
        onDoubleClick();
}

namespace knobhold {

std::optional<int> PressDir(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        return 0;
    if (button == Qt::RightButton)
        return -1;
    return std::nullopt;
}

void Release(QTimer& timer) {
    timer.stop();
    timer.setInterval(FirstStepMs);
}

void Step(QTimer& timer, Knob& knob, int dir, int max, const std::function<void(int)>& setValue) {
    timer.stop();
    timer.setInterval(timer.interval() == FirstStepMs ? SecondStepMs : RepeatMs);
    int tag = knob.Tag.toInt();
    const bool up = dir != 0;
    if (up ? tag >= max : tag <= 0)
        return;
    tag += up ? 1 : -1;
    knob.Tag = QString::number(tag);
    setValue(tag);
    if (up ? RightButtonDown() : LeftButtonDown())
        timer.start();
}

} // namespace knobhold
