// The keyed collection's portable core (collection/keyed_list.h): the rules of the
// platform's `_Collection`, key folding, and cursors that survive changes.
#include "../support/result_printing.h"
#include "collection/keyed_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using vemo::CoreError;
using vemo::KeyedList;
using vemo::KeyFolding;
using vemo::Locator;
using vemo::Result;
using vemo::SimpleKeyFolding;

using List = KeyedList<int>;
using Cursor = List::Cursor;

const Result<void> kOk;

Locator At(std::int64_t position) { return Locator::Position(position); }
Locator Key(std::u16string_view key) { return Locator::Key(key); }

int ItemAt(const List& list, const Locator& at) {
    const Result<const int*> item = list.Item(at);
    EXPECT_TRUE(item.ok());
    return item.ok() ? **item : -1;
}

// All items in collection order, read by position.
std::vector<int> Items(const List& list) {
    std::vector<int> out;
    for (std::size_t p = 1; p <= list.Count(); ++p) out.push_back(ItemAt(list, At(static_cast<std::int64_t>(p))));
    return out;
}

// Up to `count` items from a cursor.
std::vector<int> Take(Cursor& cursor, std::size_t count = 1000) {
    std::vector<int> out;
    const std::size_t got = cursor.Next(count, [&](const int& v) { out.push_back(v); });
    EXPECT_EQ(got, out.size());
    return out;
}

// The outcome of a lookup, without the item.
Result<void> Lookup(const List& list, const Locator& at) {
    const Result<const int*> item = list.Item(at);
    if (!item.ok()) return item.error();
    return {};
}

std::u16string Num(int i) {
    const std::string s = std::to_string(i);
    return std::u16string(s.begin(), s.end());
}

// A list of 1..n keyed "k1".."kn".
void Fill(List& list, int n) {
    for (int i = 1; i <= n; ++i) ASSERT_EQ(list.Add(i, u"k" + Num(i)), kOk);
}

// ---------------------------------------------------------------- basics

TEST(KeyedList, NewListIsEmpty) {
    List list;
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(Lookup(list, At(1)), CoreError::Subscript);
    EXPECT_EQ(Lookup(list, At(0)), CoreError::Subscript);
    EXPECT_EQ(Lookup(list, Key(u"a")), CoreError::InvalidArgument);
    EXPECT_EQ(list.Remove(At(1)), CoreError::Subscript);
    EXPECT_EQ(list.Remove(Key(u"a")), CoreError::InvalidArgument);
    Cursor cursor = list.Enumerate();
    EXPECT_TRUE(Take(cursor).empty());
}

TEST(KeyedList, AppendsInOrderAndFindsByPositionAndKey) {
    List list;
    EXPECT_EQ(list.Add(10, u"a"), kOk);
    EXPECT_EQ(list.Add(20), kOk);  // no key
    EXPECT_EQ(list.Add(30, u"c"), kOk);
    EXPECT_EQ(list.Count(), 3u);
    EXPECT_EQ(Items(list), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(ItemAt(list, Key(u"a")), 10);
    EXPECT_EQ(ItemAt(list, Key(u"c")), 30);
}

TEST(KeyedList, ItemGivesMutableAccess) {
    List list;
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    const Result<int*> item = list.Item(Key(u"a"));
    ASSERT_TRUE(item.ok());
    **item = 42;
    EXPECT_EQ(ItemAt(list, At(1)), 42);
}

TEST(KeyedList, MutableItemFailsAsTheConstOne) {
    List list;
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    EXPECT_EQ(list.Item(At(2)), Result<int*>(CoreError::Subscript));
    EXPECT_EQ(list.Item(Key(u"b")), Result<int*>(CoreError::InvalidArgument));
}

TEST(KeyedList, EmptyTextIsAKey) {
    List list;
    ASSERT_EQ(list.Add(1), kOk);
    ASSERT_EQ(list.Add(2, u""), kOk);
    EXPECT_EQ(ItemAt(list, Key(u"")), 2);
    EXPECT_EQ(list.Add(3, u""), CoreError::DuplicateKey);
    EXPECT_EQ(list.Add(4), kOk);  // no key is not the empty key
}

// ---------------------------------------------------------------- keys

TEST(KeyedList, DuplicateKeyIs457AndChangesNothing) {
    List list;
    ASSERT_EQ(list.Add(1, u"x"), kOk);
    ASSERT_EQ(list.Add(2, u"y"), kOk);
    EXPECT_EQ(list.Add(3, u"x"), CoreError::DuplicateKey);
    EXPECT_EQ(list.Add(3, u"y", At(1)), CoreError::DuplicateKey);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(ItemAt(list, Key(u"x")), 1);
}

TEST(KeyedList, KeysIgnoreCase) {
    List list;
    ASSERT_EQ(list.Add(1, u"Apple"), kOk);
    EXPECT_EQ(list.Add(2, u"APPLE"), CoreError::DuplicateKey);
    EXPECT_EQ(list.Add(3, u"apple"), CoreError::DuplicateKey);
    EXPECT_EQ(ItemAt(list, Key(u"aPPLe")), 1);
    ASSERT_EQ(list.Add(4, u"\u00C4rger"), kOk);  // Ärger
    EXPECT_EQ(ItemAt(list, Key(u"\u00E4RGER")), 4);
    ASSERT_EQ(list.Add(5, u"\uFF21\uFF22"), kOk);  // fullwidth AB
    EXPECT_EQ(ItemAt(list, Key(u"\uFF41\uFF42")), 5);
    EXPECT_EQ(list.Remove(Key(u"APPLE")), kOk);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(Lookup(list, Key(u"apple")), CoreError::InvalidArgument);
}

TEST(KeyedList, RemovedKeyCanBeUsedAgain) {
    List list;
    ASSERT_EQ(list.Add(1, u"k"), kOk);
    ASSERT_EQ(list.Remove(Key(u"K")), kOk);
    EXPECT_EQ(list.Add(2, u"k"), kOk);
    EXPECT_EQ(ItemAt(list, Key(u"k")), 2);
}

// Keys compare by the folding the list is given.
class ExactFolding final : public KeyFolding {
public:
    std::u16string Fold(std::u16string_view key) const override {
        ++calls;
        return std::u16string(key);
    }
    mutable int calls = 0;
};

TEST(KeyedList, FoldingIsPluggable) {
    auto exact = std::make_shared<ExactFolding>();
    List list(exact);
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    EXPECT_EQ(list.Add(2, u"A"), kOk);  // case matters with this folding
    EXPECT_EQ(ItemAt(list, Key(u"A")), 2);
    EXPECT_EQ(ItemAt(list, Key(u"a")), 1);
    EXPECT_EQ(list.Add(3, std::nullopt, Key(u"A")), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(list.Remove(Key(u"a")), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{3, 2}));
    // One fold per key handled, none for positions or keyless adds.
    EXPECT_EQ(exact->calls, 6);
    EXPECT_EQ(list.Add(4), kOk);
    EXPECT_EQ(ItemAt(list, At(1)), 3);
    EXPECT_EQ(exact->calls, 6);
}

TEST(KeyedList, NullFoldingMeansTheDefault) {
    List list(nullptr);
    ASSERT_EQ(list.Add(1, u"Q"), kOk);
    EXPECT_EQ(ItemAt(list, Key(u"q")), 1);
}

class ThrowingFolding final : public KeyFolding {
public:
    std::u16string Fold(std::u16string_view key) const override {
        if (key == u"boom") throw std::runtime_error("fold failed");
        return std::u16string(key);
    }
};

TEST(KeyedList, FailingFoldLeavesTheListUnchanged) {
    List list(std::make_shared<ThrowingFolding>());
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    EXPECT_THROW((void)list.Add(2, u"boom"), std::runtime_error);
    EXPECT_THROW((void)list.Add(2, std::nullopt, Key(u"boom")), std::runtime_error);
    EXPECT_THROW((void)list.Remove(Key(u"boom")), std::runtime_error);
    EXPECT_EQ(Items(list), (std::vector<int>{1}));
    EXPECT_EQ(list.Add(3, u"b"), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3}));
}

