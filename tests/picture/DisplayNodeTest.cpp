#include "picture/DisplayNode.h"
#include "picture/CaptionText.h"
#include "picture/View.h"
#include "picture/WinImage.h"
#include "tests/support/TemporaryFolder.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

using namespace lumavine;

namespace {

// A canvas at some zoom without scrolling.
class ZoomView : public View {
public:
    explicit ZoomView(double zoom) : m_zoom(zoom) { }
    double zoom() const override { return m_zoom; }
    QRect toScreen(const QRect& r) const override
    {
        return QRect(int(r.x() * m_zoom), int(r.y() * m_zoom), int(r.width() * m_zoom), int(r.height() * m_zoom));
    }
    QPoint toScreen(const QPoint& p) const override { return QPoint(int(p.x() * m_zoom), int(p.y() * m_zoom)); }
    int toScreenLength(int length) const override { return int(length * m_zoom); }
    int toPictureLength(int length) const override { return int(length / m_zoom); }
    void redraw() override { ++redraws; }
    void raiseLargestPointCount(int n) override { largest = std::max(largest, n); }
    int redraws = 0;
    int largest = 0;

private:
    double m_zoom;
};

std::unique_ptr<DisplayNode> makeShape(ShapeKind kind, std::vector<QPoint> points, View* view = nullptr)
{
    auto node = std::make_unique<DisplayNode>(view);
    node->setKind(kind);
    node->setPoints(points);
    return node;
}

std::vector<QPoint> box(int x, int y, int w, int h)
{
    return { QPoint(x, y), QPoint(x + w, y), QPoint(x + w, y + h), QPoint(x, y + h) };
}

double distance(QPoint a, QPoint b)
{
    return std::hypot(double(a.x() - b.x()), double(a.y() - b.y()));
}

}

TEST(DisplayNode, BoundsInnerBoundsAndCentres)
{
    ZoomView view(2.0);
    DisplayNode rectangle(&view);
    rectangle.setKind(ShapeKind::Rectangle);
    EXPECT_EQ(rectangle.pointCount(), 4);
    EXPECT_EQ(rectangle.points()[2], QPoint(-1, -1));
    rectangle.setBounds(QRect(10, 20, 100, 50));
    EXPECT_EQ(rectangle.getBounds(), QRect(10, 20, 100, 50));
    EXPECT_EQ(rectangle.getBounds(true), QRect(20, 40, 200, 100));
    rectangle.border().setWidth(2);
    EXPECT_EQ(rectangle.getInnerBounds(), QRect(12, 22, 97, 47));
    EXPECT_EQ(rectangle.getInnerBounds(true), QRect(24, 44, 193, 93));
    QPoint centre;
    ASSERT_TRUE(rectangle.getCentre(centre));
    EXPECT_EQ(centre, QPoint(60, 45));

    auto polygon = makeShape(ShapeKind::Polygon, { QPoint(10, 10), QPoint(50, 0), QPoint(31, 41) });
    EXPECT_EQ(polygon->getBounds(), QRect(10, 0, 40, 41));
    ASSERT_TRUE(polygon->getCentre(centre));
    EXPECT_EQ(centre, QPoint(30, 20));

    // Two-point lines take the midpoint along their dominant axis.
    auto steep = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(10, 101) });
    ASSERT_TRUE(steep->getCentre(centre));
    EXPECT_EQ(centre, QPoint(4, 50));
    DisplayNode empty;
    EXPECT_FALSE(empty.getCentre(centre));
    EXPECT_TRUE(empty.getBounds().isEmpty());
}

TEST(DisplayNode, HandlesAreFourteenScreenPixelsAtAnyZoom)
{
    ZoomView view(2.0);
    auto line = makeShape(ShapeKind::Line, { QPoint(100, 100), QPoint(200, 100) }, &view);
    ASSERT_EQ(line->handles().size(), 2u);
    EXPECT_EQ(line->handles()[0], QRect(97, 97, 6, 6));
    EXPECT_EQ(line->hitHandle(QPoint(97, 97)), 0);
    EXPECT_EQ(line->hitHandle(QPoint(202, 102)), 1);
    EXPECT_EQ(line->activeHandle(), 1);
    EXPECT_EQ(line->hitHandle(QPoint(103, 100)), -1);

    ExportView unzoomed;
    auto same = makeShape(ShapeKind::Line, { QPoint(100, 100), QPoint(200, 100) }, &unzoomed);
    EXPECT_EQ(same->handles()[0], QRect(93, 93, 14, 14));

    auto text = makeShape(ShapeKind::Text, box(0, 0, 10, 10));
    EXPECT_EQ(text->hitHandle(QPoint(0, 0)), -1);
}

