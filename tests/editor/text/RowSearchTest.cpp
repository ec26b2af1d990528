#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/text/RowSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace kestrim;

namespace {

using Row = std::pair<std::string, TRowAttribute>;

void Fill(TEditorStringList& List, const std::vector<Row>& Rows)
{
    for (const auto& [text, attribute] : Rows) {
        List.Add(text);
        List.SetRows(List.GetCount() - 1, attribute);
    }
}

std::optional<TRowSearchHit> Search(const TEditorStringList& Rows, int Row, int Offset, const std::string& Pattern,
                                    TSearchOptions Options, int BlockSize, int HitLength = 0)
{
    return SearchRows(Rows, Row, Offset, HitLength, Pattern, Options, BlockSize);
}

} // namespace

TEST(RowSearch, NothingToSearchAndRowsOutOfRange)
{
    const TEditorStringList empty;
    EXPECT_EQ(SearchRows(empty, 0, 0, 0, "a", soDown), std::nullopt);
    TEditorStringList rows;
    Fill(rows, {{"abc", raEof}});
    EXPECT_EQ(SearchRows(rows, 0, 0, 0, "", soDown), std::nullopt);
    EXPECT_EQ(SearchRows(rows, 0, 0, -1, "a", soDown), std::nullopt);
    EXPECT_THROW(SearchRows(rows, 1, 0, 0, "a", soDown), EStringListError);
    EXPECT_EQ(SearchRows(rows, 0, 99, 0, "c", 0), (TRowSearchHit{0, 2, 1})); // the offset is clamped
}

TEST(RowSearch, FindsHitsThatCrossRowsAndBlocks)
{
    TEditorStringList rows;
    Fill(rows, {{"ab", raWrapped}, {"cd", raWrapped}, {"ef", raCrlf}, {"gh", raEof}});
    EXPECT_EQ(Search(rows, 0, 0, "bcde", soDown, 2), (TRowSearchHit{0, 1, 4}));
    EXPECT_EQ(Search(rows, 3, 2, "bcde", 0, 2), (TRowSearchHit{0, 1, 4}));
    EXPECT_EQ(Search(rows, 0, 0, "fg", soDown | soAcrossLines, 1), (TRowSearchHit{2, 1, 4}));
    EXPECT_EQ(Search(rows, 0, 0, "\r\ng", soDown, 3), (TRowSearchHit{2, 2, 3})); // starts on the line break
    EXPECT_EQ(Search(rows, 0, 0, "fg", soDown, 1), std::nullopt);
}

TEST(RowSearch, StartsAfterTheHitAndBelowTheLastRow)
{
    TEditorStringList rows;
    Fill(rows, {{"foo", raCrlf}, {"foo", raCrlf}, {"", raEof}});
    EXPECT_EQ(Search(rows, 0, 0, "foo", soDown, 4, 3), (TRowSearchHit{1, 0, 3}));
    EXPECT_EQ(Search(rows, 0, 1, "o", soDown, 4, 4), (TRowSearchHit{1, 1, 1})); // the hit ran into row 1
    EXPECT_EQ(Search(rows, 1, 5, "foo", 0, 4), (TRowSearchHit{1, 0, 3}));
    EXPECT_EQ(Search(rows, 1, 0, "foo", 0, 4), (TRowSearchHit{0, 0, 3}));
    EXPECT_EQ(Search(rows, 1, 0, "foo", soDown, 4, 3), std::nullopt);
}

TEST(RowSearch, WholeWordsAreJudgedAcrossBlockEdges)
{
    TEditorStringList wrapped;
    Fill(wrapped, {{"x foo", raWrapped}, {"bar ", raWrapped}, {"foo", raEof}});
    EXPECT_EQ(Search(wrapped, 0, 0, "foo", soDown | soWholeWord, 5), (TRowSearchHit{2, 0, 3}));
    EXPECT_EQ(Search(wrapped, 2, 3, "bar", soWholeWord, 5), std::nullopt);
    EXPECT_EQ(Search(wrapped, 2, 3, "x", soWholeWord, 1), (TRowSearchHit{0, 0, 1}));
    TEditorStringList broken;
    Fill(broken, {{"x foo", raCrlf}, {"bar", raEof}});
    EXPECT_EQ(Search(broken, 0, 0, "foo", soDown | soWholeWord, 5), (TRowSearchHit{0, 2, 3}));
    EXPECT_EQ(Search(broken, 1, 3, "bar", soWholeWord, 3), (TRowSearchHit{1, 0, 3}));
}

// A hit that skips a long run of empty lines is read in windows that double, not grow by a
// block at a time, which took minutes before.
TEST(RowSearch, AHitAcrossManyLineBreaksIsFoundInReasonableTime)
{
    constexpr int emptyLines = 100'000;
    TEditorStringList rows;
    Fill(rows, {{"a", raCrlf}});
    for (int i = 0; i < emptyLines; ++i)
        rows.Add("");
    Fill(rows, {{"b", raEof}});
    const TRowSearchHit hit{0, 0, 3 + 2 * emptyLines + 1};
    EXPECT_EQ(Search(rows, 0, 0, "ab", soDown | soAcrossLines, 16), hit);
    EXPECT_EQ(Search(rows, emptyLines + 1, 1, "ab", soAcrossLines, 16), hit);
}

