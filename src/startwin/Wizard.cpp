// The simple-setup pages: the routing and the names on page 1, the way
// through the pages, and leaving them (saved, or put back as it was).

#include "startwin/TopWind.h"

#include "data/Tables.h"
#include "data/VenueFile.h"
#include "editor/MainWind.h"
#include "editor/PanelParts.h"
#include "link/Link.h"
#include "platform/Dialogs.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/PargeWind.h"
#include "startwin/Widgets.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int ChannelNameBytes = 10;
constexpr int VenueNameBytes = 20;
constexpr unsigned RemoteBack = 0x80FFFF;

// The thirteenth source of a matrix row has no input of its own here.
const char* const ExtraRowCaption = "EXT";

QPushButton* PageButton(const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setMinimumSize(110, 34);
    b->setFont(Scaled(b->font(), 1.1, true));
    return b;
}

} // namespace

void TopWind::buildLinePage(PictureBox* page) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    for (int k = 0; k < 4; ++k)
        grid->addWidget(panel::Legend(QLatin1String(ChName[12 + k]), page), 0, 2 + k, Qt::AlignHCenter);
    // Button i switches source row i / 4 into output channel i % 4.
    for (int r = 0; r < 13; ++r) {
        if (r < 12) {
            Label2[r] = panel::Legend(QLatin1String(ChName[r]), page);
            NameText[r] = panel::NameStrip(page, 110);
            grid->addWidget(Label2[r], 1 + r, 0);
            grid->addWidget(NameText[r], 1 + r, 1);
        } else {
            grid->addWidget(panel::Legend(QLatin1String(ExtraRowCaption), page), 1 + r, 0);
        }
        for (int k = 0; k < 4; ++k) {
            const int i = 4 * r + k;
            LineButton[i] = new PicButton(app_.images, QString(), page);
            LineButton[i]->setFixedSize(56, 22);
            grid->addWidget(LineButton[i], 1 + r, 2 + k);
            connect(LineButton[i], &PicButton::clicked, this, [this, i] { LineButton_Click(i); });
        }
    }
    // The outputs' names beside the matrix.
    auto* outs = new QGridLayout;
    outs->setVerticalSpacing(3);
    for (int n = 12; n <= 16; ++n) {
        Label2[n] = panel::Legend(QLatin1String(n == 16 ? "REC OUT" : ChName[n]), page);
        NameText[n] = panel::NameStrip(page, 110);
        outs->addWidget(Label2[n], n - 12, 0);
        outs->addWidget(NameText[n], n - 12, 1);
    }
    outs->setRowStretch(5, 1);
    for (int n = 0; n <= 16; ++n)
        panel::OnClick(NameText[n], [this, n] { NameText_Click(n); });
    auto* row = new QHBoxLayout;
    row->addLayout(grid);
    row->addSpacing(24);
    row->addLayout(outs);
    row->addStretch(1);
    col->addSpacing(8);
    col->addLayout(row);
    col->addStretch(1);
    buildPageFoot(page, 0);
}

void TopWind::buildPageFoot(PictureBox* page, int i) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());
    auto* row = new QHBoxLayout;
    row->addWidget(panel::Legend(QStringLiteral("会場名"), page));
    SystemText[i] = panel::NameStrip(page, 220);
    panel::OnClick(SystemText[i], [this, i] { SystemText_Click(i); });
    row->addWidget(SystemText[i]);
    row->addStretch(1);
    StopButton[i] = PageButton(QStringLiteral("中　止"), page);
    ModoruButton[i] = PageButton(QStringLiteral("< 戻 る"), page);
    NextButton[i] = PageButton(i == 0 ? QStringLiteral("次 へ >") : QStringLiteral("設定終了"), page);
    for (QPushButton* b : {StopButton[i], ModoruButton[i], NextButton[i]})
        row->addWidget(b);
    col->addSpacing(10);
    col->addLayout(row);
    connect(StopButton[i], &QPushButton::clicked, this, [this, i] { StopButton_Click(i); });
    connect(ModoruButton[i], &QPushButton::clicked, this, [this, i] { ModoruButton_Click(i); });
    connect(NextButton[i], &QPushButton::clicked, this, [this, i] { NextButton_Click(i); });
}

void TopWind::LineButton_Click(int index) {
    // A row the companion unit holds is not the PC's to switch.
    if (LineButton[index]->tint() == QColor::fromRgb(VbColor(RemoteBack)))
        return;
    const int k = index & 3, r = index / 4;
    MatrixRec& row = app_.data.BankData[app_.data.CurBank].Mix[k];
    uint8_t& sw = r < 12 ? row.SrcSwitch[r] : row.ExtraSwitch;
    sw = sw != 0 ? 0 : 1;
    LineButton[index]->setToolTip(sw ? QStringLiteral("ON") : QStringLiteral("OFF"));
    LineButton[index]->setPicture(sw ? ImageWind::Pic::SwOn : ImageWind::Pic::SwOff);
    app_.send->SendMatrixSW(k);
    NextButton[0]->setFocus();
}

