#pragma once

#include "core/String.h"

namespace lumavine {

class Document;
class Element;

// The elements the dialog classes write their form documents with: one
// place for how a group box, a button, a list or an input is described.
// Positions are pixels of the enclosing form or group box.
namespace FormElements {

// The dialog's title, its place (10, 10) and size in template units, and
// its form of that name.
Element* frame(Document& document, const String& title, int width, int height, const String& formName);
Element* groupBox(
    Element* parent, std::u16string_view name, std::u16string_view caption, int left, int top, int width, int height);
Element* button(
    Element* parent, std::u16string_view name, std::u16string_view text, int left, int top, int width, int height);
Element* label(Element* parent, std::u16string_view forName, std::u16string_view text, int left, int top, int width);
Element* textInput(Element* parent, std::u16string_view name, const String& value, int left, int top, int width,
    std::u16string_view extension = {});
// A number input with its spin buttons, from `low` to `high`.
Element* spin(
    Element* parent, std::u16string_view name, const String& value, int left, int top, int width, int low, int high);
// A drop-down list; the height is that of the open list.
Element* dropDown(Element* parent, std::u16string_view name, int left, int top, int width, int height);
Element* option(Element* list, std::u16string_view value, std::u16string_view text, bool selected);
Element* checkBox(
    Element* parent, std::u16string_view name, std::u16string_view caption, bool checked, int left, int top, int width);

}

}
