#include "checker/report.h"

#include <windows.h>

namespace vemo::check {

void Report::Ok(const std::wstring& what) {
    ++checks_;
    Line(L"OK " + what);
}

void Report::Problem(const std::wstring& what, const std::wstring& mend) {
    ++checks_;
    ++problems_;
    Line(L"PROBLEM " + what + L"; mend: " + mend);
}

void Report::NotRun(const std::wstring& what, const std::wstring& why) {
    ++checks_;
    ++notRun_;
    Line(L"NOT RUN " + what + L": " + why);
}

int Report::Finish() {
    Line(std::to_wstring(checks_) + L" checks, " + std::to_wstring(problems_) + L" problems, " +
         std::to_wstring(notRun_) + L" not run");
    return problems_ ? 1 : notRun_ ? 2 : 0;
}

void Report::Line(const std::wstring& text) {
    if (quiet_) return;
    const std::wstring line = text + L"\r\n";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    // A console shows the text as it is; a file or pipe gets UTF-8.
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), n, nullptr, nullptr);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace vemo::check
