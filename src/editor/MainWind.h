#pragma once

#include "editor/EditorDialogs.h"
#include "editor/OutEQTables.h"
#include "platform/MsgBox.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

class App;
class BalWind;
class DelayWind;
class EQGraph;
class FaderBay;
class InEQWind;
class InFaderWind;
class InTrimWind;
class Knob;
class Lamp;
class PicButton;
class PictureBox;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLayout;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
struct SpeakerEntry;
class QSpinBox;
class QTabWidget;
class QToolBar;
class TopWind;

// The parameter editor: the eight pages of the unit's settings, the toolbar
// that leaves the editor and saves venue files, and the return to the start
// window. Built once and hidden between uses.
//
// One class whose members are defined in one file per area (see README.md
// beside this file); the sections below follow those files.
//
// Arrays of output-block controls are indexed by block (0..5) and hold
// controls at the first block of each output channel only (0, 2, 4, 5);
// the other entries stay null.
class MainWind : public QWidget {
    Q_OBJECT
public:
    // Writes the venue file; false (after saying so) when it could not be
    // written.
    bool VenueFileWrite(const QString& path);
    // ---- Shell (MainWind.cpp) ----

    // Pages of MainTab.
    enum Page { PageBlock, PageInput, PageMatrix, PageOutput, PageOutputEQ, PageMisc, PageGPI, PageMemory };

    MainWind(App& app, TopWind& top, QWidget* parent = nullptr);

    // One-time set-up, then the set-up that runs each time the window is loaded.
    void Form_Initialize();
    void Form_Load();
    void MainTab_Click();
    // False once the close box has unloaded the window: the next start of
    // Parameter Edit runs its load steps again.
    bool Loaded = true;
    // Run on every tick of the start window's 100 ms timer; nothing to do.
    int TimerFunction() { return 0; }
    void OnlineDisp(int flag);

    QTabWidget* MainTab = nullptr;
    // The pick dialogs the pages share (ListWind, the EQ copy dialogs).
    EditorDialogs dialogs;

    // ---- Toolbar and top bar (Toolbar.cpp) ----

    // key: "EXIT", "OPEN" or "SAVE".
    void Toolbar1_ButtonClick(const QString& key);
    // Whether to store the current memory before its state is saved.
    MsgResult StoreConfirm();
    // Leaves the editor for the start window.
    void SyousaiEndProc();
    // Mirrors the box to the start window's box of the same caption.
    void TimeOutNone_Click();

    QToolBar* Toolbar1 = nullptr;
    Lamp* Online = nullptr;
    QLabel* OnLineMess = nullptr;
    QLabel* SystemName = nullptr;

    // ---- Display (Display.cpp) ----

    // Refresh of every control from record CurBank.
    void DispAllParam();
    void DispSystemName();

    // ---- Names (Names.cpp) ----

    // The rename dialogs: the venue, input Index (0..11), output Index
    // (0..3, 4 REC OUT), external output Index (0..7), and the name the
    // next store gives the memory.
    void SystemName_Click();
    void InLineName_Click(int index);
    void OutLineName_Click(int index);
    void ExtOutName_Click(int index);
    void PatternName_Click();
    // Every channel name of record CurBank into the captions that show it.
    void DispChannelName();
    // Every control that shows a user's name, the dialogs' among them once
    // they are made: these take the name font.
    QList<QWidget*> NameControls();

    // ---- Status poll (StatusPoll.cpp) ----

    void DispInputStatus();
    void DispOutputStatus();
    // Every lamp grey and every output meter at step 0; the record's lamp
    // and meter bytes stay as they are.
    void MeterLampClear();
    // One poll tick: the reports of the page shown, in turn.
    void IntervalTimer_Timer();
    void IntervalOn_Click();

    // 130 ms; stopped while a toolbar action runs.
    QTimer IntervalTimer;
    // 1 while a status-poll tick runs.
    int PollBusy = 0;
    // Poll ticks that did their work: 1..30000, then 0 again.
    int PollCount = 0;

    // Status lamps: per input, per mono input (+48 V), and of blocks 4, 5.
    std::array<Lamp*, 10> SignalPeak{};
    std::array<Lamp*, 10> InPeak{};
    std::array<Lamp*, 10> InSignal{};
    std::array<Lamp*, 6> In48V{};
    std::array<Lamp*, 6> OutSignalPeak{};
    std::array<Lamp*, 6> OutPeak{};
    std::array<Lamp*, 6> OutSignal{};

