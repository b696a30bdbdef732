#include "dialogs/ActionDialogs.h"
#include "dialogs/FtpDialogs.h"
#include "dialogs/PageDialogListener.h"
#include "dialogs/PageDialogs.h"
#include "dialogs/PropertiesDialog.h"
#include "dialogs/TransitionDialog.h"
#include "forms/XmlForm.h"
#include "generate/Transitions.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "tests/support/Readable.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestProject.h"
#include "tests/support/WhenShown.h"

#include <QApplication>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace lumavine {
namespace {

// Every dialog the designer opens, on each of its tabs, as it first shows:
// nothing a person reads is cut off or lies outside its box.
TEST(DialogLayout, EveryDialogShowsItsTextsWhole)
{
    test::TestProject project;
    Page& page = project.addPage(String(u"Welcome"));
    PicNode* frame = page.addRectangle(QRect(10, 10, 100, 100));
    Page::asPageNode(frame)->setFrame(true);
    frame->setName(String(u"F1"));
    PageDialogListener listener { page };
    test::TemporaryFolder installation { "lumavine-dialog-layout" };
    const std::string connections = installation.narrow() + "/ftp.xml";
    FtpConnections stored(connections);
    stored.add({ u"home", u"ftp.example.org", 21, u"ann", u"", u"/www" });
    ASSERT_TRUE(stored.save());
    Transitions transitions;
    transitions.resetAll();
    String action;
    int flags = 3;

    const std::vector<std::pair<std::string, std::function<std::unique_ptr<XmlDialog>()>>> dialogs = {
        { "audio",
            [&] { return std::make_unique<MediaDialog>(MediaDialog::Audio, page, nullptr, &listener, action); } },
        { "video",
            [&] { return std::make_unique<MediaDialog>(MediaDialog::Video, page, nullptr, &listener, action); } },
        { "content", [&] { return std::make_unique<ContentDialog>(page, nullptr, &listener, action, true); } },
        { "image", [&] { return std::make_unique<ImageDialog>(page, nullptr, &listener, action, true); } },
        { "mail", [&] { return std::make_unique<MailDialog>(page, nullptr, &listener, action); } },
        { "clear frame",
            [&] {
                return std::make_unique<TargetDialog>(
                    page, nullptr, &listener, action, String(u"clear_frame"), String(u"Clear"), String(u"Clear Frame"));
            } },
        { "image size", [&] { return std::make_unique<ImageSizeDialog>(nullptr, &listener); } },
        { "import slides", [&] { return std::make_unique<ImportSlidesDialog>(page, nullptr, &listener); } },
        { "page", [&] { return std::make_unique<PageDialog>(page, nullptr, &listener, String(u"Welcome")); } },
        { "pages",
            [&] { return std::make_unique<ListDialog>(nullptr, &listener, String(u"Pages"), String(u"pagelist")); } },
        { "slideshows",
            [&] {
                return std::make_unique<ListDialog>(
                    nullptr, &listener, String(u"Slideshows"), String(u"slideshowlist"));
            } },
        { "initialize", [&] { return std::make_unique<InitializeDialog>(nullptr, &listener); } },
        { "initialize entry",
            [&] { return std::make_unique<InitializeEntryDialog>(nullptr, &listener, String(u"Start"), String()); } },
        { "slideshow",
            [&] { return std::make_unique<SlideshowDialog>(nullptr, &listener, String(u"Tour"), String()); } },
        { "menu item",
            [&] {
                return std::make_unique<MenuItemDialog>(page, nullptr, &listener, String(u"Home"), String(), String());
            } },
        { "slide", [&] { return std::make_unique<SlideDialog>(page, nullptr, &listener, action); } },
        { "page properties", [&] { return std::make_unique<PropertiesDialog>(page, nullptr, &listener); } },
        { "transitions",
            [&] { return std::make_unique<TransitionDialog>(transitions, String(installation.narrow())); } },
        { "connections", [&] { return std::make_unique<FtpDialog>(nullptr, connections); } },
        { "publish", [&] { return std::make_unique<PageFtpDialog>(nullptr, connections, flags); } },
        { "connection", [&] { return std::make_unique<FtpConnectionDialog>(nullptr, stored, nullptr); } },
    };
    for (const auto& [name, make] : dialogs) {
        SCOPED_TRACE(name);
        std::unique_ptr<XmlDialog> dialog = make();
        int checked = 0;
        test::WhenShown<XmlDialog> look([&](XmlDialog& shown) {
            checked = test::expectEveryTabReadable(shown);
            shown.onCancel();
        });
        dialog->doModal();
        EXPECT_TRUE(look.done());
        EXPECT_GT(checked, 0);
    }
}

}
}
