#include "settings/UEditorSettings.h"

#include "editor/base/CodePage.h"
#include "editor/base/edClasses.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/IntConvert.h"
#include "editor/base/StringList.h"
#include "editor/control/EditorControl.h"
#include "editor/control/EditorOptions.h"
#include "regex/BRegExp.h"
#include "settings/UConfigFile.h"

namespace kestrim {
namespace {

// The keyword file's name as a path: "${APP_DIR}" replaced by AppDir.
std::string KeywordFilePath(const std::string& FileName, const std::string& AppDir)
{
    static const std::string AppDirTag = "${APP_DIR}";
    std::string path = SjisToUtf8(FileName);
    for (std::size_t at = path.find(AppDirTag); at != std::string::npos; at = path.find(AppDirTag, at + AppDir.size()))
        path.replace(at, AppDirTag.size(), AppDir);
    return path;
}

// A keyword line's word: nothing for empty and "#" lines, else the text before a tab.
bool KeywordOfLine(const std::string& Line, std::string& Word)
{
    if (Line.empty() || Line.front() == '#')
        return false;
    Word = Line.substr(0, Line.find('\t'));
    return true;
}

} // namespace

TColor StrToColorDef(const std::string& Text, TColor Default)
{
    TBRegExp& regExp = SharedRegExp();
    if (!regExp.Match("m/(\\d+) +(\\d+) +(\\d+)/", Text))
        return Default;
    try {
        const auto red = static_cast<TColor>(StrToInt(regExp.Strings(1)));
        const auto green = static_cast<TColor>(StrToInt(regExp.Strings(2)));
        const auto blue = static_cast<TColor>(StrToInt(regExp.Strings(3)));
        return red + green * 0x100 + blue * 0x10000;
    } catch (const EConvertError& error) {
        throw EConvertError("色 '" + SjisToUtf8(Text) + "' を変換できません。" + error.what());
    }
}

void ApplyConfigToEditors(const TConfigFile& Config, TEditor& Script, TEditor& Data, TEditor& Result)
{
    Script.View().SetCommenter(Config.Commenter());
    Script.View().SetQuotation(Config.Quotation());
    TEditorColors& colors = Script.View().Colors();
    colors.Comment().SetColor(StrToColorDef(Config.CommentColor(), clBlack));
    colors.Comment().SetBkColor(StrToColorDef(Config.CommentBackColor(), clWhite));
    colors.Reserve().SetColor(StrToColorDef(Config.KeywordColor(), clBlack));
    colors.Reserve().SetBkColor(StrToColorDef(Config.KeywordBackColor(), clWhite));
    for (TEditor* editor : {&Script, &Data, &Result}) {
        editor->Marks().RetMark().SetVisible(true);
        editor->Marks().RetMark().SetColor(StrToColorDef(Config.RetMarkColor(), clBlack));
    }
    using TColors = TEditorChangeColors;
    for (TEditor* editor : {&Data, &Result}) {
        TColors& colors = editor->ChangeColors();
        colors.SetChangedBack(StrToColorDef(Config.ChangedLineBackColor(), TColors::DefaultChangedBack));
        colors.SetAddedBack(StrToColorDef(Config.AddedLineBackColor(), TColors::DefaultAddedBack));
        colors.SetRemovedBack(StrToColorDef(Config.RemovedLineBackColor(), TColors::DefaultRemovedBack));
        colors.SetChangedCharBack(StrToColorDef(Config.ChangedCharBackColor(), TColors::DefaultChangedCharBack));
        colors.SetGapMark(StrToColorDef(Config.RemovedMarkColor(), TColors::DefaultGapMark));
    }
}

void LoadKeywordFile(const std::string& FileName, const std::string& AppDir, TStringList& ReserveWordList)
{
    const std::string path = KeywordFilePath(FileName, AppDir);
    if (path.empty() || !FileExists(path))
        return;
    TStringList lines;
    lines.LoadFromFile(path); // may fail: the list is touched only after the file has been read
    WithinUpdate(ReserveWordList, [&] {
        ReserveWordList.Clear();
        std::string word;
        for (int i = 0; i < lines.Count(); ++i)
            if (KeywordOfLine(lines.Strings(i), word))
                ReserveWordList.Add(word);
    });
}

} // namespace kestrim
