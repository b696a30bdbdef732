#pragma once

#include "core/String.h"

#include <string>

namespace lumavine {

// The program's files hold one byte per character (ISO 8859-1). A character
// beyond that range is kept as "&#N;" (N > 255) so that no text a user typed
// is lost; reading turns exactly that form back into the character.
String decodeFileText(std::string_view bytes);
std::string encodeFileText(std::u16string_view text, bool crlf);

// Writes the bytes to a temporary file beside the path and renames it over
// the path, so the old file stays whole until the new one is.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

}
