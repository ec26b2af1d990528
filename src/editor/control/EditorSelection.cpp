// Selection of TEditor: stream, box and row selection, search hits shown through the same
// machinery, word selection, and the selected text. Both ends of a selection are kept as bytes
// of their rows, so that a selection past column 1000 of a long row holds exactly its bytes.

#include "editor/control/EditorControl.h"
#include "editor/control/EditorCursors.h"

#include "editor/base/edUtils.h"
#include "editor/highlight/edFountain.h"
#include "editor/highlight/edFountainParser.h"
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

void TEditor::InitSelection()
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

void TEditor::ActivateSelection()
{
    if (FSelectionState != ssStarted)
        return;
    FSelectionState = ssSelected;
    FSel = ComputeSelection();
    InvalidateRows(FSel.StartRow, FSel.EndRow);
    InvalidateUnderline();
    UpdateSelection();
}

void TEditor::SelectionToCaret()
{
    if (FSelectionState == ssStarted)
        ActivateSelection();
    else if (Selected())
        UpdateSelection();
}

void TEditor::UpdateSelection()
{
    if (!Selected())
        return;
    const TSelectionRange old = FSel;
    FSel = ComputeSelection();
    InvalidateSelectionRows(old, FSel);
    emit OnSelectionChange(true);
}

void TEditor::CleanSelection()
{
    const bool shown = Selected();
    const bool caretHit = FSelectionState == ssHit && FHitStyle == hsCaret;
    FSelectionState = ssNone;
    FRowSelecting = false;
    if (!shown)
        return;
    FHitLength = 0;
    if (caretHit)
        UpdateCaretPos();
    InvalidateRows(FSel.StartRow, FSel.EndRow);
    InvalidateUnderline();
    FHasKeptCol = false;
    emit OnSelectionChange(false);
}

// From the anchor and the caret: in stream mode the earlier and the later place, each column
// limited to its row; in box mode the rows between and the columns between, as the box edges.
TSelectionRange TEditor::ComputeSelection() const
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
        const auto [startByte, unused] = BoxBytes(RowCells(range.StartRow), range.StartCol, range.EndCol);
        const auto [ignored, endByte] = BoxBytes(RowCells(range.EndRow), range.StartCol, range.EndCol);
        range.StartByte = startByte;
        range.EndByte = endByte;
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

// A left edge inside a two-byte character or a tab's fill leaves that character out; a right
// edge inside a tab's fill stops before the tab and one inside a two-byte character takes it
// whole. Both edges stay on the row, the right one never left of the left one.
std::pair<int, int> TEditor::BoxBytes(const TRowCells& Cells, int Left, int Right) const
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

bool TEditor::IsInSelection(int ARow, int ACol) const
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

bool TEditor::CanDragSelection() const
{
    return !FReadOnly && FSelectionState == ssSelected && FSelectionMode == smStream && FCaret.SelMove();
}

void TEditor::SetSelectionMode(TSelectionMode Value)
{
    if (FSelectionMode == Value || FDragState == dsDragging)
        return;
    FSelectionMode = Value;
    if (Selected()) {
        const TSelectionRange old = FSel;
        FSel = ComputeSelection();
        InvalidateRows(std::min(old.StartRow, FSel.StartRow), std::max(old.EndRow, FSel.EndRow));
    }
    if (Value == smBox)
        viewport()->setCursor(EditorCursor(FCaret.Cursors().DefaultCursor()));
    emit OnSelectionModeChange();
}

// ---------------------------------------------------------------------------------------------
// The keyboard's selection rule

void TEditor::KeyboardSelectionBefore(Qt::KeyboardModifiers Modifiers)
{
    const bool shift = Modifiers.testFlag(Qt::ShiftModifier);
    if (FSelectionState == ssHit)
        CleanSelection();
    if (shift && FSelectionState == ssNone)
        InitSelection();
    else if (!shift && FSelectionState != ssNone)
        CleanSelection();
}

