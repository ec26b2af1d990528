#pragma once
// The editor's option objects: caret and cursors, marks, margins, view (the highlighting
// definition's settings), ruler, left bar, image bar, change colours and speed. Each but the speed settings
// tells its owner of a real change through OnChange; a setter that receives the value already
// held tells nobody. Ranged values are limited before they are compared.

#include "editor/base/edClasses.h"
#include "editor/base/edGraphics.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/text/EditRules.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kestrim {

// Mouse cursor identifiers. The negative ones are the platform's standard cursors; the right
// arrow and the drag-copy cursor are drawn by the control.
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crIBeam = -4;
constexpr TCursor crDrag = -12;
constexpr TCursor crRightArrow = 1;
constexpr TCursor crDragSelCopy = 2;

enum TEditorCaretStyle { csDefault, csBrief };
enum TDragMode { dmManual, dmAutomatic };
enum TEditorShowNumberMode { nmRow, nmLine };

// The mouse cursors over the regions of the editor. Plain values: only Assign notifies.
class TEditorCursors : public TNotifyPersistent {
public:
    TCursor DefaultCursor() const { return FDefaultCursor; }
    void SetDefaultCursor(TCursor Value) { FDefaultCursor = Value; }
    TCursor DragSelCursor() const { return FDragSelCursor; }
    void SetDragSelCursor(TCursor Value) { FDragSelCursor = Value; }
    TCursor DragSelCopyCursor() const { return FDragSelCopyCursor; }
    void SetDragSelCopyCursor(TCursor Value) { FDragSelCopyCursor = Value; }
    TCursor InSelCursor() const { return FInSelCursor; }
    void SetInSelCursor(TCursor Value) { FInSelCursor = Value; }
    TCursor LeftMarginCursor() const { return FLeftMarginCursor; }
    void SetLeftMarginCursor(TCursor Value) { FLeftMarginCursor = Value; }
    TCursor TopMarginCursor() const { return FTopMarginCursor; }
    void SetTopMarginCursor(TCursor Value) { FTopMarginCursor = Value; }

    void Assign(const TPersistent& Source) override;

private:
    TCursor FDefaultCursor = crIBeam;
    TCursor FDragSelCursor = crDrag;
    TCursor FDragSelCopyCursor = crDragSelCopy;
    TCursor FInSelCursor = crDefault;
    TCursor FLeftMarginCursor = crRightArrow;
    TCursor FTopMarginCursor = crDefault;
};

// Caret and editing behaviour. Only the caret's shape and the tab width notify: they change
// what the editor draws; the other switches are read when they apply.
class TEditorCaret : public TNotifyPersistent {
public:
    bool AutoCursor() const { return FAutoCursor; }
    void SetAutoCursor(bool Value) { FAutoCursor = Value; }
    bool AutoIndent() const { return FRules.AutoIndent; }
    void SetAutoIndent(bool Value) { FRules.AutoIndent = Value; }
    bool BackSpaceUnIndent() const { return FRules.BackSpaceUnIndent; }
    void SetBackSpaceUnIndent(bool Value) { FRules.BackSpaceUnIndent = Value; }
    TEditorCursors& Cursors() { return FCursors; }
    const TEditorCursors& Cursors() const { return FCursors; }
    bool FreeCaret() const { return FRules.FreeCaret; }
    void SetFreeCaret(bool Value) { FRules.FreeCaret = Value; }
    bool FreeRow() const { return FRules.FreeRow; }
    void SetFreeRow(bool Value) { FRules.FreeRow = Value; }
    bool InTab() const { return FRules.InTab; }
    void SetInTab(bool Value) { FRules.InTab = Value; }
    bool KeepCaret() const { return FRules.KeepCaret; }
    void SetKeepCaret(bool Value) { FRules.KeepCaret = Value; }
    bool LockScroll() const { return FLockScroll; }
    void SetLockScroll(bool Value) { FLockScroll = Value; }
    bool NextLine() const { return FRules.NextLine; }
    void SetNextLine(bool Value) { FRules.NextLine = Value; }
    bool PrevSpaceIndent() const { return FRules.PrevSpaceIndent; }
    void SetPrevSpaceIndent(bool Value) { FRules.PrevSpaceIndent = Value; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value) { FRowSelect = Value; }
    TDragMode SelDragMode() const { return FSelDragMode; }
    void SetSelDragMode(TDragMode Value) { FSelDragMode = Value; }
    bool SelMove() const { return FSelMove; }
    void SetSelMove(bool Value) { FSelMove = Value; }
    bool SoftTab() const { return FRules.SoftTab; }
    void SetSoftTab(bool Value) { FRules.SoftTab = Value; }
    TEditorCaretStyle Style() const { return FStyle; }
    void SetStyle(TEditorCaretStyle Value);
    bool TabIndent() const { return FRules.TabIndent; }
    void SetTabIndent(bool Value) { FRules.TabIndent = Value; }
    // Columns between tab stops: 2, 4, 6 or 8; other values are limited to 2..8 and rounded
    // down to an even number.
    int TabSpaceCount() const { return FRules.TabSpaceCount; }
    void SetTabSpaceCount(int Value);
    // The switches the caret and editing rules follow.
    const TEditRules& Rules() const { return FRules; }

