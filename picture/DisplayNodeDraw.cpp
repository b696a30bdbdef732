// The drawing half of DisplayNode: body, border, caption, selection and
// handles, all in screen coordinates of the node's view.
#include "picture/DisplayNode.h"

#include "picture/BorderPainter.h"
#include "picture/CaptionText.h"
#include "picture/FillBrush.h"
#include "picture/LinePainter.h"
#include "picture/View.h"
#include "picture/WinImage.h"

#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <limits>
#include <optional>
#include <utility>

namespace lumavine {

namespace {

QPolygon screenPolygon(const View& view, const std::vector<QPoint>& points)
{
    QPolygon polygon;
    polygon.reserve(int(points.size()));
    for (const QPoint& point : points)
        polygon.append(view.toScreen(point));
    return polygon;
}

bool isDecorated(const View& view)
{
    return !view.isExportMode() && !view.isPreviewMode();
}

}

void DisplayNode::fill(QPainter& painter)
{
    if (!hasBackground() && m_kind != ShapeKind::Image)
        return;
    View& v = view();
    switch (m_kind) {
    case ShapeKind::Image: {
        if (pointCount() < 4 || !m_image)
            return;
        m_image->draw(painter, getInnerBounds(true));
        return;
    }
    case ShapeKind::Text:
    case ShapeKind::Rectangle: {
        if (pointCount() < 4)
            return;
        QRect inner = getInnerBounds(true);
        if (!inner.isEmpty())
            painter.fillRect(inner, fillBrush(*this, inner));
        return;
    }
    case ShapeKind::Polygon: {
        if (m_points.empty())
            return;
        QPolygon polygon = screenPolygon(v, m_points);
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(fillBrush(*this, polygon.boundingRect()));
        painter.drawPolygon(polygon, Qt::OddEvenFill);
        painter.restore();
        return;
    }
    case ShapeKind::Ellipse: {
        if (pointCount() < 4)
            return;
        QRect inner = getInnerBounds(true);
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(fillBrush(*this, inner));
        painter.drawEllipse(QRectF(inner));
        painter.restore();
        return;
    }
    case ShapeKind::RoundRectangle: {
        if (pointCount() < 4)
            return;
        QRect outer = getBounds(true);
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(fillBrush(*this, outer));
        painter.drawPath(BorderPainter::roundRectanglePath(outer, false));
        painter.restore();
        return;
    }
    default:
        return;
    }
}

void DisplayNode::draw(QPainter& painter)
{
    View& v = view();
    if (m_kind == ShapeKind::Line) {
        if (isBezierLine())
            normalizeBezier();
        LinePainter::Style style;
        style.type = m_lineStyle.lineType();
        style.width = v.toScreenLength(m_lineStyle.width());
        style.color = m_lineStyle.lineColor().toQColor();
        style.dash = m_lineStyle.dashStyle();
        style.join = m_lineStyle.join();
        LinePainter::Arrow arrows[2];
        for (int end = 0; end < 2; ++end) {
            const LineEndGeometry& geometry = lineEnd(end);
            arrows[end].drawn = m_lineStyle.endStyle(end) == LineProperties::EndArrow;
            arrows[end].color = m_lineStyle.endColor(end).toQColor();
            if (!arrows[end].drawn)
                continue;
            if (geometry.base.x() != 0 && geometry.base.y() != 0)
                arrows[end].base = v.toScreen(geometry.base);
            for (const QPoint& corner : geometry.corners)
                arrows[end].head.append(v.toScreen(corner));
        }
        LinePainter::draw(painter, screenPolygon(v, m_points), style, arrows);
        // A dot end has its square reserved around the end point; it shows
        // as a disc in the end's colour.
        for (int end = 0; end < 2; ++end) {
            if (m_lineStyle.endStyle(end) != LineProperties::EndDot || lineEnd(end).dot.isEmpty())
                continue;
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(arrows[end].color);
            painter.drawEllipse(QRectF(v.toScreen(lineEnd(end).dot)));
            painter.restore();
        }
    } else {
        fill(painter);
    }

    if (!m_points.empty() && m_kind != ShapeKind::Line) {
        int stored = m_border.width();
        if (stored >= 0 && stored <= BorderPainter::maximumWidth) {
            int width = v.toScreenLength(stored);
            QRect outer = getBounds(true);
            bool boxKind = m_kind == ShapeKind::Text || m_kind == ShapeKind::Image || m_kind == ShapeKind::Rectangle;
            if (width == 0) {
                if (boxKind && isDecorated(v) && pointCount() >= 4)
                    BorderPainter::drawEditingGuide(painter, outer);
            } else {
                BorderPainter border(
                    painter, width, m_border.borderStyle(), m_border.join(), m_border.lineColor().argb);
                if (boxKind)
                    border.drawRectangle(outer);
                else if (m_kind == ShapeKind::Ellipse)
                    border.drawEllipse(outer);
                else if (m_kind == ShapeKind::RoundRectangle)
                    border.drawRoundRectangle(outer);
                else if (m_kind == ShapeKind::Polygon)
                    border.drawPolygon(screenPolygon(v, m_points));
            }
        }
    }

    // Vertical captions are measured and placed but have no drawing.
    if (m_text.empty() || isVertical() || m_kind == ShapeKind::Line)
        return;
    if (m_lines.empty())
        measureText(m_text);
    WinFont& font = captionFont();
    QFont platform;
    if (&font == &WinFont::defaultFont()) {
        // Every shape without a font of its own shares that one, on every
        // thread that draws pages, so it is never changed while drawing:
        // each thread keeps the platform font of the scale it last drew.
        thread_local std::optional<std::pair<double, QFont>> shared;
        if (!shared || shared->first != v.zoom())
            shared.emplace(v.zoom(), font.fontAtScale(v.zoom()));
        platform = shared->second;
    } else {
        font.setDisplayScale(v.zoom());
        platform = font.platformFont();
    }
    QPoint at = v.toScreen(captionPosition());
    for (const DisplayLine& line : m_lines) {
        int height = v.toScreenLength(line.height);
        drawCaptionLine(painter, platform, font.brush(), at, height, line.text, baseDirectory());
        at.ry() += height;
    }
}

QPolygon DisplayNode::strokedPolygon(const View& v) const
{
    QPolygon stroked = screenPolygon(v, m_points);
    if (m_kind != ShapeKind::Line || stroked.size() < 2)
        return stroked;
    // As the line painter strokes it: arrow ends stop at their bases.
    for (int end = 0; end < 2; ++end) {
        const QPoint base = lineEnd(end).base;
        if (m_lineStyle.endStyle(end) != LineProperties::EndArrow || base.x() == 0 || base.y() == 0)
            continue;
        const QPoint onScreen = v.toScreen(base);
        if (onScreen.x() != 0 && onScreen.y() != 0)
            stroked[end == 0 ? 0 : stroked.size() - 1] = onScreen;
    }
    return stroked;
}

int DisplayNode::paintedMargin(const View& v) const
{
    // A mitred corner reaches out up to twice the pen's width: a line's
    // anywhere, a border's at a polygon's corners; a rounded rectangle's pen
    // runs on its bounds. The borders of boxes and ellipses lie inside the
    // bounds and their last pixel, and the selection frame two pixels
    // outside. Any of these is more than the pen of the handles, which are
    // taken in whole.
    switch (m_kind) {
    case ShapeKind::Line:
        return 2 * std::max(v.toScreenLength(m_lineStyle.width()), 0) + 2;
    case ShapeKind::Rectangle:
    case ShapeKind::Text:
    case ShapeKind::Image:
    case ShapeKind::Ellipse:
        return 4;
    default:
        return 2 * v.toScreenLength(effectiveBorderWidth()) + 4;
    }
}

bool DisplayNode::paintedArea(QRect& area) const
{
    const View& v = view();
    // Captions are measured at scale 1 and drawn with the font at the view's
    // zoom, which need not scale evenly.
    const bool captioned = !m_text.empty() && !isVertical() && m_kind != ShapeKind::Line;
    if (captioned && (m_lines.empty() || v.zoom() != 1.0))
        return false;

    // Gathered in picture coordinates and turned to the screen once.
    int left = std::numeric_limits<int>::max();
    int top = left;
    int right = std::numeric_limits<int>::min();
    int bottom = right;
    auto take = [&](const QRect& rect) {
        left = std::min(left, rect.left());
        top = std::min(top, rect.top());
        right = std::max(right, rect.right());
        bottom = std::max(bottom, rect.bottom());
    };
    // Every paint asks this of every shape: plain comparisons keep it cheap
    // even unoptimised.
    for (const QPoint& point : m_points) {
        const int x = point.x();
        const int y = point.y();
        if (x < left)
            left = x;
        if (x > right)
            right = x;
        if (y < top)
            top = y;
        if (y > bottom)
            bottom = y;
    }
    // Only the selection draws handles.
    if (isSelected()) {
        for (const QRect& handle : m_handles) {
            if (!handle.isEmpty())
                take(handle);
        }
    }
    if (m_kind == ShapeKind::Line) {
        for (int end = 0; end < 2; ++end) {
            const LineEndGeometry& geometry = lineEnd(end);
            if (m_lineStyle.endStyle(end) == LineProperties::EndArrow) {
                take(QRect(geometry.base, QSize(1, 1)));
                for (const QPoint& corner : geometry.corners)
                    take(QRect(corner, QSize(1, 1)));
            } else if (m_lineStyle.endStyle(end) == LineProperties::EndDot && !geometry.dot.isEmpty()) {
                take(geometry.dot);
            }
        }
    }
    QRect covered;
    if (left <= right)
        covered = v.toScreen(QRect(QPoint(left, top), QPoint(right, bottom)));
    // Curves swing out past their points but stay inside the control points
    // of their path.
    if (m_kind == ShapeKind::Line && m_lineStyle.lineType() == LineProperties::Curve)
        covered |= LinePainter::curvePath(strokedPolygon(v)).controlPointRect().toAlignedRect();
    // Conversions truncate position and size; two pixels more on each side
    // make up for it.
    const int margin = paintedMargin(v) + 2;
    covered.adjust(-margin, -margin, margin, margin);

    if (captioned) {
        int lineHeight = 0;
        for (const DisplayLine& line : m_lines)
            lineHeight = std::max(lineHeight, line.height);
        // Glyphs can reach past their advance and their line; never by a
        // whole line's height.
        const int reach = lineHeight + 2;
        covered |= QRect(v.toScreen(captionPosition()), QSize(m_textWidth, m_textHeight))
                       .adjusted(-reach, -reach, reach, reach);
    }
    area = covered;
    return true;
}

bool DisplayNode::paintedPieces(std::vector<QRect>& pieces) const
{
    QRect whole;
    if (!paintedArea(whole))
        return false;
    if (m_kind != ShapeKind::Line || m_lineStyle.lineType() != LineProperties::Straight || m_points.size() < 2) {
        pieces.push_back(whole);
        return true;
    }
    // A long slanting line crosses its box corner to corner; short pieces
    // along it leave the rest of the box alone.
    constexpr int pieceLength = 32;
    const View& v = view();
    const int margin = paintedMargin(v) + 2;
    auto add = [&](QRect rect) { pieces.push_back(rect.normalized().adjusted(-margin, -margin, margin, margin)); };
    for (const QPoint& point : m_points)
        add(QRect(v.toScreen(point), QSize(1, 1)));
    if (isSelected()) {
        for (const QRect& handle : m_handles) {
            if (!handle.isEmpty())
                add(v.toScreen(handle));
        }
    }
    // Between its points a straight stroke reaches out half the pen's
    // width; only the corners at the points, covered above, reach further.
    const int strokeMargin = std::max(v.toScreenLength(m_lineStyle.width()), 0) / 2 + 3;
    const QPolygon stroked = strokedPolygon(v);
    for (int i = 0; i + 1 < stroked.size(); ++i) {
        const QPoint from = stroked[i];
        const QPoint delta = stroked[i + 1] - from;
        const int steps = std::max(std::abs(delta.x()), std::abs(delta.y())) / pieceLength + 1;
        QPoint previous = from;
        for (int step = 1; step <= steps; ++step) {
            const QPoint next = from + delta * step / steps;
            pieces.push_back(
                QRect(previous, next).normalized().adjusted(-strokeMargin, -strokeMargin, strokeMargin, strokeMargin));
            previous = next;
        }
    }
    for (int end = 0; end < 2; ++end) {
        const LineEndGeometry& geometry = lineEnd(end);
        if (m_lineStyle.endStyle(end) == LineProperties::EndArrow) {
            QPolygon head;
            for (const QPoint& corner : geometry.corners)
                head.append(v.toScreen(corner));
            add(head.boundingRect());
        } else if (m_lineStyle.endStyle(end) == LineProperties::EndDot && !geometry.dot.isEmpty()) {
            add(v.toScreen(geometry.dot));
        }
    }
    return true;
}

void DisplayNode::drawSelection(QPainter& painter)
{
    View& v = view();
    if (!isDecorated(v))
        return;
    if (isBezierLine() && m_points.size() > 1) {
        painter.save();
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(screenPolygon(v, m_points));
        painter.restore();
    }
    if ((m_kind == ShapeKind::Text || m_kind == ShapeKind::Ellipse) && pointCount() >= 4) {
        BorderPainter frame(painter, 2, BorderPainter::Solid, BorderPainter::Miter, opaqueBlack.argb);
        frame.drawRectangle(getBounds(true).adjusted(-1, -1, 1, 1));
    }
    drawHandles(painter);
}

void DisplayNode::drawHandles(QPainter& painter)
{
    View& v = view();
    if (!isDecorated(v) || handlesSuppressed() || m_kind == ShapeKind::Text)
        return;
    painter.save();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    const int count = int(m_handles.size());
    bool pointed = m_kind == ShapeKind::Line || m_kind == ShapeKind::Polygon;
    for (int i = 0; i < count; ++i) {
        QRect square = v.toScreen(m_handles[i]);
        if (square.isEmpty())
            continue;
        if (i == m_activeHandle) {
            painter.drawRect(square);
        } else if (pointed && (i == 0 || i == count - 1)) {
            // The first point's handle points up, the last one's down, so the
            // direction of the line or outline can be seen.
            QPolygon triangle;
            int middle = square.x() + square.width() / 2;
            if (i == 0) {
                triangle << QPoint(middle, square.y()) << QPoint(square.right(), square.bottom())
                         << QPoint(square.x(), square.bottom());
            } else {
                triangle << QPoint(middle, square.bottom()) << QPoint(square.x(), square.y())
                         << QPoint(square.right(), square.y());
            }
            painter.drawPolygon(triangle);
        } else {
            painter.drawEllipse(square);
        }
    }
    painter.restore();
}

}
