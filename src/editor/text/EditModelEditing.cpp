// Editing operations of TEditModel. Every change is one ReplaceRows of the rows it touches,
// hence one undo step; afterwards the caret is placed by its byte distance from an anchor row
// above the change, which survives the re-wrapping of the rows around it.

#include "editor/text/EditModel.h"

#include "editor/base/CodePage.h"
#include "editor/base/StringsBase.h"

#include <algorithm>

namespace kestrim {
namespace {

constexpr std::string_view CrLf = "\r\n";

bool IsBlank(char Byte)
{
    return Byte == ' ' || Byte == '\t';
}

// The ideographic space, as the text's encoding writes it.
std::string_view FullWidthSpace(TTextEncoding Encoding)
{
    return Encoding == TTextEncoding::Utf8 ? "\xE3\x80\x80" : "\x81\x40";
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Shared steps

int TEditModel::AnchorRowOf(int ARow) const
{
    return std::max(FStrings->LineStartRow(ARow), ARow - 1);
}

void TEditModel::ReplaceRowsAndPlaceCaret(int First, int Count, const std::string& Text, int Anchor, int Distance)
{
    const int count = FStrings->Count();
    const int first = std::min(First, count);
    const int rows = std::clamp(Count, 0, count - first);
    // An edit that changes nothing (deleting an empty selection) records no undo step.
    if (Text != FStrings->RowsText(first, rows).Text)
        FStrings->ReplaceRows(first, rows, Text);
    DistanceToCaret(Anchor, Distance);
}

// The selection's rows with its part taken out: one row for a stream selection, every row less
// its box for a box; each row ends as it did.
TRowBlock TEditModel::RowsWithoutSelection() const
{
    const int count = FStrings->Count();
    TRowBlock block;
    if (FSelectionMode == smBox) {
        for (int row = FSel.StartRow; row <= std::min(FSel.EndRow, count - 1); ++row) {
            const std::string_view str = FStrings->Str(row);
            const auto [left, right] = BoxBytes(RowCells(row), FSel.StartCol, FSel.EndCol);
            block.Add(std::string(str.substr(0, static_cast<std::size_t>(left))).append(str.substr(static_cast<std::size_t>(right))),
                      FStrings->Rows(row) == raCrlf);
        }
        return block;
    }
    std::string row;
    if (FSel.StartRow < count)
        row = FStrings->Str(FSel.StartRow).substr(0, static_cast<std::size_t>(FSel.StartByte));
    const bool lineBreak = FSel.EndRow < count && FStrings->Rows(FSel.EndRow) == raCrlf;
    if (FSel.EndRow < count)
        row.append(FStrings->Str(FSel.EndRow), static_cast<std::size_t>(FSel.EndByte));
    block.Add(std::move(row), lineBreak);
    return block;
}

// ---------------------------------------------------------------------------------------------
// Inserting and deleting

void TEditModel::InsertText(const std::string& Text)
{
    if (Text.empty() || FReadOnly)
        return;
    TCaretLock lock(&FView);
    if (FSelectionState == ssSelected) {
        const int anchor = AnchorRowOf(FSel.StartRow);
        const int target = DistanceOfPlace(anchor, FSel.StartRow, FSel.StartByte) + static_cast<int>(Text.size());
        std::string rows = RowsWithoutSelection().Text();
        const int at = FSelectionMode == smBox ? BoxBytes(RowCells(FSel.StartRow), FSel.StartCol, FSel.EndCol).first
                                               : FSel.StartByte;
        rows.insert(static_cast<std::size_t>(at), Text);
        const TSelectionRange range = FSel;
        CleanSelection();
        ReplaceRowsAndPlaceCaret(range.StartRow, range.EndRow - range.StartRow + 1, rows, anchor, target);
        return;
    }
    CleanSelection();
    const int count = FStrings->Count();
    const int anchor = AnchorRowOf(FRow);
    const int byte = CaretByte();
    const int target = DistanceOfPlace(anchor, FRow, byte) + static_cast<int>(Text.size());
    if (FRow >= count) {
        ReplaceRowsAndPlaceCaret(count, 0, Text, anchor, target);
        return;
    }
    if (FOverwrite && byte < static_cast<int>(FStrings->Str(FRow).size())) {
        OverwriteText(Text, anchor, target);
        return;
    }
    std::string row(FStrings->Str(FRow));
    if (byte >= static_cast<int>(row.size()))
        row.append(static_cast<std::size_t>(byte) - row.size(), ' ');
    row.insert(static_cast<std::size_t>(byte), Text);
    if (FStrings->Rows(FRow) == raCrlf)
        row += CrLf;
    ReplaceRowsAndPlaceCaret(FRow, 1, row, anchor, target);
}

// The text takes the place of as many columns as it is wide, measured from the caret, going on
// into the following rows of the line; a two-byte character cut in half leaves a space.
void TEditModel::OverwriteText(const std::string& Text, int Anchor, int Target)
{
    const int lineEnd = FStrings->LineEndRow(FRow);
    std::string rest;
    for (int row = FRow; row <= lineEnd; ++row)
        rest += FStrings->Str(row);
    const int width = DisplayWidth(Text, FStrings->LayoutSettings(), false, 0);
    std::size_t cut = static_cast<std::size_t>(CaretByte());
    int covered = 0;
    while (covered < width && cut < rest.size()) {
        const std::size_t bytes = CharBytesAt(rest, cut);
        covered += CharColumnsOf(FStrings->Encoding(), std::string_view(rest).substr(cut, bytes));
        cut += bytes;
    }
    std::string line = rest.substr(0, static_cast<std::size_t>(CaretByte())) + Text;
    if (covered > width)
        line += ' ';
    line.append(rest, std::min(cut, rest.size()));
    if (FStrings->Rows(lineEnd) == raCrlf)
        line += CrLf;
    ReplaceRowsAndPlaceCaret(FRow, lineEnd - FRow + 1, line, Anchor, Target);
}

void TEditModel::DeleteSelection()
{
    if (FSelectionState != ssSelected || FReadOnly)
        return;
    TCaretLock lock(&FView);
    const TSelectionRange range = FSel;
    const int anchor = AnchorRowOf(range.StartRow);
    const int startByte = FSelectionMode == smBox ? BoxBytes(RowCells(range.StartRow), range.StartCol, range.EndCol).first
                                                  : range.StartByte;
    const int distance = DistanceOfPlace(anchor, range.StartRow, startByte);
    const std::string rows = RowsWithoutSelection().Text();
    CleanSelection();
    ReplaceRowsAndPlaceCaret(range.StartRow, range.EndRow - range.StartRow + 1, rows, anchor, distance);
}

void TEditModel::PasteText(const std::string& Text)
{
    if (FReadOnly || Text.empty())
        return;
    InsertText(Text);
}

// Line i of Text goes into the i-th row from the caret's (or the selection's first) row at one
// column, rows shorter than the column padded with blanks and rows past the end made; all rows
// change in one replacement, each keeping its line break, the text its final one.
void TEditModel::PasteBox(const std::string& Text)
{
    if (FReadOnly || Text.empty())
        return;
    std::vector<std::string> lines;
    ForEachLine(Text, [&](std::size_t Begin, std::size_t End) { lines.emplace_back(Text.substr(Begin, End - Begin)); });
    if (lines.empty())
        return;
    TCaretLock lock(&FView);
    const int count = FStrings->Count();
    int first = FRow;
    int column = FCol;
    int replaced = 0;
    TRowBlock block;
    if (FSelectionState == ssSelected) {
        first = FSel.StartRow;
        column = FSel.StartCol;
        block = RowsWithoutSelection();
        replaced = std::min(FSel.EndRow, count - 1) - first + 1;
    }
    CleanSelection();
    first = std::min(first, count);
    for (int row = first + replaced; block.Rows.size() < lines.size() && row < count; ++row, ++replaced)
        block.Add(std::string(FStrings->Str(row)), FStrings->Rows(row) == raCrlf);
    // The text ends as its last row now does (a selection may have taken the final break).
    const bool textEndsWithBreak = block.Rows.empty() ? count > 0 && FStrings->Rows(count - 1) == raCrlf
                                                      : block.Breaks.back();
    if (block.Rows.size() < lines.size()) {
        if (!block.Rows.empty())
            block.Breaks.back() = true;
        while (block.Rows.size() < lines.size())
            block.Add({}, true);
        block.Breaks.back() = textEndsWithBreak;
    }
    int caretInBlock = 0;
    int rowStart = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string& row = block.Rows[i];
        const TRowCells cells(row, FStrings->LayoutSettings(), FStrings->WordWrap(), FStrings->WrapOption().WrapByte());
        int left = column;
        while (cells.Cell(left) == CellTrailByte || cells.Cell(left) == CellTabFill)
            ++left;
        const int byte = cells.ByteOfCol(left);
        if (byte > static_cast<int>(row.size()))
            row.append(static_cast<std::size_t>(byte) - row.size(), ' ');
        row.insert(static_cast<std::size_t>(byte), lines[i]);
        if (i + 1 == lines.size())
            caretInBlock = rowStart + byte + static_cast<int>(lines[i].size());
        rowStart += static_cast<int>(row.size()) + (block.Breaks[i] ? 2 : 0);
    }
    const int anchor = AnchorRowOf(first);
    const int distance = DistanceOfPlace(anchor, first, 0) + caretInBlock;
    ReplaceRowsAndPlaceCaret(first, replaced, block.Text(), anchor, distance);
}

// ---------------------------------------------------------------------------------------------
// Keys

void TEditModel::TypeChar(const std::string& Character)
{
    if (FReadOnly || Character.empty())
        return;
    const unsigned char first = static_cast<unsigned char>(Character[0]);
    const bool printable = (first >= 0x20 && first <= 0x7E) || first >= 0xA0 || IsDBCSLeadByte(first);
    if (Character.size() == 1 && !printable)
        return;
    InsertText(Character);
}

void TEditModel::TypeTab()
{
    if (FReadOnly)
        return;
    const int tab = FRules.TabSpaceCount;
    int columns = tab - FCol % tab;
    if (FStrings->WordWrap()) {
        const int wrapByte = FStrings->WrapOption().WrapByte();
        columns = std::min(columns, wrapByte - FCol % wrapByte);
    }
    if (FOverwrite)
        SetCol(FCol + columns);
    else if (FRules.SoftTab)
        InsertText(std::string(static_cast<std::size_t>(columns), ' '));
    else
        InsertText("\t");
}

// The columns taken by the leading blanks of Text: a space 1, a full-width space 2, a tab to
// the next tab stop; -1 for an empty text.
int TEditModel::IndentWidth(std::string_view Text) const
{
    if (Text.empty())
        return -1;
    const int tab = FRules.TabSpaceCount;
    const bool wrap = FStrings->WordWrap();
    const int wrapByte = FStrings->WrapOption().WrapByte();
    const std::string_view fullWidthSpace = FullWidthSpace(FStrings->Encoding());
    int width = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == ' ') {
            ++width;
        } else if (Text[i] == '\t') {
            int next = width + tab - width % tab;
            if (wrap)
                next = std::min(next, width + wrapByte - width % wrapByte);
            width = next;
        } else if (Text.compare(i, fullWidthSpace.size(), fullWidthSpace) == 0) {
            width += 2;
            i += fullWidthSpace.size() - 1;
        } else {
            break;
        }
    }
    return width;
}

