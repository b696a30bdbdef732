#include "picture/LineProperties.h"

#include "core/Properties.h"

namespace lumavine {

namespace {

constexpr std::u16string_view lineTypeNames[] = { u"straight", u"curve", u"bezier" };
constexpr std::u16string_view lineTypeDisplayNames[] = { u"Straight", u"Curve", u"Spline" };
constexpr std::u16string_view dashNames[] = { u"solid", u"dash", u"dot", u"dashdot", u"dashdotdot" };
constexpr std::u16string_view dashDisplayNames[] = { u"Solid", u"Dash", u"Dot", u"DashDot", u"DashDotDot" };
constexpr std::u16string_view joinNames[] = { u"miter", u"bevel", u"round" };
constexpr std::u16string_view joinDisplayNames[] = { u"Miter", u"Bevel", u"Round" };
constexpr std::u16string_view endNames[] = { u"none", u"arrow", u"dot" };
constexpr std::u16string_view endDisplayNames[] = { u"None", u"Arrow", u"Dot" };

bool is(std::u16string_view key, std::u16string_view name)
{
    return String(key).equalsIgnoreCase(name);
}

}

const KeywordList LineProperties::lineTypes { lineTypeNames, lineTypeDisplayNames };
const KeywordList LineProperties::dashStyles { dashNames, dashDisplayNames };
const KeywordList LineProperties::joins { joinNames, joinDisplayNames };
const KeywordList LineProperties::endStyles { endNames, endDisplayNames };

bool LineProperties::readColor(const String& value, Color& color, int flag)
{
    Color read;
    if (!Color::fromText(value, read))
        return false;
    color = read;
    m_flags |= flag;
    return true;
}

bool LineProperties::setProperty(std::u16string_view key, const String& value)
{
    if (is(key, u"width") || is(key, u"line-width")) {
        int width;
        // A negative width has no drawing; keep the old one like any other
        // unusable value.
        if (!value.readInt(width) || width < 0)
            return false;
        m_width = width;
        return true;
    }
    if (is(key, u"color") || is(key, u"line-color"))
        return readColor(value, m_lineColor, LineColorSet);
    if (is(key, u"style") || is(key, u"line-style")) {
        m_dashStyle = dashStyles.codeOf(value);
        return true;
    }
    if (is(key, u"enda")) {
        m_endA = endStyles.codeOf(value);
        return true;
    }
    if (is(key, u"endz")) {
        m_endZ = endStyles.codeOf(value);
        return true;
    }
    if (is(key, u"join")) {
        m_join = joins.codeOf(value);
        return true;
    }
    if (is(key, u"endcolora"))
        return readColor(value, m_endColorA, EndColorASet);
    if (is(key, u"endcolorz"))
        return readColor(value, m_endColorZ, EndColorZSet);
    if (is(key, u"type") || is(key, u"line-type")) {
        m_lineType = lineTypes.codeOf(value);
        return true;
    }
    return false;
}

void LineProperties::apply(std::u16string_view text)
{
    Properties items(text, u";", u":");
    for (const PtrMap::Entry* entry : items)
        setProperty(entry->key(), StringMap::valueOf(entry));
}

const String& LineProperties::lineText()
{
    m_text = u"type:";
    m_text.append(lineTypes.name(m_lineType));
    m_text.append(u";width:");
    m_text.appendInt(m_width);
    if (hasLineColor())
        m_text.append(u";color:").append(m_lineColor.toText());
    if (m_dashStyle != SolidDash)
        m_text.append(u";style:").append(dashStyles.name(m_dashStyle));
    if (m_join != Miter)
        m_text.append(u";join:").append(joins.name(m_join));
    m_text.append(u";enda:").append(endStyles.name(m_endA));
    m_text.append(u";endz:").append(endStyles.name(m_endZ));
    if (hasEndColor(0))
        m_text.append(u";endcolora:").append(m_endColorA.toText());
    if (hasEndColor(1))
        m_text.append(u";endcolorz:").append(m_endColorZ.toText());
    return m_text;
}

void LineProperties::setLineColor(Color color)
{
    m_lineColor = color;
    m_flags |= LineColorSet;
}

Color LineProperties::endColor(int end) const
{
    if (!hasEndColor(end))
        return opaqueBlack;
    return end == 0 ? m_endColorA : m_endColorZ;
}

void LineProperties::setEndColor(int end, Color color)
{
    (end == 0 ? m_endColorA : m_endColorZ) = color;
    m_flags |= end == 0 ? EndColorASet : EndColorZSet;
}

}
