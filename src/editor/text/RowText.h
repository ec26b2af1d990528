#pragma once
// A row's text with the highlighter's carried string beside it, held as one pointer to a run of
// exactly their bytes (no terminating NUL): an empty row costs the pointer alone. Views of the
// text stay valid while the row moves, until the row changes or goes.

#include <string_view>
#include <utility>

namespace kestrim {

class TRowText {
public:
    TRowText() = default;
    explicit TRowText(std::string_view Text) { Assign(Text, {}); }
    TRowText(TRowText&& Other) noexcept : FRun(std::exchange(Other.FRun, nullptr)) {}
    TRowText& operator=(TRowText&& Other) noexcept
    {
        std::swap(FRun, Other.FRun);
        return *this;
    }
    TRowText(const TRowText&) = delete;
    TRowText& operator=(const TRowText&) = delete;
    ~TRowText();

    std::string_view Text() const;
    // The carried string, nearly always empty.
    std::string_view Extra() const;
    // Each keeps the other part; the value may be a view of this row.
    void SetText(std::string_view Value) { Assign(Value, Extra()); }
    void SetExtra(std::string_view Value) { Assign(Text(), Value); }

private:
    void Assign(std::string_view Text, std::string_view Extra);

    // The text's length (its top bit: a carried string follows the text, after its own
    // length), the text, then the carried string's length and bytes.
    char* FRun = nullptr;
};

} // namespace kestrim
