#include "tests/support/TestProject.h"

#include "page/Page.h"
#include "xml/Elements.h"

#include <QImageReader>
#include <gtest/gtest.h>

using namespace lumavine;
using lumavine::test::TestProject;

namespace {

// Writes the page into a fresh "page" element and reads it into a new page.
std::unique_ptr<Page> reload(Page& page, ProjectContext* project, Document& document)
{
    Element* element = addElement(document.documentElement(), String(u"page"));
    page.writeXml(element);
    auto copy = std::make_unique<Page>(project);
    EXPECT_TRUE(copy->load(element));
    return copy;
}

}

TEST(PageXmlTest, PropertiesKeepTheirValuesAndRefuseAbsurdOnes)
{
    Page page;
    EXPECT_EQ(page.imageQuality(), 50);
    EXPECT_EQ(page.transition(Page::MenuTransition), u"none");
    EXPECT_EQ(page.captionAlignment(), u"bottom");
    EXPECT_EQ(page.lastPropertiesTab(), u"General");

    EXPECT_TRUE(page.setProperty(u"imagequality", String(u"5")));
    EXPECT_EQ(page.imageQuality(), 50);
    EXPECT_TRUE(page.setProperty(u"imagequality", String(u"150")));
    EXPECT_EQ(page.imageQuality(), 50);
    EXPECT_TRUE(page.setProperty(u"imagequality", String(u"80")));
    EXPECT_EQ(page.imageQuality(), 80);
    EXPECT_TRUE(page.setProperty(u"caption-height", String(u"tall")));
    EXPECT_EQ(page.captionHeight(), 10);
    EXPECT_TRUE(page.setProperty(u"pic-width", String(u"99999999999")));
    EXPECT_EQ(page.pictureWidth(), -1);
    EXPECT_TRUE(page.setProperty(u"pic-height", String(u"300")));
    EXPECT_EQ(page.pictureHeight(), 300);
    EXPECT_TRUE(page.setProperty(u"outer-caption-border-width", String(u"3")));
    EXPECT_EQ(page.outerCaptionStyle().border().width(), 3);
    EXPECT_TRUE(page.setProperty(u"caption-background-color", String(u"#ff0000")));
    EXPECT_TRUE(page.captionStyle().hasBackgroundColor());
    EXPECT_FALSE(page.setProperty(u"no-such-key", String(u"x")));

    EXPECT_EQ(Page::imageTypeDisplayName(String(u"none")), u"Html");
    EXPECT_EQ(Page::imageTypeDisplayName(String()), u"Png");
    EXPECT_EQ(Page::imageTypeDisplayName(String(u"x_bitmap")), u"X Bitmap");
}

