#include "app/PageDocument.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "tests/support/TestProject.h"
#include "xml/Elements.h"

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace lumavine;
namespace fs = std::filesystem;

namespace {

// A project "site" that was never opened, so without its content folders,
// in a temporary folder that leaves room for the user's files beside it.
class ProjectFolder : public test::ProjectFolder {
public:
    ProjectFolder() : test::ProjectFolder(Layout { .name = "site", .contentFolders = false }) { }
    void write(const std::string& relative, const std::string& text) const { writeFile(relative, text); }
};

std::vector<std::string> labels(const PageDocument& document)
{
    std::vector<std::string> result;
    for (Page* page : document.pages())
        result.push_back(page->label().toNarrow());
    return result;
}

}

TEST(PageDocument, OpeningCompletesTheFoldersAndMakesAFirstPage)
{
    ProjectFolder folder;
    folder.write("site.xml", "");
    PageDocument document;
    ASSERT_TRUE(document.open(folder.projectFile()));
    EXPECT_TRUE(fs::is_directory(folder.path("content/files")));
    EXPECT_TRUE(fs::is_directory(folder.path("content/custom")));
    EXPECT_EQ(document.projectName(), u"site");
    ASSERT_EQ(document.pageCount(), 1u);
    EXPECT_EQ(labels(document), std::vector<std::string> { "site" });
    EXPECT_EQ(document.currentPage()->commandId(), 36000);

    PageDocument missing;
    EXPECT_FALSE(missing.open(String(folder.path("absent.xml"))));
}

TEST(PageDocument, ReadsPagesInOrderAndIgnoresARepeatedId)
{
    ProjectFolder folder;
    folder.write("site.xml",
        "<lumavine>\n<page id=\"a\"><label>first</label></page>\n"
        "<page id=\"b\"><label>second</label></page>\n"
        "<page id=\"a\"><label>again</label></page>\n</lumavine>\n");
    PageDocument document;
    ASSERT_TRUE(document.open(folder.projectFile()));
    EXPECT_EQ(labels(document), (std::vector<std::string> { "first", "second" }));
    EXPECT_EQ(document.currentPage()->label(), u"first");
    EXPECT_EQ(document.findPage(u"b")->commandId(), 36001);
    EXPECT_TRUE(document.goToPage(36001));
    EXPECT_EQ(document.currentPage()->id(), u"b");
    EXPECT_FALSE(document.goToPage(36002));
}

TEST(PageDocument, NewPagesTakeTheFirstFreeNumberAndCopiesStartAlike)
{
    ProjectFolder folder;
    folder.write("site.xml",
        "<lumavine><page id=\"a\"><label>site1</label></page>"
        "<page id=\"b\"><label>site3</label></page></lumavine>");
    PageDocument document;
    ASSERT_TRUE(document.open(folder.projectFile()));
    Page* added = document.newPage();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->label(), u"site4");
    EXPECT_EQ(added->commandId(), 36002);
    String taken(u"site1");
    EXPECT_EQ(document.newPage(&taken), nullptr);

    Page* source = document.findPage(u"a");
    source->addRectangle(QRect(10, 10, 50, 50));
    String copyLabel(u"copy");
    String sourceId(u"a");
    Page* copy = document.newPage(&copyLabel, &sourceId);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->shapeCount(), 1u);
    EXPECT_NE(copy->id(), source->id());
    EXPECT_EQ(copy->label(), u"copy");
}

TEST(PageDocument, DeletingPagesExplainsRefusals)
{
    ProjectFolder folder;
    folder.write("site.xml",
        "<lumavine><page id=\"a\"><label>one</label></page>"
        "<page id=\"b\"><label>two</label></page></lumavine>");
    PageDocument document;
    ASSERT_TRUE(document.open(folder.projectFile()));
    String message;
    EXPECT_FALSE(document.deletePage(String(u"zz"), message));
    EXPECT_EQ(message, u"Cannot find page: zz");
    EXPECT_TRUE(document.deletePage(String(u"a"), message));
    EXPECT_EQ(document.currentPage()->id(), u"b");
    EXPECT_EQ(document.findPageByCommand(36000), nullptr);
    EXPECT_FALSE(document.deletePage(String(u"b"), message));
    EXPECT_EQ(message, u"Cannot delete the last page");
}

