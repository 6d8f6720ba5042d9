#pragma once

#include "platform/MsgBox.h"

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
    // A message's reply wait begins (true) or has ended (false); the window
    // layer holds the user's input back meanwhile.
    virtual void ReplyWait(bool /*waiting*/) {}
    // The start window's label of the port in use.
    virtual void SetConnectChannel(const QString& text) = 0;
    virtual MsgResult ShowMessage(const MsgBox& box) = 0;
    // The unit's knob levels of the inputs (side 0) or outputs (side 1)
    // have been stored; fader marks and linked sliders follow them.
    virtual void KnobLevelsRead(int side) = 0;
    // The unit reported the memory it is on (MemNo).
    virtual void MemNoRead(int memNo) = 0;
    // An all-memory transfer reached memory m (1..16).
    virtual void BankProgress(int m) = 0;
};
