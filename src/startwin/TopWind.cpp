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
#include "platform/OnScreen.h"
#include "data/SpeakerFile.h"
#include "startwin/AllBankWind.h"
#include "startwin/App.h"
#include "startwin/BankReadWind.h"
#include "startwin/HawlingWind.h"
#include "startwin/InputWind.h"
#include "startwin/PargeWind.h"
#include "startwin/PasswordWind.h"
#include "startwin/SPSelectWind.h"
#include "startwin/GlobalInitial.h"
#include "startwin/Widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>
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

// The headers tell which page is up; only the program turns the pages
// (simple setup is entered through its read-back and left through its end),
// so neither the mouse nor the keys turn them here.
class FixedTabBar : public QTabBar {
public:
    explicit FixedTabBar(QWidget* parent) : QTabBar(parent) { setFocusPolicy(Qt::NoFocus); }

protected:
    void mousePressEvent(QMouseEvent* e) override { e->ignore(); }
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
    void keyPressEvent(QKeyEvent* e) override { e->ignore(); }
};

class PageTabs : public QTabWidget {
public:
    explicit PageTabs(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new FixedTabBar(this));
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    // Ctrl+Tab from within a page.
    void keyPressEvent(QKeyEvent* e) override { e->ignore(); }
};

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
    TopTab = new PageTabs(this);
    outer->addWidget(TopTab);

    const char* pageNames[] = {"メニュー", "ライン設定", "スピーカー", "ハウリング"};
    for (int i = 0; i < 4; ++i) {
        Image1[i] = new PictureBox(app_.images, TopTab);
        TopTab->addTab(Image1[i], QString::fromUtf8(pageNames[i]));
        addStatusRow(Image1[i], i);
    }
    buildMenuPage(Image1[0]);
    static_cast<QVBoxLayout*>(Image1[0]->layout())->addStretch(1);
    spSelectWind.setMaker([this] {
        auto w = std::make_unique<SPSelectWind>(app_.images, this);
        w->startWindowVisible = [this] { return isVisible(); };
        FillSpeakerList(w->SpeakerList, SpeakerFiles(app_.codePage, app_.AppPath));
        SetNameFont(w->SpeakerList, NameFont);
        SetNameFont(w->LineName, NameFont);
        return w;
    });
    pargeWind.setMaker([this] { return std::make_unique<PargeWind>(app_.images, this); });

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

void TopWind::BuildWizardPages() {
    if (wizardBuilt_)
        return;
    wizardBuilt_ = true;
    buildLinePage(Image1[1]);
    buildSpeakerPage(Image1[2]);
    buildHawlingPage(Image1[3]);
    for (PicButton* b : LineButton) {
        b->setPicture(ImageWind::Pic::SwOff);
        b->Tag = QStringLiteral("0");
    }
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
    if (event->spontaneous())
        return;
    // Shown again where it was, not where the window manager would choose.
    ShowOnScreen(this, screen()->availableGeometry().center());
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
    // A scan would close the port under a transfer, and a keep-alive would
    // put the program back online after the unit had missed messages.
    if (TransferShown())
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
    // now, after the poll step, and it (or Timer1) re-arms the poll. Its
    // read-back waits for a message in flight to return, so it never starts
    // inside that message's exchange: a later tick runs it.
    if (SyousaiBtn->isEnabled() || app_.link.SendBusy) {
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
    if (page > 0)
        BuildWizardPages();
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

bool TopWind::TransferShown() const { return bankReadWind->isVisible() || allBankWind->isVisible(); }

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

void TopWind::ReplyWait(bool waiting) { waiting ? app_.hold.waitBegins() : app_.hold.waitEnds(); }

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

void TopWind::TimeOutNone_Click() {
    mainWind->TimeOutNone->setChecked(TimeOutNone->isChecked());
}
