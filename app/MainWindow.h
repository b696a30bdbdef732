#pragma once

#include "app/Commands.h"
#include "app/StartUp.h"
#include "core/String.h"

#include <QMainWindow>
#include <QTimer>
#include <map>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace lumavine {

class ProjectWindow;

// The designer's main window: the menu bar (a short one while no project is
// open), the "Main" toolbar, the status bar with each command's prompt, and
// one child window per open project. Every menu item, button and key is a
// command identifier that routeCommand passes to the first part that takes
// it: the application, the window, the active project and its canvas, then
// the Help commands.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int recentFileCount = 4;

    explicit MainWindow(const Installation& installation, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs a command as its menu item, button or key does; false when no
    // part of the program handles it here.
    bool routeCommand(int id);
    // Enables and checks every action as the active project's state asks.
    void updateCommandStates();
    // The action of a command; null for one the window does not offer.
    QAction* action(int id) const;

    // Opens a project file in a new child window, or shows the window that
    // has it open already; null when it cannot be read (the user is told).
    ProjectWindow* openProject(const String& path);
    ProjectWindow* activeProject() const;
    std::vector<ProjectWindow*> projects() const;
    // Whether the menu bar is the one for an open project.
    bool showsProjectMenus() const { return m_projectMenus; }
    // Refills "Go to Page" with the active project's pages.
    void rebuildGoToPage();
    const std::vector<String>& recentFiles() const { return m_recent; }

    // The application's commands.
    // "New Project"; in copy mode the new project is made but not opened.
    // Answers the new project file, empty when none was made.
    String newProject(bool copyMode = false);
    // A copy of the active project's file and its content/files folder under
    // a new project, which then opens.
    bool saveProjectAs();
    void openUserGuide();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* makeAction(int id, const QString& text);
    void buildMenus();
    void fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries);
    void buildToolbar();
    void projectsChanged();
    void updateCaption();
    void showPrompt(int id);
    // One step of the Scale menu down (-1) or up (1).
    void stepZoom(int direction);
    void rememberRecent(const String& path);
    void loadRecent();
    void fillRecentFiles(QMenu* menu);
    bool applicationCommand(int id);
    bool windowCommand(int id);
    bool projectCommand(int id);
    bool helpCommand(int id);
    void report(const String& message);

    Installation m_installation;
    QMdiArea* m_area;
    QToolBar* m_toolbar = nullptr;
    std::map<int, QAction*> m_actions;
    // The "Go to Page" submenu of the project menus and its page items.
    QMenu* m_goToPage = nullptr;
    std::vector<QAction*> m_pageActions;
    std::vector<QAction*> m_recentActions;
    std::vector<String> m_recent;
    bool m_projectMenus = false;
    bool m_menusBuilt = false;
    // Toolbar buttons follow the selection and the page without a menu
    // opening to ask.
    QTimer m_stateTimer;
};

}
