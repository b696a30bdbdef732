#include "picture/canvas/PageView.h"

#include "forms/MenuMap.h"
#include "page/Page.h"
#include "xml/Document.h"

#include <QKeyEvent>
#include <QPainter>
#include <QUndoStack>
#include <algorithm>

namespace lumavine {

PageView::PageView(Page& page, PageViewClient* client, QWidget* parent)
    : Component(parent)
    , m_page(page)
    , m_client(client)
    , m_state(std::make_unique<IdleState>())
{
    m_page.setView(this);
    setAcceptDrops(true);
    zoomChanged();
}

PageView::~PageView()
{
    if (!m_pageReleased && m_page.view() == this)
        m_page.setView(nullptr);
}

QUndoStack& PageView::undoStack()
{
    if (m_stack)
        return *m_stack;
    if (!m_ownStack)
        m_ownStack = std::make_unique<QUndoStack>();
    return *m_ownStack;
}

void PageView::setUndoStack(QUndoStack* stack)
{
    m_stack = stack;
}

PageSnapshotCommand::State PageView::snapshot()
{
    Document document(String(u"page"));
    m_page.writeXml(document.documentElement());
    PageSnapshotCommand::State state { document.toString(), {} };
    for (PicNode* shape : m_page.selection())
        state.selection.push_back(shape->id());
    return state;
}

bool PageView::restoreSnapshot(const String& pageId, const PageSnapshotCommand::State& state)
{
    if (m_page.id() != pageId)
        return false;
    Document document;
    document.parse(state.xml);
    document.finish();
    if (!document.documentElement())
        return false;
    // A gesture or menu under way refers to shapes that are about to go.
    m_state = std::make_unique<IdleState>();
    m_gestureBefore.reset();
    m_carriedIds.clear();
    m_contextShapeId.clear();
    m_contextPoint.reset();
    m_page.clear();
    m_page.load(document.documentElement());
    PtrListOf<PicNode> selection;
    for (const String& id : state.selection) {
        if (PicNode* shape = m_page.findNode(id))
            selection.append(shape);
    }
    m_page.selectList(selection);
    zoomChanged();
    updateLayout();
    redraw();
    markModified();
    return true;
}

void PageView::recordStep(const QString& text, const std::function<void()>& edit, int mergeId)
{
    if (m_recording || (m_gestureBefore && !pointerIdle())) {
        edit();
        return;
    }
    // A gesture whose release never came ends here, before it mixes with
    // this step.
    finishGesture(QStringLiteral("Move"));
    PageSnapshotCommand::State before = snapshot();
    m_recording = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done { m_recording };
    edit();
    PageSnapshotCommand::State after = snapshot();
    if (after.xml == before.xml)
        return;
    // The stack takes the command.
    undoStack().push(
        std::make_unique<PageSnapshotCommand>(*this, m_page.id(), std::move(before), std::move(after), text, mergeId)
            .release());
}

bool PageView::pointerIdle() const
{
    return dynamic_cast<const IdleState*>(m_state.get()) != nullptr;
}

void PageView::finishGesture(const QString& text)
{
    if (!m_gestureBefore)
        return;
    PageSnapshotCommand::State before = std::move(*m_gestureBefore);
    m_gestureBefore.reset();
    PageSnapshotCommand::State after = snapshot();
    if (after.xml == before.xml)
        return;
    undoStack().push(
        std::make_unique<PageSnapshotCommand>(*this, m_page.id(), std::move(before), std::move(after), text).release());
}

PageViewClient& PageView::client() const
{
    static PageViewClient none;
    return m_client ? *m_client : none;
}

std::vector<PicNode*> PageView::carried() const
{
    std::vector<PicNode*> shapes;
    for (const String& id : m_carriedIds) {
        if (PicNode* shape = m_page.findNode(id))
            shapes.push_back(shape);
    }
    return shapes;
}

void PageView::rebuildCarried(bool anyPoint)
{
    m_carriedIds.clear();
    PtrListOf<PicNode> inside;
    for (PicNode* shape : m_page.selection())
        m_page.shapesInShape(shape, inside, !anyPoint);
    for (PicNode* shape : inside) {
        if (!shape->isSelected()
            && std::find(m_carriedIds.begin(), m_carriedIds.end(), shape->id()) == m_carriedIds.end())
            m_carriedIds.push_back(shape->id());
    }
}

void PageView::moveSelection(PictureDelta delta, bool withCarried)
{
    if (delta == PictureDelta {})
        return;
    m_page.moveSelectionBy(delta);
    if (withCarried && !m_carriedIds.empty()) {
        std::vector<PicNode*> along = carried();
        std::erase_if(along, [](const PicNode* shape) { return shape->isSelected(); });
        m_page.moveShapesBy(along, delta);
    }
}

void PageView::snapMovedShapes()
{
    for (PicNode* shape : m_page.selection())
        shape->snapToPictureGrid();
    for (PicNode* shape : carried()) {
        if (!shape->isSelected())
            shape->snapToPictureGrid();
    }
    m_page.lineEndsChanged();
    redraw();
}

int PageView::removeSelected()
{
    return m_page.removeSelected();
}

void PageView::markModified()
{
    client().modified();
}

QSize PageView::pictureExtent()
{
    QSize size = m_page.pageSize();
    return QSize(std::max(0, size.width()), std::max(0, size.height()));
}

QSize PageView::pictureExtentAfterMoves()
{
    // The page keeps its extent through moves, which are all that changed.
    m_page.reuseLayoutOnce();
    return pictureExtent();
}

void PageView::drawPage(QPainter& painter)
{
    m_page.draw(painter);
}

QColor PageView::pageColor() const
{
    if (m_page.hasBackgroundColor())
        return m_page.backgroundColor().toQColor();
    return Qt::white;
}

void PageView::zoomChanged()
{
    // Handles keep their size on screen, so their picture size follows the
    // zoom.
    for (PicNode* shape : m_page.shapes())
        shape->updateHandles();
}

void PageView::enter(std::unique_ptr<PointerState> next)
{
    if (next)
        m_state = std::move(next);
}

void PageView::pointerPress(QPoint point, Qt::KeyboardModifiers modifiers)
{
    // From the press to the release that ends the gesture is one step.
    if (!m_gestureBefore && !m_recording)
        m_gestureBefore = snapshot();
    enter(m_state->press(*this, point, modifiers));
}

void PageView::pointerDoubleClick(QPoint point, Qt::KeyboardModifiers modifiers)
{
    recordStep(QStringLiteral("Edit"), [&] { enter(m_state->doubleClick(*this, point, modifiers)); });
}

void PageView::pointerMove(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    enter(m_state->move(*this, point, buttons, modifiers));
}

void PageView::pointerRelease(QPoint point, Qt::KeyboardModifiers modifiers)
{
    const QString text
        = dynamic_cast<const HandleDragState*>(m_state.get()) ? QStringLiteral("Drag Handle") : QStringLiteral("Move");
    enter(m_state->release(*this, point, modifiers));
    if (pointerIdle() && !m_recording)
        finishGesture(text);
}

void PageView::keyPressEvent(QKeyEvent* event)
{
    // Not in the middle of a gesture: its shapes would go from under it.
    const bool idle = pointerIdle() && !m_recording;
    if (event->matches(QKeySequence::Undo)) {
        if (idle) {
            finishGesture(QStringLiteral("Move"));
            undoStack().undo();
        }
        return;
    }
    if (event->matches(QKeySequence::Redo)
        || (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier)) {
        if (idle) {
            finishGesture(QStringLiteral("Move"));
            undoStack().redo();
        }
        return;
    }
    const int key = event->key();
    const bool nudge = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    bool handled = false;
    recordStep(
        nudge ? QStringLiteral("Nudge") : QStringLiteral("Key"), [&] { enter(m_state->key(*this, *event, handled)); },
        nudge ? PageSnapshotCommand::nudgeMergeId : -1);
    if (!handled)
        Component::keyPressEvent(event);
}

}
