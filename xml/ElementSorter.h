#pragma once

#include "core/PtrList.h"
#include "xml/Element.h"

namespace lumavine {

// Orders elements by their "sort" attribute; a missing or unreadable one
// counts as 0.
class ElementSorter : public PtrListSort {
public:
    bool compare(const PtrList&, const void* a, const void* b) const override
    {
        return sortKey(static_cast<const Element*>(a)) < sortKey(static_cast<const Element*>(b));
    }

    static int sortKey(const Element* element)
    {
        int value = 0;
        if (element)
            element->getAttribute(u"sort").readInt(value);
        return value;
    }
};

}
