#include "editor/MainWind.h"

#include "startwin/AllBankWind.h"
#include "startwin/BankReadWind.h"

#include "data/Tables.h"
#include "data/VenueFile.h"
#include "editor/FaderBay.h"
#include "editor/PanelParts.h"
#include "editor/PinTable.h"
#include "link/Link.h"
#include "link/ParamSend.h"
#include "platform/Dialogs.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QRadioButton>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

using Pic = ImageWind::Pic;

// The toolbar's pictures, drawn on a 32-unit square.
void PaintToolIcon(QPainter& p, const QString& key) {
    const QColor ink(0x2A, 0x30, 0x38);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (key == QLatin1String("EXIT")) {
        // A door left ajar and an arrow leaving through it.
        p.setBrush(QColor(0xC9, 0xA2, 0x6B));
        p.drawRect(QRectF(14, 4, 13, 24));
        p.setBrush(QColor(0x8C, 0x64, 0x32));
        QPainterPath leaf;
        leaf.moveTo(14, 4);
        leaf.lineTo(21, 7);
        leaf.lineTo(21, 30);
        leaf.lineTo(14, 28);
        leaf.closeSubpath();
        p.drawPath(leaf);
        p.setPen(QPen(QColor(0x1D, 0x6F, 0xD1), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(12, 16), QPointF(3, 16));
        p.drawPolyline(QPolygonF({QPointF(7, 11), QPointF(2.5, 16), QPointF(7, 21)}));
    } else if (key == QLatin1String("OPEN")) {
        // An open folder.
        p.setBrush(QColor(0xE8, 0xB8, 0x4A));
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(11, 8);
        back.lineTo(13, 11);
        back.lineTo(26, 11);
        back.lineTo(26, 27);
        back.lineTo(3, 27);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xF6, 0xD3, 0x7A));
        QPainterPath front;
        front.moveTo(3, 27);
        front.lineTo(8, 15);
        front.lineTo(30, 15);
        front.lineTo(26, 27);
        front.closeSubpath();
        p.drawPath(front);
    } else {
        // A floppy disk.
        p.setBrush(QColor(0x3B, 0x5B, 0x86));
        QPainterPath body;
        body.moveTo(4, 4);
        body.lineTo(24, 4);
        body.lineTo(28, 8);
        body.lineTo(28, 28);
        body.lineTo(4, 28);
        body.closeSubpath();
        p.drawPath(body);
        p.setBrush(QColor(0xE4, 0xE8, 0xEE));
        p.drawRect(QRectF(9, 4, 13, 8));
        p.setBrush(QColor(0xFA, 0xFA, 0xFA));
        p.drawRect(QRectF(8, 17, 16, 11));
        p.setPen(QPen(QColor(0x3B, 0x5B, 0x86), 1.6));
        p.drawLine(QPointF(18, 5.5), QPointF(18, 10.5));
    }
}

QIcon ToolIcon(const QString& key) {
    QIcon icon;
    for (int side : {32, 64}) {
        QPixmap pm(side, side);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.scale(side / 32.0, side / 32.0);
        PaintToolIcon(p, key);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void SetSwitch(PicButton* b, Pic pic) {
    b->setPicture(pic);
    b->Tag = QStringLiteral("0");
}

} // namespace

MainWind::MainWind(App& app, TopWind& top, QWidget* parent) : QWidget(parent), app_(app), top_(top) {
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

    IntervalTimer.setInterval(130);
    connect(MainTab, &QTabWidget::currentChanged, this, &MainWind::MainTab_Click);
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* a) { Toolbar1_ButtonClick(a->data().toString()); });
}

void MainWind::buildTopBar(QBoxLayout* into) {
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    Toolbar1 = new QToolBar(this);
    Toolbar1->setIconSize(QSize(28, 28));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const std::pair<const char*, const char*> buttons[] = {{"EXIT", "Return to start window."},
                                                           {"OPEN", "Open parameter file."},
                                                           {"SAVE", "Save parameter file."}};
    for (auto [key, tip] : buttons) {
        QAction* a = Toolbar1->addAction(ToolIcon(QLatin1String(key)), QLatin1String(key));
        a->setData(QLatin1String(key));
        a->setToolTip(QLatin1String(tip));
    }
    row->addWidget(Toolbar1);
    row->addStretch(1);

    row->addWidget(panel::Legend(QStringLiteral("VENUE"), this));
    SystemName = panel::NameStrip(this, 220);
    SystemName->setFixedHeight(24);
    row->addWidget(SystemName);
    row->addSpacing(24);
    Online = new Lamp(this);
    OnLineMess = new QLabel(this);
    OnLineMess->setMinimumWidth(60);
    QFont f = OnLineMess->font();
    f.setBold(true);
    OnLineMess->setFont(f);
    row->addWidget(Online);
    row->addWidget(OnLineMess);
    row->addSpacing(6);
    into->addLayout(row);
}