// A channel name belongs to the venue: every record takes it.
void TopWind::NameText_Click(int index) {
    const bool input = index < 12;
    const QString title = input ? QStringLiteral("入力名称") : index < 16 ? QStringLiteral("出力名称")
                                                                      : QStringLiteral("録音出力名称");
    const QString prompt =
        Label2[index]->text() + (input ? QStringLiteral("入力名称を入力してください") : QStringLiteral("出力名称を入力してください"));
    const QString name = InputWindObj->InputWindShow(title, prompt, NameText[index]->text(), ChannelNameBytes);
    const int out = index == 16 ? 6 : index - 12;
    for (BankRec& r : app_.data.BankData) {
        if (input)
            r.InNameStr[index] = name;
        else
            r.OutNameStr[out] = name;
    }
    NameText[index]->setText(name);
    if (index >= 12 && index < 16)
        NameTextSP[index - 12]->setText(name);
    if (input)
        app_.send->SendInputName(index);
    else
        app_.send->SendOutputName(out);
    const int page = TopTab->currentIndex();
    if (page >= 1 && page <= 3)
        NextButton[page - 1]->setFocus();
}

void TopWind::NameTextSP_Click(int i) { NameText_Click(i + 12); }

// The venue name becomes a file name, so the characters a file name cannot
// hold are refused.
void TopWind::SystemText_Click(int i) {
    const QString name = InputWindObj->InputWindShow(QStringLiteral("Venue name"), QStringLiteral("Enter Venue Name."),
                                                     SystemText[i]->text(), VenueNameBytes);
    if (!NameCheck(name)) {
        ::ShowMessage(this, {QStringLiteral("You cannot use prohibition character '\"','*','/',':','<','>','?','￥','｜' "
                                            "and '.'.\r\nPlease correct it."),
                             QStringLiteral("CAUTION"), MsgButtons::Ok, MsgIcon::Exclamation, MsgResult::Ok});
        return;
    }
    app_.data.VenueName = name;
    NextButton[i]->setFocus();
    mainWind->DispSystemName();
    app_.send->SendSystemName();
}

void TopWind::DispSystemName() {
    for (QLabel* box : SystemText)
        box->setText(app_.data.VenueName);
}

void TopWind::NextButton_Click(int i) {
    if (i == 0) {
        TopTab->setCurrentIndex(2);
        NextButton[1]->setFocus();
        return;
    }
    const QString text = SystemText[0]->text();
    const QString name = text.isEmpty() ? QStringLiteral("名称未設定") : text;
    MsgResult answer = ::ShowMessage(
        this, {QStringLiteral("「") + name + QStringLiteral("」 の設定パラメーターを保存しますか？"),
               QStringLiteral("設定パラメーター保存確認"), MsgButtons::YesNoCancel, MsgIcon::Question, MsgResult::Yes});
    if (answer == MsgResult::Cancel)
        return;
    const QString path = app_.AppPath + QStringLiteral("/param/") + name;
    if (answer == MsgResult::Yes && QFileInfo::exists(WithVenueExtension(path))) {
        answer = ::ShowMessage(this, {QStringLiteral("「") + name + QStringLiteral("」 のファイルは既に登録されています。\r\n"
                                                                              "書き換えて良いですか？"),
                                      QStringLiteral("上書き保存確認"), MsgButtons::YesNoCancel, MsgIcon::Question,
                                      MsgResult::No});
        if (answer == MsgResult::Cancel)
            return;
    }
    if (answer == MsgResult::Yes) {
        // The venue starts on memory 1 from every quick-recall key.
        for (BankRec& r : app_.data.BankData)
            std::fill(std::begin(r.PatternMemNo), std::end(r.PatternMemNo), uint8_t{1});
        app_.send->SendPatternMem();
        app_.data.BankData[app_.data.CurBank].MemNameStr = mainWind->PatternName->text();
        app_.send->SendMemoryStore(1);
        app_.data.BackupMemory();
        mainWind->VenueFileWrite(path);
    }
    KantanEndProc();
    TopTab->setCurrentIndex(0);
}

void TopWind::ModoruButton_Click(int i) {
    TopTab->setCurrentIndex(i);
    if (i == 0)
        KantanEndProc();
}

void TopWind::StopButton_Click(int i) {
    Q_UNUSED(i);
    if (::ShowMessage(this, {QStringLiteral("設定中のパラメーターを破棄して良いですか？"), QStringLiteral("Confirmation"),
                             MsgButtons::YesNo, MsgIcon::Exclamation, MsgResult::No}) != MsgResult::Yes)
        return;
    pargeWind->show();
    pargeWind->repaint();
    setEnabled(false);
    app_.send->RestoreMemory();
    setEnabled(true);
    pargeWind->hide();
    TopTab->setCurrentIndex(0);
    KantanEndProc();
}