int TEditModel::PreviousIndent(int ARow) const
{
    for (int row = FStrings->LineStartRow(ARow) - 1; row >= 0; --row) {
        const bool startsLine = row == 0 || FStrings->Rows(row - 1) != raWrapped;
        if (startsLine && !FStrings->Str(row).empty())
            return IndentWidth(FStrings->Str(row));
    }
    return 0;
}

std::string TEditModel::IndentText(int Columns) const
{
    if (Columns <= 0)
        return {};
    if (!FRules.TabIndent)
        return std::string(static_cast<std::size_t>(Columns), ' ');
    const int tab = FRules.TabSpaceCount;
    return std::string(static_cast<std::size_t>(Columns / tab), '\t') + std::string(static_cast<std::size_t>(Columns % tab), ' ');
}

void TEditModel::TypeReturn(bool Shift)
{
    if (FReadOnly)
        return;
    if (FSelectionState == ssSelected) {
        if (Shift)
            return;
        DeleteSelection();
    }
    CleanSelection();
    TCaretLock lock(&FView);
    const int count = FStrings->Count();
    if (FRow >= count) {
        FStrings->ReplaceRows(count, 0, std::string(CrLf));
        SetRowByte(FStrings->Count(), 0);
        return;
    }
    if (FOverwrite) {
        SetRowCol(FRow + 1, 0);
        return;
    }
    const int lineStart = FStrings->LineStartRow(FRow);
    const std::string_view startText = FStrings->Str(lineStart);
    int indent = 0;
    if (FRules.AutoIndent) {
        const int width = IndentWidth(startText);
        if (width < 1)
            indent = FRules.PrevSpaceIndent && startText.empty() ? PreviousIndent(FRow) : 0;
        else
            indent = FRow == lineStart && FCol < width ? FCol : width;
    }
    const std::string indentText = IndentText(indent);
    if (Shift) {
        const int anchor = AnchorRowOf(lineStart);
        const int distance = DistanceOfPlace(anchor, lineStart, 0) + static_cast<int>(indentText.size());
        ReplaceRowsAndPlaceCaret(lineStart, 0, indentText + std::string(CrLf), anchor, distance);
        return;
    }
    std::string row(FStrings->Str(FRow));
    const int byte = std::min(CaretByte(), static_cast<int>(row.size()));
    const int distance = DistanceOfPlace(lineStart, FRow, byte) + static_cast<int>(indentText.size()) + 2;
    row.insert(static_cast<std::size_t>(byte), std::string(CrLf) + indentText);
    if (FStrings->Rows(FRow) == raCrlf)
        row += CrLf;
    ReplaceRowsAndPlaceCaret(FRow, 1, row, lineStart, distance);
}

