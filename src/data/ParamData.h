#pragma once

#include "data/Records.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

// Owner of the unit's parameter set on the PC: the 17 records (0 = current
// state, 1..16 = memories), the level table held with them, the backup
// snapshot and the venue name.
class ParamData {
public:
    static constexpr int RecordCount = 17;

    std::array<BankRec, RecordCount> BankData;
    std::array<LevelRec, RecordCount> MemLevel{};
    std::array<BankRec, RecordCount> BankBackup;
    int CurBank = 0;
    int MemNo = 1;
    QString VenueName;
    QString VenueNameBak;
    bool VenueLoaded = false;
    // Phantom power per mono input and the unit's MIC/LINE bits, as reported.
    std::array<uint8_t, 6> In48VFlag{};
    int MicLineStat = 255;
    int MicLineStatOld = 255;

    // Told whenever VenueName is set from a file name, so that the windows
    // showing it can refresh.
    std::function<void()> venueNameChanged;

    void InitMemoryData(int m);
    void SetInEQFlat(int m, int ch);
    void BackupMemory();
    // Puts the snapshot back; the caller then sends the current record to
    // the unit.
    void RestoreMemory();
    void Clear48VFlag();
    // Every byte 0 and every name empty, as at program start.
    void ClearRecord(int m);
    void SetAllLevels(uint8_t level);
};
