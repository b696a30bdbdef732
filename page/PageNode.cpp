#include "page/PageNode.h"

#include "page/Page.h"
#include "xml/Elements.h"

namespace lumavine {

namespace {

constexpr std::u16string_view eventNames[PageNode::eventCount] = { u"title", u"href", u"onmousedown", u"onmouseup",
    u"onmouseover", u"onmouseout" };

}

PageNode::PageNode(Page* page) : PicNode(page) { }

PageNode::~PageNode() = default;

std::u16string_view PageNode::eventName(int event)
{
    return event >= 0 && event < eventCount ? eventNames[event] : std::u16string_view();
}

int PageNode::eventFromName(std::u16string_view name)
{
    String key(name);
    for (int event = 0; event < eventCount; ++event) {
        if (key.equalsIgnoreCase(eventNames[event]))
            return event;
    }
    return -1;
}

Page* PageNode::page() const
{
    return dynamic_cast<Page*>(picture());
}

const String& PageNode::eventText(int event) const
{
    return event >= 0 && event < eventCount ? m_events[size_t(event)] : emptyString;
}

void PageNode::setEventText(int event, const String& text)
{
    if (event >= 0 && event < eventCount)
        m_events[size_t(event)] = text;
}

PageMenu& PageNode::ensureMenu()
{
    if (!m_menu)
        m_menu = std::make_unique<PageMenu>(owningView());
    return *m_menu;
}

void PageNode::writeXml(Element* parent)
{
    PicNode::writeXml(parent);
    for (int event = 0; event < eventCount; ++event) {
        if (!m_events[size_t(event)].empty())
            addElement(parent, String(eventNames[event]), m_events[size_t(event)]);
    }
    if (isFrame())
        addElement(parent, String(u"frame"), String(u"true"));
    // A menu without entries stays with the node while the project is open
    // but is not saved.
    if (hasMenuItems())
        m_menu->write(addElement(parent, String(u"menu")));
}

void PageNode::readProperties(const Element* element)
{
    PicNode::readProperties(element);
    if (const Element* menu = findChildElement(element, u"menu", true))
        ensureMenu().read(menu);
}

bool PageNode::setProperty(std::u16string_view key, const String& value)
{
    int event = eventFromName(key);
    if (event >= 0) {
        m_events[size_t(event)] = value;
        return true;
    }
    String name(key);
    if (name.equalsIgnoreCase(u"frame")) {
        setFrame(value.equalsIgnoreCase(u"true"));
        return true;
    }
    // Read as a whole by readProperties.
    if (name.equalsIgnoreCase(u"menu"))
        return true;
    return PicNode::setProperty(key, value);
}

void PageNode::copyFrom(const DisplayElement& other)
{
    PicNode::copyFrom(other);
    const PageNode* node = dynamic_cast<const PageNode*>(&other);
    if (!node || node == this)
        return;
    m_events = node->m_events;
    m_nodeFlags = node->m_nodeFlags;
    if (node->m_menu) {
        auto menu = std::make_unique<PageMenu>(owningView());
        menu->copyFrom(*node->m_menu);
        m_menu = std::move(menu);
    } else {
        m_menu.reset();
    }
}

void PageNode::getKindName(String& name) const
{
    if (isFrame())
        name = String(u"Frame");
    else
        PicNode::getKindName(name);
}

}
