#include "jet.h"
#include "frame/handles.h"
#include "ado_errors.h"

#include <windows.h>

namespace adohost {
namespace {

// Bytes 0-19 of every Jet file; byte 20 is the engine version: 0 Jet 3,
// 1 Jet 4 (later engines use other values and another signature).
const unsigned char kSignature[20] = {0x00, 0x01, 0x00, 0x00, 'S', 't', 'a', 'n', 'd', 'a',
                                      'r',  'd',  ' ',  'J',  'e', 't', ' ', 'D', 'B', 0x00};
const int kVersionOffset = 20;

enum class JetFile { Missing, Unrecognised, Jet3, Jet4 };

JetFile Inspect(const std::wstring& path) {
    const vemo::KernelHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return JetFile::Missing;
    unsigned char header[kVersionOffset + 1] = {};
    DWORD got = 0;
    const BOOL ok = ReadFile(f.Get(), header, sizeof header, &got, nullptr);
    if (!ok || got < sizeof header || memcmp(header, kSignature, sizeof kSignature) != 0) return JetFile::Unrecognised;
    switch (header[kVersionOffset]) {
    case 0: return JetFile::Jet3;
    case 1: return JetFile::Jet4;
    default: return JetFile::Unrecognised;
    }
}

std::wstring Value(const ConnectionProperties& props, const wchar_t* key, const wchar_t* fallback) {
    const std::wstring* v = FindProperty(props, key);
    return v ? *v : std::wstring(fallback);
}

}  // namespace

JetProvider JetProviderNamed(const std::wstring& provider) {
    if (SameKey(provider, L"Microsoft.Jet.OLEDB.3.51")) return JetProvider::Jet351;
    if (SameKey(provider, L"Microsoft.Jet.OLEDB.4.0")) return JetProvider::Jet40;
    return JetProvider::None;
}

std::wstring OpenJet(JetProvider provider, const ConnectionProperties& props) {
    const std::wstring path = Value(props, L"Data Source", L"");
    const std::wstring user = Value(props, L"User ID", L"Admin");
    const std::wstring mode = Value(props, L"Mode", L"Share Deny None");
    const JetFile kind = path.empty() ? JetFile::Missing : Inspect(path);
    switch (kind) {
    case JetFile::Missing:
        RaiseProvider(L"Could not find file '" + path + L"'.");
    case JetFile::Unrecognised:
        RaiseProvider(L"Unrecognized database format '" + path + L"'.");
    case JetFile::Jet4:
        if (provider == JetProvider::Jet351) RaiseProvider(L"Unrecognized database format '" + path + L"'.");
        break;
    case JetFile::Jet3:
        break;
    }
    if (provider == JetProvider::Jet351) {
        return L"Provider=Microsoft.Jet.OLEDB.3.51;Persist Security Info=False;User ID=" + AdoQuoted(user) +
               L";Data Source=" + AdoQuoted(path) + L";Mode=" + AdoQuoted(mode) +
               L";Extended Properties=\"\";Locale Identifier=1033;Jet OLEDB:System database=\"\";"
               L"Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=\"\";Jet OLEDB:Global Partial Bulk Ops=2";
    }
    return L"Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=" + AdoQuoted(user) + L";Data Source=" +
           AdoQuoted(path) + L";Mode=" + AdoQuoted(mode) +
           L";Extended Properties=\"\";Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";"
           L"Jet OLEDB:Database Password=\"\";Jet OLEDB:Engine Type=" +
           (kind == JetFile::Jet3 ? L"4" : L"5") +
           L";Jet OLEDB:Database Locking Mode=0;Jet OLEDB:Global Partial Bulk Ops=2;"
           L"Jet OLEDB:Global Bulk Transactions=1;Jet OLEDB:New Database Password=\"\";"
           L"Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
           L"Jet OLEDB:Don't Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;"
           L"Jet OLEDB:SFP=False";
}

}  // namespace adohost