void TEditor::KeyboardSelectionAfter(Qt::KeyboardModifiers Modifiers)
{
    if (Modifiers.testFlag(Qt::ShiftModifier))
        SelectionToCaret();
}

// ---------------------------------------------------------------------------------------------
// Whole rows from the left margin

// Rows are selected from column 0 to column 0 of the row after; the last row without a line
// break to its end.
void TEditor::StartRowSelect(int ARow)
{
    const int row = std::clamp(ARow, 0, LastCaretRow());
    CleanSelection();
    const int count = FStrings->Count();
    if (count == 0)
        return;
    SetRowByte(row, 0);
    InitSelection();
    if (row + 1 < count || (row < count && FStrings->Rows(row) == raCrlf))
        SetRowByte(row + 1, 0);
    else
        SetRowByte(row, RowCells(row).ByteCount());
    SelectionToCaret();
    FRowSelecting = true;
    FRowSelectFirst = row;
}

void TEditor::ExtendRowSelect(int ARow)
{
    if (!FRowSelecting)
        return;
    const int row = std::clamp(ARow, 0, LastCaretRow());
    const int count = FStrings->Count();
    const auto endOf = [&](int Row) {
        if (Row + 1 < count || (Row < count && FStrings->Rows(Row) == raCrlf))
            SetRowByte(Row + 1, 0);
        else
            SetRowByte(Row, RowCells(Row).ByteCount());
    };
    if (row >= FRowSelectFirst) {
        FAnchorRow = FRowSelectFirst;
        FAnchorByte = 0;
        FAnchorCol = 0;
        endOf(row);
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

int TEditor::OffsetOfPlace(int ARow, int Byte) const
{
    int offset = 0;
    for (int row = 0; row < ARow && row < FStrings->Count(); ++row)
        offset += RowSpan(*FStrings, row);
    return offset + Byte;
}

TTextPlace TEditor::PlaceOfOffset(int Offset) const
{
    return FStrings->DistanceToRowByte(0, std::max(Offset, 0));
}

int TEditor::SelStart() const
{
    if (FStrings->Count() == 0)
        return 0;
    if (Selected())
        return OffsetOfPlace(FSel.StartRow, FSel.StartByte);
    return OffsetOfPlace(FRow, std::min(CaretByte(), RowCells(FRow).ByteCount()));
}

void TEditor::SetSelStart(int Value)
{
    CleanSelection();
    const TTextPlace place = PlaceOfOffset(Value);
    SetRowByte(place.Row, place.Byte);
}

// Length bytes on from Offset, a line break counting 2, walking only the rows passed. An end
// inside a two-byte character or a line break takes it whole.
void TEditor::SelectBytes(int Offset, int Length)
{
    const TTextPlace from = PlaceOfOffset(Offset);
    CleanSelection();
    SetRowByte(from.Row, from.Byte);
    InitSelection();
    const int target = from.Byte + Length;
    TTextPlace to = FStrings->DistanceToRowByte(from.Row, target);
    if (to.Row < FStrings->Count()) {
        const std::string& text = FStrings->Str(to.Row);
        std::size_t boundary = 0;
        while (boundary < static_cast<std::size_t>(to.Byte))
            boundary += CharByteCount(text, boundary);
        to.Byte = static_cast<int>(boundary);
        if (to.Byte == static_cast<int>(text.size()) && FStrings->Rows(to.Row) == raCrlf
            && DistanceOfPlace(from.Row, to.Row, to.Byte) < target)
            to = {to.Row + 1, 0};
    }
    SetRowByte(to.Row, to.Byte);
    SelectionToCaret();
}

int TEditor::SelLength() const
{
    if (FSelectionState < ssSelected)
        return 0;
    if (FSelectionMode == smBox) {
        int length = 0;
        for (int row = FSel.StartRow; row <= FSel.EndRow && row < FStrings->Count(); ++row) {
            const auto [left, right] = BoxBytes(RowCells(row), FSel.StartCol, FSel.EndCol);
            length += right - left + 2;
        }
        return length;
    }
    int length = 0;
    for (int row = FSel.StartRow; row < FSel.EndRow && row < FStrings->Count(); ++row)
        length += RowSpan(*FStrings, row);
    return length - FSel.StartByte + FSel.EndByte;
}

// A box holds at least the line break of each of its rows; a stream at least one byte as soon
// as its ends differ.
bool TEditor::HasSelectedText() const
{
    if (FSelectionState < ssSelected || FSel.StartRow >= FStrings->Count())
        return false;
    return FSelectionMode == smBox || FSel.StartRow != FSel.EndRow || FSel.StartByte != FSel.EndByte;
}

void TEditor::SetSelLength(int Value)
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
void TEditor::SelectAll()
{
    const int count = FStrings->Count();
    if (count == 0)
        return;
    TCaretLock lock(this);
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

std::string TEditor::SelText() const
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
        const std::string& str = FStrings->Str(row);
        const std::size_t from = row == FSel.StartRow ? static_cast<std::size_t>(FSel.StartByte) : 0;
        const std::size_t to = row == FSel.EndRow ? static_cast<std::size_t>(FSel.EndByte) : str.size();
        if (from < to)
            text.append(str, from, to - from);
        if (row < FSel.EndRow && FStrings->Rows(row) == raCrlf)
            text += "\r\n";
    }
    return text;
}

void TEditor::SetSelText(const std::string& Value)
{
    PasteText(Value);
}

void TEditor::ClearSelection()
{
    if (!FReadOnly)
        DeleteSelection();
}

// ---------------------------------------------------------------------------------------------
// Search hits and words

void TEditor::ShowHit(int Length)
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
    InvalidateRows(FSel.StartRow, FSel.EndRow);
    UpdateCaretPos();
}

