#pragma once

#include "data/Records.h"

// Every stored index or flag that has a range, brought into it the way the
// readers clamp (the upper bound first). Records that come from outside the
// program (a venue file) pass through here before anything indexes a table
// or a record with their bytes, or sends them. The mute-group and companion
// masks keep only the bits of their members. The external outputs' mask,
// names, the routing mask and the 0 / non-zero switches (MicSel, Mono) have
// no range and stay as they are, so a record already in range is left byte
// for byte.
void ClampToRanges(BankFixed& r);
void ClampToRanges(LevelRec& l);
