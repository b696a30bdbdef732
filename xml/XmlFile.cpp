#include "xml/XmlFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumavine {

namespace {

void appendCodePoint(String& out, unsigned long cp)
{
    if (cp <= 0xFFFF) {
        out.push_back(char16_t(cp));
    } else {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    }
}

// Reads "&#N;" at `at`; answers its length, or 0 when it is not a reference
// to a character above 255.
size_t wideReference(std::string_view bytes, size_t at, unsigned long& cp)
{
    size_t i = at + 2;
    unsigned long value = 0;
    size_t digits = 0;
    while (i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9' && digits < 8) {
        value = value * 10 + (bytes[i] - '0');
        ++i;
        ++digits;
    }
    if (digits == 0 || i >= bytes.size() || bytes[i] != ';' || value <= 255 || value > 0x10FFFF)
        return 0;
    // Only the form the writer makes: no leading zeros.
    if (bytes[at + 2] == '0')
        return 0;
    cp = value;
    return i + 1 - at;
}

}

String decodeFileText(std::string_view bytes)
{
    String out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            ++i;
            continue;
        }
        if (c == '&' && i + 1 < bytes.size() && bytes[i + 1] == '#') {
            unsigned long cp = 0;
            if (size_t length = wideReference(bytes, i, cp)) {
                appendCodePoint(out, cp);
                i += length;
                continue;
            }
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

std::string encodeFileText(std::u16string_view text, bool crlf)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\n') {
            if (crlf)
                out.push_back('\r');
            out.push_back('\n');
        } else if (c <= 0xFF) {
            out.push_back(char(c));
        } else {
            unsigned long cp = codePointAt(text, i);
            out.append("&#");
            out.append(std::to_string(cp));
            out.push_back(';');
        }
    }
    return out;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes)
{
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = true;
    size_t written = 0;
    while (ok && written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            written += size_t(n);
    }
    // Files are created readable by others, as an ordinary save would.
    mode_t mask = umask(0);
    umask(mask);
    if (ok && fchmod(fd, 0666 & ~mask) != 0)
        ok = false;
    if (ok && fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}
