#include "page/PageMenuItem.h"

#include "xml/Elements.h"

namespace lumavine {

void PageMenuItem::read(const Element* element)
{
    m_name = getChildText(element, u"name");
    m_url = getChildText(element, u"url");
    m_image = getChildText(element, u"image");
}

void PageMenuItem::write(Element* menu, int sort) const
{
    Element* item = addElement(menu, String(u"item"));
    item->setAttribute(u"sort", String::number(sort));
    addElement(item, String(u"name"), m_name);
    addElement(item, String(u"url"), m_url);
    addElement(item, String(u"image"), m_image);
}

}
