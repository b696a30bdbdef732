#include "picture/BorderPainter.h"
#include "picture/DisplayNode.h"
#include "picture/GridDots.h"
#include "picture/LinePainter.h"
#include "picture/Shading.h"
#include "picture/View.h"
#include "picture/WinImage.h"
#include "tests/support/TemporaryFolder.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

using namespace lumavine;

namespace {

constexpr QRgb white = 0xFFFFFFFF;

// The canvas as it is on screen at zoom 1: editing guides and handles show.
class ScreenView : public ExportView {
public:
    bool isExportMode() const override { return false; }
};

QImage blankPage(int width = 200, int height = 160)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(white);
    return image;
}

std::unique_ptr<DisplayNode> boxShape(View& view, ShapeKind kind, QRect bounds, const char16_t* border)
{
    auto node = std::make_unique<DisplayNode>(&view);
    node->setKind(kind);
    node->setBounds(bounds);
    node->setProperty(u"border", String(border));
    return node;
}

void drawNode(DisplayNode& node, QImage& image)
{
    QPainter painter(&image);
    node.draw(painter);
}

// The colour of the top side of ring i, the left, the bottom and the right.
struct RingSample {
    QRgb top, left, bottom, right;
};

RingSample sampleRing(const QImage& image, QRect bounds, int i)
{
    int x = bounds.x() + i, y = bounds.y() + i;
    int w = bounds.width() - 2 * i, h = bounds.height() - 2 * i;
    return { image.pixel(x + w / 2, y), image.pixel(x, y + h / 2), image.pixel(x + w / 2, y + h),
        image.pixel(x + w, y + h / 2) };
}

}

TEST(RenderTest, ShadeStepsAndClamps)
{
    EXPECT_EQ(shade(0xFFC0C0C0, -1), 0xFFA0A0A0u);
    EXPECT_EQ(shade(0xFFC0C0C0, -4), 0xFF404040u);
    EXPECT_EQ(shade(0x10102030, 0), 0xFF102030u);
    EXPECT_EQ(shade(0xFF10F080, -1), 0xFF00D060u);
    EXPECT_EQ(shade(0xFFF0F0F0, 2), 0xFFFFFFFFu);
}

TEST(RenderTest, OutsetRectangleRingsOfTheGreyButton)
{
    ExportView view;
    QRect bounds(20, 20, 100, 60);
    auto node
        = boxShape(view, ShapeKind::Rectangle, bounds, u"border-color:#c0c0c0;border-width:4;border-style:outset");
    QImage image = blankPage();
    drawNode(*node, image);
    for (int ring = 0; ring < 3; ++ring) {
        RingSample s = sampleRing(image, bounds, ring);
        EXPECT_EQ(s.top, 0xFFA0A0A0u) << ring;
        EXPECT_EQ(s.left, 0xFFA0A0A0u) << ring;
        EXPECT_EQ(s.bottom, 0xFF808080u) << ring;
        EXPECT_EQ(s.right, 0xFF808080u) << ring;
    }
    RingSample inner = sampleRing(image, bounds, 3);
    EXPECT_EQ(inner.top, 0xFFC0C0C0u);
    EXPECT_EQ(inner.left, 0xFFC0C0C0u);
    EXPECT_EQ(inner.bottom, 0xFF606060u);
    EXPECT_EQ(inner.right, 0xFF606060u);
    // Nothing outside the bounds, nothing inside the rings without a fill.
    EXPECT_EQ(image.pixel(19, 50), white);
    EXPECT_EQ(image.pixel(121, 50), white);
    EXPECT_EQ(image.pixel(24, 50), white);
    EXPECT_EQ(image.pixel(70, 24), white);
    // Corners: the light colour takes the top-left, the dark one the others.
    EXPECT_EQ(image.pixel(20, 20), 0xFFA0A0A0u);
    EXPECT_EQ(image.pixel(120, 20), 0xFF808080u);
    EXPECT_EQ(image.pixel(20, 80), 0xFF808080u);
    EXPECT_EQ(image.pixel(120, 80), 0xFF808080u);
}

