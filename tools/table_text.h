// The class table's wide texts (src/vemofunction/class_table.h) as the
// narrow text the build's writers emit. The table's text is ASCII.
#pragma once

#include <string>

namespace vemo::tools {

inline std::string Text(const wchar_t* w) {
    std::string s;
    for (; *w; ++w) s += static_cast<char>(*w);
    return s;
}

}  // namespace vemo::tools
