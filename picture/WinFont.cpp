#include "picture/WinFont.h"

#include "core/Properties.h"

#include <QFontDatabase>
#include <sstream>

namespace lumavine {

namespace {

String fallbackFamilyList;

String sizeText(float size)
{
    std::ostringstream out;
    out << size;
    return String::fromLatin1(out.str());
}

int readStyle(const String& words)
{
    int style = 0;
    size_t start = 0;
    while (start <= words.size()) {
        size_t comma = words.find(u',', start);
        String word = words.substring(start, comma == String::npos ? words.size() : comma);
        word.trim();
        if (word.equalsIgnoreCase(u"bold"))
            style |= WinFont::Bold;
        else if (word.equalsIgnoreCase(u"italic"))
            style |= WinFont::Italic;
        else if (word.equalsIgnoreCase(u"underline"))
            style |= WinFont::Underline;
        else if (word.equalsIgnoreCase(u"strikeout"))
            style |= WinFont::Strikeout;
        if (comma == String::npos)
            break;
        start = comma + 1;
    }
    return style;
}

void appendWord(String& list, std::u16string_view word, std::u16string_view separator)
{
    if (!list.empty())
        list.append(separator);
    list.append(word);
}

}

bool WinFont::parse(std::u16string_view text)
{
    Properties items(text, u";", u":", Properties::KeysLower);
    const String& family = items.get(u"font-family");
    double size = 0;
    // Zero, negative and absurd sizes make no font worth drawing with.
    if (family.empty() || !items.get(u"font-size").readDouble(size) || !(size > 0) || size > maximumSize)
        return false;
    Color color;
    if (!Color::fromText(items.get(u"font-color"), color))
        color = opaqueBlack;
    int style = readStyle(items.get(u"font-style"));
    if (isSet() && family.equals(m_family) && float(size) == m_size && style == m_style && color == m_color)
        return true;
    m_family = family;
    m_size = float(size);
    m_style = style;
    m_color = color;
    m_brush = QBrush(color.toQColor());
    makeFont();
    return true;
}

QFont WinFont::fontAtScale(double scale) const
{
    QFont font(QString::fromStdU16String(m_family));
    font.setStyleHint(QFont::SansSerif);
    // An unknown family gets the platform's generic sans-serif face rather
    // than whatever the font matcher happens to pick.
    if (!QFontDatabase::hasFamily(font.family()))
        font.setFamily(QStringLiteral("sans-serif"));
    double points = double(m_size) * (scale > 0 ? scale : 1.0);
    font.setPointSizeF(points > 0 ? points : 1.0);
    font.setBold(m_style & Bold);
    font.setItalic(m_style & Italic);
    font.setUnderline(m_style & Underline);
    font.setStrikeOut(m_style & Strikeout);
    return font;
}

void WinFont::makeFont()
{
    m_font = fontAtScale(m_displayScale);
}

void WinFont::setDisplayScale(double scale)
{
    if (scale <= 0 || scale == m_displayScale)
        return;
    m_displayScale = scale;
    if (isSet())
        makeFont();
}

const String& WinFont::text()
{
    m_text.clear();
    if (!isSet())
        return m_text;
    m_text = u"font-family:" + m_family;
    m_text.append(u";font-size:" + sizeText(m_size));
    m_text.append(u";font-color:" + m_color.toText());
    if (m_style) {
        String words;
        if (m_style & Italic)
            appendWord(words, u"italic", u",");
        if (m_style & Bold)
            appendWord(words, u"bold", u",");
        if (m_style & Underline)
            appendWord(words, u"underline", u",");
        if (m_style & Strikeout)
            appendWord(words, u"strikeout", u",");
        m_text.append(u";font-style:" + words);
    }
    return m_text;
}

String WinFont::css() const
{
    String css = u"font-family:" + m_family;
    if (!fallbackFamilyList.empty())
        css.append(u"," + fallbackFamilyList);
    css.append(u";font-size:" + sizeText(m_size) + u"pt");
    css.append(u";color:" + m_color.toCss());
    if (m_style & Bold)
        css.append(u";font-weight:bold");
    if (m_style & Italic)
        css.append(u";font-style:italic");
    if (m_style & (Underline | Strikeout)) {
        // Browsers know "line-through", not "strikeout", and take the words
        // separated by blanks; anything else drops the whole declaration.
        String words;
        if (m_style & Underline)
            appendWord(words, u"underline", u" ");
        if (m_style & Strikeout)
            appendWord(words, u"line-through", u" ");
        css.append(u";text-decoration:" + words);
    }
    return css;
}

void WinFont::setFallbackFamilies(const String& families)
{
    fallbackFamilyList = families;
}

const String& WinFont::fallbackFamilies()
{
    return fallbackFamilyList;
}

WinFont& WinFont::defaultFont()
{
    static WinFont font(defaultFontText);
    return font;
}

}
