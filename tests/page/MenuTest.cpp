#include "page/PageMenu.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;

namespace {

Element* addItem(Element* menu, const char16_t* sort, const char16_t* name, const char16_t* url)
{
    Element* item = addElement(menu, String(u"item"));
    if (sort)
        item->setAttribute(u"sort", String(sort));
    addElement(item, String(u"name"), String(name));
    addElement(item, String(u"url"), String(url));
    addElement(item, String(u"image"), String(u"files/t.png"));
    return item;
}

}

TEST(MenuTest, ANewMenuOpensOnPointingBelowItsNode)
{
    PageMenu menu;
    EXPECT_EQ(menu.trigger(), u"onmouseover");
    EXPECT_FALSE(menu.opensOnClick());
    EXPECT_EQ(menu.alignment(), u"align-bottom");
    EXPECT_EQ(menu.height(), 0);
    EXPECT_FALSE(menu.hasPictureColumn());
    EXPECT_FALSE(menu.isStatic());
    EXPECT_EQ(menu.itemCount(), 0u);
    EXPECT_FALSE(menu.addItem(std::make_unique<PageMenuItem>(String(u"No action"), String())));
    EXPECT_FALSE(menu.addItem(nullptr));
}

TEST(MenuTest, ItemsReadInSortOrderAndWriteRenumbered)
{
    Document document(String(u"menu"));
    Element* source = document.documentElement();
    addElement(source, String(u"trigger"), String(u"onmousedown"));
    addElement(source, String(u"alignment"), String());
    addElement(source, String(u"height"), String(u"200"));
    addElement(source, String(u"thumbwidth"), String(u"32"));
    addElement(source, String(u"thumbheight"), String(u"huge"));
    addElement(source, String(u"static"), String(u"true"));
    Element* itemStyle = addElement(source, String(u"itemstyle"));
    addElement(itemStyle, String(u"font"), String(u"font-family:verdana;font-size:10"));
    addElement(itemStyle, String(u"background-color"), String(u"#ffffff,#000000"));
    addItem(source, u"100000", u"Last", u"javascript:clear_audio()");
    addItem(source, u"1", u"First", u"javascript:show_page('_self','files/a.html',null,100)");
    addItem(source, u"5", u"", u"javascript:clear_audio()");
    addItem(source, u"6", u"No action", u"");

    PageMenu menu;
    ASSERT_TRUE(menu.read(source));
    EXPECT_TRUE(menu.opensOnClick());
    EXPECT_EQ(menu.alignment(), u"align-bottom");
    EXPECT_EQ(menu.height(), 200);
    EXPECT_EQ(menu.thumbWidth(), 32);
    EXPECT_EQ(menu.thumbHeight(), 0);
    EXPECT_TRUE(menu.hasPictureColumn());
    EXPECT_TRUE(menu.isStatic());
    ASSERT_EQ(menu.itemCount(), 2u);
    EXPECT_EQ(menu.item(0)->name(), u"First");
    EXPECT_EQ(menu.item(1)->name(), u"Last");
    EXPECT_EQ(menu.item(1)->image(), u"files/t.png");
    EXPECT_EQ(menu.item(2), nullptr);
    ASSERT_NE(menu.itemStyle().font(), nullptr);
    EXPECT_TRUE(menu.itemStyle().hasGradient());

    Document written(String(u"menu"));
    menu.write(written.documentElement());
    PtrListOf<Node> items;
    getChildElements(written.documentElement(), u"item", items);
    ASSERT_EQ(items.count(), 2u);
    EXPECT_EQ(items.get(0)->asElement()->getAttribute(u"sort"), u"0");
    EXPECT_EQ(items.get(1)->asElement()->getAttribute(u"sort"), u"1");
    EXPECT_EQ(getChildText(items.get(1), u"name"), u"Last");
    // Fixed child order: the properties, the three styles, then the items.
    const char16_t* order[] = { u"alignment", u"trigger", u"height", u"thumbwidth", u"thumbheight", u"static",
        u"menustyle", u"itemstyle", u"hoverstyle", u"item" };
    Node* child = written.documentElement()->firstChild();
    for (const char16_t* name : order) {
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->nodeName(), name);
        child = child->nextSibling();
    }
    EXPECT_EQ(getChildText(findChildElement(written.documentElement(), u"itemstyle"), u"background-color"),
        u"#ffffff,#000000");
    EXPECT_EQ(findChildElement(findChildElement(written.documentElement(), u"hoverstyle"), u"font"), nullptr);

    PageMenu copy;
    copy.copyFrom(menu);
    menu.item(0)->setName(String(u"Changed"));
    EXPECT_EQ(copy.item(0)->name(), u"First");
    EXPECT_TRUE(copy.isStatic());
    EXPECT_EQ(copy.height(), 200);
    EXPECT_TRUE(copy.removeItem(1));
    EXPECT_FALSE(copy.removeItem(7));
    EXPECT_EQ(copy.itemCount(), 1u);
}
