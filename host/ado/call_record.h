// The record of what callers do with the ADO subset, for tests that check
// what a client sends: every Open, Execute, Close, ActiveConnection,
// CreateParameter and Append, and the final release of each connection,
// command and recordset, one line per call in the order the calls arrived.
// It is process-wide and kept only while a CallRecord object (the class
// AdoHost.CallRecord, recorder.h) is alive, so untested use pays nothing.
//
// A line is "<Object><n>.<Member>|<argument>|...": objects are numbered per
// kind in the order they first appear after the record was cleared
// (Connection1, Command1, Recordset1, ...); an argument VARIANT shows as
// "none" (omitted or Empty), "null", or "<VARTYPE>:<text>" (a date as
// "yyyy-mm-dd hh:mm:ss"); a call that made an object ends in "=<Object><n>",
// a call that raised in "failed".
#pragma once
#include <oaidl.h>

#include <cwchar>
#include <exception>
#include <string>

namespace adohost {

bool Recording() noexcept;

// The record's lines, separated by line feeds.
std::wstring RecordText();
// Empties the record and numbers objects from 1 again.
void ClearRecord() noexcept;

// Turns recording on for the life of each recorder object.
void RecorderCreated() noexcept;
void RecorderReleased() noexcept;

// How an object is named in the record; numbered when it first appears
// after a clear.
class RecordName {
public:
    explicit RecordName(const wchar_t* kind) : kind_(kind) {}
    std::wstring Label();

private:
    const wchar_t* kind_;
    long epoch_ = 0;
    long number_ = 0;
};

// One line: its place is taken when the call arrives, and it is written when
// the call ends ("failed" appended when it ends by an exception).
class RecordedCall {
public:
    RecordedCall(RecordName& who, const wchar_t* member) noexcept;
    ~RecordedCall();
    RecordedCall(const RecordedCall&) = delete;
    RecordedCall& operator=(const RecordedCall&) = delete;

    RecordedCall& Text(const wchar_t* text, size_t length) noexcept;
    RecordedCall& Text(const std::wstring& text) noexcept { return Text(text.c_str(), text.size()); }
    RecordedCall& Text(BSTR text) noexcept;
    RecordedCall& Word(const wchar_t* word) noexcept { return Text(word, wcslen(word)); }
    RecordedCall& Number(long value) noexcept;
    RecordedCall& Value(const VARIANT* value) noexcept;
    RecordedCall& Names(RecordName& object) noexcept;  // "<Object><n>"
    RecordedCall& Made(RecordName& object) noexcept;   // "=<Object><n>"

private:
    bool on_;
    long epoch_ = 0;
    size_t slot_ = 0;
    int exceptions_;
    std::wstring line_;
};

}  // namespace adohost
