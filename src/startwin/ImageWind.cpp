#include "startwin/ImageWind.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using Pic = ImageWind::Pic;

// Larger requests are a caller's mistake; refusing them keeps one bad size from
// allocating gigabytes.
constexpr int MaxSide = 4096;
constexpr int CacheKiB = 64 * 1024;

// Segmented meters light bottom-up (or left-to-right): three green, two yellow, one red.
constexpr int Segments = 6;
const QColor Green(0x35, 0xD9, 0x4A), Yellow(0xFF, 0xD4, 0x26), Red(0xFF, 0x3B, 0x2F);
const QColor SegLit[Segments] = {Green, Green, Green, Yellow, Yellow, Red};
const QColor Housing(0x1E, 0x21, 0x25);
const QColor HousingEdge(0x0B, 0x0C, 0x0E);

QColor Mix(const QColor& a, const QColor& b, qreal t) {
    auto mix = [t](float x, float y) { return float(x + (y - x) * t); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                            mix(a.alphaF(), b.alphaF()));
}

// Coordinates rounded to whole device pixels, so hairlines and segment edges
// land on pixel boundaries instead of smearing across two.
qreal Snap(qreal v, qreal dpr) { return std::round(v * dpr) / dpr; }
qreal Hairline(qreal dpr) { return std::max<qreal>(1.0, std::round(dpr)) / dpr; }

struct FaceColours {
    QColor top, mid, bottom, border;
};

// A key cap: a dark rim, a face lit from above, a thin sheen along its top edge.
// Colours are kept light enough for the button's black caption.
void DrawFace(QPainter& p, QSizeF s, qreal dpr, const FaceColours& c) {
    const qreal w = s.width(), h = s.height();
    const qreal radius = std::clamp(std::min(w, h) * 0.16, 1.5, 5.0);
    const qreal rim = Hairline(dpr);
    p.setPen(Qt::NoPen);
    p.setBrush(c.border);
    p.drawRoundedRect(QRectF(0, 0, w, h), radius, radius);

    const QRectF face(rim, rim, w - 2 * rim, h - 2 * rim);
    if (face.width() <= 0 || face.height() <= 0)
        return;
    QPainterPath facePath;
    facePath.addRoundedRect(face, std::max<qreal>(0.0, radius - rim), std::max<qreal>(0.0, radius - rim));
    QLinearGradient g(0, face.top(), 0, face.bottom());
    g.setColorAt(0.0, c.top);
    g.setColorAt(0.45, c.mid);
    g.setColorAt(1.0, c.bottom);
    p.fillPath(facePath, g);

    p.save();
    p.setClipPath(facePath);
    p.fillRect(QRectF(face.left(), face.top(), face.width(), rim), QColor(255, 255, 255, 170));
    p.fillRect(QRectF(face.left(), face.bottom() - rim, face.width(), rim), QColor(0, 0, 0, 40));
    p.restore();
}

FaceColours FaceOf(Pic pic) {
    switch (pic) {
    case Pic::SwOn: // amber, lamp-lit
        return {QColor(0xFF, 0xE6, 0xA6), QColor(0xFF, 0xC4, 0x4C), QColor(0xE8, 0x98, 0x1C),
                QColor(0x7A, 0x4E, 0x08)};
    case Pic::RedBar: // locked
        return {QColor(0xFF, 0xA0, 0x96), QColor(0xF2, 0x5C, 0x50), QColor(0xCF, 0x35, 0x2A),
                QColor(0x6E, 0x14, 0x0E)};
    case Pic::BigBar: // cool steel, tells O K and unlocked apart from plain switches
        return {QColor(0xF2, 0xF6, 0xFA), QColor(0xD6, 0xDE, 0xE7), QColor(0xB3, 0xBF, 0xCC),
                QColor(0x4A, 0x55, 0x62)};
    default: // SwOff, BigSwOff
        return {QColor(0xF8, 0xF9, 0xFA), QColor(0xE3, 0xE6, 0xEA), QColor(0xC2, 0xC7, 0xCE),
                QColor(0x5A, 0x60, 0x68)};
    }
}

// A channel value in 16.16 fixed point; truncation is close enough for grain.
int Fixed(qreal v) { return int(v * 65536); }

