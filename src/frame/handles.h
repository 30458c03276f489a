// Owners of the system's handles: a registry key and a kernel object each
// close themselves however the code that opened them ends.
#pragma once
#include <windows.h>

namespace vemo {

template <class H, class Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Detach()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) { Reset(); h_ = o.Detach(); }
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    H Get() const { return h_; }
    explicit operator bool() const { return Traits::Valid(h_); }
    // For the call that opens one: closes what is held, then exposes the slot.
    H* Out() { Reset(); return &h_; }
    H Detach() { H h = h_; h_ = Traits::Empty(); return h; }
    void Reset() {
        if (Traits::Valid(h_)) Traits::Close(h_);
        h_ = Traits::Empty();
    }

private:
    H h_ = Traits::Empty();
};

struct RegKeyTraits {
    static HKEY Empty() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
// Kernel objects: both null and INVALID_HANDLE_VALUE mean none.
struct KernelHandleTraits {
    static HANDLE Empty() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

}  // namespace vemo
