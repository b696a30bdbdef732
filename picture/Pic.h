#pragma once

#include "core/PtrMap.h"
#include "picture/PicNode.h"
#include "picture/PictureOwner.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <memory>
#include <vector>

class QPainter;

namespace lumavine {

class Element;
class StringMap;

// The editable picture of one page: its shapes in drawing order, their ids,
// the selection, groups, the grid, handle dragging and the rubber band, and
// the picture's XML form.
class Pic : public DisplayElement, public PtrListSort, public PictureOwner {
public:
    enum Flag {
        HandlesHidden = 1,
        ShowGrid = 2,
        SnapGrid = 4,
        RubberBandActive = 0x10,
        PointerCaptured = 0x20,
    };
    using Group = PtrMapOf<PicNode>;

    explicit Pic(View* view = nullptr);
    ~Pic() override;

    // Layers ascend; within a layer higher kind codes come first, so lines
    // and text lie over the boxes of their layer.
    bool compare(const PtrList& list, const void* a, const void* b) const override;

    View* view() const override { return m_owner; }
    void setView(View* view) { setOwner(view); }
    int gridSize() const override { return m_gridSize; }
    void lineEndsChanged() override;
    String uniqueName(ShapeKind kind) override;
    // A fresh shape id, made with the id separator.
    String newNodeId();
    PicNode* findNode(std::u16string_view id) const override { return m_ids.get(id); }
    void layerChanged(PicNode* node) override;
    bool handlesSuppressed() const override { return m_picFlags & (HandlesHidden | PointerCaptured); }
    const String& baseDirectory() const override { return emptyString; }
    std::unique_ptr<WinImage> createImage() override;

    virtual void draw(QPainter& painter);
    virtual void drawGrid(QPainter& painter);
    virtual void drawSelection(QPainter& painter);
    // The shape factory; pages make their own kind of shape.
    virtual std::unique_ptr<PicNode> createNode();
    // Lets a subclass add its own groups to a shape's property form.
    virtual void addFormGroups(Element* form, PicNode* shape);
    void writeXml(Element* parent) override;
    virtual bool load(const Element* element);
    // Adds shapes from a copied fragment with fresh ids, moved by (10, 10);
    // fills the old-to-new id map and the new shapes by old id.
    virtual void importNodes(const Element* element, StringMap& oldToNew, PtrMapOf<PicNode>& newShapes);
    // Lays out every shape and answers the largest point plus border, in
    // screen pixels.
    virtual QPoint extent();
    // Lets the next extent() answer from the last layout, as the moves since
    // have kept it, without laying every shape out again: for a view that
    // knows nothing but moves changed the picture since that layout. Any
    // later extent() lays out as ever.
    void reuseLayoutOnce() { m_reuseLayout = true; }

    PicNode* addLine(const std::vector<QPoint>& points);
    PicNode* addPolygon(const std::vector<QPoint>& points);
    PicNode* addRectangle(const QRect& rectangle);
    PicNode* addRoundRectangle(const QRect& rectangle);
    PicNode* addEllipse(const QRect& rectangle);
    PicNode* addPicture(int x, int y, const String& source);
    PicNode* addThumbnail(int x, int y, const String& source);

    bool select(PicNode* shape, bool toggle, bool keepOthers);
    void selectAll();
    void clearSelection();
    void selectList(const PtrListOf<PicNode>& shapes);
    PicNode* firstSelected() const { return m_selection.first(); }
    size_t selectionCount() const { return m_selection.count(); }
    const PtrListOf<PicNode>& selection() const { return m_selection; }

    // The one way in for a shape, whoever made it: the picture takes it,
    // gives it a fresh id when it has none or one another shape bears, puts
    // it in the drawing order after the shapes of its layer and kind, and
    // attaches by id the shape's own line ends and the ends of lines that
    // name it. End ids that name no shape are kept, so shapes that
    // removeNode gave back can return in any order. Answers the shape, null
    // for none. Main thread only: redraws the view.
    PicNode* adoptNode(std::unique_ptr<PicNode> shape);
    // The one way out: takes the shape out of the shape list, the id map,
    // the selection and every group, frees the ends of lines attached to it
    // (clearing their end ids), and hands it to the caller. Adoption gives
    // back neither the group places nor those ends. The shape keeps its id,
    // its layer and its own end ids, though not the shapes they attached it
    // to, so adoptNode can take it back. Null when the picture does not hold
    // it. Main thread only: redraws the view.
    std::unique_ptr<PicNode> removeNode(PicNode* shape);
    // Removes and deletes every selected shape; answers how many.
    int removeSelected();

    bool group(const PtrListOf<PicNode>& shapes);
    bool ungroup(const PtrListOf<PicNode>& shapes);
    const std::vector<std::unique_ptr<Group>>& groups() const { return m_groups; }

    PicNode* hitList(
        const PtrListOf<PicNode>& list, QPoint point, const PicNode* exclude, bool fromFront, bool handlesOnly);
    PicNode* hitPoint(QPoint point, const PicNode* exclude, bool fromFront);
    size_t shapesInRect(const QRect& rectangle, PtrListOf<PicNode>& into, bool all) const;
    size_t shapesInShape(const PicNode* container, PtrListOf<PicNode>& into, bool all) const;

