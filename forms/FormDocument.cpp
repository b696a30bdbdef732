#include "forms/FormDocument.h"

#include "forms/FormStyle.h"
#include "xml/Elements.h"

namespace lumavine {

void FormDocument::setAttributeList(Element* element, std::u16string_view list)
{
    if (element)
        setAttributes(element, list, u";", u":");
}

Element* FormDocument::addControl(Node* parent, const String& tag, std::u16string_view list)
{
    Element* element = addElement(parent, tag);
    setAttributeList(element, list);
    return element;
}

static Element* addButton(Element* form, const String& name, const String& text, int left, int top)
{
    Element* button = addElement(form, u"button", text);
    button->setAttribute(u"name", name);
    button->setAttribute(u"style", FormStyle::format(left, top, 100, 25));
    return button;
}

void FormDocument::addStandardButtons(Element* form, int top, const String& helpFile)
{
    addButton(form, u"ok", u"Ok", 10, top);
    addButton(form, u"cancel", u"Cancel", 120, top);
    if (!helpFile.empty()) {
        Element* help = addButton(form, u"help", u"Help", 230, top);
        addElement(help, u"helpfile", helpFile);
    }
}

void FormDocument::addStandardButton(Element* form, int top)
{
    addButton(form, u"ok", u"Ok", 10, top);
}

}
