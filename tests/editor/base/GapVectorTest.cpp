#include "editor/base/GapVector.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

std::vector<std::string> Contents(const TGapVector<std::string>& Gap)
{
    std::vector<std::string> items;
    for (std::size_t i = 0; i < Gap.size(); ++i)
        items.push_back(Gap[i]);
    return items;
}

} // namespace

// Inserts and erases at random places, with the gap moving both ways past long strings (which
// own memory) and past short ones, against a plain vector.
TEST(GapVector, AgreesWithAPlainVector)
{
    std::mt19937 random(7);
    TGapVector<std::string> gap;
    std::vector<std::string> plain;
    for (int step = 0; step < 5000; ++step) {
        const std::size_t at = random() % (plain.size() + 1);
        if (random() % 3 != 0 || plain.empty()) {
            std::vector<std::string> items(1 + random() % 4);
            for (std::string& item : items)
                item = std::string(1 + random() % 40, static_cast<char>('a' + step % 26));
            plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), items.begin(), items.end());
            if (gap.capacity() - gap.size() < items.size())
                gap.SetCapacity(gap.size() + items.size() + random() % 8);
            gap.Insert(at, items.begin(), items.end());
        } else {
            const std::size_t from = at % plain.size();
            const std::size_t count = std::min<std::size_t>(1 + random() % 5, plain.size() - from);
            plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(from),
                        plain.begin() + static_cast<std::ptrdiff_t>(from + count));
            gap.Erase(from, count);
        }
        ASSERT_EQ(Contents(gap), plain) << "step " << step;
    }
    TGapVector<std::string> other;
    other.Swap(gap);
    EXPECT_EQ(Contents(other), plain);
    EXPECT_TRUE(gap.empty());
}
