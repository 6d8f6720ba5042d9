#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

class App;
class PictureBox;
class QLabel;
class QProgressBar;
class QPushButton;

// Runs one of the all-memory transfers behind a modal panel with a
// progress bar and a cancel button. The transfer starts from Timer1 one
// second after the dialog is shown and lets events run while it waits, so
// CANCEL is served meanwhile; after a cancel the dialog closes at the first
// tick after the transfer has stopped.
class AllBankWind : public QDialog {
    Q_OBJECT
public:
    AllBankWind(App& app, QWidget* parent = nullptr);

    // -1: the transfer ran to its end; 0: it was cancelled. Read it after
    // the dialog has closed.
    int BankResult = -1;
    // 0: the PC's 16 memories to the unit; otherwise the unit's into the PC.
    // Set before showing the dialog.
    int TransDir = 0;

    QTimer Timer1;
    QProgressBar* BankProgress = nullptr; // 0..16
    std::array<QLabel*, 2> StartMessege{};
    QLabel* Label3 = nullptr;
    QPushButton* CancelButton = nullptr;

    void SetPicture(bool on);
    bool HasPicture() const;

    void Form_Activate();
    void Timer1_Timer();
    void CancelButton_Click();
    // Esc and the title bar do not stop a transfer; CANCEL does.
    void reject() override {}

public slots:
    // The memory the transfer has reached (1..16); connect the link
    // host's progress report here.
    void SetProgress(int m);

protected:
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
    PictureBox* face_ = nullptr;
    int cancelFlag_ = 0;
    bool running_ = false;
};
