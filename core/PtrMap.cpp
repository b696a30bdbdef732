#include "core/PtrMap.h"

namespace lumavine {

namespace {
constexpr size_t initialBucketCount = 10;
// Up to this many keys, a map has no buckets and walks its order instead.
constexpr size_t linearCount = 8;
}

PtrMap::PtrMap(bool caseSensitive) : m_caseSensitive(caseSensitive)
{
}

PtrMap::~PtrMap()
{
    // Each link lives in its entry: step on before deleting the entry.
    const PtrList::Link* link = m_order.firstLink();
    while (link) {
        const PtrList::Link* next = link->next;
        delete static_cast<Entry*>(link->value);
        link = next;
    }
}

size_t PtrMap::hashOf(std::u16string_view key) const
{
    // FNV-1a: the bucket array grows, so the hash must spread keys that
    // differ only in a trailing number.
    size_t hash = 1469598103934665603ull;
    for (char16_t c : key) {
        char16_t folded = m_caseSensitive ? c : String::foldLower(c);
        hash = (hash ^ (folded & 0xFF)) * 1099511628211ull;
        hash = (hash ^ (folded >> 8)) * 1099511628211ull;
    }
    return hash;
}

bool PtrMap::keysEqual(std::u16string_view a, std::u16string_view b) const
{
    if (m_caseSensitive)
        return a == b;
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (String::foldLower(a[i]) != String::foldLower(b[i]))
            return false;
    }
    return true;
}

PtrMap::Entry* PtrMap::findEntry(std::u16string_view key, size_t hash) const
{
    if (m_buckets.empty()) {
        for (const PtrList::Link* link = m_order.firstLink(); link; link = link->next) {
            auto* e = static_cast<Entry*>(link->value);
            if (e->m_hash == hash && keysEqual(e->m_key, key))
                return e;
        }
        return nullptr;
    }
    for (Entry* e = m_buckets[hash % m_buckets.size()]; e; e = e->m_bucketNext) {
        if (e->m_hash == hash && keysEqual(e->m_key, key))
            return e;
    }
    return nullptr;
}

void PtrMap::grow()
{
    std::vector<Entry*> buckets(m_buckets.empty() ? initialBucketCount : m_buckets.size() * 2, nullptr);
    for (Entry* e : m_order) {
        size_t index = e->m_hash % buckets.size();
        e->m_bucketNext = buckets[index];
        buckets[index] = e;
    }
    m_buckets = std::move(buckets);
}

PtrMap::Entry* PtrMap::insert(std::u16string_view key, void* value, size_t hash)
{
    if (m_count >= (m_buckets.empty() ? linearCount : m_buckets.size()))
        grow();
    std::unique_ptr<Entry> fresh;
    Entry* entry;
    if (!m_pool.empty()) {
        entry = m_pool.back().release();
        m_pool.pop_back();
    } else {
        fresh = std::make_unique<Entry>();
        entry = fresh.get();
    }
    entry->m_key.assign(key);
    entry->m_value = value;
    entry->m_hash = hash;
    if (!m_buckets.empty()) {
        size_t index = hash % m_buckets.size();
        entry->m_bucketNext = m_buckets[index];
        m_buckets[index] = entry;
    }

    PtrList::Link* before = nullptr;
    if (m_orderingRule) {
        for (const PtrList::Link* link = m_order.firstLink(); link; link = link->next) {
            if (m_orderingRule(*this, *entry, *static_cast<const Entry*>(link->value))) {
                before = const_cast<PtrList::Link*>(link);
                break;
            }
        }
    }
    entry->m_orderLink = m_order.linkBefore(entry, before);
    ++m_count;
    fresh.release();
    return entry;
}

bool PtrMap::add(std::u16string_view key, void* value)
{
    if (key.empty())
        return false;
    size_t hash = hashOf(key);
    if (findEntry(key, hash))
        return false;
    insert(key, value, hash);
    return true;
}

void* PtrMap::put(std::u16string_view key, void* value, bool create)
{
    if (key.empty())
        return nullptr;
    size_t hash = hashOf(key);
    if (Entry* e = findEntry(key, hash)) {
        void* previous = e->m_value;
        e->m_value = value;
        return previous;
    }
    if (create)
        insert(key, value, hash);
    return nullptr;
}

void* PtrMap::get(std::u16string_view key) const
{
    Entry* e = findEntry(key, hashOf(key));
    return e ? e->m_value : nullptr;
}

void* PtrMap::remove(std::u16string_view key)
{
    size_t hash = hashOf(key);
    Entry* e = nullptr;
    if (m_buckets.empty()) {
        e = findEntry(key, hash);
        if (!e)
            return nullptr;
    } else {
        Entry** slot = &m_buckets[hash % m_buckets.size()];
        while (*slot && !((*slot)->m_hash == hash && keysEqual((*slot)->m_key, key)))
            slot = &(*slot)->m_bucketNext;
        e = *slot;
        if (!e)
            return nullptr;
        *slot = e->m_bucketNext;
    }
    m_order.unlink(e->m_orderLink);
    --m_count;
    void* value = e->m_value;
    e->m_value = nullptr;
    e->m_bucketNext = nullptr;
    e->m_orderLink = nullptr;
    e->m_key.clear();
    m_pool.emplace_back(e);
    return value;
}

void* PtrMap::firstValue() const
{
    Entry* e = m_order.first();
    return e ? e->m_value : nullptr;
}

void PtrMap::clear()
{
    while (Entry* e = m_order.popFront()) {
        e->m_value = nullptr;
        e->m_bucketNext = nullptr;
        e->m_orderLink = nullptr;
        e->m_key.clear();
        m_pool.emplace_back(e);
    }
    std::fill(m_buckets.begin(), m_buckets.end(), nullptr);
    m_count = 0;
}

StringMap::~StringMap()
{
    deleteValues();
}

void StringMap::deleteValues()
{
    for (const Entry* e : order())
        delete static_cast<String*>(e->value());
}

String* StringMap::set(std::u16string_view key, const String& text, bool create)
{
    if (auto* existing = static_cast<String*>(PtrMap::get(key))) {
        *existing = text;
        return existing;
    }
    if (!create || key.empty())
        return nullptr;
    auto value = std::make_unique<String>(text);
    // put, not add: a key stored with no text through the base map would
    // make add fail and the new text leak.
    PtrMap::put(key, value.get(), true);
    return value.release();
}

const String& StringMap::get(std::u16string_view key) const
{
    auto* value = static_cast<const String*>(PtrMap::get(key));
    return value ? *value : emptyString;
}

std::unique_ptr<String> StringMap::remove(std::u16string_view key)
{
    return std::unique_ptr<String>(static_cast<String*>(PtrMap::remove(key)));
}

void StringMap::clear()
{
    deleteValues();
    PtrMap::clear();
}

}
