#pragma once

#include "startwin/Widgets.h"

#include <QTimer>
#include <array>
#include <functional>
#include <memory>

class Animation;
class App;
class QLabel;

// The measuring window of the howling suppressors: shown modal while the
// unit measures one mono input, it plays the animation and asks the unit
// every 600 ms until the channel is done or faulty, or the user cancels.
// Measure runs the channels in turn, for the start window and the editor.
class HawlingWind : public FaceDialog {
    Q_OBJECT
public:
    explicit HawlingWind(App& app, QWidget* parent = nullptr);
    ~HawlingWind() override;

    // The metal face is shown while the start window is.
    std::function<bool()> startWindowVisible;

    // Measures the mono inputs (0..5) marked in inputs, in order, with
    // label(n) as the heading for channel n; stops at a fault (after telling
    // the user) or a cancel. The caller has checked that the unit is online.
    void Measure(const std::array<bool, 6>& inputs, const std::function<QString(int)>& label);

    // After the window closed: Status 0 when cancelled, else -1; Response
    // the unit's last answer (2 done, 3 fault), 2 after a cancel.
    int GetStatus() const { return Status; }
    int GetResponce() const { return Response; }

    void Form_Activate() override;
    void Timer1_Timer();
    void CancelButton_Click();
    void AnimationClose();
    void MeasureFaultMsg();
    // Esc and the close box cancel, so that the channel is ended.
    void reject() override { CancelButton_Click(); }

    QTimer Timer1;
    std::array<QLabel*, 2> Label1{};
    PicButton* CancelButton = nullptr;
    // Made the first time the window shows.
    std::unique_ptr<Animation> Animation1;

private:
    App& app_;
    int Status = -1;
    int Response = 1;
    QWidget* stage_ = nullptr;
};
