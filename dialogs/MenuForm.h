#pragma once

#include "core/String.h"

namespace lumavine {

class Document;
class Element;
class PageMenu;

// The "Menu" tab of a shape's properties: the entries of its pop-up menu
// (kept by the page's dialog listener) and how the menu opens and looks.
struct MenuForm {
    // Adds the form, filled from the menu (null: a new menu's defaults),
    // with OK and Cancel at `buttonTop`.
    static Element* add(Document& formDocument, const PageMenu* menu, int buttonTop);
    // The "update" element a confirmed result makes: for "menustyle",
    // "itemstyle" and "hoverstyle" their border, font and background texts,
    // then "static", "trigger", "alignment", "height", "thumbwidth" and
    // "thumbheight", as the menu reads them.
    static void composeUpdate(const Element* result, Element* update);
};

}
