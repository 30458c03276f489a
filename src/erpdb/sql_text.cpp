#include "erpdb/sql_text.h"

namespace vemo {

Result<std::u16string> SqlQuoted(std::u16string_view value) {
    std::u16string out;
    out.reserve(value.size() + 8);
    for (char16_t c : value) {
        if (c == u'\0') return CoreError::InvalidArgument;
        out += c;
        if (c == u'\'') out += u'\'';
    }
    return out;
}

bool IsPlainInteger(std::u16string_view value) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    size_t i = 0, n = value.size();
    while (i < n && blank(value[i])) ++i;
    while (n > i && blank(value[n - 1])) --n;
    if (i < n && (value[i] == u'+' || value[i] == u'-')) ++i;
    if (i == n) return false;
    for (; i < n; ++i)
        if (value[i] < u'0' || value[i] > u'9') return false;
    return true;
}

Result<std::u16string> QuotedDataSource(std::u16string_view path) {
    if (path.empty()) return CoreError::InvalidArgument;
    for (char16_t c : path)
        if (c == u'"' || c == u'\0') return CoreError::InvalidArgument;
    std::u16string quoted = u"\"";
    quoted += path;
    quoted += u"\"";
    return quoted;
}

}  // namespace vemo
