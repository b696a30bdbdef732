#include "app/ProjectWindow.h"
#include "dialogs/FtpDialogs.h"
#include "dialogs/PageDialogs.h"
#include "dialogs/PropertiesDialog.h"
#include "forms/ValueDialog.h"
#include "forms/XmlForm.h"
#include "page/EntryList.h"
#include "page/Initialize.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "page/Slideshow.h"
#include "picture/canvas/PageView.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/WhenShown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace lumavine {
namespace {

namespace fs = std::filesystem;

// Answers the message boxes the window opens, in order, as a user would
// click them, and keeps what they said.
class MessageBoxes {
public:
    explicit MessageBoxes(std::deque<QMessageBox::StandardButton> answers) : m_answers(std::move(answers))
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { answer(); });
        m_poll.start(10);
    }

    QStringList texts;

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts.append(box->text());
        QMessageBox::StandardButton choice = QMessageBox::Ok;
        if (!m_answers.empty()) {
            choice = m_answers.front();
            m_answers.pop_front();
        }
        if (QAbstractButton* button = box->button(choice))
            button->click();
        else
            box->reject();
    }

    std::deque<QMessageBox::StandardButton> m_answers;
    QTimer m_poll;
};

// Keeps the files the desktop was asked to open instead of starting a
// browser.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class ProjectWindowTest : public testing::Test {
protected:
    ProjectWindowTest()
    {
        fs::copy(LUMAVINE_SAMPLE_DIR, sample, fs::copy_options::recursive);
        window.setStatusReporter([this](const QString& text) { statuses << text; });
        window.resize(900, 700);
        window.show();
    }

    String projectFile() const { return String::fromNarrowLossless((sample / "lumavine-sample.xml").string()); }
    Page& page() { return window.pageView()->page(); }

    test::TemporaryFolder folder { "lumavine-project-window" };
    fs::path sample = folder.path() / "lumavine-sample";
    QStringList statuses;
    ProjectWindow window;
};

TEST_F(ProjectWindowTest, PageCommandsWriteThePageAndOpenThePreview)
{
    ASSERT_TRUE(window.open(projectFile()));
    ASSERT_TRUE(window.goToPage(page().commandId() + 1));
    ASSERT_EQ(page().label(), u"Slides");

    // The page's own files, and no other page's.
    ASSERT_TRUE(window.command(PageView::WritePageFiles));
    EXPECT_TRUE(fs::exists(page().htmlFilePath().toNarrow()));
    EXPECT_TRUE(fs::exists(page().imageFilePath().toNarrow()));
    EXPECT_FALSE(fs::exists(sample / "content/Welcome.html"));

    // The preview generates every page and opens the one shown.
    OpenedUrls opened;
    ASSERT_TRUE(window.command(PageView::Preview));
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls[0].toLocalFile().toStdString(), page().htmlFilePath().toNarrow());
    EXPECT_TRUE(fs::exists(sample / "content/Welcome.html"));

    // Publish opens the publish dialog; cancelled, it starts nothing.
    bool shown = false;
    test::WhenShown<PageFtpDialog> publish([&shown](PageFtpDialog& dialog) {
        shown = true;
        QTest::mouseClick(dialog.findControl(u"cancel"), Qt::LeftButton);
    });
    EXPECT_TRUE(window.command(PageView::Publish));
    EXPECT_TRUE(shown);
    EXPECT_EQ(window.publishSession(), nullptr);
}