    void Assign(const TPersistent& Source) override;

private:
    TEditRules FRules;
    bool FAutoCursor = true;
    TEditorCursors FCursors;
    bool FLockScroll = false;
    bool FRowSelect = true;
    TDragMode FSelDragMode = dmAutomatic;
    bool FSelMove = true;
    TEditorCaretStyle FStyle = csDefault;
};

// Pixels around and between the text cells, each 0..100.
class TEditorMargin : public TNotifyPersistent {
public:
    int Character() const { return FCharacter; }
    void SetCharacter(int Value);
    int Left() const { return FLeft; }
    void SetLeft(int Value);
    int Line() const { return FLine; }
    void SetLine(int Value);
    int Top() const { return FTop; }
    void SetTop(int Value);
    // One pixel row under every row while the caret-row underline is shown; the editor sets
    // it without a notification of its own.
    int UnderlineAllowance() const { return FUnderlineAllowance; }
    void SetUnderlineAllowance(int Value) { FUnderlineAllowance = Value; }

    void Assign(const TPersistent& Source) override;

private:
    int FCharacter = 0;
    int FLeft = 19;
    int FLine = 0;
    int FTop = 2;
    int FUnderlineAllowance = 0;
};

class TEditorMark : public TNotifyPersistent {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    void Assign(const TPersistent& Source) override;

private:
    TColor FColor = clGray;
    bool FVisible = false;
};

// The five marks; a change of any of them is a change of the marks object.
class TEditorMarks : public TNotifyPersistent {
public:
    TEditorMarks();
    TEditorMarks(const TEditorMarks&) = delete;
    TEditorMarks& operator=(const TEditorMarks&) = delete;

    // "[EOF]" after the end of the text.
    TEditorMark& EofMark() { return FEofMark; }
    const TEditorMark& EofMark() const { return FEofMark; }
    void SetEofMark(const TEditorMark& Value) { FEofMark.Assign(Value); }
    // An arrow after a row that ends a line.
    TEditorMark& RetMark() { return FRetMark; }
    const TEditorMark& RetMark() const { return FRetMark; }
    void SetRetMark(const TEditorMark& Value) { FRetMark.Assign(Value); }
    // A chevron after a row that goes on in the next row.
    TEditorMark& WrapMark() { return FWrapMark; }
    const TEditorMark& WrapMark() const { return FWrapMark; }
    void SetWrapMark(const TEditorMark& Value) { FWrapMark.Assign(Value); }
    // A chevron where a row is cut at its last drawn column.
    TEditorMark& HideMark() { return FHideMark; }
    const TEditorMark& HideMark() const { return FHideMark; }
    void SetHideMark(const TEditorMark& Value) { FHideMark.Assign(Value); }
    // A line under the caret row.
    TEditorMark& Underline() { return FUnderline; }
    const TEditorMark& Underline() const { return FUnderline; }
    void SetUnderline(const TEditorMark& Value) { FUnderline.Assign(Value); }

    void Assign(const TPersistent& Source) override;

private:
    TEditorMark FEofMark;
    TEditorMark FRetMark;
    TEditorMark FWrapMark;
    TEditorMark FHideMark;
    TEditorMark FUnderline;
};

// The highlighting settings of an editor: windows onto its own definition, whose every
// change reaches the view's owner too.
class TEditorViewInfo : public TNotifyPersistent {
public:
    TEditorViewInfo();
    TEditorViewInfo(const TEditorViewInfo&) = delete;
    TEditorViewInfo& operator=(const TEditorViewInfo&) = delete;

    TEditorFountain& Fountain() { return *FFountain; }

    TEditorBracketCollection& Brackets() { return FFountain->Brackets(); }
    const TEditorBracketCollection& Brackets() const { return FFountain->Brackets(); }
    void SetBrackets(const TEditorBracketCollection& Value) { FFountain->Brackets().Assign(Value); }
    TEditorColors& Colors() { return FFountain->Colors(); }
    const TEditorColors& Colors() const { return FFountain->Colors(); }
    void SetColors(const TEditorColors& Value) { FFountain->SetColors(Value); }
    const std::string& Commenter() const { return FFountain->Commenter(); }
    void SetCommenter(const std::string& Value);
    bool ControlCode() const { return FFountain->ControlCode(); }
    void SetControlCode(bool Value);
    const std::string& HexPrefix() const { return FFountain->HexPrefix(); }
    void SetHexPrefix(const std::string& Value);
    bool Mail() const { return FFountain->Mail(); }
    void SetMail(bool Value);
    // Only the first character of Value is kept.
    const std::string& Quotation() const { return FFountain->Quotation(); }
    void SetQuotation(const std::string& Value);
    bool Url() const { return FFountain->Url(); }
    void SetUrl(bool Value);

