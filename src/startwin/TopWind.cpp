#include "startwin/TopWind.h"

#include "data/InEQPreset.h"
#include "editor/MainWind.h"
#include "data/SpeakerFile.h"
#include "data/Tables.h"
#include "data/VenueFile.h"
#include "link/Link.h"
#include "link/Serial.h"
#include "platform/EventWait.h"
#include "platform/Dialogs.h"
#include "startwin/AllBankWind.h"
#include "startwin/App.h"
#include "startwin/BankReadWind.h"
#include "startwin/HawlingWind.h"
#include "startwin/InputWind.h"
#include "startwin/PasswordWind.h"
#include "startwin/GlobalInitial.h"
#include "startwin/Widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// The page strips are 9000 twips high; the pages are as wide as the
// simple-setup matrix needs.
constexpr int PageHeight = 9000 / 15;
constexpr int PageWidth = 720;

QPushButton* StartButton(const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setMinimumSize(220, 44);
    b->setFont(Scaled(b->font(), 1.25, true));
    return b;
}

} // namespace

TopWind::TopWind(App& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("TopWind"));
    setProperty("qdrForm", true);
    // One face that has both the Latin and the Japanese captions (the
    // set-up installs it): finding a face for the Japanese glyphs through
    // the font system's fallback search would cost the start window about
    // a tenth of its start-up.
    QFont face = font();
    face.setFamily(QStringLiteral("IPAPGothic"));
    setFont(face);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    Label1[0] = new QLabel(this);
    Label1[0]->setFont(Scaled(Label1[0]->font(), 1.3, true));
    outer->addWidget(Label1[0]);
    TopTab = new QTabWidget(this);
    outer->addWidget(TopTab);

    const char* pageNames[] = {"メニュー", "ライン設定", "スピーカー", "ハウリング"};
    for (int i = 0; i < 4; ++i) {
        Image1[i] = new PictureBox(app_.images, TopTab);
        TopTab->addTab(Image1[i], QString::fromUtf8(pageNames[i]));
        addStatusRow(Image1[i], i);
    }
    buildMenuPage(Image1[0]);
    buildLinePage(Image1[1]);
    for (PictureBox* page : Image1)
        static_cast<QVBoxLayout*>(page->layout())->addStretch(1);

    Timer1.setInterval(100);
    ConnectTimer.setInterval(300);
    connect(&Timer1, &QTimer::timeout, this, &TopWind::Timer1_Timer);
    connect(&ConnectTimer, &QTimer::timeout, this, &TopWind::ConnectTimer_Timer);
    connect(SetEndBtn, &QPushButton::clicked, this, &TopWind::SetEndBtn_Click);
    connect(&SerialPort, &ComPort::onComm, this, &TopWind::SerialPort_OnComm);
    connect(TopTab, &QTabWidget::currentChanged, this, &TopWind::TopTab_Click);
    connect(KantanBtn, &QPushButton::clicked, this, &TopWind::KantanBtn_Click);
    connect(SyousaiBtn, &QPushButton::clicked, this, &TopWind::SyousaiBtn_Click);
    connect(FileTransBtn, &QPushButton::clicked, this, &TopWind::FileTransBtn_Click);
    connect(TimeOutNone, &QCheckBox::toggled, this, &TopWind::TimeOutNone_Click);

    passwordWind = std::make_unique<password>(app_);
    passwordEntryWind = std::make_unique<passwordEntry>(app_);
    bankReadWind = std::make_unique<BankReadWind>(app_);
    allBankWind = std::make_unique<AllBankWind>(app_);
    connect(this, &TopWind::bankProgress, allBankWind.get(), &AllBankWind::SetProgress);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TopWind::focusWindowChanged);
}

// The link outlives this window: its port is closed and its COM control,
// which dies with the window, handed back first.
TopWind::~TopWind() {
    if (app_.link.SerialObj) {
        SerialClose(app_.link);
        app_.link.SerialObj->SetMSComm(nullptr);
    }
}

void TopWind::addStatusRow(PictureBox* page, int i) {
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(24, 16, 24, 16);
    auto* row = new QHBoxLayout;
    OnLine[i] = new Lamp(page);
    OnLineMess[i] = new QLabel(i == 0 ? QStringLiteral("Checking communication.") : QStringLiteral("オフライン"), page);
    OnLineMess[i]->setFont(Scaled(OnLineMess[i]->font(), 1.1, true));
    row->addWidget(OnLine[i]);
    row->addWidget(OnLineMess[i]);
    row->addStretch(1);
    if (i == 0) {
        ConnectChannel = new QLabel(QStringLiteral("USB Connecting"), page);
        row->addWidget(ConnectChannel);
    }
    col->addLayout(row);
}

