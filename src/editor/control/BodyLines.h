#pragma once
// The lines of the editor's provisional body: a TStrings laid over the document of a plain
// text widget. A document whose last block is empty holds a text that ends with a line break;
// that empty block is not a line.

#include "editor/base/StringsBase.h"

class QPlainTextEdit;
class QString;
class QTextCursor;
class QTextDocument;

namespace kestrim {

class TBodyLines : public TStrings {
public:
    explicit TBodyLines(QPlainTextEdit& Edit);

    std::string Get(int Index) const override;
    int GetCount() const override;
    // Each of these is one undo step and moves the caret, as an edit by hand would.
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    int Add(const std::string& S) override;
    void Delete(int Index) override;
    // Whole-text operations start a new document: the undo history goes, the caret goes to
    // the start, and the text counts as modified.
    void Clear() override;
    std::string GetTextStr() const override;
    // Whether the document ends with a line break, edits by hand included.
    bool TrailingLineBreak() const override;
    void SetTextStr(const std::string& Text) override;
    // Takes Source's text as a whole and puts the caret below its last line.
    void Assign(const TStrings& Source) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    QTextDocument& Document() const;
    bool EndsWithLineBreak() const;
    bool DocumentEmpty() const;
    void ReplaceDocument(const QString& Text);
    void PlaceCaret(int Position);
    static void InsertAsOneStep(QTextCursor& Cursor, const QString& Text);

    QPlainTextEdit& FEdit;
};

} // namespace kestrim
