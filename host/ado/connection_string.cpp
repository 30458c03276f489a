#include "connection_string.h"
#include "ado_errors.h"

#include <cwctype>

namespace adohost {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring Trimmed(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

}  // namespace

ConnectionProperties ParseConnectionString(const std::wstring& text) {
    ConnectionProperties props;
    size_t i = 0, n = text.size();
    while (i < n) {
        size_t eq = text.find(L'=', i), semi = text.find(L';', i);
        if (eq == std::wstring::npos || (semi != std::wstring::npos && semi < eq)) {
            // A pair without '=': only blanks may stand there.
            std::wstring rest = Trimmed(text.substr(i, semi == std::wstring::npos ? std::wstring::npos : semi - i));
            if (!rest.empty()) RaiseAdo(kBadArguments);
            if (semi == std::wstring::npos) break;
            i = semi + 1;
            continue;
        }
        ConnectionProperty p;
        p.key = Trimmed(text.substr(i, eq - i));
        if (p.key.empty()) RaiseAdo(kBadArguments);
        i = eq + 1;
        while (i < n && IsBlank(text[i])) ++i;
        if (i < n && (text[i] == L'"' || text[i] == L'\'')) {
            wchar_t q = text[i++];
            for (;;) {
                if (i >= n) RaiseAdo(kBadArguments);
                if (text[i] == q) {
                    if (i + 1 < n && text[i + 1] == q) {
                        p.value += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                p.value += text[i++];
            }
            while (i < n && IsBlank(text[i])) ++i;
            if (i < n && text[i] != L';') RaiseAdo(kBadArguments);
        } else if (i < n && text[i] == L'{') {
            // ODBC braces: "}}" inside stands for "}".
            size_t start = i++;
            for (;;) {
                if (i >= n) RaiseAdo(kBadArguments);
                if (text[i] == L'}') {
                    if (i + 1 < n && text[i + 1] == L'}') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            p.value = text.substr(start, i - start);
            while (i < n && IsBlank(text[i])) ++i;
            if (i < n && text[i] != L';') RaiseAdo(kBadArguments);
        } else {
            size_t end = text.find(L';', i);
            if (end == std::wstring::npos) end = n;
            p.value = Trimmed(text.substr(i, end - i));
            i = end;
        }
        props.push_back(std::move(p));
        if (i < n) ++i;  // the ';'
    }
    return props;
}

bool SameKey(const std::wstring& a, const wchar_t* b) {
    size_t k = 0;
    for (; k < a.size() && b[k]; ++k)
        if (std::towlower(a[k]) != std::towlower(b[k])) return false;
    return k == a.size() && !b[k];
}

const std::wstring* FindProperty(const ConnectionProperties& props, const wchar_t* key) {
    const std::wstring* found = nullptr;
    for (const ConnectionProperty& p : props)
        if (SameKey(p.key, key)) found = &p.value;
    return found;
}

std::wstring AdoQuoted(const std::wstring& value) {
    bool plain = !value.empty() && value.find_first_of(L";\"'=") == std::wstring::npos && !IsBlank(value.front()) &&
                 !IsBlank(value.back()) && value.front() != L'{';
    if (plain) return value;
    std::wstring out = L"\"";
    for (wchar_t c : value) {
        if (c == L'"') out += L'"';
        out += c;
    }
    return out + L"\"";
}

}  // namespace adohost
