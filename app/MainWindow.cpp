#include "app/MainWindow.h"

#include "app/CommandIcons.h"
#include "app/NewProjectDialog.h"
#include "app/ProjectWindow.h"
#include "core/PathInfo.h"
#include "forms/QtText.h"
#include "page/Page.h"
#include "picture/canvas/PageView.h"
#include "xml/Registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#include <array>
#include <filesystem>

namespace lumavine {

namespace {

constexpr std::u16string_view recentKey = u"Software\\Lumavine\\RecentFiles";
constexpr std::array<double, 6> zoomSteps { 0.1, 0.25, 0.33, 0.5, 0.75, 1.0 };

// A menu text's label, without the shortcut that follows its tab.
QString labelOf(std::u16string_view text)
{
    QString label = QString::fromStdU16String(std::u16string(text));
    return label.section(QLatin1Char('\t'), 0, 0);
}

// The label of a command that only the toolbar shows.
QString toolbarLabel(int id)
{
    std::u16string_view tip = Commands::tooltip(id);
    if (!tip.empty())
        return QString::fromStdU16String(std::u16string(tip));
    return id == PageView::NewButton ? QObject::tr("Add Button") : QString::number(id);
}

bool isPageItem(int id)
{
    return id >= CommandId::FirstPage && id < CommandId::PageLimit;
}

}

MainWindow::MainWindow(const Installation& installation, QWidget* parent)
    : QMainWindow(parent)
    , m_installation(installation)
    , m_area(new QMdiArea(this))
{
    setCentralWidget(m_area);
    m_area->setViewMode(QMdiArea::SubWindowView);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        rebuildGoToPage();
        updateCaption();
        updateCommandStates();
    });
    loadRecent();
    // Zooming from the keyboard, a step of the Scale menu at a time.
    for (int direction : { -1, 1 }) {
        auto* zoom = new QAction(this);
        zoom->setShortcuts(direction < 0 ? QList<QKeySequence> { QKeySequence(Qt::CTRL | Qt::Key_Minus) }
                                         : QList<QKeySequence> { QKeySequence(Qt::CTRL | Qt::Key_Plus),
                                             QKeySequence(Qt::CTRL | Qt::Key_Equal) });
        zoom->setShortcutContext(Qt::ApplicationShortcut);
        connect(zoom, &QAction::triggered, this, [this, direction] { stepZoom(direction); });
        addAction(zoom);
    }
    buildToolbar();
    buildMenus();
    statusBar()->showMessage(tr("Ready"));
    connect(&m_stateTimer, &QTimer::timeout, this, &MainWindow::updateCommandStates);
    m_stateTimer.start(250);
    resize(1100, 760);
    updateCommandStates();
}

MainWindow::~MainWindow()
{
    // The children go with the area, which must not ask for menus that are
    // going too.
    m_stateTimer.stop();
    disconnect(m_area, nullptr, this, nullptr);
    for (QMdiSubWindow* window : m_area->subWindowList())
        disconnect(window, nullptr, this, nullptr);
}

