#include "picture/canvas/PageView.h"
#include "forms/MenuMap.h"
#include "page/Page.h"
#include "tests/support/TestProject.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

namespace lumavine {
namespace {

class RecordingClient : public PageViewClient {
public:
    bool editShapes(PageView&, const PtrListOf<PicNode>& shapes) override
    {
        for (PicNode* shape : shapes)
            edited.push_back(shape);
        return confirm;
    }
    void modified() override { ++modifiedCount; }
    std::optional<String> askValue(PageView&, const String& title, const String& label) override
    {
        asked.push_back(title + u"/" + label);
        return answer;
    }
    String choosePicture(PageView&) override { return picture; }
    std::vector<const Page*> projectPages() override { return pages; }
    void goToPage(const String& id) override { shownPage = id; }
    void reportError(PageView&, const String& message) override { errors.push_back(message); }
    bool pageCommand(PageView&, int id) override
    {
        pageCommands.push_back(id);
        return handlesPageCommands;
    }

    std::vector<PicNode*> edited;
    bool confirm = true;
    int modifiedCount = 0;
    std::vector<String> asked;
    std::optional<String> answer;
    String picture;
    std::vector<const Page*> pages;
    String shownPage;
    std::vector<String> errors;
    std::vector<int> pageCommands;
    bool handlesPageCommands = false;
};

class PageViewTest : public testing::Test {
protected:
    PageViewTest()
    {
        view.setDoubleClickInterval(0);
        // Exact distances are asserted; snapping has its own test.
        page.setSnapGrid(false);
        view.resize(400, 300);
        view.show();
    }

    std::vector<PicNode*> selected() const
    {
        return std::vector<PicNode*>(page.selection().begin(), page.selection().end());
    }

    // Screen position in the widget of a picture point, at the view's zoom.
    QPoint screenOf(QPoint picture) const { return view.toScreen(picture) - view.scrollPosition(); }

    void click(QPoint at, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(&view, Qt::LeftButton, modifiers, at);
    }

    // A move with the left button held; QTest's own moves carry no
    // modifiers.
    void moveHeld(QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent event(
            QEvent::MouseMove, QPointF(to), QPointF(view.mapToGlobal(to)), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(&view, &event);
    }

    // Presses at `from`, moves there in steps of `step` screen pixels on
    // each axis, and releases.
    void drag(QPoint from, QPoint to, int step = 1, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(&view, Qt::LeftButton, modifiers, from);
        QPoint at = from;
        while (at != to) {
            auto toward = [step](int a, int b) { return a < b ? std::min(a + step, b) : std::max(a - step, b); };
            at = QPoint(toward(at.x(), to.x()), toward(at.y(), to.y()));
            moveHeld(at, modifiers);
        }
        QTest::mouseRelease(&view, Qt::LeftButton, modifiers, to);
    }

    test::TestProject project;
    Page& page = project.addPage(String(u"Canvas"));
    RecordingClient client;
    PageView view { page, &client };
};

TEST_F(PageViewTest, ClicksSelectAloneAndControlClicksToggle)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 60, 60));
    PicNode* b = page.addRectangle(QRect(120, 20, 60, 60));

    click(QPoint(50, 50));
    EXPECT_EQ(selected(), std::vector<PicNode*>({ a }));
    click(QPoint(150, 50));
    EXPECT_EQ(selected(), std::vector<PicNode*>({ b }));

    click(QPoint(50, 50), Qt::ControlModifier);
    EXPECT_EQ(page.selectionCount(), 2u);
    click(QPoint(150, 50), Qt::ControlModifier);
    EXPECT_EQ(selected(), std::vector<PicNode*>({ a }));

    // A plain click on a selected shape keeps the others selected.
    click(QPoint(150, 50), Qt::ControlModifier);
    click(QPoint(50, 50));
    EXPECT_EQ(page.selectionCount(), 2u);

    click(QPoint(300, 250));
    EXPECT_EQ(page.selectionCount(), 0u);
}

TEST_F(PageViewTest, PressesFindShapesUnderTheScrolledPointer)
{
    page.setPictureSize(1000, 1000);
    PicNode* low = page.addRectangle(QRect(20, 420, 60, 60));
    view.updateLayout();
    ASSERT_FALSE(view.verticalBar().isHidden());
    view.verticalBar().setValue(400);

    click(QPoint(50, 50));
    EXPECT_EQ(selected(), std::vector<PicNode*>({ low }));
}

