// The message list leads to the script and the data: runs of the real interpreters with the
// shipped configurations, and their real messages.

#include "app/MainWindowFixture.h"
#include "app/MessageItemDelegate.h"

namespace {

class MessageNavigationTest : public MainWindowTest {
protected:
    TfrmKestrim& Run(const QString& Config, const char* Script, const char* Data)
    {
        TfrmKestrim& window = ShownWindow();
        window.LoadConfig(Config);
        SetScript(Script);
        window.tedData->Lines().SetText(Sjis(Data));
        window.Actions().actRun->trigger();
        return window;
    }

    TMessageList& Messages() { return *Window().lsbMessage; }

    int ItemWith(const char* Text)
    {
        for (int i = 0; i < Messages().count(); ++i)
            if (Messages().item(i)->text().contains(QString::fromUtf8(Text)))
                return i;
        ADD_FAILURE() << "no message holds " << Text;
        return 0;
    }

    void DoubleClick(int Index, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        const QPoint at = Messages().visualItemRect(Messages().item(Index)).center();
        QTest::mouseClick(Messages().viewport(), Qt::LeftButton, Modifiers, at);
        QTest::mouseDClick(Messages().viewport(), Qt::LeftButton, Modifiers, at);
    }

    std::vector<int> SelectedRows()
    {
        std::vector<int> rows;
        for (int i = 0; i < Messages().count(); ++i)
            if (Messages().item(i)->isSelected())
                rows.push_back(i);
        return rows;
    }
};

TEST_F(MessageNavigationTest, AFailureOnADataLineLeadsToTheScriptLineAndTheDataLine)
{
    struct TCase {
        const char* Config;
        const char* Script;
        const char* Message;
        int ScriptRow;
    } const cases[] = {
        {"Perl.ini", "use strict;\nwhile (my $l = <STDIN>) {\n    print 10 / $l, \"\\n\";\n}\n", "Illegal division", 2},
        {"Awk.ini", "{\n  print 10 / $1\n}\n", "division by zero", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Config);
        TfrmKestrim& window = Run(c.Config, c.Script, "1\r\n2\r\n0\r\n4\r\n");
        const int item = ItemWith(c.Message);
        EXPECT_EQ(Messages().item(item)->data(TMessageItemDelegate::DataLineRole), QVariant(3));
        EXPECT_EQ(Messages().item(item)->data(TMessageItemDelegate::ScriptPlaceRole), QVariant(true));

        DoubleClick(item);
        EXPECT_EQ(Page(), TfrmKestrim::pgScript);
        EXPECT_EQ(window.tedScript->Row(), c.ScriptRow);

        DoubleClick(item, Qt::AltModifier);
        EXPECT_EQ(Page(), TfrmKestrim::pgData);
        EXPECT_EQ(window.tedData->Row(), 2);
        EXPECT_TRUE(window.tedData->isAncestorOf(QApplication::focusWidget()));

        window.ShowPage(TfrmKestrim::pgResult);
        window.tedData->SetRowCol(0, 0);
        Messages().popErrorPopup();
        ASSERT_TRUE(Messages().actDataLineJump()->isEnabled());
        Messages().actDataLineJump()->trigger();
        EXPECT_EQ(Page(), TfrmKestrim::pgData);
        EXPECT_EQ(window.tedData->Row(), 2);
    }
}

// Python names the column of bad JSON in characters: the data-line jump counts them in the data
// page's encoding.
TEST_F(MessageNavigationTest, TheDataColumnCountsCharactersInTheDataPagesEncoding)
{
    const struct {
        TTextEncoding Encoding;
        int Byte; // of the "x" after 表示
    } pages[] = {{TTextEncoding::ShiftJis, 17}, {TTextEncoding::Utf8, 21}};
    for (const auto& page : pages) {
        SCOPED_TRACE(std::string(EncodingName(page.Encoding)));
        TfrmKestrim& window = Run("Python.ini", "import json, sys\njson.load(sys.stdin)\n", "");
        const std::string data = "{\"名前\": \"表示\", x}\r\n";
        window.tedData->SetEncodedText(page.Encoding == TTextEncoding::Utf8 ? data : Sjis(data.c_str()), page.Encoding);
        window.Actions().actRun->trigger();
        DoubleClick(ItemWith("JSONDecodeError"), Qt::AltModifier);
        EXPECT_EQ(Page(), TfrmKestrim::pgData);
        EXPECT_EQ(window.tedData->Row(), 0);
        EXPECT_EQ(window.tedData->CaretByte(), page.Byte);
    }
}

TEST_F(MessageNavigationTest, APythonSyntaxErrorIsOneMessageAndItsCaretGivesTheColumn)
{
    TfrmKestrim& window = Run("Python.ini", "x = 1\nprint(x +)\n", "");
    ASSERT_EQ(Messages().count(), 4) << "File line, source, caret, SyntaxError";
    DoubleClick(3);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(window.tedScript->Row(), 1);
    EXPECT_EQ(window.tedScript->CaretByte(), 9) << "on the \")\" the caret stands under";
}

TEST_F(MessageNavigationTest, ATracebackLeadsToItsInnermostScriptFrameByMouseAndByEnter)
{
    TfrmKestrim& window = Run("Python.ini",
                              "import sys\ndef parse(line):\n    return 10 // int(line)\n"
                              "def main():\n    for line in sys.stdin:\n        print(parse(line))\n\nmain()\n",
                              "1\r\n0\r\n");
    ASSERT_TRUE(Messages().item(0)->text().startsWith("Traceback"));
    DoubleClick(0);
    EXPECT_EQ(SelectedRows().size(), static_cast<std::size_t>(Messages().count())) << "one message";
    EXPECT_EQ(window.tedScript->Row(), 2);
    EXPECT_EQ(window.tedScript->CaretByte(), 14) << "on the operator the caret line marks";

    window.tedScript->SetRowCol(0, 0);
    Messages().setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(window.tedScript->Row(), 2);
}

// Ruby marks the failing call with a caret line; sh names only the line.
TEST_F(MessageNavigationTest, RubyAndShMessagesLeadToTheirLineAndColumn)
{
    struct TCase {
        const char* Config;
        const char* Script;
        int Row;
        int Byte;
    } const cases[] = {
        {"Ruby.ini", "x = nil\nputs x.upcase\n", 1, 6},
        {"Sh.ini", "echo a\nfoo_missing_command\n", 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Config);
        TfrmKestrim& window = Run(c.Config, c.Script, "");
        ASSERT_GT(Messages().count(), 0);
        window.tedScript->SetRowCol(0, 0);
        DoubleClick(0);
        EXPECT_EQ(window.tedScript->Row(), c.Row);
        EXPECT_EQ(window.tedScript->CaretByte(), c.Byte);
    }
}

TEST_F(MessageNavigationTest, NextAndPreviousVisitTheMessagesWithAPlaceAndStopAtTheEnds)
{
    TfrmKestrim& window =
        Run("Perl.ini", "while (my $l = <STDIN>) {\n    print STDERR \"note\\n\";\n    warn \"bad\";\n}\n",
            "a\r\nb\r\nc\r\nd\r\ne\r\n");
    ASSERT_EQ(Messages().count(), 10);
    window.tedScript->SetFocus();
    for (int expected : {1, 3, 5, 7, 9}) {
        Press(Qt::Key_F4);
        EXPECT_EQ(Messages().SelectedIndex(), expected);
        EXPECT_EQ(window.tedScript->Row(), 2);
    }
    Press(Qt::Key_F4);
    EXPECT_EQ(Messages().SelectedIndex(), 9) << "the end: nothing moves";
    EXPECT_EQ(window.StatusPanelText(1), "これより後に移動先のあるメッセージはありません。");
    Press(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(Messages().SelectedIndex(), 7);

    TMemoryStream other("at script line 1.\nnote\n");
    Messages().LoadFromStream(other);
    Press(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(Messages().SelectedIndex(), 0) << "from the end when nothing is selected";
    Press(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(window.StatusPanelText(1), "これより前に移動先のあるメッセージはありません。");
}

TEST_F(MessageNavigationTest, AConfigurationWithoutTheNewKeysJumpsAsBefore)
{
    Write(Path("conf/old.ini"), "[Command]\r\nCommand=perl\r\nOption=-w\r\nScript=script.pl\r\n"
                                "[Environment]\r\nErrLine=at .+? line (\\d+)[.,]\r\n");
    TfrmKestrim& window = Run("old.ini", "my $x = 1;\nwhile (my $l = <STDIN>) {\n    print 10 / $l;\n}\n", "0\r\n");
    ASSERT_EQ(Messages().count(), 1);
    EXPECT_FALSE(Messages().item(0)->data(TMessageItemDelegate::DataLineRole).isValid());
    window.tedScript->SetRowCol(0, 3);
    window.ShowPage(TfrmKestrim::pgResult);
    DoubleClick(0, Qt::AltModifier);
    EXPECT_EQ(Page(), TfrmKestrim::pgResult) << "no data line";
    Messages().popErrorPopup();
    EXPECT_FALSE(Messages().actDataLineJump()->isEnabled());
    DoubleClick(0);
    EXPECT_EQ(window.tedScript->Row(), 2);
    EXPECT_EQ(window.tedScript->Col(), 0);
}

// Word wrap shows line 1 in seven rows: the jumps go to lines, not rows, and still clamp.
TEST_F(MessageNavigationTest, UnderWordWrapTheJumpsGoToTheFirstRowOfTheLine)
{
    TfrmKestrim& window = ShownWindow();
    const std::string comment = "#" + std::string(130, 'c');
    for (TEditor* editor : {window.tedScript, window.tedData}) {
        editor->WrapOption().SetWrapByte(20);
        editor->SetWordWrap(true);
        editor->Lines().SetText(comment + "\r\nsecond\r\nthird line\r\n");
        ASSERT_EQ(editor->GetLineCount(), 9);
    }
    const struct {
        const char* Message;
        int Row;
    } cases[] = {{"at script line 3, <STDIN> line 3.", 8}, {"at script line 2, <STDIN> line 2.", 7},
                 {"at script line 0, <STDIN> line 0.", 0}, {"at script line 99, <STDIN> line 99.", 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        TMemoryStream errors(std::string(c.Message) + "\n");
        Messages().LoadFromStream(errors);
        DoubleClick(0);
        EXPECT_EQ(window.tedScript->Row(), c.Row);
        EXPECT_EQ(window.tedScript->Col(), 0);
        DoubleClick(0, Qt::AltModifier);
        EXPECT_EQ(window.tedData->Row(), c.Row);
    }
}

} // namespace