// Brushed aluminium: a gentle top-to-bottom fall with a soft sheen, crossed by
// fine horizontal grain. Drawn per pixel at the target size, so it never shows
// stretched grain however large the window is. The grain of a row repeats
// after RepeatKnots knots: only that much of each row is computed and the
// rest copied, as the face fills every window before its first paint.
QImage BrushedSilver(QSize device, qreal dpr) {
    constexpr int RepeatKnots = 12;
    QImage img(device, QImage::Format_RGB32);
    const int W = device.width(), H = device.height();
    constexpr qreal top[3] = {0xE9, 0xEB, 0xEE}, bottom[3] = {0xCB, 0xCF, 0xD4};
    // Sheen, row shade and grain together move a channel by less than this,
    // so no level leaves 0..255 and the pixel loop needs no clamping.
    constexpr qreal swing = 7.0 + 2.4 + 3.2;
    static_assert(0xEE + swing < 255 && 0xCB - swing > 0);
    const int knot = std::max(6, int(std::lround(26 * dpr)));
    const int period = std::min(W, RepeatKnots * knot);
    for (int y = 0; y < H; ++y) {
        // Fixed seed per row: the same size always gives the same pixels.
        uint32_t state = 0x9E3779B9u ^ (uint32_t(y + 1) * 0x85EBCA6Bu);
        auto next = [&state] { // xorshift32 -> [-1, 1]
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            return (state & 0xFFFF) / 32767.5 - 1.0;
        };
        next();
        const qreal t = H > 1 ? qreal(y) / (H - 1) : 0.0;
        const qreal sheen = 7.0 * std::exp(-std::pow((t - 0.3) / 0.25, 2));
        const qreal row = next() * 2.4 + sheen;
        qreal base[3];
        for (int c = 0; c < 3; ++c)
            base[c] = top[c] + (bottom[c] - top[c]) * t + row;
        const qreal first = next() * 3.2;
        qreal a = first, b = next() * 3.2;
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        // The grain runs from knot to knot in straight steps, walked in
        // 16.16 fixed point; the last step of a repeat leads back to its
        // first knot, so the copies join without a seam.
        for (int x0 = 0; x0 < period; x0 += knot) {
            if (x0 > 0) {
                a = b;
                b = next() * 3.2;
            }
            if (period < W && x0 + knot >= period)
                b = first;
            const int step = Fixed((b - a) / knot);
            int v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = Fixed(base[c] + a) + 32768;
            for (int x = x0, end = std::min(period, x0 + knot); x < end; ++x) {
                line[x] = 0xFF000000u | uint32_t(v[0] >> 16) << 16 | uint32_t(v[1] >> 16) << 8 | uint32_t(v[2] >> 16);
                for (int& c : v)
                    c += step;
            }
        }
        for (int x = period; x < W; x += period)
            std::copy_n(line, std::min(period, W - x), line + x);
    }
    return img;
}

// A pointer tag with its tip on the right edge, outlined so it reads on silver.
void DrawMarker(QPainter& p, QSizeF s, const QColor& light, const QColor& base, const QColor& edge) {
    const qreal w = s.width(), h = s.height();
    const qreal shoulder = std::max<qreal>(1.0, w - std::min(w * 0.45, h * 0.75));
    QPainterPath path;
    path.moveTo(0.5, 0.5);
    path.lineTo(shoulder, 0.5);
    path.lineTo(w - 0.5, h / 2);
    path.lineTo(shoulder, h - 0.5);
    path.lineTo(0.5, h - 0.5);
    path.closeSubpath();
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0.0, light);
    g.setColorAt(0.55, base);
    g.setColorAt(1.0, base.darker(118));
    p.setBrush(g);
    p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(path);
}

// The strip behind a fader's dB figures: five major ticks spaced evenly top to
// bottom (one per printed figure) with three minor ticks between, on a spine
// down the right edge; the left side stays clear for the figures.
void DrawLeftScale(QPainter& p, QSizeF s, qreal dpr) {
    const qreal w = s.width(), h = s.height();
    QLinearGradient g(0, 0, w, 0);
    g.setColorAt(0.0, QColor(0xE3, 0xE6, 0xE9));
    g.setColorAt(1.0, QColor(0xD2, 0xD6, 0xDB));
    p.fillRect(QRectF(0, 0, w, h), g);

    const qreal line = Hairline(dpr);
    const QColor ink(0x3C, 0x42, 0x4A);
    const qreal margin = std::min<qreal>(5.0, h * 0.08);
    const qreal spineX = Snap(w - std::min<qreal>(4.0, w * 0.2), dpr);
    const qreal major = std::min<qreal>(8.0, w * 0.36), minor = major * 0.5;
    const qreal spineTop = Snap(margin, dpr), spineBottom = Snap(h - margin, dpr) + line;
    p.fillRect(QRectF(spineX, spineTop, line, spineBottom - spineTop), ink);
    constexpr int Steps = 16;
    for (int i = 0; i <= Steps; ++i) {
        const qreal len = i % 4 == 0 ? major : minor;
        const qreal y = Snap(margin + (h - 2 * margin) * i / Steps, dpr);
        const qreal x = Snap(spineX - len, dpr);
        p.fillRect(QRectF(x, y, spineX - x, i % 4 == 0 ? line * (dpr < 1.5 ? 1 : 1.5) : line), ink);
    }
    // A lit edge on the left and a shadowed one on the right sink the strip into the panel.
    p.fillRect(QRectF(0, 0, line, h), QColor(255, 255, 255, 150));
    p.fillRect(QRectF(w - line, 0, line, h), QColor(0, 0, 0, 45));
}

