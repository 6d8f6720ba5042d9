#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "link/LinkHost.h"
#include "platform/ComPort.h"
#include "startwin/OnDemand.h"

class AllBankWind;
class App;
class BankReadWind;
class HawlingWind;
class InputWind;
class Lamp;
class MainWind;
class PargeWind;
class PicButton;
class PictureBox;
class QRadioButton;
class SPSelectWind;
class QWindow;
class password;
class passwordEntry;

// The start window: start-up, the connection poll that drives the program,
// the start buttons and the simple-setup pages.
class TopWind : public QWidget, public LinkHost {
    Q_OBJECT
public:
    explicit TopWind(App& app, QWidget* parent = nullptr);
    ~TopWind() override;

    // Runs the whole start-up; false when another copy is running and this
    // one must end.
    bool Form_Initialize();
    void Form_Activate();
    // The quit question; true when the program may end.
    bool Form_QueryUnload();

    void Timer1_Timer();
    void ConnectTimer_Timer();
    void OnlineDisp(int flag);
    void RB700Connect();
    void SerialPort_OnComm(int event);
    void SetEndBtn_Click();
    void KantanBtn_Click();
    void SyousaiBtn_Click();
    // The offline-edit question; false when the user cancels.
    bool OfflineWindow();
    // A transfer or read-back has the link to itself while its dialog is up.
    bool TransferShown() const;
    // Locks the four start buttons; true when they were unlocked (a click,
    // not the deferred run from the poll).
    bool TopWindowLock();
    void TopWindowUnlock();
    // A click locks the start buttons and leaves the action (0 simple setup,
    // 1 Parameter Edit) to the next poll tick: true. The run from the poll
    // tells the unit that editing begins: false.
    bool DeferStart(int pending);
    void KantanEndProc();
    void TopTab_Click();
    void FileTransBtn_Click();
    // The box is kept equal to the editor's box of the same caption.
    void TimeOutNone_Click();
    // The editor's memory buttons all off.
    void SyousaiInitial();
    // The simple-setup pages, built after the start window's first paint
    // (with the editor, whose refresh fills them) or when first needed.
    void BuildWizardPages();
    // The speaker files under spkr/ into the speaker lists, the first
    // selected; at start-up and at each start of editing. The editor's list
    // is filled once the editor has been made.
    void SpeakerListMake();
    // One face for every control that shows a user's name, chosen at each
    // start of Parameter Edit: the Japanese face on the Japanese code page
    // when one is installed, else the Latin one (FontSetDefault).
    void FontSetAll();
    void FontSetDefault();
    // The password gate: true when the work may go on. Mode 0 before
    // Parameter Edit, 1 before File Transfer.
    bool PasswordProc(int mode);
    // A venue file chosen by the user into the records and, online, into
    // the unit's memories. owner 0: the start window, else the editor.
    // -1 when loaded (and sent completely), 0 otherwise. A transfer the unit
    // broke off is reported, and the windows show the records.
    int FileLoad(int owner);

    // Controls, named as the handlers of the panel use them.
    QTabWidget* TopTab = nullptr;
    // The page heading.
    std::array<QLabel*, 1> Label1{};
    std::array<PictureBox*, 4> Image1{};
    std::array<Lamp*, 4> OnLine{};
    std::array<QLabel*, 4> OnLineMess{};
    QLabel* ConnectChannel = nullptr;
    QPushButton* KantanBtn = nullptr;
    QPushButton* SyousaiBtn = nullptr;
    QPushButton* FileTransBtn = nullptr;
    QPushButton* SetEndBtn = nullptr;
    QCheckBox* TimeOutNone = nullptr;
    std::array<PicButton*, 52> LineButton{};
    ComPort SerialPort;
    QTimer Timer1;
    QTimer ConnectTimer;
    // The folder File Transfer's open dialog starts in.
    QString FileDialogFolder;

