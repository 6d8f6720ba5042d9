#pragma once

#include "platform/MsClock.h"

#include <cstdint>

// A millisecond clock that moves only when told to, or by a fixed step at
// each look.
class FakeClock : public MsClock {
public:
    FakeClock() = default;
    FakeClock(uint32_t start, uint32_t stepEachLook) : t(start), step(stepEachLook) {}
    uint32_t t = 0;
    uint32_t step = 0;
    uint32_t now() override { return t += step; }
};
