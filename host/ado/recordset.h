// Recordset, Fields and Field over a result read completely into memory.
// As under ADO, a server cursor (the default) is forward-only with
// RecordCount -1, and a client cursor knows its count; BOF is true only for
// an empty result. A Field reads the recordset's current row, so a Field held
// across MoveNext shows the next row's value, as in ADO.
#pragma once
#include "ado_object.h"
#include "call_record.h"
#include "odbc.h"

#include <memory>

namespace adohost {

class Recordset : public AdoObject<Recordset, _Recordset> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    // An open recordset over `rows`; a closed one when `rows` is null (a
    // statement without a result set).
    static ComPtr<_Recordset> Over(std::shared_ptr<RowSet> rows, bool clientCursor);
    ~Recordset() override;

    STDMETHODIMP get_RecordCount(LONG* value) override;
    STDMETHODIMP get_Fields(::Fields** value) override;
    STDMETHODIMP get_EOF(VARIANT_BOOL* value) override;
    STDMETHODIMP get_BOF(VARIANT_BOOL* value) override;
    STDMETHODIMP MoveNext() override;
    STDMETHODIMP get_State(LONG* value) override;
    STDMETHODIMP Close() override;
    STDMETHODIMP get_CursorLocation(LONG* value) override;

    // For Fields and Field: raise when closed, or when there is no current row.
    const RowSet& OpenRows() const;
    const std::vector<vemo::Variant>& CurrentRow() const;
    RecordName& Record() { return record_; }

private:
    std::shared_ptr<RowSet> rows_;
    size_t position_ = 0;
    bool client_ = false;
    RecordName record_{L"Recordset"};
};

class FieldList : public AdoObject<FieldList, ::Fields> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];
    explicit FieldList(ComPtr<Recordset> owner) : owner_(std::move(owner)) {}

    STDMETHODIMP get_Item(VARIANT index, ::Field** value) override;
    STDMETHODIMP get_Count(LONG* value) override;
    STDMETHODIMP _NewEnum(IUnknown** value) override;

private:
    ComPtr<Recordset> owner_;
};

class FieldObject : public AdoObject<FieldObject, ::Field> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];
    FieldObject(ComPtr<Recordset> owner, size_t column) : owner_(std::move(owner)), column_(column) {}

    STDMETHODIMP get_Value(VARIANT* value) override;
    STDMETHODIMP get_Name(BSTR* value) override;
    STDMETHODIMP get_Type(LONG* value) override;

private:
    ComPtr<Recordset> owner_;
    size_t column_;
};

}  // namespace adohost
