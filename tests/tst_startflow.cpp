// The start window's roads to work, against the emulator on the USB
// bridge: the password gate, the deferred start of Parameter Edit and File
// Transfer. Message boxes and file dialogs are answered by the test; the
// password dialogs are typed into while they are shown.

#include "GuiRig.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "startwin/AllBankWind.h"
#include "startwin/BankReadWind.h"
#include "startwin/PasswordWind.h"
#include "startwin/Widgets.h"

#include <algorithm>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

struct Online : GuiRig {
    UnitState& unit() { return usb.unit().model().state(); }
    // Started, simple setup available (as after the first start of
    // editing), and found on USB.
    bool connect() {
        if (!top->Form_Initialize())
            return false;
        plugIn();
        return reconnect();
    }
    bool reconnect() {
        for (int tick = 0; tick < 20 && !app->link.OnLine; ++tick)
            top->ConnectTimer_Timer();
        return app->link.OnLine;
    }
    // The request bodies the unit heard since its logs were last cleared.
    QList<QByteArray> heard() {
        QList<QByteArray> out;
        for (const QByteArray& f : usb.unit().rawFrames())
            out.append(f.mid(3, f.size() - 4));
        return out;
    }
    QStringList titlesAsked() {
        QStringList out;
        for (const MsgBox& b : asked)
            out.append(b.title);
        return out;
    }
    // A venue file whose memory m has its first fader at base + m and is
    // named scene m.
    QString writeVenue(const QString& name, int base, const QString& scene) {
        ParamData file;
        for (int m = 0; m < ParamData::RecordCount; ++m) {
            file.InitMemoryData(m);
            file.BankData[m].In[0].Fader = uint8_t(base + m);
            // A refresh stands an unlinked fader at the knob level held with
            // the current record: memory 1's, recalled after a transfer.
            file.MemLevel[m].In[0] = uint8_t(base + 1);
            file.BankData[m].MemNameStr = QStringLiteral("%1 %2").arg(scene).arg(m);
        }
        const QString path = venuePath(name);
        return SaveVenueFile(file, CodePage(CodePage::Western), path) ? path : QString();
    }
};

// Types the entries into the password dialog, one per showing; the entry
// "<close>" closes it instead.
void TypePasswords(password& dlg, QStringList entries) {
    auto* poll = new QTimer(&dlg);
    QObject::connect(poll, &QTimer::timeout, &dlg, [&dlg, entries, poll]() mutable {
        if (!dlg.isVisible())
            return;
        const QString next = entries.takeFirst();
        if (next == QStringLiteral("<close>")) {
            dlg.CloseButton->click();
        } else {
            dlg.passtext->setText(next);
            dlg.OKButton->click();
        }
        if (entries.isEmpty())
            poll->deleteLater();
    });
    poll->start(5);
}

// Runs f each time w is shown.
class OnShow : public QObject {
public:
    OnShow(QWidget* w, std::function<void()> f) : f_(std::move(f)) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show)
            f_();
        return false;
    }

private:
    std::function<void()> f_;
};

} // namespace

class TestStartFlow : public QObject {
    Q_OBJECT
private slots:
    void passwordGate();
    void registrationThenFileTransfer();
    void offlineAndFileRefusals();
    void offlineParameterEdit();
    void transferBrokenOff();
    void readBackBrokenOff();
};

void TestStartFlow::passwordGate() {
    Online o;
    o.unit().setPassword("Secret");
    QVERIFY(o.connect());
    // A wrong entry (the case counts), then Close: refused, nothing locked.
    TypePasswords(*o.top->passwordWind, {"secret", "<close>"});
    o.top->SyousaiBtn_Click();
    QVERIFY(o.top->SyousaiBtn->isEnabled());
    QCOMPARE(o.top->PendingStart, -1);
    // The dialog comes back until the entry is right.
    TypePasswords(*o.top->passwordWind, {"SECRET", "", "Secret"});
    QVERIFY(o.top->PasswordProc(0));
    QCOMPARE(o.app->link.PasswordStr, QStringLiteral("Secret"));

    // One click, one action: the buttons lock and the poll runs it.
    TypePasswords(*o.top->passwordWind, {"Secret"});
    o.top->SyousaiBtn_Click();
    QVERIFY(!o.top->SyousaiBtn->isEnabled());
    QCOMPARE(o.top->PendingStart, 1);
    const int heardBefore = static_cast<int>(o.usb.unit().model().requests().size());
    o.top->PollSkip = 0;
    o.top->ConnectTimer_Timer(); // the keep-alive, then the start action
    QCOMPARE(o.top->PendingStart, -1);
    QVERIFY(o.top->SyousaiBtn->isEnabled());
    const QList<QByteArray> heard = o.usb.unit().model().requests().mid(heardBefore);
    QCOMPARE(heard.mid(0, 3), (QList<QByteArray>{QByteArray("NO\x00", 3), QByteArray("NO\x02", 3),
                                                 QByteArray("NO\x03", 3)}));
    // No second password question on the deferred run: the read-back follows.
    QVERIFY(heard.value(3).startsWith("DL"));
}

