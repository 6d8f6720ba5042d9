#include "editor/PopupPlace.h"

#include "platform/OnScreen.h"
#include "startwin/Widgets.h"

#include <QDialog>
#include <optional>

namespace popup {

void PlaceBeside(QWidget* popup, const QWidget* control) {
    popup->adjustSize();
    MoveFrameTo(popup, control->mapToGlobal(QPoint(control->width() + Gap, 0)));
}

OpenerHighlight::OpenerHighlight(QWidget* opener) : opener_(opener) {
    if (!opener) return;
    const QColor open = QColor::fromRgb(VbColor(OpenColor));
    // A picture button's picture covers its background: it is washed over.
    if (auto* pic = qobject_cast<PicButton*>(opener)) {
        pic->setTint(open);
        return;
    }
    palette_ = opener->palette();
    autoFill_ = opener->autoFillBackground();
    QPalette pal = palette_;
    pal.setColor(QPalette::Window, open);
    pal.setColor(QPalette::Button, open);
    opener->setPalette(pal);
    opener->setAutoFillBackground(true);
}

OpenerHighlight::~OpenerHighlight() {
    if (!opener_) return;
    if (auto* pic = qobject_cast<PicButton*>(opener_.data())) {
        pic->setTint({});
        return;
    }
    opener_->setPalette(palette_);
    opener_->setAutoFillBackground(autoFill_);
}

int ExecBeside(QDialog& popup, QWidget* opener, bool highlight) {
    if (opener) PlaceBeside(&popup, opener);
    std::optional<OpenerHighlight> mark;
    if (highlight) mark.emplace(opener);
    return popup.exec();
}

} // namespace popup
