// The input gain against the emulator: press-and-hold stepping by the
// editor's trim timer, whose ticks the tests run by hand; the gain lists;
// the gain dialog of the BLOCK page; the INPUT page's matrix switches.

#include "EditorRig.h"
#include "editor/InTrimWind.h"
#include "startwin/Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace {

// The trims the unit was sent for input ch ("I S" sub 2), in order.
QList<int> TrimsSent(EditorRig& r, int ch) {
    QList<int> trims;
    for (const QByteArray& body : r.heard())
        if (body.left(2) == "IS" && body[3] == ch + 1 && body[4] == 2)
            trims << int(uint8_t(body[5]));
    return trims;
}

// Picks position pos in the list window that opens next, after checking
// what it offers.
void PickNext(int pos, QStringList* offered, int* selected) {
    EditorRig::whenModal([=](QWidget* w) {
        auto* list = w->findChild<QComboBox*>();
        for (int i = 0; i < list->count(); ++i)
            offered->append(list->itemText(i));
        *selected = list->currentIndex();
        list->setCurrentIndex(pos);
        w->close(); // the close box acts as O K
    });
}

} // namespace

class TestInputTrim : public QObject {
    Q_OBJECT
private slots:
    void holdStepsToTheLimits();
    void laterPressesStepAtOnce();
    void gainListsAndDialog();
    void inOutTogglesTheMatrixSwitch();
};

void TestInputTrim::holdStepsToTheLimits() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    r.record().In[0].Trim = 30;
    r.record().In[0].MicSel = 1;

    // Held minus from 30: one step to 31, sent; the next tick stops there.
    r.leftHeld = true;
    QTest::mousePress(m.InInMinus[0], Qt::LeftButton);
    QCOMPARE(m.TrimTimer.interval(), 300);
    m.TrimTimer_Timer();
    QCOMPARE(m.InInTrimName[0]->text(), QStringLiteral("-30.0"));
    QVERIFY(m.TrimTimer.isActive());
    QCOMPARE(m.TrimTimer.interval(), 250);
    m.TrimTimer_Timer();
    QVERIFY(!m.TrimTimer.isActive());
    QTest::mouseRelease(m.InInMinus[0], Qt::LeftButton);
    QCOMPARE(TrimsSent(r, 0), QList<int>{31});
    QCOMPARE(r.record().In[0].Trim, 31);

    // Held plus on 1 sends nothing.
    r.record().In[1].Trim = 1;
    QTest::mousePress(m.InInPlus[1], Qt::LeftButton);
    m.TrimTimer_Timer();
    QVERIFY(!m.TrimTimer.isActive());
    QTest::mouseRelease(m.InInPlus[1], Qt::LeftButton);
    QCOMPARE(TrimsSent(r, 1), QList<int>{});

    // Plus lowers the index, step by step while held; the step that
    // notices the release is still sent, and re-arms nothing.
    r.record().In[3].Trim = 5;
    QTest::mousePress(m.InInPlus[3], Qt::LeftButton);
    m.TrimTimer_Timer();
    m.TrimTimer_Timer();
    r.leftHeld = false;
    m.TrimTimer_Timer();
    QVERIFY(!m.TrimTimer.isActive());
    QCOMPARE(TrimsSent(r, 3), (QList<int>{4, 3, 2}));
}

void TestInputTrim::laterPressesStepAtOnce() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    r.record().In[4].Trim = 10;

    // A first click released before its 300 ms makes no step; a press
    // that the left button does not make (a key) starts nothing.
    r.leftHeld = true;
    QTest::mousePress(m.InInMinus[4], Qt::LeftButton);
    QCOMPARE(m.TrimTimer.interval(), 300);
    QTest::mouseRelease(m.InInMinus[4], Qt::LeftButton);
    QVERIFY(!m.TrimTimer.isActive());
    r.leftHeld = false;
    QTest::keyClick(m.InInMinus[4], Qt::Key_Space);
    QVERIFY(!m.TrimTimer.isActive());
    QCOMPARE(TrimsSent(r, 4), QList<int>{});
    r.leftHeld = true;

    // A later click steps at the next timer message, before its release:
    // one step, one message.
    QTest::mousePress(m.InInMinus[4], Qt::LeftButton);
    QVERIFY(m.TrimTimer.isActive());
    QCOMPARE(m.TrimTimer.interval(), 1);
    m.TrimTimer_Timer();
    QTest::mouseRelease(m.InInMinus[4], Qt::LeftButton);
    QVERIFY(!m.TrimTimer.isActive());
    QCOMPARE(TrimsSent(r, 4), QList<int>{11});

    // The dialog's buttons step its input on the same timer, and both the
    // dialog and the strip show the new gain.
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    bool ran = false;
    EditorRig::whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<InTrimWind*>(w);
        QTest::mousePress(dlg->Plus, Qt::LeftButton);
        QCOMPARE(m.TrimCh, 4);
        QCOMPARE(m.TrimDir, -1);
        m.TrimTimer_Timer();
        QTest::mouseRelease(dlg->Plus, Qt::LeftButton);
        QCOMPARE(dlg->TrimData->text(), QStringLiteral("-39.0"));
        dlg->close();
        ran = true;
    });
    m.InputLevelButton_Click(4);
    QVERIFY(ran);
    QCOMPARE(m.InInTrimName[4]->text(), QStringLiteral("-39.0"));
    QCOMPARE(TrimsSent(r, 4), (QList<int>{11, 10}));
}