TEST(PageDocument, SavingTidiesTheContentTreeAndWritesTheSite)
{
    ProjectFolder folder;
    folder.write("site.xml",
        "<lumavine><page id=\"a\"><label>home page</label></page>"
        "<page id=\"b\"><label>about</label></page></lumavine>");
    folder.write("content/stale.html", "old");
    folder.write("content/stale.png", "old");
    folder.write("content/files/unused.png", "old");
    folder.write("content/custom/mine.txt", "kept");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    std::string outside = folder.root() + "/outside.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(outside)));

    PageDocument document;
    std::vector<std::string> errors;
    document.setErrorReporter([&](const String& message) { errors.push_back(message.toNarrow()); });
    ASSERT_TRUE(document.open(folder.projectFile()));
    Page* home = document.findPage(u"a");
    PicNode* shape = home->addPicture(10, 10, String(outside));
    ASSERT_NE(shape, nullptr);

    ASSERT_TRUE(document.save()) << (errors.empty() ? "" : errors.front());
    EXPECT_FALSE(fs::exists(folder.path("content/stale.html")));
    EXPECT_FALSE(fs::exists(folder.path("content/stale.png")));
    EXPECT_FALSE(fs::exists(folder.path("content/files/unused.png")));
    EXPECT_TRUE(fs::exists(folder.path("content/custom/mine.txt")));
    EXPECT_TRUE(fs::exists(folder.path("content/home_page.html")));
    EXPECT_TRUE(fs::exists(folder.path("content/home_page.png")));
    EXPECT_TRUE(fs::exists(folder.path("content/about.html")));
    ASSERT_EQ(document.referencedFiles().count(), 1u);
    String copied = document.referencedFiles().get(0);
    EXPECT_TRUE(copied.startsWith(u"files/"));
    EXPECT_TRUE(fs::exists(folder.path("content/" + copied.toNarrow())));

    // The project file reads back into the same pages.
    PageDocument reread;
    ASSERT_TRUE(reread.open(folder.projectFile()));
    EXPECT_EQ(labels(reread), (std::vector<std::string> { "home page", "about" }));
    EXPECT_EQ(reread.findPage(u"a")->shapeCount(), 1u);
    for (const auto& entry : fs::directory_iterator(folder.path("")))
        EXPECT_EQ(entry.path().filename().string().find("site.xml."), std::string::npos) << "no temporary left";
}

