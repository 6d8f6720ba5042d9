#include "GuiRig.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "editor/PinTable.h"
#include "startwin/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

// A started start window and the editor; message boxes not scripted are
// cancelled.
struct Fixture : GuiRig {
    // The editor the start-up made; the tests drive the window the program uses.
    MainWind* main = nullptr;

    Fixture() {
        otherwise = MsgResult::Cancel;
        top->Form_Initialize();
        main = &editor();
    }

    // The editor open as after the start of editing offline: the start
    // window hidden, the poll running.
    void openEditor() {
        top->hide();
        main->show();
        main->IntervalTimer.start();
    }

    // The port scan finds the unit while the start window probes, as it
    // does before editing starts online; then the editor opens.
    bool goOnline() {
        plugIn();
        for (int step = 0; step < 3 && !app->link.OnLine; ++step)
            app->link.SerialObj->AllPortCheck();
        openEditor();
        unit().model().clearRequests();
        return app->link.OnLine;
    }

    SimUnit& unit() { return usb.unit(); }
    UnitState& unitState() { return usb.unit().model().state(); }

    // Parameter Edit as the poll tick runs it after the click: the start
    // buttons locked, the read-back, the editor shown.
    void startEditing() {
        top->TopWindowLock();
        top->SyousaiBtn_Click();
    }

    // Whether a box shows picture pic at index, drawn to its size.
    bool shows(const QLabel* box, ImageWind::Pic pic, int index) const {
        return box->pixmap().toImage() ==
               app->images.Picture(pic, index, box->size(), box->devicePixelRatioF()).toImage();
    }

    // Every control the read-back refreshes that does not show record
    // CurBank (offline the lamps and meters are cleared).
    QStringList refreshMismatches() const {
        const ParamData& d = app->data;
        const BankRec& r = d.BankData[d.CurBank];
        const bool on = app->link.OnLine;
        const MainWind& m = *main;
        QStringList bad;
        if (m.SystemName->text() != d.VenueName)
            bad << QStringLiteral("SystemName");
        if (m.PatternName->text() != d.BankData[d.MemNo].MemNameStr)
            bad << QStringLiteral("PatternName");
        if (!m.PatternRadio[static_cast<std::size_t>(d.MemNo - 1)]->isChecked())
            bad << QStringLiteral("PatternRadio");
        for (int c = 0; c < 10; ++c) {
            if (m.InSignal[c]->fillColor() != (on && r.In[c].SignalOn ? LampGreen : LampOff))
                bad << QStringLiteral("InSignal %1").arg(c);
            if (m.InPeak[c]->fillColor() != (on && r.In[c].PeakOn ? LampRed : LampOff))
                bad << QStringLiteral("InPeak %1").arg(c);
        }
        for (int o = 0; o < 4; ++o) {
            const int step = on ? r.Out[o].MeterStep : 0;
            if (!shows(m.OutMeterImage[o], ImageWind::Pic::BlockMeter, step))
                bad << QStringLiteral("OutMeterImage %1").arg(o);
            if (!shows(m.OutMeter[o], ImageWind::Pic::Meter, step + 7))
                bad << QStringLiteral("OutMeter %1").arg(o);
        }
        return bad;
    }

    // The two letters of each request the unit heard.
    QStringList requestKinds() {
        QStringList kinds;
        for (const QByteArray& body : unit().model().requests())
            kinds.append(QString::fromLatin1(body.left(2)));
        return kinds;
    }
};

// Centre of a slider's handle at its current value, in its parent's
// coordinates, as the style draws it.
double HandleCentre(const QSlider* s) {
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.orientation = s->orientation();
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.upsideDown = !s->invertedAppearance();
    opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    const QRect handle = s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
    return s->y() + handle.top() + handle.height() / 2.0;
}

int DarkPixels(const QImage& img, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 100)
                ++n;
    return n;
}

} // namespace

class TestMainWind : public QObject {
    Q_OBJECT
private slots:
    void pagesToolbarAndPageChange();
    void loadPutsControlsBackToTheirFirstState();
    void pinTableLayout();
    void pinTableDrawn();
    void fadersMarksFollowTheHandle();
    void faderGrooveLitUpToTheHandle();
    void pagesCaptionTheirPorts();
    void upDownsShowNoFigure();
    void storeConfirmQuestion();
    void exitOfflineWithoutSaving();
    void exitOfflineSaveCancelledStays();
    void exitOfflineSavesThenLeaves();
    void exitOnline();
    void saveOfflineWritesVenueFile();
    void saveWithStoreWritesMemoryName();
    void saveCancelledWritesNothing();
    void saveAsksBeforeReplacing();
    void failedSaveReportsAndStays();
    void closeBoxReturnsToMenuPage();
    void dispAllParamSendsNothing();
    void reopenAfterCloseBoxShowsTheRecord();
    void readBackSelectsTheUnitsMemory();
    void signalAndPeakLampsFromTheUnit();
};