bool TEditor::Search(const std::string& Pattern, TSearchOptions Options)
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
    const std::optional<TRowSearchHit> hit = SearchRows(FStrings->RowList(), row, offset, hitLength, Pattern, Options);
    if (!hit)
        return false;
    CleanSelection();
    DistanceToCaret(hit->Row, hit->Offset);
    ShowHit(hit->Length);
    return true;
}

// The token of the logical line under Point, parsed with the definition (the line's stored
// start state, brackets switched off unless KeepBrackets) or as plain words.
void TEditor::SelectTokenAt(const QPoint& Point, bool UseDefinition, bool KeepBrackets)
{
    const QPoint inViewport = viewport()->mapFrom(this, Point);
    const TRowCol place = PixelToRowCol(inViewport, false);
    if (place.Row < 0 || place.Row >= FStrings->Count() || inViewport.x() < FMetrics.TextLeft)
        return;
    const int lineStart = FStrings->LineStartRow(place.Row);
    const std::string line = FStrings->LineText(lineStart);
    int offset = RowCells(place.Row).ByteOfCol(place.Col);
    for (int row = lineStart; row < place.Row; ++row)
        offset += static_cast<int>(FStrings->Str(row).size());

    std::unique_ptr<TFountainParser> parser;
    TRowAttributeData state;
    if (UseDefinition) {
        parser = ActiveFountain().NewParser();
        state = FStrings->RowStartState(lineStart);
        if (!KeepBrackets)
            state.OpenBracket = -2;
    } else {
        parser = std::make_unique<TTokenParser>();
        state.OpenBracket = -2;
    }
    // The token that holds the offset; on the blanks after a token, or at the line's end,
    // the token that ends there, so that a double click behind a word takes the word.
    parser->BeginRow(line, state);
    std::optional<std::pair<int, int>> token;
    while (parser->NextToken() != tokEnd) {
        const int begin = parser->TokenOffset();
        const int end = begin + parser->TokenLength();
        if (offset < begin)
            break;
        if (offset < end || offset == end)
            token = std::make_pair(begin, end);
        if (offset < end)
            break;
    }
    if (!token)
        return;
    DistanceToCaret(lineStart, token->first);
    SetSelLength(token->second - token->first);
}

} // namespace kestrim
