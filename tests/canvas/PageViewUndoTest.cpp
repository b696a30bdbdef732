#include "page/Page.h"
#include "picture/canvas/PageView.h"
#include "tests/support/TestProject.h"
#include "xml/Document.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <vector>

namespace lumavine {
namespace {

// Confirmed dialogs rename the shapes, as a user's edit would.
class RenamingClient : public PageViewClient {
public:
    bool editShapes(PageView&, const PtrListOf<PicNode>& shapes) override
    {
        if (!confirm)
            return false;
        for (PicNode* shape : shapes)
            shape->setName(String(u"Edited"));
        return true;
    }
    void modified() override { ++modifiedCount; }
    std::optional<String> askValue(PageView&, const String&, const String&) override { return answer; }

    bool confirm = true;
    int modifiedCount = 0;
    std::optional<String> answer;
};

class PageViewUndoTest : public testing::Test {
protected:
    PageViewUndoTest()
    {
        view.setDoubleClickInterval(0);
        page.setSnapGrid(false);
        view.resize(500, 400);
        view.show();
    }

    // The page's element as the project file holds it, written without the
    // view's help.
    String pageXml()
    {
        Document document(String(u"page"));
        page.writeXml(document.documentElement());
        return document.toString();
    }

    QPoint screenOf(QPoint picture) const { return view.toScreen(picture) - view.scrollPosition(); }

    void moveHeld(QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent event(
            QEvent::MouseMove, QPointF(to), QPointF(view.mapToGlobal(to)), Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(&view, &event);
    }

    void drag(QPoint from, QPoint to, int step = 2)
    {
        QTest::mousePress(&view, Qt::LeftButton, {}, from);
        QPoint at = from;
        while (at != to) {
            auto toward = [step](int a, int b) { return a < b ? std::min(a + step, b) : std::max(a - step, b); };
            at = QPoint(toward(at.x(), to.x()), toward(at.y(), to.y()));
            moveHeld(at);
        }
        QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    }

    void selectOnly(PicNode* shape)
    {
        page.clearSelection();
        page.select(shape, false, false);
    }

    void undoKey() { QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier); }

    test::TestProject project;
    Page& page = project.addPage(String(u"Canvas"));
    RenamingClient client;
    PageView view { page, &client };
    QUndoStack& stack = view.undoStack();
};

TEST_F(PageViewUndoTest, UndoRestoresEveryEditExactlyAndRedoReplaysIt)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 60, 60));
    PicNode* b = page.addRectangle(QRect(200, 20, 60, 60));
    PicNode* line = page.addLine({ QPoint(50, 50), QPoint(230, 50) });
    line->setEndId(0, a->id());
    line->attachEnd(0, a);
    line->setEndId(1, b->id());
    line->attachEnd(1, b);
    page.lineEndsChanged();
    // What the page holds beyond its shapes comes back unchanged too.
    ASSERT_NE(page.newSlideshow(String(u"Tour")), nullptr);
    const String aId = a->id();
    const String lineId = line->id();

    std::vector<String> states { pageXml() };
    // Each edit is exactly one more step, and leaves the page it records.
    auto stepped = [&](const char* what) {
        states.push_back(pageXml());
        EXPECT_EQ(stack.count(), int(states.size()) - 1) << what;
        EXPECT_NE(states.back(), states[states.size() - 2]) << what;
    };

    const QPoint lineEnd = line->points()[0];
    drag(QPoint(40, 30), QPoint(60, 50));
    stepped("move drag");
    EXPECT_NE(line->points()[0], lineEnd) << "the line end went with its shape";
    selectOnly(b);
    drag(screenOf(b->points()[2]), screenOf(b->points()[2]) + QPoint(20, 10), 3);
    stepped("handle drag");
    view.setContextPoint(QPoint(320, 220));
    view.command(PageView::NewRectangle);
    stepped("new rectangle");
    view.command(PageView::Delete);
    stepped("delete");
    view.setContextPoint(QPoint(100, 250));
    view.command(PageView::NewPolygon);
    stepped("new polygon");
    view.command(PageView::ReflectX);
    stepped("reflect");
    client.answer = String(u"90");
    view.command(PageView::Rotate);
    stepped("rotate");
    client.answer = String(u"2");
    view.command(PageView::Scale);
    stepped("scale");
    selectOnly(a);
    view.command(PageView::Copy);
    view.command(PageView::Paste);
    stepped("paste");
    selectOnly(b);
    page.select(a, false, true);
    view.command(PageView::Group);
    stepped("group");
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&view, Qt::Key_Right);
    stepped("nudges");
    QTest::keyClick(&view, Qt::Key_F5);
    stepped("snap key");
    selectOnly(line);
    view.command(PageView::DetachEndA);
    stepped("detach end");
    view.command(PageView::Edit);
    stepped("edit dialog");
    selectOnly(page.findNode(aId));
    view.command(PageView::Ungroup);
    stepped("ungroup");
    view.setContextPoint(QPoint(403, 67));
    view.command(PageView::NewLine);
    stepped("new line");
    view.command(PageView::AttachToGrid);
    stepped("attach to grid");
    view.command(PageView::Cut);
    stepped("cut");
    {
        QMimeData data;
        data.setText(QGuiApplication::clipboard()->text());
        QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, {});
        // Offscreen there is no drag manager to deliver it.
        static_cast<QObject&>(view).event(&drop);
    }
    stepped("drop");
    view.command(PageView::ToggleShowGrid);
    stepped("show grid");
    selectOnly(page.findNode(aId));
    QTest::keyClick(&view, Qt::Key_Delete);
    stepped("delete key");
    ASSERT_EQ(states.size(), 22u);
    EXPECT_EQ(page.findNode(aId), nullptr);

    // Back one step at a time, each state exactly as it was.
    for (size_t i = states.size() - 1; i > 0; --i) {
        undoKey();
        ASSERT_EQ(pageXml(), states[i - 1]) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(stack.canUndo());
    for (size_t i = 1; i < states.size(); ++i) {
        if (i % 2)
            QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        else
            QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
        ASSERT_EQ(pageXml(), states[i]) << "redo to state " << i;
    }
    EXPECT_FALSE(stack.canRedo());

    while (stack.canUndo())
        undoKey();
    PicNode* restoredLine = page.findNode(lineId);
    ASSERT_NE(restoredLine, nullptr);
    ASSERT_NE(page.findNode(aId), nullptr);
    // The ends hold on to the shapes themselves again: moving the shape
    // moves the end.
    selectOnly(page.findNode(aId));
    const QPoint restoredEnd = restoredLine->points()[0];
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(restoredLine->points()[0], restoredEnd + QPoint(0, 1));
    undoKey();
    ASSERT_EQ(pageXml(), states.front());
}

