#include "editor/InEQWind.h"

#include "data/Tables.h"
#include "editor/MainWind.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace {

using Pic = ImageWind::Pic;

constexpr unsigned GainBack = 0xFFFFC0;
constexpr unsigned FreqBack = 0xC0FFC0;
constexpr unsigned QBack = 0xC0FFFF;
constexpr QSize ValueSize{58, 20};
constexpr QSize ButtonSize{76, 26};

const char* const BandCaption[] = {"HIGH", "MID", "LOW"};

// A value label: framed, centred, on the colour that tells its kind.
QLabel* ValueLabel(QWidget* parent, unsigned back) { return panel::BoxLabel(parent, ValueSize, back); }

// The band's response shape in small: high shelf, bell, low shelf.
QPixmap BandShape(int band) {
    const qreal dpr = 2;
    QPixmap pm(QSize(36, 16) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(QColor(0x26, 0x2B, 0x33));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x3C, 0x44, 0x50), 1));
    p.drawLine(QPointF(2, 8), QPointF(34, 8));
    QPainterPath path;
    if (band == 1) {
        path.moveTo(2, 12);
        path.cubicTo(14, 12, 14, 3, 18, 3);
        path.cubicTo(22, 3, 22, 12, 34, 12);
    } else {
        const qreal low = band == 0 ? 12 : 4, high = band == 0 ? 4 : 12;
        path.moveTo(2, low);
        path.cubicTo(18, low, 18, high, 34, high);
    }
    p.setPen(QPen(QColor::fromRgb(VbColor(Knob::PointerColor)), 1.6));
    p.drawPath(path);
    return pm;
}

// A tick every 3 dB over the knob's 300 degree sweep, 0 dB marked.
Knob::Scale GainScale() {
    Knob::Scale s;
    for (int i = 0; i <= InEQWind::MaxGain; i += 6)
        s.ticks.push_back((120 + 5 * i) % 360);
    s.marked = 270;
    s.pointer = 245.0 / 750.0;
    return s;
}

QStringList Texts(int first, int last, const std::function<QString(int)>& text) {
    QStringList l;
    for (int i = first; i <= last; ++i)
        l << text(i);
    return l;
}

// The dialog's up-downs are worked with the mouse only, as its knobs are.
UpDown* BandUpDown(int min, int max, QWidget* parent) {
    auto* u = new UpDown(min, max, parent, {18, ValueSize.height() + 2});
    u->setFocusPolicy(Qt::NoFocus);
    u->setCursor(Qt::PointingHandCursor);
    return u;
}

} // namespace

InEQWind::InEQWind(App& app, MainWind& main, QWidget* parent)
    : FaceDialog(app.images, {18, 14, 18, 14}, 10, parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("InEQWind"));
    setWindowTitle(QStringLiteral("INPUT EQ"));
    QVBoxLayout* col = column();

    col->addLayout(panel::PortHead(face_, 140, LineCH, LineName));

    auto* bands = new QHBoxLayout;
    bands->setSpacing(8);
    for (int b = 0; b < Bands; ++b) {
        QFrame* f = buildBand(b, face_);
        if (b == 1)
            Center = f;
        bands->addWidget(f);
    }
    col->addLayout(bands);

    EQOn[0] = panel::Key(app.images, QStringLiteral("EQ ON"), face_, ButtonSize);
    EQOn[0]->setToolTip(QStringLiteral("EQ turn on."));
    EQOn[1] = panel::Key(app.images, QStringLiteral("EQ OFF"), face_, ButtonSize);
    EQOn[1]->setToolTip(QStringLiteral("EQ turn off."));
    EQCopy = panel::Key(app.images, QStringLiteral("COPY to"), face_, ButtonSize);
    EQCopy->setToolTip(QStringLiteral("Copy."));
    CloseButton = panel::CloseKey(app.images, face_, ButtonSize);
    auto* foot = new QHBoxLayout;
    foot->setSpacing(8);
    foot->addWidget(EQOn[0]);
    foot->addWidget(EQOn[1]);
    foot->addStretch(1);
    foot->addWidget(EQCopy);
    foot->addWidget(CloseButton);
    col->addSpacing(2);
    col->addLayout(foot);

    for (int i = 0; i < 2; ++i)
        connect(EQOn[i], &PicButton::clicked, this, [this, i] { EQOn_Click(i); });
    connect(EQCopy, &PicButton::clicked, this, &InEQWind::EQCopy_Click);
    connect(CloseButton, &PicButton::clicked, this, &InEQWind::CloseButton_Click);
    GainVolTimer.setInterval(knobhold::FirstStepMs);
    connect(&GainVolTimer, &QTimer::timeout, this, &InEQWind::GainVolTimer_Timer);
    Form_Initialize();
}

