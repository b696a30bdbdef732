#pragma once

#include "core/String.h"

#include <cstddef>
#include <iterator>

namespace lumavine {

class PtrList;
class PtrListIterator;

// Decides the order of sorted insertion: true when a must stand before b.
class PtrListSort {
public:
    virtual ~PtrListSort() = default;
    virtual bool compare(const PtrList& list, const void* a, const void* b) const = 0;
};

// A doubly linked list of pointers it does not own. Cursors attached to the
// list stay valid while elements are removed under them.
class PtrList {
public:
    struct Link {
        Link* next = nullptr;
        Link* previous = nullptr;
        void* value = nullptr;
    };

    PtrList() = default;
    PtrList(const PtrList&) = delete;
    PtrList& operator=(const PtrList&) = delete;
    virtual ~PtrList();

    virtual void clear();

    void append(void* value) { linkBefore(value, nullptr); }
    void prepend(void* value) { linkBefore(value, m_first); }
    // Before the first link holding `reference`; at the end when it is null
    // or absent.
    void insertBefore(void* value, const void* reference);
    void insertSorted(void* value, const PtrListSort& sorter);
    bool addIfAbsent(void* value);
    void* remove(const void* value);
    void* popFront();
    void* first() const { return m_first ? m_first->value : nullptr; }
    void* last() const { return m_last ? m_last->value : nullptr; }
    void* get(size_t index) const;
    bool contains(const void* value) const { return findLink(value) != nullptr; }
    size_t count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }

    // Plain forward iteration for loops that do not change the list.
    class ConstIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = void*;
        using difference_type = std::ptrdiff_t;
        using pointer = void* const*;
        using reference = void* const&;
        explicit ConstIterator(const Link* link = nullptr) : m_link(link) { }
        void* const& operator*() const { return m_link->value; }
        ConstIterator& operator++()
        {
            m_link = m_link->next;
            return *this;
        }
        ConstIterator operator++(int)
        {
            ConstIterator old = *this;
            m_link = m_link->next;
            return old;
        }
        bool operator==(const ConstIterator&) const = default;

    private:
        const Link* m_link;
    };
    ConstIterator begin() const { return ConstIterator(m_first); }
    ConstIterator end() const { return ConstIterator(nullptr); }

protected:
    // Where links come from and go back to: the heap, unless a list keeps
    // its own (in the value itself, for example). A list that keeps its own
    // must empty itself in its destructor (clear() or abandonLinks()), as
    // the base destructor deletes what is left and no longer reaches the
    // override.
    virtual Link* newLink(void* /*value*/) { return new Link; }
    virtual void deleteLink(Link* link) { delete link; }
    // Empties the list without giving any link back, for links that go with
    // the memory holding them.
    void abandonLinks();

    const Link* firstLink() const { return m_first; }
    Link* linkBefore(void* value, Link* before);
    void unlink(Link* link);
    Link* findLink(const void* value) const;

private:
    friend class PtrListIterator;
    friend class PtrMap;

    Link* m_first = nullptr;
    Link* m_last = nullptr;
    size_t m_count = 0;
    String m_name;
    PtrListIterator* m_cursors = nullptr;
};

// A cursor over one list. next() answers the first element on its first call;
// removing the element the cursor stands on moves it back so that the next
// step still yields the element that followed.
class PtrListIterator {
public:
    PtrListIterator() = default;
    explicit PtrListIterator(const PtrList& list) { attach(list); }
    PtrListIterator(const PtrListIterator&) = delete;
    PtrListIterator& operator=(const PtrListIterator&) = delete;
    virtual ~PtrListIterator() { detach(); }

    void attach(const PtrList& list);
    bool hasNext() const;
    void* next();
    void reset()
    {
        m_link = nullptr;
        m_started = false;
    }
    const PtrList* list() const { return m_list; }

private:
    friend class PtrList;
    void detach();

    PtrList* m_list = nullptr;
    PtrList::Link* m_link = nullptr;
    bool m_started = false;
    PtrListIterator* m_nextCursor = nullptr;
    PtrListIterator* m_previousCursor = nullptr;
};

// A list of T pointers; the same list, without the casts at every use.
template<typename T>
class PtrListOf : public PtrList {
public:
    void append(T* value) { PtrList::append(value); }
    void prepend(T* value) { PtrList::prepend(value); }
    void insertBefore(T* value, const T* reference) { PtrList::insertBefore(value, reference); }
    void insertSorted(T* value, const PtrListSort& sorter) { PtrList::insertSorted(value, sorter); }
    bool addIfAbsent(T* value) { return PtrList::addIfAbsent(value); }
    T* remove(const T* value) { return static_cast<T*>(PtrList::remove(value)); }
    T* popFront() { return static_cast<T*>(PtrList::popFront()); }
    T* first() const { return static_cast<T*>(PtrList::first()); }
    T* last() const { return static_cast<T*>(PtrList::last()); }
    T* get(size_t index) const { return static_cast<T*>(PtrList::get(index)); }

    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T**;
        using reference = T*;
        explicit Iterator(PtrList::ConstIterator it) : m_it(it) { }
        T* operator*() const { return static_cast<T*>(*m_it); }
        Iterator& operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator==(const Iterator&) const = default;

    private:
        PtrList::ConstIterator m_it;
    };
    Iterator begin() const { return Iterator(PtrList::begin()); }
    Iterator end() const { return Iterator(PtrList::end()); }
};

template<typename T>
class PtrListIteratorOf : public PtrListIterator {
public:
    using PtrListIterator::PtrListIterator;
    T* next() { return static_cast<T*>(PtrListIterator::next()); }
};

}
