#pragma once

#include "core/String.h"

#include <string_view>

namespace lumavine {

// The name a file copied into the site gets from the text that describes its
// origin: the MD5 digest of the text in Base64 without its "==" padding, with
// "/" as "-" and "+" as "_" so that it can serve as a file name, then "." and
// the extension (no dot without an extension). Always 22 characters before
// the dot.
String digestFileName(std::string_view origin, std::u16string_view extension);

}
