#include "connection.h"
#include "ado_errors.h"
#include "connection_string.h"
#include "execute.h"
#include "jet.h"
#include "recordset.h"
#include "session_pool.h"
#include "frame/out_values.h"

#include <cwchar>

namespace adohost {

using vemo::SetOut;

const IID* const Connection::kInterfaces[] = {&IID__Connection, nullptr};
const wchar_t Connection::kErrorSource[] = L"ADODB.Connection";

namespace {

bool IsOdbcProvider(const std::wstring& provider) {
    return provider.empty() || SameKey(provider, L"MSDASQL") || SameKey(provider, L"MSDASQL.1");
}

// A value in ODBC's form: braced when it holds a ';' and is not braced yet.
std::wstring OdbcValue(const std::wstring& v) {
    if (v.size() >= 2 && v.front() == L'{' && v.back() == L'}') return v;
    if (v.find(L';') == std::wstring::npos && (v.empty() || v.front() != L'{')) return v;
    std::wstring out = L"{";
    for (wchar_t c : v) {
        if (c == L'}') out += L'}';
        out += c;
    }
    return out + L"}";
}

// The ODBC connection string of an MSDASQL connection string: ADO's names
// of the common properties become ODBC's, Extended Properties is the
// driver's own string, and an explicit user or password wins.
std::wstring OdbcString(const ConnectionProperties& props, const std::wstring& user, const std::wstring& password) {
    std::wstring out;
    auto add = [&](const std::wstring& key, const std::wstring& value) {
        if ((!user.empty() && SameKey(key, L"UID")) || (!password.empty() && SameKey(key, L"PWD"))) return;
        out += key + L"=" + OdbcValue(value) + L";";
    };
    for (const ConnectionProperty& p : props) {
        if (SameKey(p.key, L"Provider") || SameKey(p.key, L"Persist Security Info") ||
            SameKey(p.key, L"Connect Timeout"))
            continue;
        if (SameKey(p.key, L"Extended Properties")) {
            for (const ConnectionProperty& q : ParseConnectionString(p.value)) add(q.key, q.value);
        } else if (SameKey(p.key, L"Data Source")) {
            add(L"DSN", p.value);
        } else if (SameKey(p.key, L"User ID")) {
            add(L"UID", p.value);
        } else if (SameKey(p.key, L"Password")) {
            add(L"PWD", p.value);
        } else if (SameKey(p.key, L"Initial Catalog")) {
            add(L"DATABASE", p.value);
        } else {
            add(p.key, p.value);
        }
    }
    if (!user.empty()) out += L"UID=" + OdbcValue(user) + L";";
    if (!password.empty()) out += L"PWD=" + OdbcValue(password) + L";";
    return out;
}

bool IsTrue(const std::wstring* v) { return v && (SameKey(*v, L"True") || SameKey(*v, L"Yes") || *v == L"1"); }

// An ODBC connection string without its password, as an open connection
// shows it unless Persist Security Info is true.
std::wstring WithoutPassword(const std::wstring& odbc) {
    std::wstring out;
    try {
        for (const ConnectionProperty& p : ParseConnectionString(odbc))
            if (!SameKey(p.key, L"PWD") && !SameKey(p.key, L"Password")) out += p.key + L"=" + OdbcValue(p.value) + L";";
    } catch (...) {
        return std::wstring();  // a driver's text we cannot read keeps nothing
    }
    return out;
}

// A time-out in seconds as ADO takes it: 0 for none, never negative.
long CheckedTimeout(long seconds) {
    if (seconds < 0) RaiseAdo(kBadArguments);
    return seconds;
}

}  // namespace

Connection::~Connection() {
    RecordedCall(record_, L"Release").Word(open_ ? L"open" : L"closed");
    EndSession();
}

void Connection::EndSession() {
    if (session_) ReturnToPool(poolKey_, std::move(session_));
    session_.reset();
    open_ = false;
}

void Connection::OpenText(const std::wstring& text, const std::wstring& user, const std::wstring& password) {
    if (open_) RaiseAdo(kObjectOpen);
    ConnectionProperties props = ParseConnectionString(text);
    const std::wstring* named = FindProperty(props, L"Provider");
    const std::wstring provider = named ? *named : std::wstring();
    JetProvider jet = JetProviderNamed(provider);
    if (jet != JetProvider::None) {
        if (!user.empty()) props.push_back({L"User ID", user});
        text_ = OpenJet(jet, props);
        provider_ = jet == JetProvider::Jet351 ? L"Microsoft.Jet.OLEDB.3.51" : L"Microsoft.Jet.OLEDB.4.0";
        open_ = true;
        return;
    }
    if (!IsOdbcProvider(provider)) RaiseAdo(kProviderNotFound);
    // The login time-out: the text's Connect Timeout (the OLE DB name of
    // the property), else ConnectionTimeout.
    textTimeout_ = -1;
    if (const std::wstring* t = FindProperty(props, L"Connect Timeout")) {
        wchar_t* end = nullptr;
        long v = std::wcstol(t->c_str(), &end, 10);
        if (t->empty() || *end || v < 0) RaiseAdo(kBadArguments);
        textTimeout_ = v;
    }
    persist_ = IsTrue(FindProperty(props, L"Persist Security Info"));
    OpenOdbc(OdbcString(props, user, password));
}

void Connection::OpenOdbc(const std::wstring& odbc) {
    // The probe waits as long as a statement of this connection would: the
    // driver then keeps one statement time-out for both (it sets the
    // server's anew, in a round trip of its own, whenever it changes).
    std::unique_ptr<OdbcSession> session = TakePooledSession(odbc, commandTimeout_);
    if (!session) session = std::make_unique<OdbcSession>(odbc, textTimeout_ >= 0 ? textTimeout_ : connectionTimeout_);
    // ADO's form for a connection through the ODBC provider; it opens again
    // as it stands, without the password unless the text asked to keep it.
    const std::wstring& completed = session->CompletedString();
    text_ = L"Provider=MSDASQL.1;Extended Properties=" + AdoQuoted(persist_ ? completed : WithoutPassword(completed));
    poolKey_ = odbc;
    reopenable_ = true;
    provider_ = L"MSDASQL.1";
    session_ = std::move(session);
    open_ = true;
}

OdbcSession& Connection::Session() {
    if (!open_) RaiseAdo(kConnectionUnusable);
    if (!session_) RaiseProvider(L"The test host has no Jet engine: an Access connection runs no statements.");
    return *session_;
}

STDMETHODIMP Connection::get_ConnectionString(BSTR* out) { return Member([&] { SetOut(out, vemo::Utf16(text_)); }); }

STDMETHODIMP Connection::put_ConnectionString(BSTR value) {
    return Member([&] {
        if (open_) RaiseAdo(kObjectOpen);
        text_ = vemo::WideText(value);
        reopenable_ = false;
    });
}

STDMETHODIMP Connection::get_State(LONG* out) { return Member([&] { SetOut(out, open_ ? 1L : 0L); }); }

STDMETHODIMP Connection::Open(BSTR connectionString, BSTR userId, BSTR password, LONG options) {
    return Member([&] {
        RecordedCall call(record_, L"Open");
        call.Text(connectionString).Text(userId).Text(password).Number(options);
        if (open_) RaiseAdo(kObjectOpen);
        std::wstring text = vemo::WideText(connectionString);
        if (text.empty() && reopenable_ && SysStringLen(userId) == 0 && SysStringLen(password) == 0) {
            // Open again after Close: with the text and credentials it was
            // opened with, which ConnectionString no longer shows in full.
            OpenOdbc(poolKey_);
            return;
        }
        if (!text.empty()) text_ = text;
        reopenable_ = false;
        OpenText(text_, vemo::WideText(userId), vemo::WideText(password));
    });
}

STDMETHODIMP Connection::Close() {
    return Member([&] {
        RecordedCall call(record_, L"Close");
        if (!open_) RaiseAdo(kObjectClosed);
        EndSession();
    });
}

STDMETHODIMP Connection::Execute(BSTR commandText, VARIANT* recordsAffected, LONG options, _Recordset** result) {
    return Member([&] {
        vemo::RequireOut(result);
        *result = nullptr;
        RecordedCall call(record_, L"Execute");
        call.Text(commandText).Number(options);
        if (!vemo::IsMissing(recordsAffected)) call.Word(L"records affected");
        OdbcSession& session = Session();
        long kind = EffectiveKind(options, adCmdText);
        ComPtr<_Recordset> rs =
            RunCommand(session, vemo::WideText(commandText), kind, {}, recordsAffected, commandTimeout_, ClientCursor());
        if (options == adCmdUnspecified || !(options & adExecuteNoRecords)) {
            call.Made(static_cast<Recordset*>(rs.Get())->Record());
            *result = rs.Detach();
        }
    });
}

STDMETHODIMP Connection::get_Provider(BSTR* out) { return Member([&] { SetOut(out, vemo::Utf16(provider_)); }); }

STDMETHODIMP Connection::get_ConnectionTimeout(LONG* out) { return Member([&] { SetOut(out, LONG(connectionTimeout_)); }); }

STDMETHODIMP Connection::put_ConnectionTimeout(LONG value) {
    return Member([&] {
        if (open_) RaiseAdo(kObjectOpen);
        connectionTimeout_ = CheckedTimeout(value);
    });
}

STDMETHODIMP Connection::get_CommandTimeout(LONG* out) { return Member([&] { SetOut(out, LONG(commandTimeout_)); }); }

STDMETHODIMP Connection::put_CommandTimeout(LONG value) {
    return Member([&] { commandTimeout_ = CheckedTimeout(value); });
}

STDMETHODIMP Connection::get_CursorLocation(LONG* out) { return Member([&] { SetOut(out, LONG(cursorLocation_)); }); }

STDMETHODIMP Connection::put_CursorLocation(LONG value) {
    return Member([&] {
        if (value != kUseServer && value != kUseClient) RaiseAdo(kBadArguments);
        cursorLocation_ = value;
    });
}

}  // namespace adohost
