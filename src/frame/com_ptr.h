// Owning smart pointer for COM interfaces: one AddRef/Release discipline for
// the whole library.
#pragma once
#include <unknwn.h>
#include <utility>

namespace vemo {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference of `p` (the caller keeps its own).
    explicit ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }

    // Adopts a reference that the caller already owns.
    static ComPtr Attach(T* p) { ComPtr r; r.p_ = p; return r; }
    T* Detach() { T* p = p_; p_ = nullptr; return p; }
    void Reset() { if (p_) { T* p = p_; p_ = nullptr; p->Release(); } }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held, then exposes the slot.
    T** Out() { Reset(); return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

    template <class U>
    HRESULT As(ComPtr<U>& out, REFIID iid) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.OutVoid());
    }

private:
    T* p_ = nullptr;
};

}  // namespace vemo