TEST(PageXmlTest, APageSurvivesSaveAndReload)
{
    TestProject project;
    Page page(&project);
    page.setId(String(u"p1"));
    page.setLabel(String(u"My Page"));
    page.setProperty(u"scrolling", String(u"false"));
    page.setProperty(u"page-transition", String(u"barn"));
    page.setProperty(u"caption-alignment", String(u"top"));
    page.setProperty(u"caption-height", String(u"25"));
    page.setProperty(u"caption-font", String(u"font-family:arial;font-size:9"));
    page.setProperty(u"image-border-width", String(u"4"));
    page.setProperty(u"script", String(u"lib.js"));
    page.setProperty(u"imagetype", String(u"jpeg"));
    page.setProperty(u"imagequality", String(u"70"));
    page.setPictureSize(640, 480);
    page.initialize().list().add(String(u"Start"), String(u"javascript:clear_audio()"));
    Slideshow* show = page.newSlideshow(String(u"Holiday"));
    ASSERT_NE(show, nullptr);
    show->setAudio(String(u"files/a.mp3"));
    show->slideList().add(
        String(u"One"), String(u"javascript:show_picture('f','files/1.png',null,null,null,null,100,true)"));
    EXPECT_EQ(page.newSlideshow(String()), nullptr);

    PicNode* frame = page.addRectangle(QRect(10, 20, 200, 100));
    ASSERT_NE(frame, nullptr);
    frame->setProperty(u"frame", String(u"true"));
    PicNode* button = page.addEllipse(QRect(300, 20, 50, 50));
    button->setProperty(u"onmousedown", String(u"javascript:show_page('Rectangle_1','files/p.html',null,100)"));
    button->setProperty(u"title", String(u"Go"));
    auto* buttonNode = Page::asPageNode(button);
    ASSERT_NE(buttonNode, nullptr);
    buttonNode->ensureMenu().addItem(
        std::make_unique<PageMenuItem>(String(u"Mail"), String(u"javascript:mail('a@b.org')")));
    // An ellipse keeps the frame flag but is no frame, and writes none.
    button->setProperty(u"frame", String(u"true"));
    EXPECT_FALSE(buttonNode->isFrame());

    Document document(String(u"lumavine"));
    auto copy = reload(page, &project, document);
    EXPECT_EQ(copy->id(), u"p1");
    EXPECT_EQ(copy->label(), u"My Page");
    EXPECT_TRUE(copy->scrollingOff());
    EXPECT_EQ(copy->transition(Page::PageTransition), u"barn");
    EXPECT_EQ(copy->transition(Page::ImageTransition), u"fade");
    EXPECT_EQ(copy->captionAlignment(), u"top");
    EXPECT_FALSE(copy->captionAtBottom());
    EXPECT_EQ(copy->captionHeight(), 25);
    ASSERT_NE(copy->captionStyle().font(), nullptr);
    EXPECT_EQ(copy->captionStyle().font()->family(), u"arial");
    EXPECT_EQ(copy->imageStyle().border().width(), 4);
    EXPECT_EQ(copy->script(), u"lib.js");
    EXPECT_EQ(copy->imageType(), u"jpeg");
    EXPECT_EQ(copy->imageQuality(), 70);
    EXPECT_EQ(copy->pictureWidth(), 640);
    EXPECT_EQ(copy->pictureHeight(), 480);
    EXPECT_EQ(copy->initialize().count(), 1u);
    ASSERT_EQ(copy->slideshows().count(), 1u);
    Slideshow* readShow = copy->slideshow(show->id());
    ASSERT_NE(readShow, nullptr);
    EXPECT_EQ(readShow->name(), u"Holiday");
    EXPECT_EQ(readShow->audio(), u"files/a.mp3");
    EXPECT_EQ(readShow->slideCount(), 1u);

    std::vector<PageNode*> nodes = copy->pageNodes();
    ASSERT_EQ(nodes.size(), 2u);
    PageNode* readFrame = copy->findFrame(frame->getName());
    ASSERT_NE(readFrame, nullptr);
    String kind;
    readFrame->getKindName(kind);
    EXPECT_EQ(kind, u"Frame");
    PageNode* readButton = nodes[0] == readFrame ? nodes[1] : nodes[0];
    EXPECT_EQ(readButton->title(), u"Go");
    EXPECT_EQ(readButton->eventText(PageNode::MouseDown), buttonNode->eventText(PageNode::MouseDown));
    EXPECT_TRUE(readButton->hasMenuItems());
    EXPECT_EQ(readButton->menu()->item(0)->name(), u"Mail");

    // Scrolling on writes no "scrolling" element and reads back as on.
    copy->setProperty(u"scrolling", String(u"true"));
    auto again = reload(*copy, &project, document);
    EXPECT_FALSE(again->scrollingOff());
}

TEST(PageXmlTest, ResponsiveModeIsStoredOnlyWhenOn)
{
    TestProject project;
    Page page(&project);
    page.setLabel(String(u"Old"));
    Document document(String(u"lumavine"));
    Element* element = addElement(document.documentElement(), String(u"page"));
    page.writeXml(element);
    EXPECT_EQ(findChildElement(findChildElement(element, u"properties", true), u"responsive", true), nullptr)
        << "a page that never turned it on saves as it did before";

    // A page object reused for a file that lacks the element reads it as off.
    Page reused(&project);
    reused.setResponsive(true);
    ASSERT_TRUE(reused.load(element));
    EXPECT_FALSE(reused.responsive());

    EXPECT_TRUE(page.setProperty(u"responsive", String(u"true")));
    EXPECT_TRUE(page.responsive());
    EXPECT_FALSE(page.scrollingOff()) << "the two page flags stay apart";
    auto copy = reload(page, &project, document);
    EXPECT_TRUE(copy->responsive());
    copy->setProperty(u"responsive", String(u"false"));
    EXPECT_FALSE(reload(*copy, &project, document)->responsive());
}

