#include "data/InEQPreset.h"

#include "data/ParamData.h"

#include <cstring>

int CheckInEQPreset(const ParamData& data, int ch) {
    const InBand* bands = data.BankData[data.CurBank].In[ch].Band;
    for (int p = 0; p < 3; ++p)
        if (std::memcmp(bands, InEQPresetTbl[p], sizeof(InRec::Band)) == 0)
            return p;
    return -1;
}

void ApplyInEQPreset(InRec& in, int p) {
    std::memcpy(in.Band, InEQPresetTbl[p], sizeof(InRec::Band));
}
