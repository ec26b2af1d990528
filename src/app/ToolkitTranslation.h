#pragma once
// The toolkit's own texts (the buttons of message boxes, the file, font and overwrite dialogs)
// in the program's language, from the toolkit's translation files.

class QCoreApplication;

namespace kestrim {

// Installs the Japanese translation of the toolkit in App, for as long as App lives. False
// when it is not installed on the system (Debian: qt6-translations-l10n); the toolkit then
// speaks English.
bool InstallToolkitTranslation(QCoreApplication& App);

} // namespace kestrim
