#pragma once

#include <QPointF>
#include <QSize>
#include <QString>
#include <array>

class QPainter;

// The table of the 25-pin control connector on the GPI page: a title row,
// then five pairs of rows, each a row of five pin numbers over a row of
// their labels. Positions are the tops-left of the texts, in pixels of the
// box the table is drawn in.
struct PinTable {
    static constexpr int Pins = 25, Columns = 5, Rows = 11;

    double columnWidth = 0;
    int rowHeight = 0;
    std::array<QPointF, Pins> number{};
    std::array<QPointF, Pins> label{};

    // The layout for a box of size; the table leaves 100 px free at the
    // right and 7 px at the bottom.
    static PinTable Layout(QSize size);
    // Pin n (1..25) followed by the blanks that line the labels up.
    static QString NumberText(int n);

    // Title, grid lines, numbers and labels, in the painter's pen and font.
    void Draw(QPainter& p, QSize size) const;
};
