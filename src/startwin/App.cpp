#include "startwin/App.h"

#include "platform/LibFtdiDriver.h"

#include <QThreadPool>

App::App(const AppOptions& options)
    : ownFtdi_(options.ftdi ? nullptr : std::make_unique<LibFtdiDriver>()), requestedCodePage_(options.codePage), AppPath(options.appPath), codePage(CodePage::Western),
      clock(options.clock ? *options.clock : systemClock_), ftdi(options.ftdi ? *options.ftdi : *ownFtdi_),
      instance(options.instanceKey.isEmpty() ? InstanceGuard::DefaultKey() : options.instanceKey) {
    // The program works on one thread. Qt's painter would otherwise start a
    // pool of threads for the first long lines and large fills it draws,
    // which costs the start window more than it could save on it.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    waits.pausing = [this](bool on) { on ? hold.waitBegins() : hold.waitEnds(); };
}