FaderBay* MainWind::addFaderBay(QWidget* parent, int scaleIndex, int bayIndex) {
    auto* bay = new FaderBay(app_.images, parent);
    LeftScale[scaleIndex] = bay->scale();
    const int top = bay->markTopFor(FaderBay::LevelTop), bottom = bay->markTopFor(FaderBay::LevelBottom);
    constexpr int Steps = FaderBay::LevelBottom - FaderBay::LevelTop;
    const int knob = bayIndex == 0   ? top
                     : bayIndex == 1 ? top + int(std::lround((bottom - top) * (Steps + 1.0) / Steps))
                                     : bottom;
    bay->knobMark()->move(bay->knobMark()->x(), knob);
    bay->memoryMark()->move(bay->memoryMark()->x(), bottom);
    return bay;
}

void MainWind::measureFaderGeometry() {
    inFaderOffset_ = float(FaderPosImg[0]->y());
    inFaderScale_ = float(FaderPosImg[1]->y() - FaderPosImg[0]->y()) / 120;
    outFaderOffset_ = float(OutFaderPos[0]->y());
    outFaderScale_ = float(OutFaderPos[2]->y() - OutFaderPos[0]->y()) / 120;
    PlaceInMark(FaderPosImg[1], FaderBay::LevelBottom);
    PlaceOutMark(OutFaderPos[2], FaderBay::LevelBottom);
}

void MainWind::PlaceInMark(PictureBox* mark, int level) {
    mark->move(mark->x(), qRound((level - 6) * inFaderScale_ + inFaderOffset_));
}

void MainWind::PlaceOutMark(PictureBox* mark, int level) {
    mark->move(mark->x(), qRound((level - 6) * outFaderScale_ + outFaderOffset_));
}

void MainWind::PlaceAllMarks(int level) {
    for (int c = 0; c < 10; ++c) {
        PlaceInMark(FaderPosImg[c], level);
        PlaceInMark(FaderVRImg[c], level);
    }
    for (int o : ChToOut) {
        PlaceOutMark(OutFaderPos[o], level);
        PlaceOutMark(OutFaderVRImg[o], level);
    }
}

void MainWind::KnobLevelsRead(int side) {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    if (side == 0) {
        for (int c = 0; c < 10; ++c) {
            PlaceInMark(FaderPosImg[c], r.In[c].VRLevel);
            if (r.In[c].VRLink == 1)
                InSlider[c]->setValue(r.In[c].VRLevel);
        }
        return;
    }
    for (int o : ChToOut) {
        PlaceOutMark(OutFaderPos[o], r.Out[o].VRLevel);
        if (r.Out[o].VRLink == 1)
            Slider1[o]->setValue(r.Out[o].VRLevel);
    }
}

void MainWind::SelectPatternRadio(int memNo) { TableAt(PatternRadio, memNo - 1)->setChecked(true); }

