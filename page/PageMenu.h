#pragma once

#include "page/PageMenuItem.h"
#include "picture/DisplayElement.h"

#include <memory>
#include <vector>

namespace lumavine {

// The pop-up menu of a page node: how it opens, where it appears, its three
// styles and its entries. The page writer turns it into a hidden division
// with a table; the runtime shows, hides and highlights it.
class PageMenu {
public:
    enum Flag { Static = 1 };
    using Items = std::vector<std::unique_ptr<PageMenuItem>>;

    explicit PageMenu(View* view = nullptr);
    ~PageMenu();
    PageMenu(const PageMenu&) = delete;
    PageMenu& operator=(const PageMenu&) = delete;

    // Sets the properties, then replaces the entries; false without element.
    bool read(const Element* menu);
    // "menustyle", "itemstyle", "hoverstyle", "alignment", "trigger",
    // "height", "thumbwidth", "thumbheight" and "static" children.
    void setProperties(const Element* element);
    // The "item" children in "sort" order; invalid entries are dropped.
    void setItems(const Element* element);
    // Fills a "menu" element with the properties and the entries, numbered
    // from 0.
    void write(Element* menu);
    // One property by its stored name; false for an unknown key. Numbers
    // that do not read, or lie outside 0..maximumSize, are ignored.
    bool setProperty(std::u16string_view key, const String& value);
    void copyFrom(const PageMenu& other);

    // Heights and thumbnail sizes beyond this are refused.
    static constexpr int maximumSize = 100000;

    const String& trigger() const { return m_trigger; }
    void setTrigger(const String& trigger) { m_trigger = trigger; }
    // The menu opens on a click (trigger "onmousedown", or none) rather than
    // on pointing.
    bool opensOnClick() const;
    const String& alignment() const { return m_alignment; }
    void setAlignment(const String& alignment) { m_alignment = alignment; }

    DisplayElement& menuStyle() { return m_menuStyle; }
    DisplayElement& itemStyle() { return m_itemStyle; }
    DisplayElement& hoverStyle() { return m_hoverStyle; }
    const DisplayElement& menuStyle() const { return m_menuStyle; }
    const DisplayElement& itemStyle() const { return m_itemStyle; }
    const DisplayElement& hoverStyle() const { return m_hoverStyle; }

    const Items& items() const { return m_items; }
    size_t itemCount() const { return m_items.size(); }
    PageMenuItem* item(size_t index) const { return index < m_items.size() ? m_items[index].get() : nullptr; }
    // Refuses (false) an invalid entry.
    bool addItem(std::unique_ptr<PageMenuItem> item);
    bool removeItem(size_t index);
    void clearItems() { m_items.clear(); }

    // Largest height in pixels before the menu scrolls; below 1 no limit.
    int height() const { return m_height; }
    void setHeight(int height) { m_height = height; }
    int thumbWidth() const { return m_thumbWidth; }
    int thumbHeight() const { return m_thumbHeight; }
    void setThumbSize(int width, int height)
    {
        m_thumbWidth = width;
        m_thumbHeight = height;
    }
    // Entries get a picture column when either thumbnail size is above 0.
    bool hasPictureColumn() const { return m_thumbWidth > 0 || m_thumbHeight > 0; }
    int flags() const { return m_flags; }
    bool isStatic() const { return m_flags & Static; }
    void setStatic(bool on) { m_flags = on ? m_flags | Static : m_flags & ~Static; }

private:
    String m_trigger = String(u"onmouseover");
    String m_alignment = String(u"align-bottom");
    DisplayElement m_menuStyle;
    DisplayElement m_itemStyle;
    DisplayElement m_hoverStyle;
    Items m_items;
    int m_height = 0;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    int m_flags = 0;
};

}
