#pragma once

// Compares what two records say to the unit.

#include "data/Records.h"

#include <QString>
#include <vector>

// The bytes a record shows the unit and gets back from it: without the
// live status, the knob levels, the routing mask, block 7 and the external
// outputs (sent for the memories only). Empty when a and b agree.
inline QString FirstDifference(const BankRec& a, const BankRec& b, bool withExtOut) {
    auto sendable = [withExtOut](BankRec c) {
        for (InRec& in : c.In)
            in.RouteMask = in.VRLevel = in.SignalOn = in.PeakOn = in.MicSel = 0;
        for (OutRec& o : c.Out)
            o.VRLevel = o.OutLamp34 = o.MeterStep = 0;
        c.Out[6] = OutRec{};
        if (!withExtOut)
            c.ExtOutMask = 0;
        return std::vector<uint8_t>(c.fixedBytes(), c.fixedBytes() + BankFixedBytes);
    };
    const auto x = sendable(a), y = sendable(b);
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] != y[i])
            return QStringLiteral("byte %1: %2 != %3").arg(i).arg(x[i]).arg(y[i]);
    return {};
}
