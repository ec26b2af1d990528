#include "editor/control/EditorControl.h"

#include "editor/control/BodyBytes.h"
#include "editor/control/BodyColumns.h"
#include "editor/control/BodyEdit.h"
#include "editor/control/BodyHighlighter.h"
#include "editor/control/BodyLines.h"
#include "editor/control/BodyTokens.h"
#include "editor/control/EditorFonts.h"
#include "editor/control/EditorOptions.h"
#include "editor/control/QtColors.h"
#include "editor/control/SjisQString.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kestrim {
namespace {

// The document position of the byte at Byte of Line, the Shift-JIS text of Block.
int PositionOfByte(const QTextBlock& Block, std::string_view Line, std::size_t Byte)
{
    return Block.position() + QStringLength(Line.substr(0, Byte));
}

// The byte offset in the Shift-JIS text of Block that PositionInBlock, counted in UTF-16 code
// units from the block's start, stands for.
std::size_t ByteOfPosition(const QTextBlock& Block, int PositionInBlock)
{
    return SjisLength(QStringView(Block.text()).left(PositionInBlock));
}

} // namespace

// The provisional body: a plain text widget that fills the control, the line facade over its
// document, and the option objects the application sets, applied to the widget on each change.
class TEditor::TBody {
public:
    explicit TBody(TEditor& Owner) : Edit(new TBodyEdit(&Owner)), Lines(*Edit), Highlighter(View.Fountain(), nullptr)
    {
        Marks.OnChange = TNotifyEvent([this](TObject*) { MarksChanged(); });
        View.OnChange = TNotifyEvent([this](TObject*) { ViewChanged(); });
        // Filling the list directly notifies nobody, as with the full control; the colours
        // follow anyway, once the filling is over.
        View.Fountain().ReserveWordList().OnChange = [this] { ScheduleRehighlight(); };
        ViewChanged();
    }

    QTextBlock CaretBlock() const { return Edit->textCursor().block(); }
    // The caret's byte offset in its line.
    std::size_t CaretByte() const
    {
        const QTextCursor caret = Edit->textCursor();
        return ByteOfPosition(caret.block(), caret.positionInBlock());
    }
    int LineHeight() const { return qMax(1, Edit->fontMetrics().lineSpacing()); }
    int TopRow() const { return Edit->verticalScrollBar()->value(); }
    int LeftCol() const { return Edit->horizontalScrollBar()->value() / Edit->ColumnWidth(); }
    // The first pixel row of the viewport below the last row of the text.
    int TextBottom() const { return Edit->TextBottom(); }

    void MarksChanged()
    {
        const auto style = [](const TEditorMark& Mark) {
            return TBodyEdit::TMarkStyle{Mark.Visible(), ToQColor(Mark.Color(), Qt::gray)};
        };
        Edit->RetMark = style(Marks.RetMark());
        Edit->EofMark = style(Marks.EofMark());
        Edit->Underline = style(Marks.Underline());
        Edit->viewport()->update();
    }

    void ViewChanged()
    {
        QPalette palette = Edit->palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        const TEditorColor& select = View.Colors().Select();
        palette.setColor(QPalette::Highlight, ToQColor(select.BkColor(), palette.color(QPalette::Highlight)));
        palette.setColor(QPalette::HighlightedText, ToQColor(select.Color(), palette.color(QPalette::HighlightedText)));
        Edit->setPalette(palette);
        // Texts without colours of their own are not parsed at all: a long result stays cheap.
        const bool colours = TBodyHighlighter::Colours(View.Fountain());
        if (!colours)
            Highlighter.setDocument(nullptr);
        else if (Highlighter.document() != Edit->document())
            Highlighter.setDocument(Edit->document());
        else
            Highlighter.rehighlight();
        Edit->ensureCursorVisible();
        Edit->viewport()->update();
    }

    void ScheduleRehighlight()
    {
        if (RehighlightPending || !Highlighter.document())
            return;
        RehighlightPending = true;
        QTimer::singleShot(0, Edit, [this] {
            RehighlightPending = false;
            if (Highlighter.document())
                Highlighter.rehighlight();
        });
    }

    TBodyEdit* Edit; // owned by the control as its child widget
    TBodyLines Lines;
    TEditorMarks Marks;
    TEditorViewInfo View;
    TBodyHighlighter Highlighter;
    bool RehighlightPending = false;
};

