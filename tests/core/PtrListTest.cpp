#include "core/PtrList.h"
#include "core/StringList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace lumavine;

namespace {

std::vector<int> valuesOf(const PtrList& list)
{
    std::vector<int> values;
    for (void* p : list)
        values.push_back(*static_cast<int*>(p));
    return values;
}

struct ByValue : PtrListSort {
    bool compare(const PtrList&, const void* a, const void* b) const override
    {
        return *static_cast<const int*>(a) / 10 < *static_cast<const int*>(b) / 10;
    }
};

}

TEST(PtrList, KeepsOrderAndInsertsWhereAsked)
{
    int v[6] = { 0, 1, 2, 3, 4, 5 };
    PtrList list;
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.popFront(), nullptr);
    list.append(&v[1]);
    list.append(&v[3]);
    list.prepend(&v[0]);
    list.insertBefore(&v[2], &v[3]);
    list.insertBefore(&v[5], nullptr);
    list.insertBefore(&v[4], &v[5]);
    EXPECT_EQ(valuesOf(list), (std::vector<int> { 0, 1, 2, 3, 4, 5 }));
    EXPECT_EQ(list.count(), 6u);
    EXPECT_EQ(list.get(0), &v[0]);
    EXPECT_EQ(list.get(5), &v[5]);
    EXPECT_EQ(list.get(6), nullptr);
    EXPECT_EQ(list.last(), &v[5]);

    EXPECT_FALSE(list.addIfAbsent(&v[2]));
    EXPECT_EQ(list.count(), 6u);
    int extra = 6;
    EXPECT_TRUE(list.addIfAbsent(&extra));
    EXPECT_EQ(list.last(), &extra);

    EXPECT_EQ(list.remove(&v[3]), &v[3]);
    EXPECT_EQ(list.remove(&v[3]), nullptr);
    EXPECT_EQ(list.popFront(), &v[0]);
    EXPECT_EQ(valuesOf(list), (std::vector<int> { 1, 2, 4, 5, 6 }));

    // Removing the first and last keep the ends of the chain right.
    list.remove(&extra);
    list.remove(&v[1]);
    EXPECT_EQ(list.first(), &v[2]);
    EXPECT_EQ(list.last(), &v[5]);
    list.append(&v[0]);
    EXPECT_EQ(valuesOf(list), (std::vector<int> { 2, 4, 5, 0 }));
    list.clear();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
}

TEST(PtrList, InsertSortedIsStableForEqualElements)
{
    // Compared by tens: 10, 11, 12 are equal and must keep their order.
    int v[] = { 20, 10, 30, 11, 5, 12, 31 };
    PtrList list;
    ByValue sorter;
    for (int& x : v)
        list.insertSorted(&x, sorter);
    EXPECT_EQ(valuesOf(list), (std::vector<int> { 5, 10, 11, 12, 20, 30, 31 }));
}

TEST(PtrListIterator, RemovalUnderTheCursorContinuesWithTheFollowingElement)
{
    int v[5] = { 0, 1, 2, 3, 4 };
    PtrList list;
    for (int& x : v)
        list.append(&x);
    PtrListIterator cursor(list);
    std::vector<int> seen;
    while (void* p = cursor.next()) {
        seen.push_back(*static_cast<int*>(p));
        if (*static_cast<int*>(p) % 2 == 0)
            list.remove(p);
    }
    EXPECT_EQ(seen, (std::vector<int> { 0, 1, 2, 3, 4 }));
    EXPECT_EQ(valuesOf(list), (std::vector<int> { 1, 3 }));

    // popFront under a cursor standing on the first element.
    PtrListIterator front(list);
    EXPECT_EQ(front.next(), &v[1]);
    list.popFront();
    EXPECT_EQ(front.next(), &v[3]);
    EXPECT_EQ(front.next(), nullptr);

    // Appending after the end is still seen by the cursor.
    list.append(&v[4]);
    EXPECT_EQ(front.next(), &v[4]);

    PtrList single;
    single.append(&v[0]);
    PtrListIterator only(single);
    EXPECT_EQ(only.next(), &v[0]);
    single.remove(&v[0]);
    EXPECT_FALSE(only.hasNext());
    EXPECT_EQ(only.next(), nullptr);

    // Two cursors on the same element both survive its removal.
    PtrList two;
    two.append(&v[0]);
    two.append(&v[1]);
    two.append(&v[2]);
    PtrListIterator a(two), b(two);
    a.next();
    a.next();
    b.next();
    b.next();
    two.remove(&v[1]);
    EXPECT_EQ(a.next(), &v[2]);
    EXPECT_EQ(b.next(), &v[2]);
}

