#include "app/Commands.h"

#include "picture/canvas/PageView.h"

#include <array>

namespace lumavine {

namespace {

using Entry = MenuEntry;

struct Text {
    int id;
    std::u16string_view prompt;
    std::u16string_view tooltip;
};

constexpr std::array<Text, 24> texts { {
    { CommandId::New, u"Create a new project", u"Create a new project" },
    { CommandId::Open, u"Open an existing project", u"Open an existing project" },
    { CommandId::Save, u"Save the current project", u"Save the current project" },
    { PageView::NewRectangle, u"Add a rectangle to the page", u"Add Rectangle" },
    { PageView::NewEllipse, u"Add an ellipse to the page", u"Add Ellipse" },
    { PageView::NewPolygon, u"Add a polygon to the page", u"Add Polygon" },
    { PageView::NewLine, u"Add a line to the page", u"Add Line" },
    { PageView::NewPicture, u"Add an image to the page", u"Add Image" },
    { PageView::NewRoundRectangle, u"Add a rounded rectangle to the page", u"Add Rounded Rectangle" },
    { PageView::NewThumbnail, u"Add a thumbnail to the page", u"Add Thumbnail" },
    { PageView::NewFrame, u"Add a frame to the page", u"Add Frame" },
    { PageView::Preview, u"Web Page Preview", u"Web Page Preview" },
    { PageView::PageProperties, u"Edit Page Properties", u"Edit Page Properties" },
    { PageView::Publish, u"Publish to the Web", u"Publish to the Web" },
    { PageView::Slideshows, u"Manage Slideshows", u"Manage Slideshows" },
    { PageView::Initialize, u"Manage Page Initialization", u"Manage Page Initialization" },
    { PageView::Pages, u"Manage Pages", u"Manage Pages" },
    { PageView::Transition, u"Edit Transitions", u"Edit Transitions" },
    { CommandId::Home, u"Go to the home page", u"Go to the home page" },
    { CommandId::Faq, u"Go to the FAQ Page ", u"Go to the FAQ Page" },
    { CommandId::Samples, u"Go to the samples page", u"Go to the samples page" },
    { CommandId::HowTo, u"Go to the How To Guide", u"Go to the How To Guide" },
    { CommandId::Tips, u"Tips and Tricks", u"Tips and Tricks" },
    { CommandId::About, u"Display program information, version number and copyright", u"About" },
} };

// The shape commands' prompts have no tooltip half.
constexpr std::array<Text, 8> shapeTexts { {
    { PageView::Edit, u"Edit Shape", {} },
    { PageView::Delete, u"Delete Shape", {} },
    { PageView::ReflectX, u"Reflect X", {} },
    { PageView::ReflectY, u"Reflect Y", {} },
    { PageView::AttachToGrid, u"Attach Shape To Grid", {} },
    { PageView::Rotate, u"Rotate Shape", {} },
    { PageView::DeletePoint, u"Delete Point", {} },
    { PageView::InsertPoint, u"Insert Point", {} },
} };

const Text* textOf(int id)
{
    for (const Text& text : texts)
        if (text.id == id)
            return &text;
    for (const Text& text : shapeTexts)
        if (text.id == id)
            return &text;
    return nullptr;
}

constexpr std::array<int, 25> toolbarButtons { CommandId::New, CommandId::Open, CommandId::Save, 0, CommandId::Cut,
    CommandId::Copy, CommandId::Paste, 0, PageView::NewRectangle, PageView::NewRoundRectangle, PageView::NewEllipse,
    PageView::NewPolygon, PageView::NewLine, PageView::NewPicture, PageView::NewThumbnail, PageView::NewFrame,
    PageView::NewButton, 0, PageView::Preview, PageView::PageProperties, PageView::Transition, PageView::Pages,
    PageView::Slideshows, PageView::Initialize, PageView::Publish };

Entry helpMenu()
{
    return Entry::submenu(u"&Help",
        { Entry::item(u"&User Guide", CommandId::UserGuide), Entry::separator(),
            Entry::item(u"Support...", CommandId::Support), Entry::separator(),
            Entry::submenu(u"Lumavine On the Web",
                { Entry::item(u"Home", CommandId::Home), Entry::item(u"Samples Page", CommandId::Samples),
                    Entry::item(u"How To Guide", CommandId::HowTo), Entry::item(u"Tips and Tricks", CommandId::Tips),
                    Entry::item(u"Frequently Asked Questions", CommandId::Faq) }),
            Entry::separator(), Entry::item(u"&About Lumavine Designer...", CommandId::About) });
}

}

// Cut, Copy and Paste are the canvas's own commands.
static_assert(int(PageView::Cut) == CommandId::Cut && int(PageView::Copy) == CommandId::Copy
    && int(PageView::Paste) == CommandId::Paste);

std::vector<MenuEntry> Commands::noProjectMenus()
{
    return {
        Entry::submenu(u"&File",
            { Entry::item(u"&New\tCtrl+N", CommandId::New), Entry::item(u"&Open...\tCtrl+O", CommandId::Open),
                Entry::separator(), Entry::item(u"P&rint Setup...", CommandId::PrintSetup), Entry::separator(),
                Entry::item(u"Recent File", CommandId::RecentFile), Entry::separator(),
                Entry::item(u"E&xit", CommandId::Exit) }),
        Entry::submenu(u"&View",
            { Entry::item(u"&Toolbar", CommandId::Toolbar), Entry::item(u"&Status Bar", CommandId::StatusBar) }),
        helpMenu(),
    };
}

std::vector<MenuEntry> Commands::projectMenus()
{
    return {
        Entry::submenu(u"&File",
            { Entry::item(u"&New\tCtrl+N", CommandId::New), Entry::item(u"&Open...\tCtrl+O", CommandId::Open),
                Entry::item(u"&Close", CommandId::Close), Entry::item(u"&Save\tCtrl+S", CommandId::Save),
                Entry::item(u"Save As", CommandId::SaveAs), Entry::separator(),
                Entry::item(u"Generate Web Page...", PageView::Preview),
                Entry::item(u"P&ublish to the Web...", PageView::Publish), Entry::separator(),
                Entry::item(u"Recent File", CommandId::RecentFile), Entry::separator(),
                Entry::item(u"E&xit", CommandId::Exit) }),
        Entry::submenu(u"&Edit",
            { Entry::item(u"&Undo\tCtrl+Z", CommandId::Undo), Entry::item(u"&Redo\tCtrl+Y", CommandId::Redo),
                Entry::separator(), Entry::item(u"Cu&t\tCtrl+X", CommandId::Cut),
                Entry::item(u"&Copy\tCtrl+C", CommandId::Copy), Entry::item(u"&Paste\tCtrl+V", CommandId::Paste) }),
        Entry::submenu(u"&View",
            { Entry::submenu(u"Scale",
                  { Entry::item(u"10%", 32300), Entry::item(u"25%", 32301), Entry::item(u"33%", 32302),
                      Entry::item(u"50%", 32303), Entry::item(u"75%", 32304), Entry::item(u"100%", 32305) }),
                Entry::submenu(u"Grid",
                    { Entry::item(u"Show", PageView::ToggleShowGrid), Entry::item(u"Snap", PageView::ToggleSnapGrid),
                        Entry::submenu(u"Size",
                            { Entry::item(u"10", 32352), Entry::item(u"20", 32353), Entry::item(u"30", 32354),
                                Entry::item(u"40", 32355) }) }),
                Entry::submenu(u"Go to Page", { Entry::item(u"Top Page", CommandId::FirstPage) }),
                Entry::item(u"&Properties...", PageView::PageProperties), Entry::separator(),
                Entry::item(u"&Toolbar", CommandId::Toolbar), Entry::item(u"&Status Bar", CommandId::StatusBar) }),
        Entry::submenu(u"&Window",
            { Entry::item(u"&Cascade", CommandId::Cascade), Entry::item(u"&Tile", CommandId::Tile),
                Entry::item(u"&Arrange Icons", CommandId::ArrangeIcons) }),
        Entry::submenu(u"&Object",
            { Entry::item(u"Edit...", PageView::Edit), Entry::item(u"Delete", PageView::Delete),
                Entry::submenu(
                    u"Reflect", { Entry::item(u"X", PageView::ReflectX), Entry::item(u"Y", PageView::ReflectY) }),
                Entry::item(u"Attach To Grid", PageView::AttachToGrid), Entry::item(u"Rotate...", PageView::Rotate),
                // The scale command of the shape menu carries the identifier 0
                // there; the Object menu's item is the same command.
                Entry::item(u"Scale...", PageView::Scale), Entry::item(u"Group", PageView::Group),
                Entry::item(u"Ungroup", PageView::Ungroup) }),
        helpMenu(),
    };
}

std::span<const int> Commands::toolbar()
{
    return toolbarButtons;
}

std::u16string_view Commands::prompt(int id)
{
    const Text* text = textOf(id);
    return text ? text->prompt : std::u16string_view();
}

std::u16string_view Commands::tooltip(int id)
{
    const Text* text = textOf(id);
    return text ? text->tooltip : std::u16string_view();
}

QList<QKeySequence> Commands::shortcuts(int id)
{
    switch (id) {
    case CommandId::New:
        return { QKeySequence(Qt::CTRL | Qt::Key_N) };
    case CommandId::Open:
        return { QKeySequence(Qt::CTRL | Qt::Key_O) };
    case CommandId::Save:
        return { QKeySequence(Qt::CTRL | Qt::Key_S) };
    case CommandId::Print:
        return { QKeySequence(Qt::CTRL | Qt::Key_P) };
    case CommandId::Undo:
        return { QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace) };
    case CommandId::Redo:
        return { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) };
    case CommandId::Cut:
        return { QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete) };
    case CommandId::Copy:
        return { QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert) };
    case CommandId::Paste:
        return { QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert) };
    case CommandId::NextPane:
        return { QKeySequence(Qt::Key_F6) };
    case CommandId::PreviousPane:
        return { QKeySequence(Qt::SHIFT | Qt::Key_F6) };
    default:
        return {};
    }
}

std::u16string_view Commands::webPage(int id)
{
    switch (id) {
    case CommandId::Home:
        return u"https://www.lumavine.org";
    case CommandId::Faq:
        return u"https://www.lumavine.org/support/faq.html";
    case CommandId::Samples:
        return u"https://www.lumavine.org/samples.html";
    case CommandId::HowTo:
        return u"https://www.lumavine.org/support/howto.html";
    case CommandId::Tips:
        return u"https://www.lumavine.org/support/tips.html";
    default:
        return {};
    }
}

}
