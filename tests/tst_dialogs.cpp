#include "GuiRig.h"
#include "ModalRig.h"
#include "startwin/AllBankWind.h"
#include "startwin/BankReadWind.h"
#include "startwin/InputWind.h"
#include "startwin/PasswordWind.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

// A started start window, with the emulator as the USB bridge, unplugged
// until connect().
struct Fixture : GuiRig {
    bool started = top->Form_Initialize();

    // The start window on its page with the probe allowed, and one scan
    // step: the emulator answers at once (unpaced).
    bool connect() {
        plugIn();
        top->ConnectTimer.stop(); // no keep-alives between the test's messages
        app->link.SerialObj->AllPortCheck();
        return app->link.OnLine;
    }

    // The transfers' TimerWaits end at once: what matters here is that
    // events run inside them, not how long they last.
    void fastWaits() {
        app->waits.pumpEvents = [this] {
            QCoreApplication::processEvents();
            app->waits.Tick();
        };
    }

    UnitState& unit() { return usb.unit().model().state(); }
};

// Typing, one key per character, whatever the script.
void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void passwordDialogs();
    void bankReadOfflineThenOnline();
    void allBankCancels();
    void inputHeldToByteLimit();
    void inputDialogAsStartUpMadeIt();
    void nameFont();
};

void TestDialogs::passwordDialogs() {
    Fixture f;
    QVERIFY(f.started);
    password pw(*f.app);
    pw.passtext->setText(QStringLiteral("left over"));
    bool clearedOnShow = false, stayedOnEmpty = false;
    int result = Modal(pw, [&] {
        clearedOnShow = pw.passtext->text().isEmpty() && pw.focusWidget() == pw.passtext;
        QTest::mouseClick(pw.OKButton, Qt::LeftButton);
        stayedOnEmpty = pw.isVisible() && pw.focusWidget() == pw.passtext;
        QTest::keyClicks(pw.passtext, QStringLiteral("Secret123")); // the unit keeps 8
        QTest::mouseClick(pw.OKButton, Qt::LeftButton);
    });
    QVERIFY(clearedOnShow && stayedOnEmpty);
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(pw.Tag, QStringLiteral("0"));
    QCOMPARE(pw.passtext->text(), QStringLiteral("Secret12"));
    // Close, the title bar's close box and Esc all refuse.
    for (auto close : std::initializer_list<std::function<void()>>{
             [&] { QTest::mouseClick(pw.CloseButton, Qt::LeftButton); }, [&] { pw.close(); },
             [&] { QTest::keyClick(&pw, Qt::Key_Escape); }}) {
        pw.Tag = QStringLiteral("0");
        QCOMPARE(Modal(pw, close), int(QDialog::Rejected));
        QCOMPARE(pw.Tag, QStringLiteral("1"));
    }

    // Registration needs two equal entries, not empty, case and all; a
    // mismatch empties both.
    passwordEntry pe(*f.app);
    QList<bool> afresh;
    result = Modal(pe, [&] {
        for (const char* second : {"aBc", ""}) {
            QTest::keyClicks(pe.passtext[0], QString::fromLatin1(second).toLower());
            QTest::keyClicks(pe.passtext[1], QString::fromLatin1(second));
            QTest::mouseClick(pe.OKButton, Qt::LeftButton);
            afresh << (pe.isVisible() && pe.passtext[0]->text().isEmpty() && pe.passtext[1]->text().isEmpty() &&
                       pe.focusWidget() == pe.passtext[0]);
        }
        QTest::keyClicks(pe.passtext[0], QStringLiteral("abc"));
        QTest::keyClicks(pe.passtext[1], QStringLiteral("abc"));
        QTest::mouseClick(pe.OKButton, Qt::LeftButton);
    });
    QCOMPARE(afresh, QList<bool>({true, true}));
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(pe.Tag, QStringLiteral("0"));
    QCOMPARE(pe.passtext[0]->text(), QStringLiteral("abc"));
}

// The progress dialogs run on their real one-second Timer1: that delay is
// what lets the panel be painted before the link work begins.

