#pragma once

#include "picture/Delta.h"
#include "picture/DisplayElement.h"

#include <QPainterPath>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>

class QPainter;

namespace lumavine {

// The code is what the picture orders shapes by; the stored name is what the
// project file holds.
enum class ShapeKind {
    None = 0,
    Line = 1,
    Text = 2,
    Image = 3,
    Polygon = 4,
    Ellipse = 5,
    Rectangle = 6,
    RoundRectangle = 7
};

// The computed geometry of one line end.
struct LineEndGeometry {
    QPoint tip;
    // Where the drawn line stops when the end is an arrow.
    QPoint base;
    // Tip, then the two base corners of the arrowhead.
    QPoint corners[3];
    QPoint baseCentre;
    // Where the picture grabs the end.
    QRect square;
    // The area a "dot" end fills, centred on the end point.
    QRect dot;
};

// A shape's geometry and its editing: kind, points, handles, line style and
// line ends, the image of picture shapes, and every geometric operation.
class DisplayNode : public DisplayElement {
public:
    enum OrientationFlag { Vertical = 1 };
    // Larger point counts are refused wherever they come from.
    static constexpr int maximumPointCount = 100000;
    // Stored coordinates are kept within this so arithmetic on them cannot
    // overflow.
    static constexpr int coordinateLimit = 10000000;

    explicit DisplayNode(View* owner = nullptr);
    ~DisplayNode() override;

    static std::u16string_view kindName(ShapeKind kind);
    // "None" for any code that names no kind.
    static std::u16string_view kindDisplayName(int code);
    // Matched ignoring case; false for a name that names no kind.
    static bool kindFromName(std::u16string_view name, ShapeKind& kind);

    void writeXml(Element* parent) override;
    bool setProperty(std::u16string_view key, const String& value) override;
    void copyFrom(const DisplayElement& other) override;

    // Defined with the rest of the drawing code.
    virtual void draw(QPainter& painter);
    virtual void drawHandles(QPainter& painter);
    virtual void fill(QPainter& painter);
    virtual void drawSelection(QPainter& painter);
    // The screen area that draw and drawSelection can touch, the handles of
    // a selected shape included; false when it cannot be told, as for a
    // caption not measured yet or shown at another zoom than it is measured
    // at.
    bool paintedArea(QRect& area) const;
    // The same area as rectangles that follow a straight line's segments
    // instead of boxing the whole line: what a move of the shape needs
    // painted again. False when the area cannot be told.
    bool paintedPieces(std::vector<QRect>& pieces) const;

    // Places the first point at (x, y) in picture coordinates; the others
    // keep their distance to it.
    virtual void moveTo(int x, int y);
    // Shapes move in picture pixels only; a pointer move goes through
    // View::toPicture first.
    virtual void moveBy(PictureDelta delta);
    virtual bool load(const Element* element);
    virtual void snapToGrid(int grid);
    virtual void snapPointsToGrid(int grid);
    virtual bool rotate(int degrees);
    virtual bool scale(double factor);
    virtual bool reflectX();
    virtual bool reflectY();
    // Lays out the caption in lines and measures it in picture pixels.
    virtual void measureText(const String& text);
    virtual void updateImageSize();
    virtual bool getCentre(QPoint& centre) const;
    // Measures, recomputes line ends, fits a text shape to its caption and
    // raises `extent` to cover every point plus the border.
    virtual bool layout(QPoint& extent);
    // Raises `extent` to cover every point plus the border, as layout does
    // last, without laying the shape out.
    void raiseExtent(QPoint& extent) const;
    virtual bool updateHandles();
    virtual bool readXml(const Element* element);

    ShapeKind kind() const { return m_kind; }
    int kindCode() const { return int(m_kind); }
    // Ellipses, rectangles and round rectangles always get 4 points; other
    // kinds get `pointCount` unless it is -1.
    void setKind(ShapeKind kind, int pointCount = -1);
    // n from 1 to maximumPointCount; every point becomes (-1, -1).
    bool setPointCount(int n);
    void setBounds(const QRect& bounds);
    QRect getBounds(bool toScreen = false) const;
    QRect getInnerBounds(bool toScreen = false) const;
    int hitHandle(const QPoint& point);
    // Moves one point by a delta in picture pixels, keeping boxes axis-aligned.
    bool movePoint(int index, int dx, int dy);
    bool insertPoint(int i, int j);
    bool deletePoint(int i);
    // Bézier lines are chains of 3k+1 points; inserts midpoints before the
    // last point until they are.
    void normalizeBezier();
    // Replaces every point (up to maximumPointCount) and updates the handles.
    bool setPoints(const std::vector<QPoint>& points);