    // ---- Input trim (InputTrim.cpp, InTrimWind.*) ----

    // The gain list of a mono input's strip.
    void InInTrimName_Click(int Index);
    // Press and hold: minus raises the trim index, plus lowers it, one step
    // per TrimTimer tick while the left button stays down.
    void InInMinus_MouseDown(int Index);
    void InInPlus_MouseDown(int Index);
    void InInMinus_MouseUp();
    void InInPlus_MouseUp();
    void TrimTimer_Timer();
    // The strip's and the dialog's buttons: dir 0 minus, -1 plus.
    void TrimPress(int ch, int dir);
    void TrimRelease();
    // The gain dialog, from the BLOCK page only.
    void InputLevelButton_Click(int Index);
    // MIC/LINE and the gain of the mono inputs and of the open gain dialog.
    void DispInputTrim();
    // The INPUT page's copy of a matrix switch.
    void InOut_Click(int Index);
    // The gain list for input ch beside the clicked control; the index
    // picked is stored.
    void TrimListPick(int ch, QWidget* beside);
    // Input ch's gain text on its strip and in the gain dialog.
    void TrimShow(int ch);
    // A new trim of input ch shown and sent.
    void TrimPicked(int ch);
    // The gain text of input ch's trim, by its MIC/LINE table.
    QString TrimText(int ch) const;
    InTrimWind& trimWind();
    bool trimWindOpen() const;

    // Design interval 300 ms: the first press after the window is made
    // steps after it, later presses after 1 ms; then every 250 ms.
    QTimer TrimTimer;
    int TrimCh = 0;
    int TrimDir = 0;

    std::array<QLabel*, 6> InInTrimName{};
    std::array<PicButton*, 6> InInMinus{};
    std::array<PicButton*, 6> InInPlus{};
    std::array<QPushButton*, 6> InputLevelButton{};

    // ---- Input EQ (InputEQ.cpp, InEQWind.*) ----

    // The EQ dialog for input Index (0..9), from its strip's EQ key or from
    // its EQ key on the BLOCK page.
    void InEQ_Click(int Index);
    void InEQButton_Click(int Index);
    // Fills the dialog for input ch and shows it modal; returns when it is
    // closed.
    void InputEQProc(int ch);
    // The dialog, made on first use.
    InEQWind& inEQWind();
    // The dialog captioned for input ch, its middle band shown for mono
    // inputs only.
    InEQWind& inEQWindFor(int ch);

    std::array<QPushButton*, 10> InEQButton{}; // BLOCK page

    // ---- Faders (Faders.cpp) ----

    // Where a fader mark for level L goes: Top = (L - 6) * scale + offset,
    // in the coordinates of the fader's bay. Measured from the marks placed
    // at levels 6 and 125 when the window is built.
    float InFaderOffset() const { return inFaderOffset_; }
    float InFaderScale() const { return inFaderScale_; }
    float OutFaderOffset() const { return outFaderOffset_; }
    float OutFaderScale() const { return outFaderScale_; }
    // Moves a mark of an input (output) fader to level L.
    void PlaceInMark(PictureBox* mark, int level);
    void PlaceOutMark(PictureBox* mark, int level);
    // Both marks of every fader to level L.
    void PlaceAllMarks(int level);
    // The unit's knob levels of the inputs (side 0) or outputs (side 1) were
    // read into record CurBank: their marks follow, and so do the faders
    // linked to their knobs.
    void KnobLevelsRead(int side);

    // 0..9 beside the input faders, 10..13 beside the output faders.
    std::array<QLabel*, 14> LeftScale{};

    // ---- Input faders, lock and knob link (InputFaders.cpp) ----

    // The rule of every level slider's scroll event (the input and output
    // faders and the fader dialog's): at most one level message per 50 ms
    // across all of them. Scroll events that come while it waits run nested,
    // and only the outermost one runs change.
    void LevelSliderScroll(const std::function<void()>& change);
    void InSlider_Scroll(int Index);
    void InSlider_Change(int Index);
    void InLock_Click(int Index);
    void InVRADJ_Click(int Index);
    void InVrButton_Click(int Index);
    // The strip's copies of MISC-page switches: they flip the switch there.
    void InHS1_Click(int Index);
    void inMute_Click(int Index);
    void inMMute_Click(int Index);

