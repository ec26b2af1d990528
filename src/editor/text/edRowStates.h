#pragma once
// What the text model needs from syntax highlighting: how the state at the start of one row
// leads to the state at the start of the next. The rows store these states so that any row can
// be painted on its own; the highlighting layer implements the interface and the editor hands
// its implementation to the text model, which thus knows no tokenizer.

#include "editor/base/TextEncoding.h"
#include "editor/text/edStringList.h"

#include <memory>

namespace kestrim {

// Computes row states over one run of rows; made for the run and thrown away.
class TRowStateParser {
public:
    virtual ~TRowStateParser() = default;

    // Turns Data, the state at the start of row Index of List (RowAttribute set to that row's
    // attribute), into the state at the start of row Index + 1.
    virtual void ComputeNextRowState(int Index, const TRowAttributeStringList& List, TRowAttributeData& Data) = 0;
};

class TRowStates {
public:
    // A parser of rows of text in Encoding.
    virtual std::unique_ptr<TRowStateParser> NewRowStateParser(TTextEncoding Encoding) = 0;

    // Whether a state can reach from one logical line into the next (a bracket left open).
    // When none can, every line starts in the initial state, whatever lies above it, and a
    // row far down a long text is painted without parsing the rows above it.
    virtual bool StatesCrossLines() = 0;

protected:
    ~TRowStates() = default;
};

} // namespace kestrim
