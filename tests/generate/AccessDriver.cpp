// Writes the pages of the keyboard and narrow-window browser tests:
//
//   generate_access_driver DIRECTORY
//
// DIRECTORY/content gets "Fitting.html", an 800 pixel wide picture page that
// scales to narrow windows, and "Fixed.html", the same page without that
// option, and "Blocks", the fitting page built of elements without picture.
// Each has a frame for pictures, a frame with a manual slideshow, a
// picture button, a menu that opens on a click and one that opens on
// pointing, each with two picture entries and a mail entry.
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

PageNode* addNode(PicNode* shape, const char16_t* name, int layer)
{
    shape->setName(String(name));
    shape->setLayer(layer);
    return Page::asPageNode(shape);
}

String showPicture(const char16_t* frame, const char16_t* file, const char16_t* caption)
{
    return String(u"javascript:show_picture('") + frame + u"','files/" + file + u"','" + caption
        + u"',null,null,null,100,true)";
}

void addMenu(PageNode* node, const char16_t* trigger)
{
    PageMenu& menu = node->ensureMenu();
    menu.setTrigger(String(trigger));
    menu.setAlignment(String(u"align-bottom"));
    menu.addItem(std::make_unique<PageMenuItem>(String(u"Red"), showPicture(u"view", u"red.png", u"Red")));
    menu.addItem(std::make_unique<PageMenuItem>(String(u"Blue"), showPicture(u"view", u"blue.png", u"Blue")));
    menu.addItem(
        std::make_unique<PageMenuItem>(String(u"Write"), String(u"javascript:mail('ann@example.org','Pictures')")));
}

void buildPage(Page& page, bool responsive)
{
    page.setResponsive(responsive);
    page.setBackgroundColor(u"#ffffff");
    page.setPictureSize(800, 500);
    PageNode* view = addNode(page.addRectangle(QRect(400, 20, 360, 260)), u"view", 1);
    view->setFrame(true);
    view->border().setWidth(2);
    PageNode* slides = addNode(page.addRectangle(QRect(400, 300, 200, 150)), u"slides", 1);
    slides->setFrame(true);
    slides->setEventText(PageNode::Title, String(u"Slideshow"));

    PageNode* red = addNode(page.addRectangle(QRect(20, 20, 160, 60)), u"red", 2);
    red->setText(String(u"Red picture"));
    red->setEventText(PageNode::MouseDown, showPicture(u"view", u"red.png", u"Red"));
    red->setEventText(PageNode::Title, String(u"Shows the red picture"));
    PageNode* clicked = addNode(page.addRectangle(QRect(20, 100, 160, 40)), u"menu", 2);
    clicked->setText(String(u"Pictures"));
    addMenu(clicked, u"onmousedown");
    PageNode* pointed = addNode(page.addRectangle(QRect(200, 100, 160, 40)), u"flyover", 2);
    pointed->setText(String(u"More pictures"));
    addMenu(pointed, u"onmouseover");

    auto slideshow = std::make_unique<Slideshow>(String(u"steps"));
    slideshow->setName(String(u"Steps"));
    slideshow->slideList().add(String(u"red"), showPicture(u"", u"red.png", u"One"));
    slideshow->slideList().add(String(u"blue"), showPicture(u"", u"blue.png", u"Two"));
    page.addSlideshow(std::move(slideshow));
    page.initialize().list().add(String(u"steps"), String(u"javascript:show_slides('slides','steps',1,true,true)"));
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    const QString directory = test::driverDirectory(argc, argv, "generate_access_driver");
    if (directory.isEmpty())
        return 2;
    for (auto [name, colour] : { std::pair("red", QColor(200, 30, 30)), std::pair("blue", QColor(30, 60, 200)) }) {
        QImage image(160, 80, QImage::Format_RGB32);
        image.fill(colour);
        if (!image.save(directory + "/content/files/" + name + ".png"))
            return 1;
    }

    GeneratorProject project(String(directory.toStdU16String()));
    bool ok = true;
    for (auto [label, responsive] :
        { std::pair(u"Fitting", true), std::pair(u"Fixed", false), std::pair(u"Blocks", true) }) {
        Page& page = project.addPage(String(label));
        buildPage(page, responsive);
        if (String(label).equals(u"Blocks"))
            page.setProperty(u"imagetype", String(u"none"));
        String html;
        String image;
        bool written = writePageFiles(page, html, image);
        std::printf("%s %s\n", written ? "wrote" : "failed", html.toNarrow().c_str());
        ok = written && ok;
    }
    return ok ? 0 : 1;
}
