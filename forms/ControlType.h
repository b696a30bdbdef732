#pragma once

#include "core/String.h"

#include <QRect>

class QComboBox;
class QWidget;

namespace lumavine {

class Element;
class XmlForm;
struct FormControl;

// Everything the form engine does with one kind of control: how an element
// becomes the control, how it is laid out, read, written, heard and pressed,
// and what it adds to the result. A new kind of control is one more entry in
// the table of ControlTypes; the engine never asks which kind it holds.
// Companion controls (chooser buttons, swatches, spins, labels) have types of
// their own that are not in the table: their main control makes them.
struct ControlType {
    // Makes the main control (and its companions) inside `window` and records
    // it with `type`, the entry the element was matched to; null when the
    // element cannot be made.
    using Create = FormControl* (*)(XmlForm& form, const ControlType& type, Element* element, const String& name,
        QWidget* window);
    // Places the main control and its companions; `rect` is the style's
    // rectangle with the height worked out.
    using Layout = void (*)(XmlForm& form, FormControl& control, const QRect& rect);
    // The value the control shows, as the form's valueOf answers it.
    using Read = String (*)(const FormControl& control);
    // Shows a value; false when the control cannot take it.
    using Write = bool (*)(FormControl& control, const String& value);
    // Passes the control's notifications on to the form and its listener.
    using Connect = void (*)(XmlForm& form, FormControl& control);
    // What a press of the control does instead of telling the listener.
    using Press = void (*)(XmlForm& form, FormControl& control);
    // Appends what an element of this type gives the result document under
    // `name`; `control` is the one made from that element, null when none was.
    using Result = void (*)(const XmlForm& form, const String& name, const FormControl* control, Element* root);

    // Null: the element makes no control, though it may still give a result.
    Create create = nullptr;
    // Null: the control takes the rectangle as it is.
    Layout layout = nullptr;
    // Null: the empty text.
    Read read = nullptr;
    // Null: the control takes no value.
    Write write = nullptr;
    // Null: the control tells nobody anything.
    Connect connect = nullptr;
    // Null: a press reaches the listener's buttonClicked.
    Press press = nullptr;
    // Null: the element adds nothing to the result.
    Result result = nullptr;
    // The element's children are controls inside the one made.
    bool container = false;
    // The form draws a sunken frame round the control.
    bool framed = false;
    // A name the control always takes ("ok" for submit); null: the element's "name".
    const char16_t* fixedName = nullptr;

    // The type an element asks for, or null when it is no control element.
    static const ControlType* find(const Element& element);
    // Adds or replaces the type of a key: "input:TYPE", "input:text:EXTENSION",
    // "button:TYPE", "button", "select", "select:multiple", or a tag.
    static void add(const String& key, const ControlType& type);
    // The static text that a "label" element makes for its control.
    static const ControlType& label();
};

// Shows the "option" children of a drop-down list's element in the box, in
// their order, with the one marked "selected" current (none when none is).
void fillDropDown(QComboBox& combo, Element* element);

}
