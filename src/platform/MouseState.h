#pragma once

#include <functional>

// Whether a mouse button is down right now, anywhere on the screen: asked by
// the press-and-hold controls on every repeat and by the status poll, which
// waits while the user drags; tests replace the answers.
bool LeftButtonDown();
bool RightButtonDown();
void SetLeftButtonSource(std::function<bool()> source);
void SetRightButtonSource(std::function<bool()> source);
