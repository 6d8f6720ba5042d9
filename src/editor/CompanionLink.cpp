// The two companion units that feed inputs 10 and 11: the link switch that
// hands a mono input's matrix row over to its unit, the outputs' fader links
// to the units, and the marks and locks their state shows on both windows.

#include "editor/MainWind.h"

#include "data/Tables.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/TopWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using Pic = ImageWind::Pic;

// Companion input c: its bits in row 0's LinkFlags and the matrix rows of
// the unit and of the mono input it pairs with.
struct Companion {
    uint8_t remoteBit, presentBit;
    int companionRow, monoRow;
};
constexpr Companion Companions[] = {{0x01, 0x02, 10, 0}, {0x10, 0x20, 11, 1}};

// The captions of link switch i: the unit, then "SW LINK".
constexpr int SwitchCaptions[4][2] = {{17, 18}, {19, 34}, {35, 36}, {37, 55}};
const char* const SwitchCaptionTexts[4] = {"KL-VT20 1", "KL-VT20 2", "KL-VT20_1", "KL-VT20_2"};

// A switch of a pair: its picture over the back colour, its state in Tag.
void ShowLinkSwitch(PicButton* b, bool on) {
    b->setTint(QColor());
    b->setPicture(on ? Pic::SwOn : Pic::SwOff);
    b->Tag = on ? QStringLiteral("1") : QStringLiteral("0");
}

// A button shown as a plain back colour (&HBBGGRR) with its tooltip.
void Blank(PicButton* b, unsigned back, const QString& tip) {
    b->clearPicture();
    b->setTint(QColor::fromRgb(VbColor(back)));
    b->setToolTip(tip);
}

uint8_t TickedMask(const std::array<QCheckBox*, 4>& boxes) {
    uint8_t mask = 0;
    for (int i = 0; i < 4; ++i)
        if (boxes[static_cast<std::size_t>(i)]->isChecked())
            mask = static_cast<uint8_t>(mask | 1 << i);
    return mask;
}

} // namespace

void MainWind::buildLinkSwitches(QGridLayout* grid, int column) {
    QWidget* parent = grid->parentWidget();
    for (int i = 0; i < 4; ++i) {
        const Companion& c = Companions[i & 1];
        // 0 and 1 beside the mono rows they take over, 2 and 3 beside the
        // units' own rows.
        const int row = 1 + (i < 2 ? c.monoRow : c.companionRow);
        for (int n = 0; n < 2; ++n) {
            const int at = SwitchCaptions[i][n];
            Label2[at] = panel::Legend(n == 0 ? QLatin1String(SwitchCaptionTexts[i]) : QLatin1String("SW LINK"),
                                       parent);
            grid->addWidget(Label2[at], row, column + n);
        }
        VT20LinkSW[i] = panel::Key(app_.images, QString(), parent, QSize(56, 22));
        grid->addWidget(VT20LinkSW[i], row, column + 2);
        connect(VT20LinkSW[i], &PicButton::clicked, this, [this, i] { VT20LinkSW_Click(i); });
    }
}

// MISC: which outputs follow each companion unit's fader.
void MainWind::buildFaderLinks() {
    QFrame* box = Picture2[4];
    auto* col = new QVBoxLayout(box);
    col->setContentsMargins(12, 10, 12, 10);
    col->addWidget(panel::Legend(QStringLiteral("ＫＬ－ＶＴ２０フェーダーリンク"), box));
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(4);
    // Column 0 the outputs' captions, 1 their names, 2 and 3 the units.
    for (int c = 0; c < 2; ++c) {
        Label2[85 + c] = panel::Legend(QLatin1String(ChName[10 + c]), box);
        grid->addWidget(Label2[85 + c], 0, 2 + c, Qt::AlignHCenter);
        SupMrName2[c] = panel::NameStrip(box, 110);
        grid->addWidget(SupMrName2[c], 1, 2 + c);
    }
    for (int o = 0; o < 4; ++o) {
        grid->addWidget(panel::Legend(QLatin1String(ChName[12 + o]), box), 2 + o, 0);
        SupOutName2[o] = panel::NameStrip(box, 110);
        grid->addWidget(SupOutName2[o], 2 + o, 1);
        SKLVT201[o] = new QCheckBox(box);
        SKLVT202[o] = new QCheckBox(box);
        grid->addWidget(SKLVT201[o], 2 + o, 2, Qt::AlignHCenter);
        grid->addWidget(SKLVT202[o], 2 + o, 3, Qt::AlignHCenter);
        connect(SKLVT201[o], &QCheckBox::toggled, this, [this, o] { SKLVT201_Click(o); });
        connect(SKLVT202[o], &QCheckBox::toggled, this, [this, o] { SKLVT202_Click(o); });
    }
    grid->setColumnStretch(4, 1);
    col->addLayout(grid);
    col->addStretch(1);
}

