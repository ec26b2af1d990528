#pragma once
// A Perl-like script for the benchmarks: rows built from typical lines (comments, strings,
// numbers, reserved words of conf/perl.txt) with varying names and numbers, and a definition
// that highlights them as the script editor does.

#include "editor/base/Exceptions.h"
#include "editor/base/FileIO.h"
#include "editor/base/StringList.h"
#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"

#include <random>
#include <string>
#include <vector>

namespace kestrim::bench {

// The keyword file's words (its first word on each line that is not a remark), or a few
// common ones when the file is missing.
inline std::vector<std::string> PerlKeywords()
{
    std::vector<std::string> words;
    try {
        TStringList lines;
        lines.SetText(ReadFileBytes(KESTRIM_CONF_DIR "/perl.txt"));
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string line = lines.Get(i);
            const std::string word = line.substr(0, line.find_first_of(" \t"));
            if (!word.empty() && word[0] != '#')
                words.push_back(word);
        }
    } catch (const Exception&) {
        words = {"my", "if", "else", "foreach", "while", "return", "print", "printf", "split", "join", "sub"};
    }
    return words;
}

inline std::vector<std::string> PerlRows(int Count)
{
    const std::vector<std::string> keywords = PerlKeywords();
    std::mt19937 random(11);
    auto keyword = [&] { return keywords[random() % keywords.size()]; };
    auto number = [&] { return std::to_string(random() % 100000); };
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(Count));
    while (static_cast<int>(rows.size()) < Count) {
        switch (random() % 8) {
        case 0:
            rows.push_back("# " + keyword() + " the totals for record " + number());
            break;
        case 1:
            rows.push_back("my $total_" + number() + " = " + number() + ".5e-3 * $count;");
            break;
        case 2:
            rows.push_back("    " + keyword() + " \"name: $name, value: $value\\n\" if $x > " + number() + ";");
            break;
        case 3:
            rows.push_back("foreach my $line (@lines) {  # " + keyword() + " each line");
            break;
        case 4:
            rows.push_back("    my ($name, $value) = split /,/, $line, " + number() + ";");
            break;
        case 5:
            rows.push_back("    printf(\"%-10s %8.2f\\n\", $name, $value / 0x" + number() + ");");
            break;
        case 6:
            rows.push_back("}");
            break;
        default:
            rows.push_back("return $total > " + number() + " ? '" + keyword() + "' : 'small';");
            break;
        }
    }
    return rows;
}

// The script editor's highlighting: comments, strings, hexadecimal numbers, the keywords.
inline void ConfigurePerl(TEditorFountain& Fountain)
{
    Fountain.SetCommenter("#");
    Fountain.SetQuotation("\"");
    Fountain.SetHexPrefix("0x");
    TStringList words;
    for (const std::string& word : PerlKeywords())
        words.Add(word);
    Fountain.SetReserveWordList(words);
}

// Parses each of Rows on its own from the start state, token by token, as painting does; with
// WithColors also asks each token's colour. Returns how many tokens have one.
template <bool WithColors>
std::size_t ParseRowsAsPainted(TFountainParser& Parser, const std::vector<std::string>& Rows)
{
    const TRowAttributeData start;
    std::size_t colored = 0;
    for (const std::string& row : Rows) {
        Parser.BeginRow(row, start);
        while (Parser.NextToken() != tokEnd)
            if constexpr (WithColors)
                colored += Parser.TokenColor() != nullptr;
    }
    return colored;
}

} // namespace kestrim::bench
