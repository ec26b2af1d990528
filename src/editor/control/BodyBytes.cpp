#include "editor/control/BodyBytes.h"

#include "editor/control/SjisQString.h"

#include <QTextBlock>

#include <algorithm>

namespace kestrim {

TBodyBytes::TBodyBytes(const QTextDocument& Document) : FDocument(Document)
{
    for (QTextBlock block = Document.firstBlock(); block.isValid(); block = block.next()) {
        FLineStarts.push_back(FText.size());
        FText += QStringToSjis(block.text());
        if (block.next().isValid())
            FText += "\r\n";
    }
}

std::size_t TBodyBytes::ByteOf(int Position) const
{
    const QTextBlock block = FDocument.findBlock(Position);
    if (!block.isValid())
        return FText.size();
    const QStringView prefix = QStringView(block.text()).left(Position - block.position());
    return FLineStarts[static_cast<std::size_t>(block.blockNumber())] + SjisLength(prefix);
}

int TBodyBytes::PositionOf(std::size_t Byte) const
{
    Byte = std::min(Byte, FText.size());
    const auto next = std::upper_bound(FLineStarts.begin(), FLineStarts.end(), Byte);
    const auto line = static_cast<int>(next - FLineStarts.begin()) - 1;
    const QTextBlock block = FDocument.findBlockByNumber(line);
    const std::size_t lineEnd = next == FLineStarts.end() ? FText.size() : *next - 2;
    const std::size_t start = FLineStarts[static_cast<std::size_t>(line)];
    if (Byte > lineEnd) // inside the line break
        return block.next().position();
    return block.position() + QStringLength(std::string_view(FText).substr(start, Byte - start));
}

} // namespace kestrim