TEST_F(PageViewTest, DragsMoveTheSelectionByThePictureDistanceAtAnyZoom)
{
    PicNode* shape = page.addRectangle(QRect(100, 100, 100, 80));
    for (double zoom : { 0.5, 2.0 }) {
        view.setZoom(zoom);
        const QPoint before = shape->points()[0];
        const QPoint from = screenOf(before + QPoint(50, 40));
        // Steps of 3 screen pixels are 1.5 picture pixels at zoom 2: the
        // move must not lose the halves.
        drag(from, from + QPoint(30, 21), 3);
        const QPoint expected = before + QPoint(int(30 / zoom), int(21 / zoom));
        EXPECT_EQ(shape->points()[0], expected) << "zoom " << zoom;
        EXPECT_EQ(shape->getBounds().size(), QSize(100, 80)) << "zoom " << zoom;
    }
    EXPECT_GT(client.modifiedCount, 0);
}

TEST_F(PageViewTest, DraggedFramesCarryTheirShapesUnlessShiftIsHeld)
{
    PicNode* frame = page.addRectangle(QRect(40, 40, 200, 200));
    PicNode* inside = page.addRectangle(QRect(150, 150, 40, 40));
    PicNode* outside = page.addRectangle(QRect(300, 40, 40, 40));

    drag(QPoint(60, 60), QPoint(70, 80));
    EXPECT_EQ(frame->points()[0], QPoint(50, 60));
    EXPECT_EQ(inside->points()[0], QPoint(160, 170));
    EXPECT_EQ(outside->points()[0], QPoint(300, 40));

    drag(QPoint(60, 70), QPoint(50, 70), 1, Qt::ShiftModifier);
    EXPECT_EQ(frame->points()[0], QPoint(40, 60));
    EXPECT_EQ(inside->points()[0], QPoint(160, 170));

    // With Alt, a shape with any point inside is carried.
    PicNode* straddling = page.addRectangle(QRect(220, 100, 60, 20));
    drag(QPoint(60, 70), QPoint(60, 80));
    EXPECT_EQ(straddling->points()[0], QPoint(220, 100));
    drag(QPoint(60, 80), QPoint(60, 90), 1, Qt::AltModifier);
    EXPECT_EQ(straddling->points()[0], QPoint(220, 110));
    EXPECT_EQ(outside->points()[0], QPoint(300, 40));

    // A carried shape that leaves the picture meanwhile (an undo, say) is
    // left behind by the next nudge.
    page.removeNode(straddling);
    const QPoint frameBefore = frame->points()[0];
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(frame->points()[0], frameBefore + QPoint(1, 0));
    EXPECT_EQ(inside->points()[0], QPoint(161, 190)) << "still carried";
}

TEST_F(PageViewTest, ReleasedMovesSnapToTheGridWhenSnappingIsOn)
{
    page.setSnapGrid(true);
    page.setGridSize(20);
    PicNode* shape = page.addRectangle(QRect(40, 40, 60, 60));
    // Moved to (47, 54): the nearer grid lines are left and below.
    drag(QPoint(60, 60), QPoint(67, 74));
    EXPECT_EQ(shape->points()[0], QPoint(40, 60));
}

TEST_F(PageViewTest, HandleDragsPutTheCornerAtTheReleasePoint)
{
    PicNode* shape = page.addRectangle(QRect(40, 40, 100, 100));
    for (double zoom : { 1.0, 2.0 }) {
        view.setZoom(zoom);
        page.clearSelection();
        page.select(shape, false, false);
        const QPoint corner = shape->points()[2];
        const QPoint release = screenOf(corner) + QPoint(25, 15);
        drag(screenOf(corner), release, 4);
        EXPECT_EQ(shape->points()[2], view.toPicturePoint(release)) << "zoom " << zoom;
        EXPECT_EQ(shape->points()[0], QPoint(40, 40)) << "zoom " << zoom;
        EXPECT_EQ(page.pictureFlags() & Pic::PointerCaptured, 0);
    }
}

