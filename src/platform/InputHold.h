#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>
#include <vector>

class QEvent;
class QWidget;
class QWindow;

// One exchange with the unit at a time. A reply wait and a timed pause
// inside a handler let window events run (repaints, the port's own bytes);
// while such a wait lasts, the user's clicks, keys, wheel turns and close
// boxes for the windows that were shown when it began are held back and
// delivered in order once the wait is over, and those windows' own
// auto-repeat (a spin box's arrow held down) does not step. So no handler
// that sends can start inside another's wait. A close box held back is
// refused at once, so that its window stays, and closes the window (with
// its own close handling) when it is delivered. A window shown during the
// wait (a message box that a timer opens inside it) takes the user's input
// as usual, as does a window let through (a transfer's CANCEL, which only
// raises a flag). Held input for a window that a modal dialog blocks by the
// time it would be delivered is dropped, as the dialog would have blocked it.
class InputHold : public QObject {
public:
    explicit InputHold(QObject* parent = nullptr);
    ~InputHold() override;

    // A wait; waits may nest. The window layer brackets every reply wait and
    // pause with these.
    void waitBegins();
    void waitEnds();

    bool holding() const { return !waits_.empty(); }
    // Input held back and not yet delivered.
    int heldCount() const { return static_cast<int>(held_.size()); }
    void letThrough(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    // Whether the innermost wait holds input for window back.
    bool heldNow(const QWidget* window) const;
    // Whether held input for window awaits delivery.
    bool pendingFor(const QWidget* window) const;
    bool deliverable(const Held& h) const;
    void release();
    void deliver();
    bool letThroughFor(const QWidget* window) const;

    // For each wait in progress, innermost last: the windows shown as it began.
    std::vector<std::vector<QPointer<QWindow>>> waits_;
    // Held input being handed on (nested when it opens a dialog).
    int replaying_ = 0;
    bool scheduled_ = false;
    std::deque<Held> held_;
    QList<QPointer<QWidget>> through_;
};
