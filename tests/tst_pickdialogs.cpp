#include "ModalRig.h"
#include "data/ParamData.h"
#include "editor/EditorDialogs.h"
#include "editor/PopupPlace.h"
#include "startwin/ImageWind.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

namespace {

// The dialogs over records whose current one (2) differs from record 0 in
// every name, so that names read from the wrong record show.
struct Fixture {
    ImageWind images;
    ParamData data;
    EditorDialogs dialogs{images, data};

    Fixture() {
        data.CurBank = 2;
        for (int c = 0; c < 12; ++c) {
            data.BankData[0].InNameStr[c] = QStringLiteral("old in %1").arg(c);
            data.BankData[2].InNameStr[c] = QStringLiteral("In %1").arg(c);
        }
        for (int o = 0; o < 7; ++o) {
            data.BankData[0].OutNameStr[o] = QStringLiteral("old out %1").arg(o);
            data.BankData[2].OutNameStr[o] = QStringLiteral("Out %1").arg(o);
        }
    }
};

// What a copy dialog showed, read while it was up.
struct Shown {
    QStringList captions, names;
    QList<bool> checked, enabled, nameEnabled;

    explicit Shown(const EQCopyWind& w) {
        for (int i = 0; i < w.Option1.size(); ++i) {
            captions << w.ChannelName[i]->text();
            names << w.MonoName[i]->text();
            checked << w.Option1[i]->isChecked();
            enabled << w.Option1[i]->isEnabled();
            nameEnabled << w.MonoName[i]->isEnabled();
        }
    }
    Shown() = default;
};

QList<bool> AllBut(int n, int off) {
    QList<bool> l(n, true);
    l[off] = false;
    return l;
}

// Shows the copy dialog of mode through EQCopyWindShow, records what it
// showed, then runs act; returns the position it gave back.
int CopyShow(Fixture& f, int mode, Shown& seen, const std::function<void(EQCopyWind&)>& act) {
    EQCopyWind& w = mode ? static_cast<EQCopyWind&>(*f.dialogs.eqCopyWind2) : *f.dialogs.eqCopyWind1;
    int got = -2;
    Modal(
        w,
        [&] {
            seen = Shown(w);
            act(w);
        },
        [&] { got = f.dialogs.EQCopyWindShow(mode); });
    return got;
}

void Choose(EQCopyWind& w, int i) {
    QTest::mouseClick(w.Option1[i], Qt::LeftButton);
}

} // namespace

class TestPickDialogs : public QObject {
    Q_OBJECT
private slots:
    void copyFromMonoInput();
    void copyCaptionsByMode();
    void copyShowStartsAfresh();
    void listCloseActsAsOK();
    void popupBesideItsOpener();
};

void TestPickDialogs::copyFromMonoInput() {
    Fixture f;
    EQCopyWind1& w = *f.dialogs.eqCopyWind1;
    QCOMPARE(w.windowTitle(), QStringLiteral("EQ COPY"));
    QCOMPARE(w.ReturnCh, -1);
    w.SourceCh = 3;
    w.CopyMode = 0;
    Shown seen;
    // O K with nothing chosen copies nothing.
    QCOMPARE(CopyShow(f, 0, seen, [](EQCopyWind& d) { QTest::mouseClick(d.OKButton, Qt::LeftButton); }), -1);
    QVERIFY(!f.dialogs.eqCopyWind2.made());
    QCOMPARE(seen.captions, (QStringList{"MONO 1", "MONO 2", "MONO 3", "MONO 4", "MONO 5", "MONO 6"}));
    QCOMPARE(seen.names, (QStringList{"In 0", "In 1", "In 2", "In 3", "In 4", "In 5"}));
    QCOMPARE(seen.enabled, AllBut(6, 3));
    QCOMPARE(seen.nameEnabled, AllBut(6, 3));
    QCOMPARE(seen.checked, QList<bool>(6, false));
    QCOMPARE(w.Message->text(), QStringLiteral("Select the destination."));
    // The source cannot be chosen; another position can.
    QCOMPARE(CopyShow(f, 0, seen,
                      [](EQCopyWind& d) {
                          Choose(d, 3);
                          Choose(d, 5);
                          QTest::mouseClick(d.OKButton, Qt::LeftButton);
                      }),
             5);
    QCOMPARE(w.GetReturn(), 5);
}

