#include "picture/Pic.h"

#include "core/UniqueId.h"
#include "picture/GridDots.h"
#include "picture/View.h"
#include "picture/WinImage.h"
#include "xml/Elements.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <limits>
#include <unordered_set>

namespace lumavine {

Pic::Pic(View* view) : DisplayElement(view)
{
}

Pic::~Pic()
{
    clear();
}

void Pic::clear()
{
    m_selection.clear();
    m_secondList.clear();
    m_ids.clear();
    m_groups.clear();
    m_dragged = nullptr;
    while (PicNode* node = m_shapes.popFront())
        delete node;
}

bool Pic::compare(const PtrList&, const void* a, const void* b) const
{
    auto* added = static_cast<const PicNode*>(a);
    auto* listed = static_cast<const PicNode*>(b);
    if (listed->layer() != added->layer())
        return listed->layer() > added->layer();
    return listed->kindCode() < added->kindCode();
}

void Pic::requestRedraw()
{
    if (View* v = view())
        v->redraw();
}

void Pic::requestRedraw(const std::vector<QRect>& pieces, bool known)
{
    View* v = view();
    if (!v)
        return;
    // The pieces overlap and are many; widened to a grid of tiles they make
    // a region of few rectangles, built row by row instead of by a union
    // for every piece.
    constexpr int tile = 16;
    constexpr long long mostTiles = 1 << 20;
    QRect bounds;
    for (const QRect& piece : pieces)
        bounds |= piece;
    auto tileOf
        = [](int coordinate) { return coordinate >= 0 ? coordinate / tile : -((-coordinate + tile - 1) / tile); };
    const int firstColumn = tileOf(bounds.left());
    const int firstRow = tileOf(bounds.top());
    const long long columns = (long long)tileOf(bounds.right()) - firstColumn + 1;
    const long long rows = (long long)tileOf(bounds.bottom()) - firstRow + 1;
    if (!known || columns * rows > mostTiles) {
        v->redraw();
        return;
    }
    if (pieces.empty())
        return;
    std::vector<unsigned char> dirty(size_t(columns * rows), 0);
    for (const QRect& piece : pieces) {
        for (int row = tileOf(piece.top()) - firstRow; row <= tileOf(piece.bottom()) - firstRow; ++row) {
            unsigned char* line = dirty.data() + size_t(row) * size_t(columns);
            std::fill(line + (tileOf(piece.left()) - firstColumn), line + (tileOf(piece.right()) - firstColumn) + 1, 1);
        }
    }
    std::vector<QRect> runs;
    for (long long row = 0; row < rows; ++row) {
        const unsigned char* line = dirty.data() + size_t(row * columns);
        for (long long column = 0; column < columns;) {
            if (!line[column]) {
                ++column;
                continue;
            }
            long long end = column;
            while (end < columns && line[end])
                ++end;
            runs.emplace_back(
                int((firstColumn + column) * tile), int((firstRow + row) * tile), int((end - column) * tile), tile);
            column = end;
        }
    }
    QRegion area;
    area.setRects(runs.data(), int(runs.size()));
    v->redrawArea(area);
}

bool Pic::addPaintedPieces(const std::vector<PicNode*>& shapes, std::vector<QRect>& pieces) const
{
    for (const PicNode* node : shapes) {
        if (!node->paintedPieces(pieces))
            return false;
    }
    return true;
}

std::vector<QPoint> Pic::extentsOf(const std::vector<PicNode*>& shapes)
{
    std::vector<QPoint> extents;
    extents.reserve(shapes.size());
    for (const PicNode* node : shapes) {
        // A shape without points reaches nowhere.
        QPoint reach(std::numeric_limits<int>::min(), std::numeric_limits<int>::min());
        node->raiseExtent(reach);
        extents.push_back(reach);
    }
    return extents;
}

void Pic::keepExtentThroughMove(const std::vector<PicNode*>& shapes, const std::vector<QPoint>& before)
{
    if (!m_laidOut)
        return;
    const std::vector<QPoint> after = extentsOf(shapes);
    // A shape that bore the extent and moved back can leave it smaller, to
    // what the other shapes reach; otherwise the moved shapes can only have
    // raised it.
    bool shrinks = false;
    for (size_t i = 0; i < shapes.size() && !shrinks; ++i) {
        shrinks = (before[i].x() >= m_laidOutExtent.x() && after[i].x() < before[i].x())
            || (before[i].y() >= m_laidOutExtent.y() && after[i].y() < before[i].y());
    }
    for (size_t i = 0; i < shapes.size(); ++i)
        shapes[i]->setCountedExtent(after[i]);
    if (shrinks) {
        // What every other shape reaches is as the last layout or move
        // counted it: only moves came since, and they count what they move.
        m_laidOutExtent = QPoint(0, 0);
        for (const PicNode* node : m_shapes) {
            const QPoint reach = node->countedExtent();
            m_laidOutExtent
                = QPoint(std::max(m_laidOutExtent.x(), reach.x()), std::max(m_laidOutExtent.y(), reach.y()));
        }
        return;
    }
    for (const QPoint& reach : after)
        m_laidOutExtent = QPoint(std::max(m_laidOutExtent.x(), reach.x()), std::max(m_laidOutExtent.y(), reach.y()));
}

bool Pic::paintsInside(const PicNode* shape, const QRegion& clip)
{
    QRect painted;
    return !shape->paintedArea(painted) || clip.intersects(painted);
}

void Pic::setPicFlag(int flag, bool on)
{
    if (on)
        m_picFlags |= flag;
    else
        m_picFlags &= ~flag;
}

std::unique_ptr<PicNode> Pic::createNode()
{
    return std::make_unique<PicNode>(this);
}

void Pic::addFormGroups(Element*, PicNode*)
{
}

std::unique_ptr<WinImage> Pic::createImage()
{
    return std::make_unique<WinImage>(baseDirectory());
}

String Pic::newNodeId()
{
    String id;
    makeUniqueId(id, m_idSeparator.empty() ? u'-' : m_idSeparator[0]);
    return id;
}

String Pic::uniqueName(ShapeKind kind)
{
    String base(DisplayNode::kindDisplayName(int(kind)));
    int number = 1;
    for (const PicNode* node : m_shapes) {
        if (node->kind() == kind)
            ++number;
    }
    for (;;) {
        String candidate = base + u'_';
        candidate.appendInt(number);
        bool taken = false;
        for (const PicNode* node : m_shapes) {
            if (node->kind() == kind && node->getName().equals(candidate)) {
                taken = true;
                break;
            }
        }
        if (!taken)
            return candidate;
        ++number;
    }
}

PicNode* Pic::takeShape(std::unique_ptr<PicNode> shape)
{
    if (!shape)
        return nullptr;
    PicNode* node = shape.release();
    node->setPicture(this);
    if (node->id().empty() || m_ids.get(node->id()))
        node->setId(newNodeId());
    m_shapes.insertSorted(node, *this);
    m_ids.add(node->id(), node);
    return node;
}

void Pic::attachEndsByIds(PicNode* adopted)
{
    for (PicNode* line : m_shapes) {
        if (line->kind() != ShapeKind::Line)
            continue;
        bool changed = false;
        for (int end = 0; end < 2; ++end) {
            const String& id = line->endId(end);
            DisplayNode* target = line->anchor(end);
            if (line == adopted)
                target = id.empty() ? nullptr : findNode(id);
            else if (!id.empty() && id.equals(adopted->id()))
                target = adopted;
            if (target == line)
                target = nullptr;
            if (line->anchor(end) != target) {
                line->setAnchor(end, target);
                changed = true;
            }
        }
        if (changed) {
            line->computeLineEnds();
            line->updateHandles();
        }
    }
}

PicNode* Pic::adoptNode(std::unique_ptr<PicNode> shape)
{
    PicNode* node = takeShape(std::move(shape));
    if (!node)
        return nullptr;
    attachEndsByIds(node);
    requestRedraw();
    return node;
}

void Pic::layerChanged(PicNode* node)
{
    // A shape not adopted yet is not listed; adoption places it.
    if (m_shapes.remove(node))
        m_shapes.insertSorted(node, *this);
    requestRedraw();
}

std::unique_ptr<PicNode> Pic::newShape(ShapeKind kind)
{
    std::unique_ptr<PicNode> node = createNode();
    node->setKind(kind);
    node->setName(uniqueName(kind));
    return node;
}

PicNode* Pic::addLine(const std::vector<QPoint>& points)
{
    if (points.size() < 2)
        return nullptr;
    auto node = newShape(ShapeKind::Line);
    if (!node->setPoints(points))
        return nullptr;
    node->computeLineEnds();
    node->updateHandles();
    return adoptNode(std::move(node));
}

PicNode* Pic::addPolygon(const std::vector<QPoint>& points)
{
    if (points.size() < 3)
        return nullptr;
    auto node = newShape(ShapeKind::Polygon);
    if (!node->setPoints(points))
        return nullptr;
    return adoptNode(std::move(node));
}

PicNode* Pic::addRectangle(const QRect& rectangle)
{
    auto node = newShape(ShapeKind::Rectangle);
    node->setBounds(rectangle);
    return adoptNode(std::move(node));
}

PicNode* Pic::addRoundRectangle(const QRect& rectangle)
{
    auto node = newShape(ShapeKind::RoundRectangle);
    node->setBounds(rectangle);
    return adoptNode(std::move(node));
}

PicNode* Pic::addEllipse(const QRect& rectangle)
{
    auto node = newShape(ShapeKind::Ellipse);
    node->setBounds(rectangle);
    return adoptNode(std::move(node));
}

PicNode* Pic::addPicture(int x, int y, const String& source)
{
    auto node = newShape(ShapeKind::Image);
    node->setProperty(u"image", String(u"source=\"") + source + u"\"");
    int width = 40;
    int height = 40;
    if (WinImage* image = node->image(); image && image->isLoaded()) {
        width = image->naturalWidth();
        height = image->naturalHeight();
    }
    node->setBounds(QRect(x, y, width, height));
    node->updateImageSize();
    node->border().setWidth(0);
    return adoptNode(std::move(node));
}

PicNode* Pic::addThumbnail(int x, int y, const String& source)
{
    auto node = newShape(ShapeKind::Image);
    node->setProperty(u"image", String(u"source=\"") + source + u"\"");
    if (WinImage* image = node->image())
        image->setKeepAspect(true);
    node->setBounds(QRect(x, y, 100, 100));
    node->updateImageSize();
    node->border().setWidth(0);
    return adoptNode(std::move(node));
}

void Pic::markSelected(PicNode* shape, bool selected)
{
    if (selected && !shape->isSelected()) {
        shape->setSelected(true);
        m_selection.append(shape);
    } else if (!selected && shape->isSelected()) {
        shape->setSelected(false);
        m_selection.remove(shape);
    }
}

bool Pic::select(PicNode* shape, bool toggle, bool keepOthers)
{
    if (!shape)
        return false;
    bool selecting;
    if (!shape->isSelected()) {
        if (!keepOthers)
            clearSelection();
        markSelected(shape, true);
        selecting = true;
    } else if (!toggle) {
        markSelected(shape, false);
        selecting = false;
    } else {
        selecting = true;
    }
    for (const auto& group : m_groups) {
        if (!group->get(shape->id()))
            continue;
        for (const PtrMap::Entry* entry : *group)
            markSelected(Group::valueOf(entry), selecting);
    }
    return true;
}

void Pic::selectAll()
{
    for (PicNode* node : m_shapes)
        markSelected(node, true);
    requestRedraw();
}

void Pic::clearSelection()
{
    for (PicNode* node : m_shapes)
        node->setSelected(false);
    m_selection.clear();
    requestRedraw();
}

void Pic::selectList(const PtrListOf<PicNode>& shapes)
{
    clearSelection();
    for (PicNode* node : shapes)
        select(node, true, true);
}

void Pic::removeFromGroups(const PicNode* shape)
{
    for (auto& group : m_groups)
        group->remove(shape->id());
    std::erase_if(m_groups, [](const std::unique_ptr<Group>& group) { return group->isEmpty(); });
}

std::unique_ptr<PicNode> Pic::removeNode(PicNode* shape)
{
    if (!shape || !m_shapes.remove(shape))
        return nullptr;
    if (m_ids.get(shape->id()) == shape)
        m_ids.remove(shape->id());
    m_selection.remove(shape);
    m_secondList.remove(shape);
    shape->setSelected(false);
    if (m_dragged == shape)
        m_dragged = nullptr;
    removeFromGroups(shape);
    // The shape leaves holding no pointer into the picture; its end ids stay
    // for adoption to attach it again.
    shape->setAnchor(0, nullptr);
    shape->setAnchor(1, nullptr);
    // A line attached to the removed shape comes loose, and its end id goes.
    for (PicNode* node : m_shapes) {
        if (node->kind() != ShapeKind::Line)
            continue;
        for (int end = 0; end < 2; ++end) {
            if (node->anchor(end) == shape || node->endId(end).equals(shape->id())) {
                node->attachEnd(end, nullptr);
                node->setEndId(end, String());
            }
        }
        node->resolveEnds();
    }
    requestRedraw();
    return std::unique_ptr<PicNode>(shape);
}

int Pic::removeSelected()
{
    int removed = 0;
    while (PicNode* shape = m_selection.first()) {
        bool wasSelected = shape->isSelected();
        std::unique_ptr<PicNode> gone = removeNode(shape);
        if (!gone) {
            m_selection.remove(shape);
            continue;
        }
        if (wasSelected)
            ++removed;
    }
    return removed;
}

bool Pic::group(const PtrListOf<PicNode>& shapes)
{
    if (shapes.count() < 2)
        return false;
    auto group = std::make_unique<Group>(true);
    for (PicNode* node : shapes)
        group->add(node->id(), node);
    m_groups.push_back(std::move(group));
    return true;
}

bool Pic::ungroup(const PtrListOf<PicNode>& shapes)
{
    if (shapes.isEmpty())
        return false;
    for (PicNode* node : shapes)
        removeFromGroups(node);
    return true;
}

bool Pic::hitsShape(PicNode* shape, QPoint point, bool handlesOnly)
{
    shape->setActiveHandle(-1);
    if (shape->kind() == ShapeKind::Line) {
        if (shape->lineEnd(0).square.contains(point)) {
            shape->setActiveHandle(0);
            return true;
        }
        if (shape->lineEnd(1).square.contains(point)) {
            shape->setActiveHandle(shape->pointCount() - 1);
            return true;
        }
        return shape->hitHandle(point) >= 0;
    }
    if (!handlesOnly) {
        QRect bounds = shape->getBounds();
        if (shape->kind() == ShapeKind::Polygon) {
            // The region is costly to build; most shapes are ruled out by
            // their bounds first.
            if (bounds.contains(point) && shape->outlineRegion().contains(point))
                return true;
        } else if (bounds.contains(point)) {
            return true;
        }
    }
    return shape->hitHandle(point) >= 0;
}

PicNode* Pic::hitList(
    const PtrListOf<PicNode>& list, QPoint point, const PicNode* exclude, bool fromFront, bool handlesOnly)
{
    if (fromFront) {
        for (PicNode* node : list) {
            if (node != exclude && hitsShape(node, point, handlesOnly))
                return node;
        }
        return nullptr;
    }
    // Walk from the topmost shape; links are followed backwards.
    std::vector<PicNode*> reversed(list.begin(), list.end());
    for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
        if (*it != exclude && hitsShape(*it, point, handlesOnly))
            return *it;
    }
    return nullptr;
}

