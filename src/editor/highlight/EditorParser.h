#pragma once
// The parser of the editor's highlighting definition: the base tokens and brackets, plus
// line comments, quoted strings, control codes, hexadecimal numbers, mail addresses and URLs
// as the definition switches them on, and the colour of each token.

#include "editor/highlight/EditorFountain.h"
#include "editor/highlight/edFountainParser.h"

#include <bitset>
#include <string>

namespace kestrim {

class TEditorParser : public TFountainParser {
public:
    // Raises Exception when Fountain is null. The definition's options are read here, in
    // Encoding.
    explicit TEditorParser(TEditorFountain* Fountain, TTextEncoding Encoding = TTextEncoding::ShiftJis);

    TFountainColor* TokenColor() override;

protected:
    void ScanTokenStart() override;

    virtual bool MatchQuotation();
    virtual void ScanQuoted();
    virtual bool MatchCommenter();
    virtual bool MatchHexPrefix();
    virtual bool MatchControlHex();
    virtual void ScanControlHex();
    virtual bool MatchControlChar();
    virtual void ScanControlDigits();

private:
    void BuildScanTables();
    TFountainColor* BracketColor();

    TEditorFountain* FEditorFountain;
    std::string FCommenter;
    // The quotation byte; meaningful only when FHasQuotation. In UTF-8 only an ASCII quotation
    // is one: a byte beyond ASCII is no character there.
    unsigned char FQuotation = 0;
    bool FHasQuotation = false;
    // Upper-cased, since the prefix is matched without regard to case.
    std::string FHexPrefix;
    bool FControlCode;
    bool FMail;
    bool FUrl;
    // Bytes at which one of the definition's own tokens (bracket, mail, URL, comment, string,
    // control code, hexadecimal number) may begin; at any other the byte's own scan follows.
    std::bitset<256> FSpecialStarts;
};

} // namespace kestrim
