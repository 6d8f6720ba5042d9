#include "ModalRig.h"
#include "data/ParamData.h"
#include "editor/EditorDialogs.h"
#include "editor/PopupPlace.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

namespace {

using Act = std::function<void(EQCopyWind&)>;

// The dialogs over records whose current one (2) differs from record 0 in
// every name, so that names read from the wrong record show.
struct Fixture {
    ImageWind images;
    ParamData data;
    EditorDialogs dialogs{images, data};
    // What the last copy dialog showed: per position caption, name, whether
    // checked, whether its option and its name are enabled.
    QStringList captions, names;
    QList<bool> checked, enabled, nameEnabled;

    Fixture() {
        data.CurBank = 2;
        for (int c = 0; c < 12; ++c)
            data.BankData[2].InNameStr[c] = QStringLiteral("In %1").arg(c);
        for (int o = 0; o < 7; ++o)
            data.BankData[2].OutNameStr[o] = QStringLiteral("Out %1").arg(o);
    }

    // Shows a copy dialog through EQCopyWindShow, notes what it shows, runs
    // act; returns the position given back, or -2 when another dialog came up.
    int Copy(int mode, const Act& act) {
        EQCopyWind& w = mode ? static_cast<EQCopyWind&>(*dialogs.eqCopyWind2) : *dialogs.eqCopyWind1;
        int got = -2;
        bool right = false;
        auto script = [&] {
            QWidget* up = QApplication::activeModalWidget();
            right = up == &w;
            if (!right) {
                up->close();
                return;
            }
            captions.clear(), names.clear(), checked.clear(), enabled.clear(), nameEnabled.clear();
            for (int i = 0; i < w.Option1.size(); ++i) {
                captions << w.ChannelName[i]->text();
                names << w.MonoName[i]->text();
                checked << w.Option1[i]->isChecked();
                enabled << w.Option1[i]->isEnabled();
                nameEnabled << w.MonoName[i]->isEnabled();
            }
            act(w);
        };
        Modal(w, script, [&] { got = dialogs.EQCopyWindShow(mode); });
        return right ? got : -2;
    }
};

QList<bool> AllBut(int n, int off) {
    QList<bool> l(n, true);
    l[off] = false;
    return l;
}

// Clicks the options in turn, then O K.
Act Pick(std::initializer_list<int> options) {
    return [options](EQCopyWind& w) {
        for (int i : options)
            QTest::mouseClick(w.Option1[i], Qt::LeftButton);
        QTest::mouseClick(w.OKButton, Qt::LeftButton);
    };
}

} // namespace

class TestPickDialogs : public QObject {
    Q_OBJECT
private slots:
    void copyCaptionsAndSource();
    void copyShowStartsAfresh();
    void listCloseActsAsOK();
    void popupBesideItsOpener();
};

void TestPickDialogs::copyCaptionsAndSource() {
    Fixture f;
    // From input 3: the mono inputs with their names, the source not to be chosen.
    f.dialogs.eqCopyWind1->SourceCh = 3;
    QCOMPARE(f.Copy(0, Pick({3, 5})), 5);
    QVERIFY(!f.dialogs.eqCopyWind2.made());
    QCOMPARE(f.captions, (QStringList{"MONO 1", "MONO 2", "MONO 3", "MONO 4", "MONO 5", "MONO 6"}));
    QCOMPARE(f.names, (QStringList{"In 0", "In 1", "In 2", "In 3", "In 4", "In 5"}));
    QCOMPARE(f.enabled, AllBut(6, 3));
    QCOMPARE(f.nameEnabled, AllBut(6, 3));

    // Output blocks: the A and B blocks of a pair carry their channel's name.
    f.dialogs.eqCopyWind1->CopyMode = 1;
    QCOMPARE(f.Copy(0, Pick({})), -1); // O K without a choice, whatever the last copy was
    QCOMPARE(f.captions, (QStringList{"OUT 1A", "OUT 1B", "OUT 2A", "OUT 2B", "OUT 3", "OUT 4"}));
    QCOMPARE(f.names, (QStringList{"Out 0", "Out 0", "Out 1", "Out 1", "Out 2", "Out 3"}));

    EQCopyWind2& w2 = *f.dialogs.eqCopyWind2;
    w2.CopyMode = 7; // any non-zero mode is the output side
    QCOMPARE(f.Copy(1, Pick({3})), 3);
    QCOMPARE(f.captions, (QStringList{"OUT 1", "OUT 2", "OUT 3", "OUT 4"}));
    QCOMPARE(f.names, (QStringList{"Out 0", "Out 1", "Out 2", "Out 3"}));
    w2.CopyMode = 0;
    f.Copy(1, Pick({}));
    QCOMPARE(f.captions, (QStringList{"STEREO 1", "STEREO 2", "STEREO 3", "STEREO 4"}));
    QCOMPARE(f.names, (QStringList{"In 6", "In 7", "In 8", "In 9"}));
}

