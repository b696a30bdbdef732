#include "picture/DisplayNode.h"

#include "picture/BorderPainter.h"
#include "picture/View.h"
#include "picture/WinImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumavine {

namespace {

constexpr std::u16string_view kindNames[]
    = { u"none", u"line", u"text", u"image", u"polygon", u"ellipse", u"rectangle", u"roundrectangle" };
constexpr std::u16string_view kindDisplayNames[]
    = { u"None", u"Line", u"Text", u"Picture", u"Polygon", u"Ellipse", u"Rectangle", u"Round Rectangle" };

int clampCoordinate(double value)
{
    if (!(value > -DisplayNode::coordinateLimit))
        return -DisplayNode::coordinateLimit;
    if (value > DisplayNode::coordinateLimit)
        return DisplayNode::coordinateLimit;
    return int(value);
}

QPoint clampPoint(long long x, long long y)
{
    return QPoint(clampCoordinate(double(x)), clampCoordinate(double(y)));
}

// How far a point lies off the grid: none when it is on it, otherwise toward
// the nearer grid line, a remainder of exactly half rounding down.
QPoint gridOffset(QPoint point, int grid)
{
    int rx = point.x() % grid;
    int ry = point.y() % grid;
    if (rx == 0 && ry == 0)
        return QPoint();
    int dx = rx > grid / 2 ? grid - rx : -rx;
    int dy = ry > grid / 2 ? grid - ry : -ry;
    return QPoint(dx, dy);
}

}

DisplayNode::DisplayNode(View* owner) : DisplayElement(owner)
{
}

DisplayNode::~DisplayNode() = default;

std::u16string_view DisplayNode::kindName(ShapeKind kind)
{
    int code = int(kind);
    return code >= 0 && code < int(std::size(kindNames)) ? kindNames[code] : kindNames[0];
}

std::u16string_view DisplayNode::kindDisplayName(int code)
{
    return code >= 0 && code < int(std::size(kindDisplayNames)) ? kindDisplayNames[code] : kindDisplayNames[0];
}

bool DisplayNode::kindFromName(std::u16string_view name, ShapeKind& kind)
{
    for (size_t i = 0; i < std::size(kindNames); ++i) {
        if (String(kindNames[i]).equalsIgnoreCase(name)) {
            kind = ShapeKind(i);
            return true;
        }
    }
    return false;
}

bool DisplayNode::isFourCornerKind() const
{
    switch (m_kind) {
    case ShapeKind::Text:
    case ShapeKind::Image:
    case ShapeKind::Ellipse:
    case ShapeKind::Rectangle:
    case ShapeKind::RoundRectangle:
        return true;
    default:
        return false;
    }
}

void DisplayNode::setKind(ShapeKind kind, int pointCount)
{
    m_kind = kind;
    if (kind == ShapeKind::Ellipse || kind == ShapeKind::Rectangle || kind == ShapeKind::RoundRectangle)
        setPointCount(4);
    else if (pointCount != -1)
        setPointCount(pointCount);
}

bool DisplayNode::setPointCount(int n)
{
    if (n < 1 || n > maximumPointCount)
        return false;
    m_points.assign(size_t(n), QPoint(-1, -1));
    view().raiseLargestPointCount(n);
    m_handles.assign(size_t(n), QRect());
    return true;
}

bool DisplayNode::setPoints(const std::vector<QPoint>& points)
{
    if (points.empty() || points.size() > size_t(maximumPointCount))
        return false;
    m_points.clear();
    m_points.reserve(points.size());
    for (QPoint point : points)
        m_points.push_back(clampPoint(point.x(), point.y()));
    view().raiseLargestPointCount(pointCount());
    if (m_kind == ShapeKind::Line)
        computeLineEnds();
    updateHandles();
    return true;
}

void DisplayNode::setBounds(const QRect& bounds)
{
    if (pointCount() != 4)
        setPointCount(4);
    int left = clampCoordinate(bounds.x());
    int top = clampCoordinate(bounds.y());
    int right = clampCoordinate(double(left) + bounds.width());
    int bottom = clampCoordinate(double(top) + bounds.height());
    m_points[0] = QPoint(left, top);
    m_points[1] = QPoint(right, top);
    m_points[2] = QPoint(right, bottom);
    m_points[3] = QPoint(left, bottom);
    if (m_kind == ShapeKind::Image)
        applyImageAspect();
    updateHandles();
}

