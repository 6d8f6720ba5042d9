// Feeds arbitrary bytes to the reply receiver as if the unit had sent them:
// it must never write past RxBuf, and it must give up by its deadline.
#include "LinkRig.h"
#include "link/Link.h"
#include "link/Serial.h"

#include <cstdlib>

using namespace testrig;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FakeClock clock;
    static ScriptedFtdi ftdi(clock);
    static FakeHost host;
    static Link link;
    static bool ready = [] {
        link.SerialObj = std::make_unique<Serial>(link, host, clock, ftdi);
        return link.SerialObj->PortOpen();
    }();
    if (!ready)
        std::abort();

    ftdi.rx.assign(data, data + size);
    // The clock moves a little at every look, and wraps now and then.
    clock.step = size > 0 ? data[0] % 4 + 1 : 1;
    clock.t = size > 1 ? 0xFFFFF000u + data[1] * 16u : 0;
    link.RxWait = 1100;
    const uint32_t start = clock.t;
    const bool complete = link.SerialObj->ReceiveBuffer();
    const uint32_t waited = clock.t - start;
    // A wait that ran out ends within a few looks of its deadline.
    if (!complete && waited > 1100u + 8u * 5u + 64u)
        std::abort();
    return 0;
}
