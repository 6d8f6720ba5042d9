#pragma once

#include <QPalette>
#include <QPointer>
#include <QWidget>

class QDialog;

// How the editor's pop-up dialogs sit beside what opened them.
namespace popup {

// The gap between a control's right edge and its pop-up.
inline constexpr int Gap = 2;
// The colour (0xBBGGRR) of an opener while its pop-up is open.
inline constexpr unsigned OpenColor = 0xC0C0FF;

// Moves the pop-up beside the control: level with its top, just right of
// its right edge, in screen coordinates. A pop-up that would leave the
// screen is pulled back onto it as it shows (FaceDialog).
void PlaceBeside(QWidget* popup, const QWidget* control);

// Marks the opener of a pop-up for as long as this lives; the opener's own
// face comes back when it goes, even when the pop-up ends by an error.
class OpenerHighlight {
public:
    explicit OpenerHighlight(QWidget* opener);
    ~OpenerHighlight();
    OpenerHighlight(const OpenerHighlight&) = delete;
    OpenerHighlight& operator=(const OpenerHighlight&) = delete;

private:
    QPointer<QWidget> opener_;
    QPalette palette_;
    bool autoFill_ = false;
};

// Places the pop-up beside the opener, marks the opener and shows the
// pop-up modal; returns how it ended. Without highlight the opener keeps its
// face (a list opened from a caption). Without an opener the pop-up stays
// where it was.
int ExecBeside(QDialog& popup, QWidget* opener, bool highlight = true);

} // namespace popup