TEST_F(PageViewUndoTest, NudgesMergeAndEditsThatChangeNothingAreNoStep)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 60, 60));
    page.addRectangle(QRect(200, 20, 60, 60));
    const String start = pageXml();

    // Selecting, bands, copying, zooming, dialogs cancelled: the page is
    // the same, so there is nothing to undo.
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(40, 40));
    drag(QPoint(300, 300), QPoint(450, 380));
    QTest::keyClick(&view, Qt::Key_A);
    view.command(PageView::Copy);
    view.command(PageView::ZoomFirst + 3);
    view.command(PageView::ZoomLast);
    client.confirm = false;
    view.command(PageView::Edit);
    client.answer.reset();
    view.command(PageView::Rotate);
    EXPECT_EQ(stack.count(), 0);
    EXPECT_EQ(pageXml(), start);

    selectOnly(a);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(stack.count(), 1);
    EXPECT_EQ(a->points()[0], QPoint(24, 21));
    // The undo puts new shapes in place of the old: they are found by id.
    const String id = a->id();
    undoKey();
    EXPECT_EQ(pageXml(), start);
    a = page.findNode(id);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->points()[0], QPoint(20, 20));

    // Another edit between nudges keeps them apart.
    selectOnly(a);
    QTest::keyClick(&view, Qt::Key_Right);
    client.confirm = true;
    view.command(PageView::Edit);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(stack.count(), 3);

    // Nudges that come back where they began leave no step behind.
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(stack.count(), 2);
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(stack.count(), 3);
}

TEST_F(PageViewUndoTest, AWholeDragIsOneStepAndUndoWaitsForItsRelease)
{
    PicNode* a = page.addRectangle(QRect(20, 20, 60, 60));
    const String id = a->id();
    const String start = pageXml();
    selectOnly(a);

    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(40, 40));
    for (int x = 42; x <= 60; x += 2)
        moveHeld(QPoint(x, 40));
    // Undo in the middle of a drag would pull the shape from under it.
    undoKey();
    moveHeld(QPoint(70, 50));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(70, 50));
    EXPECT_EQ(stack.count(), 1);
    EXPECT_EQ(page.findNode(id)->points()[0], QPoint(50, 30));

    undoKey();
    EXPECT_EQ(pageXml(), start);
    // The shape moved is selected again, found by its id.
    ASSERT_EQ(page.selectionCount(), 1u);
    EXPECT_EQ(page.firstSelected()->id(), id);
}

TEST_F(PageViewUndoTest, UndoingToTheStartIsCleanAndMarksThePageChanged)
{
    page.addRectangle(QRect(20, 20, 60, 60));
    QUndoStack projectStack;
    view.setUndoStack(&projectStack);
    projectStack.setClean();

    view.command(PageView::NewEllipse);
    QTest::keyClick(&view, Qt::Key_A);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(projectStack.count(), 2);
    EXPECT_EQ(stack.count(), 0) << "the view's own stack is not used";
    EXPECT_FALSE(projectStack.isClean());

    const int modifiedBefore = client.modifiedCount;
    undoKey();
    undoKey();
    EXPECT_TRUE(projectStack.isClean());
    EXPECT_EQ(page.shapeCount(), 1u);
    EXPECT_GT(client.modifiedCount, modifiedBefore);
}

}
}
