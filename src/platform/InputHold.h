#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>

class QEvent;
class QWidget;

// One exchange with the unit at a time. A reply wait and a timed pause
// inside a handler let window events run (repaints, the port's own bytes);
// while such a wait lasts, the user's clicks, keys and wheel turns are held
// back and delivered in order once the program is back in its main loop,
// and the windows' own auto-repeat (a spin box's arrow held down) does not
// step. So no handler that sends can start inside another's wait. Input to
// a window let through (a transfer's CANCEL, which only raises a flag) goes
// on as usual. Held input for a window that a modal dialog blocks by the
// time it would be delivered is dropped, as the dialog would have blocked it.
class InputHold : public QObject {
public:
    explicit InputHold(QObject* parent = nullptr);
    ~InputHold() override;

    // A wait from construction to destruction; waits may nest.
    class Scope {
    public:
        explicit Scope(InputHold& hold);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        InputHold& hold_;
    };

    bool holding() const { return depth_ > 0; }
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

    void release();
    void deliver();
    bool letThroughFor(QObject* receiver) const;

    int depth_ = 0;
    // Held input being handed on (nested when it opens a dialog).
    int replaying_ = 0;
    bool scheduled_ = false;
    std::deque<Held> held_;
    QList<QPointer<QWidget>> through_;
};