// ---------------------------------------------------------------- before / after

TEST(KeyedList, BeforeAndAfterByPosition) {
    List list;
    ASSERT_EQ(list.Add(2), kOk);
    EXPECT_EQ(list.Add(1, std::nullopt, At(1)), kOk);  // before the first
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(list.Add(4, std::nullopt, std::nullopt, At(2)), kOk);  // after the last
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(list.Add(3, std::nullopt, At(3)), kOk);  // before the last
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(list.Add(15, u"x", std::nullopt, At(1)), kOk);  // after the first
    EXPECT_EQ(Items(list), (std::vector<int>{1, 15, 2, 3, 4}));
    EXPECT_EQ(ItemAt(list, Key(u"X")), 15);
}

TEST(KeyedList, BeforeAndAfterByKey) {
    List list;
    ASSERT_EQ(list.Add(1, u"one"), kOk);
    ASSERT_EQ(list.Add(3, u"three"), kOk);
    EXPECT_EQ(list.Add(2, u"two", Key(u"THREE")), kOk);
    EXPECT_EQ(list.Add(4, u"four", std::nullopt, Key(u"Three")), kOk);
    EXPECT_EQ(list.Add(0, std::nullopt, Key(u"one")), kOk);
    EXPECT_EQ(list.Add(5, std::nullopt, std::nullopt, Key(u"four")), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ItemAt(list, Key(u"two")), 2);
    EXPECT_EQ(ItemAt(list, Key(u"four")), 4);
    // Keys still find their items after insertions moved them.
    EXPECT_EQ(list.Remove(Key(u"three")), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{0, 1, 2, 4, 5}));
    EXPECT_EQ(list.Add(6, std::nullopt, std::nullopt, Key(u"two")), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{0, 1, 2, 6, 4, 5}));
}

TEST(KeyedList, BeforeAndAfterTogetherIsError5) {
    List list;
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    EXPECT_EQ(list.Add(2, std::nullopt, At(1), At(1)), CoreError::InvalidArgument);
    EXPECT_EQ(list.Add(2, std::nullopt, Key(u"a"), Key(u"a")), CoreError::InvalidArgument);
    // Checked first: even with a bad anchor and a duplicate key.
    EXPECT_EQ(list.Add(2, u"a", At(99), At(99)), CoreError::InvalidArgument);
    EXPECT_EQ(Items(list), (std::vector<int>{1}));
}

TEST(KeyedList, AnchorOutOfRangeIsError9) {
    List list;
    EXPECT_EQ(list.Add(1, std::nullopt, At(1)), CoreError::Subscript);  // empty list
    EXPECT_EQ(list.Add(1, std::nullopt, std::nullopt, At(1)), CoreError::Subscript);
    ASSERT_EQ(list.Add(1), kOk);
    ASSERT_EQ(list.Add(2), kOk);
    for (std::int64_t p : {std::int64_t{0}, std::int64_t{-1}, std::int64_t{3},
                           std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(),
                           std::int64_t{0x100000001}}) {
        EXPECT_EQ(list.Add(9, std::nullopt, At(p)), CoreError::Subscript) << p;
        EXPECT_EQ(list.Add(9, std::nullopt, std::nullopt, At(p)), CoreError::Subscript) << p;
    }
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2}));
}

