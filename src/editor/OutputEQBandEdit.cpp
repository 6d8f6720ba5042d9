// The OUTPUT EQ page's band editing: which block the page edits, the page
// shown from that block, and the bands' selectors and up-downs.

#include "editor/MainWind.h"

#include "editor/EQGraph.h"
#include "editor/PanelParts.h"
#include "link/ParamSend.h"
#include "startwin/App.h"
#include "startwin/Widgets.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

namespace {

// A value box of a band: light, framed, the figure at the right.
QLabel* BandText(QWidget* parent) {
    QLabel* l = panel::BoxLabel(parent, {50, 20}, 0xF6FBFB);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setIndent(4);
    return l;
}

// Kept in the layout while hidden, so that the columns do not move when a
// band's type hides its gain or Q.
template <class W> W* KeepPlace(W* w) {
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
    return w;
}

QString OneDecimal(double v) {
    return QString::number(v, 'f', 1);
}

} // namespace

int MainWind::GetOutEQChannel() {
    const bool b = OEQAB[2]->Tag.toInt() != 0;
    switch (OutSel) {
    case 0:
        OutEQCh = b ? 1 : 0;
        break;
    case 1:
        OutEQCh = b ? 3 : 2;
        break;
    case 2:
        OutEQCh = 4;
        break;
    case 3:
        OutEQCh = 5;
        break;
    default:
        OutEQCh = 0;
    }
    return OutEQCh;
}

QFrame* MainWind::buildBandControls(QWidget* parent) {
    QFrame* f = panel::Panel(parent);
    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    for (int b = 0; b < OutEQTables::Bands; ++b) {
        grid->addWidget(panel::Legend(QStringLiteral("BAND %1").arg(b + 1), f), 0, b, Qt::AlignHCenter);
        cboEQ_S[b] = new QComboBox(f);
        cboEQ_S[b]->addItems({QStringLiteral("P. EQ"), QStringLiteral("HPF"), QStringLiteral("LPF"),
                              QStringLiteral("L.Shelf"), QStringLiteral("H.Shelf")});
        grid->addWidget(cboEQ_S[b], 1, b);

        txtF[b] = BandText(f);
        txtG[b] = KeepPlace(BandText(f));
        txtQ[b] = KeepPlace(BandText(f));
        cmdFUpDown[b] = new UpDown(0, OutEQTables::Freqs - 1, f);
        cmdGUpDown[b] = KeepPlace(new UpDown(0, OutEQTables::Gains - 1, f));
        cmdQUpDown[b] = KeepPlace(new UpDown(0, OutEQTables::Qs - 1, f));
        lblg[b] = KeepPlace(panel::Legend(QStringLiteral("dB"), f));
        lblq[b] = KeepPlace(panel::Legend(QStringLiteral("Q"), f));
        const auto row = [&](int r, QLabel* legend, QLabel* text, QSpinBox* upDown) {
            auto* line = new QHBoxLayout;
            line->setSpacing(3);
            legend->setFixedWidth(20);
            line->addWidget(legend);
            line->addWidget(text);
            line->addWidget(upDown);
            grid->addLayout(line, r, b);
        };
        row(2, panel::Legend(QStringLiteral("Hz"), f), txtF[b], cmdFUpDown[b]);
        row(3, lblg[b], txtG[b], cmdGUpDown[b]);
        row(4, lblq[b], txtQ[b], cmdQUpDown[b]);
    }
    return f;
}

void MainWind::connectBandEditing() {
    for (int b = 0; b < OutEQTables::Bands; ++b) {
        // A choice made by the user, even of the type shown; the page's own
        // fills show the controls themselves.
        connect(cboEQ_S[b], &QComboBox::activated, this, [this, b] { cboEQ_S_Click(b); });
        connect(cmdFUpDown[b], &QSpinBox::valueChanged, this, [this, b] { cmdFUpDown_Change(b); });
        connect(cmdGUpDown[b], &QSpinBox::valueChanged, this, [this, b] { cmdGUpDown_Change(b); });
        connect(cmdQUpDown[b], &QSpinBox::valueChanged, this, [this, b] { cmdQUpDown_Change(b); });
    }
    connect(PicGraph, &EQGraph::MouseDown, this, [this](QPointF at) { PicGraph_MouseDown(at.x(), at.y()); });
    connect(PicGraph, &EQGraph::MouseMove, this,
            [this](QPointF at, Qt::MouseButtons buttons) { PicGraph_MouseMove(buttons, at.x(), at.y()); });
    connect(PicGraph, &EQGraph::MouseUp, this, [this] { PicGraph_MouseUp(); });
    OutputEQTimer.setInterval(200);
    connect(&OutputEQTimer, &QTimer::timeout, this, &MainWind::OutputEQTimer_Timer);
}

void MainWind::ShowBandGain(int b) {
    txtG[b]->setText(OneDecimal(outEQ.OEQGain[app_.data.BankData[app_.data.CurBank].Out[OutEQCh].EQGain[b]]));
}

void MainWind::ShowBandQ(int b) {
    txtQ[b]->setText(OneDecimal(outEQ.OEQQ[app_.data.BankData[app_.data.CurBank].Out[OutEQCh].EQQ[b]]));
}

