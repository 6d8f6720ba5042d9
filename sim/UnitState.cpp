#include "sim/UnitState.h"

#include "data/ParamData.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace {

constexpr uint32_t LiveSeed = 0x9E3779B9u;

uint8_t Walk(uint8_t v, int step, int lo, int hi) {
    return uint8_t(std::clamp(int(v) + step, lo, hi));
}

} // namespace

UnitState::UnitState() {
    // The PC's factory defaults are the unit's too.
    auto pd = std::make_unique<ParamData>();
    for (int m = 0; m <= Memories; ++m)
        pd->InitMemoryData(m);
    rec = pd->BankData;
    level = pd->MemLevel;
    inKnob_.fill(125);
    outKnob_.fill(125);
}

bool UnitState::Store(int m) {
    if (m < 1 || m > Memories)
        return false;
    // The external-output bits are a table of their own per memory, written
    // only by the whole-table message; storing keeps the memory's.
    const uint8_t extOut = rec[size_t(m)].ExtOutMask;
    static_cast<BankFixed&>(rec[size_t(m)]) = rec[0];
    rec[size_t(m)].ExtOutMask = extOut;
    level[size_t(m)] = level[0];
    memNo = m;
    return true;
}

bool UnitState::Recall(int m) {
    if (m < 1 || m > Memories)
        return false;
    static_cast<BankFixed&>(rec[0]) = rec[size_t(m)];
    level[0] = level[size_t(m)];
    memNo = m;
    return true;
}

int UnitState::NameWidth(int category, int index) {
    switch (category) {
    case 1:
        return index == 1 ? 20 : 0;
    case 2:
        return index >= 1 && index <= Memories ? 20 : 0;
    case 4:
        return index >= 1 && index <= 8 ? 12 : 0;
    case 5:
        return index == 15 ? 9 : index >= 1 && index <= 17 ? 12 : 0;
    case 6:
        return index >= 1 && index <= OutChannels ? 20 : 0;
    default:
        return 0;
    }
}

QByteArray UnitState::nameField(int category, int index) const {
    const int w = NameWidth(category, index);
    if (w == 0)
        return {};
    const auto it = names_.find({category, index});
    return it != names_.end() ? it->second : QByteArray(w, '\0');
}

bool UnitState::setNameField(int category, int index, const QByteArray& bytes) {
    const int w = NameWidth(category, index);
    if (w == 0)
        return false;
    QByteArray field = bytes.left(w);
    field.append(QByteArray(w - field.size(), '\0'));
    names_[{category, index}] = field;
    return true;
}

QByteArray UnitState::password() const {
    const QByteArray f = nameField(5, 15);
    const qsizetype end = f.indexOf('\0');
    return end < 0 ? f : f.left(end);
}

void UnitState::setInKnob(int c, uint8_t v) {
    inKnob_.at(size_t(c)) = v;
    InRec& in = rec[0].In[c];
    if (in.VRLink)
        in.Fader = v;
}

void UnitState::setOutKnob(int ch, uint8_t v) {
    outKnob_.at(size_t(ch)) = v;
    OutRec& out = rec[0].Out[ChannelBlock.at(size_t(ch))];
    if (out.VRLink)
        out.Fader = v;
}

uint32_t UnitState::Random() {
    // xorshift32: cheap, and the same sequence from every seed reset.
    seed_ ^= seed_ << 13;
    seed_ ^= seed_ >> 17;
    seed_ ^= seed_ << 5;
    return seed_;
}

void UnitState::setLive(bool on) {
    live_ = on;
    seed_ = LiveSeed;
    if (!on) {
        signalBits = peakBits = 0;
        meterBits.fill(0);
        outLampBits = 0;
    }
}

void UnitState::Tick() {
    if (!live_)
        return;
    signalBits = uint16_t(Random() & 0x3FF);
    peakBits = uint16_t(signalBits & Random() & Random());
    for (uint8_t& m : meterBits) {
        const int steps = std::clamp(std::popcount(unsigned(m & 0x3F)) + int(Random() % 5) - 2, 0, 6);
        m = uint8_t((1u << steps) - 1);
    }
    // As at the inputs, an output peaks only while it signals.
    const unsigned outSignal = Random() & 0x03;
    outLampBits = uint8_t((outSignal & Random() & Random()) | outSignal << 2);
    // Now and then someone turns a knob a little.
    for (int c = 0; c < Inputs; ++c)
        if (Random() % 4 == 0)
            setInKnob(c, Walk(inKnob(c), int(Random() % 9) - 4, 6, 125));
    for (int ch = 0; ch < OutChannels; ++ch)
        if (Random() % 4 == 0)
            setOutKnob(ch, Walk(outKnob(ch), int(Random() % 9) - 4, 6, 125));
}

bool UnitState::HowlingStart(int channel) {
    if (channel < 1 || channel > 6)
        return false;
    howling_ = Howling::Running;
    howlingChannel_ = channel;
    howlingLeft_ = howlingQueries_;
    howlingLog_ << QStringLiteral("start %1").arg(channel);
    return true;
}

uint8_t UnitState::HowlingQuery() {
    if (howling_ == Howling::Running) {
        if (howlingLeft_ > 0)
            --howlingLeft_;
        else
            howling_ = (howlingFaults_ >> (howlingChannel_ - 1) & 1) != 0 ? Howling::Fault : Howling::Done;
    }
    const uint8_t status = howling_ == Howling::Idle      ? 0
                           : howling_ == Howling::Running ? 1
                           : howling_ == Howling::Done    ? 2
                                                          : 3;
    howlingLog_ << QStringLiteral("status %1").arg(status);
    return status;
}

void UnitState::HowlingEnd(int channel) {
    howling_ = Howling::Idle;
    howlingChannel_ = 0;
    howlingLog_ << QStringLiteral("end %1").arg(channel);
}