TEST(KeyedList, UnknownAnchorKeyIsError5) {
    List list;
    EXPECT_EQ(list.Add(1, std::nullopt, Key(u"none")), CoreError::InvalidArgument);
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    EXPECT_EQ(list.Add(2, std::nullopt, Key(u"b")), CoreError::InvalidArgument);
    EXPECT_EQ(list.Add(2, std::nullopt, std::nullopt, Key(u"b")), CoreError::InvalidArgument);
    EXPECT_EQ(Items(list), (std::vector<int>{1}));
}

TEST(KeyedList, AnchorIsCheckedBeforeTheKey) {
    List list;
    ASSERT_EQ(list.Add(1, u"a"), kOk);
    EXPECT_EQ(list.Add(2, u"a", At(5)), CoreError::Subscript);
    EXPECT_EQ(list.Add(2, u"a", Key(u"zz")), CoreError::InvalidArgument);
    EXPECT_EQ(list.Add(2, u"a", At(1)), CoreError::DuplicateKey);
}

// ---------------------------------------------------------------- item / remove

TEST(KeyedList, ItemOutOfRangeIsError9AndUnknownKeyIsError5) {
    List list;
    Fill(list, 3);
    for (std::int64_t p : {std::int64_t{0}, std::int64_t{-5}, std::int64_t{4},
                           std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
        EXPECT_EQ(Lookup(list, At(p)), CoreError::Subscript) << p;
        EXPECT_EQ(list.Remove(At(p)), CoreError::Subscript) << p;
    }
    EXPECT_EQ(Lookup(list, Key(u"k4")), CoreError::InvalidArgument);
    EXPECT_EQ(list.Remove(Key(u"k4")), CoreError::InvalidArgument);
    EXPECT_EQ(Lookup(list, Key(u"1")), CoreError::InvalidArgument);  // a text is a key, never a position
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3}));
}

TEST(KeyedList, RemoveByPositionAndKeyMovesLaterItemsDown) {
    List list;
    Fill(list, 5);
    EXPECT_EQ(list.Remove(At(2)), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(list.Remove(Key(u"K4")), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(ItemAt(list, Key(u"k5")), 5);
    EXPECT_EQ(ItemAt(list, At(3)), 5);
    EXPECT_EQ(list.Remove(At(1)), kOk);
    EXPECT_EQ(list.Remove(At(2)), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{3}));
    EXPECT_EQ(ItemAt(list, Key(u"k3")), 3);
    EXPECT_EQ(list.Remove(Key(u"k3")), kOk);
    EXPECT_EQ(list.Count(), 0u);
}

// Btns keys are the decimal ID.
TEST(KeyedList, ButtonCollectionScenario) {
    List list;
    for (int id = 0; id < 3; ++id) ASSERT_EQ(list.Add(id, Num(id)), kOk);
    ASSERT_EQ(list.Remove(Key(u"1")), kOk);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(ItemAt(list, At(2)), 2);
    EXPECT_EQ(ItemAt(list, Key(u"2")), 2);
    EXPECT_EQ(Lookup(list, Key(u"1")), CoreError::InvalidArgument);
    ASSERT_EQ(list.Add(3, Num(3)), kOk);
    EXPECT_EQ(ItemAt(list, Key(u"3")), 3);
    EXPECT_EQ(ItemAt(list, At(3)), 3);
}

TEST(KeyedList, CountIsLimited) {
    List list(nullptr, 2);
    ASSERT_EQ(list.Add(1), kOk);
    ASSERT_EQ(list.Add(2), kOk);
    EXPECT_EQ(list.Add(3), CoreError::OutOfMemory);
    EXPECT_EQ(list.Add(3, std::nullopt, At(1)), CoreError::OutOfMemory);
    ASSERT_EQ(list.Remove(At(1)), kOk);
    EXPECT_EQ(list.Add(3), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{2, 3}));
}