QFrame* InEQWind::buildBand(int b, QWidget* parent) {
    QFrame* f = panel::Panel(parent);
    auto* col = new QVBoxLayout(f);
    col->setContentsMargins(10, 8, 10, 10);
    col->setSpacing(6);

    auto* head = new QHBoxLayout;
    head->addWidget(panel::Legend(QLatin1String(BandCaption[b]), f));
    head->addStretch(1);
    EQImage[b] = new QLabel(f);
    EQImage[b]->setPixmap(BandShape(b));
    head->addWidget(EQImage[b]);
    col->addLayout(head);

    GainVol[b] = new Knob(GainScale(), f);
    GainVol[b]->setToolTip(QStringLiteral("Adjust the Input EQ."));
    GainVol[b]->onPress = [this, b](Qt::MouseButton button) { GainVol_MouseDown(b, button); };
    GainVol[b]->onRelease = [this] { GainVol_MouseUp(); };
    GainVol[b]->onDoubleClick = [this, b] { GainVol_DblClick(b); };
    col->addWidget(GainVol[b], 0, Qt::AlignHCenter);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(5);
    const auto row = [&](int r, const char* name, QLabel* value, const char* unit, UpDown* updown) {
        grid->addWidget(panel::Legend(QLatin1String(name), f), r, 0);
        grid->addWidget(value, r, 1);
        grid->addWidget(panel::Legend(QLatin1String(unit), f), r, 2);
        grid->addWidget(updown, r, 3);
    };
    GainText[b] = ValueLabel(f, GainBack);
    GainButton[b] = BandUpDown(0, MaxGain, f);
    row(0, "G", GainText[b], "dB", GainButton[b]);
    FreqText[b] = ValueLabel(f, FreqBack);
    FreqButton[b] = BandUpDown(FreqMin(b), FreqMax(b), f);
    row(1, "F", FreqText[b], "Hz", FreqButton[b]);
    if (b == 1) {
        QText[b] = ValueLabel(f, QBack);
        QButton[b] = BandUpDown(0, int(EQQTbl.size()) - 1, f);
        row(2, "Q", QText[b], "", QButton[b]);
        panel::OnClick(QText[b], [this, b] { QText_Click(b); });
        connect(QButton[b], &QSpinBox::valueChanged, this, [this, b] { QButton_Change(b); });
    }
    col->addLayout(grid);
    col->addStretch(1);

    panel::OnClick(GainText[b], [this, b] { GainText_Click(b); });
    panel::OnClick(FreqText[b], [this, b] { FreqText_Click(b); });
    connect(GainButton[b], &QSpinBox::valueChanged, this, [this, b] { GainButton_Change(b); });
    connect(FreqButton[b], &QSpinBox::valueChanged, this, [this, b] { FreqButton_Change(b); });
    return f;
}

void InEQWind::Form_Initialize() {
    CloseButton->setPicture(Pic::SwOff);
    EQOn[0]->setPicture(Pic::SwOff);
    EQCopy->setPicture(Pic::SwOff);
    EQOn[1]->setPicture(Pic::SwOn);
    for (int i = 0; i <= MaxGain; ++i)
        KnobPos[i] = (120 + 5 * i) % 360;
    for (int b = 0; b < Bands; ++b)
        DrawGainVol(b, FlatGain);
}

