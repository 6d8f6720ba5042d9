#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QTimer;

// A knob drawn in code: a dark cap on a scale of ticks, and a pointer at the
// angle of the value it shows. Its Tag holds that value as text, as the
// press-and-hold stepping reads and writes it.
class Knob : public QWidget {
    Q_OBJECT
public:
    // Angles are in degrees, clockwise from the right (screen y grows down).
    struct Scale {
        std::vector<int> ticks;
        // The tick drawn longer: the knob's rest position.
        int marked = 270;
        // The pointer's length against the knob's size.
        double pointer = 0.33;
    };

    // The pointer's colour (0xBBGGRR).
    static constexpr unsigned PointerColor = 0xFFFF80;

    explicit Knob(Scale scale, QWidget* parent = nullptr);

    QString Tag;

    void setAngle(int degrees);
    int angle() const { return angle_; }
    // The pointer's outer end, in the knob's coordinates.
    QPointF pointerEnd() const;

    std::function<void(Qt::MouseButton)> onPress;
    std::function<void()> onRelease;
    std::function<void()> onDoubleClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    Scale scale_;
    int angle_ = 270;
};

// Press and hold on a knob: the first step FirstStepMs after the press, the
// second SecondStepMs after it, then one every RepeatMs while the button that
// holds it stays down.
namespace knobhold {

inline constexpr int FirstStepMs = 30, SecondStepMs = 1000, RepeatMs = 100;

// The way a press steps: 0 down (left button), -1 up (right button); other
// buttons do not step.
std::optional<int> PressDir(Qt::MouseButton button);

// The button let go: no more steps, and the next press starts over.
void Release(QTimer& timer);

// One tick of timer: the timer off with its next interval; unless the knob
// is already at its end (0, or max upwards), its Tag one step on and
// setValue with the new value; then the timer on again while the button of
// dir is still down.
void Step(QTimer& timer, Knob& knob, int dir, int max, const std::function<void(int)>& setValue);

} // namespace knobhold
