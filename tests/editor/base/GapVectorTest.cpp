#include "editor/base/GapVector.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace kestrim;

namespace {

// A string that counts the live ones: the gap must hold none.
struct TCounted {
    static inline int Live = 0;
    TCounted(std::string Text) : Text(std::move(Text)) { ++Live; }
    TCounted(TCounted&& Other) noexcept : Text(std::move(Other.Text)) { ++Live; }
    TCounted& operator=(TCounted&&) = delete;
    ~TCounted() { --Live; }
    std::string Text;
};

std::vector<std::string> Contents(const TGapVector<TCounted>& Gap)
{
    std::vector<std::string> items;
    for (std::size_t i = 0; i < Gap.size(); ++i)
        items.push_back(Gap[i].Text);
    return items;
}

} // namespace

// Inserts and erases at random places, with the gap moving both ways past long strings (which
// own memory) and past short ones, and erases that end where the last insert ended (at the
// gap, as Back Space and clearing from the end do), against a plain vector; every element
// lives exactly once.
TEST(GapVector, AgreesWithAPlainVector)
{
    std::mt19937 random(7);
    auto gap = std::make_unique<TGapVector<TCounted>>();
    std::vector<std::string> plain;
    std::size_t insertEnd = 0;
    for (int step = 0; step < 5000; ++step) {
        const std::size_t at = random() % (plain.size() + 1);
        if (random() % 3 != 0 || plain.empty()) {
            std::vector<TCounted> items;
            for (std::size_t count = 1 + random() % 4; items.size() < count;)
                items.emplace_back(std::string(1 + random() % 40, static_cast<char>('a' + step % 26)));
            for (std::size_t i = 0; i < items.size(); ++i)
                plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at + i), items[i].Text);
            if (gap->capacity() - gap->size() < items.size())
                gap->SetCapacity(gap->size() + items.size() + random() % 8);
            gap->Insert(at, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
            insertEnd = at + items.size();
        } else {
            const bool atGap = random() % 2 == 0 && insertEnd > 0 && insertEnd <= plain.size();
            std::size_t from = at % plain.size();
            std::size_t count = std::min<std::size_t>(1 + random() % 5, plain.size() - from);
            if (atGap) {
                count = std::min<std::size_t>(count, insertEnd);
                from = insertEnd - count;
            }
            insertEnd = from;
            plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(from),
                        plain.begin() + static_cast<std::ptrdiff_t>(from + count));
            gap->Erase(from, count);
        }
        ASSERT_EQ(Contents(*gap), plain) << "step " << step;
        ASSERT_EQ(TCounted::Live, static_cast<int>(plain.size())) << "step " << step;
    }
    TGapVector<TCounted> other;
    other.Swap(*gap);
    EXPECT_EQ(Contents(other), plain);
    EXPECT_TRUE(gap->empty());
    other.Swap(*gap);
    gap.reset();
    EXPECT_EQ(TCounted::Live, 0);
}
