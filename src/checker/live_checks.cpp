// The objects themselves, as a client of this bitness meets them: created
// by CLSID and by ProgID, each dual interface answered, the type
// information, one harmless call per class, and the same call from another
// apartment through the proxy that the registered type library makes.
// A check whose keys or file were found wanting above does not run: its
// failure would only repeat that problem.
#include "checker/checks.h"
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/late_bound.h"
#include "frame/other_apartment.h"
#include "frame/typeinfo.h"

namespace vemo::check {
namespace {

using table::kClasses;
using table::kInterfaces;

// One harmless call per class: what it shows, and the call, which returns
// whether the answer was the expected one (a failed call raises ComError).
struct HarmlessCall {
    const wchar_t* shows;
    bool (*call)(IDispatch* object);
};

bool IniFileName(IDispatch* o) { return WideText(ToText(*Get(o, L"IniFileName").Get()).Get()) == L"DAZSystem.INI"; }
bool GetString(IDispatch* o) {
    Bstr text(L"a|b");
    return WideText(ToText(*Call(o, L"GetString", {Arg::Text(text.Get()), Arg::Long(2)}).Get()).Get()) == L"b";
}
bool EmptyCount(IDispatch* o) { return ToLong(*Get(o, L"Count").Get()) == 0; }
bool ToolTipRoundTrip(IDispatch* o) {
    Bstr text(L"VemoFunctionCheck");
    Put(o, L"ToolTip", Arg::Text(text.Get()));
    return WideText(ToText(*Get(o, L"ToolTip").Get()).Get()) == L"VemoFunctionCheck";
}

// In the order of the class table.
const HarmlessCall kCalls[] = {
    {L"IniFileName is \"DAZSystem.INI\"", &IniFileName},
    {L"GetString(\"a|b\", 2) is \"b\"", &GetString},
    {L"the Count of a new Btns is 0", &EmptyCount},
    {L"ToolTip reads back what was written", &ToolTipRoundTrip},
};
static_assert(sizeof kCalls / sizeof kCalls[0] == kClassCount);

// Runs the call; S_OK when it answered as expected, S_FALSE when it
// answered otherwise, the failure when it failed.
HRESULT Try(const HarmlessCall& h, IDispatch* object) {
    try {
        return h.call(object) ? S_OK : S_FALSE;
    } catch (const ComError& e) {
        return e.hr;
    }
}

// The class's current interface (not one of the older IIDs).
const table::InterfaceText& MainInterface(int i) {
    for (const table::InterfaceText& t : kInterfaces) {
        if (t.ofClass == i && !t.alias) return t;
    }
    return kInterfaces[0];
}

std::wstring Outcome(HRESULT hr) { return hr == S_FALSE ? L"another answer" : FailureText(hr); }

// The mend for an object that misbehaves although its keys are right: a
// DLL that is not this release.
std::wstring Reinstall(const Context& c) { return L"reinstall VemoFunction, or " + c.Register(); }

void CheckClassLive(Context& c, const Findings& f, int i) {
    const table::ClassText& k = kClasses[i];
    const std::wstring name = k.name;
    if (!f.classes[i].server) {
        c.report.NotRun(name + L": live checks", L"its in-process server above is not usable");
        return;
    }
    ComPtr<IUnknown> object;
    HRESULT hr = CoCreateInstance(Guid(k.clsid), nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.OutVoid());
    if (FAILED(hr)) {
        c.report.Problem(name + L": CoCreateInstance by CLSID fails: " + FailureText(hr), Reinstall(c));
        c.report.NotRun(name + L": the other live checks", L"they need an object");
        return;
    }
    c.report.Ok(name + L": created by CLSID " + k.clsid);

    if (!f.classes[i].progId) {
        c.report.NotRun(name + L": creation by ProgID " + k.progId, L"needs the ProgID above");
    } else {
        try {
            ComPtr<IDispatch> byName = CreateObject(k.progId);
            ComPtr<IUnknown> same;
            if (SUCCEEDED(byName.As(same, Guid(MainInterface(i).iid)))) c.report.Ok(name + L": created by ProgID " + k.progId);
            else c.report.Problem(name + L": ProgID " + k.progId + L" creates another class", c.Register());
        } catch (const ComError& e) {
            c.report.Problem(name + L": creation by ProgID " + k.progId + L" fails: " + FailureText(e.hr), Reinstall(c));
        }
    }

    for (const table::InterfaceText& t : kInterfaces) {
        if (t.ofClass != i) continue;
        ComPtr<IUnknown> dual;
        hr = object.As(dual, Guid(t.iid));
        if (SUCCEEDED(hr)) c.report.Ok(name + L": QueryInterface for " + t.name);
        else c.report.Problem(name + L": QueryInterface for " + t.name + L" fails: " + FailureText(hr), Reinstall(c));
    }

    ComPtr<IDispatch> dispatch;
    hr = object.As(dispatch, IID_IDispatch);
    const table::InterfaceText& main = MainInterface(i);
    ComPtr<ITypeInfo> info;
    TypeAttr attr;
    if (SUCCEEDED(hr)) hr = dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out());
    if (SUCCEEDED(hr)) hr = info->GetTypeAttr(attr.Out(info.Get()));
    if (FAILED(hr)) c.report.Problem(name + L": GetTypeInfo fails: " + FailureText(hr), Reinstall(c));
    else if (!IsEqualGUID(attr->guid, Guid(main.iid)))
        c.report.Problem(name + L": GetTypeInfo describes another interface than " + main.name, Reinstall(c));
    else c.report.Ok(name + L": GetTypeInfo describes " + main.name);

