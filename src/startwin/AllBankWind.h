#pragma once

#include "startwin/TransferPanel.h"

#include <array>

// Runs one of the all-memory transfers behind the transfer panel. The
// transfer lets events run while it waits, so CANCEL is served meanwhile;
// after a cancel the dialog closes at the first tick after the transfer has
// stopped.
class AllBankWind : public TransferPanel {
    Q_OBJECT
public:
    AllBankWind(App& app, QWidget* parent = nullptr);

    // -1: the transfer ran to its end; 0: it was cancelled or the unit
    // stopped answering. Read it after the dialog has closed.
    int BankResult = -1;
    // The unit stopped answering part-way; the transfer stopped there.
    bool LinkLost = false;
    // 0: the PC's 16 memories to the unit; otherwise the unit's into the PC,
    // after which the unit is given back the current memory and state. Set
    // before showing the dialog.
    int TransDir = 0;

    // The progress bar counts memories, 0..16.
    std::array<QLabel*, 2> StartMessege{};

    void Form_Activate() override;
    void Timer1_Timer();
    void CancelButton_Click();

public slots:
    // The memory the transfer has reached (1..16); connect the link
    // host's progress report here.
    void SetProgress(int m);

private:
    int cancelFlag_ = 0;
    bool running_ = false;
};
