#include "checker/classes_view.h"
#include "frame/handles.h"

#include <vector>

namespace vemo::check {

std::wstring ClassesView::Name() const {
    const wchar_t* where = scope_ == Scope::kMerged ? L"HKEY_CLASSES_ROOT"
                           : scope_ == Scope::kUser ? L"HKEY_CURRENT_USER\\Software\\Classes"
                                                    : L"HKEY_LOCAL_MACHINE\\Software\\Classes";
    return std::wstring(where) + L", " + BitsText(bits_) + L" view";
}

HKEY ClassesView::Root() const {
    return scope_ == Scope::kMerged ? HKEY_CLASSES_ROOT : scope_ == Scope::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::wstring ClassesView::Path(const std::wstring& path) const {
    return scope_ == Scope::kMerged ? path : L"Software\\Classes\\" + path;
}

bool ClassesView::HasKey(const std::wstring& path) const {
    RegKey key;
    const REGSAM view = bits_ == Bits::k32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    return RegOpenKeyExW(Root(), Path(path).c_str(), 0, KEY_READ | view, key.Out()) == ERROR_SUCCESS;
}

std::optional<std::wstring> ClassesView::Text(const std::wstring& path, const wchar_t* name) const {
    RegKey key;
    const REGSAM view = bits_ == Bits::k32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    if (RegOpenKeyExW(Root(), Path(path).c_str(), 0, KEY_QUERY_VALUE | view, key.Out()) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
        return {};
    std::wstring value(buf.data());
    if (type == REG_EXPAND_SZ) {
        DWORD n = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
        std::vector<wchar_t> expanded(n + 1, L'\0');
        if (n && ExpandEnvironmentStringsW(value.c_str(), expanded.data(), n + 1)) value = expanded.data();
    }
    return value;
}

}  // namespace vemo::check