TEST_F(PageViewTest, RubberBandsSelectTheShapesWhollyInsideOnlyWhenLargeEnough)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 30, 30));
    PicNode* b = page.addRectangle(QRect(70, 20, 30, 30));
    page.addRectangle(QRect(110, 20, 20, 30));
    PicNode* thin = page.addRectangle(QRect(200, 15, 4, 30));
    page.select(a, false, false);

    // 8 pixels wide: a wobbled click, which only clears the selection,
    // though the thin shape lies inside it. The bands start clear of its
    // handles, which a press would take hold of.
    drag(QPoint(198, 2), QPoint(206, 60));
    EXPECT_EQ(page.selectionCount(), 0u);
    drag(QPoint(198, 2), QPoint(210, 60));
    EXPECT_EQ(selected(), std::vector<PicNode*>({ thin }));

    drag(QPoint(10, 10), QPoint(120, 80), 7);
    EXPECT_EQ(selected(), std::vector<PicNode*>({ a, b }));

    // The band is measured in picture pixels: at zoom 2, 16 screen pixels
    // are 8 of them.
    view.setZoom(2.0);
    drag(QPoint(396, 4), QPoint(412, 120), 8);
    EXPECT_EQ(page.selectionCount(), 0u);
    drag(QPoint(396, 4), QPoint(420, 120), 8);
    EXPECT_EQ(selected(), std::vector<PicNode*>({ thin }));
}

TEST_F(PageViewTest, KeysNudgeDeleteSelectAllAndSnap)
{
    PicNode* a = page.addRectangle(QRect(21, 23, 30, 30));
    PicNode* b = page.addRectangle(QRect(100, 100, 30, 30));
    page.select(a, false, false);

    view.setZoom(0.5);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(a->points()[0], QPoint(23, 23));
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(a->points()[0], QPoint(23, 21));
    EXPECT_EQ(b->points()[0], QPoint(100, 100));

    page.setGridSize(10);
    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_EQ(a->points()[0], QPoint(20, 20));
    EXPECT_EQ(a->points()[2], QPoint(50, 50));

    QTest::keyClick(&view, Qt::Key_A);
    EXPECT_EQ(page.selectionCount(), 2u);
    const int modifiedBefore = client.modifiedCount;
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(page.shapeCount(), 0u);
    EXPECT_GT(client.modifiedCount, modifiedBefore);
}

TEST_F(PageViewTest, ScrollBarsShowExactlyWhenThePageIsLargerThanTheClientArea)
{
    // An empty page is its picture size plus a margin of 6.
    auto bars = [&](int width, int height) {
        page.setPictureSize(width, height);
        view.updateLayout();
        return std::pair(!view.horizontalBar().isHidden(), !view.verticalBar().isHidden());
    };
    EXPECT_EQ(bars(394, 294), std::pair(false, false));
    EXPECT_EQ(bars(395, 294), std::pair(true, true)) << "the horizontal bar leaves too little height";
    EXPECT_EQ(bars(378, 295), std::pair(false, true));
    EXPECT_EQ(bars(379, 295), std::pair(true, true));

    // Scrolling reaches the page's far edge and the corner between the bars.
    bars(994, 794);
    EXPECT_EQ(view.clientSize(), QSize(384, 284));
    EXPECT_EQ(view.horizontalBar().maximum(), 1000 + 16 - 384);
    EXPECT_EQ(view.verticalBar().maximum(), 800 + 16 - 284);
    EXPECT_EQ(view.horizontalBar().singleStep(), 50);
    EXPECT_EQ(view.verticalBar().pageStep(), 284);

    view.verticalBar().setValue(100);
    bars(100, 100);
    EXPECT_TRUE(view.verticalBar().isHidden());
    EXPECT_EQ(view.scrollPosition(), QPoint(0, 0));
}

TEST_F(PageViewTest, ClickTimingTellsDoubleClicksFromPresses)
{
    PicNode* shape = page.addRectangle(QRect(20, 20, 60, 60));
    view.setDoubleClickInterval(150);

    click(QPoint(50, 50));
    EXPECT_EQ(page.selectionCount(), 0u) << "the press waits for a second one";
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.selectionCount() == 1; }, 2000));
    EXPECT_TRUE(client.edited.empty());

    const int modifiedBefore = client.modifiedCount;
    click(QPoint(50, 50));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(50, 50));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.edited.empty(); }, 2000));
    EXPECT_EQ(client.edited, std::vector<PicNode*>({ shape }));
    EXPECT_GT(client.modifiedCount, modifiedBefore);

    // A drag that starts before the time is up moves at once.
    page.setSnapGrid(false);
    drag(QPoint(50, 50), QPoint(60, 50));
    EXPECT_EQ(shape->points()[0], QPoint(30, 20));
    EXPECT_FALSE(view.isClickPending());
}

