// Error raising: the one way a member reports a failure to its caller.
//
// Inside the library a failure travels as a ComError exception; the thread's
// automation error information (IErrorInfo) is already set when it is thrown.
// Every vtable member runs its body through Guarded(), and every export and
// IDispatch entry point through Sealed(), which turn the exception back into
// the failing HRESULT at the interface boundary, so no C++ exception ever
// crosses into a client.
#pragma once
#include "core/result.h"

#include <windows.h>
#include <oleauto.h>
#include <string>
#include <utility>

namespace vemo {

// Errors that the library raises itself: 0x800A0000 plus the error number.
constexpr HRESULT ControlError(int number) {
    return static_cast<HRESULT>(0x800A0000u | static_cast<unsigned>(number & 0xFFFF));
}
constexpr int kErrInvalidArgument = 5;
constexpr int kErrOverflow = 6;
constexpr int kErrOutOfMemory = 7;
constexpr int kErrSubscript = 9;
constexpr int kErrDivisionByZero = 11;
constexpr int kErrTypeMismatch = 13;
constexpr int kErrObjectNotSet = 91;
constexpr int kErrDuplicateKey = 457;

// A Win32 error code (registry and kernel calls) as an HRESULT.
inline HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

struct ComError {
    HRESULT hr;
};

// Sets IErrorInfo (source, description, interface) for `hr` and throws.
[[noreturn]] void Raise(HRESULT hr, const std::wstring& description);
// Raises a library error by number with its standard description.
[[noreturn]] void RaiseNumber(int number);
[[noreturn]] void ThrowOutOfMemory();

// A refusal of the portable core (core/result.h) raised as the library error
// of the same number: Take gives a Result's value, Check passes a Result<void>
// that succeeded; both raise the error of one that failed.
[[noreturn]] inline void Raise(CoreError error) { RaiseNumber(static_cast<int>(error)); }
template <class T>
T Take(Result<T> result) {
    if (!result.ok()) Raise(result.error());
    return std::move(result).value();
}
inline void Check(Result<void> result) {
    if (!result.ok()) Raise(result.error());
}
// Passes a callee's failure on unchanged: the callee's error information
// stays in place (or, when it left none, a description of the HRESULT is set).
void Check(HRESULT hr);
// As Check, but names what failed when the callee left no description.
void Check(HRESULT hr, const wchar_t* what);

// Sets the thread's error information without throwing.
void SetErrorInfoFor(HRESULT hr, const wchar_t* description, const wchar_t* source) noexcept;
inline void SetErrorInfoFor(HRESULT hr, const std::wstring& description, const std::wstring& source) noexcept {
    SetErrorInfoFor(hr, description.c_str(), source.c_str());
}

// The source string of errors raised by the member now running.
class ErrorSourceScope {
public:
    ErrorSourceScope(const wchar_t* source, const IID* iid);
    ~ErrorSourceScope();
    ErrorSourceScope(const ErrorSourceScope&) = delete;
    ErrorSourceScope& operator=(const ErrorSourceScope&) = delete;

private:
    const wchar_t* previousSource_;
    const IID* previousIid_;
};

// The standard description of a library error number.
const wchar_t* DescriptionOfNumber(int number);

// Inside a catch block: the HRESULT of the exception being handled, with
// error information set for anything that is not a raised ComError.
HRESULT CurrentExceptionToHresult() noexcept;

// The boundary between the library and a COM caller: runs `body`, which
// returns an HRESULT, and gives the HRESULT of whatever it throws instead.
template <class Body>
HRESULT Sealed(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return CurrentExceptionToHresult();
    }
}

// Runs a member body; returns S_OK, or the HRESULT of the raised error.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
    return Sealed([&]() -> HRESULT {
        body();
        return S_OK;
    });
}

// Runs `body` and swallows any raised error, clearing the error information:
// the trapped form used by members that answer with a neutral result.
template <class Body>
bool Trapped(Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        CurrentExceptionToHresult();
        SetErrorInfo(0, nullptr);
        return false;
    }
}

}  // namespace vemo
