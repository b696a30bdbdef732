#pragma once

#include "xml/Document.h"

#include <memory>
#include <vector>

namespace lumavine {

// An ordered list of actions kept as XML: a document whose root holds one
// element per entry with the attributes "id", "name" and "sort" and the
// action as text. Start-up entries ("initialize"/"entry") and the slides of a
// slideshow ("slides"/"slide") are both kept this way.
class EntryList {
public:
    // The sort key that puts entries added in bulk after every other one
    // until the next renumbering.
    static constexpr std::u16string_view appendSortKey = u"100000";

    EntryList(std::u16string_view rootName, std::u16string_view entryName);
    ~EntryList();
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Replaces the list with the `entryName` children of `element`: those
    // without "sort" get their position, then all are ordered by "sort" and
    // copied with their text, "id", "name" and "sort".
    void read(const Element* element);
    // Deep copies of the entries, in their order, appended to `parent`.
    void writeEntries(Element* parent) const;
    // A copy of the root element with its entries appended to `parent`.
    void writeRoot(Element* parent) const;
    void copyFrom(const EntryList& other);

    // The entries in document order.
    std::vector<Element*> entries() const;
    size_t count() const;
    Element* entry(size_t index) const;
    Element* findById(std::u16string_view id) const;

    // Appends an entry with a fresh id (made with "_" for "-") unless `id` is
    // given; `sort` empty means the position at the end.
    Element* add(const String& name, const String& action, std::u16string_view sort = {}, const String& id = {});
    bool remove(Element* entry);
    void clear();
    // Orders the entries by "sort" and numbers them 0, 1, 2, ...
    void renumber();
    // Swaps the "sort" values of the entry and its neighbour before (-1) or
    // after (+1), then renumbers. False when there is no such neighbour.
    bool move(Element* entry, int direction);

    static const String& nameOf(const Element* entry) { return entry->getAttribute(u"name"); }
    static const String& idOf(const Element* entry) { return entry->getAttribute(u"id"); }
    static const String& actionOf(const Element* entry);
    static void setAction(Element* entry, const String& action);
    static String newId();

    Document& document() { return *m_document; }
    Element* root() const { return m_document->documentElement(); }

private:
    String m_rootName;
    String m_entryName;
    std::unique_ptr<Document> m_document;
};

}
