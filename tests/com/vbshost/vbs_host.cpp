// A script host for the VBScript tests. It runs one script in the VBScript
// engine inside its own process, so that once the engine has closed and let
// go of every script variable it can ask the library and the test host's
// DLLs whether anything of theirs is still alive; cscript cannot be asked.
// The script sees a WScript object with Echo and Quit, as under cscript, and
// Retain, which keeps a value until after the check: the control case that
// shows the check sees a live object.
// Usage: vbs_host SCRIPT.vbs
// With VEMO_VBS_ACTCTX naming a manifest (a Windows path), the script runs in
// the activation context made from it: the classes it names need no
// registration. There is no leak check then: Wine looks for a class in the
// activation context before the registered factories, so the engine keeps
// the DLL's own factory and the stand-ins below cannot take its place.
// Exit code: the script's WScript.Quit code; 1000 for a script error, 1001
// when a DLL still has live objects after the script (also printed as a line
// "LEAK: ..."), 1002 when the host cannot run the script.
#include <windows.h>
#include <activscp.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_dispatch.h"
#include "frame/auto_values.h"
#include "frame/com_object.h"

namespace {

const CLSID kVBScript = {0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};
// The DLLs whose objects scripts create: the library and the test host's.
const wchar_t* const kCheckedDlls[] = {L"VemoFunction.dll", L"AdoHost.dll", L"TestHost.dll"};
// The classes scripts create, of the DLLs above.
const wchar_t* const kScriptClasses[] = {
    L"VemoFunction.VemoFuns", L"VemoFunction.IniFile", L"VemoFunction.Btns", L"VemoFunction.Btn",
    L"ADODB.Connection", L"ADODB.Command", L"ADODB.Recordset", L"Pyx.Dictionary", L"QelBase.UserProfile",
    L"Trellis.ShareProps", L"Tally.GetData", L"TestHost.TextValue", L"AdoHost.CallRecord"};
// Returned by WScript.Quit to end the script; not reported as an error.
const HRESULT kQuit = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x2001);

void PrintLine(const std::wstring& text) {
    std::wstring line = text + L"\r\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

std::wstring TextOf(const VARIANT& v) {
    VARIANT text;
    VariantInit(&text);
    std::wstring out;
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&v), VARIANT_ALPHABOOL, VT_BSTR)))
        out.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    VariantClear(&text);
    return out;
}

class Site : public vemo::ScopedComObject<Site, IActiveScriptSite> {
public:
    explicit Site(IDispatch* wscript) : wscript_(wscript) {}
    bool quitting = false;
    bool failed = false;

    STDMETHODIMP GetLCID(LCID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override {
        if (item) *item = nullptr;
        if (info) *info = nullptr;
        if (_wcsicmp(name, L"WScript") != 0) return TYPE_E_ELEMENTNOTFOUND;
        if (mask & SCRIPTINFO_ITYPEINFO) return TYPE_E_ELEMENTNOTFOUND;
        if ((mask & SCRIPTINFO_IUNKNOWN) && item) {
            wscript_->AddRef();
            *item = wscript_;
        }
        return S_OK;
    }
    STDMETHODIMP GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override {
        vemo::ExcepInfo excep;
        error->GetExceptionInfo(excep.Get());
        const EXCEPINFO& info = excep.Filled();
        bool quit = quitting && (info.scode == kQuit || info.scode == 0);
        if (!quit) {
            DWORD context = 0;
            ULONG line = 0;
            LONG column = 0;
            error->GetSourcePosition(&context, &line, &column);
            wchar_t where[64];
            swprintf(where, 64, L"script error at line %lu: 0x%08lx ", line + 1,
                     static_cast<unsigned long>(info.scode ? info.scode : info.wCode));
            PrintLine(where + std::wstring(info.bstrDescription ? info.bstrDescription : L""));
            failed = true;
        }
        return S_OK;
    }
    STDMETHODIMP OnEnterScript() override { return S_OK; }
    STDMETHODIMP OnLeaveScript() override { return S_OK; }

private:
    IDispatch* wscript_;
};

// Wine's VBScript keeps a reference to the class factory of every
// CreateObject call, and the DLLs count their factories as live objects. So
// the host registers a stand-in factory of its own for each class: it passes
// CreateInstance on to the DLL's factory, which the host lets go before the
// check; the check then sees the DLLs' objects alone. The stand-ins live
// until the process ends (the engine's leaked references point at them).
class StandInFactory : public vemo::ScopedComObject<StandInFactory, IClassFactory> {
public:
    explicit StandInFactory(IClassFactory* real) : real_(real) {}
    void Revoke() {
        if (cookie_) CoRevokeClassObject(cookie_);
        cookie_ = 0;
        if (real_) real_->Release();
        real_ = nullptr;
    }
    bool Register(REFCLSID clsid) {
        return SUCCEEDED(CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!real_) return CO_E_OBJNOTCONNECTED;
        return real_->CreateInstance(outer, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override { return real_ ? real_->LockServer(lock) : S_OK; }

private:
    IClassFactory* real_;
    DWORD cookie_ = 0;
};

std::vector<StandInFactory*> RegisterStandIns() {
    std::vector<StandInFactory*> standIns;
    for (const wchar_t* progid : kScriptClasses) {
        CLSID clsid;
        IClassFactory* real = nullptr;
        if (FAILED(CLSIDFromProgID(progid, &clsid)) ||
            FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                    reinterpret_cast<void**>(&real))))
            continue;  // not registered in this prefix
        auto* standIn = new StandInFactory(real);
        if (standIn->Register(clsid)) standIns.push_back(standIn);
        else standIn->Revoke();
    }
    return standIns;
}

bool ReadScript(const wchar_t* path, std::wstring& text) {
    FILE* f = _wfopen(path, L"rb");
    if (!f) return false;
    std::string bytes;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
    fclose(f);
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.assign(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return true;
}

// Runs the script to its end; false when the engine could not be started.
bool RunScript(const std::wstring& text, Site& site) {
    IActiveScript* engine = nullptr;
    if (FAILED(CoCreateInstance(kVBScript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                reinterpret_cast<void**>(&engine))))
        return false;
    IActiveScriptParse* parser = nullptr;
    bool started = SUCCEEDED(engine->QueryInterface(__uuidof(IActiveScriptParse), reinterpret_cast<void**>(&parser))) &&
                   SUCCEEDED(engine->SetScriptSite(&site)) && SUCCEEDED(parser->InitNew()) &&
                   SUCCEEDED(engine->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE));
    if (started) {
        vemo::ExcepInfo info;
        parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, info.Get());
        engine->SetScriptState(SCRIPTSTATE_CONNECTED);
    }
    // Close lets go of every script variable and named item.
    engine->Close();
    if (parser) parser->Release();
    engine->Release();
    return started;
}

