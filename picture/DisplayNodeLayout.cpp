#include "picture/CaptionText.h"
#include "picture/DisplayNode.h"
#include "picture/View.h"
#include "picture/WinImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumavine {

namespace {

// Widths beyond this would make the end walks absurdly long; nothing that
// wide is drawn sensibly anyway.
constexpr int maximumEndWidth = 1000;

// Positions along the line from `from` through `toward`, one pixel at a time
// along the longer axis, the other coordinate following the line.
class AxisWalk {
public:
    AxisWalk(QPoint from, QPoint toward)
        : m_from(from)
        , m_dx(double(toward.x()) - from.x())
        , m_dy(double(toward.y()) - from.y())
        , m_alongX(std::abs(m_dx) >= std::abs(m_dy))
    {
    }

    bool isDegenerate() const { return m_dx == 0 && m_dy == 0; }

    QPoint at(int step) const
    {
        if (m_alongX) {
            double x = m_dx < 0 ? -step : step;
            return QPoint(int(m_from.x() + x), int(m_from.y() + std::trunc(m_dy * x / m_dx)));
        }
        double y = m_dy < 0 ? -step : step;
        return QPoint(int(m_from.x() + std::trunc(m_dx * y / m_dy)), int(m_from.y() + y));
    }

    // The first step whose position lies at least `distance` from the start.
    QPoint reaching(int distance) const
    {
        if (isDegenerate() || distance <= 0)
            return m_from;
        // The distance grows by at least one pixel a step.
        for (int step = 1; step < distance; ++step) {
            QPoint position = at(step);
            if (std::hypot(double(position.x() - m_from.x()), double(position.y() - m_from.y())) >= distance)
                return position;
        }
        return at(distance);
    }

private:
    QPoint m_from;
    double m_dx;
    double m_dy;
    bool m_alongX;
};

}

void DisplayNode::computeLineEnds()
{
    if (m_kind != ShapeKind::Line || m_points.size() < 2)
        return;
    // Both ends are placed before either arrowhead is computed: on a
    // two-point line each end's neighbour is the other end.
    bool placed[2] = { placeAttachedEnd(0), placeAttachedEnd(1) };
    computeLineEnd(0, placed[0]);
    computeLineEnd(1, placed[1]);
}

bool DisplayNode::placeAttachedEnd(int end)
{
    size_t index = end ? m_points.size() - 1 : 0;
    size_t neighbour = end ? m_points.size() - 2 : 1;
    int width = std::clamp(m_lineStyle.width(), 0, maximumEndWidth);
    int style = m_lineStyle.endStyle(end);
    LineEndGeometry& geometry = m_ends[end];

    DisplayNode* attached = m_anchors[end];
    QPoint centre;
    if (!attached || attached == this || !attached->getCentre(centre))
        return false;
    QPoint toward = m_points[neighbour];
    // When the neighbour is the other end and that end is attached too, its
    // point may still lie where its shape was before a move; the line runs
    // toward where that shape is now.
    DisplayNode* far = m_anchors[1 - end];
    QPoint farCentre;
    if (m_points.size() == 2 && far && far != this && far->getCentre(farCentre) && farCentre != centre)
        toward = farCentre;
    AxisWalk walk(centre, toward);
    if (walk.isDegenerate())
        return false;
    // A box's region is its bounds; building a region for it would cost more
    // than the whole walk, and lines follow every move.
    bool boxOutline = attached->kind() == ShapeKind::Rectangle || attached->kind() == ShapeKind::Image
        || attached->kind() == ShapeKind::Text;
    bool ellipse = attached->kind() == ShapeKind::Ellipse;
    QRect box = attached->getBounds();
    // An ellipse's region depends on its size alone; it is kept at the origin
    // and the walk is moved to it instead.
    const QRegion& region = ellipse ? attached->ellipseRegionAtOrigin() : QRegion();
    QRegion other = boxOutline || ellipse ? QRegion() : attached->outlineRegion();
    if (!boxOutline && !ellipse)
        box = other.boundingRect();
    QPoint origin = box.topLeft();
    auto inside = [&](QPoint p) {
        if (boxOutline)
            return box.contains(p);
        if (ellipse)
            return region.contains(p - origin);
        return other.contains(p);
    };
    // Every step moves a pixel along one axis, so past this many the walk has
    // left the shape's bounding box.
    long long limit = (long long)box.width() + box.height() + 2;
    int crossing = 0;
    while (crossing < limit && inside(walk.at(crossing)))
        ++crossing;
    int tipStep = crossing + attached->effectiveBorderWidth()
        + (style != LineProperties::EndNone ? width + 2 : (width + 10) / 2);
    geometry.tip = walk.at(tipStep);
    geometry.base = walk.at(tipStep + (style == LineProperties::EndArrow ? width + 10 : 1));
    m_points[index] = geometry.base;
    return true;
}