PicNode* Pic::hitPoint(QPoint point, const PicNode* exclude, bool fromFront)
{
    PicNode* s = hitList(m_selection, point, exclude, fromFront, false);
    if (s && s->activeHandle() >= 0)
        return s;
    int selectedHandle = s ? s->activeHandle() : -1;
    PicNode* t = hitList(m_shapes, point, exclude, fromFront, true);
    if (!t)
        t = hitList(m_shapes, point, exclude, fromFront, false);
    if (s)
        s->setActiveHandle(selectedHandle);
    if (!s || !t)
        return s ? s : t;
    if (t->layer() > s->layer() || (t->layer() == s->layer() && t->kindCode() < s->kindCode()))
        return t;
    return s;
}

size_t Pic::shapesInRect(const QRect& rectangle, PtrListOf<PicNode>& into, bool all) const
{
    size_t found = 0;
    for (PicNode* node : m_shapes) {
        const auto& points = node->points();
        if (points.empty())
            continue;
        bool inside = all ? std::all_of(points.begin(), points.end(), [&](QPoint p) { return rectangle.contains(p); })
                          : std::any_of(points.begin(), points.end(), [&](QPoint p) { return rectangle.contains(p); });
        if (inside) {
            into.append(node);
            ++found;
        }
    }
    return found;
}

