#include "forms/ColorText.h"

namespace lumavine {

static int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool ColorText::read(std::u16string_view text, std::uint32_t& argb)
{
    if (text.empty() || text[0] != u'#' || (text.size() != 7 && text.size() != 9))
        return false;
    std::uint32_t channels[4] = { 0, 0, 0, 255 };
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        int high = hexDigit(text[i + 1]);
        int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        channels[i / 2] = std::uint32_t(high * 16 + low);
    }
    argb = (channels[3] << 24) | (channels[0] << 16) | (channels[1] << 8) | channels[2];
    return true;
}

static void appendHexByte(String& out, std::uint32_t value)
{
    static const char16_t digits[] = u"0123456789abcdef";
    out.push_back(digits[(value >> 4) & 0xF]);
    out.push_back(digits[value & 0xF]);
}

String ColorText::formatRgb(std::uint32_t argb)
{
    String text(u"#");
    appendHexByte(text, argb >> 16);
    appendHexByte(text, argb >> 8);
    appendHexByte(text, argb);
    return text;
}

String ColorText::format(std::uint32_t argb)
{
    String text = formatRgb(argb);
    if ((argb >> 24) < 255)
        appendHexByte(text, argb >> 24);
    return text;
}

}