TEST(RenderTest, EveryStyleShadesRectangleRingsByItsTable)
{
    struct Case {
        const char16_t* style;
        int firstOuter, firstInner, secondOuter, secondInner;
        bool threeD;
    };
    const Case cases[] = {
        { u"solid", 0, 0, 0, 0, false },
        { u"none", 0, 0, 0, 0, false },
        { u"outset", -1, 0, -2, -3, true },
        { u"inset", -4, -2, 0, -1, true },
        { u"groove", -4, 0, 0, -4, true },
        { u"ridge", 0, -4, -4, 0, true },
    };
    const uint32_t color = 0xFF8090A0;
    ExportView view;
    QRect bounds(10, 10, 120, 80);
    for (const Case& c : cases) {
        String border = String(u"border-color:#8090a0;border-width:6;border-style:") + c.style;
        auto node = boxShape(view, ShapeKind::Rectangle, bounds, border.c_str());
        QImage image = blankPage();
        drawNode(*node, image);
        for (int ring = 0; ring < 6; ++ring) {
            bool outer = ring <= 3;
            uint32_t first = c.threeD ? shade(color, outer ? c.firstOuter : c.firstInner) : color;
            uint32_t second = c.threeD ? shade(color, outer ? c.secondOuter : c.secondInner) : color;
            RingSample s = sampleRing(image, bounds, ring);
            EXPECT_EQ(s.top, first) << String(c.style).toNarrow() << " ring " << ring;
            EXPECT_EQ(s.left, first) << String(c.style).toNarrow() << " ring " << ring;
            EXPECT_EQ(s.bottom, second) << String(c.style).toNarrow() << " ring " << ring;
            EXPECT_EQ(s.right, second) << String(c.style).toNarrow() << " ring " << ring;
        }
        EXPECT_EQ(image.pixel(10 + 6, 50), white) << String(c.style).toNarrow();
    }
}

TEST(RenderTest, OnePixelRingIsOnePixelOfOneColour)
{
    ExportView view;
    QRect bounds(30, 30, 50, 40);
    auto node
        = boxShape(view, ShapeKind::Rectangle, bounds, u"border-color:#ff0000;border-width:1;border-style:outset");
    QImage image = blankPage();
    drawNode(*node, image);
    int lit = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != white)
                ++lit;
        }
    }
    // The ring covers columns 30..80 and rows 30..70: 2 * 51 + 2 * 39 pixels.
    EXPECT_EQ(lit, 2 * 51 + 2 * 39);
    EXPECT_EQ(image.pixel(55, 30), shade(0xFFFF0000, -1));
    EXPECT_EQ(image.pixel(55, 70), shade(0xFFFF0000, -2));
    EXPECT_EQ(image.pixel(55, 31), white);
}

TEST(RenderTest, WidthZeroShowsTheGuideOnlyOnScreenAndWidthOverHundredNothing)
{
    QRect bounds(20, 20, 80, 60);
    ExportView exportView;
    auto exported = boxShape(exportView, ShapeKind::Rectangle, bounds, u"border-width:0");
    QImage page = blankPage();
    drawNode(*exported, page);
    EXPECT_EQ(page, blankPage());

    ScreenView screen;
    auto shown = boxShape(screen, ShapeKind::Rectangle, bounds, u"border-width:0");
    QImage canvas = blankPage();
    canvas.fill(0xFF808080);
    drawNode(*shown, canvas);
    int black = 0, whiteDots = 0;
    for (int x = 20; x <= 100; ++x) {
        black += canvas.pixel(x, 20) == 0xFF000000u;
        whiteDots += canvas.pixel(x, 21) == white;
    }
    // Dotted: some pixels of each colour, not all.
    EXPECT_GT(black, 10);
    EXPECT_LT(black, 81);
    EXPECT_GT(whiteDots, 10);
    EXPECT_EQ(canvas.pixel(60, 50), 0xFF808080u);

    auto tooWide = boxShape(exportView, ShapeKind::Rectangle, bounds, u"border-width:101");
    QImage none = blankPage();
    drawNode(*tooWide, none);
    EXPECT_EQ(none, blankPage());
}

TEST(RenderTest, BevelAndRoundJoinsCutTheCorners)
{
    QRect bounds(20, 20, 100, 80);
    for (int join : { BorderPainter::Bevel, BorderPainter::Round }) {
        QImage image = blankPage();
        QPainter painter(&image);
        BorderPainter(painter, 3, BorderPainter::Solid, join, 0xFF0000FF).drawRectangle(bounds);
        painter.end();
        int a = join == BorderPainter::Bevel ? 6 : 2;
        EXPECT_EQ(image.pixel(20, 20), white) << join;
        EXPECT_EQ(image.pixel(120, 100), white) << join;
        EXPECT_EQ(image.pixel(70, 20), 0xFF0000FFu) << join;
        EXPECT_EQ(image.pixel(20 + a + 1, 20), 0xFF0000FFu) << join;
        // The diagonal from (x, y + a + 1) to (x + a + 1, y) closes the corner.
        EXPECT_EQ(image.pixel(20 + (a + 1) / 2, 20 + (a + 1) - (a + 1) / 2), 0xFF0000FFu) << join;
    }
}

