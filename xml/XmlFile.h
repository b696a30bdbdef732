#pragma once

#include "core/AtomicFile.h"
#include "core/String.h"

#include <cstddef>
#include <iosfwd>
#include <string>

namespace lumavine {

// The program's files hold one byte per character (ISO 8859-1). A character
// beyond that range is kept as "&#N;" (N > 255) so that no text a user typed
// is lost; reading turns exactly that form back into the character. A text
// that itself holds such a reference ("&#8364;" typed as such) has its "&"
// written as "&amp;" (and "&amp;#8364;" becomes "&amp;amp;#8364;"), which
// reading takes back off, so every text comes back as it was written.
String decodeFileText(std::string_view bytes);
// The rest of the stream decoded as decodeFileText decodes it, read in blocks
// of the given size (a reference split between two blocks is put together
// first) without holding all the bytes at once.
String readFileText(std::istream& stream, size_t blockSize = 64 * 1024);

// The same, a block at a time, for a reader that need not hold the whole text.
class FileTextReader {
public:
    explicit FileTextReader(std::istream& stream, size_t blockSize = 64 * 1024);
    // What the stream says is left, in bytes (an upper bound of the text's
    // length); 0 when it does not say.
    size_t sizeHint() const;
    // Appends the text of the next block; false at the end of the stream,
    // once the last of the text was appended.
    bool readInto(String& text);

private:
    std::streambuf* m_buffer;
    size_t m_blockSize;
    std::string m_bytes;
    size_t m_kept = 0;
    bool m_done = false;
};
std::string encodeFileText(std::u16string_view text, bool crlf);

// writeFileAtomically(), which saves through a temporary file renamed over
// the path, comes from core/AtomicFile.h.

}
