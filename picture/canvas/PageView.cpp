#include "picture/canvas/PageView.h"

#include "forms/MenuMap.h"
#include "page/Page.h"

#include <QKeyEvent>
#include <QPainter>
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
    if (m_page.view() == this)
        m_page.setView(nullptr);
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
        for (PicNode* shape : carried()) {
            if (!shape->isSelected())
                shape->moveBy(delta);
        }
        m_page.lineEndsChanged();
        redraw();
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
    enter(m_state->press(*this, point, modifiers));
}

void PageView::pointerDoubleClick(QPoint point, Qt::KeyboardModifiers modifiers)
{
    enter(m_state->doubleClick(*this, point, modifiers));
}

void PageView::pointerMove(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    enter(m_state->move(*this, point, buttons, modifiers));
}

void PageView::pointerRelease(QPoint point, Qt::KeyboardModifiers modifiers)
{
    enter(m_state->release(*this, point, modifiers));
}

void PageView::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    enter(m_state->key(*this, *event, handled));
    if (!handled)
        Component::keyPressEvent(event);
}

}
