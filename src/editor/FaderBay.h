#pragma once

#include <QWidget>

#include <functional>

class ImageWind;
class PictureBox;
class QLabel;
class QSlider;

// One fader: the dB scale on the left, then the mark of the level held with
// the memory, the mark of the unit's knob level, and the slider, all at
// fixed places. Level 6 (+10 dB) stands level with the scale's top figure,
// and each level is about one pixel lower, so that a mark for level L goes
// to the height of the slider's handle at L by plain arithmetic, the same
// in every bay.
class FaderBay : public QWidget {
public:
    static constexpr int LevelTop = 6, LevelBottom = 125;

    FaderBay(const ImageWind& store, QWidget* parent = nullptr);

    QLabel* scale() const { return scale_; }
    QSlider* slider() const { return slider_; }
    // Marks the level of the unit's own knob (picture Fpos).
    PictureBox* knobMark() const { return knobMark_; }
    // Marks the knob level held with the memory (picture FLPos).
    PictureBox* memoryMark() const { return memoryMark_; }

    // Top of a mark pointing at the handle of the slider at level.
    int markTopFor(int level) const;

private:
    QLabel* scale_;
    QSlider* slider_;
    PictureBox* knobMark_;
    PictureBox* memoryMark_;

    // Centre of the slider's handle at level, in the slider's coordinates.
    double handleCentre(int level) const;
};

// Connects a level slider the way the panel's sliders behave: each move of
// a drag is a scroll event; the change event comes for every other change of
// the value (from code, keys, clicks on the groove) and once when a drag
// ends. The handlers read the slider's position, which a drag moves first.
void ConnectLevelSlider(QSlider* slider, std::function<void()> scroll, std::function<void()> change);

// Prints the dB figures of a fader scale over its picture.
void DrawLeftScale(const ImageWind& images, QLabel* box);