size_t Pic::shapesInShape(const PicNode* container, PtrListOf<PicNode>& into, bool all) const
{
    if (!container || container->kind() == ShapeKind::Line)
        return 0;
    if (container->kind() != ShapeKind::Polygon)
        return shapesInRect(container->getBounds(), into, all);
    QRegion region = container->outlineRegion();
    size_t found = 0;
    for (PicNode* node : m_shapes) {
        const auto& points = node->points();
        if (node == container || points.empty())
            continue;
        auto inRegion = [&](QPoint p) { return region.contains(p); };
        bool inside = all ? std::all_of(points.begin(), points.end(), inRegion)
                          : std::any_of(points.begin(), points.end(), inRegion);
        if (inside) {
            into.append(node);
            ++found;
        }
    }
    return found;
}

void Pic::lineEndsChanged()
{
    if (m_batchDepth > 0) {
        m_lineEndsDirty = true;
        return;
    }
    recomputeLines(nullptr);
}

void Pic::recomputeLines(const PtrListOf<PicNode>* moved)
{
    for (PicNode* node : m_shapes) {
        if (node->kind() != ShapeKind::Line)
            continue;
        if (moved) {
            bool affected = node->isSelected() || (node->anchor(0) && node->anchor(0)->isSelected())
                || (node->anchor(1) && node->anchor(1)->isSelected());
            if (!affected)
                continue;
        }
        node->computeLineEnds();
        node->updateHandles();
    }
}

