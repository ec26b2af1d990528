#include "settings/UConfigFile.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"

#include <iterator>
#include <vector>

namespace kestrim {
namespace {

// Blanks and control characters: every byte up to 32. Trail bytes of Shift-JIS are never
// below 0x40, so trimming cannot cut a two-byte character.
bool IsBlank(char Byte)
{
    return static_cast<unsigned char>(Byte) <= 32;
}

std::string_view Trimmed(std::string_view Text)
{
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

// Cuts off the next line, ending at CR LF, a lone CR or a lone LF.
std::string_view NextLine(std::string_view& Rest)
{
    const std::size_t end = Rest.find_first_of("\r\n");
    if (end == std::string_view::npos) {
        const std::string_view line = Rest;
        Rest = {};
        return line;
    }
    const std::string_view line = Rest.substr(0, end);
    const std::size_t breakLength = Rest.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    Rest.remove_prefix(end + breakLength);
    return line;
}

bool IsSectionHeader(std::string_view Line)
{
    return Line.size() >= 2 && Line.front() == '[' && Line.back() == ']';
}

} // namespace

enum TConfigFile::TSetting : int {
    cfCaption, cfCommand, cfOption, cfScript,
    cfCommenter, cfDefaultExt, cfDialogExt, cfErrLine, cfKeywordFile,
    cfCommentColor, cfCommentBackColor, cfKeywordColor, cfKeywordBackColor, cfRetMarkColor
};

namespace {

struct TSettingKey {
    const char* Section;
    const char* Key;
    const char* Default; // UTF-8
};

// In the order of TConfigFile::TSetting.
constexpr TSettingKey SettingKeys[] = {
    {"Command", "Caption", "Perl"},
    {"Command", "Command", "perl"},
    {"Command", "Option", ""},
    {"Command", "Script", ""},
    {"Environment", "Comment", "#"},
    {"Environment", "DefaultExt", "pl"},
    {"Environment", "DialogExt", "Perlスクリプト(*.pl)|*.pl"},
    {"Environment", "ErrLine", R"(line (\d+)[.,])"},
    {"Environment", "Keyword", ""},
    {"Color", "Comment", "0 0 192"},
    {"Color", "CommentBack", "255 0 255"},
    {"Color", "Keyword", ""},
    {"Color", "KeywordBack", ""},
    {"Color", "RetMark", ""},
};

static_assert(std::size(SettingKeys) == TConfigFile::SettingCount);

// The defaults in the program's code page, converted once.
const std::string& DefaultOf(int Setting)
{
    static const std::vector<std::string> defaults = [] {
        std::vector<std::string> texts;
        for (const TSettingKey& key : SettingKeys)
            texts.push_back(Utf8ToSjis(key.Default));
        return texts;
    }();
    return defaults[static_cast<std::size_t>(Setting)];
}

} // namespace

bool TConfigFile::TextLess::operator()(std::string_view A, std::string_view B) const
{
    return CompareTextSjis(A, B) < 0;
}

TConfigFile::TConfigFile(const std::string& FileName) : FFileName(FileName)
{
    if (FileExists(FileName))
        Parse(ReadFileBytes(FileName));
}

void TConfigFile::Parse(std::string_view Bytes)
{
    TSection* current = nullptr; // lines before the first header belong nowhere
    while (!Bytes.empty()) {
        const std::string_view line = Trimmed(NextLine(Bytes));
        if (line.empty() || line.front() == ';')
            continue;
        if (IsSectionHeader(line)) {
            // A section written again replaces what its earlier occurrences held.
            current = &FSections[std::string(Trimmed(line.substr(1, line.size() - 2)))];
            current->clear();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos)
            continue;
        (*current)[std::string(Trimmed(line.substr(0, equals)))] = std::string(Trimmed(line.substr(equals + 1)));
    }
}

const std::string* TConfigFile::Find(std::string_view Section, std::string_view Key) const
{
    const auto section = FSections.find(Section);
    if (section == FSections.end())
        return nullptr;
    const auto value = section->second.find(Key);
    return value == section->second.end() ? nullptr : &value->second;
}

std::string TConfigFile::Read(TSetting Setting) const
{
    const TSettingKey& key = SettingKeys[Setting];
    const std::string* value = Find(key.Section, key.Key);
    return value ? *value : DefaultOf(Setting);
}

std::vector<std::string> TConfigFile::MissingSettings() const
{
    std::vector<std::string> missing;
    for (const TSettingKey& key : SettingKeys)
        if (!Find(key.Section, key.Key))
            missing.push_back(std::string("[") + key.Section + "] " + key.Key);
    return missing;
}

std::string TConfigFile::Caption() const { return Read(cfCaption); }
std::string TConfigFile::Command() const { return Read(cfCommand); }
std::string TConfigFile::Option() const { return Read(cfOption); }
std::string TConfigFile::Script() const { return Read(cfScript); }

std::string TConfigFile::Commenter() const { return Read(cfCommenter); }
std::string TConfigFile::DefaultExt() const { return Read(cfDefaultExt); }
std::string TConfigFile::DialogExt() const { return Read(cfDialogExt); }
std::string TConfigFile::ErrLine() const { return Read(cfErrLine); }
std::string TConfigFile::KeywordFile() const { return Read(cfKeywordFile); }

std::string TConfigFile::Optional(std::string_view Section, std::string_view Key) const
{
    const std::string* value = Find(Section, Key);
    return value ? *value : std::string();
}

std::string TConfigFile::DataLine() const { return Optional("Environment", "DataLine"); }
std::string TConfigFile::Quotation() const { return Optional("Environment", "Quotation"); }

TEncodingRun TConfigFile::EncodingRun(TTextEncoding Encoding) const
{
    const std::string_view section = EncodingName(Encoding);
    TEncodingRun run;
    const std::string* option = Find(section, "Option");
    run.Option = option ? *option : Option();
    if (const std::string* lineEnd = Find(section, "LineEnd")) {
        if (CompareTextSjis(*lineEnd, "LF") == 0)
            run.LineEnd = TLineEnd::Lf;
        else if (CompareTextSjis(*lineEnd, "CRLF") != 0)
            BadValue(section, "LineEnd", "CRLF か LF");
    }
    run.Interpreter = ReadEncoding(section, "InterpreterEncoding");
    run.Output = ReadEncoding(section, "OutputEncoding");
    run.Error = ReadEncoding(section, "ErrorEncoding");
    return run;
}

std::optional<TTextEncoding> TConfigFile::ReadEncoding(std::string_view Section, std::string_view Key) const
{
    const std::string* value = Find(Section, Key);
    if (!value)
        return std::nullopt;
    for (const TTextEncoding encoding : {TTextEncoding::ShiftJis, TTextEncoding::Utf8})
        if (CompareTextSjis(*value, EncodingName(encoding)) == 0)
            return encoding;
    BadValue(Section, Key, "Shift-JIS か UTF-8");
}

void TConfigFile::BadValue(std::string_view Section, std::string_view Key, std::string_view Values) const
{
    throw Exception("設定ファイル \"" + FFileName + "\" の [" + std::string(Section) + "] " + std::string(Key)
                    + " の値 \"" + SjisToUtf8(*Find(Section, Key)) + "\" は使えません。" + std::string(Values)
                    + " を書いてください。");
}

std::string TConfigFile::CommentColor() const { return Read(cfCommentColor); }
std::string TConfigFile::CommentBackColor() const { return Read(cfCommentBackColor); }
std::string TConfigFile::KeywordColor() const { return Read(cfKeywordColor); }
std::string TConfigFile::KeywordBackColor() const { return Read(cfKeywordBackColor); }
std::string TConfigFile::RetMarkColor() const { return Read(cfRetMarkColor); }
std::string TConfigFile::ChangedLineBackColor() const { return Optional("Color", "ChangedLineBack"); }
std::string TConfigFile::AddedLineBackColor() const { return Optional("Color", "AddedLineBack"); }
std::string TConfigFile::RemovedLineBackColor() const { return Optional("Color", "RemovedLineBack"); }
std::string TConfigFile::ChangedCharBackColor() const { return Optional("Color", "ChangedCharBack"); }
std::string TConfigFile::RemovedMarkColor() const { return Optional("Color", "RemovedMark"); }

const TConfigFile& ConfigOrDefaults(const TConfigFile* Config)
{
    static const TConfigFile defaults{std::string()};
    return Config != nullptr ? *Config : defaults;
}

} // namespace kestrim