    const std::vector<QPoint>& points() const { return m_points; }
    int pointCount() const { return int(m_points.size()); }
    const std::vector<QRect>& handles() const { return m_handles; }
    int activeHandle() const { return m_activeHandle; }
    void setActiveHandle(int index) { m_activeHandle = index; }
    int layer() const { return m_layer; }
    int boxWidth() const { return m_boxWidth; }
    int boxHeight() const { return m_boxHeight; }
    WinImage* image() const { return m_image.get(); }
    LineProperties& lineStyle() { return m_lineStyle; }
    const LineProperties& lineStyle() const { return m_lineStyle; }
    bool isVertical() const { return m_orientation & Vertical; }
    bool isFourCornerKind() const;
    bool isBezierLine() const { return m_kind == ShapeKind::Line && m_lineStyle.lineType() == LineProperties::Bezier; }

    // The outline as a path (polygons closed, lines open) and as a region
    // (empty for lines).
    QPainterPath outlinePath() const;
    QRegion outlineRegion() const;
    // The region of an ellipse of this shape's size placed at (0, 0); kept
    // while the size stays, since line ends ask for it on every move.
    const QRegion& ellipseRegionAtOrigin() const;

    // Line ends: 0 is A (first point), 1 is Z (last point).
    DisplayNode* anchor(int end) const { return m_anchors[end ? 1 : 0]; }
    void setAnchor(int end, DisplayNode* node) { m_anchors[end ? 1 : 0] = node; }
    const LineEndGeometry& lineEnd(int end) const { return m_ends[end ? 1 : 0]; }
    // Places attached ends on their shapes' outlines and computes the
    // arrowheads and grab squares of both ends.
    void computeLineEnds();

    // The top-left of the caption block in picture coordinates: text shapes
    // at their own box, polygons centred on their centre, other kinds by the
    // alignments inside `area` (their inner bounds when `area` is null).
    QPoint captionPosition(const QRect* area = nullptr) const;

    // Handles are hidden while the picture drags or hides them.
    virtual bool handlesSuppressed() const { return false; }

protected:
    void setLayerValue(int layer) { m_layer = layer; }
    void applyImageAspect();
    // The midpoint of a two-point segment, taken along its dominant axis.
    static QPoint segmentMidpoint(QPoint a, QPoint b);
    // Places an attached end on its shape's outline; false for a free end.
    bool placeAttachedEnd(int end);
    // The free end's tip, then the arrowhead and grab square of the end.
    void computeLineEnd(int end, bool placed);
    bool readPoints(const Element* element);
    void redraw() const;
    // The border width that layout and the line ends count with: borders
    // outside the drawable range contribute nothing.
    int effectiveBorderWidth() const;
    // The points on screen as the line painter strokes them.
    QPolygon strokedPolygon(const View& v) const;
    // How far outside its points and handles the shape can paint, in screen
    // pixels.
    int paintedMargin(const View& v) const;

    ShapeKind m_kind = ShapeKind::None;
    std::vector<QRect> m_handles;
    int m_activeHandle = -1;
    int m_layer = 0;
    int m_boxWidth = 0;
    int m_boxHeight = 0;
    std::unique_ptr<WinImage> m_image;
    std::vector<QPoint> m_points;
    LineProperties m_lineStyle;
    DisplayNode* m_anchors[2] = { nullptr, nullptr };
    LineEndGeometry m_ends[2];
    int m_orientation = 0;
    mutable QRegion m_ellipseRegion;
    mutable QSize m_ellipseRegionSize;

private:
    // Measuring a caption asks the font system for every line, which on a
    // large page is most of what a layout costs; layout measures again only
    // when the text, the font or the orientation differs from last time.
    // Kept apart, and only for captions: most shapes have none, and an empty
    // caption costs nothing to measure.
    struct MeasuredCaption {
        String text;
        String family;
        float size = 0;
        int style = 0;
        bool vertical = false;
    };
    bool captionStillMeasured() const;
    void rememberMeasuredCaption();

    std::unique_ptr<MeasuredCaption> m_measured;
};

}
