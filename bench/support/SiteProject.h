#pragma once

#include "core/String.h"

#include <string>
#include <vector>

namespace lumavine {

class Page;

namespace bench {

// Small pictures outside the project, as a user's own files would be;
// answers their paths.
std::vector<std::string> writeSourcePictures(const std::string& folder);

// Fills one page of the site benchmarks' project: a frame, then mixed
// shapes with captions, borders, gradients, line styles and the actions a
// real site uses. The same index gives the same page.
void fillSitePage(
    Page& page, int pageIndex, int shapeCount, const std::vector<std::string>& pictures, const String& otherPageLabel);

// The process's resident size and its peak, in kilobytes, from
// /proc/self/status; 0 when it cannot be read.
struct ResidentSize {
    long current = 0;
    long peak = 0;
};
ResidentSize residentSize();

}
}
