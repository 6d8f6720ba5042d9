#include "platform/InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

bool IsUserInput(const QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
        return true;
    case QEvent::Close:
        // The close box; a close from the program's own code is its business.
        return e->spontaneous();
    default:
        return false;
    }
}

// What a modal dialog open now would keep from the receiver's window.
bool BlockedByModal(QObject* receiver) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !receiver->isWidgetType())
        return false;
    QWidget* w = static_cast<QWidget*>(receiver)->window();
    for (; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == modal)
            return false;
    return true;
}

} // namespace

InputHold::InputHold(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

InputHold::~InputHold() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

InputHold::Scope::Scope(InputHold& hold) : hold_(hold) { ++hold_.depth_; }

InputHold::Scope::~Scope() {
    if (--hold_.depth_ == 0)
        hold_.release();
}

void InputHold::letThrough(QWidget* window) { through_.append(window); }

bool InputHold::letThroughFor(QObject* receiver) const {
    if (!receiver->isWidgetType())
        return false;
    const QWidget* w = static_cast<QWidget*>(receiver)->window();
    for (const QPointer<QWidget>& t : through_)
        if (t && t == w)
            return true;
    return false;
}

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType())
        return false;
    if (event->type() == QEvent::Timer) {
        // A widget's auto-repeat waits with the input; its timer comes again.
        return depth_ > 0 || (!held_.empty() && replaying_ == 0);
    }
    if (!IsUserInput(event) || letThroughFor(watched))
        return false;
    // Input being handed on, and what it brings about outside a wait (a
    // dialog it opens takes the user's input as usual), goes through.
    if (depth_ == 0 && (held_.empty() || replaying_ > 0))
        return false;
    // Behind input held earlier, in the order it came.
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    if (depth_ == 0)
        release();
    return true;
}

void InputHold::release() {
    if (held_.empty() || scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        deliver();
    });
}

// Input held back may open a dialog whose own loop runs while it is being
// handed on; the input held after it then goes on from inside that loop.
void InputHold::deliver() {
    while (!held_.empty() && depth_ == 0) {
        Held h = std::move(held_.front());
        held_.pop_front();
        if (!h.receiver || BlockedByModal(h.receiver))
            continue;
        ++replaying_;
        // A close box pressed meanwhile closes its window now, as it would have.
        if (h.event->type() == QEvent::Close)
            static_cast<QWidget*>(h.receiver.data())->close();
        else
            QCoreApplication::sendEvent(h.receiver, h.event.get());
        --replaying_;
    }
}
