#pragma once

// Builders and readers on the scripted bridge: every frame they send is
// kept, and the test says what the unit answers.

#include "LinkRig.h"
#include "data/ParamData.h"
#include "data/Utilities.h"
#include "link/Link.h"
#include "link/ParamLib.h"
#include "link/ParamSend.h"
#include "link/Serial.h"
#include "platform/CodePage.h"

#include <memory>

namespace testrig {

struct ParamRig {
    FakeClock clock;
    ScriptedFtdi ftdi{clock};
    FakeHost host;
    CodePage cp{CodePage::Japanese};
    TickWait waits;
    ParamData data;
    Link link;
    ParamSend send;
    ParamLib lib;

    explicit ParamRig(const QString& appPath = QString())
        : send(data, link, cp, waits, clock, host, appPath), lib(data, link, cp, waits, host, send) {
        for (int m = 0; m < ParamData::RecordCount; ++m)
            data.InitMemoryData(m);
        // Each look at the clock is a millisecond later, so busy waits end.
        clock.step = 1;
        // A wait is one pump per tick, without the event loop.
        waits.pumpEvents = [this] { waits.Tick(); };
        link.SerialObj = std::make_unique<Serial>(link, host, clock, ftdi);
        link.SerialObj->PortOpen();
        link.OnLine = true;
        // An acknowledgement of its two letters unless the test says more.
        ftdi.answer = [](const QByteArray& body) { return body.left(2); };
    }

    // The bodies sent so far, oldest first.
    QList<QByteArray> bodies() const {
        QList<QByteArray> out;
        for (const QByteArray& f : ftdi.frames)
            out.append(f.mid(3, f.size() - 4));
        return out;
    }
    QByteArray last() const { return bodies().value(bodies().size() - 1); }
    void clear() { ftdi.frames.clear(); }
};

inline QByteArray Bytes(std::initializer_list<int> v) {
    QByteArray out;
    for (int b : v)
        out += static_cast<char>(b);
    return out;
}

} // namespace testrig