void Pic::moveSelectionBy(ScreenDelta delta)
{
    moveSelectionBy(DisplayElement::view().toPicture(delta));
}

void Pic::moveSelectionBy(PictureDelta delta)
{
    moveAndRepaint(std::vector<PicNode*>(m_selection.begin(), m_selection.end()), delta);
}

void Pic::moveShapesBy(const std::vector<PicNode*>& shapes, PictureDelta delta)
{
    moveAndRepaint(shapes, delta);
}

void Pic::moveAndRepaint(const std::vector<PicNode*>& shapes, PictureDelta delta)
{
    if (shapes.empty())
        return;
    // The lines to place again, in drawing order: those moved and those
    // hanging on a moved shape. With the moved shapes they are all that can
    // change on screen, and only where they were and where they go is
    // painted again.
    std::unordered_set<const DisplayNode*> moved(shapes.begin(), shapes.end());
    // Most lines are neither moved nor attached: they are passed over
    // without a look-up.
    const bool linesMoved = std::any_of(
        shapes.begin(), shapes.end(), [](const PicNode* shape) { return shape->kind() == ShapeKind::Line; });
    std::vector<PicNode*> lines;
    std::vector<PicNode*> changed = shapes;
    for (PicNode* node : m_shapes) {
        if (node->kind() != ShapeKind::Line)
            continue;
        const DisplayNode* endA = node->anchor(0);
        const DisplayNode* endZ = node->anchor(1);
        const bool own = linesMoved && moved.contains(node);
        if (own || (endA && moved.contains(endA)) || (endZ && moved.contains(endZ))) {
            lines.push_back(node);
            if (!own)
                changed.push_back(node);
        }
    }
    std::vector<QRect> damage;
    bool known = addPaintedPieces(changed, damage);
    const std::vector<QPoint> extentsBefore = extentsOf(changed);
    ++m_batchDepth;
    for (PicNode* node : shapes)
        node->moveBy(delta);
    --m_batchDepth;
    if (m_lineEndsDirty) {
        m_lineEndsDirty = false;
        for (PicNode* line : lines) {
            line->computeLineEnds();
            line->updateHandles();
        }
    }
    keepExtentThroughMove(changed, extentsBefore);
    known = known && addPaintedPieces(changed, damage);
    requestRedraw(damage, known);
}

