#pragma once

#include "page/EntryList.h"

namespace lumavine {

class Page;
class StringList;

// The actions a generated page runs once it has loaded, in order.
class Initialize {
public:
    Initialize();
    ~Initialize();

    // Reads the "entry" children of an "initialize" element.
    void read(const Element* element);
    // Appends the "initialize" element with its entries to the page element.
    void write(Element* pageElement) const;

    std::vector<Element*> entries() const { return m_entries.entries(); }
    size_t count() const { return m_entries.count(); }
    EntryList& list() { return m_entries; }
    const EntryList& list() const { return m_entries; }

    // The lines initialize() ends with: "\t" + action + ";" per entry. A
    // show_picture entry adds its picture to the page's preload list.
    void dataLines(StringList& lines, Page* preloadPage) const;

private:
    EntryList m_entries;
};

}
