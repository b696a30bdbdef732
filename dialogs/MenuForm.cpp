#include "dialogs/MenuForm.h"

#include "forms/FormStyle.h"
#include "forms/PropertyGroups.h"
#include "page/PageMenu.h"
#include "xml/Document.h"
#include "xml/Elements.h"

namespace lumavine {

namespace {

Element* groupBox(
    Element* parent, std::u16string_view name, std::u16string_view caption, int left, int top, int width, int height)
{
    Element* box = addElement(parent, u"button");
    box->setAttribute(u"type", u"groupbox");
    box->setAttribute(u"name", String(name));
    box->setAttribute(u"value", String(caption));
    box->setAttribute(u"style", FormStyle::format(left, top, width, height));
    return box;
}

void button(
    Element* parent, std::u16string_view name, std::u16string_view text, int left, int top, int width, int height)
{
    Element* made = addElement(parent, u"button", String(text));
    made->setAttribute(u"name", String(name));
    made->setAttribute(u"style", FormStyle::format(left, top, width, height));
}

void label(Element* parent, std::u16string_view forName, std::u16string_view text, int top, int width)
{
    Element* made = addElement(parent, u"label", String(text));
    made->setAttribute(u"for", String(forName));
    made->setAttribute(u"style", FormStyle::format(5, top, width));
}

Element* select(Element* parent, std::u16string_view name, int top)
{
    Element* made = addElement(parent, u"select");
    made->setAttribute(u"name", String(name));
    made->setAttribute(u"style", FormStyle::format(75, top, 100, 100));
    return made;
}

void option(Element* list, std::u16string_view value, std::u16string_view text, bool selected)
{
    Element* made = addElement(list, u"option", String(text));
    made->setAttribute(u"value", String(value));
    if (selected)
        made->setAttribute(u"selected", u"true");
}

Element* input(Element* parent, std::u16string_view name, const String& value, int left, int top, int width,
    std::u16string_view extension = {})
{
    Element* made = addElement(parent, u"input");
    made->setAttribute(u"type", u"text");
    made->setAttribute(u"name", String(name));
    if (!extension.empty())
        made->setAttribute(u"extension", String(extension));
    made->setAttribute(u"value", value);
    made->setAttribute(u"style", FormStyle::format(left, top, width));
    return made;
}

}

Element* MenuForm::add(Document& formDocument, const PageMenu* menu, int buttonTop)
{
    Element* form = addElement(formDocument.documentElement(), u"form");
    form->setAttribute(u"name", u"Menu");
    form->setAttribute(u"drop", u"true");

    Element* items = groupBox(form, u"Items", u"Menu Items", 10, 20, 290, 170);
    Element* list = addElement(items, u"list");
    list->setAttribute(u"name", u"itemlist");
    list->setAttribute(u"style", FormStyle::format(10, 30, 150, 140));
    Element* adding = groupBox(items, u"MenuAdd", u"Add", 170, 30, 115, 50);
    button(adding, u"menufiles", u"Files...", 5, 25, 50, 20);
    button(adding, u"add", u"Other...", 60, 25, 50, 20);
    button(items, u"moveup", u"Up", 170, 85, 55, 20);
    button(items, u"movedown", u"Down", 230, 85, 55, 20);
    button(items, u"edit", u"Edit", 170, 110, 55, 20);
    button(items, u"delete", u"Delete", 230, 110, 55, 20);
    button(items, u"importslides", u"Slides...", 170, 135, 55, 20);
    button(items, u"size", u"Size...", 230, 135, 55, 20);

    Element* properties = groupBox(form, u"MenuProperties", u"Menu Properties", 310, 20, 210, 170);
    const String trigger = menu ? menu->trigger() : String(u"onmouseover");
    label(properties, u"menu-trigger", u"Trigger", 25, 70);
    Element* triggers = select(properties, u"menu-trigger", 25);
    option(triggers, u"onmousedown", u"Mouse Click", trigger.equals(u"onmousedown"));
    option(triggers, u"onmouseover", u"Mouse Over", !trigger.equals(u"onmousedown"));
    const String alignment = menu ? menu->alignment() : String(u"align-bottom");
    label(properties, u"menu-alignment", u"Alignment", 55, 70);
    Element* alignments = select(properties, u"menu-alignment", 55);
    for (auto [value, text] : { std::pair(u"align-bottom", u"Bottom"), std::pair(u"align-right", u"Right"),
             std::pair(u"align-left", u"Left"), std::pair(u"align-top", u"Top") })
        option(alignments, value, text, alignment.equals(value));
    label(properties, u"menu-height", u"Height", 85, 70);
    input(
        properties, u"menu-height", menu && menu->height() > 0 ? String::number(menu->height()) : String(), 75, 85, 40);
    Element* still = addElement(properties, u"input", String(u"Static"));
    still->setAttribute(u"type", u"checkbox");
    still->setAttribute(u"name", u"menu-static");
    if (menu && menu->isStatic())
        still->setAttribute(u"selected", u"true");
    still->setAttribute(u"style", FormStyle::format(130, 85, 70));
    label(properties, u"menu-thumbwidth", u"Thumbnail Size", 115, 100);
    for (auto [name, left, value] : { std::tuple(u"menu-thumbwidth", 5, menu ? menu->thumbWidth() : 0),
             std::tuple(u"menu-thumbheight", 65, menu ? menu->thumbHeight() : 0) }) {
        Element* size = input(properties, name, String::number(value), left, 135, 50, u"spin");
        size->setAttribute(u"low", u"0");
        size->setAttribute(u"high", u"128");
    }

    const DisplayElement* itemStyle = menu ? &menu->itemStyle() : nullptr;
    const DisplayElement* hoverStyle = menu ? &menu->hoverStyle() : nullptr;
    const DisplayElement* menuStyle = menu ? &menu->menuStyle() : nullptr;
    PropertyGroups::addFontGroup(form, itemStyle, { 10, 200, 250, 140 }, String(u"Menu Font"), String(u"itemstyle-"));
    PropertyGroups::addFontGroup(
        form, hoverStyle, { 270, 200, 250, 140 }, String(u"Menu Hover Font"), String(u"hoverstyle-"));
    PropertyGroups::addBackgroundGroup(form, itemStyle, { 10, 350, 250, 120 }, String(u"Menu Background"),
        String(u"itemstyle-"), PropertyGroups::GradientRows);
    PropertyGroups::addBackgroundGroup(form, hoverStyle, { 270, 350, 250, 120 }, String(u"Menu Hover Background"),
        String(u"hoverstyle-"), PropertyGroups::GradientRows);
    PropertyGroups::addBorderGroup(form, menuStyle, { 10, 480, 163, 140 }, String(u"Menu Border"),
        String(u"menustyle-"), PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(form, itemStyle, { 183, 480, 163, 140 }, String(u"Menu Item Border"),
        String(u"itemstyle-"), PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(form, hoverStyle, { 356, 480, 163, 140 }, String(u"Menu Item Hover Border"),
        String(u"hoverstyle-"), PropertyGroups::BorderStyleRow);

    for (auto [name, text, left] : { std::tuple(u"ok", u"OK", 10), std::tuple(u"cancel", u"Cancel", 120) }) {
        Element* made = addElement(form, u"button", String(text));
        made->setAttribute(u"name", String(name));
        made->setAttribute(u"style", FormStyle::format(left, buttonTop, 100, 25));
    }
    return form;
}

void MenuForm::composeUpdate(const Element* result, Element* update)
{
    for (std::u16string_view prefix : { u"menustyle", u"itemstyle", u"hoverstyle" }) {
        const String p = String(prefix) + u"-";
        Element* style = addElement(update, String(prefix));
        addElement(style, u"border",
            u"border-width:" + getChildText(result, p + u"border-width") + u";border-style:"
                + getChildText(result, p + u"border-style") + u";border-color:"
                + getChildText(result, p + u"border-color"));
        const String font = PropertyGroups::fontText(result, p);
        if (!font.empty())
            addElement(style, u"font", font);
        if (findChildElement(result, p + u"background-start", true))
            addElement(style, u"background-color", PropertyGroups::gradientText(result, p));
    }
    addElement(update, u"static", getChildText(result, u"menu-static"));
    for (std::u16string_view key : { u"trigger", u"alignment", u"height", u"thumbwidth", u"thumbheight" }) {
        String value = getChildText(result, u"menu-" + String(key));
        // An empty height is no limit.
        if (key == u"height" && value.trim().empty())
            value = String(u"0");
        addElement(update, String(key), value);
    }
}

}