void TopWind::buildMenuPage(PictureBox* page) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());

    auto* title = new QLabel(QLatin1String(ProductName), page);
    title->setFont(Scaled(title->font(), 2.6, true));
    title->setAlignment(Qt::AlignHCenter);
    auto* version = new QLabel(QLatin1String(VerStr), page);
    version->setAlignment(Qt::AlignHCenter);
    version->setFont(Scaled(version->font(), 1.1));
    col->addSpacing(30);
    col->addWidget(title);
    col->addWidget(version);
    col->addSpacing(30);

    KantanBtn = StartButton(QStringLiteral("簡 単 設 定"), page);
    SyousaiBtn = StartButton(QStringLiteral("Parameter Edit"), page);
    FileTransBtn = StartButton(QStringLiteral("File Transfer"), page);
    SetEndBtn = StartButton(QStringLiteral("Quit"), page);
    KantanBtn->setEnabled(false);
    for (QPushButton* b : {KantanBtn, SyousaiBtn, FileTransBtn, SetEndBtn}) {
        col->addWidget(b, 0, Qt::AlignHCenter);
        col->addSpacing(8);
    }

    TimeOutNone = new QCheckBox(QStringLiteral("タイムアウトなし"), page);
    col->addSpacing(20);
    col->addWidget(TimeOutNone, 0, Qt::AlignHCenter);
}

void TopWind::buildLinePage(PictureBox* page) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());
    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    // Button i switches source row i / 4 into output channel i % 4.
    for (int i = 0; i < static_cast<int>(LineButton.size()); ++i) {
        LineButton[i] = new PicButton(app_.images, QString(), page);
        LineButton[i]->setFixedSize(56, 22);
        grid->addWidget(LineButton[i], i / 4, i % 4);
    }
    col->addSpacing(12);
    col->addLayout(grid);
}

bool TopWind::Form_Initialize() {
    for (PictureBox* page : Image1)
        page->setMinimumSize(PageWidth, PageHeight);
    if (app_.AppPath.isEmpty())
        app_.AppPath = QCoreApplication::applicationDirPath();

    if (!app_.instance.acquire()) {
        ::ShowMessage(this, {QStringLiteral("Two or more this applications cannot be started."), QLatin1String(ProductName),
                           MsgButtons::Ok, MsgIcon::Exclamation, MsgResult::Ok});
        return false;
    }

    FileDialogFolder = app_.AppPath;
    TopTab->setCurrentIndex(0);
    GlobalInitial(app_, *this);
    SpeakerListMake();
    for (PictureBox* page : Image1)
        page->setPicture(ImageWind::Pic::Silver86);
    for (PicButton* b : LineButton) {
        b->setPicture(ImageWind::Pic::SwOff);
        b->Tag = QStringLiteral("0");
    }
    PollSkip = 3;
    LoadDefaultVenue(app_.data, app_.codePage, app_.AppPath, app_.link.OnLine);

    Timer1.start();
    ConnectTimer.start();
    return true;
}

void TopWind::Form_Activate() {
    PollSkip = 5;
    ConnectTimer.start();
}

void TopWind::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The editor is built in the first idle moment after the start window
    // has been painted.
    if (!editorQueued_) {
        editorQueued_ = true;
        QTimer::singleShot(0, this, [this] { mainWind.get(); });
    }
}

void TopWind::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

// Coming back to this window from another of the program's own forms is an
// activation; message boxes, file dialogs and other programs are not.
void TopWind::focusWindowChanged(QWindow* now) {
    QWindow* before = lastFocusWindow_;
    lastFocusWindow_ = now;
    if (!now || now != windowHandle() || !before || before == now)
        return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() == before && w->property("qdrForm").toBool()) {
            Form_Activate();
            return;
        }
    }
}

void TopWind::Timer1_Timer() {
    Timer1.stop();
    if (!ConnectTimer.isActive()) {
        // The poll is re-armed after about ten seconds off.
        if (++TimerRestart > 100) {
            ConnectTimer.start();
            TimerRestart = 0;
        }
    }
    app_.waits.Tick();
    mainWind->TimerFunction();
    Timer1.start();
}

