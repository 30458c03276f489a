#include "frame/late_bound.h"
#include "frame/errors.h"

#include <dispex.h>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

Arg Arg::LongRef(LONG* p) {
    VARIANT v = raw::Of(VT_BYREF | VT_I4);
    V_I4REF(&v) = p;
    return Arg(v);
}
Arg Arg::TextRef(Bstr& s) {
    VARIANT v = raw::Of(VT_BYREF | VT_BSTR);
    V_BSTRREF(&v) = s.InOut();
    return Arg(v);
}

namespace {

const IID kDispatchEx = {0xA6EF9860, 0xC720, 0x11D0, {0x93, 0x37, 0x00, 0xA0, 0xC9, 0x0D, 0xCA, 0xA9}};

// Turns a failed Invoke into the raised error of the calling member.
[[noreturn]] void RaiseInvokeFailure(HRESULT hr, ExcepInfo& info, const wchar_t* name) {
    if (hr == DISP_E_EXCEPTION) {
        const EXCEPINFO& ex = info.Filled();
        const HRESULT code = ex.scode ? ex.scode : ControlError(ex.wCode);
        std::wstring text = ex.bstrDescription ? ex.bstrDescription : L"";
        const std::wstring source = ex.bstrSource ? ex.bstrSource : L"";
        info.Clear();
        if (text.empty()) text = std::wstring(L"The call of '") + name + L"' failed";
        if (!source.empty()) {
            SetErrorInfoFor(code, text, source);
            throw ComError{code};
        }
        Raise(code, text);
    }
    Check(hr, (std::wstring(L"Call of '") + name + L"'").c_str());
    throw ComError{hr};
}

// Invokes a member whose DISPID is known; `ex` is set for script objects.
Variant InvokeId(IDispatch* object, IDispatchEx* ex, DISPID id, const wchar_t* name, WORD flags,
                 const Arg* first, size_t count) {
    // Invoke takes the arguments last to first.
    std::vector<VARIANTARG> args(count);
    for (size_t i = 0; i < count; ++i) args[count - 1 - i] = first[i].Get();
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params = {args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(count), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    ExcepInfo info;
    UINT argErr = 0;
    VARIANT* out = (flags & DISPATCH_PROPERTYPUT) ? nullptr : result.Get();
    HRESULT hr;
    if (ex) hr = ex->InvokeEx(id, LOCALE_USER_DEFAULT, flags, &params, out, info.Get(), nullptr);
    else hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, out, info.Get(), &argErr);
    if (FAILED(hr)) RaiseInvokeFailure(hr, info, name);
    return result;
}

Variant Invoke(IDispatch* object, const wchar_t* name, WORD flags, const Arg* first, size_t count) {
    if (!object) RaiseNumber(kErrObjectNotSet);
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    SetErrorInfo(0, nullptr);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    // Script objects may answer names only through IDispatchEx (Wine's
    // VBScript class instances do), and then want InvokeEx as well.
    ComPtr<IDispatchEx> ex;
    if (hr == E_NOTIMPL && SUCCEEDED(object->QueryInterface(kDispatchEx, ex.OutVoid()))) {
        Bstr bname(name);
        hr = ex->GetDispID(bname.Get(), fdexNameCaseInsensitive, &id);
    }
    if (FAILED(hr)) Check(hr, (std::wstring(L"Object has no member '") + name + L"'").c_str());
    return InvokeId(object, ex.Get(), id, name, flags, first, count);
}

}  // namespace

Variant Call(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args) {
    return Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args.begin(), args.size());
}

Variant Get(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args) {
    return Invoke(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args.begin(), args.size());
}

void Put(IDispatch* object, const wchar_t* name, const Arg& value) {
    Invoke(object, name, DISPATCH_PROPERTYPUT, &value, 1);
}

ComPtr<IEnumVARIANT> NewEnum(IDispatch* collection) {
    if (!collection) RaiseNumber(kErrObjectNotSet);
    SetErrorInfo(0, nullptr);
    Variant v = InvokeId(collection, nullptr, DISPID_NEWENUM, L"_NewEnum", DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                         nullptr, 0);
    IUnknown* unk = CarriedObject(v.Get());
    ComPtr<IEnumVARIANT> items;
    if (!unk || FAILED(unk->QueryInterface(IID_IEnumVARIANT, items.OutVoid())))
        Raise(DISP_E_MEMBERNOTFOUND, L"The object offers no enumerator of its items");
    return items;
}

