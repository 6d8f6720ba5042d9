// The start buttons: simple setup and Parameter Edit begun from the poll,
// the password gate, File Transfer's venue load, and the faces of the
// names chosen at each start of editing.

#include "startwin/TopWind.h"

#include "data/InEQPreset.h"
#include "data/Tables.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "link/Link.h"
#include "platform/Dialogs.h"
#include "startwin/AllBankWind.h"
#include "startwin/App.h"
#include "startwin/BankReadWind.h"
#include "startwin/InputWind.h"
#include "startwin/PasswordWind.h"
#include "startwin/Widgets.h"

#include <QLineEdit>
#include <QRadioButton>

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
    MicOption[p == -1 ? FlatPreset : p]->setChecked(true);
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
    for (QWidget* w : NameControls())
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
