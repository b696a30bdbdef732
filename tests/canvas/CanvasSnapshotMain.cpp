#include "forms/XmlDialog.h"
#include "page/Page.h"
#include "picture/canvas/PageView.h"
#include "picture/canvas/ShapeDialogs.h"
#include "tests/support/TestProject.h"
#include "xml/Document.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

// Shows the first page of a project on the canvas offscreen, its first two
// shapes selected, and saves what the canvas looks like at 100% and 50%, so
// that the canvas can be looked at without running the designer:
//     canvas_snapshot PROJECT.xml OUT-PREFIX
// writes OUT-PREFIX-100.png and OUT-PREFIX-50.png, and the property
// dialogs of a rectangle, a picture and a line as OUT-PREFIX-dialog-KIND.png
// (shapes of the page when it has them, otherwise ones made for the shot),
// with their Click, Move and Menu tabs as OUT-PREFIX-dialog-KIND-Click.png.
int main(int argc, char** argv)
{
    using namespace lumavine;
    if (argc < 3) {
        std::fprintf(stderr, "usage: canvas_snapshot PROJECT.xml OUT-PREFIX\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    Document document;
    if (!document.load(String(argv[1])) || !document.documentElement()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    auto pages = document.getElementsByTagName(u"page");
    if (pages->length() == 0) {
        std::fprintf(stderr, "%s holds no page\n", argv[1]);
        return 1;
    }
    test::TestProject project(String(QFileInfo(QString::fromLocal8Bit(argv[1])).absolutePath().toStdU16String()));
    Page& page = project.addPage(String(u"snapshot"));
    if (!page.load(static_cast<const Element*>(pages->item(0)))) {
        std::fprintf(stderr, "cannot read the first page of %s\n", argv[1]);
        return 1;
    }
    PageView view(page);
    int selected = 0;
    for (PicNode* shape : page.shapes()) {
        if (selected++ == 2)
            break;
        page.select(shape, true, true);
    }
    view.resize(900, 700);
    view.show();
    for (int percent : { 100, 50 }) {
        view.setZoom(percent / 100.0);
        QApplication::processEvents();
        std::string path = std::string(argv[2]) + "-" + std::to_string(percent) + ".png";
        if (!view.grab().save(QString::fromStdString(path))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    // The property dialogs, each grabbed as soon as it shows and cancelled.
    ShapeDialogs dialogs;
    const std::string prefix = argv[2];
    bool written = true;
    for (ShapeKind kind : { ShapeKind::Rectangle, ShapeKind::Image, ShapeKind::Line }) {
        PicNode* shape = nullptr;
        for (PicNode* candidate : page.shapes())
            if (candidate->kind() == kind && !shape)
                shape = candidate;
        if (!shape && kind == ShapeKind::Rectangle)
            shape = page.addRectangle(QRect(10, 10, 100, 60));
        if (!shape && kind == ShapeKind::Line)
            shape = page.addLine({ QPoint(10, 10), QPoint(110, 40) });
        if (!shape) {
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            const String file = project.contentDirectory() + u"/snapshot-picture.png";
            picture.save(QString::fromStdU16String(file));
            shape = page.addPicture(10, 10, file);
        }
        const std::string path = prefix + "-dialog-"
            + (kind == ShapeKind::Rectangle    ? "rectangle"
                    : kind == ShapeKind::Image ? "picture"
                                               : "line")
            + ".png";
        QTimer grabber;
        QObject::connect(&grabber, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<XmlDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            grabber.stop();
            written = dialog->grab().save(QString::fromStdString(path)) && written;
            // A page's shape has its actions on tabs of their own.
            for (const char* tab : { "Click", "Move", "Menu" }) {
                if (!dialog->selectForm(String::fromNarrow(tab)))
                    continue;
                QApplication::processEvents();
                const std::string tabPath = path.substr(0, path.size() - 4) + "-" + tab + ".png";
                written = dialog->grab().save(QString::fromStdString(tabPath)) && written;
            }
            dialog->onCancel();
        });
        grabber.start(50);
        dialogs.openEditNodeDialog(&view, page, *shape, project.contentDirectory());
    }
    if (!written) {
        std::fprintf(stderr, "cannot write the dialog pictures\n");
        return 1;
    }
    return 0;
}
