// Type information of the library's own interfaces, read from the type
// library embedded in the DLL, and of the outside interfaces it implements.
#pragma once
#include "frame/com_ptr.h"

#include <windows.h>
#include <oaidl.h>
#include <utility>

namespace vemo {

// A description that an ITypeInfo hands out and takes back: TYPEATTR,
// FUNCDESC or VARDESC, given back to the type information that made it
// however the code reading it ends. It keeps that type information alive
// until then.
//   FuncDesc f;
//   HRESULT hr = info->GetFuncDesc(i, f.Out(info));
template <class T>
class TypeInfoPart {
public:
    TypeInfoPart() = default;
    TypeInfoPart(const TypeInfoPart&) = delete;
    TypeInfoPart& operator=(const TypeInfoPart&) = delete;
    TypeInfoPart(TypeInfoPart&& o) noexcept : info_(std::move(o.info_)), p_(o.p_) { o.p_ = nullptr; }
    TypeInfoPart& operator=(TypeInfoPart&& o) noexcept {
        if (this != &o) { Reset(); info_ = std::move(o.info_); p_ = o.p_; o.p_ = nullptr; }
        return *this;
    }
    ~TypeInfoPart() { Reset(); }

    // For the ITypeInfo call that fills it in.
    T** Out(ITypeInfo* info) {
        Reset();
        if (info_.Get() != info) info_ = ComPtr<ITypeInfo>(info);
        return &p_;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) GiveBack(info_.Get(), p_);
        p_ = nullptr;
    }

private:
    static void GiveBack(ITypeInfo* info, TYPEATTR* p) { info->ReleaseTypeAttr(p); }
    static void GiveBack(ITypeInfo* info, FUNCDESC* p) { info->ReleaseFuncDesc(p); }
    static void GiveBack(ITypeInfo* info, VARDESC* p) { info->ReleaseVarDesc(p); }

    ComPtr<ITypeInfo> info_;
    T* p_ = nullptr;
};

using TypeAttr = TypeInfoPart<TYPEATTR>;
using FuncDesc = TypeInfoPart<FUNCDESC>;
using VarDesc = TypeInfoPart<VARDESC>;

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
