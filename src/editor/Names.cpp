// The names a user gives the venue, the channels, the external outputs and
// the memory to store: their dialogs and the captions that show them.

#include "editor/MainWind.h"

#include "data/VenueFile.h"
#include "editor/BalWind.h"
#include "editor/DelayWind.h"
#include "editor/InEQWind.h"
#include "editor/InFaderWind.h"
#include "editor/InTrimWind.h"
#include "editor/PanelParts.h"
#include "startwin/App.h"
#include "startwin/InputWind.h"
#include "startwin/TopWind.h"

#include <QLabel>
#include <QListWidget>

namespace {

// Limits of the names in bytes of the code page.
constexpr int ChannelNameBytes = 10;
constexpr int LongNameBytes = 20;

const QString Caution = QStringLiteral("CAUTION");
const QString ForbiddenCharsText =
    QStringLiteral("You cannot use prohibition character '\"','*','/',':','<','>','?','￥','｜' and '.'.\r\n"
                   "Please correct it.");

// A channel name belongs to the venue, not to one memory: every record
// holds the same, so that a recall does not bring an old name back.
template <class Set> void ForAllRecords(ParamData& d, Set set) {
    for (BankRec& r : d.BankData)
        set(r);
}

QString PortPrompt(const QLabel* strip) {
    return QStringLiteral("Enter the Port Name for ") + strip->property("Tag").toString();
}

} // namespace

void MainWind::connectNameClicks() {
    panel::OnClick(SystemName, [this] { SystemName_Click(); });
    panel::OnClick(PatternName, [this] { PatternName_Click(); });
    // An input is renamed from its name on the BLOCK page or at its matrix row.
    for (int c = 0; c < static_cast<int>(InLineName.size()); ++c) {
        panel::OnClick(InLineName[c], [this, c] { InLineName_Click(c); });
        panel::OnClick(MixInName[c], [this, c] { InLineName_Click(c); });
    }
    for (int k = 0; k < static_cast<int>(OutLineName.size()); ++k)
        panel::OnClick(OutLineName[k], [this, k] { OutLineName_Click(k); });
    for (int k = 0; k < static_cast<int>(ExtOutName.size()); ++k)
        panel::OnClick(ExtOutName[k], [this, k] { ExtOutName_Click(k); });
}

QString MainWind::askName(const QString& title, const QString& prompt, const QString& text, int maxBytes) {
    return top_.InputWindObj->InputWindShow(title, prompt, text, maxBytes);
}

// The venue name becomes a file name, so the characters a file name cannot
// hold are refused; the other names are taken as typed.
void MainWind::SystemName_Click() {
    const QString name = askName(QStringLiteral("Venue Name"), QStringLiteral("Enter Venue Name."),
                                 SystemName->text(), LongNameBytes);
    if (!NameCheck(name)) {
        ShowMessage({ForbiddenCharsText, Caution, MsgButtons::Ok, MsgIcon::Exclamation, MsgResult::Ok});
        return;
    }
    app_.data.VenueName = name;
    DispSystemName();
    app_.send->SendSystemName();
}

void MainWind::InLineName_Click(int index) {
    const QString name = askName(QStringLiteral("Input Port Name"), PortPrompt(InLineName[index]),
                                 InLineName[index]->text(), ChannelNameBytes);
    showInputName(index, name);
    ForAllRecords(app_.data, [&](BankRec& r) { r.InNameStr[index] = name; });
    app_.send->SendInputName(index);
}

void MainWind::OutLineName_Click(int index) {
    const bool recOut = index == 4;
    // REC OUT is output name 6: 4 and 5 are not used.
    const int o = recOut ? 6 : index;
    const QString name =
        askName(recOut ? QStringLiteral("REC OUT Port Name") : QStringLiteral("Output Port Name"),
                PortPrompt(OutLineName[index]), OutLineName[index]->text(), ChannelNameBytes);
    ForAllRecords(app_.data, [&](BankRec& r) { r.OutNameStr[o] = name; });
    showOutputName(index, name);
    if (index == OutSel)
        OEQName->setText(app_.data.BankData[app_.data.CurBank].OutNameStr[index]);
    app_.send->SendOutputName(o);
}

