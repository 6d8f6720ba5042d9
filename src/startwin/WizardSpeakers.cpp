// The simple-setup pages 2 and 3: a speaker for each output with its
// chooser, the microphone tone, and the feedback suppressors with their
// measurement.

#include "startwin/TopWind.h"

#include "data/SpeakerFile.h"
#include "data/Tables.h"
#include "editor/MainWind.h"
#include "editor/PanelParts.h"
#include "link/Link.h"
#include "platform/OnScreen.h"
#include "startwin/App.h"
#include "startwin/HawlingWind.h"
#include "startwin/SPSelectWind.h"
#include "startwin/Widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr unsigned ChoosingBack = 0xC0C0FF;
constexpr unsigned SpeakerBack = 0xFFFFC0;

const QString NoSpeaker = QStringLiteral("FLAT");

void SetBack(QLabel* label, unsigned bgr) {
    label->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #707070; padding: 1px 4px;")
                             .arg(QColor::fromRgb(VbColor(bgr)).name()));
}

QLabel* Caption(const QString& text, QWidget* parent, double scale = 1.0) {
    auto* l = new QLabel(text, parent);
    if (scale != 1.0)
        l->setFont(Scaled(l->font(), scale, true));
    return l;
}

} // namespace

void TopWind::buildSpeakerPage(PictureBox* page) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    for (int k = 0; k < 4; ++k) {
        SPLabel[k] = panel::Legend(QLatin1String(ChName[12 + k]), page);
        NameTextSP[k] = panel::NameStrip(page, 110);
        SpeakerName[k] = new QLabel(QStringLiteral("スピーカー選択なし"), page);
        SpeakerName[k]->setFixedWidth(220);
        SetBack(SpeakerName[k], SpeakerBack);
        SpChgMes[k] = new QLabel(QStringLiteral("このスピーカーパラメーターは詳細設定で変更されています"), page);
        SpChgMes[k]->setStyleSheet(QStringLiteral("color: #b00000;"));
        SpChgMes[k]->hide();
        grid->addWidget(SPLabel[k], 2 * k, 0);
        grid->addWidget(NameTextSP[k], 2 * k, 1);
        grid->addWidget(SpeakerName[k], 2 * k, 2);
        grid->addWidget(SpChgMes[k], 2 * k + 1, 2);
        panel::OnClick(NameTextSP[k], [this, k] { NameTextSP_Click(k); });
        panel::OnClick(SpeakerName[k], [this, k] { SpeakerName_Click(k); });
    }
    grid->setColumnStretch(3, 1);
    col->addSpacing(8);
    col->addWidget(Caption(QStringLiteral("スピーカー"), page, 1.1));
    col->addLayout(grid);

    col->addSpacing(14);
    col->addWidget(Caption(QStringLiteral("マイクの音質"), page, 1.1));
    auto* tones = new QHBoxLayout;
    const char* const toneNames[] = {"ナチュラルモード", "クリア拡声モード", "フラットモード"};
    for (int i = 0; i < 3; ++i) {
        MicOption[i] = new QRadioButton(page);
        Label12[i] = Caption(QString::fromUtf8(toneNames[i]), page);
        tones->addWidget(MicOption[i]);
        tones->addWidget(Label12[i]);
        tones->addSpacing(18);
        connect(MicOption[i], &QRadioButton::clicked, this, [this, i] { MicOption_Click(i); });
        panel::OnClick(Label12[i], [this, i] { Label12_Click(i); });
    }
    tones->addStretch(1);
    col->addLayout(tones);

    col->addSpacing(14);
    OnsituBtn = new QPushButton(QStringLiteral("ハウリングサプレッサー設定"), page);
    OnsituBtn->setMinimumHeight(34);
    connect(OnsituBtn, &QPushButton::clicked, this, &TopWind::OnsituBtn_Click);
    col->addWidget(OnsituBtn, 0, Qt::AlignLeft);
    col->addStretch(1);
    buildPageFoot(page, 1);
}

void TopWind::buildHawlingPage(PictureBox* page) {
    auto* col = static_cast<QVBoxLayout*>(page->layout());
    col->addSpacing(8);
    col->addWidget(Caption(QStringLiteral("ハウリングサプレッサーを設定します。"), page, 1.1));
    auto* row = new QHBoxLayout;
    HawlingOption[0] = new QCheckBox(page);
    Label11[0] = Caption(QStringLiteral("無効　ハウリングサプレッサーは働きません"), page);
    row->addWidget(HawlingOption[0]);
    row->addWidget(Label11[0]);
    row->addStretch(1);
    col->addLayout(row);
    connect(HawlingOption[0], &QCheckBox::toggled, this, &TopWind::HawlingOption_Click);
    panel::OnClick(Label11[0], [this] { Label11_Click(); });
    for (const char* line : {"（１）すべてのマイクがＯＮになっていることを確認してください。",
                             "（２）測定実行ボタンをクリックするとハウリングポイントの", "測定が始まります。", "",
                             "（ご注意）", "測定中はスピーカーよりハウリング音が出る事が",
                             "ありますが、測定のためですので故障ではありません。",
                             "測定には１０分ほどかかる場合があります。"})
        col->addWidget(Caption(QString::fromUtf8(line), page));
    HawlingStart = new QPushButton(QStringLiteral("測 定 実 行"), page);
    HawlingStart->setMinimumSize(160, 40);
    HawlingStart->setFont(Scaled(HawlingStart->font(), 1.2, true));
    HawlingStart->setEnabled(false);
    connect(HawlingStart, &QPushButton::clicked, this, &TopWind::HawlingStart_Click);
    col->addSpacing(10);
    col->addWidget(HawlingStart, 0, Qt::AlignLeft);
    col->addStretch(1);
    buildPageFoot(page, 2);
}

