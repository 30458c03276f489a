// The library's own keyed automation collection, portable core: the container
// and the rules behind the `_Collection` object (Item DISPID 0, Add 1,
// Count 2, Remove 3, _NewEnum -4) that `Btns` keeps its items in
// and `IniFile` returns. The COM object wraps a KeyedList<Variant>
// and raises a failed call's CoreError as HRESULT 0x800A0000 + its number.
//
// Portable core: no Windows header. Keys are UTF-16 text (char16_t).
//
// Rules, as the platform's collection has them:
// - Items keep the order in which they were placed; positions are 1-based,
//   1 being the oldest remaining item (or the one placed first by Before).
// - A key is optional. Keys are compared by their folded form (KeyFolding):
//   two keys are the same key exactly when Fold() gives equal texts. The
//   empty text is a key like any other; "no key" is std::nullopt.
// - Positions are std::int64_t. Every value is accepted and anything outside
//   1..Count() is answered with Subscript, so the COM side can round the
//   caller's number (as automation coercion does) into an int64 and pass it
//   on without range checks of its own. Count() never exceeds
//   maxCount (by default 2^31 - 1), so it always fits an automation `long`.
//
// Cost: Count, Item and Remove/Add at either end are O(1) on average
// (one key fold and one hash lookup when a key is involved). Add or Remove
// in the middle is O(min(i, n - i)) for position i of n.
//
// Errors come back as a Result (core/result.h) whose CoreError numbers are
// those of the platform's collection: InvalidArgument (5) for an unknown key
// or Before and After both given, OutOfMemory (7) for an Add beyond maxCount
// items, Subscript (9) for a position outside 1..Count(), DuplicateKey (457).
// A failing call changes nothing.
// The only exceptions are std::bad_alloc and whatever KeyFolding::Fold or the
// item type's move constructor throw; they too leave the collection as it was
// (strong guarantee), except that Add's item argument, taken by value, is
// gone.
//
// Threads: none. A KeyedList and its cursors belong to one thread (the COM
// object is apartment-threaded); nothing is locked and reference counts of
// the nodes are inspected during destruction on that assumption.
#pragma once
#include "core/result.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace vemo {

// How keys are compared: keys are equal exactly when their folds are equal
// (so Fold must be deterministic for the collection's lifetime). The Windows
// side folds with the user locale's case mapping.
class KeyFolding {
public:
    virtual ~KeyFolding() = default;
    virtual std::u16string Fold(std::u16string_view key) const = 0;
};

// The portable default: lower-cases one UTF-16 code unit at a time with a
// small fixed table of simple one-to-one case pairs:
//   - ASCII A-Z;
//   - Latin-1: U+00C0-U+00D6 and U+00D8-U+00DE (not U+00D7 multiplication
//     sign);
//   - Latin Extended-A U+0100-U+017E, including U+0178 (Y diaeresis -> U+00FF);
//   - basic Greek capitals U+0386-U+03AB (with tonos and dialytika);
//   - basic Cyrillic capitals U+0400-U+042F;
//   - fullwidth Latin capitals U+FF21-U+FF3A (common in Chinese text).
// Limits (texts that Windows might treat as equal but this does not, or the
// other way round): no other scripts or ranges (Latin Extended-B, Armenian,
// Georgian, Cyrillic beyond U+042F, ...); no special or locale casing (sharp
// s U+00DF is not "SS", Turkish dotted/dotless i U+0130/U+0131 and long s
// U+017F are left as they are, final sigma U+03C2 stays distinct from
// U+03C3, micro sign U+00B5 is not Greek mu); no normalisation (a composed
// and a decomposed accent differ) and no width folding (A and fullwidth A
// differ); surrogate pairs are left unchanged.
class SimpleKeyFolding final : public KeyFolding {
public:
    std::u16string Fold(std::u16string_view key) const override;
    // The folded form of one code unit.
    static char16_t FoldUnit(char16_t c) noexcept;
};

// One shared SimpleKeyFolding.
std::shared_ptr<const KeyFolding> DefaultKeyFolding();