    // The dialogs of the start window, made once and shown when needed.
    std::unique_ptr<password> passwordWind;
    std::unique_ptr<passwordEntry> passwordEntryWind;
    std::unique_ptr<BankReadWind> bankReadWind;
    std::unique_ptr<AllBankWind> allBankWind;
    std::unique_ptr<InputWind> InputWindObj;
    // The editor window, kept for the whole run: built once the start window
    // has shown, or sooner when something needs it.
    OnDemand<MainWind> mainWind;
    // The measuring window of the howling suppressors, shared with the
    // editor; made when first shown.
    OnDemand<HawlingWind> hawlingWind;
    // The wizard's measurement of all six mono inputs, whatever their
    // switches; online only.
    void HawlingStart_Click();

    // ---- Simple setup (Wizard.cpp, WizardSpeakers.cpp)
    // Page 1: the routing and the names. Label2 0..11 the inputs, 12..15
    // OUT 1..4, 16 REC OUT; NameText the same.
    std::array<QLabel*, 17> Label2{};
    std::array<QLabel*, 17> NameText{};
    // Page 2: a speaker per output channel, its changed-in-the-editor note,
    // the output's name; the microphone tone.
    std::array<QLabel*, 4> SpeakerName{};
    std::array<QLabel*, 4> SpChgMes{};
    std::array<QLabel*, 4> NameTextSP{};
    std::array<QLabel*, 4> SPLabel{};
    std::array<QRadioButton*, 3> MicOption{};
    std::array<QLabel*, 3> Label12{};
    QPushButton* OnsituBtn = nullptr;
    // Page 3: the suppressors on or off and the measurement.
    std::array<QCheckBox*, 1> HawlingOption{};
    std::array<QLabel*, 1> Label11{};
    QPushButton* HawlingStart = nullptr;
    // The venue name and the way on, back and out, one per page.
    std::array<QLabel*, 3> SystemText{};
    std::array<QPushButton*, 3> NextButton{};
    std::array<QPushButton*, 3> ModoruButton{};
    std::array<QPushButton*, 3> StopButton{};
    // The speaker chooser and the wait window of a stop; made on first use.
    OnDemand<SPSelectWind> spSelectWind;
    OnDemand<PargeWind> pargeWind;

    void LineButton_Click(int index);
    void NameText_Click(int index);
    void NameTextSP_Click(int i);
    void SystemText_Click(int i);
    void SpeakerName_Click(int k);
    void MicOption_Click(int i);
    void Label12_Click(int i);
    void OnsituBtn_Click();
    void HawlingOption_Click();
    void Label11_Click();
    void NextButton_Click(int i);
    void ModoruButton_Click(int i);
    void StopButton_Click(int i);
    void DispSpeakerName();
    void DispSystemName();
    // Every control of these windows that shows a user's name.
    QList<QWidget*> NameControls();

    // The face the last FontSetAll gave the names; a name control built
    // later takes it too (SetNameFont). Empty before the first.
    QString NameFont;

    // Poll state.
    int PollSkip = 0;
    int TimerRestart = 0;
    int OfflineCount = 0;
    bool OfflineShown = false;
    int PendingStart = -1;
    bool FirstUnlock = false;

    // LinkHost
    bool SendGateOpen() override;
    void OnLinkLost() override;
    void PumpEvents(int maxMs) override;
    void ReplyWait(bool waiting) override;
    void SetConnectChannel(const QString& text) override;
    MsgResult ShowMessage(const MsgBox& box) override;
    void KnobLevelsRead(int side) override { emit knobLevelsRead(side); }
    void MemNoRead(int memNo) override { emit memNoRead(memNo); }
    void BankProgress(int m) override { emit bankProgress(m); }

signals:
    // Reported by the link for the windows that show them.
    void knobLevelsRead(int side);
    void memNoRead(int memNo);
    void bankProgress(int m);
    // The program is to end now, without further events.
    void ProgramEnd();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
    bool ending_ = false;
    bool editorQueued_ = false;
    bool wizardBuilt_ = false;
    QWindow* lastFocusWindow_ = nullptr;

    void buildMenuPage(PictureBox* page);
    void buildLinePage(PictureBox* page);
    void buildSpeakerPage(PictureBox* page);
    void buildHawlingPage(PictureBox* page);
    // The venue box and the three page buttons at the foot of page i + 1.
    void buildPageFoot(PictureBox* page, int i);
    void addStatusRow(PictureBox* page, int i);
    void focusWindowChanged(QWindow* now);
    // NameFont on every name control that exists.
    void nameFontWalk();
};