QAction* MainWindow::action(int id) const
{
    auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

QAction* MainWindow::makeAction(int id, const QString& text)
{
    if (QAction* existing = action(id)) {
        if (existing->text().isEmpty() || existing->text() == toolbarLabel(id))
            existing->setText(text);
        return existing;
    }
    auto* made = new QAction(text, this);
    made->setData(id);
    const std::u16string_view prompt = Commands::prompt(id);
    if (!prompt.empty())
        made->setStatusTip(QString::fromStdU16String(std::u16string(prompt)));
    const std::u16string_view tip = Commands::tooltip(id);
    if (!tip.empty())
        made->setToolTip(QString::fromStdU16String(std::u16string(tip)));
    const QList<QKeySequence> keys = Commands::shortcuts(id);
    if (!keys.isEmpty()) {
        made->setShortcuts(keys);
        // The keys work in every child window, whichever widget has focus.
        made->setShortcutContext(Qt::ApplicationShortcut);
        addAction(made);
    }
    const QIcon icon = commandIcon(id);
    if (!icon.isNull())
        made->setIcon(icon);
    const bool checkable = (id >= PageView::ZoomFirst && id <= PageView::ZoomLast) || id == PageView::ToggleShowGrid
        || id == PageView::ToggleSnapGrid || id == CommandId::Toolbar || id == CommandId::StatusBar;
    made->setCheckable(checkable);
    connect(made, &QAction::triggered, this, [this, id] { routeCommand(id); });
    connect(made, &QAction::hovered, this, [this, id] { showPrompt(id); });
    m_actions[id] = made;
    return made;
}

void MainWindow::buildToolbar()
{
    m_toolbar = addToolBar(tr("Main"));
    m_toolbar->setObjectName(QStringLiteral("Main"));
    m_toolbar->setIconSize(QSize(32, 32));
    for (int id : Commands::toolbar()) {
        if (id == 0)
            m_toolbar->addSeparator();
        else
            m_toolbar->addAction(makeAction(id, toolbarLabel(id)));
    }
}

void MainWindow::fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Submenu: {
            QMenu* sub = menu->addMenu(labelOf(entry.text));
            if (entry.text == u"Go to Page") {
                m_goToPage = sub;
                // The pages may have changed since the list was made.
                connect(sub, &QMenu::aboutToShow, this, [this] {
                    rebuildGoToPage();
                    updateCommandStates();
                });
                break;
            }
            fillMenu(sub, entry.entries);
            break;
        }
        case MenuEntry::Item:
            if (entry.id == CommandId::RecentFile) {
                fillRecentFiles(menu);
                break;
            }
            menu->addAction(makeAction(entry.id, labelOf(entry.text)));
            break;
        }
    }
}

void MainWindow::buildMenus()
{
    const bool wanted = !projects().empty();
    if (m_menusBuilt && wanted == m_projectMenus)
        return;
    m_menusBuilt = true;
    m_projectMenus = wanted;
    QMenuBar* bar = menuBar();
    // The menus go, the actions they showed stay: the toolbar and the keys
    // share them.
    for (QAction* item : bar->actions())
        if (QMenu* menu = item->menu())
            menu->deleteLater();
    bar->clear();
    m_goToPage = nullptr;
    for (QAction* item : m_pageActions)
        delete item;
    m_pageActions.clear();
    m_recentActions.clear();
    for (const MenuEntry& top : wanted ? Commands::projectMenus() : Commands::noProjectMenus()) {
        QMenu* menu = bar->addMenu(labelOf(top.text));
        fillMenu(menu, top.entries);
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandStates);
    }
    rebuildGoToPage();
}

void MainWindow::fillRecentFiles(QMenu* menu)
{
    if (m_recent.empty()) {
        QAction* none = menu->addAction(tr("Recent File"));
        none->setEnabled(false);
        m_recentActions.push_back(none);
        return;
    }
    int number = 1;
    for (const String& path : m_recent) {
        QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(toQString(path)));
        connect(item, &QAction::triggered, this, [this, path] { openProject(path); });
        m_recentActions.push_back(item);
    }
}

void MainWindow::rebuildGoToPage()
{
    if (!m_goToPage)
        return;
    for (QAction* item : m_pageActions)
        delete item;
    m_pageActions.clear();
    ProjectWindow* project = activeProject();
    if (!project)
        return;
    for (Page* page : project->document().pages()) {
        const int id = page->commandId();
        if (!isPageItem(id))
            continue;
        // The window owns them, so that they outlive no menu's deletion.
        auto* item = new QAction(toQString(page->label()), this);
        m_goToPage->addAction(item);
        item->setData(id);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, id] { routeCommand(id); });
        m_pageActions.push_back(item);
    }
}

