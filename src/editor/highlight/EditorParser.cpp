#include "editor/highlight/EditorParser.h"

#include "editor/base/CodePage.h"

namespace kestrim {

TEditorParser::TEditorParser(TEditorFountain* Fountain, TTextEncoding Encoding)
    : TFountainParser(Fountain, Encoding),
      FEditorFountain(Fountain),
      FCommenter(InEncoding(Fountain->Commenter())),
      FControlCode(Fountain->ControlCode()),
      FMail(Fountain->Mail()),
      FUrl(Fountain->Url())
{
    if (!Fountain->Quotation().empty()) {
        FQuotation = static_cast<unsigned char>(Fountain->Quotation()[0]);
        FHasQuotation = !IsUtf8() || FQuotation < 0x80;
    }
    for (char c : InEncoding(Fountain->HexPrefix()))
        FHexPrefix += static_cast<char>(UpperCaseByte(static_cast<unsigned char>(c)));
    BuildScanTables();
}

void TEditorParser::BuildScanTables()
{
    FKindScanTable[tokQuoted] = static_cast<TScanProc>(&TEditorParser::ScanQuoted);
    FKindScanTable[tokControlChar] = static_cast<TScanProc>(&TEditorParser::ScanControlDigits);
    FKindScanTable[tokControlHex] = static_cast<TScanProc>(&TEditorParser::ScanControlHex);
    for (int byte = 0; byte < 256; ++byte) {
        const auto b = static_cast<unsigned char>(byte);
        const bool special = BeginsLeftBracket(b) || FMail || (FUrl && (b == 'f' || b == 'h' || b == 'w'))
                             || (!FCommenter.empty() && b == static_cast<unsigned char>(FCommenter[0]))
                             || (FHasQuotation && b == FQuotation) || (FControlCode && b == '#')
                             || (!FHexPrefix.empty() && UpperCaseByte(b) == static_cast<unsigned char>(FHexPrefix[0]));
        FSpecialStarts.set(b, special);
    }
}

void TEditorParser::ScanTokenStart()
{
    if (!AtRowEnd() && !FSpecialStarts[Current()]) {
        (this->*FByteScanTable[Current()])();
        return;
    }
    if (FOpenBracket == -1 && MatchLeftBracket())
        ScanBracket();
    else if (FMail && MatchMail())
        ScanMail();
    else if (FUrl && MatchUrlPrefix())
        ScanUrl();
    else if (MatchCommenter())
        ScanLineComment();
    else if (MatchQuotation())
        ScanQuoted();
    else if (MatchControlHex())
        ScanControlHex();
    else if (MatchControlChar())
        ScanControlDigits();
    else if (MatchHexPrefix())
        ScanHexDigits();
    else
        (this->*FByteScanTable[Current()])();
}

bool TEditorParser::MatchQuotation()
{
    if (!FHasQuotation || AtRowEnd() || Current() != FQuotation)
        return false;
    ++FScanPtr;
    return true;
}

void TEditorParser::ScanQuoted()
{
    FToken = tokQuoted;
    ScanStringBody(FQuotation);
}

bool TEditorParser::MatchCommenter()
{
    if (FCommenter.empty() || !Matches(FCommenter))
        return false;
    FScanPtr += FCommenter.size();
    return true;
}

bool TEditorParser::MatchHexPrefix()
{
    if (FHexPrefix.empty() || static_cast<std::size_t>(FRowEnd - FScanPtr) < FHexPrefix.size())
        return false;
    for (std::size_t i = 0; i < FHexPrefix.size(); ++i)
        if (UpperCaseByte(static_cast<unsigned char>(FScanPtr[i])) != static_cast<unsigned char>(FHexPrefix[i]))
            return false;
    FScanPtr += FHexPrefix.size();
    return true;
}

bool TEditorParser::MatchControlHex()
{
    if (!FControlCode || !Matches("#$"))
        return false;
    FScanPtr += 2;
    return true;
}

void TEditorParser::ScanControlHex()
{
    FToken = tokControlHex;
    SkipHexDigits();
}

bool TEditorParser::MatchControlChar()
{
    if (!FControlCode || Current() != '#')
        return false;
    ++FScanPtr;
    return true;
}

void TEditorParser::ScanControlDigits()
{
    FToken = tokControlChar;
    SkipDigits();
}

TFountainColor* TEditorParser::TokenColor()
{
    TEditorColors& colors = FEditorFountain->Colors();
    if (IsReservedWord())
        return &colors.Reserve();
    switch (FToken) {
    case tokSymbol:
        return &colors.Symbol();
    case tokInteger:
    case tokFloat:
    case tokHexNumber:
        return &colors.Int();
    case tokBracket:
        return BracketColor();
    case tokLineComment:
        return &colors.Comment();
    case tokReserved:
        return &colors.Reserve();
    case tokWord:
        return &colors.Ank();
    case tokWideSymbol:
    case tokWideDigits:
    case tokWideLatin:
    case tokHiragana:
    case tokKatakana:
    case tokKanji:
    case tokHalfKanaPunct:
    case tokHalfKana:
    case tokOtherLetters:
        return &colors.DBCS();
    case tokUrl:
        return &colors.Url();
    case tokMail:
        return &colors.Mail();
    case tokQuoted:
    case tokControlChar:
    case tokControlHex:
        return &colors.Str();
    default:
        return nullptr;
    }
}

// The bracket item may have gone since the row's state was stored.
TFountainColor* TEditorParser::BracketColor()
{
    TFountainBracketCollection& brackets = FEditorFountain->Brackets();
    if (FTokenBracket < 0 || FTokenBracket >= brackets.Count())
        return nullptr;
    return &brackets.Items(FTokenBracket)->ItemColor();
}

} // namespace kestrim