void DisplayNode::computeLineEnd(int end, bool placed)
{
    size_t index = end ? m_points.size() - 1 : 0;
    size_t neighbour = end ? m_points.size() - 2 : 1;
    int width = std::clamp(m_lineStyle.width(), 0, maximumEndWidth);
    LineEndGeometry& geometry = m_ends[end];
    if (!placed) {
        geometry.tip = m_points[index];
        AxisWalk walk(geometry.tip, m_points[neighbour]);
        geometry.base = walk.isDegenerate() ? geometry.tip : walk.at(width + 5);
    }

    // The arrowhead: its base centre c from the tip toward the neighbouring
    // point, its base corners c/2 out on either side.
    int c = width + 10;
    QPoint toward = m_points[neighbour];
    QPoint baseCentre = AxisWalk(geometry.tip, toward).reaching(c);
    QPoint offset;
    if (std::abs(toward.x() - geometry.tip.x()) <= 1) {
        offset = QPoint(c / 2, 0);
    } else {
        QPoint perpendicular(
            baseCentre.x() - (toward.y() - geometry.tip.y()), baseCentre.y() + (toward.x() - geometry.tip.x()));
        offset = AxisWalk(baseCentre, perpendicular).reaching(c / 2) - baseCentre;
    }
    geometry.baseCentre = baseCentre;
    geometry.corners[0] = geometry.tip;
    geometry.corners[1] = baseCentre + offset;
    geometry.corners[2] = baseCentre - offset;
    geometry.square = QRect(baseCentre.x() - c, baseCentre.y() - c, 2 * c, 2 * c);
    int half = c / 2;
    QPoint endPoint = m_points[index];
    geometry.dot = QRect(endPoint.x() - half, endPoint.y() - half, 2 * half, 2 * half);
}

void DisplayNode::measureText(const String& text)
{
    // Whatever text this measures, the lines no longer need be the caption's.
    m_measured.reset();
    m_textWidth = 0;
    m_textHeight = 0;
    if (text.empty()) {
        m_lines.clear();
        return;
    }
    // Measured at scale 1, so the block is in picture pixels.
    QFont font = captionFont().fontAtScale(1.0);
    const String& base = baseDirectory();
    size_t count = 0;
    auto addLine = [&](std::u16string_view piece) {
        if (count == m_lines.size())
            m_lines.emplace_back();
        DisplayLine& line = m_lines[count++];
        line.text.assign(piece);
        QSize size = measureCaptionLine(font, piece, base);
        line.width = size.width();
        line.height = size.height();
        m_textWidth = std::max(m_textWidth, line.width);
        m_textHeight += line.height;
    };
    std::u16string_view all(text);
    if (isVertical()) {
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i] == u'\n' || all[i] == u'\r')
                continue;
            size_t length = (all[i] >= 0xD800 && all[i] < 0xDC00 && i + 1 < all.size()) ? 2 : 1;
            addLine(all.substr(i, length));
            i += length - 1;
        }
    } else {
        size_t start = 0;
        while (true) {
            size_t feed = all.find(u'\n', start);
            std::u16string_view piece = all.substr(start, feed == std::u16string_view::npos ? all.npos : feed - start);
            if (!piece.empty() && piece.back() == u'\r')
                piece.remove_suffix(1);
            addLine(piece);
            if (feed == std::u16string_view::npos)
                break;
            start = feed + 1;
        }
    }
    m_lines.resize(count);
}

bool DisplayNode::captionStillMeasured() const
{
    if (!m_measured)
        return false;
    const WinFont& font = captionFont();
    return m_measured->vertical == isVertical() && m_measured->size == font.size() && m_measured->style == font.style()
        && m_measured->text == m_text && m_measured->family == font.family();
}

void DisplayNode::rememberMeasuredCaption()
{
    // Inline pictures are sized from files and from pictures registered by
    // name, either of which can come later; such captions are measured on
    // every layout.
    if (m_text.empty() || m_text.find(u'[') != String::npos)
        return;
    const WinFont& font = captionFont();
    m_measured = std::make_unique<MeasuredCaption>(
        MeasuredCaption { m_text, font.family(), font.size(), font.style(), isVertical() });
}

bool DisplayNode::layout(QPoint& extent)
{
    if (!captionStillMeasured()) {
        measureText(m_text);
        rememberMeasuredCaption();
    }
    if (m_kind == ShapeKind::Line)
        computeLineEnds();
    int b = effectiveBorderWidth();
    if (m_kind == ShapeKind::Text) {
        if (m_points.size() != 4) {
            // The box grows from the first point, whatever else was stored.
            QPoint first = m_points.empty() ? QPoint(-1, -1) : m_points.front();
            setPointCount(4);
            m_points[0] = first;
        }
        QPoint& p0 = m_points[0];
        m_points[1] = QPoint(p0.x() + m_textWidth + 2 * b, p0.y());
        m_points[2] = QPoint(m_points[1].x(), p0.y() + m_textHeight + 2 * b);
        m_points[3] = QPoint(p0.x(), m_points[2].y());
        updateHandles();
    }
    raiseExtent(extent);
    return true;
}

void DisplayNode::raiseExtent(QPoint& extent) const
{
    // A move can ask this of every shape: plain comparisons keep it cheap
    // even unoptimised.
    const int b = effectiveBorderWidth();
    int x = extent.x();
    int y = extent.y();
    for (const QPoint& point : m_points) {
        if (point.x() + b > x)
            x = point.x() + b;
        if (point.y() + b > y)
            y = point.y() + b;
    }
    extent = QPoint(x, y);
}

void DisplayNode::updateImageSize()
{
    bool known = m_image && m_image->naturalWidth() > 0 && m_image->naturalHeight() > 0;
    m_imageWidth = known ? m_image->naturalWidth() : 40;
    m_imageHeight = known ? m_image->naturalHeight() : 40;
}

QPoint DisplayNode::captionPosition(const QRect* area) const
{
    if (m_kind == ShapeKind::Text)
        return getInnerBounds().topLeft();
    if (m_kind == ShapeKind::Polygon) {
        QPoint centre;
        getCentre(centre);
        return QPoint(centre.x() - m_textWidth / 2, centre.y() - m_textHeight / 2);
    }
    return alignCaption(area ? *area : getInnerBounds(), QSize(m_textWidth, m_textHeight));
}

}
