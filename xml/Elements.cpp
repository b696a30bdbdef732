#include "xml/Elements.h"

#include "core/Properties.h"

#include <cstdio>
#include <vector>

namespace lumavine {

Element* addElement(Node* parent, const String& name)
{
    Element* element = parent->ownerDocument()->createElement(name);
    parent->appendChild(element);
    return element;
}

Element* addElement(Node* parent, const String& name, const String& text)
{
    Element* element = addElement(parent, name);
    element->appendChild(parent->ownerDocument()->createTextNode(text));
    return element;
}

Element* addElement(Node* parent, const String& name, int value)
{
    return addElement(parent, name, String::number(value));
}

Element* addElement(Node* parent, const String& name, double value, int precision)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    return addElement(parent, name, String::fromLatin1(buffer));
}

Element* addElement(Node* parent, const String& name, bool value)
{
    return addElement(parent, name, String(value ? u"true" : u"false"));
}

Element* findChildElement(const Node* parent, std::u16string_view name, bool exact)
{
    if (!parent)
        return nullptr;
    for (Node* child : parent->childNodes()) {
        if (!child->isElement())
            continue;
        if (exact ? child->nodeName().equals(name) : child->nodeName().equalsIgnoreCase(name))
            return child->asElement();
    }
    return nullptr;
}

size_t getChildElements(const Node* parent, std::u16string_view name, PtrList& into)
{
    size_t found = 0;
    if (!parent)
        return 0;
    for (Node* child : parent->childNodes()) {
        if (child->isElement() && (name == u"*" || child->nodeName().equals(name))) {
            into.append(child);
            ++found;
        }
    }
    return found;
}

Element* findChildByAttribute(const Node* parent, std::u16string_view attribute, std::u16string_view value)
{
    if (!parent)
        return nullptr;
    for (Node* child : parent->childNodes()) {
        if (Element* element = child->asElement(); element && element->getAttribute(attribute).equals(value))
            return element;
    }
    return nullptr;
}

const String& getText(const Node* element)
{
    if (!element)
        return emptyString;
    Node* first = element->firstChild();
    return first ? first->nodeValue() : emptyString;
}

void setText(Node* element, const String& text)
{
    if (Node* first = element->firstChild())
        first->setNodeValue(text);
    else
        element->appendChild(element->ownerDocument()->createTextNode(text));
}

const String& getChildText(const Node* parent, std::u16string_view name)
{
    return getText(findChildElement(parent, name, false));
}

int getChildInt(const Node* parent, std::u16string_view name)
{
    int value = 0;
    getChildText(parent, name).readInt(value);
    return value;
}

double getChildDouble(const Node* parent, std::u16string_view name)
{
    double value = 0;
    getChildText(parent, name).readDouble(value);
    return value;
}

bool getChildBool(const Node* parent, std::u16string_view name)
{
    return getChildText(parent, name).equalsIgnoreCase(u"true");
}

Element* setChildText(Node* parent, const String& name, const String& text, size_t index)
{
    size_t seen = 0;
    for (Node* child : parent->childNodes()) {
        if (child->isElement() && child->nodeName().equals(name) && seen++ == index) {
            setText(child, text);
            return child->asElement();
        }
    }
    return addElement(parent, name, text);
}

Element* setChildText(Node* parent, const String& name, int value, size_t index)
{
    return setChildText(parent, name, String::number(value), index);
}

void setAttributes(Element* element, std::u16string_view text, std::u16string_view itemSeparators,
    std::u16string_view keySeparators)
{
    Properties properties(text, itemSeparators, keySeparators);
    for (const PtrMap::Entry* entry : properties)
        element->setAttribute(entry->key(), StringMap::valueOf(entry));
}

String attributePath(const Node* node, std::u16string_view attribute, std::u16string_view separator)
{
    std::vector<const Element*> chain;
    for (const Node* n = node; n && n->isElement(); n = n->parentNode())
        chain.push_back(n->asElement());
    String path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin())
            path.append(separator);
        path.append((*it)->getAttribute(attribute));
    }
    return path;
}

void removeEmptyChildren(Node* parent)
{
    PtrListIteratorOf<Node> cursor(parent->childNodes());
    while (Node* child = cursor.next()) {
        if (!child->isElement())
            continue;
        Node* first = child->firstChild();
        if (!first || first->nodeValue().empty())
            parent->removeChild(child);
    }
}

}