void TestDialogs::bankReadOfflineThenOnline() {
    Fixture f;
    QVERIFY(f.started);
    // Port open and the start page's probe gate with it: offline, the read
    // must still send nothing.
    QVERIFY(f.connect());
    f.app->link.OnLine = false;
    f.usb.unit().clearLogs();
    f.unit().rec[0].In[3].Fader = 77;
    f.unit().setNameField(1, 1, "Hall A");
    f.app->data.VenueName = QStringLiteral("Old");

    BankReadWind w(*f.app);
    QStringList calls;
    QString titleWhileUp;
    Qt::Alignment alignWhileUp;
    w.dispAllParam = [&] {
        calls << QStringLiteral("disp");
        titleWhileUp = w.windowTitle();
        alignWhileUp = w.StartMessege[4]->alignment();
    };
    w.afterRead = [&] { calls << QStringLiteral("name"); };
    QElapsedTimer took;
    took.start();
    QCOMPARE(Modal(w, {}, [&] { w.ShowBankReadWind(0); }), int(QDialog::Accepted)); // ends by itself
    QVERIFY(took.elapsed() >= 900);
    QCOMPARE(calls, (QStringList{QStringLiteral("disp"), QStringLiteral("name")}));
    QCOMPARE(titleWhileUp, QStringLiteral("Offline"));
    QVERIFY(alignWhileUp & Qt::AlignHCenter);
    QCOMPARE(w.StartMessege[3]->text(), QString());
    QVERIFY(f.usb.unit().rawFrames().isEmpty());
    QVERIFY(f.app->data.BankData[0].In[3].Fader != 77);

    // Online, mode 1 reads the record but not the names, and shows no
    // picture; mode 0 reads the names too.
    f.app->link.OnLine = true;
    Modal(w, {}, [&] { w.ShowBankReadWind(1); });
    QCOMPARE(titleWhileUp, QStringLiteral("Transferring now"));
    QVERIFY(alignWhileUp & Qt::AlignLeft);
    QVERIFY(!w.HasPicture());
    QCOMPARE(f.app->data.BankData[0].In[3].Fader, 77);
    QCOMPARE(f.app->data.VenueName, QStringLiteral("Old"));
    Modal(w, {}, [&] { w.ShowBankReadWind(0); });
    QVERIFY(w.HasPicture());
    QCOMPARE(f.app->data.VenueName, QStringLiteral("Hall A"));
    QCOMPARE(calls.size(), 6);
}

void TestDialogs::allBankCancels() {
    Fixture f;
    QVERIFY(f.started);
    QVERIFY(f.connect());
    f.usb.unit().clearLogs();
    AllBankWind w(*f.app);
    QObject::connect(f.top.get(), &TopWind::bankProgress, &w, &AllBankWind::SetProgress);
    // CANCEL before the transfer began closes at once, although no transfer
    // has run yet to set AllBankDone.
    QVERIFY(!f.app->link.AllBankDone);
    QCOMPARE(Modal(w, [&] { w.CancelButton->click(); }), int(QDialog::Accepted));
    QCOMPARE(w.BankResult, 0);
    QVERIFY(f.usb.unit().rawFrames().isEmpty());

    f.fastWaits();
    int boxes = 0;
    SetMessageHandler([&](const MsgBox&) {
        ++boxes;
        return MsgResult::Cancel;
    });
    for (int m = 1; m <= 16; ++m)
        f.app->data.BankData[m].In[0].Fader = uint8_t(40 + m);
    const UnitState before = f.unit();
    // CANCEL while memory 3's data is on its way: from memory 3 on, each
    // reply takes 60 ms, so the rest of its 31 messages outlasts a tick of
    // Timer1, which then comes while the transfer still runs.
    bool armed = false, cancelled = false, secondClickIgnored = false, doneWhenClosed = false;
    int windDownTicks = 0;
    QObject::connect(f.top.get(), &TopWind::bankProgress, &w, [&](int m) {
        if (m != 2 || armed) return;
        armed = true;
        f.usb.unit().setReplyDelay(60);
        QTimer::singleShot(250, &w, [&] {
            QTest::mouseClick(w.CancelButton, Qt::LeftButton);
            cancelled = true;
            QTest::mouseClick(w.CancelButton, Qt::LeftButton);
            secondClickIgnored = !w.CancelButton->isEnabled();
        });
    });
    QObject::connect(&w.Timer1, &QTimer::timeout, &w,
                     [&] { windDownTicks += cancelled && !f.app->link.AllBankDone; });
    QObject::connect(&w, &QDialog::finished, &w, [&] { doneWhenClosed = f.app->link.AllBankDone; });
    w.TransDir = 0;
    QCOMPARE(Modal(w, {}), int(QDialog::Accepted));
    QVERIFY(secondClickIgnored);
    // The ticks during the wind-down left the dialog up; one after the
    // transfer's end closed it.
    QVERIFY(windDownTicks > 0);
    QVERIFY(doneWhenClosed);
    QCOMPARE(w.BankResult, 0);
    QCOMPARE(w.BankProgress->value(), 2);
    QCOMPARE(f.unit().rec[2].In[0].Fader, 42);
    QVERIFY(f.unit().rec[3] == before.rec[3]);

    // Shown again the other way, the same dialog runs to its end.
    f.usb.unit().clearFaults();
    f.unit().rec[16].In[5].Fader = 76;
    w.TransDir = 1;
    QString direction;
    QCOMPARE(Modal(w, [&] { direction = w.StartMessege[1]->text(); }), int(QDialog::Accepted));
    QCOMPARE(direction, QStringLiteral("from QDR318 to PC."));
    QCOMPARE(w.BankResult, -1);
    QCOMPARE(w.BankProgress->value(), 16);
    QCOMPARE(f.app->data.BankData[16].In[5].Fader, 76);
    QCOMPARE(boxes, 0);

    // The unit falls silent part-way through a read from the editor (the
    // start window hidden): the rest goes by without traffic, and the read
    // does not count as one that ran to its end.
    f.top->hide();
    f.usb.unit().silentAfter(40);
    QCOMPARE(Modal(w, {}), int(QDialog::Accepted));
    QVERIFY(!f.app->link.OnLine);
    QCOMPARE(boxes, 1);
    QCOMPARE(w.BankResult, 0);
}

