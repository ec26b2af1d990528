#pragma once
// TLinesSource: an editor's text read as a byte source, a block of lines at a time, with the
// line ends and in the encoding a reader asks for: the text goes to a program without a whole
// copy of it. The lines must not change while they are read.

#include "editor/base/ByteSource.h"
#include "editor/base/TextConversion.h"
#include "editor/text/TextFileFormat.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrim {

class TEditorStrings;

// The characters of a text that another encoding cannot hold: how many, and where the first is.
struct TLinesLoss {
    std::size_t Count = 0;
    TTextPlace First;
};

// What converting Lines from From into To would lose; nothing when both are the same.
TLinesLoss LinesLoss(const TEditorStrings& Lines, TTextEncoding From, TTextEncoding To);

class TLinesSource : public TByteSource {
public:
    // The lines joined by LineEnd (LF, or else CR LF), a final line break only where the text
    // has one, converted from From into To as ConvertText does.
    TLinesSource(const TEditorStrings& Lines, TTextEncoding From, TTextEncoding To, TLineEnd LineEnd);

    std::string_view ReadBlock(char* Buffer, std::size_t Count) override;
    void Rewind() override;
    // Not known before the lines are converted.
    std::size_t Size() const override { return 0; }
    // True once every byte has been handed out.
    bool AtEnd() const { return FEnd && FPosition == FBlock.size(); }

private:
    void ReadLines(std::size_t Count);

    const TEditorStrings& FLines;
    TTextEncoding FFrom;
    TTextEncoding FTo;
    std::string_view FLineBreak;
    int FLine = 0; // the next line to read
    bool FEnd = false;
    std::string FBlock; // lines read and not all handed out yet
    std::size_t FPosition = 0;
};

} // namespace kestrim