    void DispInputStrip();
    // Brings the knob levels held with the memory into 6..125 and places
    // their marks.
    void DispFaderLevel();
    void DispInEQOnButton(int ch);
    // The open fader dialog follows the unit's knob of its channel when it
    // shows side (0 inputs, 1 outputs).
    void DispInFaderWind(int side);

    // Clock reading of the last level message sent from a slider.
    uint32_t LevelSendTime = 0;
    // Slider scroll events in progress, nested.
    int SliderNest = 0;
    // -1 after a link request that went ahead, 0 after a cancelled one.
    int VrAdjFlag = 0;
    // The fader dialog, made when first opened.
    InFaderWind& inFaderWind();

    // ---- Output faders (OutputFaders.cpp) ----

    void Slider1_Scroll(int Index);
    void Slider1_Change(int Index);
    void OutLockSW_Click(int Index);
    void OutAdjSW_Click(int Index);
    void OutVrButton_Click(int Index);
    // Every fader at its record's level: linked ones at the knob, the others
    // at the level held with the memory.
    void DispOutputStrip();

    // ---- Output strip: mono and the strips' keys (OutputStrip.cpp) ----

    // Mono of OUT 1 (Index 0, block 0) or OUT 2 (Index 1, block 1), shown on
    // its two switches; both flags are sent together.
    void MonoStereoButton_Click(int Index);
    void OutMonoSW_Click(int Index);
    // Both switches of mono Index as the record has it.
    void ShowMonoStereo(int Index);
    // The lock, link, delay and EQ keys and the held-level marks of the
    // four outputs.
    void DispOutput();
    // The "E Q" key of the output of block o: lit when the output (either
    // block of a pair) has its EQ on.
    void DispOutEQBtn(int o);
    // The "DELAY" key of block o: lit when the output is delayed.
    void DispOutDelayBtn(int o);

    // On the MATRIX page under OUT 1 and OUT 2.
    std::array<QPushButton*, 2> MonoStereoButton{};

    // ---- Page containers ----

    std::array<QFrame*, 5> LockPanel{}; // 0 BLOCK, 2 MATRIX, 4 OUTPUT EQ
    std::array<QFrame*, 10> Frame1{};   // input strips
    std::array<QFrame*, 4> Frame2{};    // output strips
    std::array<QFrame*, 12> Picture2{}; // 0..4 MISC, 10 and 11 GPI
    QFrame* Picture3 = nullptr;

    // ---- BLOCK page (BlockPage.cpp) ----

    // The ports' fixed captions beside their names: inputs 0..9 (the
    // companion inputs' are Label2(10), (11)), outputs by output block (0,
    // 2, 4, 5); the dialogs opened from a row show its caption.
    std::array<QLabel*, 10> InLine{};
    std::array<QLabel*, 6> OutLine{};
    std::array<QLabel*, 12> InLineName{};
    std::array<QLabel*, 5> OutLineName{};
    std::array<QLabel*, 4> OutMeterImage{};
    std::array<PicButton*, 4> PatternBtn{};
    // Open the fader dialog of an input, of an output block.
    std::array<QPushButton*, 10> InVrButton{};
    std::array<QPushButton*, 6> OutVrButton{};

    // ---- INPUT page (InputPage.cpp) ----

    std::array<QLabel*, 10> InName{};
    std::array<QLabel*, 6> MicLine{};
    std::array<PicButton*, 10> InEQ{};
    std::array<PicButton*, 6> InHS1{};
    std::array<PicButton*, 6> inMute{};
    std::array<PicButton*, 4> inMMute{};
    std::array<PicButton*, 40> InOut{};
    std::array<PicButton*, 10> InLock{};
    std::array<PicButton*, 10> InVRADJ{};
    std::array<QSlider*, 10> InSlider{};
    std::array<PictureBox*, 10> FaderPosImg{};
    std::array<PictureBox*, 10> FaderVRImg{};

    // ---- MATRIX page (MatrixPage.cpp, Matrix.cpp) ----

