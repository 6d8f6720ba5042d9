#pragma once

#include <QString>
#include <cstdint>
#include <functional>
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
    // One status query of the howling measurement: 2 done, 3 fault, and 1
    // (running) for any other answer or none. It asks offline too; the send
    // gate decides whether the query goes out.
    int GetHawlingStatus();

    void ReadSystemName();
    void ReadNameList();
    void ReadSpeakerName();
    void LoadPassword();
    void ReadNameAll();

    // Every memory of the unit into records 1..16. False when the unit
    // stopped answering part-way: the records are then as they were.
    bool AllBankRead();
    // AllBankRead, which leaves the unit on the last memory it recalled;
    // then, cancelled or not, the unit is put back on memory MemNo with the
    // state of the current record, edits not yet stored included. False
    // when the unit stopped answering during the read.
    bool AllBankReadAndResume();
    // The read-back of the current record, with names the names and the
    // memory number first. False when the unit stopped answering part-way:
    // the records are then as they were.
    bool ReadBack(bool names);

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
    // The channel and speaker names of the current record into records 1..16.
    void copyNamesToMemories();
    // Runs read as one run of messages. When the unit stops answering
    // part-way, whatever the read changed is put back (a half-read record
    // mixes the unit's values with the PC's), and only what the read does
    // offline is done: with names, their copy into the memories.
    bool readOrKeep(const std::function<void()>& read, bool names);
};
