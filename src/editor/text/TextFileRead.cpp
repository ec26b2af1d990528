#include "editor/text/TextFileRead.h"

#include <algorithm>

namespace kestrim {
namespace {

// The bytes of all passes, each counted in its share, so that the figures are the file's bytes.
class TReadMeter {
public:
    TReadMeter(const TTextReadOptions& Options, std::uint64_t Size, int Passes)
        : FOptions(Options), FTotal(Size), FPasses(Passes)
    {
    }

    TFileLines::TOnBlock Pass(bool Counting)
    {
        return [this, Counting](std::size_t Bytes) {
            FPassed += Bytes;
            if (Counting)
                FTotal = std::max(FTotal, FPassed);
            Report(std::min(FPassed / FPasses, FTotal));
            return !Cancelled();
        };
    }
    void Finish(std::uint64_t Size)
    {
        FTotal = std::max(FTotal, Size);
        Report(FTotal);
    }
    bool Cancelled() const { return FOptions.Cancel && FOptions.Cancel->load(std::memory_order_relaxed); }

private:
    void Report(std::uint64_t Done)
    {
        FDone = std::max(FDone, Done);
        if (FOptions.Progress)
            FOptions.Progress(FDone, FTotal);
    }

    const TTextReadOptions& FOptions;
    std::uint64_t FTotal;
    int FPasses;
    std::uint64_t FPassed = 0;
    std::uint64_t FDone = 0;
};

} // namespace

std::optional<TTextRows> ReadTextRows(TByteSource& Source, const TTextReadOptions& Options)
{
    // The encoding decides whether a byte-order mark is text, so only a known one lets the rows
    // be handed out before every byte has been seen.
    const bool onePass = Options.Encoding && Options.ExpectedRows;
    TReadMeter meter(Options, Source.Size(), onePass ? 1 : 2);
    TFileLines file = onePass ? TFileLines(Source, Options.BlockSize, TFileLines::TOnePass{})
                              : TFileLines(Source, Options.BlockSize, !Options.Encoding, meter.Pass(true));
    if (file.Stopped())
        return std::nullopt;
    TTextRows text;
    text.Encoding = Options.Encoding.value_or(EncodingOfBytes(file.ByteOrderMark(), file.Utf8(), Options.Default));
    text.Rows = std::make_unique<TEditorStringList>();
    TEditorStringList& rows = *text.Rows;
    // An expectation is believed only as far as the bytes could hold rows of a few bytes, so
    // that a wrong one costs little room.
    const std::size_t expected =
        onePass ? std::min(*Options.ExpectedRows, Source.Size() / 4) : static_cast<std::size_t>(file.RowCount());
    // Room for an eighth more rows: the first lines typed into a text just loaded fit in.
    rows.SetCapacity(static_cast<int>(std::min<std::size_t>(expected + expected / 8 + 16, INT32_MAX)));
    file.ReadRows(
        [&](const std::string& row, bool endsLine) {
            // A file rewritten since the count may have more rows than it found.
            const int index = rows.Add(row);
            if (!endsLine)
                rows.SetRows(index, raEof);
        },
        text.Encoding == TTextEncoding::Utf8, meter.Pass(onePass));
    if (file.Stopped())
        return std::nullopt;
    text.Format = file.Format(text.Encoding);
    meter.Finish(file.FileSize());
    return text;
}

} // namespace kestrim
