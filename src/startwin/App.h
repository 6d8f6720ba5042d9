#pragma once

#include "data/ParamData.h"
#include "data/Utilities.h"
#include "link/Link.h"
#include "link/ParamLib.h"
#include "link/ParamSend.h"
#include "platform/CodePage.h"
#include "platform/FtdiDriver.h"
#include "platform/InputHold.h"
#include "platform/InstanceGuard.h"
#include "platform/MsClock.h"
#include "startwin/ImageWind.h"

#include <QString>
#include <memory>

// How the program is started; tests give their own folder, lock and clock.
struct AppOptions {
    QString appPath;               // the folder beside which resources/ lies
    int codePage = 0;              // 0: the page of the user's locale
    QString instanceKey;           // empty: the program's own lock
    MsClock* clock = nullptr;      // nullptr: the system clock
    FtdiDriver* ftdi = nullptr;    // nullptr: real bridges through libftdi1
};

// The objects that live for the whole run, built in start-up order; each
// window and routine that needs one is handed a reference.
class App {
    // Declared first: clock may refer to it.
    SystemMsClock systemClock_;
    std::unique_ptr<FtdiDriver> ownFtdi_;
    int requestedCodePage_;

public:
    explicit App(const AppOptions& options);

    QString AppPath;
    CodePage codePage;
    MsClock& clock;
    FtdiDriver& ftdi;
    ParamData data;
    Link link;
    // The message builders and readers, made by GlobalInitial with the
    // start window as their host.
    std::unique_ptr<ParamSend> send;
    std::unique_ptr<ParamLib> lib;
    // Holds the user's input back while a handler waits (a reply, a pause).
    InputHold hold;
    TickWait waits;
    ImageWind images;
    // 1 while program code sets controls from the record, so that their
    // change handlers neither store nor send.
    int DispBusy = 0;
    InstanceGuard instance;

    int requestedCodePage() const { return requestedCodePage_; }
};
