#pragma once

#include "core/PtrList.h"
#include "picture/Delta.h"
#include "picture/canvas/Component.h"
#include "picture/canvas/PageViewClient.h"
#include "picture/canvas/PointerState.h"

#include <memory>

namespace lumavine {

class Page;
class PicNode;

// The canvas of one page: pointer and key input become picture operations
// through the pointer states; what needs the window around it goes to the
// client. Main thread only, like every widget.
class PageView : public Component {
    Q_OBJECT

public:
    // The view shows the page until it is destroyed; the page must outlive
    // it. Without client, the view's requests to the window do nothing.
    explicit PageView(Page& page, PageViewClient* client = nullptr, QWidget* parent = nullptr);
    ~PageView() override;

    Page& page() const { return m_page; }
    PageViewClient& client() const { return m_client ? *m_client : m_noClient; }
    void setClient(PageViewClient* client) { m_client = client; }

    // The shapes that move along with the selection: those lying inside the
    // selected shapes when the selection was last pressed.
    const PtrListOf<PicNode>& carried() const { return m_carried; }
    // Gathers the shapes inside every selected shape: all of their points
    // inside, or any point when `anyPoint`.
    void rebuildCarried(bool anyPoint);
    void clearCarried() { m_carried.clear(); }
    // Moves the selection and, when `withCarried`, the carried shapes that
    // are not selected themselves.
    void moveSelection(PictureDelta delta, bool withCarried);
    // Snaps every selected and carried shape to the grid by its first point.
    void snapMovedShapes();
    // Removes every selected shape; answers how many.
    int removeSelected();
    // The page changed: the client hears of it.
    void markModified();

protected:
    QSize pictureExtent() override;
    void drawPage(QPainter& painter) override;
    QColor pageColor() const override;
    void zoomChanged() override;
    void pointerPress(QPoint point, Qt::KeyboardModifiers modifiers) override;
    void pointerDoubleClick(QPoint point, Qt::KeyboardModifiers modifiers) override;
    void pointerMove(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) override;
    void pointerRelease(QPoint point, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void enter(std::unique_ptr<PointerState> next);

    Page& m_page;
    PageViewClient* m_client = nullptr;
    static PageViewClient m_noClient;
    PtrListOf<PicNode> m_carried;
    std::unique_ptr<PointerState> m_state;
};

}