void TopWind::SpeakerListMake() {
    // The chooser fills itself when it is made, and each start of editing
    // runs this again: before either list exists (at start-up) there is
    // nothing to fill, and the folder is not read.
    if (!spSelectWind.made() && !mainWind.made())
        return;
    const QList<SpeakerEntry> speakers = SpeakerFiles(app_.codePage, app_.AppPath);
    if (spSelectWind.made())
        FillSpeakerList(spSelectWind->SpeakerList, speakers);
    if (mainWind.made())
        mainWind->SpeakerListFill(speakers);
}

void TopWind::SpeakerName_Click(int k) {
    SPSelectWind& chooser = *spSelectWind;
    SetBack(SpeakerName[k], ChoosingBack);
    chooser.LineName->setText(NameTextSP[k]->text());
    const QPoint at = SpeakerName[0]->mapToGlobal(QPoint(SpeakerName[0]->width(), 0));
    MoveFrameTo(&chooser, at);

    QString& stored = app_.data.BankData[app_.data.CurBank].SpkNameStr[k];
    const QString wanted = stored.startsWith(QLatin1Char('*')) ? stored.mid(1) : stored;
    const QList<QListWidgetItem*> found = chooser.SpeakerList->findItems(wanted, Qt::MatchExactly);
    // A speaker whose file has gone is no longer this output's speaker.
    if (!wanted.isEmpty() && found.isEmpty())
        stored.clear();
    chooser.SpeakerList->clearSelection();
    if (!found.isEmpty())
        chooser.SpeakerList->setCurrentItem(found.first(), QItemSelectionModel::ClearAndSelect);
    chooser.NoSelect->setChecked(false);
    chooser.exec();
    SetBack(SpeakerName[k], SpeakerBack);

    if (chooser.NoSelect->isChecked()) {
        SpeakerName[k]->setText(NoSpeaker);
        stored.clear();
        return;
    }
    // The selection, not the current row: the list makes its first row
    // current when it takes the focus, chosen or not.
    const QList<QListWidgetItem*> chosen = chooser.SpeakerList->selectedItems();
    if (chosen.isEmpty())
        return;
    QListWidgetItem* item = chosen.first();
    TopTab->setEnabled(false);
    SpChgMes[k]->hide();
    SpeakerName[k]->setText(item->text());
    for (BankRec& r : app_.data.BankData)
        r.SpkNameStr[k] = item->text();
    // OUT 1 and OUT 2 are A & B pairs of blocks; OUT 3 and 4 one block each.
    const QString file = item->data(Qt::UserRole).toString();
    if (k < 2) {
        app_.send->SpeakerEQLoad(file, 2 * k);
        app_.send->SpeakerEQLoad(file, 2 * k + 1);
    } else {
        app_.send->SpeakerEQLoad(file, k + 2);
    }
    app_.send->SendSpeakerName(k);
    TopTab->setEnabled(true);
}

void TopWind::DispSpeakerName() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int k = 0; k < 4; ++k) {
        const QString& name = r.SpkNameStr[k];
        SpeakerName[k]->setText(name.isEmpty() ? NoSpeaker : name);
        SpChgMes[k]->setVisible(name.startsWith(QLatin1Char('*')));
    }
}

void TopWind::MicOption_Click(int i) {
    if (app_.DispBusy != 0)
        return;
    setEnabled(false);
    app_.send->SetInEQPreset(i);
    setEnabled(true);
}

void TopWind::Label12_Click(int i) {
    MicOption[i]->setChecked(true);
    MicOption_Click(i);
}

void TopWind::OnsituBtn_Click() { TopTab->setCurrentIndex(3); }

void TopWind::HawlingOption_Click() {
    const bool on = HawlingOption[0]->isChecked();
    Label11[0]->setText(on ? QStringLiteral("有効　ハウリングを制御します")
                           : QStringLiteral("無効　ハウリングサプレッサーは働きません"));
    HawlingStart->setEnabled(on);
    BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int c = 0; c < 6; ++c)
        r.In[c].HSOn = on ? 1 : 0;
    for (int c = 0; c < 6; ++c)
        app_.send->SendInputHowling(c);
}

void TopWind::Label11_Click() { HawlingOption[0]->toggle(); }

void TopWind::HawlingStart_Click() {
    if (!app_.link.OnLine)
        return;
    hawlingWind->Measure({true, true, true, true, true, true},
                         [](int n) { return QStringLiteral("MONO %1 を測定しています").arg(n); });
}

QList<QWidget*> TopWind::NameControls() {
    QList<QWidget*> all;
    for (QWidget* w : NameText)
        all << w;
    for (QWidget* w : NameTextSP)
        all << w;
    for (QWidget* w : SpeakerName)
        all << w;
    for (QWidget* w : SystemText)
        all << w;
    if (spSelectWind.made())
        all << spSelectWind->SpeakerList << spSelectWind->LineName;
    return all;
}
