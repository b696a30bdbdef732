#include "dialogs/FormElements.h"

#include "forms/FormStyle.h"
#include "xml/Document.h"
#include "xml/Elements.h"

namespace lumavine::FormElements {

Element* frame(Document& document, const String& title, int width, int height, const String& formName)
{
    Element* root = document.documentElement();
    addElement(root, u"title", title);
    addElement(root, u"x", 10);
    addElement(root, u"y", 10);
    addElement(root, u"width", width);
    addElement(root, u"height", height);
    Element* form = addElement(root, u"form");
    form->setAttribute(u"name", formName);
    return form;
}

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

Element* button(
    Element* parent, std::u16string_view name, std::u16string_view text, int left, int top, int width, int height)
{
    Element* made = addElement(parent, u"button", String(text));
    made->setAttribute(u"name", String(name));
    made->setAttribute(u"style", FormStyle::format(left, top, width, height));
    return made;
}

Element* label(Element* parent, std::u16string_view forName, std::u16string_view text, int left, int top, int width)
{
    Element* made = addElement(parent, u"label", String(text));
    made->setAttribute(u"for", String(forName));
    made->setAttribute(u"style", FormStyle::format(left, top, width));
    return made;
}

Element* textInput(Element* parent, std::u16string_view name, const String& value, int left, int top, int width,
    std::u16string_view extension)
{
    Element* input = addElement(parent, u"input");
    input->setAttribute(u"type", u"text");
    input->setAttribute(u"name", String(name));
    if (!extension.empty())
        input->setAttribute(u"extension", String(extension));
    input->setAttribute(u"value", value);
    input->setAttribute(u"style", FormStyle::format(left, top, width));
    return input;
}

Element* spin(
    Element* parent, std::u16string_view name, const String& value, int left, int top, int width, int low, int high)
{
    Element* input = textInput(parent, name, value, left, top, width, u"spin");
    input->setAttribute(u"low", String::number(low));
    input->setAttribute(u"high", String::number(high));
    return input;
}

Element* dropDown(Element* parent, std::u16string_view name, int left, int top, int width, int height)
{
    Element* select = addElement(parent, u"select");
    select->setAttribute(u"name", String(name));
    select->setAttribute(u"style", FormStyle::format(left, top, width, height));
    return select;
}

Element* option(Element* list, std::u16string_view value, std::u16string_view text, bool selected)
{
    Element* made = addElement(list, u"option", String(text));
    made->setAttribute(u"value", String(value));
    if (selected)
        made->setAttribute(u"selected", u"true");
    return made;
}

Element* checkBox(
    Element* parent, std::u16string_view name, std::u16string_view caption, bool checked, int left, int top, int width)
{
    Element* input = addElement(parent, u"input", String(caption));
    input->setAttribute(u"type", u"checkbox");
    input->setAttribute(u"name", String(name));
    if (checked)
        input->setAttribute(u"selected", u"true");
    input->setAttribute(u"style", FormStyle::format(left, top, width));
    return input;
}

}
