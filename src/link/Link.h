#pragma once

#include <cstdint>

// Program-wide state of the connection to the unit.
class Link {
public:
    // True while the unit answers.
    bool OnLine = false;
    // Port-scan position: 0 USB, 1 COM1, 2 COM2; kept after a connection.
    int PortIndex = 0;
    // 1 while a message is in flight; the poll timers skip their work then.
    int SendBusy = 0;
    // Carried in the third body byte of most messages; 1 during the
    // all-memory transfers.
    uint8_t AllBankFlag = 0;
    bool AllBankContinue = false;
    bool AllBankDone = false;
};