int InEQWind::FreqMin(int band) { return band == 0 ? 34 : 0; }
int InEQWind::FreqMax(int band) { return band == 2 ? 34 : int(EQFreqTbl.size()) - 1; }

void InEQWind::showEQOn(bool on) {
    EQOn[0]->setPicture(on ? Pic::SwOn : Pic::SwOff);
    EQOn[1]->setPicture(on ? Pic::SwOff : Pic::SwOn);
}

void InEQWind::Fill(int ch) {
    InEQCh = ch;
    const InRec& in = app_.data.BankData[app_.data.CurBank].In[ch];
    Center->setVisible(ch < 6);
    LineName->setText(main_.InLineName[ch]->text());
    showEQOn(in.EQEnable != 0);
    for (int b = 0; b < Bands; ++b) {
        const InBand& band = in.Band[b];
        const int g = band.EQGain;
        GainText[b]->setText(OneDecimal(EQGainTbl[std::clamp(g, 0, MaxGain)]));
        GainVol[b]->Tag = QString::number(g);
        FreqText[b]->setText(GetFreqString(band.EQFreq));
        // The up-downs take the values quietly: one that clamps a value
        // outside its range must not write the clamped one back.
        const QSignalBlocker gainQuiet(GainButton[b]), freqQuiet(FreqButton[b]);
        GainButton[b]->setValue(g);
        FreqButton[b]->setValue(band.EQFreq);
        if (QButton[b]) {
            const QSignalBlocker qQuiet(QButton[b]);
            QText[b]->setText(OneDecimal(EQQTbl[std::min<size_t>(band.EQQ, EQQTbl.size() - 1)]));
            QButton[b]->setValue(band.EQQ);
        }
        SetGainValue(b, g);
        DrawGainVol(b, g);
    }
}

void InEQWind::SetGainValue(int b, int v) {
    InBand& band = app_.data.BankData[app_.data.CurBank].In[InEQCh].Band[b];
    if (band.EQGain == v)
        return;
    band.EQGain = uint8_t(v);
    DrawGainVol(b, v);
    GainText[b]->setText(OneDecimal(EQGainTbl[v]));
    app_.send->SendInputEQBand(InEQCh, b);
}

void InEQWind::SetFreqValue(int b, int v) {
    FreqText[b]->setText(GetFreqStringInt(v));
    InBand& band = app_.data.BankData[app_.data.CurBank].In[InEQCh].Band[b];
    if (band.EQFreq == v)
        return;
    band.EQFreq = uint8_t(v);
    app_.send->SendInputEQBand(InEQCh, b);
}

void InEQWind::SetQValue(int b, int v) {
    QText[b]->setText(OneDecimal(EQQTbl[v]));
    InBand& band = app_.data.BankData[app_.data.CurBank].In[InEQCh].Band[b];
    if (band.EQQ == v)
        return;
    band.EQQ = uint8_t(v);
    app_.send->SendInputEQBand(InEQCh, b);
}

void InEQWind::DrawGainVol(int b, int v) {
    GainVol[b]->setAngle(KnobPos[std::clamp(v, 0, MaxGain)]);
}

QString InEQWind::GetFreqString(uint8_t idx) {
    return GetFreqStringInt(idx);
}

QString InEQWind::GetFreqStringInt(int idx) {
    const int f = EQFreqTbl[std::clamp(idx, 0, int(EQFreqTbl.size()) - 1)];
    const QLocale here;
    if (f >= 1000)
        return here.toString(f / 1000.0, 'g', 6) + QLatin1Char('k');
    return here.toString(f);
}

QString InEQWind::OneDecimal(double v) {
    return QLocale().toString(v, 'f', 1);
}

void InEQWind::EQOn_Click(int index) {
    showEQOn(index == 0);
    app_.data.BankData[app_.data.CurBank].In[InEQCh].EQEnable = uint8_t(index ^ 1);
    main_.DispInEQOnButton(InEQCh);
    app_.send->SendInputEQOn(InEQCh);
}

