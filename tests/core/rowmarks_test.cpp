// Row-mark parsing.
#include "../support/result_printing.h"
#include "util/rowmarks.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace {

using vemo::CoreError;
using vemo::MergeStep;
using vemo::RowLayout;
using Kind = MergeStep::Kind;

struct Step {
    Kind kind;
    int32_t first, last;
    bool operator==(const Step& o) const { return kind == o.kind && first == o.first && last == o.last; }
};

std::ostream& operator<<(std::ostream& os, const Step& s) {
    return os << (s.kind == Kind::Down ? "Down(" : "Across(") << s.first << ".." << s.last << ")";
}

std::vector<Step> Steps(const vemo::RowLayout& layout) {
    std::vector<Step> out;
    for (const MergeStep& s : layout.steps) out.push_back({s.kind, s.firstColumn, s.lastColumn});
    return out;
}

Step Down(int32_t column) { return {Kind::Down, column, column}; }
Step Across(int32_t first, int32_t last) { return {Kind::Across, first, last}; }

// The layout of a text the parser accepts.
RowLayout Layout(vemo::Result<RowLayout> parsed) {
    EXPECT_TRUE(parsed.ok());
    return parsed.ok() ? std::move(parsed).value() : RowLayout{};
}
RowLayout ParseRowMarks(std::u16string_view rowData) { return Layout(vemo::ParseRowMarks(rowData)); }

TEST(ParseRowMarks, NoMarks) {
    const auto layout = ParseRowMarks(u"A|B|C|");
    EXPECT_EQ(layout.text, u"A|B|C|");
    EXPECT_TRUE(layout.steps.empty());
}

TEST(ParseRowMarks, OneRunOverThreeCells) {
    const auto layout = ParseRowMarks(u"A+|B+|C|");
    EXPECT_EQ(layout.text, u"A|B|C|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Across(1, 3)}));
}

TEST(ParseRowMarks, TwoRuns) {
    const auto layout = ParseRowMarks(u"A+|B|C+|D|");
    EXPECT_EQ(layout.text, u"A|B|C|D|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Across(1, 2), Across(3, 4)}));
}

TEST(ParseRowMarks, EmptyCellClosesTheRun) {
    const auto layout = ParseRowMarks(u"A+||B|");
    EXPECT_EQ(layout.text, u"A||B|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Across(1, 2)}));
}

TEST(ParseRowMarks, DownMark) {
    const auto layout = ParseRowMarks(u"X$|Y|");
    EXPECT_EQ(layout.text, u"X|Y|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Down(1)}));
}

TEST(ParseRowMarks, DownCellDoesNotEndTheRun) {
    const auto layout = ParseRowMarks(u"A+|B$|C|");
    EXPECT_EQ(layout.text, u"A|B|C|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Down(2), Across(1, 3)}));
}

TEST(ParseRowMarks, OpenRunAtTheEndIsNotMerged) {
    const auto layout = ParseRowMarks(u"Q|A+|");
    EXPECT_EQ(layout.text, u"Q|A|");
    EXPECT_TRUE(layout.steps.empty());
}

TEST(ParseRowMarks, OnlyOneTrailingMarkPerCell) {
    const auto layout = ParseRowMarks(u"A+$|B|");
    EXPECT_EQ(layout.text, u"A+|B|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Down(1)}));
    EXPECT_EQ(ParseRowMarks(u"A$+|B|").text, u"A$|B|");
    EXPECT_EQ(Steps(ParseRowMarks(u"A$+|B|")), (std::vector<Step>{Across(1, 2)}));
    EXPECT_EQ(ParseRowMarks(u"A++|B|").text, u"A+|B|");
}

TEST(ParseRowMarks, MarksAloneAndInsideCells) {
    const auto layout = ParseRowMarks(u"+|$|a+b|");
    EXPECT_EQ(layout.text, u"||a+b|");
    EXPECT_EQ(Steps(layout), (std::vector<Step>{Down(2), Across(1, 3)}));
}

TEST(ParseRowMarks, OtherSeparators) {
    EXPECT_EQ(ParseRowMarks(u"A,B,").text, u"A,B,");
    EXPECT_EQ(Steps(ParseRowMarks(u"A+,B,")), (std::vector<Step>{Across(1, 2)}));
    // No trailing separator: B is the separator, one cell "A|".
    const auto layout = ParseRowMarks(u"A|B");
    EXPECT_EQ(layout.text, u"A|B");
    EXPECT_TRUE(layout.steps.empty());
    // A mark character as the separator is a separator, not a mark.
    EXPECT_EQ(ParseRowMarks(u"A$B$").text, u"A$B$");
    EXPECT_TRUE(ParseRowMarks(u"A+B+").steps.empty());
    // Full-width look-alikes are not marks.
    EXPECT_EQ(ParseRowMarks(u"A\uFF0B|B|").text, u"A\uFF0B|B|");
}

TEST(ParseRowMarks, EmptyAndSeparatorOnly) {
    const auto empty = ParseRowMarks(u"");
    EXPECT_EQ(empty.text, u"");
    EXPECT_TRUE(empty.steps.empty());
    EXPECT_EQ(ParseRowMarks(u"|").text, u"|");
    EXPECT_EQ(ParseRowMarks(u"|||").text, u"|||");
}

TEST(ParseRowMarks, ColumnCounterIsGuarded) {
    EXPECT_EQ(Layout(vemo::detail::ParseRowMarks(u"a|b|", 3)).text, u"a|b|");
    const vemo::Result<RowLayout> overflow = vemo::detail::ParseRowMarks(u"a|b|c|", 3);
    ASSERT_FALSE(overflow.ok());
    EXPECT_EQ(overflow.error(), CoreError::Overflow);
    EXPECT_EQ(Steps(Layout(vemo::detail::ParseRowMarks(u"a+|b|", 3))), (std::vector<Step>{Across(1, 2)}));
}

TEST(RowBelow, ChecksOverflow) {
    EXPECT_EQ(vemo::RowBelow(0), 1);
    EXPECT_EQ(vemo::RowBelow(-1), 0);
    EXPECT_EQ(vemo::RowBelow(std::numeric_limits<int32_t>::max() - 1), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(vemo::RowBelow(std::numeric_limits<int32_t>::max()), CoreError::Overflow);
}

}  // namespace
