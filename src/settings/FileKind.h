#pragma once
// What a file opens as when nothing else says: a ".kestrim" file is a workbench, a file with
// one of the language configuration's script extensions a script, anything else data.

#include <string_view>

namespace kestrim {

class TConfigFile;

enum class TFileKind { Script, Data, Workbench };

// Name is a file name with or without its folder. The script extensions are those of the
// wildcards "*.ext" in Config's DialogExt (never "*.*") and its DefaultExt, compared without
// regard to the case of ASCII letters.
TFileKind FileKindByName(std::string_view Name, const TConfigFile& Config);

} // namespace kestrim
