// Where and how profile documents live: one file per document in the
// current user's profile directory, read and replaced under a lock file.
#pragma once
#include "document.h"
#include "frame/handles.h"

#include <windows.h>
#include <string>

namespace testhost {

// The file of the document `name` of component `key`. Both strings are
// encoded into the file name, so no text can reach outside the directory.
std::wstring DocumentPath(std::u16string_view key, std::u16string_view name);

// Holds the document's lock file open without sharing: one process at a time
// reads or replaces the document. A killed holder's handle closes with it.
class DocumentLock {
public:
    explicit DocumentLock(const std::wstring& path);

private:
    vemo::KernelHandle handle_;
};

// A missing document reads as an empty one. A damaged one (text that does
// not parse) is moved aside, beside it, as <file>.damaged (or, when that is
// taken, <file>.<local time>.damaged), never deleted or overwritten; then it
// too reads as an empty document and the answer is false. Raises when the
// file cannot be read, or when a damaged one cannot be moved aside.
// The caller holds the document's lock.
bool ReadDocument(const std::wstring& path, Node& out);
// Writes a temporary file, flushes it and moves it over the document in one
// step, so readers see the old or the new document, never a part.
void WriteDocument(const std::wstring& path, const Node& root);
void DeleteDocument(const std::wstring& path);

}  // namespace testhost