std::vector<ProjectWindow*> MainWindow::projects() const
{
    std::vector<ProjectWindow*> open;
    for (QMdiSubWindow* window : m_area->subWindowList())
        if (auto* project = qobject_cast<ProjectWindow*>(window->widget()))
            open.push_back(project);
    return open;
}

ProjectWindow* MainWindow::activeProject() const
{
    QMdiSubWindow* window = m_area->activeSubWindow();
    if (!window) {
        // Without focus (another program in front) the last active child
        // still is the one the commands act on.
        const QList<QMdiSubWindow*> windows = m_area->subWindowList(QMdiArea::ActivationHistoryOrder);
        window = windows.isEmpty() ? nullptr : windows.last();
    }
    return window ? qobject_cast<ProjectWindow*>(window->widget()) : nullptr;
}

ProjectWindow* MainWindow::openProject(const String& path)
{
    const String location = PathInfo(path).location();
    for (QMdiSubWindow* window : m_area->subWindowList()) {
        auto* project = qobject_cast<ProjectWindow*>(window->widget());
        if (project && project->document().projectFile().equals(location)) {
            m_area->setActiveSubWindow(window);
            return project;
        }
    }
    auto project = std::make_unique<ProjectWindow>();
    project->setStatusReporter([this](const QString& text) { statusBar()->showMessage(text, 8000); });
    project->setInstallationDirectory(m_installation.directory);
    if (!project->open(location))
        return nullptr;
    ProjectWindow* shown = project.get();
    QMdiSubWindow* window = m_area->addSubWindow(project.release());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    connect(shown, &QWidget::windowTitleChanged, this, &MainWindow::updateCaption);
    connect(window, &QObject::destroyed, this, &MainWindow::projectsChanged, Qt::QueuedConnection);
    // The first project fills the area; more share it as the user arranges.
    // Not maximised: Qt would then add the child's title to the caption in
    // a form of its own.
    if (m_area->subWindowList().size() == 1)
        window->setGeometry(QRect(QPoint(0, 0), m_area->viewport()->size()));
    else
        window->resize(800, 600);
    window->show();
    m_area->setActiveSubWindow(window);
    rememberRecent(location);
    projectsChanged();
    return shown;
}

void MainWindow::projectsChanged()
{
    buildMenus();
    rebuildGoToPage();
    updateCaption();
    updateCommandStates();
}

void MainWindow::updateCaption()
{
    QString caption = QStringLiteral("Lumavine Designer");
    if (ProjectWindow* project = activeProject())
        caption += QStringLiteral(" - ")
            + project->windowTitle().replace(
                QStringLiteral("[*]"), project->isModified() ? QStringLiteral("*") : QString());
    setWindowTitle(caption);
}

void MainWindow::showPrompt(int id)
{
    const std::u16string_view prompt = Commands::prompt(id);
    if (!prompt.empty())
        statusBar()->showMessage(QString::fromStdU16String(std::u16string(prompt)));
}

void MainWindow::updateCommandStates()
{
    // The caption carries the active project's modified mark.
    updateCaption();
    for (const auto& [id, item] : m_actions) {
        if (id == CommandId::Toolbar) {
            item->setChecked(m_toolbar && m_toolbar->isVisible());
            continue;
        }
        if (id == CommandId::StatusBar) {
            item->setChecked(statusBar()->isVisible());
            continue;
        }
    }
    ProjectWindow* project = activeProject();
    for (int id : Commands::toolbar())
        if (QAction* item = action(id); item && id != CommandId::New && id != CommandId::Open)
            item->setEnabled(project != nullptr);
    if (!project)
        return;
    PageView* view = project->pageView();
    const bool selection = view && view->page().selectionCount() > 0;
    for (const auto& [id, item] : m_actions) {
        if (id == CommandId::Cut || id == CommandId::Copy) {
            item->setEnabled(selection);
        } else if (id >= PageView::ZoomFirst && id <= PageView::ZoomLast) {
            item->setEnabled(true);
            item->setChecked(view && view->zoom() == zoomSteps[size_t(id - PageView::ZoomFirst)]);
        } else if (id == PageView::ToggleShowGrid) {
            item->setChecked(view && view->page().showGrid());
        } else if (id == PageView::ToggleSnapGrid) {
            item->setChecked(view && view->page().snapGrid());
        } else if (id == CommandId::Undo) {
            item->setEnabled(project->undoStack() && project->undoStack()->canUndo());
        } else if (id == CommandId::Redo) {
            item->setEnabled(project->undoStack() && project->undoStack()->canRedo());
        } else if (id != CommandId::Toolbar && id != CommandId::StatusBar) {
            item->setEnabled(true);
        }
    }
    const int current = view ? view->page().commandId() : 0;
    for (QAction* item : m_pageActions) {
        item->setEnabled(true);
        item->setChecked(item->data().toInt() == current);
    }
}

