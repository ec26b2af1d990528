#include "editor/control/EditorControl.h"

#include "editor/base/MemoryStream.h"

#include <gtest/gtest.h>

namespace kestrim {
namespace {

TEST(EditorLines, EmptyTextLeavesAnEmptyDocumentWithTheCaretAtTheStart)
{
    TEditor editor;
    editor.Lines().SetText("abc\r\ndef");
    editor.SetRowCol(1, 2);
    editor.Lines().SetText("");
    EXPECT_EQ(editor.Lines().Count(), 0);
    EXPECT_EQ(editor.Row(), 0);
    EXPECT_EQ(editor.Col(), 0);
    EXPECT_EQ(editor.SelLength(), 0);
}

TEST(EditorLines, StreamRoundTripKeepsTheFinalLineBreakOrItsAbsence)
{
    for (const std::string text : {"ab\r\nc\r\n", "ab\r\nc", "\x82\xa0\tx\r\n\r\n"}) {
        TEditor editor;
        TMemoryStream in(text);
        editor.Lines().LoadFromStream(in);
        TMemoryStream out;
        editor.Lines().SaveToStream(out);
        EXPECT_EQ(out.Bytes(), text);
    }
}

} // namespace
} // namespace kestrim
