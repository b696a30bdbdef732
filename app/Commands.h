#pragma once

#include <QKeySequence>
#include <span>
#include <string_view>
#include <vector>

namespace lumavine {

// The designer's command identifiers beyond the canvas's own (PageView
// holds those of the shapes, zoom, grid and the page commands it passes on).
namespace CommandId {
enum : int {
    SaveAs = 33000,
    New = 57600,
    Open = 57601,
    Close = 57602,
    Save = 57603,
    PrintSetup = 57606,
    Print = 57607,
    RecentFile = 57616,
    Copy = 57634,
    Cut = 57635,
    Paste = 57637,
    Undo = 57643,
    // Not in the old menus, which had no undo; users expect it beside Undo.
    Redo = 57644,
    ArrangeIcons = 57649,
    Cascade = 57650,
    Tile = 57652,
    About = 57664,
    Exit = 57665,
    UserGuide = 57670,
    NextPane = 57680,
    PreviousPane = 57681,
    Toolbar = 59392,
    StatusBar = 59393,
    Home = 32903,
    Faq = 32904,
    Samples = 32905,
    Support = 32906,
    HowTo = 32907,
    Tips = 32908,
    // The "Go to Page" items, one per page in project order.
    FirstPage = 36000,
    PageLimit = 36100,
};
}

// One entry of a menu bar: an item with its command, a separator, or a
// submenu with its entries. Texts mark their access key with "&" and their
// shortcut after a tab.
struct MenuEntry {
    enum Kind { Item, Separator, Submenu };
    Kind kind = Item;
    std::u16string_view text;
    int id = 0;
    std::vector<MenuEntry> entries;

    static MenuEntry item(std::u16string_view text, int id) { return { Item, text, id, {} }; }
    static MenuEntry separator() { return { Separator, {}, 0, {} }; }
    static MenuEntry submenu(std::u16string_view text, std::vector<MenuEntry> entries)
    {
        return { Submenu, text, 0, std::move(entries) };
    }
};

// What the menus, the toolbar and the keys offer, as data that the main
// window turns into actions.
struct Commands {
    // The menu bar while no project is open, and while one is.
    static std::vector<MenuEntry> noProjectMenus();
    static std::vector<MenuEntry> projectMenus();
    // The "Main" toolbar's buttons in order; 0 stands for a gap.
    static std::span<const int> toolbar();
    // The status-bar prompt and the tooltip of a command; empty for a
    // command without them.
    static std::u16string_view prompt(int id);
    static std::u16string_view tooltip(int id);
    // The keys of a command besides the one its menu text shows.
    static QList<QKeySequence> shortcuts(int id);

    // Where the Help menu's web commands lead and whom support mail reaches.
    static constexpr std::u16string_view webSite = u"https://www.lumavine.org";
    static constexpr std::u16string_view supportAddress = u"support@lumavine.org";
    // The web address of a Help command; empty for any other command.
    static std::u16string_view webPage(int id);
};

}
