#pragma once

#include "page/PageMenu.h"
#include "picture/PicNode.h"

#include <array>

namespace lumavine {

class Page;

// A shape of a web page: besides its drawing it carries a tooltip, a
// hyperlink, an action per mouse event and optionally a pop-up menu. A
// rectangle can be a frame, a named area in which actions show media.
class PageNode : public PicNode {
public:
    // The six event texts, in the order they are stored and written.
    enum Event { Title = 0, Href, MouseDown, MouseUp, MouseOver, MouseOut };
    static constexpr int eventCount = 6;
    enum NodeFlag { FrameFlag = 1 };

    explicit PageNode(Page* page = nullptr);
    ~PageNode() override;

    // "title", "href", "onmousedown", "onmouseup", "onmouseover",
    // "onmouseout"; empty for an index outside 0..5.
    static std::u16string_view eventName(int event);
    // The event a stored name stands for (ignoring case), or -1.
    static int eventFromName(std::u16string_view name);

    void writeXml(Element* parent) override;
    // Also reads the "menu" child.
    void readProperties(const Element* element) override;
    bool setProperty(std::u16string_view key, const String& value) override;
    void copyFrom(const DisplayElement& other) override;
    void getKindName(String& name) const override;

    // The owning page; null for a node outside any page.
    Page* page() const;

    const String& eventText(int event) const;
    void setEventText(int event, const String& text);
    const String& title() const { return m_events[Title]; }
    const String& href() const { return m_events[Href]; }

    // A frame is a rectangle with the frame flag; other kinds keep the flag
    // but are no frames.
    bool isFrame() const { return (m_nodeFlags & FrameFlag) && m_kind == ShapeKind::Rectangle; }
    void setFrame(bool on) { m_nodeFlags = on ? m_nodeFlags | FrameFlag : m_nodeFlags & ~FrameFlag; }
    int nodeFlags() const { return m_nodeFlags; }

    bool isLine() const { return m_kind == ShapeKind::Line; }
    bool isPicture() const { return m_kind == ShapeKind::Image; }

    // The menu, or null before one is read or edited.
    PageMenu* menu() const { return m_menu.get(); }
    // The menu, created on first use.
    PageMenu& ensureMenu();
    void setMenu(std::unique_ptr<PageMenu> menu) { m_menu = std::move(menu); }
    // A menu with at least one entry: the node opens it and saves it.
    bool hasMenuItems() const { return m_menu && m_menu->itemCount() > 0; }

private:
    std::array<String, eventCount> m_events;
    int m_nodeFlags = 0;
    std::unique_ptr<PageMenu> m_menu;
};

}