void Pic::resolveAllEnds()
{
    for (PicNode* node : m_shapes) {
        if (node->kind() == ShapeKind::Line)
            node->resolveEnds();
    }
}

void Pic::setGridSize(int size)
{
    if (size <= 0)
        return;
    m_gridSize = size;
    requestRedraw();
}

PicNode* Pic::rubberBand()
{
    if (!m_rubberBand) {
        m_rubberBand = createNode();
        m_rubberBand->setKind(ShapeKind::None, 4);
    }
    return m_rubberBand.get();
}

void Pic::beginHandleDrag(PicNode* shape, QPoint point)
{
    if (View* v = view())
        v->setPointerHidden(true);
    m_dragStart = m_lastPoint = point;
    m_delta = QPoint();
    m_dragged = shape;
    m_picFlags |= PointerCaptured;
}

void Pic::beginRubberBand(QPoint point)
{
    m_dragStart = m_lastPoint = point;
    m_delta = QPoint();
    PicNode* band = rubberBand();
    band->setKind(ShapeKind::Rectangle);
    QPoint at = point;
    if (View* v = view())
        at = QPoint(v->toPictureLength(point.x()), v->toPictureLength(point.y()));
    band->setBounds(QRect(at, QSize(0, 0)));
    m_picFlags |= RubberBandActive | PointerCaptured;
}

