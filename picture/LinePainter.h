#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace lumavine {

// Draws line shapes in screen coordinates: a polyline, a curve through the
// points or a chain of cubic Bézier segments, with its dash style, and the
// outlined arrowheads of its ends.
class LinePainter {
public:
    // The codes of line style texts.
    enum Type { Straight = 0, Curve = 1, Bezier = 2 };
    enum Dash { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

    struct Arrow {
        bool drawn = false;
        // Where the line stops so that the arrowhead covers the tip; ignored
        // while either coordinate is 0, which marks an end not computed yet.
        QPoint base;
        // Tip and the two base corners.
        QPolygon head;
        QColor color = Qt::black;
    };

    struct Style {
        int type = Straight;
        int width = 1;
        QColor color = Qt::black;
        int dash = Solid;
        int join = 0;
    };

    // points are in screen coordinates; ends[0] is end A (the first point),
    // ends[1] end Z (the last).
    static void draw(QPainter& painter, QPolygon points, const Style& style, const Arrow ends[2]);

    // A smooth curve through every point (a cardinal spline of tension 0.5).
    static QPainterPath curvePath(const QPolygon& points);
    // Cubic segments p0 (c1 c2 p1) (c1 c2 p2) ...; leftover points that make
    // no whole segment are not drawn.
    static QPainterPath bezierPath(const QPolygon& points);
    static Qt::PenStyle penStyle(int dash);
    static Qt::PenJoinStyle penJoin(int join);
};

}
