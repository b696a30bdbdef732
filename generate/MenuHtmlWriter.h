#pragma once

#include "core/String.h"

namespace lumavine {

class HtmlOutput;
class Page;
class PageNode;

// The block a page carries for a node's pop-up menu: its style sheet, the
// hidden division with the entries' table, and the script that sizes the
// division to the table. The runtime's show_menu places and shows it.
class MenuHtmlWriter {
public:
    // `number` is the node's position among all nodes of the page, from 0;
    // show_picture entries add their pictures to the page's preload list.
    static void write(HtmlOutput& out, Page& page, PageNode& node, int number, bool pictureMode);
};

}