// An item reference as callers give it: a 1-based position or a key. A key
// locator only views its text, which must stay valid for the call it is
// passed to.
class Locator {
public:
    static Locator Position(std::int64_t position) noexcept { return Locator(position, {}, false); }
    static Locator Key(std::u16string_view key) noexcept { return Locator(0, key, true); }

    bool IsKey() const noexcept { return isKey_; }
    std::int64_t position() const noexcept { return position_; }
    std::u16string_view key() const noexcept { return key_; }

private:
    Locator(std::int64_t position, std::u16string_view key, bool isKey) noexcept
        : position_(position), key_(key), isKey_(isKey) {}
    std::int64_t position_;
    std::u16string_view key_;
    bool isKey_;
};

namespace keyed_list_detail {

// One link of the chain. The head sentinel has no item. Ownership runs one
// way only, so there is no cycle:
// - the head and every live node own the next live node (`next`);
// - a removed node owns nothing ahead of it (`next` is empty) but owns the
//   node that was its live predecessor when it was removed (`before`), so a
//   cursor standing on it can find its way back into the live chain.
// Every node owns at most one other node, so chains are lists, and the
// destructor releases them iteratively (a recursive release of 100,000 nodes
// would overflow the 1 MB stack of a 32-bit Windows thread).
template <class T>
struct Node {
    std::optional<T> item;               // empty in the head and once removed
    std::shared_ptr<Node> next;          // head and live nodes only
    std::shared_ptr<Node> before;        // removed nodes only
    const std::u16string* key = nullptr; // folded key stored in the map; live nodes only
    std::int64_t slot = 0;               // position = slot - KeyedList::base_
    bool removed = false;

    Node() = default;
    explicit Node(T&& value) : item(std::in_place, std::move(value)) {}
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node() {
        ReleaseChain(std::move(next));
        ReleaseChain(std::move(before));
    }

    static void ReleaseChain(std::shared_ptr<Node> link) noexcept {
        // While we hold the last reference, take the node's one onward link
        // before letting it go, so that its destructor has nothing to follow.
        while (link && link.use_count() == 1) {
            std::shared_ptr<Node> onward = std::move(link->next);
            if (!onward) onward = std::move(link->before);
            link = std::move(onward);
        }
    }
};

}  // namespace keyed_list_detail

template <class T>
class KeyedList {
    using Node = keyed_list_detail::Node<T>;

public:
    // Largest item count: what an automation `long` can hold.
    static constexpr std::size_t kMaxCount = 0x7FFFFFFF;

    // An enumeration cursor (behind IEnumVARIANT). It holds shared ownership
    // of the nodes it may still reach, so it stays valid whatever happens to
    // the collection, including its destruction.
    //
    // Semantics. A cursor's point is just after the last item it yielded, or
    // at the start. Each step yields the first item present after the point,
    // at the time of the step:
    // - items are yielded oldest first (in collection order), none twice in
    //   one pass;
    // - an item removed before the cursor reaches it is not yielded;
    // - an item added after the point (appended, or inserted anywhere after
    //   the last yielded item) is yielded; one inserted before the point is
    //   not;
    // - when the last yielded item is removed, the point becomes the gap it
    //   left (between the nearest earlier item still present and the next
    //   one), and items later added into that gap count as after the point;
    // - Clear() removes every item: the point becomes the start, and only
    //   items added afterwards are yielded;
    // - once the collection is destroyed, nothing changes any more: the
    //   cursor yields the items that were present then and after its point,
    //   and Reset() starts again with all of them.
    // A cursor at the end stays there until something is added after it.
    // Copies (Clone) are independent and start at the same point.
    class Cursor {
    public:
        // A cursor over nothing.
        Cursor() = default;