    // Moves every selected shape, then recomputes only the line ends that
    // the move can have changed. A picture delta moves the same at any zoom;
    // a screen delta (pointer input) is turned into one here with the view's
    // zoom. Main thread only: both redraw the view.
    void moveSelectionBy(PictureDelta delta);
    void moveSelectionBy(ScreenDelta delta);
    // Moves these shapes by one delta and then places only the line ends
    // that hang on them, once: moving them one by one would place every line
    // of the picture after each shape.
    void moveShapesBy(const std::vector<PicNode*>& shapes, PictureDelta delta);

    void setGridSize(int size);
    bool showGrid() const { return m_picFlags & ShowGrid; }
    void setShowGrid(bool on) { setPicFlag(ShowGrid, on); }
    bool snapGrid() const { return m_picFlags & SnapGrid; }
    void setSnapGrid(bool on) { setPicFlag(SnapGrid, on); }
    void showHandles(bool show) { setPicFlag(HandlesHidden, !show); }
    int pictureFlags() const { return m_picFlags; }

    void beginHandleDrag(PicNode* shape, QPoint point);
    void beginRubberBand(QPoint point);
    // Points are in screen pixels. Each step leaves the dragged handle (or
    // the band's corner) under the pointer and the attached line ends on
    // their shapes; endDrag takes the release point as a last step.
    void dragTo(QPoint point);
    PicNode* endDrag(QPoint point);
    // With the left button down and a selection, records the pointer delta
    // (screen pixels, as is `point`) for the canvas to move the selection by.
    bool trackDelta(bool leftButtonDown, QPoint point);
    bool isRubberBand(const PicNode* shape) const { return shape && shape == m_rubberBand.get(); }
    PicNode* rubberBand();
    PicNode* draggedShape() const { return m_dragged; }
    ScreenDelta lastDelta() const { return ScreenDelta { m_delta.x(), m_delta.y() }; }
    QPoint lastExtent() const { return m_lastExtent; }

    const PtrListOf<PicNode>& shapes() const { return m_shapes; }
    size_t shapeCount() const { return m_shapes.count(); }
    const String& idSeparator() const { return m_idSeparator; }
    void setIdSeparator(const String& separator) { m_idSeparator = separator; }
    // Deletes every shape and group and forgets the selection.
    void clear();

private:
    // Adoption without attaching line ends or redrawing, for the readers of
    // a whole fragment, which resolve every end once all shapes are in.
    PicNode* takeShape(std::unique_ptr<PicNode> shape);
    void attachEndsByIds(PicNode* adopted);
    std::unique_ptr<PicNode> newShape(ShapeKind kind);
    void setPicFlag(int flag, bool on);
    void markSelected(PicNode* shape, bool selected);
    void removeFromGroups(const PicNode* shape);
    void resolveAllEnds();
    void recomputeLines(const PtrListOf<PicNode>* moved);
    // Moves the shapes, places the lines on them again and asks for a
    // repaint of what changed.
    void moveAndRepaint(const std::vector<PicNode*>& shapes, PictureDelta delta);
    void requestRedraw();
    // Asks the view to paint again only where these screen rectangles lie,
    // or everything when `known` is false.
    void requestRedraw(const std::vector<QRect>& pieces, bool known);
    // Adds the screen rectangles these shapes paint to `pieces`; false when
    // one of them cannot tell.
    bool addPaintedPieces(const std::vector<PicNode*>& shapes, std::vector<QRect>& pieces) const;
    // Each shape's largest point plus border, as layout counts them.
    static std::vector<QPoint> extentsOf(const std::vector<PicNode*>& shapes);
    // Brings the extent of the last layout up to date after these shapes
    // moved from the extents `before` to where they are now.
    void keepExtentThroughMove(const std::vector<PicNode*>& shapes, const std::vector<QPoint>& before);
    // Whether the shape can paint inside the clip.
    static bool paintsInside(const PicNode* shape, const QRegion& clip);
    bool hitsShape(PicNode* shape, QPoint point, bool handlesOnly);

    String m_idSeparator = String(u"-");
    PtrListOf<PicNode> m_selection;
    PtrListOf<PicNode> m_shapes;
    PtrListOf<PicNode> m_secondList;
    PtrMapOf<PicNode> m_ids { true };
    std::vector<std::unique_ptr<Group>> m_groups;
    QPoint m_lastExtent;
    // The extent the last layout found in picture pixels, kept by moves.
    QPoint m_laidOutExtent;
    bool m_laidOut = false;
    bool m_reuseLayout = false;
    QPoint m_dragStart;
    QPoint m_lastPoint;
    QPoint m_delta;
    std::unique_ptr<PicNode> m_rubberBand;
    PicNode* m_dragged = nullptr;
    int m_gridSize = 20;
    int m_picFlags = ShowGrid | SnapGrid;
    int m_batchDepth = 0;
    bool m_lineEndsDirty = false;
};

}
