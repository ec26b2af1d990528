#include "editor/text/edWordWrap.h"

#include "editor/base/edUtils.h"
#include "editor/text/edAttributeArray.h"
#include "editor/text/edCellAttributes.h"

#include <cassert>
#include <string>

namespace kestrim {
namespace {

// Word break cuts after a delimiter, a tab (its fill cells) or a two-byte character.
bool IsBreakCell(char Cell)
{
    return Cell == CellDelimiter || Cell == CellTabFill || Cell == CellTrailByte;
}

// Whether Char, one character, is one of the characters of List, both in Encoding.
bool IsListed(TTextEncoding Encoding, std::string_view Char, std::string_view List)
{
    if (Encoding == TTextEncoding::ShiftJis)
        return StrIncludes(Char, List);
    for (std::size_t offset = 0; offset < List.size();) {
        const std::size_t bytes = CharByteCount(TTextEncoding::Utf8, List, offset);
        if (List.substr(offset, bytes) == Char)
            return true;
        offset += bytes;
    }
    return false;
}

} // namespace

template <typename OnRow>
void TEditorWordWrap::ForEachRow(std::string_view Line, OnRow&& onRow) const
{
    std::string_view rest = Line;
    while (const std::size_t cut = RowCut(rest)) {
        if (cut == rest.size() && FOption.FollowRetMark()) {
            onRow(rest, raCrlf); // an exactly full last row keeps the line end
            return;
        }
        onRow(rest.substr(0, cut), raWrapped);
        rest.remove_prefix(cut);
    }
    onRow(rest, raCrlf); // what is left, or the empty row after an exactly full one
}

int TEditorWordWrap::WrapCount(std::string_view Line) const
{
    if (!FWordWrap)
        return 1;
    int rows = 0;
    ForEachRow(Line, [&rows](std::string_view, TRowAttribute) { ++rows; });
    return rows;
}

void TEditorWordWrap::StrToWrapList(std::string_view Text, TEditorStringList& List) const
{
    List.BeginUpdate();
    List.Clear();
    if (Text.empty())
        List.Add("");
    else if (!FWordWrap)
        StrToLines(Text, List);
    else
        ForEachLine(Text, [&](std::size_t begin, std::size_t end) {
            ForEachRow(Text.substr(begin, end - begin), [&List](std::string_view row, TRowAttribute attribute) {
                const int index = List.Add(row);
                List.SetRows(index, attribute);
            });
        });
    List.EndUpdate();
}

std::size_t TEditorWordWrap::RowCut(std::string_view Rest) const
{
    const int wrapByte = FOption.WrapByte();
    TEditorAttributeArray cursor = FLayout.Encoding() == TTextEncoding::Utf8
                                       ? TEditorAttributeArray(Rest, Utf8CellsOf(Rest, FLayout, true, wrapByte))
                                       : TEditorAttributeArray(Rest, StrToAttributes(Rest, FLayout, true, wrapByte));
    cursor.MoveTo(wrapByte);
    if (cursor.Ch() == CellEnd)
        return 0;
    StepBackToBreak(cursor);
    HangPunctuation(cursor);
    ApplyLineStartAndEndRules(cursor);
    // The steps back end near column WrapByte / 3 at the earliest (WrapByte is at least 20) and
    // never on a lead cell, and ByteIndex counts exactly the bytes up to the cursor: every cut
    // takes at least one whole character, so the wrap always ends.
    assert(cursor.Position() > 1 && cursor.Ch() != CellLeadByte);
    return static_cast<std::size_t>(cursor.ByteIndex());
}

// A two-column character across the row end goes whole to the next row. With WordBreak the row
// ends at the nearest break before the row end, but keeps at least a third of its width.
void TEditorWordWrap::StepBackToBreak(TEditorAttributeArray& Cursor) const
{
    const int wrapByte = FOption.WrapByte();
    if (Cursor.Ch() == CellLeadByte) {
        Cursor.Prev();
        return;
    }
    if (!FOption.WordBreak() || Cursor.CellCount() <= wrapByte)
        return;
    do
        Cursor.PrevChar();
    while (!IsBreakCell(Cursor.Ch()) && Cursor.Position() > wrapByte / 3);
}

// Punctuation after the row end stays on the row, up to two columns past it (a tab is no
// punctuation).
void TEditorWordWrap::HangPunctuation(TEditorAttributeArray& Cursor) const
{
    if (!FOption.FollowPunctuation())
        return;
    const int lastColumn = FOption.WrapByte() + 2;
    const TTextEncoding encoding = FLayout.Encoding();
    const std::string& punctuation = FOption.PunctuationStr(encoding);
    const auto hangs = [&] {
        return Cursor.Position() + Cursor.NextCharColumns() <= lastColumn &&
               IsListed(encoding, Cursor.NextChar(), punctuation);
    };
    while (hangs()) {
        Cursor.Next();
        if (Cursor.Ch() == CellLeadByte)
            Cursor.Next();
    }
}

// A character of LeadStr does not end a row and a character of FollowStr does not start one:
// the cut moves back over them, but only within the last fifth of the row.
void TEditorWordWrap::ApplyLineStartAndEndRules(TEditorAttributeArray& Cursor) const
{
    if (!FOption.Leading() || Cursor.Position() >= Cursor.CellCount())
        return;
    const int floor = FOption.WrapByte() / 5 * 4;
    const TTextEncoding encoding = FLayout.Encoding();
    const std::string& leadStr = FOption.LeadStr(encoding);
    const std::string& followStr = FOption.FollowStr(encoding);
    while (Cursor.Position() > floor && IsListed(encoding, Cursor.CurrentChar(), leadStr))
        Cursor.PrevChar();
    if (Cursor.Position() + 1 >= Cursor.CellCount())
        return;
    std::string_view next = Cursor.NextChar();
    std::string_view current = Cursor.CurrentChar();
    if (!IsListed(encoding, next, followStr))
        return;
    const auto mayNotBreakHere = [&] {
        return IsListed(encoding, current, leadStr) || IsListed(encoding, next, followStr);
    };
    while (Cursor.Position() > floor && mayNotBreakHere()) {
        Cursor.PrevChar();
        next = current;
        current = Cursor.CurrentChar();
    }
}

} // namespace kestrim