TEditor::TEditor(QWidget* Parent) : QWidget(Parent), FBody(std::make_unique<TBody>(*this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FBody->Edit);
    setFocusProxy(FBody->Edit);
    FBody->Edit->setFont(DefaultEditorFont());

    FBody->Edit->OnClick = [this] { emit OnClick(); };
    FBody->Edit->OnDblClick = [this] { emit OnDblClick(); };
    FBody->Edit->OnKeyUp = [this](int Key, Qt::KeyboardModifiers Modifiers) { emit OnKeyUp(Key, Modifiers); };
    FBody->Edit->OnMouseUp = [this](Qt::MouseButton Button) { emit OnMouseUp(Button); };
}

TEditor::~TEditor()
{
    // The widget goes first, so that nothing it sends while it is destroyed reaches the body.
    delete FBody->Edit;
}

TStrings& TEditor::Lines()
{
    return FBody->Lines;
}

bool TEditor::Modified() const
{
    return FBody->Edit->document()->isModified();
}

void TEditor::SetModified(bool Value)
{
    FBody->Edit->document()->setModified(Value);
}

int TEditor::Row() const
{
    return FBody->CaretBlock().blockNumber();
}

int TEditor::Col() const
{
    const std::string line = QStringToSjis(FBody->CaretBlock().text());
    return ColumnOfByte(line, FBody->CaretByte(), FBody->Edit->TabWidth());
}

void TEditor::SetRow(int Value)
{
    SetRowCol(Value, Col());
}

void TEditor::SetCol(int Value)
{
    SetRowCol(Row(), Value);
}

void TEditor::SetRowCol(int ARow, int ACol)
{
    const QTextDocument& document = *FBody->Edit->document();
    const int row = std::clamp(ARow, 0, document.blockCount() - 1);
    const QTextBlock block = document.findBlockByNumber(row);
    const std::string line = QStringToSjis(block.text());
    const int position = PositionOfByte(block, line, ByteOfColumn(line, std::max(ACol, 0), FBody->Edit->TabWidth()));
    QTextCursor caret = FBody->Edit->textCursor();
    if (caret.position() == position)
        return; // a selection ending at the caret stays
    caret.setPosition(position);
    FBody->Edit->setTextCursor(caret);
}

int TEditor::VisibleRowCount() const
{
    return FBody->Edit->viewport()->height() / FBody->LineHeight();
}

int TEditor::VisibleColCount() const
{
    return FBody->Edit->viewport()->width() / FBody->Edit->ColumnWidth();
}

QPoint TEditor::CaretPos() const
{
    return FBody->Edit->viewport()->mapTo(this, FBody->Edit->cursorRect().topLeft());
}

void TEditor::ScrollCaret()
{
    const int row = Row();
    const int rows = std::max(VisibleRowCount(), 1);
    if (row < FBody->TopRow() || row >= FBody->TopRow() + rows)
        FBody->Edit->verticalScrollBar()->setValue(std::max(row - rows / 3, 0));
    const int col = Col();
    const int cols = std::max(VisibleColCount(), 1);
    if (col < FBody->LeftCol() || col >= FBody->LeftCol() + cols)
        FBody->Edit->horizontalScrollBar()->setValue(std::max(col - cols / 3, 0) * FBody->Edit->ColumnWidth());
}

void TEditor::ScrollLines(int Count)
{
    QScrollBar* bar = FBody->Edit->verticalScrollBar();
    bar->setValue(bar->value() + Count);
}

int TEditor::SelLength() const
{
    // Line by line: the window asks on every key and click, also with a long text selected.
    const QTextCursor caret = FBody->Edit->textCursor();
    const QTextDocument& document = *FBody->Edit->document();
    const QTextBlock first = document.findBlock(caret.selectionStart());
    const QTextBlock last = document.findBlock(caret.selectionEnd());
    const int from = caret.selectionStart() - first.position();
    const int to = caret.selectionEnd() - last.position();
    if (first == last)
        return static_cast<int>(SjisLength(QStringView(first.text()).mid(from, to - from)));
    std::size_t bytes = SjisLength(QStringView(first.text()).mid(from)) + 2;
    for (QTextBlock block = first.next(); block != last; block = block.next())
        bytes += SjisLength(block.text()) + 2;
    bytes += SjisLength(QStringView(last.text()).left(to));
    return static_cast<int>(bytes);
}