using PageViewCommandTest = PageViewTest;

TEST_F(PageViewCommandTest, NewShapesLandAtTheContextPointWithTheirDefaults)
{
    view.setContextPoint(QPoint(100, 80));
    ASSERT_TRUE(view.command(PageView::NewRectangle));
    PicNode* rectangle = page.firstSelected();
    ASSERT_NE(rectangle, nullptr);
    EXPECT_EQ(rectangle->getBounds(), QRect(100, 80, 50, 50));
    EXPECT_EQ(page.selectionCount(), 1u);
    EXPECT_EQ(client.modifiedCount, 1);

    // Without a context point, the centre of what is seen; at zoom 2 the
    // point is halved into the picture.
    view.setZoom(2.0);
    view.command(PageView::NewPolygon);
    const std::vector<QPoint> triangle { QPoint(100, 75), QPoint(50, 125), QPoint(150, 125) };
    EXPECT_EQ(page.firstSelected()->points(), triangle);
    view.setContextPoint(QPoint(20, 40));
    view.command(PageView::NewLine);
    EXPECT_EQ(page.firstSelected()->points(), std::vector<QPoint>({ QPoint(10, 20), QPoint(110, 20) }));
    view.setContextPoint(QPoint(20, 40));
    view.command(PageView::NewRoundRectangle);
    EXPECT_EQ(page.firstSelected()->getBounds(), QRect(10, 20, 70, 70));
    view.setContextPoint(QPoint(20, 40));
    view.command(PageView::NewButton);
    EXPECT_EQ(page.firstSelected()->getBounds(), QRect(10, 20, 110, 40));
    EXPECT_EQ(page.firstSelected()->getText(), String(u"Button"));
}

TEST_F(PageViewCommandTest, NewFramesAreNamedFramesAndLieBelowTheShapes)
{
    page.addRectangle(QRect(0, 0, 10, 10));
    page.addRectangle(QRect(20, 0, 10, 10));
    view.command(PageView::NewFrame);
    PicNode* frame = page.firstSelected();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getName(), String(u"Frame_3"));
    EXPECT_EQ(frame->layer(), -1);
    EXPECT_EQ(page.shapes().first(), frame);
    ASSERT_NE(Page::asPageNode(frame), nullptr);
    EXPECT_TRUE(Page::asPageNode(frame)->isFrame());
    EXPECT_EQ(frame->getBounds().size(), QSize(200, 200));
}

TEST_F(PageViewCommandTest, ShapeCommandsActOnTheContextShapeElseTheSelection)
{
    PicNode* a = page.addRectangle(QRect(21, 21, 30, 30));
    PicNode* b = page.addRectangle(QRect(100, 100, 30, 30));
    page.select(a, false, false);

    view.setContextPoint(QPoint(110, 110));
    EXPECT_EQ(view.contextShape(), b);
    view.command(PageView::Delete);
    EXPECT_EQ(page.shapeCount(), 1u);
    EXPECT_EQ(view.contextShape(), nullptr) << "forgotten after the command";

    page.setGridSize(10);
    view.command(PageView::AttachToGrid);
    EXPECT_EQ(a->points()[0], QPoint(20, 20));
    view.command(PageView::Delete);
    EXPECT_EQ(page.shapeCount(), 0u);
    EXPECT_FALSE(view.command(32200)) << "page commands are the window's";

    // A shape that leaves the picture while the menu is open is no target.
    PicNode* gone = page.addRectangle(QRect(100, 100, 30, 30));
    view.setContextPoint(QPoint(110, 110));
    ASSERT_EQ(view.contextShape(), gone);
    page.removeNode(gone);
    EXPECT_EQ(view.contextShape(), nullptr);
    EXPECT_FALSE(view.commandEnabled(PageView::Delete));

    // Points go in after the handle under the context point.
    PicNode* line = page.addLine({ QPoint(20, 200), QPoint(120, 200) });
    view.setContextPoint(QPoint(20, 200));
    view.command(PageView::InsertPoint);
    EXPECT_EQ(line->points(), std::vector<QPoint>({ QPoint(20, 200), QPoint(70, 200), QPoint(120, 200) }));
    EXPECT_EQ(page.firstSelected(), line);
    view.setContextPoint(QPoint(70, 200));
    view.command(PageView::DeletePoint);
    EXPECT_EQ(line->pointCount(), 2);

    PicNode* polygon = page.addPolygon({ QPoint(200, 100), QPoint(250, 100), QPoint(250, 150) });
    page.clearSelection();
    page.select(polygon, false, false);
    view.command(PageView::ReflectX);
    EXPECT_EQ(polygon->points()[2].y(), 100);

    QTest::keyClick(&view, Qt::Key_F2);
    EXPECT_EQ(client.edited, std::vector<PicNode*>({ polygon }));
}

