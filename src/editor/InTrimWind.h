#pragma once

#include "startwin/Widgets.h"

#include <QString>
#include <array>

class MainWind;
class QLabel;
class QPushButton;

// A gain button of the BLOCK page: tinted while its dialog is open, else
// the button face.
void MarkGainButton(QPushButton* button, bool open);

// The gain of one mono input, opened from the BLOCK page: MIC/LINE, the
// gain with its minus and plus buttons and list, and the +48 V lamp. Tag
// holds the input it shows; the stepping runs on the editor's TrimTimer.
class InTrimWind : public FaceDialog {
    Q_OBJECT
public:
    InTrimWind(const ImageWind& images, MainWind& owner);

    QString Tag = QStringLiteral("0");

    PicButton* Minus = nullptr;
    PicButton* Plus = nullptr;
    PicButton* CloseButton = nullptr;
    QLabel* MicLine = nullptr;
    QLabel* TrimData = nullptr;
    QLabel* LineName = nullptr;
    QLabel* LineCH = nullptr;
    std::array<QLabel*, 4> Label1{}; // 1 "INPUT GAIN", 2 "dB", 3 "PAD"
    QLabel* Label2 = nullptr;        // "+48V"
    Lamp* In48V = nullptr;

    void Form_Initialize();
    void Form_Activate() override {}
    void Minus_MouseDown();
    void Plus_MouseDown();
    void Minus_MouseUp();
    void Plus_MouseUp();
    void TrimData_Click();
    void CloseButton_Click();

    // The input the dialog shows, from its Tag.
    int Channel() const { return Tag.toInt(); }

protected:
    void reject() override;

private:
    const ImageWind& images_;
    MainWind& owner_;
};
