#include "checker/checks.h"
#include "checker/server_file.h"
#include "frame/auto_values.h"
#include "frame/com_ptr.h"

#include <objbase.h>
#include <oleauto.h>
#include <cwchar>

namespace vemo::check {

namespace {

std::wstring BesideChecker() {
    wchar_t self[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    if (!n || n >= MAX_PATH * 2) return {};
    std::wstring path(self, n);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + table::kDllName;
    return FileExists(path) && PeBits(path) == OwnBits() && FileVersion(path) == table::kAssemblyVersion
               ? path
               : std::wstring();
}

std::wstring RegisteredServer(const ClassesView& view) {
    for (const table::ClassText& c : table::kClasses) {
        auto server = view.Text(std::wstring(L"CLSID\\") + c.clsid + L"\\InprocServer32");
        if (!server || server->empty()) continue;
        const std::wstring path = FilePath(*server);
        if (FileExists(path) && PeBits(path) == view.bits() && FileVersion(path) == table::kAssemblyVersion)
            return path;
    }
    return {};
}

bool AnyClassKey(const ClassesView& view) {
    for (const table::ClassText& c : table::kClasses) {
        if (view.HasKey(std::wstring(L"CLSID\\") + c.clsid)) return true;
    }
    return false;
}

}  // namespace

Context::Context(const Options& o, Report& r)
    : options(o), report(r), view(o.scope, OwnBits()), wine(WineVersion()),
      // Wine's merged view is the machine's alone, so there only a
      // registration for the machine mends it.
      userRegistration(o.scope == Scope::kUser || (o.scope == Scope::kMerged && wine.empty() &&
                                                   AnyClassKey(ClassesView(Scope::kUser, OwnBits())))) {
    besideChecker = BesideChecker();
    dllToRegister = !o.dll.empty() ? o.dll : RegisteredServer(view);
    if (dllToRegister.empty()) dllToRegister = besideChecker;
}

std::wstring Context::SoundDllOtherThan(const std::wstring& path) const {
    for (const std::wstring* dll : {&options.dll, &dllToRegister, &besideChecker}) {
        if (!dll->empty() && !SameFile(*dll, path)) return *dll;
    }
    return {};
}

std::wstring Context::Register(const std::wstring& dll) const {
    const std::wstring file = !dll.empty() ? dll : !dllToRegister.empty() ? dllToRegister : table::kDllName;
    return Regsvr32For(view.bits()) + (userRegistration ? L" /n /i:user" : L"") + L" \"" + file + L"\"";
}

GUID Guid(const wchar_t* text) {
    GUID g = {};
    CLSIDFromString(const_cast<LPOLESTR>(text), &g);
    return g;
}

bool SameGuid(const std::wstring& text, const wchar_t* want) {
    GUID g = {};
    return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(text.c_str()), &g)) && IsEqualGUID(g, Guid(want));
}

std::wstring FailureText(HRESULT hr) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    std::wstring text = code;
    ComPtr<IErrorInfo> info;
    Bstr description;
    if (GetErrorInfo(0, info.Out()) == S_OK && info && SUCCEEDED(info->GetDescription(description.Out())) &&
        SysStringLen(description.Get()))
        text += L" (" + WideText(description.Get()) + L")";
    return text;
}

}  // namespace vemo::check
