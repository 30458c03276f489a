// Connection strings: "key=value;..." as ADO and ODBC write them. Values may
// be quoted with '"' or '\'' (a doubled quote stands for itself, the quotes
// are removed) or braced as ODBC does ({...}, kept with its braces, since
// the driver reads them).
#pragma once
#include <string>
#include <vector>

namespace adohost {

struct ConnectionProperty {
    std::wstring key;
    std::wstring value;
};
using ConnectionProperties = std::vector<ConnectionProperty>;

// Raises ADO's bad-arguments error for text that is not a connection string
// (an unterminated quote or brace, a pair without a key).
ConnectionProperties ParseConnectionString(const std::wstring& text);

bool SameKey(const std::wstring& a, const wchar_t* b);
// The value of the last pair with this key (keys compared without regard to
// case), or null.
const std::wstring* FindProperty(const ConnectionProperties& props, const wchar_t* key);

// A value as ADO writes it into a connection string: quoted with '"' when it
// would otherwise change the string's meaning.
std::wstring AdoQuoted(const std::wstring& value);

}  // namespace adohost
