#include "editor/PanelParts.h"

#include "startwin/Widgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The text colour of a usable control; a disabled one keeps the style's
// greyed text.
void SetTextColor(QPalette& pal, const QColor& c) {
    pal.setColor(QPalette::Active, QPalette::WindowText, c);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, c);
}

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* w, std::function<void()> f) : QObject(w), f_(std::move(f)) {}

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonRelease)
            return false;
        const auto* me = static_cast<QMouseEvent*>(e);
        // Let go off the control, the press is taken back. A locked control
        // still gets the mouse here, before the widget would refuse it.
        const auto* w = static_cast<QWidget*>(o);
        if (me->button() != Qt::LeftButton || !w->isEnabled() ||
            !w->rect().contains(me->position().toPoint()))
            return false;
        f_();
        return true;
    }

private:
    std::function<void()> f_;
};

class FocusOutFilter : public QObject {
public:
    FocusOutFilter(QWidget* w, std::function<void()> f) : QObject(w), f_(std::move(f)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusOut)
            f_();
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void()> f_;
};

// Styles l as a framed, centred box of the given size and back colour.
QLabel* Boxed(QLabel* l, QSize size, unsigned bgr) {
    l->setFixedSize(size);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Box);
    QPalette pal = l->palette();
    SetTextColor(pal, QColor(0x1C, 0x20, 0x26));
    pal.setColor(QPalette::Light, QColor(0x7D, 0x85, 0x90));
    pal.setColor(QPalette::Dark, QColor(0x7D, 0x85, 0x90));
    l->setPalette(pal);
    panel::SetBackColor(l, bgr);
    return l;
}

} // namespace

void EvenRow::setGeometry(const QRect& rect) {
    QHBoxLayout::setGeometry(rect);
    const QRect room = rect.marginsRemoved(contentsMargins());
    int fixed = 0, shared = 0, shown = 0;
    for (int i = 0; i < count(); ++i) {
        if (itemAt(i)->isEmpty())
            continue;
        ++shown;
        if (stretch(i) > 0)
            ++shared;
        else
            fixed += itemAt(i)->geometry().width();
    }
    if (shared == 0)
        return;
    const int gap = std::max(spacing(), 0);
    const int share = std::max((room.width() - fixed - gap * (shown - 1)) / shared, 0);
    int x = room.left();
    for (int i = 0; i < count(); ++i) {
        QLayoutItem* item = itemAt(i);
        if (item->isEmpty())
            continue;
        QRect g = item->geometry();
        g.moveLeft(x);
        if (stretch(i) > 0)
            g.setWidth(share);
        item->setGeometry(g);
        x += g.width() + gap;
    }
}

UpDown::UpDown(int min, int max, QWidget* parent, QSize size) : QSpinBox(parent) {
    setRange(min, max);
    setFixedSize(size);
}

namespace panel {

PicButton* Key(const ImageWind& store, const QString& caption, QWidget* parent, QSize size) {
    auto* b = new PicButton(store, caption, parent);
    b->setFixedSize(size);
    return b;
}

PicButton* CloseKey(const ImageWind& store, QWidget* parent, QSize size) {
    PicButton* b = Key(store, QStringLiteral("CLOSE"), parent, size);
    b->setToolTip(QStringLiteral("Close the window."));
    return b;
}

QLabel* BoxLabel(QWidget* parent, QSize size, unsigned bgr) {
    return Boxed(new QLabel(parent), size, bgr);
}

QLabel* NameStrip(QWidget* parent, int width) {
    return Boxed(new NameLabel(parent), {width, NameHeight}, 0xF6FBFB);
}

QLabel* Legend(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    QPalette pal = l->palette();
    SetTextColor(pal, QColor(0x2E, 0x34, 0x3C));
    l->setPalette(pal);
    return l;
}

QHBoxLayout* PortHead(QWidget* face, int nameWidth, QLabel*& lineCH, QLabel*& lineName) {
    lineCH = Legend(QString(), face);
    lineCH->setFont(Scaled(lineCH->font(), 1.15, true));
    lineCH->hide();
    lineName = NameStrip(face, nameWidth);
    auto* head = new QHBoxLayout;
    head->setSpacing(10);
    head->addWidget(lineCH);
    head->addWidget(lineName);
    head->addStretch(1);
    return head;
}

QFrame* Panel(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Sunken);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, QColor(0xDC, 0xE0, 0xE5));
    f->setPalette(pal);
    f->setAutoFillBackground(true);
    return f;
}

void SetBackColor(QWidget* w, unsigned bgr) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(VbColor(bgr)));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QVBoxLayout* PageLayout(QWidget* page) {
    auto* col = new QVBoxLayout(page);
    col->setContentsMargins(10, 10, 10, 10);
    col->setSpacing(8);
    return col;
}

QFrame* LockPanelOn(QWidget* page) {
    auto* f = new QFrame(page);
    f->setFrameShape(QFrame::Box);
    PageLayout(page)->addWidget(f);
    return f;
}

QLabel* MeterBox(QWidget* parent, QSize size) {
    auto* l = new QLabel(parent);
    l->setFixedSize(size);
    return l;
}

void OnClick(QWidget* w, std::function<void()> f) {
    w->installEventFilter(new ClickFilter(w, std::move(f)));
    w->setCursor(Qt::PointingHandCursor);
}

void OnFocusOut(QWidget* w, std::function<void()> f) { w->installEventFilter(new FocusOutFilter(w, std::move(f))); }

} // namespace panel
