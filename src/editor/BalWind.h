#pragma once

#include "data/Records.h"
#include "editor/Knob.h"
#include "startwin/Widgets.h"

#include <QTimer>
#include <array>
#include <cstdint>

class App;
class MainWind;
class QLabel;
class QSlider;

// What the OUTPUT page's balance controls and the dialog share. A pair's
// balance is one slider position v, 0..92: v below the centre attenuates
// block B by BalTbl(v), v above it block A by BalTbl(92 - v).
namespace balance {

inline constexpr int Centre = 46, MaxPos = 92;

// The position of the pair whose first block is p, from its two bytes.
int Position(const BankRec& r, int p);
// The pair's two bytes for position v.
void SetPosition(BankRec& r, int p, int v);
// A block's attenuation as shown: "0.0" down to "-20.1".
QString DbText(uint8_t balance);

// The knob (ticks at the ends, the quarters and the centre) and its
// pointer at the position in its Tag.
Knob* MakeKnob(QWidget* parent);
void Draw(Knob& knob);
QSlider* MakeSlider(QWidget* parent);
QLabel* MakeDbLabel(QWidget* parent);

} // namespace balance

// "BALANCE": the balance of the output pair MainWind::BalWindCh, with the
// same slider and knob as on the OUTPUT page. Every change goes into the
// record and to the unit at once; made once and hidden between uses.
class BalWind : public FaceDialog {
    Q_OBJECT
public:
    BalWind(App& app, MainWind& main, QWidget* parent = nullptr);

    QLabel* LineCH = nullptr;
    QLabel* LineName = nullptr;
    QLabel* BalLabel = nullptr;
    // Tag: the last position the change handler accepted.
    QSlider* OutBallance = nullptr;
    Knob* BalVol = nullptr;
    // dB of block A and block B.
    std::array<QLabel*, 2> OutBalLabel{};
    QLabel* BalALabel = nullptr;
    QLabel* BalBLabel = nullptr;
    PicButton* CloseButton = nullptr;
    QTimer BalWindTimer;

    void Form_Initialize();
    void Form_Activate() override {}
    void CloseButton_Click();
    void OutBallance_Change();
    void BalVol_MouseDown(Qt::MouseButton Button);
    void BalVol_MouseUp();
    void BalVol_DblClick();
    void BalWindTimer_Timer();
    // The knob drawn from its Tag.
    void DispBalVol();

private:
    App& app_;
    MainWind& main_;
};
