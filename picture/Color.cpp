#include "picture/Color.h"

#include <cstdio>

namespace lumavine {

namespace {

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The pair at `at`, or 0 when either character is not a hexadecimal digit.
int readPair(std::u16string_view text, size_t at)
{
    int high = hexDigit(text[at]);
    int low = hexDigit(text[at + 1]);
    return high < 0 || low < 0 ? 0 : high * 16 + low;
}

String format(const char* pattern, int a, int b, int c, int d = 0)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, pattern, a, b, c, d);
    return String::fromLatin1(buffer);
}

}

bool Color::fromText(std::u16string_view text, Color& out)
{
    if (text.empty() || text[0] != u'#')
        return false;
    int channels[4] = { 0, 0, 0, 255 };
    for (size_t i = 0; i < 4; ++i) {
        if (text.size() >= 3 + 2 * i)
            channels[i] = readPair(text, 1 + 2 * i);
    }
    out = Color(channels[0], channels[1], channels[2], channels[3]);
    return true;
}

String Color::toText() const
{
    if (isOpaque())
        return format("#%.2x%.2x%.2x", red(), green(), blue());
    return format("#%.2x%.2x%.2x%.2x", red(), green(), blue(), alpha());
}

String Color::toCss() const
{
    return format("#%.2x%.2x%.2x", red(), green(), blue());
}

long Color::toPlatform(std::u16string_view text)
{
    Color color;
    if (!fromText(text, color))
        return -1;
    return long(color.blue()) << 16 | long(color.green()) << 8 | long(color.red());
}

}
