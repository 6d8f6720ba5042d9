#pragma once

#include <functional>

// Whether the left mouse button is down right now, asked by the
// press-and-hold controls on every repeat; tests replace the answer.
bool LeftButtonDown();
void SetLeftButtonSource(std::function<bool()> source);
