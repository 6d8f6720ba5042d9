// The window shell: the tabs and their pages, the set-up steps, the close
// box and the online lamp.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/FaderBay.h"
#include "editor/PanelParts.h"
#include "platform/Dialogs.h"
#include "platform/OnScreen.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

void SetSwitch(PicButton* b, Pic pic) {
    b->setPicture(pic);
    b->Tag = QStringLiteral("0");
}

} // namespace

MainWind::MainWind(App& app, TopWind& top, QWidget* parent)
    : QWidget(parent), dialogs(app.images, app.data), app_(app), top_(top) {
    setObjectName(QStringLiteral("MainWind"));
    setProperty("qdrForm", true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 2, 6, 6);
    outer->setSpacing(4);
    buildTopBar(outer);

    MainTab = new QTabWidget(this);
    outer->addWidget(MainTab, 1);
    const char* captions[] = {"BLOCK", "INPUT", "MATRIX", "OUTPUT", "OUTPUT EQ", "MISC", "GPI", "MEMORY"};
    std::array<PictureBox*, 8> pages{};
    for (int i = 0; i < 8; ++i) {
        pages[i] = new PictureBox(app_.images, MainTab);
        pages[i]->setPicture(Pic::Silver86);
        MainTab->addTab(pages[i], QLatin1String(captions[i]));
    }
    buildBlockPage(pages[PageBlock]);
    buildInputPage(pages[PageInput]);
    buildMatrixPage(pages[PageMatrix]);
    buildOutputPage(pages[PageOutput]);
    buildOutputEQPage(pages[PageOutputEQ]);
    buildMiscPage(pages[PageMisc]);
    buildGPIPage(pages[PageGPI]);
    buildMemoryPage(pages[PageMemory]);
    measureFaderGeometry();
    connectInputStrips();
    connectOutputStrips();
    connectNameClicks();
    connectMatrix();
    connectInputEQ();
    connectMemories();
    connectBalance();
    connectBandEditing();
    connectOutputEQ();

    IntervalTimer.setInterval(130);
    connect(&IntervalTimer, &QTimer::timeout, this, &MainWind::IntervalTimer_Timer);
    connect(IntervalOn, &QCheckBox::clicked, this, &MainWind::IntervalOn_Click);
    connectTrim();
    connect(MainTab, &QTabWidget::currentChanged, this, &MainWind::MainTab_Click);
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* a) { Toolbar1_ButtonClick(a->data().toString()); });
}

void MainWind::Form_Initialize() {
    PollBusy = 0;

    for (int i = 0; i < static_cast<int>(LeftScale.size()); ++i) {
        if (i > 0) {
            LeftScale[i]->setFixedHeight(LeftScale[0]->height());
            LeftScale[i]->setFont(LeftScale[0]->font());
        }
        LeftScale[i]->setFrameShape(QFrame::NoFrame);
        DrawLeftScale(app_.images, LeftScale[i]);
    }

    const auto levelSlider = [](QSlider* s) {
        s->setToolTip(QStringLiteral("\t"));
        s->setMaximum(125);
        s->setMinimum(6);
    };
    for (QSlider* s : InSlider)
        levelSlider(s);
    for (int o : ChToOut)
        levelSlider(Slider1[o]);

    // The lowest step is level index 125, "-Inf".
    for (QSpinBox* s : MixAttUpDn)
        s->setMinimum(-101);

    OEQABPanel->setFrameShape(QFrame::NoFrame);

    OEQAB[0]->Tag = QStringLiteral("1");
    OEQAB[1]->Tag = QStringLiteral("0");
    OEQAB[2]->Tag = QStringLiteral("0");
    OEQABSetup();

    OEQOnOff[0]->setPicture(Pic::SwOff);
    OEQOnOff[1]->setPicture(Pic::SwOff);
    OEQCopy->setPicture(Pic::SwOff);
    OutputEQInit();
    SpkPickup->setPicture(Pic::BigSwOff);
}

