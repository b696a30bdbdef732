#pragma once

#include "core/PtrList.h"
#include "picture/Delta.h"
#include "picture/canvas/Component.h"
#include "picture/canvas/PageSnapshotCommand.h"
#include "picture/canvas/PageViewClient.h"
#include "picture/canvas/PointerState.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QUndoStack;

namespace lumavine {

class MenuMap;
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
    // The page is about to be deleted while this view, hidden, waits for
    // its own deletion (it may be the one whose command deletes the page):
    // the view no longer touches it.
    void releasePage() { m_pageReleased = true; }
    PageViewClient& client() const;
    void setClient(PageViewClient* client) { m_client = client; }

    // The shapes that move along with the selection: those lying inside the
    // selected shapes when the selection was last pressed, and still in the
    // picture.
    std::vector<PicNode*> carried() const;
    // Gathers the shapes inside every selected shape: all of their points
    // inside, or any point when `anyPoint`.
    void rebuildCarried(bool anyPoint);
    void clearCarried() { m_carriedIds.clear(); }
    // Moves the selection and, when `withCarried`, the carried shapes that
    // are not selected themselves.
    void moveSelection(PictureDelta delta, bool withCarried);
    // Snaps every selected and carried shape to the grid by its first point.
    void snapMovedShapes();
    // Removes every selected shape; answers how many.
    int removeSelected();
    // The page changed: the client hears of it.
    void markModified();

    // Every change made through the view is one step on this stack: a whole
    // pointer gesture, a key, a command, a drop. Without a stack of the
    // project's, the view keeps one of its own.
    QUndoStack& undoStack();
    // The project's stack, which must outlive the view; null returns to the
    // view's own.
    void setUndoStack(QUndoStack* stack);
    // Runs an edit of the page as one undo step named `text`; nothing is
    // recorded when the page is the same afterwards. Edits inside an edit,
    // or inside a pointer gesture under way, belong to the outer step.
    // Steps with the same merge id that follow each other are one step.
    void recordStep(const QString& text, const std::function<void()>& edit, int mergeId = -1);
    // The page as its element's text, with the selected shape ids.
    PageSnapshotCommand::State snapshot();
    // Puts the page back as `state` holds it; false when the view does not
    // show the page with this id or the text is no page.
    bool restoreSnapshot(const String& pageId, const PageSnapshotCommand::State& state);

    // Command identifiers of the canvas's context menu and of the page
    // commands it handles itself.
    enum Command : int {
        Scale = 0,
        NewRectangle = 32100,
        NewEllipse = 32101,
        NewPolygon = 32102,
        NewLine = 32103,
        NewPicture = 32104,
        NewRoundRectangle = 32106,
        NewThumbnail = 32107,
        NewFrame = 32108,
        NewButton = 32109,
        ZoomFirst = 32300, // 10%, 25%, 33%, 50%, 75%, 100%
        ZoomLast = 32305,
        ToggleShowGrid = 32350,
        GridSizeFirst = 32352, // 10, 20, 30, 40
        GridSizeLast = 32355,
        ToggleSnapGrid = 32356,
        Edit = 32400,
        Delete = 32401,
        ReflectX = 32402,
        ReflectY = 32403,
        AttachToGrid = 32404,
        Rotate = 32405,
        DeletePoint = 32407,
        InsertPoint = 32408,
        Group = 32500,
        Ungroup = 32501,
        DetachEndA = 32600,
        DetachEndZ = 32601,
        // Passed on to the client.
        Preview = 32200,
        PageProperties = 32201,
        WritePageFiles = 32202,
        Publish = 32603,
        Slideshows = 32804,
        Initialize = 32805,
        Pages = 32807,
        Transition = 32811,
        Copy = 57634,
        Cut = 57635,
        Paste = 57637,
    };
    // The context menu opened at this widget position: new shapes go there,
    // and the shape under it (if any) is what the next command acts on.
    void setContextPoint(QPoint widgetPoint);
    PicNode* contextShape() const;
    // Commands from here on show the project's pages ("Go to Page").
    static constexpr int firstPageCommand = 36000;
    static constexpr int pageCommandCount = 100;
    // Readies the shape menu for the context point: remembers the point and
    // the shape under it, enables what can act, and lists the project's
    // pages. contextMenuEvent shows it; the menu's items run command().
    QMenu* prepareShapeMenu(QPoint widgetPoint);
    MenuMap& menus();

    // The window's title: the project file's name, the page's label, the
    // zoom and the page's picture type, and the application's extra text
    // when there is one.
    QString titleText(const String& projectFileName, const String& extra = String()) const;
    // Whether the shape menu offers the command now: the shape commands
    // need the context shape or a selection, the point commands a line or
    // polygon under the context point. Others are always offered.
    bool commandEnabled(int id) const;
    // Runs a command; false when the canvas does not handle it (the window
    // around it may). The context shape is forgotten afterwards.
    bool command(int id);
    // Whether the canvas acts on the command itself; the others (the
    // pages of "Go to Page", the page's and the project's commands) are the
    // window's.
    static bool isCanvasCommand(int id);

protected:
    QSize pictureExtent() override;
    QSize pictureExtentAfterMoves() override;
    void drawPage(QPainter& painter) override;
    QColor pageColor() const override;
    void zoomChanged() override;
    void pointerPress(QPoint point, Qt::KeyboardModifiers modifiers) override;
    void pointerDoubleClick(QPoint point, Qt::KeyboardModifiers modifiers) override;
    void pointerMove(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) override;
    void pointerRelease(QPoint point, Qt::KeyboardModifiers modifiers) override;
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo; other keys go to the
    // pointer state as one step each.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Dropped picture files become picture shapes at the drop point;
    // dropped text that reads as copied shapes is pasted.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void enter(std::unique_ptr<PointerState> next);
    bool pointerIdle() const;
    // Records the gesture begun at the last press, if any, as one step.
    void finishGesture(const QString& text);
    bool runCommand(int id);
    // The context shape, or else the selection.
    void collectTargets(PtrListOf<PicNode>& into) const;
    // Where a new shape goes, in picture coordinates.
    QPoint newShapePosition() const;
    void created(PicNode* shape);
    PicNode* createShape(int id, QPoint at);
    // The picture shape, or null after taking it out again and telling the
    // client when its file does not read as a picture.
    PicNode* keepIfReadable(PicNode* picture, const String& source);
    void copySelection();
    void paste();
    // Imports the shapes of a copied fragment; false when the text is no
    // XML document.
    bool pasteText(const QString& text);
    void dropOnPage(QDropEvent* event);

    Page& m_page;
    bool m_pageReleased = false;
    PageViewClient* m_client = nullptr;
    // By id: the shapes can leave the picture (undo, another window) while
    // the list waits for the next move.
    std::vector<String> m_carriedIds;
    std::unique_ptr<MenuMap> m_menus;
    // The ids of the pages the "Go to Page" menu lists, by command.
    std::vector<String> m_menuPageIds;
    // By id, like the carried shapes.
    String m_contextShapeId;
    std::optional<QPoint> m_contextPoint;
    std::unique_ptr<PointerState> m_state;
    std::unique_ptr<QUndoStack> m_ownStack;
    QPointer<QUndoStack> m_stack;
    bool m_recording = false;
    // The page when the pointer gesture under way began.
    std::optional<PageSnapshotCommand::State> m_gestureBefore;
};

}
