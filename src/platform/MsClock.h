#pragma once

#include <cstdint>

// A 32-bit millisecond count that wraps, like the system tick the unit's
// timing was written against. Differences must be taken as uint32_t.
class MsClock {
public:
    virtual ~MsClock() = default;
    virtual uint32_t now() = 0;
};

// The machine's monotonic clock, cut to 32 bits.
class SystemMsClock final : public MsClock {
public:
    uint32_t now() override;
};

// Milliseconds from start to now on a wrapping clock.
constexpr uint32_t ElapsedMs(uint32_t start, uint32_t now) { return now - start; }
