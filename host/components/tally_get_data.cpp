#include "tally_get_data.h"
#include "frame/late_bound.h"
#include "frame/out_values.h"
#include "caller_arguments.h"

#include <string>

namespace testhost {

using namespace vemo;

const IID* const TallyGetData::kInterfaces[] = {&IID_ITallyGetData, nullptr};
const wchar_t TallyGetData::kErrorSource[] = L"Tally.GetData";

namespace {

// What the last call of this process received, for tests of the callers
// (read from any apartment, written only by the calling thread).
struct Section {
    CRITICAL_SECTION cs;
    Section() { InitializeCriticalSection(&cs); }
};
CRITICAL_SECTION* Lock() {
    static Section section;
    return &section.cs;
}
std::u16string gLastSql;
std::wstring gLastTypes;
volatile LONG gLive = 0;
// The answer a test set for the next call, and whether one is set.
vemo::Variant gAnswer;
bool gAnswering = false;

struct Locked {
    Locked() { EnterCriticalSection(Lock()); }
    ~Locked() { LeaveCriticalSection(Lock()); }
};

bool Blank(std::u16string_view text) {
    for (char16_t c : text)
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
    return true;
}


}  // namespace

TallyGetData::TallyGetData() { InterlockedIncrement(&gLive); }
TallyGetData::~TallyGetData() { InterlockedDecrement(&gLive); }

// Late-bound calls of ExecuteSQL record the types of their arguments as the
// caller sent them (the argument array holds them last first).
STDMETHODIMP TallyGetData::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* excep, UINT* argErr) noexcept {
    return Sealed([&] {
        if (id == 1) {
            std::wstring types = ArgumentTypes(params);
            Locked lock;
            gLastTypes = std::move(types);
        }
        WriteBackTexts(params);
        return DispatchObject::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
    });
}

// The recordset of the text, or Nothing when it yields no rows (a blank text
// runs nothing), or the answer a test set. The text is recorded before
// anything can fail.
STDMETHODIMP TallyGetData::ExecuteSQL(VARIANT* propsString, VARIANT* sql, VARIANT* result) {
    return Member([&] {
        RequireOut(result);
        if (!propsString || !sql) Raise(E_POINTER, L"A property string and an SQL text are needed");
        Bstr text = ToText(*sql);
        Variant answer;
        bool answering = false;
        {
            Locked lock;
            gLastSql = std::u16string(text.View());
            std::swap(answering, gAnswering);
            std::swap(answer, gAnswer);
        }
        if (answering) {
            SetOut(result, std::move(answer));
            return;
        }
        Bstr login = ToText(*propsString);
        if (login.View().empty()) Raise(E_INVALIDARG, L"No login: the property string is empty");
        if (Blank(text.View())) {
            SetOut(result, Variant::Nothing());
            return;
        }
        // Released on every path; releasing an open connection disconnects.
        ComPtr<IDispatch> connection = CreateObject(L"ADODB.Connection");
        Call(connection.Get(), L"Open", {Arg::Text(login.Get())});
        Variant rows = Call(connection.Get(), L"Execute", {Arg::Text(text.Get())});
        Call(connection.Get(), L"Close");
        // A statement without a result set gives a closed recordset.
        if (!IsObject(*rows.Get()) || !V_UNKNOWN(rows.Get()) ||
            ToLong(*Get(AsObject(*rows.Get()).Get(), L"State").Get()) == 0) {
            SetOut(result, Variant::Nothing());
            return;
        }
        SetOut(result, std::move(rows));
    });
}

STDMETHODIMP TallyGetData::get_LastSql(BSTR* sql) {
    return Member([&] {
        Locked lock;
        SetOut(sql, gLastSql);
    });
}

STDMETHODIMP TallyGetData::get_LastArgumentTypes(BSTR* types) {
    return Member([&] {
        Locked lock;
        SetOut(types, Utf16(gLastTypes));
    });
}

STDMETHODIMP TallyGetData::AnswerNext(VARIANT value) {
    return Member([&] {
        Variant copy = Variant::CopyOf(value);
        Locked lock;
        std::swap(gAnswer, copy);
        gAnswering = true;
    });
}

STDMETHODIMP TallyGetData::get_LiveInstances(LONG* count) { return Member([&] { SetOut(count, static_cast<LONG>(gLive)); }); }

}  // namespace testhost
