#include "platform/OnScreen.h"

#include <QApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

QMargins FrameOf(const QWidget* w) {
    const QRect frame = w->frameGeometry();
    const QRect inner = w->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// The window's own frame; for a window not framed now (not shown yet, or
// hidden) the one a shown window has, or else the last one seen: the window
// manager frames the program's windows alike.
QMargins ExpectedFrame(const QWidget* w) {
    static QMargins seen;
    QMargins m = FrameOf(w);
    const QWidgetList others = QApplication::topLevelWidgets();
    for (auto it = others.begin(); m.isNull() && it != others.end(); ++it)
        if (*it != w && (*it)->isVisible())
            m = FrameOf(*it);
    if (!m.isNull())
        seen = m;
    return seen;
}

int Within(int start, int length, int roomStart, int roomLength) {
    return std::max(roomStart, std::min(start, roomStart + roomLength - length));
}

// The window itself is placed, not its frame: Qt places the frame only of
// a window whose frame it knows already.
void PlaceFrameAt(QWidget* w, const QMargins& frame, int x, int y) {
    w->setGeometry(x + frame.left(), y + frame.top(), w->width(), w->height());
}

} // namespace

void MoveFrameTo(QWidget* window, const QPoint& at) {
    PlaceFrameAt(window, ExpectedFrame(window), at.x(), at.y());
}

void KeepInside(QWidget* window, const QRect& room) {
    const QMargins m = ExpectedFrame(window);
    const QRect frame = window->geometry().marginsAdded(m);
    PlaceFrameAt(window, m, Within(frame.x(), frame.width(), room.x(), room.width()),
                 Within(frame.y(), frame.height(), room.y(), room.height()));
}

void KeepOnScreen(QWidget* window) {
    const QPoint centre = window->geometry().marginsAdded(ExpectedFrame(window)).center();
    const QScreen* screen = QGuiApplication::screenAt(centre);
    if (!screen)
        screen = window->screen();
    if (screen)
        KeepInside(window, screen->availableGeometry());
}

void ShowOnScreen(QWidget* window, const QPoint& firstCentre) {
    if (!window->testAttribute(Qt::WA_Moved)) {
        QRect frame = window->geometry().marginsAdded(ExpectedFrame(window));
        frame.moveCenter(firstCentre);
        MoveFrameTo(window, frame.topLeft());
    }
    KeepOnScreen(window);
}
