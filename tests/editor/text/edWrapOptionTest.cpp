#include "editor/base/Exceptions.h"
#include "editor/text/edWrapOption.h"

#include <gtest/gtest.h>

using namespace kestrim;

TEST(WrapOption, DefaultsAreShiftJisTexts)
{
    TEditorWrapOption option;
    EXPECT_EQ(option.FollowStr(), "\x81" "A\x81" "B\x81" "C\x81" "D\x81" "E\x81" "H\x81" "I\x81" "J\x81" "K\x81" "R"
                                  "\x81" "S\x81" "T\x81" "U\x81" "X\x81" "[\x81" "j\x81" "n\x81" "p\x81" "v\x81" "x"
                                  "!),.:;?]}\xA1\xA3\xA4\xA5\xB0\xDE\xDF");
    EXPECT_EQ(option.LeadStr(), "\x81" "i\x81" "m\x81" "o\x81" "u\x81" "w([{\xA2");
    EXPECT_EQ(option.PunctuationStr(), "\x81" "A\x81" "B\x81" "C\x81" "D,.\xA1\xA4");
    EXPECT_EQ(option.WrapByte(), 80);
}

TEST(WrapOption, ChangesNotifyOnceAndWrapByteIsClamped)
{
    TEditorWrapOption option, copy;
    int changes = 0;
    option.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    option.SetWrapByte(80);
    option.SetLeadStr(option.LeadStr());
    EXPECT_EQ(changes, 0);
    option.SetWrapByte(10);
    EXPECT_EQ(option.WrapByte(), 20);
    option.SetWrapByte(1000);
    EXPECT_EQ(option.WrapByte(), 250);
    option.SetWrapByte(3000); // clamps to the value it already has
    EXPECT_EQ(changes, 2);

    copy.SetFollowRetMark(true);
    copy.SetFollowPunctuation(true);
    copy.SetFollowStr("f");
    copy.SetLeading(true);
    copy.SetLeadStr("l");
    copy.SetPunctuationStr("p");
    copy.SetWordBreak(true);
    copy.SetWrapByte(33);
    option.Assign(copy);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(option.FollowRetMark() && option.FollowPunctuation() && option.Leading() && option.WordBreak());
    EXPECT_EQ(option.FollowStr() + option.LeadStr() + option.PunctuationStr(), "flp");
    EXPECT_EQ(option.WrapByte(), 33);
    EXPECT_THROW(option.Assign(TNotifyPersistent()), Exception);
}

TEST(WrapOption, CharacterListsHaveTheirUtf8FormBeforeTheOwnerHears)
{
    TEditorWrapOption option;
    EXPECT_EQ(option.PunctuationStr(TTextEncoding::Utf8), "、。，．,.｡､");
    EXPECT_EQ(option.PunctuationStr(TTextEncoding::ShiftJis), option.PunctuationStr());
    std::string seen;
    option.OnChange = TNotifyEvent([&](TObject*) {
        seen = option.FollowStr(TTextEncoding::Utf8) + option.LeadStr(TTextEncoding::Utf8);
    });
    option.SetFollowStr("\x81" "A");
    option.SetLeadStr("\x81" "i(");
    EXPECT_EQ(seen, "、（(");
    TEditorWrapOption copy;
    copy.Assign(option);
    EXPECT_EQ(copy.LeadStr(TTextEncoding::Utf8), "（(");
}
