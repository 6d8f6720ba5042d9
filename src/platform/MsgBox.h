#pragma once

#include <QString>

// A message box as the user sees it: text, title, buttons, icon and the
// default button. Shown through the dialog seam of the window layer.

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, CancelTryContinue };
enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgResult { Ok, Cancel, Yes, No, TryAgain, Continue };

struct MsgBox {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    MsgResult defaultButton = MsgResult::Ok;
};
