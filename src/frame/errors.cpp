#include "frame/errors.h"
#include "frame/com_ptr.h"

#include <new>
#include <oaidl.h>

namespace vemo {
namespace {

// The member now running: the library is apartment-threaded and members do
// not re-enter one another across threads, so a per-thread slot suffices.
thread_local const wchar_t* tSource = L"VemoFunction";
thread_local const IID* tIid = nullptr;

std::wstring SystemDescription(HRESULT hr) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result;
    if (n && text) {
        result.assign(text, n);
        while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
            result.pop_back();
    }
    if (text) LocalFree(text);
    if (result.empty()) {
        wchar_t buf[48];
        wsprintfW(buf, L"Automation error 0x%08lX", static_cast<unsigned long>(hr));
        result = buf;
    }
    return result;
}

}  // namespace

ErrorSourceScope::ErrorSourceScope(const wchar_t* source, const IID* iid)
    : previousSource_(tSource), previousIid_(tIid) {
    tSource = source;
    tIid = iid;
}

ErrorSourceScope::~ErrorSourceScope() {
    tSource = previousSource_;
    tIid = previousIid_;
}

const wchar_t* DescriptionOfNumber(int number) {
    switch (number) {
    case kErrInvalidArgument: return L"Invalid procedure call or argument";
    case kErrOverflow: return L"Overflow";
    case kErrOutOfMemory: return L"Out of memory";
    case kErrSubscript: return L"Subscript out of range";
    case kErrDivisionByZero: return L"Division by zero";
    case kErrTypeMismatch: return L"Type mismatch";
    case kErrObjectNotSet: return L"Object variable or With block variable not set";
    case kErrDuplicateKey: return L"This key is already associated with an element of this collection";
    default: return L"Application-defined or object-defined error";
    }
}

void SetErrorInfoFor(HRESULT hr, const wchar_t* description, const wchar_t* source) noexcept {
    (void)hr;
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Out()))) return;
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description));
    if (tIid) create->SetGUID(*tIid);
    ComPtr<IErrorInfo> info;
    // __uuidof, not IID_IErrorInfo: that constant's object in libuuid
    // brings some 6 KB of unrelated GUIDs into the DLL.
    if (SUCCEEDED(create.As(info, __uuidof(IErrorInfo)))) SetErrorInfo(0, info.Get());
}

void Raise(HRESULT hr, const std::wstring& description) {
    SetErrorInfoFor(hr, description.c_str(), tSource);
    throw ComError{hr};
}

void RaiseNumber(int number) {
    Raise(ControlError(number), DescriptionOfNumber(number));
}

void ThrowOutOfMemory() {
    Raise(E_OUTOFMEMORY, L"Out of memory");
}

void Check(HRESULT hr) { Check(hr, nullptr); }

void Check(HRESULT hr, const wchar_t* what) {
    if (SUCCEEDED(hr)) return;
    // Keep the callee's own description when it set one; otherwise describe
    // the failure so the caller never sees an error without text.
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) == S_OK && info) {
        SetErrorInfo(0, info.Get());
        throw ComError{hr};
    }
    std::wstring text = what ? std::wstring(what) + L": " + SystemDescription(hr) : SystemDescription(hr);
    Raise(hr, text);
}

HRESULT CurrentExceptionToHresult() noexcept {
    try {
        throw;
    } catch (const ComError& e) {
        return e.hr;
    } catch (const std::bad_alloc&) {
        SetErrorInfoFor(E_OUTOFMEMORY, L"Out of memory", tSource);
        return E_OUTOFMEMORY;
    } catch (...) {
        SetErrorInfoFor(E_UNEXPECTED, L"Unexpected internal error", tSource);
        return E_UNEXPECTED;
    }
}

}  // namespace vemo