QRect DisplayNode::getBounds(bool toScreen) const
{
    QRect bounds;
    if (m_kind == ShapeKind::Polygon) {
        if (!m_points.empty()) {
            auto [minX, maxX] = std::minmax_element(
                m_points.begin(), m_points.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
            auto [minY, maxY] = std::minmax_element(
                m_points.begin(), m_points.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
            bounds = QRect(minX->x(), minY->y(), maxX->x() - minX->x(), maxY->y() - minY->y());
        }
    } else if (m_points.size() >= 3) {
        bounds = QRect(
            m_points[0].x(), m_points[0].y(), m_points[1].x() - m_points[0].x(), m_points[2].y() - m_points[0].y());
    }
    return toScreen ? view().toScreen(bounds) : bounds;
}

int DisplayNode::effectiveBorderWidth() const
{
    int width = m_border.width();
    return width >= 0 && width <= BorderPainter::maximumWidth ? width : 0;
}

QRect DisplayNode::getInnerBounds(bool toScreen) const
{
    QRect bounds = getBounds(toScreen);
    int w = effectiveBorderWidth();
    if (toScreen)
        w = view().toScreenLength(w);
    return QRect(bounds.x() + w, bounds.y() + w, bounds.width() - 2 * w + 1, bounds.height() - 2 * w + 1);
}

bool DisplayNode::updateHandles()
{
    m_handles.assign(m_points.size(), QRect());
    if (m_kind == ShapeKind::Text)
        return true;
    double zoom = view().zoom();
    // 14 screen pixels wide whatever the zoom.
    int a = zoom > 0 ? int(7 / zoom) : 7;
    for (size_t i = 0; i < m_points.size(); ++i)
        m_handles[i] = QRect(m_points[i].x() - a, m_points[i].y() - a, 2 * a, 2 * a);
    return true;
}

int DisplayNode::hitHandle(const QPoint& point)
{
    for (size_t i = 0; i < m_handles.size(); ++i) {
        if (m_handles[i].contains(point)) {
            m_activeHandle = int(i);
            return m_activeHandle;
        }
    }
    return -1;
}

void DisplayNode::redraw() const
{
    view().redraw();
}

void DisplayNode::moveTo(int x, int y)
{
    if (m_points.empty())
        return;
    long long dx = (long long)x - m_points[0].x();
    long long dy = (long long)y - m_points[0].y();
    for (QPoint& point : m_points)
        point = clampPoint(point.x() + dx, point.y() + dy);
    updateHandles();
}

void DisplayNode::moveBy(PictureDelta delta)
{
    for (QPoint& point : m_points)
        point = clampPoint((long long)point.x() + delta.dx, (long long)point.y() + delta.dy);
    updateHandles();
}

bool DisplayNode::movePoint(int index, int dx, int dy)
{
    if (index < 0 || index >= pointCount())
        return false;
    QPoint& moved = m_points[size_t(index)];
    moved = clampPoint((long long)moved.x() + dx, (long long)moved.y() + dy);
    bool keepsBox = m_kind == ShapeKind::Image || m_kind == ShapeKind::Ellipse || m_kind == ShapeKind::Rectangle
        || m_kind == ShapeKind::RoundRectangle;
    if (keepsBox && m_points.size() == 4) {
        auto& p = m_points;
        switch (index) {
        case 0:
            p[1].setY(p[0].y());
            p[3].setX(p[0].x());
            break;
        case 1:
            p[0].setY(p[1].y());
            p[2].setX(p[1].x());
            break;
        case 2:
            p[1].setX(p[2].x());
            p[3].setY(p[2].y());
            break;
        case 3:
            p[0].setX(p[3].x());
            p[2].setY(p[3].y());
            break;
        }
    }
    if (m_kind == ShapeKind::Image)
        applyImageAspect();
    if (m_kind == ShapeKind::Line)
        computeLineEnds();
    updateHandles();
    return true;
}

void DisplayNode::applyImageAspect()
{
    if (m_points.size() != 4 || !m_image || !m_image->keepAspect() || m_image->naturalWidth() == 0)
        return;
    double ratio = double(m_image->naturalHeight()) / m_image->naturalWidth();
    int bottom = clampCoordinate(m_points[0].y() + std::trunc(ratio * (m_points[1].x() - m_points[0].x())));
    m_points[2].setY(bottom);
    m_points[3].setY(bottom);
}

void DisplayNode::snapToGrid(int grid)
{
    if (grid <= 0 || m_points.empty())
        return;
    QPoint offset = gridOffset(m_points[0], grid);
    if (offset.isNull())
        return;
    // In picture units, so that the node lands on the grid at any zoom.
    moveTo(m_points[0].x() + offset.x(), m_points[0].y() + offset.y());
    updateHandles();
    redraw();
}

void DisplayNode::snapPointsToGrid(int grid)
{
    if (grid <= 0 || m_kind == ShapeKind::Text)
        return;
    bool moved = false;
    for (QPoint& point : m_points) {
        QPoint offset = gridOffset(point, grid);
        if (!offset.isNull()) {
            point = clampPoint((long long)point.x() + offset.x(), (long long)point.y() + offset.y());
            moved = true;
        }
    }
    if (m_kind == ShapeKind::Image) {
        QRect bounds = getBounds();
        m_boxWidth = bounds.width();
        m_boxHeight = bounds.height();
    }
    if (moved) {
        updateHandles();
        redraw();
    }
}

bool DisplayNode::reflectX()
{
    QPoint centre;
    if (isFourCornerKind() || !getCentre(centre))
        return false;
    for (QPoint& point : m_points)
        point.setY(clampCoordinate(2.0 * centre.y() - point.y()));
    updateHandles();
    redraw();
    return true;
}

bool DisplayNode::reflectY()
{
    QPoint centre;
    if (isFourCornerKind() || !getCentre(centre))
        return false;
    for (QPoint& point : m_points)
        point.setX(clampCoordinate(2.0 * centre.x() - point.x()));
    updateHandles();
    redraw();
    return true;
}

bool DisplayNode::rotate(int degrees)
{
    QPoint centre;
    if (isFourCornerKind() || !getCentre(centre))
        return false;
    double theta = degrees * 0.017453292519943295;
    double c = std::cos(theta);
    double s = std::sin(theta);
    for (QPoint& point : m_points) {
        double u = point.x() - centre.x();
        double v = centre.y() - point.y();
        point = QPoint(clampCoordinate(centre.x() + std::trunc(c * u + s * v)),
            clampCoordinate(centre.y() - std::trunc(c * v - s * u)));
    }
    updateHandles();
    redraw();
    return true;
}

bool DisplayNode::scale(double factor)
{
    if (m_points.empty() || !std::isfinite(factor))
        return false;
    for (QPoint& point : m_points)
        point
            = QPoint(clampCoordinate(std::trunc(point.x() * factor)), clampCoordinate(std::trunc(point.y() * factor)));
    updateHandles();
    return true;
}

QPoint DisplayNode::segmentMidpoint(QPoint a, QPoint b)
{
    long long dx = (long long)b.x() - a.x();
    long long dy = (long long)b.y() - a.y();
    if (std::llabs(dx) < std::llabs(dy)) {
        long long y = std::min(a.y(), b.y()) + std::llabs(dy) / 2;
        long long x = a.x() + (long long)std::trunc(double(dx) * double(y - a.y()) / double(dy));
        return clampPoint(x, y);
    }
    long long x = std::min(a.x(), b.x()) + std::llabs(dx) / 2;
    long long y = dx == 0 ? a.y() : a.y() + (long long)std::trunc(double(dy) * double(x - a.x()) / double(dx));
    return clampPoint(x, y);
}

bool DisplayNode::insertPoint(int i, int j)
{
    int n = pointCount();
    if (i < 0 || i >= n || j < 0 || j >= n || n >= maximumPointCount)
        return false;
    QPoint middle = segmentMidpoint(m_points[size_t(i)], m_points[size_t(j)]);
    m_points.insert(m_points.begin() + j, middle);
    view().raiseLargestPointCount(pointCount());
    updateHandles();
    redraw();
    return true;
}

bool DisplayNode::deletePoint(int i)
{
    int n = pointCount();
    if (i < 0 || i >= n)
        return false;
    // Boxes are defined by their four corners; a line needs both ends.
    if (isFourCornerKind() || (m_kind == ShapeKind::Polygon && n <= 3))
        return false;
    if (isBezierLine()) {
        if (n < 5 || i + 2 >= n)
            return false;
        m_points.erase(m_points.begin() + i, m_points.begin() + i + 3);
    } else {
        if (m_kind == ShapeKind::Line && n <= 2)
            return false;
        m_points.erase(m_points.begin() + i);
    }
    if (m_activeHandle >= pointCount())
        m_activeHandle = -1;
    updateHandles();
    redraw();
    return true;
}

void DisplayNode::normalizeBezier()
{
    while (m_points.size() >= 2 && (m_points.size() - 1) % 3 != 0) {
        QPoint middle = segmentMidpoint(m_points[m_points.size() - 2], m_points.back());
        m_points.insert(m_points.end() - 1, middle);
    }
    if (m_handles.size() != m_points.size())
        updateHandles();
}

bool DisplayNode::getCentre(QPoint& centre) const
{
    if (m_points.empty())
        return false;
    switch (m_kind) {
    case ShapeKind::Text:
    case ShapeKind::Ellipse:
    case ShapeKind::Rectangle:
    case ShapeKind::RoundRectangle: {
        QRect bounds = getBounds();
        centre = QPoint(bounds.x() + bounds.width() / 2, bounds.y() + bounds.height() / 2);
        return true;
    }
    default:
        break;
    }
    if (m_points.size() == 2) {
        centre = segmentMidpoint(m_points[0], m_points[1]);
        return true;
    }
    QRectF box = outlinePath().boundingRect();
    centre = QPoint(int(box.x() + box.width() / 2), int(box.y() + box.height() / 2));
    return true;
}

QPainterPath DisplayNode::outlinePath() const
{
    QPainterPath path;
    switch (m_kind) {
    case ShapeKind::Polygon:
        path.addPolygon(QPolygonF(QPolygon(QList<QPoint>(m_points.begin(), m_points.end()))));
        path.closeSubpath();
        break;
    case ShapeKind::Ellipse:
        path.addEllipse(QRectF(getBounds()));
        break;
    case ShapeKind::RoundRectangle:
        path = BorderPainter::roundRectanglePath(getBounds(), false);
        break;
    case ShapeKind::Text:
    case ShapeKind::Image:
    case ShapeKind::Rectangle:
        path.addRect(QRectF(getBounds()));
        break;
    default:
        if (!m_points.empty()) {
            path.moveTo(m_points[0]);
            for (size_t i = 1; i < m_points.size(); ++i)
                path.lineTo(m_points[i]);
        }
        break;
    }
    return path;
}

const QRegion& DisplayNode::ellipseRegionAtOrigin() const
{
    QSize size = getBounds().size();
    if (size != m_ellipseRegionSize || m_ellipseRegion.isNull()) {
        m_ellipseRegion = QRegion(QRect(QPoint(0, 0), size), QRegion::Ellipse);
        m_ellipseRegionSize = size;
    }
    return m_ellipseRegion;
}

QRegion DisplayNode::outlineRegion() const
{
    switch (m_kind) {
    case ShapeKind::Polygon:
        return QRegion(QPolygon(QList<QPoint>(m_points.begin(), m_points.end())));
    case ShapeKind::Ellipse:
        return QRegion(getBounds(), QRegion::Ellipse);
    case ShapeKind::RoundRectangle:
        return QRegion(outlinePath().toFillPolygon().toPolygon());
    case ShapeKind::Text:
    case ShapeKind::Image:
    case ShapeKind::Rectangle:
        return QRegion(getBounds());
    default:
        return QRegion();
    }
}

}
