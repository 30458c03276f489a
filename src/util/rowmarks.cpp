// Row-mark parsing.
#include "util/rowmarks.h"

#include <limits>

namespace vemo {

namespace {
constexpr char16_t kDownMark = u'$';
constexpr char16_t kAcrossMark = u'+';
}  // namespace

namespace detail {

Result<RowLayout> ParseRowMarks(std::u16string_view rowData, int32_t maxColumn) {
    RowLayout layout;
    if (rowData.empty()) return layout;
    layout.text.reserve(rowData.size());

    const char16_t sep = rowData.back();
    int32_t column = 1;
    bool runOpen = false;
    int32_t runFirst = 0;
    std::size_t cellStart = 0;  // the current cell is rowData[cellStart, i)

    for (std::size_t i = 0; i < rowData.size(); ++i) {
        if (rowData[i] != sep) continue;
        std::u16string_view cell = rowData.substr(cellStart, i - cellStart);
        const char16_t mark = cell.empty() ? char16_t{0} : cell.back();
        if (mark == kDownMark) {
            cell.remove_suffix(1);
            layout.steps.push_back({MergeStep::Kind::Down, column, column});
        } else if (mark == kAcrossMark) {
            cell.remove_suffix(1);
            if (!runOpen) runFirst = column;
            runOpen = true;
        } else if (runOpen) {
            layout.steps.push_back({MergeStep::Kind::Across, runFirst, column});
            runOpen = false;
        }
        layout.text.append(cell);
        layout.text.push_back(sep);
        cellStart = i + 1;
        if (column >= maxColumn) return CoreError::Overflow;
        ++column;
    }
    return layout;
}

}  // namespace detail

Result<RowLayout> ParseRowMarks(std::u16string_view rowData) {
    return detail::ParseRowMarks(rowData, std::numeric_limits<int32_t>::max());
}

Result<int32_t> RowBelow(int32_t row) {
    if (row == std::numeric_limits<int32_t>::max()) return CoreError::Overflow;
    return row + 1;
}

}  // namespace vemo
