#include "GuiRig.h"
#include "platform/OnScreen.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

// Where windows open: wholly inside the screen's available area, frame
// included, and the start window where it was.
class TestOnScreen : public QObject {
    Q_OBJECT
private slots:
    void keptInsideTheRoom_data();
    void keptInsideTheRoom();
    void startWindowComesBackWhereItWas();
    void messageBoxOnTheScreen();
};

void TestOnScreen::keptInsideTheRoom_data() {
    QTest::addColumn<QRect>("room");
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QPoint>("frameAt");
    const QRect room(0, 0, 1280, 1000);
    // The editor on a 1000-pixel-high screen, frame and all (2 pixels a side
    // here): up by as much as it hung below, not sideways.
    QTest::newRow("below") << room << QRect(100, 400, 1022, 680) << QPoint(98, 1000 - 684);
    QTest::newRow("right and above") << room << QRect(900, -30, 400, 300) << QPoint(1280 - 404, 0);
    QTest::newRow("left") << room << QRect(-50, 200, 400, 300) << QPoint(0, 198);
    QTest::newRow("inside stays") << room << QRect(300, 200, 400, 300) << QPoint(298, 198);
    // Too large: the title bar stays in reach.
    QTest::newRow("larger than the room") << room << QRect(50, 60, 1400, 1100) << QPoint(0, 0);
    // A second screen right of the first.
    QTest::newRow("second screen") << QRect(1280, 0, 1024, 768) << QRect(1200, 600, 400, 300)
                                   << QPoint(1280, 768 - 304);
}

void TestOnScreen::keptInsideTheRoom() {
    QFETCH(QRect, room);
    QFETCH(QRect, window);
    QFETCH(QPoint, frameAt);
    QWidget w;
    w.setFixedSize(window.size());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setGeometry(window);
    QTRY_COMPARE(w.geometry(), window);
    QCOMPARE(w.frameGeometry(), window.marginsAdded(QMargins(2, 2, 2, 2)));

    KeepInside(&w, room);
    QTRY_COMPARE(w.frameGeometry().topLeft(), frameAt);
    QCOMPARE(w.size(), window.size());
    if (w.frameGeometry().width() <= room.width() && w.frameGeometry().height() <= room.height())
        QVERIFY(room.contains(w.frameGeometry()));
}

// Hidden while the editor is open and shown again by the editor's close
// box, the start window is where it was, at a place the program asks for
// (a window manager chooses a new place for a window shown at a place of
// its own choosing); and one left partly off the screen comes back on it.
void TestOnScreen::startWindowComesBackWhereItWas() {
    GuiRig r;
    QVERIFY(r.top->Form_Initialize());
    r.top->show();
    QVERIFY(QTest::qWaitForWindowExposed(r.top.get()));
    const QRect room = r.top->screen()->availableGeometry();
    MainWind& m = r.editor();
    // Inside, and hanging over the bottom-right corner.
    for (const QPoint wanted : {QPoint(10, 20), room.bottomRight() - QPoint(100, 100)}) {
        // Dragged there by the user.
        r.top->windowHandle()->setFramePosition(wanted);
        QTRY_COMPARE(r.top->pos(), wanted);
        const bool inside = room.contains(r.top->frameGeometry());
        r.top->hide();
        m.show();
        m.close();
        QVERIFY(r.top->isVisible());
        if (inside)
            QCOMPARE(r.top->pos(), wanted);
        else
            QCOMPARE(r.top->frameGeometry().bottomRight(), room.bottomRight());
        QVERIFY(r.top->testAttribute(Qt::WA_Moved));
    }
}

// A box over a window at the screen's corner opens wholly on the screen.
void TestOnScreen::messageBoxOnTheScreen() {
    QWidget parent;
    parent.resize(300, 200);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    const QRect room = parent.screen()->availableGeometry();
    parent.move(room.bottomRight() - QPoint(150, 100));
    QTRY_COMPARE(parent.pos(), room.bottomRight() - QPoint(150, 100));
    QRect frame;
    QTimer::singleShot(0, &parent, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        frame = box->frameGeometry();
        box->close();
    });
    ShowMessage(&parent, {QStringLiteral("A question long enough to make the box wide"),
                          QStringLiteral("Title"), MsgButtons::YesNoCancel, MsgIcon::Question, MsgResult::Yes});
    QVERIFY(frame.isValid());
    QVERIFY(room.contains(frame));
}

QTEST_MAIN(TestOnScreen)
#include "tst_onscreen.moc"
