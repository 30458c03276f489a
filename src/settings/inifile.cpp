#include "settings/inifile.h"
#include "frame/out_values.h"

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
    Bstr name(L"DAZSystem.INI");
    return put_IniFileName(name.Get());
}

STDMETHODIMP IniFile::put_IniFileName(BSTR name) {
    return Member([&] { iniFileName_ = View(name); });
}

STDMETHODIMP IniFile::get_IniFileName(BSTR* name) {
    return Member([&] { SetOut(name, iniFileName_); });
}

STDMETHODIMP IniFile::get_Keys(_Collection**) { return Member([] { RaiseNotAvailable(L"IniFile.Keys"); }); }
STDMETHODIMP IniFile::GetAllSet(BSTR, _Collection**) { return Member([] { RaiseNotAvailable(L"IniFile.GetAllSet"); }); }
STDMETHODIMP IniFile::GetSet(BSTR, BSTR*, VARIANT*, VARIANT*) { return Member([] { RaiseNotAvailable(L"IniFile.GetSet"); }); }
STDMETHODIMP IniFile::SaveSet(BSTR*, BSTR*, VARIANT*, VARIANT_BOOL*) { return Member([] { RaiseNotAvailable(L"IniFile.SaveSet"); }); }
STDMETHODIMP IniFile::ExecuteSQL(BSTR, _Recordset**) { return Member([] { RaiseNotAvailable(L"IniFile.ExecuteSQL"); }); }
STDMETHODIMP IniFile::GetAllSetToDict(BSTR, IPyxDictionary**) { return Member([] { RaiseNotAvailable(L"IniFile.GetAllSetToDict"); }); }

}  // namespace vemo