bool IsObject(const VARIANT& v) {
    const VARIANT* p = Deref(&v);
    VARTYPE t = V_VT(p);
    return t == VT_DISPATCH || t == VT_UNKNOWN || t == (VT_BYREF | VT_DISPATCH) || t == (VT_BYREF | VT_UNKNOWN);
}

ComPtr<IDispatch> AsObject(const VARIANT& v) {
    if (!IsObject(v)) RaiseNumber(kErrTypeMismatch);
    IUnknown* unk = CarriedObject(&v);
    if (!unk) RaiseNumber(kErrObjectNotSet);
    ComPtr<IDispatch> d;
    Check(unk->QueryInterface(IID_IDispatch, d.OutVoid()));
    return d;
}

Variant ChangeType(const VARIANT& v, VARTYPE type) {
    Variant out;
    HRESULT hr = VariantChangeTypeEx(out.Get(), const_cast<VARIANT*>(&v), LOCALE_USER_DEFAULT, 0, type);
    if (FAILED(hr)) {
        if (hr == DISP_E_TYPEMISMATCH) RaiseNumber(kErrTypeMismatch);
        if (hr == DISP_E_OVERFLOW) RaiseNumber(kErrOverflow);
        Check(hr, L"Conversion");
    }
    return out;
}

LONG ToLong(const VARIANT& v) { return V_I4(ChangeType(v, VT_I4).Get()); }
double ToDouble(const VARIANT& v) { return V_R8(ChangeType(v, VT_R8).Get()); }
bool ToBool(const VARIANT& v) { return V_BOOL(ChangeType(v, VT_BOOL).Get()) != VARIANT_FALSE; }
Bstr ToText(const VARIANT& v) {
    VARIANT t = ChangeType(v, VT_BSTR).Detach();
    return Bstr::Attach(V_BSTR(&t));
}

namespace {

// ProgID -> CLSID of every successful creation, for the process. Under Wine a
// CLSIDFromProgID reads the registry through the server on every call (about
// 0.8 ms, more than a database round trip). A mapping is kept only once a
// creation through it worked, and is dropped when a creation through it fails.
class ProgIdCache {
public:
    bool Find(const wchar_t* progId, CLSID* clsid) {
        AcquireSRWLockShared(&lock_);
        auto it = map_.find(std::wstring_view(progId));  // no allocation under the lock
        bool found = it != map_.end();
        if (found) *clsid = it->second;
        ReleaseSRWLockShared(&lock_);
        return found;
    }
    void Keep(const wchar_t* progId, const CLSID& clsid) noexcept {
        AcquireSRWLockExclusive(&lock_);
        try {
            map_[progId] = clsid;
        } catch (...) {
            // Not kept: the next creation looks the ProgID up again.
        }
        ReleaseSRWLockExclusive(&lock_);
    }
    void Drop(const wchar_t* progId) noexcept {
        AcquireSRWLockExclusive(&lock_);
        auto it = map_.find(std::wstring_view(progId));
        if (it != map_.end()) map_.erase(it);
        ReleaseSRWLockExclusive(&lock_);
    }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::map<std::wstring, CLSID, std::less<>> map_;
};

ProgIdCache& Cache() {
    static ProgIdCache* cache = new ProgIdCache;  // never destroyed: used until the module goes
    return *cache;
}

HRESULT CreateDispatch(const CLSID& clsid, ComPtr<IDispatch>& object) {
    object.Reset();
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            object.OutVoid());
}

}  // namespace

ComPtr<IDispatch> CreateObject(const wchar_t* progId) {
    ComPtr<IDispatch> object;
    CLSID cached;
    HRESULT cachedFailure = S_OK;
    if (Cache().Find(progId, &cached)) {
        cachedFailure = CreateDispatch(cached, object);
        if (SUCCEEDED(cachedFailure)) return object;
        // The class may have moved (re-registered) or gone: look it up once more.
        Cache().Drop(progId);
    }
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) Raise(hr, std::wstring(L"Cannot create object '") + progId + L"': class not registered");
    // The same class that just failed is not created a second time.
    hr = FAILED(cachedFailure) && IsEqualCLSID(clsid, cached) ? cachedFailure : CreateDispatch(clsid, object);
    if (FAILED(hr)) Check(hr, (std::wstring(L"Cannot create object '") + progId + L"'").c_str());
    Cache().Keep(progId, clsid);
    return object;
}

}  // namespace vemo
