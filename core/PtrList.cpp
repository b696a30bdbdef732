#include "core/PtrList.h"

namespace lumavine {

PtrList::~PtrList()
{
    // Cursors outliving their list must yield nothing rather than dangle.
    while (m_cursors) {
        PtrListIterator* cursor = m_cursors;
        cursor->detach();
    }
    Link* link = m_first;
    while (link) {
        Link* next = link->next;
        delete link;
        link = next;
    }
}

void PtrList::clear()
{
    for (PtrListIterator* cursor = m_cursors; cursor; cursor = cursor->m_nextCursor)
        cursor->reset();
    Link* link = m_first;
    while (link) {
        Link* next = link->next;
        deleteLink(link);
        link = next;
    }
    m_first = m_last = nullptr;
    m_count = 0;
}

void PtrList::abandonLinks()
{
    for (PtrListIterator* cursor = m_cursors; cursor; cursor = cursor->m_nextCursor)
        cursor->reset();
    m_first = m_last = nullptr;
    m_count = 0;
}

PtrList::Link* PtrList::linkBefore(void* value, Link* before)
{
    Link* link = newLink(value);
    link->next = nullptr;
    link->previous = nullptr;
    link->value = value;
    if (!before) {
        link->previous = m_last;
        if (m_last)
            m_last->next = link;
        else
            m_first = link;
        m_last = link;
    } else {
        link->next = before;
        link->previous = before->previous;
        if (before->previous)
            before->previous->next = link;
        else
            m_first = link;
        before->previous = link;
    }
    ++m_count;
    return link;
}

void PtrList::unlink(Link* link)
{
    for (PtrListIterator* cursor = m_cursors; cursor; cursor = cursor->m_nextCursor) {
        if (cursor->m_link == link) {
            cursor->m_link = link->previous;
            if (!link->previous)
                cursor->m_started = false;
        }
    }
    if (link->previous)
        link->previous->next = link->next;
    else
        m_first = link->next;
    if (link->next)
        link->next->previous = link->previous;
    else
        m_last = link->previous;
    --m_count;
    deleteLink(link);
}

PtrList::Link* PtrList::findLink(const void* value) const
{
    for (Link* link = m_first; link; link = link->next) {
        if (link->value == value)
            return link;
    }
    return nullptr;
}

void PtrList::insertBefore(void* value, const void* reference)
{
    linkBefore(value, reference ? findLink(reference) : nullptr);
}

void PtrList::insertSorted(void* value, const PtrListSort& sorter)
{
    Link* link = m_first;
    while (link && !sorter.compare(*this, value, link->value))
        link = link->next;
    linkBefore(value, link);
}

bool PtrList::addIfAbsent(void* value)
{
    if (findLink(value))
        return false;
    append(value);
    return true;
}

void* PtrList::remove(const void* value)
{
    Link* link = findLink(value);
    if (!link)
        return nullptr;
    void* result = link->value;
    unlink(link);
    return result;
}

void* PtrList::popFront()
{
    if (!m_first)
        return nullptr;
    void* result = m_first->value;
    unlink(m_first);
    return result;
}

void* PtrList::get(size_t index) const
{
    if (index >= m_count)
        return nullptr;
    Link* link = m_first;
    while (index-- > 0)
        link = link->next;
    return link->value;
}

void PtrListIterator::attach(const PtrList& constList)
{
    detach();
    // Attaching records the cursor in the list; the elements stay untouched.
    auto& list = const_cast<PtrList&>(constList);
    m_list = &list;
    m_link = nullptr;
    m_started = false;
    m_previousCursor = nullptr;
    m_nextCursor = list.m_cursors;
    if (list.m_cursors)
        list.m_cursors->m_previousCursor = this;
    list.m_cursors = this;
}

void PtrListIterator::detach()
{
    if (!m_list)
        return;
    if (m_previousCursor)
        m_previousCursor->m_nextCursor = m_nextCursor;
    else
        m_list->m_cursors = m_nextCursor;
    if (m_nextCursor)
        m_nextCursor->m_previousCursor = m_previousCursor;
    m_list = nullptr;
    m_link = nullptr;
    m_started = false;
    m_nextCursor = m_previousCursor = nullptr;
}

bool PtrListIterator::hasNext() const
{
    if (!m_list)
        return false;
    if (!m_link)
        return m_list->m_first != nullptr;
    return m_link->next != nullptr;
}

void* PtrListIterator::next()
{
    if (!m_list)
        return nullptr;
    PtrList::Link* following = m_link ? m_link->next : m_list->m_first;
    if (!following) {
        // At the end the cursor stays on the last link, so appended
        // elements are still seen by a later call.
        return nullptr;
    }
    m_link = following;
    m_started = true;
    return following->value;
}

}
