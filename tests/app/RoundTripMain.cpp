// Designs a page as a user would, through the canvas and the dialogs only,
// and saves it, so that the browser test can visit what came out:
//     designer_roundtrip FOLDER
// makes FOLDER/trip (a new project), and on a page of it a frame and a
// rectangle whose click shows a picture in the frame, whose pop-up menu has
// two entries, and a slideshow of two pictures that a start-up entry starts
// in the frame. Prints one JSON line for the test: the page's HTML file and
// the site paths it should show.
#include "app/NewProject.h"
#include "app/ProjectWindow.h"
#include "core/StringList.h"
#include "dialogs/ActionDialogs.h"
#include "dialogs/PageDialogs.h"
#include "forms/FormChooser.h"
#include "forms/ValueDialog.h"
#include "forms/XmlForm.h"
#include "page/Action.h"
#include "page/EntryList.h"
#include "page/Page.h"
#include "page/PageMenu.h"
#include "page/PageNode.h"
#include "page/Slideshow.h"
#include "picture/canvas/PageView.h"
#include "tests/support/WhenShown.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace lumavine;
using test::WhenShown;

namespace {

// Picture files picked as a user would pick them, without a file dialog.
class PickedFiles : public FormChooser {
public:
    explicit PickedFiles(std::vector<String> files) : m_files(std::move(files)) { setCurrent(this); }
    ~PickedFiles() override { setCurrent(nullptr); }
    bool chooseFiles(QWidget*, const String&, std::vector<String>& paths) override
    {
        paths = m_files;
        return true;
    }

private:
    std::vector<String> m_files;
};

void click(QWidget* control)
{
    if (!control) {
        std::fprintf(stderr, "designer_roundtrip: a control is missing\n");
        std::exit(1);
    }
    QTest::mouseClick(control, Qt::LeftButton);
}

String picture(const std::string& folder, const char* name, Qt::GlobalColor color)
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(color);
    const std::string path = folder + "/" + name;
    image.save(QString::fromStdString(path));
    return String::fromNarrowLossless(path);
}

