#pragma once
// Syntax colours for the provisional body: each line is parsed on its own by the view's
// definition (its reserved words, comment mark, quotation and colours); only a bracket left
// open at the end of a line is handed on to the next one.

#include <QSyntaxHighlighter>

namespace kestrim {

class TEditorFountain;

class TBodyHighlighter : public QSyntaxHighlighter {
public:
    TBodyHighlighter(TEditorFountain& Fountain, QObject* Parent);

    // Whether the definition gives any part of the text a colour or style of its own.
    static bool Colours(TEditorFountain& Fountain);

protected:
    void highlightBlock(const QString& Text) override;

private:
    TEditorFountain& FFountain;
};

} // namespace kestrim
