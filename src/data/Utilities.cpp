#include "data/Utilities.h"

#include "platform/CodePage.h"
#include "platform/MsClock.h"

#include <QCoreApplication>
#include <QFileInfo>

void TimeWait(MsClock& clock, uint32_t ms) {
    const uint32_t start = clock.now();
    while (ElapsedMs(start, clock.now()) < ms) {
    }
}

TickWait::TickWait()
    : pumpEvents([] { QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents); }) {}

int TickWait::TicksFor(int ms) {
    int q = ms / 100;
    const int r = ms % 100;
    if (r > 50 || (r == 50 && q % 2 != 0))
        ++q;
    return q;
}

void TickWait::TimerWait(int ms) {
    WaitTick = TicksFor(ms);
    if (pausing)
        pausing(true);
    while (WaitTick != 0)
        pumpEvents();
    if (pausing)
        pausing(false);
}

void TickWait::Tick() {
    if (WaitTick != 0)
        --WaitTick;
}

QString ByteToStr(const CodePage& cp, std::span<const uint8_t> b) {
    QString text;
    for (std::size_t i = 0; i <= 200; ++i) {
        if (i >= b.size())
            return {};
        const uint8_t c = b[i];
        if (c == 0)
            break;
        QByteArray ch(1, static_cast<char>(c));
        if (cp.isLeadByte(c)) {
            if (i + 1 >= b.size())
                return {};
            // A field cut after a lead byte ends there.
            if (b[i + 1] == 0)
                break;
            ch += static_cast<char>(b[++i]);
        }
        const auto decoded = cp.decode(ch);
        if (!decoded)
            return {};
        text += *decoded;
    }
    return text;
}

void StrToByte(const CodePage& cp, const QString& s, std::span<uint8_t> b) {
    std::fill(b.begin(), b.end(), 0);
    const QByteArray t = cp.encode(s);
    const auto n = std::min<std::size_t>(b.size(), static_cast<std::size_t>(t.size()));
    for (std::size_t k = 0; k < n; ++k)
        b[k] = static_cast<uint8_t>(t[static_cast<qsizetype>(k)]);
}

QString LeftByteStr(const CodePage& cp, const QString& s, int n) {
    const QByteArray t = cp.encode(s);
    if (t.size() <= n)
        return s;
    int i = 0;
    while (i < n) {
        if (cp.isLeadByte(static_cast<uint8_t>(t[i]))) {
            if (i + 1 >= n)
                return cp.decode(t.left(i)).value_or(QString()) + QLatin1Char(' ');
            i += 2;
        } else {
            ++i;
        }
    }
    return cp.decode(t.left(n)).value_or(QString());
}

bool FileExist(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path); }