void MainWindow::stepZoom(int direction)
{
    ProjectWindow* project = activeProject();
    PageView* view = project ? project->pageView() : nullptr;
    if (!view)
        return;
    // The nearest step in that direction from the zoom there is.
    int step = direction < 0 ? int(zoomSteps.size()) - 1 : 0;
    for (size_t index = 0; index < zoomSteps.size(); ++index) {
        if (direction < 0 && zoomSteps[index] < view->zoom())
            step = int(index);
        if (direction > 0 && zoomSteps[zoomSteps.size() - 1 - index] > view->zoom())
            step = int(zoomSteps.size() - 1 - index);
    }
    if (zoomSteps[size_t(step)] != view->zoom())
        routeCommand(PageView::ZoomFirst + step);
}

bool MainWindow::routeCommand(int id)
{
    const bool handled = applicationCommand(id) || windowCommand(id) || projectCommand(id) || helpCommand(id);
    updateCommandStates();
    return handled;
}

bool MainWindow::applicationCommand(int id)
{
    switch (id) {
    case CommandId::New:
        newProject(false);
        return true;
    case CommandId::Open: {
        const QString file
            = QFileDialog::getOpenFileName(this, tr("Open"), QString(), QStringLiteral("Lumavine Files (*.xml)"));
        if (!file.isEmpty())
            openProject(fromQString(file));
        return true;
    }
    case CommandId::UserGuide:
        openUserGuide();
        return true;
    case CommandId::About:
        QMessageBox::about(this, tr("About Lumavine Designer"),
            tr("<b>Lumavine Designer</b> %1<p>Design web pages visually and publish them.</p>")
                .arg(QApplication::applicationVersion()));
        return true;
    case CommandId::PrintSetup:
    case CommandId::Print:
        statusBar()->showMessage(tr("Printing is not available in this version of Lumavine Designer."), 8000);
        return true;
    default:
        return false;
    }
}

bool MainWindow::windowCommand(int id)
{
    switch (id) {
    case CommandId::Exit:
        close();
        return true;
    case CommandId::Toolbar:
        m_toolbar->setVisible(!m_toolbar->isVisible());
        return true;
    case CommandId::StatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        return true;
    case CommandId::Cascade:
        m_area->cascadeSubWindows();
        return true;
    case CommandId::Tile:
        m_area->tileSubWindows();
        return true;
    case CommandId::ArrangeIcons:
        // Minimised children line up along the bottom, as tiling places them.
        m_area->tileSubWindows();
        return true;
    case CommandId::NextPane:
        m_area->activateNextSubWindow();
        return true;
    case CommandId::PreviousPane:
        m_area->activatePreviousSubWindow();
        return true;
    default:
        return false;
    }
}