// Backspace inside the indentation goes back to the indent of a row above: the blanks between
// that column and the caret go, a tab or full-width space cut by the column becomes spaces.
// Only blanks are deleted, and only when the caret stands within the row's leading blanks.
bool TEditModel::UnIndent()
{
    if (!FRules.BackSpaceUnIndent || FCol == 0)
        return false;
    const std::string_view text = FStrings->Str(FRow);
    const int indent = IndentWidth(text);
    const TRowCells cells = RowCells(FRow);
    const bool blankRow = std::all_of(text.begin(), text.end(), [&](char c) { return IsBlank(c); });
    if (!text.empty() && !blankRow && FCol > indent)
        return false;
    int target = 0;
    for (int row = FRow - 1; row >= 0; --row) {
        const int width = std::max(IndentWidth(FStrings->Str(row)), 0);
        if (width > 0 && width < FCol) {
            target = width;
            break;
        }
        if (width >= FCol)
            continue;
        const bool ownLine = row >= FStrings->LineStartRow(FRow);
        if (!ownLine)
            break;
    }
    const int anchor = AnchorRowOf(FRow);
    const int caretByte = std::min(CaretByte(), cells.ByteCount());
    int startCol = target;
    while (startCol > 0 && (cells.Cell(startCol) == CellTabFill || cells.Cell(startCol) == CellTrailByte))
        --startCol;
    if (target >= cells.Width()) {
        SetCol(target);
        return true;
    }
    const int startByte = cells.ByteOfCol(startCol);
    std::string row(text.substr(0, static_cast<std::size_t>(startByte)));
    row.append(static_cast<std::size_t>(target - startCol), ' ');
    const int distance = DistanceOfPlace(anchor, FRow, 0) + static_cast<int>(row.size());
    row.append(text, static_cast<std::size_t>(std::max(caretByte, startByte)));
    if (FStrings->Rows(FRow) == raCrlf)
        row += CrLf;
    ReplaceRowsAndPlaceCaret(FRow, 1, row, anchor, distance);
    return true;
}