TEST(RenderTest, EllipseAndRoundRectangleRingsTakeTheirOwnTables)
{
    ExportView view;
    QRect bounds(20, 20, 120, 100);
    auto ellipse
        = boxShape(view, ShapeKind::Ellipse, bounds, u"border-color:#c0c0c0;border-width:4;border-style:inset");
    QImage image = blankPage();
    drawNode(*ellipse, image);
    // Inset ellipse: upper-left arc outer half shade 0, lower-right outer -4.
    EXPECT_EQ(image.pixel(80, 20), 0xFFC0C0C0u);
    EXPECT_EQ(image.pixel(20, 70), 0xFFC0C0C0u);
    EXPECT_EQ(image.pixel(80, 120), shade(0xFFC0C0C0, -4));
    EXPECT_EQ(image.pixel(140, 70), shade(0xFFC0C0C0, -4));
    EXPECT_EQ(image.pixel(80, 70), white);

    auto rounded
        = boxShape(view, ShapeKind::RoundRectangle, bounds, u"border-color:#c0c0c0;border-width:4;border-style:outset");
    image = blankPage();
    drawNode(*rounded, image);
    // Outset round rectangle: top outer -4, inner -1; bottom outer 0, inner -2.
    EXPECT_EQ(image.pixel(80, 20), shade(0xFFC0C0C0, -4));
    EXPECT_EQ(image.pixel(80, 23), shade(0xFFC0C0C0, -1));
    EXPECT_EQ(image.pixel(80, 120), 0xFFC0C0C0u);
    EXPECT_EQ(image.pixel(80, 117), shade(0xFFC0C0C0, -2));
    // The corner itself is rounded off.
    EXPECT_EQ(image.pixel(21, 21), white);
}

TEST(RenderTest, SolidEllipseBorderMeetsItsFillWithoutAGap)
{
    ExportView view;
    auto ellipse = boxShape(view, ShapeKind::Ellipse, QRect(20, 20, 120, 100), u"border-color:#000000;border-width:6");
    ASSERT_TRUE(ellipse->setProperty(u"background-color", u"#ff0000"));
    QImage image = blankPage();
    drawNode(*ellipse, image);
    // Along the middle row from the left edge: border, then fill, no white.
    EXPECT_EQ(image.pixel(19, 70), white);
    EXPECT_EQ(image.pixel(22, 70), 0xFF000000u);
    int gaps = 0;
    for (int y = 20; y <= 120; ++y) {
        for (int x = 20; x <= 140; ++x) {
            double dx = (x + 0.5 - 80) / 58.0, dy = (y + 0.5 - 70) / 48.0;
            if (dx * dx + dy * dy < 1.0 && image.pixel(x, y) == white)
                ++gaps;
        }
    }
    EXPECT_EQ(gaps, 0);
    EXPECT_EQ(image.pixel(40, 70), 0xFFFF0000u);
}

TEST(RenderTest, GradientsRunInTheirDirections)
{
    ExportView view;
    QRect bounds(10, 10, 100, 100);
    struct Case {
        const char16_t* text;
        QPoint red, blue;
    };
    // Inner bounds of a one-pixel border: 11..109.
    const Case cases[] = {
        { u"#ff0000,#0000ff", QPoint(11, 60), QPoint(109, 60) },
        { u"#ff0000,#0000ff,vertical", QPoint(60, 11), QPoint(60, 109) },
        { u"#ff0000,#0000ff,forward", QPoint(11, 11), QPoint(109, 109) },
        { u"#ff0000,#0000ff,backward", QPoint(109, 11), QPoint(11, 109) },
    };
    for (const Case& c : cases) {
        auto node = boxShape(view, ShapeKind::Rectangle, bounds, u"border-width:1");
        ASSERT_TRUE(node->setProperty(u"background-color", String(c.text)));
        QImage image = blankPage();
        drawNode(*node, image);
        QColor red = image.pixelColor(c.red), blue = image.pixelColor(c.blue), middle = image.pixelColor(60, 60);
        EXPECT_GT(red.red(), 230) << String(c.text).toNarrow();
        EXPECT_LT(red.blue(), 25) << String(c.text).toNarrow();
        EXPECT_GT(blue.blue(), 230) << String(c.text).toNarrow();
        EXPECT_LT(blue.red(), 25) << String(c.text).toNarrow();
        EXPECT_NEAR(middle.red(), 128, 20) << String(c.text).toNarrow();
        EXPECT_NEAR(middle.blue(), 128, 20) << String(c.text).toNarrow();
    }
}

