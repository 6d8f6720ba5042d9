// The output EQ graph against the drag's 200 ms send tick: one
// OutputEQGraphDraw (the curve computed and painted with the grid into the
// graph's backing picture) at device pixel ratio 1 and 2, and a held
// marker's move event through to the curve repainted on the shown page. Each ratio
// runs in a child process of its own, since Qt takes the scale factor at
// start. Also the once-only OutputEQInit with its file read, which runs
// when the editor is built.

#include "BenchCommon.h"
#include "editor/EQGraph.h"
#include "editor/MainWind.h"
#include "sim/SimFtdiDriver.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double TickSeconds = 0.200;

bench::Summary Time(int runs, const std::function<void(int)>& work) {
    std::vector<double> s;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work(i);
        s.push_back(bench::SecondsSince(t0));
    }
    return bench::Summarize(s);
}

int Child(int argc, char* argv[], const char* ratio) {
    qputenv("QT_SCALE_FACTOR", ratio);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QTemporaryDir dir;
    bench::LayTemplates(dir.path());
    SystemMsClock clock;
    SimFtdiDriver usb(clock);
    usb.setPresent(false);
    App app(AppOptions{dir.path(), 0, QStringLiteral("qdr318-bench-eqgraph-%1").arg(QLatin1String(ratio)),
                       nullptr, &usb});
    TopWind top(app);
    if (!top.Form_Initialize())
        return 1;
    MainWind& m = *top.mainWind;
    OutRec& out = app.data.BankData[app.data.CurBank].Out[m.OutEQCh];
    for (int b = 0; b < 6; ++b) {
        out.EQFreq[b] = uint8_t(4 + 9 * b);
        out.EQGain[b] = uint8_t(10 + 8 * b);
        out.EQQ[b] = uint8_t(3 * b);
        m.OEQType[b] = b % 5;
    }
    m.MainTab->setCurrentIndex(MainWind::PageOutputEQ);
    m.show();
    QApplication::processEvents();

    const bench::Summary init = Time(50, [&](int) { m.OutputEQInit(); });
    const bench::Summary draw = Time(400, [&](int i) {
        out.EQGain[1] = uint8_t(20 + i % 30);
        m.OutputEQGraphDraw();
    });
    // A held marker follows the pointer's move event at once; the curve is
    // drawn at the drag's tick (timed here without the tick's message).
    EQGraph& g = *m.PicGraph;
    const auto mouse = [&g](QEvent::Type type, QPointF units, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF u0 = g.ToUnits({0, 0}), u1 = g.ToUnits({1, 1});
        const QPointF p((units.x() - u0.x()) / (u1.x() - u0.x()), (units.y() - u0.y()) / (u1.y() - u0.y()));
        QMouseEvent e(type, p, g.mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(&g, &e);
    };
    const QPointF held(g.Picmark()[2].Left + 1, g.Picmark()[2].Top + 1);
    mouse(QEvent::MouseButtonPress, held, Qt::LeftButton, Qt::LeftButton);
    m.OutputEQTimer.stop();
    const bench::Summary move = Time(200, [&](int i) {
        mouse(QEvent::MouseMove, held + QPointF(i % 2 ? -6 : 12, 0), Qt::NoButton, Qt::LeftButton);
        m.OutputEQGraphDraw();
        g.repaint();
    });
    m.DragBand = -1;
    const double r = m.PicGraph->devicePixelRatioF();
    std::printf(
        "OutputEQGraphDraw at pixel ratio %.0f: %.3f ms (median of %zu), ratio %.4f of the 200 ms drag tick  "
        "target <= 0.01\n",
        r, draw.median * 1e3, draw.n, draw.median / TickSeconds);
    std::printf("marker move event to curve repainted at pixel ratio %.0f: %.3f ms (median of %zu), ratio %.4f of "
                "the tick\n",
                r, move.median * 1e3, move.n, move.median / TickSeconds);
    std::printf(
        "OutputEQInit (template file read, markers, curve) at pixel ratio %.0f: %.3f ms (median of %zu)\n", r,
        init.median * 1e3, init.n);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1)
        return Child(argc, argv, argv[1]);
    QCoreApplication app(argc, argv);
    for (const char* ratio : {"1", "2"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QLatin1String(ratio)});
        if (!child.waitForFinished(120000) || child.exitCode() != 0) {
            std::fprintf(stderr, "pixel ratio %s: the measurement did not finish\n", ratio);
            return 1;
        }
    }
    return 0;
}
