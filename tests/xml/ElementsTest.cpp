#include "xml/ElementSorter.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;

TEST(Elements, ChildTextsReadAndWrite)
{
    Document document(String(u"page"));
    Element* page = document.documentElement();
    addElement(page, String(u"Width"), 640);
    addElement(page, String(u"ratio"), String(u"1.5"));
    addElement(page, String(u"visible"), String(u"TRUE"));
    addElement(page, String(u"count"), String(u"1,000"));
    addElement(page, String(u"bad"), String(u"12a"));

    EXPECT_EQ(getChildText(page, u"width"), u"640");
    EXPECT_EQ(getChildInt(page, u"width"), 640);
    EXPECT_EQ(getChildInt(page, u"count"), 1000);
    EXPECT_EQ(getChildInt(page, u"bad"), 0);
    EXPECT_EQ(getChildInt(page, u"absent"), 0);
    EXPECT_DOUBLE_EQ(getChildDouble(page, u"ratio"), 1.5);
    EXPECT_TRUE(getChildBool(page, u"visible"));
    EXPECT_FALSE(getChildBool(page, u"ratio"));
    EXPECT_EQ(findChildElement(page, u"width", true), nullptr);
    EXPECT_NE(findChildElement(page, u"Width", true), nullptr);

    setChildText(page, String(u"ratio"), String(u"2"));
    EXPECT_EQ(getChildText(page, u"ratio"), u"2");
    setChildText(page, String(u"item"), String(u"a"));
    setChildText(page, String(u"item"), String(u"b"), 1);
    setChildText(page, String(u"item"), 7, 1);
    PtrListOf<Node> items;
    EXPECT_EQ(getChildElements(page, u"item", items), 2u);
    EXPECT_EQ(getText(items.get(0)), u"a");
    EXPECT_EQ(getText(items.get(1)), u"7");
    PtrList all;
    EXPECT_EQ(getChildElements(page, u"*", all), 7u);

    // getText answers the first child's value, which is empty for an element.
    Element* holder = addElement(page, String(u"holder"));
    addElement(holder, String(u"inner"), String(u"x"));
    EXPECT_EQ(getText(holder), u"");
    setText(holder, String(u"ignored"));
    Element* fresh = addElement(page, String(u"fresh"));
    setText(fresh, String(u"now"));
    EXPECT_EQ(getText(fresh), u"now");
}

TEST(Elements, AttributesPathsLookupAndEmptyChildren)
{
    Document document(String(u"menu"));
    Element* menu = document.documentElement();
    setAttributes(menu, u"name:File;id:\"a;b\";flag", u";", u":");
    EXPECT_EQ(menu->getAttribute(u"name"), u"File");
    EXPECT_EQ(menu->getAttribute(u"id"), u"a;b");
    EXPECT_TRUE(menu->hasAttribute(u"flag"));

    Element* sub = addElement(menu, String(u"item"));
    sub->setAttribute(String(u"name"), String(u"shape"));
    Element* leaf = addElement(sub, String(u"item"));
    leaf->setAttribute(String(u"name"), String(u"reflect"));
    EXPECT_EQ(attributePath(leaf, u"name", u"|"), u"File|shape|reflect");
    EXPECT_EQ(findChildByAttribute(menu, u"name", u"shape"), sub);
    EXPECT_EQ(findChildByAttribute(menu, u"name", u"Shape"), nullptr);

    Document holder(String(u"h"));
    Element* h = holder.documentElement();
    addElement(h, String(u"keep"), String(u"x"));
    addElement(h, String(u"blank"), String());
    addElement(h, String(u"none"));
    Element* nested = addElement(h, String(u"nested"));
    addElement(nested, String(u"inner"), String(u"y"));
    removeEmptyChildren(h);
    ASSERT_EQ(h->childNodes().count(), 1u);
    EXPECT_EQ(h->firstChild()->nodeName(), u"keep");
}

TEST(Elements, SorterOrdersBySortAttributeKeepingTiesInOrder)
{
    Document document(String(u"slides"));
    const char16_t* sorts[] = { u"2", u"x", u"1", u"", u"100000", u"1" };
    PtrListOf<Element> sorted;
    ElementSorter sorter;
    int id = 0;
    for (const char16_t* sort : sorts) {
        Element* e = document.createElement(String(u"slide"));
        if (*sort)
            e->setAttribute(String(u"sort"), String(sort));
        e->setAttribute(String(u"id"), String::number(id++));
        sorted.insertSorted(e, sorter);
    }
    String order;
    for (Element* e : sorted)
        order.append(e->getAttribute(u"id"));
    EXPECT_EQ(order, u"132504");
}
