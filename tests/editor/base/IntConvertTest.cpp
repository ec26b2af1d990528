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
