#include "picture/Background.h"

#include <vector>

namespace lumavine {

namespace {

std::vector<String> splitAtCommas(std::u16string_view text)
{
    std::vector<String> parts;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(u',', start);
        String part(text.substr(start, comma == std::u16string_view::npos ? std::u16string_view::npos : comma - start));
        parts.push_back(part.trim());
        if (comma == std::u16string_view::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

}

bool Background::fromText(std::u16string_view text, Background& out)
{
    std::vector<String> parts = splitAtCommas(text);
    Background result = out;
    if (!Color::fromText(parts[0], result.start))
        return false;
    result.gradient = false;
    result.gradientMode = Horizontal;
    if (parts.size() >= 2) {
        if (!Color::fromText(parts[1], result.end))
            return false;
        result.gradient = true;
        if (parts.size() >= 3) {
            const String& mode = parts[2];
            if (mode.equalsIgnoreCase(u"vertical"))
                result.gradientMode = Vertical;
            else if (mode.equalsIgnoreCase(u"forward"))
                result.gradientMode = ForwardDiagonal;
            else if (mode.equalsIgnoreCase(u"backward"))
                result.gradientMode = BackwardDiagonal;
        }
    }
    out = result;
    return true;
}

String Background::toText() const
{
    String text = start.toText();
    if (!gradient)
        return text;
    text.push_back(u',');
    text.append(end.toText());
    switch (gradientMode) {
    case Vertical:
        text.append(u",vertical");
        break;
    case ForwardDiagonal:
        text.append(u",forward");
        break;
    case BackwardDiagonal:
        text.append(u",backward");
        break;
    default:
        break;
    }
    return text;
}

String Background::toCss() const
{
    String css = u"background:" + start.toCss();
    if (!gradient) {
        if (!start.isOpaque())
            css.append(u";filter:alpha(opacity=" + String::number(start.opacityPercent()) + u")");
        return css;
    }
    css.append(u";filter:progid:DXImageTransform.Microsoft.gradient(enabled='true',startColorStr=");
    css.append(start.toCss()).append(u",endColorStr=").append(end.toCss());
    css.append(u",gradientType=").append(gradientMode == Vertical ? u"0" : u"1").append(u")");
    if (!start.isOpaque())
        css.append(u" alpha(opacity=" + String::number(start.opacityPercent()) + u")");
    return css;
}

String Background::imageCss(const String& source)
{
    return u"background:url(" + source + u")";
}

}
