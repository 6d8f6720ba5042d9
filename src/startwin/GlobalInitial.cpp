#include "startwin/GlobalInitial.h"

#include "data/Tables.h"
#include "link/Serial.h"
#include "editor/MainWind.h"
#include "startwin/App.h"
#include "startwin/BankReadWind.h"
#include "startwin/HawlingWind.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"

namespace {

// The editor window with its caption, channel captions and pin table.
std::unique_ptr<MainWind> MakeEditor(App& app, TopWind& top) {
    // The editor's refresh fills the simple-setup pages too.
    top.BuildWizardPages();
    auto editor = std::make_unique<MainWind>(app, top);
    MainWind& main = *editor;
    main.Form_Initialize();
    main.Form_Load();
    main.setWindowTitle(QStringLiteral("%1 %2").arg(QLatin1String(ProductName), QLatin1String(VerStrEdit)));

    // The fader geometry is measured by the editor where it places its marks.
    for (int i = 0; i < 12; ++i) {
        main.InLineName[i]->setText(QLatin1String(ChName[i]));
        main.MixInName[i]->setText(QLatin1String(ChName[i]));
    }
    for (int i = 0; i < 10; ++i)
        main.InName[i]->setText(QLatin1String(ChName[i]));
    for (int i = 0; i < 5; ++i) {
        main.OutLineName[i]->setText(QLatin1String(ChName[12 + i]));
        main.MixOutName[i]->setText(QLatin1String(ChName[12 + i]));
    }
    for (int i = 0; i < 4; ++i)
        main.OutName[i]->setText(QLatin1String(ChName[12 + i]));
    for (int i = 0; i < 8; ++i)
        main.ExtOutName[i]->setText(QStringLiteral("OUT %1").arg(i + 1));
    main.PinAssignDraw();
    return editor;
}

} // namespace

// The value tables, name lists and knob angles are compile-time constants,
// so the steps that built them have nothing left to do at run time.
void GlobalInitial(App& app, TopWind& top) {
    app.codePage = CodePage(app.requestedCodePage() != 0 ? app.requestedCodePage() : CodePage::SystemPage());
    app.link.PasswordStr.clear();

    top.setWindowTitle(QStringLiteral("%1 %2").arg(QLatin1String(ProductName), QLatin1String(VerStr)));
    // The editor is the most costly window to build; it is made when the
    // start window has shown (or when first needed), hidden like the rest.
    top.mainWind.setMaker([&app, &top] { return MakeEditor(app, top); });

    top.hawlingWind.setMaker([&app, &top] {
        auto wind = std::make_unique<HawlingWind>(app);
        wind->startWindowVisible = [&top] { return top.isVisible(); };
        return wind;
    });

    top.InputWindObj = std::make_unique<InputWind>(app);
    top.InputWindObj->startWindowVisible = [&top] { return top.isVisible(); };

    app.data.VenueLoaded = false;
    top.FirstUnlock = false;
    top.OfflineShown = false;
    top.OfflineCount = 0;
    app.link.PortIndex = 0;

    top.InputWindObj->SetPicture(true);
    top.InputWindObj->Command1->setPicture(ImageWind::Pic::BigBar);

    app.data.MemNo = 1;
    app.link.AllBankContinue = false;
    top.PendingStart = -1;

    top.TimerRestart = 0;
    app.link.AllBankFlag = 0;
    app.data.MicLineStat = 255;
    app.data.MicLineStatOld = 255;
    app.waits.WaitTick = 0;
    app.link.OnLine = false;

    app.link.SerialObj = std::make_unique<Serial>(app.link, top, app.clock, app.ftdi);
    app.link.SerialObj->SetSerialMode(0);
    app.link.SerialObj->SetMSComm(&top.SerialPort);
    app.send = std::make_unique<ParamSend>(app.data, app.link, app.codePage, app.waits, app.clock, top, app.AppPath);
    app.lib = std::make_unique<ParamLib>(app.data, app.link, app.codePage, app.waits, top, *app.send);

    app.data.CurBank = 0;

    // Whatever changes the venue name shows it.
    app.data.venueNameChanged = [&top] { top.mainWind->DispSystemName(); };
    top.bankReadWind->dispAllParam = [&top] { top.mainWind->DispAllParam(); };
    // What the unit reports reaches the editor even before it is built.
    QObject::connect(&top, &TopWind::knobLevelsRead, &top, [&top](int side) { top.mainWind->KnobLevelsRead(side); });
    QObject::connect(&top, &TopWind::memNoRead, &top, [&top](int memNo) { top.mainWind->SelectPatternRadio(memNo); });
    top.bankReadWind->afterRead = [&app, &top] {
        top.mainWind->PatternName->setText(TableAt(app.data.BankData, app.data.MemNo).MemNameStr);
        top.mainWind->SelectPatternRadio(app.data.MemNo);
    };
}