TEST(PageDocument, TextsTypedWithMarkupCharactersSurviveSavingAndReopening)
{
    ProjectFolder folder;
    folder.write("site.xml", "<lumavine><page id=\"a\"><label>home</label></page></lumavine>");
    const String typed(u"a<b & \"c\"");
    const String link(u"next.html?x=1&y=2");
    // The picture dialog escapes the caption as part of the script's text.
    const String action(
        u"javascript:show_picture('f','files/m.png','Fish &amp; chips &#146;',null,null,null,100,true)");
    std::string shapeId;
    {
        PageDocument document;
        std::vector<std::string> errors;
        document.setErrorReporter([&](const String& message) { errors.push_back(message.toNarrow()); });
        ASSERT_TRUE(document.open(folder.projectFile()));
        PageNode* shape = Page::asPageNode(document.findPage(u"a")->addRectangle(QRect(10, 10, 60, 40)));
        ASSERT_NE(shape, nullptr);
        shapeId = shape->id().toNarrow();
        shape->setText(typed);
        shape->setName(String(u"Tom & Jerry"));
        shape->setEventText(PageNode::Title, typed);
        shape->setEventText(PageNode::Href, link);
        shape->setEventText(PageNode::MouseUp, action);
        ASSERT_TRUE(document.save()) << (errors.empty() ? "" : errors.front());
    }
    std::ifstream stream(folder.projectFile().toNarrow(), std::ios::binary);
    std::string stored((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    EXPECT_NE(stored.find(">a&lt;b &amp; \"c\"<"), std::string::npos) << stored;

    PageDocument reread;
    std::vector<std::string> errors;
    reread.setErrorReporter([&](const String& message) { errors.push_back(message.toNarrow()); });
    ASSERT_TRUE(reread.open(folder.projectFile()));
    EXPECT_TRUE(errors.empty()) << errors.front();
    Page* page = reread.findPage(u"a");
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->shapeCount(), 1u) << "nothing typed may turn into markup";
    PageNode* shape = Page::asPageNode(page->findNode(String::fromLatin1(shapeId)));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->getText(), typed);
    EXPECT_EQ(shape->getName(), u"Tom & Jerry");
    EXPECT_EQ(shape->title(), typed);
    EXPECT_EQ(shape->href(), link);
    EXPECT_EQ(shape->eventText(PageNode::MouseUp), action);

    // Saved again, the page shows the texts escaped once.
    ASSERT_TRUE(reread.save()) << (errors.empty() ? "" : errors.front());
    std::ifstream htmlStream(folder.path("content/home.html"), std::ios::binary);
    std::string html((std::istreambuf_iterator<char>(htmlStream)), std::istreambuf_iterator<char>());
    EXPECT_NE(html.find("title=\"a<b &amp; &quot;c&quot;\""), std::string::npos) << html;
    EXPECT_NE(html.find("next.html?x=1&amp;y=2"), std::string::npos);
    EXPECT_NE(html.find("'Fish &amp; chips &#146;'"), std::string::npos);
    EXPECT_EQ(html.find("&amp;amp;"), std::string::npos);
    EXPECT_EQ(html.find("&amp;lt;"), std::string::npos);
}

TEST(PageDocument, WritesThePagesAfreshForPublishing)
{
    ProjectFolder folder;
    // The project file's name differs from its folder's: the site goes
    // under the folder's name.
    folder.write("other.xml",
        "<lumavine><page id=\"a\"><label>home page</label></page>"
        "<page id=\"b\"><label>about</label><imagetype>none</imagetype></page></lumavine>");
    folder.write("content/home_page.html", "stale");
    PageDocument document;
    std::vector<std::string> errors;
    document.setErrorReporter([&](const String& message) { errors.push_back(message.toNarrow()); });
    ASSERT_TRUE(document.open(String(folder.path("other.xml"))));
    String message;
    std::optional<std::vector<PublishPage>> pages = document.writePublishPages(message);
    ASSERT_TRUE(pages) << message.toNarrow();
    EXPECT_TRUE(message.empty());
    ASSERT_EQ(pages->size(), 2u);
    EXPECT_EQ((*pages)[0].label, u"home page");
    EXPECT_EQ((*pages)[0].htmlFile.toNarrow(), folder.path("content/home_page.html"));
    EXPECT_EQ((*pages)[0].pictureFile.toNarrow(), folder.path("content/home_page.png"));
    EXPECT_NE(folder.readFile("content/home_page.html"), "stale");
    EXPECT_TRUE(fs::is_regular_file(folder.path("content/home_page.png")));
    EXPECT_EQ((*pages)[1].label, u"about");
    EXPECT_EQ((*pages)[1].htmlFile.toNarrow(), folder.path("content/about.html"));
    EXPECT_TRUE((*pages)[1].pictureFile.empty());
    EXPECT_TRUE(errors.empty());

    PublishProject project = document.publishProject();
    EXPECT_EQ(project.name, u"site");
    EXPECT_EQ(project.directory.toNarrow(), folder.directory());
    EXPECT_EQ(project.contentDirectory.toNarrow(), folder.path("content"));

    // A page whose file cannot be written stops the publish with its message.
    fs::remove(folder.path("content/about.html"));
    fs::create_directories(folder.path("content/about.html/in-the-way"));
    EXPECT_FALSE(document.writePublishPages(message));
    EXPECT_EQ(message.toNarrow(), "Cannot write " + folder.path("content/about.html"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], message.toNarrow());
}

