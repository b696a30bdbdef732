#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRect>
#include <cstdint>

namespace lumavine {

// Draws the border of a shape over its outer bounds (screen coordinates):
// solid borders as plain outlines, the 3-D styles as concentric one-pixel
// rings whose outer and inner halves take lighter and darker tones of the
// border colour.
class BorderPainter {
public:
    // The codes stored in border and line style texts.
    enum Style { Solid = 0, Inset = 1, Outset = 2, Ridge = 3, Groove = 4, None = 5 };
    enum Join { Miter = 0, Bevel = 1, Round = 2 };
    enum Shape { RectangleShape = 0, EllipseShape = 1, RoundRectangleShape = 2 };

    // The widest border that is drawn at all, in stored pixels.
    static constexpr int maximumWidth = 100;
    // The fixed corner of rounded rectangles, which does not follow the zoom.
    static constexpr int cornerSize = 30;

    // width is already in screen pixels.
    BorderPainter(QPainter& painter, int width, int style, int join, uint32_t color);

    void drawRectangle(const QRect& bounds);
    void drawEllipse(const QRect& bounds);
    void drawRoundRectangle(const QRect& bounds);
    void drawPolygon(const QPolygon& points);

    // The two colours (outer half, inner half) of the first (top and left)
    // or second (bottom and right) side of a ring of the given shape.
    struct RingColors {
        uint32_t outer;
        uint32_t inner;
    };
    static RingColors ringColors(int style, Shape shape, bool firstSide, uint32_t color);

    // The outline of a rounded rectangle; for outlining, the first corner is
    // added again so that the figure closes.
    static QPainterPath roundRectanglePath(const QRect& bounds, bool forOutline);

    // What a borderless box shows while it is edited: a dotted black frame
    // with a dotted white one just inside it.
    static void drawEditingGuide(QPainter& painter, const QRect& bounds);

private:
    uint32_t ringColor(Shape shape, bool firstSide, int ring) const;
    void drawRectangleRing(const QRect& ring, int index);

    QPainter& m_painter;
    int m_width;
    int m_style;
    int m_join;
    uint32_t m_color;
};

}
