#include "share_props.h"
#include "frame/handles.h"
#include "frame/late_bound.h"
#include "frame/out_values.h"
#include "caller_arguments.h"

#include <string>

namespace testhost {

using namespace vemo;

const IID* const ShareProps::kInterfaces[] = {&IID_IShareProps, nullptr};
const wchar_t ShareProps::kErrorSource[] = L"Trellis.ShareProps";
const IID* const TextValue::kInterfaces[] = {&IID_ITextValue, nullptr};
const wchar_t TextValue::kErrorSource[] = L"TestHost.TextValue";

namespace {

// Use counts of this process (the component is apartment-threaded, but the
// counters are read from other apartments too).
volatile LONG gCalls = 0;
volatile LONG gCreated = 0;
volatile LONG gLive = 0;
wchar_t gLastTypes[64] = L"";
// The failure a test asked for: GetProperty calls left before it (0: none),
// its HRESULT and description. Set and used on the test's thread.
LONG gFailIn = 0;
HRESULT gFailure = S_OK;
std::wstring gFailureText;

const wchar_t kRoot[] = L"Software\\TestHost\\ShareProps\\";
// The stored form is "<VARTYPE>:<text>"; a TextValue object is kept by its
// text under this tag and comes back as a new TextValue.
const VARTYPE kTextObject = VT_DISPATCH;

std::wstring KeyOf(LONG pid) { return kRoot + std::to_wstring(static_cast<unsigned long>(pid)); }

LONG ProcessIdOf(VARIANT* v) {
    if (!v) Raise(E_POINTER, L"A process id is needed");
    return ToLong(*v);
}

Bstr NameOf(VARIANT* v) {
    if (!v) Raise(E_POINTER, L"A property name is needed");
    return ToText(*v);
}

// The stored text of a property of one process; false when it has none.
bool ReadStored(LONG pid, BSTR name, std::wstring& data) {
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyOf(pid).c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    const wchar_t* valueName = name ? name : L"";
    LONG rc = RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS && type == REG_SZ) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        rc = RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
        data.resize(wcsnlen(data.c_str(), data.size()));
    }
    return rc == ERROR_SUCCESS && type == REG_SZ;
}

Variant FromStored(const std::wstring& data) {
    const size_t colon = data.find(L':');
    const VARTYPE type = static_cast<VARTYPE>(std::stoul(data.substr(0, colon)));
    const std::wstring text = colon == std::wstring::npos ? std::wstring() : data.substr(colon + 1);
    Variant out;
    if (type == VT_EMPTY) return out;
    if (type == VT_NULL) return Variant::Null();
    if (type == kTextObject) {
        ComPtr<ITextValue> t = TextValue::New();
        Bstr b(text.c_str());
        Check(t->put_Value(b.Get()));
        return Variant::Object(t.Get());
    }
    Variant s = Variant::Text(Utf16(text));
    if (type == VT_BSTR) return s;
    Check(VariantChangeTypeEx(out.Get(), s.Get(), LOCALE_INVARIANT, 0, type));
    return out;
}

std::wstring ToStored(const VARIANT& value) {
    Variant v;
    Check(VariantCopyInd(v.Get(), const_cast<VARIANT*>(&value)));
    const VARTYPE type = v.Type();
    if (type == VT_EMPTY || type == VT_NULL) return std::to_wstring(type) + L":";
    if (type == VT_DISPATCH || type == VT_UNKNOWN) {
        ComPtr<ITextValue> t;
        IUnknown* unk = type == VT_DISPATCH ? V_DISPATCH(v.Get()) : V_UNKNOWN(v.Get());
        if (!unk || FAILED(unk->QueryInterface(IID_ITextValue, t.OutVoid())))
            Raise(ControlError(kErrTypeMismatch), L"Only TestHost.TextValue objects can be shared between processes");
        Bstr text;
        Check(t->get_Value(text.Out()));
        return std::to_wstring(kTextObject) + L":" + WideText(text.Get());
    }
    Variant s;
    Check(VariantChangeTypeEx(s.Get(), v.Get(), LOCALE_INVARIANT, 0, VT_BSTR));
    return std::to_wstring(type) + L":" + WideText(V_BSTR(s.Get()));
}

}  // namespace

