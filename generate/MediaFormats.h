#pragma once

#include "core/String.h"

#include <vector>

namespace lumavine {

class Page;

// Media files by their extension (without the dot, in any case). Video and
// sound both take the formats current browsers play and the older ones
// that only the media player of the old browser plays.
bool isVideoExtension(const String& extension);
bool isAudioExtension(const String& extension);
// Whether the extension is one of those older formats (WMV, WMA, AVI,
// MPEG and the like), which no current browser plays.
bool isOldMediaExtension(const String& extension);

// The files in an older media format that the page's actions play (video,
// sound, the sound of a picture, page or slideshow), each once, in the
// order the page names them.
std::vector<String> oldMediaFiles(const Page& page);

}
