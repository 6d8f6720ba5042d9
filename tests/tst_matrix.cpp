// The matrix against the emulator: the grid's switches and what goes out for
// them, the marks of rows a companion unit holds, the mono mix levels, and
// the refresh of every place that shows the matrix.

#include "EditorRig.h"
#include "data/Tables.h"
#include "startwin/InputWind.h"
#include "startwin/Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace {

using Pic = ImageWind::Pic;

// The bodies of "M S" sub sub for output k, in order.
QList<QByteArray> MatrixSent(EditorRig& r, int k, int sub) {
    QList<QByteArray> sent;
    for (const QByteArray& body : r.heard())
        if (body.left(2) == "MS" && body[3] == k + 1 && body[4] == sub)
            sent << body;
    return sent;
}

QList<int> Bytes(const QByteArray& body, int from, int count) {
    QList<int> bytes;
    for (int i = from; i < from + count; ++i)
        bytes << int(uint8_t(body[i]));
    return bytes;
}

} // namespace

class TestMatrix : public QObject {
    Q_OBJECT
private slots:
    void toggleSendsTheWholeRowAsStored();
    void remoteButtonsIgnoreClicks();
    void mixLevelsAreStoredAndSent();
    void refreshShowsTheRecordEverywhere();
    void captionsAndPageButtonForward();
};

void TestMatrix::toggleSendsTheWholeRowAsStored() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    MatrixRec& row = r.record().Mix[1];
    const uint8_t switches[12] = {1, 0, 5, 0, 1, 0, 0, 1, 0, 0, 1, 0};
    std::copy(std::begin(switches), std::end(switches), row.SrcSwitch);
    row.ExtraSwitch = 0x37;

    // Row 3 into output 1 on: the other switches go as 0/1, the thirteenth
    // byte as it is held.
    m.LineButton[4 * 3 + 1]->click();
    QCOMPARE(row.SrcSwitch[3], 1);
    QList<QByteArray> sent = MatrixSent(r, 1, 1);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(Bytes(sent[0], 5, 12), (QList<int>{1, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 0}));
    QCOMPARE(int(uint8_t(sent[0][18])), 0x37);
    QCOMPARE(m.LineButton[13]->picture(), Pic::SwOn);
    QCOMPARE(m.InOut[13]->toolTip(), QStringLiteral("ON"));

    // The thirteenth row toggles like the others: held non-zero, so off.
    r.clearHeard();
    m.LineButton[4 * 12 + 1]->click();
    QCOMPARE(row.ExtraSwitch, 0);
    sent = MatrixSent(r, 1, 1);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(int(uint8_t(sent[0][18])), 0);
    QCOMPARE(r.unitState().rec[0].Mix[1].SrcSwitch[3], 1);
    m.LineButton[4 * 12 + 1]->click();
    QCOMPARE(row.ExtraSwitch, 1);
    QCOMPARE(m.LineButton[49]->toolTip(), QStringLiteral("ON"));
}

void TestMatrix::remoteButtonsIgnoreClicks() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    MatrixRec& row0 = r.record().Mix[0];
    // Companion 1 linked: MONO 1's row is the companion's.
    row0.LinkFlags = 0x23;
    r.record().Mix[2].SrcSwitch[0] = 0;
    r.record().Mix[2].SrcSwitch[11] = 0;
    m.DispMatrix();
    r.clearHeard();

    for (PicButton* b : {m.LineButton[2], m.InOut[2]}) {
        b->click();
        QCOMPARE(m.LineButton[2]->toolTip(), QStringLiteral("REMOTE"));
    }
    // Companion 2 is not linked: its own row is the unit's.
    m.LineButton[4 * 11 + 2]->click();
    QCOMPARE(r.record().Mix[2].SrcSwitch[0], 0);
    QCOMPARE(r.record().Mix[2].SrcSwitch[11], 0);
    QCOMPARE(r.heard(), QList<QByteArray>{});

    // Unlinked again, the refresh frees the button.
    row0.LinkFlags = 0x22;
    m.DispMatrix();
    QCOMPARE(m.LineButton[2]->toolTip(), QStringLiteral("OFF"));
    m.InOut[2]->click();
    QCOMPARE(r.record().Mix[2].SrcSwitch[0], 1);
    QCOMPARE(MatrixSent(r, 2, 1).size(), 1);
}

