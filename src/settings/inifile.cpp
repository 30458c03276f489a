#include "settings/inifile.h"
#include "collection/collection.h"
#include "frame/late_bound.h"
#include "frame/out_values.h"
#include "login_properties/mmts.h"
#include "settings/profile.h"
#include "util/text.h"

namespace vemo {

namespace {
// Older versions of the interface, aliases of _IniFile in the type library.
const IID kIniFileV0 = {0xA8CB2540, 0xE499, 0x11D5, {0x9F, 0xA9, 0x00, 0xE0, 0x4C, 0x54, 0xB3, 0xB6}};
const IID kIniFileV1 = {0xB7AD0309, 0xC0CB, 0x4506, {0xA7, 0x4F, 0x93, 0xD3, 0x7E, 0xEF, 0xD9, 0xC7}};
}  // namespace

// The current IID and the two older ones all reach the same interface.
const IID* const IniFile::kInterfaces[] = {&IID__IniFile, &kIniFileV0, &kIniFileV1, nullptr};
const wchar_t IniFile::kErrorSource[] = L"VemoFunction.IniFile";

HRESULT IniFile::Initialize() {
    HRESULT hr = Guarded([&] { keys_ = CreateCollection(); });
    if (FAILED(hr)) return hr;
    Bstr name(L"DAZSystem.INI");
    return put_IniFileName(name.Get());
}

STDMETHODIMP IniFile::put_IniFileName(BSTR name) {
    return Member([&] { iniFileName_ = View(name); });
}

STDMETHODIMP IniFile::get_IniFileName(BSTR* name) {
    return Member([&] { SetOut(name, iniFileName_); });
}

STDMETHODIMP IniFile::get_Keys(_Collection** result) {
    return Member([&] {
        RequireOut(result);
        *result = ComPtr<_Collection>(keys_).Detach();
    });
}

// The Keys collection emptied and refilled with the section's entries, in
// the dictionary's order; Nothing when the section is missing or anything
// fails (Keys then holds what was added before the failure).
STDMETHODIMP IniFile::GetAllSet(BSTR section, _Collection** result) {
    return Member([&] {
        RequireOut(result);
        *result = nullptr;
        ComPtr<_Collection> found;
        Trapped([&] {
            Variant first = Variant::Long(1);
            for (LONG n = 0; Check(keys_->Count(&n)), n > 0;) Check(keys_->Remove(first.Get()));
            SettingsProfile profile(iniFileName_, TrimSpaces(View(section)), false);
            if (!profile.section) return;
            LONG count = 0;
            Check(profile.section->get_EntryCount(&count));
            Variant missing = Variant::Missing();
            for (LONG i = 1; i <= count; ++i) {
                Bstr name;
                Check(profile.section->KeyAt(i, name.Out()));
                Variant value;
                Check(profile.section->ValueOf(name.Get(), value.Get()));
                Variant key = Variant::Text(std::move(name));
                // A name the collection already holds (case aside) fails here.
                Check(keys_->Add(value.Get(), key.Get(), missing.Get(), missing.Get()));
            }
            found = keys_;
        });
        *result = found.Detach();
    });
}

// The host's data-access component runs the SQL text for the login that the
// host's property string describes; this object only passes both on and
// hands back the recordset. Nothing is trapped, and the component (created
// for this call alone) is released on every path by its ComPtr.
STDMETHODIMP IniFile::ExecuteSQL(BSTR sql, _Recordset** result) {
    return Member([&] {
        RequireOut(result);
        *result = nullptr;
        ComPtr<IDispatch> data = CreateObject(L"Tally.GetData");
        Bstr props = MMTS::GetPropsString();
        // The component gets a copy of the text by reference.
        Bstr text(View(sql));
        Variant value = Call(data.Get(), L"ExecuteSQL", {Arg::Text(props.Get()), Arg::TextRef(text)});
        const VARIANT& v = *value.Get();
        const bool object = V_VT(&v) == VT_DISPATCH || V_VT(&v) == VT_UNKNOWN;
        if (object && !V_UNKNOWN(&v)) return;  // Nothing stays Nothing
        ComPtr<_Recordset> rs;
        if (!object || FAILED(V_UNKNOWN(&v)->QueryInterface(IID__Recordset, rs.OutVoid())) || !rs)
            Raise(ControlError(kErrTypeMismatch), L"The data-access component returned neither a recordset nor Nothing");
        *result = rs.Detach();
    });
}

// The stored value of the setting, or (when the profile cannot be read, the
// section is missing or not a dictionary) the caller's default unchanged.
STDMETHODIMP IniFile::GetSet(BSTR section, BSTR* key, VARIANT* defaultSetting, VARIANT* result) {
    return Member([&] {
        RequireOut(result);
        Variant fallback;
        if (defaultSetting) {
            Check(VariantCopyInd(fallback.Get(), defaultSetting));
        } else {  // an early-bound caller that leaves the default out: the empty text
            fallback = Variant::Text(u"");
        }
        Variant value;
        const bool read = Trapped([&] {
            SettingsProfile profile(iniFileName_, View(section), false);
            if (!profile.section) {
                Check(VariantCopy(value.Get(), fallback.Get()));
                return;
            }
            Bstr name(key ? View(*key) : std::u16string_view());
            Check(profile.section->Lookup(name.Get(), *fallback.Get(), value.Out()));
        });
        SetOut(result, read ? std::move(value) : std::move(fallback));
    });
}

// Stores a copy of the setting and saves the document. The answer is False
// whether or not the save succeeded.
STDMETHODIMP IniFile::SaveSet(BSTR* section, BSTR* key, VARIANT* setting, VARIANT_BOOL* result) {
    return Member([&] {
        RequireOut(result);
        *result = VARIANT_FALSE;
        Trapped([&] {
            if (!section || !key || !setting) Raise(E_POINTER, L"A section, a setting name and a value are needed");
            SettingsProfile profile(iniFileName_, View(*section), true);
            Bstr sectionName(View(*section));
            if (!profile.section) {
                ComPtr<IDispatch> created = CreateObject(L"Pyx.Dictionary");
                ComPtr<IPyxDictionary> dict;
                Check(created.As(dict, IID_IPyxDictionary), L"Pyx.Dictionary");
                Variant object = Variant::Object(created.Get());
                Check(profile.root->SetObject(sectionName.Get(), object.Get()));
                profile.section = dict;
            }
            Variant copy;
            Check(VariantCopyInd(copy.Get(), setting));
            Bstr name(View(*key));
            Check(profile.section->SetValue(name.Get(), copy.Get()));
            profile.Save();
        });
    });
}

// The live section dictionary under the trimmed name, or Nothing.
STDMETHODIMP IniFile::GetAllSetToDict(BSTR section, IPyxDictionary** result) {
    return Member([&] {
        RequireOut(result);
        *result = nullptr;
        ComPtr<IPyxDictionary> found;
        Trapped([&] {
            SettingsProfile profile(iniFileName_, TrimSpaces(View(section)), false);
            found = profile.section;
        });
        *result = found.Detach();
    });
}

}  // namespace vemo
