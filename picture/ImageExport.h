#pragma once

#include "core/String.h"

#include <QImage>

namespace lumavine {

// Saves a rendered page picture with the encoder of MIME type "image/" +
// type. An empty type means "png"; "jpg" uses the JPEG encoder like "jpeg",
// and JPEG pictures take `quality` (1 to 100); "gif" is written through
// giflib; "none" writes nothing and succeeds. The file is written under a
// temporary name and renamed over `path`, so a failed export leaves the old
// picture in place. False for an unknown type or a failed write; the caller
// tells the user "Error in processing " + name + ": ".
bool exportPageImage(const QImage& picture, const String& type, const String& path, int quality);

// The file a page picture goes to: the project folder + "/content/" + the
// page name with blanks as "_" + "." + the type ("png" when empty).
String pageImagePath(const String& projectFolder, const String& pageName, const String& type);

}