void TestMainWind::pagesToolbarAndPageChange() {
    Fixture f;
    MainWind& m = *f.main;
    QVERIFY(m.property("qdrForm").toBool());
    const QStringList pages = {QStringLiteral("BLOCK"),     QStringLiteral("INPUT"),
                               QStringLiteral("MATRIX"),    QStringLiteral("OUTPUT"),
                               QStringLiteral("OUTPUT EQ"), QStringLiteral("MISC"),
                               QStringLiteral("GPI"),       QStringLiteral("MEMORY")};
    QCOMPARE(m.MainTab->count(), 8);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(m.MainTab->tabText(i), pages[i]);
    QCOMPARE(m.MainTab->currentIndex(), int(MainWind::PageBlock));
    // The rename prompts name a port by its default name.
    QCOMPARE(m.InLineName[10]->property("Tag").toString(), QStringLiteral("KL-VT20 1"));
    QCOMPARE(m.OutLineName[4]->property("Tag").toString(), QStringLiteral("REC OUT"));

    QStringList keys, tips;
    for (QAction* a : m.Toolbar1->actions()) {
        keys.append(a->data().toString());
        tips.append(a->toolTip());
        QVERIFY(!a->icon().isNull());
    }
    QCOMPARE(keys, QStringList({QStringLiteral("EXIT"), QStringLiteral("OPEN"), QStringLiteral("SAVE")}));
    QCOMPARE(tips,
             QStringList({QStringLiteral("Return to start window."), QStringLiteral("Open parameter file."),
                          QStringLiteral("Save parameter file.")}));
    QCOMPARE(m.IntervalTimer.interval(), 130);
    QVERIFY(!m.IntervalTimer.isActive());
    QCOMPARE(m.TimerFunction(), 0);

    // Only the OUTPUT EQ page asks to be filled when it comes to the front.
    QSignalSpy eqShown(&m, &MainWind::outputEQPageShown);
    for (int page : {1, 2, 3, 5, 6, 7, 0})
        m.MainTab->setCurrentIndex(page);
    QCOMPARE(eqShown.size(), 0);
    m.MainTab->setCurrentIndex(MainWind::PageOutputEQ);
    QCOMPARE(eqShown.size(), 1);

    m.OnlineDisp(1);
    QCOMPARE(m.OnLineMess->text(), QStringLiteral("Online"));
    QCOMPARE(m.Online->fillColor(), LampGreen);
    m.OnlineDisp(0);
    QCOMPARE(m.OnLineMess->text(), QStringLiteral("Offline"));
    QCOMPARE(m.Online->fillColor(), LampGrey);
    m.OnlineDisp(-1);
    QCOMPARE(m.OnLineMess->text(), QStringLiteral("Online"));
}

// Editing leaves its marks on the controls; loading the window again (the
// next start of editing) resets them while the one-time set-up stays.
void TestMainWind::loadPutsControlsBackToTheirFirstState() {
    Fixture f;
    MainWind& m = *f.main;
    QCOMPARE(m.InSlider[3]->minimum(), 6);
    QCOMPARE(m.InSlider[3]->maximum(), 125);
    QCOMPARE(m.Slider1[4]->maximum(), 125);
    QVERIFY(!m.Slider1[1] && !m.OutLockSW[3]);
    QCOMPARE(m.MixAttUpDn[23]->minimum(), -101);
    QCOMPARE(m.OEQAB[0]->picture(), ImageWind::Pic::SwOn);
    QCOMPARE(m.OEQAB[1]->picture(), ImageWind::Pic::SwOff);
    QCOMPARE(m.SpkPickup->picture(), ImageWind::Pic::BigSwOff);
    QVERIFY(m.IntervalOn->isChecked());
    QCOMPARE(m.TimeOutNone->text(), QStringLiteral("タイムアウトなし"));

    m.MainTab->setCurrentIndex(MainWind::PageGPI);
    for (PicButton* b : {m.LineButton[51], m.ExOutButton[7], m.InLock[9], m.OutAdjSW[5], m.OutMonoSW[1]}) {
        b->setPicture(ImageWind::Pic::SwOn);
        b->Tag = QStringLiteral("1");
    }
    m.LineButton[51]->setToolTip(QStringLiteral("ON"));
    m.OutMonoSW[1]->setText(QStringLiteral("MONO"));
    m.OutLockSW[2]->setPicture(ImageWind::Pic::RedBar);
    m.OEQAB[1]->Tag = QStringLiteral("1");
    m.OEQABSetup();

    m.Form_Load();
    QCOMPARE(m.MainTab->currentIndex(), int(MainWind::PageBlock));
    for (PicButton* b : {m.LineButton[51], m.ExOutButton[7], m.InLock[9], m.OutAdjSW[5], m.OutMonoSW[1]}) {
        QCOMPARE(b->picture(), ImageWind::Pic::SwOff);
        QCOMPARE(b->Tag, QStringLiteral("0"));
    }
    QCOMPARE(m.LineButton[51]->toolTip(), QStringLiteral("OFF"));
    QCOMPARE(m.OutMonoSW[1]->text(), QStringLiteral("STEREO"));
    QCOMPARE(m.OutLockSW[2]->picture(), ImageWind::Pic::BigBar);
    QCOMPARE(m.FaderPosImg[9]->picture(), ImageWind::Pic::Fpos);
    QCOMPARE(m.OutFaderVRImg[5]->picture(), ImageWind::Pic::FLPos);
    // The A/B choice belongs to the one-time set-up and is not reset.
    QCOMPARE(m.OEQAB[1]->picture(), ImageWind::Pic::SwOn);
    // Meter pictures: steps 2 to 5 on the block meters, 4 and 5 on the
    // first output meters, each drawn to its box.
    for (QLabel* l : {m.OutMeterImage[0], m.OutMeterImage[3], m.OutMeter[0], m.OutMeter[1]})
        QCOMPARE(l->pixmap().deviceIndependentSize().toSize(), l->size());
    QVERIFY(m.OutMeterImage[0]->pixmap().toImage() != m.OutMeterImage[3]->pixmap().toImage());
}

