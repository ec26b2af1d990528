#include "editor/control/BodyLines.h"

#include "editor/base/Exceptions.h"
#include "editor/control/BodyBytes.h"
#include "editor/control/SjisQString.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace kestrim {

TBodyLines::TBodyLines(QPlainTextEdit& Edit) : FEdit(Edit) {}

bool TBodyLines::TrailingLineBreak() const
{
    // An empty document keeps what the last whole text said.
    return DocumentEmpty() ? TStrings::TrailingLineBreak() : EndsWithLineBreak();
}

QTextDocument& TBodyLines::Document() const
{
    return *FEdit.document();
}

bool TBodyLines::DocumentEmpty() const
{
    return Document().characterCount() <= 1; // the final paragraph separator is always there
}

bool TBodyLines::EndsWithLineBreak() const
{
    return Document().blockCount() > 1 && Document().lastBlock().length() == 1;
}

int TBodyLines::GetCount() const
{
    if (DocumentEmpty())
        return 0;
    return Document().blockCount() - (EndsWithLineBreak() ? 1 : 0);
}

std::string TBodyLines::Get(int Index) const
{
    CheckListIndex(Index, GetCount());
    return QStringToSjis(Document().findBlockByNumber(Index).text());
}

void TBodyLines::InsertAsOneStep(QTextCursor& Cursor, const QString& Text)
{
    // An edit block of its own keeps the document from merging it with the edit before.
    Cursor.beginEditBlock();
    Cursor.insertText(Text);
    Cursor.endEditBlock();
}

void TBodyLines::PlaceCaret(int Position)
{
    QTextCursor caret(&Document());
    caret.setPosition(Position);
    FEdit.setTextCursor(caret);
}

void TBodyLines::Put(int Index, const std::string& S)
{
    CheckListIndex(Index, GetCount());
    const QTextBlock block = Document().findBlockByNumber(Index);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    InsertAsOneStep(cursor, SjisToQString(S));
    const bool lineBreakFollows = cursor.block().next().isValid();
    PlaceCaret(cursor.position() + (lineBreakFollows ? 1 : 0));
}

void TBodyLines::Insert(int Index, const std::string& S)
{
    if (Index == GetCount()) {
        Add(S);
        return;
    }
    CheckListIndex(Index, GetCount());
    QTextCursor cursor(Document().findBlockByNumber(Index));
    InsertAsOneStep(cursor, SjisToQString(S) + QChar('\n'));
    PlaceCaret(cursor.position());
}

int TBodyLines::Add(const std::string& S)
{
    const int index = GetCount();
    QTextCursor cursor(&Document());
    cursor.movePosition(QTextCursor::End);
    if (index > 0 && !EndsWithLineBreak())
        InsertAsOneStep(cursor, QChar('\n') + SjisToQString(S)); // the new last line again has no break
    else
        InsertAsOneStep(cursor, SjisToQString(S) + QChar('\n'));
    PlaceCaret(cursor.position());
    return index;
}

void TBodyLines::Delete(int Index)
{
    CheckListIndex(Index, GetCount());
    const QTextBlock block = Document().findBlockByNumber(Index);
    QTextCursor cursor(block);
    if (block.next().isValid())
        cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
    else
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    InsertAsOneStep(cursor, QString());
    PlaceCaret(Document().findBlockByNumber(Index).isValid()
                   ? Document().findBlockByNumber(Index).position()
                   : Document().lastBlock().position());
}

void TBodyLines::ReplaceDocument(const QString& Text)
{
    Document().setPlainText(Text); // also empties the undo history
    PlaceCaret(0);
    Document().setModified(true);
}

void TBodyLines::Clear()
{
    ReplaceDocument(QString());
}

std::string TBodyLines::GetTextStr() const
{
    return TBodyBytes(Document()).Text();
}

void TBodyLines::SetTextStr(const std::string& Text)
{
    QString document;
    document.reserve(static_cast<qsizetype>(Text.size()));
    // Each line is converted on its own, so that a broken character never swallows a line break.
    const bool endsWithBreak = ForEachLine(Text, [&](std::size_t Begin, std::size_t End) {
        document += SjisToQString(std::string_view(Text).substr(Begin, End - Begin));
        document += QChar('\n');
    });
    if (!endsWithBreak && !document.isEmpty())
        document.chop(1);
    ReplaceDocument(document);
    SetTrailingLineBreak(endsWithBreak || Text.empty());
}

void TBodyLines::Assign(const TStrings& Source)
{
    if (&Source == this)
        return;
    SetTextStr(Source.GetTextStr());
    PlaceCaret(Document().lastBlock().position());
}

void TBodyLines::SetUpdateState(bool Updating)
{
    FEdit.setUpdatesEnabled(!Updating);
}

} // namespace kestrim