TEST(DisplayNode, MovesConvertScreenDeltas)
{
    ZoomView view(2.0);
    auto polygon = makeShape(ShapeKind::Polygon, { QPoint(10, 10), QPoint(50, 10), QPoint(30, 40) }, &view);
    polygon->moveTo(100, 200);
    EXPECT_EQ(polygon->points()[2], QPoint(120, 230));
    polygon->moveBy(view.toPicture(ScreenDelta { 20, -10 }));
    EXPECT_EQ(polygon->points()[0], QPoint(110, 195));
    EXPECT_EQ(polygon->handles()[0], QRect(107, 192, 6, 6));
}

TEST(DisplayNode, MovePointKeepsBoxesAxisAligned)
{
    auto rectangle = makeShape(ShapeKind::Rectangle, box(0, 0, 100, 50));
    ASSERT_TRUE(rectangle->movePoint(0, 10, 5));
    EXPECT_EQ(rectangle->getBounds(), QRect(10, 5, 90, 45));
    ASSERT_TRUE(rectangle->movePoint(1, 20, -5));
    EXPECT_EQ(rectangle->getBounds(), QRect(10, 0, 110, 50));
    ASSERT_TRUE(rectangle->movePoint(2, -10, 10));
    EXPECT_EQ(rectangle->getBounds(), QRect(10, 0, 100, 60));
    ASSERT_TRUE(rectangle->movePoint(3, 5, 5));
    EXPECT_EQ(rectangle->points(), box(15, 0, 95, 65));
    EXPECT_FALSE(rectangle->movePoint(4, 1, 1));
    EXPECT_FALSE(rectangle->movePoint(-1, 1, 1));

    // Polygons move one point alone.
    auto polygon = makeShape(ShapeKind::Polygon, { QPoint(0, 0), QPoint(10, 0), QPoint(5, 5) });
    ASSERT_TRUE(polygon->movePoint(0, 3, 3));
    EXPECT_EQ(polygon->points()[0], QPoint(3, 3));
    EXPECT_EQ(polygon->points()[1], QPoint(10, 0));
}

TEST(DisplayNode, PictureShapesKeepTheirImageAspect)
{
    test::TemporaryFolder folder("lumavine-display");
    QString file = QString::fromStdString(folder.file("aspect-200x100.png"));
    QImage pixels(200, 100, QImage::Format_ARGB32);
    pixels.fill(Qt::red);
    ASSERT_TRUE(pixels.save(file));

    DisplayNode picture;
    picture.setKind(ShapeKind::Image);
    picture.setProperty(u"image", u"source=" + String(file.toStdU16String()));
    ASSERT_TRUE(picture.image() && picture.image()->isLoaded());
    EXPECT_EQ(picture.imageWidth(), 200);
    picture.setProperty(u"image-aspect", String(u"true"));
    picture.setBounds(QRect(10, 10, 80, 80));
    EXPECT_EQ(picture.getBounds(), QRect(10, 10, 80, 40));
    ASSERT_TRUE(picture.movePoint(1, 40, 0));
    EXPECT_EQ(picture.getBounds(), QRect(10, 10, 120, 60));
    // Only rectangles and pictures with an image take a width.
    EXPECT_FALSE(picture.setProperty(u"width", String(u"60")));
    EXPECT_EQ(picture.getBounds(), QRect(10, 10, 60, 30));
}

TEST(DisplayNode, SnappingToATwentyGrid)
{
    auto line = makeShape(ShapeKind::Line, { QPoint(31, 9), QPoint(30, 10), QPoint(40, 40) });
    line->snapPointsToGrid(20);
    EXPECT_EQ(line->points()[0], QPoint(40, 0));
    EXPECT_EQ(line->points()[1], QPoint(20, 0));
    EXPECT_EQ(line->points()[2], QPoint(40, 40));

    // The whole node moves by its first point's offset, at any zoom.
    ZoomView view(0.3);
    auto rectangle = makeShape(ShapeKind::Rectangle, box(31, 9, 17, 13), &view);
    rectangle->snapToGrid(20);
    EXPECT_EQ(rectangle->points(), box(40, 0, 17, 13));
    EXPECT_EQ(view.redraws, 1);
    rectangle->snapToGrid(20);
    EXPECT_EQ(view.redraws, 1);
    rectangle->snapToGrid(0);
    EXPECT_EQ(rectangle->points(), box(40, 0, 17, 13));

    auto text = makeShape(ShapeKind::Text, box(31, 9, 10, 10));
    text->snapPointsToGrid(20);
    EXPECT_EQ(text->points()[0], QPoint(31, 9));
}

