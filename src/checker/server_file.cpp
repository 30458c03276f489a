#include "checker/server_file.h"
#include "frame/handles.h"

#include <windows.h>
#include <vector>

namespace vemo::check {

std::wstring FilePath(const std::wstring& registered) {
    std::wstring p = registered;
    if (p.size() >= 2 && p.front() == L'"' && p.back() == L'"') p = p.substr(1, p.size() - 2);
    wchar_t full[MAX_PATH * 2];
    // A bare file name is found as the loader finds it, on the search path.
    DWORD n = p.find_first_of(L"\\/:") == std::wstring::npos
                  ? SearchPathW(nullptr, p.c_str(), nullptr, MAX_PATH * 2, full, nullptr)
                  : 0;
    if (!n || n >= MAX_PATH * 2) n = GetFullPathNameW(p.c_str(), MAX_PATH * 2, full, nullptr);
    return n && n < MAX_PATH * 2 ? std::wstring(full, n) : p;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<Bits> PeBits(const std::wstring& path) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    auto read = [&](LONG at, void* to, DWORD size) {
        DWORD got = 0;
        return SetFilePointer(file.Get(), at, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(file.Get(), to, size, &got, nullptr) && got == size;
    };
    IMAGE_DOS_HEADER dos;
    if (!read(0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0) return {};
    struct {
        DWORD signature;
        IMAGE_FILE_HEADER file;
    } nt;
    if (!read(dos.e_lfanew, &nt, sizeof nt) || nt.signature != IMAGE_NT_SIGNATURE) return {};
    if (nt.file.Machine == IMAGE_FILE_MACHINE_I386) return Bits::k32;
    if (nt.file.Machine == IMAGE_FILE_MACHINE_AMD64) return Bits::k64;
    return {};
}

std::optional<std::wstring> FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (!size) return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof *info || info->dwSignature != VS_FFI_SIGNATURE)
        return {};
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

}  // namespace vemo::check
