#pragma once

#include "editor/Knob.h"
#include "editor/PanelParts.h"
#include "startwin/Widgets.h"

#include <QSpinBox>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>

class App;
class MainWind;
class QFrame;
class QLabel;

// "INPUT EQ": the three-band EQ of one input. Every change goes into the
// input's record and to the unit at once; the dialog is made once and
// hidden between uses.
class InEQWind : public FaceDialog {
    Q_OBJECT
public:
    static constexpr int Bands = 3;
    static constexpr int MaxGain = 60;
    static constexpr int FlatGain = 30;

    InEQWind(App& app, MainWind& main, QWidget* parent = nullptr);

    // The input shown: 0..5 mono, 6..9 stereo.
    int InEQCh = 0;
    // The pointer angle in degrees of each gain index: a 300 degree sweep
    // clockwise from lower left (index 0) through straight up (0 dB).
    std::array<int, MaxGain + 1> KnobPos{};
    // The knob held and which way it steps: 0 down (left button), -1 up (right).
    int KnobBand = 0;
    int KnobDir = 0;
    QTimer GainVolTimer;

    QLabel* LineCH = nullptr;
    QLabel* LineName = nullptr;
    // The middle band, which the stereo inputs lack.
    QFrame* Center = nullptr;
    std::array<QLabel*, Bands> EQImage{};
    std::array<Knob*, Bands> GainVol{};
    std::array<QLabel*, Bands> GainText{};
    std::array<UpDown*, Bands> GainButton{};
    std::array<QLabel*, Bands> FreqText{};
    std::array<UpDown*, Bands> FreqButton{};
    // Only the middle band's exist.
    std::array<QLabel*, Bands> QText{};
    std::array<UpDown*, Bands> QButton{};
    std::array<PicButton*, 2> EQOn{}; // "EQ ON", "EQ OFF"
    PicButton* EQCopy = nullptr;
    PicButton* CloseButton = nullptr;

    // The controls from input ch's record; sends nothing.
    void Fill(int ch);

    void SetGainValue(int band, int value);
    void SetFreqValue(int band, int value);
    void SetQValue(int band, int value);
    void DrawGainVol(int band, int value);

    // The frequency of EQFreqTbl(idx) as shown: kHz with a "k" from 1000 Hz.
    static QString GetFreqString(uint8_t idx);
    static QString GetFreqStringInt(int idx);
    // A gain or Q value as shown: one decimal.
    static QString OneDecimal(double v);

    void Form_Initialize();
    void Form_Activate() override {}
    void EQOn_Click(int index);
    void EQCopy_Click();
    void CloseButton_Click();
    void GainButton_Change(int band);
    void FreqButton_Change(int band);
    void QButton_Change(int band);
    void GainText_Click(int band);
    void FreqText_Click(int band);
    void QText_Click(int band);
    void GainVol_MouseDown(int band, Qt::MouseButton button);
    void GainVol_MouseUp();
    void GainVol_DblClick(int band);
    void GainVolTimer_Timer();

private:
    App& app_;
    MainWind& main_;

    QFrame* buildBand(int band, QWidget* parent);
    // The band's first and last frequency index.
    static int FreqMin(int band);
    static int FreqMax(int band);
    // The switch pictures for EQ on (true) or off.
    void showEQOn(bool on);
};