// The site path the model holds in a show_picture action after saving.
std::string shownPicture(const String& action)
{
    String function;
    StringList arguments;
    if (!parseAction(action, function, arguments, false))
        return std::string();
    return arguments.get(1).toNarrow();
}

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: designer_roundtrip FOLDER\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const std::string folder = argv[1];
    String projectFile;
    String message;
    if (!createProject(String::fromNarrowLossless(folder), String(u"trip"), projectFile, message)) {
        std::fprintf(stderr, "designer_roundtrip: %s\n", message.toNarrow().c_str());
        return 1;
    }
    // The user's own pictures, outside the project.
    const String shown = picture(folder, "harbour.png", Qt::darkBlue);
    const String first = picture(folder, "first_slide.png", Qt::darkGreen);
    const String second = picture(folder, "second_slide.png", Qt::darkRed);

    ProjectWindow window;
    window.setErrorReporter([](const String& text) { std::fprintf(stderr, "error: %s\n", text.toNarrow().c_str()); });
    if (!window.open(projectFile))
        return 1;
    window.resize(900, 700);
    window.show();
    PageView& view = *window.pageView();
    Page& page = view.page();

    // A frame and a rectangle, from the shape menu's New commands.
    view.setContextPoint(QPoint(300, 40));
    view.command(PageView::NewFrame);
    PicNode* frame = page.firstSelected();
    view.setContextPoint(QPoint(40, 40));
    view.command(PageView::NewRectangle);
    PicNode* box = page.firstSelected();
    const String frameName = frame->getName();

    // The rectangle's properties: a click shows a picture in the frame, and
    // a pop-up menu of two entries.
    WhenShown<XmlDialog> properties([&](XmlDialog& dialog) {
        dialog.selectForm(String(u"Click"));
        XmlForm* clicks = dialog.form(u"Click");
        {
            WhenShown<ImageDialog> image([&](ImageDialog& shownDialog) {
                shownDialog.formAt(0)->setValue(u"picturetarget", frameName);
                shownDialog.formAt(0)->setValue(u"imageurl", shown);
                click(shownDialog.findControl(u"ok"));
            });
            click(clicks->findControl(u"onmousedown:showimage"));
        }
        dialog.selectForm(String(u"Menu"));
        XmlForm* menu = dialog.form(u"Menu");
        for (const char* script :
            { "javascript:clear_frame('FRAME')", "javascript:show_page('_self','trip.html',null,100)" }) {
            String action = String::fromNarrow(script);
            action.replaceAll(u"FRAME", frameName);
            WhenShown<MenuItemDialog> entry([&](MenuItemDialog& item) {
                WhenShown<ValueDialog> custom([&](ValueDialog& value) {
                    value.formAt(0)->setValue(u"value", action);
                    click(value.findControl(u"ok"));
                });
                click(item.formAt(0)->findControl(u"url:custom"));
                item.formAt(0)->setValue(u"name", action.contains(u"clear") ? String(u"Clear") : String(u"Again"));
                click(item.findControl(u"ok"));
            });
            click(menu->findControl(u"add"));
        }
        click(menu->findControl(u"ok"));
    });
    // The rectangle is selected since it was made: Edit opens its dialog.
    if (!view.command(PageView::Edit) || !properties.done()) {
        std::fprintf(stderr, "designer_roundtrip: the rectangle's dialog was not confirmed\n");
        return 1;
    }

    // A slideshow of two pictures.
    PickedFiles picked({ first, second });
    WhenShown<ListDialog> slideshows([&](ListDialog& dialog) {
        XmlForm& list = *dialog.formAt(0);
        {
            WhenShown<ValueDialog> name([](ValueDialog& value) {
                value.formAt(0)->setValue(u"value", String(u"Tour"));
                click(value.findControl(u"ok"));
            });
            click(list.findControl(u"add"));
        }
        WhenShown<SlideshowDialog> slides([](SlideshowDialog& show) {
            // Each picture's own dialog, confirmed as it comes.
            QTimer answer;
            QObject::connect(&answer, &QTimer::timeout, [&] {
                auto* image = qobject_cast<ImageDialog*>(QApplication::activeModalWidget());
                if (!image || !image->isVisible() || image->property("answered").toBool())
                    return;
                image->setProperty("answered", true);
                click(image->findControl(u"ok"));
            });
            answer.start(5);
            click(show.formAt(0)->findControl(u"pictures"));
            click(show.findControl(u"ok"));
        });
        click(list.findControl(u"edit"));
        click(dialog.findControl(u"ok"));
    });
    view.command(PageView::Slideshows);

    // A start-up entry that starts it in the frame, a second a slide.
    const String tour = page.slideshowList().empty() ? String() : page.slideshowList().front()->id();
    WhenShown<InitializeDialog> initialize([&](InitializeDialog& dialog) {
        WhenShown<InitializeEntryDialog> entry([&](InitializeEntryDialog& entryDialog) {
            XmlForm& form = *entryDialog.formAt(0);
            WhenShown<SlideDialog> slide([&](SlideDialog& slideDialog) {
                XmlForm& slideForm = *slideDialog.formAt(0);
                slideForm.setValue(u"slideshow", tour);
                slideForm.setValue(u"slideshowtarget", frameName);
                slideForm.setValue(u"delay", String(u"1"));
                slideForm.setValue(u"repeat", String(u"true"));
                click(slideDialog.findControl(u"ok"));
            });
            click(form.findControl(u"function:showslides"));
            form.setValue(u"name", String(u"Start the tour"));
            click(entryDialog.findControl(u"ok"));
        });
        click(dialog.formAt(0)->findControl(u"add"));
        click(dialog.findControl(u"ok"));
    });
    view.command(PageView::Initialize);

    if (!window.save())
        return 1;
    // What the saved model names, now that the files are in the project.
    const PageNode* node = Page::asPageNode(box);
    std::string slides;
    for (Slideshow* show : page.slideshowList())
        for (Element* slide : show->slides())
            slides += (slides.empty() ? "\"" : ",\"") + shownPicture(EntryList::actionOf(slide)) + "\"";
    std::printf("{\"page\":\"%s\",\"box\":\"%s\",\"frame\":\"%s\",\"click\":\"%s\",\"menu\":%zu,\"slides\":[%s]}\n",
        page.htmlFilePath().toNarrow().c_str(), box->getName().toNarrow().c_str(), frameName.toNarrow().c_str(),
        shownPicture(node->eventText(PageNode::MouseDown)).c_str(), node->menu() ? node->menu()->itemCount() : 0,
        slides.c_str());
    return 0;
}
