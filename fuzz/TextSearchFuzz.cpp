// Feeds random text, pattern, start and options to SearchText and checks that a hit lies
// inside the text on character boundaries and on the searched side of the start. The same
// text cut into rows goes through the block-wise row search with tiny blocks, which must find
// the hit that SearchText finds in the joined rows. The text is an exact-size copy, so that a
// read past it is caught by AddressSanitizer. The same bytes go through both encodings.

#include "editor/base/CodePage.h"
#include "editor/base/TextEncoding.h"
#include "editor/text/RowSearch.h"
#include "editor/text/TextSearch.h"

#include "FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace kestrim;

namespace {

std::vector<bool> CharStarts(TTextEncoding Encoding, std::string_view Text)
{
    std::vector<bool> starts(Text.size() + 1, false);
    for (std::size_t offset = 0; offset < Text.size(); offset += CharByteCount(Encoding, Text, offset))
        starts[offset] = true;
    starts[Text.size()] = true;
    return starts;
}

void CheckSearchText(TTextEncoding Encoding, std::string_view Text, int Position, int Length,
                     std::string_view Pattern, TSearchOptions Options)
{
    const int start = Position, currentLength = Length;
    if (!SearchText(Text, Position, Length, Pattern, Options, Encoding))
        return;
    Check(Position >= 0 && Length > 0 && static_cast<std::size_t>(Position + Length) <= Text.size(),
          "hit outside the text");
    const std::vector<bool> starts = CharStarts(Encoding, Text);
    Check(starts[static_cast<std::size_t>(Position)] && starts[static_cast<std::size_t>(Position + Length)],
          "hit off a character boundary");
    if (Options & soDown)
        Check(Position >= start + currentLength, "forward hit before the start");
    else
        Check(Position < start, "backward hit after the start");
}

// Whether a row may end before Next and go on in the next row: rows end on character
// boundaries. A Shift-JIS row may not end in a lone lead byte; a UTF-8 row ends where an ASCII
// byte meets an ASCII byte (not a line break, which the next row would not hold), the one place
// no character can reach across.
bool MayWrap(TTextEncoding Encoding, const std::string& Row, std::string_view Next)
{
    if (Encoding == TTextEncoding::Utf8)
        return !Row.empty() && !Next.empty() && static_cast<unsigned char>(Row.back()) < 0x80
               && static_cast<unsigned char>(Next.front()) < 0x80 && Next.front() != '\r' && Next.front() != '\n';
    return Row.empty() || !CharStarts(Encoding, Row)[Row.size() - 1] || !IsDBCSLeadByte(Row.back());
}

// Lines of Text become rows; a line whose bit in Wrapped is set goes on in the next row when
// MayWrap allows it.
void CutIntoRows(TTextEncoding Encoding, std::string_view Text, std::uint32_t Wrapped, TEditorStringList& Rows)
{
    std::size_t begin = 0;
    for (int index = 0;; ++index) {
        const std::size_t end = std::min(Text.find('\n', begin), Text.size());
        std::string row;
        for (char c : Text.substr(begin, end - begin))
            if (c != '\r')
                row += c;
        Rows.Add(row);
        if (end == Text.size()) {
            Rows.SetRows(Rows.GetCount() - 1, raEof);
            return;
        }
        const bool wrapped = (Wrapped >> (index % 32) & 1) != 0 && MayWrap(Encoding, row, Text.substr(end + 1));
        Rows.SetRows(Rows.GetCount() - 1, wrapped ? raWrapped : raCrlf);
        begin = end + 1;
    }
}

void CheckRowSearch(TTextEncoding Encoding, std::string_view Text, std::uint32_t Wrapped, int Row, int Offset,
                    int HitLength, std::string_view Pattern, TSearchOptions Options, int BlockSize)
{
    TEditorStringList rows;
    CutIntoRows(Encoding, Text, Wrapped, rows);
    std::string joined;
    std::vector<int> rowStarts;
    for (int row = 0; row < rows.GetCount(); ++row) {
        rowStarts.push_back(static_cast<int>(joined.size()));
        joined += rows.Str(row) + (rows.Rows(row) == raCrlf ? "\r\n" : "");
    }
    Row %= rows.GetCount();
    const int rowBytes = (Row + 1 < rows.GetCount() ? rowStarts[Row + 1] : static_cast<int>(joined.size())) - rowStarts[Row];
    Offset %= rowBytes + 1;
    int position = rowStarts[Row] + Offset, length = HitLength;
    std::optional<TRowSearchHit> expected;
    if (SearchText(joined, position, length, Pattern, Options, Encoding)) {
        int hitRow = Row;
        while (hitRow + 1 < rows.GetCount() && rowStarts[hitRow + 1] <= position)
            ++hitRow;
        while (rowStarts[hitRow] > position)
            --hitRow;
        expected = TRowSearchHit{hitRow, position - rowStarts[hitRow], length};
    }
    Check(SearchRows(rows, Row, Offset, HitLength, Pattern, Options, BlockSize, Encoding) == expected,
          "row search differs from SearchText on the joined rows");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzedDataProvider input(Data, Size);
    const auto options = input.ConsumeIntegral<TSearchOptions>();
    const int position = input.ConsumeIntegral<std::uint16_t>() % 600 - 50;
    const int length = input.ConsumeIntegral<std::uint8_t>() % 40 - 2;
    const int blockSize = 1 + input.ConsumeIntegral<std::uint8_t>() % 64;
    const auto wrapped = input.ConsumeIntegral<std::uint32_t>();
    const int row = input.ConsumeIntegral<std::uint8_t>();
    const std::string pattern = input.ConsumeRandomLengthString(24);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const std::vector<char> text(rest.begin(), rest.end());
    const std::string_view view(text.data(), text.size());

    for (const TTextEncoding encoding : {TTextEncoding::ShiftJis, TTextEncoding::Utf8}) {
        CheckSearchText(encoding, view, position, length, pattern, options);
        if (!view.empty() && length >= 0)
            CheckRowSearch(encoding, view, wrapped, row, position < 0 ? 0 : position, length, pattern, options,
                           blockSize);
    }
    return 0;
}
