#include "app/ProjectWindow.h"

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
}

ProjectWindow::~ProjectWindow()
{
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

void ProjectWindow::showPage(Page& page)
{
    if (m_view && &m_view->page() == &page)
        return;
    const double zoom = m_view ? m_view->zoom() : 1.0;
    if (m_view)
        m_view->hide();
    m_document.setCurrentPage(&page);
    std::unique_ptr<PageView>& view = m_views[page.id()];
    if (!view) {
        view = std::make_unique<PageView>(page, static_cast<PageViewClient*>(this), this);
        auto stack = std::make_unique<QUndoStack>();
        // Undoing every page back to where the project was saved clears
        // the mark.
        connect(stack.get(), &QUndoStack::cleanChanged, this, [this] {
            bool changed = false;
            for (auto& [id, pageStack] : m_stacks)
                changed = changed || !pageStack->isClean();
            setModified(changed);
        });
        view->setUndoStack(stack.get());
        m_stacks[page.id()] = std::move(stack);
        m_layout->addWidget(view.get());
    }
    view->setZoom(zoom);
    m_document.setView(view.get());
    m_view = view.get();
    m_view->show();
    m_view->setFocus();
    updateTitle();
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
    setModified(false);
    for (auto& [id, stack] : m_stacks)
        stack->setClean();
    return true;
}

bool ProjectWindow::mayClose()
{
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
    case PageView::PageProperties:
    case PageView::Publish:
    case PageView::Slideshows:
    case PageView::Initialize:
    case PageView::Pages:
    case PageView::Transition:
        // Their dialogs are not built yet: say so rather than do nothing.
        if (m_status)
            m_status(tr("This command is not available yet in this version of Lumavine Designer."));
        return true;
    default:
        return false;
    }
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
