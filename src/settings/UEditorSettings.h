#pragma once
// Applying a language configuration to the three editors of the main window: the script
// editor's comment mark, comment and keyword colours and reserved words, the return marks
// of all three, and the change marks' colours of the data and result editors.

#include "editor/base/edGraphics.h"

#include <string>

namespace kestrim {

class TConfigFile;
class TEditor;
class TStringList;

// The colour written in Text as red, green and blue decimal numbers separated by spaces
// ("0 0 192" is 0xC00000); the first such run of three numbers counts. Default when Text holds
// none. A component above 255 carries into the next one. A number too large for 32 bits
// raises EConvertError naming the text.
TColor StrToColorDef(const std::string& Text, TColor Default);

// Sets the comment mark and colours of Script, shows the return marks of all three editors
// in the configuration's colour and colours the change marks of Data and Result (a colour the
// configuration leaves out is the editor's default). Stops at the first colour that raises EConvertError; what was
// set before it stays.
void ApplyConfigToEditors(const TConfigFile& Config, TEditor& Script, TEditor& Data, TEditor& Result);

// Replaces ReserveWordList with the words of the keyword file FileName (Shift-JIS, as the
// configuration holds it; "${APP_DIR}" stands for AppDir, the program's folder as the file system
// takes it): one word per line,
// lines that are empty or begin with "#" skipped, anything from a tab on a remark. A missing
// file (or an empty name) leaves the list as it is; one that cannot be read raises EFOpenError
// and leaves the list as it is too.
void LoadKeywordFile(const std::string& FileName, const std::string& AppDir, TStringList& ReserveWordList);

} // namespace kestrim
