#include "app/AmountText.h"

#include <gtest/gtest.h>

using namespace kestrim;

TEST(AmountTextTest, EachSizeInTheUnitThatShowsIt)
{
    const struct {
        std::uint64_t Bytes;
        const char* Text;
    } cases[] = {
        {0, "0 バイト"},       {2, "2 バイト"},         {1023, "1023 バイト"},         {1024, "1.0 KB"},
        {1536, "1.5 KB"},      {(1u << 20) - 1, "1024.0 KB"}, {1u << 20, "1.0 MB"}, {627'677'594, "598.6 MB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AmountText(c.Bytes).toStdString(), c.Text) << c.Bytes;
}