TEST(DisplayNode, RotateReflectAndScale)
{
    auto line = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(100, 0) });
    ASSERT_TRUE(line->rotate(0));
    EXPECT_EQ(line->points()[1], QPoint(100, 0));
    ASSERT_TRUE(line->rotate(90));
    // Clockwise on screen: the point right of the centre goes below it.
    EXPECT_EQ(line->points()[1], QPoint(50, 50));
    EXPECT_EQ(line->points()[0], QPoint(50, -50));

    auto polygon = makeShape(ShapeKind::Polygon, { QPoint(0, 0), QPoint(10, 0), QPoint(0, 30) });
    ASSERT_TRUE(polygon->reflectX());
    EXPECT_EQ(polygon->points()[2], QPoint(0, 0));
    EXPECT_EQ(polygon->points()[0], QPoint(0, 30));
    ASSERT_TRUE(polygon->reflectY());
    EXPECT_EQ(polygon->points()[1], QPoint(0, 30));

    for (ShapeKind kind :
        { ShapeKind::Text, ShapeKind::Image, ShapeKind::Ellipse, ShapeKind::Rectangle, ShapeKind::RoundRectangle }) {
        auto boxed = makeShape(kind, box(0, 0, 10, 10));
        EXPECT_FALSE(boxed->rotate(45));
        EXPECT_FALSE(boxed->reflectX());
        EXPECT_FALSE(boxed->reflectY());
        EXPECT_EQ(boxed->points(), box(0, 0, 10, 10));
    }
    DisplayNode empty;
    empty.setKind(ShapeKind::Line);
    EXPECT_FALSE(empty.reflectX());
    EXPECT_FALSE(empty.scale(2));

    auto rectangle = makeShape(ShapeKind::Rectangle, box(10, 20, 30, 40));
    ASSERT_TRUE(rectangle->scale(1.5));
    EXPECT_EQ(rectangle->getBounds(), QRect(15, 30, 45, 60));
    EXPECT_FALSE(rectangle->scale(std::nan("")));
    ASSERT_TRUE(rectangle->scale(1e30));
    EXPECT_EQ(rectangle->points()[0].x(), DisplayNode::coordinateLimit);
}

TEST(DisplayNode, InsertAndDeletePoints)
{
    ZoomView view(1.0);
    auto line = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(100, 0) }, &view);
    ASSERT_TRUE(line->insertPoint(0, 1));
    EXPECT_EQ(line->points(), (std::vector<QPoint> { QPoint(0, 0), QPoint(50, 0), QPoint(100, 0) }));
    EXPECT_EQ(line->handles().size(), 3u);
    EXPECT_EQ(view.largest, 3);
    EXPECT_FALSE(line->insertPoint(0, 3));
    ASSERT_TRUE(line->deletePoint(1));
    EXPECT_FALSE(line->deletePoint(0));

    auto bezier = makeShape(ShapeKind::Line, box(0, 0, 30, 30));
    bezier->lineStyle().setLineType(LineProperties::Bezier);
    EXPECT_FALSE(bezier->deletePoint(1));
    std::vector<QPoint> seven;
    for (int i = 0; i < 7; ++i)
        seven.push_back(QPoint(i * 10, i));
    bezier->setPoints(seven);
    EXPECT_FALSE(bezier->deletePoint(5));
    ASSERT_TRUE(bezier->deletePoint(1));
    EXPECT_EQ(bezier->points(), (std::vector<QPoint> { QPoint(0, 0), QPoint(40, 4), QPoint(50, 5), QPoint(60, 6) }));

    auto polygon = makeShape(ShapeKind::Polygon, { QPoint(0, 0), QPoint(10, 0), QPoint(5, 5) });
    EXPECT_FALSE(polygon->deletePoint(0));
    ASSERT_TRUE(polygon->insertPoint(2, 0));
    EXPECT_EQ(polygon->pointCount(), 4);
    EXPECT_TRUE(polygon->deletePoint(3));

    auto rectangle = makeShape(ShapeKind::Rectangle, box(0, 0, 10, 10));
    EXPECT_FALSE(rectangle->deletePoint(0));
    EXPECT_FALSE(rectangle->setPointCount(0));
    EXPECT_FALSE(rectangle->setPointCount(DisplayNode::maximumPointCount + 1));
}