namespace {

// Characters of random texts: two-byte ones whose trail byte is a letter or a delimiter byte,
// kana and a voicing mark, blanks.
const std::vector<std::string> Alphabet = {"a", "b", "A", "_", " ", "\t", "1", "\x82\xA0", "\x83\x61", "\x83\x41",
                                           "\xB6", "\xDE", "\x83\x4B", "\x81\x40"};

struct Document {
    TEditorStringList Rows;
    std::string Text; // the rows joined as the search sees them
    std::vector<int> Starts;
};

// Lines of random characters, some ending in a lone lead byte, cut into rows at characters.
void FillRandomly(Document& Doc, std::mt19937& Random)
{
    const int lines = 1 + static_cast<int>(Random() % 6);
    for (int line = 0; line < lines; ++line) {
        std::vector<std::string> chars(Random() % 12);
        for (auto& c : chars)
            c = Alphabet[Random() % Alphabet.size()];
        if (Random() % 8 == 0)
            chars.push_back("\x82");
        std::size_t next = 0;
        do {
            std::string row;
            for (const std::size_t end = std::min(chars.size(), next + 1 + Random() % 5); next < end; ++next)
                row += chars[next];
            Fill(Doc.Rows, {{row, next < chars.size() ? raWrapped : line + 1 < lines ? raCrlf : raEof}});
        } while (next < chars.size());
    }
    for (int row = 0; row < Doc.Rows.GetCount(); ++row) {
        Doc.Starts.push_back(static_cast<int>(Doc.Text.size()));
        Doc.Text.append(Doc.Rows.Str(row)) += Doc.Rows.Rows(row) == raCrlf ? "\r\n" : "";
    }
}

std::vector<bool> CharStarts(const std::string& Text)
{
    std::vector<bool> starts(Text.size() + 1, true);
    for (std::size_t i = 0; i < Text.size(); ++i)
        if (i + 1 < Text.size() && IsDBCSLeadByte(Text[i]))
            starts[++i] = false;
    return starts;
}

bool Delimiter(char Byte)
{
    const auto b = static_cast<unsigned char>(Byte);
    return b <= 0x2F || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x60) || (b >= 0x7B && b <= 0x80)
           || (b >= 0xA0 && b <= 0xA5) || b >= 0xFD;
}

// The plain search: the pattern's bytes at a character start, one-byte letters folded unless
// matching case.
std::optional<int> ReferenceSearch(const std::string& Text, int Position, int Length, const std::string& Pattern,
                                   TSearchOptions Options)
{
    const std::vector<bool> starts = CharStarts(Text), patternStarts = CharStarts(Pattern);
    const auto sameByte = [&](std::size_t at, std::size_t i) {
        const bool letter = (Options & soMatchCase) == 0 && patternStarts[i] && patternStarts[i + 1];
        return letter ? std::toupper(static_cast<unsigned char>(Text[at + i]))
                            == std::toupper(static_cast<unsigned char>(Pattern[i]))
                      : Text[at + i] == Pattern[i];
    };
    const auto matches = [&](std::size_t at) {
        const std::size_t end = at + Pattern.size();
        if (!starts[at] || end > Text.size())
            return false;
        for (std::size_t i = 0; i < Pattern.size(); ++i)
            if (!sameByte(at, i))
                return false;
        std::size_t previous = at;
        while (previous > 0 && !starts[--previous]) {
        }
        return (Options & soWholeWord) == 0
               || (!Delimiter(Text[at]) && (at == 0 || Delimiter(Text[previous]))
                   && (end == Text.size() || Delimiter(Text[end])));
    };
    const int size = static_cast<int>(Pattern.size());
    if (Options & soDown) {
        for (int at = Position + Length; at < static_cast<int>(Text.size()); ++at)
            if (matches(static_cast<std::size_t>(at)))
                return at;
    } else {
        for (int at = Position - size; at >= 0; --at)
            if (matches(static_cast<std::size_t>(at)))
                return at;
    }
    return std::nullopt;
}

} // namespace