void MainWind::Form_Load() {
    const ImageWind& images = app_.images;
    MainTab->setCurrentIndex(PageBlock);

    for (int i = 0; i < 4; ++i) {
        images.PictureCopy(Pic::BlockMeter, i + 2, OutMeterImage[i]);
        OutMeterImage[i]->update();
    }
    for (QLabel* l : MicLine) {
        l->setProperty("Tag", QStringLiteral("0"));
        panel::SetBackColor(l, 0xC0FFC0);
    }
    for (PicButton* b : InEQ)
        SetSwitch(b, Pic::SwOff);
    for (PicButton* b : inMute)
        SetSwitch(b, Pic::SwOff);
    for (PicButton* b : inMMute)
        SetSwitch(b, Pic::SwOff);
    for (PicButton* b : InHS1)
        SetSwitch(b, Pic::SwOff);
    for (PicButton* b : InOut)
        b->setPicture(Pic::SwOff);
    for (PicButton* b : InLock)
        SetSwitch(b, Pic::SwOff);
    for (PicButton* b : InVRADJ)
        SetSwitch(b, Pic::SwOff);
    for (int i = 0; i < 10; ++i) {
        FaderPosImg[i]->setPicture(Pic::Fpos);
        FaderPosImg[i]->setProperty("Tag", QStringLiteral("0"));
        FaderVRImg[i]->setPicture(Pic::FLPos);
        FaderVRImg[i]->setProperty("Tag", QStringLiteral("0"));
    }
    images.PictureCopy(Pic::Meter, 11, OutMeter[0]);
    images.PictureCopy(Pic::Meter, 12, OutMeter[1]);
    for (int o : ChToOut)
        SetSwitch(OutLockSW[o], Pic::BigBar);
    for (int o : ChToOut)
        SetSwitch(OutAdjSW[o], Pic::SwOff);
    for (int o : ChToOut)
        SetSwitch(OutDelay1[o], Pic::SwOff);
    for (int o : ChToOut)
        SetSwitch(OutEQ1[o], Pic::SwOff);
    for (PicButton* b : OutMonoSW) {
        b->setText(QStringLiteral("STEREO"));
        SetSwitch(b, Pic::SwOff);
    }
    for (int o : ChToOut) {
        OutFaderPos[o]->setPicture(Pic::Fpos);
        OutFaderPos[o]->setProperty("Tag", QStringLiteral("0"));
        OutFaderVRImg[o]->setPicture(Pic::FLPos);
        OutFaderVRImg[o]->setProperty("Tag", QStringLiteral("0"));
    }
    for (PicButton* b : LineButton) {
        b->setToolTip(QStringLiteral("OFF"));
        SetSwitch(b, Pic::SwOff);
    }
    for (int p : {0, 2, 4})
        LockPanel[p]->setFrameShape(QFrame::NoFrame);
    for (PicButton* b : ExOutButton) {
        b->setToolTip(QStringLiteral("OFF"));
        SetSwitch(b, Pic::SwOff);
    }
}

void MainWind::MainTab_Click() {
    if (MainTab->currentIndex() == PageOutputEQ) {
        emit outputEQPageShown();
        OutEQParamSet();
        OutDelayParamSet();
    }
}

MsgResult MainWind::ShowMessage(const MsgBox& box) {
    return ::ShowMessage(this, box);
}

void MainWind::closeEvent(QCloseEvent* event) {
    Loaded = false;
    top_.TopTab->setCurrentIndex(0);
    top_.show();
    hide();
    event->accept();
    IntervalTimer.stop();
    SyousaiEndProc();
}

void MainWind::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // The first time over the start window, which it stands in for.
    ShowOnScreen(this, top_.frameGeometry().center());
}

void MainWind::OnlineDisp(int flag) {
    Online->setFillColor(flag ? LampGreen : LampGrey);
    OnLineMess->setText(flag ? QStringLiteral("Online") : QStringLiteral("Offline"));
}
