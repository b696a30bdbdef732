#pragma once

#include "core/PtrList.h"

namespace lumavine {

// A list of texts it owns. Its own ordering is ordinal with sort mode 1;
// with any other mode sorted insertion puts the new text first.
class StringList : public PtrList, public PtrListSort {
public:
    StringList() = default;
    ~StringList() override;

    void clear() override;
    bool compare(const PtrList& list, const void* a, const void* b) const override;

    String& append(const String& text);
    String& prepend(const String& text);
    String& insertSorted(const String& text);
    // The text at the index, or emptyString when out of range.
    const String& get(size_t index) const;
    bool set(size_t index, const String& text);
    size_t countOf(std::u16string_view text, bool ignoreCase = false) const;
    // Puts a copy at the front unless an equal text is already there.
    bool addUnique(const String& text, bool ignoreCase = false);
    String& join(std::u16string_view separator, String& out) const;
    // Unlinks and deletes the first element equal to the text.
    bool removeText(std::u16string_view text, bool ignoreCase = false);

    int sortMode() const { return m_sortMode; }
    void setSortMode(int mode) { m_sortMode = mode; }

    PtrListOf<String>::Iterator begin() const { return PtrListOf<String>::Iterator(PtrList::begin()); }
    PtrListOf<String>::Iterator end() const { return PtrListOf<String>::Iterator(PtrList::end()); }

private:
    void deleteAll();
    int m_sortMode = 0;
};

}