void MainWind::ExtOutName_Click(int index) {
    const QString name =
        askName(QStringLiteral("Name of GPI OUT"), QStringLiteral("Enter name of GPI OUT(%1)").arg(index + 1),
                ExtOutName[index]->text(), ChannelNameBytes);
    ExtOutName[index]->setText(name);
    ForAllRecords(app_.data, [&](BankRec& r) { r.ExtOutNameStr[index] = name; });
    app_.send->SendExtOutName(index);
}

// Only the caption changes: the name is stored with the memory and sent
// when the memory is stored.
void MainWind::PatternName_Click() {
    PatternName->setText(askName(QStringLiteral("Memory Name"), QStringLiteral("Enter Memory Name."),
                                 PatternName->text(), LongNameBytes));
}

void MainWind::showInputName(int c, const QString& name) {
    InLineName[c]->setText(name);
    if (c < static_cast<int>(InName.size()))
        InName[c]->setText(name);
    MixInName[c]->setText(name);
    if (c < 6) {
        SHName[c]->setText(name);
        SAName[c]->setText(name);
    } else {
        SMName[c - 6]->setText(name);
    }
    if (c >= 10)
        SupMrName2[c - 10]->setText(name);
    top_.NameText[c]->setText(name);
}

void MainWind::showOutputName(int index, const QString& name) {
    OutLineName[index]->setText(name);
    MixOutName[index]->setText(name);
    if (index < static_cast<int>(OutName.size()))
        OutName[index]->setText(name);
    if (index < static_cast<int>(SupOutName2.size()))
        SupOutName2[index]->setText(name);
    // The start window's index 4 is OUT 4; REC OUT is its last box.
    top_.NameText[index == 4 ? 16 : 12 + index]->setText(name);
    if (index < 4)
        top_.NameTextSP[index]->setText(name);
}

void MainWind::DispChannelName() {
    const BankRec& r = app_.data.BankData[app_.data.CurBank];
    for (int c = 0; c < static_cast<int>(r.InNameStr.size()); ++c)
        showInputName(c, r.InNameStr[c]);
    for (int o = 0; o < static_cast<int>(OutName.size()); ++o)
        showOutputName(o, r.OutNameStr[o]);
    showOutputName(4, r.OutNameStr[6]);
    for (int k = 0; k < static_cast<int>(ExtOutName.size()); ++k)
        ExtOutName[k]->setText(r.ExtOutNameStr[k]);
}

QList<QWidget*> MainWind::NameControls() {
    QList<QWidget*> all{SystemName, PatternName};
    const auto add = [&all](const auto& controls) {
        for (QWidget* w : controls)
            all << w;
    };
    add(InLineName);
    add(OutLineName);
    add(InName);
    add(MixInName);
    add(MixOutName);
    add(OutName);
    all << OEQName << OutEQList;
    add(SAName);
    add(SMName);
    add(SHName);
    add(SupMrName2);
    add(SupOutName2);
    add(ExtOutName);
    add(PatternNameLabel);
    add(PatternLabel);
    add(SMemPattern);
    all << SMemList;
    add(ExInput);
    all << ExInputList;
    if (trimWind_)
        all << trimWind_->LineName;
    if (inFaderWind_)
        all << inFaderWind_->LineName;
    if (inEQWind_)
        all << inEQWind_->LineName;
    if (balWind_)
        all << balWind_->LineName;
    if (delayWind_)
        all << delayWind_->LineName;
    if (dialogs.eqCopyWind1.made())
        add(dialogs.eqCopyWind1->MonoName);
    if (dialogs.eqCopyWind2.made())
        add(dialogs.eqCopyWind2->MonoName);
    return all;
}
