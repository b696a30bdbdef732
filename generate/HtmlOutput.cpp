#include "generate/HtmlOutput.h"

#include <array>
#include <cstdio>

namespace lumavine {

namespace {

struct Marker {
    std::u16string_view text;
    bool opens;
};

// The page writer emits its tags in lower case and whole in one piece.
constexpr std::array<Marker, 4> scriptAndStyleTags { {
    { u"<script", true },
    { u"</script", false },
    { u"<style", true },
    { u"</style", false },
} };

void appendHex(std::string& out, const char* format, unsigned value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, format, value);
    out += digits;
}

}

HtmlOutput& HtmlOutput::text(std::u16string_view text)
{
    write(text);
    return *this;
}

HtmlOutput& HtmlOutput::line(std::u16string_view text)
{
    write(text);
    m_out << "\r\n";
    return *this;
}

void HtmlOutput::write(std::u16string_view text)
{
    m_buffer.clear();
    while (!text.empty()) {
        size_t next = std::u16string_view::npos;
        const Marker* found = nullptr;
        for (const Marker& marker : scriptAndStyleTags) {
            size_t at = text.find(marker.text);
            if (at < next) {
                next = at;
                found = &marker;
            }
        }
        if (!found) {
            writeEscaped(text);
            break;
        }
        writeEscaped(text.substr(0, next));
        m_context = Context::Html;
        writeEscaped(found->text);
        m_inOpeningTag = found->opens;
        if (found->opens)
            m_afterTag = found->text == u"<script" ? Context::Script : Context::Style;
        text.remove_prefix(next + found->text.size());
    }
    m_out << m_buffer;
}

void HtmlOutput::writeEscaped(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit < 0x80) {
            m_buffer.push_back(static_cast<char>(unit));
            if (unit == u'>' && m_inOpeningTag) {
                m_inOpeningTag = false;
                m_context = m_afterTag;
            }
            continue;
        }
        if (m_context == Context::Script) {
            // A script takes UTF-16 units one by one, in strings and names alike.
            appendHex(m_buffer, "\\u%04x", unit);
            continue;
        }
        char32_t codePoint = codePointAt(text, i);
        if (isSurrogate(codePoint))
            codePoint = 0xFFFD;
        if (m_context == Context::Style)
            appendHex(m_buffer, "\\%06x", static_cast<unsigned>(codePoint));
        else
            appendHex(m_buffer, "&#%u;", static_cast<unsigned>(codePoint));
    }
}

}