TEST(DisplayNode, BezierNormalisationAddsMidpointsBeforeTheLastPoint)
{
    auto bezier
        = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(10, 0), QPoint(20, 0), QPoint(30, 0), QPoint(40, 0) });
    bezier->normalizeBezier();
    ASSERT_EQ(bezier->pointCount(), 7);
    EXPECT_EQ(bezier->points()[3], QPoint(30, 0));
    EXPECT_EQ(bezier->points()[4], QPoint(35, 0));
    EXPECT_EQ(bezier->points()[5], QPoint(37, 0));
    EXPECT_EQ(bezier->points()[6], QPoint(40, 0));
    auto curve = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(90, 0) });
    curve->normalizeBezier();
    EXPECT_EQ(curve->points(), (std::vector<QPoint> { QPoint(0, 0), QPoint(45, 0), QPoint(67, 0), QPoint(90, 0) }));
    EXPECT_EQ(curve->handles().size(), 4u);
}

TEST(DisplayNode, CaptionBlocksAndTextBoxes)
{
    auto rectangle = makeShape(ShapeKind::Rectangle, box(0, 0, 200, 100));
    rectangle->setText(String(u"ab\nabcdefghij"));
    QPoint extent;
    ASSERT_TRUE(rectangle->layout(extent));
    QFont font = WinFont::defaultFont().fontAtScale(1.0);
    QSize first = measureCaptionLine(font, u"ab", String());
    QSize second = measureCaptionLine(font, u"abcdefghij", String());
    ASSERT_GT(second.width(), first.width());
    EXPECT_EQ(rectangle->textWidth(), second.width());
    EXPECT_EQ(rectangle->textHeight(), first.height() + second.height());
    ASSERT_EQ(rectangle->lines().size(), 2u);
    EXPECT_EQ(rectangle->lines()[1].text, u"abcdefghij");
    EXPECT_EQ(extent, QPoint(201, 101));

    // A text box is the caption block plus the border on every side.
    auto text = makeShape(ShapeKind::Text, box(10, 10, 1, 1));
    text->border().setWidth(2);
    text->setText(String(u"Caption"));
    extent = QPoint();
    text->layout(extent);
    EXPECT_EQ(text->getBounds(), QRect(10, 10, text->textWidth() + 4, text->textHeight() + 4));
    EXPECT_EQ(extent, QPoint(10 + text->textWidth() + 4 + 2, 10 + text->textHeight() + 4 + 2));
    EXPECT_EQ(text->captionPosition(), QPoint(12, 12));

    // Vertical captions stack one character per row.
    text->setProperty(u"orientation", String(u"vertical"));
    text->measureText(String(u"abc"));
    EXPECT_EQ(text->lines().size(), 3u);
    EXPECT_GT(text->textHeight(), text->textWidth());
    text->measureText(String());
    EXPECT_EQ(text->textWidth(), 0);
    EXPECT_TRUE(text->lines().empty());
}

TEST(DisplayNode, DrawingAtAZoomLeavesTheSharedDefaultFontAsItWas)
{
    // Pages are drawn on several threads at once while the canvas draws at
    // its zoom; the font that every shape without its own shares must not
    // change under them.
    ZoomView zoomed(2.0);
    auto shape = makeShape(ShapeKind::Rectangle, box(0, 0, 200, 100), &zoomed);
    shape->border().setWidth(0);
    shape->setText(String(u"Caption"));
    QPoint extent;
    ASSERT_TRUE(shape->layout(extent));
    QImage big(420, 220, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::white);
    {
        QPainter painter(&big);
        shape->draw(painter);
    }
    EXPECT_EQ(WinFont::defaultFont().displayScale(), 1.0);
    EXPECT_EQ(WinFont::defaultFont().platformFont(), WinFont::defaultFont().fontAtScale(1.0));

    // The caption is still drawn at the zoom: twice as wide as at 1.
    auto plain = makeShape(ShapeKind::Rectangle, box(0, 0, 200, 100));
    plain->border().setWidth(0);
    plain->setText(String(u"Caption"));
    ASSERT_TRUE(plain->layout(extent));
    QImage small(420, 220, QImage::Format_ARGB32_Premultiplied);
    small.fill(Qt::white);
    {
        QPainter painter(&small);
        plain->draw(painter);
    }
    auto inkWidth = [](const QImage& image) {
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        return right - left;
    };
    ASSERT_GT(inkWidth(small), 10);
    EXPECT_GT(inkWidth(big), inkWidth(small) * 3 / 2);
}

