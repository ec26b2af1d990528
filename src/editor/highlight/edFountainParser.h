#pragma once
// The tokenizer behind syntax highlighting and word-level caret work. A parser scans one row
// of text of its encoding from left to right and hands out one token at a time; it also computes the
// state one row hands on to the next (an open bracket, a token cut in two by word wrap), which
// the row list stores per row so that any row can be parsed on its own.
//
// Parsers are short-lived: made from a definition for one row or one run of rows and thrown
// away. The definition's brackets are read when the parser is made.
//
// A UTF-8 parser gives the tokens the Shift-JIS parser gives the same characters; the texts of
// the definition (Shift-JIS) are converted once, when it is made. Characters beyond Shift-JIS
// take their kind from their Unicode properties (see Utf8CharClasses.h). Offsets and lengths
// are bytes of the row in either encoding.

#include "editor/base/TextEncoding.h"
#include "editor/highlight/edFountain.h"
#include "editor/highlight/Utf8CharClasses.h"
#include "editor/text/edStringList.h"

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrim {

// Token kinds. The values are stored in the row data and index the continuation table.
enum TTokenKind : std::uint8_t {
    tokEnd = 0,
    tokSymbol = 1,
    tokInteger = 3,
    tokFloat = 4,
    tokBracket = 6,
    tokLineComment = 7,
    tokReserved = 8,
    tokTab = 9,
    tokWord = 11,
    tokWideSymbol = 12,
    tokOtherLetters = 13, // letters of scripts beyond Shift-JIS that are not alphabets (Hangul, Thai, ...)
    tokWideDigits = 14,
    tokWideLatin = 15,
    tokHiragana = 16,
    tokKatakana = 17,
    tokKanji = 18,
    tokHalfKanaPunct = 19,
    tokHalfKana = 20,
    tokUrl = 21,
    tokMail = 22,
    tokHexNumber = 23,
    tokSingleQuoted = 24,
    tokDoubleQuoted = 25,
    tokQuoted = 26,
    tokControlChar = 27,
    tokControlHex = 28,
};

// A set of token kinds; a carried kind read from a row may be any byte.
using TTokenKinds = std::bitset<256>;

inline TTokenKinds TokenKinds(std::initializer_list<TTokenKind> Kinds)
{
    TTokenKinds kinds;
    for (TTokenKind kind : Kinds)
        kinds.set(kind);
    return kinds;
}

class TFountainParser : public TObject, public TRowStateParser {
public:
    // Raises Exception when Fountain is null.
    explicit TFountainParser(TFountain* Fountain, TTextEncoding Encoding = TTextEncoding::ShiftJis);

    // Starts parsing Text with the state stored for its row. Text must stay alive and unchanged
    // while tokens are read. The row ends at its end or at the first NUL, CR or LF byte.
    virtual void BeginRow(std::string_view Text, const TRowAttributeData& Data);
    // Scans the next token and returns its kind; tokEnd at the end of the row.
    virtual TTokenKind NextToken();
    // Turns Data, the state at the start of row Index of List (RowAttribute set to that row's
    // attribute), into the state at the start of row Index + 1.
    void ComputeNextRowState(int Index, const TRowAttributeStringList& List, TRowAttributeData& Data) override;
    // The colour of the current token, or nullptr for none.
    virtual TFountainColor* TokenColor() = 0;
    // Whether the current token is one of the definition's reserved words.
    virtual bool IsReservedWord();

    TTokenKind Token() const { return FToken; }
    int TokenOffset() const { return static_cast<int>(FTokenStartPtr - FRowStart); }
    int TokenLength() const { return static_cast<int>(FNextPtr - FTokenStartPtr); }
    std::string TokenText() const { return std::string(FTokenStartPtr, FNextPtr); }

    TFountain* Fountain() const { return FFountain; }
    TTextEncoding Encoding() const { return FEncoding; }
    bool WrappedStart() const { return FWrappedStart; }
    int OpenBracket() const { return FOpenBracket; }
    // The bracket item of the current tokBracket token; -2 before any.
    int TokenBracket() const { return FTokenBracket; }
    TRowAttribute RowAttribute() const { return FRowAttribute; }
    TRowAttribute PrevRowAttribute() const { return FPrevRowAttribute; }
    int ExtraInt1() const { return FExtraInt1; }
    int ExtraInt2() const { return FExtraInt2; }
    std::uint8_t ExtraByte() const { return FExtraByte; }
    const std::string& ExtraStr() const { return FExtraStr; }

protected:
    // The row store keeps a carried length in one byte.
    static constexpr int MaxCarryLength = 255;

    // A scanning operation of this parser; a descendant's operations are entered in the tables
    // with static_cast, and always run on the parser that holds the table.
    using TScanProc = void (TFountainParser::*)();

    // For a parser that works without a definition.
    explicit TFountainParser(TTextEncoding Encoding);

    bool IsUtf8() const { return FEncoding == TTextEncoding::Utf8; }
    // A text of the definition, which is Shift-JIS, in the parser's encoding.
    std::string InEncoding(const std::string& Sjis) const;

    virtual void SkipSpaces();
    // Whether Byte begins some left bracket of the definition.
    bool BeginsLeftBracket(unsigned char Byte) const { return FLeftBracketStarts[Byte]; }
    virtual bool MatchLeftBracket();
    virtual void ScanBracket();
    virtual bool MatchMail();
    virtual void ScanMail();
    virtual bool MatchUrlPrefix();
    virtual void ScanUrl();
    virtual void ScanReserved();
    virtual void ScanNul();
    virtual void ScanTab();
    virtual void ScanLineComment();
    virtual void ScanHexDigits();
    virtual void ScanNumber();
    virtual void ScanWord();
    virtual void ScanWideSymbol();
    virtual void ScanWideRun();
    virtual void ScanKanji();
    virtual void ScanHalfKanaPunct();
    virtual void ScanHalfKana();
    virtual void ScanSymbol();
    virtual void ScanSingleQuoted();
    virtual void ScanDoubleQuoted();
    virtual void ContinueCarriedToken();
    virtual void ScanTokenStart();
    // Makes Kind tokReserved when the current token is a reserved word.
    virtual void CarriedTokenKind(TTokenKind& Kind);
    // Kinds that always run to the end of their logical line.
    virtual TTokenKinds LineEndKinds();

    // The byte at P, or 0 at and after the end of the row.
    unsigned char At(const char* P) const { return P < FRowEnd ? static_cast<unsigned char>(*P) : 0; }
    unsigned char Current() const { return At(FScanPtr); }
    bool AtRowEnd() const { return FScanPtr >= FRowEnd; }
    // Bytes of the Shift-JIS character at P: 2 for a lead byte followed by a byte of the row, else 1.
    int CharLength(const char* P) const;
    // Whether the row holds Text at ScanPtr, byte for byte.
    bool Matches(std::string_view Text) const;
    // Scans a string body after its opening quote: a doubled Quote stands for one, a single
    // one closes the string, the end of the row ends it unclosed.
    void ScanStringBody(unsigned char Quote);
    // Move ScanPtr past a run of decimal, or of hexadecimal, digits.
    void SkipDigits();
    void SkipHexDigits();

    TFountain* FFountain = nullptr;
    TTextEncoding FEncoding = TTextEncoding::ShiftJis;
    const char* FRowStart = nullptr;
    const char* FRowEnd = nullptr;
    const char* FNextPtr = nullptr;
    const char* FTokenStartPtr = nullptr;
    const char* FScanPtr = nullptr;
    TTokenKind FToken = tokEnd;
    bool FWrappedStart = false;
    int FOpenBracket = -1;
    int FTokenBracket = -2;
    TRowAttribute FRowAttribute = raCrlf;
    TRowAttribute FPrevRowAttribute = raCrlf;
    int FExtraInt1 = 0;
    int FExtraInt2 = 0;
    std::uint8_t FExtraByte = 0;
    std::string FExtraStr;
    std::uint8_t FCarryKind = 0;
    int FCarryLength = 0;
    // The operation for a token that starts with a byte, and for a token of a kind that goes
    // on at the start of a row.
    TScanProc FByteScanTable[256];
    TScanProc FKindScanTable[256];

private:
    struct TBracketPair {
        std::string Left;
        std::string Right;
    };

    void BuildScanTables();
    void BuildUtf8ByteScans();
    // The scans that go on a carried token of a kind whose characters lie beyond ASCII, which
    // differ by the encoding.
    void SetWideKindScans();
    void ReadBrackets();
    void ReadUtf8ReservedWords();
    bool IsUtf8ReservedWord(std::string_view Token) const;
    const TBracketPair* BracketPair(int Index) const;

    // What parsing a row found out about its last token.
    struct TRowScan {
        bool Crossed = false;         // the last token reaches past the row's end
        int BracketBeforeToken = -1;  // the bracket open in front of that token
        int BracketAtTokenStart = -1; // the item of the last bracket token, or the one open at the start
        int LastElement = 0;          // ExtraInt1 after that token
    };
    // Parses Text, the row of RowLength bytes followed by the next row when it is wrapped,
    // from Data; Data takes the state after each token that ends on the row.
    TRowScan ScanRow(std::string_view Text, int RowLength, TRowAttributeData& Data);
    // The state after a row whose last token, the current one, goes on in the next row.
    void CarryCrossingToken(const TRowScan& Scan, int Index, const TRowAttributeStringList& List, int RowLength,
                            TRowAttributeData& Data);
    // A run of two-byte characters of one kind, from the one at ScanPtr while Continues holds.
    void ScanWideRunOf(TTokenKind Kind, bool (*Continues)(unsigned char, unsigned char));
    // The body of a string or a bracket; in UTF-8 a byte at a time, since the marks looked for
    // begin with bytes that never stand inside a character.
    template <bool Sjis>
    void ScanStringBodyIn(unsigned char Quote);
    template <bool Sjis>
    void ScanBracketBodyIn(const std::string& Right);

    // The UTF-8 scans: the class of the character at P (P inside the row) and its bytes; ASCII
    // and invalid bytes are one-byte Symbols.
    struct TClassedChar {
        TCharClass Class;
        int Bytes;
    };
    TClassedChar ClassedCharAt(const char* P) const;
    // A token of Kind: one character, or a run, of the classes in the mask (1 << class); none
    // when the character at ScanPtr is of another class.
    void ScanUtf8CharOf(TTokenKind Kind, std::uint32_t Classes);
    void ScanUtf8RunOf(TTokenKind Kind, std::uint32_t Classes);
    // Zero-width code points after a token belong to its last character.
    void SkipUtf8Marks();
    void ScanUtf8Char();
    void ScanUtf8Word();
    void ScanUtf8WideSymbol();
    void ScanUtf8WideRun();
    // Scans the run that a character of Class begins when it is a wide digit, a wide Latin letter
    // or kana (the first character may already be taken); false for any other class.
    bool ScanUtf8WideRunOf(TCharClass Class);
    void ScanUtf8Kanji();
    void ScanUtf8HalfKanaPunct();
    void ScanUtf8HalfKana();
    void ScanUtf8OtherLetters();

    std::vector<TBracketPair> FBrackets;
    // The classes of BmpCharClasses, for the UTF-8 scans; null in a Shift-JIS parser.
    const TCharClass* FBmpClasses = nullptr;
    // The reserved words with bytes beyond ASCII, in UTF-8 with ASCII letters upper-cased, sorted.
    std::vector<std::string> FUtf8ReservedWords;
    // Bytes that begin some left bracket, to pass over the others quickly.
    std::bitset<256> FLeftBracketStarts;
    // The row and the one after it, when a wrapped row is parsed.
    std::string FJoinedText;
};

// A parser without a definition, for word boundaries: used with no brackets open (-2) and no
// carried token, so that neither brackets nor reserved words are consulted.
class TTokenParser : public TFountainParser {
public:
    explicit TTokenParser(TTextEncoding Encoding = TTextEncoding::ShiftJis) : TFountainParser(Encoding) {}
    TFountainColor* TokenColor() override { return nullptr; }
};

} // namespace kestrim
