// The names typed on the editor: the rename dialogs, what they store and
// send, the venue name's forbidden characters, the captions refreshed from
// the record, and the face the name controls get.

#include "GuiRig.h"
#include "editor/MainWind.h"
#include "startwin/InputWind.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

struct Fixture : GuiRig {
    MainWind& m;

    Fixture() : m((top->Form_Initialize(), editor())) {}

    // The unit found and the editor open, with nothing heard yet.
    bool goOnline() {
        plugIn();
        for (int step = 0; step < 3 && !app->link.OnLine; ++step)
            app->link.SerialObj->AllPortCheck();
        top->hide();
        m.show();
        usb.unit().model().clearRequests();
        return app->link.OnLine;
    }

    QList<QByteArray> heard() { return usb.unit().model().requests(); }

    // Runs rename, which opens the name dialog; the dialog is answered by
    // typing over its selected default text and pressing O K. Returns the
    // title, prompt and text it opened with.
    QStringList answer(const std::function<void()>& rename, const QString& typed) {
        InputWind& w = *top->InputWindObj;
        QStringList opened;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &w, [&w] { w.done(-1); });
        guard.start(15000);
        QTimer::singleShot(0, &w, [&] {
            opened << w.windowTitle() << w.Label1->text() << w.Text1->text();
            for (QChar c : typed)
                QTest::sendKeyEvent(QTest::Click, w.Text1, Qt::Key_unknown, QString(c), Qt::NoModifier);
            w.Command1->click();
        });
        rename();
        return opened;
    }

    // Every record holds the same name at the field get picks.
    bool inAllRecords(const std::function<QString(const BankRec&)>& get, const QString& name) const {
        for (const BankRec& r : app->data.BankData)
            if (get(r) != name)
                return false;
        return true;
    }
};

QByteArray NameSet(int category, int index, const QByteArray& field) {
    return QByteArray("NS") + char(0) + char(category) + char(index) + field;
}

} // namespace

class TestNames : public QObject {
    Q_OBJECT
private slots:
    void channelNamesGoEverywhere();
    void byteLimitOnJapanesePage();
    void venueName();
    void captionsFromTheRecord();
    void faceFollowsCodePage();
};

// A click on a name strip opens its dialog; the name goes into every
// record, onto every caption of that channel, and out in its slot.
void TestNames::channelNamesGoEverywhere() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = f.m;
    const auto pad = [](const char* s, int width) {
        QByteArray b(s);
        return b + QByteArray(width - b.size(), '\0');
    };

    QCOMPARE(f.answer([&] { QTest::mouseClick(m.InLineName[2], Qt::LeftButton); }, QStringLiteral("Lectern")),
             (QStringList{QStringLiteral("Input Port Name"), QStringLiteral("Enter the Port Name for MONO 3"),
                          QStringLiteral("MONO 3")}));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.InNameStr[2]; }, QStringLiteral("Lectern")));
    for (QLabel* l : {m.InLineName[2], m.InName[2], m.MixInName[2]})
        QCOMPARE(l->text(), QStringLiteral("Lectern"));
    QCOMPARE(f.heard(), QList<QByteArray>{NameSet(5, 3, pad("Lectern", 12))});

    // The companion unit's inputs are named on the PC only.
    f.usb.unit().model().clearRequests();
    f.answer([&] { m.InLineName_Click(11); }, QStringLiteral("Podium"));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.InNameStr[11]; }, QStringLiteral("Podium")));
    QCOMPARE(m.MixInName[11]->text(), QStringLiteral("Podium"));
    QVERIFY(f.heard().isEmpty());

    // REC OUT is output name 6, slot 17.
    QCOMPARE(
        f.answer([&] { QTest::mouseClick(m.OutLineName[4], Qt::LeftButton); }, QStringLiteral("Recorder")),
        (QStringList{QStringLiteral("REC OUT Port Name"), QStringLiteral("Enter the Port Name for REC OUT"),
                     QStringLiteral("RECOUT")}));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.OutNameStr[6]; }, QStringLiteral("Recorder")));
    QCOMPARE(m.MixOutName[4]->text(), QStringLiteral("Recorder"));
    f.answer([&] { QTest::mouseClick(m.OutLineName[1], Qt::LeftButton); }, QStringLiteral("Foyer"));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.OutNameStr[1]; }, QStringLiteral("Foyer")));
    QCOMPARE(m.OutName[1]->text(), QStringLiteral("Foyer"));

    QCOMPARE(
        f.answer([&] { QTest::mouseClick(m.ExtOutName[7], Qt::LeftButton); }, QStringLiteral("Door lamp")),
        (QStringList{QStringLiteral("Name of GPI OUT"), QStringLiteral("Enter name of GPI OUT(8)"),
                     QStringLiteral("OUT 8")}));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.ExtOutNameStr[7]; }, QStringLiteral("Door lamp")));
    QCOMPARE(f.heard(),
             (QList<QByteArray>{NameSet(5, 17, pad("Recorder", 12)), NameSet(5, 12, pad("Foyer", 12)),
                                NameSet(4, 8, pad("Door lamp", 12))}));
    QCOMPARE(f.usb.unit().model().state().nameField(4, 8), pad("Door lamp", 12));

    // The memory's name waits for the store: only the caption changes.
    f.usb.unit().model().clearRequests();
    f.answer([&] { QTest::mouseClick(m.PatternName, Qt::LeftButton); },
             QStringLiteral("Evening service 2024x"));
    QCOMPARE(m.PatternName->text(), QStringLiteral("Evening service 2024"));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.MemNameStr; }, QString()));
    QVERIFY(f.heard().isEmpty());
}

