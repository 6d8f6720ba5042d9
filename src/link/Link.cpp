#include "link/Link.h"

#include "link/Serial.h"

#include <QTimer>
#include <algorithm>

Link::Link() = default;
Link::~Link() = default;

int Link::MakeFrame(const uint8_t* body, int n, uint8_t* frame) {
    frame[0] = 0x01;
    frame[1] = static_cast<uint8_t>(n / 256);
    frame[2] = static_cast<uint8_t>(n & 255);
    std::copy(body, body + n, frame + 3);
    frame[n + 3] = 0x02;
    return n + 4;
}

void Link::SendCommand(const uint8_t* body, int n, int wait) {
    answered_ = false;
    if (n < 0 || n + 4 > Serial::SendBufferSize || RunBroken())
        return;
    if (SendBusy) {
        // Never inside another exchange: its frame, its retries and its
        // reply stay its own. A run's message cannot wait its turn: the run
        // reads or sends a whole, so it is broken (without a lost link, as
        // the unit missed nothing) and nothing more of it goes out.
        if (runDepth_ > 0)
            runBroken_ = true;
        else
            waiting_.push_back({std::vector<uint8_t>(body, body + n), wait});
        return;
    }
    SendWaiting();
    Exchange(body, n, wait);
    // Whatever came in during this wait goes next, after the caller has
    // read its reply.
    if (!waiting_.empty())
        QTimer::singleShot(0, &turn_, [this] {
            if (!SendBusy)
                SendWaiting();
        });
}

void Link::SendWaiting() {
    while (!waiting_.empty()) {
        HeldMessage next = std::move(waiting_.front());
        waiting_.pop_front();
        Exchange(next.body.data(), static_cast<int>(next.body.size()), next.wait);
    }
}

void Link::Exchange(const uint8_t* body, int n, int wait) {
    SendBusy = 1;
    uint8_t frame[Serial::SendBufferSize];
    const int size = MakeFrame(body, n, frame);
    RxWait = wait;
    answered_ = SerialObj && SerialObj->SendBuffer(frame, size);
    if (runDepth_ > 0 && !answered_)
        runBroken_ = true;
    SendBusy = 0;
}

void Link::Send(std::initializer_list<uint8_t> body, int wait) {
    std::copy(body.begin(), body.end(), TxBuf.begin());
    SendTx(static_cast<int>(body.size()), wait);
}

AnsweredRun::AnsweredRun(Link& link) : link_(link) {
    if (link_.runDepth_++ == 0)
        link_.runBroken_ = false;
}

AnsweredRun::~AnsweredRun() { --link_.runDepth_; }

AllBankRun::AllBankRun(Link& link, int& curBank)
    : link_(link), curBank_(curBank), kept_(curBank), answered_(link) {
    link_.AllBankDone = false;
    link_.AllBankFlag = 1;
    curBank_ = 0;
}

AllBankRun::~AllBankRun() {
    curBank_ = kept_;
    link_.AllBankFlag = 0;
    link_.AllBankDone = true;
}

void SendNO(Link& link, uint8_t v, int wait) { link.Send({'N', 'O', v}, wait); }
