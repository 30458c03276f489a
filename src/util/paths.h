// Directory paths as the VemoFuns object keeps them.
#pragma once
#include <string>
#include <string_view>

namespace vemo {

// The path with a trailing backslash guaranteed; only the backslash counts as
// a separator, and the empty path becomes a lone backslash.
inline std::u16string WithTrailingBackslash(std::u16string_view path) {
    std::u16string out(path);
    if (out.empty() || out.back() != u'\\') out.push_back(u'\\');
    return out;
}

// The application system path: the system path, then the folder "System\".
inline std::u16string AppSystemPathOf(std::u16string_view systemPath) {
    return std::u16string(systemPath) + u"System\\";
}

}  // namespace vemo
