#include "page/PageMenu.h"

#include "picture/WinFont.h"
#include "xml/ElementSorter.h"
#include "xml/Elements.h"

#include <algorithm>

namespace lumavine {

namespace {

bool is(std::u16string_view key, std::u16string_view name)
{
    return String(key).equalsIgnoreCase(name);
}

void writeStyle(Element* menu, std::u16string_view name, DisplayElement& style, bool withFontAndBackground)
{
    Element* element = addElement(menu, String(name));
    addElement(element, String(u"border"), style.border().borderText());
    if (!withFontAndBackground)
        return;
    if (WinFont* font = style.font())
        addElement(element, String(u"font"), font->text());
    if (style.hasBackgroundColor() || style.hasGradient())
        addElement(element, String(u"background-color"), style.backgroundColorText());
}

}

PageMenu::PageMenu(View* view) : m_menuStyle(view), m_itemStyle(view), m_hoverStyle(view) { }

PageMenu::~PageMenu() = default;

bool PageMenu::opensOnClick() const
{
    return m_trigger.empty() || m_trigger.equalsIgnoreCase(u"onmousedown");
}

bool PageMenu::read(const Element* menu)
{
    if (!menu)
        return false;
    setProperties(menu);
    setItems(menu);
    return true;
}

void PageMenu::setProperties(const Element* element)
{
    if (!element)
        return;
    for (const Node* child : element->childNodes()) {
        if (child->isElement())
            setProperty(child->nodeName(), getText(child));
    }
    m_menuStyle.readProperties(findChildElement(element, u"menustyle"));
    m_itemStyle.readProperties(findChildElement(element, u"itemstyle"));
    m_hoverStyle.readProperties(findChildElement(element, u"hoverstyle"));
}

bool PageMenu::setProperty(std::u16string_view key, const String& value)
{
    auto readSize = [&](int& into) {
        int number = 0;
        if (value.readInt(number) && number >= 0 && number <= maximumSize)
            into = number;
        return true;
    };
    if (is(key, u"alignment")) {
        if (!value.empty())
            m_alignment = value;
        return true;
    }
    if (is(key, u"trigger")) {
        if (!value.empty())
            m_trigger = value;
        return true;
    }
    if (is(key, u"height")) {
        // Below 1 means no limit, so any negative value reads as 0.
        int number = 0;
        if (value.readInt(number))
            m_height = std::clamp(number, 0, maximumSize);
        return true;
    }
    if (is(key, u"thumbwidth"))
        return readSize(m_thumbWidth);
    if (is(key, u"thumbheight"))
        return readSize(m_thumbHeight);
    if (is(key, u"static")) {
        setStatic(value.equalsIgnoreCase(u"true"));
        return true;
    }
    return false;
}

void PageMenu::setItems(const Element* element)
{
    m_items.clear();
    if (!element)
        return;
    std::vector<const Element*> sorted;
    for (const Node* child : element->childNodes()) {
        if (child->isElement() && child->nodeName().equals(u"item"))
            sorted.push_back(child->asElement());
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const Element* a, const Element* b) {
        return ElementSorter::sortKey(a) < ElementSorter::sortKey(b);
    });
    for (const Element* itemElement : sorted) {
        auto item = std::make_unique<PageMenuItem>();
        item->read(itemElement);
        addItem(std::move(item));
    }
}

void PageMenu::write(Element* menu)
{
    if (!menu)
        return;
    addElement(menu, String(u"alignment"), m_alignment);
    addElement(menu, String(u"trigger"), m_trigger);
    addElement(menu, String(u"height"), m_height);
    addElement(menu, String(u"thumbwidth"), m_thumbWidth);
    addElement(menu, String(u"thumbheight"), m_thumbHeight);
    addElement(menu, String(u"static"), isStatic());
    writeStyle(menu, u"menustyle", m_menuStyle, false);
    writeStyle(menu, u"itemstyle", m_itemStyle, true);
    writeStyle(menu, u"hoverstyle", m_hoverStyle, true);
    int sort = 0;
    for (const auto& item : m_items)
        item->write(menu, sort++);
}

void PageMenu::copyFrom(const PageMenu& other)
{
    if (&other == this)
        return;
    m_trigger = other.m_trigger;
    m_alignment = other.m_alignment;
    m_menuStyle.copyFrom(other.m_menuStyle);
    m_itemStyle.copyFrom(other.m_itemStyle);
    m_hoverStyle.copyFrom(other.m_hoverStyle);
    m_items.clear();
    for (const auto& item : other.m_items)
        m_items.push_back(std::make_unique<PageMenuItem>(*item));
    m_height = other.m_height;
    m_thumbWidth = other.m_thumbWidth;
    m_thumbHeight = other.m_thumbHeight;
    m_flags = other.m_flags;
}

bool PageMenu::addItem(std::unique_ptr<PageMenuItem> item)
{
    if (!item || !item->isValid())
        return false;
    m_items.push_back(std::move(item));
    return true;
}

bool PageMenu::removeItem(size_t index)
{
    if (index >= m_items.size())
        return false;
    m_items.erase(m_items.begin() + std::ptrdiff_t(index));
    return true;
}

}
