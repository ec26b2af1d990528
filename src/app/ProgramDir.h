#pragma once
// The program's folder: where the program, "kestrim.html" and conf/ live side by side.

#include <QString>

#include <string>

namespace kestrim {

// The folder of the running program, without a trailing separator.
QString ProgramDir();

// Where a configuration or URL file named by the user lives: a bare file name means the file
// in conf/ of the program's folder; a name with a folder part is returned unchanged.
QString InConfDir(const QString& FileName);

// Where the script file of a bare script name is written: the program's folder, or, when that
// cannot be written (an installed program), the program's data folder of the user, created
// when missing.
QString ScriptDir();

// A file name as the file system takes it (its own encoding), for the file routines of the core.
std::string SystemFileName(const QString& FileName);

// Makes ProgramDir answer Folder instead (an empty text restores the real folder). For tests
// that must not write beside the test programs.
void OverrideProgramDir(const QString& Folder);

} // namespace kestrim