// A click on either switch of a pair toggles the link: the refresh gives the
// pair opposite tags, so a switch that shows on stands for its partner.
void MainWind::VT20LinkSW_Click(int Index) {
    LockPanel[2]->setEnabled(false);
    if (VT20LinkSW[Index]->Tag.toInt() == 1)
        Index = (Index + 2) % 4;
    const Companion& c = Companions[Index & 1];
    // 0 and 1 link the unit: the mono row carries it to every output.
    const bool link = Index < 2;
    const int on = link ? c.monoRow : c.companionRow;
    const int off = link ? c.companionRow : c.monoRow;
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (MatrixRec& row : r.Mix) {
        row.SrcSwitch[off] = 0;
        row.SrcSwitch[on] = 1;
    }
    for (MatrixRec& row : r.Mix)
        row.LinkFlags ^= c.remoteBit;
    DispMatrix();
    // The unit takes the new link before the rows it re-routes.
    app_.send->SendMatrixMisc();
    app_.waits.TimerWait(200);
    for (int k = 0; k < 4; ++k) {
        app_.send->SendMatrixSW(k);
        app_.waits.TimerWait(100);
    }
    LockPanel[2]->setEnabled(true);
}

void MainWind::SKLVT201_Click(int Index) {
    if (app_.DispBusy == 1)
        return;
    if (SKLVT201[Index]->isChecked())
        SKLVT202[Index]->setChecked(false);
    SKLVT20LinkSet();
}

void MainWind::SKLVT202_Click(int Index) {
    if (app_.DispBusy == 1)
        return;
    if (SKLVT202[Index]->isChecked())
        SKLVT201[Index]->setChecked(false);
    SKLVT20LinkSet();
}

void MainWind::SKLVT20LinkSet() {
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    r.VT20Out1Mask = TickedMask(SKLVT201);
    r.VT20Out2Mask = TickedMask(SKLVT202);
    app_.send->SendVT20Link();
}

// While a companion input is linked, its unit holds the mono row it pairs
// with; otherwise it holds its own row.
void MainWind::DispRemoteButtons() {
    const uint8_t flags = app_.data.BankData[app_.data.CurBank].Mix[0].LinkFlags;
    for (int u = 0; u < 2; ++u) {
        const Companion& c = Companions[u];
        const bool linked = (flags & c.remoteBit) != 0;
        ShowLinkSwitch(VT20LinkSW[u], linked);
        ShowLinkSwitch(VT20LinkSW[u + 2], !linked);
        const int row = linked ? c.monoRow : c.companionRow;
        for (int k = 0; k < 4; ++k) {
            Blank(LineButton[4 * row + k], RemoteBack, QStringLiteral("REMOTE"));
            Blank(top_.LineButton[4 * row + k], RemoteBack, QStringLiteral("REMOTE"));
        }
    }
}

QList<QWidget*> MainWind::CompanionControls(int c) {
    const int row = Companions[c].companionRow;
    QList<QWidget*> all;
    for (int k = 0; k < 4; ++k)
        all << top_.LineButton[4 * row + k];
    all << top_.Label2[10 + c] << top_.NameText[10 + c] << Label2[10 + c] << InLineName[10 + c];
    for (int k = 0; k < 4; ++k)
        all << LineButton[4 * row + k];
    all << Label2[44 - c] << MixInName[10 + c] << VT20LinkSW[c] << VT20LinkSW[c + 2];
    for (int at : SwitchCaptions[c])
        all << Label2[at];
    for (int at : SwitchCaptions[c + 2])
        all << Label2[at];
    all << Label2[85 + c] << SupMrName2[c];
    for (QCheckBox* b : c == 0 ? SKLVT201 : SKLVT202)
        all << b;
    all << SMCheck[4 + c] << SMName[4 + c] << Label2[95 - c];
    return all;
}

// The pictures of a present unit's buttons were set by the refresh just
// before; an absent one's are taken away.
void MainWind::DispVT20Link() {
    const uint8_t flags = app_.data.BankData[app_.data.CurBank].Mix[0].LinkFlags;
    for (int u = 0; u < 2; ++u) {
        const Companion& c = Companions[u];
        const bool present = (flags & c.presentBit) != 0;
        if (!present) {
            for (int k = 0; k < 4; ++k)
                Blank(top_.LineButton[4 * c.companionRow + k], 0x000000, QString());
            for (int k = 0; k < 4; ++k)
                Blank(LineButton[4 * c.companionRow + k], 0x000000, QString());
            Blank(VT20LinkSW[u], 0x000000, QString());
            Blank(VT20LinkSW[u + 2], 0x000000, QString());
        }
        for (QWidget* w : CompanionControls(u))
            w->setEnabled(present);
    }
}
