#include "picture/GridDots.h"

#include <QPen>
#include <QPolygon>

namespace lumavine {

void drawGridDots(QPainter& painter, int step, QSize area)
{
    if (step < 4 || area.isEmpty())
        return;
    // A row of points is one call, and exact at any pen setting, where a
    // dashed line's first dot depends on where the dash pattern starts.
    QPolygon row;
    row.reserve(area.width() / step + 1);
    for (int x = 0; x <= area.width(); x += step)
        row.append(QPoint(x, 0));
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    for (int y = 0; y <= area.height(); y += step) {
        painter.drawPoints(row);
        row.translate(0, step);
    }
    painter.restore();
}

}
