// The editor's drawing against the status poll's 130 ms tick: one tick's
// lamps and meters of all strips, and the full refresh from the record,
// each painted on the shown window, as a share of one tick.

#include "BenchCommon.h"
#include "editor/MainWind.h"
#include "sim/SimFtdiDriver.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double TickSeconds = 0.130;

// Lamps and meters of every strip lit one way or the other.
void SetLive(BankRec& r, ParamData& d, bool odd) {
    for (int c = 0; c < 10; ++c) {
        r.In[c].SignalOn = uint8_t((c + odd) % 2);
        r.In[c].PeakOn = uint8_t((c + odd) % 3 == 0);
    }
    for (int c = 0; c < 6; ++c)
        d.In48VFlag[static_cast<std::size_t>(c)] = odd;
    for (int o = 0; o < 4; ++o)
        r.Out[o].MeterStep = uint8_t(odd ? 6 - o : o);
    for (int o : {4, 5}) {
        r.Out[o].MeterStep = odd;
        r.Out[o].OutLamp34 = !odd;
    }
}

// Median seconds of work followed by the paint it caused.
bench::Summary Time(int runs, const std::function<void(int)>& work) {
    std::vector<double> s;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work(i);
        QApplication::processEvents();
        s.push_back(bench::SecondsSince(t0));
    }
    return bench::Summarize(s);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QTemporaryDir dir;
    SystemMsClock clock;
    SimFtdiDriver usb(clock);
    usb.setPresent(false);
    bench::LayTemplates(dir.path());
    App app(AppOptions{dir.path(), 0, QStringLiteral("qdr318-bench-editor"), nullptr, &usb});
    TopWind top(app);
    if (!top.Form_Initialize())
        return 1;
    MainWind& m = *top.mainWind;
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    m.show();
    QApplication::processEvents();
    BankRec& r = app.data.BankData[app.data.CurBank];

    const bench::Summary tick = Time(400, [&](int i) {
        SetLive(r, app.data, i % 2);
        m.DispInputStatus();
        m.DispOutputStatus();
    });
    const bench::Summary all = Time(60, [&](int i) {
        SetLive(r, app.data, i % 2);
        m.DispAllParam();
    });
    std::printf("status-poll drawing per tick: %.3f ms (median of %zu), ratio %.4f of a 130 ms tick  "
                "target <= 0.02\n",
                tick.median * 1e3, tick.n, tick.median / TickSeconds);
    std::printf("DispAllParam: %.3f ms (median of %zu), ratio %.4f of a 130 ms tick  target <= 0.2\n",
                all.median * 1e3, all.n, all.median / TickSeconds);
    return 0;
}
