#pragma once

#include <QString>

// What the link needs of the windows, without knowing them.
class LinkHost {
public:
    virtual ~LinkHost() = default;
    // While offline a message goes out only when the start window is
    // probing: visible, on its start page, with simple setup enabled.
    virtual bool SendGateOpen() = 0;
    // The unit stopped answering while online (OnLine is already False):
    // show offline on both windows, clear the port label, report it, clear
    // the lamps and meters.
    virtual void OnLinkLost() = 0;
    // Lets window messages run, sleeping at most maxMs for one to come.
    virtual void PumpEvents(int maxMs) = 0;
    // The start window's label of the port in use.
    virtual void SetConnectChannel(const QString& text) = 0;
};
