#include "page/Page.h"
#include "picture/canvas/PageView.h"
#include "tests/support/TestProject.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumavine {
namespace {

const QColor besidePage(0xc0, 0xc0, 0xc0);

// Collects the areas the view is asked to paint, and counts the paints of
// less than the whole view.
class PaintAreas : public QObject {
public:
    explicit PaintAreas(QWidget& view) : m_view(view) { m_view.installEventFilter(this); }
    ~PaintAreas() override { m_view.removeEventFilter(this); }

    QRegion painted;
    int paints = 0;
    int partialPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRegion region = static_cast<QPaintEvent*>(event)->region();
            painted += region;
            ++paints;
            if (!(QRegion(m_view.rect()) - region).isEmpty())
                ++partialPaints;
        }
        return false;
    }

private:
    QWidget& m_view;
};

class CanvasPaintTest : public testing::Test {
protected:
    CanvasPaintTest()
    {
        view.setDoubleClickInterval(0);
        page.setSnapGrid(false);
        // Large enough that the moves below bring no scroll bars, which
        // would repaint the whole view.
        view.resize(640, 480);
        view.show();
        QApplication::processEvents();
    }

    // What the window shows now, after the paints asked for so far: the
    // client area of the window's own store, where partial paints leave
    // whatever earlier paints put around them.
    QImage shown()
    {
        // A paint can ask for another, as when the page's edge moved.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        const QImage window = view.screen()->grabWindow(view.winId()).toImage();
        return window.copy(QRect(QPoint(0, 0), view.clientSize())).convertToFormat(QImage::Format_RGB32);
    }

