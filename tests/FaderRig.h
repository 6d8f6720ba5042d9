#pragma once

// The editor against the emulator with the program's clock in the test's
// hands: it moves only when a test moves it. Sliders are dragged by events,
// as the mouse moves them, so that scroll events nest as they do in use.

#include "EditorRig.h"
#include "FakeClock.h"

#include <QCoreApplication>
#include <QSlider>
#include <algorithm>
#include <functional>

struct FaderClockFirst {
    FakeClock appClock{100000, 0};
};

struct FaderRig : FaderClockFirst, EditorRig {
    FaderRig() : EditorRig(&appClock) {}

    // One step of a drag: a slider to a position.
    struct Move {
        QSlider* slider;
        int position;
    };

    // Clock readings at which the level messages of the last drag were
    // heard, in turn; those sent when the sliders were let go are not among
    // them.
    QList<uint32_t> levelTimes;

    // Found by the port scan, then the editor shown; the clock stands still
    // from here on.
    bool goOnline() {
        appClock.step = 1;
        const bool online = EditorRig::goOnline();
        appClock.step = 0;
        return online;
    }

    SimUnit& unit() { return usb.unit(); }
    BankRec& rec() { return record(); }

    static bool isLevel(const QByteArray& b) {
        return b.size() == 9 && (b[0] == 'I' || b[0] == 'O') && b[1] == 'S' && b[4] == 9;
    }

    // The level messages (InputSet sub 9) the unit heard for input c, or
    // OutputSet sub 9 for output block c.
    QList<QByteArray> levelsSent(int c, char kind = 'I') {
        QList<QByteArray> out;
        for (const QByteArray& b : unit().model().requests())
            if (isLevel(b) && b[0] == kind && b[3] == c + 1)
                out.append(b);
        return out;
    }

    // Runs f once the event loop runs again, as a user's action would come.
    void post(const std::function<void()>& f) { QMetaObject::invokeMethod(qApp, f, Qt::QueuedConnection); }

    // Holds the sliders of moves down and makes the moves, one every 10 ms
    // of the clock, as events, so that they nest in a scroll event that
    // waits; after the last move the clock runs on in 10 ms steps until
    // every scroll event has returned, then the sliders are let go. Returns
    // the steps taken after the last move.
    int drag(const QList<Move>& moves) {
        for (const Move& m : moves)
            m.slider->setSliderDown(true);
        const auto levels = [this] {
            const QList<QByteArray> heard = unit().model().requests();
            return std::count_if(heard.cbegin(), heard.cend(), isLevel);
        };
        const qsizetype before = levels();
        levelTimes.clear();
        qsizetype next = 0;
        int after = 0;
        bool done = false;
        // The clock moves only in a tick, so a message heard since the last
        // look left at the reading now.
        const auto look = [&] {
            for (qsizetype n = levels() - before; levelTimes.size() < n;)
                levelTimes.append(appClock.t);
        };
        std::function<void()> tick = [&] {
            look();
            appClock.t += 10;
            if (next < moves.size()) {
                post(tick);
                const Move& m = moves[next++];
                m.slider->setSliderPosition(m.position);
            } else if (main->SliderNest > 0) {
                ++after;
                post(tick);
            } else {
                done = true;
            }
        };
        post(tick);
        while (!done)
            QCoreApplication::processEvents();
        look();
        for (const Move& m : moves)
            m.slider->setSliderDown(false);
        return after;
    }

    // One slider dragged through positions.
    int drag(QSlider* s, const QList<int>& positions) {
        QList<Move> moves;
        for (int p : positions)
            moves.append({s, p});
        return drag(moves);
    }
};
