#include "platform/EventWait.h"

#include <QCoreApplication>
#include <QTimer>

void WaitForEvents(int maxMs) {
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxMs > 0 ? maxMs : 0);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
