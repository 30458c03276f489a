// How the portable core reports a refusal or a failure: one way for all.
//
// A core function that can refuse its arguments or fail returns a Result:
// its value, or the CoreError that says why there is none (Result<void> for
// an operation without a value). A failing call changes nothing. Success and
// failure are made by plain returns: `return value;`, `return {};` (in a
// Result<void> function) and `return CoreError::Overflow;`.
//
// A CoreError's number is the automation error number the COM side raises
// for it: frame/errors.h turns a failed Result into the raised error (Take,
// Check), and a member that answers a neutral result instead tests ok().
//
// Allocation failure is no CoreError: std::bad_alloc stays an exception, as
// it is throughout C++, and the COM boundary answers it with "Out of memory".
// Result itself throws nothing; asking a failed Result for its value, or a
// successful one for its error, is a fault of the caller's and ends the
// process (std::abort) instead of reading what is not there.
//
// Not every "no" is a failure: a predicate answers its question with bool
// (IsPlainInteger, IsBlankText), and a lookup whose empty answer is a normal
// outcome stays std::optional (NumericTailLength: symbols its single pass
// does not model, where the caller takes the slower way).
//
// Portable core: no Windows header.
#pragma once
#include <cstdlib>
#include <optional>
#include <type_traits>
#include <utility>

namespace vemo {

// The automation error numbers of the core's refusals.
enum class CoreError : int {
    InvalidArgument = 5,  // an argument the operation refuses (an unknown key, a text it cannot carry)
    Overflow = 6,         // a number beyond its type's range
    OutOfMemory = 7,      // a container at its largest size (an allocation failure is bad_alloc)
    Subscript = 9,        // a position or a length outside its bounds
    DivisionByZero = 11,
    DuplicateKey = 457,   // "This key is already associated with an element of this collection"
};

namespace result_detail {
inline void Require(bool holds) noexcept {
    if (!holds) std::abort();
}
}  // namespace result_detail

template <class T>
class [[nodiscard]] Result {
    static_assert(!std::is_reference_v<T> && !std::is_same_v<std::decay_t<T>, CoreError>,
                  "a Result holds a value, not a reference or an error");

public:
    // Two constructors rather than one by value: `return local;` then moves.
    Result(const T& value) : value_(value) {}
    Result(T&& value) : value_(std::move(value)) {}
    Result(CoreError error) noexcept : error_(error) {}

    bool ok() const noexcept { return value_.has_value(); }
    CoreError error() const noexcept {
        result_detail::Require(!ok());
        return error_;
    }

    T& value() & {
        result_detail::Require(ok());
        return *value_;
    }
    const T& value() const& {
        result_detail::Require(ok());
        return *value_;
    }
    T&& value() && {
        result_detail::Require(ok());
        return std::move(*value_);
    }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Equal when both hold equal values or both failed with the same error.
    friend bool operator==(const Result& a, const Result& b) {
        if (a.ok() != b.ok()) return false;
        return a.ok() ? *a.value_ == *b.value_ : a.error_ == b.error_;
    }
    friend bool operator!=(const Result& a, const Result& b) { return !(a == b); }

private:
    std::optional<T> value_;
    CoreError error_ = CoreError::InvalidArgument;  // read only when value_ is empty
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() noexcept = default;
    Result(CoreError error) noexcept : failed_(true), error_(error) {}

    bool ok() const noexcept { return !failed_; }
    CoreError error() const noexcept {
        result_detail::Require(failed_);
        return error_;
    }

    friend bool operator==(const Result& a, const Result& b) {
        return a.failed_ == b.failed_ && (!a.failed_ || a.error_ == b.error_);
    }
    friend bool operator!=(const Result& a, const Result& b) { return !(a == b); }

private:
    bool failed_ = false;
    CoreError error_ = CoreError::InvalidArgument;  // read only when failed_
};

}  // namespace vemo
