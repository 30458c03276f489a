// Arguments that the ERP database methods put into statement and connection
// texts. None of them may change what the text does: text values are quoted
// with their single quotes doubled, ids must be plain integers, and a file
// path goes in double quotes and may hold none of the characters that end
// the quoted value.
#pragma once
#include "core/result.h"

#include <string>
#include <string_view>

namespace vemo {

// `value` as the inside of a single-quoted SQL literal: each ' doubled.
// InvalidArgument when it holds U+0000, which would cut the statement short.
Result<std::u16string> SqlQuoted(std::u16string_view value);

// True for a plain decimal integer: optional blanks (space, tab) around an
// optional sign and one or more digits 0-9, nothing else.
bool IsPlainInteger(std::u16string_view value);

// `path` as a connection string's Data Source value, in double quotes (so
// a ';' as in D:\a;b\stock.mdb and a '\'' as in O'Brien stay part of it);
// InvalidArgument for the empty path and for one holding '"' or U+0000,
// which no Windows path holds.
Result<std::u16string> QuotedDataSource(std::u16string_view path);

}  // namespace vemo
