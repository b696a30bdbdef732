#include "FormTestSupport.h"

#include "forms/FormDocument.h"
#include "forms/MenuMap.h"
#include "forms/ShapeMenu.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;

namespace {

QStringList captionsOf(const QMenu* menu)
{
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

}

TEST(MenuMap, ShapeMenuPathsIdentifiersAndCaptions)
{
    std::unique_ptr<Document> document = ShapeMenu::document();
    MenuMap map;
    map.load(document->documentElement());
    ASSERT_NE(map.popup(u"shape"), nullptr);
    ASSERT_NE(map.popup(u"shape|reflect"), nullptr);
    ASSERT_NE(map.popup(u"shape|page"), nullptr);
    EXPECT_EQ(map.popup(u"shape|edit"), nullptr);
    EXPECT_EQ(map.itemId(u"shape|edit"), 32400);
    EXPECT_EQ(map.itemId(u"shape|reflect|reflecty"), 32403);
    EXPECT_EQ(map.itemId(u"shape|new|button"), 32109);
    EXPECT_EQ(map.parentOf(32402), map.popup(u"shape|reflect"));
    EXPECT_EQ(captionsOf(map.popup(u"shape")),
        QStringList({ "Edit...", "Delete", "Scale...", "Attach To Grid", "Insert Point", "Delete Point", "Reflect",
            "New", "Go to Page" }));
    EXPECT_EQ(captionsOf(map.popup(u"shape|reflect")), QStringList({ "X", "Y" }));

    // Enabling by path; identifier 0 and unknown paths answer false.
    EXPECT_TRUE(map.enable(u"shape|insertpoint", false));
    EXPECT_FALSE(map.action(u"shape|insertpoint")->isEnabled());
    EXPECT_TRUE(map.enable(u"shape|insertpoint", true));
    EXPECT_TRUE(map.action(u"shape|insertpoint")->isEnabled());
    EXPECT_FALSE(map.enable(u"shape|scale", false));
    EXPECT_TRUE(map.action(u"shape|scale") == nullptr);
    EXPECT_FALSE(map.enable(u"shape|missing", false));
    EXPECT_FALSE(map.enable(u"shape", false));

    // A chosen item reaches the owner with its identifier.
    int chosen = 0;
    map.setCommandHandler([&chosen](int id) { chosen = id; });
    map.action(u"shape|reflect|reflectx")->trigger();
    EXPECT_EQ(chosen, 32402);
}

TEST(MenuMap, EntriesWithoutNamesTextsOrSubmenus)
{
    Document document(u"menu");
    Element* root = document.documentElement();
    Element* top = FormDocument::addControl(root, u"entry", u"type:menu;name:file");
    FormDocument::addControl(top, u"entry", u"name:open;id:7");
    FormDocument::addControl(top, u"entry", u"text:No name;id:8");
    FormDocument::addControl(top, u"entry", u"name:line;separator:true;id:9");
    FormDocument::addControl(top, u"entry", u"name:open;text:Again;id:10");
    FormDocument::addControl(top, u"entry", u"type:checkbox;name:grid;state:on;id:11");
    FormDocument::addControl(top, u"entry", u"name:bad;id:x");
    FormDocument::addControl(root, u"entry", u"type:menu;name:file;text:Twice");
    FormDocument::addControl(root, u"entry", u"name:orphan;id:12");
    MenuMap map;
    map.load(root);
    QMenu* file = map.popup(u"file");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), QStringLiteral("file"));
    EXPECT_EQ(captionsOf(file), QStringList({ "open", "-", "bad" }));
    EXPECT_EQ(map.itemId(u"file|open"), 7);
    EXPECT_EQ(map.itemId(u"file|bad"), 0);
    EXPECT_TRUE(map.hasItem(u"file|grid"));
    EXPECT_FALSE(map.hasItem(u"orphan"));
    EXPECT_EQ(map.count(), 1u);

    // Loading again forgets the old menus.
    map.load(ShapeMenu::document()->documentElement());
    EXPECT_EQ(map.popup(u"file"), nullptr);
    EXPECT_FALSE(map.hasItem(u"file|open"));
}

TEST(MenuMap, PageItemsAreAddedClearedAndRemoved)
{
    std::unique_ptr<Document> document = ShapeMenu::document();
    MenuMap map;
    map.load(document->documentElement());
    QMenu* pages = map.popup(u"shape|page");
    EXPECT_EQ(map.addItem(u"shape|page|Home", 36000), pages);
    map.addItem(u"shape|page|Gallery", 36001);
    map.addItem(u"shape|page|Home", 36002);
    EXPECT_EQ(captionsOf(pages), QStringList({ "Home", "Gallery" }));
    EXPECT_EQ(map.itemId(u"shape|page|Home"), 36000);
    // Missing submenus on the way are made.
    QMenu* deep = map.addItem(u"shape|page|More|Contact", 36003);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(map.popup(u"shape|page|More"), deep);
    EXPECT_EQ(captionsOf(pages), QStringList({ "Home", "Gallery", "More" }));
    EXPECT_EQ(map.addItem(u"lonely", 1), nullptr);

    EXPECT_FALSE(map.clearSubmenu(u"shape|edit"));
    EXPECT_TRUE(map.hasItem(u"shape|edit"));
    EXPECT_TRUE(map.clearSubmenu(u"shape|page"));
    EXPECT_TRUE(captionsOf(pages).isEmpty());
    EXPECT_FALSE(map.hasItem(u"shape|page|Home"));
    EXPECT_FALSE(map.hasItem(u"shape|page|More|Contact"));
    EXPECT_EQ(map.popup(u"shape|page|More"), nullptr);
    EXPECT_EQ(map.parentOf(36000), nullptr);
    EXPECT_FALSE(map.enable(u"shape|page|Home", true));
    map.addItem(u"shape|page|Home", 36000);
    EXPECT_EQ(captionsOf(pages), QStringList({ "Home" }));

    EXPECT_FALSE(map.remove(u"shape|edit"));
    EXPECT_TRUE(map.remove(u"shape|reflect"));
    EXPECT_EQ(map.popup(u"shape|reflect"), nullptr);
    EXPECT_FALSE(map.hasItem(u"shape|reflect|reflectx"));
    EXPECT_FALSE(captionsOf(map.popup(u"shape")).contains(QStringLiteral("Reflect")));
    EXPECT_TRUE(map.enable(u"shape|edit", false));
}
