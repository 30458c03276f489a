// IniFile: sections of named settings kept in the current user's profile,
// and the SQL pass-through to the host's data-access component.
#pragma once
#include "frame/dispatch_object.h"
#include "VemoFunction_h.h"

#include <string>

namespace vemo {

class IniFile : public DispatchObject<IniFile, _IniFile> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    HRESULT Initialize();

    STDMETHODIMP get_Keys(_Collection** result) override;
    STDMETHODIMP GetAllSet(BSTR section, _Collection** result) override;
    STDMETHODIMP GetSet(BSTR section, BSTR* key, VARIANT* defaultSetting, VARIANT* result) override;
    STDMETHODIMP SaveSet(BSTR* section, BSTR* key, VARIANT* setting, VARIANT_BOOL* result) override;
    STDMETHODIMP put_IniFileName(BSTR name) override;
    STDMETHODIMP get_IniFileName(BSTR* name) override;
    STDMETHODIMP ExecuteSQL(BSTR sql, _Recordset** result) override;
    STDMETHODIMP GetAllSetToDict(BSTR section, IPyxDictionary** result) override;

private:
    std::u16string iniFileName_;
    ComPtr<_Collection> keys_;  // owned for the object's life; GetAllSet refills it
};

}  // namespace vemo