        // Yields up to `count` items, calling sink(const T&) for each in turn;
        // returns how many were yielded (fewer than `count` only at the end).
        // The sink must not change the collection. If the sink throws, the
        // item it was given is not passed and the exception propagates.
        template <class Sink>
        std::size_t Next(std::size_t count, Sink&& sink) {
            std::size_t done = 0;
            while (done < count) {
                std::shared_ptr<Node> following = Following();
                if (!following) break;
                sink(static_cast<const T&>(*following->item));
                current_ = std::move(following);
                ++done;
            }
            return done;
        }

        // Passes over up to `count` items; returns how many were passed.
        std::size_t Skip(std::size_t count) noexcept {
            std::size_t done = 0;
            while (done < count) {
                std::shared_ptr<Node> following = Following();
                if (!following) break;
                current_ = std::move(following);
                ++done;
            }
            return done;
        }

        // Back to the start.
        void Reset() noexcept { current_ = head_; }

        // An independent cursor at the same point.
        Cursor Clone() const { return *this; }

    private:
        friend class KeyedList;
        explicit Cursor(const std::shared_ptr<Node>& head) noexcept : head_(head), current_(head) {}

        // The first live node after the point, or null at the end. Moves the
        // cursor off removed nodes first, back to the live node that now
        // stands just before its point (an equivalent point).
        std::shared_ptr<Node> Following() noexcept {
            if (!current_) return nullptr;
            while (current_->removed) current_ = current_->before;
            return current_->next;
        }

        std::shared_ptr<Node> head_;
        std::shared_ptr<Node> current_;
    };

    explicit KeyedList(std::shared_ptr<const KeyFolding> folding = DefaultKeyFolding(),
                       std::size_t maxCount = kMaxCount)
        : folding_(folding ? std::move(folding) : DefaultKeyFolding()),
          maxCount_(maxCount < kMaxCount ? maxCount : kMaxCount),
          head_(std::make_shared<Node>()) {}

    KeyedList(const KeyedList&) = delete;
    KeyedList& operator=(const KeyedList&) = delete;

    // Items no cursor can reach any more are released here; live cursors
    // keep theirs (see Cursor).
    ~KeyedList() {
        map_.clear();
        order_.clear();
        head_.reset();
    }

    std::size_t Count() const noexcept { return order_.size(); }

