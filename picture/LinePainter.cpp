#include "picture/LinePainter.h"

#include <QPen>

namespace lumavine {

Qt::PenStyle LinePainter::penStyle(int dash)
{
    switch (dash) {
    case Dash:
        return Qt::DashLine;
    case Dot:
        return Qt::DotLine;
    case DashDot:
        return Qt::DashDotLine;
    case DashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

Qt::PenJoinStyle LinePainter::penJoin(int join)
{
    // Join codes: 0 miter, 1 bevel, 2 round.
    switch (join) {
    case 1:
        return Qt::BevelJoin;
    case 2:
        return Qt::RoundJoin;
    default:
        return Qt::MiterJoin;
    }
}

QPainterPath LinePainter::curvePath(const QPolygon& points)
{
    QPainterPath path;
    if (points.isEmpty())
        return path;
    path.moveTo(points[0]);
    if (points.size() == 1)
        return path;
    // Each segment's tangents follow the chord between its neighbours, a
    // sixth of it on each side (tension 0.5); the ends use themselves as
    // their missing neighbour.
    constexpr qreal factor = 0.5 / 3.0;
    const int n = points.size();
    for (int i = 0; i + 1 < n; ++i) {
        QPointF previous = points[i > 0 ? i - 1 : i];
        QPointF from = points[i];
        QPointF to = points[i + 1];
        QPointF next = points[i + 2 < n ? i + 2 : i + 1];
        path.cubicTo(from + (to - previous) * factor, to - (next - from) * factor, to);
    }
    return path;
}

QPainterPath LinePainter::bezierPath(const QPolygon& points)
{
    QPainterPath path;
    if (points.isEmpty())
        return path;
    path.moveTo(points[0]);
    for (int i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    return path;
}

void LinePainter::draw(QPainter& painter, QPolygon points, const Style& style, const Arrow ends[2])
{
    if (points.size() < 2)
        return;
    for (int end = 0; end < 2; ++end) {
        const Arrow& arrow = ends[end];
        if (arrow.drawn && arrow.base.x() != 0 && arrow.base.y() != 0)
            points[end == 0 ? 0 : points.size() - 1] = arrow.base;
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen(style.color, std::max(style.width, 0), penStyle(style.dash), Qt::FlatCap, penJoin(style.join));
    painter.setPen(pen);
    switch (style.type) {
    case Curve:
        painter.drawPath(curvePath(points));
        break;
    case Bezier:
        painter.drawPath(bezierPath(points));
        break;
    default:
        painter.drawPolyline(points);
        break;
    }
    for (int end = 0; end < 2; ++end) {
        const Arrow& arrow = ends[end];
        if (!arrow.drawn || arrow.head.size() < 3)
            continue;
        painter.setPen(QPen(arrow.color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPolygon(arrow.head);
    }
    painter.restore();
}

}