void TestInputTrim::gainListsAndDialog() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    r.record().In[5].MicSel = 0;
    r.record().In[5].Trim = 7;
    r.record().In[1].MicSel = 1;
    r.record().In[1].Trim = 31;
    m.InInTrimName[5]->setText(QStringLiteral("?"));
    m.DispAllParam();
    QCOMPARE(m.MicLine[5]->text(), QStringLiteral("LINE"));
    QCOMPARE(m.MicLine[1]->palette().color(QPalette::Window), QColor::fromRgb(VbColor(0xC0C0FF)));
    QCOMPARE(m.InInTrimName[5]->text(), QStringLiteral("-8.0"));

    // The strip's list offers a LINE input's 31 gains with the current one
    // selected; the pick is stored, shown and sent.
    QStringList offered;
    int selected = -1;
    PickNext(0, &offered, &selected);
    QTest::mouseClick(m.InInTrimName[5], Qt::LeftButton);
    QCOMPARE(offered.size(), 31);
    QCOMPARE(offered.first(), QStringLiteral("-20.0"));
    QCOMPARE(offered.last(), QStringLiteral("4.0"));
    QCOMPARE(selected, 6);
    QCOMPARE(r.record().In[5].Trim, 1);
    QCOMPARE(m.InInTrimName[5]->text(), QStringLiteral("-20.0"));
    QCOMPARE(TrimsSent(r, 5), QList<int>{1});

    // Off the BLOCK page the gain buttons open nothing.
    m.MainTab->setCurrentIndex(MainWind::PageInput);
    bool opened = true;
    EditorRig::whenModal([&](QWidget* w) { opened = w != nullptr; });
    m.InputLevelButton[1]->click();
    QCoreApplication::processEvents();
    QVERIFY(!opened);

    // On BLOCK the dialog shows the input, its button tinted while it is
    // open; its own list picks for its input.
    m.MainTab->setCurrentIndex(MainWind::PageBlock);
    const QColor face = m.InputLevelButton[1]->palette().color(QPalette::Button);
    offered.clear();
    bool ran = false;
    EditorRig::whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<InTrimWind*>(w);
        QCOMPARE(dlg->LineCH->text(), QStringLiteral("MONO 2"));
        QCOMPARE(dlg->TrimData->text(), QStringLiteral("-30.0"));
        QCOMPARE(m.InputLevelButton[1]->palette().color(QPalette::Button), QColor::fromRgb(VbColor(0xC0C0FF)));
        PickNext(0, &offered, &selected);
        QTest::mouseClick(dlg->TrimData, Qt::LeftButton);
        QCOMPARE(dlg->TrimData->text(), QStringLiteral("-54.0"));
        dlg->CloseButton->click();
        ran = true;
    });
    m.InputLevelButton[1]->click();
    QVERIFY(ran);
    QCOMPARE(offered.first(), QStringLiteral("-54.0"));
    QCOMPARE(selected, 30);
    QCOMPARE(m.InInTrimName[1]->text(), QStringLiteral("-54.0"));
    QCOMPARE(m.InputLevelButton[1]->palette().color(QPalette::Button), face);
    QCOMPARE(TrimsSent(r, 1), QList<int>{1});
}

void TestInputTrim::inOutTogglesTheMatrixSwitch() {
    EditorRig r;
    QVERIFY(r.goOnline());
    MainWind& m = *r.main;
    r.record().Mix[2].SrcSwitch[1] = 0;
    // Input 2 into OUT 3, on then off: both pages follow and the unit too.
    for (int on : {1, 0}) {
        m.InOut[6]->click();
        QCOMPARE(r.unitState().rec[0].Mix[2].SrcSwitch[1], on);
        QCOMPARE(m.LineButton[6]->picture(), on ? ImageWind::Pic::SwOn : ImageWind::Pic::SwOff);
        QCOMPARE(m.InOut[6]->toolTip(), on ? QStringLiteral("ON") : QStringLiteral("OFF"));
        QCOMPARE(m.MixAttUpDn[6]->isEnabled(), bool(on));
    }
}

QTEST_MAIN(TestInputTrim)
#include "tst_inputtrim.moc"
