#include "core/StringList.h"

#include <memory>

namespace lumavine {

StringList::~StringList()
{
    deleteAll();
}

void StringList::deleteAll()
{
    for (void* p : static_cast<const PtrList&>(*this))
        delete static_cast<String*>(p);
}

void StringList::clear()
{
    deleteAll();
    PtrList::clear();
}

bool StringList::compare(const PtrList&, const void* a, const void* b) const
{
    if (m_sortMode != 1)
        return true;
    return *static_cast<const String*>(a) < *static_cast<const String*>(b);
}

String& StringList::append(const String& text)
{
    auto copy = std::make_unique<String>(text);
    PtrList::append(copy.get());
    return *copy.release();
}

String& StringList::prepend(const String& text)
{
    auto copy = std::make_unique<String>(text);
    PtrList::prepend(copy.get());
    return *copy.release();
}

String& StringList::insertSorted(const String& text)
{
    auto copy = std::make_unique<String>(text);
    PtrList::insertSorted(copy.get(), *this);
    return *copy.release();
}

const String& StringList::get(size_t index) const
{
    void* p = PtrList::get(index);
    return p ? *static_cast<const String*>(p) : emptyString;
}

bool StringList::set(size_t index, const String& text)
{
    void* p = PtrList::get(index);
    if (!p)
        return false;
    *static_cast<String*>(p) = text;
    return true;
}

size_t StringList::countOf(std::u16string_view text, bool ignoreCase) const
{
    size_t n = 0;
    for (const String* s : *this) {
        if (ignoreCase ? s->equalsIgnoreCase(text) : s->equals(text))
            ++n;
    }
    return n;
}

bool StringList::addUnique(const String& text, bool ignoreCase)
{
    if (countOf(text, ignoreCase) > 0)
        return false;
    prepend(text);
    return true;
}

String& StringList::join(std::u16string_view separator, String& out) const
{
    out.clear();
    bool first = true;
    for (const String* s : *this) {
        if (!first)
            out.append(separator);
        out.append(*s);
        first = false;
    }
    return out;
}

bool StringList::removeText(std::u16string_view text, bool ignoreCase)
{
    for (String* s : *this) {
        if (ignoreCase ? s->equalsIgnoreCase(text) : s->equals(text)) {
            PtrList::remove(s);
            delete s;
            return true;
        }
    }
    return false;
}

}
