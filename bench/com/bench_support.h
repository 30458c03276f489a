// What the Windows-side benchmarks share: failing loudly, the thread's CPU
// time, and the DLL named on the command line.
#pragma once
#include "com_calls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Ends the benchmark when a step it depends on failed.
inline void Require(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        std::printf("FAILED: %s: 0x%08lx\n", what, static_cast<unsigned long>(hr));
        std::exit(2);
    }
}

// The thread's CPU time in seconds, so that other processes on a busy
// machine do not count. Under Wine it moves in 10 ms steps.
inline double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// The path given as the first argument (ASCII), or a usage line and exit 2.
inline std::wstring DllArgument(int argc, char** argv, const char* usage) {
    if (argc < 2) {
        std::printf("usage: %s\n", usage);
        std::exit(2);
    }
    return std::wstring(argv[1], argv[1] + std::strlen(argv[1]));
}
