#pragma once

#include "link/Link.h"
#include "link/Serial.h"
#include "platform/ComPort.h"
#include "platform/MsClock.h"
#include "sim/SimFtdiDriver.h"

#include <QObject>
#include <memory>

// A link wired as the program wires it: the emulator's bridge on USB and a
// real COM port whose receive event feeds the serial object. Host is the
// windows' side of the link.
template <class Host> struct WiredLink {
    SystemMsClock clock;
    SimFtdiDriver usb{clock};
    Host host;
    ComPort com;
    Link link;

    WiredLink() {
        link.SerialObj = std::make_unique<Serial>(link, host, clock, usb);
        link.SerialObj->SetMSComm(&com);
        QObject::connect(&com, &ComPort::onComm, [this](int ev) { link.SerialObj->OnCommProc(ev); });
    }
    WiredLink(const WiredLink&) = delete;
    WiredLink& operator=(const WiredLink&) = delete;

    Serial& serial() { return *link.SerialObj; }
    // Scans the one port given (0 USB, 1 COM1) and reports whether the unit
    // answered the probe there.
    bool connect(int portIndex) {
        link.PortIndex = portIndex;
        serial().AllPortCheck();
        return link.OnLine;
    }
};
