#include "editor/text/edStringList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace kestrim;

namespace {

struct TModelRow {
    std::string Text;
    std::string Extra;
    TRowMarks Marks = 0;
};

// Rows of every size class: empty, short, about a line, and larger than a shared block takes.
std::string RandomText(std::mt19937& Random)
{
    static const std::size_t Lengths[] = {0, 1, 7, 50, 300, 70'000};
    const std::size_t length = Lengths[Random() % std::size(Lengths)] + Random() % 3;
    return std::string(length, static_cast<char>('a' + Random() % 26));
}

// Rows built on a thread of their own, freed wherever the list that takes them goes.
void AddRowsOnAnotherThread(TEditorStringList& Rows, std::vector<TModelRow>& Model, std::mt19937& Random)
{
    const unsigned seed = Random();
    std::thread([&] {
        std::mt19937 own(seed);
        for (int i = 0; i < 5; ++i) {
            Model.push_back({RandomText(own), i % 2 ? RandomText(own) : std::string(), RowMark(i)});
            Rows.SetRowMarks(Rows.Add(Model.back().Text), Model.back().Marks);
            Rows.SetExtraStrings(Rows.Count() - 1, Model.back().Extra);
        }
    }).join();
}

} // namespace

// Seeded random edits against a plain model: text, carried string and marks stay together
// through inserts, overwrites, exchanges, deletes and rows moved in from other lists.
TEST(RowText, RowsKeepTextCarriedStringAndMarksThroughEdits)
{
    std::mt19937 random(26);
    TEditorStringList list;
    std::vector<TModelRow> model;
    for (int step = 0; step < 1000; ++step) {
        const int count = list.Count();
        const int at = static_cast<int>(random() % static_cast<unsigned>(count + 1));
        switch (count == 0 ? 0 : count > 30 ? 4 : random() % 6) {
        case 0: {
            const std::string_view first = count > 0 ? list.Str(0) : std::string_view();
            const std::string text = RandomText(random);
            list.Insert(at, text);
            model.insert(model.begin() + at, {text, {}, 0});
            if (count > 0 && at == 0)
                ASSERT_EQ(list.Str(1).data(), first.data()) << "a row's bytes stay put while it moves";
            break;
        }
        case 1:
            model[at % count].Text = RandomText(random);
            list.Put(at % count, model[at % count].Text);
            break;
        case 2:
            model[at % count].Extra = random() % 2 ? RandomText(random) : std::string();
            list.SetExtraStrings(at % count, model[at % count].Extra);
            break;
        case 3:
            list.Exchange(at % count, 0);
            std::swap(model[at % count], model[0]);
            break;
        case 4:
            list.Delete(at % count);
            model.erase(model.begin() + at % count);
            break;
        default: {
            TEditorStringList source;
            std::vector<TModelRow> moved;
            AddRowsOnAnotherThread(source, moved, random);
            const int replaced = std::min(count - at, static_cast<int>(random() % 3));
            list.ReplaceItems(at, replaced, source);
            model.erase(model.begin() + at, model.begin() + at + replaced);
            model.insert(model.begin() + at, moved.begin(), moved.end());
            ASSERT_EQ(source.Count(), 0);
        }
        }
        ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
        for (int row = 0; row < list.Count(); ++row) {
            const TModelRow& expected = model[static_cast<std::size_t>(row)];
            ASSERT_EQ(list.Str(row), expected.Text) << "row " << row << " at step " << step;
            ASSERT_EQ(list.ExtraStrings(row), expected.Extra) << "row " << row << " at step " << step;
            ASSERT_EQ(list.RowMarks(row), expected.Marks) << "row " << row << " at step " << step;
        }
    }
}
