#include "core/PtrMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace lumavine;

namespace {

std::vector<String> keysOf(const PtrMap& map)
{
    std::vector<String> keys;
    for (const PtrMap::Entry* entry : map)
        keys.push_back(entry->key());
    return keys;
}

String keyFor(int i)
{
    String key(u"key-");
    key.appendInt(i);
    return key;
}

}

TEST(PtrMap, AddPutGetRemove)
{
    int a = 1, b = 2, c = 3;
    PtrMap map(true);
    EXPECT_EQ(map.get(u"a"), nullptr);
    EXPECT_EQ(map.remove(u"a"), nullptr);
    EXPECT_EQ(map.firstValue(), nullptr);

    EXPECT_FALSE(map.add(u"", &a));
    EXPECT_EQ(map.count(), 0u);
    EXPECT_TRUE(map.add(u"a", &a));
    EXPECT_FALSE(map.add(u"a", &b));
    EXPECT_EQ(map.get(u"a"), &a);
    EXPECT_EQ(map.count(), 1u);

    EXPECT_EQ(map.put(u"a", &b), &a);
    EXPECT_EQ(map.get(u"a"), &b);
    EXPECT_EQ(map.put(u"c", &c, false), nullptr);
    EXPECT_EQ(map.get(u"c"), nullptr);
    EXPECT_EQ(map.put(u"c", &c, true), nullptr);
    EXPECT_EQ(map.get(u"c"), &c);
    EXPECT_EQ(map.count(), 2u);
    EXPECT_EQ(map.firstValue(), &b);

    EXPECT_EQ(map.remove(u"a"), &b);
    EXPECT_EQ(map.remove(u"a"), nullptr);
    EXPECT_EQ(map.count(), 1u);
    EXPECT_EQ(map.firstValue(), &c);

    // Integer keys are their decimal text.
    EXPECT_TRUE(map.add(42, &a));
    EXPECT_EQ(map.get(u"42"), &a);
    EXPECT_EQ(map.get(42), &a);
    EXPECT_EQ(map.put(-7, &b), nullptr);
    EXPECT_EQ(map.get(u"-7"), &b);
    EXPECT_EQ(map.remove(42), &a);
    EXPECT_EQ(map.get(42), nullptr);

    map.clear();
    EXPECT_EQ(map.count(), 0u);
    EXPECT_EQ(map.get(u"c"), nullptr);
    EXPECT_TRUE(map.add(u"c", &a));
    EXPECT_EQ(map.get(u"c"), &a);
}

TEST(PtrMap, CaseInsensitiveMapsFoldAsciiLetters)
{
    int v = 1, w = 2;
    PtrMap folding(false);
    EXPECT_TRUE(folding.add(u"Width", &v));
    EXPECT_EQ(folding.get(u"width"), &v);
    EXPECT_EQ(folding.get(u"WIDTH"), &v);
    EXPECT_FALSE(folding.add(u"wIdTh", &w));
    EXPECT_EQ(folding.put(u"WIDTH", &w), &v);
    // The key keeps the spelling it was added with.
    EXPECT_EQ(keysOf(folding), std::vector<String> { u"Width" });
    EXPECT_EQ(folding.remove(u"width"), &w);
    EXPECT_EQ(folding.count(), 0u);

    PtrMap exact(true);
    EXPECT_TRUE(exact.add(u"Width", &v));
    EXPECT_EQ(exact.get(u"width"), nullptr);
    EXPECT_TRUE(exact.add(u"width", &w));
    EXPECT_EQ(exact.count(), 2u);
}

TEST(PtrMap, IteratesInInsertionOrderAfterRemovalsAndReAdds)
{
    int v = 0;
    PtrMap map(true);
    // Keys whose low bytes sum alike and differ, to mix the buckets.
    for (auto key : { u"zeta", u"b", u"ab", u"ba", u"alpha", u"c", u"m" })
        map.add(key, &v);
    map.remove(u"ab");
    map.remove(u"zeta");
    map.add(u"ab", &v);
    map.put(u"c", &v);
    map.add(u"zeta", &v);
    EXPECT_EQ(keysOf(map), (std::vector<String> { u"b", u"ba", u"alpha", u"c", u"m", u"ab", u"zeta" }));

    // A cursor over the order survives removal of the entry it stands on.
    PtrListIteratorOf<PtrMap::Entry> cursor(map.order());
    std::vector<String> seen;
    while (PtrMap::Entry* entry = cursor.next()) {
        seen.push_back(entry->key());
        if (entry->key().size() == 1)
            map.remove(String(entry->key()));
    }
    EXPECT_EQ(seen.size(), 7u);
    EXPECT_EQ(keysOf(map), (std::vector<String> { u"ba", u"alpha", u"ab", u"zeta" }));
}

TEST(PtrMap, OrderingRulePlacesNewEntriesBeforeTheFirstMatch)
{
    int values[] = { 30, 10, 20, 10, 40 };
    PtrMap map(true);
    map.setOrderingRule([](const PtrMap&, const PtrMap::Entry& added, const PtrMap::Entry& existing) {
        return *static_cast<int*>(added.value()) < *static_cast<int*>(existing.value());
    });
    for (int i = 0; i < 5; ++i)
        map.add(keyFor(i), &values[i]);
    EXPECT_EQ(keysOf(map), (std::vector<String> { u"key-1", u"key-3", u"key-2", u"key-0", u"key-4" }));
}

