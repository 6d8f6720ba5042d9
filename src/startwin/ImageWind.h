#pragma once

#include <QCache>
#include <QHashFunctions>
#include <QPixmap>
#include <QSize>

class QLabel;
class QAbstractButton;

// The program's picture store. Every button face, lamp, fader mark and meter
// is drawn here in code, by name, at the exact size and pixel ratio of the
// control that shows it, so pictures stay sharp however a window is stretched.
// Drawn pictures are kept, so repeated requests are cheap and share pixels.
class ImageWind {
public:
    enum class Pic {
        SwOn, SwOff, RedBar, BigSwOff, BigBar, Silver86, Fpos, FLPos, LeftScale, BlockMeter, Meter
    };
    static constexpr int BlockMeterCount = 7, MeterCount = 14;

    ImageWind();
    ImageWind(const ImageWind&) = delete;
    ImageWind& operator=(const ImageWind&) = delete;

    // Number of pictures under one name: 7 for BlockMeter, 14 for Meter, 1 otherwise.
    static int IndexCount(Pic pic);
    // Any index into 0..IndexCount(pic)-1.
    static int ClampIndex(Pic pic, int index);

    // The picture's natural size in logical pixels (index for BlockMeter 0..6 and Meter 0..13; 0 otherwise).
    QSize NaturalSize(Pic pic, int index = 0) const;
    // The picture drawn for a target of `logical` size at device pixel ratio `dpr`.
    // An empty size means the natural size. Meters run along the target's longer side.
    QPixmap Picture(Pic pic, int index, QSize logical, qreal dpr) const;
    // Natural size at the primary screen's device pixel ratio (1.0 without a screen).
    QPixmap Picture(Pic pic, int index = 0) const;
    // Sets dst's pixmap to the picture drawn at dst's size and pixel ratio.
    void PictureCopy(Pic pic, int index, QLabel* dst) const;
    // Sets dst's icon to the picture drawn at dst's size and pixel ratio.
    void PictureCopy(Pic pic, int index, QAbstractButton* dst) const;

    // Drops every kept picture (after a screen change, say).
    void Forget() const { cache_.clear(); }

private:
    struct Key {
        int pic, index, width, height, dprPercent;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& k, size_t seed = 0) noexcept {
            return qHashMulti(seed, k.pic, k.index, k.width, k.height, k.dprPercent);
        }
    };
    mutable QCache<Key, QPixmap> cache_;
};
