#include "picture/BorderProperties.h"

namespace lumavine {

namespace {

constexpr std::u16string_view borderStyleNames[] = { u"solid", u"inset", u"outset", u"ridge", u"groove", u"none" };
constexpr std::u16string_view borderStyleDisplayNames[] = { u"Solid", u"Inset", u"Outset", u"Ridge", u"Groove",
    u"None" };

bool is(std::u16string_view key, std::u16string_view name)
{
    return String(key).equalsIgnoreCase(name);
}

}

const KeywordList BorderProperties::borderStyles { borderStyleNames, borderStyleDisplayNames };

bool BorderProperties::setProperty(std::u16string_view key, const String& value)
{
    if (is(key, u"border-width") || is(key, u"width")) {
        int width;
        m_width = value.readInt(width) ? width : 1;
        return true;
    }
    if (is(key, u"border-style") || is(key, u"style")) {
        m_borderStyle = borderStyles.codeOf(value);
        return true;
    }
    if (is(key, u"border-join") || is(key, u"join")) {
        m_join = joins.codeOf(value);
        return true;
    }
    if (is(key, u"border-color") || is(key, u"color"))
        return readColor(value, m_lineColor, LineColorSet);
    return LineProperties::setProperty(key, value);
}

const String& BorderProperties::borderText()
{
    String text = lineText();
    text.append(u";border-style:").append(borderStyles.name(m_borderStyle));
    m_text = text;
    return m_text;
}

const String& BorderProperties::cssText()
{
    Color color = lineColor();
    m_css = u"border-style:";
    m_css.append(borderStyles.name(m_borderStyle));
    m_css.append(u";border-width:");
    m_css.appendInt(m_width);
    m_css.append(u"px");
    m_css.append(u";border-color:").append(color.toCss());
    if (!color.isOpaque())
        m_css.append(u";filter:alpha(opacity=" + String::number(color.opacityPercent()) + u")");
    return m_css;
}

}
