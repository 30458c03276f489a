// VemoFunctionCheck: says whether VemoFunction is registered soundly for
// clients of the checker's own bitness, and for each fault the command
// that mends it (see command_line.h for its options).
#include "checker/checks.h"
#include "checker/command_line.h"
#include "checker/report.h"

#include <windows.h>
#include <objbase.h>

int wmain(int argc, wchar_t** argv) {
    using namespace vemo::check;
    Options options;
    std::wstring error;
    if (!ParseCommandLine(argc, argv, options, error)) {
        const std::wstring text = L"VemoFunctionCheck: " + error + L"\r\n" + kUsage;
        DWORD written = 0;
        HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
        if (!WriteConsoleW(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
            std::string bytes(text.begin(), text.end());  // the usage is ASCII; a path may lose accents
            WriteFile(err, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        return 3;
    }
    // The single-threaded apartment an inventory form's thread has.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
    int rc;
    {
        Report report(options.quiet);
        Context context(options, report);
        Findings findings;
        CheckRegistration(context, findings);
        CheckLive(context, findings);
        rc = report.Finish();
    }
    CoUninitialize();
    return rc;
}
