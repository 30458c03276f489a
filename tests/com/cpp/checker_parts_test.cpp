// The registration checker's parts that read the system: its command line,
// the registered files it inspects without loading them, the values of the
// classes' keys as a view reads them, and the exit code of its report.
#include "checker/classes_view.h"
#include "checker/command_line.h"
#include "checker/report.h"
#include "checker/server_file.h"
#include "com_calls.h"
#include "frame/handles.h"
#include "vemofunction/class_table.h"

#include <gtest/gtest.h>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace vemo::check;

namespace {

// A file of the given bytes in the temporary folder, removed afterwards.
struct TempFile {
    explicit TempFile(const std::string& bytes, const wchar_t* name = L"vemo_checker_part.bin") {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        path = std::wstring(dir) + name;
        vemo::KernelHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    std::wstring path;
};

// The start of a PE file: DOS header whose e_lfanew is `at`, then the
// signature and the machine field there.
std::string PeStart(unsigned short machine, unsigned at = 0x40, const char* signature = "PE\0\0") {
    std::string b(at + 24, '\0');
    b[0] = 'M', b[1] = 'Z';
    b[60] = static_cast<char>(at & 0xFF), b[61] = static_cast<char>(at >> 8);
    b.replace(at, 4, signature, 4);
    b[at + 4] = static_cast<char>(machine & 0xFF), b[at + 5] = static_cast<char>(machine >> 8);
    return b;
}

TEST(CheckerParts, PeBitsReadsTheMachineWithoutLoading) {
    struct Row {
        const char* what;
        std::string bytes;
        std::optional<Bits> bits;
    } rows[] = {
        {"i386", PeStart(0x14c), Bits::k32},
        {"AMD64", PeStart(0x8664), Bits::k64},
        {"ARM", PeStart(0x1c0), std::nullopt},
        {"no PE signature", PeStart(0x14c, 0x40, "NE\0\0"), std::nullopt},
        {"header beyond the end", PeStart(0x14c).substr(0, 0x40), std::nullopt},
        {"no MZ", "just text, as a damaged copy might be", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Row& r : rows) {
        TempFile f(r.bytes);
        EXPECT_EQ(PeBits(f.path), r.bits) << r.what;
        EXPECT_FALSE(FileVersion(f.path)) << r.what;
    }
    EXPECT_FALSE(PeBits(L"C:\\no such folder\\VemoFunction.dll"));
}

TEST(CheckerParts, TheProductIsOfThisBitnessAndRelease) {
    const std::wstring dll = FilePath(LibraryPath());
    EXPECT_EQ(PeBits(dll), OwnBits());
    EXPECT_EQ(FileVersion(dll), std::wstring(vemo::table::kAssemblyVersion));
}

TEST(CheckerParts, RegisteredPathsAsFiles) {
    EXPECT_EQ(FilePath(L"\"C:\\Program Files\\VemoFunction\\VemoFunction.dll\""),
              L"C:\\Program Files\\VemoFunction\\VemoFunction.dll");
    // A bare name is found where the loader would find it.
    const std::wstring kernel = FilePath(L"kernel32.dll");
    EXPECT_TRUE(FileExists(kernel)) << std::string(kernel.begin(), kernel.end());
    EXPECT_NE(kernel, L"kernel32.dll");
    EXPECT_EQ(FilePath(L"C:\\a\\..\\b\\x.dll"), L"C:\\b\\x.dll");
    EXPECT_TRUE(SameFile(L"C:\\B\\X.DLL", L"c:\\b\\x.dll"));
    EXPECT_FALSE(SameFile(L"C:\\b\\x.dll", L"C:\\b\\y.dll"));
    EXPECT_FALSE(FileExists(L"C:\\windows"));  // a folder is no file
}

TEST(CheckerParts, CommandLines) {
    TempFile other(PeStart(OwnBits() == Bits::k32 ? 0x8664 : 0x14c), L"vemo_checker_other.dll");
    const std::wstring product = LibraryPath();
    struct Row {
        std::vector<std::wstring> args;
        Scope scope;
        bool quiet;
        const wchar_t* error;  // null: accepted
    } rows[] = {
        {{}, Scope::kMerged, false, nullptr},
        {{L"/user"}, Scope::kUser, false, nullptr},
        {{L"-MACHINE", L"/Quiet"}, Scope::kMachine, true, nullptr},
        {{L"/dll", product, L"/user"}, Scope::kUser, false, nullptr},
        {{L"/user", L"/machine"}, Scope::kMerged, false, L"not both"},
        {{L"/dll"}, Scope::kMerged, false, L"needs the path"},
        {{L"/dll", L"C:\\no such folder\\VemoFunction.dll"}, Scope::kMerged, false, L"no such file"},
        {{L"/dll", other.path}, Scope::kMerged, false, L"checker of its bitness"},
        {{L"/verbose"}, Scope::kMerged, false, L"unknown argument /verbose"},
    };
    for (const Row& r : rows) {
        std::vector<std::wstring> texts = {L"VemoFunctionCheck"};
        texts.insert(texts.end(), r.args.begin(), r.args.end());
        std::vector<wchar_t*> argv;
        for (std::wstring& t : texts) argv.push_back(t.data());
        Options o;
        std::wstring error;
        const bool accepted = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), o, error);
        const std::string line(texts.back().begin(), texts.back().end());
        if (!r.error) {
            EXPECT_TRUE(accepted) << line;
            EXPECT_EQ(o.scope, r.scope) << line;
            EXPECT_EQ(o.quiet, r.quiet) << line;
            EXPECT_EQ(o.dll, r.args.size() > 1 && r.args[0] == L"/dll" ? FilePath(product) : L"") << line;
        } else {
            EXPECT_FALSE(accepted) << line;
            EXPECT_NE(error.find(r.error), std::wstring::npos) << std::string(error.begin(), error.end());
        }
    }
}

TEST(CheckerParts, KeyValuesAsTheViewReadsThem) {
    const wchar_t* key = L"Software\\Classes\\VemoFunctionCheckTest";
    vemo::RegKey k;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.Out(), nullptr),
              ERROR_SUCCESS);
    auto set = [&](const wchar_t* name, DWORD type, const void* data, DWORD size) {
        RegSetValueExW(k.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
    };
    const wchar_t text[] = L"Apartment", expand[] = L"%SystemRoot%\\VemoFunction.dll";
    const DWORD number = 1;
    set(nullptr, REG_SZ, text, sizeof text);
    set(L"Expand", REG_EXPAND_SZ, expand, sizeof expand);
    set(L"Number", REG_DWORD, &number, sizeof number);
    wchar_t expanded[MAX_PATH];
    ExpandEnvironmentStringsW(expand, expanded, MAX_PATH);

    const ClassesView view(Scope::kUser, OwnBits());
    EXPECT_TRUE(view.HasKey(L"VemoFunctionCheckTest"));
    EXPECT_FALSE(view.HasKey(L"VemoFunctionCheckTest\\Missing"));
    EXPECT_EQ(view.Text(L"VemoFunctionCheckTest"), std::wstring(L"Apartment"));
    EXPECT_EQ(view.Text(L"VemoFunctionCheckTest", L"Expand"), std::wstring(expanded));
    EXPECT_NE(expanded[0], L'%');  // %SystemRoot% was replaced
    EXPECT_FALSE(view.Text(L"VemoFunctionCheckTest", L"Number"));  // not text
    EXPECT_FALSE(view.Text(L"VemoFunctionCheckTest", L"Missing"));
    EXPECT_FALSE(view.Text(L"VemoFunctionCheckTest\\Missing"));
    k.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
}

TEST(CheckerParts, ExitCodeOfTheReport) {
    enum Line { kOk, kProblem, kNotRun };
    struct Row {
        std::vector<Line> lines;
        int exit;
    } rows[] = {
        {{}, 0}, {{kOk, kOk}, 0}, {{kOk, kNotRun}, 2}, {{kNotRun, kProblem, kOk}, 1}, {{kProblem}, 1},
    };
    for (const Row& r : rows) {
        Report report(true);
        for (Line l : r.lines) {
            if (l == kOk) report.Ok(L"a");
            else if (l == kProblem) report.Problem(L"b", L"c");
            else report.NotRun(L"d", L"e");
        }
        EXPECT_EQ(report.Finish(), r.exit) << r.lines.size() << " lines";
    }
}

}  // namespace