void TopWind::ConnectTimer_Timer() {
    if (!isVisible() || TopTab->currentIndex() != 0) {
        ConnectTimer.stop();
        return;
    }
    // A transfer or read-back has the link to itself while its dialog is
    // up: a scan would close the port under it, and a keep-alive would put
    // the program back online after the unit had missed messages.
    if (bankReadWind->isVisible() || allBankWind->isVisible())
        return;
    ConnectTimer.stop();
    if (PollSkip != 0) {
        --PollSkip;
    } else if (!app_.link.OnLine) {
        // A message in flight keeps its port: a COM-port reply wait lets
        // this tick run, and a scan step would close the port under it.
        if (!app_.link.SendBusy)
            app_.link.SerialObj->AllPortCheck();
        if (!OfflineShown && ++OfflineCount > 6) {
            OfflineShown = true;
            OnlineDisp(app_.link.OnLine);
        }
        PollSkip = 1;
    } else {
        RB700Connect();
        PollSkip = 3;
    }
    // While the start buttons are locked a start action is pending; it runs
    // now, after the poll step, and it (or Timer1) re-arms the poll.
    if (SyousaiBtn->isEnabled()) {
        ConnectTimer.start();
    } else if (PendingStart == 0) {
        PendingStart = -1;
        KantanBtn_Click();
    } else if (PendingStart == 1) {
        PendingStart = -1;
        SyousaiBtn_Click();
    }
}

bool TopWind::OfflineWindow() {
    if (!SyousaiBtn->isEnabled() || app_.link.OnLine)
        return true;
    return ::ShowMessage(this, {QStringLiteral("Offline edit?"), QStringLiteral("Confirmation"), MsgButtons::OkCancel,
                                MsgIcon::Exclamation, MsgResult::Ok}) != MsgResult::Cancel;
}

bool TopWind::TopWindowLock() {
    const bool wasEnabled = SyousaiBtn->isEnabled();
    for (QPushButton* b : {KantanBtn, SyousaiBtn, FileTransBtn, SetEndBtn})
        b->setEnabled(false);
    OnlineDisp(app_.link.OnLine);
    return wasEnabled;
}

void TopWind::TopWindowUnlock() {
    for (QPushButton* b : {KantanBtn, SyousaiBtn, FileTransBtn, SetEndBtn})
        b->setEnabled(true);
    if (!FirstUnlock) {
        FirstUnlock = true;
        app_.data.BackupMemory();
    }
}

void TopWind::KantanEndProc() {
    SendNO(app_.link, 2, 500);
    setWindowTitle(QStringLiteral("%1 %2").arg(QLatin1String(ProductName), QLatin1String(VerStr)));
    PollSkip = 5;
    ConnectTimer.start();
}

void TopWind::TopTab_Click() {
    static const char* const headings[] = {"", "マトリックス選択", "スピーカー選択", "ハウリングサプレッサー設定"};
    const int page = TopTab->currentIndex();
    Label1[0]->setText(page >= 0 && page < 4 ? QString::fromUtf8(headings[page]) : QString());
}

void TopWind::OnlineDisp(int flag) {
    for (int i = 0; i < 4; ++i) {
        OnLine[i]->setFillColor(flag ? LampGreen : LampGrey);
        OnLineMess[i]->setText(flag ? QStringLiteral("Online") : QStringLiteral("Offline"));
    }
    mainWind->OnlineDisp(flag);
}

void TopWind::RB700Connect() {
    if (app_.link.SendBusy == 1)
        return;
    SendNO(app_.link, 0, Serial::ProbeWait);
    app_.link.OnLine = app_.link.Replied();
    OnlineDisp(app_.link.OnLine);
}

void TopWind::SerialPort_OnComm(int event) {
    if (app_.link.SerialObj)
        app_.link.SerialObj->OnCommProc(event);
}

bool TopWind::SendGateOpen() { return isVisible() && KantanBtn->isEnabled() && TopTab->currentIndex() == 0; }

void TopWind::OnLinkLost() {
    OnlineDisp(0);
    SetConnectChannel(QString());
    ::ShowMessage(this, {QStringLiteral("Communication with QDR318 lost.\r\nPlease check the cable and try again."),
                       QStringLiteral("Break"), MsgButtons::CancelTryContinue, MsgIcon::None, MsgResult::Cancel});
    mainWind->MeterLampClear();
}

MsgResult TopWind::ShowMessage(const MsgBox& box) { return ::ShowMessage(this, box); }

