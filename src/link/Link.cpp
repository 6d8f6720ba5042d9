#include "link/Link.h"

#include "link/Serial.h"

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
    if (n < 0 || n + 4 > Serial::SendBufferSize)
        return;
    SendBusy = 1;
    uint8_t frame[Serial::SendBufferSize];
    const int size = MakeFrame(body, n, frame);
    RxWait = wait;
    if (SerialObj)
        SerialObj->SendBuffer(frame, size);
    SendBusy = 0;
}

void SendNO(Link& link, uint8_t v, int wait) {
    link.TxBuf[0] = 'N';
    link.TxBuf[1] = 'O';
    link.TxBuf[2] = v;
    link.SendTx(3, wait);
}