void Pic::dragTo(QPoint point)
{
    View* v = view();
    auto toPicture = [v](QPoint screen) {
        return v ? QPoint(v->toPictureLength(screen.x()), v->toPictureLength(screen.y())) : screen;
    };
    // Measured from the start of the drag, so that the handle lands under the
    // pointer at any zoom instead of collecting the truncation of every step.
    QPoint step = toPicture(point - m_dragStart) - toPicture(m_lastPoint - m_dragStart);
    if (m_dragged && !step.isNull()) {
        m_dragged->movePoint(m_dragged->activeHandle(), step.x(), step.y());
        recomputeLines(nullptr);
    }
    if ((m_picFlags & RubberBandActive) && !step.isNull())
        rubberBand()->movePoint(2, step.x(), step.y());
    m_delta = point - m_lastPoint;
    m_lastPoint = point;
    requestRedraw();
}

PicNode* Pic::endDrag(QPoint point)
{
    // The release can come where no move was reported.
    if (point != m_lastPoint && (m_dragged || (m_picFlags & RubberBandActive)))
        dragTo(point);
    PicNode* result = nullptr;
    if (m_dragged) {
        if (m_dragged->kind() == ShapeKind::Image)
            m_dragged->updateImageSize();
        result = m_dragged;
    } else if (m_picFlags & RubberBandActive) {
        result = rubberBand();
    }
    m_picFlags &= ~(RubberBandActive | PointerCaptured);
    m_dragged = nullptr;
    requestRedraw();
    if (View* v = view())
        v->setPointerHidden(false);
    return result;
}

bool Pic::trackDelta(bool leftButtonDown, QPoint point)
{
    if (!leftButtonDown || m_selection.isEmpty())
        return false;
    m_delta = point - m_lastPoint;
    m_lastPoint = point;
    return true;
}

QPoint Pic::extent()
{
    QPoint extent(0, 0);
    if (m_reuseLayout && m_laidOut) {
        extent = m_laidOutExtent;
    } else {
        // Each shape's own reach is kept for moves to count the extent with.
        for (PicNode* node : m_shapes) {
            QPoint reach(std::numeric_limits<int>::min(), std::numeric_limits<int>::min());
            node->layout(reach);
            node->setCountedExtent(reach);
            extent = QPoint(std::max(extent.x(), reach.x()), std::max(extent.y(), reach.y()));
        }
        m_laidOutExtent = extent;
        m_laidOut = true;
    }
    m_reuseLayout = false;
    double zoom = view() ? view()->zoom() : 1.0;
    m_lastExtent = QPoint(int(extent.x() * zoom), int(extent.y() * zoom));
    return m_lastExtent;
}

