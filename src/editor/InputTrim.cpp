// The gain of the mono inputs: the strips' gain texts, lists and minus/plus
// buttons, the BLOCK page's gain buttons with their dialog, and the INPUT
// page's copies of the matrix switches.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/InTrimWind.h"
#include "editor/PanelParts.h"
#include "platform/MouseState.h"
#include "platform/OnScreen.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int FirstTrim = 1, LastTrim = 31;

const std::array<double, 32>& GainTable(const InRec& in) { return in.MicSel ? MicGainTbl : LineGainTbl; }

QString GainText(double dB) { return QString::number(dB, 'f', 1); }

void ShowMicLine(QLabel* l, bool mic) {
    l->setText(mic ? QStringLiteral("MIC") : QStringLiteral("LINE"));
    panel::SetBackColor(l, mic ? 0xC0C0FF : 0xC0FFC0);
}

} // namespace

QLayout* MainWind::buildTrimRow(int ch, QWidget* strip) {
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    const QString tip = QStringLiteral("Adjust the Input GAIN.");
    InInMinus[ch] = panel::Key(app_.images, QStringLiteral("-"), strip, {18, 20});
    InInPlus[ch] = panel::Key(app_.images, QStringLiteral("+"), strip, {18, 20});
    InInTrimName[ch] = new QLabel(strip);
    InInTrimName[ch]->setFixedSize(panel::KeySize.width() - 22, 20);
    InInTrimName[ch]->setAlignment(Qt::AlignCenter);
    InInTrimName[ch]->setFrameShape(QFrame::Box);
    InInTrimName[ch]->setCursor(Qt::PointingHandCursor);
    panel::SetBackColor(InInTrimName[ch], 0xF6FBFB);
    panel::OnClick(InInTrimName[ch], [this, ch] { InInTrimName_Click(ch); });
    for (PicButton* b : {InInMinus[ch], InInPlus[ch]}) {
        b->setToolTip(tip);
        connect(b, &PicButton::released, this, &MainWind::TrimRelease);
    }
    connect(InInMinus[ch], &PicButton::pressed, this, [this, ch] { InInMinus_MouseDown(ch); });
    connect(InInPlus[ch], &PicButton::pressed, this, [this, ch] { InInPlus_MouseDown(ch); });
    row->addWidget(InInMinus[ch]);
    row->addWidget(InInTrimName[ch]);
    row->addWidget(InInPlus[ch]);
    return row;
}

QPushButton* MainWind::buildGainButton(int ch, QWidget* parent) {
    auto* b = InputLevelButton[ch] = new QPushButton(QStringLiteral("GAIN"), parent);
    b->setFixedSize(48, panel::NameHeight);
    b->setToolTip(QStringLiteral("Adjust the Input GAIN."));
    connect(b, &QPushButton::clicked, this, [this, ch] { InputLevelButton_Click(ch); });
    return b;
}

void MainWind::connectTrim() {
    TrimTimer.setInterval(300);
    connect(&TrimTimer, &QTimer::timeout, this, &MainWind::TrimTimer_Timer);
    for (int i = 0; i < static_cast<int>(InOut.size()); ++i)
        connect(InOut[i], &PicButton::clicked, this, [this, i] { InOut_Click(i); });
}

QString MainWind::TrimText(int ch) const {
    const InRec& in = app_.data.BankData[app_.data.CurBank].In[ch];
    return GainText(GainTable(in)[std::clamp<int>(in.Trim, 0, LastTrim)]);
}

InTrimWind& MainWind::trimWind() {
    if (!trimWind_) {
        trimWind_ = new InTrimWind(app_.images, *this);
        SetNameFont(trimWind_->LineName, top_.NameFont);
    }
    return *trimWind_;
}

bool MainWind::trimWindOpen() const { return trimWind_ && trimWind_->isVisible(); }

