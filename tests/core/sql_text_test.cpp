#include "../support/result_printing.h"
#include "erpdb/sql_text.h"

#include <gtest/gtest.h>

namespace vemo {
namespace {

// A value and what the text gets of it, or the refusal.
struct Quoting {
    std::u16string value;
    Result<std::u16string> quoted;
};

TEST(SqlQuoted, DoublesEverySingleQuoteAndRefusesZero) {
    const Quoting cases[] = {
        {u"AB", std::u16string(u"AB")},
        {u"", std::u16string()},
        {u"x' OR '1'='1", std::u16string(u"x'' OR ''1''=''1")},
        {u"'; DROP TABLE ICSwitch; --", std::u16string(u"''; DROP TABLE ICSwitch; --")},
        {u"''", std::u16string(u"''''")},
        {u"\u4E2D'", std::u16string(u"\u4E2D''")},
        {std::u16string(u"a\0b", 3), CoreError::InvalidArgument},
    };
    for (const Quoting& c : cases) EXPECT_EQ(SqlQuoted(c.value), c.quoted) << c.value.size();
}

TEST(IsPlainInteger, DigitsWithOptionalSignAndBlanks) {
    for (const char16_t* ok : {u"0", u"12", u" 12 ", u"\t-3", u"+7", u"007", u"99999999999999999999"})
        EXPECT_TRUE(IsPlainInteger(ok)) << std::u16string(ok).size();
    for (const char16_t* bad : {u"", u"  ", u"-", u"+ 1", u"1 OR 1=1", u"1; DELETE FROM ICInventory", u"1.5",
                                u"1e3", u"0x10", u"--1", u"1-", u"\uFF11", u"1\u00A0"})
        EXPECT_FALSE(IsPlainInteger(bad)) << std::u16string(bad).size();
    EXPECT_FALSE(IsPlainInteger(std::u16string(u"1\0", 2)));
}

TEST(QuotedDataSource, QuotesPathsAndRefusesWhatEndsTheValue) {
    const Quoting cases[] = {
        {u"Z:\\data\\stock.mdb", std::u16string(u"\"Z:\\data\\stock.mdb\"")},
        {u"C:\\My Files\\a=b.mdb", std::u16string(u"\"C:\\My Files\\a=b.mdb\"")},
        {u"C:\\Users\\O'Brien\\stock.mdb", std::u16string(u"\"C:\\Users\\O'Brien\\stock.mdb\"")},
        {u"", CoreError::InvalidArgument},
        {u"D:\\a;b\\stock.mdb", std::u16string(u"\"D:\\a;b\\stock.mdb\"")},
        {u"a.mdb;Provider=x", std::u16string(u"\"a.mdb;Provider=x\"")},
        {u"a.mdb\";Provider=x", CoreError::InvalidArgument},
        {std::u16string(u"a\0.mdb", 6), CoreError::InvalidArgument},
    };
    for (const Quoting& c : cases) EXPECT_EQ(QuotedDataSource(c.value), c.quoted) << c.value.size();
}

}  // namespace
}  // namespace vemo
