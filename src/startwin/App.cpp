#include "startwin/App.h"

#include "platform/LibFtdiDriver.h"

App::App(const AppOptions& options)
    : ownFtdi_(options.ftdi ? nullptr : std::make_unique<LibFtdiDriver>()), requestedCodePage_(options.codePage), AppPath(options.appPath), codePage(CodePage::Western),
      clock(options.clock ? *options.clock : systemClock_), ftdi(options.ftdi ? *options.ftdi : *ownFtdi_),
      instance(options.instanceKey.isEmpty() ? InstanceGuard::DefaultKey() : options.instanceKey) {}
