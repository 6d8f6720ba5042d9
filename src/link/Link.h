#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <vector>

class Serial;

// Program-wide state of the connection to the unit and the one procedure
// through which every message goes.
class Link {
public:
    Link();
    ~Link();

    // True while the unit answers.
    bool OnLine = false;
    // Port-scan position: 0 USB, 1 COM1, 2 COM2; kept after a connection.
    int PortIndex = 0;
    // 1 while a message is in flight; the poll timers skip their work then.
    // A message sent meanwhile (by a timer that runs during the reply wait)
    // waits its turn: it goes, in order, once the one in flight is done,
    // before any later message, and counts as unanswered for its caller;
    // inside an AnsweredRun it is not sent at all and breaks the run.
    int SendBusy = 0;
    // Carried in the third body byte of most messages; 1 during the
    // all-memory transfers.
    uint8_t AllBankFlag = 0;
    bool AllBankContinue = false;
    bool AllBankDone = false;

    // The body of the next request, and of the last reply (bytes past its
    // end keep what earlier replies left).
    std::array<uint8_t, 129> TxBuf{};
    std::array<uint8_t, 1025> RxBuf{};
    // Reply wait of the message in flight, ms; 300 also means one attempt.
    int RxWait = 0;

    std::unique_ptr<Serial> SerialObj;
    // The unit's password as last read from it (up to 8 characters).
    QString PasswordStr;

    // Frames body[0..n-1] and sends it, waiting up to wait ms for a reply.
    void SendCommand(const uint8_t* body, int n, int wait);
    // SendCommand of the first n bytes of TxBuf.
    void SendTx(int n, int wait) { SendCommand(TxBuf.data(), n, wait); }
    // Puts body into TxBuf and sends it.
    void Send(std::initializer_list<uint8_t> body, int wait);
    // Whether the last message went out and got its reply (a message held
    // back by the send gate, a closed port or another message in flight did
    // not).
    bool Replied() const { return answered_; }
    // Messages waiting for the one in flight.
    int Waiting() const { return static_cast<int>(waiting_.size()); }
    // Inside an AnsweredRun: whether one of its messages went unanswered.
    bool RunBroken() const { return runDepth_ > 0 && runBroken_; }
    // The frame of a body: 0x01, length high and low byte, body, 0x02.
    static int MakeFrame(const uint8_t* body, int n, uint8_t* frame);

private:
    friend class AnsweredRun;
    struct HeldMessage {
        std::vector<uint8_t> body;
        int wait;
    };
    void Exchange(const uint8_t* body, int n, int wait);
    void SendWaiting();

    std::deque<HeldMessage> waiting_;
    // Context of the call that sends waiting messages from the event loop.
    QObject turn_;
    bool answered_ = false;
    int runDepth_ = 0;
    bool runBroken_ = false;
};

// Messages the unit must all take (a transfer, a read-back), from
// construction to destruction. The first one that goes unanswered, or that
// cannot go out because another message is in flight, breaks the run:
// nothing more of it is sent, so a unit that fell silent costs one
// message's retries instead of every remaining one's. Runs may nest: a
// broken message breaks them all until the outermost one ends. A run is
// started only while no message is in flight.
class AnsweredRun {
public:
    explicit AnsweredRun(Link& link);
    ~AnsweredRun();
    AnsweredRun(const AnsweredRun&) = delete;
    AnsweredRun& operator=(const AnsweredRun&) = delete;

    bool Broken() const { return link_.RunBroken(); }

private:
    Link& link_;
};

// An all-memory transfer from construction to destruction: the T flag set
// and record 0 current while it runs; then the current record put back and
// AllBankDone set. Its messages are one AnsweredRun.
class AllBankRun {
public:
    AllBankRun(Link& link, int& curBank);
    ~AllBankRun();
    AllBankRun(const AllBankRun&) = delete;
    AllBankRun& operator=(const AllBankRun&) = delete;

    bool Broken() const { return answered_.Broken(); }

private:
    Link& link_;
    int& curBank_;
    const int kept_;
    AnsweredRun answered_;
};

// LinkNotice: the probe and keep-alive (v 0, 300 ms) and the start and end
// of editing (v 2 and 3, 500 ms).
void SendNO(Link& link, uint8_t v, int wait);
