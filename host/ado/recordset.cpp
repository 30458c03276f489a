#include "recordset.h"
#include "ado_errors.h"
#include "connection_string.h"
#include "frame/enum_variant.h"
#include "frame/out_values.h"

namespace adohost {

using vemo::SetOut;

const IID* const Recordset::kInterfaces[] = {&IID__Recordset, nullptr};
const wchar_t Recordset::kErrorSource[] = L"ADODB.Recordset";
const IID* const FieldList::kInterfaces[] = {&IID_Fields, nullptr};
const wchar_t FieldList::kErrorSource[] = L"ADODB.Fields";
const IID* const FieldObject::kInterfaces[] = {&IID_Field, nullptr};
const wchar_t FieldObject::kErrorSource[] = L"ADODB.Field";

namespace {

ComPtr<::Field> NewField(const ComPtr<Recordset>& owner, size_t column) {
    ComPtr<::Field> f;
    vemo::Check(FieldObject::CreateInstance(IID_Field, f.OutVoid(), owner, column));
    return f;
}

}  // namespace

ComPtr<_Recordset> Recordset::Over(std::shared_ptr<RowSet> rows, bool clientCursor) {
    ComPtr<_Recordset> rs = New();
    static_cast<Recordset*>(rs.Get())->rows_ = std::move(rows);
    static_cast<Recordset*>(rs.Get())->client_ = clientCursor;
    return rs;
}

Recordset::~Recordset() { RecordedCall(record_, L"Release").Word(rows_ ? L"open" : L"closed"); }

const RowSet& Recordset::OpenRows() const {
    if (!rows_) RaiseAdo(kObjectClosed);
    return *rows_;
}

const std::vector<vemo::Variant>& Recordset::CurrentRow() const {
    const RowSet& rows = OpenRows();
    if (position_ >= rows.rows.size()) RaiseAdo(kNoCurrentRecord);
    return rows.rows[position_];
}

STDMETHODIMP Recordset::get_RecordCount(LONG* out) {
    return Member([&] {
        const RowSet& rows = OpenRows();
        SetOut(out, client_ ? static_cast<LONG>(rows.rows.size()) : -1L);
    });
}

STDMETHODIMP Recordset::get_Fields(::Fields** out) {
    return Member([&] {
        vemo::RequireOut(out);
        *out = nullptr;
        OpenRows();
        ComPtr<::Fields> f;
        vemo::Check(FieldList::CreateInstance(IID_Fields, f.OutVoid(), ComPtr<Recordset>(this)));
        *out = f.Detach();
    });
}

STDMETHODIMP Recordset::get_EOF(VARIANT_BOOL* out) {
    return Member([&] {
        bool eof = position_ >= OpenRows().rows.size();
        SetOut(out, static_cast<VARIANT_BOOL>(eof ? VARIANT_TRUE : VARIANT_FALSE));
    });
}

STDMETHODIMP Recordset::get_BOF(VARIANT_BOOL* out) {
    return Member([&] {
        bool bof = OpenRows().rows.empty();
        SetOut(out, static_cast<VARIANT_BOOL>(bof ? VARIANT_TRUE : VARIANT_FALSE));
    });
}

STDMETHODIMP Recordset::MoveNext() {
    return Member([&] {
        CurrentRow();
        ++position_;
    });
}

STDMETHODIMP Recordset::get_State(LONG* out) { return Member([&] { SetOut(out, rows_ ? 1L : 0L); }); }

STDMETHODIMP Recordset::Close() {
    return Member([&] {
        RecordedCall call(record_, L"Close");
        OpenRows();
        rows_.reset();
        position_ = 0;
    });
}

STDMETHODIMP Recordset::get_CursorLocation(LONG* out) {
    return Member([&] { SetOut(out, client_ ? 3L : 2L); });
}

STDMETHODIMP FieldList::get_Item(VARIANT index, ::Field** out) {
    return Member([&] {
        vemo::RequireOut(out);
        *out = nullptr;
        const RowSet& rows = owner_->OpenRows();
        const VARIANT* v = vemo::Deref(&index);
        size_t column = rows.columns.size();
        if (V_VT(v) == VT_BSTR) {
            const std::wstring name = vemo::WideText(V_BSTR(v));
            for (size_t i = 0; i < rows.columns.size() && column == rows.columns.size(); ++i)
                if (SameKey(rows.columns[i].name, name.c_str())) column = i;
        } else {
            vemo::Variant n;
            if (SUCCEEDED(VariantChangeType(n.Get(), const_cast<VARIANT*>(v), 0, VT_I4)) && V_I4(n.Get()) >= 0)
                column = static_cast<size_t>(V_I4(n.Get()));
        }
        if (column >= rows.columns.size()) RaiseAdo(kItemNotFound);
        *out = NewField(owner_, column).Detach();
    });
}

STDMETHODIMP FieldList::get_Count(LONG* out) {
    return Member([&] { SetOut(out, static_cast<LONG>(owner_->OpenRows().columns.size())); });
}

STDMETHODIMP FieldList::_NewEnum(IUnknown** out) {
    return Member([&] {
        vemo::RequireOut(out);
        std::vector<vemo::Variant> values;
        for (size_t i = 0; i < owner_->OpenRows().columns.size(); ++i) {
            values.push_back(vemo::Variant::Object(NewField(owner_, i).Get()));
        }
        *out = vemo::NewEnumerator(vemo::Snapshot(std::move(values))).Detach();
    });
}

STDMETHODIMP FieldObject::get_Value(VARIANT* out) {
    return Member([&] {
        vemo::RequireOut(out);
        VariantInit(out);
        vemo::Check(VariantCopy(out, const_cast<VARIANT*>(owner_->CurrentRow()[column_].Get())));
    });
}

STDMETHODIMP FieldObject::get_Name(BSTR* out) {
    return Member([&] {
        const std::wstring& name = owner_->OpenRows().columns[column_].name;
        SetOut(out, vemo::Utf16(name));
    });
}

STDMETHODIMP FieldObject::get_Type(LONG* out) {
    return Member([&] { SetOut(out, static_cast<LONG>(owner_->OpenRows().columns[column_].type)); });
}

}  // namespace adohost