void TestPickDialogs::copyCaptionsByMode() {
    Fixture f;
    Shown seen;
    auto ok = [](EQCopyWind& d) { QTest::mouseClick(d.OKButton, Qt::LeftButton); };

    // Output blocks: the A and B blocks of a pair carry their channel's name.
    f.dialogs.eqCopyWind1->CopyMode = 1;
    f.dialogs.eqCopyWind1->SourceCh = 0;
    CopyShow(f, 0, seen, ok);
    QCOMPARE(seen.captions, (QStringList{"OUT 1A", "OUT 1B", "OUT 2A", "OUT 2B", "OUT 3", "OUT 4"}));
    QCOMPARE(seen.names, (QStringList{"Out 0", "Out 0", "Out 1", "Out 1", "Out 2", "Out 3"}));

    EQCopyWind2& w2 = *f.dialogs.eqCopyWind2;
    QCOMPARE(w2.Option1.size(), 4);
    w2.CopyMode = 7; // any non-zero mode is the output side
    w2.SourceCh = 1;
    QCOMPARE(CopyShow(f, 1, seen,
                      [](EQCopyWind& d) {
                          Choose(d, 3);
                          QTest::mouseClick(d.OKButton, Qt::LeftButton);
                      }),
             3);
    QCOMPARE(seen.captions, (QStringList{"OUT 1", "OUT 2", "OUT 3", "OUT 4"}));
    QCOMPARE(seen.names, (QStringList{"Out 0", "Out 1", "Out 2", "Out 3"}));
    QCOMPARE(seen.enabled, AllBut(4, 1));

    w2.CopyMode = 0;
    CopyShow(f, 1, seen, ok);
    QCOMPARE(seen.captions, (QStringList{"STEREO 1", "STEREO 2", "STEREO 3", "STEREO 4"}));
    QCOMPARE(seen.names, (QStringList{"In 6", "In 7", "In 8", "In 9"}));
}

void TestPickDialogs::copyShowStartsAfresh() {
    Fixture f;
    EQCopyWind2& w = *f.dialogs.eqCopyWind2;
    Shown seen;
    w.SourceCh = 0;
    QCOMPARE(CopyShow(f, 1, seen,
                      [](EQCopyWind& d) {
                          Choose(d, 2);
                          QTest::mouseClick(d.OKButton, Qt::LeftButton);
                      }),
             2);

    // Shown again from another source, after a rename while hidden: nothing
    // chosen, the old source free again, the new name shown. CANCEL after a
    // choice still gives -1.
    w.SourceCh = 2;
    f.data.BankData[2].InNameStr[6] = QStringLiteral("Renamed");
    QCOMPARE(CopyShow(f, 1, seen,
                      [](EQCopyWind& d) {
                          Choose(d, 1);
                          QTest::mouseClick(d.CancelButton, Qt::LeftButton);
                      }),
             -1);
    QCOMPARE(seen.checked, QList<bool>(4, false));
    QCOMPARE(seen.enabled, AllBut(4, 2));
    QCOMPARE(seen.nameEnabled, AllBut(4, 2));
    QCOMPARE(seen.names.first(), QStringLiteral("Renamed"));

    // The close box and Esc cancel as well, whatever was chosen before.
    for (auto close : std::initializer_list<std::function<void(EQCopyWind&)>>{
             [](EQCopyWind& d) { d.close(); }, [](EQCopyWind& d) { QTest::keyClick(&d, Qt::Key_Escape); }}) {
        w.ReturnCh = 3;
        QCOMPARE(CopyShow(f, 1, seen,
                          [&](EQCopyWind& d) {
                              Choose(d, 3);
                              close(d);
                          }),
                 -1);
        QVERIFY(!w.isVisible());
    }
}

