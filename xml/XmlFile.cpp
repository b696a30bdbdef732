#include "xml/XmlFile.h"

#include <algorithm>
#include <cstring>
#include <istream>

namespace lumavine {

namespace {

char16_t* putCodePoint(char16_t* out, unsigned long cp)
{
    if (cp <= 0xFFFF) {
        *out++ = char16_t(cp);
    } else {
        cp -= 0x10000;
        *out++ = char16_t(0xD800 + (cp >> 10));
        *out++ = char16_t(0xDC00 + (cp & 0x3FF));
    }
    return out;
}

// Reads "#N;" at `at` (the "&" before it already seen); answers its length,
// or 0 when it is not a reference to a character above 255 in the one form
// the writer makes.
template<typename Text>
size_t wideReference(Text text, size_t at, unsigned long& cp)
{
    if (at >= text.size() || text[at] != '#')
        return 0;
    size_t i = at + 1;
    unsigned long value = 0;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 8) {
        value = value * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    if (digits == 0 || i >= text.size() || text[i] != ';' || value <= 255 || value > 0x10FFFF)
        return 0;
    // Only the form the writer makes: no leading zeros.
    if (text[at + 1] == '0')
        return 0;
    cp = value;
    return i + 1 - at;
}

// A literal "&#N;" in a text would read back as the character, so the writer
// writes its "&" as "&amp;", and the reader turns "&amp;#N;" back into "&#N;".
// To keep that reversible, "&amp;#N;" in a text is written "&amp;amp;#N;" and
// so on: an "&" followed by "amp;" k times and "#N;" is written with one more
// "amp;" and read with one fewer. Answers k for the "&" at `at`, or -1 when
// the text there is no such sequence. Nothing else changes: an "&amp;" or
// "&#N;" in any other surroundings reads as it always did.
template<typename Text>
int ampersandsBeforeReference(Text text, size_t at)
{
    if (text[at] != '&')
        return -1;
    static constexpr std::u16string_view amp = u"amp;";
    size_t i = at + 1;
    int repeats = 0;
    for (;;) {
        size_t k = 0;
        while (k < amp.size() && i + k < text.size() && char16_t(text[i + k]) == amp[k])
            ++k;
        if (k < amp.size())
            break;
        i += amp.size();
        ++repeats;
    }
    unsigned long cp = 0;
    return wideReference(text, i, cp) ? repeats : -1;
}

}

namespace {

// Appends the decoded bytes to `out`. No byte becomes more than one unit,
// and a reference of five or more bytes becomes at most two, so the text
// fits in as many units as there are bytes. Writing through a pointer spares
// a call per byte.
void appendDecoded(String& out, std::string_view bytes)
{
    size_t before = out.size();
    out.resize(before + bytes.size());
    char16_t* const begin = out.data() + before;
    char16_t* o = begin;
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c != '\r' && c != '&') {
            *o++ = c;
            ++i;
            continue;
        }
        if (c == '\r') {
            ++i;
            continue;
        }
        int escapes = ampersandsBeforeReference(bytes, i);
        if (escapes == 0) {
            unsigned long cp = 0;
            i += 1 + wideReference(bytes, i + 1, cp);
            o = putCodePoint(o, cp);
            continue;
        }
        // "&amp;" before a reference stands for the "&" of a literal one.
        *o++ = u'&';
        i += escapes > 0 ? 5 : 1;
    }
    out.resize(before + size_t(o - begin));
}

// How many bytes at the end must wait for the next block: those from the
// last "&" on, when the end comes before its sequence of "amp;" and "#N;"
// is decided. An "&" further back is decided already, as its sequence holds
// no other "&".
size_t undecidedTail(std::string_view bytes)
{
    size_t at = bytes.rfind('&');
    if (at == std::string_view::npos)
        return 0;
    std::string_view rest = bytes.substr(at + 1);
    static constexpr std::string_view amp = "amp;";
    while (rest.size() >= amp.size() && rest.starts_with(amp))
        rest.remove_prefix(amp.size());
    size_t undecided = bytes.size() - at;
    if (rest.size() < amp.size() && amp.starts_with(rest))
        return undecided;
    if (rest.empty() || rest[0] != '#')
        return 0;
    size_t digits = 0;
    while (1 + digits < rest.size() && digits < 8 && rest[1 + digits] >= '0' && rest[1 + digits] <= '9')
        ++digits;
    // The end came before the byte that decides.
    return 1 + digits == rest.size() ? undecided : 0;
}

}

String decodeFileText(std::string_view bytes)
{
    String out;
    appendDecoded(out, bytes);
    return out;
}

FileTextReader::FileTextReader(std::istream& stream, size_t blockSize)
    : m_buffer(stream.rdbuf())
    , m_blockSize(std::max<size_t>(blockSize, 1))
{
}

size_t FileTextReader::sizeHint() const
{
    // A file knows how much is left to read.
    std::streamsize left = m_buffer ? m_buffer->in_avail() : 0;
    return left > 0 ? size_t(left) : 0;
}

bool FileTextReader::readInto(String& text)
{
    if (m_done)
        return false;
    // Like a character iterator, this reads the buffer whatever the stream's
    // state flags say. A tail that keeps waiting grows the next read, so
    // that a long run of "amp;" is scanned a bounded number of times.
    size_t wanted = std::max(m_blockSize, m_kept);
    m_bytes.resize(m_kept + wanted);
    std::streamsize got = m_buffer ? m_buffer->sgetn(m_bytes.data() + m_kept, std::streamsize(wanted)) : 0;
    if (got <= 0) {
        appendDecoded(text, std::string_view(m_bytes.data(), m_kept));
        m_done = true;
        return false;
    }
    std::string_view have(m_bytes.data(), m_kept + size_t(got));
    m_kept = undecidedTail(have);
    appendDecoded(text, have.substr(0, have.size() - m_kept));
    if (m_kept > 0 && m_kept < have.size())
        std::memmove(m_bytes.data(), m_bytes.data() + have.size() - m_kept, m_kept);
    return true;
}

String readFileText(std::istream& stream, size_t blockSize)
{
    FileTextReader reader(stream, blockSize);
    String text;
    text.reserve(reader.sizeHint());
    while (reader.readInto(text)) { }
    return text;
}

std::string encodeFileText(std::u16string_view text, bool crlf)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        // Most of a project file is plain text that goes out byte for byte;
        // such a run is copied in one step.
        size_t plain = i;
        while (plain < text.size() && text[plain] <= 0xFF && text[plain] != u'&' && text[plain] != u'\n')
            ++plain;
        if (plain != i) {
            const size_t start = out.size();
            out.resize(start + (plain - i));
            for (size_t k = i; k < plain; ++k)
                out[start + (k - i)] = char(text[k]);
            i = plain;
            if (i == text.size())
                break;
        }
        char16_t c = text[i];
        if (c == u'\n') {
            if (crlf)
                out.push_back('\r');
            out.push_back('\n');
        } else if (c == u'&' && ampersandsBeforeReference(text, i) >= 0) {
            out.append("&amp;");
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

}