    const HarmlessCall& call = kCalls[i];
    hr = dispatch ? Try(call, dispatch.Get()) : E_NOINTERFACE;
    if (hr == S_OK) c.report.Ok(name + L": " + call.shows);
    else c.report.Problem(name + L": " + call.shows + L" fails: " + Outcome(hr), Reinstall(c));

    for (int j = 0; j < kInterfaceCount; ++j) {
        const table::InterfaceText& t = kInterfaces[j];
        if (t.ofClass != i) continue;
        const std::wstring what = name + L": the call through " + t.name + L" from another apartment";
        if (!f.interfaces[j]) {
            c.report.NotRun(what, L"needs the interface's key above");
            continue;
        }
        if (!f.typeLib) {
            c.report.NotRun(what, L"needs the type library's registration above");
            continue;
        }
        // Without them the marshaller cannot build the proxy (Wine 8's
        // crashes the process trying).
        if (!f.imports) {
            c.report.NotRun(what, L"needs the libraries that VemoFunction's refers to, above");
            continue;
        }
        HRESULT answered = E_FAIL;
        // The proxy of a dual interface is its IDispatch too.
        hr = InOtherApartment(object.Get(), Guid(t.iid), [&](IUnknown* proxy) {
            answered = Try(call, static_cast<IDispatch*>(static_cast<void*>(proxy)));
        });
        if (FAILED(hr)) c.report.Problem(what + L": marshalling fails: " + FailureText(hr), c.Register());
        else if (answered != S_OK) c.report.Problem(what + L" fails: " + Outcome(answered), c.Register());
        else c.report.Ok(what);
    }
}

}  // namespace

void CheckLive(Context& c, const Findings& f) {
    if (!f.registered) {
        c.report.NotRun(L"the other checks", L"nothing of VemoFunction is registered in " + c.view.Name());
        return;
    }
    if (!c.wine.empty() && c.options.scope == Scope::kUser) {
        c.report.NotRun(L"live checks (creation, QueryInterface, GetTypeInfo, calls, another apartment)",
                        L"not possible on this platform: Wine " + c.wine +
                            L"'s COM reads no per-user classes, so it cannot create an object registered for the user");
        return;
    }
    if (c.wine.empty() && c.options.scope == Scope::kMachine) {
        // Windows looks in the user's classes first: the objects would come
        // from the user's registration, not from the machine's.
        const ClassesView user(Scope::kUser, c.view.bits());
        for (const table::ClassText& k : kClasses) {
            if (!user.HasKey(std::wstring(L"CLSID\\") + k.clsid)) continue;
            c.report.NotRun(L"live checks of the machine's registration",
                            L"this user's own registration of VemoFunction comes first here (check it with /user)");
            return;
        }
    }
    for (int i = 0; i < kClassCount; ++i) CheckClassLive(c, f, i);
}

}  // namespace vemo::check
