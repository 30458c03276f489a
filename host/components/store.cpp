#include "store.h"
#include "frame/errors.h"

#include <shlobj.h>

namespace testhost {

using vemo::KernelHandle;
using vemo::Raise;

namespace {

const DWORD kLockWaitMs = 60000;

[[noreturn]] void RaiseLastError(const wchar_t* what, const std::wstring& path) {
    DWORD e = GetLastError();
    Raise(HRESULT_FROM_WIN32(e ? e : ERROR_GEN_FAILURE), std::wstring(what) + L" " + path);
}

std::wstring FindDirectory() {
    wchar_t profile[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile)))
        Raise(E_FAIL, L"The current user's profile directory is unknown");
    std::wstring dir = std::wstring(profile) + L"\\QelBase Profiles";
    if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        RaiseLastError(L"Cannot create the profile directory", dir);
    return dir;
}

// Found once per process (the shell's folder lookup is slow under Wine).
std::wstring Directory() {
    static const std::wstring dir = FindDirectory();
    return dir;
}

// Letters, digits, '-', '_' and '.' stand for themselves; every other
// character becomes %xxxx. File names compare without regard to case, and so
// do document names.
void Encode(std::wstring& out, std::u16string_view s) {
    static const wchar_t hex[] = L"0123456789ABCDEF";
    for (char16_t c : s) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.';
        if (plain) { out += static_cast<wchar_t>(c); continue; }
        out += L'%';
        for (int shift = 12; shift >= 0; shift -= 4) out += hex[(c >> shift) & 0xF];
    }
}

std::wstring Digits(unsigned v, int width) {
    std::wstring d = std::to_wstring(v);
    return d.size() < static_cast<size_t>(width) ? std::wstring(width - d.size(), L'0') + d : d;
}

// Moves a damaged document out of the way, beside it, as <file>.damaged, or
// when that name is taken as <file>.<local time>.damaged (with -2, -3, ...
// after the time should that be taken too). No file is ever replaced.
void KeepAside(const std::wstring& path) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    const std::wstring stamp = L"." + Digits(t.wYear, 4) + Digits(t.wMonth, 2) + Digits(t.wDay, 2) + L"-" +
                               Digits(t.wHour, 2) + Digits(t.wMinute, 2) + Digits(t.wSecond, 2) + L"-" +
                               Digits(t.wMilliseconds, 3);
    for (unsigned n = 0;; ++n) {
        std::wstring aside = path;
        if (n > 0) aside += stamp;
        if (n > 1) aside += L"-" + std::to_wstring(n);
        aside += L".damaged";
        if (MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) return;
        const DWORD e = GetLastError();
        if ((e != ERROR_ALREADY_EXISTS && e != ERROR_FILE_EXISTS) || n >= 1000)
            RaiseLastError(L"The profile document is damaged and cannot be moved aside:", path);
    }
}

}  // namespace

std::wstring DocumentPath(std::u16string_view key, std::u16string_view name) {
    std::wstring path = Directory() + L"\\";
    Encode(path, key);
    path += L'#';
    Encode(path, name);
    path += L".pyx";
    return path;
}

DocumentLock::DocumentLock(const std::wstring& path) {
    const std::wstring lock = path + L".lock";
    const DWORD start = GetTickCount();
    for (DWORD pause = 1;; pause = pause < 16 ? pause * 2 : 16) {
        handle_ = vemo::KernelHandle(CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle_) return;
        const DWORD e = GetLastError();
        if (e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED) RaiseLastError(L"Cannot lock", path);
        if (GetTickCount() - start > kLockWaitMs)
            Raise(HRESULT_FROM_WIN32(ERROR_LOCK_VIOLATION), L"Timed out waiting for the lock of " + path);
        Sleep(pause);
    }
}


bool ReadDocument(const std::wstring& path, Node& out) {
    out.entries.clear();
    std::string text;
    {
        const KernelHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
            RaiseLastError(L"Cannot open", path);
        }
        LARGE_INTEGER size = {};
        bool ok = GetFileSizeEx(f.Get(), &size) && size.QuadPart < (256 << 20);
        if (ok) {
            text.resize(static_cast<size_t>(size.QuadPart));
            DWORD got = 0;
            ok = text.empty() ||
                 (ReadFile(f.Get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr) && got == text.size());
        }
        if (!ok) RaiseLastError(L"Cannot read", path);
    }
    if (Parse(text, out)) return true;
    out.entries.clear();
    KeepAside(path);
    return false;
}

void WriteDocument(const std::wstring& path, const Node& root) {
    const std::string text = Serialize(root);
    const std::wstring temp = path + L".tmp";  // one writer at a time: the lock is held
    KernelHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) RaiseLastError(L"Cannot write", temp);
    DWORD put = 0;
    bool ok = WriteFile(f.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) && put == text.size();
    ok = ok && FlushFileBuffers(f.Get());
    f.Reset();
    if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        const DWORD e = GetLastError();
        DeleteFileW(temp.c_str());
        SetLastError(e);
        RaiseLastError(L"Cannot save", path);
    }
}

void DeleteDocument(const std::wstring& path) {
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) RaiseLastError(L"Cannot remove", path);
}

}  // namespace testhost