ShareProps::ShareProps() {
    InterlockedIncrement(&gCreated);
    InterlockedIncrement(&gLive);
}

ShareProps::~ShareProps() { InterlockedDecrement(&gLive); }

// A process's own value wins; a value set for process 0 serves every process
// that has none of its own (so a host can set one login for all its clients).
STDMETHODIMP ShareProps::GetProperty(VARIANT* processId, VARIANT* name, VARIANT* value) {
    return Member([&] {
        RequireOut(value);
        if (gFailIn > 0 && --gFailIn == 0) Raise(gFailure, gFailureText);
        const LONG pid = ProcessIdOf(processId);
        Bstr n = NameOf(name);
        std::wstring data;
        Variant result;
        if (ReadStored(pid, n.Get(), data) || ReadStored(0, n.Get(), data)) result = FromStored(data);
        SetOut(value, std::move(result));
    });
}

// Late-bound calls of GetProperty are counted with the types of their
// arguments as the caller sent them (the argument array holds them last first).
STDMETHODIMP ShareProps::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep, UINT* argErr) noexcept {
    return Sealed([&] {
        if (id == 1) {
            InterlockedIncrement(&gCalls);
            lstrcpynW(gLastTypes, ArgumentTypes(params).c_str(), 64);
        }
        WriteBackTexts(params);
        return DispatchObject::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
    });
}

STDMETHODIMP ShareProps::SetProperty(VARIANT* processId, VARIANT* name, VARIANT* value) {
    return Member([&] {
        if (!value) Raise(E_POINTER, L"A value is needed");
        const LONG pid = ProcessIdOf(processId);
        Bstr n = NameOf(name);
        const wchar_t* valueName = n.Get() ? n.Get() : L"";
        Variant v = Variant::CopyOf(*value);
        RegKey key;
        LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, KeyOf(pid).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Out(),
                                  nullptr);
        if (rc != ERROR_SUCCESS) Raise(HRESULT_FROM_WIN32(rc), L"Cannot store the property");
        if (IsMissing(v.Get())) {
            // SetProperty without a value forgets the process's own value.
            rc = RegDeleteValueW(key.Get(), valueName);
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
        } else {
            const std::wstring data = ToStored(*v.Get());
            rc = RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        }
        if (rc != ERROR_SUCCESS) Raise(HRESULT_FROM_WIN32(rc), L"Cannot store the property");
    });
}

STDMETHODIMP ShareProps::get_GetPropertyCalls(LONG* count) { return Member([&] { SetOut(count, static_cast<LONG>(gCalls)); }); }
STDMETHODIMP ShareProps::get_LastArgumentTypes(BSTR* types) {
    return Member([&] { SetOut(types, std::u16string_view(reinterpret_cast<const char16_t*>(gLastTypes))); });
}
STDMETHODIMP ShareProps::get_InstancesCreated(LONG* count) { return Member([&] { SetOut(count, static_cast<LONG>(gCreated)); }); }
STDMETHODIMP ShareProps::get_LiveInstances(LONG* count) { return Member([&] { SetOut(count, static_cast<LONG>(gLive)); }); }
STDMETHODIMP ShareProps::get_CurrentProcessId(LONG* pid) {
    return Member([&] { SetOut(pid, static_cast<LONG>(GetCurrentProcessId())); });
}

STDMETHODIMP ShareProps::FailGetProperty(LONG call, LONG hr, BSTR description) {
    return Member([&] {
        if (call < 0 || (call > 0 && SUCCEEDED(hr))) Raise(E_INVALIDARG, L"A failure is a failing HRESULT, some calls ahead");
        gFailureText = WideText(description);
        gFailure = hr;
        gFailIn = call;
    });
}

STDMETHODIMP TextValue::get_Value(BSTR* text) { return Member([&] { SetOut(text, text_); }); }
STDMETHODIMP TextValue::put_Value(BSTR text) { return Member([&] { text_ = View(text); }); }

}  // namespace testhost
