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

// Characters for random texts: letters whose two-byte forms have a trail byte equal to a
// letter or a delimiter byte, kana with voicing marks, blanks and the full-width letters that
// fold in case.
const std::vector<std::string> Alphabet = {
    "a", "b", "A", "B", "_", " ", "1", "\t", "\x82\xA0", "\x83\x61", "\x83\x41", "\xB6", "\xDE", "\x83\x4B", "\x82\x81",
    "\x82\x60", "\x81\x40",
};

struct Document {
    TEditorStringList Rows;
    std::string Text;                 // the rows joined as the search sees them
    std::vector<std::size_t> Starts;  // where each row starts in Text
};

// Lines of random characters (the last one now and then a lone lead byte), cut into rows at
// character boundaries.
void FillRandomly(Document& doc, std::mt19937& Random)
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
            const std::size_t end = std::min(chars.size(), next + 1 + Random() % 5);
            std::string row;
            for (; next < end; ++next)
                row += chars[next];
            doc.Rows.Add(row);
            const bool lastRowOfLine = next == chars.size();
            doc.Rows.SetRows(doc.Rows.GetCount() - 1,
                             !lastRowOfLine ? raWrapped : line + 1 == lines ? raEof : raCrlf);
        } while (next < chars.size());
    }
    for (int row = 0; row < doc.Rows.GetCount(); ++row) {
        doc.Starts.push_back(doc.Text.size());
        doc.Text += doc.Rows.Str(row) + (doc.Rows.Rows(row) == raCrlf ? "\r\n" : "");
    }
}

std::size_t CharLength(const std::string& Text, std::size_t Offset)
{
    return Offset + 1 < Text.size() && IsDBCSLeadByte(Text[Offset]) ? 2 : 1;
}

std::vector<bool> CharStarts(const std::string& Text)
{
    std::vector<bool> starts(Text.size() + 1, false);
    for (std::size_t offset = 0; offset < Text.size(); offset += CharLength(Text, offset))
        starts[offset] = true;
    starts[Text.size()] = true;
    return starts;
}

bool Delimiter(unsigned char Byte)
{
    return Byte <= 0x2F || (Byte >= 0x3A && Byte <= 0x40) || (Byte >= 0x5B && Byte <= 0x60)
           || (Byte >= 0x7B && Byte <= 0x80) || (Byte >= 0xA0 && Byte <= 0xA5) || Byte >= 0xFD;
}

// Ignoring case, ASCII letters and the full-width a equal their upper case.
bool SameChar(const std::string& T, const std::string& P, bool MatchCase)
{
    if (T == P)
        return true;
    if (MatchCase)
        return false;
    if (T.size() == 1 && P.size() == 1)
        return std::toupper(static_cast<unsigned char>(T[0])) == std::toupper(static_cast<unsigned char>(P[0]));
    const auto fullWidthA = [](const std::string& C) { return C == "\x82\x81" || C == "\x82\x60"; };
    return fullWidthA(T) && fullWidthA(P);
}

// A plain comparison, character by character from a character start.
bool ReferenceMatch(const std::string& Text, std::size_t At, const std::string& Pattern, bool MatchCase)
{
    for (std::size_t t = At, p = 0; p < Pattern.size();) {
        if (t >= Text.size())
            return false;
        const std::size_t textLength = CharLength(Text, t), patternLength = CharLength(Pattern, p);
        if (!SameChar(Text.substr(t, textLength), Pattern.substr(p, patternLength), MatchCase))
            return false;
        t += textLength;
        p += patternLength;
    }
    return true;
}

std::optional<std::pair<std::size_t, std::size_t>> ReferenceSearch(const std::string& Text, std::size_t Position,
                                                                   std::size_t Length, const std::string& Pattern,
                                                                   TSearchOptions Options)
{
    const std::vector<bool> starts = CharStarts(Text);
    auto accepted = [&](std::size_t at) {
        if (!starts[at] || !ReferenceMatch(Text, at, Pattern, Options & soMatchCase))
            return false;
        if (!(Options & soWholeWord))
            return true;
        std::size_t previous = at;
        while (previous > 0 && !starts[--previous]) {
        }
        const std::size_t end = at + Pattern.size();
        return !Delimiter(Text[at]) && (at == 0 || Delimiter(Text[previous]))
               && (end == Text.size() || Delimiter(Text[end]));
    };
    if (Options & soDown) {
        for (std::size_t at = Position + Length; at < Text.size(); ++at)
            if (accepted(at))
                return std::make_pair(at, Pattern.size());
    } else if (Position >= Pattern.size()) {
        for (std::size_t at = Position - Pattern.size() + 1; at-- > 0;)
            if (accepted(at))
                return std::make_pair(at, Pattern.size());
    }
    return std::nullopt;
}

} // namespace

// The row search agrees with SearchText on the joined rows for every option and block size,
// and SearchText agrees with a plain search where that can follow the options.
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
        const std::size_t rowBytes = (row + 1 < doc.Rows.GetCount() ? doc.Starts[row + 1] : doc.Text.size()) - doc.Starts[row];
        const int offset = static_cast<int>(random() % (rowBytes + 1));
        const int hitLength = random() % 2 ? 0 : static_cast<int>(random() % 5);
        const int blockSize = random() % 10 == 0 ? SearchBlockSize : 1 + static_cast<int>(random() % 12);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " options " << set << " block " << blockSize);

        int position = static_cast<int>(doc.Starts[row]) + offset, length = hitLength;
        const int startPosition = position;
        std::optional<TRowSearchHit> expected;
        if (SearchText(doc.Text, position, length, pattern, set)) {
            const auto next = std::upper_bound(doc.Starts.begin(), doc.Starts.end(), static_cast<std::size_t>(position));
            const int hitRow = static_cast<int>(next - doc.Starts.begin()) - 1;
            expected = TRowSearchHit{hitRow, position - static_cast<int>(doc.Starts[hitRow]), length};
            const std::vector<bool> starts = CharStarts(doc.Text);
            ASSERT_TRUE(starts[position] && starts[position + length]) << "hit off a character boundary";
            ++hits;
        }
        ASSERT_EQ(SearchRows(doc.Rows, row, offset, hitLength, pattern, set, blockSize), expected);

        if ((set & (soIgnoreWidth | soAcrossLines | soIgnoreSpaces)) == 0) {
            const auto reference = ReferenceSearch(doc.Text, startPosition, hitLength, pattern, set);
            ASSERT_EQ(expected.has_value(), reference.has_value());
            if (reference) {
                ASSERT_EQ(std::make_pair(std::size_t(position), std::size_t(length)), *reference);
            }
            ++compared;
        }
    }
    EXPECT_GT(hits, 2000);
    EXPECT_GT(compared, 3000);
}
