#pragma once

#include "xml/Document.h"

#include <memory>

namespace lumavine {

// The canvas's context menu for shapes, as a menu document for MenuMap. Its
// "shape|page" submenu starts empty and is filled with the project's pages.
struct ShapeMenu {
    static std::unique_ptr<Document> document();
};

}