// The row search with tiny blocks agrees with SearchText on the joined rows for every option,
// and SearchText agrees with the plain search where that can follow the options.
TEST(RowSearch, AgreesWithSearchTextAndAPlainSearchOnRandomText)
{
    std::mt19937 random(20240611);
    const TSearchOptions options[] = {soDown, soMatchCase, soWholeWord, soIgnoreWidth, soAcrossLines, soIgnoreSpaces};
    int hits = 0, compared = 0;
    for (int trial = 0; trial < 30000; ++trial) {
        Document doc;
        FillRandomly(doc, random);
        std::string pattern;
        for (std::size_t n = 1 + random() % 3; n > 0; --n)
            pattern += Alphabet[random() % 8 == 0 ? 0 : random() % Alphabet.size()];
        TSearchOptions set = 0;
        for (TSearchOptions option : options)
            set |= random() % 2 ? option : 0;
        const int row = static_cast<int>(random() % static_cast<unsigned>(doc.Rows.GetCount()));
        const int rowEnd = row + 1 < doc.Rows.GetCount() ? doc.Starts[row + 1] : static_cast<int>(doc.Text.size());
        const int offset = static_cast<int>(random() % static_cast<unsigned>(rowEnd - doc.Starts[row] + 1));
        const int hitLength = random() % 2 ? 0 : static_cast<int>(random() % 5);
        const int blockSize = random() % 10 == 0 ? SearchBlockSize : 1 + static_cast<int>(random() % 12);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " options " << set << " block " << blockSize);

        int position = doc.Starts[row] + offset, length = hitLength;
        std::optional<TRowSearchHit> expected;
        if (SearchText(doc.Text, position, length, pattern, set)) {
            const int hitRow = static_cast<int>(std::upper_bound(doc.Starts.begin(), doc.Starts.end(), position)
                                                - doc.Starts.begin()) - 1;
            expected = TRowSearchHit{hitRow, position - doc.Starts[hitRow], length};
            ++hits;
        }
        ASSERT_EQ(SearchRows(doc.Rows, row, offset, hitLength, pattern, set, blockSize), expected);
        if ((set & (soIgnoreWidth | soAcrossLines | soIgnoreSpaces)) == 0) {
            const std::optional<int> reference =
                ReferenceSearch(doc.Text, doc.Starts[row] + offset, hitLength, pattern, set);
            ASSERT_EQ(reference, expected ? std::optional<int>(position) : std::nullopt);
            ++compared;
        }
    }
    EXPECT_GT(hits, 2000);
    EXPECT_GT(compared, 3000);
}

// UTF-8 rows with characters beyond Shift-JIS, marks and invalid bytes: the row search with
// tiny blocks agrees with SearchText on the joined rows.
TEST(RowSearch, Utf8RowsAgreeWithSearchTextOnTheJoinedRows)
{
    const std::vector<std::string> alphabet = {"a", "É", "é", "e\xCC\x81", "😀", " ", "_", "あ", "ｶ", "ﾞ", "\xFF", "\xC0", "\x80"};
    std::mt19937 random(8);
    int hits = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        TEditorStringList rows;
        std::string text;
        std::vector<int> starts;
        for (int row = 0, count = 1 + static_cast<int>(random() % 6); row < count; ++row) {
            std::string line;
            for (std::size_t n = random() % 5; n > 0; --n)
                line += alphabet[random() % alphabet.size()];
            const TRowAttribute attribute = row + 1 == count ? raEof : random() % 2 ? raWrapped : raCrlf;
            Fill(rows, {{line, attribute}});
            starts.push_back(static_cast<int>(text.size()));
            text += line + (attribute == raCrlf ? "\r\n" : "");
        }
        std::string pattern;
        for (std::size_t n = 1 + random() % 2; n > 0; --n)
            pattern += alphabet[random() % alphabet.size()];
        const TSearchOptions set = static_cast<TSearchOptions>(random() % 16 | (random() % 2 ? soAcrossLines : 0));
        const int row = static_cast<int>(random() % static_cast<unsigned>(rows.GetCount()));
        const int rowEnd = row + 1 < rows.GetCount() ? starts[row + 1] : static_cast<int>(text.size());
        const int offset = static_cast<int>(random() % static_cast<unsigned>(rowEnd - starts[row] + 1));
        const int blockSize = 1 + static_cast<int>(random() % 8);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " options " << set << " block " << blockSize);
        int position = starts[row] + offset, length = 0;
        std::optional<TRowSearchHit> expected;
        if (SearchText(text, position, length, pattern, set, TTextEncoding::Utf8)) {
            const int hitRow =
                static_cast<int>(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
            expected = TRowSearchHit{hitRow, position - starts[hitRow], length};
            ++hits;
        }
        ASSERT_EQ(SearchRows(rows, row, offset, 0, pattern, set, blockSize, TTextEncoding::Utf8), expected);
    }
    EXPECT_GT(hits, 1000);
}

TEST(RowSearch, Utf8HitsCrossRowsAndBlocks)
{
    TEditorStringList rows;
    Fill(rows, {{"xé", raWrapped}, {"😀y", raCrlf}, {"ｶ", raWrapped}, {"ﾞz", raEof}});
    EXPECT_EQ(SearchRows(rows, 0, 0, 0, "É😀Y", soDown, 1, TTextEncoding::Utf8), (TRowSearchHit{0, 1, 7}));
    EXPECT_EQ(SearchRows(rows, 3, 4, 0, "é😀", 0, 2, TTextEncoding::Utf8), (TRowSearchHit{0, 1, 6}));
    EXPECT_EQ(SearchRows(rows, 0, 0, 0, "yガ", soDown | soIgnoreWidth | soAcrossLines, 1, TTextEncoding::Utf8),
              (TRowSearchHit{1, 4, 9}));
    EXPECT_EQ(SearchRows(rows, 0, 0, 0, "カ", soDown | soIgnoreWidth, 1, TTextEncoding::Utf8), std::nullopt);
}
