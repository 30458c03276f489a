#include "checker/command_line.h"
#include "checker/server_file.h"

#include <windows.h>

namespace vemo::check {

const wchar_t kUsage[] =
    L"usage: VemoFunctionCheck [/user | /machine] [/dll PATH] [/quiet]\r\n"
    L"  checks VemoFunction's registration as a client of this checker's bitness sees it:\r\n"
    L"  the merged classes (default), only the user's (/user) or only the machine's (/machine);\r\n"
    L"  /dll PATH: the registered file must be that one; /quiet: no output, the exit code tells\r\n"
    L"  (0 all OK, 1 problems, 2 some checks could not run, 3 this message).\r\n";

namespace {
bool Is(const wchar_t* arg, const wchar_t* name) {
    return (arg[0] == L'/' || arg[0] == L'-') && CompareStringOrdinal(arg + 1, -1, name, -1, TRUE) == CSTR_EQUAL;
}
}  // namespace

bool ParseCommandLine(int argc, wchar_t** argv, Options& options, std::wstring& error) {
    bool scoped = false;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* a = argv[i];
        if (Is(a, L"user") || Is(a, L"machine")) {
            if (scoped) {
                error = L"give /user or /machine, not both";
                return false;
            }
            scoped = true;
            options.scope = Is(a, L"user") ? Scope::kUser : Scope::kMachine;
        } else if (Is(a, L"dll")) {
            if (i + 1 >= argc) {
                error = L"/dll needs the path of the DLL";
                return false;
            }
            options.dll = FilePath(argv[++i]);
            if (!FileExists(options.dll)) {
                error = L"/dll " + options.dll + L": no such file";
                return false;
            }
            // This bitness's registration can never name a DLL of the other.
            if (PeBits(options.dll) != OwnBits()) {
                error = L"/dll " + options.dll + L" is no " + BitsText(OwnBits()) + L" DLL: check it with the checker of its bitness";
                return false;
            }
        } else if (Is(a, L"quiet")) {
            options.quiet = true;
        } else {
            error = std::wstring(L"unknown argument ") + a;
            return false;
        }
    }
    return true;
}

}  // namespace vemo::check
