#include "frame/ansi.h"
#include "frame/errors.h"

#include <climits>
#include <windows.h>

namespace vemo {

std::string ToAnsi(std::u16string_view text) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX / 4) ThrowOutOfMemory();
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n) WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return std::u16string();
    if (bytes.size() > INT_MAX) ThrowOutOfMemory();
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    if (n)
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                            reinterpret_cast<wchar_t*>(&out[0]), n);
    return out;
}

}  // namespace vemo
