#include "app/MainWindow.h"
#include "app/NewProjectDialog.h"
#include "app/ProjectWindow.h"
#include "forms/XmlForm.h"
#include "page/Page.h"
#include "picture/canvas/PageView.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/WhenShown.h"

#include <QAbstractButton>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QUndoStack>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace lumavine {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path)
{
    return test::readFile(path.string());
}

QStringList menuTitles(QMainWindow& window)
{
    QStringList titles;
    for (QAction* item : window.menuBar()->actions())
        titles << item->text();
    return titles;
}

QMenu* submenu(QMenu* menu, const QString& title)
{
    for (QAction* item : menu->actions())
        if (item->menu() && item->text() == title)
            return item->menu();
    return nullptr;
}

QMenu* topMenu(QMainWindow& window, const QString& title)
{
    for (QAction* item : window.menuBar()->actions())
        if (item->text() == title)
            return item->menu();
    return nullptr;
}

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest()
    {
        setenv("LUMAVINE_REGISTRY", (folder.path() / "registry.xml").c_str(), 1);
        fs::copy(LUMAVINE_SAMPLE_DIR, sample, fs::copy_options::recursive);
        window.show();
        // Shortcuts reach the active window only.
        window.activateWindow();
        QApplication::setActiveWindow(&window);
    }

    String sampleFile() const { return String::fromNarrowLossless((sample / "lumavine-sample.xml").string()); }

    test::TemporaryFolder folder { "lumavine-designer" };
    fs::path sample = folder.path() / "lumavine-sample";
    Installation installation { String(u"/opt/lumavine"), String(u"/opt/lumavine/ftp.xml"), 0 };
    MainWindow window { installation };
};

