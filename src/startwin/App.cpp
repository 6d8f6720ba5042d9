#include "startwin/App.h"

App::App(const AppOptions& options)
    : requestedCodePage_(options.codePage), AppPath(options.appPath), codePage(CodePage::Western),
      clock(options.clock ? *options.clock : systemClock_),
      instance(options.instanceKey.isEmpty() ? InstanceGuard::DefaultKey() : options.instanceKey) {}