void TestDialogs::inputHeldToByteLimit() {
    Fixture f;
    QVERIFY(f.started);
    InputWind w(*f.app);
    bool topShown = true;
    w.startWindowVisible = [&] { return topShown; };
    QStringList seen;
    int caret = -1;
    QString got;
    auto show = [&](const QString& text, int maxBytes) {
        return [&, text, maxBytes] {
            got = w.InputWindShow(QStringLiteral("Channel name"), QStringLiteral("Enter Channel Name."), text,
                                  maxBytes);
        };
    };
    Modal(
        w,
        [&] {
            seen << w.Text1->text() << w.Text1->selectedText();
            Type(w.Text1, QStringLiteral("ABCDEFGHIJK")); // replaces the selected default; K does not fit
            seen << w.Text1->text();
            // Typing into a full entry pushes its last byte out; the caret
            // stays after what was typed.
            w.Text1->setCursorPosition(2);
            Type(w.Text1, QStringLiteral("x"));
            caret = w.Text1->cursorPosition();
            QTest::keyClick(w.Text1, Qt::Key_Return);
        },
        show(QStringLiteral("Microphone 1"), 10));
    QCOMPARE(seen, (QStringList{QStringLiteral("Microphone"), QStringLiteral("Microphone"),
                                QStringLiteral("ABCDEFGHIJ")}));
    QCOMPARE(caret, 3);
    QCOMPARE(got, QStringLiteral("ABxCDEFGHI"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Channel name"));
    QCOMPARE(w.Label1->text(), QStringLiteral("Enter Channel Name."));
    QVERIFY(w.HasPicture());

    // The same text again with a smaller limit is cut although the box's
    // text does not change on its way in. Double-byte characters count two,
    // and one that would not fit whole becomes a blank.
    topShown = false;
    f.app->codePage = CodePage(CodePage::Japanese);
    seen.clear();
    Modal(
        w,
        [&] {
            seen << w.Text1->text();
            w.Text1->clear();
            Type(w.Text1, QStringLiteral("1234あ"));
            w.close(); // the title bar: the caller still gets the box's text
        },
        show(got, 5));
    QCOMPARE(seen, QStringList{QStringLiteral("ABxCD")});
    QCOMPARE(got, QStringLiteral("1234 "));
    QVERIFY(!w.HasPicture());
}

// Start-up gives the dialog its metal face and the O K button its bar; the
// button ends the dialog.
void TestDialogs::inputDialogAsStartUpMadeIt() {
    Fixture f;
    QVERIFY(f.started);
    InputWind& w = *f.top->InputWindObj;
    QVERIFY(w.HasPicture());
    QCOMPARE(w.Command1->picture(), ImageWind::Pic::BigBar);
    QCOMPARE(w.Command1->text(), QStringLiteral("O K"));
    QString got;
    const int result = Modal(
        w,
        [&] {
            Type(w.Text1, QStringLiteral("Hall"));
            w.Command1->click();
        },
        [&] { got = w.InputWindShow(QStringLiteral("Venue name"), QStringLiteral("Enter Venue Name."), {}, 20); });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(got, QStringLiteral("Hall"));
}

void TestDialogs::nameFont() {
    QVERIFY(JapanFontFamily(CodePage(CodePage::Western)).isEmpty());
    const QString western = EnglishFontFamily();
    const QFontMetrics latin{QFont(western)};
    QCOMPARE(latin.horizontalAdvance(QLatin1Char('i')), latin.horizontalAdvance(QLatin1Char('W')));
    const QString japanese = JapanFontFamily(CodePage(CodePage::Japanese));
    if (QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
        QVERIFY(QFontMetrics(QFont(japanese)).inFont(QChar(0x65E5))); // 日
    else
        QVERIFY(japanese.isEmpty());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
