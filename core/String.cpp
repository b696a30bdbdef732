#include "core/String.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <langinfo.h>
#include <limits>

namespace lumavine {

const String emptyString;

namespace {

// The plain C locale claims ASCII, but every path and terminal on this
// platform is UTF-8; treat it as UTF-8 so that non-ASCII names survive.
bool localeIsUtf8()
{
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset)
        return true;
    return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0
        || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 || std::strcmp(codeset, "ASCII") == 0;
}

void appendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(char16_t(cp));
    } else {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    }
}

// The length of the well-formed UTF-8 sequence at in[i] and its code point,
// or 0 when the bytes there are not one.
size_t utf8SequenceAt(std::string_view in, size_t i, char32_t& cp)
{
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int extra;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + extra >= in.size())
        return 0;
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(in[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr char32_t minimum[] = { 0, 0x80, 0x800, 0x10000 };
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return size_t(extra) + 1;
}

// A byte that is no part of a character in the narrow text is kept as the
// lone surrogate U+DC00 + byte (bytes from 0x80 up only; ASCII always is a
// character), as Python's "surrogateescape" does; toNarrow() writes it back.
constexpr char16_t escapedByteBase = 0xDC00;

bool isEscapedByte(char32_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

// Strict: false on the first byte that is no part of a character. Lossless:
// such a byte is escaped and decoding goes on.
bool decodeUtf8(std::string_view in, std::u16string& out, bool lossless)
{
    size_t i = 0;
    while (i < in.size()) {
        char32_t cp = 0;
        size_t length = utf8SequenceAt(in, i, cp);
        if (length == 0) {
            if (!lossless)
                return false;
            out.push_back(char16_t(escapedByteBase + static_cast<unsigned char>(in[i])));
            ++i;
            continue;
        }
        appendCodePoint(out, cp);
        i += length;
    }
    return true;
}

bool decodeLocale(std::string_view narrow, std::u16string& out, bool lossless)
{
    std::mbstate_t state {};
    size_t i = 0;
    while (i < narrow.size()) {
        wchar_t wc = 0;
        size_t used = std::mbrtowc(&wc, narrow.data() + i, narrow.size() - i, &state);
        if (used == size_t(-1) || used == size_t(-2)) {
            if (!lossless)
                return false;
            unsigned char byte = static_cast<unsigned char>(narrow[i]);
            out.push_back(byte < 0x80 ? char16_t(byte) : char16_t(escapedByteBase + byte));
            state = std::mbstate_t {};
            ++i;
            continue;
        }
        if (used == 0)
            used = 1;
        appendCodePoint(out, char32_t(wc));
        i += used;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// Walks the UTF-16 text as code points, handing an escaped byte (see
// decodeUtf8) to `byte`. Any other lone surrogate cannot be encoded anywhere
// and becomes U+FFFD's stand-in '?'.
template<typename ByteSink, typename Sink>
void forEachCodePoint(std::u16string_view text, ByteSink byte, Sink sink)
{
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = codePointAt(text, i);
        if (isEscapedByte(cp))
            byte(char(cp - escapedByteBase));
        else
            sink(isSurrogate(cp) ? U'?' : cp);
    }
}

}

String& String::assign(const char16_t* text)
{
    if (text)
        std::u16string::assign(text);
    else
        clear();
    return *this;
}

String& String::assignNarrow(std::string_view narrow)
{
    std::u16string converted;
    converted.reserve(narrow.size());
    bool converts = localeIsUtf8() ? decodeUtf8(narrow, converted, false) : decodeLocale(narrow, converted, false);
    if (converts)
        std::u16string::assign(std::move(converted));
    return *this;
}

String String::fromNarrowLossless(std::string_view narrow)
{
    String converted;
    converted.reserve(narrow.size());
    if (localeIsUtf8())
        decodeUtf8(narrow, converted, true);
    else
        decodeLocale(narrow, converted, true);
    return converted;
}

std::string String::toNarrow() const
{
    std::string out;
    out.reserve(size());
    auto byte = [&](char c) { out.push_back(c); };
    if (localeIsUtf8()) {
        forEachCodePoint(*this, byte, [&](char32_t cp) { appendUtf8(out, cp); });
        return out;
    }
    std::mbstate_t state {};
    forEachCodePoint(*this, byte, [&](char32_t cp) {
        char buffer[MB_LEN_MAX];
        size_t n = std::wcrtomb(buffer, wchar_t(cp), &state);
        if (n == size_t(-1)) {
            state = std::mbstate_t {};
            out.push_back('?');
        } else {
            out.append(buffer, n);
        }
    });
    return out;
}

std::optional<String> String::fromUtf8(std::string_view bytes)
{
    String result;
    result.reserve(bytes.size());
    if (!decodeUtf8(bytes, result, false))
        return std::nullopt;
    return result;
}

String String::fromLatin1(std::string_view bytes)
{
    String result;
    result.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        result[i] = static_cast<unsigned char>(bytes[i]);
    return result;
}

String String::number(long long value)
{
    String s;
    s.setInt(value);
    return s;
}

String& String::appendInt(long long value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    for (const char* p = buffer; p != result.ptr; ++p)
        push_back(char16_t(*p));
    return *this;
}

String& String::setInt(long long value)
{
    clear();
    return appendInt(value);
}

bool String::equalsIgnoreCase(std::u16string_view text) const
{
    if (text.size() != size())
        return false;
    for (size_t i = 0; i < size(); ++i) {
        if (foldLower((*this)[i]) != foldLower(text[i]))
            return false;
    }
    return true;
}

String String::substring(size_type from) const
{
    if (from >= size())
        return String();
    return String(std::u16string_view(*this).substr(from));
}

String String::substring(size_type from, size_type to) const
{
    if (to > size())
        to = size();
    if (from >= to)
        return String();
    return String(std::u16string_view(*this).substr(from, to - from));
}

String& String::trim(int mode)
{
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    if (mode == TrimEnd || mode == TrimBoth) {
        size_type end = size();
        while (end > 0 && blank((*this)[end - 1]))
            --end;
        erase(end);
    }
    if (mode == TrimStart || mode == TrimBoth) {
        size_type start = 0;
        while (start < size() && blank((*this)[start]))
            ++start;
        erase(0, start);
    }
    return *this;
}

String& String::toUpper()
{
    for (auto& c : *this)
        c = foldUpper(c);
    return *this;
}

String& String::toLower()
{
    for (auto& c : *this)
        c = foldLower(c);
    return *this;
}

String& String::replaceAll(std::u16string_view find, std::u16string_view replacement)
{
    if (find.empty())
        return *this;
    size_type at = std::u16string::find(find);
    if (at == npos)
        return *this;
    std::u16string result;
    result.reserve(size());
    size_type from = 0;
    while (at != npos) {
        result.append(*this, from, at - from);
        result.append(replacement);
        from = at + find.size();
        at = std::u16string::find(find, from);
    }
    result.append(*this, from, npos);
    std::u16string::assign(std::move(result));
    return *this;
}

String& String::replaceChar(char16_t c, char16_t replacement)
{
    for (auto& x : *this) {
        if (x == c)
            x = replacement;
    }
    return *this;
}

String& String::replaceAnyOf(std::u16string_view set, char16_t replacement)
{
    for (auto& x : *this) {
        if (set.find(x) != std::u16string_view::npos)
            x = replacement;
    }
    return *this;
}

String& String::escapeXml()
{
    std::u16string result;
    bool escaped = false;
    for (char16_t c : *this) {
        switch (c) {
        case u'<':
            result.append(u"&lt;");
            escaped = true;
            break;
        case u'>':
            result.append(u"&gt;");
            escaped = true;
            break;
        case u'"':
            result.append(u"&quot;");
            escaped = true;
            break;
        case u'\'':
            result.append(u"&#146;");
            escaped = true;
            break;
        case u'&':
            result.append(u"&amp;");
            escaped = true;
            break;
        default:
            result.push_back(c);
        }
    }
    if (escaped)
        std::u16string::assign(std::move(result));
    return *this;
}

String& String::unescapeXml()
{
    std::u16string result;
    result.reserve(size());
    size_type i = 0;
    while (i < size()) {
        char16_t c = (*this)[i];
        if (c != u'&') {
            result.push_back(c);
            ++i;
            continue;
        }
        size_type semicolon = find(u';', i);
        if (semicolon == npos) {
            result.append(*this, i, npos);
            break;
        }
        std::u16string_view reference = std::u16string_view(*this).substr(i, semicolon + 1 - i);
        if (reference == u"&lt;")
            result.push_back(u'<');
        else if (reference == u"&gt;")
            result.push_back(u'>');
        else if (reference == u"&quot;")
            result.push_back(u'"');
        else if (reference == u"&#146;")
            result.push_back(u'\'');
        else if (reference == u"&amp;")
            result.push_back(u'&');
        i = semicolon + 1;
    }
    std::u16string::assign(std::move(result));
    return *this;
}

String& String::formatThousands()
{
    if (empty())
        return *this;
    size_type lastDot = rfind(u'.');
    std::u16string reversed;
    size_type i = size();
    if (lastDot != npos) {
        while (i > lastDot + 1)
            reversed.push_back((*this)[--i]);
    }
    int count = 0;
    while (i > 0) {
        char16_t c = (*this)[--i];
        if (c == u'.') {
            reversed.push_back(c);
            count = 0;
            continue;
        }
        if (count > 0 && count % 3 == 0 && c != u'-')
            reversed.push_back(u',');
        reversed.push_back(c);
        ++count;
    }
    if (reversed.size() > 1047) {
        std::u16string::assign(u"NaN");
        return *this;
    }
    std::u16string::assign(reversed.rbegin(), reversed.rend());
    return *this;
}

bool String::readInt(int& out) const
{
    if (empty())
        return false;
    std::string kept;
    for (size_type i = 0; i < size(); ++i) {
        char16_t c = (*this)[i];
        if (c >= u'0' && c <= u'9')
            kept.push_back(char(c));
        else if (c == u',')
            continue;
        else if (c == u'-' && i == 0)
            kept.push_back('-');
        else
            return false;
    }
    int value = 0;
    auto result = std::from_chars(kept.data(), kept.data() + kept.size(), value);
    if (result.ec != std::errc() || result.ptr != kept.data() + kept.size())
        return false;
    out = value;
    return true;
}

bool String::readDouble(double& out, int* fractionDigits) const
{
    if (empty())
        return false;
    std::string kept;
    bool seenPoint = false;
    int fraction = 0;
    for (size_type i = 0; i < size(); ++i) {
        char16_t c = (*this)[i];
        if (c >= u'0' && c <= u'9') {
            kept.push_back(char(c));
            if (seenPoint)
                ++fraction;
        } else if (c == u'.') {
            if (seenPoint)
                return false;
            seenPoint = true;
            kept.push_back('.');
        } else if (c == u'-' && i == 0) {
            kept.push_back('-');
        } else {
            return false;
        }
    }
    double value = 0;
    auto result = std::from_chars(kept.data(), kept.data() + kept.size(), value);
    if (result.ec != std::errc() || result.ptr != kept.data() + kept.size())
        return false;
    out = value;
    if (fractionDigits)
        *fractionDigits = fraction;
    return true;
}

}