TEST(RenderTest, TranslucentFillBlendsWithWhatLiesBelow)
{
    ExportView view;
    auto below = boxShape(view, ShapeKind::Rectangle, QRect(10, 10, 100, 100), u"border-width:0");
    ASSERT_TRUE(below->setProperty(u"background-color", u"#0000ff"));
    auto above = boxShape(view, ShapeKind::Rectangle, QRect(50, 50, 100, 100), u"border-width:0");
    ASSERT_TRUE(above->setProperty(u"background-color", u"#ff000080"));
    QImage image = blankPage();
    drawNode(*below, image);
    drawNode(*above, image);
    QColor overlap = image.pixelColor(80, 80);
    EXPECT_NEAR(overlap.red(), 128, 3);
    EXPECT_NEAR(overlap.blue(), 127, 3);
    EXPECT_EQ(overlap.green(), 0);
    QColor overWhite = image.pixelColor(130, 130);
    EXPECT_EQ(overWhite.red(), 255);
    EXPECT_NEAR(overWhite.green(), 127, 3);
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::blue));
}

TEST(RenderTest, CaptionIsDrawnInTheFontColourInsideTheBox)
{
    ExportView view;
    auto node = boxShape(view, ShapeKind::Rectangle, QRect(10, 10, 180, 60), u"border-width:1");
    node->setProperty(u"font", u"font-family:sans-serif;font-size:14;font-color:#00c000");
    node->setProperty(u"halign", u"center");
    node->setProperty(u"valign", u"center");
    node->setText(u"WWW");
    QImage image = blankPage();
    drawNode(*node, image);
    int green = 0, outsideBox = 0;
    QRect box(10, 10, 180, 60);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, y);
            bool greenish = c.green() > 120 && c.red() < 80 && c.blue() < 80;
            green += greenish;
            outsideBox += greenish && !box.contains(x, y);
        }
    }
    EXPECT_GT(green, 20);
    EXPECT_EQ(outsideBox, 0);
    // Centred: the green lies around the middle of the box.
    EXPECT_EQ(image.pixelColor(15, 40), QColor(Qt::white));
}

TEST(RenderTest, ArrowheadsAreOutlinedInTheEndColourAndTheLineStopsAtTheBase)
{
    QImage image = blankPage();
    QPainter painter(&image);
    LinePainter::Style style;
    style.width = 3;
    style.color = Qt::black;
    LinePainter::Arrow ends[2];
    ends[1].drawn = true;
    ends[1].color = QColor(0, 160, 0);
    ends[1].base = QPoint(150, 80);
    ends[1].head << QPoint(163, 80) << QPoint(150, 74) << QPoint(150, 86);
    LinePainter::draw(painter, QPolygon({ QPoint(20, 80), QPoint(163, 80) }), style, ends);
    painter.end();
    EXPECT_EQ(image.pixel(100, 80), 0xFF000000u);
    // Outlined, not filled: the corners are green, the inside of the head
    // past the base stays white.
    EXPECT_EQ(image.pixel(150, 74), QColor(0, 160, 0).rgba());
    EXPECT_EQ(image.pixel(163, 80), QColor(0, 160, 0).rgba());
    EXPECT_EQ(image.pixel(158, 80), white);
    EXPECT_EQ(image.pixel(155, 80), white);
}

TEST(RenderTest, LineShapeDrawsWithItsDashStyle)
{
    ExportView view;
    DisplayNode line(&view);
    line.setKind(ShapeKind::Line, 2);
    line.setPoints({ QPoint(10, 50), QPoint(190, 50) });
    line.setProperty(u"line", u"color:#ff0000;width:1;style:dash");
    QImage image = blankPage();
    drawNode(line, image);
    int red = 0;
    for (int x = 10; x <= 190; ++x)
        red += image.pixel(x, 50) == 0xFFFF0000u;
    EXPECT_GT(red, 60);
    EXPECT_LT(red, 170);
    EXPECT_EQ(image.pixel(100, 52), white);
}

