#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>

class CodePage;
class Link;
class LinkHost;
class MsClock;
class ParamData;
class TickWait;

// The message builders: each fills TxBuf from record CurBank (or the record
// it names) and sends it. Offline, outside the start window's probing, the
// send gate holds everything back.
class ParamSend {
public:
    static constexpr int SetWait = 1100;
    static constexpr int MemoryWait = 3300;

    ParamSend(ParamData& data, Link& link, const CodePage& cp, TickWait& waits, MsClock& clock, LinkHost& host,
              const QString& appPath);

    // Inputs (c = 0..9)
    void SendInputParamAll();
    void SendInputParam(int c);
    void SendInputTrim(int c);
    void SendInputHowling(int c);
    void SendInputEQOn(int c);
    void SendInputEQBand(int c, int band);
    void SendInputLevel(int c);
    // Output blocks (o = 0..5)
    void SendOutputParamAll();
    void SendOutputParam(int o);
    void SendOutputDelay(int o);
    void SendOutputEQOn(int o);
    void SendOutputEQBand(int o, int b);
    void SendOutputLevel(int o);
    void SendOutputBalance(int o);
    // Matrix rows (k = output channel 0..3)
    void SendMatrixSW(int k);
    void SendMatrixLevel(int k);
    void SendMatrixMisc();
    void SendMatrixParamAll();
    // System
    void SendMonoStereo();
    void SendSAParam();
    void SendSMParam();
    void SendVT20Link();
    void SendExInputParam();
    void SendPatternMem();
    void SendPSParamAll();
    // External outputs
    void SendRSAll();
    void SendExtOut();
    // Measurement (op 1 start, 2 end, 3 status) and EQ copies
    void SendHawlingMeasure(int op, int ch);
    void SendOutputEQCopy(int src, int dst);
    void SendInputEQCopy(int src, int dst);
    // A load request of one byte index, e.g. the status subs ("D").
    void SendLoadReq(char kind, uint8_t index);
    // Speaker file into output block o, sent band by band with the output
    // muted meanwhile.
    void SpeakerEQLoad(const QString& name, int o);

    // Names and password
    void SendSystemName();
    void SendMemoryName(int m);
    void SendInputName(int ch);
    void SendOutputName(int o);
    void SendChannelNames();
    void SendExtOutName(int k);
    void SendNS4All();
    void SendSpeakerName(int k);
    void SavePassword();

    // Memories and whole records
    void SendBankRecall(int m);
    void SendMemoryStore(int m);
    // Record CurBank; mode 0 with every name first.
    void SendMemoryData(int mode);
    // The PC's 16 memories into the unit's. It stops at the first message
    // that goes unanswered and then returns false.
    bool SendAllBankData();
    // The backup back into the records, then record CurBank to the unit.
    void RestoreMemory();

    // Microphone tone presets on the mono inputs in MIC mode.
    void SetInEQPreset(int p);
    int GetInEQPreset();

private:
    ParamData& d_;
    Link& link_;
    const CodePage& cp_;
    TickWait& waits_;
    MsClock& clock_;
    LinkHost& host_;
    QString appPath_;

    uint8_t T() const;
    void send(std::initializer_list<uint8_t> body, int wait = SetWait);
    // Header then a name field of width bytes (cut or zero-padded), then
    // tail zero bytes.
    void sendName(uint8_t category, uint8_t index, const QString& name, int width, int tail);
    // The transfer stops: cancelled, or the unit stopped answering.
    bool stopped() const;
};
