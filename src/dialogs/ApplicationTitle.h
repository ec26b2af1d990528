#pragma once
// The application title: the main window's caption, also the title of the message boxes and of
// the dialogs that have none of their own. The program sets it; the dialogs only read it.

#include <QString>

namespace kestrim {

// Until one is set, the program's name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& Title);

} // namespace kestrim