    // Adds `item` under `key` (none when nullopt) at the end, or just before
    // the item `before` selects, or just after the item `after` selects.
    // Checks, in this order: Before and After both given -> InvalidArgument;
    // the anchor's position outside 1..Count() (so any position when the
    // collection is empty) -> Subscript, its key unknown -> InvalidArgument;
    // `key` already present -> DuplicateKey; Count() == maxCount ->
    // OutOfMemory. On failure the collection is unchanged and `item` is
    // dropped.
    Result<void> Add(T item, std::optional<std::u16string_view> key = std::nullopt,
                     std::optional<Locator> before = std::nullopt, std::optional<Locator> after = std::nullopt) {
        if (before && after) return CoreError::InvalidArgument;
        std::size_t index = order_.size();
        if (before || after) {
            const Result<std::size_t> anchor = Resolve(before ? *before : *after);
            if (!anchor.ok()) return anchor.error();
            index = before ? *anchor : *anchor + 1;
        }
        std::u16string folded;
        if (key) {
            folded = folding_->Fold(*key);
            if (map_.find(folded) != map_.end()) return CoreError::DuplicateKey;
        }
        if (order_.size() >= maxCount_) return CoreError::OutOfMemory;

        auto node = std::make_shared<Node>(std::move(item));
        typename Map::iterator entry;
        if (key) entry = map_.emplace(std::move(folded), node.get()).first;
        try {
            order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(index), node);
        } catch (...) {
            if (key) map_.erase(entry);
            throw;
        }
        // Nothing below throws.
        if (key) node->key = &entry->first;
        const std::size_t n = order_.size() - 1;  // items before this Add
        const std::size_t later = n - index;      // items after the new one
        if (index < later) {
            for (std::size_t j = 0; j < index; ++j) --order_[j]->slot;
            --base_;
            shiftWork_ += index;
        } else {
            for (std::size_t j = index + 1; j <= n; ++j) ++order_[j]->slot;
            shiftWork_ += later;
        }
        node->slot = base_ + static_cast<std::int64_t>(index);
        Node& predecessor = index > 0 ? *order_[index - 1] : *head_;
        node->next = std::move(predecessor.next);
        predecessor.next = node;
        return {};
    }

    // The item `at` selects: Subscript for a position outside 1..Count(),
    // InvalidArgument for an unknown key. The pointer stays valid until the
    // item is removed or the collection is cleared or destroyed.
    Result<const T*> Item(const Locator& at) const {
        const Result<std::size_t> index = Resolve(at);
        if (!index.ok()) return index.error();
        return static_cast<const T*>(&*order_[*index]->item);
    }
    Result<T*> Item(const Locator& at) {
        const Result<std::size_t> index = Resolve(at);
        if (!index.ok()) return index.error();
        return &*order_[*index]->item;
    }

    // Removes the item `at` selects (errors as for Item); later items move
    // down one position and its key becomes free. The collection releases
    // the item at once, even while a cursor stands on it; the item is
    // destroyed last, when the collection is already consistent again, so
    // its destructor may use the collection.
    Result<void> Remove(const Locator& at) {
        const Result<std::size_t> found = Resolve(at);
        if (!found.ok()) return found.error();
        const std::size_t index = *found;
        std::shared_ptr<Node> victim = order_[index];  // may outlive this call through cursors
        const std::shared_ptr<Node>& predecessor = index > 0 ? order_[index - 1] : head_;
        predecessor->next = std::move(victim->next);
        victim->before = predecessor;
        victim->removed = true;
        if (victim->key) {
            map_.erase(map_.find(*victim->key));
            victim->key = nullptr;
        }
        const std::size_t n = order_.size();
        const std::size_t later = n - 1 - index;
        if (index < later) {
            for (std::size_t j = 0; j < index; ++j) ++order_[j]->slot;
            ++base_;
            shiftWork_ += index;
        } else {
            for (std::size_t j = index + 1; j < n; ++j) --order_[j]->slot;
            shiftWork_ += later;
        }
        order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(index));
        victim->item.reset();
        return {};
    }

    // Removes every item (as Remove would one by one, in O(Count())).
    void Clear() noexcept {
        if (order_.empty()) return;
        std::deque<std::shared_ptr<Node>> old;
        old.swap(order_);
        map_.clear();
        base_ = 0;
        head_->next.reset();  // `old` still holds every node
        for (auto& node : old) {
            node->next.reset();
            node->before = head_;
            node->removed = true;
            node->key = nullptr;
        }
        // The collection is empty and consistent; now let the items go.
        for (auto& node : old) node->item.reset();
    }

    // A cursor at the start.
    Cursor Enumerate() const noexcept { return Cursor(head_); }

    // Diagnostics for tests and benchmarks: the number of position slots
    // renumbered so far by insertions and removals in the middle (0 while
    // items are only added and removed at the ends).
    std::uint64_t ShiftWork() const noexcept { return shiftWork_; }

private:
    using Map = std::unordered_map<std::u16string, Node*>;

    // The index into order_ of the item `at` selects.
    Result<std::size_t> Resolve(const Locator& at) const {
        if (!at.IsKey()) {
            const std::int64_t p = at.position();
            if (p < 1 || static_cast<std::uint64_t>(p) > order_.size()) return CoreError::Subscript;
            return static_cast<std::size_t>(p - 1);
        }
        const auto found = map_.find(folding_->Fold(at.key()));
        if (found == map_.end()) return CoreError::InvalidArgument;
        return static_cast<std::size_t>(found->second->slot - base_);
    }

    std::shared_ptr<const KeyFolding> folding_;
    std::size_t maxCount_;
    std::shared_ptr<Node> head_;
    // order_[i] is the item at position i + 1; order_[i]->slot == base_ + i.
    std::deque<std::shared_ptr<Node>> order_;
    std::int64_t base_ = 0;
    Map map_;  // folded key -> live node
    std::uint64_t shiftWork_ = 0;
};

}  // namespace vemo
