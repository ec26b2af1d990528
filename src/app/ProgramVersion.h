#pragma once

#include <QString>

namespace kestrim {

// The program's version ("0.9.0"): the project's version in the build, for the About dialog and
// the command line alike.
QString ProgramVersion();

} // namespace kestrim
