// ParseRowMarks properties: the text is the input with one trailing mark
// removed per marked cell; every step's columns lie within 1..cells; Down
// steps are the "$" cells; Across steps are ordered, disjoint and span at
// least two columns.
#include "fuzz_input.h"
#include "util/rowmarks.h"

#include <cstdlib>
#include <vector>

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char16_t kAlphabet[] = u"A+$|,";
    const std::u16string input = vemo::fuzz::TextOf(data, size, kAlphabet, 5);
    const vemo::Result<vemo::RowLayout> parsed = vemo::ParseRowMarks(input);
    Check(parsed.ok());  // far fewer than 2^31 - 1 cells
    const vemo::RowLayout& layout = *parsed;
    if (input.empty()) {
        Check(layout.text.empty() && layout.steps.empty());
        return 0;
    }

    // Independent reading: split at the separator, drop one mark per cell.
    const char16_t sep = input.back();
    std::u16string expected;
    std::vector<int32_t> downColumns;
    int32_t cells = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] != sep) continue;
        std::u16string cell = input.substr(start, i - start);
        ++cells;
        if (!cell.empty() && (cell.back() == u'$' || cell.back() == u'+')) {
            if (cell.back() == u'$') downColumns.push_back(cells);
            cell.pop_back();
        }
        expected += cell;
        expected += sep;
        start = i + 1;
    }
    Check(layout.text == expected);

    std::vector<int32_t> seenDown;
    int32_t lastAcross = 0;
    for (const vemo::MergeStep& step : layout.steps) {
        Check(step.firstColumn >= 1 && step.lastColumn <= cells && step.firstColumn <= step.lastColumn);
        if (step.kind == vemo::MergeStep::Kind::Down) {
            Check(step.firstColumn == step.lastColumn);
            seenDown.push_back(step.firstColumn);
        } else {
            Check(step.firstColumn < step.lastColumn && step.firstColumn > lastAcross);
            lastAcross = step.lastColumn;
        }
    }
    Check(seenDown == downColumns);
    return 0;
}
