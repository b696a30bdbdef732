#pragma once

#include "core/String.h"

namespace lumavine {

class Element;

// One entry of a pop-up menu: its label, its action and an optional picture.
class PageMenuItem {
public:
    PageMenuItem() = default;
    PageMenuItem(const String& name, const String& url, const String& image = {})
        : m_name(name), m_url(url), m_image(image)
    {
    }

    // Reads the "name", "url" and "image" children.
    void read(const Element* element);
    // Appends an "item" element with "sort" and the three children.
    void write(Element* menu, int sort) const;

    // Entries without a label or without an action are never shown.
    bool isValid() const { return !m_name.empty() && !m_url.empty(); }

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    // The entry's action.
    const String& url() const { return m_url; }
    void setUrl(const String& url) { m_url = url; }
    // The location of the entry's picture.
    const String& image() const { return m_image; }
    void setImage(const String& image) { m_image = image; }

private:
    String m_name;
    String m_url;
    String m_image;
};

}