void TEditModel::TypeBackSpace()
{
    if (FReadOnly)
        return;
    if (FSelectionState == ssSelected) {
        DeleteSelection();
        return;
    }
    const int count = FStrings->Count();
    if (count == 0)
        return;
    CleanSelection();
    TCaretLock lock(&FView);
    const int byte = CaretByte();
    if (byte == 0 && FCol == 0) {
        if (FRow == 0)
            return;
        const int previous = FRow - 1;
        const std::string_view above = FStrings->Str(previous);
        const int anchor = std::max(FStrings->LineStartRow(previous), FRow - 2);
        if (FStrings->Rows(previous) == raWrapped) {
            const std::size_t last = LastCharStart(FStrings->Encoding(), above);
            const std::string row(above.substr(0, last));
            const int distance = DistanceOfPlace(anchor, previous, static_cast<int>(last));
            ReplaceRowsAndPlaceCaret(previous, 1, row, anchor, distance);
            return;
        }
        // The line break goes: the row above and this one (none after a final line break) join.
        std::string joined(above);
        int rowsJoined = 1;
        if (FRow < count) {
            joined += FStrings->Str(FRow);
            if (FStrings->Rows(FRow) == raCrlf)
                joined += CrLf;
            rowsJoined = 2;
        }
        const int distance = DistanceOfPlace(anchor, previous, static_cast<int>(above.size()));
        ReplaceRowsAndPlaceCaret(previous, rowsJoined, joined, anchor, distance);
        return;
    }
    if (FRow >= count)
        return;
    if (UnIndent())
        return;
    const std::string_view text = FStrings->Str(FRow);
    if (byte > static_cast<int>(text.size())) {
        SetCol(FCol - 1);
        return;
    }
    const std::size_t start = LastCharStart(FStrings->Encoding(), std::string_view(text).substr(0, static_cast<std::size_t>(byte)));
    const int anchor = AnchorRowOf(FRow);
    std::string row(text);
    row.erase(start, static_cast<std::size_t>(byte) - start);
    if (FStrings->Rows(FRow) == raCrlf)
        row += CrLf;
    const int distance = DistanceOfPlace(anchor, FRow, static_cast<int>(start));
    ReplaceRowsAndPlaceCaret(FRow, 1, row, anchor, distance);
}

