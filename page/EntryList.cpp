#include "page/EntryList.h"

#include "core/UniqueId.h"
#include "xml/ElementSorter.h"
#include "xml/Elements.h"

#include <algorithm>
#include <limits>

namespace lumavine {

EntryList::EntryList(std::u16string_view rootName, std::u16string_view entryName)
    : m_rootName(rootName), m_entryName(entryName), m_document(std::make_unique<Document>(m_rootName))
{
}

EntryList::~EntryList() = default;

String EntryList::newId()
{
    String id;
    makeUniqueId(id, u'_');
    return id;
}

const String& EntryList::actionOf(const Element* entry)
{
    return getText(entry);
}

void EntryList::setAction(Element* entry, const String& action)
{
    if (entry)
        lumavine::setText(entry, action);
}

void EntryList::read(const Element* element)
{
    m_document = std::make_unique<Document>(m_rootName);
    if (!element)
        return;
    struct Source {
        const Element* element;
        String sort;
        int key;
    };
    std::vector<Source> sources;
    for (const Node* child : element->childNodes()) {
        const Element* entry = child->asElement();
        if (!entry || !entry->nodeName().equals(m_entryName))
            continue;
        // Entries read without a position keep the order of the document.
        String sort = entry->hasAttribute(u"sort") ? entry->getAttribute(u"sort") : String::number(sources.size());
        int key = 0;
        sort.readInt(key);
        sources.push_back({ entry, sort, key });
    }
    std::stable_sort(sources.begin(), sources.end(), [](const Source& a, const Source& b) { return a.key < b.key; });
    for (const Source& source : sources) {
        Element* copy = addElement(root(), m_entryName, actionOf(source.element));
        copy->setAttribute(u"id", idOf(source.element));
        copy->setAttribute(u"name", nameOf(source.element));
        copy->setAttribute(u"sort", source.sort);
    }
}

void EntryList::writeEntries(Element* parent) const
{
    if (!parent)
        return;
    Document* target = parent->ownerDocument();
    for (Element* entry : entries())
        parent->appendChild(target->importNode(entry, true));
}

void EntryList::writeRoot(Element* parent) const
{
    if (parent)
        parent->appendChild(parent->ownerDocument()->importNode(root(), true));
}

void EntryList::copyFrom(const EntryList& other)
{
    if (&other != this)
        read(other.root());
}

std::vector<Element*> EntryList::entries() const
{
    std::vector<Element*> found;
    for (Node* child : root()->childNodes()) {
        if (Element* entry = child->asElement(); entry && entry->nodeName().equals(m_entryName))
            found.push_back(entry);
    }
    return found;
}

size_t EntryList::count() const
{
    return entries().size();
}

Element* EntryList::entry(size_t index) const
{
    std::vector<Element*> all = entries();
    return index < all.size() ? all[index] : nullptr;
}

Element* EntryList::findById(std::u16string_view id) const
{
    for (Element* entry : entries()) {
        if (idOf(entry).equals(id))
            return entry;
    }
    return nullptr;
}

Element* EntryList::add(const String& name, const String& action, std::u16string_view sort, const String& id)
{
    Element* entry = addElement(root(), m_entryName, action);
    entry->setAttribute(u"id", id.empty() ? newId() : id);
    entry->setAttribute(u"name", name);
    if (sort.empty()) {
        // After the last entry, whatever numbering the list has now.
        int last = -1;
        for (Element* other : entries()) {
            if (other != entry)
                last = std::max(last, ElementSorter::sortKey(other));
        }
        entry->setAttribute(u"sort", String::number(last < std::numeric_limits<int>::max() ? last + 1 : last));
    } else {
        entry->setAttribute(u"sort", String(sort));
    }
    return entry;
}

bool EntryList::remove(Element* entry)
{
    return entry && root()->removeChild(entry) != nullptr;
}

void EntryList::clear()
{
    m_document = std::make_unique<Document>(m_rootName);
}

void EntryList::renumber()
{
    PtrListOf<Element> sorted;
    ElementSorter sorter;
    for (Element* entry : entries())
        sorted.insertSorted(entry, sorter);
    int position = 0;
    for (Element* entry : sorted) {
        root()->appendChild(entry);
        entry->setAttribute(u"sort", String::number(position++));
    }
}

bool EntryList::move(Element* entry, int direction)
{
    renumber();
    std::vector<Element*> all = entries();
    auto found = std::find(all.begin(), all.end(), entry);
    if (found == all.end() || direction == 0)
        return false;
    size_t index = size_t(found - all.begin());
    if ((direction < 0 && index == 0) || (direction > 0 && index + 1 >= all.size()))
        return false;
    Element* neighbour = all[direction < 0 ? index - 1 : index + 1];
    String sort = entry->getAttribute(u"sort");
    entry->setAttribute(u"sort", neighbour->getAttribute(u"sort"));
    neighbour->setAttribute(u"sort", sort);
    renumber();
    return true;
}

}