void TestMainWind::pinTableLayout() {
    const PinTable t = PinTable::Layout(QSize(480, 227));
    QCOMPARE(t.rowHeight, 20);
    QCOMPARE(t.columnWidth, 76.0);
    // Pin n stands in column (n - 1) mod 5 of row pair (n - 1) / 5: its
    // number in the pair's upper row, its label in the lower.
    for (int n = 1; n <= 25; ++n) {
        const int column = (n - 1) % 5, pair = (n - 1) / 5;
        QCOMPARE(t.number[n - 1], QPointF(column * 76.0 + 16, (2 * pair + 1) * 20));
        QCOMPARE(t.label[n - 1], QPointF(column * 76.0 + 16, (2 * pair + 2) * 20));
    }
    QCOMPARE(PinTable::NumberText(9), QStringLiteral("9    "));
    QCOMPARE(PinTable::NumberText(10), QStringLiteral("10   "));
    // A half row height goes to the even number.
    QCOMPARE(PinTable::Layout(QSize(480, 7 + 11 * 20 + 5)).rowHeight, 20); // 20.45
    QCOMPARE(PinTable::Layout(QSize(480, 7 + 11 * 20 + 6)).rowHeight, 21); // 20.55
}

void TestMainWind::pinTableDrawn() {
    Fixture f;
    MainWind& m = *f.main;
    m.PinAssignDraw();
    QCOMPARE(m.PinAssign->palette().color(QPalette::Window),
             m.Picture2[10]->palette().color(QPalette::Window));
    const QImage img = m.PinAssign->pixmap().toImage();
    QVERIFY(!img.isNull());
    const PinTable t = PinTable::Layout(m.PinAssign->size());
    const int w = int(t.columnWidth), h = t.rowHeight;
    QVERIFY(DarkPixels(img, QRect(0, 0, 5 * w, h - 2)) > 20); // the title
    // Every pin has its number and its label printed in its own cell.
    for (int n = 0; n < 25; ++n) {
        const QPoint num = t.number[n].toPoint(), label = t.label[n].toPoint();
        QVERIFY2(DarkPixels(img, QRect(num.x(), num.y(), w - 18, h - 2)) > 5,
                 qPrintable(QString::number(n + 1)));
        QVERIFY2(DarkPixels(img, QRect(label.x(), label.y(), w - 18, h - 2)) > 5,
                 qPrintable(QString::number(n + 1)));
    }
    // The grid: eleven rules across the five columns, none in the spare
    // 100 px at the right.
    for (int j = 1; j <= 11; ++j)
        QVERIFY(DarkPixels(img, QRect(0, j * h - 1, 5 * w, 1)) > 5 * w - 10);
    QCOMPARE(DarkPixels(img, QRect(5 * w + 2, h, 100 - 4, img.height() - h)), 0);
}