// On the Japanese page a channel name holds 10 bytes: five double-byte
// characters, or nine single ones and a blank where a double-byte one
// would be split. The unit gets the Shift-JIS bytes.
void TestNames::byteLimitOnJapanesePage() {
    Fixture f;
    f.app->codePage = CodePage(CodePage::Japanese);
    QVERIFY(f.goOnline());
    MainWind& m = f.m;

    f.answer([&] { m.InLineName_Click(0); }, QStringLiteral("あいうえおか"));
    QCOMPARE(m.InLineName[0]->text(), QStringLiteral("あいうえお"));
    QVERIFY(f.inAllRecords([](const BankRec& r) { return r.InNameStr[0]; }, QStringLiteral("あいうえお")));
    f.answer([&] { m.InLineName_Click(1); }, QStringLiteral("123456789あ"));
    QCOMPARE(m.InName[1]->text(), QStringLiteral("123456789 "));
    QCOMPARE(
        f.heard(),
        (QList<QByteArray>{
            NameSet(5, 1, QByteArray("\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8", 10) + QByteArray(2, '\0')),
            NameSet(5, 2, QByteArray("123456789 ") + QByteArray(2, '\0'))}));
}

// The venue name is refused whole when it holds a character a file name
// cannot; an accepted one, empty or 20 bytes, is shown and sent.
void TestNames::venueName() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = f.m;
    f.app->data.VenueName = QStringLiteral("Hall");
    m.DispSystemName();

    for (const QString& bad :
         {QStringLiteral("Hall.2"), QStringLiteral("A/B"), QStringLiteral("The \"Hall\"")}) {
        f.asked.clear();
        QCOMPARE(f.answer([&] { QTest::mouseClick(m.SystemName, Qt::LeftButton); }, bad),
                 (QStringList{QStringLiteral("Venue Name"), QStringLiteral("Enter Venue Name."),
                              QStringLiteral("Hall")}));
        QCOMPARE(f.asked.size(), 1);
        const MsgBox& box = f.asked.first();
        QCOMPARE(box.title, QStringLiteral("CAUTION"));
        QCOMPARE(box.text,
                 QStringLiteral("You cannot use prohibition character '\"','*','/',':','<','>','?','￥','｜' "
                                "and '.'.\r\nPlease correct it."));
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QCOMPARE(f.app->data.VenueName, QStringLiteral("Hall"));
        QCOMPARE(m.SystemName->text(), QStringLiteral("Hall"));
        QVERIFY(f.heard().isEmpty());
    }

    f.asked.clear();
    f.answer([&] { m.SystemName_Click(); }, QStringLiteral("Grand Ballroom East 22"));
    QCOMPARE(f.app->data.VenueName, QStringLiteral("Grand Ballroom East "));
    QCOMPARE(m.SystemName->text(), QStringLiteral("Grand Ballroom East "));
    QTimer::singleShot(0, f.top->InputWindObj.get(), [&] {
        f.top->InputWindObj->Text1->clear();
        f.top->InputWindObj->Command1->click();
    });
    m.SystemName_Click();
    QVERIFY(f.app->data.VenueName.isEmpty());
    QVERIFY(f.asked.isEmpty());
    QCOMPARE(f.heard(),
             (QList<QByteArray>{NameSet(1, 1, QByteArray("Grand Ballroom East ") + QByteArray(2, '\0')),
                                NameSet(1, 1, QByteArray(22, '\0'))}));
}