bool MainWindow::projectCommand(int id)
{
    ProjectWindow* project = activeProject();
    if (!project)
        return false;
    switch (id) {
    case CommandId::Save:
        project->save();
        return true;
    case CommandId::Close:
        if (QMdiSubWindow* window = m_area->activeSubWindow())
            window->close();
        return true;
    case CommandId::SaveAs:
        saveProjectAs();
        return true;
    case CommandId::Undo:
        if (QUndoStack* stack = project->undoStack())
            stack->undo();
        return true;
    case CommandId::Redo:
        if (QUndoStack* stack = project->undoStack())
            stack->redo();
        return true;
    default:
        break;
    }
    if (isPageItem(id)) {
        const bool shown = project->goToPage(id);
        updateCaption();
        return shown;
    }
    return project->command(id);
}

bool MainWindow::helpCommand(int id)
{
    if (id == CommandId::Support) {
        QUrl mail(QStringLiteral("mailto:") + QString::fromStdU16String(std::u16string(Commands::supportAddress)));
        mail.setQuery(QStringLiteral("subject=Lumavine Designer"));
        QDesktopServices::openUrl(mail);
        return true;
    }
    const std::u16string_view page = Commands::webPage(id);
    if (page.empty())
        return false;
    QDesktopServices::openUrl(QUrl(QString::fromStdU16String(std::u16string(page))));
    return true;
}

String MainWindow::newProject(bool copyMode)
{
    NewProjectDialog dialog(this);
    if (dialog.doModal() != Dialog::Ok)
        return String();
    if (!copyMode)
        openProject(dialog.projectFile());
    return dialog.projectFile();
}

bool MainWindow::saveProjectAs()
{
    ProjectWindow* project = activeProject();
    if (!project)
        return false;
    const String copy = newProject(true);
    if (copy.empty())
        return false;
    PageDocument& document = project->document();
    const String copyFolder = PathInfo(copy).directory();
    bool copied = PathInfo(document.projectFile()).copyTo(copy);
    // Only the user's own files: the generated pictures and pages are made
    // again by the copy's first save.
    const std::filesystem::path files = (document.contentDirectory() + u"/files").toNarrow();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(files, error)) {
        if (!entry.is_regular_file())
            continue;
        const String name = String::fromNarrowLossless(entry.path().filename().string());
        copied
            = PathInfo(String::fromNarrowLossless(entry.path().string())).copyTo(copyFolder + u"/content/files/" + name)
            && copied;
    }
    if (!copied) {
        report(u"Could not copy the project to " + copyFolder);
        return false;
    }
    return openProject(copy) != nullptr;
}

void MainWindow::openUserGuide()
{
    String guide = m_installation.directory;
    guide.replaceChar(u'\\', u'/');
    if (!guide.endsWith(u"/"))
        guide.push_back(u'/');
    guide.append(u"guide/UserGuide.html");
    // A missing guide is the browser's to tell.
    QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(guide)));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    for (ProjectWindow* project : projects()) {
        if (!project->mayClose()) {
            event->ignore();
            return;
        }
        // Asked once: closing the children must not ask again.
        project->setModified(false);
    }
    m_area->closeAllSubWindows();
    event->accept();
}

void MainWindow::loadRecent()
{
    m_recent.clear();
    Registry store;
    if (!store.open(String(recentKey), Registry::Read))
        return;
    for (int number = 1; number <= recentFileCount; ++number) {
        std::optional<String> file = store.getStringOrNone(u"File" + String::number(number));
        if (file && !file->empty())
            m_recent.push_back(*file);
    }
}

void MainWindow::rememberRecent(const String& path)
{
    std::erase(m_recent, path);
    m_recent.insert(m_recent.begin(), path);
    if (m_recent.size() > size_t(recentFileCount))
        m_recent.resize(recentFileCount);
    Registry store;
    if (store.open(String(recentKey), Registry::Read | Registry::Write)) {
        int number = 1;
        for (const String& file : m_recent)
            store.setString(u"File" + String::number(number++), file);
    }
    m_menusBuilt = false;
    buildMenus();
}

void MainWindow::report(const String& message)
{
    QMessageBox::warning(this, QApplication::applicationDisplayName(), toQString(message));
}

}
