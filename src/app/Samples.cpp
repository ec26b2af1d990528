#include "app/Samples.h"

#include "app/FileCommands.h"
#include "editor/base/Exceptions.h"
#include "editor/control/EditorControl.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace kestrim {
namespace {

const std::string NamePrefix = "サンプル";

// A loaded text is no edit. An empty text has the format of a page without a file, which
// follows the page's encoding.
std::optional<TTextFileFormat> LoadedFormat(TEditor& Editor, const TTextFileFormat& Format, bool Empty)
{
    Editor.SetModified(false);
    if (Empty)
        return std::nullopt;
    return Format;
}

std::optional<TTextFileFormat> LoadText(TEditor& Editor, const TWorkbenchText& Text)
{
    return LoadedFormat(Editor, Editor.LoadTextBytes(Text.Bytes, Text.Encoding, Text.Encoding), Text.Bytes.empty());
}

} // namespace

std::optional<TTextFileFormat> TSamples::LoadRows(TTextRows& Data)
{
    const bool empty = Data.Rows->Count() == 0 && !Data.Format.ByteOrderMark && Data.Format.EofMarks == 0;
    return LoadedFormat(FData, FFiles.LoadRows(FData, Data), empty);
}

TSamples::TSamples(TEditor& Data, TEditor& Expected, TFileCommands& Files,
                   std::function<TTextEncoding()> DefaultEncoding, QObject* Parent)
    : QObject(Parent), FData(Data), FExpected(Expected), FFiles(Files), FDefaultEncoding(std::move(DefaultEncoding))
{
    connect(&FData, &TEditor::OnChange, this, &TSamples::DataEdited);
    connect(&FExpected, &TEditor::OnChange, this, &TSamples::ExpectedEdited);
    Clear();
}

std::vector<TSample> TSamples::Samples() const
{
    std::vector<TSample> samples;
    samples.reserve(FEntries.size());
    for (const TEntry& entry : FEntries)
        samples.push_back(entry.Sample);
    samples[FCurrent] = CurrentSample();
    return samples;
}

std::size_t TSamples::Current() const
{
    return FCurrent;
}

void TSamples::Reset(std::vector<TSample> Samples, std::size_t Current, std::optional<TTextRows> CurrentData)
{
    if (Samples.empty()) {
        Clear();
        return;
    }
    FEntries.clear();
    for (TSample& sample : Samples)
        FEntries.push_back({std::move(sample), std::nullopt});
    FCurrent = std::min(Current, FEntries.size() - 1);
    LoadCurrent(std::move(CurrentData));
    FModified = false;
    emit TableChanged();
    emit CurrentChanged();
    emit Changed();
}

void TSamples::Clear()
{
    TSample sample;
    sample.Name = NamePrefix + "1";
    sample.Data.Encoding = FDefaultEncoding();
    Reset({std::move(sample)}, 0);
}

// With one sample, the current one is all there is; its stored expected result may be one the
// user has removed since.
bool TSamples::InUse() const
{
    return FEntries.size() > 1 || FCurrentHasExpected;
}

bool TSamples::Modified() const
{
    return FModified;
}

void TSamples::MarkSaved()
{
    FModified = false;
    emit Changed();
}

TEditor& TSamples::ExpectedEditor() const
{
    return FExpected;
}

void TSamples::SetLastRun(std::size_t Index, TSampleRun Run)
{
    FEntries[Index].LastRun = std::move(Run);
    FEntries[Index].ResultOnPage = false;
    emit TableChanged();
}

void TSamples::SetLastRunOnPage(TSampleRun Run)
{
    Run.Result = {};
    SetLastRun(FCurrent, std::move(Run));
    FEntries[FCurrent].ResultOnPage = true;
}

const std::optional<TSampleRun>& TSamples::LastRun(std::size_t Index) const
{
    return FEntries[Index].LastRun;
}

void TSamples::ForgetLastRuns()
{
    for (TEntry& entry : FEntries)
        entry.LastRun.reset();
    emit TableChanged();
}

bool TSamples::HasExpected(std::size_t Index) const
{
    return Index == FCurrent ? FCurrentHasExpected : FEntries[Index].Sample.Expected.has_value();
}

bool TSamples::HoldsText(std::size_t Index) const
{
    if (HasExpected(Index))
        return true;
    return Index == FCurrent ? FData.GetTextLength() > 0 : !FEntries[Index].Sample.Data.Bytes.empty();
}

void TSamples::SetCurrent(std::size_t Index)
{
    if (Index == FCurrent || Index >= FEntries.size())
        return;
    StoreCurrent();
    FCurrent = Index;
    LoadCurrent();
    emit CurrentChanged();
}

void TSamples::Add()
{
    TSample sample;
    sample.Name = FreeName();
    sample.Data.Encoding = FDefaultEncoding();
    Insert(std::move(sample));
}

void TSamples::Duplicate()
{
    TSample sample = CurrentSample();
    sample.Name = FreeName();
    Insert(std::move(sample));
}

