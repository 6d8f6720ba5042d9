#pragma once

// The program's windows on a temporary folder and an instance lock of their
// own, so that suites may run side by side. No real port is touched: the USB
// bridge is the emulator's, unplugged until a test plugs it in, and COM1 and
// COM2 lead nowhere until a test names a pty. Message boxes are recorded in
// `asked` and answered from `answers` in turn, then by their title from
// `byTitle`, else with `otherwise`; file dialogs are recorded and return
// `chosenFile` (empty: cancelled).

#include "editor/MainWind.h"
#include "link/Link.h"
#include "link/Serial.h"
#include "platform/Dialogs.h"
#include "sim/SimFtdiDriver.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <memory>

struct GuiRig {
    QTemporaryDir dir;
    SystemMsClock clock;
    SimFtdiDriver usb{clock};
    std::unique_ptr<App> app;
    std::unique_ptr<TopWind> top;

    QList<MsgBox> asked;
    QList<MsgResult> answers;
    QHash<QString, MsgResult> byTitle;
    MsgResult otherwise = MsgResult::Ok;
    QList<FileDialogSpec> dialogs;
    QString chosenFile;

    // defaultVenue, when not null, is written as param/default.vnf first;
    // appClock, when given, is the program's clock in place of the system's.
    explicit GuiRig(const QByteArray& defaultVenue = {}, MsClock* appClock = nullptr) {
        static int rigs = 0;
        usb.setPresent(false);
        qputenv("QDR318_COM1", "/nonexistent/com1");
        qputenv("QDR318_COM2", "/nonexistent/com2");
        QDir(dir.path()).mkpath(QStringLiteral("param"));
        // The EQ graph's templates beside the program, as the build lays them.
        QDir(dir.path()).mkpath(QStringLiteral("pat"));
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/pat/outeq.pat"), templatePath());
        if (!defaultVenue.isNull()) {
            QFile f(venuePath(QStringLiteral("default.vnf")));
            f.open(QIODevice::WriteOnly);
            f.write(defaultVenue);
        }
        app = std::make_unique<App>(AppOptions{
            dir.path(), CodePage::Western,
            QStringLiteral("qdr318-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++rigs), appClock, &usb});
        top = std::make_unique<TopWind>(*app);
        SetMessageHandler([this](const MsgBox& b) {
            asked.append(b);
            if (!answers.isEmpty())
                return answers.takeFirst();
            return byTitle.value(b.title, otherwise);
        });
        SetFileDialogHandler([this](const FileDialogSpec& s) {
            dialogs.append(s);
            return chosenFile;
        });
    }
    ~GuiRig() {
        SetMessageHandler({});
        SetFileDialogHandler({});
    }
    GuiRig(const GuiRig&) = delete;
    GuiRig& operator=(const GuiRig&) = delete;

    MainWind& editor() { return *top->mainWind; }
    QString venuePath(const QString& name) const { return dir.filePath(QStringLiteral("param/") + name); }
    QString templatePath() const { return dir.filePath(QStringLiteral("pat/outeq.pat")); }

    // The bridge plugged in and answering at once; the start window shown
    // with simple setup available, as after the first start of editing, so
    // that the port scan probes.
    void plugIn() {
        usb.setPresent(true);
        usb.unit().setPaced(false);
        top->show();
        top->KantanBtn->setEnabled(true);
    }
};
