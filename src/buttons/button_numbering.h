// The add counter of a Btns collection, portable core: which ID, first-button
// mark and key the next button gets, and how the counter moves on.
//
// The counter starts at 0 and only a successful add moves it on, by one; it
// never goes down, so IDs and keys never repeat within one collection. The
// next button's ID is the counter, its key the counter's decimal text ("0",
// "1", ...), and it is the first button exactly when the counter is still 0.
// At 2147483647 the counter cannot move on: Advance() reports the overflow
// and leaves the counter as it is.
#pragma once
#include "core/result.h"

#include <cstdint>
#include <string>

namespace vemo {

class ButtonNumbering {
public:
    static constexpr std::int32_t kLast = 0x7FFFFFFF;

    // `start` lets a caller resume at a given counter (the test build starts
    // near the limit); it must not be negative.
    explicit ButtonNumbering(std::int32_t start = 0) : counter_(start < 0 ? 0 : start) {}

    std::int32_t NextId() const noexcept { return counter_; }
    bool NextIsFirst() const noexcept { return counter_ == 0; }
    std::u16string NextKey() const;
    // Moves the counter on; Overflow (counter unchanged) when it is at kLast.
    Result<void> Advance() noexcept;

private:
    std::int32_t counter_;
};

}  // namespace vemo