TEST(DisplayNode, FreeLineEndsPutArrowheadsAtTheTips)
{
    auto line = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(200, 100), QPoint(400, 100) });
    line->lineStyle().apply(u"width:2;enda:arrow;endz:arrow");
    line->computeLineEnds();

    const LineEndGeometry& a = line->lineEnd(0);
    EXPECT_EQ(a.tip, QPoint(0, 0));
    // The base lies on the first segment, width + 5 along its longer axis.
    EXPECT_EQ(a.base.x(), 7);
    EXPECT_EQ(a.base.y(), 3);
    // The arrowhead's base centre is width + 10 from the tip toward p1; the
    // corners sit symmetrically on the perpendicular, half that out.
    EXPECT_NEAR(distance(a.baseCentre, a.tip), 12, 1.0);
    EXPECT_EQ(a.corners[0], a.tip);
    EXPECT_EQ(a.corners[1] + a.corners[2], 2 * a.baseCentre);
    QPoint side = a.corners[1] - a.baseCentre;
    EXPECT_NEAR(std::hypot(side.x(), side.y()), 6, 1.0);
    EXPECT_LE(std::abs(side.x() * 200 + side.y() * 100), 200);
    EXPECT_TRUE(a.square.contains(a.baseCentre));
    EXPECT_EQ(a.square.width(), 24);

    const LineEndGeometry& z = line->lineEnd(1);
    EXPECT_EQ(z.tip, QPoint(400, 100));
    EXPECT_EQ(z.base, QPoint(393, 100));
    EXPECT_EQ(z.baseCentre, QPoint(388, 100));
    // A vertical run of x extent 0 would use the simple corners; this one is
    // horizontal, so the corners lie straight above and below.
    EXPECT_EQ(std::min(z.corners[1].y(), z.corners[2].y()), 94);
    EXPECT_EQ(std::max(z.corners[1].y(), z.corners[2].y()), 106);
    EXPECT_EQ(z.corners[1].x(), 388);
    EXPECT_EQ(z.corners[2].x(), 388);
    EXPECT_EQ(line->points().front(), QPoint(0, 0));
}

TEST(DisplayNode, AttachedEndsStopOutsideTheShape)
{
    auto rectangle = makeShape(ShapeKind::Rectangle, box(100, 100, 100, 100));
    rectangle->border().setWidth(3);
    auto line = makeShape(ShapeKind::Line, { QPoint(150, 150), QPoint(400, 150), QPoint(150, 400), QPoint(150, 150) });
    line->lineStyle().apply(u"width:1;enda:arrow;endz:none");
    line->setAnchor(0, rectangle.get());
    line->setAnchor(1, rectangle.get());
    line->computeLineEnds();

    QRect bounds = rectangle->getBounds();
    const LineEndGeometry& a = line->lineEnd(0);
    EXPECT_EQ(a.tip.y(), 150);
    EXPECT_GT(a.tip.x(), bounds.right() + 3);
    // The line itself stops an arrowhead's length beyond the tip.
    EXPECT_EQ(line->points()[0].y(), 150);
    EXPECT_EQ(line->points()[0].x() - a.tip.x(), 11);
    EXPECT_EQ(a.base, line->points()[0]);

    const LineEndGeometry& z = line->lineEnd(1);
    EXPECT_EQ(z.tip.x(), 150);
    EXPECT_GT(z.tip.y(), bounds.bottom() + 3);
    EXPECT_EQ(line->points()[3].y() - z.tip.y(), 1);
    int tipBefore = z.tip.y();

    // A plain end keeps further off than an arrow end's tip.
    auto plain = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(400, 150) });
    plain->setAnchor(0, rectangle.get());
    plain->computeLineEnds();
    EXPECT_GT(plain->lineEnd(0).tip.x(), bounds.right());

    // Moving the shape and recomputing lets the end follow.
    rectangle->moveBy(PictureDelta { 0, 50 });
    line->computeLineEnds();
    EXPECT_EQ(line->lineEnd(1).tip.y() - tipBefore, 50);
    EXPECT_FALSE(rectangle->getBounds().contains(line->lineEnd(0).tip));
    EXPECT_GT(line->lineEnd(0).tip.x(), rectangle->getBounds().right());
}

