// The balance of the output pairs OUT 1 (blocks 0, 1) and OUT 2 (blocks 2,
// 3): the slider, knob and dB texts of each pair on the OUTPUT page, the
// "BALANCE" dialog's handlers, and the refresh of both from the record.
// Every accepted position is stored in both blocks and sent for both.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/BalWind.h"
#include "editor/PanelParts.h"
#include "editor/PopupPlace.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <optional>

namespace {

// A slider's Tag: the last position its change handler accepted. A refresh
// sets it before the position, so that the handler finds nothing to do.
int SliderTag(const QSlider* s) { return s->property("Tag").toString().toInt(); }
void SetSliderTag(QSlider* s, int v) { s->setProperty("Tag", QString::number(v)); }

// The position the change handler is to act on: none when it is the one the
// Tag already holds.
std::optional<int> AcceptPosition(QSlider* s) {
    const int v = s->value();
    if (SliderTag(s) == v)
        return std::nullopt;
    SetSliderTag(s, v);
    return v;
}

} // namespace

namespace balance {

int Position(const BankRec& r, int p) {
    const int a = r.Out[p].Balance, b = r.Out[p + 1].Balance;
    return std::clamp(a != Centre ? MaxPos - a : b, 0, MaxPos);
}

void SetPosition(BankRec& r, int p, int v) {
    r.Out[p].Balance = uint8_t(v > Centre ? MaxPos - v : Centre);
    r.Out[p + 1].Balance = uint8_t(v > Centre ? Centre : v);
}

QString DbText(uint8_t balance) { return QLocale().toString(TableAt(BalTbl, balance), 'f', 1); }

Knob* MakeKnob(QWidget* parent) {
    Knob::Scale s;
    for (int v = 0; v <= MaxPos; v += MaxPos / 4)
        s.ticks.push_back(KnobAngle[v]);
    s.marked = KnobAngle[Centre];
    s.pointer = 250.0 / 750.0;
    auto* k = new Knob(s, parent);
    k->setToolTip(QStringLiteral("Adjust the Balance."));
    k->Tag = QString::number(Centre);
    return k;
}

void Draw(Knob& knob) { knob.setAngle(KnobAngle[std::clamp(knob.Tag.toInt(), 0, MaxPos)]); }

// Centred, with its Tag at the centre too, so that the first refresh to the
// centre sends nothing.
QSlider* MakeSlider(QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(0, MaxPos);
    s->setPageStep(4);
    // Like the panel's Change event: a drag takes effect where it ends.
    s->setTracking(false);
    SetSliderTag(s, Centre);
    s->setValue(Centre);
    return s;
}

QLabel* MakeDbLabel(QWidget* parent) {
    QLabel* l = panel::BoxLabel(parent, {46, 18}, 0xFFFFC0);
    l->setText(DbText(Centre));
    return l;
}

} // namespace balance

