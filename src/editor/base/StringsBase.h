#pragma once
// TStrings: the abstract list of text lines that every line list of the program derives from.
//
// Lines are Shift-JIS bytes without line-break characters. As text, the lines are joined by
// CR LF; the list remembers whether the text it was given ended with a line break, so that
// a text read and written again keeps its final line break or the lack of one.

#include "editor/base/MemoryStream.h"
#include "editor/base/Object.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace kestrim {

class TStrings : public TObject {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // The primitives a descendant provides.
    virtual std::string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Insert(int Index, std::string_view S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    // Operations built on the primitives; descendants override them where they can do better.
    virtual void Put(int Index, const std::string& S);
    virtual int Add(std::string_view S);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int /*NewCapacity*/) {}
    virtual void Assign(const TStrings& Source);
    void AddStrings(const TStrings& Source);
    // The index of the first line equal to S byte for byte, or -1.
    virtual int IndexOf(const std::string& S) const;
    // Line Index, or nothing for an index outside the lines; for readers that follow another
    // text's line numbers, which may lag behind this one's.
    virtual std::optional<std::string> LineAt(int Index) const;

    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }

    // The whole text. Setting it cuts at CR LF, lone CR and lone LF; a final line break adds
    // no empty line but is remembered in TrailingLineBreak.
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(const std::string& Text);
    std::string Text() const { return GetTextStr(); }
    void SetText(const std::string& Text) { SetTextStr(Text); }
    // Descendants that hold their text elsewhere answer from that text.
    virtual bool TrailingLineBreak() const { return FTrailingLineBreak; }
    void SetTrailingLineBreak(bool Value) { FTrailingLineBreak = Value; }

    // Update batching: SetUpdateState(true) runs just before the counter leaves 0,
    // SetUpdateState(false) just after it returns to 0.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Files and streams hold the text as GetTextStr gives it; nothing is converted.
    // Loading opens the file before anything of the list changes.
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName) const;
    virtual void LoadFromStream(TMemoryStream& Stream);
    virtual void SaveToStream(TMemoryStream& Stream) const;

protected:
    virtual void SetUpdateState(bool /*Updating*/) {}

private:
    int FUpdateCount = 0;
    bool FTrailingLineBreak = true;
};

// Whether Text ends with a line break: CR or LF.
inline bool EndsWithLineBreak(std::string_view Text)
{
    return !Text.empty() && (Text.back() == '\r' || Text.back() == '\n');
}

// How many LF bytes Text holds.
std::size_t CountLineFeeds(std::string_view Text);

// Calls Callback(begin, end) for every line of Text, cut at CR LF, lone CR and lone LF.
// A final line break starts no empty line. Returns whether Text ended with a line break.
template <typename Callback>
bool ForEachLine(std::string_view Text, Callback&& callback)
{
    // The next CR and the next LF are each searched with the library's fast search and kept
    // until passed, so that a text without one of them is still read once.
    const std::size_t size = Text.size();
    const auto next = [&](char byte, std::size_t from) {
        const std::size_t found = Text.find(byte, from);
        return found == std::string_view::npos ? size : found;
    };
    std::size_t nextCr = next('\r', 0);
    std::size_t nextLf = next('\n', 0);
    std::size_t start = 0;
    for (;;) {
        std::size_t i = std::min(nextCr, nextLf);
        if (i == size)
            break;
        callback(start, i);
        if (i == nextCr && i + 1 == nextLf)
            ++i;
        start = i + 1;
        if (nextCr < start)
            nextCr = next('\r', start);
        if (nextLf < start)
            nextLf = next('\n', start);
    }
    if (start < size) {
        callback(start, size);
        return false;
    }
    return size > 0;
}

} // namespace kestrim
