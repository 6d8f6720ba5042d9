#pragma once

#include "startwin/ImageWind.h"

#include <QAbstractButton>
#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QMargins>
#include <QWidget>

class QVBoxLayout;

// Colours as the panel's texts give them: 0xBBGGRR.
constexpr QRgb VbColor(unsigned bgr) {
    return qRgb(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

inline constexpr unsigned LampOff = 0xC0C0C0;
inline constexpr unsigned LampGreen = 0x00FF00;
inline constexpr unsigned LampRed = 0x0000FF;
inline constexpr unsigned LampGrey = 0x808080;

// A round lamp whose fill colour tells a state.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);
    void setFillColor(unsigned bgr);
    unsigned fillColor() const { return color_; }
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    unsigned color_ = LampOff;
};

// A box that shows one picture of the picture store, stretched to its size;
// children placed on it sit on the picture.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const ImageWind& store, QWidget* parent = nullptr);
    void setPicture(ImageWind::Pic pic, int index = 0);
    void clearPicture();
    bool hasPicture() const { return hasPicture_; }
    ImageWind::Pic picture() const { return pic_; }
    int pictureIndex() const { return index_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const ImageWind& store_;
    ImageWind::Pic pic_ = ImageWind::Pic::Silver86;
    int index_ = 0;
    bool hasPicture_ = false;
};

// A label that shows a name a user gave or a file brought. However long the
// name, it asks its layout for no more room than an empty label, so that no
// name can widen its window; a name wider than the label ends in "…".
// text() stays the whole name.
class NameLabel : public QLabel {
    Q_OBJECT
public:
    explicit NameLabel(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// f at factor times its point size, bold or not.
QFont Scaled(QFont f, double factor, bool bold = false);

// A fixed-size dialog on a metal face: a Silver86 picture box filling it,
// with a vertical layout (column()) for the dialog's controls, which take
// face_ as their parent. Form_Activate runs each time it is shown; it opens
// wholly on the screen, wherever it was placed.
class FaceDialog : public QDialog {
    Q_OBJECT
public:
    // The metal face, or a plain background.
    void SetPicture(bool on);
    bool HasPicture() const;

    virtual void Form_Activate() = 0;

protected:
    FaceDialog(const ImageWind& store, const QMargins& margins, int spacing, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    QVBoxLayout* column() const;

    PictureBox* face_ = nullptr;
};

// A button drawn with a picture of the store and its caption over it. Its
// on/off state is kept in Tag as "0" or "1", as the panel's handlers read it.
class PicButton : public QAbstractButton {
    Q_OBJECT
public:
    PicButton(const ImageWind& store, const QString& caption = {}, QWidget* parent = nullptr);
    void setPicture(ImageWind::Pic pic);
    // The button without a picture shows its tint as a plain back colour;
    // picture() still names the last picture set.
    void clearPicture();
    bool hasPicture() const { return hasPicture_; }
    ImageWind::Pic picture() const { return pic_; }
    QString Tag = QStringLiteral("0");
    QSize sizeHint() const override;
    // A colour laid over the picture (the mark of a button whose pop-up is
    // open); an invalid colour shows the picture alone.
    void setTint(const QColor& tint);
    QColor tint() const { return tint_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const ImageWind& store_;
    ImageWind::Pic pic_ = ImageWind::Pic::SwOff;
    bool hasPicture_ = true;
    QColor tint_;
};
