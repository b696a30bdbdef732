// Writes one page per transition kind for the browser tests of the
// transitions:
//
//   generate_transition_driver DIRECTORY
//
// DIRECTORY/content gets "<kind>.html" for each of the seventeen kinds, the
// kind in all four slots with a two second duration: a frame "view" for
// pictures, pages and video, and a node "open" with a menu. Beside them are
// two pictures and two inner pages of plain, distinct colours, so that a
// frame's colours tell which content shows. DIRECTORY/preview gets the
// transition dialog's preview page for a circle iris, with its pictures.
#include "dialogs/TransitionDialog.h"
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

bool writePicture(const QString& path, QColor colour)
{
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(colour);
    // Pale stripes seven pixels wide: squares of a pixelated picture cut
    // across them.
    QPainter painter(&image);
    for (int x = 7; x < image.width(); x += 14)
        painter.fillRect(QRect(x, 0, 7, image.height()), colour.lighter(160));
    painter.end();
    return image.save(path);
}

bool writeInner(const QString& path, const char* colour, const char* pale)
{
    std::ofstream inner(path.toStdString());
    inner << "<html><body style='margin:0;background:repeating-linear-gradient(90deg," << colour << " 0 7px," << pale
          << " 7px 14px)'></body></html>\n";
    return static_cast<bool>(inner);
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    const QString directory = test::driverDirectory(argc, argv, "generate_transition_driver");
    if (directory.isEmpty())
        return 2;
    if (!writePicture(directory + "/content/files/red.png", QColor(200, 30, 30))
        || !writePicture(directory + "/content/files/blue.png", QColor(30, 60, 200))
        || !writeInner(directory + "/content/yellow.html", "#e0d020", "#f0e890")
        || !writeInner(directory + "/content/green.html", "#20a040", "#90d0a0"))
        return 1;

    QDir().mkpath(directory + "/preview/images");
    if (!writePicture(directory + "/preview/images/one.jpg", QColor(200, 30, 30))
        || !writePicture(directory + "/preview/images/two.jpg", QColor(30, 60, 200)))
        return 1;
    {
        std::ofstream preview((directory + "/preview/transition.html").toStdString());
        preview << TransitionDialog::previewPage(String(u"Iris(irisstyle='circle',motion='out')"), 2, false).toNarrow();
        if (!preview)
            return 1;
    }

    GeneratorProject project(String(directory.toStdU16String()));
    Transitions& transitions = project.transitions();
    const char16_t* kinds[] = { u"barn", u"blinds", u"checkerboard", u"fade", u"gradientwipe", u"inset", u"iris",
        u"pixelate", u"radialwipe", u"randombars", u"randomdissolve", u"slide", u"spiral", u"stretch", u"strips",
        u"wheel", u"zigzag" };
    bool ok = true;
    for (const char16_t* kind : kinds) {
        transitions.setSetting(kind, u"iduration", String(u"2"));
        Page& page = project.addPage(String(kind));
        page.setProperty(u"imagetype", String(u"none"));
        page.setBackgroundColor(u"#ffffff");
        for (int slot = 0; slot < Page::transitionSlotCount; ++slot)
            page.setTransition(slot, String(kind));
        PicNode* view = page.addRectangle(QRect(10, 10, 200, 150));
        view->setName(String(u"view"));
        view->setLayer(1);
        Page::asPageNode(view)->setFrame(true);
        PicNode* open = page.addRectangle(QRect(230, 10, 120, 30));
        open->setName(String(u"open"));
        open->setLayer(1);
        PageMenu& menu = Page::asPageNode(open)->ensureMenu();
        menu.setTrigger(String(u"onmousedown"));
        menu.setAlignment(String(u"align-bottom"));
        for (const char16_t* entry : { u"First entry", u"Second entry", u"Third entry" })
            menu.addItem(std::make_unique<PageMenuItem>(String(entry), String(u"javascript:clear_frame('view')")));
        String html;
        String image;
        bool written = writePageFiles(page, html, image);
        std::printf("%s %s\n", written ? "wrote" : "failed", html.toNarrow().c_str());
        ok = written && ok;
    }
    return ok ? 0 : 1;
}
