#pragma once

#include <QPoint>
#include <Qt>
#include <memory>

class QKeyEvent;

namespace lumavine {

class PageView;

// One state of the pointer on the canvas. Each event answers the state that
// follows, or null to stay; every event does nothing unless a state says
// otherwise. Points are widget positions.
class PointerState {
public:
    virtual ~PointerState() = default;

    virtual std::unique_ptr<PointerState> press(PageView&, QPoint, Qt::KeyboardModifiers) { return nullptr; }
    virtual std::unique_ptr<PointerState> move(PageView&, QPoint, Qt::MouseButtons, Qt::KeyboardModifiers)
    {
        return nullptr;
    }
    virtual std::unique_ptr<PointerState> release(PageView&, QPoint, Qt::KeyboardModifiers) { return nullptr; }
    virtual std::unique_ptr<PointerState> doubleClick(PageView&, QPoint, Qt::KeyboardModifiers) { return nullptr; }
    // Sets `handled` when the key was taken.
    virtual std::unique_ptr<PointerState> key(PageView&, const QKeyEvent&, bool& handled)
    {
        handled = false;
        return nullptr;
    }
};

// Nothing held: presses select, start drags and bands; keys act on the
// selection.
class IdleState : public PointerState {
public:
    std::unique_ptr<PointerState> press(PageView& view, QPoint point, Qt::KeyboardModifiers modifiers) override;
    std::unique_ptr<PointerState> doubleClick(PageView& view, QPoint point, Qt::KeyboardModifiers) override;
    std::unique_ptr<PointerState> key(PageView& view, const QKeyEvent& event, bool& handled) override;
};

// A handle of one shape follows the pointer until the button is released.
class HandleDragState : public PointerState {
public:
    std::unique_ptr<PointerState> move(PageView& view, QPoint point, Qt::MouseButtons, Qt::KeyboardModifiers) override;
    std::unique_ptr<PointerState> release(PageView& view, QPoint point, Qt::KeyboardModifiers) override;
};

// A band is pulled open from the press point; a large enough band selects
// the shapes that lie wholly inside it.
class RubberBandState : public PointerState {
public:
    // Bands no wider or higher than this, in picture pixels, select nothing:
    // they are clicks that wobbled.
    static constexpr int smallestBand = 10;

    std::unique_ptr<PointerState> move(PageView& view, QPoint point, Qt::MouseButtons, Qt::KeyboardModifiers) override;
    std::unique_ptr<PointerState> release(PageView& view, QPoint point, Qt::KeyboardModifiers) override;
};

// The selection (and the shapes carried along) follows the pointer.
class MovingState : public PointerState {
public:
    std::unique_ptr<PointerState> move(
        PageView& view, QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) override;
    std::unique_ptr<PointerState> release(PageView& view, QPoint point, Qt::KeyboardModifiers) override;

private:
    // Screen pixels since the press. The picture move is taken from the
    // whole way, so that the truncation of small steps at a high zoom does
    // not add up.
    QPoint m_travelled;
};

}
