#pragma once

#include "startwin/Widgets.h"

#include <QString>

class App;
class MainWind;
class QLabel;
class QSlider;

// The large fader of one input or output ("LEVEL"), opened from the BLOCK
// page. It stores nothing itself: its slider moves the channel's fader on
// the editor, and its switches run the editor's lock and link handlers.
// Made once, hidden between openings; the tags describe the channel of the
// last opening.
class InFaderWind : public FaceDialog {
    Q_OBJECT
public:
    InFaderWind(App& app, MainWind& main, QWidget* parent = nullptr);

    QLabel* LineCH = nullptr;   // the channel's caption
    QLabel* LineName = nullptr; // the channel's name
    // Tag "0": the channel is an input, "1": an output block.
    QLabel* InOut = nullptr;
    QSlider* InSlider = nullptr;
    PicButton* InLock = nullptr;  // Tag: the lock when opened
    PicButton* InVRADJ = nullptr; // Tag: the knob link when opened
    PicButton* CloseButton = nullptr;
    PictureBox* FaderPosImg = nullptr; // the unit's knob level
    PictureBox* FaderVRImg = nullptr;  // the knob level held with the memory
    QLabel* LeftScale = nullptr;

    // The channel: input 0..9 or output block.
    QString Tag;
    // Top of the marks at level 6.
    int FaderPosTop = 0;

    // Once, when first made.
    void Form_Initialize();
    void Form_Activate() override;
    void CloseButton_Click();
    void InSlider_Scroll();
    void InSlider_Change();
    void InLock_Click();
    void InVRADJ_Click();

    // 0 input, 1 output, as the InOut tag says.
    int Side() const;
    // Moves a mark to level on the dialog's scale.
    void PlaceMark(PictureBox* mark, int level);

private:
    App& app_;
    MainWind& main_;
};