    // Switch Index (4 x row + output) on or off, on both pages that show
    // it, and sent.
    void MatrixSwitchToggle(int Index);
    // A grid button; one held by a companion unit ignores the click.
    void LineButton_Click(int Index);
    void MixAttUpDn_Change(int Index);
    void MixButton_Click();
    void Label2_Click(int Index);
    // Every matrix control of the editor and the start window from record
    // CurBank, then the companion units' marks.
    void DispMatrix();

    std::array<QLabel*, 12> MixInName{};
    std::array<QLabel*, 5> MixOutName{};
    std::array<PicButton*, 52> LineButton{};
    std::array<QSpinBox*, 24> MixAttUpDn{};
    std::array<QLabel*, 24> MixAttLabel{};
    // Captions, on several pages; 10 and 11 rename the companion inputs,
    // 16 (REC OUT) that output.
    std::array<QLabel*, 96> Label2{};
    QPushButton* MixButton = nullptr;

    // ---- OUTPUT page (OutputPage.cpp) ----

    std::array<QLabel*, 4> OutName{};
    std::array<PicButton*, 2> OutMonoSW{};
    std::array<PicButton*, 6> OutEQ1{};
    std::array<PicButton*, 6> OutDelay1{};
    std::array<PicButton*, 6> OutLockSW{};
    std::array<PicButton*, 6> OutAdjSW{};
    std::array<QSlider*, 6> Slider1{};
    std::array<PictureBox*, 6> OutFaderPos{};
    std::array<PictureBox*, 6> OutFaderVRImg{};
    std::array<QLabel*, 4> OutMeter{};

    // ---- Output balance (Balance.cpp, BalWind.*) ----

    // Arrays indexed by the first block of the pair: 0 (OUT 1) and 2 (OUT 2).
    void OutBallance_Change(int Index);
    // Press and hold: the left button steps down towards 0 (B quietest),
    // the right up towards 92 (A quietest), one step per BalTimer tick.
    void BalVol_MouseDown(int Index, Qt::MouseButton Button);
    void BalVol_MouseUp();
    void BalTimer_Timer();
    // Back to the centre (both blocks at 0 dB).
    void BalVol_DblClick(int Index);
    // BalWind for the pair, beside its BAL button.
    void OutBalButton_Click(int Index);
    // The dB texts, sliders and knobs of both pairs from record CurBank;
    // sends nothing.
    void DispBalancePairs();
    // Knob BalVol(Index) drawn from its Tag.
    void DispOutBalance(int Index);
    // Position v of pair p into the record and to the unit for both
    // blocks; every control of both pairs follows.
    void StoreBalance(int p, int v);
    // The dialog, made on first use.
    BalWind& balWind();

    // The pair BalWind shows and whose knob is held.
    int BalWindCh = 0;
    // 0 steps down (left button), -1 up (right).
    int BalStepDir = 0;
    QTimer BalTimer;

    // Tag: the last position the change handler accepted.
    std::array<QSlider*, 3> OutBallance{};
    // Tag: the position the knob shows.
    std::array<Knob*, 3> BalVol{};
    std::array<QPushButton*, 3> OutBalButton{};
    // dB of blocks 0..3.
    std::array<QLabel*, 4> OutBalLabel{};
    std::array<QLabel*, 3> BalALabel{};
    std::array<QLabel*, 3> BalBLabel{};

    // ---- Output delay (OutputDelay.cpp, DelayWind.*) ----

    // DelayWind for block Index beside the clicked button, marked while
    // open only from the BLOCK page; the DELAY key follows when it closes.
    void DelayButton_Click(int Index);
    void OutDelay1_Click(int Index);
    // The OUTPUT EQ page's pair shows the delay of the output chosen there.
    void OutDelayParamSet();
    // A new delay from the page's pair: stored for the chosen output (and,
    // with A & B linked, for its B block too) and sent for the output only.
    void TimeUpDown_Change();
    void DistUpDown_Change();
    // The dialog, made on first use.
    DelayWind& delayWind();

    // BLOCK page.
    std::array<QPushButton*, 6> DelayButton{};
    // OUTPUT EQ page: both up-downs hold the delay in ms.
    QSpinBox* TimeUpDown = nullptr;
    QSpinBox* DistUpDown = nullptr;
    QLabel* TimeLabel = nullptr;
    QLabel* DistLabel = nullptr;

    // ---- OUTPUT EQ page (OutputEQPage.cpp) ----

