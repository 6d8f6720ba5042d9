// The outputs' delay: the "DELAY" dialog opened from the BLOCK and OUTPUT
// pages, its handlers, and the delay pair of the OUTPUT EQ page. Every
// change goes into the record and is sent for the one block edited.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/DelayWind.h"
#include "editor/PanelParts.h"
#include "editor/PopupPlace.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

namespace delay {

QString TimeText(int ms) { return QString::number(ms) + QStringLiteral("ms"); }

QString DistText(int ms) { return QLocale().toString(ms * 0.34359, 'f', 2) + QStringLiteral("m"); }

QSpinBox* MakeUpDown(QWidget* parent) { return new UpDown(0, MaxMs, parent); }

QLabel* MakeLabel(QWidget* parent) {
    QLabel* l = panel::BoxLabel(parent, {72, 20}, 0xF6FBFB);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setIndent(6);
    return l;
}

} // namespace delay

namespace {

// Both up-downs of a pair at ms and both texts; the up-downs' change
// handlers find the value in the record and do nothing.
void ShowDelay(QSpinBox* time, QSpinBox* dist, QLabel* timeText, QLabel* distText, int ms) {
    time->setValue(ms);
    dist->setValue(ms);
    timeText->setText(delay::TimeText(ms));
    distText->setText(delay::DistText(ms));
}

} // namespace

DelayWind& MainWind::delayWind() {
    if (!delayWind_) {
        delayWind_ = new DelayWind(app_, this);
        SetNameFont(delayWind_->LineName, top_.NameFont);
    }
    return *delayWind_;
}

QPushButton* MainWind::buildDelayButton(int o, QWidget* parent) {
    DelayButton[o] = new QPushButton(QStringLiteral("DELAY"), parent);
    DelayButton[o]->setFixedSize(panel::KeySize);
    connect(DelayButton[o], &QPushButton::clicked, this, [this, o] { DelayButton_Click(o); });
    return DelayButton[o];
}

void MainWind::DelayButton_Click(int Index) { openDelay(Index, DelayButton[Index], true); }

void MainWind::OutDelay1_Click(int Index) { openDelay(Index, OutDelay1[Index], false); }

void MainWind::openDelay(int Index, QWidget* opener, bool highlight) {
    DelayWind& w = delayWind();
    w.LineCH->setText(QLatin1String(ChName[12 + OutToCh[Index]]));
    w.LineCH->show();
    w.Tag = QString::number(Index);
    w.LineName->setText(OutLineName[OutToCh[Index]]->text());
    ShowDelay(w.TimeUpDown, w.DistUpDown, w.TimeLabel, w.DistLabel,
              app_.data.BankData[app_.data.CurBank].Out[Index].Delay);
    popup::ExecBeside(w, opener, highlight);
    DispOutDelayBtn(Index);
}

void DelayWind::TimeUpDown_Change() { DelayChange(TimeUpDown->value(), DistUpDown); }

void DelayWind::DistUpDown_Change() { DelayChange(DistUpDown->value(), TimeUpDown); }

void DelayWind::DelayChange(int v, QSpinBox* other) {
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[Tag.toInt()];
    if (out.Delay == v)
        return;
    out.Delay = static_cast<uint16_t>(v);
    other->setValue(v);
    // Shown before the message goes, which may wait for the unit's reply.
    TimeLabel->setText(delay::TimeText(v));
    TimeLabel->repaint();
    DistLabel->setText(delay::DistText(v));
    DistLabel->repaint();
    SendDelayCmd();
}

void DelayWind::SendDelayCmd() { app_.send->SendOutputDelay(Tag.toInt()); }

// The OUTPUT EQ page's pair, in the page's side column.
QFrame* MainWind::buildDelayPair(QWidget* parent) {
    QFrame* f = panel::Panel(parent);
    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    TimeLabel = delay::MakeLabel(f);
    DistLabel = delay::MakeLabel(f);
    TimeUpDown = delay::MakeUpDown(f);
    DistUpDown = delay::MakeUpDown(f);
    grid->addWidget(panel::Legend(QStringLiteral("DELAY"), f), 0, 0, 1, 2);
    grid->addWidget(TimeLabel, 1, 0);
    grid->addWidget(TimeUpDown, 1, 1);
    grid->addWidget(DistLabel, 2, 0);
    grid->addWidget(DistUpDown, 2, 1);
    ShowDelay(TimeUpDown, DistUpDown, TimeLabel, DistLabel, 0);
    connect(TimeUpDown, &QSpinBox::valueChanged, this, &MainWind::TimeUpDown_Change);
    connect(DistUpDown, &QSpinBox::valueChanged, this, &MainWind::DistUpDown_Change);
    return f;
}

// Before any output was chosen the page shows the output of the block it
// edits.
int MainWind::delayChannel() const { return OutSel >= 0 && OutSel < 4 ? OutSel : OutToCh[OutEQCh]; }

void MainWind::OutDelayParamSet() {
    ShowDelay(TimeUpDown, DistUpDown, TimeLabel, DistLabel,
              app_.data.BankData[app_.data.CurBank].Out[ChToOut[delayChannel()]].Delay);
}

void MainWind::TimeUpDown_Change() { pageDelayChange(TimeUpDown->value(), DistUpDown); }

void MainWind::DistUpDown_Change() { pageDelayChange(DistUpDown->value(), TimeUpDown); }

// With A & B linked the B block takes the delay in the record only; it
// reaches the unit with the next full transfer.
void MainWind::pageDelayChange(int v, QSpinBox* other) {
    const int d = delayChannel();
    const int o = ChToOut[d];
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    if (r.Out[o].Delay == v)
        return;
    r.Out[o].Delay = static_cast<uint16_t>(v);
    if (d < 2 && OEQAB[0]->Tag.toInt() != 0)
        r.Out[o + 1].Delay = static_cast<uint16_t>(v);
    other->setValue(v);
    TimeLabel->setText(delay::TimeText(v));
    DistLabel->setText(delay::DistText(v));
    DispOutDelayBtn(o);
    app_.send->SendOutputDelay(o);
}
