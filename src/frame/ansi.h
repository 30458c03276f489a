// Text at the ANSI Win32 calls: automation text goes to the system's ANSI
// code page on the way in and comes back on the way out.
#pragma once
#include <string>
#include <string_view>

namespace vemo {

std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);

}  // namespace vemo
