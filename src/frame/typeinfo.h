// Type information of the library's own interfaces, read from the type
// library embedded in the DLL, and of the outside interfaces it implements.
#pragma once
#include "frame/com_ptr.h"

#include <windows.h>
#include <oaidl.h>
#include <utility>

namespace vemo {

// A description that a type library or type information lends and takes
// back (TLIBATTR; TYPEATTR, FUNCDESC, VARDESC), given back to its lender
// however the code reading it ends. It keeps the lender alive until then.
//   FuncDesc f;
//   HRESULT hr = info->GetFuncDesc(i, f.Out(info));
template <class Lender, class T>
class Lent {
public:
    Lent() = default;
    Lent(const Lent&) = delete;
    Lent& operator=(const Lent&) = delete;
    Lent(Lent&& o) noexcept : lender_(std::move(o.lender_)), p_(o.p_) { o.p_ = nullptr; }
    Lent& operator=(Lent&& o) noexcept {
        if (this != &o) { Reset(); lender_ = std::move(o.lender_); p_ = o.p_; o.p_ = nullptr; }
        return *this;
    }
    ~Lent() { Reset(); }

    // For the lender's call that fills it in.
    T** Out(Lender* lender) {
        Reset();
        if (lender_.Get() != lender) lender_ = ComPtr<Lender>(lender);
        return &p_;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) GiveBack(lender_.Get(), p_);
        p_ = nullptr;
    }

private:
    static void GiveBack(ITypeLib* lib, TLIBATTR* p) { lib->ReleaseTLibAttr(p); }
    static void GiveBack(ITypeInfo* info, TYPEATTR* p) { info->ReleaseTypeAttr(p); }
    static void GiveBack(ITypeInfo* info, FUNCDESC* p) { info->ReleaseFuncDesc(p); }
    static void GiveBack(ITypeInfo* info, VARDESC* p) { info->ReleaseVarDesc(p); }

    ComPtr<Lender> lender_;
    T* p_ = nullptr;
};

using LibAttr = Lent<ITypeLib, TLIBATTR>;
using TypeAttr = Lent<ITypeInfo, TYPEATTR>;
using FuncDesc = Lent<ITypeInfo, FUNCDESC>;
using VarDesc = Lent<ITypeInfo, VARDESC>;

// The vtable (TKIND_INTERFACE) half of a dual interface's type
// information; any other type information itself.
HRESULT VtableTypeInfo(ITypeInfo* info, ITypeInfo** vtable);

// Loads the embedded VemoFunction type library (not cached: each caller owns
// what it gets).
HRESULT LoadOwnTypeLib(ITypeLib** lib);
HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** info);
// Type information from the DLL's second type library resource, which
// declares the outside interfaces that the library's own objects implement
// (the keyed collection's _Collection).
HRESULT LoadCarriedTypeInfo(REFIID iid, ITypeInfo** info);

}  // namespace vemo
