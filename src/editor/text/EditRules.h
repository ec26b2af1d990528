#pragma once
// TEditRules: the caret and editing options an edit model follows.

namespace kestrim {

struct TEditRules {
    bool FreeCaret = true;  // the caret may stand past a row's end
    bool KeepCaret = false; // vertical moves return to the column they left
    bool FreeRow = false;   // ... and past the end of shorter rows on the way
    bool InTab = false;     // the caret may stand inside a tab
    bool NextLine = false;  // Left and Right go on into the row before and after
    bool SoftTab = false;   // Tab types spaces
    bool AutoIndent = true;
    bool PrevSpaceIndent = false; // an empty line indents as the last line with text above
    bool TabIndent = false;       // indentation is made of tabs
    bool BackSpaceUnIndent = true;
    int TabSpaceCount = 8;

    bool operator==(const TEditRules&) const = default;
};

} // namespace kestrim
