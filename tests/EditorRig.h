#pragma once

// The editor open against the emulator on the USB seam, found by the port
// scan, with the mouse buttons in the test's hands and the unit's requests
// read back as bodies.

#include "GuiRig.h"
#include "platform/MouseState.h"

#include <QApplication>
#include <QTimer>
#include <functional>

struct EditorRig : GuiRig {
    MainWind* main = nullptr;
    bool leftHeld = false;
    bool rightHeld = false;

    // appClock, when given, is the program's clock instead of the system's.
    explicit EditorRig(MsClock* appClock = nullptr) : GuiRig({}, appClock) {
        otherwise = MsgResult::Cancel;
        top->Form_Initialize();
        main = &editor();
        SetLeftButtonSource([this] { return leftHeld; });
        SetRightButtonSource([this] { return rightHeld; });
    }
    ~EditorRig() {
        SetLeftButtonSource({});
        SetRightButtonSource({});
    }

    // Online, the editor shown and the unit's log empty; the poll timer is
    // left to the tests, which call its handler.
    bool goOnline() {
        plugIn();
        for (int step = 0; step < 3 && !app->link.OnLine; ++step)
            app->link.SerialObj->AllPortCheck();
        top->hide();
        main->show();
        clearHeard();
        return app->link.OnLine;
    }

    UnitState& unitState() { return usb.unit().model().state(); }
    QList<QByteArray> heard() { return usb.unit().model().requests(); }
    void clearHeard() { usb.unit().model().clearRequests(); }
    BankRec& record() { return app->data.BankData[app->data.CurBank]; }

    // Runs script on the modal window once its loop runs; a window the
    // script left open (a failed check returns early) is closed after it.
    static void whenModal(std::function<void(QWidget*)> script) {
        QTimer::singleShot(0, [script] {
            QWidget* w = QApplication::activeModalWidget();
            script(w);
            if (w && w->isVisible())
                w->close();
        });
    }
};
