#pragma once

#include <QImage>
#include <QWidget>
#include <array>

// The output EQ response graph (PicGraph): the grid with its labels, the
// summed curve of the six bands and their markers (Picmark).
//
// Everything is placed in the graph's own units: columns 0 to 600 across
// (20 Hz to 20 kHz, 200 per decade), heights y = 159 - 10 * dB down, so the
// plot is 601 x 319 units; the labels sit in a margin around it. The units
// are scaled to whatever size the widget has, and the grid and curve are
// painted into a backing picture at the screen's pixel ratio, so that the
// graph is sharp at any DPI and a repaint costs one copy.
class EQGraph : public QWidget {
    Q_OBJECT
public:
    static constexpr int PlotWidth = 601, PlotHeight = 319;
    static constexpr int Bands = 6;

    // A band's marker: its left edge and top in units.
    struct Marker {
        float Left = 0;
        float Top = 0;
    };

    explicit EQGraph(QWidget* parent = nullptr);

    // The grid and the curve through the columns' heights in dB into the
    // backing picture; a hidden graph paints when it is next shown.
    void Draw(const std::array<float, PlotWidth>& sums);
    // Band b's marker to (left, top).
    void MoveMarker(int b, float left, float top);
    const std::array<Marker, Bands>& Picmark() const { return marks_; }
    // A point of the widget in the graph's units.
    QPointF ToUnits(const QPointF& p) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The mouse on the graph, at a point in units; buttons: those held.
    void MouseDown(QPointF at);
    void MouseMove(QPointF at, Qt::MouseButtons buttons);
    void MouseUp(QPointF at);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // The placement of the units (plot origin at 0, 0) on the widget.
    QTransform unitsToWidget() const;
    // Whether a picture has the widget's size at the screen's pixel ratio.
    bool fitsScreen(const QImage& picture) const;
    void paintGrid();
    void paintCurve();

    std::array<float, PlotWidth> sums_{};
    std::array<Marker, Bands> marks_{};
    // The grid picture (PicGraphBack2), and it with the curve, at the
    // device's pixels.
    QImage grid_;
    QImage back_;
};
