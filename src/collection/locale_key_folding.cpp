#include "collection/locale_key_folding.h"
#include "frame/errors.h"

#include <climits>
#include <vector>

namespace vemo {
namespace {

[[noreturn]] void RaiseMappingFailed() {
    const DWORD code = GetLastError();
    Raise(code ? HRESULT_FROM_WIN32(code) : E_FAIL, L"The collection key cannot be compared under the user's locale");
}

}  // namespace

std::u16string LocaleKeyFolding::Fold(std::u16string_view key) const {
    // LCMapStringW refuses a zero length; the empty text is mapped through
    // its terminator instead, which gives the sort key of "".
    static const wchar_t kEmpty[] = L"";
    if (key.size() > static_cast<std::size_t>(INT_MAX / 16)) ThrowOutOfMemory();
    const wchar_t* text = key.empty() ? kEmpty : reinterpret_cast<const wchar_t*>(key.data());
    const int length = key.empty() ? -1 : static_cast<int>(key.size());
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int bytes = LCMapStringW(locale_, flags, text, length, nullptr, 0);
    if (bytes <= 0) RaiseMappingFailed();
    // With LCMAP_SORTKEY the destination is a byte buffer.
    std::vector<unsigned char> sortKey(static_cast<std::size_t>(bytes));
    if (LCMapStringW(locale_, flags, text, length, reinterpret_cast<wchar_t*>(sortKey.data()), bytes) != bytes)
        RaiseMappingFailed();
    // One byte per code unit: unambiguous, and sort keys are short.
    return std::u16string(sortKey.begin(), sortKey.end());
}

}  // namespace vemo
