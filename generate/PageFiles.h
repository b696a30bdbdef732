#pragma once

#include "core/String.h"

namespace lumavine {

class Page;

// Generates a page's two files in the project's content folder: resolves
// every file the page refers to into the site, writes the page picture and
// then the HTML file. The HTML file is written beside its place and renamed
// into it, so that a failed run never leaves half a page. False when the
// picture or the HTML file could not be written; the HTML file is written
// even when the picture failed.
bool writePageFiles(Page& page, String& htmlPath, String& imagePath);

}
