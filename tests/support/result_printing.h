// How GoogleTest shows the core's results (core/result.h) in a failure
// message: "ok", "ok <value>" or "CoreError <number>".
#pragma once
#include "core/result.h"

#include <gtest/gtest.h>

#include <ostream>
#include <type_traits>

namespace vemo {

inline void PrintTo(CoreError error, std::ostream* os) { *os << "CoreError " << static_cast<int>(error); }

template <class T>
void PrintTo(const Result<T>& result, std::ostream* os) {
    if (!result.ok()) return PrintTo(result.error(), os);
    *os << "ok";
    if constexpr (!std::is_void_v<T>) *os << " " << ::testing::PrintToString(*result);
}

}  // namespace vemo
