// The top bar (toolbar, venue name, online lamp) and what its buttons do:
// leave the editor, open and save venue files.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "data/VenueFile.h"
#include "editor/PanelParts.h"
#include "link/Link.h"
#include "link/ParamSend.h"
#include "platform/Dialogs.h"
#include "startwin/AllBankWind.h"
#include "startwin/App.h"
#include "startwin/BankReadWind.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTabWidget>
#include <QToolBar>

namespace {

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

} // namespace

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
            if (store == MsgResult::Yes)
                storeIntoMemory(d.MemNo);
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
        OutputWindMake();
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
    // The dialog adds the extension itself, so that its question whether to
    // replace a file is about the file that will be written.
    spec.defaultSuffix = QStringLiteral("vnf");
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
    if (!VenueFileWrite(path))
        return false;
    SetFileName(app_.data, path);
    app_.data.BackupMemory();
    return true;
}

bool MainWind::VenueFileWrite(const QString& path) {
    if (!SaveVenueFile(app_.data, app_.codePage, path)) {
        ShowMessage({QStringLiteral("Error Write Venue file\r\n(") + WithVenueExtension(path) +
                         QStringLiteral(")\r\n"),
                     QStringLiteral("File error"), MsgButtons::Ok, MsgIcon::Critical, MsgResult::Ok});
        return false;
    }
    return true;
}

void MainWind::TimeOutNone_Click() { top_.TimeOutNone->setChecked(TimeOutNone->isChecked()); }

void MainWind::SyousaiEndProc() {
    SendNO(app_.link, 2, 500);
    hide();
    top_.show();
}
