#pragma once
// TConfigFile: one language configuration, an INI-style file read once, completely, when the
// object is created. Everything the program knows about a scripting language comes from here;
// a missing file or key gives the built-in Perl set-up.

#include "editor/base/TextEncoding.h"
#include "editor/text/TextFileFormat.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

// How runs on a data page of one encoding meet the interpreter, from the section named by that
// encoding ([Shift-JIS] or [UTF-8]); a file without the section runs as the [Command] section
// alone says.
struct TEncodingRun {
    std::string Option;   // the interpreter's options: the section's Option, else [Command]'s
    TLineEnd LineEnd = TLineEnd::CrLf; // of the script file and standard input: CR LF or LF
    // The encoding the interpreter reads and writes when it is not the pages' own: the script
    // and the data are converted into it before the run, its output back into the data page's
    // encoding after it.
    std::optional<TTextEncoding> Interpreter;
    // What the interpreter writes on standard output and standard error; none: the encoding it
    // was given the data in, the script in.
    std::optional<TTextEncoding> Output;
    std::optional<TTextEncoding> Error;
};

class TConfigFile {
public:
    // Reads FileName (a UTF-8 path). A file that does not exist gives every default; one that
    // exists but cannot be read raises EFOpenError.
    static constexpr int SettingCount = 14;

    explicit TConfigFile(const std::string& FileName);

    const std::string& FileName() const { return FFileName; }

    // [Command]
    std::string Caption() const;
    std::string Command() const;
    std::string Option() const;
    std::string Script() const;
    // [Environment]
    std::string Commenter() const;
    std::string DefaultExt() const;
    std::string DialogExt() const;
    std::string ErrLine() const;
    std::string KeywordFile() const;
    // The pattern whose first group finds the data's line number in an error message (an
    // optional second group its column). Not one of the settings above: a file without it is
    // complete, and its messages name no data lines (empty).
    std::string DataLine() const;
    // The mark that encloses the language's strings, so that a comment mark inside one starts
    // no comment (its first character counts). Optional like DataLine: empty without it.
    std::string Quotation() const;
    // The section of data pages in Encoding. Raises Exception naming the file, the key and the
    // values it takes when a value is none of them.
    TEncodingRun EncodingRun(TTextEncoding Encoding) const;
    // [Color]: "R G B" texts
    std::string CommentColor() const;
    std::string CommentBackColor() const;
    std::string KeywordColor() const;
    std::string KeywordBackColor() const;
    std::string RetMarkColor() const;
    // [Color]: the change marks' colours, optional like DataLine (empty: the editor's own):
    // backgrounds of changed, added and removed lines and of changed characters, and the line
    // where the other text has lines this one lacks.
    std::string ChangedLineBackColor() const;
    std::string AddedLineBackColor() const;
    std::string RemovedLineBackColor() const;
    std::string ChangedCharBackColor() const;
    std::string RemovedMarkColor() const;

    // The settings the file does not hold (their key or their section is missing), which
    // therefore take their defaults, in the order above, each as "[Section] Key".
    std::vector<std::string> MissingSettings() const;

private:
    enum TSetting : int;

    // Shift-JIS aware: ASCII letters compare without regard to case, trail bytes as they are.
    struct TextLess {
        using is_transparent = void;
        bool operator()(std::string_view A, std::string_view B) const;
    };
    using TSection = std::map<std::string, std::string, TextLess>;

    void Parse(std::string_view Bytes);
    // The value as written, or nothing when the key or its section is missing.
    const std::string* Find(std::string_view Section, std::string_view Key) const;
    // The value of a key that is not one of the settings: empty when it is missing.
    std::string Optional(std::string_view Section, std::string_view Key) const;
    std::optional<TTextEncoding> ReadEncoding(std::string_view Section, std::string_view Key) const;
    [[noreturn]] void BadValue(std::string_view Section, std::string_view Key, std::string_view Values) const;
    // The value as written, or the setting's default.
    std::string Read(TSetting Setting) const;

    std::string FFileName;
    std::map<std::string, TSection, TextLess> FSections;
};

// Config, or the built-in Perl set-up when no configuration is loaded (one that failed to load).
const TConfigFile& ConfigOrDefaults(const TConfigFile* Config);

} // namespace kestrim
