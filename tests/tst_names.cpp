// The names typed on the editor: the rename dialogs, what they store and
// send, the venue name's forbidden characters, the captions refreshed from
// the record, and the face the name controls get.

#include "EditorRig.h"
#include "editor/MainWind.h"
#include "startwin/InputWind.h"
#include "startwin/SPSelectWind.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

namespace {

struct Fixture : EditorRig {
    MainWind& m = *main;

    // The names at field[i] of every record.
    template <size_t N> QStringList allRecords(std::array<QString, N> BankRec::*field, int i) const {
        QStringList names;
        for (const BankRec& r : app->data.BankData)
            names << (r.*field)[i];
        return names;
    }
};

QByteArray NameSet(int category, int index, const QByteArray& name, int width) {
    return QByteArray("NS") + char(0) + char(category) + char(index) + name +
           QByteArray(width - name.size(), 0);
}

QStringList Times17(const QString& s) {
    return QStringList(17, s);
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
// record, onto the captions of that channel, and out in its slot.
void TestNames::channelNamesGoEverywhere() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = f.m;
    QCOMPARE(f.answer([&] { QTest::mouseClick(m.InLineName[2], Qt::LeftButton); }, QStringLiteral("Lectern")),
             (QStringList{QStringLiteral("Input Port Name"), QStringLiteral("Enter the Port Name for MONO 3"),
                          QStringLiteral("MONO 3")}));
    QCOMPARE(f.allRecords(&BankRec::InNameStr, 2), Times17(QStringLiteral("Lectern")));
    QCOMPARE(m.InName[2]->text(), QStringLiteral("Lectern"));
    QCOMPARE(m.MixInName[2]->text(), QStringLiteral("Lectern"));

    // REC OUT is output name 6, slot 17.
    QCOMPARE(f.answer([&] { QTest::mouseClick(m.OutLineName[4], Qt::LeftButton); }, QStringLiteral("Rec"))[0],
             QStringLiteral("REC OUT Port Name"));
    QCOMPARE(f.allRecords(&BankRec::OutNameStr, 6), Times17(QStringLiteral("Rec")));
    QCOMPARE(m.MixOutName[4]->text(), QStringLiteral("Rec"));

    f.answer([&] { QTest::mouseClick(m.ExtOutName[7], Qt::LeftButton); }, QStringLiteral("Door lamp"));
    QCOMPARE(f.allRecords(&BankRec::ExtOutNameStr, 7), Times17(QStringLiteral("Door lamp")));
    QCOMPARE(f.heard(), (QList<QByteArray>{NameSet(5, 3, "Lectern", 12), NameSet(5, 17, "Rec", 12),
                                           NameSet(4, 8, "Door lamp", 12)}));

    // The memory's name waits for the store: only the caption changes.
    f.answer([&] { QTest::mouseClick(m.PatternName, Qt::LeftButton); },
             QStringLiteral("Evening service 2024x"));
    QCOMPARE(m.PatternName->text(), QStringLiteral("Evening service 2024"));
    QCOMPARE(f.heard().size(), 3);
}

// On the Japanese page a channel name holds 10 bytes: five double-byte
// characters, or nine single ones and a blank where a double-byte one
// would be split. The unit gets the Shift-JIS bytes.
void TestNames::byteLimitOnJapanesePage() {
    Fixture f;
    f.app->codePage = CodePage(CodePage::Japanese);
    QVERIFY(f.goOnline());
    f.answer([&] { f.m.InLineName_Click(0); }, QStringLiteral("あいうえおか"));
    QCOMPARE(f.allRecords(&BankRec::InNameStr, 0), Times17(QStringLiteral("あいうえお")));
    f.answer([&] { f.m.InLineName_Click(1); }, QStringLiteral("123456789あ"));
    QCOMPARE(f.m.InName[1]->text(), QStringLiteral("123456789 "));
    QCOMPARE(f.heard(), (QList<QByteArray>{NameSet(5, 1, "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8", 12),
                                           NameSet(5, 2, "123456789 ", 12)}));
}

// A venue name holding a character a file name cannot is refused whole;
// an accepted one, cut to 20 bytes, is shown and sent.
void TestNames::venueName() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = f.m;
    f.app->data.VenueName = QStringLiteral("Hall");
    m.DispSystemName();

    QCOMPARE(f.answer([&] { QTest::mouseClick(m.SystemName, Qt::LeftButton); }, QStringLiteral("Hall.2")),
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

    f.answer([&] { m.SystemName_Click(); }, QStringLiteral("Grand Ballroom East 22"));
    QCOMPARE(f.app->data.VenueName, QStringLiteral("Grand Ballroom East "));
    QCOMPARE(m.SystemName->text(), f.app->data.VenueName);
    QCOMPARE(f.asked.size(), 1);
    QCOMPARE(f.heard(), QList<QByteArray>{NameSet(1, 1, "Grand Ballroom East ", 22)});
}

// The refresh shows record CurBank's names on the captions of their
// channels and sends nothing.
void TestNames::captionsFromTheRecord() {
    Fixture f;
    QVERIFY(f.goOnline());
    MainWind& m = f.m;
    BankRec& r = f.app->data.BankData[f.app->data.CurBank];
    r.InNameStr = {"i0", "i1", "i2", "i3", "i4", "i5", "i6", "i7", "i8", "i9", "i10", "i11"};
    r.OutNameStr = {"o0", "o1", "o2", "o3", "o4", "o5", "o6"};
    r.ExtOutNameStr[7] = QStringLiteral("x7");
    m.DispAllParam();
    const QList<QLabel*> shown{m.InLineName[0],  m.InName[9],     m.MixInName[11],
                               m.OutLineName[3], m.OutName[3],    m.MixOutName[1],
                               m.OutLineName[4], m.MixOutName[4], m.ExtOutName[7]};
    QStringList texts;
    for (QLabel* l : shown)
        texts << l->text();
    QCOMPARE(texts, QStringList({"i0", "i9", "i11", "o3", "o3", "o1", "o6", "o6", "x7"}));
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
        m.MixInName[0], m.MixOutName[4], m.OutName[3],     m.ExtOutName[7],  f.top->InputWindObj->Text1,
        f.top->NameText[16], f.top->NameTextSP[1], f.top->SpeakerName[2], f.top->SystemText[0],
        f.top->spSelectWind->SpeakerList};
    // The set-up installs this face.
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("IPAGothic")));
    f.app->codePage = CodePage(CodePage::Japanese);
    f.top->FontSetAll();
    for (QWidget* w : names)
        QCOMPARE(w->font().family(), QStringLiteral("IPAGothic"));
    // A dialog made afterwards takes the face as it is made.
    QCOMPARE(m.dialogs.eqCopyWind2->MonoName[3]->font().family(), QStringLiteral("IPAGothic"));

    f.app->codePage = CodePage(CodePage::Western);
    f.top->FontSetAll();
    QList<QWidget*> afterwards = names;
    afterwards << m.dialogs.eqCopyWind2->MonoName[3];
    for (QWidget* w : afterwards) {
        QCOMPARE(w->font().family(), EnglishFontFamily());
        QVERIFY(QFontInfo(w->font()).fixedPitch());
    }
    QCOMPARE(m.OnLineMess->font().family(), ownFace);
}

QTEST_MAIN(TestNames)
#include "tst_names.moc"
