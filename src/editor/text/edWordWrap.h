#pragma once
// TEditorWordWrap: cuts logical lines into screen rows by the wrap options and the editor's
// column layout. The screen strings own one, keep their WordWrap switch in it and build every
// row of their text through StrToWrapList.

#include "editor/text/edLayoutSettings.h"
#include "editor/text/edStringList.h"
#include "editor/text/edWrapOption.h"

#include <cstddef>
#include <string_view>

namespace kestrim {

class TEditorAttributeArray;

class TEditorWordWrap {
public:
    // Option and Layout belong to the owner and must outlive this object.
    TEditorWordWrap(const TEditorWrapOption& Option, const TEditorLayoutSettings& Layout)
        : FOption(Option), FLayout(Layout)
    {
    }

    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }

    // The rows one logical line (no line breaks) takes: always the number StrToWrapList makes.
    int WrapCount(std::string_view Line) const;

    // Replaces List with the rows of Text, in one update batch: every row of a wrapped line but
    // its last is raWrapped, the others raCrlf. An empty Text gives one empty row. The caller
    // sets the attribute of the last row.
    void StrToWrapList(std::string_view Text, TEditorStringList& List) const;

private:
    // Calls OnRow(row text, row attribute) for each row of Line.
    template <typename OnRow>
    void ForEachRow(std::string_view Line, OnRow&& onRow) const;
    // The bytes of the next row cut from the start of Rest, or 0 when Rest fits in one row.
    std::size_t RowCut(std::string_view Rest) const;
    void StepBackToBreak(TEditorAttributeArray& Cursor) const;
    void HangPunctuation(TEditorAttributeArray& Cursor) const;
    void ApplyLineStartAndEndRules(TEditorAttributeArray& Cursor) const;

    const TEditorWrapOption& FOption;
    const TEditorLayoutSettings& FLayout;
    bool FWordWrap = false;
};

} // namespace kestrim
