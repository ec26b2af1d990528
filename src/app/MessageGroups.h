#pragma once
// The lines of one message: interpreters write a message over several lines (a traceback with
// its frames, a message with the source line it quotes and a caret line under it, the callers
// indented under a message). The lines are cut into groups, each one message, in their order.

#include <functional>
#include <string_view>
#include <vector>

namespace kestrim {

struct TMessageGroup {
    int First = 0; // index of its first line
    int Count = 1;
    // A traceback written "most recent call last": its innermost frame is its last place.
    bool MostRecentLast = false;

    bool operator==(const TMessageGroup&) const = default;
};

// Whether a line names a script line (the configuration's pattern matches it).
using TNamesScriptLine = std::function<bool(std::string_view Line)>;

// The groups of Lines. A line continues the group above it when it is indented (begins with a
// blank), is a caret line, is empty before an indented line, or follows a caret line without
// naming a script line itself; a traceback's header opens a group that its first unindented
// line after the frames, the exception, closes.
std::vector<TMessageGroup> GroupMessageLines(const std::vector<std::string_view>& Lines,
                                             const TNamesScriptLine& NamesScriptLine);

} // namespace kestrim
