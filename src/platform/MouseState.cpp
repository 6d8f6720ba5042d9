#include "platform/MouseState.h"

#include <QGuiApplication>

namespace {
std::function<bool()>& source(Qt::MouseButton button) {
    static std::function<bool()> left, right;
    return button == Qt::LeftButton ? left : right;
}

bool Down(Qt::MouseButton button) {
    if (const std::function<bool()>& s = source(button))
        return s();
    return QGuiApplication::mouseButtons().testFlag(button);
}
} // namespace

void SetLeftButtonSource(std::function<bool()> s) { source(Qt::LeftButton) = std::move(s); }
void SetRightButtonSource(std::function<bool()> s) { source(Qt::RightButton) = std::move(s); }

bool LeftButtonDown() { return Down(Qt::LeftButton); }
bool RightButtonDown() { return Down(Qt::RightButton); }