TEST_F(PageViewCommandTest, ZoomGridAndGroupCommandsChangeThePicture)
{
    view.command(32303);
    EXPECT_EQ(view.zoom(), 0.5);
    view.command(PageView::ZoomFirst);
    EXPECT_EQ(view.zoom(), 0.1);
    view.command(PageView::ZoomLast);
    EXPECT_EQ(view.zoom(), 1.0);
    view.command(32354);
    EXPECT_EQ(page.gridSize(), 30);
    const bool shown = page.showGrid();
    view.command(PageView::ToggleShowGrid);
    EXPECT_NE(page.showGrid(), shown);
    view.command(PageView::ToggleSnapGrid);
    EXPECT_TRUE(page.snapGrid());

    PicNode* a = page.addRectangle(QRect(20, 20, 30, 30));
    PicNode* b = page.addRectangle(QRect(100, 20, 30, 30));
    page.selectAll();
    view.command(PageView::Group);
    click(QPoint(300, 250));
    click(QPoint(30, 30));
    EXPECT_EQ(selected(), std::vector<PicNode*>({ a, b }));
    view.command(PageView::Ungroup);
    click(QPoint(300, 250));
    click(QPoint(30, 30));
    EXPECT_EQ(selected(), std::vector<PicNode*>({ a }));
}

TEST_F(PageViewCommandTest, CopiedShapesPasteBesideTheirOriginals)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 30, 30));
    page.select(a, false, false);
    view.command(PageView::Copy);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("<page")));

    view.command(PageView::Paste);
    ASSERT_EQ(page.shapeCount(), 2u);
    PicNode* copy = page.shapes().last();
    EXPECT_NE(copy->id(), a->id());
    EXPECT_EQ(copy->getBounds(), QRect(30, 30, 30, 30));

    view.command(PageView::Cut);
    EXPECT_EQ(page.shapeCount(), 1u);
    view.command(PageView::Paste);
    EXPECT_EQ(page.shapeCount(), 2u);

    // A caption with markup characters over two lines, which the paste
    // reads a line at a time, comes back as typed.
    const String caption(u"a<b & \"c\" &amp;\n</text> &#146;");
    PicNode* typed = page.shapes().first();
    typed->setText(caption);
    typed->setName(String(u"Tom & Jerry"));
    page.select(typed, false, false);
    view.command(PageView::Copy);
    view.command(PageView::Paste);
    ASSERT_EQ(page.shapeCount(), 3u);
    EXPECT_EQ(page.shapes().last()->getText(), caption);
    EXPECT_EQ(page.shapes().last()->getName(), u"Tom & Jerry");

    QGuiApplication::clipboard()->setText(QStringLiteral("not a picture"));
    view.command(PageView::Paste);
    EXPECT_EQ(page.shapeCount(), 3u);
    // XML that holds no shapes of ours, or a shape of a kind there is none
    // of, adds nothing and changes nothing.
    const int modifiedBefore = client.modifiedCount;
    for (const char* text : { "<html><body><p>hello</p></body></html>",
             "<page><node><kind>hexagon</kind><points>1,1 5,5</points></node></page>", "<page><node>" }) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        view.command(PageView::Paste);
        EXPECT_EQ(page.shapeCount(), 3u) << text;
    }
    EXPECT_EQ(client.modifiedCount, modifiedBefore);
}

