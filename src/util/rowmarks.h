// The row-data parser of MergeRowData / MergeRowDataV5.
//
// Portable core: it turns the row text into the list of merges to make, in
// the order the methods make them, and the text without marks. The COM side
// clears the grid's merges, then walks the steps (raising the fixed rows
// before each Down step), and returns the text.
#pragma once
#include "core/result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

struct MergeStep {
    // Down: firstColumn == lastColumn, rows Row..Row+1.
    // Across: row Row, columns firstColumn..lastColumn.
    enum class Kind { Down, Across } kind;
    int32_t firstColumn;
    int32_t lastColumn;
};

struct RowLayout {
    std::vector<MergeStep> steps;
    std::u16string text;
};

// The separator is the last character of `rowData`; "$" and "+" are matched
// exactly, one trailing mark per cell. Empty input: no steps, empty text.
// The column counter is 32-bit: a text of 2^31 - 1 cells or more is an
// Overflow (as a 32-bit counter's must be). Throws only std::bad_alloc.
Result<RowLayout> ParseRowMarks(std::u16string_view rowData);

// Row + 1 with overflow checking: Overflow for INT32_MAX.
Result<int32_t> RowBelow(int32_t row);

namespace detail {
// ParseRowMarks with the largest column number as a parameter, so that the
// overflow guard can be tested on short texts.
Result<RowLayout> ParseRowMarks(std::u16string_view rowData, int32_t maxColumn);
}  // namespace detail

}  // namespace vemo