void TEditor::SetSelLength(int Value)
{
    QTextCursor caret = FBody->Edit->textCursor();
    const int from = caret.hasSelection() && Value > 0 ? caret.selectionStart() : caret.position();
    caret.setPosition(from);
    if (Value > 0) {
        const TBodyBytes bytes(*FBody->Edit->document());
        caret.setPosition(bytes.PositionOf(bytes.ByteOf(from) + static_cast<std::size_t>(Value)),
                          QTextCursor::KeepAnchor);
    }
    FBody->Edit->setTextCursor(caret);
}

void TEditor::SelectAll()
{
    FBody->Edit->selectAll();
}

void TEditor::ClearSelection()
{
    QTextCursor caret = FBody->Edit->textCursor();
    caret.removeSelectedText();
    FBody->Edit->setTextCursor(caret);
}

void TEditor::SelectTokenAt(const QPoint& Point, bool /*UseDefinition*/, bool /*KeepBrackets*/)
{
    // The provisional body has no highlighting parser: every token is a plain word.
    const QPoint inViewport = FBody->Edit->viewport()->mapFrom(this, Point);
    if (inViewport.y() >= FBody->TextBottom())
        return; // below the text: nothing to select
    const QTextCursor at = FBody->Edit->cursorForPosition(inViewport);
    const QTextBlock block = at.block();
    const std::string line = QStringToSjis(block.text());
    const TByteRange token = TokenAt(line, ByteOfPosition(block, at.positionInBlock()));
    QTextCursor selection(block);
    selection.setPosition(PositionOfByte(block, line, token.Begin));
    selection.setPosition(PositionOfByte(block, line, token.End), QTextCursor::KeepAnchor);
    FBody->Edit->setTextCursor(selection);
}

void TEditor::CopyToClipboard()
{
    FBody->Edit->copy();
}

void TEditor::CutToClipboard()
{
    FBody->Edit->cut();
}

void TEditor::PasteFromClipboard()
{
    FBody->Edit->paste();
}

void TEditor::Undo()
{
    FBody->Edit->undo();
}

void TEditor::Redo()
{
    FBody->Edit->redo();
}

bool TEditor::CanUndo() const
{
    return FBody->Edit->document()->isUndoAvailable();
}

bool TEditor::CanRedo() const
{
    return FBody->Edit->document()->isRedoAvailable();
}

bool TEditor::Search(const std::string& Pattern, TSearchOptions Options)
{
    const QTextCursor caret = FBody->Edit->textCursor();
    const bool down = Options & soDown;
    const int from = !caret.hasSelection() ? caret.position() : down ? caret.selectionEnd() : caret.selectionStart();
    const TBodyBytes bytes(*FBody->Edit->document());
    int position = static_cast<int>(bytes.ByteOf(from));
    int length = 0;
    if (!SearchText(bytes.Text(), position, length, Pattern, Options))
        return false;
    QTextCursor selection = caret;
    selection.setPosition(bytes.PositionOf(static_cast<std::size_t>(position)));
    selection.setPosition(bytes.PositionOf(static_cast<std::size_t>(position + length)), QTextCursor::KeepAnchor);
    FBody->Edit->setTextCursor(selection);
    return true;
}

QFont TEditor::Font() const
{
    return FBody->Edit->font();
}

void TEditor::SetFont(const QFont& Value)
{
    FBody->Edit->setFont(Value);
}

TEditorViewInfo& TEditor::View()
{
    return FBody->View;
}

void TEditor::SetView(const TEditorViewInfo& Value)
{
    FBody->View.Assign(Value);
}

TEditorMarks& TEditor::Marks()
{
    return FBody->Marks;
}

void TEditor::SetMarks(const TEditorMarks& Value)
{
    FBody->Marks.Assign(Value);
}

TStringList& TEditor::ReserveWordList()
{
    return FBody->View.Fountain().ReserveWordList();
}

void TEditor::SetReserveWordList(const TStrings& Value)
{
    // The same words in another order are the same list.
    TStringList words;
    words.SetSorted(true);
    words.Assign(Value);
    if (words.Text() == ReserveWordList().Text())
        return;
    FBody->View.Fountain().SetReserveWordList(Value);
}

void TEditor::SetFocus()
{
    FBody->Edit->setFocus();
}

} // namespace kestrim