TEST(PageXmlTest, DamagedPageElementsReadWithDefaults)
{
    Document document(String(u"page"));
    Element* element = document.documentElement();
    Element* properties = addElement(element, String(u"properties"));
    addElement(properties, String(u"scale"), String(u"1e308"));
    Element* size = addElement(properties, String(u"size"));
    addElement(size, String(u"width"), String(u"wide"));
    addElement(size, String(u"height"), String(u"-7"));
    addElement(properties, String(u"caption-height"), String(u"-100000"));
    addElement(properties, String(u"unknown-key"), String(u"x"));
    Element* slideshows = addElement(element, String(u"slideshows"));
    for (int i = 0; i < 2; ++i) {
        Element* show = addElement(slideshows, String(u"slideshow"));
        show->setAttribute(u"id", String(u"same"));
        show->setAttribute(u"name", String(i == 0 ? u"First" : u"Second"));
    }
    addElement(slideshows, String(u"slideshow"));
    addElement(element, String(u"imagequality"), String(u"0"));

    Page page;
    ASSERT_TRUE(page.load(element));
    EXPECT_FALSE(page.id().empty());
    EXPECT_EQ(page.savedScale(), 1.0);
    EXPECT_EQ(page.pictureWidth(), -1);
    EXPECT_EQ(page.pictureHeight(), -1);
    EXPECT_EQ(page.captionHeight(), 0);
    EXPECT_EQ(page.imageQuality(), 50);
    ASSERT_EQ(page.slideshows().count(), 1u);
    EXPECT_EQ(page.slideshow(u"same")->name(), u"First");
    EXPECT_FALSE(page.load(nullptr));
}

TEST(PageXmlTest, ExportWritesThePagePictureUnderItsLabel)
{
    TestProject project;
    Page page(&project);
    page.setLabel(String(u"My Page"));
    page.setPictureSize(120, 90);
    page.setBackgroundColor(u"#00ff00");
    String path;
    ASSERT_TRUE(page.exportPageImage(path, page.imageType()));
    EXPECT_EQ(path, String(project.path("content/My_Page.png")));
    EXPECT_EQ(page.htmlFilePath(), String(project.path("content/My_Page.html")));
    QImage image(QString::fromStdString(path.toNarrow()));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 120);
    EXPECT_GE(image.height(), 90);
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 255, 0));

    EXPECT_TRUE(page.exportPageImage(path, String(u"none")));
    EXPECT_TRUE(path.empty());
    EXPECT_FALSE(page.exportPageImage(path, String(u"no-such-format")));
    ASSERT_EQ(project.m_errors.count(), 1u);
    EXPECT_EQ(project.m_errors.get(0), u"Error in processing : ");
    Page detached;
    EXPECT_FALSE(detached.exportPageImage(path, String(u"png")));
}

TEST(PageXmlTest, LabelsNameFilesInsideTheContentFolder)
{
    // Labels that are plain file names keep the names sites already use.
    EXPECT_EQ(Page::fileBaseNameOf(u"Welcome"), u"Welcome");
    EXPECT_EQ(Page::fileBaseNameOf(u"My Page"), u"My_Page");
    EXPECT_EQ(Page::fileBaseNameOf(u"Caf\u00e9"), u"Caf\u00e9");
    EXPECT_EQ(Page::fileBaseNameOf(u"v1.2 notes...").toNarrow(), "v1.2_notes...");
    EXPECT_EQ(Page::fileBaseNameOf(u".profile"), u".profile");
    // What no file name holds, or what would lead out of the folder.
    EXPECT_EQ(Page::fileBaseNameOf(u"News/2024"), u"News_2024");
    EXPECT_EQ(Page::fileBaseNameOf(u"a\\b"), u"a_b");
    // What would cut the links to the page short or be read as an escape;
    // other punctuation stays.
    EXPECT_EQ(Page::fileBaseNameOf(u"Q&A #2? 100%"), u"Q&A__2__100_");
    EXPECT_EQ(Page::fileBaseNameOf(u"../escape"), u"___escape");
    EXPECT_EQ(Page::fileBaseNameOf(u"..\\..\\x"), u"______x");
    EXPECT_EQ(Page::fileBaseNameOf(u"a/./b/.."), u"a___b___");
    EXPECT_EQ(Page::fileBaseNameOf(u"."), u"_");
    EXPECT_EQ(Page::fileBaseNameOf(u".."), u"__");
    EXPECT_EQ(Page::fileBaseNameOf(std::u16string_view(u"nul\0tab\tline\n\x7f", 14)), u"nul_tab_line__");

    TestProject project;
    Page page(&project);
    page.setLabel(String(u"../escape"));
    EXPECT_EQ(page.htmlFilePath(), String(project.path("content/___escape.html")));
    EXPECT_EQ(page.imageFilePath(), String(project.path("content/___escape.png")));
    String path;
    ASSERT_TRUE(page.exportPageImage(path, page.imageType()));
    EXPECT_EQ(path, page.imageFilePath());
    EXPECT_TRUE(project.exists("content/___escape.png"));
    EXPECT_FALSE(project.exists("escape.png"));

    page.setLabel(String(u"News/2024"));
    page.setProperty(u"imagetype", String(u"gif"));
    ASSERT_TRUE(page.exportPageImage(path, page.imageType()));
    EXPECT_EQ(path, String(project.path("content/News_2024.gif")));
    EXPECT_EQ(page.imageFilePath(), path);
    EXPECT_TRUE(project.exists("content/News_2024.gif"));
}

