#include "picture/BorderPainter.h"

#include "picture/Shading.h"

#include <QPen>
#include <algorithm>

namespace lumavine {

namespace {

struct Steps {
    int outer;
    int inner;
};

// Shade steps of each 3-D style: for each shape the first side (top and
// left) and the second side (bottom and right).
struct StyleSteps {
    Steps rectangle[2];
    Steps ellipse[2];
    Steps roundRectangle[2];
};

const StyleSteps* stepsOf(int style)
{
    static constexpr StyleSteps inset { { { -4, -2 }, { 0, -1 } }, { { 0, -2 }, { -4, -1 } },
        { { -4, -2 }, { 0, -1 } } };
    static constexpr StyleSteps outset { { { -1, 0 }, { -2, -3 } }, { { -1, 0 }, { -2, -3 } },
        { { -4, -1 }, { 0, -2 } } };
    static constexpr StyleSteps ridge { { { 0, -4 }, { -4, 0 } }, { { -2, 0 }, { 0, -2 } }, { { 0, -4 }, { -4, 0 } } };
    static constexpr StyleSteps groove { { { -4, 0 }, { 0, -4 } }, { { 0, -2 }, { -2, 0 } }, { { -4, 0 }, { 0, -4 } } };
    switch (style) {
    case BorderPainter::Inset:
        return &inset;
    case BorderPainter::Outset:
        return &outset;
    case BorderPainter::Ridge:
        return &ridge;
    case BorderPainter::Groove:
        return &groove;
    default:
        return nullptr;
    }
}

bool isThreeD(int style)
{
    return stepsOf(style) != nullptr;
}

Qt::PenJoinStyle penJoin(int join)
{
    switch (join) {
    case BorderPainter::Bevel:
        return Qt::BevelJoin;
    case BorderPainter::Round:
        return Qt::RoundJoin;
    default:
        return Qt::MiterJoin;
    }
}

QColor colorOf(uint32_t argb)
{
    return QColor::fromRgba(argb);
}

}

BorderPainter::BorderPainter(QPainter& painter, int width, int style, int join, uint32_t color)
    : m_painter(painter)
    , m_width(width)
    , m_style(style)
    , m_join(join)
    , m_color(color)
{
}

BorderPainter::RingColors BorderPainter::ringColors(int style, Shape shape, bool firstSide, uint32_t color)
{
    const StyleSteps* steps = stepsOf(style);
    if (!steps)
        return { color, color };
    const Steps* table = shape == EllipseShape ? steps->ellipse
        : shape == RoundRectangleShape         ? steps->roundRectangle
                                               : steps->rectangle;
    const Steps& side = table[firstSide ? 0 : 1];
    return { shade(color, side.outer), shade(color, side.inner) };
}

uint32_t BorderPainter::ringColor(Shape shape, bool firstSide, int ring) const
{
    RingColors colors = ringColors(m_style, shape, firstSide, m_color);
    // Rings are counted from the outside; the outer half includes the middle
    // ring, so a one-pixel border shows only the outer colours.
    return ring <= m_width / 2 ? colors.outer : colors.inner;
}

void BorderPainter::drawRectangle(const QRect& bounds)
{
    if (m_width <= 0)
        return;
    m_painter.save();
    m_painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < m_width; ++i) {
        QRect ring(bounds.x() + i, bounds.y() + i, bounds.width() - 2 * i, bounds.height() - 2 * i);
        if (ring.width() < 0 || ring.height() < 0)
            break;
        drawRectangleRing(ring, i);
    }
    m_painter.restore();
}

