#pragma once

#include "startwin/TransferPanel.h"

#include <array>
#include <functional>

// Reads the unit's state back into the current record and refreshes the
// windows, behind the transfer panel; the dialog then closes by itself. It
// cannot be cancelled.
class BankReadWind : public TransferPanel {
    Q_OBJECT
public:
    BankReadWind(App& app, QWidget* parent = nullptr);

    // 0: the full read at the start of editing, names too; otherwise the
    // parameter record only.
    int ReadMode = 0;

    // Only elements 3 (the second line) and 4 (the main text) exist.
    std::array<QLabel*, 5> StartMessege{};

    // Run after the read: the editor's refresh of every window, then the
    // editor's memory-name label. Either may be empty.
    std::function<void()> dispAllParam;
    std::function<void()> afterRead;

    // Sets ReadMode and the background (the metal face for mode 0 only) and
    // shows the dialog modal; returns when the read is done.
    void ShowBankReadWind(int mode);

    void Form_Activate() override;
    void Timer1_Timer();
    // Every window from the records, as after a read.
    void ShowRecords();
};