void Pic::draw(QPainter& painter)
{
    if (showGrid())
        drawGrid(painter);
    // A canvas that paints part of the page clips the painter to that part;
    // the shapes wholly outside it are left out, in their order. Page
    // pictures are drawn whole.
    const View* v = view();
    const bool culling = painter.hasClipping() && v && !v->isExportMode();
    const QRegion clip = culling ? painter.clipRegion() : QRegion();
    for (PicNode* node : m_shapes) {
        if (!culling || paintsInside(node, clip))
            node->draw(painter);
        else if (node->isBezierLine())
            // Drawing brings a line's points to a whole chain of curves;
            // a line left out is brought there all the same.
            node->normalizeBezier();
    }
    if ((m_picFlags & PointerCaptured) && !m_dragged && m_rubberBand) {
        if (m_picFlags & RubberBandActive) {
            QRect band = m_rubberBand->getBounds(true).normalized();
            painter.save();
            QPen pen(Qt::black, 1, Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(band);
            painter.restore();
        } else {
            m_rubberBand->draw(painter);
        }
    }
    drawSelection(painter);
}

void Pic::drawGrid(QPainter& painter)
{
    View* v = view();
    if (!v || v->isExportMode() || v->isPreviewMode() || v->zoom() != 1.0)
        return;
    const int step = v->toScreenLength(m_gridSize);
    if (step <= 0)
        return;
    // The grid lies on the page only, never on the grey around it; its last
    // row and column of pixels are the page's.
    QSize page = v->pageSize();
    if (page.isEmpty())
        page = QSize(m_lastExtent.x(), m_lastExtent.y());
    QRect dots(QPoint(0, 0), QPoint(page.width() - 1, page.height() - 1));
    // Only the intersections about the clip are drawn: from the column and
    // row at or before its top-left corner to a step past its bottom-right
    // one, which keeps even a clip one pixel wide from being no area at all.
    if (painter.hasClipping()) {
        const QRect clip = painter.clipBoundingRect().toAlignedRect();
        dots.setCoords(std::max(0, clip.left() / step * step), std::max(0, clip.top() / step * step),
            std::min(dots.right(), clip.right() + step), std::min(dots.bottom(), clip.bottom() + step));
    }
    if (dots.right() < dots.left() || dots.bottom() < dots.top())
        return;
    painter.save();
    painter.translate(dots.topLeft());
    drawGridDots(painter, step, QSize(dots.right() - dots.left(), dots.bottom() - dots.top()));
    painter.restore();
}

void Pic::drawSelection(QPainter& painter)
{
    const View* v = view();
    const bool culling = painter.hasClipping() && v && !v->isExportMode();
    const QRegion clip = culling ? painter.clipRegion() : QRegion();
    for (PicNode* node : m_selection) {
        if (!culling || paintsInside(node, clip))
            node->drawSelection(painter);
    }
}

void Pic::writeXml(Element* parent)
{
    Element* properties = addElement(parent, String(u"properties"));
    DisplayElement::writeXml(properties);
    addElement(properties, String(u"gridsize"), m_gridSize);
    if (showGrid())
        addElement(properties, String(u"showgrid"), String(u"true"));
    if (snapGrid())
        addElement(properties, String(u"snapgrid"), String(u"true"));
    for (PicNode* node : m_shapes)
        node->writeXml(addElement(parent, String(u"node")));
    for (const auto& group : m_groups) {
        Element* element = addElement(parent, String(u"group"));
        for (const PtrMap::Entry* entry : *group)
            addElement(element, String(u"id"), entry->key());
    }
}

bool Pic::load(const Element* element)
{
    if (!element)
        return false;
    if (const Element* properties = findChildElement(element, u"properties", true)) {
        setPicFlag(ShowGrid, false);
        setPicFlag(SnapGrid, false);
        for (const Node* child : properties->childNodes()) {
            if (!child->isElement())
                continue;
            const String& key = child->nodeName();
            const String& value = lumavine::getText(child);
            if (key.equalsIgnoreCase(u"gridsize")) {
                int size = 0;
                if (value.readInt(size) && size > 0)
                    m_gridSize = size;
            } else if (key.equalsIgnoreCase(u"showgrid")) {
                setPicFlag(ShowGrid, value.equals(u"true"));
            } else if (key.equalsIgnoreCase(u"snapgrid")) {
                setPicFlag(SnapGrid, value.equals(u"true"));
            } else {
                setProperty(key, value);
            }
        }
    }
    for (const Node* child : element->childNodes()) {
        if (!child->isElement())
            continue;
        if (child->nodeName().equals(u"node")) {
            std::unique_ptr<PicNode> node = createNode();
            // Of shapes that repeat an id the first keeps it and the others
            // are left out; the project's reader reports them.
            if (node->readXml(child->asElement()) && (node->id().empty() || !findNode(node->id())))
                takeShape(std::move(node));
        } else if (child->nodeName().equals(u"group")) {
            auto group = std::make_unique<Group>(true);
            for (const Node* id : child->childNodes()) {
                if (!id->isElement() || !id->nodeName().equals(u"id"))
                    continue;
                if (PicNode* member = findNode(lumavine::getText(id)))
                    group->add(member->id(), member);
            }
            if (!group->isEmpty())
                m_groups.push_back(std::move(group));
        }
    }
    resolveAllEnds();
    requestRedraw();
    return true;
}

void Pic::importNodes(const Element* element, StringMap& oldToNew, PtrMapOf<PicNode>& newShapes)
{
    if (!element)
        return;
    PtrListOf<Node> nodes;
    getChildElements(element, u"node", nodes);
    // Fresh ids first, so that lines can translate their end ids whatever
    // the order of the fragment.
    for (Node* node : nodes) {
        String oldId = getChildText(node, u"id");
        String newId = newNodeId();
        if (!oldId.empty())
            oldToNew.set(oldId, newId);
        setChildText(node, String(u"id"), newId);
    }
    // A copy lands this far below and right of its original, so that it
    // shows beside it at any zoom.
    const PictureDelta offset = DisplayElement::view().toPicture(ScreenDelta { 10, 10 });
    auto readOne = [&](Node* node, const String& oldId) {
        std::unique_ptr<PicNode> shape = createNode();
        if (!shape->readXml(node->asElement()))
            return;
        PicNode* added = takeShape(std::move(shape));
        added->moveBy(offset);
        if (!oldId.empty())
            newShapes.add(oldId, added);
    };
    auto isLine = [](const Node* node) {
        ShapeKind kind;
        return DisplayNode::kindFromName(getChildText(node, u"ntype"), kind) && kind == ShapeKind::Line;
    };
    auto oldIdOf = [&](const Node* node) {
        const String& newId = getChildText(node, u"id");
        for (const PtrMap::Entry* entry : oldToNew) {
            if (StringMap::valueOf(entry).equals(newId))
                return entry->key();
        }
        return emptyString;
    };
    for (Node* node : nodes) {
        if (!isLine(node))
            readOne(node, oldIdOf(node));
    }
    for (Node* node : nodes) {
        if (!isLine(node))
            continue;
        for (const char16_t* end : { u"endida", u"endidz" }) {
            const String& oldEnd = getChildText(node, end);
            if (oldEnd.empty())
                continue;
            const String& translated = oldToNew.get(oldEnd);
            setChildText(node, String(end), translated);
        }
        readOne(node, oldIdOf(node));
    }
    PtrListOf<Node> groupElements;
    getChildElements(element, u"group", groupElements);
    for (Node* groupElement : groupElements) {
        auto group = std::make_unique<Group>(true);
        for (const Node* id : groupElement->childNodes()) {
            if (!id->isElement() || !id->nodeName().equals(u"id"))
                continue;
            if (PicNode* member = findNode(oldToNew.get(lumavine::getText(id))))
                group->add(member->id(), member);
        }
        if (!group->isEmpty())
            m_groups.push_back(std::move(group));
    }
    resolveAllEnds();
    requestRedraw();
}

}
