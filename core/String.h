#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumavine {

// The program's text: UTF-16 code units. Narrow (8-bit) text crosses in and
// out only at the system boundary, in the user's locale.
class String : public std::u16string {
public:
    String() = default;
    String(const char16_t* text) { assign(text); }
    String(const char16_t* text, size_type length) : std::u16string(text, length) { }
    String(std::u16string_view text) : std::u16string(text) { }
    String(const std::u16string& text) : std::u16string(text) { }
    String(std::u16string&& text) : std::u16string(std::move(text)) { }
    // Narrow text in the current locale's multibyte encoding.
    explicit String(const char* narrow) { assignNarrow(narrow); }
    explicit String(const std::string& narrow) { assignNarrow(narrow); }
    String(const String&) = default;
    String(String&&) noexcept = default;
    String& operator=(const String&) = default;
    String& operator=(String&&) noexcept = default;
    String& operator=(const char16_t* text) { return assign(text); }
    String& operator=(std::u16string_view text)
    {
        std::u16string::assign(text);
        return *this;
    }
    virtual ~String() = default;

    using std::u16string::append;
    using std::u16string::assign;

    String& assign(const char16_t* text);
    // Leaves the string unchanged when the text does not convert.
    String& assignNarrow(std::string_view narrow);
    // For names from the system (file names, paths), which need not be text
    // in the locale's encoding: never fails. Each byte that is no part of a
    // character becomes the lone surrogate U+DC00 + byte (0x80 to 0xFF), as
    // Python's "surrogateescape" does, and toNarrow() gives that byte back,
    // so the name reaches the same file.
    static String fromNarrowLossless(std::string_view narrow);
    // A lone surrogate U+DC80 to U+DCFF becomes its byte (see above); any
    // other character the locale cannot encode becomes '?'.
    std::string toNarrow() const;
    // Each byte is one character of the same code (ISO 8859-1).
    static String fromLatin1(std::string_view bytes);
    // The text of UTF-8 bytes whatever the locale; nothing when they are not
    // well-formed UTF-8.
    static std::optional<String> fromUtf8(std::string_view bytes);
    static String fromNarrow(std::string_view narrow) { return String(std::string(narrow)); }
    static String number(long long value);

    String& appendInt(long long value);
    String& setInt(long long value);

    bool equals(std::u16string_view text) const { return std::u16string_view(*this) == text; }
    bool equalsIgnoreCase(std::u16string_view text) const;
    bool startsWith(std::u16string_view text) const { return std::u16string_view(*this).starts_with(text); }
    bool endsWith(std::u16string_view text) const { return std::u16string_view(*this).ends_with(text); }
    bool contains(char16_t c) const { return find(c) != npos; }
    bool contains(std::u16string_view text) const { return find(text) != npos; }

    // Characters from `from`, or from `from` up to (not including) `to`;
    // positions past the end are clamped.
    String substring(size_type from) const;
    String substring(size_type from, size_type to) const;

    enum TrimMode { TrimStart = 0, TrimEnd = 1, TrimBoth = 2 };
    String& trim(int mode = TrimBoth);
    String& toUpper();
    String& toLower();
    String& replaceAll(std::u16string_view find, std::u16string_view replacement);
    String& replaceChar(char16_t c, char16_t replacement);
    String& replaceAnyOf(std::u16string_view set, char16_t replacement);

    String& escapeXml();
    String& unescapeXml();
    String& formatThousands();

    bool readInt(int& out) const;
    bool readDouble(double& out, int* fractionDigits = nullptr) const;

    static char16_t foldLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }
    static char16_t foldUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
};

// Answered by every lookup that finds nothing; never to be changed.
extern const String emptyString;

inline String operator+(const String& a, std::u16string_view b)
{
    String result(a);
    result.append(b);
    return result;
}

inline String operator+(std::u16string_view a, const String& b)
{
    String result(a);
    result.append(b);
    return result;
}

inline String operator+(const String& a, const String& b)
{
    String result(a);
    result.append(b);
    return result;
}

inline String operator+(const String& a, const char16_t* b)
{
    String result(a);
    result.append(b);
    return result;
}

inline String operator+(const char16_t* a, const String& b)
{
    String result(a);
    result.append(b);
    return result;
}

inline String operator+(const String& a, char16_t b)
{
    String result(a);
    result.push_back(b);
    return result;
}

struct StringHash {
    size_t operator()(const String& s) const { return std::hash<std::u16string>()(s); }
};

// The code point that starts at text[i], joining a surrogate pair and then
// leaving i on its second half. A lone surrogate comes back as it is, for the
// caller to replace as its output needs.
inline char32_t codePointAt(std::u16string_view text, size_t& i)
{
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i;
        return 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i] - 0xDC00);
    }
    return c;
}

inline bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

}
