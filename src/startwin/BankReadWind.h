#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>

class App;
class PictureBox;
class QLabel;
class QProgressBar;
class QPushButton;

// Reads the unit's state back into the current record and refreshes the
// windows, behind a modal "transferring" panel. The work starts from Timer1
// one second after the dialog is shown, so the panel is painted first; the
// dialog then closes by itself. It cannot be cancelled.
class BankReadWind : public QDialog {
    Q_OBJECT
public:
    BankReadWind(App& app, QWidget* parent = nullptr);

    // 0: the full read at the start of editing, names too; otherwise the
    // parameter record only.
    int ReadMode = 0;

    QTimer Timer1;
    QProgressBar* BankProgress = nullptr;
    // Only elements 3 (the second line) and 4 (the main text) exist.
    std::array<QLabel*, 5> StartMessege{};
    QLabel* Label3 = nullptr;
    QPushButton* CancelButton = nullptr;

    // Run after the read: the editor's refresh of every window, then the
    // editor's memory-name label. Either may be empty.
    std::function<void()> dispAllParam;
    std::function<void()> afterRead;

    // Sets ReadMode and the background (the metal face for mode 0 only) and
    // shows the dialog modal; returns when the read is done.
    void ShowBankReadWind(int mode);

    void SetPicture(bool on);
    bool HasPicture() const;

    void Form_Activate();
    void Timer1_Timer();
    // Esc and the title bar cannot stop the read.
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
    PictureBox* face_ = nullptr;
};
