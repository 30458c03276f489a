#include "call_record.h"
#include "frame/auto_values.h"

#include <cwchar>
#include <map>
#include <vector>
#include <windows.h>

namespace adohost {
namespace {

// The critical section is recursive: a line's object names are taken while
// its place is held.
struct Lock {
    Lock() { EnterCriticalSection(Section()); }
    ~Lock() { LeaveCriticalSection(Section()); }
    static CRITICAL_SECTION* Section() {
        static struct Made {
            CRITICAL_SECTION cs;
            Made() { InitializeCriticalSection(&cs); }
        } made;
        return &made.cs;
    }
};

volatile LONG gRecorders = 0;
long gEpoch = 1;  // a clear starts a new one: names taken before are stale
std::vector<std::wstring> gLines;
std::map<std::wstring, long> gNumbers;  // the last number of each kind

std::wstring DateText(DATE date) {
    SYSTEMTIME t = {};
    if (!VariantTimeToSystemTime(date, &t)) return L"?";
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::wstring ValueText(const VARIANT* value) {
    if (!value || vemo::IsMissing(value)) return L"none";
    const VARIANT* v = vemo::Deref(value);
    const VARTYPE type = V_VT(v);
    if (type == VT_EMPTY) return L"none";
    if (type == VT_NULL) return L"null";
    std::wstring out = std::to_wstring(type) + L":";
    if (type == VT_DATE) return out + DateText(V_DATE(v));
    if (type == VT_DISPATCH || type == VT_UNKNOWN) return out + L"object";
    vemo::Variant text;
    if (FAILED(VariantChangeTypeEx(text.Get(), const_cast<VARIANT*>(v), LOCALE_INVARIANT, 0, VT_BSTR))) return out + L"?";
    return out + vemo::WideText(V_BSTR(text.Get()));
}

}  // namespace

bool Recording() noexcept { return gRecorders > 0; }

std::wstring RecordText() {
    Lock lock;
    std::wstring text;
    for (const std::wstring& line : gLines) {
        if (!text.empty()) text += L'\n';
        text += line;
    }
    return text;
}

void ClearRecord() noexcept {
    Lock lock;
    ++gEpoch;
    gLines.clear();
    gLines.shrink_to_fit();
    gNumbers.clear();
}

void RecorderCreated() noexcept { InterlockedIncrement(&gRecorders); }

void RecorderReleased() noexcept {
    if (InterlockedDecrement(&gRecorders) == 0) ClearRecord();
}

std::wstring RecordName::Label() {
    Lock lock;
    if (epoch_ != gEpoch) {
        epoch_ = gEpoch;
        number_ = ++gNumbers[kind_];
    }
    return kind_ + std::to_wstring(number_);
}

RecordedCall::RecordedCall(RecordName& who, const wchar_t* member) noexcept
    : on_(Recording()), exceptions_(std::uncaught_exceptions()) {
    if (!on_) return;
    try {
        Lock lock;
        epoch_ = gEpoch;
        slot_ = gLines.size();
        gLines.emplace_back();
        line_ = who.Label() + L"." + member;
    } catch (...) {
        on_ = false;  // out of memory: the line is left out
    }
}

RecordedCall::~RecordedCall() {
    if (!on_) return;
    try {
        if (std::uncaught_exceptions() > exceptions_) line_ += L"|failed";
        Lock lock;
        if (epoch_ == gEpoch && slot_ < gLines.size()) gLines[slot_] = std::move(line_);
    } catch (...) {
    }
}

RecordedCall& RecordedCall::Text(const wchar_t* text, size_t length) noexcept {
    if (!on_) return *this;
    try {
        line_ += L'|';
        line_.append(text ? text : L"", text ? length : 0);
    } catch (...) {
    }
    return *this;
}

RecordedCall& RecordedCall::Text(BSTR text) noexcept { return Text(text, text ? SysStringLen(text) : 0); }

RecordedCall& RecordedCall::Number(long value) noexcept {
    if (!on_) return *this;
    try {
        Text(std::to_wstring(value));
    } catch (...) {
    }
    return *this;
}

RecordedCall& RecordedCall::Value(const VARIANT* value) noexcept {
    if (!on_) return *this;
    try {
        Text(ValueText(value));
    } catch (...) {
    }
    return *this;
}

RecordedCall& RecordedCall::Names(RecordName& object) noexcept {
    if (!on_) return *this;
    try {
        Text(object.Label());
    } catch (...) {
    }
    return *this;
}

RecordedCall& RecordedCall::Made(RecordName& object) noexcept {
    if (!on_) return *this;
    try {
        Text(L"=" + object.Label());
    } catch (...) {
    }
    return *this;
}

}  // namespace adohost
