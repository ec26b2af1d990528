#pragma once
// Double-byte aware character routines on Shift-JIS text.
//
// A two-byte character is a lead byte and the byte after it. A lead byte that is the last byte
// of a string has no byte after it: it is a one-byte character, so that no routine reads or
// counts past the end of a broken text.

#include "editor/base/StringsBase.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kestrim {

// True when the byte at the 0-based Offset of S starts a two-byte character.
bool StartsTwoByteChar(std::string_view S, std::size_t Offset);
// The bytes of the character that starts at the 0-based Offset of S: 2 or 1.
std::size_t CharByteCount(std::string_view S, std::size_t Offset);

// The routines below take 1-based byte positions.

// How many of the first N bytes of S (all of S when N is larger) equal Ch.
int CountChar(std::string_view S, char Ch, int N);
// Whether byte N of S is the lead byte of a two-byte character, scanning S from its start.
bool IsDBCS1(std::string_view S, int N);
// Whether byte N of S is the trail byte of a two-byte character, scanning S from its start.
bool IsDBCS2(std::string_view S, int N);
// Byte N of S, or byte 0 when N lies outside S.
char CharAt(std::string_view S, int N);
// Whether Sub is not empty and occurs in S starting at a character boundary of S, so that a
// one-byte Sub never matches the trail byte of a two-byte character.
bool StrIncludes(std::string_view Sub, std::string_view S);

// Text with every line break (CR LF, lone CR, lone LF) as CR LF, the editor's own form.
std::string CrLfLineBreaks(std::string_view Text);
// Text with every line break as LF, the form other programs of this platform expect.
std::string LfLineBreaks(std::string_view Text);

// Progress, called now and then during long work over the lines of a text.
using TProgress = std::function<void()>;
// Every how many lines Progress is called.
constexpr int ProgressLines = 1 << 16;
// Replaces the lines of Strings with the lines of Text, cut at CR LF, lone CR and lone LF, in one
// update batch. A final line break starts no empty line; a NUL byte is kept as part of its line.
void StrToLines(std::string_view Text, TStrings& Strings, const TProgress& Progress = {});
// Removes the lines of Strings from the last one up, Progress called between blocks of lines:
// freeing millions of lines at once would take tens of milliseconds in one step.
void ClearLines(TStrings& Strings, const TProgress& Progress);

} // namespace kestrim
