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
// The same for a page whose files prepareGeneration() has just resolved, so
// that a file that cannot be brought into the site is reported once, not
// again under its site path. `htmlWritten` tells whether the HTML file is
// in its place, which the answer alone cannot say when the picture failed.
bool writePreparedPageFiles(Page& page, String& htmlPath, String& imagePath, bool& htmlWritten);

}
