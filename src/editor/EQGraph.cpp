#include "editor/EQGraph.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

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

// The middle of column x (a column covers one unit).
double ColumnCentre(double x) {
    return x + 0.5;
}

double ColumnOf(double hz) {
    return 200 * std::log10(hz / 20);
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

bool EQGraph::backingCurrent() const {
    const qreal ratio = devicePixelRatioF();
    return !back_.isNull() && back_.devicePixelRatio() == ratio && back_.size() == size() * ratio;
}

void EQGraph::Draw(const std::array<float, PlotWidth>& sums) {
    sums_ = sums;
    if (isVisible())
        paintCurve();
    else
        back_ = QPixmap();
    update();
}

void EQGraph::MoveMarker(int b, float left, float top) {
    marks_[b] = {left, top};
    update();
}

void EQGraph::paintGrid() {
    const qreal ratio = devicePixelRatioF();
    grid_ = QPixmap(size() * ratio);
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
            const double x = ColumnCentre(ColumnOf(hz));
            line(m == 1 ? MajorLine : MinorLine, {x, 0}, {x, double(PlotHeight)});
        }
    for (int db = -15; db <= 15; db += 5) {
        const double y = ColumnCentre(ZeroDbRow - 10 * db);
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
        const double x = ColumnCentre(ColumnOf(hz));
        p.drawText(QRectF(x - 20, PlotHeight + 3, 40, 14), Qt::AlignHCenter | Qt::AlignTop, FreqLabel(hz));
    }
    for (int db = -15; db <= 15; db += 5) {
        const double y = ColumnCentre(ZeroDbRow - 10 * db);
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
    const qreal ratio = devicePixelRatioF();
    if (grid_.isNull() || grid_.devicePixelRatio() != ratio || grid_.size() != size() * ratio)
        paintGrid();
    if (back_.size() != grid_.size())
        back_ = QPixmap(grid_.size());
    back_.setDevicePixelRatio(ratio);
    QPainter p(&back_);
    p.drawPixmap(0, 0, grid_);
    p.setTransform(unitsToWidget());
    p.setClipRect(QRectF(0, 0, PlotWidth, PlotHeight));
    p.setRenderHint(QPainter::Antialiasing);
    std::array<QPointF, PlotWidth> points;
    for (int x = 0; x < PlotWidth; ++x)
        points[x] = {ColumnCentre(x), ColumnCentre(ZeroDbRow - sums_[x] * 10)};
    p.setPen(QPen(CurveRed, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(points.data(), PlotWidth);
}

void EQGraph::paintEvent(QPaintEvent*) {
    if (!backingCurrent())
        paintCurve();
    QPainter p(this);
    p.drawPixmap(0, 0, back_);
    p.setTransform(unitsToWidget());
    p.setRenderHint(QPainter::Antialiasing);
    // A marker is 7 units wide and 13 high: its middle is its band's column
    // and the height of its gain.
    for (int b = 0; b < Bands; ++b) {
        const QRectF box(marks_[b].Left, marks_[b].Top, 7, 13);
        p.setPen(QPen(QColor(0x08, 0x0A, 0x0C), 1));
        p.setBrush(MarkerFill[b]);
        p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        p.setPen(QPen(QColor(0x08, 0x0A, 0x0C), 1));
        p.drawLine(QPointF(box.left() + 1.5, box.center().y()), QPointF(box.right() - 1.5, box.center().y()));
    }
}
