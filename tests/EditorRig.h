#pragma once

// The editor open against the emulator on the USB seam, found by the port
// scan, with the mouse buttons in the test's hands and the unit's requests
// read back as bodies.

#include "GuiRig.h"
#include "platform/MouseState.h"
#include "startwin/InputWind.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
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

    // Holds button on a press-and-hold knob, running its timer period by
    // period (tick) on a clock that starts at the press: the times (ms) at
    // which value changed. The button is let go once releaseAfter steps were
    // taken (-1: when the stepping ends); down false: the button state reads
    // as up although no release came.
    QList<int> holdKnob(QWidget* knob, QTimer& timer, const std::function<void()>& tick,
                        const std::function<int()>& value, Qt::MouseButton button, int releaseAfter = -1,
                        bool down = true) {
        (button == Qt::LeftButton ? leftHeld : rightHeld) = down;
        QTest::mousePress(knob, button);
        QList<int> steps;
        for (int now = 0; timer.isActive() && steps.size() != releaseAfter && now < 60000;) {
            now += timer.interval();
            const int before = value();
            tick();
            if (value() != before)
                steps << now;
        }
        leftHeld = rightHeld = false;
        QTest::mouseRelease(knob, button);
        return steps;
    }

    // Runs rename, which opens the name dialog; the dialog's text is
    // replaced by typed, then O K. Returns its title, prompt and first text.
    QStringList answer(const std::function<void()>& rename, const QString& typed) {
        InputWind& w = *top->InputWindObj;
        QStringList opened;
        QTimer guard; // a dialog that is not answered fails instead of hanging
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &w, [&w] { w.done(-1); });
        guard.start(15000);
        QTimer::singleShot(0, &w, [&] {
            opened << w.windowTitle() << w.Label1->text() << w.Text1->text();
            w.Text1->clear();
            for (QChar c : typed)
                QTest::sendKeyEvent(QTest::Click, w.Text1, Qt::Key_unknown, QString(c), Qt::NoModifier);
            w.Command1->click();
        });
        rename();
        return opened;
    }

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
