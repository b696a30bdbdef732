#include "picture/DisplayElement.h"

#include "core/Properties.h"
#include "picture/Alignment.h"
#include "picture/View.h"
#include "picture/WinImage.h"
#include "xml/Elements.h"

namespace lumavine {

namespace {

bool is(std::u16string_view key, std::u16string_view name)
{
    return String(key).equalsIgnoreCase(name);
}

}

DisplayElement::DisplayElement(View* owner) : m_owner(owner)
{
}

DisplayElement::~DisplayElement() = default;

View& DisplayElement::view() const
{
    // Elements shown nowhere measure and convert as the page picture does.
    static ExportView detached;
    View* shown = owningView();
    return shown ? *shown : detached;
}

void DisplayElement::writeXml(Element* parent)
{
    if (WinFont* own = font())
        addElement(parent, u"font", own->text());
    if (hasBackgroundImage())
        addElement(parent, u"background-image", backgroundImageSource());
    else if (m_flags & (SolidBackground | GradientBackground))
        addElement(parent, u"background-color", backgroundColorText());
    if (m_halign == Alignment::HCenter || m_halign == Alignment::Right)
        addElement(parent, u"halign", String(Alignment::horizontal.name(m_halign)));
    if (m_valign == Alignment::VCenter || m_valign == Alignment::Bottom)
        addElement(parent, u"valign", String(Alignment::vertical.name(m_valign)));
}

void DisplayElement::setProperties(std::u16string_view text, std::u16string_view itemSeparators,
    std::u16string_view keySeparators)
{
    Properties items(text, itemSeparators, keySeparators);
    for (const PtrMap::Entry* entry : items)
        setProperty(entry->key(), StringMap::valueOf(entry));
}

void DisplayElement::readProperties(const Element* element)
{
    if (!element)
        return;
    for (Node* child : element->childNodes()) {
        if (child->isElement())
            setProperty(child->nodeName(), lumavine::getText(child));
    }
}

bool DisplayElement::setProperty(std::u16string_view key, const String& value)
{
    if (is(key, u"text")) {
        setText(value);
        return true;
    }
    if (is(key, u"name")) {
        setName(value);
        return true;
    }
    if (is(key, u"font")) {
        setFont(value);
        return true;
    }
    if (is(key, u"border")) {
        m_border.apply(value);
        return true;
    }
    if (is(key, u"border-style") || is(key, u"border-join") || is(key, u"border-color")
        || is(key, u"border-width")) {
        m_border.setProperty(key, value);
        return true;
    }
    if (is(key, u"background-image")) {
        setBackgroundImage(value);
        return true;
    }
    if (is(key, u"background-color")) {
        setBackgroundColor(value);
        return true;
    }
    if (is(key, u"halign")) {
        m_halign = Alignment::horizontal.codeOf(value);
        return true;
    }
    if (is(key, u"valign")) {
        m_valign = Alignment::vertical.codeOf(value);
        return true;
    }
    return false;
}

void DisplayElement::setName(const String& name)
{
    m_name = name;
    m_flags = name.empty() ? m_flags & ~HasName : m_flags | HasName;
}

void DisplayElement::setText(const String& text)
{
    m_text = text;
    m_flags = text.empty() ? m_flags & ~HasText : m_flags | HasText;
}

void DisplayElement::copyFrom(const DisplayElement& other)
{
    m_owner = other.m_owner;
    setText(other.m_text);
    if (other.hasBackgroundImage())
        setBackgroundImage(other.backgroundImageSource());
    else
        setBackgroundImage(String());
    setBackgroundColor(other.m_flags & (SolidBackground | GradientBackground) ? other.backgroundColorText() : String());
    if (WinFont* otherFont = other.font())
        m_font = std::make_unique<WinFont>(*otherFont);
    else
        m_font.reset();
    m_border = other.m_border;
    m_halign = other.m_halign;
    m_valign = other.m_valign;
}

std::unique_ptr<WinImage> DisplayElement::createImage()
{
    return std::make_unique<WinImage>(baseDirectory());
}

WinFont& DisplayElement::captionFont() const
{
    if (WinFont* own = font())
        return *own;
    return WinFont::defaultFont();
}

bool DisplayElement::setFont(std::u16string_view text)
{
    if (!m_font)
        m_font = std::make_unique<WinFont>();
    return m_font->parse(text);
}

QPoint DisplayElement::alignCaption(const QRect& area, QSize block) const
{
    int x = area.x() + 4;
    if (m_halign == Alignment::HCenter)
        x = area.x() + area.width() / 2 - block.width() / 2;
    else if (m_halign == Alignment::Right)
        x = area.x() + area.width() - block.width() - 4;
    int y = area.y() + 4;
    if (m_valign == Alignment::VCenter)
        y = area.y() + area.height() / 2 - block.height() / 2;
    else if (m_valign == Alignment::Bottom)
        y = area.y() + area.height() - block.height() - 4;
    return QPoint(x, y);
}

bool DisplayElement::setBackgroundColor(std::u16string_view text)
{
    if (text.empty()) {
        m_flags &= ~(SolidBackground | GradientBackground);
        return true;
    }
    if (!Background::fromText(text, m_background))
        return false;
    m_flags &= ~(SolidBackground | GradientBackground);
    m_flags |= m_background.gradient ? GradientBackground : SolidBackground;
    return true;
}

void DisplayElement::setBackgroundImage(const String& source)
{
    if (source.empty()) {
        m_backgroundImage.reset();
        m_flags &= ~ImageBackground;
        return;
    }
    if (!m_backgroundImage)
        m_backgroundImage = createImage();
    // A missing file keeps its source, so that saving does not lose it.
    m_backgroundImage->load(source);
    m_flags |= ImageBackground;
}

String DisplayElement::backgroundColorText() const
{
    if (!(m_flags & (SolidBackground | GradientBackground)))
        return String();
    return m_background.toText();
}

const String& DisplayElement::backgroundImageSource() const
{
    return m_backgroundImage ? m_backgroundImage->source() : emptyString;
}

String DisplayElement::cssText(bool withDefaultFont)
{
    String css = m_border.cssText();
    if (hasBackgroundImage())
        css.append(u";" + Background::imageCss(backgroundImageSource()));
    else if (m_flags & (SolidBackground | GradientBackground))
        css.append(u";" + m_background.toCss());
    if (WinFont* own = font())
        css.append(u";" + own->css());
    else if (withDefaultFont)
        css.append(u";" + WinFont::defaultFont().css());
    return css;
}

void DisplayElement::setSelected(bool selected)
{
    m_flags = selected ? m_flags | Selected : m_flags & ~Selected;
}

}
