// Filling [out, retval] parameters: a member that fails leaves them empty, so
// results are built first and handed out only at the end.
#pragma once
#include "frame/auto_values.h"
#include "frame/errors.h"

namespace vemo {

inline void RequireOut(const void* p) {
    if (!p) Raise(E_POINTER, L"A result pointer is missing");
}

inline void SetOut(BSTR* out, std::u16string_view text) {
    RequireOut(out);
    *out = Bstr(text).Detach();
}

template <class T>
inline void SetOut(T* out, T value) {
    RequireOut(out);
    *out = value;
}

inline void SetOut(VARIANT* out, Variant&& value) {
    RequireOut(out);
    value.DetachTo(out);
}

}  // namespace vemo
