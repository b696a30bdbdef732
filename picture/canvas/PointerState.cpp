#include "picture/canvas/PointerState.h"

#include "page/Page.h"
#include "picture/canvas/PageView.h"

#include <QKeyEvent>

namespace lumavine {

std::unique_ptr<PointerState> IdleState::press(PageView& view, QPoint point, Qt::KeyboardModifiers modifiers)
{
    Page& page = view.page();
    const bool shift = modifiers & Qt::ShiftModifier;
    const QPoint scrolled = view.toScrolled(point);
    std::unique_ptr<PointerState> next;
    if (PicNode* shape = page.hitPoint(view.toPicturePoint(point), nullptr, shift)) {
        // The hit test leaves the handle it found active.
        const bool onHandle = shape->activeHandle() >= 0;
        if (modifiers & Qt::ControlModifier)
            page.select(shape, false, true);
        else
            page.select(shape, true, false);
        if (!onHandle && shape->isSelected())
            view.rebuildCarried(modifiers & Qt::AltModifier);
        if (onHandle && !(shift && shape->kind() == ShapeKind::Line)) {
            page.beginHandleDrag(shape, scrolled);
            next = std::make_unique<HandleDragState>();
        } else if (!page.selection().isEmpty()) {
            // Seeds the picture's pointer record, from which moves are
            // measured.
            page.trackDelta(true, scrolled);
            next = std::make_unique<MovingState>();
        }
    } else {
        if (!page.selection().isEmpty()) {
            page.clearSelection();
            view.clearCarried();
        }
        page.beginRubberBand(scrolled);
        next = std::make_unique<RubberBandState>();
    }
    view.redraw();
    return next;
}

std::unique_ptr<PointerState> IdleState::doubleClick(PageView& view, QPoint point, Qt::KeyboardModifiers)
{
    PicNode* shape = view.page().hitPoint(view.toPicturePoint(point), nullptr, false);
    if (!shape)
        return nullptr;
    PtrListOf<PicNode> shapes;
    shapes.append(shape);
    if (view.client().editShapes(view, shapes)) {
        view.markModified();
        view.redraw();
    }
    return nullptr;
}

std::unique_ptr<PointerState> IdleState::key(PageView& view, const QKeyEvent& event, bool& handled)
{
    Page& page = view.page();
    handled = true;
    auto nudge = [&](int dx, int dy) {
        if (page.selection().isEmpty())
            return;
        view.moveSelection(view.toPicture(ScreenDelta { dx, dy }), true);
        view.markModified();
    };
    switch (event.key()) {
    case Qt::Key_Left:
        nudge(-1, 0);
        break;
    case Qt::Key_Right:
        nudge(1, 0);
        break;
    case Qt::Key_Up:
        nudge(0, -1);
        break;
    case Qt::Key_Down:
        nudge(0, 1);
        break;
    case Qt::Key_Delete:
        if (view.removeSelected() > 0)
            view.markModified();
        break;
    case Qt::Key_A:
        page.selectAll();
        break;
    case Qt::Key_P:
        view.command(PageView::InsertPoint);
        break;
    case Qt::Key_X:
        view.command(PageView::DeletePoint);
        break;
    case Qt::Key_F2:
        view.command(PageView::Edit);
        break;
    case Qt::Key_F5:
        if (page.selection().isEmpty())
            break;
        for (PicNode* shape : page.selection())
            shape->snapPointsToPictureGrid();
        page.lineEndsChanged();
        view.redraw();
        view.markModified();
        break;
    default:
        handled = false;
    }
    return nullptr;
}

std::unique_ptr<PointerState> HandleDragState::move(
    PageView& view, QPoint point, Qt::MouseButtons, Qt::KeyboardModifiers)
{
    view.page().dragTo(view.toScrolled(point));
    return nullptr;
}

std::unique_ptr<PointerState> HandleDragState::release(PageView& view, QPoint point, Qt::KeyboardModifiers)
{
    if (view.page().endDrag(view.toScrolled(point)))
        view.markModified();
    return std::make_unique<IdleState>();
}

std::unique_ptr<PointerState> RubberBandState::move(
    PageView& view, QPoint point, Qt::MouseButtons, Qt::KeyboardModifiers)
{
    view.page().dragTo(view.toScrolled(point));
    return nullptr;
}

std::unique_ptr<PointerState> RubberBandState::release(PageView& view, QPoint point, Qt::KeyboardModifiers)
{
    Page& page = view.page();
    PicNode* band = page.endDrag(view.toScrolled(point));
    if (band && page.isRubberBand(band)) {
        // The band keeps picture coordinates.
        const QRect bounds = band->getBounds().normalized();
        if (bounds.width() > smallestBand && bounds.height() > smallestBand) {
            PtrListOf<PicNode> inside;
            page.shapesInRect(bounds, inside, true);
            page.selectList(inside);
        }
    }
    view.redraw();
    return std::make_unique<IdleState>();
}

std::unique_ptr<PointerState> MovingState::move(
    PageView& view, QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    Page& page = view.page();
    if (!page.trackDelta(buttons & Qt::LeftButton, view.toScrolled(point)))
        return nullptr;
    const ScreenDelta step = page.lastDelta();
    if (step == ScreenDelta {})
        return nullptr;
    const QPoint before = m_travelled;
    m_travelled += QPoint(step.dx, step.dy);
    const PictureDelta was = view.toPicture(ScreenDelta { before.x(), before.y() });
    const PictureDelta now = view.toPicture(ScreenDelta { m_travelled.x(), m_travelled.y() });
    page.showHandles(false);
    view.moveSelection(PictureDelta { now.dx - was.dx, now.dy - was.dy }, !(modifiers & Qt::ShiftModifier));
    view.markModified();
    return nullptr;
}

std::unique_ptr<PointerState> MovingState::release(PageView& view, QPoint, Qt::KeyboardModifiers)
{
    Page& page = view.page();
    page.showHandles(true);
    if (page.snapGrid()) {
        view.snapMovedShapes();
        view.markModified();
    }
    view.redraw();
    return std::make_unique<IdleState>();
}

}