void TestStartFlow::registrationThenFileTransfer() {
    Online o;
    QVERIFY(o.connect());
    o.chosenFile = o.writeVenue(QStringLiteral("Hall 2.vnf"), 20, QStringLiteral("Scene"));
    QVERIFY(!o.chosenFile.isEmpty());
    // No password in the unit, and the registration closed: refused.
    passwordEntry& reg = *o.top->passwordEntryWind;
    QTimer::singleShot(50, &reg, [&reg] { reg.CloseButton->click(); });
    o.top->FileTransBtn_Click();
    QVERIFY(o.dialogs.isEmpty());
    QVERIFY(o.unit().password().isEmpty());

    // A registered password reaches the unit.
    QTimer::singleShot(50, &reg, [&reg] {
        reg.passtext[0]->setText(QStringLiteral("new1"));
        reg.passtext[1]->setText(QStringLiteral("new1"));
        reg.OKButton->click();
    });
    QVERIFY(o.top->PasswordProc(1));
    QCOMPARE(o.unit().password(), QByteArray("new1"));

    TypePasswords(*o.top->passwordWind, {"new1"});
    o.top->FileTransBtn_Click();
    QCOMPARE(o.dialogs.size(), 1);
    QCOMPARE(o.dialogs[0].folder, o.dir.path() + QStringLiteral("/param/"));
    QCOMPARE(o.top->allBankWind->BankResult, -1);
    QCOMPARE(o.unit().rec[16].In[0].Fader, 36);
    QCOMPARE(o.unit().nameField(2, 5).left(7), QByteArray("Scene 5"));
    // Memory 1 is recalled and becomes the current record.
    QCOMPARE(o.app->data.MemNo, 1);
    QCOMPARE(o.app->data.BankData[0].In[0].Fader, 21);
    QCOMPARE(o.unit().memNo, 1);
    QCOMPARE(o.app->data.VenueName, QStringLiteral("Hall 2"));
    QCOMPARE(o.top->PollSkip, 5);

    // The unit falls silent while its password is read: refused, and no
    // registration is offered for a password that is unknown, not absent.
    o.usb.unit().silentAfter(0);
    bool offered = false;
    QTimer::singleShot(50, &reg, [&] {
        offered = reg.isVisible();
        reg.CloseButton->click();
    });
    QVERIFY(!o.top->PasswordProc(1));
    QTest::qWait(100);
    QVERIFY(!offered);
    QVERIFY(!o.app->link.OnLine);
}

void TestStartFlow::offlineAndFileRefusals() {
    Online o;
    QVERIFY(o.top->Form_Initialize());
    o.top->show();
    // Offline no password is asked for.
    QVERIFY(o.top->PasswordProc(0));
    QVERIFY(o.top->PasswordProc(1));
    QVERIFY(!o.top->passwordWind->isVisible());
    QVERIFY(o.asked.isEmpty());
    // Parameter Edit offline asks whether to edit offline, and Cancel stops.
    o.otherwise = MsgResult::Cancel;
    o.top->SyousaiBtn_Click();
    QCOMPARE(o.asked.size(), 1);
    QCOMPARE(o.asked[0].text, QStringLiteral("Offline edit?"));
    QCOMPARE(o.asked[0].icon, MsgIcon::Exclamation);
    QVERIFY(o.top->SyousaiBtn->isEnabled());

    const BankRec before = o.app->data.BankData[0];
    // Cancelled: nothing loaded, nothing said.
    QCOMPARE(o.top->FileLoad(0), 0);
    QCOMPARE(o.asked.size(), 1);

    o.chosenFile = o.venuePath(QStringLiteral("notes.txt"));
    QCOMPARE(o.top->FileLoad(0), 0);
    QCOMPARE(o.asked.last().text, QStringLiteral("File type error."));
    QCOMPARE(o.asked.last().icon, MsgIcon::Critical);

    // A cut file: "File error", the records and the venue name untouched.
    o.chosenFile = o.venuePath(QStringLiteral("cut.vnf"));
    QFile f(o.chosenFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(3000, '\x05'));
    f.close();
    QCOMPARE(o.top->FileLoad(0), 0);
    QCOMPARE(o.asked.last().title, QStringLiteral("File error"));
    QVERIFY(o.asked.last().text.contains(QStringLiteral("cut.vnf")));
    QVERIFY(o.app->data.BankData[0] == before);
    QVERIFY(o.app->data.VenueName.isEmpty());
}

