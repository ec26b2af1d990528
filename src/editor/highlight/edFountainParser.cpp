#include "editor/highlight/edFountainParser.h"

#include "editor/base/CodePage.h"
#include "editor/base/Exceptions.h"
#include "editor/base/TextConversion.h"
#include "editor/base/Utf8.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace kestrim {
namespace {

// A set of byte values, built at compile time.
class TByteSet {
public:
    constexpr TByteSet& Add(unsigned char First, unsigned char Last)
    {
        for (unsigned b = First; b <= Last; ++b)
            FBytes[b] = true;
        return *this;
    }
    constexpr TByteSet& Add(std::string_view Bytes)
    {
        for (char c : Bytes)
            FBytes[static_cast<unsigned char>(c)] = true;
        return *this;
    }
    constexpr bool operator[](unsigned char Byte) const { return FBytes[Byte]; }

private:
    std::array<bool, 256> FBytes{};
};

constexpr TByteSet DigitBytes = TByteSet().Add('0', '9');
constexpr TByteSet WordBytes = TByteSet().Add('0', '9').Add('A', 'Z').Add('a', 'z').Add("_");
constexpr TByteSet HexBytes = TByteSet().Add('0', '9').Add('A', 'F').Add('a', 'f');
constexpr TByteSet MailBytes = TByteSet().Add("!$%&*,-./;=?@^_~").Add('0', '9').Add('A', 'Z').Add('a', 'z');
constexpr TByteSet UrlBytes = TByteSet().Add("#%&+-./:=?_~").Add('0', '9').Add('A', 'Z').Add('a', 'z');
// Blanks and control bytes between tokens; a tab is a token of its own.
constexpr TByteSet SpaceBytes = TByteSet().Add(1, 8).Add(10, 32);
constexpr TByteSet KanjiLeadBytes = TByteSet().Add(0x88, 0x9F).Add(0xE0, 0xFC);

constexpr bool InRange(unsigned char Byte, unsigned char First, unsigned char Last)
{
    return Byte >= First && Byte <= Last;
}

constexpr bool IsWideDigit(unsigned char Lead, unsigned char Trail)
{
    return Lead == 0x82 && InRange(Trail, 0x4F, 0x58);
}

constexpr bool IsWideLatin(unsigned char Lead, unsigned char Trail)
{
    return Lead == 0x82 && (InRange(Trail, 0x60, 0x79) || InRange(Trail, 0x81, 0x9A));
}

constexpr bool IsHiragana(unsigned char Lead, unsigned char Trail)
{
    return Lead == 0x82 && InRange(Trail, 0x9F, 0xF1);
}

constexpr bool IsKatakana(unsigned char Lead, unsigned char Trail)
{
    return Lead == 0x83 && InRange(Trail, 0x40, 0x96);
}

// The long-vowel mark and the full-width hyphen-minus, which belong to a kana word.
constexpr bool IsKanaMark(unsigned char Lead, unsigned char Trail)
{
    return Lead == 0x81 && (Trail == 0x5B || Trail == 0x7C);
}

// Full-width digits go on over the full-width comma and full stop.
bool ContinuesWideDigits(unsigned char Lead, unsigned char Trail)
{
    return IsWideDigit(Lead, Trail) || (Lead == 0x81 && InRange(Trail, 0x43, 0x44));
}

bool ContinuesWideLatin(unsigned char Lead, unsigned char Trail)
{
    return IsWideLatin(Lead, Trail);
}

bool ContinuesHiragana(unsigned char Lead, unsigned char Trail)
{
    return IsHiragana(Lead, Trail) || IsKanaMark(Lead, Trail);
}

bool ContinuesKatakana(unsigned char Lead, unsigned char Trail)
{
    return IsKatakana(Lead, Trail) || IsKanaMark(Lead, Trail);
}

// The two-byte characters of lead bytes 0x82 and 0x83 that are neither digits, letters nor kana.
constexpr bool IsWideSymbolOf82Or83(unsigned char Lead, unsigned char Trail)
{
    if (Lead == 0x82)
        return InRange(Trail, 0x40, 0x4E) || InRange(Trail, 0x59, 0x5F) || InRange(Trail, 0x7A, 0x80) ||
               InRange(Trail, 0x9B, 0x9E) || Trail >= 0xF2;
    return Lead == 0x83 && InRange(Trail, 0x97, 0xF0);
}

// The first NUL, CR or LF of Text, or its end: a row ends there.
const char* RowEndOf(std::string_view Text)
{
    const char* end = Text.data() + Text.size();
    return std::find_if(Text.data(), end, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
}

constexpr std::uint32_t ClassBit(TCharClass Class)
{
    return std::uint32_t{1} << static_cast<unsigned>(Class);
}

constexpr std::uint32_t ClassBits(std::initializer_list<TCharClass> Classes)
{
    std::uint32_t bits = 0;
    for (TCharClass c : Classes)
        bits |= ClassBit(c);
    return bits;
}

constexpr bool HasClass(std::uint32_t Classes, TCharClass Class)
{
    return (Classes & ClassBit(Class)) != 0;
}

// What the UTF-8 scans take, after their Shift-JIS twins; a run goes on over zero-width marks.
using enum TCharClass;
constexpr std::uint32_t WideSymbolClasses = ClassBits({WideSymbol, WideDigitPunct, KanaMark, WideSymbol82, Mark, OtherSymbol});
constexpr std::uint32_t WideDigitRun = ClassBits({WideDigit, WideDigitPunct, Mark});
constexpr std::uint32_t WideLatinRun = ClassBits({WideLatin, Mark});
constexpr std::uint32_t HiraganaRun = ClassBits({Hiragana, KanaMark, Mark});
constexpr std::uint32_t KatakanaRun = ClassBits({Katakana, KanaMark, Mark});
constexpr std::uint32_t KanjiRun = ClassBits({Kanji, Mark});
constexpr std::uint32_t HalfKanaRun = ClassBits({HalfKana, Mark});
constexpr std::uint32_t OtherLetterRun = ClassBits({OtherLetter, Mark});
constexpr std::uint32_t WordContinuation = ClassBits({WordLetter, Mark});

bool HasNonAscii(std::string_view Text)
{
    return std::any_of(Text.begin(), Text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string UpperCaseAscii(std::string_view Text)
{
    std::string upper(Text);
    for (char& c : upper)
        c = static_cast<char>(UpperCaseByte(static_cast<unsigned char>(c)));
    return upper;
}

bool IsBlankRow(std::string_view Row)
{
    return Row.find_first_not_of(' ') == std::string::npos;
}

} // namespace

TFountainParser::TFountainParser(TFountain* Fountain, TTextEncoding Encoding) : FFountain(Fountain), FEncoding(Encoding)
{
    if (!Fountain)
        throw Exception("TFountainParser.Create need instance of TFountain");
    BuildScanTables();
    ReadBrackets();
    if (IsUtf8())
        ReadUtf8ReservedWords();
}

TFountainParser::TFountainParser(TTextEncoding Encoding) : FEncoding(Encoding)
{
    BuildScanTables();
}

std::string TFountainParser::InEncoding(const std::string& Sjis) const
{
    return IsUtf8() ? ConvertText(Sjis, TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text : Sjis;
}

void TFountainParser::BuildScanTables()
{
    auto bytes = [this](unsigned First, unsigned Last, TScanProc Proc) {
        for (unsigned b = First; b <= Last; ++b)
            FByteScanTable[b] = Proc;
    };
    bytes(0x00, 0xFF, &TFountainParser::ScanSymbol);
    // CR and LF end a row as NUL does; the scan never reaches past them.
    bytes(0x00, 0x00, &TFountainParser::ScanNul);
    bytes(0x0A, 0x0A, &TFountainParser::ScanNul);
    bytes(0x0D, 0x0D, &TFountainParser::ScanNul);
    bytes(0x09, 0x09, &TFountainParser::ScanTab);
    bytes('0', '9', &TFountainParser::ScanNumber);
    bytes('A', 'Z', &TFountainParser::ScanWord);
    bytes('_', '_', &TFountainParser::ScanWord);
    bytes('a', 'z', &TFountainParser::ScanWord);
    bytes(0x81, 0x81, &TFountainParser::ScanWideSymbol);
    bytes(0x82, 0x83, &TFountainParser::ScanWideRun);
    bytes(0x84, 0x87, &TFountainParser::ScanWideSymbol);
    bytes(0x88, 0x9F, &TFountainParser::ScanKanji);
    bytes(0xA1, 0xA5, &TFountainParser::ScanHalfKanaPunct);
    bytes(0xA6, 0xDF, &TFountainParser::ScanHalfKana);
    bytes(0xE0, 0xFC, &TFountainParser::ScanKanji);

    std::fill(std::begin(FKindScanTable), std::end(FKindScanTable), &TFountainParser::ScanSymbol);
    FKindScanTable[tokInteger] = &TFountainParser::ScanNumber;
    FKindScanTable[tokFloat] = &TFountainParser::ScanNumber;
    FKindScanTable[tokBracket] = &TFountainParser::ScanBracket;
    FKindScanTable[tokLineComment] = &TFountainParser::ScanLineComment;
    FKindScanTable[tokReserved] = &TFountainParser::ScanReserved;
    FKindScanTable[tokUrl] = &TFountainParser::ScanUrl;
    FKindScanTable[tokMail] = &TFountainParser::ScanMail;
    FKindScanTable[tokHexNumber] = &TFountainParser::ScanHexDigits;
    FKindScanTable[tokSingleQuoted] = &TFountainParser::ScanSingleQuoted;
    FKindScanTable[tokDoubleQuoted] = &TFountainParser::ScanDoubleQuoted;
    SetWideKindScans();
    if (IsUtf8())
        BuildUtf8ByteScans();
}

void TFountainParser::SetWideKindScans()
{
    const bool utf8 = IsUtf8();
    const auto scan = [utf8](TScanProc ShiftJis, TScanProc Utf8) { return utf8 ? Utf8 : ShiftJis; };
    FKindScanTable[tokWord] = scan(&TFountainParser::ScanWord, &TFountainParser::ScanUtf8Word);
    FKindScanTable[tokWideSymbol] = scan(&TFountainParser::ScanWideSymbol, &TFountainParser::ScanUtf8WideSymbol);
    for (TTokenKind kind : {tokWideDigits, tokWideLatin, tokHiragana, tokKatakana})
        FKindScanTable[kind] = scan(&TFountainParser::ScanWideRun, &TFountainParser::ScanUtf8WideRun);
    FKindScanTable[tokKanji] = scan(&TFountainParser::ScanKanji, &TFountainParser::ScanUtf8Kanji);
    FKindScanTable[tokHalfKanaPunct] =
        scan(&TFountainParser::ScanHalfKanaPunct, &TFountainParser::ScanUtf8HalfKanaPunct);
    FKindScanTable[tokHalfKana] = scan(&TFountainParser::ScanHalfKana, &TFountainParser::ScanUtf8HalfKana);
    // Shift-JIS holds no letters of other scripts: a carried kind of that value is a symbol.
    FKindScanTable[tokOtherLetters] = scan(&TFountainParser::ScanSymbol, &TFountainParser::ScanUtf8OtherLetters);
}

// Every byte beyond ASCII starts a UTF-8 character (or is an invalid byte of its own); words
// go on over letters beyond ASCII.
void TFountainParser::BuildUtf8ByteScans()
{
    FBmpClasses = BmpCharClasses();
    for (unsigned b = 0x80; b <= 0xFF; ++b)
        FByteScanTable[b] = &TFountainParser::ScanUtf8Char;
    for (unsigned b = 0; b < 0x80; ++b)
        if (WordBytes[static_cast<unsigned char>(b)] && !DigitBytes[static_cast<unsigned char>(b)])
            FByteScanTable[b] = &TFountainParser::ScanUtf8Word;
}

void TFountainParser::ReadBrackets()
{
    TFountainBracketCollection& brackets = FFountain->Brackets();
    for (int i = 0; i < brackets.Count(); ++i) {
        const TFountainBracketItem* item = brackets.Items(i);
        FBrackets.push_back({InEncoding(item->LeftBracket()), InEncoding(item->RightBracket())});
        if (!FBrackets.back().Left.empty())
            FLeftBracketStarts.set(static_cast<unsigned char>(FBrackets.back().Left[0]));
    }
}

// The list compares ASCII letters without regard to case and every other byte as it is.
void TFountainParser::ReadUtf8ReservedWords()
{
    const TStringList& words = FFountain->ReserveWordList();
    for (int i = 0; i < words.GetCount(); ++i) {
        const std::string word = words.Get(i);
        if (HasNonAscii(word))
            FUtf8ReservedWords.push_back(UpperCaseAscii(InEncoding(word)));
    }
    std::sort(FUtf8ReservedWords.begin(), FUtf8ReservedWords.end());
}

bool TFountainParser::IsUtf8ReservedWord(std::string_view Token) const
{
    return std::binary_search(FUtf8ReservedWords.begin(), FUtf8ReservedWords.end(), UpperCaseAscii(Token));
}

const TFountainParser::TBracketPair* TFountainParser::BracketPair(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FBrackets.size()))
        return nullptr;
    return &FBrackets[static_cast<size_t>(Index)];
}

// --- Row and token

void TFountainParser::BeginRow(std::string_view Text, const TRowAttributeData& Data)
{
    FRowStart = FNextPtr = FTokenStartPtr = FScanPtr = Text.data();
    FRowEnd = RowEndOf(Text);
    FToken = tokEnd;
    FWrappedStart = false;
    FTokenBracket = -2;
    FRowAttribute = Data.RowAttribute;
    FPrevRowAttribute = Data.PrevRowAttribute;
    FOpenBracket = Data.OpenBracket;
    FExtraInt1 = Data.ExtraInt1;
    FCarryLength = Data.CarryLength;
    FExtraInt2 = Data.ExtraInt2;
    FCarryKind = Data.CarryKind;
    FExtraByte = Data.ExtraByte;
    FExtraStr = Data.ExtraStr;
}

TTokenKind TFountainParser::NextToken()
{
    SkipSpaces();
    FScanPtr = FTokenStartPtr = FNextPtr;
    FWrappedStart = FCarryKind != 0;
    if (AtRowEnd())
        FToken = tokEnd;
    else if (FCarryKind != 0)
        ContinueCarriedToken();
    else if (FOpenBracket >= 0)
        ScanBracket();
    else
        ScanTokenStart();
    if (IsUtf8() && FToken != tokEnd)
        SkipUtf8Marks();
    FNextPtr = FScanPtr;
    return FToken;
}

void TFountainParser::SkipSpaces()
{
    while (FNextPtr < FRowEnd && SpaceBytes[static_cast<unsigned char>(*FNextPtr)])
        ++FNextPtr;
}

void TFountainParser::ScanTokenStart()
{
    if (FOpenBracket == -1 && MatchLeftBracket())
        ScanBracket();
    else
        (this->*FByteScanTable[Current()])();
}

void TFountainParser::ContinueCarriedToken()
{
    if (FCarryLength > 0) {
        FToken = static_cast<TTokenKind>(FCarryKind);
        // Counted from the row start: blanks skipped in front of the token (inside a string
        // cut by the wrap) belong to the carried bytes.
        FScanPtr = std::max(FScanPtr, FRowStart + std::min<std::ptrdiff_t>(FCarryLength, FRowEnd - FRowStart));
        // The carried bytes end with the right bracket.
        if (FToken == tokBracket && FOpenBracket >= 0) {
            FTokenBracket = FOpenBracket;
            FOpenBracket = -1;
        }
    } else {
        (this->*FKindScanTable[FCarryKind])();
    }
    FCarryKind = 0;
    FCarryLength = 0;
}

bool TFountainParser::IsReservedWord()
{
    if (FWrappedStart || FToken == tokEnd || FToken == tokBracket || FToken == tokLineComment)
        return false;
    if (!FFountain)
        return false;
    const std::string_view token(FTokenStartPtr, static_cast<std::size_t>(FNextPtr - FTokenStartPtr));
    // Words beyond ASCII are looked up in their UTF-8 form: the list's bytes are Shift-JIS.
    if (IsUtf8() && HasNonAscii(token))
        return !FUtf8ReservedWords.empty() && IsUtf8ReservedWord(token);
    return FFountain->ReserveWordList().Contains(token);
}

void TFountainParser::CarriedTokenKind(TTokenKind& Kind)
{
    if (IsReservedWord())
        Kind = tokReserved;
}

TTokenKinds TFountainParser::LineEndKinds()
{
    return TokenKinds({tokLineComment});
}

// --- Helpers

int TFountainParser::CharLength(const char* P) const
{
    return IsDBCSLeadByte(At(P)) && P + 1 < FRowEnd ? 2 : 1;
}

bool TFountainParser::Matches(std::string_view Text) const
{
    // The first byte mostly decides, before a call of memcmp does.
    return static_cast<std::size_t>(FRowEnd - FScanPtr) >= Text.size() &&
           (Text.empty() || (*FScanPtr == Text[0] && std::memcmp(FScanPtr, Text.data(), Text.size()) == 0));
}

void TFountainParser::SkipDigits()
{
    while (DigitBytes[Current()])
        ++FScanPtr;
}

void TFountainParser::SkipHexDigits()
{
    while (HexBytes[Current()])
        ++FScanPtr;
}

void TFountainParser::ScanStringBody(unsigned char Quote)
{
    if (IsUtf8())
        ScanStringBodyIn<false>(Quote);
    else
        ScanStringBodyIn<true>(Quote);
}

template <bool Sjis>
void TFountainParser::ScanStringBodyIn(unsigned char Quote)
{
    while (!AtRowEnd()) {
        if (Current() == Quote) {
            ++FScanPtr;
            if (Current() != Quote)
                return;
            ++FScanPtr;
        } else {
            FScanPtr += Sjis ? CharLength(FScanPtr) : 1;
        }
    }
}

// --- Brackets, mail addresses, URLs

bool TFountainParser::MatchLeftBracket()
{
    if (!FLeftBracketStarts[Current()])
        return false;
    for (std::size_t i = 0; i < FBrackets.size(); ++i) {
        const TBracketPair& pair = FBrackets[i];
        // Without a right bracket a region would never close: such an item does not open one.
        if (pair.Left.empty() || pair.Right.empty() || !Matches(pair.Left))
            continue;
        FOpenBracket = static_cast<int>(i);
        FScanPtr += pair.Left.size();
        return true;
    }
    return false;
}

void TFountainParser::ScanBracket()
{
    const TBracketPair* pair = BracketPair(FOpenBracket);
    if (!pair || pair->Right.empty()) {
        FToken = tokEnd;
        return;
    }
    FToken = tokBracket;
    FTokenBracket = FOpenBracket;
    if (IsUtf8())
        ScanBracketBodyIn<false>(pair->Right);
    else
        ScanBracketBodyIn<true>(pair->Right);
}

template <bool Sjis>
void TFountainParser::ScanBracketBodyIn(const std::string& Right)
{
    while (!AtRowEnd()) {
        if (Matches(Right)) {
            FScanPtr += Right.size();
            FOpenBracket = -1;
            return;
        }
        FScanPtr += Sjis ? CharLength(FScanPtr) : 1;
    }
}

bool TFountainParser::MatchMail()
{
    const char* p = FScanPtr;
    if (!MailBytes[At(p)] || At(p) == '@')
        return false;
    bool atSeen = false;
    for (; MailBytes[At(p)]; ++p) {
        if (*p == '@') {
            atSeen = true;
        } else if (*p == '.' && atSeen) {
            FScanPtr = p + 1;
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanMail()
{
    FToken = tokMail;
    while (MailBytes[Current()])
        ++FScanPtr;
}

bool TFountainParser::MatchUrlPrefix()
{
    static constexpr std::string_view ftp[] = {"ftp:"};
    static constexpr std::string_view http[] = {"http:", "https:"};
    static constexpr std::string_view www[] = {"www."};
    std::span<const std::string_view> prefixes;
    switch (Current()) {
    case 'f':
        prefixes = ftp;
        break;
    case 'h':
        prefixes = http;
        break;
    case 'w':
        prefixes = www;
        break;
    default:
        return false;
    }
    for (std::string_view prefix : prefixes) {
        if (Matches(prefix)) {
            FScanPtr += prefix.size();
            return true;
        }
    }
    return false;
}

void TFountainParser::ScanUrl()
{
    FToken = tokUrl;
    while (UrlBytes[Current()])
        ++FScanPtr;
}

// --- Scanning by first byte

void TFountainParser::ScanReserved()
{
    (this->*FByteScanTable[Current()])();
    FToken = tokReserved;
}

void TFountainParser::ScanNul()
{
    FToken = tokEnd;
}

void TFountainParser::ScanTab()
{
    FToken = tokTab;
    if (Current() == '\t')
        ++FScanPtr;
}

void TFountainParser::ScanLineComment()
{
    FToken = tokLineComment;
    FScanPtr = FRowEnd;
}

void TFountainParser::ScanHexDigits()
{
    FToken = tokHexNumber;
    SkipHexDigits();
}

void TFountainParser::ScanNumber()
{
    FToken = tokInteger;
    SkipDigits();
    const unsigned char next = Current();
    if (next == '.') {
        const unsigned char afterPoint = At(FScanPtr + 1);
        if (DigitBytes[afterPoint]) {
            FToken = tokFloat;
            ++FScanPtr;
            SkipDigits();
        } else if (afterPoint == 'E' || afterPoint == 'e') {
            FToken = tokFloat;
            ++FScanPtr;
        } else {
            return; // the point is not part of the number
        }
    }
    if (Current() == 'E' || Current() == 'e') {
        FToken = tokFloat;
        ++FScanPtr;
        if (Current() == '+' || Current() == '-')
            ++FScanPtr;
        SkipDigits();
    }
}

void TFountainParser::ScanWord()
{
    FToken = tokWord;
    while (WordBytes[Current()])
        ++FScanPtr;
}

void TFountainParser::ScanWideSymbol()
{
    FToken = tokWideSymbol;
    const unsigned char lead = Current();
    if (lead == 0x81 || InRange(lead, 0x84, 0x87))
        FScanPtr += CharLength(FScanPtr);
    else if (IsWideSymbolOf82Or83(lead, At(FScanPtr + 1)))
        FScanPtr += 2;
}

void TFountainParser::ScanWideRunOf(TTokenKind Kind, bool (*Continues)(unsigned char, unsigned char))
{
    FToken = Kind;
    FScanPtr += 2;
    while (Continues(Current(), At(FScanPtr + 1)))
        FScanPtr += 2;
}

void TFountainParser::ScanWideRun()
{
    const unsigned char lead = Current();
    const unsigned char trail = At(FScanPtr + 1);
    if (IsWideDigit(lead, trail)) {
        ScanWideRunOf(tokWideDigits, ContinuesWideDigits);
    } else if (IsWideLatin(lead, trail)) {
        ScanWideRunOf(tokWideLatin, ContinuesWideLatin);
    } else if (IsHiragana(lead, trail)) {
        ScanWideRunOf(tokHiragana, ContinuesHiragana);
    } else if (IsKatakana(lead, trail)) {
        ScanWideRunOf(tokKatakana, ContinuesKatakana);
    } else {
        FToken = tokWideSymbol;
        if (IsWideSymbolOf82Or83(lead, trail))
            FScanPtr += 2;
        else if (lead == 0x82 || lead == 0x83)
            ++FScanPtr; // a malformed character: the lead byte alone
    }
}

void TFountainParser::ScanKanji()
{
    FToken = tokKanji;
    while (KanjiLeadBytes[Current()]) {
        ++FScanPtr;
        if (Current() >= 0x40)
            ++FScanPtr;
    }
}

void TFountainParser::ScanHalfKanaPunct()
{
    FToken = tokHalfKanaPunct;
    if (InRange(Current(), 0xA1, 0xA5))
        ++FScanPtr;
}

void TFountainParser::ScanHalfKana()
{
    FToken = tokHalfKana;
    while (InRange(Current(), 0xA6, 0xDF))
        ++FScanPtr;
}

void TFountainParser::ScanSymbol()
{
    FToken = tokSymbol;
    if (!AtRowEnd())
        ++FScanPtr;
}

void TFountainParser::ScanSingleQuoted()
{
    FToken = tokSingleQuoted;
    if (!FWrappedStart && Current() == '\'')
        ++FScanPtr;
    ScanStringBody('\'');
}

void TFountainParser::ScanDoubleQuoted()
{
    FToken = tokDoubleQuoted;
    if (!FWrappedStart && Current() == '"')
        ++FScanPtr;
    ScanStringBody('"');
}

// --- Scanning UTF-8 characters beyond ASCII

TFountainParser::TClassedChar TFountainParser::ClassedCharAt(const char* P) const
{
    if (static_cast<unsigned char>(*P) < 0x80)
        return {TCharClass::Symbol, 1};
    // Kana and kanji take three bytes, which the inline decoding reads without a call.
    const TCodePoint point = DecodeUtf8Fast(std::string_view(P, static_cast<std::size_t>(FRowEnd - P)), 0);
    if (!point.Valid)
        return {TCharClass::Symbol, point.Bytes};
    return {point.Code < 0x10000 ? FBmpClasses[point.Code] : CharClassOf(point.Code), point.Bytes};
}

void TFountainParser::ScanUtf8CharOf(TTokenKind Kind, std::uint32_t Classes)
{
    FToken = Kind;
    if (AtRowEnd())
        return;
    const TClassedChar c = ClassedCharAt(FScanPtr);
    if (HasClass(Classes, c.Class))
        FScanPtr += c.Bytes;
}

void TFountainParser::ScanUtf8RunOf(TTokenKind Kind, std::uint32_t Classes)
{
    FToken = Kind;
    while (!AtRowEnd()) {
        const TClassedChar c = ClassedCharAt(FScanPtr);
        if (!HasClass(Classes, c.Class))
            return;
        FScanPtr += c.Bytes;
    }
}

void TFountainParser::SkipUtf8Marks()
{
    while (Current() >= 0x80) {
        const TClassedChar c = ClassedCharAt(FScanPtr);
        if (c.Class != TCharClass::Mark)
            return;
        FScanPtr += c.Bytes;
    }
}

// The first character belongs to the token whatever its class: it is classed once.
void TFountainParser::ScanUtf8Char()
{
    const TClassedChar first = ClassedCharAt(FScanPtr);
    FScanPtr += first.Bytes;
    if (ScanUtf8WideRunOf(first.Class))
        return;
    switch (first.Class) {
    case TCharClass::Symbol:
        FToken = tokSymbol;
        break;
    case TCharClass::HalfKanaPunct:
        FToken = tokHalfKanaPunct;
        break;
    case TCharClass::HalfKana:
        ScanUtf8RunOf(tokHalfKana, HalfKanaRun);
        break;
    case TCharClass::Kanji:
        ScanUtf8Kanji();
        break;
    case TCharClass::WordLetter:
        ScanUtf8Word();
        break;
    case TCharClass::OtherLetter:
        ScanUtf8OtherLetters();
        break;
    default:
        FToken = tokWideSymbol;
        break;
    }
}

void TFountainParser::ScanUtf8Word()
{
    FToken = tokWord;
    for (;;) {
        while (WordBytes[Current()])
            ++FScanPtr;
        if (Current() < 0x80)
            return;
        const TClassedChar c = ClassedCharAt(FScanPtr);
        if (!HasClass(WordContinuation, c.Class))
            return;
        FScanPtr += c.Bytes;
    }
}

void TFountainParser::ScanUtf8WideSymbol()
{
    ScanUtf8CharOf(tokWideSymbol, WideSymbolClasses);
}

bool TFountainParser::ScanUtf8WideRunOf(TCharClass Class)
{
    switch (Class) {
    case TCharClass::WideDigit:
        ScanUtf8RunOf(tokWideDigits, WideDigitRun);
        return true;
    case TCharClass::WideLatin:
        ScanUtf8RunOf(tokWideLatin, WideLatinRun);
        return true;
    case TCharClass::Hiragana:
        ScanUtf8RunOf(tokHiragana, HiraganaRun);
        return true;
    case TCharClass::Katakana:
        ScanUtf8RunOf(tokKatakana, KatakanaRun);
        return true;
    default:
        return false;
    }
}

void TFountainParser::ScanUtf8WideRun()
{
    // As in Shift-JIS, of the other characters only the symbols of the kana's own lead bytes are
    // taken here.
    if (!ScanUtf8WideRunOf(AtRowEnd() ? TCharClass::Symbol : ClassedCharAt(FScanPtr).Class))
        ScanUtf8CharOf(tokWideSymbol, ClassBit(TCharClass::WideSymbol82));
}

void TFountainParser::ScanUtf8Kanji()
{
    ScanUtf8RunOf(tokKanji, KanjiRun);
}

void TFountainParser::ScanUtf8HalfKanaPunct()
{
    ScanUtf8CharOf(tokHalfKanaPunct, ClassBit(TCharClass::HalfKanaPunct));
}

void TFountainParser::ScanUtf8HalfKana()
{
    ScanUtf8RunOf(tokHalfKana, HalfKanaRun);
}

void TFountainParser::ScanUtf8OtherLetters()
{
    ScanUtf8RunOf(tokOtherLetters, OtherLetterRun);
}

// --- State from row to row

void TFountainParser::ComputeNextRowState(int Index, const TRowAttributeStringList& List, TRowAttributeData& Data)
{
    // A line comment begun on an earlier row fills this one and goes on only past a wrap.
    if (LineEndKinds()[Data.CarryKind]) {
        Data.CarryLength = 0;
        if (Data.RowAttribute != raWrapped)
            Data.CarryKind = 0;
        return;
    }
    // A blank row hands on what it was given, but a line that ends ends a carried token too.
    const std::string_view row = List.Str(Index);
    if (IsBlankRow(row)) {
        if (Data.RowAttribute != raWrapped) {
            Data.CarryLength = 0;
            Data.CarryKind = 0;
        }
        return;
    }

    // A token cut by the wrap is scanned whole, over the row and the next one.
    std::string_view text = row;
    if (Data.RowAttribute == raWrapped && Index + 1 < List.Count()) {
        FJoinedText.assign(row).append(List.Str(Index + 1));
        text = FJoinedText;
    }
    const int rowLength = static_cast<int>(row.size());
    const TRowScan scan = ScanRow(text, rowLength, Data);
    Data.CarryLength = 0;
    Data.CarryKind = 0;
    if (scan.Crossed)
        CarryCrossingToken(scan, Index, List, rowLength, Data);
}

TFountainParser::TRowScan TFountainParser::ScanRow(std::string_view Text, int RowLength, TRowAttributeData& Data)
{
    TRowScan scan{false, Data.OpenBracket, Data.OpenBracket, Data.ExtraInt1};
    BeginRow(Text, Data);
    for (;;) {
        scan.BracketBeforeToken = FOpenBracket;
        if (NextToken() == tokEnd)
            return scan;
        Data.OpenBracket = FOpenBracket;
        if (FToken == tokBracket)
            scan.BracketAtTokenStart = FTokenBracket;
        scan.LastElement = FExtraInt1;
        if (TokenOffset() + TokenLength() > RowLength) {
            scan.Crossed = true;
            return scan;
        }
        Data.ExtraInt1 = FExtraInt1;
        Data.ExtraByte = FExtraByte;
    }
}

void TFountainParser::CarryCrossingToken(const TRowScan& Scan, int Index, const TRowAttributeStringList& List,
                                         int RowLength, TRowAttributeData& Data)
{
    // The token lies wholly on the next row: the state is the one in front of it.
    if (TokenOffset() >= RowLength) {
        Data.OpenBracket = Scan.BracketBeforeToken;
        return;
    }

    const int carried = TokenOffset() + TokenLength() - RowLength;
    Data.ExtraInt1 = Scan.LastElement;
    if (FToken == tokBracket) {
        if (Data.OpenBracket != -1)
            return; // still open at the end of the next row
        // The bracket closes on the next row; when the wrap cuts the right bracket itself, the
        // next row cannot find it and takes its bytes by count.
        Data.OpenBracket = Scan.BracketAtTokenStart;
        const TBracketPair* pair = BracketPair(Scan.BracketAtTokenStart);
        if (pair && carried < static_cast<int>(pair->Right.size()) && carried <= MaxCarryLength) {
            Data.CarryKind = tokBracket;
            Data.CarryLength = carried;
        }
        return;
    }

    TTokenKind kind = FToken;
    CarriedTokenKind(kind);
    Data.CarryKind = kind;
    // A token that runs on past the next row is scanned again there. One that ends on it is
    // taken by count, strings too: scanned again from the row start, a string would take the
    // second quote of a doubled quote cut by the wrap for its end.
    if (FNextPtr >= FRowEnd && List.Rows(Index + 1) == raWrapped)
        return;
    // A longer rest than the row store can count is scanned again as well.
    if (carried <= MaxCarryLength)
        Data.CarryLength = carried;
}

} // namespace kestrim