// A ring covers the columns x .. x + width and the rows y .. y + height. The
// first colour takes the top row and the left column; the second the right
// column and the bottom row, with the top-right and bottom-left corners.
void BorderPainter::drawRectangleRing(const QRect& ring, int index)
{
    int x = ring.x();
    int y = ring.y();
    int w = ring.width();
    int h = ring.height();
    QColor first = colorOf(ringColor(RectangleShape, true, index));
    QColor second = colorOf(ringColor(RectangleShape, false, index));
    int cut = m_join == Round ? 2 : m_join == Bevel ? 6 : 0;
    if (cut && (w < 2 * (cut + 1) + 1 || h < 2 * (cut + 1) + 1))
        cut = 0;
    if (!cut) {
        if (w > 0)
            m_painter.fillRect(QRect(x, y, w, 1), first);
        if (h > 1)
            m_painter.fillRect(QRect(x, y + 1, 1, h - 1), first);
        m_painter.fillRect(QRect(x + w, y, 1, h + 1), second);
        if (w > 0 && h > 0)
            m_painter.fillRect(QRect(x, y + h, w, 1), second);
        return;
    }
    // Round and bevel corners leave the corner pixels out and close each
    // corner with a diagonal. The diagonals of neighbouring rings lie two
    // pixel diagonals apart, so each ring but the outermost also fills the
    // one between it and the ring outside it. They are set pixel by pixel:
    // a wide pen would reach past the bounds and miss pixels of the band.
    int a = cut + 1;
    m_painter.fillRect(QRect(x + a, y, w - 2 * a + 1, 1), first);
    m_painter.fillRect(QRect(x, y + a, 1, h - 2 * a + 1), first);
    m_painter.fillRect(QRect(x + w, y + a, 1, h - 2 * a + 1), second);
    m_painter.fillRect(QRect(x + a, y + h, w - 2 * a + 1, 1), second);
    auto pixel = [this](int px, int py, const QColor& color) { m_painter.fillRect(QRect(px, py, 1, 1), color); };
    for (int k = 0; k <= a; ++k) {
        pixel(x + k, y + a - k, first);
        pixel(x + w - a + k, y + k, first);
        pixel(x + w - k, y + h - a + k, second);
        pixel(x + k, y + h - a + k, second);
        if (index == 0 || k == a)
            continue;
        pixel(x + k, y + a - 1 - k, first);
        pixel(x + w - a + k + 1, y + k, first);
        pixel(x + w - k, y + h - a + k + 1, second);
        pixel(x + k, y + h - a + k + 1, second);
    }
}

void BorderPainter::drawEllipse(const QRect& bounds)
{
    if (m_width <= 0)
        return;
    m_painter.save();
    m_painter.setBrush(Qt::NoBrush);
    if (!isThreeD(m_style)) {
        // The pen runs inside the bounds, over the rings a 3-D border would
        // take, and one pixel further in, so that it covers the seam with the
        // fill of the inner bounds.
        m_painter.setPen(QPen(colorOf(m_color), m_width + 1, Qt::SolidLine, Qt::FlatCap, penJoin(m_join)));
        qreal half = (m_width + 1) / 2.0;
        m_painter.drawEllipse(QRectF(bounds).adjusted(half, half, -half, -half));
        m_painter.restore();
        return;
    }
    for (int i = 0; i < m_width; ++i) {
        QRectF ring(bounds.x() + i, bounds.y() + i, bounds.width() - 2 * i, bounds.height() - 2 * i);
        if (ring.width() < 0 || ring.height() < 0)
            break;
        // Angles run clockwise on screen from the positive x axis; the upper
        // left arc starts at 170 degrees, the lower right one at 315.
        m_painter.setPen(QPen(colorOf(ringColor(EllipseShape, true, i)), 2, Qt::SolidLine, Qt::FlatCap));
        m_painter.drawArc(ring, -170 * 16, -145 * 16);
        m_painter.setPen(QPen(colorOf(ringColor(EllipseShape, false, i)), 2, Qt::SolidLine, Qt::FlatCap));
        m_painter.drawArc(ring, -315 * 16, -215 * 16);
    }
    m_painter.restore();
}

