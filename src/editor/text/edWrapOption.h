#pragma once
// TEditorWrapOption: the rules by which word wrap cuts a logical line into screen rows. Every
// real change notifies the owner, which re-wraps the whole text. The character lists are set in
// Shift-JIS and mean the same characters in a UTF-8 text: each keeps its UTF-8 form, made when
// it is set.

#include "editor/base/TextEncoding.h"
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
    const std::string& FollowStr() const { return FFollowStr.Sjis; }
    const std::string& FollowStr(TTextEncoding Encoding) const { return FFollowStr.In(Encoding); }
    void SetFollowStr(const std::string& Value);
    // Apply the LeadStr and FollowStr rules.
    bool Leading() const { return FLeading; }
    void SetLeading(bool Value);
    // Characters that must not end a row (Shift-JIS).
    const std::string& LeadStr() const { return FLeadStr.Sjis; }
    const std::string& LeadStr(TTextEncoding Encoding) const { return FLeadStr.In(Encoding); }
    void SetLeadStr(const std::string& Value);
    // Characters that may hang past the row width (Shift-JIS).
    const std::string& PunctuationStr() const { return FPunctuationStr.Sjis; }
    const std::string& PunctuationStr(TTextEncoding Encoding) const { return FPunctuationStr.In(Encoding); }
    void SetPunctuationStr(const std::string& Value);
    // Break rows only after a delimiter, a tab or a two-byte character.
    bool WordBreak() const { return FWordBreak; }
    void SetWordBreak(bool Value);
    // Row width in display columns, kept within MinWrapByte..MaxWrapByte.
    int WrapByte() const { return FWrapByte; }
    void SetWrapByte(int Value);

private:
    // A character list in Shift-JIS and in UTF-8.
    struct TCharList {
        std::string Sjis;
        std::string Utf8;
        explicit TCharList(const std::string& Value);
        const std::string& In(TTextEncoding Encoding) const { return Encoding == TTextEncoding::Utf8 ? Utf8 : Sjis; }
    };
    void StoreList(TCharList& Field, const std::string& Value);

    bool FFollowRetMark = false;
    bool FFollowPunctuation = false;
    TCharList FFollowStr;
    bool FLeading = false;
    TCharList FLeadStr;
    TCharList FPunctuationStr;
    bool FWordBreak = false;
    int FWrapByte = 80;
};

} // namespace kestrim