void InEQWind::EQCopy_Click() {
    EditorDialogs& d = main_.dialogs;
    const bool mono = InEQCh < 6;
    EQCopyWind& copy = mono ? static_cast<EQCopyWind&>(*d.eqCopyWind1) : *d.eqCopyWind2;
    copy.SourceCh = mono ? InEQCh : InEQCh - 6;
    copy.CopyMode = 0;
    const int picked = d.EQCopyWindShow(mono ? 0 : 1);
    if (picked < 0)
        return;
    const int dst = mono ? picked : picked + 6;
    BankRec& rec = app_.data.BankData[app_.data.CurBank];
    const InRec& from = rec.In[InEQCh];
    InRec& to = rec.In[dst];
    to.EQEnable = from.EQEnable;
    for (int b = 0; b < Bands; ++b) {
        to.Band[b].EQFreq = from.Band[b].EQFreq;
        to.Band[b].EQQ = from.Band[b].EQQ;
        to.Band[b].EQGain = from.Band[b].EQGain;
    }
    main_.DispInEQOnButton(dst);
    // The unit copies the bands itself; its EQ switch travels on its own.
    app_.send->SendInputEQCopy(InEQCh, dst);
    app_.send->SendInputEQOn(dst);
}

void InEQWind::CloseButton_Click() {
    accept();
}

void InEQWind::GainButton_Change(int b) {
    const int v = GainButton[b]->value();
    GainVol[b]->Tag = QString::number(v);
    SetGainValue(b, v);
}

void InEQWind::FreqButton_Change(int b) {
    SetFreqValue(b, FreqButton[b]->value());
}

void InEQWind::QButton_Change(int b) {
    SetQValue(b, QButton[b]->value());
}

void InEQWind::GainText_Click(int b) {
    const QStringList values = Texts(0, MaxGain, [](int i) { return OneDecimal(EQGainTbl[i]); });
    const int k = main_.dialogs.listWind->Pick(QStringLiteral("Select GAIN"), QStringLiteral("dB"), values,
                                               GainVol[b]->Tag.toInt(), GainText[b]);
    if (k < 0)
        return;
    GainVol[b]->Tag = QString::number(k);
    GainButton[b]->setValue(k);
}

void InEQWind::FreqText_Click(int b) {
    const QStringList values = Texts(FreqMin(b), FreqMax(b), &InEQWind::GetFreqStringInt);
    const int k = main_.dialogs.listWind->Pick(QStringLiteral("Select Frequency"), QStringLiteral("Hz"), values,
                                               FreqButton[b]->value() - FreqMin(b), FreqText[b]);
    if (k >= 0)
        FreqButton[b]->setValue(k + FreqMin(b));
}

void InEQWind::QText_Click(int b) {
    const QStringList values =
        Texts(0, int(EQQTbl.size()) - 1, [](int i) { return OneDecimal(EQQTbl[i]); });
    const int k = main_.dialogs.listWind->Pick(QStringLiteral("Select Q"), QStringLiteral("  "), values,
                                               QButton[b]->value(), QText[b]);
    if (k >= 0)
        QButton[b]->setValue(k);
}

void InEQWind::GainVol_MouseDown(int b, Qt::MouseButton button) {
    const std::optional<int> dir = knobhold::PressDir(button);
    if (!dir)
        return;
    KnobBand = b;
    KnobDir = *dir;
    GainVolTimer.start();
}

void InEQWind::GainVol_MouseUp() {
    knobhold::Release(GainVolTimer);
    CloseButton->setFocus();
}

void InEQWind::GainVol_DblClick(int b) {
    GainVol[b]->Tag = QString::number(FlatGain);
    GainButton[b]->setValue(FlatGain);
}

void InEQWind::GainVolTimer_Timer() {
    const int b = KnobBand;
    knobhold::Step(GainVolTimer, *GainVol[b], KnobDir, MaxGain, [this, b](int v) { GainButton[b]->setValue(v); });
}