TEST(KeyedList, ClearEmptiesAndKeysBecomeFree) {
    List list;
    Fill(list, 4);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(Lookup(list, Key(u"k1")), CoreError::InvalidArgument);
    EXPECT_EQ(list.Add(7, u"k1"), kOk);
    EXPECT_EQ(list.Add(6, u"k2", At(1)), kOk);
    EXPECT_EQ(Items(list), (std::vector<int>{6, 7}));
    EXPECT_EQ(ItemAt(list, Key(u"k1")), 7);
    list.Clear();
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

// Items that need no copy.
TEST(KeyedList, HoldsMoveOnlyItems) {
    KeyedList<std::unique_ptr<int>> list;
    ASSERT_EQ(list.Add(std::make_unique<int>(5), u"five"), kOk);
    ASSERT_EQ(list.Add(std::make_unique<int>(4), std::nullopt, At(1)), kOk);
    const Result<const std::unique_ptr<int>*> item = std::as_const(list).Item(Key(u"FIVE"));
    ASSERT_TRUE(item.ok());
    EXPECT_EQ(**item.value(), 5);
    auto cursor = list.Enumerate();
    std::vector<int> seen;
    cursor.Next(10, [&](const std::unique_ptr<int>& p) { seen.push_back(*p); });
    EXPECT_EQ(seen, (std::vector<int>{4, 5}));
}

// ---------------------------------------------------------------- item lifetime

TEST(KeyedList, RemoveReleasesTheItemAtOnceEvenUnderACursor) {
    KeyedList<std::shared_ptr<int>> list;
    auto a = std::make_shared<int>(1);
    auto b = std::make_shared<int>(2);
    std::weak_ptr<int> weakA = a, weakB = b;
    ASSERT_EQ(list.Add(std::move(a), u"a"), kOk);
    ASSERT_EQ(list.Add(std::move(b), u"b"), kOk);
    auto cursor = list.Enumerate();
    ASSERT_EQ(cursor.Skip(1), 1u);  // standing on "a"
    ASSERT_EQ(list.Remove(Key(u"a")), kOk);
    EXPECT_TRUE(weakA.expired());
    list.Clear();
    EXPECT_TRUE(weakB.expired());
    EXPECT_EQ(cursor.Skip(5), 0u);
}

TEST(KeyedList, DestructionReleasesItemsNoCursorReaches) {
    std::weak_ptr<int> weak;
    {
        KeyedList<std::shared_ptr<int>> list;
        auto p = std::make_shared<int>(1);
        weak = p;
        ASSERT_EQ(list.Add(std::move(p)), kOk);
        EXPECT_FALSE(weak.expired());
    }
    EXPECT_TRUE(weak.expired());
}

// An item whose destructor uses the collection, as a COM object's last
// Release may run code of the caller's.
struct Reentrant {
    KeyedList<Reentrant>* list = nullptr;
    std::vector<std::size_t>* counts = nullptr;
    Reentrant(KeyedList<Reentrant>* l, std::vector<std::size_t>* c) : list(l), counts(c) {}
    Reentrant(Reentrant&& o) noexcept : list(o.list), counts(o.counts) { o.list = nullptr; }
    Reentrant& operator=(Reentrant&&) = delete;
    ~Reentrant() {
        if (!list) return;
        // Walk the collection both ways: it must be consistent.
        std::size_t byCursor = 0;
        auto cursor = list->Enumerate();
        byCursor = cursor.Skip(1000);
        for (std::size_t p = 1; p <= list->Count(); ++p) {
            EXPECT_TRUE(list->Item(Locator::Position(static_cast<std::int64_t>(p))).ok());
        }
        EXPECT_EQ(byCursor, list->Count());
        counts->push_back(list->Count());
    }
};

TEST(KeyedList, ItemDestructorSeesAConsistentCollection) {
    std::vector<std::size_t> counts;
    {
        KeyedList<Reentrant> list;
        for (int i = 0; i < 4; ++i) ASSERT_EQ(list.Add(Reentrant(&list, &counts), Num(i)), kOk);
        ASSERT_EQ(list.Remove(Locator::Position(2)), kOk);
        ASSERT_EQ(list.Remove(Locator::Key(u"3")), kOk);
        EXPECT_EQ(counts, (std::vector<std::size_t>{3, 2}));
        list.Clear();
        EXPECT_EQ(counts, (std::vector<std::size_t>{3, 2, 0, 0}));
        // Detach the items so that the destructor of the list does not call
        // back into a list being destroyed (COM never does that either).
        for (int i = 0; i < 2; ++i) ASSERT_EQ(list.Add(Reentrant(nullptr, nullptr)), kOk);
    }
}

// ---------------------------------------------------------------- enumeration

TEST(KeyedListCursor, YieldsOldestFirstInAnyCounts) {
    List list;
    Fill(list, 7);
    Cursor cursor = list.Enumerate();
    EXPECT_TRUE(Take(cursor, 0).empty());
    EXPECT_EQ(Take(cursor, 1), (std::vector<int>{1}));
    EXPECT_EQ(Take(cursor, 3), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(Take(cursor, 10), (std::vector<int>{5, 6, 7}));
    EXPECT_TRUE(Take(cursor, 10).empty());
    EXPECT_TRUE(Take(cursor, 10).empty());
}

TEST(KeyedListCursor, FollowsInsertionsByPosition) {
    List list;
    ASSERT_EQ(list.Add(2), kOk);
    ASSERT_EQ(list.Add(1, std::nullopt, At(1)), kOk);
    ASSERT_EQ(list.Add(3, std::nullopt, std::nullopt, At(2)), kOk);
    Cursor cursor = list.Enumerate();
    EXPECT_EQ(Take(cursor), (std::vector<int>{1, 2, 3}));
}

TEST(KeyedListCursor, SkipResetAndClone) {
    List list;
    Fill(list, 5);
    Cursor cursor = list.Enumerate();
    EXPECT_EQ(cursor.Skip(0), 0u);
    EXPECT_EQ(cursor.Skip(2), 2u);
    Cursor clone = cursor.Clone();
    EXPECT_EQ(Take(cursor, 1), (std::vector<int>{3}));
    EXPECT_EQ(Take(clone, 2), (std::vector<int>{3, 4}));  // independent, same point
    EXPECT_EQ(cursor.Skip(10), 2u);                        // 4, 5
    EXPECT_EQ(cursor.Skip(1), 0u);
    EXPECT_EQ(Take(clone), (std::vector<int>{5}));
    cursor.Reset();
    EXPECT_EQ(Take(cursor), (std::vector<int>{1, 2, 3, 4, 5}));
    Cursor copy = clone;  // copying is cloning
    copy.Reset();
    EXPECT_EQ(Take(copy, 2), (std::vector<int>{1, 2}));
    EXPECT_TRUE(Take(clone).empty());
}

TEST(KeyedListCursor, DefaultCursorYieldsNothing) {
    Cursor cursor;
    EXPECT_TRUE(Take(cursor).empty());
    EXPECT_EQ(cursor.Skip(3), 0u);
    cursor.Reset();
    EXPECT_TRUE(Take(cursor).empty());
}

TEST(KeyedListCursor, SinkThatThrowsDoesNotPassTheItem) {
    List list;
    Fill(list, 3);
    Cursor cursor = list.Enumerate();
    int calls = 0;
    EXPECT_THROW(cursor.Next(3,
                             [&](const int& v) {
                                 if (++calls == 2) throw std::runtime_error("copy failed");
                                 EXPECT_EQ(v, 1);
                             }),
                 std::runtime_error);
    EXPECT_EQ(Take(cursor), (std::vector<int>{2, 3}));
}

// Changes made while a cursor stands on an item: a list of 1..fill keyed
// "k1".."kfill", `taken` items yielded, the changes made in order; then the
// list holds `items` and the cursor (and a clone made before the changes)
// yields `rest`.
TEST(KeyedListCursor, ChangesAroundTheCurrentItem) {
    using Change = std::function<Result<void>(List&)>;
    auto remove = [](Locator at) { return Change([at](List& l) { return l.Remove(at); }); };
    auto before = [](int v, Locator at) { return Change([v, at](List& l) { return l.Add(v, std::nullopt, at); }); };
    auto after = [](int v, Locator at) {
        return Change([v, at](List& l) { return l.Add(v, std::nullopt, std::nullopt, at); });
    };
    const struct {
        const char* what;
        int fill;
        std::size_t taken;
        std::vector<Change> changes;
        std::vector<int> items, rest;
    } cases[] = {
        {"removing the current item", 4, 2, {remove(Key(u"k2"))}, {1, 3, 4}, {3, 4}},
        {"removing items behind changes nothing ahead", 5, 3, {remove(At(1)), remove(At(1))}, {3, 4, 5}, {4, 5}},
        // 3 goes, then 2 (its predecessor), then 4 (its successor).
        {"removing the current and its neighbours", 6, 3,
         {remove(Key(u"k3")), remove(Key(u"k2")), remove(Key(u"k4"))}, {1, 5, 6}, {5, 6}},
        {"removed items ahead are not yielded", 6, 2, {remove(Key(u"k3")), remove(Key(u"k5"))}, {1, 2, 4, 6}, {4, 6}},
        {"insertions before the point are not yielded, after it are", 4, 2,
         {before(100, At(1)),          // front: behind the point
          before(101, Key(u"k2")),     // just before the current item
          after(102, Key(u"k2")),      // just after it
          before(103, Key(u"k4"))},    // ahead
         {100, 1, 101, 2, 102, 3, 103, 4}, {102, 3, 103, 4}},
        {"an insertion into the gap of the removed current item is yielded", 3, 2,
         {remove(Key(u"k2")), before(20, Key(u"k3")) /* where 2 was */, before(10, Key(u"k1")) /* behind the gap */},
         {10, 1, 20, 3}, {20, 3}},
        {"removing the last item under the cursor, then appending", 3, 3,
         {remove(At(3)), [](List& l) { return l.Add(4); }}, {1, 2, 4}, {4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        List list;
        Fill(list, c.fill);
        Cursor cursor = list.Enumerate();
        std::vector<int> first(c.taken);
        for (std::size_t i = 0; i < c.taken; ++i) first[i] = static_cast<int>(i) + 1;
        ASSERT_EQ(Take(cursor, c.taken), first);
        Cursor clone = cursor.Clone();
        for (const Change& change : c.changes) ASSERT_EQ(change(list), kOk);
        EXPECT_EQ(Items(list), c.items);
        EXPECT_EQ(Take(cursor), c.rest);
        EXPECT_EQ(Take(clone), c.rest);
    }
}

TEST(KeyedListCursor, RemovedItemsAheadAreNotYielded) {
    List list;
    Fill(list, 6);
    Cursor cursor = list.Enumerate();
    ASSERT_EQ(Take(cursor, 2), (std::vector<int>{1, 2}));
    ASSERT_EQ(list.Remove(Key(u"k3")), kOk);
    ASSERT_EQ(list.Remove(Key(u"k5")), kOk);
    EXPECT_EQ(Take(cursor, 1), (std::vector<int>{4}));
    ASSERT_EQ(list.Remove(Key(u"k6")), kOk);
    EXPECT_TRUE(Take(cursor).empty());
}

TEST(KeyedListCursor, RemovingEverythingWhileEnumeratingThenAppending) {
    List list;
    Fill(list, 4);
    Cursor cursor = list.Enumerate();
    std::vector<int> seen;
    // The Visual Basic pattern: For Each x In c: c.Remove 1: Next.
    while (cursor.Next(1, [&](const int& v) { seen.push_back(v); }) == 1) ASSERT_EQ(list.Remove(At(1)), kOk);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(list.Count(), 0u);
    ASSERT_EQ(list.Add(5), kOk);
    EXPECT_EQ(Take(cursor), (std::vector<int>{5}));
}

TEST(KeyedListCursor, RemovingFromTheBackUnderACursorAtTheEnd) {
    List list;
    Fill(list, 5);
    Cursor cursor = list.Enumerate();
    ASSERT_EQ(cursor.Skip(5), 5u);
    while (list.Count() > 0) ASSERT_EQ(list.Remove(At(static_cast<std::int64_t>(list.Count()))), kOk);
    EXPECT_TRUE(Take(cursor).empty());
    ASSERT_EQ(list.Add(6), kOk);
    ASSERT_EQ(list.Add(7), kOk);
    EXPECT_EQ(Take(cursor), (std::vector<int>{6, 7}));
}

TEST(KeyedListCursor, ClearDuringEnumeration) {
    List list;
    Fill(list, 4);
    Cursor cursor = list.Enumerate();
    Cursor fresh = list.Enumerate();
    ASSERT_EQ(Take(cursor, 2), (std::vector<int>{1, 2}));
    list.Clear();
    EXPECT_TRUE(Take(fresh, 1).empty());
    ASSERT_EQ(list.Add(10), kOk);
    EXPECT_EQ(Take(cursor), (std::vector<int>{10}));
    EXPECT_EQ(Take(fresh), (std::vector<int>{10}));
}

TEST(KeyedListCursor, AppendsDuringEnumerationAreYielded) {
    List list;
    Fill(list, 2);
    Cursor cursor = list.Enumerate();
    ASSERT_EQ(Take(cursor, 1), (std::vector<int>{1}));
    ASSERT_EQ(list.Add(3), kOk);
    EXPECT_EQ(Take(cursor, 1), (std::vector<int>{2}));
    ASSERT_EQ(list.Add(4), kOk);
    EXPECT_EQ(Take(cursor, 1), (std::vector<int>{3}));
    EXPECT_EQ(Take(cursor), (std::vector<int>{4}));
    // At the end, it waits for more.
    ASSERT_EQ(list.Add(5), kOk);
    EXPECT_EQ(Take(cursor), (std::vector<int>{5}));
}

TEST(KeyedListCursor, AppendsWhileEnumeratingGrowTheSameLoop) {
    List list;
    ASSERT_EQ(list.Add(1), kOk);
    Cursor cursor = list.Enumerate();
    std::vector<int> seen;
    while (cursor.Next(1, [&](const int& v) { seen.push_back(v); }) == 1)
        if (seen.back() < 5) ASSERT_EQ(list.Add(seen.back() + 1), kOk);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(KeyedListCursor, ClonesFollowChangesIndependently) {
    List list;
    Fill(list, 4);
    Cursor a = list.Enumerate();
    ASSERT_EQ(a.Skip(2), 2u);
    Cursor b = a.Clone();
    ASSERT_EQ(list.Remove(Key(u"k3")), kOk);
    EXPECT_EQ(Take(a, 1), (std::vector<int>{4}));
    ASSERT_EQ(list.Add(5), kOk);
    EXPECT_EQ(Take(b), (std::vector<int>{4, 5}));
    EXPECT_EQ(Take(a), (std::vector<int>{5}));
}

TEST(KeyedListCursor, OutlivesTheCollection) {
    auto list = std::make_unique<List>();
    Fill(*list, 5);
    Cursor cursor = list->Enumerate();
    ASSERT_EQ(Take(cursor, 2), (std::vector<int>{1, 2}));
    ASSERT_EQ(list->Remove(Key(u"k2")), kOk);  // the cursor stands on a removed item
    ASSERT_EQ(list->Remove(Key(u"k4")), kOk);
    Cursor fresh = list->Enumerate();
    list.reset();
    EXPECT_EQ(Take(cursor, 1), (std::vector<int>{3}));
    Cursor clone = cursor.Clone();
    EXPECT_EQ(Take(cursor), (std::vector<int>{5}));
    EXPECT_EQ(Take(clone), (std::vector<int>{5}));
    cursor.Reset();
    EXPECT_EQ(Take(cursor), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(Take(fresh), (std::vector<int>{1, 3, 5}));
}

TEST(KeyedListCursor, KeepsItemsAliveAfterTheCollectionIsGone) {
    std::weak_ptr<int> weak;
    KeyedList<std::shared_ptr<int>>::Cursor cursor;
    {
        KeyedList<std::shared_ptr<int>> list;
        auto p = std::make_shared<int>(9);
        weak = p;
        ASSERT_EQ(list.Add(std::move(p)), kOk);
        cursor = list.Enumerate();
    }
    EXPECT_FALSE(weak.expired());
    int seen = 0;
    EXPECT_EQ(cursor.Next(5, [&](const std::shared_ptr<int>& p) { seen = *p; }), 1u);
    EXPECT_EQ(seen, 9);
    cursor = {};
    EXPECT_TRUE(weak.expired());
}

// ---------------------------------------------------------------- large lists

// Long chains are released without recursion (a recursive release would
// overflow the stack, most of all under ASan and in a 1 MB Windows thread).
TEST(KeyedListLarge, LongChainsAreReleasedIteratively) {
    constexpr int n = 300000;
    {
        List list;
        for (int i = 0; i < n; ++i) ASSERT_EQ(list.Add(i), kOk);
    }
    Cursor holdsHead;
    Cursor holdsMiddle;
    Cursor onRemovedTail;
    {
        List list;
        for (int i = 0; i < n; ++i) ASSERT_EQ(list.Add(i), kOk);
        holdsHead = list.Enumerate();
        holdsMiddle = list.Enumerate();
        ASSERT_EQ(holdsMiddle.Skip(n / 2), static_cast<std::size_t>(n / 2));
        onRemovedTail = list.Enumerate();
        ASSERT_EQ(onRemovedTail.Skip(n), static_cast<std::size_t>(n));
        // Remove from the back: every removed node keeps its predecessor,
        // a chain of n removed nodes behind onRemovedTail.
        for (int i = 0; i < n / 2; ++i) ASSERT_EQ(list.Remove(At(static_cast<std::int64_t>(list.Count()))), kOk);
    }
    holdsHead = {};
    holdsMiddle = {};
    EXPECT_EQ(Take(onRemovedTail, 10).size(), 0u);
    onRemovedTail = {};
    {
        // The same with a cursor left on the removed tail, never moved.
        Cursor cursor;
        {
            List list;
            for (int i = 0; i < n; ++i) ASSERT_EQ(list.Add(i), kOk);
            cursor = list.Enumerate();
            ASSERT_EQ(cursor.Skip(n), static_cast<std::size_t>(n));
            while (list.Count() > 0) ASSERT_EQ(list.Remove(At(static_cast<std::int64_t>(list.Count()))), kOk);
        }
    }
}

// Scaling, by counting the work instead of timing it: appends and removals
// at either end renumber nothing, lookups by key and position touch one
// entry, one key fold per keyed operation; the middle costs at most the
// smaller side.
TEST(KeyedListLarge, EndsCostNothingAndTheMiddleAtMostTheSmallerSide) {
    constexpr int n = 100000;
    auto folding = std::make_shared<ExactFolding>();
    List list(folding);
    for (int i = 0; i < n; ++i) ASSERT_EQ(list.Add(i, Num(i)), kOk);
    EXPECT_EQ(folding->calls, n);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(ItemAt(list, Key(Num(i))), i);
        ASSERT_EQ(ItemAt(list, At(i + 1)), i);
    }
    EXPECT_EQ(folding->calls, 2 * n);
    EXPECT_EQ(list.ShiftWork(), 0u);

    // Ends: prepend, remove first and last, by position and by key.
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(list.Add(-1 - i, std::nullopt, At(1)), kOk);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(list.Remove(At(1)), kOk);
    ASSERT_EQ(list.Remove(Key(u"0")), kOk);
    ASSERT_EQ(list.Remove(Key(Num(n - 1))), kOk);
    ASSERT_EQ(list.Add(n, Num(n), std::nullopt, At(static_cast<std::int64_t>(list.Count()))), kOk);
    EXPECT_EQ(list.ShiftWork(), 0u);
    EXPECT_EQ(ItemAt(list, At(1)), 1);
    EXPECT_EQ(ItemAt(list, Key(Num(n))), n);

    // Middle: at most min(i, count - i) slots each.
    const std::uint64_t before = list.ShiftWork();
    const std::size_t count = list.Count();
    ASSERT_EQ(list.Remove(At(10)), kOk);                      // 9 before it
    ASSERT_EQ(list.Add(-5, std::nullopt, At(10)), kOk);       // 9 before it
    ASSERT_EQ(list.Remove(At(static_cast<std::int64_t>(count - 9))), kOk);  // 9 after it
    EXPECT_EQ(list.ShiftWork() - before, 27u);
    ASSERT_EQ(list.Remove(At(static_cast<std::int64_t>(list.Count() / 2))), kOk);
    EXPECT_LE(list.ShiftWork() - before, 27u + list.Count() / 2);
    EXPECT_EQ(ItemAt(list, At(10)), -5);
    EXPECT_EQ(ItemAt(list, Key(Num(500))), 500);
}

// ---------------------------------------------------------------- model check

// Random operations against a plain vector model. Checked after every step:
// contents by position and by key. For the cursors, the promises that hold
// whatever the interleaving: no item twice in one pass, every item yielded
// is present when yielded, items come in collection order, and an item that
// was present from the cursor's start to its end is yielded.
TEST(KeyedListModel, RandomOperationsAgreeWithAVector) {
    std::mt19937 random(20240611);
    struct Entry {
        int id;
        std::u16string key;  // empty: no key (the model never uses the empty key)
    };
    struct Watch {
        Cursor cursor;
        std::vector<int> yielded;
        std::vector<int> presentAtStart;
        bool done = false;
    };
    for (int round = 0; round < 40; ++round) {
        auto owned = std::make_unique<List>();
        List& list = *owned;
        std::vector<Entry> model;
        std::vector<Watch> watches;
        std::vector<int> removedIds;
        int nextId = 0;
        const auto indexOf = [&](int id) -> std::ptrdiff_t {
            for (std::size_t i = 0; i < model.size(); ++i)
                if (model[i].id == id) return static_cast<std::ptrdiff_t>(i);
            return -1;
        };
        const auto keyFor = [&](int id) {
            std::u16string key = u"Key" + Num(id);
            if (random() % 2) std::transform(key.begin(), key.end(), key.begin(), [](char16_t c) {
                    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
                });
            return key;
        };
        for (int step = 0; step < 400; ++step) {
            const unsigned op = random() % 10;
            if (op < 4 || model.empty()) {
                const int id = nextId++;
                const bool keyed = random() % 3 != 0;
                const std::u16string key = keyed ? keyFor(id) : std::u16string();
                std::optional<Locator> before, after;
                std::size_t index = model.size();
                std::u16string anchorKey;
                const unsigned where = random() % 5;
                if (where >= 1 && !model.empty()) {
                    const std::size_t anchor = random() % model.size();
                    const bool byKey = !model[anchor].key.empty() && random() % 2;
                    if (byKey) anchorKey = keyFor(model[anchor].id);
                    const Locator loc = byKey ? Key(anchorKey) : At(static_cast<std::int64_t>(anchor + 1));
                    if (where <= 2) { before = loc; index = anchor; }
                    else { after = loc; index = anchor + 1; }
                }
                ASSERT_EQ(list.Add(id, keyed ? std::optional<std::u16string_view>(key) : std::nullopt, before, after), kOk);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), Entry{id, keyed ? key : u""});
            } else if (op < 7) {
                const std::size_t index = random() % model.size();
                std::u16string key;
                if (!model[index].key.empty() && random() % 2) {
                    key = keyFor(model[index].id);
                    ASSERT_EQ(list.Remove(Key(key)), kOk);
                } else {
                    ASSERT_EQ(list.Remove(At(static_cast<std::int64_t>(index + 1))), kOk);
                }
                removedIds.push_back(model[index].id);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
            } else if (op < 8) {
                Watch w;
                w.cursor = list.Enumerate();
                for (const Entry& e : model) w.presentAtStart.push_back(e.id);
                watches.push_back(std::move(w));
            } else if (op < 9 && !watches.empty()) {
                Watch& w = watches[random() % watches.size()];
                if (random() % 4 == 0) {
                    Watch c;
                    c.cursor = w.cursor.Clone();
                    c.yielded = w.yielded;
                    c.presentAtStart = w.presentAtStart;
                    c.done = w.done;
                    watches.push_back(std::move(c));
                    continue;
                }
                const std::size_t want = random() % 4;
                std::vector<int> got;
                const std::size_t n = w.cursor.Next(want, [&](const int& v) { got.push_back(v); });
                ASSERT_EQ(n, got.size());
                for (int id : got) {
                    ASSERT_GE(indexOf(id), 0) << "yielded an item not present";
                    ASSERT_EQ(std::count(w.yielded.begin(), w.yielded.end(), id), 0) << "yielded twice";
                    // Every earlier yielded item still present stands before it.
                    for (int earlier : w.yielded)
                        if (indexOf(earlier) >= 0) ASSERT_LT(indexOf(earlier), indexOf(id));
                    w.yielded.push_back(id);
                }
                if (n < want) w.done = true;  // at the end now
            } else if (!model.empty()) {
                // A lookup that fails.
                EXPECT_EQ(Lookup(list, At(static_cast<std::int64_t>(model.size() + 1))), CoreError::Subscript);
                EXPECT_EQ(Lookup(list, Key(u"nokey")), CoreError::InvalidArgument);
                const Entry& e = model[random() % model.size()];
                if (!e.key.empty()) EXPECT_EQ(list.Add(-1, keyFor(e.id)), CoreError::DuplicateKey);
            }
            // Contents by position and by key.
            ASSERT_EQ(list.Count(), model.size());
            for (std::size_t i = 0; i < model.size(); ++i) {
                ASSERT_EQ(ItemAt(list, At(static_cast<std::int64_t>(i + 1))), model[i].id);
                if (!model[i].key.empty()) ASSERT_EQ(ItemAt(list, Key(keyFor(model[i].id))), model[i].id);
            }
        }
        // Drain the cursors: the items present throughout must all come.
        for (Watch& w : watches) {
            std::vector<int> rest;
            w.cursor.Next(100000, [&](const int& v) { rest.push_back(v); });
            w.yielded.insert(w.yielded.end(), rest.begin(), rest.end());
            for (int id : w.presentAtStart) {
                if (std::count(removedIds.begin(), removedIds.end(), id)) continue;
                EXPECT_EQ(std::count(w.yielded.begin(), w.yielded.end(), id), 1) << "missed item " << id;
            }
            std::vector<int> sorted = w.yielded;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
        }
        // A cursor taken now still sees the last contents once the list is gone.
        Cursor survivor = list.Enumerate();
        if (round % 2) ASSERT_EQ(survivor.Skip(1), model.empty() ? 0u : 1u);
        owned.reset();
        std::vector<int> all;
        survivor.Next(100000, [&](const int& v) { all.push_back(v); });
        std::vector<int> expected;
        for (const Entry& e : model) expected.push_back(e.id);
        if (round % 2 && !expected.empty()) expected.erase(expected.begin());
        EXPECT_EQ(all, expected);
    }
}

// ---------------------------------------------------------------- folding

TEST(SimpleKeyFolding, FoldsAsciiAndLatin1) {
    SimpleKeyFolding f;
    EXPECT_EQ(f.Fold(u"ABCxyz09_-"), u"abcxyz09_-");
    EXPECT_EQ(f.Fold(u"\u00C0\u00D6\u00D8\u00DE"), u"\u00E0\u00F6\u00F8\u00FE");
    EXPECT_EQ(f.Fold(u"\u00D7\u00F7"), u"\u00D7\u00F7");  // multiplication and division signs
    EXPECT_EQ(f.Fold(u"\u00DF"), u"\u00DF");              // sharp s stays (not "ss")
    EXPECT_EQ(f.Fold(u"\u00B5"), u"\u00B5");              // micro sign stays
    EXPECT_EQ(f.Fold(u"\u0178"), u"\u00FF");              // Y diaeresis pairs with U+00FF
    for (char16_t c = 0; c < 0x100; ++c) {
        const char16_t folded = SimpleKeyFolding::FoldUnit(c);
        EXPECT_EQ(SimpleKeyFolding::FoldUnit(folded), folded) << static_cast<int>(c);  // idempotent
    }
}

TEST(SimpleKeyFolding, FoldsLatinExtendedA) {
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x100), 0x101);  // A macron
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x101), 0x101);
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x139), 0x13A);  // L acute (odd capitals)
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x13A), 0x13A);
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x14A), 0x14B);  // Eng
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x160), 0x161);  // S caron
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x17D), 0x17E);  // Z caron
    EXPECT_EQ(SimpleKeyFolding::FoldUnit(0x17E), 0x17E);
    for (char16_t c : {u'\u0130', u'\u0131', u'\u0138', u'\u0149', u'\u017F'})
        EXPECT_EQ(SimpleKeyFolding::FoldUnit(c), c) << static_cast<int>(c);
}

