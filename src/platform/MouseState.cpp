#include "platform/MouseState.h"

#include <QGuiApplication>

namespace {
std::function<bool()>& source() {
    static std::function<bool()> s;
    return s;
}
} // namespace

void SetLeftButtonSource(std::function<bool()> s) { source() = std::move(s); }

bool LeftButtonDown() {
    if (source())
        return source()();
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}
