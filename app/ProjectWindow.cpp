#include "app/ProjectWindow.h"

#include "app/PagesEditor.h"
#include "app/PublishSession.h"
#include "core/PtrMap.h"
#include "dialogs/FtpDialogs.h"
#include "dialogs/PageDialogListener.h"
#include "dialogs/PageDialogs.h"
#include "dialogs/PropertiesDialog.h"
#include "dialogs/TransitionDialog.h"
#include "xml/Document.h"

#include "core/PathInfo.h"
#include "forms/QtText.h"
#include "generate/PageFiles.h"
#include "page/Page.h"
#include "picture/canvas/PageSnapshotCommand.h"
#include "picture/canvas/PageView.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

namespace lumavine {

ProjectWindow::ProjectWindow(QWidget* parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_error = [this](const String& message) {
        QMessageBox::warning(this, QGuiApplication::applicationDisplayName(), toQString(message));
    };
    m_document.setErrorReporter([this](const String& message) { m_error(message); });
    m_document.setStatusReporter([this](const String& line) { showProgress(line); });
    m_document.setPageProgress([this](const Page& page, size_t number, size_t count) {
        showProgress(fromQString(tr("Generating %1 (%2 of %3)")
                                     .arg(toQString(page.label()))
                                     .arg(qulonglong(number))
                                     .arg(qulonglong(count))));
    });
    m_document.setWarningReporter([this](const String& message) { m_error(message); });
}

ProjectWindow::~ProjectWindow()
{
    // A run still going stops at the end of its current upload.
    m_publishing.reset();
    // The views let go of their pages before the document deletes the pages.
    m_view = nullptr;
    m_document.setView(nullptr);
    m_views.clear();
}

void ProjectWindow::setErrorReporter(std::function<void(const String&)> reporter)
{
    m_error = std::move(reporter);
}

bool ProjectWindow::open(const String& path)
{
    // A file that an undo step could bring back into a page is not the
    // page's to lose when saving tidies the project's files.
    m_document.setFileKeeper([this](const String& sitePath) {
        for (const auto& [id, stack] : m_stacks) {
            for (int index = 0; index < stack->count(); ++index) {
                const auto* step = dynamic_cast<const PageSnapshotCommand*>(stack->command(index));
                if (step && (step->before().xml.contains(sitePath) || step->after().xml.contains(sitePath)))
                    return true;
            }
        }
        return false;
    });
    // Opening completes a project's folders: a file that is not there must
    // not leave folders behind where it was looked for.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path.toNarrow(), error) || !m_document.open(path)) {
        showError(u"Failed to open document: " + path);
        return false;
    }
    if (Page* page = m_document.currentPage())
        showPage(*page);
    setModified(false);
    return true;
}

QUndoStack* ProjectWindow::undoStack() const
{
    return m_view ? &m_view->undoStack() : nullptr;
}

PageView& ProjectWindow::viewFor(Page& page)
{
    std::unique_ptr<PageView>& view = m_views[page.id()];
    if (!view) {
        view = std::make_unique<PageView>(page, static_cast<PageViewClient*>(this), this);
        view->hide();
        auto stack = std::make_unique<QUndoStack>();
        // Undoing every page back to where the project was saved clears
        // the mark, unless the project changed in ways no page records.
        connect(stack.get(), &QUndoStack::cleanChanged, this, [this] { refreshModified(); });
        view->setUndoStack(stack.get());
        m_stacks[page.id()] = std::move(stack);
        m_layout->addWidget(view.get());
    }
    return *view;
}

void ProjectWindow::refreshModified()
{
    bool changed = m_unrecordedChanges;
    for (auto& [id, pageStack] : m_stacks)
        changed = changed || !pageStack->isClean();
    setModified(changed);
}

void ProjectWindow::showPage(Page& page)
{
    if (m_view && &m_view->page() == &page)
        return;
    const double zoom = m_view ? m_view->zoom() : 1.0;
    PageView& view = viewFor(page);
    if (m_view)
        m_view->hide();
    m_document.setCurrentPage(&page);
    view.setZoom(zoom);
    m_document.setView(&view);
    m_view = &view;
    m_view->show();
    m_view->setFocus();
    updateTitle();
}