// The marks are placed by Top = (L - 6) * scale + offset; wherever that
// puts them, they must point at the slider's handle at that level.
void TestMainWind::fadersMarksFollowTheHandle() {
    Fixture f;
    MainWind& m = *f.main;
    QVERIFY(m.InFaderScale() > 0);
    QVERIFY(m.OutFaderScale() > 0);
    // Marks stand at levels 6 and 125 as built.
    QVERIFY(m.FaderPosImg[1]->y() > m.FaderPosImg[0]->y());
    QVERIFY(m.OutFaderPos[2]->y() > m.OutFaderPos[0]->y());
    QCOMPARE(m.InFaderOffset(), float(m.FaderPosImg[0]->y()));

    struct Side {
        QSlider* slider;
        PictureBox* mark;
        float scale, offset;
    };
    const Side sides[] = {{m.InSlider[4], m.FaderPosImg[4], m.InFaderScale(), m.InFaderOffset()},
                          {m.Slider1[5], m.OutFaderPos[5], m.OutFaderScale(), m.OutFaderOffset()}};
    for (const Side& s : sides) {
        double lastCentre = -1;
        for (int level : {6, 24, 49, 74, 103, 125}) {
            s.slider->setValue(level);
            const double centre = HandleCentre(s.slider);
            QVERIFY(centre > lastCentre); // quieter is lower
            lastCentre = centre;
            const double markCentre = (level - 6) * s.scale + s.offset + s.mark->height() / 2.0;
            QVERIFY2(
                std::abs(markCentre - centre) <= 2.0,
                qPrintable(
                    QStringLiteral("level %1: mark %2, handle %3").arg(level).arg(markCentre).arg(centre)));
        }
    }

    // The scale's figures +10, 0, -10 and -20 dB stand 19, 24 and 24 px
    // apart; so do the handle at levels 6, 24, 49 and 74.
    QSlider* s = m.InSlider[0];
    QList<double> centres;
    for (int level : {6, 24, 49, 74}) {
        s->setValue(level);
        centres.append(HandleCentre(s));
    }
    const double gaps[] = {19, 24, 24};
    for (int i = 0; i < 3; ++i)
        QVERIFY2(std::abs(centres[i + 1] - centres[i] - gaps[i]) <= 2.0, qPrintable(QString::number(i)));
}

// A fader's groove is lit from the bottom up to its handle and dark above
// it: at the lowest level ("-Inf") nothing is lit, at the top all of it.
void TestMainWind::faderGrooveLitUpToTheHandle() {
    Fixture f;
    MainWind& m = *f.main;
    const auto lit = [](QRgb c) { return qBlue(c) > qRed(c) + 40; };
    for (QSlider* s : {m.InSlider[2], m.Slider1[4]}) {
        QStyleOptionSlider opt;
        opt.initFrom(s);
        opt.orientation = Qt::Vertical;
        const QRect groove = s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, s);
        for (int level : {6, 65, 125}) {
            s->setValue(level);
            const QImage img = s->grab().toImage();
            const int handle = int(HandleCentre(s)) - s->y();
            // Clear of the handle and of the groove's rounded ends.
            QList<int> litAbove, darkBelow;
            for (int y = groove.top() + 3; y <= groove.bottom() - 3; ++y) {
                const bool on = lit(img.pixel(groove.center().x(), y));
                if (y < handle - 12 && on)
                    litAbove << y;
                if (y > handle + 12 && !on)
                    darkBelow << y;
            }
            QVERIFY2(litAbove.isEmpty() && darkBelow.isEmpty(),
                     qPrintable(QStringLiteral("level %1: lit above at %2, dark below at %3")
                                    .arg(level)
                                    .arg(litAbove.value(0, -1))
                                    .arg(darkBelow.value(0, -1))));
        }
    }
}

// With no names given each page still says which strip, row and column is
// which: the ports' fixed captions stand beside the empty name boxes.
void TestMainWind::pagesCaptionTheirPorts() {
    Fixture f;
    MainWind& m = *f.main;
    BankRec& r = f.app->data.BankData[f.app->data.CurBank];
    for (QString& n : r.InNameStr)
        n.clear();
    for (QString& n : r.OutNameStr)
        n.clear();
    for (QString& n : r.ExtOutNameStr)
        n.clear();
    m.DispChannelName();

    const auto numbered = [](const char* port, int first, int last) {
        QStringList l;
        for (int i = first; i <= last; ++i)
            l << QStringLiteral("%1 %2").arg(QLatin1String(port)).arg(i);
        return l;
    };
    const QStringList inputs = numbered("MONO", 1, 6) + numbered("STEREO", 1, 4);
    const QStringList companions = numbered("KL-VT20", 1, 2);
    const QStringList outputs = numbered("OUT", 1, 4);
    const QList<std::pair<int, QStringList>> pages{
        {MainWind::PageBlock, inputs + companions + outputs + QStringList{QStringLiteral("REC OUT")}},
        {MainWind::PageInput, inputs},
        {MainWind::PageMatrix, inputs + companions + outputs + QStringList{QStringLiteral("REC OUT")}},
        {MainWind::PageOutput, outputs},
        {MainWind::PageMisc, inputs + companions + outputs},
        {MainWind::PageGPI, numbered("IN", 1, 8) + numbered("OUT", 1, 8)},
    };
    for (const auto& [index, captions] : pages) {
        QWidget* page = m.MainTab->widget(index);
        QStringList shown;
        for (const QLabel* l : page->findChildren<QLabel*>())
            if (l->isVisibleTo(page))
                shown << l->text();
        QStringList missing;
        for (const QString& c : captions)
            if (!shown.contains(c))
                missing << c;
        QCOMPARE(std::pair(index, missing), std::pair(index, QStringList()));
    }
}

