#include "editor/base/StringsBase.h"

#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"

#include <algorithm>
#include <array>

namespace kestrim {

void TStrings::Put(int Index, const std::string& S)
{
    CheckListIndex(Index, GetCount());
    BeginUpdate();
    Delete(Index);
    Insert(Index, S);
    EndUpdate();
}

int TStrings::Add(std::string_view S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

void TStrings::Exchange(int Index1, int Index2)
{
    CheckListIndex(Index1, GetCount());
    CheckListIndex(Index2, GetCount());
    BeginUpdate();
    const std::string first = Get(Index1);
    Put(Index1, Get(Index2));
    Put(Index2, first);
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckListIndex(CurIndex, GetCount());
    CheckListIndex(NewIndex, GetCount());
    BeginUpdate();
    const std::string line = Get(CurIndex);
    Delete(CurIndex);
    Insert(NewIndex, line);
    EndUpdate();
}

void TStrings::Assign(const TStrings& Source)
{
    if (&Source == this)
        return;
    BeginUpdate();
    Clear();
    AddStrings(Source);
    FTrailingLineBreak = Source.TrailingLineBreak();
    EndUpdate();
}

void TStrings::AddStrings(const TStrings& Source)
{
    BeginUpdate();
    const int count = Source.GetCount();
    for (int i = 0; i < count; ++i)
        Add(Source.Get(i));
    EndUpdate();
}

std::optional<std::string> TStrings::LineAt(int Index) const
{
    if (Index < 0 || Index >= Count())
        return std::nullopt;
    return Get(Index);
}

int TStrings::IndexOf(const std::string& S) const
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (Get(i) == S)
            return i;
    return -1;
}

std::string TStrings::GetTextStr() const
{
    const int count = GetCount();
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += "\r\n";
        text += Get(i);
    }
    if (count > 0 && FTrailingLineBreak)
        text += "\r\n";
    return text;
}

void TStrings::SetTextStr(const std::string& Text)
{
    BeginUpdate();
    Clear();
    const bool endsWithBreak = ForEachLine(Text, [&](std::size_t begin, std::size_t end) {
        Add(Text.substr(begin, end - begin));
    });
    FTrailingLineBreak = endsWithBreak || Text.empty(); // an empty text keeps the default
    EndUpdate();
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    SetTextStr(ReadFileBytes(FileName));
}

void TStrings::SaveToFile(const std::string& FileName) const
{
    WriteFileBytes(FileName, GetTextStr());
}

void TStrings::LoadFromStream(TMemoryStream& Stream)
{
    SetTextStr(Stream.ReadRest());
}

void TStrings::SaveToStream(TMemoryStream& Stream) const
{
    Stream.Write(GetTextStr());
}

// Counted into byte-wide counters, a block at a time, which the compiler turns into vector
// code: several times as fast as std::count, which a run's output of hundreds of megabytes
// goes through on the window's thread.
std::size_t CountLineFeeds(std::string_view Text)
{
    constexpr std::size_t Lanes = 16;
    constexpr std::size_t BlockBytes = 255 * Lanes; // no lane counts past 255 in a block
    std::size_t count = 0;
    std::size_t at = 0;
    while (at < Text.size()) {
        const std::size_t end = std::min(Text.size(), at + BlockBytes);
        std::array<unsigned char, Lanes> lanes{};
        for (; at + Lanes <= end; at += Lanes)
            for (std::size_t lane = 0; lane < Lanes; ++lane)
                lanes[lane] += Text[at + lane] == '\n';
        for (; at < end; ++at)
            count += Text[at] == '\n';
        for (const unsigned char lane : lanes)
            count += lane;
    }
    return count;
}

} // namespace kestrim
