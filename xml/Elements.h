#pragma once

#include "xml/Document.h"

namespace lumavine {

// The conveniences through which models read and write themselves as
// elements holding texts.

Element* addElement(Node* parent, const String& name);
Element* addElement(Node* parent, const String& name, const String& text);
Element* addElement(Node* parent, const String& name, int value);
Element* addElement(Node* parent, const String& name, double value, int precision);
Element* addElement(Node* parent, const String& name, bool value);

Element* findChildElement(const Node* parent, std::u16string_view name, bool exact = false);
// Appends matching child elements ("*" for all); not recursive.
size_t getChildElements(const Node* parent, std::u16string_view name, PtrList& into);
Element* findChildByAttribute(const Node* parent, std::u16string_view attribute, std::u16string_view value);

const String& getText(const Node* element);
void setText(Node* element, const String& text);
const String& getChildText(const Node* parent, std::u16string_view name);
int getChildInt(const Node* parent, std::u16string_view name);
double getChildDouble(const Node* parent, std::u16string_view name);
bool getChildBool(const Node* parent, std::u16string_view name);
Element* setChildText(Node* parent, const String& name, const String& text, size_t index = 0);
Element* setChildText(Node* parent, const String& name, int value, size_t index = 0);

void setAttributes(Element* element, std::u16string_view text, std::u16string_view itemSeparators,
    std::u16string_view keySeparators);
String attributePath(const Node* node, std::u16string_view attribute, std::u16string_view separator);
void removeEmptyChildren(Node* parent);

}