TEST_F(ProjectWindowTest, SavingKeepsTheFilesThatUndoCanBringBack)
{
    ASSERT_TRUE(window.open(projectFile()));
    const fs::path video = sample / "content/files/garden.webm";
    ASSERT_TRUE(fs::exists(video));
    window.pageView()->setFocus();
    QTest::keyClick(window.pageView(), Qt::Key_A);
    QTest::keyClick(window.pageView(), Qt::Key_Delete);
    ASSERT_TRUE(page().shapes().isEmpty());

    // No page names the video now, but undo would bring its shape back.
    MessageBoxes boxes({});
    ASSERT_TRUE(window.save());
    EXPECT_TRUE(fs::exists(video));
    window.undoStack()->undo();
    ASSERT_FALSE(page().shapes().isEmpty());
    ASSERT_TRUE(window.save());
    EXPECT_TRUE(fs::exists(video));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(ProjectWindowTest, SavingShowsEachPageInTurnAndRedrawsOnlyTheEditedPage)
{
    ASSERT_TRUE(window.open(projectFile()));
    MessageBoxes boxes({});
    ASSERT_TRUE(window.save());
    EXPECT_TRUE(statuses.contains(QStringLiteral("Generating Welcome (1 of 3)")));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Generating Notes (3 of 3)")));
    EXPECT_EQ(window.document().drawnPages().count(), 2u);

    // The page on the screen is edited: it alone is drawn again, and its
    // picture is the one a fresh full generation draws.
    window.pageView()->setFocus();
    QTest::keyClick(window.pageView(), Qt::Key_A);
    QTest::keyClick(window.pageView(), Qt::Key_Delete);
    ASSERT_TRUE(window.save());
    ASSERT_EQ(window.document().drawnPages().count(), 1u);
    EXPECT_EQ(window.document().drawnPages().get(0), page().label());
    const std::string picture = page().imageFilePath().toNarrow();
    std::ifstream drawn(picture, std::ios::binary);
    const std::string incremental((std::istreambuf_iterator<char>(drawn)), std::istreambuf_iterator<char>());
    PageDocument fresh;
    fresh.setFullGeneration(true);
    fresh.setGenerationJobs(1);
    ASSERT_TRUE(fresh.open(projectFile()));
    ASSERT_TRUE(fresh.generateSite());
    std::ifstream full(picture, std::ios::binary);
    EXPECT_TRUE(incremental == std::string((std::istreambuf_iterator<char>(full)), std::istreambuf_iterator<char>()));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
}

TEST_F(ProjectWindowTest, WritingAPageThatPlaysAnOlderVideoFormatSaysSoInAMessage)
{
    ASSERT_TRUE(window.open(projectFile()));
    fs::copy_file(sample / "content/files/garden.webm", sample / "content/files/garden.wmv");
    Page::asPageNode(page().addRectangle(QRect(10, 10, 80, 30)))
        ->setEventText(PageNode::MouseDown, String(u"javascript:play_video('stage','files/garden.wmv','full',100,1)"));
    MessageBoxes boxes({});
    ASSERT_TRUE(window.command(PageView::WritePageFiles));
    EXPECT_EQ(boxes.texts,
        QStringList { "Page Welcome plays files/garden.wmv, which current browsers cannot play: convert it to WebM or "
                      "MP4 (sound: MP3 or Ogg)" });
}

TEST_F(ProjectWindowTest, ThePagesDialogAddsRenamesAndDeletesPages)
{
    ASSERT_TRUE(window.open(projectFile()));
    int changes = 0;
    window.setPagesChangedHandler([&] { ++changes; });
    const size_t notesShapes = window.document().findPageByLabel(u"Notes")->shapeCount();

    // Answers the page dialog that a list button opens.
    auto answerPage = [](const String& label, const String& copyFrom) {
        return std::make_unique<test::WhenShown<PageDialog>>([label, copyFrom](PageDialog& dialog) {
            dialog.formAt(0)->setValue(u"label", label);
            dialog.formAt(0)->setValue(u"copy", copyFrom);
            QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
        });
    };
    QStringList listed;
    test::WhenShown<ListDialog> user([&](ListDialog& dialog) {
        XmlForm& form = *dialog.formAt(0);
        auto* list = qobject_cast<QListWidget*>(form.findControl(u"pagelist"));
        ASSERT_NE(list, nullptr);
        auto select
            = [list](const QString& label) { list->setCurrentItem(list->findItems(label, Qt::MatchExactly).value(0)); };
        {
            auto page = answerPage(String(u"Events"), String(u"Notes"));
            QTest::mouseClick(dialog.findControl(u"add"), Qt::LeftButton);
        }
        select(QStringLiteral("Slides"));
        {
            auto page = answerPage(String(u"Tour"), String());
            QTest::mouseClick(dialog.findControl(u"edit"), Qt::LeftButton);
        }
        select(QStringLiteral("Welcome"));
        {
            MessageBoxes answer({ QMessageBox::Yes });
            QTest::mouseClick(dialog.findControl(u"delete"), Qt::LeftButton);
        }
        for (int row = 0; row < list->count(); ++row)
            listed << list->item(row)->text();
        QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
    });
    ASSERT_TRUE(window.command(PageView::Pages));
    ASSERT_TRUE(user.done());
    EXPECT_EQ(listed, QStringList({ "Tour", "Notes", "Events" }));
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(window.isModified());
    // The page shown went, and another shows in its place.
    EXPECT_EQ(page().label(), u"Tour");
    Page* events = window.document().findPageByLabel(u"Events");
    ASSERT_NE(events, nullptr);
    EXPECT_EQ(events->shapeCount(), notesShapes);

    // Saved and read again, the project holds the pages as they are now.
    ASSERT_TRUE(window.save());
    EXPECT_FALSE(window.isModified());
    ProjectWindow again;
    ASSERT_TRUE(again.open(projectFile()));
    QStringList labels;
    for (Page* each : again.document().pages())
        labels << QString::fromStdU16String(each->label());
    EXPECT_EQ(labels, QStringList({ "Tour", "Notes", "Events" }));
}

TEST_F(ProjectWindowTest, PagePropertiesChangeThePageAsOneStepAndReopenOnTheLastTab)
{
    ASSERT_TRUE(window.open(projectFile()));
    Document before(String(u"page"));
    page().writeXml(before.documentElement());
    const String original = before.documentElement()->toXml();
    std::vector<std::string> shown;
    test::WhenShown<PropertiesDialog> user([&](PropertiesDialog& dialog) {
        XmlForm* general = dialog.form(u"General");
        shown = { general->valueOf(u"imagetype").toNarrow(), general->valueOf(u"imagequality").toNarrow(),
            general->valueOf(u"scrolling").toNarrow(), general->valueOf(u"responsive").toNarrow() };
        general->setValue(u"imagetype", String(u"jpeg"));
        general->setValue(u"imagequality", String(u"80"));
        general->setValue(u"scrolling", String(u"false"));
        general->setValue(u"responsive", String(u"true"));
        ASSERT_TRUE(dialog.selectForm(String(u"Captions")));
        XmlForm* captions = dialog.form(u"Captions");
        captions->setValue(u"caption-alignment", String(u"top"));
        captions->setValue(u"caption-background-start", String(u"#102030"));
        QTest::mouseClick(captions->findControl(u"ok"), Qt::LeftButton);
    });
    ASSERT_TRUE(window.command(PageView::PageProperties));
    ASSERT_TRUE(user.done());
    EXPECT_EQ(shown, std::vector<std::string>({ "png", "50", "true", "false" }));
    EXPECT_EQ(page().imageType(), u"jpeg");
    EXPECT_EQ(page().imageQuality(), 80);
    EXPECT_TRUE(page().scrollingOff());
    EXPECT_TRUE(page().responsive());
    EXPECT_FALSE(page().captionAtBottom());
    EXPECT_EQ(page().captionStyle().backgroundColorText(), u"#102030");
    EXPECT_TRUE(window.windowTitle().contains("jpeg", Qt::CaseInsensitive)) << window.windowTitle().toStdString();
    EXPECT_EQ(page().lastPropertiesTab(), u"Captions");

    // One undo step brings the page back as it was.
    ASSERT_EQ(window.undoStack()->count(), 1);
    window.undoStack()->undo();
    Document after(String(u"page"));
    page().writeXml(after.documentElement());
    EXPECT_TRUE(after.documentElement()->toXml() == original);
}

TEST_F(ProjectWindowTest, ListsEditedThroughTheirDialogsAreSavedAndReadBackAsTheyWere)
{
    ASSERT_TRUE(window.open(projectFile()));
    // A start-up entry and a slideshow, each through its dialogs.
    test::WhenShown<InitializeDialog> entries([](InitializeDialog& dialog) {
        test::WhenShown<InitializeEntryDialog> entry([](InitializeEntryDialog& entryDialog) {
            test::WhenShown<ValueDialog> script([](ValueDialog& value) {
                value.formAt(0)->setValue(u"value", String(u"javascript:alert('ready')"));
                QTest::mouseClick(value.findControl(u"ok"), Qt::LeftButton);
            });
            QTest::mouseClick(entryDialog.formAt(0)->findControl(u"function:custom"), Qt::LeftButton);
            entryDialog.formAt(0)->setValue(u"name", String(u"Ready"));
            QTest::mouseClick(entryDialog.findControl(u"ok"), Qt::LeftButton);
        });
        QTest::mouseClick(dialog.formAt(0)->findControl(u"add"), Qt::LeftButton);
        QTest::mouseClick(dialog.formAt(0)->findControl(u"moveup"), Qt::LeftButton);
        QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
    });
    ASSERT_TRUE(window.command(PageView::Initialize));
    test::WhenShown<ListDialog> shows([](ListDialog& dialog) {
        test::WhenShown<ValueDialog> name([](ValueDialog& value) {
            value.formAt(0)->setValue(u"value", String(u"Evening"));
            QTest::mouseClick(value.findControl(u"ok"), Qt::LeftButton);
        });
        QTest::mouseClick(dialog.formAt(0)->findControl(u"add"), Qt::LeftButton);
        QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
    });
    ASSERT_TRUE(window.command(PageView::Slideshows));
    ASSERT_EQ(page().initialize().count(), 2u);
    EXPECT_EQ(EntryList::nameOf(page().initialize().entries().front()), u"Ready");
    ASSERT_EQ(page().slideshowList().size(), 1u);
    EXPECT_EQ(window.undoStack()->count(), 2);

    Document edited(String(u"page"));
    page().writeXml(edited.documentElement());
    ASSERT_TRUE(window.save());
    ProjectWindow again;
    ASSERT_TRUE(again.open(projectFile()));
    Document read(String(u"page"));
    again.pageView()->page().writeXml(read.documentElement());
    EXPECT_TRUE(read.documentElement()->toXml() == edited.documentElement()->toXml());

    // Cancelled, a list dialog changes nothing.
    test::WhenShown<InitializeDialog> cancel([](InitializeDialog& dialog) {
        auto* list = qobject_cast<QListWidget*>(dialog.formAt(0)->findControl(u"entrylist"));
        list->setCurrentRow(0);
        QTest::mouseClick(dialog.formAt(0)->findControl(u"delete"), Qt::LeftButton);
        QTest::mouseClick(dialog.findControl(u"cancel"), Qt::LeftButton);
    });
    ASSERT_TRUE(window.command(PageView::Initialize));
    EXPECT_EQ(page().initialize().count(), 2u);
    EXPECT_EQ(window.undoStack()->count(), 2);
}

TEST_F(ProjectWindowTest, ASaveThatCannotWriteIsToldAndKeepsTheChanges)
{
    ASSERT_TRUE(window.open(projectFile()));
    const std::string original = test::readFile(projectFile().toNarrow());
    window.pageView()->setFocus();
    QTest::keyClick(window.pageView(), Qt::Key_A);
    QTest::keyClick(window.pageView(), Qt::Key_Delete);
    ASSERT_TRUE(page().shapes().isEmpty());
    ASSERT_TRUE(window.isModified());

    // The superuser writes into a read-only folder, so for it the project
    // file's place is taken by a folder instead.
    const fs::path file = projectFile().toNarrow();
    if (geteuid() == 0) {
        fs::rename(file, sample / "kept.xml");
        fs::create_directory(file);
    } else {
        fs::permissions(sample, fs::perms::owner_read | fs::perms::owner_exec);
    }
    {
        MessageBoxes boxes({});
        EXPECT_FALSE(window.save());
        ASSERT_FALSE(boxes.texts.isEmpty());
        EXPECT_TRUE(boxes.texts[0].startsWith("Cannot write ")) << boxes.texts[0].toStdString();
        EXPECT_TRUE(window.isModified());
    }
    // Closing asks; Save fails the same way and the window stays.
    {
        MessageBoxes boxes({ QMessageBox::Save, QMessageBox::Ok });
        EXPECT_FALSE(window.close());
        ASSERT_EQ(boxes.texts.size(), 2);
        EXPECT_TRUE(boxes.texts[0].startsWith("Save changes to lumavine-sample.xml"));
        EXPECT_TRUE(window.isVisible());
    }
    {
        MessageBoxes boxes({ QMessageBox::Discard });
        EXPECT_TRUE(window.close());
    }
    // What the user had on disk is untouched.
    fs::permissions(sample, fs::perms::owner_all);
    EXPECT_EQ(test::readFile(geteuid() == 0 ? (sample / "kept.xml").string() : file.string()), original);
}

}
}

#include "ProjectWindowTest.moc"