void MainWind::OutEQParamSet() {
    EQBusy = 1;
    const OutRec& out = app_.data.BankData[app_.data.CurBank].Out[OutEQCh];
    const int e = out.EQEnable != 0 ? 1 : 0;
    OEQOnOff[e ^ 1]->setPicture(ImageWind::Pic::SwOn);
    OEQOnOff[e]->setPicture(ImageWind::Pic::SwOff);
    for (int b = 0; b < OutEQTables::Bands; ++b) {
        cmdGUpDown[b]->setValue(out.EQGain[b]);
        cmdQUpDown[b]->setValue(out.EQQ[b]);
        cmdFUpDown[b]->setValue(out.EQFreq[b]);
    }
    for (int b = 0; b < OutEQTables::Bands; ++b) {
        PlaceEQMarker(b);
        txtF[b]->setText(FNFreq_Disp(out.EQFreq[b]));
        ShowBandGain(b);
        ShowBandQ(b);
        OEQTypeLast[b] = out.EQType[b];
        cboEQ_S[b]->setCurrentIndex(out.EQType[b]);
        OutEQTypeCtrlSet(b);
    }
    EQBusy = 0;
    OutputEQGraphDraw();
}

void MainWind::OutputEQMake(int sel) {
    OEQChannel->setCurrentIndex(-1);
    OEQChannel->setCurrentIndex(sel);
    GetOutEQChannel();
    OEQName->setText(app_.data.BankData[app_.data.CurBank].OutNameStr[sel]);
    OutEQParamSet();
    OutDelayParamSet();
    OutputEQGraphDraw();
}

void MainWind::OutputWindMake() {
    OutEQCh = 0;
    OEQABPanel->show();
    ABChoiceFromRecord(0);
    OutputEQMake(0);
}

void MainWind::OutEQTypeCtrlSet(int b) {
    OEQType[b] = cboEQ_S[b]->currentIndex();
    const bool gain = OEQType[b] == 0 || OEQType[b] == 3 || OEQType[b] == 4;
    const bool q = OEQType[b] == 0;
    lblg[b]->setVisible(gain);
    txtG[b]->setVisible(gain);
    cmdGUpDown[b]->setVisible(gain);
    lblq[b]->setVisible(q);
    txtQ[b]->setVisible(q);
    cmdQUpDown[b]->setVisible(q);
}

void MainWind::cboEQ_S_Click(int Index) {
    const int b = Index;
    OutEQTypeCtrlSet(b);
    if (EQBusy == 1 || OEQType[b] == OEQTypeLast[b])
        return;
    OEQTypeLast[b] = OEQType[b];
    OutRec& out = app_.data.BankData[app_.data.CurBank].Out[OutEQCh];
    EQBusy = 1;
    out.EQType[b] = static_cast<uint8_t>(cboEQ_S[b]->currentIndex());
    out.EQGain[b] = 30;
    cmdGUpDown[b]->setValue(30);
    out.EQQ[b] = 0;
    cmdQUpDown[b]->setValue(0);
    EQBusy = 0;
    OutEQDataChange(b);
    ShowBandGain(b);
    ShowBandQ(b);
    PlaceEQMarker(b);
    OutputEQGraphDraw();
}

void MainWind::cmdFUpDown_Change(int Index) {
    uint8_t& v = app_.data.BankData[app_.data.CurBank].Out[OutEQCh].EQFreq[Index];
    if (v == cmdFUpDown[Index]->value())
        return;
    v = static_cast<uint8_t>(cmdFUpDown[Index]->value());
    txtF[Index]->setText(FNFreq_Disp(v));
    PlaceEQMarker(Index);
    OutEQDataChange(Index);
    OutputEQGraphDraw();
}

void MainWind::cmdGUpDown_Change(int Index) {
    uint8_t& v = app_.data.BankData[app_.data.CurBank].Out[OutEQCh].EQGain[Index];
    if (v == cmdGUpDown[Index]->value())
        return;
    v = static_cast<uint8_t>(cmdGUpDown[Index]->value());
    ShowBandGain(Index);
    PlaceEQMarker(Index);
    OutEQDataChange(Index);
    OutputEQGraphDraw();
}

void MainWind::cmdQUpDown_Change(int Index) {
    uint8_t& v = app_.data.BankData[app_.data.CurBank].Out[OutEQCh].EQQ[Index];
    if (EQBusy == 1 || v == cmdQUpDown[Index]->value())
        return;
    v = static_cast<uint8_t>(cmdQUpDown[Index]->value());
    ShowBandQ(Index);
    OutEQDataChange(Index);
    OutputEQGraphDraw();
}

int MainWind::FNEQ_No(int& v, int min, int max, int step) {
    if (v == 0 && step == -1)
        return 0;
    v += step;
    if (v < min || v > max)
        v -= step;
    return v;
}

void MainWind::OutEQDataChange(int b) {
    if (EQBusy == 1)
        return;
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    if (OutSel >= 0 && OutSel < 4 && !r.SpkNameStr[OutSel].isEmpty()) {
        QString& name = r.SpkNameStr[OutSel];
        if (!name.startsWith(QLatin1Char('*'))) {
            name.prepend(QLatin1Char('*'));
            app_.send->SendSpeakerName(OutSel);
        }
        if (OutEQList)
            OutEQList->setCurrentRow(-1);
    }
    SendOutputEQParamAll(b);
}

void MainWind::SendOutputEQParamAll(int b) {
    app_.send->SendOutputEQBand(OutEQCh, b);
    if ((OutSel == 0 || OutSel == 1) && OEQAB[0]->Tag.toInt() != 0) {
        OutRec* out = app_.data.BankData[app_.data.CurBank].Out;
        OutRec& a = out[OutEQCh];
        OutRec& partner = out[OutEQCh + 1];
        partner.EQGain[b] = a.EQGain[b];
        partner.EQFreq[b] = a.EQFreq[b];
        partner.EQQ[b] = a.EQQ[b];
        partner.EQType[b] = a.EQType[b];
        app_.send->SendOutputEQBand(OutEQCh + 1, b);
    }
}