void TEditModel::TypeDelete()
{
    if (FReadOnly)
        return;
    if (FSelectionState == ssSelected) {
        DeleteSelection();
        return;
    }
    CleanSelection();
    const int count = FStrings->Count();
    if (FRow >= count)
        return;
    TCaretLock lock(&FView);
    const std::string_view text = FStrings->Str(FRow);
    const int byte = CaretByte();
    const int anchor = AnchorRowOf(FRow);
    const int distance = DistanceOfPlace(anchor, FRow, byte);
    if (byte < static_cast<int>(text.size())) {
        std::string row(text);
        row.erase(static_cast<std::size_t>(byte), CharBytesAt(text, static_cast<std::size_t>(byte)));
        if (FStrings->Rows(FRow) == raCrlf)
            row += CrLf;
        ReplaceRowsAndPlaceCaret(FRow, 1, row, anchor, distance);
        return;
    }
    if (FStrings->Rows(FRow) == raEof)
        return;
    std::string joined(text);
    joined.append(static_cast<std::size_t>(byte) - text.size(), ' ');
    int rows = 1;
    if (FRow + 1 < count) {
        joined += FStrings->Str(FRow + 1);
        if (FStrings->Rows(FRow + 1) == raCrlf)
            joined += CrLf;
        rows = 2;
    }
    ReplaceRowsAndPlaceCaret(FRow, rows, joined, anchor, distance);
}

// ---------------------------------------------------------------------------------------------
// Moving a dragged selection