// The pair's section under its strip: A and B with their dB either side of
// the knob, the slider, and BAL for the dialog.
QFrame* MainWind::buildBalance(int p, QWidget* strip) {
    QFrame* f = panel::Panel(strip);
    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    BalALabel[p] = panel::Legend(QStringLiteral("A"), f);
    BalBLabel[p] = panel::Legend(QStringLiteral("B"), f);
    OutBalLabel[p] = balance::MakeDbLabel(f);
    OutBalLabel[p + 1] = balance::MakeDbLabel(f);
    BalVol[p] = balance::MakeKnob(f);
    OutBallance[p] = balance::MakeSlider(f);
    OutBalButton[p] = new QPushButton(QStringLiteral("BAL"), f);
    OutBalButton[p]->setFixedSize(48, panel::NameHeight);
    grid->addWidget(BalALabel[p], 0, 0, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(BalBLabel[p], 0, 2, Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(OutBalLabel[p], 1, 0, Qt::AlignTop);
    grid->addWidget(OutBalLabel[p + 1], 1, 2, Qt::AlignTop);
    grid->addWidget(BalVol[p], 0, 1, 2, 1, Qt::AlignHCenter);
    grid->addWidget(OutBallance[p], 2, 0, 1, 3);
    grid->addWidget(OutBalButton[p], 3, 0, 1, 3, Qt::AlignHCenter);
    grid->setColumnStretch(1, 1);

    connect(OutBallance[p], &QSlider::valueChanged, this, [this, p] { OutBallance_Change(p); });
    BalVol[p]->onPress = [this, p](Qt::MouseButton b) { BalVol_MouseDown(p, b); };
    BalVol[p]->onRelease = [this] { BalVol_MouseUp(); };
    BalVol[p]->onDoubleClick = [this, p] { BalVol_DblClick(p); };
    connect(OutBalButton[p], &QPushButton::clicked, this, [this, p] { OutBalButton_Click(p); });
    DispOutBalance(p);
    return f;
}

void MainWind::connectBalance() {
    BalTimer.setInterval(knobhold::FirstStepMs);
    connect(&BalTimer, &QTimer::timeout, this, &MainWind::BalTimer_Timer);
}

BalWind& MainWind::balWind() {
    if (!balWind_) {
        balWind_ = new BalWind(app_, *this, this);
        SetNameFont(balWind_->LineName, top_.NameFont);
    }
    return *balWind_;
}

void MainWind::StoreBalance(int p, int v) {
    balance::SetPosition(app_.data.BankData[app_.data.CurBank], p, v);
    DispBalancePairs();
    app_.send->SendOutputBalance(p);
    app_.send->SendOutputBalance(p + 1);
}

void MainWind::OutBallance_Change(int Index) {
    if (const std::optional<int> v = AcceptPosition(OutBallance[Index])) {
        StoreBalance(Index, *v);
        DispOutBalance(Index);
    }
}

void MainWind::BalVol_MouseDown(int Index, Qt::MouseButton Button) {
    BalWindCh = Index;
    const std::optional<int> dir = knobhold::PressDir(Button);
    if (!dir)
        return;
    BalStepDir = *dir;
    BalTimer.start();
}

void MainWind::BalVol_MouseUp() { knobhold::Release(BalTimer); }

void MainWind::BalTimer_Timer() {
    const int p = BalWindCh;
    knobhold::Step(BalTimer, *BalVol[p], BalStepDir, balance::MaxPos,
                   [this, p](int v) { OutBallance[p]->setValue(v); });
}

void MainWind::BalVol_DblClick(int Index) { OutBallance[Index]->setValue(balance::Centre); }

void MainWind::OutBalButton_Click(int Index) {
    BalWind& w = balWind();
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    BalWindCh = Index;
    w.LineCH->setText(QLatin1String(ChName[12 + OutToCh[Index]]));
    w.LineCH->show();
    w.LineName->setText(OutLineName[Index == 0 ? 0 : 1]->text());
    w.OutBalLabel[0]->setText(balance::DbText(r.Out[Index].Balance));
    w.OutBalLabel[1]->setText(balance::DbText(r.Out[Index + 1].Balance));
    const int v = balance::Position(r, Index);
    SetSliderTag(w.OutBallance, v);
    w.OutBallance->setValue(v);
    w.BalVol->Tag = QString::number(w.OutBallance->value());
    w.DispBalVol();
    popup::ExecBeside(w, OutBalButton[Index]);
}

void MainWind::DispBalancePairs() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int p : {0, 2}) {
        OutBalLabel[p]->setText(balance::DbText(r.Out[p].Balance));
        OutBalLabel[p + 1]->setText(balance::DbText(r.Out[p + 1].Balance));
        const int v = balance::Position(r, p);
        SetSliderTag(OutBallance[p], v);
        OutBallance[p]->setValue(v);
        BalVol[p]->Tag = QString::number(v);
        if (BalWindCh == p && balWind_)
            balWind_->BalVol->Tag = BalVol[p]->Tag;
        DispOutBalance(p);
    }
}

void MainWind::DispOutBalance(int Index) { balance::Draw(*BalVol[Index]); }

void BalWind::OutBallance_Change() {
    const std::optional<int> v = AcceptPosition(OutBallance);
    if (!v)
        return;
    const int p = main_.BalWindCh;
    main_.StoreBalance(p, *v);
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    OutBalLabel[0]->setText(balance::DbText(r.Out[p].Balance));
    OutBalLabel[1]->setText(balance::DbText(r.Out[p + 1].Balance));
    DispBalVol();
}

void BalWind::BalVol_MouseDown(Qt::MouseButton Button) {
    const std::optional<int> dir = knobhold::PressDir(Button);
    if (!dir)
        return;
    main_.BalStepDir = *dir;
    BalWindTimer.start();
}

void BalWind::BalVol_MouseUp() { knobhold::Release(BalWindTimer); }

void BalWind::BalWindTimer_Timer() {
    knobhold::Step(BalWindTimer, *BalVol, main_.BalStepDir, balance::MaxPos,
                   [this](int v) { OutBallance->setValue(v); });
}

void BalWind::BalVol_DblClick() { OutBallance->setValue(balance::Centre); }

void BalWind::DispBalVol() { balance::Draw(*BalVol); }
