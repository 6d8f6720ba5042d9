#pragma once

#include "platform/MsgBox.h"

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Every message box and file dialog of the program goes through the two
// functions below, so that a test can answer them and see exactly what the
// user would have seen.

MsgResult ShowMessage(QWidget* parent, const MsgBox& box);

struct FileDialogSpec {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString folder;
    QString fileName;
    // In the order of the original filter lists, e.g. "Venue file (*.vnf)".
    QStringList filters;
    // Without a dot, e.g. "vnf": added to a typed name that has none before
    // the dialog asks whether to replace an existing file.
    QString defaultSuffix;
    bool confirmOverwrite = false;
};

// The chosen path, or an empty text when the user cancelled.
QString ShowFileDialog(QWidget* parent, const FileDialogSpec& spec);

// Test hooks: while set, these answer in place of the real dialogs.
using MessageHandler = std::function<MsgResult(const MsgBox&)>;
using FileDialogHandler = std::function<QString(const FileDialogSpec&)>;
void SetMessageHandler(MessageHandler handler);
void SetFileDialogHandler(FileDialogHandler handler);