void ProjectWindow::pagesChanged()
{
    m_unrecordedChanges = true;
    refreshModified();
    updateTitle();
    if (m_pagesChanged)
        m_pagesChanged();
}

void ProjectWindow::copyShapes(Page& from, Page& to)
{
    Document copy(String(u"page"));
    from.writeXml(copy.documentElement());
    PageView& view = viewFor(to);
    view.recordStep(tr("Copy Page"), [&] {
        StringMap oldToNew(true);
        PtrMapOf<PicNode> added(true);
        to.importNodes(copy.documentElement(), oldToNew, added);
    });
}

bool ProjectWindow::deletePage(const String& id, String& message)
{
    Page* page = m_document.findPage(id);
    if (!page) {
        message = u"Cannot find page: " + id;
        return false;
    }
    if (m_document.pageCount() == 1) {
        message = String(u"Cannot delete the last page");
        return false;
    }
    // Its view goes before the page does; another page is shown first.
    if (m_view && &m_view->page() == page) {
        for (Page* other : m_document.pages()) {
            if (other != page) {
                showPage(*other);
                break;
            }
        }
    }
    // The view may be the one whose command got here: it goes once the
    // command has returned, and lets go of the page now.
    if (auto found = m_views.find(id); found != m_views.end()) {
        PageView* retired = found->second.release();
        m_views.erase(found);
        retired->hide();
        retired->releasePage();
        retired->deleteLater();
    }
    m_stacks.erase(id);
    if (!m_document.deletePage(id, message))
        return false;
    pagesChanged();
    return true;
}

bool ProjectWindow::goToPage(int commandId)
{
    Page* page = m_document.findPageByCommand(commandId);
    if (!page)
        return false;
    showPage(*page);
    return true;
}

bool ProjectWindow::command(int id)
{
    if (!m_view)
        return false;
    const double zoom = m_view->zoom();
    const bool handled = m_view->command(id);
    if (m_view && m_view->zoom() != zoom)
        updateTitle();
    return handled;
}

void ProjectWindow::showProgress(const String& line)
{
    if (m_status)
        m_status(toQString(line));
    // Painting goes on while a large project is written; what the user
    // does waits until the work is done, so that nothing changes under it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool ProjectWindow::save()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = m_document.save();
    QGuiApplication::restoreOverrideCursor();
    if (m_status)
        m_status(saved ? tr("Saved %1").arg(toQString(m_document.projectFile())) : QString());
    if (!saved)
        return false;
    m_unrecordedChanges = false;
    for (auto& [id, stack] : m_stacks)
        stack->setClean();
    setModified(false);
    return true;
}

