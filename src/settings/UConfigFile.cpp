#include "settings/UConfigFile.h"

#include "editor/base/CodePage.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"

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

const std::string& DefaultDialogExt()
{
    static const std::string filter = Utf8ToSjis("Perlスクリプト(*.pl)|*.pl");
    return filter;
}

} // namespace

bool TConfigFile::TextLess::operator()(std::string_view A, std::string_view B) const
{
    return CompareTextSjis(A, B) < 0;
}

TConfigFile::TConfigFile(const std::string& FileName)
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

std::string TConfigFile::ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const
{
    const auto section = FSections.find(Section);
    if (section == FSections.end())
        return std::string(Default);
    const auto value = section->second.find(Key);
    return value == section->second.end() ? std::string(Default) : value->second;
}

std::string TConfigFile::Caption() const { return ReadString("Command", "Caption", "Perl"); }
std::string TConfigFile::Command() const { return ReadString("Command", "Command", "perl"); }
std::string TConfigFile::Option() const { return ReadString("Command", "Option", ""); }
std::string TConfigFile::Script() const { return ReadString("Command", "Script", ""); }

std::string TConfigFile::Commenter() const { return ReadString("Environment", "Comment", "#"); }
std::string TConfigFile::DefaultExt() const { return ReadString("Environment", "DefaultExt", "pl"); }
std::string TConfigFile::DialogExt() const { return ReadString("Environment", "DialogExt", DefaultDialogExt()); }
std::string TConfigFile::ErrLine() const { return ReadString("Environment", "ErrLine", R"(line (\d+)[.,])"); }
std::string TConfigFile::KeywordFile() const { return ReadString("Environment", "Keyword", ""); }

std::string TConfigFile::CommentColor() const { return ReadString("Color", "Comment", "0 0 192"); }
std::string TConfigFile::CommentBackColor() const { return ReadString("Color", "CommentBack", "255 0 255"); }
std::string TConfigFile::KeywordColor() const { return ReadString("Color", "Keyword", ""); }
std::string TConfigFile::KeywordBackColor() const { return ReadString("Color", "KeywordBack", ""); }
std::string TConfigFile::RetMarkColor() const { return ReadString("Color", "RetMark", ""); }

const TConfigFile& ConfigOrDefaults(const TConfigFile* Config)
{
    static const TConfigFile defaults{std::string()};
    return Config != nullptr ? *Config : defaults;
}

} // namespace kestrim
