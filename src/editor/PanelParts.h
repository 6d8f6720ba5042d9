#pragma once

#include "startwin/ImageWind.h"

#include <QHBoxLayout>
#include <QSize>
#include <QSpinBox>
#include <functional>

class PicButton;
class QFrame;
class QLabel;
class QString;
class QVBoxLayout;
class QWidget;

// An up-down: two arrows that step a value inside a range, with no text of
// its own, so that the value label beside it is the only figure shown.
class UpDown : public QSpinBox {
public:
    UpDown(int min, int max, QWidget* parent, QSize size = {16, 22});

protected:
    QString textFromValue(int) const override { return {}; }
};

// A row in which the widgets added with a stretch share the room that the
// others and the spacing leave equally, to the pixel, so that a text fits
// in all of them or in none; the odd pixels stay at the row's end.
class EvenRow : public QHBoxLayout {
public:
    using QHBoxLayout::QHBoxLayout;
    void setGeometry(const QRect& rect) override;
};

// Small building blocks shared by the editor's pages, so that every page
// draws its keys, name strips and panels alike.
namespace panel {

// Strip keys: on/off picture buttons of the channel strips and grids.
inline constexpr QSize KeySize{64, 22};
// Name strips: the labels that show a user's channel name.
inline constexpr int NameHeight = 20;

// A picture button of the store with a caption, at a fixed size.
PicButton* Key(const ImageWind& store, const QString& caption, QWidget* parent, QSize size = KeySize);

// A dialog's "CLOSE" key with its tip.
PicButton* CloseKey(const ImageWind& store, QWidget* parent, QSize size = KeySize);

// A label styled as the writable strip of a console: light, framed, centred.
QLabel* NameStrip(QWidget* parent, int width);
// A framed, centred value box on the back colour bgr (&HBBGGRR).
QLabel* BoxLabel(QWidget* parent, QSize size, unsigned bgr);

// A small caption printed on the panel.
QLabel* Legend(const QString& text, QWidget* parent);

// A dialog's heading: the port label (hidden until the opener shows it)
// beside the strip with the port's name.
QHBoxLayout* PortHead(QWidget* face, int nameWidth, QLabel*& lineCH, QLabel*& lineName);

// A sunken area of the panel that groups controls.
QFrame* Panel(QWidget* parent);

// The page's own layout, holding what fills the page.
QVBoxLayout* PageLayout(QWidget* page);

// A container that holds a page's controls and is locked as a whole.
QFrame* LockPanelOn(QWidget* page);

// A meter picture box of fixed size.
QLabel* MeterBox(QWidget* parent, QSize size);

// Fills a widget's background with a colour given as 0xBBGGRR.
void SetBackColor(QWidget* w, unsigned bgr);

// Runs f when w is clicked (the left button pressed and let go on it) while
// it is enabled, so that a plain label can be a control as on the panel.
void OnClick(QWidget* w, std::function<void()> f);

// Runs f when w loses the focus, as a pop-up list that closes then.
void OnFocusOut(QWidget* w, std::function<void()> f);

} // namespace panel
