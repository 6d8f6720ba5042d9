#include "editor/EQGraph.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Room for the labels around the plot, in units.
constexpr int LeftMargin = 34, RightMargin = 12, TopMargin = 18, BottomMargin = 22;
constexpr int TotalWidth = LeftMargin + EQGraph::PlotWidth + RightMargin;
constexpr int TotalHeight = TopMargin + EQGraph::PlotHeight + BottomMargin;
constexpr double ZeroDbRow = 159;

const QColor Bezel(0x1C, 0x20, 0x26);
const QColor Screen(0x10, 0x14, 0x19);
const QColor MinorLine(0x2C, 0x34, 0x3D);
const QColor MajorLine(0x50, 0x5C, 0x69);
const QColor LabelText(0xC4, 0xCC, 0xD4);
const QColor CurveRed(0xFF, 0x00, 0x00);
const QColor MarkerFill[EQGraph::Bands] = {{0xFF, 0xD7, 0x40}, {0x4F, 0xD8, 0xF0}, {0x7C, 0xE0, 0x6A},
                                           {0xFF, 0x9A, 0x3C}, {0xE9, 0x7B, 0xF2}, {0x8C, 0xA8, 0xFF}};

// The middle of the unit from v to v + 1: column v across, or row v down.
double CellCentre(double v) {
    return v + 0.5;
}

double ColumnOf(double hz) {
    return 200 * std::log10(hz / 20);
}

// The vertical section at x of the stroke of a thick segment from a to b
// (a.x < b.x, half width hw), widened into [lo, hi].
void SegmentSection(QPointF a, QPointF b, double hw, double x, double& lo, double& hi) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const double ux = d.x() / length, uy = d.y() / length;
    const double dx = x - a.x();
    // Within hw of the line: |dx * -uy + dy * ux| <= hw, with ux > 0.
    double top = a.y() + (dx * uy - hw) / ux, bottom = a.y() + (dx * uy + hw) / ux;
    // Between the ends: 0 <= dx * ux + dy * uy <= length.
    if (uy == 0) {
        if (dx < 0 || dx > d.x())
            return;
    } else {
        const double e0 = a.y() - dx * ux / uy, e1 = a.y() + (length - dx * ux) / uy;
        top = std::max(top, std::min(e0, e1));
        bottom = std::min(bottom, std::max(e0, e1));
    }
    if (top <= bottom) {
        lo = std::min(lo, top);
        hi = std::max(hi, bottom);
    }
}

// The curve through pts (device pixels, x rising) as a band 2 * hw thick in
// colour, antialiased, into the rows and columns of clip. Each device
// column is sampled at a few places; at each the band's height is the union
// of the vertical sections of the segments and of the round joins there,
// and a pixel takes the share of those sections that falls on it. Much
// faster than a general stroke, and the curve is all one function of x.
void PaintBand(QImage& img, const std::vector<QPointF>& pts, double hw, const QRect& clip, QRgb colour) {
    constexpr int Samples = 4;
    std::vector<float> cover(static_cast<std::size_t>(clip.height()));
    const int n = int(pts.size());
    uchar* const bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    int first = 0;
    for (int px = clip.left(); px <= clip.right(); ++px) {
        std::array<double, Samples> lo, hi;
        for (int k = 0; k < Samples; ++k) {
            const double x = px + (k + 0.5) / Samples;
            while (first < n - 1 && pts[first + 1].x() + hw < x)
                ++first;
            lo[k] = 1e300;
            hi[k] = -1e300;
            for (int j = first; j < n && pts[j].x() - hw <= x; ++j) {
                const double r = hw * hw - (x - pts[j].x()) * (x - pts[j].x());
                if (r >= 0) {
                    lo[k] = std::min(lo[k], pts[j].y() - std::sqrt(r));
                    hi[k] = std::max(hi[k], pts[j].y() + std::sqrt(r));
                }
                if (j + 1 < n)
                    SegmentSection(pts[j], pts[j + 1], hw, x, lo[k], hi[k]);
            }
            lo[k] = std::max(lo[k], double(clip.top()));
            hi[k] = std::min(hi[k], double(clip.bottom() + 1));
        }
        const double highest = *std::min_element(lo.begin(), lo.end());
        const double lowest = *std::max_element(hi.begin(), hi.end());
        if (highest >= lowest)
            continue;
        const int top = int(std::floor(highest)), bottom = int(std::ceil(lowest));
        std::fill(cover.begin(), cover.begin() + (bottom - top), 0.0f);
        for (int k = 0; k < Samples; ++k) {
            if (lo[k] >= hi[k])
                continue;
            for (int row = int(std::floor(lo[k])); row < hi[k]; ++row)
                cover[std::size_t(row - top)] +=
                    float((std::min(hi[k], row + 1.0) - std::max(lo[k], double(row))) / Samples);
        }
        for (int row = top; row < bottom; ++row) {
            const float a = std::min(cover[std::size_t(row - top)], 1.0f);
            if (a <= 0)
                continue;
            QRgb& pixel = reinterpret_cast<QRgb*>(bits + row * stride)[px];
            const auto mix = [a](int over, int under) { return int(over * a + under * (1 - a) + 0.5f); };
            pixel = qRgb(mix(qRed(colour), qRed(pixel)), mix(qGreen(colour), qGreen(pixel)),
                         mix(qBlue(colour), qBlue(pixel)));
        }
    }
}

QString FreqLabel(int hz) {
    return hz >= 1000 ? QString::number(hz / 1000) + QLatin1Char('k') : QString::number(hz);
}

} // namespace

