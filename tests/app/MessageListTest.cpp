#include "app/MessageList.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "regex/BRegExp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <gtest/gtest.h>

using namespace kestrim;
using namespace std::string_literals;

namespace {

const std::string DefaultErrLine = R"(line (\d+)[.,])";

std::vector<std::string> Items(const TMessageList& List)
{
    std::vector<std::string> items;
    for (int i = 0; i < List.count(); ++i)
        items.push_back(List.ItemBytes(i));
    return items;
}

void Load(TMessageList& List, const std::string& Bytes)
{
    TMemoryStream stream(Bytes);
    List.LoadFromStream(stream);
}

std::string ClipboardText()
{
    return QGuiApplication::clipboard()->text().toStdString();
}

} // namespace

TEST(MessageListTest, CutsLinesAtEveryBreakAndEndsAtTheFirstNul)
{
    TMessageList list;
    Load(list, "a\r\nb\rc\nd\r\n\r\ne\0f\ng"s);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));

    Load(list, "last\r\n");
    EXPECT_EQ(Items(list), std::vector<std::string>{"last"}) << "a final break adds no empty item";
    Load(list, "\r");
    EXPECT_EQ(Items(list), std::vector<std::string>{""});
    Load(list, "");
    EXPECT_EQ(list.count(), 0);
}

TEST(MessageListTest, ShowsShiftJisAndKeepsEveryItemsBytes)
{
    TMessageList list;
    // "あ" then a lead byte without its trail byte: shown converted, kept as it came.
    const std::string line = "\x82\xA0 x\x82";
    Load(list, line + "\n");
    EXPECT_EQ(list.item(0)->text().left(3), QString::fromUtf8("あ x"));
    EXPECT_EQ(list.ItemBytes(0), line);
    EXPECT_EQ(list.AllBytes(), line + "\r\n");
}

TEST(MessageListTest, LoadsFromTheStreamPositionAndSelectsNothing)
{
    TMessageList list;
    Load(list, "a\nb\n");
    list.setCurrentRow(1);
    ASSERT_EQ(list.SelectedIndex(), 1);
    TMemoryStream stream(std::string("old\nnew1\nnew2"));
    stream.SetPosition(4);
    list.LoadFromStream(stream);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"new1", "new2"}));
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(list.SelectedIndex(), -1);
    EXPECT_EQ(list.currentRow(), -1);
}

// A fixed number shown, whatever the number of lines (the time it takes is a benchmark's figure).
TEST(MessageListTest, MillionsOfLinesShowAFixedNumberAndSayHowManyWereLeftOut)
{
    constexpr int Lines = 2'000'000;
    std::string text;
    for (int i = 1; i <= Lines; ++i)
        text += "w" + std::to_string(i) + "\n";
    TMessageList list;
    Load(list, text);
    ASSERT_EQ(list.count(), TMessageList::MaxLines + 1);
    EXPECT_EQ(list.ItemBytes(TMessageList::MaxLines - 1), "w" + std::to_string(TMessageList::MaxLines));
    const QString leftOut = QString::fromUtf8("(ここから先の %1 行は表示していません)").arg(Lines - TMessageList::MaxLines);
    EXPECT_EQ(list.item(TMessageList::MaxLines)->text(), leftOut);
    EXPECT_EQ(list.ItemBytes(TMessageList::MaxLines), Utf8ToSjis(leftOut.toStdString()));

    Load(list, std::string(TMessageList::MaxLines, '\n'));
    EXPECT_EQ(list.count(), TMessageList::MaxLines) << "as many lines as are shown need no notice";
}

TEST(MessageListTest, ContextMenuEnablesOnlyWhatHasSomethingToCopy)
{
    TMessageList list;
    ASSERT_EQ(list.popError()->actions().mid(0, 2), (QList<QAction*>{list.actErrorCurrentCopy(), list.actErrorAllCopy()}));

    list.popErrorPopup();
    EXPECT_FALSE(list.actErrorCurrentCopy()->isEnabled());
    EXPECT_FALSE(list.actErrorAllCopy()->isEnabled());

    Load(list, "A\nB\n");
    list.popErrorPopup();
    EXPECT_FALSE(list.actErrorCurrentCopy()->isEnabled());
    EXPECT_TRUE(list.actErrorAllCopy()->isEnabled());

    list.setCurrentRow(1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), list.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list.viewport(), &event);
    EXPECT_TRUE(list.popError()->isVisible());
    EXPECT_TRUE(list.actErrorCurrentCopy()->isEnabled()) << "opening the menu updates the states";
    list.popError()->hide();
}

TEST(MessageListTest, CopiesTheSelectedLineOrAllLines)
{
    TMessageList list;
    Load(list, "A\nB\n");
    QGuiApplication::clipboard()->setText("before");
    list.actErrorCurrentCopyExecute();
    EXPECT_EQ(ClipboardText(), "before") << "no selection, nothing copied";

    list.setCurrentRow(1);
    list.actErrorCurrentCopy()->trigger();
    EXPECT_EQ(ClipboardText(), "B");
    list.actErrorAllCopy()->trigger();
    EXPECT_EQ(ClipboardText(), "A\nB\n") << "other programs get LF line ends";
}

TEST(ErrorLineNumberTest, TakesTheFirstGroupOfTheConfiguredPattern)
{
    EXPECT_EQ(ErrorLineNumber("syntax error at script line 3.", DefaultErrLine), 3);
    EXPECT_EQ(ErrorLineNumber("Bareword at script.pl line 12, near \"x\"", DefaultErrLine), 12);
    EXPECT_EQ(ErrorLineNumber("at script line 12", DefaultErrLine), std::nullopt);
    EXPECT_EQ(ErrorLineNumber("at script.pl line 7.", R"(at .+? line (\d+)[.,])"), 7);
}

TEST(ErrorLineNumberTest, ReportsUnusablePatternsAndNumbers)
{
    EXPECT_THROW(ErrorLineNumber("line 3.", R"(line (\d+)"), EBRegExpError) << "malformed";
    EXPECT_THROW(ErrorLineNumber("line 3.", R"(line \d+[.,])"), EBRegExpError) << "no group";
    try {
        ErrorLineNumber("at script line 3.", R"(at (\S+) line (\d+))");
        FAIL() << "the first group is the one converted";
    } catch (const EConvertError& error) {
        EXPECT_NE(std::string(error.what()).find("'script'"), std::string::npos) << error.what();
    }
    EXPECT_THROW(ErrorLineNumber("line 99999999999.", DefaultErrLine), EConvertError) << "beyond 32 bits";
}

TEST(MessageListTest, SelectedErrorRowCountsFromZeroAndStaysInRange)
{
    const std::string signedLine = R"(line (-?\d+))";
    TMessageList list;
    Load(list, "at script line 3.\nat script line 0.\nline -2147483648\nno number here\n");
    EXPECT_EQ(list.SelectedErrorRow(DefaultErrLine), std::nullopt) << "nothing selected";
    list.setCurrentRow(0);
    EXPECT_EQ(list.SelectedErrorRow(DefaultErrLine), 2);
    list.setCurrentRow(1);
    EXPECT_EQ(list.SelectedErrorRow(DefaultErrLine), 0);
    list.setCurrentRow(2);
    EXPECT_EQ(list.SelectedErrorRow(signedLine), 0);
    list.setCurrentRow(3);
    EXPECT_EQ(list.SelectedErrorRow(DefaultErrLine), std::nullopt);
}
