#include "editor/text/TextFileRead.h"

#include <algorithm>

namespace kestrim {
namespace {

// The bytes of both passes, each counted half, so that the figures are the file's bytes.
class TReadMeter {
public:
    TReadMeter(const TTextReadOptions& Options, std::uint64_t Size) : FOptions(Options), FTotal(Size) {}

    TFileLines::TOnBlock Pass(bool Counting)
    {
        return [this, Counting](std::size_t Bytes) {
            FPassed += Bytes;
            if (Counting)
                FTotal = std::max(FTotal, FPassed);
            Report(std::min(FPassed / 2, FTotal));
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
    std::uint64_t FPassed = 0;
    std::uint64_t FDone = 0;
};

} // namespace

std::optional<TTextRows> ReadTextRows(TByteSource& Source, const TTextReadOptions& Options)
{
    TReadMeter meter(Options, Source.Size());
    TFileLines file(Source, Options.BlockSize, !Options.Encoding, meter.Pass(true));
    if (file.Stopped())
        return std::nullopt;
    TTextRows text;
    text.Encoding = Options.Encoding.value_or(EncodingOfBytes(file.ByteOrderMark(), file.Utf8(), Options.Default));
    text.Rows = std::make_unique<TEditorStringList>();
    TEditorStringList& rows = *text.Rows;
    // Room for an eighth more rows: the first lines typed into a text just loaded fit in.
    rows.SetCapacity(file.RowCount() + file.RowCount() / 8 + 16);
    file.ReadRows(
        [&](const std::string& row, bool endsLine) {
            // A file rewritten since the count may have more rows than it found.
            const int index = rows.Add(row);
            if (!endsLine)
                rows.SetRows(index, raEof);
        },
        text.Encoding == TTextEncoding::Utf8, meter.Pass(false));
    if (file.Stopped())
        return std::nullopt;
    text.Format = file.Format(text.Encoding);
    meter.Finish(file.FileSize());
    return text;
}

} // namespace kestrim
