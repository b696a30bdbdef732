#pragma once

#include "core/PtrList.h"

#include <functional>
#include <memory>
#include <vector>

namespace lumavine {

// A hashed map from text keys to pointers it does not own. Iteration follows
// insertion order (or the map's ordering rule), never the hash.
class PtrMap {
public:
    class Entry {
    public:
        const String& key() const { return m_key; }
        void* value() const { return m_value; }

    private:
        friend class PtrMap;
        String m_key;
        void* m_value = nullptr;
        Entry* m_bucketNext = nullptr;
        PtrList::Link* m_orderLink = nullptr;
        size_t m_hash = 0;
        // The entry's place in the order, held in the entry itself: one
        // allocation less for every key.
        PtrList::Link m_ownLink;
    };

    // Answers true when `added` must stand before `existing`.
    using OrderingRule = std::function<bool(const PtrMap&, const Entry& added, const Entry& existing)>;

    explicit PtrMap(bool caseSensitive);
    PtrMap(const PtrMap&) = delete;
    PtrMap& operator=(const PtrMap&) = delete;
    virtual ~PtrMap();

    bool add(std::u16string_view key, void* value);
    // Replaces and answers the previous value of a present key; inserts an
    // absent one when asked. Answers null in every case but replacement.
    void* put(std::u16string_view key, void* value, bool create = true);
    void* get(std::u16string_view key) const;
    bool contains(std::u16string_view key) const { return findEntry(key, hashOf(key)) != nullptr; }
    void* remove(std::u16string_view key);
    void* firstValue() const;
    size_t count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    virtual void clear();

    bool add(int key, void* value) { return add(String::number(key), value); }
    void* put(int key, void* value, bool create = true) { return put(String::number(key), value, create); }
    void* get(int key) const { return get(String::number(key)); }
    void* remove(int key) { return remove(String::number(key)); }

    bool isCaseSensitive() const { return m_caseSensitive; }
    void setOrderingRule(OrderingRule rule) { m_orderingRule = std::move(rule); }

    // The entries in iteration order; a PtrListIterator over it yields Entry*
    // and survives removal of the entry it stands on.
    const PtrListOf<Entry>& order() const { return m_order; }
    PtrListOf<Entry>::Iterator begin() const { return m_order.begin(); }
    PtrListOf<Entry>::Iterator end() const { return m_order.end(); }

    size_t bucketCount() const { return m_buckets.size(); }

private:
    size_t hashOf(std::u16string_view key) const;
    bool keysEqual(std::u16string_view a, std::u16string_view b) const;
    Entry* findEntry(std::u16string_view key, size_t hash) const;
    Entry* insert(std::u16string_view key, void* value, size_t hash);
    void grow();

    // The order of the entries, linked through the entries themselves.
    class Order : public PtrListOf<Entry> {
    public:
        Order() = default;
        ~Order() override { abandonLinks(); }

    private:
        PtrList::Link* newLink(void* value) override { return &static_cast<Entry*>(value)->m_ownLink; }
        void deleteLink(PtrList::Link*) override { }
    };

    bool m_caseSensitive;
    size_t m_count = 0;
    // Empty while the map is small: a few keys are found faster by walking
    // the order than through buckets of their own.
    std::vector<Entry*> m_buckets;
    Order m_order;
    std::vector<std::unique_ptr<Entry>> m_pool;
    OrderingRule m_orderingRule;
};

template<typename T>
class PtrMapOf : public PtrMap {
public:
    explicit PtrMapOf(bool caseSensitive) : PtrMap(caseSensitive) { }
    bool add(std::u16string_view key, T* value) { return PtrMap::add(key, value); }
    T* put(std::u16string_view key, T* value, bool create = true)
    {
        return static_cast<T*>(PtrMap::put(key, value, create));
    }
    T* get(std::u16string_view key) const { return static_cast<T*>(PtrMap::get(key)); }
    T* remove(std::u16string_view key) { return static_cast<T*>(PtrMap::remove(key)); }
    T* firstValue() const { return static_cast<T*>(PtrMap::firstValue()); }
    bool add(int key, T* value) { return PtrMap::add(key, value); }
    T* get(int key) const { return static_cast<T*>(PtrMap::get(key)); }
    T* remove(int key) { return static_cast<T*>(PtrMap::remove(key)); }
    static T* valueOf(const Entry* entry) { return static_cast<T*>(entry->value()); }
};

// A map whose values are texts it owns.
class StringMap : public PtrMap {
public:
    explicit StringMap(bool caseSensitive) : PtrMap(caseSensitive) { }
    ~StringMap() override;

    // The stored value after setting it, or null when the key is absent and
    // create is false.
    String* set(std::u16string_view key, const String& text, bool create = true);
    const String& get(std::u16string_view key) const;
    std::unique_ptr<String> remove(std::u16string_view key);
    String* set(int key, const String& text, bool create = true) { return set(String::number(key), text, create); }
    const String& get(int key) const { return get(String::number(key)); }
    void clear() override;

    static const String& valueOf(const Entry* entry) { return *static_cast<const String*>(entry->value()); }

private:
    void deleteValues();
};

}
