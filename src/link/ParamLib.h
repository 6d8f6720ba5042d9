#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>

class CodePage;
class Link;
class LinkHost;
class ParamData;
class ParamSend;
class TickWait;

// The readers: each asks the unit and stores the reply, clamped, into
// record CurBank. They do nothing offline, and a request that got no
// complete reply stores nothing (what RxBuf still holds belongs to an
// earlier message).
class ParamLib {
public:
    ParamLib(ParamData& data, Link& link, const CodePage& cp, TickWait& waits, LinkHost& host, ParamSend& send);

    void ReadInputParam();
    void ReadOutputParam();
    void ReadMatrix();
    void ReadSystemParam();
    void ReadExtOutAll();
    void ReadExtOut();
    void ReadBankParam();

    void ReadInputStatus();
    void ReadPatternNo();
    void ReadInputLevel();
    void ReadOutputLevel();
    void ReadAllLevel();
    void ReadOutputStatus();

    void ReadSystemName();
    void ReadNameList();
    void ReadSpeakerName();
    void LoadPassword();
    void ReadNameAll();

    // Every memory of the unit into records 1..16.
    void AllBankRead();

    // The meter step of an output block from its meter bits: 0 for none,
    // else 1 + the highest of bits 0..5; only bits 6 and 7 keep the step.
    static uint8_t MeterStep(uint8_t bits, uint8_t previous);

private:
    ParamData& d_;
    Link& link_;
    const CodePage& cp_;
    TickWait& waits_;
    LinkHost& host_;
    ParamSend& send_;

    // Sends a load request; true when its reply came.
    bool ask(std::initializer_list<uint8_t> body);
    uint8_t rx(int i) const;
    // The name field of width bytes that starts at reply byte 4.
    QString nameField(int width) const;
    bool askName(uint8_t category, uint8_t index);
};