TEST_F(PageViewCommandTest, PageCommandsGoToTheWindowAndUnknownOnesAreNotTaken)
{
    EXPECT_FALSE(view.command(PageView::Preview));
    client.handlesPageCommands = true;
    EXPECT_TRUE(view.command(PageView::PageProperties));
    EXPECT_TRUE(view.command(PageView::Publish));
    EXPECT_EQ(
        client.pageCommands, std::vector<int>({ PageView::Preview, PageView::PageProperties, PageView::Publish }));
    // The canvas's own commands never reach the window.
    view.command(PageView::ToggleShowGrid);
    EXPECT_EQ(client.pageCommands.size(), 3u);
}

TEST_F(PageViewCommandTest, ShapeCommandsAreOfferedOnlyWithSomethingToActOn)
{
    for (int id : { PageView::Edit, PageView::Delete, PageView::ReflectX, PageView::ReflectY, PageView::AttachToGrid,
             PageView::InsertPoint, PageView::DeletePoint })
        EXPECT_FALSE(view.commandEnabled(id)) << id;
    EXPECT_TRUE(view.commandEnabled(PageView::NewRectangle));

    PicNode* box = page.addRectangle(QRect(20, 20, 30, 30));
    page.select(box, false, false);
    EXPECT_TRUE(view.commandEnabled(PageView::Edit));
    EXPECT_FALSE(view.commandEnabled(PageView::InsertPoint));

    page.clearSelection();
    page.addLine({ QPoint(100, 100), QPoint(200, 100) });
    view.setContextPoint(QPoint(100, 100));
    EXPECT_TRUE(view.commandEnabled(PageView::Delete));
    EXPECT_TRUE(view.commandEnabled(PageView::InsertPoint));
}

