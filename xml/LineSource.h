#pragma once

#include "core/String.h"

#include <memory>
#include <string>

namespace lumavine {

// A connection that hands out 8-bit lines, for reading documents from web
// locations. The networking layer provides it; the document layer cannot
// depend on sockets itself.
class LineSource {
public:
    virtual ~LineSource() = default;
    // The next line without its line end; false when the connection ended
    // and nothing was left.
    virtual bool readLine(std::string& line) = 0;
};

using HttpLineOpener = std::unique_ptr<LineSource> (*)(const String& location);

// Installed once at start-up by the networking layer; without it, documents
// at "http" locations do not load.
void setHttpLineOpener(HttpLineOpener opener);
HttpLineOpener httpLineOpener();

}