    void Assign(const TPersistent& Source) override;

protected:
    // For a view over a definition of a descendant kind.
    explicit TEditorViewInfo(std::unique_ptr<TEditorFountain> Fountain);

private:
    std::unique_ptr<TEditorFountain> FFountain;
};

class TEditorRuler : public TNotifyPersistent {
public:
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Edge() const { return FEdge; }
    void SetEdge(bool Value);
    // Columns per numbered unit: 8 or 10; other values are limited to 8..10 and rounded down
    // to an even number.
    int GaugeRange() const { return FGaugeRange; }
    void SetGaugeRange(int Value);
    TColor MarkColor() const { return FMarkColor; }
    void SetMarkColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    void Assign(const TPersistent& Source) override;

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    bool FEdge = true;
    int FGaugeRange = 10;
    TColor FMarkColor = clBlack;
    bool FVisible = false;
};

class TEditorLeftbar : public TNotifyPersistent {
public:
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The least number of digit cells, 1..8.
    int Column() const { return FColumn; }
    void SetColumn(int Value);
    bool Edge() const { return FEdge; }
    void SetEdge(bool Value);
    // Pixels before and after the digits, 0..100.
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    bool ShowNumber() const { return FShowNumber; }
    void SetShowNumber(bool Value);
    TEditorShowNumberMode ShowNumberMode() const { return FShowNumberMode; }
    void SetShowNumberMode(TEditorShowNumberMode Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool ZeroBase() const { return FZeroBase; }
    void SetZeroBase(bool Value);
    bool ZeroLead() const { return FZeroLead; }
    void SetZeroLead(bool Value);

    void Assign(const TPersistent& Source) override;

private:
    TColor FBkColor = clSilver;
    TColor FColor = clBlack;
    int FColumn = 4;
    bool FEdge = true;
    int FLeftMargin = 8;
    int FRightMargin = 4;
    bool FShowNumber = true;
    TEditorShowNumberMode FShowNumberMode = nmRow;
    bool FVisible = false;
    bool FZeroBase = false;
    bool FZeroLead = false;
};

// The bookmark bar; its sizes are pixels, 0..100.
class TEditorImagebar : public TNotifyPersistent {
public:
    int DigitWidth() const { return FDigitWidth; }
    void SetDigitWidth(int Value);
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    int MarkWidth() const { return FMarkWidth; }
    void SetMarkWidth(int Value);
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    void Assign(const TPersistent& Source) override;

private:
    int FDigitWidth = 8;
    int FLeftMargin = 2;
    int FMarkWidth = 0;
    int FRightMargin = 2;
    bool FVisible = true;
};

// The colours of the marks that show how the text differs from another text: backgrounds of
// changed, added and removed lines and of the changed characters inside a changed line, light
// enough for black text; and the line between rows where the other text has lines this one
// lacks.
class TEditorChangeColors : public TNotifyPersistent {
public:
    TColor ChangedBack() const { return FChangedBack; }
    void SetChangedBack(TColor Value);
    TColor AddedBack() const { return FAddedBack; }
    void SetAddedBack(TColor Value);
    TColor RemovedBack() const { return FRemovedBack; }
    void SetRemovedBack(TColor Value);
    TColor ChangedCharBack() const { return FChangedCharBack; }
    void SetChangedCharBack(TColor Value);
    TColor GapMark() const { return FGapMark; }
    void SetGapMark(TColor Value);

    static constexpr TColor DefaultChangedBack = Rgb(255, 247, 196);
    static constexpr TColor DefaultAddedBack = Rgb(214, 245, 214);
    static constexpr TColor DefaultRemovedBack = Rgb(255, 220, 220);
    static constexpr TColor DefaultChangedCharBack = Rgb(255, 200, 100);
    static constexpr TColor DefaultGapMark = Rgb(224, 32, 32);

    void Assign(const TPersistent& Source) override;

private:
    TColor FChangedBack = DefaultChangedBack;
    TColor FAddedBack = DefaultAddedBack;
    TColor FRemovedBack = DefaultRemovedBack;
    TColor FChangedCharBack = DefaultChangedCharBack;
    TColor FGapMark = DefaultGapMark;
};

// Caret and page movement speeds, read when a key repeats; nobody is told of a change. The
// three counts are 1..4.
class TEditorSpeed : public TPersistent {
public:
    int CaretVerticalAc() const { return FCaretVerticalAc; }
    void SetCaretVerticalAc(int Value);
    bool InitBracketsFull() const { return FInitBracketsFull; }
    void SetInitBracketsFull(bool Value) { FInitBracketsFull = Value; }
    int PageVerticalRange() const { return FPageVerticalRange; }
    void SetPageVerticalRange(int Value);
    int PageVerticalRangeAc() const { return FPageVerticalRangeAc; }
    void SetPageVerticalRangeAc(int Value);

    void Assign(const TPersistent& Source) override;

private:
    int FCaretVerticalAc = 2;
    bool FInitBracketsFull = false;
    int FPageVerticalRange = 2;
    int FPageVerticalRangeAc = 2;
};

} // namespace kestrim