void TestMatrix::mixLevelsAreStoredAndSent() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    // MONO 3 into OUT 2.
    QSpinBox* updn = m.MixAttUpDn[9];
    QCOMPARE(updn->minimum(), -101);
    const struct {
        int value, level;
        QString shown;
    } steps[] = {{-10, 34, QStringLiteral("-4.0")}, {-101, 125, QStringLiteral("-Inf")}, {0, 24, QStringLiteral("0.0")}};
    for (const auto& s : steps) {
        r.clearHeard();
        updn->setValue(s.value);
        QCOMPARE(r.record().Mix[1].MixLevel[2], s.level);
        QCOMPARE(m.MixAttLabel[9]->text(), s.shown);
        const QList<QByteArray> sent = MatrixSent(r, 1, 2);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(Bytes(sent[0], 5, 6)[2], s.level);
        QCOMPARE(r.unitState().rec[0].Mix[1].MixLevel[2], s.level);
    }

    // A refresh that moves the controls to the record sends nothing.
    r.record().Mix[1].MixLevel[2] = 50;
    r.record().Mix[3].MixLevel[5] = 125;
    r.clearHeard();
    m.DispAllParam();
    QCOMPARE(updn->value(), -26);
    QCOMPARE(m.MixAttLabel[23]->text(), QStringLiteral("-Inf"));
    QCOMPARE(MatrixSent(r, 1, 2), QList<QByteArray>{});
    QCOMPARE(MatrixSent(r, 3, 2), QList<QByteArray>{});
}

void TestMatrix::refreshShowsTheRecordEverywhere() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    TopWind& top = *r.top;
    BankRec& rec = r.record();
    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 12; ++j)
            rec.Mix[k].SrcSwitch[j] = (j + k) % 3 == 0;
        rec.Mix[k].ExtraSwitch = k == 2;
    }
    // Companion 2 linked (MONO 2's row held), companion 1 absent.
    rec.Mix[0].LinkFlags = 0x30;
    // A button left marked by an earlier refresh is cleared.
    m.DispMatrix();
    rec.Mix[0].LinkFlags = 0x20;
    m.DispAllParam();

    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 13; ++j) {
            const int i = 4 * j + k;
            const bool on = j < 12 ? (j + k) % 3 == 0 : k == 2;
            const Pic pic = on ? Pic::SwOn : Pic::SwOff;
            if (j == 10) {
                // Absent: blank and locked on both windows.
                QVERIFY(!m.LineButton[i]->isEnabled());
                QVERIFY(!top.LineButton[i]->isEnabled());
                QCOMPARE(m.LineButton[i]->toolTip(), QString());
                continue;
            }
            QVERIFY2(m.LineButton[i]->isEnabled(), qPrintable(QString::number(i)));
            QCOMPARE(m.LineButton[i]->picture(), pic);
            QCOMPARE(top.LineButton[i]->picture(), pic);
            if (j == 11) {
                QCOMPARE(m.LineButton[i]->toolTip(), QStringLiteral("REMOTE"));
                QCOMPARE(top.LineButton[i]->toolTip(), QStringLiteral("REMOTE"));
                continue;
            }
            QCOMPARE(m.LineButton[i]->toolTip(), on ? QStringLiteral("ON") : QStringLiteral("OFF"));
            QCOMPARE(top.LineButton[i]->toolTip(), on ? QStringLiteral("ON") : QStringLiteral("OFF"));
            if (j < 10) {
                QCOMPARE(m.InOut[i]->picture(), pic);
                QCOMPARE(m.InOut[i]->toolTip(), on ? QStringLiteral("ON") : QStringLiteral("OFF"));
            }
            if (i < 24)
                QCOMPARE(m.MixAttUpDn[i]->isEnabled(), on);
        }
    }
    QVERIFY(!m.MixInName[10]->isEnabled());
    QVERIFY(m.MixInName[11]->isEnabled());
    // The absent unit's input is locked: its names open no dialog.
    for (QLabel* name : {m.MixInName[10], m.InLineName[10]}) {
        bool opened = false;
        EditorRig::whenModal([&opened](QWidget* w) { opened = w != nullptr; });
        QTest::mouseClick(name, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!opened);
    }
}

void TestMatrix::captionsAndPageButtonForward() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    m.MixButton->click();
    QCOMPARE(m.MainTab->currentIndex(), int(MainWind::PageMatrix));

    // The REC OUT caption renames that output.
    InputWind& w = *r.top->InputWindObj;
    QString title;
    EditorRig::whenModal([&](QWidget*) {
        title = w.windowTitle();
        w.Text1->setText(QStringLiteral("BOOTH"));
        w.Command1->click();
    });
    QTest::mouseClick(m.Label2[16], Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("REC OUT Port Name"));
    QCOMPARE(m.MixOutName[4]->text(), QStringLiteral("BOOTH"));

    // The input names at the row heads rename their inputs.
    r.clearHeard();
    QCOMPARE(r.answer([&] { QTest::mouseClick(m.MixInName[4], Qt::LeftButton); }, QStringLiteral("Podium")),
             (QStringList{QStringLiteral("Input Port Name"), QStringLiteral("Enter the Port Name for MONO 5"),
                          QStringLiteral("MONO 5")}));
    for (const BankRec& rec : r.app->data.BankData)
        QCOMPARE(rec.InNameStr[4], QStringLiteral("Podium"));
    QCOMPARE(r.heard(), QList<QByteArray>{QByteArray("NS\x00\x05\x05Podium\0\0\0\0\0\0", 17)});
    for (QLabel* shown : {m.MixInName[4], m.InName[4], m.InLineName[4]})
        QCOMPARE(shown->text(), QStringLiteral("Podium"));
}

QTEST_MAIN(TestMatrix)
#include "tst_matrix.moc"