TEST(PtrListIterator, ResetAttachAndListDestroyedUnderTheCursor)
{
    int v[3] = { 0, 1, 2 };
    PtrListIterator cursor;
    EXPECT_EQ(cursor.next(), nullptr);
    {
        auto list = std::make_unique<PtrList>();
        for (int& x : v)
            list->append(&x);
        cursor.attach(*list);
        EXPECT_TRUE(cursor.hasNext());
        EXPECT_EQ(cursor.next(), &v[0]);
        EXPECT_EQ(cursor.next(), &v[1]);
        cursor.reset();
        EXPECT_EQ(cursor.next(), &v[0]);

        PtrList other;
        other.append(&v[2]);
        cursor.attach(other);
        EXPECT_EQ(cursor.next(), &v[2]);
        cursor.attach(*list);
        EXPECT_EQ(cursor.next(), &v[0]);
        {
            PtrListIterator second(*list);
            EXPECT_EQ(second.next(), &v[0]);
        }
        list->clear();
        EXPECT_EQ(cursor.next(), nullptr);
        list->append(&v[1]);
        EXPECT_EQ(cursor.next(), &v[1]);
    }
    EXPECT_EQ(cursor.list(), nullptr);
    EXPECT_FALSE(cursor.hasNext());
    EXPECT_EQ(cursor.next(), nullptr);
}

TEST(StringList, OwnsCopiesAndAnswersEmptyStringOutOfRange)
{
    StringList list;
    String text(u"one");
    list.append(text);
    text = u"changed";
    list.append(u"two");
    list.prepend(u"zero");
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(list.get(0), u"zero");
    EXPECT_EQ(list.get(1), u"one");
    EXPECT_EQ(&list.get(3), &emptyString);
    EXPECT_TRUE(list.set(2, u"TWO"));
    EXPECT_FALSE(list.set(3, u"three"));
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(list.get(2), u"TWO");

    EXPECT_EQ(list.countOf(u"two"), 0u);
    EXPECT_EQ(list.countOf(u"two", true), 1u);
    EXPECT_FALSE(list.addUnique(u"ONE", true));
    EXPECT_TRUE(list.addUnique(u"ONE", false));
    EXPECT_EQ(list.get(0), u"ONE");

    String joined(u"old");
    EXPECT_EQ(list.join(u", ", joined), u"ONE, zero, one, TWO");
    StringList empty;
    EXPECT_EQ(empty.join(u",", joined), u"");

    EXPECT_TRUE(list.removeText(u"zero"));
    EXPECT_FALSE(list.removeText(u"zero"));
    list.clear();
    EXPECT_EQ(list.count(), 0u);
    list.append(u"again");
    EXPECT_EQ(list.get(0), u"again");
}

TEST(StringList, SortModeOneSortsOrdinallyOtherModesPutNewFirst)
{
    StringList sorted;
    sorted.setSortMode(1);
    for (auto text : { u"pear", u"Apple", u"apple", u"banana", u"apple", u"\u00E4" })
        sorted.insertSorted(String(text));
    String joined;
    EXPECT_EQ(sorted.join(u" ", joined), u"Apple apple apple banana pear \u00E4");
    // Equal texts keep the order they were inserted in.
    String* firstApple = static_cast<String*>(sorted.PtrList::get(1));
    sorted.insertSorted(u"apple");
    EXPECT_EQ(sorted.PtrList::get(1), firstApple);

    StringList unsorted;
    for (auto text : { u"a", u"c", u"b" })
        unsorted.insertSorted(String(text));
    EXPECT_EQ(unsorted.join(u"", joined), u"bca");
}
