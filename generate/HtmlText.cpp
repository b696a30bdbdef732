#include "generate/HtmlText.h"

namespace lumavine {

namespace {

std::u16string_view quoteReference(char16_t quote)
{
    return quote == u'\'' ? u"&#39;" : u"&quot;";
}

}

String HtmlText::content(std::u16string_view text)
{
    String out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'&':
            out.append(u"&amp;");
            break;
        case u'<':
            out.append(u"&lt;");
            break;
        case u'>':
            out.append(u"&gt;");
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

String HtmlText::attribute(std::u16string_view text, char16_t quote)
{
    String out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u'&')
            out.append(u"&amp;");
        else if (c == quote)
            out.append(quoteReference(quote));
        else
            out.push_back(c);
    }
    return out;
}

String HtmlText::action(std::u16string_view text, char16_t quote)
{
    String out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == quote)
            out.append(quoteReference(quote));
        else
            out.push_back(c);
    }
    return out;
}

String HtmlText::hyperlink(std::u16string_view text, char16_t quote)
{
    String trimmed(text);
    trimmed.trim();
    if (trimmed.size() >= 11 && String(trimmed.substr(0, 11)).equalsIgnoreCase(u"javascript:"))
        return action(text, quote);
    return attribute(text, quote);
}

}
