#include "forms/ColorText.h"

#include "picture/Color.h"

namespace lumavine {

static bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool ColorText::read(std::u16string_view text, std::uint32_t& argb)
{
    if (text.empty() || text[0] != u'#' || (text.size() != 7 && text.size() != 9))
        return false;
    for (size_t i = 1; i < text.size(); ++i) {
        if (!isHexDigit(text[i]))
            return false;
    }
    Color color;
    if (!Color::fromText(text, color))
        return false;
    argb = color.argb;
    return true;
}

}