TEST(DisplayNode, NodePropertyKeys)
{
    auto line = makeShape(ShapeKind::Line, { QPoint(0, 0), QPoint(10, 10) });
    EXPECT_TRUE(line->setProperty(u"layer", String(u"3")));
    EXPECT_TRUE(line->setProperty(u"layer", String(u"top")));
    EXPECT_EQ(line->layer(), 3);
    EXPECT_TRUE(line->setProperty(u"Orientation", String(u"VERTICAL")));
    EXPECT_TRUE(line->isVertical());
    EXPECT_TRUE(line->setProperty(u"orientation", String(u"horizontal")));
    EXPECT_FALSE(line->isVertical());
    EXPECT_TRUE(line->setProperty(u"line", String(u"type:curve;width:5")));
    EXPECT_FALSE(line->setProperty(u"line-width", String(u"fat")));
    EXPECT_TRUE(line->setProperty(u"line-join", String(u"round")));
    EXPECT_TRUE(line->setProperty(u"line-style", String(u"dot")));
    EXPECT_EQ(line->lineStyle().width(), 5);
    EXPECT_EQ(line->lineStyle().lineType(), LineProperties::Curve);
    EXPECT_EQ(line->lineStyle().join(), LineProperties::Round);
    EXPECT_EQ(line->lineStyle().dashStyle(), LineProperties::Dot);
    EXPECT_TRUE(line->setProperty(u"name", String(u"Line_1")));
    EXPECT_TRUE(line->setProperty(u"text", String(u"hello")));
    EXPECT_EQ(line->flags() & (DisplayElement::HasName | DisplayElement::HasText), 3);
    EXPECT_FALSE(line->setProperty(u"image-source", String(u"a.png")));
    EXPECT_FALSE(line->setProperty(u"width", String(u"50")));
    EXPECT_FALSE(line->setProperty(u"sparkle", String(u"yes")));

    auto rectangle = makeShape(ShapeKind::Rectangle, box(5, 5, 10, 10));
    EXPECT_FALSE(rectangle->setProperty(u"width", String(u"50")));
    EXPECT_FALSE(rectangle->setProperty(u"HEIGHT", String(u"70")));
    EXPECT_EQ(rectangle->getBounds(), QRect(5, 5, 50, 70));
    rectangle->setProperty(u"width", String(u"-40"));
    rectangle->setProperty(u"height", String(u"tall"));
    EXPECT_EQ(rectangle->getBounds(), QRect(5, 5, 50, 70));
    auto ellipse = makeShape(ShapeKind::Ellipse, box(5, 5, 10, 10));
    ellipse->setProperty(u"width", String(u"50"));
    EXPECT_EQ(ellipse->getBounds(), QRect(5, 5, 10, 10));

    auto picture = makeShape(ShapeKind::Image, box(0, 0, 40, 40));
    EXPECT_TRUE(picture->setProperty(u"image-source", String(u"missing.png")));
    EXPECT_EQ(picture->image()->source(), u"missing.png");
    EXPECT_FALSE(picture->image()->isLoaded());
    EXPECT_TRUE(picture->setProperty(u"image-aspect", String(u"true")));
    EXPECT_TRUE(picture->image()->keepAspect());
    EXPECT_TRUE(picture->setProperty(u"image-transparency", String(u"#ff00ff")));
    EXPECT_EQ(picture->image()->transparentColor().value_or(0), 0xFFFF00FFu);
    EXPECT_FALSE(picture->setProperty(u"image-transparency", String(u"pink")));
    EXPECT_TRUE(picture->setProperty(u"image-opacity", String(u"50")));
    EXPECT_DOUBLE_EQ(picture->image()->opacity(), 1.0);
}