TEST(PageXmlTest, PagePicturesTooLargeToAllocateAreRefusedWithAMessage)
{
    // A shape this far out would ask for about 10^14 bytes, or for some
    // gigabytes; the page is refused with a message before any of it.
    TestProject project;
    for (QPoint corner : { QPoint(9999000, 10), QPoint(40000, 40000) }) {
        Page page(&project);
        page.setLabel(String(u"Far Away"));
        ASSERT_NE(page.addRectangle(QRect(corner, QSize(50, 50))), nullptr);
        project.m_errors.clear();
        String path(u"stale");
        EXPECT_FALSE(page.exportPageImage(path, page.imageType()));
        EXPECT_TRUE(path.empty());
        EXPECT_FALSE(project.exists("content/Far_Away.png"));
        ASSERT_EQ(project.m_errors.count(), 1u);
        const String& message = project.m_errors.get(0);
        EXPECT_TRUE(message.startsWith(u"Cannot draw the picture of page Far Away: ")) << message.toNarrow();
        String size = String::number(corner.x() + 50 + 1 + 6) + u" x ";
        EXPECT_NE(message.find(size), String::npos) << message.toNarrow();
        EXPECT_NE(message.find(u"67108864"), String::npos) << message.toNarrow();
    }

    // The refusal is for the far shape alone: a page within reach still draws.
    Page near(&project);
    near.setLabel(String(u"Near"));
    near.addRectangle(QRect(1000, 600, 50, 50));
    String path;
    EXPECT_TRUE(near.exportPageImage(path, near.imageType()));
    EXPECT_TRUE(project.exists("content/Near.png"));
}

TEST(PageXmlTest, PageShapesTakenOutAndAdoptedAgainLeaveThePageAsItWas)
{
    TestProject project;
    Page page(&project);
    page.setId(String(u"p1"));
    PicNode* frame = page.addRectangle(QRect(10, 20, 200, 100));
    frame->setProperty(u"frame", String(u"true"));
    PicNode* button = page.addEllipse(QRect(300, 200, 50, 50));
    button->setProperty(u"onmousedown", String(u"javascript:show_page('Rectangle_1','files/p.html',null,100)"));
    button->setProperty(u"title", String(u"Go"));
    Page::asPageNode(button)->ensureMenu().addItem(
        std::make_unique<PageMenuItem>(String(u"Mail"), String(u"javascript:mail('a@b.org')")));
    PicNode* line = page.addLine({ QPoint(325, 225), QPoint(325, 160), QPoint(110, 70) });
    line->attachEnd(0, button);
    line->attachEnd(1, frame);
    auto pageXml = [](Page& which) {
        Document document(String(u"lumavine"));
        which.writeXml(addElement(document.documentElement(), String(u"page")));
        return document.toString();
    };
    const String before = pageXml(page);

    std::unique_ptr<PicNode> outLine = page.removeNode(line);
    std::unique_ptr<PicNode> outButton = page.removeNode(button);
    EXPECT_EQ(page.pageNodes().size(), 1u);
    page.adoptNode(std::move(outButton));
    page.adoptNode(std::move(outLine));
    EXPECT_EQ(line->anchor(0), button);
    EXPECT_EQ(pageXml(page), before);

    // Moved to another page, the shape keeps its actions and its menu and
    // belongs to the page that adopted it.
    Page other(&project);
    PicNode* moved = other.adoptNode(page.removeNode(button));
    ASSERT_EQ(moved, button);
    PageNode* node = Page::asPageNode(moved);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->page(), &other);
    EXPECT_EQ(node->title(), u"Go");
    EXPECT_TRUE(node->hasMenuItems());
    EXPECT_EQ(line->anchor(0), nullptr);
    EXPECT_TRUE(line->endId(0).empty()) << "the line left behind lets go of the shape";
}