EQGraph::EQGraph(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize EQGraph::sizeHint() const {
    return {TotalWidth, TotalHeight};
}

QTransform EQGraph::unitsToWidget() const {
    // One scale both ways, so that the labels keep their shape; centred.
    const double s = std::min(width() / double(TotalWidth), height() / double(TotalHeight));
    const double ox = (width() - TotalWidth * s) / 2, oy = (height() - TotalHeight * s) / 2;
    return QTransform(s, 0, 0, s, ox + LeftMargin * s, oy + TopMargin * s);
}

QPointF EQGraph::ToUnits(const QPointF& p) const {
    return unitsToWidget().inverted().map(p);
}

bool EQGraph::fitsScreen(const QImage& picture) const {
    const qreal ratio = devicePixelRatioF();
    return !picture.isNull() && picture.devicePixelRatio() == ratio && picture.size() == size() * ratio;
}

void EQGraph::Draw(const std::array<float, PlotWidth>& sums) {
    sums_ = sums;
    if (isVisible())
        paintCurve();
    else
        back_ = QImage();
    update();
}

void EQGraph::MoveMarker(int b, float left, float top) {
    marks_[b] = {left, top};
    update();
}

void EQGraph::paintGrid() {
    const qreal ratio = devicePixelRatioF();
    grid_ = QImage(size() * ratio, QImage::Format_RGB32);
    grid_.setDevicePixelRatio(ratio);
    grid_.fill(Bezel);
    QPainter p(&grid_);
    p.setTransform(unitsToWidget());
    p.fillRect(QRectF(0, 0, PlotWidth, PlotHeight), Screen);

    // Hair lines one device pixel wide, on the pixel grid.
    const auto line = [&p](const QColor& c, QPointF a, QPointF b) {
        p.setPen(QPen(c, 0));
        p.drawLine(a, b);
    };
    for (int decade = 10; decade <= 10000; decade *= 10)
        for (int m = 1; m <= 9; ++m) {
            const int hz = m * decade;
            if (hz < 20 || hz > 20000)
                continue;
            const double x = CellCentre(ColumnOf(hz));
            line(m == 1 ? MajorLine : MinorLine, {x, 0}, {x, double(PlotHeight)});
        }
    for (int db = -15; db <= 15; db += 5) {
        const double y = CellCentre(ZeroDbRow - 10 * db);
        line(db == 0 ? MajorLine : MinorLine, {0, y}, {double(PlotWidth), y});
    }
    p.setPen(QPen(MajorLine, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0, 0, PlotWidth, PlotHeight));

    QFont font = this->font();
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(LabelText);
    for (int hz : {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000}) {
        const double x = CellCentre(ColumnOf(hz));
        p.drawText(QRectF(x - 20, PlotHeight + 3, 40, 14), Qt::AlignHCenter | Qt::AlignTop, FreqLabel(hz));
    }
    for (int db = -15; db <= 15; db += 5) {
        const double y = CellCentre(ZeroDbRow - 10 * db);
        const QString text = db > 0 ? QStringLiteral("+%1").arg(db) : QString::number(db);
        p.drawText(QRectF(-LeftMargin, y - 7, LeftMargin - 5, 14), Qt::AlignRight | Qt::AlignVCenter, text);
    }
    // The units: above the level labels, and before the frequencies.
    p.drawText(QRectF(-LeftMargin, -TopMargin, LeftMargin - 5, TopMargin), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("dB"));
    p.drawText(QRectF(-LeftMargin, PlotHeight + 3, LeftMargin - 14, 14), Qt::AlignRight | Qt::AlignTop,
               QStringLiteral("Hz"));
}

void EQGraph::paintCurve() {
    if (!fitsScreen(grid_))
        paintGrid();
    back_ = grid_;
    // In device pixels: the band is painted straight into the picture.
    QTransform toDevice = unitsToWidget();
    toDevice *= QTransform::fromScale(grid_.devicePixelRatio(), grid_.devicePixelRatio());
    std::vector<QPointF> points(PlotWidth);
    for (int x = 0; x < PlotWidth; ++x)
        points[x] = toDevice.map(QPointF(CellCentre(x), CellCentre(ZeroDbRow - sums_[x] * 10)));
    const QRect plot = toDevice.mapRect(QRectF(0, 0, PlotWidth, PlotHeight)).toAlignedRect() & back_.rect();
    // Pen width 2 units.
    PaintBand(back_, points, toDevice.m11(), plot, CurveRed.rgb());
}

void EQGraph::paintEvent(QPaintEvent*) {
    if (!fitsScreen(back_))
        paintCurve();
    QPainter p(this);
    p.drawImage(0, 0, back_);
    p.setTransform(unitsToWidget());
    p.setRenderHint(QPainter::Antialiasing);
    // A marker is 7 units wide and 13 high: its middle is its band's column
    // and the height of its gain.
    for (int b = 0; b < Bands; ++b) {
        const QRectF box(marks_[b].Left, marks_[b].Top, 7, 13);
        p.setPen(QPen(QColor(0x08, 0x0A, 0x0C), 1));
        p.setBrush(MarkerFill[b]);
        p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        p.drawLine(QPointF(box.left() + 1.5, box.center().y()), QPointF(box.right() - 1.5, box.center().y()));
    }
}

void EQGraph::mousePressEvent(QMouseEvent* e) {
    emit MouseDown(ToUnits(e->position()));
}

void EQGraph::mouseMoveEvent(QMouseEvent* e) {
    emit MouseMove(ToUnits(e->position()), e->buttons());
}

void EQGraph::mouseReleaseEvent(QMouseEvent* e) {
    emit MouseUp(ToUnits(e->position()));
}
