#pragma once
// TEditorWrapOption: the rules by which word wrap cuts a logical line into screen rows. Every
// real change notifies the owner, which re-wraps the whole text.

#include "editor/base/edClasses.h"

#include <string>

namespace kestrim {

class TEditorWrapOption : public TNotifyPersistent {
public:
    static constexpr int MinWrapByte = 20;
    static constexpr int MaxWrapByte = 250;

    TEditorWrapOption();

    // Copies all values from another TEditorWrapOption and notifies once.
    void Assign(const TPersistent& Source) override;

    // A line whose last row is exactly full ends on that row instead of an empty row after it.
    bool FollowRetMark() const { return FFollowRetMark; }
    void SetFollowRetMark(bool Value);
    // Characters of PunctuationStr may hang up to two columns past the row width.
    bool FollowPunctuation() const { return FFollowPunctuation; }
    void SetFollowPunctuation(bool Value);
    // Characters that must not start a row (Shift-JIS).
    const std::string& FollowStr() const { return FFollowStr; }
    void SetFollowStr(const std::string& Value);
    // Apply the LeadStr and FollowStr rules.
    bool Leading() const { return FLeading; }
    void SetLeading(bool Value);
    // Characters that must not end a row (Shift-JIS).
    const std::string& LeadStr() const { return FLeadStr; }
    void SetLeadStr(const std::string& Value);
    // Characters that may hang past the row width (Shift-JIS).
    const std::string& PunctuationStr() const { return FPunctuationStr; }
    void SetPunctuationStr(const std::string& Value);
    // Break rows only after a delimiter, a tab or a two-byte character.
    bool WordBreak() const { return FWordBreak; }
    void SetWordBreak(bool Value);
    // Row width in display columns, kept within MinWrapByte..MaxWrapByte.
    int WrapByte() const { return FWrapByte; }
    void SetWrapByte(int Value);

private:
    bool FFollowRetMark = false;
    bool FFollowPunctuation = false;
    std::string FFollowStr;
    bool FLeading = false;
    std::string FLeadStr;
    std::string FPunctuationStr;
    bool FWordBreak = false;
    int FWrapByte = 80;
};

} // namespace kestrim