void TestPickDialogs::listCloseActsAsOK() {
    Fixture f;
    QWidget opener;
    auto* caption = new QLabel(QStringLiteral("0 dB"), &opener);
    opener.show();
    ListWind& w = *f.dialogs.listWind;
    QCOMPARE(w.windowTitle(), QStringLiteral("SELECT"));
    const QStringList gains{"-12", "-6", "0", "6", "12"};
    QString prompt, unit;
    int shownAt = -2;
    int picked = -2;
    Modal(
        w,
        [&] {
            prompt = w.SelText->text();
            unit = w.Tani->text();
            shownAt = w.SelList->currentIndex();
            QTest::keyClick(w.SelList, Qt::Key_Down);
            QTest::keyClick(w.SelList, Qt::Key_Down);
            QTest::mouseClick(w.OKButton, Qt::LeftButton);
        },
        [&] { picked = w.Pick(QStringLiteral("Select GAIN"), QStringLiteral("dB"), gains, 1, caption); });
    QCOMPARE(prompt, QStringLiteral("Select GAIN"));
    QCOMPARE(unit, QStringLiteral("dB"));
    QCOMPARE(shownAt, 1);
    QCOMPARE(picked, 3);

    // Closed at once through the close box or Esc: the new current value,
    // not the last pick, ends the dialog as O K does.
    for (auto close : std::initializer_list<std::function<void()>>{
             [&] { w.close(); }, [&] { QTest::keyClick(&w, Qt::Key_Escape); }}) {
        const int result = Modal(w, close, [&] {
            picked = w.Pick(QStringLiteral("Select Q"), QString(), {"0.5", "1.0", "2.0"}, 0, caption);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(picked, 0);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.SelList->count(), 3);
    }

    // A value past the list (a damaged record) shows and returns the last.
    Modal(
        w, [&] { w.close(); },
        [&] { picked = w.Pick(QStringLiteral("Select GAIN"), {}, gains, 31, caption); });
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
    QColor gainWhileOpen, levelTint;
    auto look = [&] {
        at = w.pos();
        gainWhileOpen = gain->palette().color(QPalette::Button);
        levelTint = level->tint();
        w.close();
    };
    Modal(w, look, [&] { popup::ExecBeside(w, gain); });
    QCOMPARE(at, gain->mapToGlobal(QPoint(gain->width() + popup::Gap, 0)));
    QCOMPARE(gainWhileOpen, open);
    QCOMPARE(gain->palette().color(QPalette::Button), face);
    QVERIFY(!gain->testAttribute(Qt::WA_SetPalette));
    QVERIFY(!gain->autoFillBackground());

    Modal(w, look, [&] { popup::ExecBeside(w, level); });
    QCOMPARE(at, level->mapToGlobal(QPoint(level->width() + popup::Gap, 0)));
    QCOMPARE(levelTint, open);
    QVERIFY(!level->tint().isValid());

    // Opened from a caption: placed alike, no mark.
    Modal(w, look, [&] { popup::ExecBeside(w, gain, false); });
    QCOMPARE(gainWhileOpen, face);

    // An opener at the screen's right edge keeps its pop-up on the screen.
    const QRect room = window.screen()->availableGeometry();
    window.move(room.right() - window.width(), room.top() + 10);
    QTRY_VERIFY(level->mapToGlobal(QPoint(level->width() + popup::Gap, 0)).x() + w.width() > room.right());
    Modal(w, look, [&] { popup::ExecBeside(w, level); });
    QVERIFY(room.contains(QRect(at, w.size())));
    QCOMPARE(at.y(), level->mapToGlobal(QPoint()).y());
}

QTEST_MAIN(TestPickDialogs)
#include "tst_pickdialogs.moc"