void TSamples::Insert(TSample Sample)
{
    StoreCurrent();
    FEntries.insert(FEntries.begin() + static_cast<std::ptrdiff_t>(FCurrent) + 1, {std::move(Sample), std::nullopt});
    ++FCurrent;
    LoadCurrent();
    SetModified();
    emit TableChanged();
    emit CurrentChanged();
}

std::string TSamples::FreeName() const
{
    for (std::size_t number = 1;; ++number) {
        const std::string name = NamePrefix + std::to_string(number);
        if (std::none_of(FEntries.begin(), FEntries.end(),
                         [&name](const TEntry& Entry) { return Entry.Sample.Name == name; }))
            return name;
    }
}

void TSamples::Rename(std::size_t Index, const std::string& Name)
{
    if (Name.empty())
        throw Exception("サンプルの名前を空にすることはできません。");
    if (Name.find_first_of("\r\n") != std::string::npos)
        throw Exception("サンプルの名前に改行を含めることはできません。");
    if (Name == FEntries[Index].Sample.Name)
        return;
    FEntries[Index].Sample.Name = Name;
    SetModified();
    emit TableChanged();
}

void TSamples::Remove(std::size_t Index)
{
    if (FEntries.size() < 2 || Index >= FEntries.size())
        return;
    const bool current = Index == FCurrent;
    FEntries.erase(FEntries.begin() + static_cast<std::ptrdiff_t>(Index));
    if (current) {
        FCurrent = std::min(Index, FEntries.size() - 1);
        LoadCurrent();
    } else if (Index < FCurrent) {
        --FCurrent;
    }
    SetModified();
    emit TableChanged();
    if (current)
        emit CurrentChanged();
}

void TSamples::Move(std::size_t Index, int Delta)
{
    const std::size_t other = Index + static_cast<std::size_t>(Delta);
    if (Index >= FEntries.size() || other >= FEntries.size() || other == Index)
        return;
    std::swap(FEntries[Index], FEntries[other]);
    if (FCurrent == Index)
        FCurrent = other;
    else if (FCurrent == other)
        FCurrent = Index;
    SetModified();
    emit TableChanged();
}

void TSamples::RemoveExpected()
{
    if (!FCurrentHasExpected)
        return;
    {
        const QScopedValueRollback loading(FLoading, true);
        FFiles.HoldText(FExpected, LoadText(FExpected, {{}, FData.Encoding()}));
    }
    FCurrentHasExpected = false;
    FExpectedEdited = false;
    DropLastRun();
    SetModified();
}

TSample TSamples::CurrentSample() const
{
    TSample sample = FEntries[FCurrent].Sample;
    TakeEditorTexts(sample);
    return sample;
}

// Only an edited text is written out again: an unedited one keeps the bytes it came from.
void TSamples::TakeEditorTexts(TSample& Sample) const
{
    if (FDataEdited || !FDataBytesKept)
        Sample.Data = {FFiles.FileBytesOf(FData), FData.Encoding()};
    if (!FCurrentHasExpected)
        Sample.Expected.reset();
    else if (FExpectedEdited || !Sample.Expected)
        Sample.Expected = TWorkbenchText{FFiles.FileBytesOf(FExpected), FExpected.Encoding()};
}

void TSamples::StoreCurrent()
{
    TEntry& current = FEntries[FCurrent];
    TakeEditorTexts(current.Sample);
    if (std::exchange(current.ResultOnPage, false) && current.LastRun && ResultOnPage)
        current.LastRun->Result = ResultOnPage();
}

// The data page holds the sample's text without a file, in the format its bytes show.
void TSamples::LoadCurrent(std::optional<TTextRows> Data)
{
    const TSample& sample = FEntries[FCurrent].Sample;
    const QScopedValueRollback loading(FLoading, true);
    FDataBytesKept = !Data;
    FFiles.HoldText(FData, Data ? LoadRows(*Data) : LoadText(FData, sample.Data));
    FFiles.HoldText(FExpected, LoadText(FExpected, sample.Expected.value_or(TWorkbenchText{{}, sample.Data.Encoding})));
    FCurrentHasExpected = sample.Expected.has_value();
    FDataEdited = false;
    FExpectedEdited = false;
}

void TSamples::DataEdited()
{
    if (FLoading)
        return;
    FDataEdited = true;
    DropLastRun();
    if (!FModified)
        SetModified();
}

// Typing into the editor of a sample without an expected result gives it one.
void TSamples::ExpectedEdited()
{
    if (FLoading)
        return;
    FExpectedEdited = true;
    DropLastRun();
    if (!FModified || !FCurrentHasExpected) {
        FCurrentHasExpected = true;
        SetModified();
    }
}

void TSamples::DropLastRun()
{
    if (!FEntries[FCurrent].LastRun)
        return;
    FEntries[FCurrent].LastRun.reset();
    emit TableChanged();
}

void TSamples::SetModified()
{
    FModified = true;
    emit Changed();
}

} // namespace kestrim