    // Pictures of the three A/B buttons of the output-EQ page from their Tags.
    void OEQABSetup();

    // 1 while code fills the output-EQ page.
    int EQBusy = 0;
    // The output channel chosen on the page, -1 before the first choice.
    int OutSel = -1;
    // The output block whose EQ the page edits (0..5).
    int OutEQCh = 0;

    QFrame* OEQABPanel = nullptr;
    std::array<PicButton*, 3> OEQAB{};
    std::array<PicButton*, 2> OEQOnOff{};
    PicButton* OEQCopy = nullptr;
    PicButton* SpkPickup = nullptr;

    // ---- OUTPUT EQ page: channel, A/B, switch, copy, presets (OutputEQControls.cpp) ----

    // A new output chosen: the A/B choice from the record (linked when the
    // pair's blocks are equal), its name, its EQ and delay shown.
    void OEQChannel_Click();
    // The A/B choice of pair 0 or 1 from the record.
    void ABChoiceFromRecord(int pair);
    // 0 link (after asking to copy the shown block to its partner), 1 A, 2 B.
    void OEQAB_Click(int Index);
    // 0 EQ ON, 1 EQ OFF, for the block shown and, linked, its partner.
    void OEQOnOff_Click(int Index);
    void OEQCopy_Click();
    // The speaker list under its key.
    void SpkPickup_Click();
    // The chosen speaker preset into the block shown (and, linked, its
    // partner) and its name kept for the output.
    void OutEQList_Click();
    void OutEQList_LostFocus();
    // The page for the output of block Index (0, 2, 4, 5).
    void OutEQ1_Click(int Index);
    void OutEQButton_Click(int Index);
    // Blocks a and b have equal EQ: the switch and all 24 band bytes.
    bool OutputEQDataComp(int a, int b) const;
    // The switch and bands of block src into dst, and the unit told.
    void OutputEQDataCopy(int src, int dst);
    // The page shows OUT 1 afresh, its A/B choice from the record.
    void OutputEQShowFirst();
    // The speaker presets into the list, the first selected without
    // loading it.
    void SpeakerListFill(const QList<SpeakerEntry>& speakers);

    QComboBox* OEQChannel = nullptr;
    QLabel* OEQName = nullptr;
    QListWidget* OutEQList = nullptr;
    // BLOCK page: open the page for an output.
    std::array<QPushButton*, 6> OutEQButton{};

    // ---- OUTPUT EQ page: band editing (OutputEQBandEdit.cpp) ----

    // OutEQCh from OutSel and the A/B choice, stored and returned.
    int GetOutEQChannel();
    // EQ on/off and the six bands of block OutEQCh on the page.
    void OutEQParamSet();
    // The page for output sel (0..3): channel, name, bands, delay, curve.
    void OutputEQMake(int sel);
    // The page as each start of editing finds it: OUT 1, linked to its B
    // block when the two are alike.
    void OutputWindMake();
    // Band b's gain and Q controls shown as its selector's type needs.
    void OutEQTypeCtrlSet(int b);
    // A new type for band b: 0 dB and the first Q, sent once; the type it
    // had sends nothing.
    void cboEQ_S_Click(int Index);
    void cmdFUpDown_Change(int Index);
    void cmdGUpDown_Change(int Index);
    void cmdQUpDown_Change(int Index);
    // v one step on within min..max; at a range end the step is undone.
    // v at 0 stepping down stays 0.
    static int FNEQ_No(int& v, int min, int max, int step);
    // Band b was changed by hand: the speaker name is marked as edited,
    // and the band sent.
    void OutEQDataChange(int b);
    // Band b of OutEQCh to the unit, and under the A & B link copied to the
    // B block and sent for it too.
    void SendOutputEQParamAll(int b);

    // Dragging a marker on the graph (units of the graph).
    void PicGraph_MouseDown(float X, float Y);
    void PicGraph_MouseMove(Qt::MouseButtons Button, float X, float Y);
    void PicGraph_MouseUp();
    // While a marker is held: the band, when changed, to the unit.
    void OutputEQTimer_Timer();

