#pragma once

#include "startwin/Widgets.h"

#include <QString>

class App;
class QLabel;
class QSpinBox;

// What the output-EQ page's delay pair and the dialog share. A delay is
// whole milliseconds, 0..300, shown also as the distance sound travels in
// that time; both up-downs of a pair step the milliseconds.
namespace delay {

inline constexpr int MaxMs = 300;

// "105ms".
QString TimeText(int ms);
// "36.08m": 0.34359 m per ms, two decimals.
QString DistText(int ms);
// An up-down of 0..MaxMs in steps of 1 ms: arrows only, the labels show
// the value.
QSpinBox* MakeUpDown(QWidget* parent);
QLabel* MakeLabel(QWidget* parent);

} // namespace delay

// "DELAY": the delay of one output block, in milliseconds and in metres.
// Every change goes into the record and to the unit at once; made once and
// hidden between uses, its Tag keeps the block of the last opening.
class DelayWind : public FaceDialog {
    Q_OBJECT
public:
    explicit DelayWind(App& app, QWidget* parent = nullptr);

    QLabel* LineCH = nullptr;
    QLabel* LineName = nullptr;
    QSpinBox* TimeUpDown = nullptr;
    QSpinBox* DistUpDown = nullptr;
    QLabel* TimeLabel = nullptr;
    QLabel* DistLabel = nullptr;
    PicButton* CloseButton = nullptr;

    // The output block edited, as text.
    QString Tag;

    void Form_Initialize();
    void Form_Activate() override {}
    void CloseButton_Click();
    void TimeUpDown_Change();
    void DistUpDown_Change();
    // The delay of the block in Tag to the unit.
    void SendDelayCmd();

private:
    App& app_;

    // A new delay v from one up-down: the record, the other up-down and the
    // texts follow, and it is sent; v equal to the record does nothing.
    void DelayChange(int v, QSpinBox* other);
};
