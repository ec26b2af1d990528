#include "editor/base/Exceptions.h"
#include "editor/base/IntConvert.h"

#include <gtest/gtest.h>

#include <climits>

using namespace kestrim;

TEST(IntConvertTest, ReadsSignedDecimalsAcrossTheWholeRange)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("+42"), 42);
    EXPECT_EQ(StrToInt("-42"), -42);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
}

TEST(IntConvertTest, RefusesWhatIsNotOneNumberOr32BitsTooMany)
{
    for (const char* text : {"", "+", "-", "+-1", "--1", "1 ", " 1", "1a", "0x10", "2147483648",
                             "-2147483649", "99999999999999999999"})
        EXPECT_THROW(StrToInt(text), EConvertError) << '"' << text << '"';
}

TEST(IntConvertTest, TheMessageNamesTheText)
{
    try {
        StrToInt("\x82\xa0" "12"); // "あ12" in Shift-JIS
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'あ12' は有効な整数値ではありません。");
    }
}

TEST(IntConvertTest, EnteredIntegersTakeBlanksSignsAndHexadecimalPrefixes)
{
    EXPECT_EQ(ParseEnteredInteger("12"), 12);
    EXPECT_EQ(ParseEnteredInteger("  \t+12"), 12);
    EXPECT_EQ(ParseEnteredInteger(" -12"), -12);
    EXPECT_EQ(ParseEnteredInteger("$1f"), 31);
    EXPECT_EQ(ParseEnteredInteger("0X1F"), 31);
    EXPECT_EQ(ParseEnteredInteger("-0x10"), -16);
    EXPECT_EQ(ParseEnteredInteger("2147483647"), INT_MAX);
    EXPECT_EQ(ParseEnteredInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseEnteredInteger("$7FFFFFFF"), INT_MAX);
    EXPECT_EQ(ParseEnteredInteger("-$80000000"), INT_MIN);
}

TEST(IntConvertTest, EnteredIntegersRefuseOtherTextAndWhatExceeds32Bits)
{
    for (const char* text : {"", "  ", "-", "$", "0x", "12 ", "1 2", "+-1", "$-1", "12a", "0x1g", "1.0",
                             "2147483648", "-2147483649", "$80000000", "$FFFFFFFF", "99999999999999999999",
                             "\x82\x50\x82\x51"}) // full-width "１２" in Shift-JIS
        EXPECT_EQ(ParseEnteredInteger(text), std::nullopt) << '"' << text << '"';
}
