#include "editor/PinTable.h"

#include "data/Tables.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int TextIndent = 16;

void TextAt(QPainter& p, QPointF at, const QString& text) {
    // Positions are text tops, as a printed line starts.
    p.drawText(QRectF(at, QSizeF(1000, 1000)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

} // namespace

PinTable PinTable::Layout(QSize size) {
    PinTable t;
    t.columnWidth = (size.width() - 100) / double(Columns);
    // Halves go to the even height.
    t.rowHeight = int(std::nearbyint((size.height() - 7) / double(Rows)));
    for (int n = 0; n < Pins; ++n) {
        const int pair = n / Columns, column = n % Columns;
        const double x = column * t.columnWidth + TextIndent;
        t.number[n] = QPointF(x, (2 * pair + 1) * t.rowHeight);
        t.label[n] = QPointF(x, (2 * pair + 2) * t.rowHeight);
    }
    return t;
}

QString PinTable::NumberText(int n) {
    return QString::number(n) + (n < 10 ? QStringLiteral("    ") : QStringLiteral("   "));
}

void PinTable::Draw(QPainter& p, QSize size) const {
    TextAt(p, QPointF(0, 0), QStringLiteral("PIN ASSIGNMENT"));
    for (int i = 0; i <= Columns; ++i)
        p.drawLine(QPointF(i * columnWidth, rowHeight), QPointF(i * columnWidth, size.height()));
    for (int j = 1; j <= Rows; ++j)
        p.drawLine(QPointF(0, j * rowHeight - 1), QPointF(Columns * columnWidth, j * rowHeight - 1));
    for (int n = 0; n < Pins; ++n) {
        TextAt(p, number[n], NumberText(n + 1));
        TextAt(p, label[n], QLatin1String(PinName[n]));
    }
}