void MainWind::TrimListPick(int ch, QWidget* beside) {
    InRec& in = app_.data.BankData[app_.data.CurBank].In[ch];
    QStringList values;
    for (int t = FirstTrim; t <= LastTrim; ++t)
        values << GainText(GainTable(in)[t]);
    const int pos = dialogs.listWind->Pick(QStringLiteral("Select GAIN"), QStringLiteral("dB"), values, in.Trim - 1, beside);
    in.Trim = static_cast<uint8_t>(pos + 1);
}

void MainWind::TrimShow(int ch) {
    InInTrimName[ch]->setText(TrimText(ch));
    if (trimWind_)
        trimWind_->TrimData->setText(InInTrimName[ch]->text());
}

void MainWind::TrimPicked(int ch) {
    TrimShow(ch);
    app_.send->SendInputTrim(ch);
}

void MainWind::InInTrimName_Click(int Index) {
    TrimListPick(Index, MicLine[Index]);
    TrimPicked(Index);
}

void MainWind::InInMinus_MouseDown(int Index) { TrimPress(Index, 0); }
void MainWind::InInPlus_MouseDown(int Index) { TrimPress(Index, -1); }
void MainWind::InInMinus_MouseUp() { TrimRelease(); }
void MainWind::InInPlus_MouseUp() { TrimRelease(); }

void MainWind::TrimPress(int ch, int dir) {
    if (!LeftButtonDown())
        return;
    TrimCh = ch;
    TrimDir = dir;
    TrimTimer.start();
}

// Later presses step at the next timer message.
void MainWind::TrimRelease() {
    TrimTimer.stop();
    TrimTimer.setInterval(1);
}

void MainWind::TrimTimer_Timer() {
    TrimTimer.stop();
    TrimTimer.setInterval(250);
    uint8_t& trim = app_.data.BankData[app_.data.CurBank].In[TrimCh].Trim;
    if (TrimDir == -1) {
        if (trim <= FirstTrim)
            return;
        --trim;
    } else {
        if (trim >= LastTrim)
            return;
        ++trim;
    }
    TrimShow(TrimCh);
    if (LeftButtonDown())
        TrimTimer.start();
    // The step that noticed the release is sent as well.
    app_.send->SendInputTrim(TrimCh);
}

void MainWind::InputLevelButton_Click(int Index) {
    if (MainTab->currentIndex() != PageBlock)
        return;
    InTrimWind& w = trimWind();
    w.Tag = QString::number(Index);
    MarkGainButton(InputLevelButton[Index], true);
    w.LineCH->setText(InLine[Index]->text());
    w.LineCH->setVisible(true);
    w.LineName->setText(InLineName[Index]->text());
    w.MicLine->setText(MicLine[Index]->text());
    w.MicLine->setPalette(MicLine[Index]->palette());
    w.MicLine->setAutoFillBackground(true);
    w.TrimData->setText(InInTrimName[Index]->text());
    // Until the next status report, the lamp the strip shows.
    w.In48V->setFillColor(In48V[Index]->fillColor());
    const QPushButton* first = InputLevelButton[0];
    const QPoint at = first->mapToGlobal(QPoint(first->width() + 2, 0));
    MoveFrameTo(&w, QPoint(at.x(), InputLevelButton[Index]->mapToGlobal(QPoint()).y()));
    w.exec();
    MarkGainButton(InputLevelButton[Index], false);
}

void MainWind::DispInputTrim() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int ch = 0; ch < 6; ++ch) {
        ShowMicLine(MicLine[ch], r.In[ch].MicSel != 0);
        InInTrimName[ch]->setText(TrimText(ch));
    }
    if (trimWindOpen()) {
        const int ch = trimWind_->Channel();
        ShowMicLine(trimWind_->MicLine, r.In[ch].MicSel != 0);
        trimWind_->TrimData->setText(TrimText(ch));
    }
}

void MainWind::InOut_Click(int Index) { LineButton_Click(Index); }
