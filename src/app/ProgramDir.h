#pragma once
// The program's folder: where the program, "kestrim.html" and conf/ live side by side.

#include <QString>

#include <string>

namespace kestrim {

// The folder of the running program, without a trailing separator.
QString ProgramDir();

// The folder of the shipped configurations: conf/ in the program's folder.
QString ConfDir();

// Where a configuration or URL file named by the user lives: a bare file name means the file
// in conf/ of the program's folder; a name with a folder part is returned unchanged.
QString InConfDir(const QString& FileName);

// The user's own folder of run files (the program's data folder of the user), created with
// owner-only permissions when missing. Never the program's folder: that may be shared with
// other users, who could read or plant the file a run executes.
QString ScriptDir();

// A file name as the file system takes it (its own encoding), for the file routines of the core.
std::string SystemFileName(const QString& FileName);

// Makes ProgramDir answer Folder instead (an empty text restores the real folder). For tests
// that must not write beside the test programs.
void OverrideProgramDir(const QString& Folder);

} // namespace kestrim
