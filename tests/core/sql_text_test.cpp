#include "erpdb/sql_text.h"

#include <gtest/gtest.h>

namespace vemo {
namespace {

TEST(SqlQuoted, DoublesEverySingleQuoteAndRefusesZero) {
    EXPECT_EQ(*SqlQuoted(u"AB"), u"AB");
    EXPECT_EQ(*SqlQuoted(u""), u"");
    EXPECT_EQ(*SqlQuoted(u"x' OR '1'='1"), u"x'' OR ''1''=''1");
    EXPECT_EQ(*SqlQuoted(u"'; DROP TABLE ICSwitch; --"), u"''; DROP TABLE ICSwitch; --");
    EXPECT_EQ(*SqlQuoted(u"''"), u"''''");
    EXPECT_EQ(*SqlQuoted(u"\u4E2D'"), u"\u4E2D''");
    EXPECT_FALSE(SqlQuoted(std::u16string(u"a\0b", 3)));
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
    EXPECT_EQ(QuotedDataSource(u"Z:\\data\\stock.mdb"), u"\"Z:\\data\\stock.mdb\"");
    EXPECT_EQ(QuotedDataSource(u"C:\\My Files\\a=b.mdb"), u"\"C:\\My Files\\a=b.mdb\"");
    EXPECT_EQ(QuotedDataSource(u"C:\\Users\\O'Brien\\stock.mdb"), u"\"C:\\Users\\O'Brien\\stock.mdb\"");
    EXPECT_FALSE(QuotedDataSource(u""));
    EXPECT_FALSE(QuotedDataSource(u"a.mdb;Provider=x"));
    EXPECT_FALSE(QuotedDataSource(u"a.mdb\";Provider=x"));
    EXPECT_FALSE(QuotedDataSource(std::u16string(u"a\0.mdb", 6)));
}

}  // namespace
}  // namespace vemo