// The selected text leaves its place and comes in at the drop position, both in one replacement
// of the rows that span the two places; the caret ends after the moved text.
void TEditModel::MoveSelectionTo(int DropRow, int DropCol)
{
    const TSelectionRange range = FSel;
    const int count = FStrings->Count();
    const int dropRow = std::min(DropRow, count);
    const int first = std::min(range.StartRow, dropRow);
    const int last = std::min(std::max(range.EndRow, dropRow), count - 1);
    std::string text = FStrings->RowsText(first, last - first + 1).Text;
    const int selStart = DistanceOfPlace(first, range.StartRow, range.StartByte);
    const int selEnd = DistanceOfPlace(first, range.EndRow, range.EndByte);
    const TRowCells cells = RowCells(dropRow);
    int drop = DistanceOfPlace(first, dropRow, 0) + std::min(cells.ByteOfCol(DropCol), cells.ByteCount());
    const int padding = std::max(0, cells.ByteOfCol(DropCol) - cells.ByteCount());
    if (padding > 0)
        text.insert(static_cast<std::size_t>(drop), static_cast<std::size_t>(padding), ' ');
    const bool dropAfter = drop >= selEnd;
    drop += padding;
    const std::string moved = text.substr(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selEnd - selStart));
    if (dropAfter) {
        text.insert(static_cast<std::size_t>(drop), moved);
        text.erase(static_cast<std::size_t>(selStart), moved.size());
        drop -= static_cast<int>(moved.size());
    } else {
        text.erase(static_cast<std::size_t>(selStart), moved.size());
        text.insert(static_cast<std::size_t>(drop), moved);
    }
    CleanSelection();
    TCaretLock lock(&FView);
    const int anchor = AnchorRowOf(first);
    const int distance = DistanceOfPlace(anchor, first, 0) + drop + static_cast<int>(moved.size());
    ReplaceRowsAndPlaceCaret(first, last - first + 1, text, anchor, distance);
}

// ---------------------------------------------------------------------------------------------
// Marks of rows

TRowMarks TEditModel::RowMarks(int ARow) const
{
    return ARow >= 0 && ARow < FStrings->Count() ? FStrings->RowMarks(ARow) : 0;
}

void TEditModel::SetRowMarks(int ARow, TRowMarks Value)
{
    if (ARow < 0 || ARow >= FStrings->Count())
        return;
    const TRowMarks old = FStrings->RowMarks(ARow);
    if (old == Value)
        return;
    FStrings->SetRowMarks(ARow, Value);
    FStrings->IncludeListMarks(static_cast<TRowMarks>(Value & ~old));
    // A bookmark is on one row at most; marks 10 to 15 may be on others still.
    TRowMarks removed = static_cast<TRowMarks>(old & ~Value);
    for (int row = 0; removed >= RowMark(10) && row < FStrings->Count(); ++row)
        if (row != ARow)
            removed = static_cast<TRowMarks>(removed & ~(FStrings->RowMarks(row) & ~(RowMark(10) - 1)));
    FStrings->ExcludeListMarks(removed);
    FView.RowMarksChanged(ARow);
}

void TEditModel::PutRowMark(int ARow, int Mark)
{
    if (Mark < 0 || Mark > 15)
        return;
    if (Mark < 10 && (FStrings->ListMarks() & RowMark(Mark))) {
        for (int row = 0; row < FStrings->Count(); ++row)
            if (FStrings->RowMarks(row) & RowMark(Mark)) {
                SetRowMarks(row, static_cast<TRowMarks>(FStrings->RowMarks(row) & ~RowMark(Mark)));
                break;
            }
    }
    if (ARow >= 0 && ARow < FStrings->Count())
        SetRowMarks(ARow, static_cast<TRowMarks>(FStrings->RowMarks(ARow) | RowMark(Mark)));
}

void TEditModel::DeleteRowMark(int ARow, int Mark)
{
    if (ARow >= 0 && ARow < FStrings->Count() && Mark >= 0 && Mark <= 15)
        SetRowMarks(ARow, static_cast<TRowMarks>(FStrings->RowMarks(ARow) & ~RowMark(Mark)));
}

void TEditModel::GotoRowMark(int Mark)
{
    if (Mark < 0 || Mark > 15 || !(FStrings->ListMarks() & RowMark(Mark)))
        return;
    for (int row = 0; row < FStrings->Count(); ++row) {
        if (!(FStrings->RowMarks(row) & RowMark(Mark)))
            continue;
        const int top = FView.TopRow();
        const int rows = FView.VisibleRowCount();
        if (row < top || row >= top + rows)
            FView.SetTopRow(row - rows / 2);
        SetRow(row);
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Undo

// The caret goes where the step was made: a column kept from before does not hold there.
void TEditModel::Undo()
{
    CleanSelection();
    FHasKeptCol = false;
    FStrings->Undo();
}

void TEditModel::Redo()
{
    CleanSelection();
    FHasKeptCol = false;
    FStrings->Redo();
}

} // namespace kestrim
