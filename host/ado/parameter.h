// Parameter and Parameters: the typed values of a command, in the order in
// which they are appended.
#pragma once
#include "ado_object.h"
#include "call_record.h"
#include "frame/auto_values.h"

#include <string>
#include <vector>

namespace adohost {

class Parameter : public AdoObject<Parameter, _Parameter> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP get_Value(VARIANT* value) override;
    STDMETHODIMP put_Value(VARIANT value) override;
    STDMETHODIMP get_Name(BSTR* value) override;
    STDMETHODIMP put_Name(BSTR value) override;
    STDMETHODIMP get_Type(LONG* value) override;
    STDMETHODIMP put_Type(LONG value) override;
    STDMETHODIMP get_Direction(LONG* value) override;
    STDMETHODIMP put_Direction(LONG value) override;
    STDMETHODIMP get_Size(LONG* value) override;
    STDMETHODIMP put_Size(LONG value) override;

    // Raise ADO's bad-arguments error for a type or direction it does not know.
    static void CheckType(long type);
    static void CheckDirection(long direction);

    std::wstring name;
    long type = 0;
    long direction = 1;
    long size = 0;
    vemo::Variant value;
    bool appended = false;
};

class ParameterList : public AdoObject<ParameterList, Parameters> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP get_Item(VARIANT index, _Parameter** value) override;
    STDMETHODIMP get_Count(LONG* value) override;
    STDMETHODIMP Append(IDispatch* object) override;
    STDMETHODIMP Delete(VARIANT index) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP _NewEnum(IUnknown** value) override;

    std::vector<ComPtr<Parameter>> items;
    // The command the list belongs to, as the record names it; null once
    // the command is gone.
    RecordName* owner = nullptr;

private:
    RecordName own_{L"Parameters"};
    size_t Find(const VARIANT& index) const;  // raises when not found
};

}  // namespace adohost