TEST(PageDocument, GeneratingTellsOnceOfEachFileCurrentBrowsersCannotPlay)
{
    ProjectFolder folder;
    folder.write(
        "site.xml", "<lumavine><page id=\"a\"><label>home</label><imagetype>none</imagetype></page></lumavine>");
    folder.write("content/files/clip.avi", "x");
    PageDocument document;
    std::vector<std::string> errors;
    std::vector<std::string> statuses;
    document.setErrorReporter([&](const String& message) { errors.push_back(message.toNarrow()); });
    document.setStatusReporter([&](const String& line) { statuses.push_back(line.toNarrow()); });
    ASSERT_TRUE(document.open(folder.projectFile()));
    Page* home = document.findPage(u"a");
    for (int top : { 10, 50 }) {
        Page::asPageNode(home->addRectangle(QRect(10, top, 80, 30)))
            ->setEventText(PageNode::MouseDown, String(u"javascript:play_video('f','files/clip.avi','full',100,1)"));
    }
    const std::string warning = "Page home plays files/clip.avi, which current browsers cannot play: convert it to "
                                "WebM or MP4 (sound: MP3 or Ogg)";
    auto told = [&] { return std::count(statuses.begin(), statuses.end(), warning); };

    // On the command line it is a status line, once per generation.
    ASSERT_TRUE(document.generateSite());
    EXPECT_EQ(told(), 1);
    ASSERT_TRUE(document.generateSite());
    EXPECT_EQ(told(), 2);
    EXPECT_TRUE(errors.empty());

    // The designer's own reporter takes it instead, and a publish that a
    // page stops still gives the error as its reason.
    std::vector<std::string> warnings;
    document.setWarningReporter([&](const String& message) { warnings.push_back(message.toNarrow()); });
    fs::remove(folder.path("content/home.html"));
    fs::create_directories(folder.path("content/home.html/in-the-way"));
    String message;
    EXPECT_FALSE(document.writePublishPages(message));
    EXPECT_EQ(message.toNarrow(), "Cannot write " + folder.path("content/home.html"));
    EXPECT_EQ(warnings, std::vector<std::string> { warning });
    EXPECT_EQ(told(), 2);
}

TEST(PageDocument, JpegPagePicturesTakeThePagesQuality)
{
    ProjectFolder folder;
    folder.write("site.xml",
        "<lumavine>"
        "<page id=\"a\"><label>low</label><imagetype>jpeg</imagetype>"
        "<imagequality>10</imagequality></page>"
        "<page id=\"b\"><label>high</label><imagetype>jpeg</imagetype>"
        "<imagequality>95</imagequality></page></lumavine>");
    PageDocument document;
    ASSERT_TRUE(document.open(folder.projectFile()));
    for (Page* page : document.pages()) {
        ASSERT_EQ(page->imageType(), u"jpeg");
        for (int i = 0; i < 40; ++i) {
            PicNode* box = page->addEllipse(QRect(i * 13 % 300, i * 29 % 200, 40 + i, 30 + i));
            box->setProperty(u"background-color", String(i % 2 ? u"#ff8020,#2040ff" : u"#30c060,#f0f0f0,vertical"));
        }
    }
    ASSERT_TRUE(document.generateSite());
    auto low = fs::file_size(folder.path("content/low.jpeg"));
    auto high = fs::file_size(folder.path("content/high.jpeg"));
    EXPECT_GT(high, low * 2) << low << " " << high;
}