void TopWind::PumpEvents(int maxMs) { WaitForEvents(maxMs); }

void TopWind::SetConnectChannel(const QString& text) { ConnectChannel->setText(text); }

void TopWind::SetEndBtn_Click() { close(); }

bool TopWind::Form_QueryUnload() {
    const MsgResult answer = ::ShowMessage(this, {QStringLiteral("Quit?"), QStringLiteral("Confirmation"),
                                                MsgButtons::OkCancel, MsgIcon::Question, MsgResult::Cancel});
    if (answer == MsgResult::Cancel) {
        PollSkip = 11;
        ConnectTimer.start();
        return false;
    }
    ConnectTimer.stop();
    if (app_.link.OnLine)
        KantanEndProc();
    SerialClose(app_.link);
    ending_ = true;
    emit ProgramEnd();
    return true;
}

void TopWind::closeEvent(QCloseEvent* event) {
    if (ending_ || Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

bool TopWind::DeferStart(int pending) {
    if (TopWindowLock()) {
        PendingStart = pending;
        ConnectTimer.start();
        return true;
    }
    // The run from the poll: the unit is told that editing begins.
    SendNO(app_.link, 2, 500);
    SendNO(app_.link, 3, 500);
    return false;
}

void TopWind::KantanBtn_Click() {
    if (!OfflineWindow() || DeferStart(0))
        return;
    SpeakerListMake();
    bankReadWind->ShowBankReadWind(0);
    const int p = app_.send->GetInEQPreset();
    app_.DispBusy = 1;
    if (p == -1)
        app_.send->SetInEQPreset(FlatPreset);
    app_.DispBusy = 0;
    TopWindowUnlock();
    TopTab->setCurrentIndex(1);
    setWindowTitle(QStringLiteral("%1 %2 簡単設定").arg(QLatin1String(ProductName), QLatin1String(VerStr)));
}

void TopWind::SyousaiBtn_Click() {
    if (!OfflineWindow() || !PasswordProc(0) || DeferStart(1))
        return;
    SpeakerListMake();
    // A window closed with its close box loads again at its first touch,
    // before the read-back draws the record on it.
    if (!mainWind->Loaded) {
        mainWind->Form_Load();
        mainWind->Loaded = true;
    }
    SyousaiInitial();
    bankReadWind->ShowBankReadWind(0);
    // Offline without a venue file the unit's knobs are unknown: lowest.
    if (!app_.link.OnLine && !app_.data.VenueLoaded) {
        BankRec& r = app_.data.BankData[app_.data.CurBank];
        LevelRec& lv = app_.data.MemLevel[app_.data.CurBank];
        for (int c = 0; c < 10; ++c)
            r.In[c].VRLevel = lv.In[c] = 125;
        for (int b : ChToOut)
            r.Out[b].VRLevel = lv.Out[b] = 125;
        mainWind->PlaceAllMarks(125);
    }
    FontSetAll();
    mainWind->MainTab->setCurrentIndex(0);
    mainWind->show();
    TopWindowUnlock();
    hide();
    app_.lib->ReadInputLevel();
    app_.lib->ReadOutputLevel();
    mainWind->OutputWindMake();
    if (!app_.link.OnLine)
        mainWind->MeterLampClear();
    mainWind->IntervalTimer.start();
}

void TopWind::SyousaiInitial() {
    for (int i = 0; i < 4; ++i) {
        mainWind->PatternBtn[i]->Tag = QStringLiteral("0");
        mainWind->SMemLink[i]->Tag = QStringLiteral("0");
    }
    for (int i = 0; i < 4; ++i) {
        mainWind->PatternBtn[i]->setPicture(ImageWind::Pic::SwOff);
        mainWind->SMemLink[i]->setPicture(ImageWind::Pic::SwOff);
    }
}

void TopWind::SpeakerListMake() {
    if (mainWind.made())
        mainWind->SpeakerListFill(SpeakerFiles(app_.codePage, app_.AppPath));
}

void TopWind::FontSetAll() {
    const QString japan = JapanFontFamily(app_.codePage);
    if (japan.isEmpty()) {
        FontSetDefault();
        return;
    }
    NameFont = japan;
    nameFontWalk();
}

void TopWind::FontSetDefault() {
    NameFont = EnglishFontFamily();
    nameFontWalk();
}

void TopWind::nameFontWalk() {
    mainWind->dialogs.NameFont = NameFont;
    for (QWidget* w : mainWind->NameControls())
        SetNameFont(w, NameFont);
    SetNameFont(InputWindObj->Text1, NameFont);
}

bool TopWind::PasswordProc(int mode) {
    // The deferred run of Parameter Edit was let through at the click.
    if (mode == 0 && !SyousaiBtn->isEnabled())
        return true;
    if (!app_.link.OnLine)
        return true;
    app_.link.PasswordStr.clear();
    app_.lib->LoadPassword();
    // A unit that fell silent has a password we do not know, not none:
    // registering one now would overwrite it once the unit answers again.
    if (!app_.link.OnLine)
        return false;
    passwordWind->Tag = QStringLiteral("0");
    passwordEntryWind->Tag = QStringLiteral("0");

    if (!app_.link.PasswordStr.isEmpty()) {
        while (passwordWind->Tag == QStringLiteral("0")) {
            passwordWind->exec();
            if (passwordWind->Tag == QStringLiteral("1"))
                return false;
            // A wrong entry is not reported: the dialog simply comes back.
            if (passwordWind->passtext->text() == app_.link.PasswordStr)
                passwordWind->Tag = QStringLiteral("1");
        }
        return true;
    }
    // The unit has no password: the user registers one.
    passwordEntryWind->exec();
    if (passwordEntryWind->Tag != QStringLiteral("0"))
        return false;
    app_.link.PasswordStr = passwordEntryWind->passtext[0]->text();
    app_.send->SavePassword();
    return true;
}

void TopWind::TimeOutNone_Click() {
    mainWind->TimeOutNone->setChecked(TimeOutNone->isChecked());
}

void TopWind::FileTransBtn_Click() {
    if (!PasswordProc(1))
        return;
    FileLoad(0);
    PollSkip = 5;
    ConnectTimer.start();
}

int TopWind::FileLoad(int owner) {
    FileDialogSpec spec;
    spec.mode = FileDialogSpec::Mode::Open;
    spec.title = QStringLiteral("File Load");
    spec.folder = app_.AppPath + QStringLiteral("/param/");
    spec.filters = {QStringLiteral("All file (*.*)"), QStringLiteral("Venue file (*.vnf)")};
    const QString name = ShowFileDialog(owner == 0 ? this : nullptr, spec);
    // A cancelled dialog chooses nothing, so nothing is loaded.
    if (name.isEmpty())
        return 0;
    allBankWind->SetPicture(owner == 0);
    if (!name.contains(QStringLiteral(".vnf"), Qt::CaseSensitive)) {
        ::ShowMessage(this, {QStringLiteral("File type error."), QStringLiteral("File type error"), MsgButtons::Ok,
                             MsgIcon::Critical, MsgResult::Ok});
        return 0;
    }
    // A file that cannot be read changes nothing and sends nothing.
    if (!LoadVenueFile(app_.data, app_.codePage, name, app_.link.OnLine)) {
        ::ShowMessage(this, {QStringLiteral("(%1) File error.").arg(name), QStringLiteral("File error"), MsgButtons::Ok,
                             MsgIcon::Critical, MsgResult::Ok});
        return 0;
    }
    SetFileName(app_.data, name);

    int result = -1;
    bool lost = false;
    if (app_.link.OnLine) {
        allBankWind->TransDir = 0;
        allBankWind->exec();
        result = allBankWind->BankResult;
        lost = allBankWind->LinkLost;
    }
    app_.data.MemNo = 1;
    app_.send->SendBankRecall(app_.data.MemNo);
    app_.data.BankData[app_.data.CurBank] = app_.data.BankData[app_.data.MemNo];
    app_.data.BackupMemory();
    if (lost) {
        // No read-back follows a transfer the unit broke off: the windows
        // show the file as the PC now holds it, and the user learns that
        // the unit's memories do not.
        bankReadWind->ShowRecords();
        ::ShowMessage(this, {QStringLiteral("QDR318 did not receive the whole venue file.\r\n"
                                            "Its memories do not match the file: please transfer it again."),
                             QStringLiteral("Transfer incomplete"), MsgButtons::Ok, MsgIcon::Exclamation,
                             MsgResult::Ok});
    }
    return result;
}

void TopWind::HawlingStart_Click() {
    if (!app_.link.OnLine)
        return;
    hawlingWind->Measure({true, true, true, true, true, true},
                         [](int n) { return QStringLiteral("MONO %1 を測定しています").arg(n); });
}