void MainWind::Form_Initialize() {
    PicGraph->clear();
    PollBusy = 0;

    for (int i = 0; i < static_cast<int>(LeftScale.size()); ++i) {
        if (i > 0) {
            LeftScale[i]->setFixedHeight(LeftScale[0]->height());
            LeftScale[i]->setFont(LeftScale[0]->font());
        }
        LeftScale[i]->setFrameShape(QFrame::NoFrame);
        drawLeftScale(LeftScale[i]);
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

    BalVol[0]->setFrameShape(QFrame::NoFrame);
    BalVol[2]->setFrameShape(QFrame::NoFrame);
    OEQABPanel->setFrameShape(QFrame::NoFrame);

    OEQAB[0]->Tag = QStringLiteral("1");
    OEQAB[1]->Tag = QStringLiteral("0");
    OEQAB[2]->Tag = QStringLiteral("0");
    OEQABSetup();

    OEQOnOff[0]->setPicture(Pic::SwOff);
    OEQOnOff[1]->setPicture(Pic::SwOff);
    OEQCopy->setPicture(Pic::SwOff);
    SpkPickup->setPicture(Pic::BigSwOff);
}

void MainWind::drawLeftScale(QLabel* box) {
    QPixmap pm = app_.images.Picture(Pic::LeftScale, 0, box->size(), box->devicePixelRatioF());
    QPainter p(&pm);
    QFont f = box->font();
    f.setPointSize(7);
    p.setFont(f);
    p.setPen(QColor(0x1C, 0x20, 0x26));
    // Figures at their twips positions (15 twips to the pixel).
    struct Figure {
        int x, y;
        const char* text;
    };
    constexpr Figure figures[] = {
        {0, 0, "10"}, {2, 285, " 0"}, {0, 645, "10"}, {0, 1005, "20"}, {0, 1425, "40"}};
    for (const Figure& fig : figures)
        p.drawText(QRectF(fig.x / 15.0, fig.y / 15.0, box->width(), box->height()),
                   Qt::AlignLeft | Qt::AlignTop, QLatin1String(fig.text));
    p.end();
    box->setPixmap(pm);
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

void MainWind::PinAssignDraw() {
    QLabel* box = PinAssign;
    const QColor back = Picture2[10]->palette().color(QPalette::Window);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, back);
    box->setPalette(pal);
    box->setAutoFillBackground(true);
    box->setFrameShape(QFrame::NoFrame);

    const qreal dpr = box->devicePixelRatioF();
    QPixmap pm(box->size() * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(back);
    QPainter p(&pm);
    QFont f = box->font();
    f.setPointSize(8);
    p.setFont(f);
    p.setPen(QPen(Qt::black, 1));
    PinTable::Layout(box->size()).Draw(p, box->size());
    p.end();
    box->setPixmap(pm);
}

void MainWind::MainTab_Click() {
    if (MainTab->currentIndex() == PageOutputEQ)
        emit outputEQPageShown();
}

MsgResult MainWind::ShowMessage(const MsgBox& box) {
    return ::ShowMessage(this, box);
}

MsgResult MainWind::StoreConfirm() {
    return ShowMessage({QStringLiteral("Store to Memory %1 before saving ?").arg(app_.data.MemNo),
                        QStringLiteral("Confirmation"), MsgButtons::YesNoCancel, MsgIcon::Question,
                        MsgResult::No});
}

void MainWind::Toolbar1_ButtonClick(const QString& key) {
    // No status poll while an action runs; it resumes unless the editor was left.
    IntervalTimer.stop();
    bool left = false;
    if (key == QLatin1String("EXIT"))
        left = exitEditor();
    else if (key == QLatin1String("OPEN"))
        openVenue();
    else if (key == QLatin1String("SAVE"))
        saveVenue();
    if (!left)
        IntervalTimer.start();
}

bool MainWind::exitEditor() {
    ParamData& d = app_.data;
    if (!app_.link.OnLine) {
        const MsgResult answer =
            ShowMessage({QStringLiteral("Do you want to save File?"), QStringLiteral("Close of Offline Edit"),
                         MsgButtons::YesNoCancel, MsgIcon::Question, MsgResult::Yes});
        if (answer == MsgResult::Cancel)
            return false;
        if (answer == MsgResult::Yes) {
            const QString path = askVenueFileName();
            if (path.isEmpty())
                return false;
            const MsgResult store = StoreConfirm();
            if (store == MsgResult::Cancel)
                return false;
            if (store == MsgResult::Yes) {
                d.BankData[d.CurBank].MemNameStr = PatternName->text();
                app_.send->SendMemoryStore(d.MemNo);
            }
            if (!writeVenueFile(path))
                return false;
        }
    } else {
        const MsgResult answer = ShowMessage({QStringLiteral("Do you want to store Memory%1?").arg(d.MemNo),
                                              QStringLiteral("Close"), MsgButtons::YesNoCancel,
                                              MsgIcon::Question, MsgResult::Yes});
        if (answer == MsgResult::Cancel)
            return false;
        if (answer == MsgResult::Yes)
            storeCurrentMemory();
    }
    SyousaiEndProc();
    return true;
}

void MainWind::saveVenue() {
    const QString path = askVenueFileName();
    if (path.isEmpty())
        return;
    const MsgResult store = StoreConfirm();
    if (store == MsgResult::Cancel)
        return;
    if (store == MsgResult::Yes)
        storeCurrentMemory();
    // Online the file must hold the unit's memories, read back first; a
    // cancelled read writes nothing.
    if (app_.link.OnLine) {
        AllBankWind& transfer = *top_.allBankWind;
        transfer.SetPicture(false);
        transfer.TransDir = 1;
        transfer.exec();
        if (transfer.BankResult != -1)
            return;
    }
    writeVenueFile(path);
}

void MainWind::openVenue() {
    if (top_.FileLoad(1) == -1) {
        top_.bankReadWind->ShowBankReadWind(1);
        SelectPatternRadio(app_.data.MemNo);
        MainTab->setCurrentIndex(0);
    }
    if (!app_.link.OnLine)
        MeterLampClear();
}

QString MainWind::askVenueFileName() {
    FileDialogSpec spec;
    spec.mode = FileDialogSpec::Mode::Save;
    spec.title = QStringLiteral("File Save");
    spec.folder = app_.AppPath + QStringLiteral("/param/");
    spec.fileName = SystemName->text().isEmpty() ? QStringLiteral("No name") : SystemName->text();
    spec.filters = {QStringLiteral("All file (*.*)"), QStringLiteral("Venue file (*.vnf)")};
    spec.confirmOverwrite = true;
    return ShowFileDialog(this, spec);
}

void MainWind::storeCurrentMemory() {
    ParamData& d = app_.data;
    d.BankData[d.CurBank].MemNameStr = PatternName->text();
    TableAt(d.BankData, d.MemNo).MemNameStr = PatternName->text();
    app_.send->SendMemoryName(d.MemNo);
    app_.waits.TimerWait(100);
    app_.send->SendMemoryStore(d.MemNo);
}

bool MainWind::writeVenueFile(const QString& path) {
    if (!SaveVenueFile(app_.data, app_.codePage, path)) {
        ShowMessage({QStringLiteral("Error Write Venue file\r\n(") + WithVenueExtension(path) +
                         QStringLiteral(")\r\n"),
                     QStringLiteral("File error"), MsgButtons::Ok, MsgIcon::Critical, MsgResult::Ok});
        return false;
    }
    SetFileName(app_.data, path);
    app_.data.BackupMemory();
    return true;
}

void MainWind::TimeOutNone_Click() { top_.TimeOutNone->setChecked(TimeOutNone->isChecked()); }

void MainWind::SyousaiEndProc() {
    SendNO(app_.link, 2, 500);
    hide();
    top_.show();
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

void MainWind::OnlineDisp(int flag) {
    Online->setFillColor(flag ? LampGreen : LampGrey);
    OnLineMess->setText(flag ? QStringLiteral("Online") : QStringLiteral("Offline"));
}

void MainWind::OEQABSetup() {
    for (PicButton* b : OEQAB)
        b->setPicture(b->Tag.toInt() == 0 ? Pic::SwOff : Pic::SwOn);
}

void MainWind::DispAllParam() {
    app_.DispBusy = 1;
    DispSystemName();
    DispInputStatus();
    DispOutputStatus();
    update();
    app_.DispBusy = 0;
}

void MainWind::DispSystemName() {
    SystemName->setText(app_.data.VenueName);
}

namespace {
unsigned Lit(bool on, unsigned colour) { return on ? colour : LampOff; }
} // namespace

void MainWind::DispInputStatus() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int ch = 0; ch < 10; ++ch) {
        const InRec& in = r.In[ch];
        SignalPeak[ch]->setFillColor(in.PeakOn == 1 ? LampRed : Lit(in.SignalOn == 1, LampGreen));
        InPeak[ch]->setFillColor(Lit(in.PeakOn == 1, LampRed));
        InSignal[ch]->setFillColor(Lit(in.SignalOn == 1, LampGreen));
        if (ch < 6)
            In48V[ch]->setFillColor(Lit(app_.data.In48VFlag[static_cast<std::size_t>(ch)] == 1, LampRed));
    }
}

void MainWind::DispOutputStatus() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int o = 0; o < 4; ++o) {
        app_.images.PictureCopy(ImageWind::Pic::BlockMeter, r.Out[o].MeterStep, OutMeterImage[o]);
        app_.images.PictureCopy(ImageWind::Pic::Meter, r.Out[o].MeterStep + 7, OutMeter[o]);
    }
    for (int o : {4, 5}) {
        const bool peak = r.Out[o].MeterStep == 1;
        const bool signal = r.Out[o].OutLamp34 == 1;
        OutSignalPeak[o]->setFillColor(peak ? LampRed : Lit(signal, LampGreen));
        OutPeak[o]->setFillColor(Lit(peak, LampRed));
        OutSignal[o]->setFillColor(Lit(signal, LampGreen));
    }
}

void MainWind::MeterLampClear() {
    for (Lamp* l : SignalPeak)
        l->setFillColor(LampOff);
    for (int o : {4, 5})
        OutSignalPeak[o]->setFillColor(LampOff);
    for (QLabel* m : OutMeterImage)
        app_.images.PictureCopy(ImageWind::Pic::BlockMeter, 0, m);
    for (int ch = 0; ch < 10; ++ch) {
        InPeak[ch]->setFillColor(LampOff);
        InSignal[ch]->setFillColor(LampOff);
    }
    for (Lamp* l : In48V)
        l->setFillColor(LampOff);
    for (QLabel* m : OutMeter)
        app_.images.PictureCopy(ImageWind::Pic::Meter, 7, m);
    for (int o : {4, 5}) {
        OutPeak[o]->setFillColor(LampOff);
        OutSignal[o]->setFillColor(LampOff);
    }
}