TEST(PtrMap, HundredThousandKeysSurviveGrowthRemovalAndPoolReuse)
{
    constexpr int total = 100000;
    std::vector<int> values(total);
    PtrMap map(false);
    for (int i = 0; i < total; ++i) {
        values[i] = i;
        ASSERT_TRUE(map.add(keyFor(i), &values[i]));
    }
    EXPECT_EQ(map.count(), size_t(total));
    EXPECT_GE(map.bucketCount(), size_t(total) / 2);
    for (int i = 0; i < total; ++i)
        ASSERT_EQ(map.get(keyFor(i)), &values[i]) << i;
    EXPECT_EQ(map.get(u"KEY-99999"), &values[99999]);
    EXPECT_EQ(map.get(u"key-100000"), nullptr);

    for (int i = 0; i < total; i += 2)
        ASSERT_EQ(map.remove(keyFor(i)), &values[i]);
    EXPECT_EQ(map.count(), size_t(total / 2));
    for (int i = 0; i < total; ++i)
        ASSERT_EQ(map.get(keyFor(i)), i % 2 ? &values[i] : nullptr) << i;
    // Removed entries come back from the pool with their new keys.
    for (int i = 0; i < total; i += 2)
        ASSERT_TRUE(map.add(keyFor(i), &values[i]));
    EXPECT_EQ(map.count(), size_t(total));
    size_t position = 0;
    for (const PtrMap::Entry* entry : map) {
        int expected = position < size_t(total / 2) ? int(position) * 2 + 1 : int(position - total / 2) * 2;
        ASSERT_EQ(entry->key(), keyFor(expected));
        ASSERT_EQ(entry->value(), &values[expected]);
        ++position;
    }
}

TEST(PtrMap, SmallAndGrowingMapsAgreeWithAPlainList)
{
    // A small map walks its entries and a larger one hashes them; random
    // work on maps of every size around the change, in both kinds of key
    // comparison, must answer as a plain ordered list of pairs does.
    int values[32];
    unsigned state = 99;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    for (bool caseSensitive : { true, false }) {
        auto same = [&](const String& a, const String& b) { return caseSensitive ? a == b : a.equalsIgnoreCase(b); };
        for (int keyRange = 2; keyRange <= 24; ++keyRange) {
            PtrMap map(caseSensitive);
            std::vector<std::pair<String, int*>> model;
            auto find = [&](const String& key) {
                return std::find_if(
                    model.begin(), model.end(), [&](const auto& pair) { return same(pair.first, key); });
            };
            for (int step = 0; step < 400; ++step) {
                String key = keyFor(int(next() % keyRange));
                if (next() % 2)
                    key.toUpper();
                int* value = &values[next() % 32];
                switch (next() % 8) {
                case 0:
                case 1:
                    EXPECT_EQ(map.add(key, value), find(key) == model.end());
                    if (find(key) == model.end())
                        model.emplace_back(key, value);
                    break;
                case 2:
                case 3: {
                    auto at = find(key);
                    EXPECT_EQ(map.put(key, value), at == model.end() ? nullptr : at->second);
                    if (at == model.end())
                        model.emplace_back(key, value);
                    else
                        at->second = value;
                    break;
                }
                case 4:
                case 5: {
                    auto at = find(key);
                    EXPECT_EQ(map.remove(key), at == model.end() ? nullptr : at->second);
                    if (at != model.end())
                        model.erase(at);
                    break;
                }
                case 6:
                    EXPECT_EQ(map.get(key), find(key) == model.end() ? nullptr : find(key)->second);
                    break;
                default:
                    if (next() % 16 == 0) {
                        map.clear();
                        model.clear();
                    }
                }
                ASSERT_EQ(map.count(), model.size()) << keyRange << " " << step;
                std::vector<String> expected;
                for (const auto& pair : model)
                    expected.push_back(pair.first);
                ASSERT_EQ(keysOf(map), expected) << keyRange << " " << step;
                for (const auto& pair : model)
                    ASSERT_EQ(map.get(pair.first), pair.second) << keyRange << " " << step;
            }
        }
    }
}

TEST(StringMap, OwnsItsValues)
{
    StringMap map(false);
    String text(u"blue");
    String* stored = map.set(u"Colour", text);
    ASSERT_NE(stored, nullptr);
    text = u"changed";
    EXPECT_EQ(map.get(u"colour"), u"blue");
    EXPECT_EQ(map.set(u"COLOUR", u"red"), stored);
    EXPECT_EQ(map.get(u"Colour"), u"red");
    EXPECT_EQ(map.set(u"missing", u"x", false), nullptr);
    EXPECT_EQ(&map.get(u"missing"), &emptyString);
    EXPECT_EQ(map.set(u"", u"x"), nullptr);
    EXPECT_EQ(map.count(), 1u);

    EXPECT_NE(map.set(3, u"three"), nullptr);
    EXPECT_EQ(map.get(3), u"three");
    EXPECT_EQ(map.get(u"3"), u"three");

    std::unique_ptr<String> removed = map.remove(u"colour");
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(*removed, u"red");
    EXPECT_EQ(map.remove(u"colour"), nullptr);
    map.clear();
    EXPECT_EQ(map.count(), 0u);
    map.set(u"after", u"clear");
    EXPECT_EQ(map.get(u"after"), u"clear");

    // A key that the base map holds without a text gets one, not a leak.
    StringMap holes(true);
    holes.PtrMap::put(u"k", nullptr, true);
    String* filled = holes.set(u"k", u"v");
    ASSERT_NE(filled, nullptr);
    EXPECT_EQ(&holes.get(u"k"), filled);
    EXPECT_EQ(holes.count(), 1u);
}
