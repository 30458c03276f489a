// After every test, the library must be able to unload: no object of it
// and no lock left alive. A leak fails the whole run and names the test.
#include <windows.h>

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "com_test_support.h"

namespace {

class LeakCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& test) override {
        // By file name: the loader keeps the path in its own spelling.
        std::wstring path = LibraryPath();
        size_t slash = path.find_last_of(L"\\/");
        HMODULE dll = GetModuleHandleW(path.substr(slash == std::wstring::npos ? 0 : slash + 1).c_str());
        if (!dll) return;  // this test did not load the library
        auto canUnloadNow = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(dll, "DllCanUnloadNow"));
        if (canUnloadNow && canUnloadNow() != S_OK) {
            printf("LEAK: library objects outlived %s.%s\n", test.test_suite_name(), test.name());
            ++leaks_;
        }
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override {
        if (leaks_) {
            printf("%d test(s) left library objects alive\n", leaks_);
            fflush(stdout);
            std::_Exit(1);
        }
    }
    int leaks_ = 0;
};

// Registered before main runs the tests.
const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeakCheck);
    return true;
}();

}  // namespace
