#include "generate/MediaFormats.h"

#include "page/PageMenu.h"
#include "page/PageMenuItem.h"
#include "page/Slideshow.h"
#include "tests/generate/GeneratorProject.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lumavine;
using lumavine::test::GeneratorProject;

namespace {

std::vector<std::string> narrow(const std::vector<String>& texts)
{
    std::vector<std::string> result;
    for (const String& text : texts)
        result.push_back(text.toNarrow());
    return result;
}

PageNode* addShape(Page& page, int top, const char16_t* name)
{
    PicNode* shape = page.addRectangle(QRect(10, top, 80, 20));
    shape->setName(String(name));
    return Page::asPageNode(shape);
}

}

TEST(MediaFormats, OlderFormatsAreFoundWhereverThePageNamesMedia)
{
    GeneratorProject project(String(u""));
    Page& page = project.addPage(String(u"Home"));
    addShape(page, 10, u"video")
        ->setEventText(PageNode::MouseDown, String(u"javascript:play_video('f','files/garden.AVI','full',100,1)"));
    // Current formats, pictures and texts that only look like files pass.
    addShape(page, 40, u"webm")
        ->setEventText(PageNode::MouseDown, String(u"javascript:play_video('f','files/garden.webm','full',100,1)"));
    addShape(page, 70, u"title")->setEventText(PageNode::Title, String(u"see clip.wmv"));
    PageNode* picture = addShape(page, 100, u"picture");
    picture->setEventText(PageNode::MouseOver,
        String(u"javascript:show_picture('f','files/lake.jpg',null,null,null,'files/wind.wma?v=2',100,true)"));
    picture->ensureMenu().addItem(std::make_unique<PageMenuItem>(
        String(u"Inner"), String(u"javascript:show_page('f','inner.html','sounds/bell.wav',100)")));
    picture->menu()->addItem(std::make_unique<PageMenuItem>(
        String(u"Tune"), String(u"javascript:play_audio('','http://example.org/tune.mid','none',100,0)")));
    page.initialize().list().add(
        String(u"start"), String(u"javascript:play_video('f','files/garden.AVI','none',50,1)"));
    page.initialize().list().add(String(u"sound"), String(u"javascript:play_audio('','files/song.mp3','none',100,1)"));
    auto slideshow = std::make_unique<Slideshow>(String(u"tour"));
    slideshow->setAudio(String(u"C:\\media\\old.tour.mpg"));
    slideshow->slideList().add(
        String(u"one"), String(u"javascript:show_picture('','files/a.png',null,null,null,'files/a.ogg',100,true)"));
    page.addSlideshow(std::move(slideshow));

    // Each once, in the order generation meets them.
    EXPECT_EQ(narrow(oldMediaFiles(page)),
        (std::vector<std::string> {
            "files/garden.AVI", "files/wind.wma?v=2", "http://example.org/tune.mid", "C:\\media\\old.tour.mpg" }));

    // File kinds as chosen files become actions.
    EXPECT_TRUE(isVideoExtension(String(u"WebM")) && isVideoExtension(String(u"avi")));
    EXPECT_FALSE(isVideoExtension(String(u"ogg")));
    EXPECT_TRUE(isAudioExtension(String(u"ogg")) && isAudioExtension(String(u"wma")));
    EXPECT_FALSE(isAudioExtension(String(u"mp4")));
}