    // The whole page as it draws without any clip: grey beside the page,
    // the page, its shapes and its selection, scrolled as the view is.
    QImage wholePage()
    {
        QImage image(view.clientSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(besidePage);
        {
            QPainter painter(&image);
            painter.translate(-view.scrollPosition());
            painter.fillRect(QRect(QPoint(0, 0), view.pageSize()), Qt::white);
            page.draw(painter);
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }

    // Empty when the window shows the whole page as it draws; otherwise
    // where the first pixel differs.
    std::string differenceFromWholePage()
    {
        const QImage seen = shown();
        const QImage expected = wholePage();
        if (seen.size() != expected.size())
            return "the window's client area and the page picture differ in size";
        for (int y = 0; y < seen.height(); ++y) {
            for (int x = 0; x < seen.width(); ++x) {
                if (seen.pixel(x, y) != expected.pixel(x, y)) {
                    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") shows "
                        + QColor(seen.pixel(x, y)).name().toStdString() + " where the page draws "
                        + QColor(expected.pixel(x, y)).name().toStdString();
                }
            }
        }
        return std::string();
    }

    QPoint screenOf(QPoint picture) const { return view.toScreen(picture) - view.scrollPosition(); }

    void moveHeld(QPoint to)
    {
        QMouseEvent event(
            QEvent::MouseMove, QPointF(to), QPointF(view.mapToGlobal(to)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&view, &event);
    }

    // A press at `from`, moves toward `to` of `step` screen pixels each,
    // each followed by the paints it asks for, and the release.
    void drag(QPoint from, QPoint to, int step = 7)
    {
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QPoint at = from;
        while (at != to) {
            auto toward = [step](int a, int b) { return a < b ? std::min(a + step, b) : std::max(a - step, b); };
            at = QPoint(toward(at.x(), to.x()), toward(at.y(), to.y()));
            moveHeld(at);
            QApplication::processEvents();
        }
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
        QApplication::processEvents();
    }

    PicNode* captioned(const QRect& box, const char16_t* text)
    {
        PicNode* shape = page.addRectangle(box);
        shape->setText(String(text));
        shape->setProperty(u"halign", String(u"center"));
        shape->setProperty(u"valign", String(u"center"));
        return shape;
    }

    PicNode* attachedLine(PicNode* from, PicNode* to, const char16_t* style)
    {
        PicNode* line = page.addLine({ from->getBounds().center(), to->getBounds().center() });
        line->setProperty(u"line", String(style));
        line->setEndId(0, from->id());
        line->setEndId(1, to->id());
        line->resolveEnds();
        return line;
    }

    test::TestProject project;
    Page& page = project.addPage(String(u"Canvas"));
    PageView view { page };
};

// Shapes whose drawing reaches past their points: captions wider than their
// box, arrowheads and dots at attached line ends, thick mitred borders,
// curves swinging out, handles of the selection.
TEST_F(CanvasPaintTest, WhatDragsLeaveOnScreenIsWhatTheWholePageDraws)
{
    PicNode* box = captioned(QRect(60, 60, 30, 24), u"A caption much wider than its box");
    PicNode* ellipse = page.addEllipse(QRect(260, 80, 70, 50));
    ellipse->setProperty(u"border", String(u"border-width:5;border-style:ridge;border-color:#2040c0"));
    ellipse->setProperty(u"background-color", String(u"#80c080,#204020,vertical"));
    PicNode* target = captioned(QRect(300, 260, 80, 40), u"Target");
    attachedLine(box, target, u"type:straight;width:3;color:#c02020;enda:arrow;endz:dot");
    attachedLine(ellipse, target, u"type:straight;width:2;color:#2020c0;enda:dot;endz:arrow");
    PicNode* polygon = page.addPolygon({ QPoint(150, 200), QPoint(230, 190), QPoint(160, 215) });
    polygon->setProperty(u"border", String(u"border-width:6;border-style:solid;border-color:#000000"));
    PicNode* curve = page.addLine({ QPoint(40, 300), QPoint(90, 230), QPoint(140, 330), QPoint(200, 250) });
    curve->setProperty(u"line", String(u"type:curve;width:4;color:#208020;enda:arrow;endz:arrow"));
    // Without a border, only the handles reach this far out; placed where
    // the area a move repaints is cut to its tiles.
    PicNode* borderless = page.addRectangle(QRect(422, 150, 40, 30));
    borderless->setProperty(u"border", String(u"border-width:0"));
    // A rounded rectangle's border runs on its bounds, half outside and
    // further than its handles; placed like the borderless one.
    PicNode* rounded = page.addRoundRectangle(QRect(493, 317, 60, 40));
    rounded->setProperty(u"border", String(u"border-width:40;border-style:solid;border-color:#806000"));
    // Shapes lying over and under the moved ones must show through.
    PicNode* over = page.addRoundRectangle(QRect(80, 90, 120, 30));
    over->setProperty(u"background-color", String(u"#f0d040"));
    page.setShowGrid(true);
    view.redraw();
    ASSERT_EQ(differenceFromWholePage(), "");

    page.clearSelection();
    page.select(box, false, true);
    page.select(ellipse, false, true);
    page.select(polygon, false, true);
    page.select(curve, false, true);
    page.select(borderless, false, true);
    page.select(rounded, false, true);
    view.redraw();
    ASSERT_EQ(differenceFromWholePage(), "");

    // Each step ends in the partial paint it asks for; the release brings
    // the handles back.
    PaintAreas areas(view);
    const QPoint press = screenOf(box->getBounds().center());
    QTest::mousePress(&view, Qt::LeftButton, {}, press);
    QApplication::processEvents();
    for (QPoint step : { QPoint(9, 4), QPoint(23, 17), QPoint(51, 40), QPoint(30, 70), QPoint(-20, 35) }) {
        moveHeld(press + step);
        EXPECT_EQ(differenceFromWholePage(), "") << "after the move to " << step.x() << ", " << step.y();
    }
    QTest::mouseRelease(&view, Qt::LeftButton, {}, press + QPoint(-20, 35));
    EXPECT_EQ(differenceFromWholePage(), "") << "after the release";
    // Those moves were painted in part, or this test would prove nothing.
    EXPECT_GE(areas.partialPaints, 5);

    // Arrow keys move the selection through the same partial paints.
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(&view, i % 2 ? Qt::Key_Up : Qt::Key_Right);
    EXPECT_EQ(differenceFromWholePage(), "") << "after nudging";

    // So do the shapes lying inside a dragged one, which travel with it.
    PicNode* frame = page.addRectangle(QRect(20, 330, 140, 60));
    PicNode* inside = captioned(QRect(40, 340, 40, 20), u"Carried along");
    ASSERT_NE(inside, nullptr);
    view.redraw();
    page.clearSelection();
    drag(screenOf(QPoint(150, 385)), screenOf(QPoint(230, 345)));
    EXPECT_TRUE(frame->isSelected());
    EXPECT_EQ(inside->getBounds().topLeft(), QPoint(120, 300));
    EXPECT_EQ(differenceFromWholePage(), "") << "after carrying shapes";
}

TEST_F(CanvasPaintTest, AMoveRepaintsAroundTheMovedShapesOnly)
{
    PicNode* moved = page.addRectangle(QRect(30, 30, 40, 30));
    PicNode* far = page.addRectangle(QRect(400, 300, 40, 30));
    ASSERT_NE(far, nullptr);
    page.clearSelection();
    page.select(moved, false, false);
    view.redraw();
    QApplication::processEvents();

    PaintAreas areas(view);
    const QPoint press = screenOf(moved->getBounds().center());
    QTest::mousePress(&view, Qt::LeftButton, {}, press);
    QApplication::processEvents();
    areas.painted = QRegion();
    moveHeld(press + QPoint(5, 3));
    QApplication::processEvents();

    EXPECT_EQ(moved->getBounds().topLeft(), QPoint(35, 33));
    EXPECT_GT(areas.paints, 0);
    // Where the shape was and where it went are painted again; the far
    // shape and the rest of the view are not.
    EXPECT_TRUE(areas.painted.contains(screenOf(QPoint(31, 31))));
    EXPECT_TRUE(areas.painted.contains(screenOf(QPoint(74, 62))));
    EXPECT_FALSE(areas.painted.intersects(QRect(screenOf(QPoint(400, 300)), QSize(40, 30))));
    EXPECT_FALSE(areas.painted.contains(QPoint(view.clientSize().width() - 1, 0)));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, press + QPoint(5, 3));
}

TEST_F(CanvasPaintTest, UndoZoomScrollAndEditsShowThePageAsItNowIs)
{
    PicNode* box = captioned(QRect(40, 40, 60, 30), u"Box");
    PicNode* other = page.addEllipse(QRect(200, 150, 60, 60));
    // Undo puts back new shapes: they are found again by id.
    const String boxId = box->id();
    const String otherId = other->id();
    attachedLine(box, other, u"type:straight;width:2;color:#000000;enda:arrow;endz:arrow");
    page.clearSelection();
    page.select(box, false, false);
    view.redraw();
    ASSERT_EQ(differenceFromWholePage(), "");

    drag(screenOf(QPoint(70, 55)), screenOf(QPoint(150, 120)));
    ASSERT_EQ(box->getBounds().topLeft(), QPoint(120, 105));
    EXPECT_EQ(differenceFromWholePage(), "") << "after the drag";

    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    box = page.findNode(boxId);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getBounds().topLeft(), QPoint(40, 40));
    EXPECT_EQ(differenceFromWholePage(), "") << "after the undo";
    QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(differenceFromWholePage(), "") << "after the redo";

    // A caption edited as a dialog would, then asked to show.
    box = page.findNode(boxId);
    ASSERT_NE(box, nullptr);
    box->setText(String(u"A longer caption than before\nin two lines"));
    view.redraw();
    EXPECT_EQ(differenceFromWholePage(), "") << "after the caption changed";

    view.setZoom(0.5);
    EXPECT_EQ(differenceFromWholePage(), "") << "at 50%";
    view.setZoom(3.0);
    EXPECT_EQ(differenceFromWholePage(), "") << "at 300%";
    // At 300% the page is larger than the view: scrolled, then a shape
    // moved with the keys.
    ASSERT_FALSE(view.verticalBar().isHidden());
    view.verticalBar().setValue(view.verticalBar().maximum());
    view.horizontalBar().setValue(view.horizontalBar().maximum() / 2);
    EXPECT_EQ(differenceFromWholePage(), "") << "scrolled";
    page.clearSelection();
    page.select(page.findNode(otherId), false, false);
    view.redraw();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(differenceFromWholePage(), "") << "after nudging at 300%, scrolled";

    // A rubber band pulled open and let go.
    view.setZoom(1.0);
    view.verticalBar().setValue(0);
    view.horizontalBar().setValue(0);
    drag(QPoint(5, 380), QPoint(300, 390), 20);
    EXPECT_EQ(differenceFromWholePage(), "") << "after a rubber band";
}

// A line drawn from a box's centre and then attached to it ends at the
// box's edge; its handles must follow, or a press on the box's centre grabs
// a handle nobody sees.
TEST_F(CanvasPaintTest, LinesAttachedToShapesLeaveNoHandlesWhereTheirEndsWere)
{
    PicNode* box = page.addRectangle(QRect(100, 100, 80, 60));
    PicNode* other = page.addRectangle(QRect(400, 300, 80, 60));
    PicNode* resolved = attachedLine(box, other, u"type:straight;width:2;color:#000000");
    PicNode* attached = page.addLine({ QPoint(140, 130), QPoint(300, 130) });
    attached->attachEnd(0, box);
    for (PicNode* line : { resolved, attached }) {
        ASSERT_EQ(line->handles().size(), line->points().size());
        for (size_t i = 0; i < line->points().size(); ++i)
            EXPECT_TRUE(line->handles()[i].contains(line->points()[i]));
        EXPECT_FALSE(line->getBounds().contains(QPoint(140, 130)));
    }

    page.clearSelection();
    view.redraw();
    drag(screenOf(QPoint(140, 130)), screenOf(QPoint(160, 150)));
    EXPECT_TRUE(box->isSelected());
    EXPECT_EQ(box->getBounds().topLeft(), QPoint(120, 120));
    EXPECT_EQ(differenceFromWholePage(), "");
}

TEST_F(CanvasPaintTest, APageThatGrowsOrShrinksUnderAMoveShowsItsNewEdge)
{
    PicNode* box = page.addRectangle(QRect(300, 100, 60, 40));
    page.addRectangle(QRect(20, 20, 40, 40));
    page.setShowGrid(true);
    page.clearSelection();
    page.select(box, false, false);
    view.redraw();
    QApplication::processEvents();
    const QSize before = view.pageSize();

    for (int i = 0; i < 30; ++i)
        QTest::keyClick(&view, Qt::Key_Right);
    QApplication::processEvents();
    EXPECT_EQ(view.pageSize().width(), before.width() + 30);
    EXPECT_EQ(differenceFromWholePage(), "") << "after the page grew";

    for (int i = 0; i < 50; ++i)
        QTest::keyClick(&view, Qt::Key_Left);
    QApplication::processEvents();
    EXPECT_EQ(view.pageSize().width(), before.width() - 20);
    EXPECT_EQ(differenceFromWholePage(), "") << "after the page shrank";
}

TEST_F(CanvasPaintTest, GridDotsLieOnThePageAndNotBesideIt)
{
    page.addRectangle(QRect(40, 40, 90, 60));
    page.setShowGrid(true);
    page.setGridSize(20);
    view.redraw();
    const QImage seen = shown();
    const QSize pageSize = view.pageSize();
    ASSERT_LT(pageSize.width(), 300);
    ASSERT_LT(pageSize.height(), 300);
    // An intersection on the page shows its dot; those beside the page,
    // right of it and below it, show the grey.
    EXPECT_EQ(QColor(seen.pixel(20, 20)), QColor(Qt::black));
    EXPECT_EQ(QColor(seen.pixel(20, 100)), QColor(Qt::black));
    for (QPoint beside : { QPoint(300, 20), QPoint(20, 300), QPoint(300, 300), QPoint(460, 360) })
        EXPECT_EQ(QColor(seen.pixel(beside)), besidePage) << beside.x() << ", " << beside.y();
    EXPECT_EQ(differenceFromWholePage(), "");
}

TEST_F(CanvasPaintTest, LayoutMeasuresCaptionsAgainWhenTheirTextFontOrOrientationChange)
{
    PicNode* box = captioned(QRect(20, 20, 200, 60), u"Short");
    page.extent();
    const int shortWidth = box->textWidth();
    ASSERT_GT(shortWidth, 0);

    box->setText(String(u"Short, and then a good deal longer"));
    page.extent();
    const int longWidth = box->textWidth();
    EXPECT_GT(longWidth, shortWidth);

    box->setText(String(u"Short"));
    page.extent();
    EXPECT_EQ(box->textWidth(), shortWidth);

    box->setProperty(u"font", String(u"font-family:tahoma;font-size:30"));
    page.extent();
    EXPECT_GT(box->textWidth(), shortWidth);
    EXPECT_GT(box->textHeight(), 30);
    box->setProperty(u"font", String(u"font-family:tahoma;font-size:30;font-style:bold"));
    const int regularWidth = box->textWidth();
    page.extent();
    EXPECT_GT(box->textWidth(), regularWidth);

    box->setProperty(u"orientation", String(u"vertical"));
    page.extent();
    EXPECT_EQ(box->lines().size(), 5u);
    box->setProperty(u"orientation", String(u"horizontal"));
    page.extent();
    EXPECT_EQ(box->lines().size(), 1u);

    // A text shape's box is its caption's: the page's extent follows.
    std::unique_ptr<PicNode> made = page.createNode();
    made->setKind(ShapeKind::Text);
    made->setPoints({ QPoint(500, 500) });
    made->setText(String(u"Text"));
    PicNode* text = page.adoptNode(std::move(made));
    ASSERT_NE(text, nullptr);
    const int narrow = page.extent().x();
    text->setText(String(u"Text that is a good deal wider"));
    EXPECT_GT(page.extent().x(), narrow);
    EXPECT_EQ(text->getBounds().width(), text->textWidth() + 2 * text->border().width());
}

}
}
