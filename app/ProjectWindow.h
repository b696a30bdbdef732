#pragma once

#include "app/PageDocument.h"
#include "picture/canvas/ShapeDialogs.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>

class QUndoStack;
class QVBoxLayout;

namespace lumavine {

class PageView;
class PublishSession;

// One open project in the main window: its document and the canvas of its
// current page, with an undo history per page. The window's title names the
// project, the page, the zoom and the picture type, and carries the
// modified mark until the project is saved.
class ProjectWindow : public QWidget, private ShapeDialogs {
    Q_OBJECT

public:
    explicit ProjectWindow(QWidget* parent = nullptr);
    ~ProjectWindow() override;

    // Opens the project file; false, with the document's message reported,
    // when it cannot be read.
    bool open(const String& path);

    PageDocument& document() { return m_document; }
    PageView* pageView() const { return m_view; }
    // The history of the page shown.
    QUndoStack* undoStack() const;

    // Shows the page with this "Go to Page" identifier; false for none.
    bool goToPage(int commandId);
    void showPage(Page& page);
    // Runs a command of the canvas or of the project; false when neither
    // knows it.
    bool command(int id);
    // Writes the project file and the site; the modified mark goes only
    // when that worked.
    bool save();
    // Asks whether to save unsaved changes: true when the window may close
    // (saved, or the changes discarded), false when the user cancels or
    // saving failed.
    bool mayClose();
    bool isModified() const { return isWindowModified(); }
    // The project's pages changed (added, renamed, deleted): the project is
    // modified, and the "Go to Page" lists hear of it.
    void pagesChanged();
    // Imports the shapes of one page into another, as one undo step there.
    void copyShapes(Page& from, Page& to);
    // Deletes a page, and its view and history; false with the reason when
    // it cannot go (the last page).
    bool deletePage(const String& id, String& message);
    void setModified(bool modified);
    // Publishes the project: the publish dialog, the pages written afresh,
    // then the uploads on a worker thread beside the status window.
    void publish();
    // The last publish run started here, running or done; null before one.
    PublishSession* publishSession() const { return m_publishing.get(); }

    // The installation folder, where the transition preview is written.
    void setInstallationDirectory(const String& directory)
    {
        m_installation = directory;
        m_document.setInstallationDirectory(directory);
    }
    // Where the window's failures and notes go; message boxes by default.
    void setErrorReporter(std::function<void(const String&)> reporter);
    void setStatusReporter(std::function<void(const QString&)> reporter) { m_status = std::move(reporter); }
    // The pages changed: the "Go to Page" lists are out of date.
    void setPagesChangedHandler(std::function<void()> handler) { m_pagesChanged = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // PageViewClient
    std::vector<const Page*> projectPages() override;
    void goToPage(const String& id) override;
    void modified() override;
    bool pageCommand(PageView& view, int id) override;

    // The view of a page, made (hidden) the first time it is asked for.
    PageView& viewFor(Page& page);
    void refreshModified();
    void updateTitle();
    // A line of the document's long work ("generating ..."), shown at once.
    void showProgress(const String& line);
    void showError(const String& message);

    PageDocument m_document;
    // Each page keeps the view it was first shown in, and with it its own
    // history: an undo step acts through the view it was made in, and the
    // "Go to Page" menu runs inside the view it leaves.
    std::map<String, std::unique_ptr<PageView>> m_views;
    std::map<String, std::unique_ptr<QUndoStack>> m_stacks;
    PageView* m_view = nullptr;
    QVBoxLayout* m_layout;
    // Changes no page's history holds: pages added, renamed or deleted.
    bool m_unrecordedChanges = false;
    String m_installation;
    std::function<void(const String&)> m_error;
    std::function<void(const QString&)> m_status;
    std::function<void()> m_pagesChanged;
    std::unique_ptr<PublishSession> m_publishing;
};

}
