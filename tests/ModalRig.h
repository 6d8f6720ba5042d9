#pragma once

// Drives a modal dialog without blocking the test on it.

#include <QDialog>
#include <QTimer>
#include <functional>

// Runs script once d's modal loop is running; show defaults to exec(). A
// dialog still up after 15 s is closed with result -1, so that a fault
// fails the test instead of hanging it.
inline int Modal(QDialog& d, const std::function<void()>& script, const std::function<void()>& show = {}) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &d, [&d] { d.done(-1); });
    guard.start(15000);
    if (script) QTimer::singleShot(0, &d, script);
    if (show)
        show();
    else
        d.exec();
    return d.result();
}