void TestStartFlow::offlineParameterEdit() {
    Online o;
    QVERIFY(o.top->Form_Initialize());
    o.top->show();
    o.byTitle.insert(QStringLiteral("Close of Offline Edit"), MsgResult::No);
    ParamData& d = o.app->data;
    BankRec& r = d.BankData[0];
    MainWind& m = *o.top->mainWind;
    const auto start = [&o] {
        o.top->SyousaiBtn_Click();
        o.top->PollSkip = 0;
        o.top->ConnectTimer_Timer();
    };
    // Lamp and meter bytes the PC's copy happens to hold, an edit made
    // before editing starts, and memory buttons left on.
    r.In[0].PeakOn = r.In[7].SignalOn = 1;
    r.Out[4].MeterStep = r.Out[5].OutLamp34 = 1;
    d.In48VFlag[2] = 1;
    r.In[0].RouteMask = 40;
    for (PicButton* b : {m.PatternBtn[1], m.SMemLink[3]}) {
        b->Tag = QStringLiteral("1");
        b->setPicture(ImageWind::Pic::SwOn);
    }

    start();
    QVERIFY(m.isVisible());
    // Offline nothing is lit, whatever the record holds.
    QList<Lamp*> lamps{m.OutSignalPeak[4], m.OutSignalPeak[5], m.OutPeak[4], m.OutPeak[5], m.OutSignal[4],
                       m.OutSignal[5]};
    for (int ch = 0; ch < 10; ++ch)
        lamps << m.SignalPeak[ch] << m.InPeak[ch] << m.InSignal[ch];
    lamps << QList<Lamp*>(m.In48V.begin(), m.In48V.end());
    for (int i = 0; i < lamps.size(); ++i)
        QCOMPARE(std::pair(i, lamps[i]->fillColor()), std::pair(i, LampOff));
    // The buttons left on are off; only the current memory's first button
    // is lit by the refresh.
    const uint8_t* assigned = d.BankData[d.CurBank].PatternMemNo;
    const int lit = static_cast<int>(std::find(assigned, assigned + 4, d.MemNo) - assigned);
    for (int i = 0; i < 4; ++i) {
        for (PicButton* b : {m.PatternBtn[i], m.SMemLink[i]}) {
            QCOMPARE(b->Tag, i == lit ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(b->picture(), i == lit ? ImageWind::Pic::SwOn : ImageWind::Pic::SwOff);
        }
    }
    QVERIFY(m.IntervalTimer.isActive());
    // The first start of editing keeps a copy of the record to go back to;
    // later starts in the same run do not replace it.
    QCOMPARE(d.BankBackup[0].In[0].RouteMask, 40);
    m.Toolbar1_ButtonClick(QStringLiteral("EXIT"));
    QVERIFY(o.top->isVisible());
    r.In[0].RouteMask = 50;
    start();
    QVERIFY(m.isVisible());
    QCOMPARE(d.BankBackup[0].In[0].RouteMask, 40);
}

// The unit falls silent mid-transfer and answers again while "Break" is up,
// as a cable pulled and pushed back in does.
void TestStartFlow::transferBrokenOff() {
    Online o;
    o.unit().setPassword("pw");
    QVERIFY(o.connect());
    SetMessageHandler([&o](const MsgBox& b) {
        o.asked.append(b);
        if (b.title == QStringLiteral("Break"))
            o.usb.unit().clearFaults();
        return MsgResult::Ok;
    });
    // Silent from the fourth message after the names.
    int silencedAt = -1;
    QObject::connect(o.top.get(), &TopWind::bankProgress, o.top.get(), [&o, &silencedAt] {
        if (silencedAt >= 0)
            return;
        silencedAt = static_cast<int>(o.usb.unit().rawFrames().size());
        o.usb.unit().silentAfter(3);
    });

    // File Transfer: the poll keeps off the link while the transfer dialog
    // is up (a keep-alive is due as it comes up), the transfer ends at the
    // message that went unanswered (three tries), memory 1 is recalled, and
    // nothing counts the transfer as done.
    int shownAt = -1;
    OnShow shown(o.top->allBankWind.get(), [&o, &shownAt] {
        shownAt = static_cast<int>(o.usb.unit().rawFrames().size());
        o.top->PollSkip = 0;
    });
    o.chosenFile = o.writeVenue(QStringLiteral("Hall 3.vnf"), 20, QStringLiteral("Scene"));
    o.usb.unit().clearLogs();
    TypePasswords(*o.top->passwordWind, {"pw"});
    o.top->FileTransBtn_Click();
    QList<QByteArray> heard = o.heard();
    QVERIFY(shownAt >= 0 && shownAt < silencedAt);
    for (int i = shownAt; i < heard.size(); ++i)
        QVERIFY2(!heard[i].startsWith("NO"), qPrintable(QString::number(i)));
    QCOMPARE(heard.size(), silencedAt + 3 + 3 + 1);
    QCOMPARE(heard.last(), QByteArray("BA\x00\x01", 4));
    QCOMPARE(o.top->allBankWind->BankResult, 0);
    QCOMPARE(o.titlesAsked(), (QStringList{QStringLiteral("Break"), QStringLiteral("Transfer incomplete")}));
    QVERIFY(o.asked.last().text.startsWith(QStringLiteral("QDR318 did not receive the whole venue file.")));
    // The PC holds the file, and the windows show it.
    QCOMPARE(o.app->data.BankData[0].In[0].Fader, 21);
    QCOMPARE(o.editor().PatternName->text(), QStringLiteral("Scene 1"));
    QCOMPARE(o.top->PollSkip, 5);
    QVERIFY(o.top->ConnectTimer.isActive());

    // OPEN in the editor, the start window hidden: after the loss nothing
    // more goes out, and the editor is refreshed from the file all the same.
    QVERIFY(o.reconnect());
    o.top->hide();
    int refreshed = 0;
    const std::function<void()> refresh = o.top->bankReadWind->dispAllParam;
    o.top->bankReadWind->dispAllParam = [&] {
        ++refreshed;
        refresh();
    };
    o.chosenFile = o.writeVenue(QStringLiteral("Hall 4.vnf"), 60, QStringLiteral("Take"));
    o.asked.clear();
    silencedAt = -1;
    o.usb.unit().clearLogs();
    o.editor().PatternRadio[4]->setChecked(true);
    o.editor().Toolbar1_ButtonClick(QStringLiteral("OPEN"));
    heard = o.heard();
    QCOMPARE(heard.size(), silencedAt + 3 + 3);
    QCOMPARE(o.titlesAsked(), (QStringList{QStringLiteral("Break"), QStringLiteral("Transfer incomplete")}));
    QCOMPARE(refreshed, 1);
    QCOMPARE(o.app->data.BankData[0].In[0].Fader, 61);
    QCOMPARE(o.editor().PatternName->text(), QStringLiteral("Take 1"));
    QVERIFY(o.editor().PatternRadio[0]->isChecked());
}

// Parameter Edit whose read-back the unit breaks off: the editor opens
// offline on the PC's copy as it was, not on a mix of both sides.
void TestStartFlow::readBackBrokenOff() {
    Online o;
    o.unit().setPassword("pw");
    o.unit().memNo = 7;
    o.unit().setNameField(1, 1, "Unit venue");
    for (int i = 1; i <= 10; ++i)
        o.unit().setNameField(5, i, "Unit ch");
    QVERIFY(o.connect());
    ParamData& d = o.app->data;
    d.VenueName = QStringLiteral("PC venue");
    d.MemNo = 3;
    d.BankData[3].MemNameStr = QStringLiteral("PC memory 3");
    d.BankData[0].InNameStr[0] = QStringLiteral("PC in 1");
    const BankRec before = d.BankData[0];

    TypePasswords(*o.top->passwordWind, {"pw"});
    o.top->SyousaiBtn_Click();
    QCOMPARE(o.top->PendingStart, 1);
    // The keep-alive and the two notices, then 20 requests of the read-back
    // (the memory, the venue and some of the names) are answered.
    o.usb.unit().silentAfter(3 + 20);
    o.top->PollSkip = 0;
    o.top->ConnectTimer_Timer();
    QVERIFY(o.editor().isVisible());
    QVERIFY(!o.app->link.OnLine);
    QCOMPARE(o.titlesAsked(), QStringList{QStringLiteral("Break")});
    QCOMPARE(d.MemNo, 3);
    QCOMPARE(d.VenueName, QStringLiteral("PC venue"));
    QCOMPARE(d.BankData[0].InNameStr, before.InNameStr);
    QCOMPARE(o.editor().PatternName->text(), QStringLiteral("PC memory 3"));
}

QTEST_MAIN(TestStartFlow)
#include "tst_startflow.moc"