// Six LED segments in a dark housing; they run along the longer side, from
// the bottom when upright and from the left when lying down.
void DrawSegments(QPainter& p, QSizeF s, qreal dpr, int lit) {
    const qreal w = s.width(), h = s.height();
    const bool upright = h >= w;
    const qreal along = upright ? h : w, across = upright ? w : h;
    p.setPen(Qt::NoPen);
    p.setBrush(HousingEdge);
    const qreal radius = std::min<qreal>(2.0, across * 0.2);
    p.drawRoundedRect(QRectF(0, 0, w, h), radius, radius);
    const qreal rim = Hairline(dpr);
    p.fillRect(QRectF(rim, rim, w - 2 * rim, h - 2 * rim), Housing);

    const qreal pad = Snap(std::clamp<qreal>(across * 0.12, 1.0, 2.0), dpr);
    const qreal gap = std::max(Hairline(dpr), Snap(along * 0.02, dpr));
    const qreal seg = (along - 2 * pad - (Segments - 1) * gap) / Segments;
    if (seg <= 0 || across - 2 * pad <= 0)
        return;
    for (int i = 0; i < Segments; ++i) {
        const qreal a0 = Snap(pad + i * (seg + gap), dpr), a1 = Snap(pad + i * (seg + gap) + seg, dpr);
        const qreal c0 = pad, c1 = across - pad;
        const QRectF r = upright ? QRectF(c0, h - a1, c1 - c0, a1 - a0) : QRectF(a0, c0, a1 - a0, c1 - c0);
        const QColor& colour = SegLit[i];
        if (i < lit) {
            // Brightest down the middle, like light through a diffuser.
            QLinearGradient g = upright ? QLinearGradient(r.left(), 0, r.right(), 0)
                                        : QLinearGradient(0, r.top(), 0, r.bottom());
            g.setColorAt(0.0, colour.darker(112));
            g.setColorAt(0.5, Mix(colour, Qt::white, 0.35));
            g.setColorAt(1.0, colour.darker(112));
            p.fillRect(r, g);
        } else {
            p.fillRect(r, Mix(colour, Housing, 0.84));
        }
    }
}

// The slim meter: one continuous bar in a dark groove, coloured by position
// (green, then yellow, then red), split into six steps by fine gaps.
void DrawSlimBar(QPainter& p, QSizeF s, qreal dpr, int lit) {
    const qreal w = s.width(), h = s.height();
    const bool upright = h > w;
    const qreal along = upright ? h : w, across = upright ? w : h;
    const qreal radius = across / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(HousingEdge);
    p.drawRoundedRect(QRectF(0, 0, w, h), radius, radius);
    const qreal rim = Hairline(dpr);
    const QRectF groove(rim, rim, w - 2 * rim, h - 2 * rim);
    if (groove.width() <= 0 || groove.height() <= 0)
        return;
    QPainterPath groovePath;
    groovePath.addRoundedRect(groove, radius - rim, radius - rim);
    p.fillPath(groovePath, Housing);
    if (lit <= 0)
        return;

    const qreal len = along - 2 * rim;
    const qreal end = Snap(rim + len * lit / Segments, dpr);
    QLinearGradient g = upright ? QLinearGradient(0, h - rim, 0, rim) : QLinearGradient(rim, 0, w - rim, 0);
    g.setColorAt(0.0, SegLit[0]);
    g.setColorAt(0.45, SegLit[2]);
    g.setColorAt(0.62, SegLit[3]);
    g.setColorAt(0.8, SegLit[4]);
    g.setColorAt(1.0, SegLit[5]);
    p.save();
    p.setClipPath(groovePath);
    const QRectF fill = upright ? QRectF(rim, h - end, across - 2 * rim, end - rim)
                                : QRectF(rim, rim, end - rim, across - 2 * rim);
    p.fillRect(fill, g);
    // A lighter core line keeps the thin bar looking lit rather than painted.
    const QRectF core = upright ? QRectF(w / 2 - rim / 2, fill.top(), rim, fill.height())
                                : QRectF(fill.left(), h / 2 - rim / 2, fill.width(), rim);
    p.fillRect(core, QColor(255, 255, 255, 70));
    for (int i = 1; i < lit; ++i) {
        const qreal at = Snap(rim + len * i / Segments, dpr);
        p.fillRect(upright ? QRectF(0, h - at, w, rim) : QRectF(at, 0, rim, h), Housing);
    }
    p.restore();
}

