// Writes a small project's generated pages for the browser tests:
//
//   generate_page_driver DIRECTORY
//
// DIRECTORY/content gets "Actions.html" (picture mode: a frame, picture and
// page actions, menus of the three kinds, a start-up entry) and
// "Slides.html" (no picture: a timed repeating slideshow and a manual one),
// "Links.html" (no picture: hyperlinks and mail on shapes and pictures, mail
// on other events) and "Quotes.html" (a slideshow whose id and sound hold
// quotes, mail at start-up and from a slide's link), with the pictures and
// the inner page they show.
#include "generate/PageFiles.h"
#include "tests/generate/DriverSupport.h"
#include "tests/generate/GeneratorProject.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <fstream>

using namespace lumavine;
using lumavine::test::GeneratorProject;

namespace {

bool writePicture(const QString& path, QColor colour, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::white, 4));
    painter.drawLine(0, 0, width, height);
    painter.end();
    return image.save(path);
}

PageNode* addNode(PicNode* shape, const char16_t* name, int layer)
{
    shape->setName(String(name));
    shape->setLayer(layer);
    return Page::asPageNode(shape);
}

void addMenu(PageNode* node, const char16_t* trigger, bool isStatic, const char16_t* alignment)
{
    PageMenu& menu = node->ensureMenu();
    menu.setTrigger(String(trigger));
    menu.setStatic(isStatic);
    menu.setAlignment(String(alignment));
    menu.addItem(std::make_unique<PageMenuItem>(
        String(u"Red"), String(u"javascript:show_picture('view','files/red.png',null,null,null,null,100,true)")));
    menu.addItem(std::make_unique<PageMenuItem>(
        String(u"Blue"), String(u"javascript:show_picture('view','files/blue.png',null,null,null,null,100,true)")));
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    const QString directory = test::driverDirectory(argc, argv, "generate_page_driver");
    if (directory.isEmpty())
        return 2;
    if (!writePicture(directory + "/content/files/red.png", QColor(200, 30, 30), 160, 80)
        || !writePicture(directory + "/content/files/blue.png", QColor(30, 60, 200), 80, 160))
        return 1;
    {
        std::ofstream inner((directory + "/content/inner.html").toStdString());
        inner << "<html><body style='background:#ffe080'><h1 id='inner'>Inner page</h1></body></html>\n";
    }

    GeneratorProject project(String(directory.toStdU16String()));
    project.transitions().setSetting(u"fade", u"clear", String(u"true"));

    Page& actions = project.addPage(String(u"Actions"));
    actions.setBackgroundColor(u"#f0f0e0");
    PageNode* frame = addNode(actions.addRectangle(QRect(200, 20, 320, 240)), u"view", 1);
    frame->setFrame(true);
    frame->border().setWidth(2);
    PageNode* picture = addNode(actions.addRectangle(QRect(20, 20, 150, 40)), u"show-red", 2);
    picture->setText(String(u"Red picture"));
    picture->setEventText(PageNode::MouseDown,
        String(
            u"javascript:show_picture('view','files/red.png','Red &amp; &#146;ready&#146;',null,null,null,100,true)"));
    picture->setEventText(PageNode::Title, String(u"Shows \"red\" \u2014 rouge"));
    PageNode* pageButton = addNode(actions.addRectangle(QRect(20, 70, 150, 40)), u"show-inner", 2);
    pageButton->setText(String(u"Inner page"));
    pageButton->setEventText(PageNode::MouseDown, String(u"javascript:show_page('view','inner.html',null,80)"));
    PageNode* clear = addNode(actions.addRectangle(QRect(20, 120, 150, 40)), u"clear", 2);
    clear->setText(String(u"Clear"));
    clear->setEventText(PageNode::MouseDown, String(u"javascript:clear_frame('view')"));
    addMenu(
        addNode(actions.addRectangle(QRect(20, 300, 100, 30)), u"flyover", 2), u"onmouseover", false, u"align-bottom");
    addMenu(
        addNode(actions.addRectangle(QRect(140, 300, 100, 30)), u"click", 2), u"onmousedown", false, u"align-bottom");
    addMenu(
        addNode(actions.addRectangle(QRect(260, 300, 100, 30)), u"static", 2), u"onmousedown", true, u"align-right");
    // A default name holds a blank, which no style sheet selector takes as it is.
    addMenu(addNode(actions.addRectangle(QRect(480, 300, 120, 30)), u"Round Rectangle_1", 2), u"onmousedown", false,
        u"align-bottom");
    // A name with quotes and an ampersand lands in attributes and script strings alike.
    addMenu(addNode(actions.addRectangle(QRect(20, 350, 120, 30)), u"Ann's \"menu\" & more", 2), u"onmousedown", true,
        u"align-right");
    PageNode* mail = addNode(actions.addEllipse(QRect(400, 300, 60, 40)), u"mail", 2);
    mail->setEventText(PageNode::MouseDown, String(u"javascript:mail('ann@example.org','Hello & welcome')"));
    actions.initialize().list().add(String(u"start"),
        String(
            u"javascript:show_picture('view','files/blue.png','At start: caf\u00e9 \u2615',null,null,null,50,true)"));

    Page& slides = project.addPage(String(u"Slides"));
    slides.setProperty(u"imagetype", String(u"none"));
    PageNode* show = addNode(slides.addRectangle(QRect(10, 10, 200, 150)), u"show", 1);
    show->setFrame(true);
    PageNode* manual = addNode(slides.addRectangle(QRect(230, 10, 200, 150)), u"manual", 1);
    manual->setFrame(true);
    PageNode* next = addNode(slides.addRectangle(QRect(230, 170, 90, 30)), u"next", 2);
    next->setText(String(u"Next \u25b6"));
    next->setEventText(PageNode::MouseDown, String(u"javascript:next_slide('manual')"));
    for (const char16_t* id : { u"timed", u"steps" }) {
        auto slideshow = std::make_unique<Slideshow>(String(id));
        slideshow->setName(String(id));
        slideshow->slideList().add(
            String(u"red"), String(u"javascript:show_picture('','files/red.png','Slide one',null,null,null,100,true)"));
        slideshow->slideList().add(String(u"blue"),
            String(u"javascript:show_picture('','files/blue.png','Slide two',null,null,null,100,true)"));
        slides.addSlideshow(std::move(slideshow));
    }
    slides.initialize().list().add(String(u"timed"), String(u"javascript:show_slides('show','timed',1,true,false)"));
    slides.initialize().list().add(String(u"manual"), String(u"javascript:show_slides('manual','steps',1,false,true)"));

    // No picture: a hyperlink and mail on shapes and pictures, and mail
    // actions on events that no link can stand for.
    Page& links = project.addPage(String(u"Links"));
    links.setProperty(u"imagetype", String(u"none"));
    links.setBackgroundColor(u"#f0f0e0");
    PageNode* toInner = addNode(links.addRectangle(QRect(20, 20, 150, 40)), u"to-inner", 1);
    toInner->setText(String(u"Inner page"));
    toInner->setEventText(PageNode::Href, String(u"inner.html"));
    toInner->setEventText(PageNode::Title, String(u"Opens the inner page"));
    PageNode* write = addNode(links.addRectangle(QRect(20, 70, 150, 40)), u"write", 1);
    write->setText(String(u"Write to Ann"));
    write->setEventText(PageNode::MouseDown, String(u"javascript:mail('ann@example.org','Hello & welcome')"));
    PageNode* pictureMail = addNode(links.addPicture(200, 20, String(u"files/red.png")), u"picture-mail", 1);
    pictureMail->setText(String(u"Mail"));
    pictureMail->setEventText(PageNode::MouseDown, String(u"javascript:mail('ann@example.org','Picture')"));
    PageNode* pictureLink = addNode(links.addPicture(400, 20, String(u"files/blue.png")), u"picture-link", 1);
    pictureLink->setEventText(PageNode::Href, String(u"inner.html"));
    const char16_t* eventNames[] = { u"up", u"over", u"out" };
    const int events[] = { PageNode::MouseUp, PageNode::MouseOver, PageNode::MouseOut };
    for (int i = 0; i < 3; ++i) {
        PageNode* node = addNode(links.addRectangle(QRect(20 + 120 * i, 200, 100, 40)), eventNames[i], 1);
        node->setText(String(u"Mail on ") + eventNames[i]);
        node->setEventText(events[i], String(u"javascript:mail('ann@example.org','") + eventNames[i] + u" & away')");
    }

    // A slideshow id with an apostrophe and a sound file named with double
    // quotes, in the page's script data; mail from a start-up entry and
    // from the link of a slide.
    Page& quotes = project.addPage(String(u"Quotes"));
    quotes.setProperty(u"imagetype", String(u"none"));
    PageNode* view = addNode(quotes.addRectangle(QRect(10, 10, 200, 150)), u"view", 1);
    view->setFrame(true);
    auto quoted = std::make_unique<Slideshow>(String(u"o'show"));
    quoted->setName(String(u"Quoted"));
    quoted->setAudio(String(u"files/say \"hi\".mp3"));
    quoted->slideList().add(String(u"red"),
        String(u"javascript:show_picture('','files/red.png','Write',"
               u"'javascript:mail(\"ann@example.org\",\"Slide & show\")',null,null,100,true)"));
    quotes.addSlideshow(std::move(quoted));
    quotes.initialize().list().add(String(u"show"), String(u"javascript:show_slides('view',\"o'show\",1,false,true)"));
    quotes.initialize().list().add(String(u"mail"), String(u"javascript:mail('ann@example.org','Start & go')"));

    bool ok = test::writeDriverPage(actions);
    ok = test::writeDriverPage(slides) && ok;
    ok = test::writeDriverPage(links) && ok;
    ok = test::writeDriverPage(quotes) && ok;
    return ok ? 0 : 1;
}