    // The type last committed to the record per band.
    std::array<int, 6> OEQTypeLast{};
    // The band held, -1 for none.
    int DragBand = -1;
    // -1 when the held band changed since it was last sent.
    int DragChanged = 0;
    // The held marker's place for the band's present values.
    float DragX = 0;
    float DragY = 0;
    // 200 ms, running while a marker is held.
    QTimer OutputEQTimer;

    std::array<QComboBox*, 6> cboEQ_S{};
    std::array<QSpinBox*, 6> cmdFUpDown{};
    std::array<QSpinBox*, 6> cmdGUpDown{};
    std::array<QSpinBox*, 6> cmdQUpDown{};
    std::array<QLabel*, 6> txtF{};
    std::array<QLabel*, 6> txtG{};
    std::array<QLabel*, 6> txtQ{};
    std::array<QLabel*, 6> lblg{};
    std::array<QLabel*, 6> lblq{};

    // ---- OUTPUT EQ page: the response graph (OutputEQGraph.cpp, EQGraph.*, OutEQTables.*) ----

    // Once, when the window is initialised: the tables and the template
    // file, the markers of block OutEQCh, the curve.
    void OutputEQInit();
    // The curve of block OutEQCh's bands, recomputed and drawn; after every
    // change of a band.
    void OutputEQGraphDraw();
    // The text of frequency index k: "630", "1k", "1.25k".
    QString FNFreq_Disp(int k) const;
    // Band b's marker at its frequency and gain from the record.
    void PlaceEQMarker(int b);
    // The six bands of block OutEQCh as drawn: the types the page shows,
    // the indices of the record.
    OutEQBands OutputEQBands() const;

    // The filter type each band's selector shows.
    std::array<int, 6> OEQType{};
    // The frequency, Q, gain and marker tables and the curve's arithmetic.
    OutEQTables outEQ;
    EQGraph* PicGraph = nullptr;

    // ---- MISC page (MiscPages.cpp) ----

    std::array<PicButton*, 4> SMemLink{};

    // ---- GPI page (MiscPages.cpp, ExternalIO.cpp) ----

    void PinAssignDraw();
    void ExInput_Click(int Index);
    void ExInputList_Click();
    void RC24Button_Click();
    void ExOutButton_Click(int Index);
    void DispExtOut();
    // The remote-unit mode and the inputs' memories (part of DispSystemParam).
    void DispExInput();
    // The inputs' memory captions, numbers and names (also run when a
    // memory's name changes).
    void DispExInputMemories();

    std::array<QLabel*, 8> ExtInName{};
    std::array<QLabel*, 8> ExInput{};
    QListWidget* ExInputList = nullptr;
    QPushButton* RC24Button = nullptr;

    std::array<PicButton*, 8> ExOutButton{};
    std::array<QLabel*, 8> ExtOutName{};
    QLabel* PinAssign = nullptr;

    // ---- MISC page: mute groups and feedback suppressors (MuteGroups.cpp) ----

    void SHawling_Click(int Index);
    void SACheck_Click(int Index);
    void SMCheck_Click(int Index);
    void SAMuteUpDown_Change(int Index);
    void SMMuteUpDown_Change();
    void DispSystemParam();

    std::array<QSpinBox*, 2> SAMuteUpDown{};
    std::array<QLabel*, 2> SAMuteLabel{};
    QSpinBox* SMMuteUpDown = nullptr;
    QLabel* SMMuteLabel = nullptr;

    std::array<QCheckBox*, 6> SHawling{};
    std::array<QCheckBox*, 6> SACheck{};
    std::array<QCheckBox*, 6> SMCheck{};
    // The names of the inputs beside the boxes: MONO 1..6, and STEREO 1..4
    // with the companion inputs for SMName.
    std::array<QLabel*, 6> SHName{};
    std::array<QLabel*, 6> SAName{};
    std::array<QLabel*, 6> SMName{};

    // ---- MISC page: automatic setup of the feedback suppressors (Hawling.cpp) ----

    // Measures the mono inputs whose suppressor is on; online only.
    void HawlingButton_Click();

    QPushButton* HawlingButton = nullptr;

    // ---- Companion units (CompanionLink.cpp) ----

    // Hands one companion input's matrix row over to its unit, or takes it
    // back, re-routing every output.
    void VT20LinkSW_Click(int Index);
    // An output fader-linked to one companion input at most.
    void SKLVT201_Click(int Index);
    void SKLVT202_Click(int Index);
    // Both fader-link masks from the boxes, sent.
    void SKLVT20LinkSet();
    // Grid buttons whose source a companion unit holds get the REMOTE mark.
    void DispRemoteButtons();
    // A companion input the unit reports absent is blanked and every control
    // about it locked.
    void DispVT20Link();