TEST(SimpleKeyFolding, FoldsBasicGreekCyrillicAndFullwidth) {
    SimpleKeyFolding f;
    EXPECT_EQ(f.Fold(u"\u0391\u03A9\u03A3"), u"\u03B1\u03C9\u03C3");  // Alpha Omega Sigma
    EXPECT_EQ(f.Fold(u"\u0386\u0388\u038C\u038F"), u"\u03AC\u03AD\u03CC\u03CE");
    EXPECT_EQ(f.Fold(u"\u03C2"), u"\u03C2");  // final sigma stays distinct
    EXPECT_EQ(f.Fold(u"\u0416\u0401\u042F"), u"\u0436\u0451\u044F");  // Zhe Io Ya
    EXPECT_EQ(f.Fold(u"\uFF21\uFF3A"), u"\uFF41\uFF5A");
    EXPECT_EQ(f.Fold(u"\u4E2D\u6587"), u"\u4E2D\u6587");  // Chinese unchanged
    EXPECT_EQ(f.Fold(u"\U0001F600"), u"\U0001F600");  // surrogate pairs unchanged
    EXPECT_NE(f.Fold(u"A"), f.Fold(u"\uFF21"));          // no width folding
}

TEST(SimpleKeyFolding, IsIdempotentEverywhere) {
    for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
        const char16_t c = static_cast<char16_t>(u);
        const char16_t folded = SimpleKeyFolding::FoldUnit(c);
        ASSERT_EQ(SimpleKeyFolding::FoldUnit(folded), folded) << u;
    }
}

TEST(SimpleKeyFolding, DefaultIsShared) {
    EXPECT_EQ(vemo::DefaultKeyFolding(), vemo::DefaultKeyFolding());
    EXPECT_EQ(vemo::DefaultKeyFolding()->Fold(u"MiXeD"), u"mixed");
}

}  // namespace
