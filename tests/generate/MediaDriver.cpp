// Writes a small project's pages with video and sound for the browser tests:
//
//   generate_media_driver DIRECTORY
//
// The test makes the media first (DIRECTORY/content/files: clip.webm, a
// short clip; long.webm, some seconds long; beep.ogg, a short sound;
// tone.ogg, a longer one). The driver adds the pictures red.png and
// blue.png and writes DIRECTORY/content "Media.html" (a frame and areas
// playing, pausing and clearing video and sound) and "Show.html" (a
// slideshow with a sound, started from an area) and "Start" (video and
// sound started as the page loads).
#include "generate/PageFiles.h"
#include "tests/generate/DriverSupport.h"
#include "tests/generate/GeneratorProject.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

using namespace lumavine;
using lumavine::test::GeneratorProject;

namespace {

PageNode* addArea(Page& page, QRect place, const char16_t* name, const char16_t* action)
{
    PicNode* shape = page.addRectangle(place);
    shape->setName(String(name));
    shape->setLayer(2);
    PageNode* node = Page::asPageNode(shape);
    node->setText(String(name));
    node->setEventText(PageNode::MouseDown, String(action));
    return node;
}

PageNode* addFrame(Page& page, QRect place, const char16_t* name)
{
    PicNode* shape = page.addRectangle(place);
    shape->setName(String(name));
    shape->setLayer(1);
    PageNode* node = Page::asPageNode(shape);
    node->setFrame(true);
    return node;
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    const QString directory = test::driverDirectory(argc, argv, "generate_media_driver");
    if (directory.isEmpty())
        return 2;
    for (const auto& [name, colour] : { std::pair { "red", QColor(200, 30, 30) }, { "blue", QColor(30, 60, 200) } }) {
        QImage picture(160, 120, QImage::Format_RGB32);
        picture.fill(colour);
        if (!picture.save(directory + "/content/files/" + name + ".png"))
            return 1;
    }

    GeneratorProject project(String(directory.toStdU16String()));
    Page& media = project.addPage(String(u"Media"));
    media.setBackgroundColor(u"#f0f0e0");
    addFrame(media, QRect(300, 20, 320, 240), u"screen");
    const struct {
        const char16_t* name;
        const char16_t* action;
    } areas[] = {
        { u"twice", u"javascript:play_video('screen','files/clip.webm','full',50,2)" },
        { u"forever", u"javascript:play_video('screen','files/clip.webm','mini',100,0)" },
        { u"long", u"javascript:play_video('screen','files/long.webm','none',100,1)" },
        { u"pause", u"javascript:pause_video('screen')" },
        { u"clear", u"javascript:clear_frame('screen')" },
        { u"beep", u"javascript:play_audio('','files/beep.ogg','none',100,2)" },
        { u"tone", u"javascript:play_audio('','files/tone.ogg','none',100,1)" },
        { u"silence", u"javascript:clear_audio()" },
    };
    int top = 20;
    for (const auto& area : areas) {
        addArea(media, QRect(20, top, 120, 24), area.name, area.action);
        top += 30;
    }

    Page& show = project.addPage(String(u"Show"));
    show.setBackgroundColor(u"#f0f0e0");
    addFrame(show, QRect(200, 20, 200, 150), u"stage");
    addArea(show, QRect(20, 20, 120, 30), u"start", u"javascript:show_slides('stage','tour',0.5,false,false)");
    auto tour = std::make_unique<Slideshow>(String(u"tour"));
    tour->setName(String(u"tour"));
    tour->setAudio(String(u"files/tone.ogg"));
    tour->slideList().add(
        String(u"red"), String(u"javascript:show_picture('','files/red.png',null,null,null,null,100,true)"));
    tour->slideList().add(
        String(u"blue"), String(u"javascript:show_picture('','files/blue.png',null,null,null,null,100,true)"));
    show.addSlideshow(std::move(tour));

    Page& start = project.addPage(String(u"Start"));
    start.setBackgroundColor(u"#f0f0e0");
    addFrame(start, QRect(300, 20, 320, 240), u"screen");
    start.initialize().list().add(
        String(u"video"), String(u"javascript:play_video('screen','files/long.webm','full',100,1)"));
    start.initialize().list().add(String(u"sound"), String(u"javascript:play_audio('','files/tone.ogg','none',100,1)"));

    bool ok = test::writeDriverPage(media);
    ok = test::writeDriverPage(show) && ok;
    ok = test::writeDriverPage(start) && ok;
    for (const String* error : project.m_errors)
        std::fprintf(stderr, "%s\n", error->toNarrow().c_str());
    return ok && project.m_errors.isEmpty() ? 0 : 1;
}
