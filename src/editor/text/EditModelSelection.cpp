// The selection of TEditModel: stream, box and row selection, search hits shown through the
// same machinery, token selection, the selected text and offsets in the whole text. Both ends
// of a selection are kept as bytes of their rows, so that a selection past column 1000 of a
// long row holds exactly its bytes.

#include "editor/text/EditModel.h"

#include "editor/text/RowSearch.h"

#include <algorithm>

namespace kestrim {
namespace {

int RowSpan(const TEditorScreenStrings& Rows, int Row)
{
    return static_cast<int>(Rows.Str(Row).size()) + (Rows.Rows(Row) == raCrlf ? 2 : 0);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Starting, extending and ending

void TEditModel::InitSelection()
{
    CleanSelection();
    if (FStrings->Count() == 0)
        return;
    FAnchorRow = FRow;
    const TRowCells cells = RowCells(FRow);
    FAnchorByte = std::min(CaretByte(), cells.ByteCount());
    FAnchorCol = FSelectionMode == smStream ? std::min(FCol, cells.Width()) : FCol;
    FSelectionState = ssStarted;
}

void TEditModel::ActivateSelection()
{
    if (FSelectionState != ssStarted)
        return;
    FSelectionState = ssSelected;
    FSel = ComputeSelection();
    FView.InvalidateRows(FSel.StartRow, FSel.EndRow);
    FView.InvalidateCaretRowMark();
    UpdateSelection();
}

void TEditModel::SelectionToCaret()
{
    if (FSelectionState == ssStarted)
        ActivateSelection();
    else if (Selected())
        UpdateSelection();
}

void TEditModel::UpdateSelection()
{
    if (!Selected())
        return;
    const TSelectionRange old = FSel;
    FSel = ComputeSelection();
    FView.SelectionMoved(old, FSel);
    FView.SelectionChanged(true);
}

void TEditModel::CleanSelection()
{
    const bool shown = Selected();
    const bool caretHit = FSelectionState == ssHit && FHitStyle == hsCaret;
    FSelectionState = ssNone;
    FRowSelecting = false;
    if (!shown)
        return;
    FHitLength = 0;
    if (caretHit)
        FView.CaretRedrawn();
    FView.InvalidateRows(FSel.StartRow, FSel.EndRow);
    FView.InvalidateCaretRowMark();
    FHasKeptCol = false;
    FView.SelectionChanged(false);
}

void TEditModel::DropStartedSelection()
{
    if (FSelectionState == ssStarted)
        FSelectionState = ssNone;
}

void TEditModel::SetHitStyle(THitStyle Value)
{
    if (FHitStyle == Value)
        return;
    CleanSelection();
    FHitStyle = Value;
}

// From the anchor and the caret: in stream mode the earlier and the later place, each column
// limited to its row; in box mode the rows between and the columns between, as the box edges.
TSelectionRange TEditModel::ComputeSelection() const
{
    const TRowCells caretCells = RowCells(FRow);
    const int caretByte = std::min(CaretByte(), caretCells.ByteCount());
    TSelectionRange range;
    const bool anchorFirst = FAnchorRow < FRow || (FAnchorRow == FRow && FAnchorByte <= caretByte);
    range.StartRow = anchorFirst ? FAnchorRow : FRow;
    range.EndRow = anchorFirst ? FRow : FAnchorRow;
    if (FSelectionMode == smBox) {
        range.StartCol = std::min(FAnchorCol, FCol);
        range.EndCol = std::max(FAnchorCol, FCol);
        range.StartByte = BoxBytes(RowCells(range.StartRow), range.StartCol, range.EndCol).first;
        range.EndByte = BoxBytes(RowCells(range.EndRow), range.StartCol, range.EndCol).second;
        return range;
    }
    range.StartByte = anchorFirst ? FAnchorByte : caretByte;
    range.EndByte = anchorFirst ? caretByte : FAnchorByte;
    const TRowCells startCells = RowCells(range.StartRow);
    const TRowCells endCells = RowCells(range.EndRow);
    range.StartCol = std::min(startCells.ColOfByte(range.StartByte), startCells.Width());
    range.EndCol = std::min(endCells.ColOfByte(range.EndByte), endCells.Width());
    return range;
}

// A left edge inside a two-column character or a tab's fill leaves that character out; a right
// edge inside a tab's fill stops before the tab and one inside a two-column character takes it
// whole. Both edges stay on the row, the right one never left of the left one.
std::pair<int, int> TEditModel::BoxBytes(const TRowCells& Cells, int Left, int Right)
{
    int left = Left;
    for (int steps = 0; steps <= Cells.Width() && (Cells.Cell(left) == CellTrailByte || Cells.Cell(left) == CellTabFill); ++steps)
        ++left;
    int right = Right;
    if (Cells.Cell(right) == CellTabFill) {
        while (right > 0 && Cells.Cell(right) == CellTabFill)
            --right;
    } else if (Cells.Cell(right) == CellTrailByte) {
        ++right;
    }
    const int leftByte = std::min(Cells.ByteOfCol(left), Cells.CoveredBytes());
    const int rightByte = std::min(Cells.ByteOfCol(right), Cells.CoveredBytes());
    return {leftByte, std::max(leftByte, rightByte)};
}

bool TEditModel::IsInSelection(int ARow, int ACol) const
{
    if (!Selected() || ARow < FSel.StartRow || ARow > FSel.EndRow)
        return false;
    const TRowCells cells = RowCells(ARow);
    const int byte = cells.ByteOfCol(ACol);
    if (FSelectionMode == smBox) {
        const auto [left, right] = BoxBytes(cells, FSel.StartCol, FSel.EndCol);
        return byte >= left && byte < right;
    }
    if (byte >= cells.ByteCount() && ARow != FSel.EndRow && ACol > cells.Width())
        return false;
    const bool afterStart = ARow > FSel.StartRow || byte >= FSel.StartByte;
    const bool beforeEnd = ARow < FSel.EndRow || byte < FSel.EndByte;
    return afterStart && beforeEnd;
}

bool TEditModel::SetSelectionMode(TSelectionMode Value)
{
    if (FSelectionMode == Value)
        return false;
    FSelectionMode = Value;
    if (Selected()) {
        const TSelectionRange old = FSel;
        FSel = ComputeSelection();
        FView.InvalidateRows(std::min(old.StartRow, FSel.StartRow), std::max(old.EndRow, FSel.EndRow));
    }
    FView.SelectionModeChanged();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Whole rows from the left margin

// Rows are selected from column 0 to column 0 of the row after; the last row without a line
// break to its end.
void TEditModel::SelectRowEnd(int ARow)
{
    const int count = FStrings->Count();
    if (ARow + 1 < count || (ARow < count && FStrings->Rows(ARow) == raCrlf))
        SetRowByte(ARow + 1, 0);
    else
        SetRowByte(ARow, RowCells(ARow).ByteCount());
}

void TEditModel::StartRowSelect(int ARow)
{
    const int row = std::clamp(ARow, 0, LastCaretRow());
    CleanSelection();
    if (FStrings->Count() == 0)
        return;
    SetRowByte(row, 0);
    InitSelection();
    SelectRowEnd(row);
    SelectionToCaret();
    FRowSelecting = true;
    FRowSelectFirst = row;
}

void TEditModel::ExtendRowSelect(int ARow)
{
    if (!FRowSelecting)
        return;
    const int row = std::clamp(ARow, 0, LastCaretRow());
    const int count = FStrings->Count();
    if (row >= FRowSelectFirst) {
        FAnchorRow = FRowSelectFirst;
        FAnchorByte = 0;
        FAnchorCol = 0;
        SelectRowEnd(row);
    } else {
        // Above the first row the selection still takes that row whole.
        const int anchorRow = FRowSelectFirst + 1 < count || FStrings->Rows(FRowSelectFirst) == raCrlf
                                  ? FRowSelectFirst + 1
                                  : FRowSelectFirst;
        FAnchorRow = anchorRow;
        FAnchorByte = anchorRow == FRowSelectFirst ? RowCells(anchorRow).ByteCount() : 0;
        FAnchorCol = RowCells(anchorRow).ColOfByte(FAnchorByte);
        SetRowByte(row, 0);
    }
    SelectionToCaret();
}

// ---------------------------------------------------------------------------------------------
// Offsets in the whole text, a line break counting 2

int TEditModel::OffsetOfPlace(int ARow, int Byte) const
{
    int offset = 0;
    for (int row = 0; row < ARow && row < FStrings->Count(); ++row)
        offset += RowSpan(*FStrings, row);
    return offset + Byte;
}

TRowByte TEditModel::PlaceOfOffset(int Offset) const
{
    return FStrings->DistanceToRowByte(0, std::max(Offset, 0));
}

int TEditModel::SelStart() const
{
    if (FStrings->Count() == 0)
        return 0;
    if (Selected())
        return OffsetOfPlace(FSel.StartRow, FSel.StartByte);
    return OffsetOfPlace(FRow, std::min(CaretByte(), RowCells(FRow).ByteCount()));
}

void TEditModel::SetSelStart(int Value)
{
    CleanSelection();
    const TRowByte place = PlaceOfOffset(Value);
    SetRowByte(place.Row, place.Byte);
}

// Length bytes on from Offset, a line break counting 2, walking only the rows passed. An end
// inside a character or a line break takes it whole.
void TEditModel::SelectBytes(int Offset, int Length)
{
    const TRowByte from = PlaceOfOffset(Offset);
    CleanSelection();
    SetRowByte(from.Row, from.Byte);
    InitSelection();
    const int target = from.Byte + Length;
    TRowByte to = FStrings->DistanceToRowByte(from.Row, target);
    if (to.Row < FStrings->Count()) {
        const std::string_view text = FStrings->Str(to.Row);
        std::size_t boundary = 0;
        while (boundary < static_cast<std::size_t>(to.Byte))
            boundary += CharBytesAt(text, boundary);
        to.Byte = static_cast<int>(boundary);
        if (to.Byte == static_cast<int>(text.size()) && FStrings->Rows(to.Row) == raCrlf
            && DistanceOfPlace(from.Row, to.Row, to.Byte) < target)
            to = {to.Row + 1, 0};
    }
    SetRowByte(to.Row, to.Byte);
    SelectionToCaret();
}

int TEditModel::SelLength() const
{
    if (FSelectionState < ssSelected)
        return 0;
    int length = 0;
    if (FSelectionMode == smBox) {
        for (int row = FSel.StartRow; row <= FSel.EndRow && row < FStrings->Count(); ++row) {
            const auto [left, right] = BoxBytes(RowCells(row), FSel.StartCol, FSel.EndCol);
            length += right - left + 2;
        }
        return length;
    }
    for (int row = FSel.StartRow; row < FSel.EndRow && row < FStrings->Count(); ++row)
        length += RowSpan(*FStrings, row);
    return length - FSel.StartByte + FSel.EndByte;
}

// A box holds at least the line break of each of its rows; a stream at least one byte as soon
// as its ends differ.
bool TEditModel::HasSelectedText() const
{
    if (FSelectionState < ssSelected || FSel.StartRow >= FStrings->Count())
        return false;
    return FSelectionMode == smBox || FSel.StartRow != FSel.EndRow || FSel.StartByte != FSel.EndByte;
}

void TEditModel::SetSelLength(int Value)
{
    if (FStrings->Count() == 0)
        return;
    SetSelectionMode(smStream);
    if (Value <= 0) {
        CleanSelection();
        return;
    }
    const int start = Selected() ? OffsetOfPlace(FSel.StartRow, FSel.StartByte) : SelStart();
    SelectBytes(start, Value);
}

// From the first byte to the end, the row after a final line break included.
void TEditModel::SelectAll()
{
    const int count = FStrings->Count();
    if (count == 0)
        return;
    TCaretLock lock(&FView);
    SetSelectionMode(smStream);
    CleanSelection();
    SetRowByte(0, 0);
    InitSelection();
    if (FStrings->Rows(count - 1) == raCrlf)
        SetRowByte(count, 0);
    else
        SetRowByte(count - 1, RowCells(count - 1).ByteCount());
    SelectionToCaret();
}

std::string TEditModel::SelText() const
{
    if (FSelectionState < ssSelected)
        return {};
    std::string text;
    const int last = std::min(FSel.EndRow, FStrings->Count() - 1);
    if (FSelectionMode == smBox) {
        for (int row = FSel.StartRow; row <= last; ++row) {
            const auto [left, right] = BoxBytes(RowCells(row), FSel.StartCol, FSel.EndCol);
            text.append(FStrings->Str(row), static_cast<std::size_t>(left), static_cast<std::size_t>(right - left));
            text += "\r\n";
        }
        return text;
    }
    text.reserve(static_cast<std::size_t>(std::max(SelLength(), 0)));
    for (int row = FSel.StartRow; row <= last; ++row) {
        const std::string_view str = FStrings->Str(row);
        const std::size_t from = row == FSel.StartRow ? static_cast<std::size_t>(FSel.StartByte) : 0;
        const std::size_t to = row == FSel.EndRow ? static_cast<std::size_t>(FSel.EndByte) : str.size();
        if (from < to)
            text.append(str, from, to - from);
        if (row < FSel.EndRow && FStrings->Rows(row) == raCrlf)
            text += "\r\n";
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// Search hits and tokens

void TEditModel::ShowHit(int Length)
{
    const int start = OffsetOfPlace(FRow, std::min(CaretByte(), RowCells(FRow).ByteCount()));
    if (FHitStyle == hsSelect) {
        SelectBytes(start, Length);
        FHitLength = Length;
        return;
    }
    const int startRow = FRow;
    const int startByte = CaretByte();
    SelectBytes(start, Length);
    FSelectionState = ssHit;
    FHitLength = Length;
    if (FHitStyle == hsCaret)
        SetRowByte(startRow, startByte);
    FView.InvalidateRows(FSel.StartRow, FSel.EndRow);
    FView.CaretRedrawn();
}

bool TEditModel::Search(const std::string& Pattern, TSearchOptions Options)
{
    const int count = FStrings->Count();
    if (count == 0 || Pattern.empty())
        return false;
    const bool down = Options & soDown;
    int row = FRow;
    int offset = std::min(CaretByte(), RowCells(FRow).ByteCount());
    if (Selected()) {
        row = down ? FSel.EndRow : FSel.StartRow;
        offset = down ? FSel.EndByte : FSel.StartByte;
    }
    if (row >= count) {
        row = count - 1;
        offset = RowSpan(*FStrings, row);
    }
    const int hitLength = FSelectionState == ssHit && FHitStyle == hsCaret ? FHitLength : 0;
    const std::optional<TRowSearchHit> hit = SearchRows(FStrings->RowList(), row, offset, hitLength, Pattern,
                                                                 Options, SearchBlockSize, FStrings->Encoding());
    if (!hit)
        return false;
    CleanSelection();
    DistanceToCaret(hit->Row, hit->Offset);
    ShowHit(hit->Length);
    return true;
}

// The line's stored start state is parsed from. On the blanks after a token, or at the line's
// end, the token that ends there is taken, so that a double click behind a word takes the word.
void TEditModel::SelectTokenAt(int ARow, int ACol, bool UseDefinition, bool KeepBrackets)
{
    if (ARow < 0 || ARow >= FStrings->Count())
        return;
    const int lineStart = FStrings->LineStartRow(ARow);
    const std::string line = FStrings->LineText(lineStart);
    int offset = RowCells(ARow).ByteOfCol(ACol);
    // Free space after a wrapped row is the row's end, not bytes of the row below.
    if (FStrings->Rows(ARow) == raWrapped)
        offset = std::min(offset, static_cast<int>(FStrings->Str(ARow).size()));
    offset += FStrings->RowOffsetInLine(ARow);

    TRowAttributeData state = UseDefinition ? FStrings->RowStartState(lineStart) : TRowAttributeData{};
    if (!UseDefinition || !KeepBrackets)
        state.OpenBracket = -2;
    std::optional<std::pair<int, int>> token;
    for (const TTokenSpan& span : FView.Tokens(line, state, UseDefinition)) {
        const int end = span.Offset + span.Length;
        if (offset < span.Offset)
            break;
        if (offset <= end)
            token = std::make_pair(span.Offset, end);
        if (offset < end)
            break;
    }
    if (!token)
        return;
    CleanSelection(); // the token replaces a selection, which would otherwise keep its start
    DistanceToCaret(lineStart, token->first);
    SetSelLength(token->second - token->first);
}

// ---------------------------------------------------------------------------------------------
// The edit-control operations

std::pair<int, int> TEditModel::GetSel() const
{
    const int start = SelStart();
    return {start, start + SelLength()};
}

void TEditModel::SetSel(int Start, int End)
{
    if (Start == 0 && End == -1) {
        SelectAll();
    } else if (Start == -1) {
        CleanSelection();
    } else {
        SetSelStart(std::min(Start, End));
        SetSelLength(std::max(Start, End) - std::min(Start, End));
    }
}

int TEditModel::LineIndex(int ARow) const
{
    const int row = ARow == -1 ? FRow : ARow;
    if (row < 0 || row >= FStrings->Count())
        return -1;
    return OffsetOfPlace(row, 0);
}

int TEditModel::LineLength(int Offset) const
{
    if (Offset == -1) {
        if (!Selected())
            return FRow < FStrings->Count() ? static_cast<int>(FStrings->Str(FRow).size()) : 0;
        const int last = std::min(FSel.EndRow, FStrings->Count() - 1);
        if (last < 0)
            return 0;
        const int unselected = static_cast<int>(FStrings->Str(last).size())
                               - (last == FSel.EndRow ? FSel.EndByte : 0) + (last == FSel.StartRow ? FSel.StartByte : 0);
        return std::max(unselected, 0);
    }
    const TRowByte place = PlaceOfOffset(Offset);
    return place.Row < FStrings->Count() ? static_cast<int>(FStrings->Str(place.Row).size()) : 0;
}

int TEditModel::LineFromChar(int Offset) const
{
    if (Offset == -1)
        return Selected() ? FSel.StartRow : FRow;
    return PlaceOfOffset(Offset).Row;
}

} // namespace kestrim