void TestPickDialogs::copyShowStartsAfresh() {
    Fixture f;
    EQCopyWind2& w = *f.dialogs.eqCopyWind2;
    QCOMPARE(f.Copy(1, Pick({2})), 2);

    // Again from another source, after a rename while hidden: nothing
    // chosen, the old source free again, the new name shown; CANCEL after a
    // choice gives -1.
    w.SourceCh = 2;
    f.data.BankData[2].InNameStr[6] = QStringLiteral("Renamed");
    QCOMPARE(f.Copy(1,
                    [](EQCopyWind& d) {
                        QTest::mouseClick(d.Option1[1], Qt::LeftButton);
                        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
                    }),
             -1);
    QCOMPARE(f.checked, QList<bool>(4, false));
    QCOMPARE(f.enabled, AllBut(4, 2));
    QCOMPARE(f.nameEnabled, AllBut(4, 2));
    QCOMPARE(f.names.first(), QStringLiteral("Renamed"));

    // The close box and Esc cancel as well.
    for (const Act& close : {Act([](EQCopyWind& d) { d.close(); }),
                             Act([](EQCopyWind& d) { QTest::keyClick(&d, Qt::Key_Escape); })}) {
        w.ReturnCh = 3;
        QCOMPARE(f.Copy(1,
                        [&](EQCopyWind& d) {
                            QTest::mouseClick(d.Option1[3], Qt::LeftButton);
                            close(d);
                        }),
                 -1);
        QVERIFY(!w.isVisible());
    }
}

void TestPickDialogs::listCloseActsAsOK() {
    Fixture f;
    QLabel caption(QStringLiteral("0 dB"));
    caption.show();
    ListWind& w = *f.dialogs.listWind;
    const QStringList gains{"-12", "-6", "0", "6", "12"};
    int shownAt = -2, picked = -2;
    auto pick = [&](const QStringList& values, int current) {
        return [&, values, current] {
            picked = w.Pick(QStringLiteral("Select"), {}, values, current, &caption);
        };
    };
    Modal(
        w,
        [&] {
            shownAt = w.SelList->currentIndex();
            QTest::keyClick(w.SelList, Qt::Key_Down);
            QTest::keyClick(w.SelList, Qt::Key_Down);
            QTest::mouseClick(w.OKButton, Qt::LeftButton);
        },
        pick(gains, 1));
    QCOMPARE(shownAt, 1);
    QCOMPARE(picked, 3);

    // Closed at once through the close box or Esc: the new current value,
    // not the last pick, as O K gives it.
    for (const auto& close : {std::function<void()>([&] { w.close(); }),
                              std::function<void()>([&] { QTest::keyClick(&w, Qt::Key_Escape); })}) {
        QCOMPARE(Modal(w, close, pick({"0.5", "1.0", "2.0"}, 0)), int(QDialog::Accepted));
        QCOMPARE(picked, 0);
        QVERIFY(!w.isVisible());
    }

    // A value past the list (a damaged record) shows and returns the last.
    Modal(
        w, [&] { w.close(); }, pick(gains, 31));
    QCOMPARE(picked, 4);
}

void TestPickDialogs::popupBesideItsOpener() {
    Fixture f;
    QWidget window;
    window.setGeometry(40, 60, 300, 200);
    auto* gain = new QPushButton(QStringLiteral("GAIN"), &window);
    gain->setGeometry(30, 50, 70, 24);
    auto* level = new PicButton(f.images, QStringLiteral("LEVEL"), &window);
    level->setGeometry(120, 50, 70, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QColor open = QColor::fromRgb(VbColor(popup::OpenColor));
    const QColor face = gain->palette().color(QPalette::Button);
    ListWind& w = *f.dialogs.listWind;
    w.SelList->addItem(QStringLiteral("x"));

    QPoint at;
    QRect frame;
    QColor gainWhileOpen, levelTint;
    auto look = [&] {
        at = w.pos();
        frame = w.frameGeometry();
        gainWhileOpen = gain->palette().color(QPalette::Button);
        levelTint = level->tint();
        w.close();
    };
    Modal(w, look, [&] { popup::ExecBeside(w, gain); });
    QCOMPARE(at, gain->mapToGlobal(QPoint(gain->width() + popup::Gap, 0)));
    QCOMPARE(gainWhileOpen, open);
    // Its own face again, still following the window's palette.
    QVERIFY(!gain->testAttribute(Qt::WA_SetPalette));
    QVERIFY(!gain->autoFillBackground());

    Modal(w, look, [&] { popup::ExecBeside(w, level); });
    QCOMPARE(levelTint, open);
    QVERIFY(!level->tint().isValid());

    // Opened from a caption: no mark.
    Modal(w, look, [&] { popup::ExecBeside(w, gain, false); });
    QCOMPARE(gainWhileOpen, face);

    // An opener at the screen's right edge keeps its pop-up on the screen,
    // frame and all.
    const QRect room = window.screen()->availableGeometry();
    window.move(room.right() - window.width(), room.top() + 10);
    QTRY_VERIFY(level->mapToGlobal(QPoint(level->width() + popup::Gap, 0)).x() + w.width() > room.right());
    Modal(w, look, [&] { popup::ExecBeside(w, level); });
    QVERIFY(room.contains(frame));
    QCOMPARE(at.y(), level->mapToGlobal(QPoint()).y());
}

QTEST_MAIN(TestPickDialogs)
#include "tst_pickdialogs.moc"
