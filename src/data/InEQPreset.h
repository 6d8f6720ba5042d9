#pragma once

#include "data/Records.h"

#include <cstdint>

class ParamData;

// The microphone tone presets: the nine EQ bytes of an input (gain,
// frequency and Q index of bands HIGH, MID, LOW). Preset 2 is flat.
inline constexpr uint8_t InEQPresetTbl[3][9] = {
    {24, 51, 0, 24, 38, 2, 18, 6, 0},
    {38, 46, 0, 38, 16, 2, 18, 6, 0},
    {30, 48, 2, 30, 34, 2, 30, 8, 2},
};

inline constexpr int FlatPreset = 2;
static_assert(sizeof(InRec::Band) == sizeof(InEQPresetTbl[0]));

// 0, 1 or 2 when input ch of record CurBank holds that preset exactly,
// else -1.
int CheckInEQPreset(const ParamData& data, int ch);
// Writes preset p (0..2) into the EQ of an input.
void ApplyInEQPreset(InRec& in, int p);
