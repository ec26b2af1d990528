#pragma once
// The body's document as one Shift-JIS text with CR LF line breaks, and the translation between
// positions in the document (UTF-16 code units, one per line break) and byte offsets in that text.

#include <QTextDocument>

#include <cstddef>
#include <string>
#include <vector>

namespace kestrim {

class TBodyBytes {
public:
    explicit TBodyBytes(const QTextDocument& Document);

    const std::string& Text() const { return FText; }
    std::size_t ByteOf(int Position) const;
    // The document position at Byte; a byte inside a character or a line break gives the
    // position after it.
    int PositionOf(std::size_t Byte) const;

private:
    const QTextDocument& FDocument;
    std::string FText;
    std::vector<std::size_t> FLineStarts; // one per block, the empty block after a final break too
};

} // namespace kestrim