TEST_F(PageViewCommandTest, DroppedPictureFilesBecomePictureShapes)
{
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString shouting = QString::fromStdString(project.path("SHOUTING.PNG"));
    ASSERT_TRUE(picture.save(shouting, "PNG"));
    project.writeFile("notes.txt", "not a picture");

    auto drop = [&](QMimeData& data, QPoint at) {
        QDropEvent event(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        // The application passes on only the drops of its own drag manager,
        // which no test can drive offscreen: the drop goes straight to the
        // widget's event dispatch.
        static_cast<QObject&>(view).event(&event);
    };
    QMimeData files;
    files.setUrls(
        { QUrl::fromLocalFile(QString::fromStdString(project.path("notes.txt"))), QUrl::fromLocalFile(shouting) });
    drop(files, QPoint(40, 60));
    ASSERT_EQ(page.shapeCount(), 1u);
    EXPECT_EQ(page.shapes().first()->kind(), ShapeKind::Image);
    EXPECT_EQ(page.shapes().first()->getBounds(), QRect(40, 60, 30, 20));

    // Dropped text is read as copied shapes.
    page.select(page.shapes().first(), false, false);
    view.command(PageView::Copy);
    QMimeData text;
    text.setText(QGuiApplication::clipboard()->text());
    drop(text, QPoint(0, 0));
    EXPECT_EQ(page.shapeCount(), 2u);
    text.setText(QStringLiteral("plain words"));
    drop(text, QPoint(0, 0));
    EXPECT_EQ(page.shapeCount(), 2u);
    // Text that goes on after the copied shapes still gives them.
    text.setText(QGuiApplication::clipboard()->text() + QStringLiteral("\nand a note below\n"));
    drop(text, QPoint(0, 0));
    EXPECT_EQ(page.shapeCount(), 3u);
    EXPECT_TRUE(client.errors.empty());

    // A folder, an empty file and a file that is no picture, each under a
    // picture's name, add nothing and say why.
    project.makeFolder("folder.png");
    project.writeFile("empty.png", "");
    project.writeFile("words.gif", "GIF? no, words");
    QMimeData broken;
    broken.setUrls({ QUrl::fromLocalFile(QString::fromStdString(project.path("folder.png"))),
        QUrl::fromLocalFile(QString::fromStdString(project.path("empty.png"))),
        QUrl::fromLocalFile(QString::fromStdString(project.path("words.gif"))) });
    const int modifiedBefore = client.modifiedCount;
    drop(broken, QPoint(40, 60));
    EXPECT_EQ(page.shapeCount(), 3u);
    EXPECT_EQ(client.errors.size(), 3u);
    EXPECT_EQ(client.modifiedCount, modifiedBefore);
}

TEST_F(PageViewCommandTest, ScaleAndRotateTakeTheValueTheUserGives)
{
    PicNode* box = page.addRectangle(QRect(20, 20, 30, 30));
    page.select(box, false, false);

    client.answer = String(u" 2 ");
    view.command(PageView::Scale);
    EXPECT_EQ(box->getBounds(), QRect(40, 40, 60, 60));
    for (const char16_t* answer : { u"twice", u"" }) {
        client.answer = String(answer);
        view.command(PageView::Scale);
        EXPECT_EQ(box->getBounds(), QRect(40, 40, 60, 60));
    }
    client.answer.reset();
    view.command(PageView::Scale);
    EXPECT_EQ(box->getBounds(), QRect(40, 40, 60, 60));

    PicNode* polygon = page.addPolygon({ QPoint(100, 100), QPoint(140, 100), QPoint(120, 140) });
    view.setContextPoint(QPoint(120, 110));
    client.answer = String(u"180");
    view.command(PageView::Rotate);
    EXPECT_GT(polygon->points()[0].x(), 130);
    EXPECT_EQ(client.asked.back(), String(u"Rotate/Degrees"));
    EXPECT_EQ(client.asked.front(), String(u"Scale/Times"));
}

TEST_F(PageViewCommandTest, NewPicturesAskForTheirFile)
{
    view.command(PageView::NewPicture);
    EXPECT_EQ(page.shapeCount(), 0u) << "cancelled";

    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(QString::fromStdString(project.path("lake.png")), "PNG"));
    client.picture = String(QString::fromStdString(project.path("lake.png")).toStdU16String());
    view.setContextPoint(QPoint(10, 10));
    view.command(PageView::NewPicture);
    ASSERT_EQ(page.shapeCount(), 1u);
    EXPECT_EQ(page.firstSelected()->getBounds(), QRect(10, 10, 30, 20));
    view.command(PageView::NewThumbnail);
    EXPECT_EQ(page.shapeCount(), 2u);
    EXPECT_EQ(page.firstSelected()->kind(), ShapeKind::Image);

    page.setLabel(String(u"Lake"));
    view.setZoom(0.5);
    EXPECT_EQ(view.titleText(String(u"site.xml")), QStringLiteral("site.xml, Lake (50%) - Png"));
    EXPECT_EQ(
        view.titleText(String(u"site.xml"), String(u"trial")), QStringLiteral("site.xml, Lake (50%) - Png - trial"));
}

TEST_F(PageViewCommandTest, TheShapeMenuEnablesWhatCanActAndRunsTheChoice)
{
    MenuMap& menus = view.menus();
    ASSERT_NE(view.prepareShapeMenu(QPoint(300, 250)), nullptr);
    for (const char16_t* path :
        { u"shape|edit", u"shape|delete", u"shape|reflect|reflectx", u"shape|sizetogrid", u"shape|insertpoint" })
        EXPECT_FALSE(menus.action(path)->isEnabled()) << String(path).toNarrow();

    page.addRectangle(QRect(20, 20, 30, 30));
    view.prepareShapeMenu(QPoint(30, 30));
    EXPECT_TRUE(menus.action(u"shape|delete")->isEnabled());
    EXPECT_FALSE(menus.action(u"shape|deletepoint")->isEnabled());
    menus.action(u"shape|delete")->trigger();
    EXPECT_EQ(page.shapeCount(), 0u);
    EXPECT_EQ(view.contextShape(), nullptr);

    Page& other = project.addPage(String(u"Other"));
    client.pages = { &page, &other };
    view.prepareShapeMenu(QPoint(300, 250));
    ASSERT_NE(menus.action(u"shape|page|Other"), nullptr);
    menus.action(u"shape|page|Other")->trigger();
    EXPECT_EQ(client.shownPage, other.id());
    // The list is rebuilt each time, not added to.
    client.pages = { &page };
    view.prepareShapeMenu(QPoint(300, 250));
    EXPECT_EQ(menus.action(u"shape|page|Other"), nullptr);
    EXPECT_NE(menus.action(u"shape|page|Canvas"), nullptr);
}

}
}
