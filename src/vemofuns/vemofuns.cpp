// The VemoFuns object itself: its creation step and the members that touch
// the file system and processes.
#include "vemofuns/vemofuns.h"
#include "frame/handles.h"
#include "frame/ansi.h"
#include "frame/out_values.h"
#include "util/paths.h"

#include <algorithm>

namespace vemo {

const IID* const VemoFuns::kInterfaces[] = {&IID__VemoFuns, nullptr};
const wchar_t VemoFuns::kErrorSource[] = L"VemoFunction.VemoFuns";
// GetFOperateNew only writes sReturn (the row's FID), so a script variable
// holding Null is as good a place for it as any other.
const OutputParameter VemoFuns::kOutputParameters[] = {{L"GetFOperateNew", L"sReturn"}, {nullptr, nullptr}};

namespace {

// Reads a directory with its ANSI system call into a buffer of 255 blanks;
// the reported length is held as a 16-bit value, as the object always has.
std::u16string ReadDirectory(UINT(WINAPI* read)(LPSTR, UINT)) {
    std::string buffer(255, ' ');
    UINT reported = read(&buffer[0], 255);
    if (reported > 32767) RaiseNumber(kErrOverflow);
    buffer.resize(std::min<size_t>(reported, buffer.size()));
    return FromAnsi(buffer);
}

}  // namespace

HRESULT VemoFuns::Initialize() {
    winPath_ = u"C:\\";
    winSysPath_ = u"C:\\";
    // Creation never fails: each step that raises keeps the value before it.
    Trapped([&] { winPath_ = WithTrailingBackslash(ReadDirectory(&GetWindowsDirectoryA)); });
    Trapped([&] { winSysPath_ = WithTrailingBackslash(ReadDirectory(&GetSystemDirectoryA)); });
    Trapped([&] { appSystemPath_ = AppSystemPathOf(winSysPath_); });
    return S_OK;
}

STDMETHODIMP VemoFuns::get_AppSystemPath(BSTR* result) {
    return Member([&] { SetOut(result, appSystemPath_); });
}

STDMETHODIMP VemoFuns::get_WinPath(BSTR* result) {
    return Member([&] { SetOut(result, winPath_); });
}

STDMETHODIMP VemoFuns::get_WinSysPath(BSTR* result) {
    return Member([&] { SetOut(result, winSysPath_); });
}

STDMETHODIMP VemoFuns::GetFullPathName(BSTR sPath, BSTR* result) {
    return Member([&] { SetOut(result, WithTrailingBackslash(View(sPath))); });
}

STDMETHODIMP VemoFuns::GetLocalComputerName(BSTR* result) {
    return Member([&] {
        std::string buffer(16, ' ');
        DWORD length = 16;
        // The call's own result is not consulted: on failure the caller gets
        // what the buffer holds.
        ::GetComputerNameA(&buffer[0], &length);
        buffer.resize(std::min<size_t>(length, buffer.size()));
        SetOut(result, FromAnsi(buffer));
    });
}

STDMETHODIMP VemoFuns::ExecCmd(BSTR cmdline) {
    return Member([&] {
        std::string command = ToAnsi(View(cmdline));
        STARTUPINFOA start = {};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESHOWWINDOW;
        start.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION process = {};
        // A command that cannot start is not reported to the caller.
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                            &start, &process))
            return;
        const KernelHandle running(process.hProcess), thread(process.hThread);
        WaitForSingleObject(running.Get(), INFINITE);
    });
}

}  // namespace vemo
