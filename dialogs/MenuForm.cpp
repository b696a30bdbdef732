#include "dialogs/MenuForm.h"

#include "dialogs/FormElements.h"
#include "forms/FormStyle.h"
#include "forms/PropertyGroups.h"
#include "page/PageMenu.h"
#include "xml/Document.h"
#include "xml/Elements.h"

namespace lumavine {

using namespace FormElements;

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
    label(properties, u"menu-trigger", u"Trigger", 5, 25, 70);
    Element* triggers = dropDown(properties, u"menu-trigger", 75, 25, 100, 100);
    option(triggers, u"onmousedown", u"Mouse Click", trigger.equals(u"onmousedown"));
    option(triggers, u"onmouseover", u"Mouse Over", !trigger.equals(u"onmousedown"));
    const String alignment = menu ? menu->alignment() : String(u"align-bottom");
    label(properties, u"menu-alignment", u"Alignment", 5, 55, 70);
    Element* alignments = dropDown(properties, u"menu-alignment", 75, 55, 100, 100);
    for (auto [value, text] : { std::pair(u"align-bottom", u"Bottom"), std::pair(u"align-right", u"Right"),
             std::pair(u"align-left", u"Left"), std::pair(u"align-top", u"Top") })
        option(alignments, value, text, alignment.equals(value));
    label(properties, u"menu-height", u"Height", 5, 85, 70);
    textInput(
        properties, u"menu-height", menu && menu->height() > 0 ? String::number(menu->height()) : String(), 75, 85, 40);
    checkBox(properties, u"menu-static", u"Static", menu && menu->isStatic(), 130, 85, 70);
    label(properties, u"menu-thumbwidth", u"Thumbnail Size", 5, 115, 100);
    for (auto [name, left, value] : { std::tuple(u"menu-thumbwidth", 5, menu ? menu->thumbWidth() : 0),
             std::tuple(u"menu-thumbheight", 65, menu ? menu->thumbHeight() : 0) }) {
        spin(properties, name, String::number(value), left, 135, 50, 0, 128);
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

    button(form, u"ok", u"OK", 10, buttonTop, 100, 25);
    button(form, u"cancel", u"Cancel", 120, buttonTop, 100, 25);
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