// An up-down beside a value label shows its arrows only, so that the label
// is the one figure a user reads.
void TestMainWind::upDownsShowNoFigure() {
    Fixture f;
    MainWind& m = *f.main;
    m.DispAllParam();
    QCOMPARE(m.SAMuteUpDown[0]->value(), -50);
    const QList<QSpinBox*> all = m.findChildren<QSpinBox*>();
    QVERIFY(all.contains(m.MixAttUpDn[23]) && all.contains(m.SMMuteUpDown) && all.contains(m.TimeUpDown));
    for (const QSpinBox* s : all)
        QVERIFY2(s->text().isEmpty(), qPrintable(s->text()));
}

void TestMainWind::storeConfirmQuestion() {
    Fixture f;
    f.app->data.MemNo = 3;
    f.answers = {MsgResult::Cancel};
    QCOMPARE(f.main->StoreConfirm(), MsgResult::Cancel);
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.asked[0].text, QStringLiteral("Store to Memory 3 before saving ?"));
    QCOMPARE(f.asked[0].title, QStringLiteral("Confirmation"));
    QCOMPARE(f.asked[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(f.asked[0].icon, MsgIcon::Question);
    QCOMPARE(f.asked[0].defaultButton, MsgResult::No);
}

// Offline with the port still open (the link was lost while editing): the
// notice that editing ends is held back, because the start window is not
// probing yet when it is sent.
void TestMainWind::exitOfflineWithoutSaving() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.app->link.OnLine = false;
    QVERIFY(f.app->link.SerialObj->IsOpen());
    f.answers = {MsgResult::No};
    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));

    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.asked[0].text, QStringLiteral("Do you want to save File?"));
    QCOMPARE(f.asked[0].title, QStringLiteral("Close of Offline Edit"));
    QCOMPARE(f.asked[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(f.asked[0].icon, MsgIcon::Question);
    QCOMPARE(f.asked[0].defaultButton, MsgResult::Yes);
    QVERIFY(f.dialogs.isEmpty());
    QVERIFY(!f.main->isVisible());
    QVERIFY(f.top->isVisible());
    QVERIFY(!f.main->IntervalTimer.isActive());
    QVERIFY(!f.requestKinds().contains(QStringLiteral("NO")));
}

void TestMainWind::exitOfflineSaveCancelledStays() {
    Fixture f;
    f.openEditor();
    // Cancel in the first question, then Yes and Cancel in the file dialog.
    f.answers = {MsgResult::Cancel, MsgResult::Yes};
    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QVERIFY(f.main->isVisible());
    QVERIFY(f.main->IntervalTimer.isActive());

    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QCOMPARE(f.dialogs.size(), 1);
    const FileDialogSpec& spec = f.dialogs[0];
    QCOMPARE(spec.mode, FileDialogSpec::Mode::Save);
    QCOMPARE(spec.title, QStringLiteral("File Save"));
    QCOMPARE(spec.folder, f.dir.path() + QStringLiteral("/param/"));
    QCOMPARE(spec.fileName, QStringLiteral("No name"));
    QCOMPARE(spec.filters,
             QStringList({QStringLiteral("All file (*.*)"), QStringLiteral("Venue file (*.vnf)")}));
    QVERIFY(spec.confirmOverwrite);
    // No store question after a cancelled dialog; the editor stays.
    QCOMPARE(f.asked.size(), 2);
    QVERIFY(f.main->isVisible());
    QVERIFY(!f.top->isVisible());
    QVERIFY(f.main->IntervalTimer.isActive());
    QVERIFY(QDir(f.dir.filePath(QStringLiteral("param"))).isEmpty());
}

void TestMainWind::exitOfflineSavesThenLeaves() {
    Fixture f;
    f.openEditor();
    ParamData& d = f.app->data;
    d.MemNo = 5;
    f.main->PatternName->setText(QStringLiteral("Dinner"));
    f.chosenFile = f.venuePath(QStringLiteral("Gala"));
    f.answers = {MsgResult::Yes, MsgResult::Yes};
    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));

    QCOMPARE(f.asked.size(), 2);
    QCOMPARE(f.asked[1].text, QStringLiteral("Store to Memory 5 before saving ?"));
    // The current state went into memory 5 under the new name, then to the file.
    QCOMPARE(d.BankData[0].MemNameStr, QStringLiteral("Dinner"));
    QCOMPARE(d.BankData[5].MemNameStr, QStringLiteral("Dinner"));
    QCOMPARE(QFileInfo(f.venuePath(QStringLiteral("Gala.vnf"))).size(), 11560 + 2 * 6);
    QCOMPARE(d.VenueName, QStringLiteral("Gala"));
    QVERIFY(d.BankBackup[0] == d.BankData[0]);
    QVERIFY(!f.main->isVisible());
    QVERIFY(f.top->isVisible());
    QVERIFY(!f.main->IntervalTimer.isActive());
}