// The refresh shows record CurBank's names on every caption of their
// channel and sends nothing.
void TestNames::captionsFromTheRecord() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = f.m;
    ParamData& d = f.app->data;
    d.CurBank = 0;
    BankRec& r = d.BankData[0];
    for (int c = 0; c < 12; ++c)
        r.InNameStr[c] = QStringLiteral("in%1").arg(c);
    for (int o = 0; o < 7; ++o)
        r.OutNameStr[o] = QStringLiteral("out%1").arg(o);
    for (int k = 0; k < 8; ++k)
        r.ExtOutNameStr[k] = QStringLiteral("ext%1").arg(k);
    d.BankData[5].InNameStr[3] = QStringLiteral("other");

    m.DispAllParam();
    QStringList wrong;
    const auto expect = [&](const QLabel* l, const QString& name, const char* what, int i) {
        if (l->text() != name)
            wrong << QStringLiteral("%1 %2: %3").arg(QLatin1String(what)).arg(i).arg(l->text());
    };
    for (int c = 0; c < 12; ++c) {
        expect(m.InLineName[c], r.InNameStr[c], "InLineName", c);
        expect(m.MixInName[c], r.InNameStr[c], "MixInName", c);
        if (c < 10)
            expect(m.InName[c], r.InNameStr[c], "InName", c);
    }
    for (int o = 0; o < 4; ++o) {
        expect(m.OutLineName[o], r.OutNameStr[o], "OutLineName", o);
        expect(m.MixOutName[o], r.OutNameStr[o], "MixOutName", o);
        expect(m.OutName[o], r.OutNameStr[o], "OutName", o);
    }
    expect(m.OutLineName[4], r.OutNameStr[6], "OutLineName", 4);
    expect(m.MixOutName[4], r.OutNameStr[6], "MixOutName", 4);
    for (int k = 0; k < 8; ++k)
        expect(m.ExtOutName[k], r.ExtOutNameStr[k], "ExtOutName", k);
    QCOMPARE(wrong, QStringList());
    QVERIFY(f.heard().isEmpty());
}

// At the start of editing the name controls get the Japanese gothic face
// on the Japanese page, a fixed-pitch Latin face otherwise; other controls
// keep theirs.
void TestNames::faceFollowsCodePage() {
    Fixture f;
    MainWind& m = f.m;
    const QString ownFace = m.OnLineMess->font().family();
    const QList<QWidget*> names{
        m.SystemName,   m.PatternName,   m.InLineName[11], m.OutLineName[4], m.InName[9],
        m.MixInName[0], m.MixOutName[4], m.OutName[3],     m.ExtOutName[7],  f.top->InputWindObj->Text1};
    const QChar sun(0x65E5); // 日

    f.app->codePage = CodePage(CodePage::Japanese);
    f.top->FontSetAll();
    // The set-up installs this face.
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("IPAGothic")));
    for (QWidget* w : names) {
        QCOMPARE(w->font().family(), QStringLiteral("IPAGothic"));
        QVERIFY(QFontMetrics(w->font()).inFont(sun));
    }

    f.app->codePage = CodePage(CodePage::Western);
    f.top->FontSetAll();
    for (QWidget* w : names) {
        QVERIFY(QFontInfo(w->font()).fixedPitch());
        QCOMPARE(w->font().family(), EnglishFontFamily());
    }
    QCOMPARE(f.top->NameFont, EnglishFontFamily());
    QCOMPARE(m.OnLineMess->font().family(), ownFace);
}

QTEST_MAIN(TestNames)
#include "tst_names.moc"
