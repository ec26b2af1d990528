#pragma once
// Writing a text's lines as the bytes of a file, a slice of lines at a time, so that a long
// save shows its progress and can be given up without the whole text copied first.

#include "editor/base/FileIO.h"
#include "editor/base/edUtils.h"
#include "editor/text/TextFileFormat.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace kestrim {

class TEditorStrings;

// Done of Total rows written, after each slice.
using TWriteProgress = std::function<void(std::uint64_t Done, std::uint64_t Total)>;

// Writes the bytes FileBytesOf(Lines.Text(), Format) gives, in slices of SliceLines lines,
// calling Progress after each; returns false, having stopped between two slices, when Cancel
// was set.
bool WriteTextLines(const TEditorStrings& Lines, const TTextFileFormat& Format, const TWriteBytes& Write,
                    const TWriteProgress& Progress = {}, const std::atomic<bool>* Cancel = nullptr,
                    int SliceLines = ProgressLines);

} // namespace kestrim