void TestMainWind::exitOnline() {
    Fixture f;
    QVERIFY(f.goOnline());
    ParamData& d = f.app->data;
    d.MemNo = 3;
    f.main->PatternName->setText(QStringLiteral("Stage"));

    f.answers = {MsgResult::Cancel};
    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QCOMPARE(f.asked[0].text, QStringLiteral("Do you want to store Memory3?"));
    QCOMPARE(f.asked[0].title, QStringLiteral("Close"));
    QCOMPARE(f.asked[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(f.asked[0].defaultButton, MsgResult::Yes);
    QVERIFY(f.main->isVisible());
    QVERIFY(f.main->IntervalTimer.isActive());
    QVERIFY(f.requestKinds().isEmpty());

    f.answers = {MsgResult::Yes};
    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    // The name first, then the store, then the notice that editing ends.
    QCOMPARE(f.requestKinds(),
             QStringList({QStringLiteral("NS"), QStringLiteral("SA"), QStringLiteral("NO")}));
    const QList<QByteArray> sent = f.unit().model().requests();
    QCOMPARE(uint8_t(sent[0][3]), uint8_t(2)); // memory name
    QCOMPARE(uint8_t(sent[0][4]), uint8_t(3));
    QCOMPARE(uint8_t(sent[1][4]), uint8_t(3));
    QCOMPARE(uint8_t(sent[2][2]), uint8_t(2));
    QCOMPARE(d.BankData[3].MemNameStr, QStringLiteral("Stage"));
    QVERIFY(!f.main->isVisible());
    QVERIFY(f.top->isVisible());
    QVERIFY(!f.main->IntervalTimer.isActive());
}

void TestMainWind::saveOfflineWritesVenueFile() {
    Fixture f;
    f.openEditor();
    ParamData& d = f.app->data;
    d.VenueName = QStringLiteral("Old Hall");
    f.main->DispAllParam();
    f.chosenFile = f.venuePath(QStringLiteral("Hall"));
    f.answers = {MsgResult::No};
    f.main->Toolbar1_ButtonClick(QStringLiteral("SAVE"));

    QCOMPARE(f.dialogs.size(), 1);
    QCOMPARE(f.dialogs[0].fileName, QStringLiteral("Old Hall"));
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.asked[0].title, QStringLiteral("Confirmation"));
    QFile file(f.venuePath(QStringLiteral("Hall.vnf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 11560);
    QCOMPARE(bytes, EncodeVenue(d, f.app->codePage));
    QCOMPARE(d.VenueName, QStringLiteral("Hall"));
    QVERIFY(d.BankData[1].MemNameStr.isEmpty());
    QVERIFY(f.main->isVisible());
    QVERIFY(f.main->IntervalTimer.isActive());
}

void TestMainWind::saveWithStoreWritesMemoryName() {
    Fixture f;
    f.openEditor();
    ParamData& d = f.app->data;
    d.MemNo = 2;
    d.BankData[0].In[4].Fader = 40;
    f.main->PatternName->setText(QStringLiteral("Stage"));
    f.chosenFile = f.venuePath(QStringLiteral("Show.vnf"));
    f.answers = {MsgResult::Yes};
    f.main->Toolbar1_ButtonClick(QStringLiteral("SAVE"));

    QCOMPARE(d.BankData[0].MemNameStr, QStringLiteral("Stage"));
    QCOMPARE(d.BankData[2].MemNameStr, QStringLiteral("Stage"));
    QCOMPARE(d.BankData[2].In[4].Fader, 40);
    QCOMPARE(QFileInfo(f.venuePath(QStringLiteral("Show.vnf"))).size(), 11560 + 2 * 5);
    QCOMPARE(d.VenueName, QStringLiteral("Show"));
    QVERIFY(f.main->IntervalTimer.isActive());
}

void TestMainWind::saveCancelledWritesNothing() {
    Fixture f;
    f.openEditor();
    ParamData& d = f.app->data;
    d.VenueName = QStringLiteral("Keep");
    f.main->PatternName->setText(QStringLiteral("Stage"));
    f.chosenFile = f.venuePath(QStringLiteral("Hall"));
    f.answers = {MsgResult::Cancel};
    f.main->Toolbar1_ButtonClick(QStringLiteral("SAVE"));
    QCOMPARE(f.asked.size(), 1);
    QVERIFY(!QFile::exists(f.venuePath(QStringLiteral("Hall.vnf"))));
    QCOMPARE(d.VenueName, QStringLiteral("Keep"));
    QVERIFY(d.BankData[0].MemNameStr.isEmpty());
    QVERIFY(f.main->IntervalTimer.isActive());

    // Cancel in the file dialog: no question at all.
    f.chosenFile.clear();
    f.main->Toolbar1_ButtonClick(QStringLiteral("SAVE"));
    QCOMPARE(f.asked.size(), 1);
    QVERIFY(f.main->IntervalTimer.isActive());
}

// A name typed without the extension gets it in the dialog, so the dialog's
// own question whether to replace a file is about the file written.
void TestMainWind::saveAsksBeforeReplacing() {
    Fixture f;
    f.openEditor();
    const QString path = f.venuePath(QStringLiteral("Town Hall.vnf"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older venue");
    old.close();
    f.chosenFile = path;
    f.answers = {MsgResult::No};
    f.main->Toolbar1_ButtonClick(QStringLiteral("SAVE"));
    QCOMPARE(f.dialogs.size(), 1);
    const FileDialogSpec spec = f.dialogs[0];
    QCOMPARE(spec.defaultSuffix, QStringLiteral("vnf"));
    QVERIFY(spec.confirmOverwrite);
    // The name the dialog returned is the file written.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), EncodeVenue(f.app->data, f.app->codePage));
    QVERIFY(!QFile::exists(path + QStringLiteral(".vnf")));
    QCOMPARE(f.app->data.VenueName, QStringLiteral("Town Hall"));

    // The same request to the real dialog, "Town Hall" typed: it asks first.
    SetFileDialogHandler({});
    QString question;
    QTimer guard; // a dialog left open fails the test instead of hanging it
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    guard.start(15000);
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("Town Hall"));
        QMetaObject::invokeMethod(dlg, "accept", Qt::DirectConnection);
    });
    QCOMPARE(QFileInfo(ShowFileDialog(f.main, spec)).absoluteFilePath(), QFileInfo(path).absoluteFilePath());
    QVERIFY2(question.contains(QStringLiteral("Town Hall.vnf")), qPrintable(question));
}

void TestMainWind::failedSaveReportsAndStays() {
    Fixture f;
    f.openEditor();
    ParamData& d = f.app->data;
    d.VenueName = QStringLiteral("Keep");
    const QString missing = f.dir.filePath(QStringLiteral("no/such/folder/Hall"));
    f.chosenFile = missing;
    f.answers = {MsgResult::No, MsgResult::Ok};
    f.main->Toolbar1_ButtonClick(QStringLiteral("SAVE"));
    QCOMPARE(f.asked.size(), 2);
    QCOMPARE(f.asked[1].title, QStringLiteral("File error"));
    QCOMPARE(f.asked[1].icon, MsgIcon::Critical);
    QCOMPARE(f.asked[1].buttons, MsgButtons::Ok);
    QVERIFY(f.asked[1].text.contains(missing + QStringLiteral(".vnf")));
    QCOMPARE(d.VenueName, QStringLiteral("Keep"));
    QVERIFY(f.main->IntervalTimer.isActive());

    // Leaving with a save that fails keeps the editor open.
    f.answers = {MsgResult::Yes, MsgResult::No, MsgResult::Ok};
    f.main->Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QCOMPARE(f.asked.size(), 5);
    QCOMPARE(f.asked[4].title, QStringLiteral("File error"));
    QVERIFY(f.main->isVisible());
    QVERIFY(!f.top->isVisible());
    QVERIFY(f.main->IntervalTimer.isActive());
}

void TestMainWind::closeBoxReturnsToMenuPage() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.top->TopTab->setCurrentIndex(2);
    f.main->close();
    QVERIFY(!f.main->isVisible());
    QVERIFY(f.top->isVisible());
    QCOMPARE(f.top->TopTab->currentIndex(), 0);
    QVERIFY(!f.main->IntervalTimer.isActive());
    QCOMPARE(f.requestKinds(), QStringList({QStringLiteral("NO")}));
    QCOMPARE(uint8_t(f.unit().model().requests()[0][2]), uint8_t(2));
    QVERIFY(f.asked.isEmpty());
}

void TestMainWind::dispAllParamSendsNothing() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.app->data.VenueName = QStringLiteral("Main Hall");
    f.main->DispAllParam();
    QCOMPARE(f.main->SystemName->text(), QStringLiteral("Main Hall"));
    QCOMPARE(f.app->DispBusy, 0);
    QVERIFY(f.requestKinds().isEmpty());
}

// The close box unloads the editor; the next Parameter Edit loads it again
// before the read-back, so what the read-back drew is what stays.
void TestMainWind::reopenAfterCloseBoxShowsTheRecord() {
    {
        Fixture f;
        QVERIFY(f.goOnline());
        UnitState& u = f.unitState();
        u.memNo = 7;
        u.setNameField(1, 1, "Main Hall");
        u.setNameField(2, 7, "Chapel");
        u.meterBits = {0x01, 0x3F, 0x04, 0x00}; // steps 1, 6, 3, 0: none of them a load step's picture
        u.signalBits = 0x2C1;
        u.peakBits = 0x201;
        f.main->close();
        QVERIFY(!f.main->Loaded);
        f.startEditing();
        QVERIFY(f.main->isVisible());
        QCOMPARE(f.app->data.VenueName, QStringLiteral("Main Hall"));
        QCOMPARE(f.app->data.BankData[0].Out[1].MeterStep, 6);
        QCOMPARE(f.refreshMismatches(), QStringList());
    }
    Fixture f;
    ParamData& d = f.app->data;
    d.VenueName = QStringLiteral("Annex");
    d.BankData[1].MemNameStr = QStringLiteral("Lobby");
    d.BankData[0].In[4].SignalOn = d.BankData[0].In[4].PeakOn = 1;
    d.BankData[0].Out[2].MeterStep = 5;
    f.openEditor();
    f.main->close();
    f.startEditing();
    QVERIFY(f.main->isVisible());
    QCOMPARE(f.refreshMismatches(), QStringList());
}

void TestMainWind::readBackSelectsTheUnitsMemory() {
    Fixture f;
    QVERIFY(f.goOnline());
    f.unitState().memNo = 12;
    f.unitState().setNameField(2, 12, "Gallery");
    f.startEditing();
    QCOMPARE(f.app->data.MemNo, 12);
    QVERIFY(f.main->PatternRadio[11]->isChecked());
    QCOMPARE(f.main->PatternName->text(), QStringLiteral("Gallery"));

    // Offline the memory is taken as the first.
    Fixture off;
    off.main->PatternRadio[5]->setChecked(true);
    off.app->lib->ReadPatternNo();
    QCOMPARE(off.app->data.MemNo, 1);
    QVERIFY(off.main->PatternRadio[0]->isChecked());
}

// A lamp lights where the unit signals or peaks, read as the record keeps
// the lamp bytes: green for signal, red for peak.
void TestMainWind::signalAndPeakLampsFromTheUnit() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = *f.main;
    UnitState& u = f.unitState();
    const auto poll = [&] {
        f.app->lib->ReadInputStatus();
        f.app->lib->ReadOutputStatus();
        m.DispInputStatus();
        m.DispOutputStatus();
    };
    // Mono inputs 1 and 4 and stereo inputs 8 and 9 signal; 4 and 9 peak too.
    u.signalBits = 0x189;
    u.peakBits = 0x108;
    // OUT 3 signals; OUT 4 signals and peaks.
    u.outLampBits = 0x0E;
    poll();
    QList<unsigned> lamps;
    for (int c = 0; c < 10; ++c)
        lamps << m.SignalPeak[c]->fillColor();
    for (int o : {4, 5})
        lamps << m.OutSignalPeak[o]->fillColor();
    const unsigned G = LampGreen, R = LampRed, O = LampOff;
    QCOMPARE(lamps, (QList<unsigned>{G, O, O, R, O, O, O, G, R, O, G, R}));

    // Running live, no lamp ever peaks without signalling.
    u.setLive(true);
    int signalOnly = 0, peaks = 0;
    for (int i = 0; i < 40; ++i) {
        poll();
        for (int c = 0; c < 10; ++c) {
            const bool g = m.InSignal[c]->fillColor() == LampGreen, r = m.InPeak[c]->fillColor() == LampRed;
            QVERIFY2(g || !r, qPrintable(QStringLiteral("input %1").arg(c)));
            signalOnly += g && !r;
            peaks += r;
        }
        for (int o : {4, 5})
            QVERIFY2(m.OutSignal[o]->fillColor() == LampGreen || m.OutPeak[o]->fillColor() != LampRed,
                     qPrintable(QStringLiteral("output %1").arg(o)));
    }
    QVERIFY(signalOnly > 0 && peaks > 0);
}

QTEST_MAIN(TestMainWind)
#include "tst_mainwind.moc"