TEST(RenderTest, PictureIsStretchedIntoTheInnerBounds)
{
    QImage quarters(2, 2, QImage::Format_RGB32);
    quarters.setPixel(0, 0, 0xFFFF0000);
    quarters.setPixel(1, 0, 0xFF00FF00);
    quarters.setPixel(0, 1, 0xFF0000FF);
    quarters.setPixel(1, 1, 0xFFFFFF00);
    test::TemporaryFolder folder("lumavine-render");
    std::string file = folder.file("q.png");
    ASSERT_TRUE(quarters.save(QString::fromStdString(file)));

    ExportView view;
    auto node = boxShape(view, ShapeKind::Image, QRect(20, 20, 120, 100), u"border-width:2");
    node->setProperty(u"image", String(u"source=") + String(file));
    node->setBounds(QRect(20, 20, 120, 100));
    ASSERT_NE(node->image(), nullptr);
    ASSERT_TRUE(node->image()->isLoaded());
    QImage image = blankPage();
    drawNode(*node, image);
    EXPECT_EQ(image.pixel(40, 40), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(120, 40), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(40, 100), 0xFF0000FFu);
    EXPECT_EQ(image.pixel(120, 100), 0xFFFFFF00u);
    // The border is drawn over the outer two pixels; the picture starts inside.
    EXPECT_EQ(image.pixel(21, 60), 0xFF000000u);
    EXPECT_NE(image.pixel(22, 40), 0xFF000000u);
}

TEST(RenderTest, GridDotsSitAtEveryIntersection)
{
    QImage image = blankPage(101, 61);
    QPainter painter(&image);
    drawGridDots(painter, 20, QSize(100, 60));
    painter.end();
    int dots = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            bool onGrid = x % 20 == 0 && y % 20 == 0;
            QRgb pixel = image.pixel(x, y);
            if (pixel != white)
                ++dots;
            if (onGrid)
                EXPECT_EQ(pixel, 0xFF000000u) << x << "," << y;
            else if (pixel != white)
                ADD_FAILURE() << "stray dot at " << x << "," << y;
        }
    }
    EXPECT_EQ(dots, 6 * 4);

    QImage dense = blankPage(50, 50);
    QPainter densePainter(&dense);
    drawGridDots(densePainter, 3, QSize(50, 50));
    densePainter.end();
    EXPECT_EQ(dense, blankPage(50, 50));
}

TEST(RenderTest, SelectionHandlesShowOnScreenOnly)
{
    ScreenView screen;
    auto node = boxShape(screen, ShapeKind::Rectangle, QRect(40, 40, 100, 80), u"border-width:1");
    QImage canvas = blankPage();
    canvas.fill(0xFF808080);
    {
        QPainter painter(&canvas);
        node->drawSelection(painter);
    }
    // A white circle with a black outline centred on each corner.
    EXPECT_EQ(canvas.pixel(40, 40), white);
    EXPECT_EQ(canvas.pixel(140, 120), white);
    EXPECT_EQ(canvas.pixel(90, 80), 0xFF808080u);

    ExportView exportView;
    auto exported = boxShape(exportView, ShapeKind::Rectangle, QRect(40, 40, 100, 80), u"border-width:1");
    QImage page = blankPage();
    {
        QPainter painter(&page);
        exported->drawSelection(painter);
    }
    EXPECT_EQ(page, blankPage());
}

TEST(RenderTest, BevelAndRoundCornersCloseTheWholeBandAndStayInsideTheBounds)
{
    // The band of an n-pixel border whose corners are cut a pixels deep: inside
    // the bounds, off the cut corners, and no further in than the innermost
    // ring with its own cut corners.
    const QRect bounds(20, 20, 120, 90);
    const int n = 8;
    auto inBand = [&](int px, int py, int a) {
        int l = px - bounds.x(), t = py - bounds.y();
        int r = bounds.x() + bounds.width() - px, b = bounds.y() + bounds.height() - py;
        if (std::min({ l, t, r, b }) < 0)
            return false;
        int corners[] = { l + t, r + t, r + b, l + b };
        int innermost = a + 2 * (n - 1);
        bool outsideInnerRing = std::min({ l, t, r, b }) <= n - 1;
        for (int sum : corners) {
            if (sum < a)
                return false;
            outsideInnerRing = outsideInnerRing || sum <= innermost;
        }
        return outsideInnerRing;
    };
    ExportView view;
    for (const char16_t* join : { u"bevel", u"round" }) {
        auto node = boxShape(view, ShapeKind::Rectangle, bounds,
            (String(u"border-color:#2050a0;border-width:8;border-style:solid;border-join:") + join).c_str());
        QImage image = blankPage();
        drawNode(*node, image);
        int a = String(join).equals(u"bevel") ? 7 : 3;
        int wrongInBand = 0, paintedOutside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (inBand(x, y, a))
                    wrongInBand += image.pixel(x, y) != 0xFF2050A0u;
                else
                    paintedOutside += image.pixel(x, y) != white;
            }
        }
        EXPECT_EQ(wrongInBand, 0) << String(join).toNarrow();
        EXPECT_EQ(paintedOutside, 0) << String(join).toNarrow();
    }
}