bool ProjectWindow::mayClose()
{
    if (m_publishing && m_publishing->isRunning()) {
        const QMessageBox::StandardButton answer
            = QMessageBox::question(this, QGuiApplication::applicationDisplayName(),
                tr("Publishing %1 is still under way. Stop it when the file being sent is done, and close?")
                    .arg(toQString(m_document.projectName())),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
        m_publishing->cancel();
    }
    if (!isModified())
        return true;
    const QString file = toQString(PathInfo(m_document.projectFile()).fileName());
    const QMessageBox::StandardButton answer
        = QMessageBox::question(this, QGuiApplication::applicationDisplayName(), tr("Save changes to %1?").arg(file),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Discard)
        return true;
    return save();
}

void ProjectWindow::setModified(bool modified)
{
    setWindowModified(modified);
    updateTitle();
}

void ProjectWindow::closeEvent(QCloseEvent* event)
{
    if (mayClose())
        event->accept();
    else
        event->ignore();
}

std::vector<const Page*> ProjectWindow::projectPages()
{
    std::vector<const Page*> pages;
    for (Page* page : m_document.pages())
        pages.push_back(page);
    return pages;
}

void ProjectWindow::goToPage(const String& id)
{
    if (Page* page = m_document.findPage(id))
        showPage(*page);
}

void ProjectWindow::modified()
{
    setModified(true);
}

bool ProjectWindow::pageCommand(PageView& view, int id)
{
    switch (id) {
    case PageView::Preview: {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const String html = m_document.preview();
        QGuiApplication::restoreOverrideCursor();
        if (html.empty()) {
            showError(u"Could not generate the pages of " + m_document.projectFile());
            return true;
        }
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(html))))
            showError(u"Could not open the browser on " + html);
        return true;
    }
    case PageView::WritePageFiles: {
        String htmlPath;
        String imagePath;
        if (!writePageFiles(view.page(), htmlPath, imagePath))
            showError(u"Could not write the files of the page " + view.page().label());
        else if (m_status)
            m_status(tr("Wrote %1").arg(toQString(htmlPath)));
        return true;
    }
    case PageView::Pages: {
        PagesEditor editor(*this);
        editor.run();
        return true;
    }
    case PageView::Initialize: {
        PageDialogListener listener(view.page());
        listener.beginInitialize();
        InitializeDialog dialog(this, &listener);
        if (dialog.doModal() == Dialog::Ok)
            view.recordStep(tr("Page Initialization"), [&] { listener.commitInitialize(); });
        return true;
    }
    case PageView::PageProperties: {
        PageDialogListener listener(view.page());
        PropertiesDialog dialog(view.page(), this, &listener);
        if (dialog.doModal() == Dialog::Ok) {
            view.recordStep(tr("Page Properties"), [&] { dialog.apply(); });
            // The page's size and picture type show in the canvas and the title.
            view.redraw();
            updateTitle();
        }
        return true;
    }
    case PageView::Slideshows: {
        // Whatever the dialog did to the page's slideshows is one step.
        PageDialogListener listener(view.page());
        view.recordStep(tr("Slideshows"), [&] {
            ListDialog dialog(this, &listener, String(u"Slideshows"), String(u"slideshowlist"));
            dialog.doModal();
        });
        return true;
    }
    case PageView::Transition: {
        TransitionDialog dialog(m_document.transitions(), m_installation, this);
        if (dialog.doModal() == Dialog::Ok) {
            // The settings are the project's, kept in no page's history.
            m_unrecordedChanges = true;
            refreshModified();
        }
        return true;
    }
    case PageView::Publish:
        publish();
        return true;
    default:
        return false;
    }
}

void ProjectWindow::publish()
{
    if (m_publishing && m_publishing->isRunning()) {
        if (XmlDialog* window = m_publishing->statusWindow()) {
            window->raise();
            window->activateWindow();
        } else if (m_status) {
            m_status(tr("Publishing is already under way."));
        }
        return;
    }
    PublishSettings& settings = m_document.publishSettings();
    int flags = static_cast<int>(settings.flags);
    PageFtpDialog dialog(this, (m_installation + u"/ftp.xml").toNarrow(), flags, settings.connectionName);
    if (dialog.doModal() != Dialog::Ok || !dialog.publishChosen())
        return;
    settings = PublishSettings::fromConnection(dialog.chosen(), static_cast<unsigned>(flags));
    // The pages are drawn here, on the main thread, before the uploads start;
    // their files are written whole (each through a rename), so saving while
    // the run uploads never hands it half a file.
    String message;
    std::optional<std::vector<PublishPage>> pages = m_document.writePublishPages(message);
    if (!pages)
        return;
    auto run = std::make_unique<PublishRun>(
        settings, m_document.publishProject(), std::move(*pages), (m_installation + u"/ftplog.txt").toNarrow());
    m_publishing = std::make_unique<PublishSession>(this, std::move(run), settings.user + u"@" + settings.host);
    const QString host = toQString(settings.host);
    connect(m_publishing.get(), &PublishSession::finished, this, [this, host](bool succeeded) {
        if (m_status)
            m_status(succeeded
                    ? tr("Published to %1.").arg(host)
                    : tr("Publishing to %1 did not finish: see the status window and ftplog.txt.").arg(host));
    });
    if (!m_publishing->start())
        showError(String(u"Cannot open the publish status window"));
}

void ProjectWindow::updateTitle()
{
    if (!m_view)
        return;
    const String file = PathInfo(m_document.projectFile()).fileName();
    setWindowTitle(m_view->titleText(file) + QStringLiteral("[*]"));
}

void ProjectWindow::showError(const String& message)
{
    if (m_error)
        m_error(message);
}

}
