#include "editor/text/edWrapOption.h"

#include "editor/base/CodePage.h"
#include "editor/base/TextConversion.h"

#include <algorithm>

namespace kestrim {
namespace {

const std::string& DefaultFollowStr()
{
    static const std::string text = Utf8ToSjis("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ");
    return text;
}

const std::string& DefaultLeadStr()
{
    static const std::string text = Utf8ToSjis("（［｛「『([{｢");
    return text;
}

const std::string& DefaultPunctuationStr()
{
    static const std::string text = Utf8ToSjis("、。，．,.｡､");
    return text;
}

} // namespace

TEditorWrapOption::TCharList::TCharList(const std::string& Value)
    : Sjis(Value), Utf8(ConvertText(Value, TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text)
{
}

// The UTF-8 form is made before the owner hears of the change and re-wraps.
void TEditorWrapOption::StoreList(TCharList& Field, const std::string& Value)
{
    if (Field.Sjis == Value)
        return;
    Field = TCharList(Value);
    Changed();
}

TEditorWrapOption::TEditorWrapOption()
    : FFollowStr(DefaultFollowStr()), FLeadStr(DefaultLeadStr()), FPunctuationStr(DefaultPunctuationStr())
{
}

void TEditorWrapOption::Assign(const TPersistent& Source)
{
    const auto* source = dynamic_cast<const TEditorWrapOption*>(&Source);
    if (!source)
        return TNotifyPersistent::Assign(Source);
    FFollowRetMark = source->FFollowRetMark;
    FFollowPunctuation = source->FFollowPunctuation;
    FFollowStr = source->FFollowStr;
    FLeading = source->FLeading;
    FLeadStr = source->FLeadStr;
    FPunctuationStr = source->FPunctuationStr;
    FWordBreak = source->FWordBreak;
    FWrapByte = source->FWrapByte;
    Changed();
}

void TEditorWrapOption::SetFollowRetMark(bool Value) { Store(FFollowRetMark, Value); }
void TEditorWrapOption::SetFollowPunctuation(bool Value) { Store(FFollowPunctuation, Value); }
void TEditorWrapOption::SetFollowStr(const std::string& Value) { StoreList(FFollowStr, Value); }
void TEditorWrapOption::SetLeading(bool Value) { Store(FLeading, Value); }
void TEditorWrapOption::SetLeadStr(const std::string& Value) { StoreList(FLeadStr, Value); }
void TEditorWrapOption::SetPunctuationStr(const std::string& Value) { StoreList(FPunctuationStr, Value); }
void TEditorWrapOption::SetWordBreak(bool Value) { Store(FWordBreak, Value); }

void TEditorWrapOption::SetWrapByte(int Value)
{
    Store(FWrapByte, std::clamp(Value, MinWrapByte, MaxWrapByte));
}

} // namespace kestrim