    // The back colour (&HBBGGRR) of a grid button whose source a companion
    // unit holds: such a button ignores clicks.
    static constexpr unsigned RemoteBack = 0x80FFFF;

    // 0 and 2 switch companion input 1, 1 and 3 input 2; each pair shows
    // opposite states.
    std::array<PicButton*, 4> VT20LinkSW{};
    // OUT 1..4 fader-linked to companion input 1 (2).
    std::array<QCheckBox*, 4> SKLVT201{};
    std::array<QCheckBox*, 4> SKLVT202{};
    // The fader-link grid's column and row names.
    std::array<QLabel*, 2> SupMrName2{};
    std::array<QLabel*, 4> SupOutName2{};

    // ---- MEMORY page (MiscPages.cpp) ----

    // Memory memNo (1..16) becomes the selected one on the memory page.
    void SelectPatternRadio(int memNo);

    // ---- Memories: recall, store, quick recall (Memories.cpp) ----

    void PLoadButton_Click();
    void PSaveButton_Click();
    // Quick recall of the memory assigned to button Index (0..3).
    void PatternBtn_Click(int Index);
    void SMemLink_Click(int Index);
    // Opens (or closes) the assignment list beside caption Index.
    void SMemPattern_Click(int Index);
    void SMemList_Click();
    void SMemList_LostFocus();
    // Memory names into the lists and captions; the lit quick-recall button.
    void DispMemoryName();
    void DispPatternBtn();
    // "01:" and the name of memory m; a number outside 1..16 shows as it
    // stands with no name.
    QString MemoryItemText(int m) const;

    std::array<QLabel*, 16> PatternNameLabel{};
    QPushButton* PLoadButton = nullptr;
    QPushButton* PSaveButton = nullptr;
    std::array<QLabel*, 4> PatternLabel{};
    std::array<QLabel*, 4> SMemPattern{};
    QListWidget* SMemList = nullptr;

    QGroupBox* PatternGroup = nullptr;
    std::array<QRadioButton*, 16> PatternRadio{};
    QLabel* PatternName = nullptr;
    QCheckBox* IntervalOn = nullptr;
    QCheckBox* TimeOutNone = nullptr;

signals:
    // The OUTPUT EQ page was brought to the front; its controls are to be
    // filled from the record.
    void outputEQPageShown();

protected:
    // The close box: back to the start window's menu page.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
    TopWind& top_;

    // Shell
    MsgResult ShowMessage(const MsgBox& box);

    // Toolbar
    void buildTopBar(QBoxLayout* into);
    // "EXIT"; true when the editor was left.
    bool exitEditor();
    void saveVenue();
    void openVenue();
    // The save dialog; empty when cancelled.
    QString askVenueFileName();
    // Names the current memory after PatternName, sends the name, then
    // stores it in the unit.
    void storeCurrentMemory();
    // Writes the venue file and takes its name; false (after saying so)
    // when it could not be written.
    bool writeVenueFile(const QString& path);

    // Names
    // The name strips answer clicks with their rename dialogs.
    void connectNameClicks();
    void connectMatrix();
    // The text-input dialog over the editor; its text when it closes.
    QString askName(const QString& title, const QString& prompt, const QString& text, int maxBytes);
    // The editor's captions of input c (0..11) and of output Index (0..3,
    // 4 REC OUT).
    void showInputName(int c, const QString& name);
    void showOutputName(int index, const QString& name);

    // Faders
    float inFaderOffset_ = 0, inFaderScale_ = 0, outFaderOffset_ = 0, outFaderScale_ = 0;
    // Puts a bay's controls into the arrays and its marks at their design
    // places. The geometry divides the distance between the knob marks of
    // the first two bays by 120 steps, so the first stands at level 6 and
    // the second one step past level 125; every other mark stands at 125.
    FaderBay* addFaderBay(QWidget* parent, int scaleIndex, int bayIndex);
    // Measures the geometry, then brings the second bays' knob marks to 125.
    void measureFaderGeometry();