TEST_F(MainWindowTest, MenusFollowWhetherAProjectIsOpenAndCommandsTheState)
{
    EXPECT_EQ(menuTitles(window), QStringList({ "&File", "&View", "&Help" }));
    EXPECT_EQ(window.windowTitle(), "Lumavine Designer");

    ProjectWindow* project = window.openProject(sampleFile());
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(menuTitles(window), QStringList({ "&File", "&Edit", "&View", "&Window", "&Object", "&Help" }));
    EXPECT_EQ(window.windowTitle().toStdString(), "Lumavine Designer - lumavine-sample.xml, Welcome (100%) - Png");
    // Opening it again shows the window that has it.
    EXPECT_EQ(window.openProject(sampleFile()), project);
    EXPECT_EQ(window.projects().size(), 1u);

    // Cut and Copy only with a selection.
    window.updateCommandStates();
    EXPECT_FALSE(window.action(CommandId::Cut)->isEnabled());
    EXPECT_FALSE(window.action(CommandId::Copy)->isEnabled());
    Page& page = project->pageView()->page();
    page.select(page.shapes().first(), false, false);
    window.updateCommandStates();
    EXPECT_TRUE(window.action(CommandId::Cut)->isEnabled());
    EXPECT_TRUE(window.action(CommandId::Copy)->isEnabled());

    // Choosing 50% checks it alone.
    window.action(32303)->trigger();
    EXPECT_EQ(project->pageView()->zoom(), 0.5);
    for (int id = 32300; id <= 32305; ++id)
        EXPECT_EQ(window.action(id)->isChecked(), id == 32303) << id;
    EXPECT_EQ(window.windowTitle().toStdString(), "Lumavine Designer - lumavine-sample.xml, Welcome (50%) - Png");
    // The keys step through the same scales.
    QTest::keyClick(project->pageView(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(project->pageView()->zoom(), 0.33);
    QTest::keyClick(project->pageView(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(project->pageView(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(project->pageView()->zoom(), 0.75);
    window.action(32303)->trigger();

    // Go to Page lists the pages, the current one checked, and shows the one chosen.
    QMenu* goToPage = submenu(topMenu(window, "&View"), "Go to Page");
    ASSERT_NE(goToPage, nullptr);
    QStringList labels;
    for (QAction* item : goToPage->actions())
        labels << item->text();
    EXPECT_EQ(labels, QStringList({ "Welcome", "Slides", "Notes" }));
    EXPECT_TRUE(goToPage->actions().at(0)->isChecked());
    goToPage->actions().at(2)->trigger();
    EXPECT_EQ(project->pageView()->page().label(), u"Notes");
    EXPECT_FALSE(goToPage->actions().at(0)->isChecked());
    EXPECT_TRUE(goToPage->actions().at(2)->isChecked());
    // The page shown keeps the zoom.
    EXPECT_EQ(project->pageView()->zoom(), 0.5);

    // Without a project only New and Open of the toolbar act.
    MainWindow second { installation };
    EXPECT_TRUE(second.action(CommandId::Open)->isEnabled());
    EXPECT_FALSE(second.action(PageView::NewRectangle)->isEnabled());
    EXPECT_FALSE(second.action(CommandId::Save)->isEnabled());
    // and its File menu offers the project opened before.
    ASSERT_EQ(second.recentFiles().size(), 1u);
    EXPECT_EQ(second.recentFiles().front(), sampleFile());
    QStringList fileItems;
    for (QAction* item : topMenu(second, "&File")->actions())
        fileItems << item->text();
    EXPECT_TRUE(fileItems.contains(QStringLiteral("&1 ") + QString::fromStdU16String(sampleFile())))
        << fileItems.join('|').toStdString();
}

TEST_F(MainWindowTest, ProjectsThatCannotBeReadAreToldAndNothingIsWritten)
{
    // Missing, then cut short: the first opens nothing, the second opens
    // what was read and says the rest is missing; neither file is written.
    const fs::path cut = folder.path() / "cut/cut.xml";
    fs::create_directories(cut.parent_path());
    const std::string whole = readAll(sample / "lumavine-sample.xml");
    const std::string half = whole.substr(0, whole.size() / 2);
    test::writeFile(cut.string(), half);
    std::vector<QString> messages;
    {
        test::WhenShown<QMessageBox> box([&](QMessageBox& shown) {
            messages.push_back(shown.text());
            shown.accept();
        });
        EXPECT_EQ(window.openProject(String::fromNarrowLossless((folder.path() / "absent.xml").string())), nullptr);
    }
    EXPECT_TRUE(window.projects().empty());
    EXPECT_FALSE(window.showsProjectMenus());
    {
        test::WhenShown<QMessageBox> box([&](QMessageBox& shown) {
            messages.push_back(shown.text());
            shown.accept();
        });
        ProjectWindow* opened = window.openProject(String::fromNarrowLossless(cut.string()));
        ASSERT_NE(opened, nullptr);
        EXPECT_GE(opened->document().pageCount(), 1u);
    }
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].startsWith("Failed to open document: ")) << messages[0].toStdString();
    EXPECT_TRUE(messages[1].startsWith("Incomplete project file: ")) << messages[1].toStdString();
    EXPECT_EQ(readAll(cut), half);
    EXPECT_FALSE(fs::exists(folder.path() / "absent.xml"));
    EXPECT_FALSE(fs::exists(folder.path() / "content"));
}

TEST_F(MainWindowTest, KeysEditUndoAndSaveTheActiveProject)
{
    ProjectWindow* project = window.openProject(sampleFile());
    ASSERT_NE(project, nullptr);
    const std::string original = readAll(sample / "lumavine-sample.xml");
    Page& page = project->pageView()->page();
    const size_t shapes = page.shapeCount();

    // A command of the toolbar reaches the canvas through the routing.
    window.action(PageView::NewRectangle)->trigger();
    EXPECT_EQ(page.shapeCount(), shapes + 1);
    EXPECT_TRUE(project->isModified());
    EXPECT_TRUE(window.windowTitle().endsWith("*")) << window.windowTitle().toStdString();

    // A visit to another page leaves this page's history as it was.
    const int firstPage = page.commandId();
    window.routeCommand(firstPage + 1);
    EXPECT_NE(&project->pageView()->page(), &page);
    window.routeCommand(firstPage);
    ASSERT_EQ(&project->pageView()->page(), &page);

    QTest::keyClick(project->pageView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page.shapeCount(), shapes);
    EXPECT_FALSE(project->isModified());
    QTest::keyClick(project->pageView(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(page.shapeCount(), shapes + 1);

    QTest::keyClick(project->pageView(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(project->isModified());
    const std::string saved = readAll(sample / "lumavine-sample.xml");
    EXPECT_TRUE(saved != original);
    EXPECT_NE(saved.find("Rectangle_"), std::string::npos);

    // Closing with changes asks; Cancel keeps the window and its changes.
    window.action(PageView::NewEllipse)->trigger();
    test::WhenShown<QMessageBox> answer([](QMessageBox& box) { box.button(QMessageBox::Cancel)->click(); });
    window.action(CommandId::Close)->trigger();
    EXPECT_TRUE(answer.done());
    QApplication::processEvents();
    EXPECT_EQ(window.projects().size(), 1u);
    EXPECT_TRUE(project->isModified());
}

TEST_F(MainWindowTest, NewProjectTellsWhatIsWrongAndSaveAsCopiesOnlyTheUsersFiles)
{
    const String parent = String::fromNarrowLossless(folder.path().string());
    std::vector<QString> messages;
    auto fill = [&](XmlDialog& dialog, const String& directory, const String& name) {
        dialog.formAt(0)->setValue(u"directory", directory);
        dialog.formAt(0)->setValue(u"name", name);
    };
    // An empty name, then a project that exists, then a good one: the
    // dialog stays open with each message until the last.
    test::WhenShown<NewProjectDialog> user([&](NewProjectDialog& dialog) {
        auto confirm = [&] {
            test::WhenShown<QMessageBox> box([&](QMessageBox& shown) {
                messages.push_back(shown.text());
                shown.accept();
            });
            QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
        };
        fill(dialog, parent, String());
        confirm();
        fill(dialog, parent, String(u"lumavine-sample"));
        confirm();
        fill(dialog, parent + u"/", String(u"fresh"));
        QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
    });
    window.action(CommandId::New)->trigger();
    ASSERT_TRUE(user.done());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Must supply name");
    EXPECT_EQ(messages[1], QString::fromStdString("directory already exists: " + sample.string()));
    EXPECT_TRUE(fs::is_directory(folder.path() / "fresh/content/files"));
    EXPECT_TRUE(fs::is_regular_file(folder.path() / "fresh/fresh.xml"));
    ProjectWindow* fresh = window.activeProject();
    ASSERT_NE(fresh, nullptr);
    ASSERT_EQ(fresh->document().pageCount(), 1u);
    EXPECT_EQ(fresh->pageView()->page().label(), u"fresh");

    // Save As from the sample: its file and content/files, nothing generated.
    ProjectWindow* project = window.openProject(sampleFile());
    ASSERT_NE(project, nullptr);
    ASSERT_TRUE(project->document().generateSite());
    ASSERT_TRUE(fs::exists(sample / "content/Welcome.html"));
    test::writeFile((sample / "content/files/notes.txt").string(), "the user's own");
    test::WhenShown<NewProjectDialog> copier([&](NewProjectDialog& dialog) {
        fill(dialog, parent, String(u"copy"));
        QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
    });
    window.action(CommandId::SaveAs)->trigger();
    ASSERT_TRUE(copier.done());
    const fs::path copy = folder.path() / "copy";
    EXPECT_EQ(readAll(copy / "copy.xml"), readAll(sample / "lumavine-sample.xml"));
    EXPECT_EQ(readAll(copy / "content/files/notes.txt"), "the user's own");
    EXPECT_FALSE(fs::exists(copy / "content/Welcome.html"));
    EXPECT_EQ(
        window.activeProject()->document().projectFile(), String::fromNarrowLossless((copy / "copy.xml").string()));
}

}
}
