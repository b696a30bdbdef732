#include "generate/HtmlText.h"

#include "page/Action.h"

namespace lumavine {

namespace {

std::u16string_view quoteReference(char16_t quote)
{
    return quote == u'\'' ? u"&#39;" : u"&quot;";
}

// Copies the text, putting what replacement() answers in place of each
// character it answers something for.
template<typename Replacement>
String replaceEach(std::u16string_view text, Replacement replacement)
{
    String out;
    out.reserve(text.size());
    for (char16_t c : text) {
        std::u16string_view replaced = replacement(c);
        if (replaced.empty())
            out.push_back(c);
        else
            out.append(replaced);
    }
    return out;
}

}

String HtmlText::content(std::u16string_view text)
{
    return replaceEach(text, [](char16_t c) -> std::u16string_view {
        switch (c) {
        case u'&':
            return u"&amp;";
        case u'<':
            return u"&lt;";
        case u'>':
            return u"&gt;";
        default:
            return {};
        }
    });
}

String HtmlText::attribute(std::u16string_view text, char16_t quote)
{
    return replaceEach(text, [quote](char16_t c) -> std::u16string_view {
        if (c == u'&')
            return u"&amp;";
        return c == quote ? quoteReference(quote) : std::u16string_view();
    });
}

String HtmlText::action(std::u16string_view text, char16_t quote)
{
    return replaceEach(
        text, [quote](char16_t c) { return c == quote ? quoteReference(quote) : std::u16string_view(); });
}

String HtmlText::hyperlink(std::u16string_view text, char16_t quote)
{
    String trimmed(text);
    trimmed.trim();
    if (trimmed.size() >= 11 && String(trimmed.substr(0, 11)).equalsIgnoreCase(u"javascript:"))
        return action(text, quote);
    return attribute(text, quote);
}

String HtmlText::mailto(std::u16string_view address, std::u16string_view subject)
{
    String location = u"mailto:" + attribute(address);
    if (subject.empty())
        return location;
    String encoded;
    for (char16_t c : subject) {
        if (c == u'%' || c == u'&' || c == u'#' || c < 0x20) {
            static constexpr char16_t digits[] = u"0123456789ABCDEF";
            encoded.push_back(u'%');
            encoded.push_back(digits[(c >> 4) & 0xF]);
            encoded.push_back(digits[c & 0xF]);
        } else {
            encoded.push_back(c);
        }
    }
    location.append(u"?subject=" + attribute(encoded));
    return location;
}

String HtmlText::scriptString(std::u16string_view text)
{
    return escapeScriptString(text);
}

String HtmlText::cssIdentifier(std::u16string_view text)
{
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    auto hexEscape = [](char16_t c) {
        static constexpr char16_t digits[] = u"0123456789abcdef";
        String escaped(u"\\");
        bool leading = true;
        for (int shift = 12; shift >= 0; shift -= 4) {
            unsigned digit = (c >> shift) & 0xF;
            if (leading && digit == 0 && shift > 0)
                continue;
            leading = false;
            escaped.push_back(digits[digit]);
        }
        escaped.push_back(u' ');
        return escaped;
    };
    String out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        bool startsIdentifier = i == 0 || (i == 1 && text[0] == u'-');
        if (c == 0)
            out.push_back(u'\xFFFD');
        else if (c < 0x20 || c == 0x7F || (startsIdentifier && isDigit(c)))
            out.append(hexEscape(c));
        else if (c >= 0x80 || (c == u'-' && text.size() > 1) || c == u'_' || isDigit(c) || (c >= u'a' && c <= u'z')
            || (c >= u'A' && c <= u'Z'))
            out.push_back(c);
        else {
            out.push_back(u'\\');
            out.push_back(c);
        }
    }
    return out;
}

}