int LeakedDlls() {
    int leaked = 0;
    for (const wchar_t* name : kCheckedDlls) {
        HMODULE dll = GetModuleHandleW(name);
        if (!dll) continue;
        auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(dll, "DllCanUnloadNow"));
        if (canUnloadNow && canUnloadNow() != S_OK) {
            PrintLine(std::wstring(L"LEAK: objects of ") + name + L" outlived the script");
            ++leaked;
        }
    }
    return leaked;
}

enum class Context { kNone, kActive, kFailed };

// Activates the manifest named by VEMO_VBS_ACTCTX for the rest of the process.
Context ActivateManifest() {
    wchar_t path[1024];
    DWORD n = GetEnvironmentVariableW(L"VEMO_VBS_ACTCTX", path, 1024);
    if (!n) return Context::kNone;
    if (n >= 1024) return Context::kFailed;
    ACTCTXW ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.lpSource = path;
    HANDLE context = CreateActCtxW(&ctx);
    ULONG_PTR cookie = 0;
    return context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie) ? Context::kActive : Context::kFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: vbs_host SCRIPT.vbs\n");
        return 1002;
    }
    std::wstring text;
    if (!ReadScript(argv[1], text)) {
        fprintf(stderr, "cannot read the script\n");
        return 1002;
    }
    const Context context = ActivateManifest();
    if (context == Context::kFailed) {
        fprintf(stderr, "cannot activate the manifest of VEMO_VBS_ACTCTX: error %lu\n", GetLastError());
        return 1002;
    }
    if (FAILED(CoInitialize(nullptr))) return 1002;
    int exitCode = 0;
    int result = 0;
    std::vector<VARIANT> retained;
    {
        Site* siteRef = nullptr;
        FakeObject wscript;
        wscript.On(L"Echo", [](WORD, const std::vector<VARIANT>& args, VARIANT*) {
            std::wstring line;
            for (size_t i = 0; i < args.size(); ++i) line += (i ? L" " : L"") + TextOf(args[i]);
            PrintLine(line);
            return S_OK;
        });
        wscript.On(L"Quit", [&](WORD, const std::vector<VARIANT>& args, VARIANT*) {
            VARIANT code;
            VariantInit(&code);
            if (!args.empty() && SUCCEEDED(VariantChangeType(&code, const_cast<VARIANT*>(&args[0]), 0, VT_I4)))
                exitCode = V_I4(&code);
            siteRef->quitting = true;
            return kQuit;
        });
        wscript.On(L"Retain", [&](WORD, const std::vector<VARIANT>& args, VARIANT*) {
            for (const VARIANT& v : args) {
                retained.emplace_back();
                VariantInit(&retained.back());
                VariantCopyInd(&retained.back(), const_cast<VARIANT*>(&v));
            }
            return S_OK;
        });
        Site site(&wscript);
        siteRef = &site;
        std::vector<StandInFactory*> standIns = RegisterStandIns();
        bool ran = RunScript(text, site);
        for (StandInFactory* standIn : standIns) standIn->Revoke();
        if (!ran) {
            fprintf(stderr, "the VBScript engine cannot be started\n");
            result = 1002;
        } else if (site.failed) {
            result = 1000;
        } else {
            result = exitCode;
        }
        if (wscript.References() != 1) PrintLine(L"the engine kept the WScript object");
    }
    if (context == Context::kNone && LeakedDlls()) result = 1001;
    for (VARIANT& v : retained) VariantClear(&v);
    CoUninitialize();
    return result;
}