void BorderPainter::drawRoundRectangle(const QRect& bounds)
{
    if (m_width <= 0)
        return;
    m_painter.save();
    m_painter.setBrush(Qt::NoBrush);
    if (!isThreeD(m_style)) {
        m_painter.setPen(QPen(colorOf(m_color), m_width, Qt::SolidLine, Qt::FlatCap, penJoin(m_join)));
        m_painter.drawPath(roundRectanglePath(bounds, true));
        m_painter.restore();
        return;
    }
    // The same shrinking as the path, for rings of small shapes.
    const int side = std::max(0, std::min(20, std::min(bounds.width(), bounds.height()) / 2));
    const int control = side / 2;
    for (int i = 0; i < m_width; ++i) {
        int x = bounds.x() + i;
        int y = bounds.y() + i;
        int w = bounds.width() - 2 * i;
        int h = bounds.height() - 2 * i;
        if (w < 0 || h < 0)
            break;
        QPen first(colorOf(ringColor(RoundRectangleShape, true, i)), 1, Qt::SolidLine, Qt::FlatCap);
        QPen second(colorOf(ringColor(RoundRectangleShape, false, i)), 1, Qt::SolidLine, Qt::FlatCap);
        m_painter.setPen(first);
        m_painter.drawLine(x + side, y, x + w - side, y);
        m_painter.drawLine(x, y + side, x, y + h - side);
        m_painter.setPen(second);
        m_painter.drawLine(x + w, y + side, x + w, y + h - side);
        m_painter.drawLine(x + side, y + h, x + w - side, y + h);
        // Neighbouring rings' curves lie a diagonal step apart; a two-pixel
        // pen closes the gaps between them.
        auto corner = [this](const QPen& pen, QPointF from, QPointF c1, QPointF c2, QPointF to) {
            QPen wide(pen);
            wide.setWidth(2);
            m_painter.setPen(wide);
            QPainterPath path(from);
            path.cubicTo(c1, c2, to);
            m_painter.drawPath(path);
        };
        corner(first, QPointF(x, y + side), QPointF(x, y + control), QPointF(x + control, y), QPointF(x + side, y));
        corner(first, QPointF(x + w - side, y), QPointF(x + w - control, y), QPointF(x + w, y + control),
            QPointF(x + w, y + side));
        corner(second, QPointF(x + w, y + h - side), QPointF(x + w, y + h - control), QPointF(x + w - control, y + h),
            QPointF(x + w - side, y + h));
        corner(second, QPointF(x + side, y + h), QPointF(x + control, y + h), QPointF(x, y + h - control),
            QPointF(x, y + h - side));
    }
    m_painter.restore();
}

void BorderPainter::drawPolygon(const QPolygon& points)
{
    // Polygons have only the plain outline.
    if (m_width <= 0 || isThreeD(m_style) || points.size() < 2)
        return;
    m_painter.save();
    m_painter.setBrush(Qt::NoBrush);
    m_painter.setPen(QPen(colorOf(m_color), m_width, Qt::SolidLine, Qt::FlatCap, penJoin(m_join)));
    m_painter.drawPolygon(points);
    m_painter.restore();
}

// The corners are joined by the straight sides, running round the box from
// the top-left corner down the left side, so that the path is one closed
// figure without crossings.
QPainterPath BorderPainter::roundRectanglePath(const QRect& bounds, bool forOutline)
{
    const qreal x = bounds.x();
    const qreal y = bounds.y();
    const qreal w = bounds.width();
    const qreal h = bounds.height();
    // A shape lower or narrower than two corners would fold its outline back
    // on itself; its corners shrink to half its smaller side.
    const qreal c = std::max<qreal>(0, std::min<qreal>(cornerSize, std::min(w, h) / 2));
    const qreal k = c / 2.0;
    QPainterPath path(QPointF(x + c, y));
    path.cubicTo(QPointF(x + k, y), QPointF(x, y + k), QPointF(x, y + c));
    path.lineTo(x, y + h - c);
    path.cubicTo(QPointF(x, y + h - k), QPointF(x + k, y + h), QPointF(x + c, y + h));
    path.lineTo(x + w - c, y + h);
    path.cubicTo(QPointF(x + w - k, y + h), QPointF(x + w, y + h - k), QPointF(x + w, y + h - c));
    path.lineTo(x + w, y + c);
    path.cubicTo(QPointF(x + w, y + k), QPointF(x + w - k, y), QPointF(x + w - c, y));
    if (forOutline)
        path.lineTo(x + c, y);
    path.closeSubpath();
    return path;
}

void BorderPainter::drawEditingGuide(QPainter& painter, const QRect& bounds)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine, Qt::FlatCap));
    painter.drawRect(bounds);
    painter.setPen(QPen(Qt::white, 1, Qt::DotLine, Qt::FlatCap));
    painter.drawRect(bounds.adjusted(1, 1, -1, -1));
    painter.restore();
}

}
