#include "startwin/Widgets.h"

#include "platform/OnScreen.h"

#include <QPainter>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

Lamp::Lamp(QWidget* parent) : QWidget(parent) { setFixedSize(sizeHint()); }

void Lamp::setFillColor(unsigned bgr) {
    if (color_ == bgr)
        return;
    color_ = bgr;
    update();
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const QColor fill = QColor::fromRgb(VbColor(color_));
    QRadialGradient glow(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() * 0.7);
    glow.setColorAt(0, fill.lighter(150));
    glow.setColorAt(1, fill.darker(115));
    p.setBrush(glow);
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.drawEllipse(r);
}

PictureBox::PictureBox(const ImageWind& store, QWidget* parent) : QWidget(parent), store_(store) {}

void PictureBox::setPicture(ImageWind::Pic pic, int index) {
    pic_ = pic;
    index_ = index;
    hasPicture_ = true;
    update();
}

void PictureBox::clearPicture() {
    hasPicture_ = false;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (!hasPicture_ || width() <= 0 || height() <= 0)
        return;
    QPainter p(this);
    p.drawPixmap(rect(), store_.Picture(pic_, index_, size(), devicePixelRatioF()));
}

PicButton::PicButton(const ImageWind& store, const QString& caption, QWidget* parent)
    : QAbstractButton(parent), store_(store) {
    setText(caption);
    setCursor(Qt::PointingHandCursor);
}

void PicButton::setPicture(ImageWind::Pic pic) {
    pic_ = pic;
    hasPicture_ = true;
    update();
}

void PicButton::clearPicture() {
    hasPicture_ = false;
    update();
}

QSize PicButton::sizeHint() const { return store_.NaturalSize(pic_); }

void PicButton::setTint(const QColor& tint) {
    tint_ = tint;
    update();
}

void PicButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (hasPicture_)
        p.drawPixmap(rect(), store_.Picture(pic_, 0, size(), devicePixelRatioF()));
    if (tint_.isValid()) {
        QColor back = tint_;
        if (hasPicture_)
            back.setAlpha(150);
        p.fillRect(rect(), back);
    }
    if (isDown())
        p.fillRect(rect(), QColor(0, 0, 0, 40));
    if (!isEnabled())
        p.fillRect(rect(), QColor(255, 255, 255, 110));
    if (hasFocus()) {
        p.setPen(QPen(QColor(30, 90, 200), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(2, 2, -3, -3));
    }
    p.setPen(isEnabled() ? QColor(20, 20, 20) : QColor(120, 120, 120));
    p.drawText(rect(), Qt::AlignCenter, text());
}

QFont Scaled(QFont f, double factor, bool bold) {
    f.setPointSizeF(f.pointSizeF() * factor);
    f.setBold(bold);
    return f;
}

FaceDialog::FaceDialog(const ImageWind& store, const QMargins& margins, int spacing, QWidget* parent)
    : QDialog(parent) {
    setProperty("qdrForm", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    face_ = new PictureBox(store, this);
    face_->setPicture(ImageWind::Pic::Silver86);
    outer->addWidget(face_);
    auto* col = new QVBoxLayout(face_);
    col->setContentsMargins(margins);
    col->setSpacing(spacing);
}

QVBoxLayout* FaceDialog::column() const { return static_cast<QVBoxLayout*>(face_->layout()); }

void FaceDialog::SetPicture(bool on) {
    if (on)
        face_->setPicture(ImageWind::Pic::Silver86);
    else
        face_->clearPicture();
}

bool FaceDialog::HasPicture() const { return face_->hasPicture(); }

void FaceDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Qt centres a dialog over its parent at each show until the program
    // places it; being kept on the screen does not end that.
    const bool placed = testAttribute(Qt::WA_Moved);
    KeepOnScreen(this);
    setAttribute(Qt::WA_Moved, placed);
    Form_Activate();
}

NameLabel::NameLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

QSize NameLabel::minimumSizeHint() const {
    // One line of the font inside the frame and margins, and no text width.
    const QMargins m = contentsMargins();
    const int pad = 2 * margin();
    return {m.left() + m.right() + pad, fontMetrics().height() + m.top() + m.bottom() + pad};
}

QSize NameLabel::sizeHint() const {
    return minimumSizeHint();
}

void NameLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QRect room = contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin()));
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    // A framed label keeps its text off the frame by half an x, as QLabel does.
    const int inset = indent() >= 0      ? indent()
                      : frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2
                                         : 0;
    if (align & Qt::AlignLeft)
        room.setLeft(room.left() + inset);
    else if (align & Qt::AlignRight)
        room.setRight(room.right() - inset);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width(), Qt::TextSingleLine);
    QPainter p(this);
    style()->drawItemText(&p, room, int(align) | Qt::TextSingleLine, palette(), isEnabled(), shown,
                          foregroundRole());
}
