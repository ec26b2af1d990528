#pragma once
// The program's folder: where the program, "kestrim.html" and conf/ live side by side.

#include <QString>

#include <string>

namespace kestrim {

// The folder of the running program, without a trailing separator.
QString ProgramDir();

// A file name resolved against the program's folder when it is a bare name or relative path;
// an absolute path is returned unchanged.
QString InProgramDir(const QString& FileName);

// Where a configuration or URL file named by the user lives: a bare file name means the file
// in conf/ of the program's folder; a name with a folder part is returned unchanged.
QString InConfDir(const QString& FileName);

// A file name as the file system takes it (its own encoding), for the file routines of the core.
std::string SystemFileName(const QString& FileName);

// Makes ProgramDir answer Folder instead (an empty text restores the real folder). For tests
// that must not write beside the test programs.
void OverrideProgramDir(const QString& Folder);

} // namespace kestrim
