#include "platform/InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

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

QWidget* WindowOf(const QObject* receiver) { return static_cast<const QWidget*>(receiver)->window(); }

// What a modal dialog open now would keep from the receiver's window.
bool BlockedByModal(QObject* receiver) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    for (QWidget* w = WindowOf(receiver); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
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

void InputHold::waitBegins() {
    std::vector<QPointer<QWindow>> shown;
    for (QWindow* w : QGuiApplication::topLevelWindows())
        if (w->isVisible())
            shown.emplace_back(w);
    waits_.push_back(std::move(shown));
}

void InputHold::waitEnds() {
    waits_.pop_back();
    release();
}

void InputHold::letThrough(QWidget* window) { through_.append(window); }

bool InputHold::letThroughFor(const QWidget* window) const {
    return std::any_of(through_.begin(), through_.end(), [window](const QPointer<QWidget>& t) { return t == window; });
}

bool InputHold::heldNow(const QWidget* window) const {
    if (waits_.empty())
        return false;
    const QWindow* handle = window->windowHandle();
    if (!handle)
        return false;
    const auto& shown = waits_.back();
    return std::any_of(shown.begin(), shown.end(), [handle](const QPointer<QWindow>& w) { return w == handle; });
}

bool InputHold::pendingFor(const QWidget* window) const {
    return std::any_of(held_.begin(), held_.end(),
                       [window](const Held& h) { return h.receiver && WindowOf(h.receiver) == window; });
}

bool InputHold::deliverable(const Held& h) const { return !h.receiver || !heldNow(WindowOf(h.receiver)); }

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
    // Every event of every widget passes here: outside a wait with nothing
    // held, and for anything but input and timers, nothing is looked up.
    const bool timer = event->type() == QEvent::Timer;
    if (!watched->isWidgetType() || (!timer && !IsUserInput(event)) || (waits_.empty() && held_.empty()))
        return false;
    const QWidget* window = WindowOf(watched);
    if (timer) {
        // A widget's auto-repeat waits with its window's input; its timer comes again.
        return heldNow(window) || (replaying_ == 0 && pendingFor(window));
    }
    if (letThroughFor(window))
        return false;
    // Input being handed on, and what it brings about (a dialog it opens
    // takes the user's input as usual), goes through; other input goes
    // behind input held earlier, in the order it came: outside a wait
    // behind any, inside one behind that for the same window.
    const bool held = heldNow(window);
    const bool behind = replaying_ == 0 && (waits_.empty() ? !held_.empty() : pendingFor(window));
    if (!held && !behind)
        return false;
    // A close box let go unrefused would hide the window and drop its
    // native window, and the close handed on later would find nothing.
    if (event->type() == QEvent::Close)
        event->ignore();
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    release();
    return true;
}

void InputHold::release() {
    if (scheduled_ || std::none_of(held_.begin(), held_.end(), [this](const Held& h) { return deliverable(h); }))
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
    for (;;) {
        const auto next = std::find_if(held_.begin(), held_.end(), [this](const Held& h) { return deliverable(h); });
        if (next == held_.end())
            return;
        Held h = std::move(*next);
        held_.erase(next);
        if (!h.receiver || BlockedByModal(h.receiver))
            continue;
        ++replaying_;
        // A close box pressed meanwhile closes its window now, as it would
        // have, through the window's own close handling; a window hidden
        // meanwhile has no close box to press.
        auto* widget = static_cast<QWidget*>(h.receiver.data());
        if (h.event->type() != QEvent::Close)
            QCoreApplication::sendEvent(widget, h.event.get());
        else if (widget->isVisible())
            widget->close();
        --replaying_;
    }
}
