#pragma once

#include "xml/Document.h"

namespace lumavine {

// Helpers with which dialog classes write their form documents.
struct FormDocument {
    // Applies an attribute list such as "type:groupbox;name:AspectRatioBox;value:Aspect Ratio":
    // one attribute per key, in order, keys and values keeping their case.
    static void setAttributeList(Element* element, std::u16string_view list);
    // A child element of the given tag with its attributes from a list.
    static Element* addControl(Node* parent, const String& tag, std::u16string_view list);
    // "ok" and "cancel", and "help" holding the help file when one is given,
    // side by side at the given top.
    static void addStandardButtons(Element* form, int top, const String& helpFile = String());
    // Only "ok".
    static void addStandardButton(Element* form, int top);
};

}