QImage Render(Pic pic, int index, QSize logical, qreal dpr) {
    const QSize device(std::max(1, int(std::lround(logical.width() * dpr))),
                       std::max(1, int(std::lround(logical.height() * dpr))));
    if (pic == Pic::Silver86) {
        QImage img = BrushedSilver(device, dpr);
        img.setDevicePixelRatio(dpr);
        return img;
    }
    QImage img(device, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    // Draw in the logical size the caller asked for, whatever rounding did to the pixels.
    const QSizeF s(device.width() / dpr, device.height() / dpr);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (pic) {
    case Pic::SwOn:
    case Pic::SwOff:
    case Pic::RedBar:
    case Pic::BigSwOff:
    case Pic::BigBar:
        DrawFace(p, s, dpr, FaceOf(pic));
        break;
    case Pic::Fpos: // the unit's own fader level
        DrawMarker(p, s, QColor(0xFF, 0xC2, 0x70), QColor(0xFF, 0x8A, 0x12), QColor(0x5A, 0x30, 0x00));
        break;
    case Pic::FLPos: // the level held in memory
        DrawMarker(p, s, QColor(0x9E, 0xE2, 0xFF), QColor(0x22, 0xA6, 0xEC), QColor(0x06, 0x32, 0x55));
        break;
    case Pic::LeftScale:
        DrawLeftScale(p, s, dpr);
        break;
    case Pic::BlockMeter:
        DrawSegments(p, s, dpr, index);
        break;
    case Pic::Meter:
        if (index >= Segments + 1)
            DrawSegments(p, s, dpr, index - (Segments + 1));
        else
            DrawSlimBar(p, s, dpr, index);
        break;
    case Pic::Silver86:
        break;
    }
    return img;
}

} // namespace

ImageWind::ImageWind() { cache_.setMaxCost(CacheKiB); }

int ImageWind::IndexCount(Pic pic) {
    switch (pic) {
    case Pic::BlockMeter:
        return BlockMeterCount;
    case Pic::Meter:
        return MeterCount;
    default:
        return 1;
    }
}

int ImageWind::ClampIndex(Pic pic, int index) { return std::clamp(index, 0, IndexCount(pic) - 1); }

QSize ImageWind::NaturalSize(Pic pic, int index) const {
    switch (pic) {
    case Pic::SwOn:
    case Pic::SwOff:
    case Pic::RedBar:
        return {64, 24};
    case Pic::BigSwOff:
    case Pic::BigBar:
        return {96, 32};
    case Pic::Silver86:
        return {86, 86};
    case Pic::Fpos:
    case Pic::FLPos:
        return {14, 9};
    case Pic::LeftScale:
        return {24, 110};
    case Pic::BlockMeter:
        return {10, 48};
    case Pic::Meter:
        return ClampIndex(pic, index) <= Segments ? QSize(40, 5) : QSize(40, 8);
    }
    return {};
}

QPixmap ImageWind::Picture(Pic pic, int index, QSize logical, qreal dpr) const {
    if (!qGuiApp) // pixmaps need a GUI application
        return {};
    index = ClampIndex(pic, index);
    if (logical.width() <= 0 || logical.height() <= 0)
        logical = NaturalSize(pic, index);
    logical = logical.boundedTo(QSize(MaxSide, MaxSide));
    if (!(dpr > 0) || !std::isfinite(dpr))
        dpr = 1.0;
    // Ratios that differ only in noise share one picture.
    const int percent = std::clamp(int(std::lround(dpr * 100)), 25, 800);
    dpr = percent / 100.0;

    const Key key{int(pic), index, logical.width(), logical.height(), percent};
    if (const QPixmap* kept = cache_.object(key))
        return *kept;
    QPixmap pm = QPixmap::fromImage(Render(pic, index, logical, dpr));
    pm.setDevicePixelRatio(dpr);
    const qint64 kib = qint64(pm.width()) * pm.height() * 4 / 1024 + 1;
    cache_.insert(key, new QPixmap(pm), kib);
    return pm;
}

QPixmap ImageWind::Picture(Pic pic, int index) const {
    qreal dpr = 1.0;
    if (qGuiApp)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            dpr = screen->devicePixelRatio();
    return Picture(pic, index, NaturalSize(pic, index), dpr);
}

void ImageWind::PictureCopy(Pic pic, int index, QLabel* dst) const {
    if (!dst)
        return;
    dst->setPixmap(Picture(pic, index, dst->size(), dst->devicePixelRatioF()));
}

void ImageWind::PictureCopy(Pic pic, int index, QAbstractButton* dst) const {
    if (!dst)
        return;
    dst->setIcon(QIcon(Picture(pic, index, dst->size(), dst->devicePixelRatioF())));
    dst->setIconSize(dst->size());
}
