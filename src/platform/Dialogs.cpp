#include "platform/Dialogs.h"

#include "platform/OnScreen.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

namespace {

MessageHandler& messageHook() {
    static MessageHandler hook;
    return hook;
}

FileDialogHandler& fileHook() {
    static FileDialogHandler hook;
    return hook;
}

// Each answer and the standard button that stands for it.
constexpr std::pair<MsgResult, QMessageBox::StandardButton> Answers[] = {
    {MsgResult::Ok, QMessageBox::Ok},           {MsgResult::Cancel, QMessageBox::Cancel},
    {MsgResult::Yes, QMessageBox::Yes},         {MsgResult::No, QMessageBox::No},
    {MsgResult::TryAgain, QMessageBox::Retry}, {MsgResult::Continue, QMessageBox::Ignore}};

QMessageBox::StandardButton ToStandard(MsgResult r) {
    for (auto [result, button] : Answers)
        if (result == r)
            return button;
    return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToButtons(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::CancelTryContinue:
        return QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

// A standard dialog that opens wholly on the screen: Qt centres it over its
// parent, which may stand near an edge.
template <class Dialog>
class OnScreen : public Dialog {
public:
    using Dialog::Dialog;

protected:
    void showEvent(QShowEvent* event) override {
        Dialog::showEvent(event);
        if (!event->spontaneous())
            KeepOnScreen(this);
    }
};

} // namespace

void SetMessageHandler(MessageHandler handler) { messageHook() = std::move(handler); }
void SetFileDialogHandler(FileDialogHandler handler) { fileHook() = std::move(handler); }

MsgResult ShowMessage(QWidget* parent, const MsgBox& box) {
    if (messageHook())
        return messageHook()(box);
    OnScreen<QMessageBox> mb(ToIcon(box.icon), box.title, box.text, ToButtons(box.buttons), parent);
    mb.setDefaultButton(ToStandard(box.defaultButton));
    if (box.buttons == MsgButtons::CancelTryContinue) {
        mb.button(QMessageBox::Retry)->setText(QStringLiteral("Try Again"));
        mb.button(QMessageBox::Ignore)->setText(QStringLiteral("Continue"));
    }
    const int chosen = mb.exec();
    for (auto [result, button] : Answers)
        if (button == chosen)
            return result;
    // Escape or the close box on a box without Cancel answers like its only
    // button would.
    return box.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

QString ShowFileDialog(QWidget* parent, const FileDialogSpec& spec) {
    if (fileHook())
        return fileHook()(spec);
    OnScreen<QFileDialog> dlg(parent, spec.title, spec.folder, spec.filters.join(QStringLiteral(";;")));
    dlg.setAcceptMode(spec.mode == FileDialogSpec::Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(spec.mode == FileDialogSpec::Mode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setDefaultSuffix(spec.defaultSuffix);
    if (!spec.confirmOverwrite)
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!spec.fileName.isEmpty())
        dlg.selectFile(spec.fileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}