    // Input and output faders
    InFaderWind* inFaderWind_ = nullptr;
    // The strips' fader, lock, link and proxy keys to their handlers.
    void connectInputStrips();
    void connectOutputStrips();
    // A "LEVEL" button of the BLOCK page.
    QPushButton* levelButton(const QString& tip, QWidget* parent);
    // Fills the fader dialog for channel ch of side (0 inputs, 1 outputs),
    // places it right of the button column level with button at, and shows
    // it modal with its opener marked.
    void showFaderDialog(int ch, int side, QPushButton* opener, QPushButton* column, QPushButton* at,
                         const QString& line, const QString& name);
    // The knob-link switch of a channel: unlinks, or links after asking when
    // linking makes it louder. False when the user cancelled.
    bool toggleLink(uint8_t& link, uint8_t& fader, uint8_t knob, PicButton* key, QSlider* slider,
                    const QString& linkedTip);
    // The link switch's picture, and the slider locked to the knob with
    // linkedTip as its tip, or free with none.
    void showKnobLink(PicButton* key, QSlider* slider, bool linked, const QString& linkedTip);

    // MISC switches
    void buildMiscSwitches();
    // Howling measurement
    QPushButton* buildHawlingButton(QWidget* panel);
    void buildExternalInputs();
    void ShowRemoteMode(bool on);

    // Companion units
    // The fader-link grid of the MISC page.
    void buildFaderLinks();
    // The link switches with their captions in grid columns column ..
    // column + 2, beside the rows they hand over.
    void buildLinkSwitches(QGridLayout* grid, int column);
    // Every control about companion input c (0, 1), in the order the
    // absent state locks them.
    QList<QWidget*> CompanionControls(int c);

    // Input trim
    // A child of the window, made on first use.
    InTrimWind* trimWind_ = nullptr;
    // The trim row of a mono input's strip, and its gain button on BLOCK.
    QLayout* buildTrimRow(int ch, QWidget* strip);
    QPushButton* buildGainButton(int ch, QWidget* parent);
    void connectTrim();

    // Input EQ
    InEQWind* inEQWind_ = nullptr;
    QPushButton* buildInEQButton(int ch, QWidget* parent);
    void connectInputEQ();

    // Output balance
    BalWind* balWind_ = nullptr;
    // The pair's balance section of its output strip.
    QFrame* buildBalance(int p, QWidget* strip);
    void connectBalance();

    // Output EQ controls
    void connectOutputEQ();
    // The BLOCK page's EQ+FILTER button of block o.
    QPushButton* buildOutEQButton(int o, QWidget* parent);

    // Output delay
    DelayWind* delayWind_ = nullptr;
    // The BLOCK page's DELAY button of block o, and the OUTPUT EQ page's
    // pair.
    QPushButton* buildDelayButton(int o, QWidget* parent);
    QFrame* buildDelayPair(QWidget* parent);

    // Output EQ bands
    // The six bands' selectors, values and up-downs, side by side.
    QFrame* buildBandControls(QWidget* parent);
    void connectBandEditing();
    // Band b's gain or Q text from its index.
    void ShowBandGain(int b);
    void ShowBandQ(int b);
    // Fills the dialog for block Index and shows it beside opener.
    void openDelay(int Index, QWidget* opener, bool highlight);
    // The output the page's pair edits.
    int delayChannel() const;
    // A new delay v from one of the page's up-downs.
    void pageDelayChange(int v, QSpinBox* other);

    // Pages
    void buildBlockPage(QWidget* page);
    void buildInputPage(QWidget* page);
    void buildInputStrip(int ch);
    void buildMatrixPage(QWidget* page);
    void buildOutputPage(QWidget* page);
    void buildOutputStrip(int k);
    void buildOutputEQPage(QWidget* page);
    void buildMiscPage(QWidget* page);
    void buildGPIPage(QWidget* page);
    void buildMemoryPage(QWidget* page);

    // Memories
    // The recall's steps after the unit was told: the PC's copy offline,
    // the read-back and refresh, the new reference for change checks.
    void afterRecall();
    // The current state, under the name PatternName shows, into memory m
    // (1..16) of the PC and the unit; the name is not sent.
    void storeIntoMemory(int m);
    void connectMemories();
    // Memory selected on the memory page (1..16).
    int selectedMemory() const;
};
