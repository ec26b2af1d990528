#pragma once
// TBRegExp: Perl-style matching over PCRE2, directly on Shift-JIS bytes.
//
// A pattern is written in Perl's match notation, "m/" + expression + "/" + modifiers (i, m, s,
// x). The compiled pattern is kept while the pattern text stays the same, so that callers that
// match one pattern against many lines compile it once. One instance, SharedRegExp, serves the
// whole program: a caller reads the groups right after its own Match.

#include "editor/base/Exceptions.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace kestrim {

// A pattern that cannot be used, a failed match run, or groups read at the wrong time.
class EBRegExpError : public Exception {
public:
    using Exception::Exception;
};

class TBRegExp {
public:
    TBRegExp();
    ~TBRegExp();
    TBRegExp(const TBRegExp&) = delete;
    TBRegExp& operator=(const TBRegExp&) = delete;

    // Whether Pattern matches somewhere in Target (all of it, NUL bytes included). Raises
    // EBRegExpError for a pattern that is not in the notation or does not compile.
    bool Match(const std::string& Pattern, std::string_view Target);
    // The number of groups of the compiled pattern plus one (group 0 is the whole match).
    int Count() const { return FCount; }
    // The text of group Index of the last Match, which must have succeeded. A group that took
    // no part in the match is empty. The groups are copies: the target need not outlive them.
    std::string Strings(int Index) const;

    // How many times a pattern has been compiled; tests watch the reuse of compiled patterns.
    int CompileCount() const { return FCompileCount; }

private:
    struct CodeDeleter {
        void operator()(pcre2_real_code_8* Code) const;
    };
    struct MatchDataDeleter {
        void operator()(pcre2_real_match_data_8* MatchData) const;
    };

    void Compile(const std::string& Pattern);
    void KeepGroups(std::string_view Target);

    std::string FPattern; // the text FCode was compiled from
    std::unique_ptr<pcre2_real_code_8, CodeDeleter> FCode;
    std::unique_ptr<pcre2_real_match_data_8, MatchDataDeleter> FMatchData;
    int FCount = 0;
    bool FMatched = false;
    std::vector<std::string> FGroups;
    int FCompileCount = 0;
};

// The one matcher of the program, created on first use.
TBRegExp& SharedRegExp();

} // namespace kestrim
