#pragma once

#include "core/String.h"

#include <QRect>

class QWidget;

namespace lumavine {

class Element;
class XmlForm;
struct FormControl;

// How one kind of element becomes controls: a new kind of control is one
// more entry in the table of ControlTypes, nothing else.
struct ControlType {
    // Makes the main control (and its companions) inside `window`; null when
    // the element cannot be made.
    using Create = FormControl* (*)(XmlForm& form, Element* element, const String& name, QWidget* window);
    // Places the main control and its companions; `rect` is the style's
    // rectangle with the height worked out.
    using Layout = void (*)(XmlForm& form, FormControl& control, const QRect& rect);

    Create create = nullptr;
    // Null: an edit is inset by its frame, anything else takes the rectangle.
    Layout layout = nullptr;
    // The element's children are controls inside the one made.
    bool container = false;
    // A name the control always takes ("ok" for submit); null: the element's "name".
    const char16_t* fixedName = nullptr;

    // The type an element asks for, or null when nothing is made for it.
    static const ControlType* find(const Element& element);
    // Adds or replaces the type of a key: "input:TYPE", "input:text:EXTENSION",
    // "button:TYPE", "button", "select", "select:multiple", or a tag.
    static void add(const String& key, const ControlType& type);
};

}
