#include "settings/UKestrimReg.h"

#include <QString>

#include <cmath>

namespace kestrim {
namespace {

// Fonts given by pixel height have no point size; count points at the usual 96 dots per inch.
int PointSizeOf(const QFont& Font)
{
    if (Font.pointSizeF() > 0)
        return static_cast<int>(std::lround(Font.pointSizeF()));
    return static_cast<int>(std::lround(Font.pixelSize() * 72.0 / 96.0));
}

// A limit of the user's own, or the default when it is not a usable one.
int PositiveOr(int Value, int Default)
{
    return Value >= 1 ? Value : Default;
}

// A share of the workbench's splitters that leaves each pane some room, or half.
int ShareOrHalf(int Value)
{
    return Value >= 1 && Value < TKestrimReg::WholeShare ? Value : TKestrimReg::WholeShare / 2;
}

} // namespace

TKestrimReg::TKestrimReg(const std::string& MakerKey, const std::string& ProductKey)
    : TRegistryBase(MakerKey, ProductKey)
{
}

void TKestrimReg::LoadValues()
{
    LoadFont();
    ConfigFile = ReadString("Conf", "File", DefaultConfigFile);
    UrlFile = ReadString("Conf", "UrlFile", DefaultUrlFile);
    LoadDefaultEncoding();
    Width = ReadInteger("Form", "Width", DefaultWidth);
    Height = ReadInteger("Form", "Height", DefaultHeight);
    MessageHeight = ReadInteger("Form", "MessageHeight", DefaultMessageHeight);
    StatusBar = ReadBool("Form", "StatusBar", true);
    ToolBar = ReadBool("Form", "ToolBar", true);
    Ruler = ReadBool("Form", "Ruler", false);
    LineNumbers = ReadBool("Form", "LineNumber", false);
    WordWrap = ReadBool("Form", "WordWrap", false);
    WrapRules = ReadBool("Form", "WrapRules", false);
    WordBreak = ReadBool("Form", "WordBreak", false);
    WrapColumn = ReadInteger("Form", "WrapColumn", DefaultWrapColumn);
    WrapToWindow = ReadBool("Form", "WrapToWindow", false);
    Workbench = ReadBool("Form", "Workbench", false);
    WorkbenchScriptShare = ShareOrHalf(ReadInteger("Form", "WorkbenchScriptShare", WholeShare / 2));
    WorkbenchDataShare = ShareOrHalf(ReadInteger("Form", "WorkbenchDataShare", WholeShare / 2));
    ChangeMarks = ReadBool("Form", "ChangeMarks", false);
    Samples = ReadBool("Form", "Samples", false);
    SamplesShare = ShareOrHalf(ReadInteger("Form", "SamplesShare", DefaultPaneShare));
    Expected = ReadBool("Form", "Expected", false);
    ExpectedShare = ShareOrHalf(ReadInteger("Form", "ExpectedShare", DefaultPaneShare));
    OutputLimitMB = PositiveOr(ReadInteger(RunSection, OutputLimitIdent, DefaultOutputLimitMB), DefaultOutputLimitMB);
    ErrorLimitMB = PositiveOr(ReadInteger(RunSection, ErrorLimitIdent, DefaultErrorLimitMB), DefaultErrorLimitMB);
    LiveRun = ReadBool(RunSection, "Live", false);
    LiveRunExplained = ReadBool(RunSection, "LiveExplained", false);
    LivePauseMS = PositiveOr(ReadInteger(RunSection, "LivePauseMS", DefaultLivePauseMS), DefaultLivePauseMS);
    LiveTimeLimitMS =
        PositiveOr(ReadInteger(RunSection, "LiveTimeLimitMS", DefaultLiveTimeLimitMS), DefaultLiveTimeLimitMS);
}

void TKestrimReg::LoadFont()
{
    // An empty stored name keeps the face of the new font: the default is for a missing value.
    const std::string faceName = ReadString("Font", "Name", DefaultFontName);
    if (!faceName.empty())
        Font.setFamily(QString::fromStdString(faceName));
    const int size = ReadInteger("Font", "Size", DefaultFontSize);
    if (size > 0)
        Font.setPointSize(size);
}

void TKestrimReg::LoadDefaultEncoding()
{
    const std::string name(EncodingName(TTextEncoding::Utf8));
    const bool utf8 = QString::fromStdString(ReadString("Text", "DefaultEncoding", ""))
                          .compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0;
    DefaultEncoding = utf8 ? TTextEncoding::Utf8 : TTextEncoding::ShiftJis;
}

void TKestrimReg::SaveValues()
{
    WriteString("Font", "Name", Font.family().toStdString());
    WriteInteger("Font", "Size", PointSizeOf(Font));
    WriteString("Conf", "File", ConfigFile);
    WriteString("Conf", "UrlFile", UrlFile);
    WriteString("Text", "DefaultEncoding", std::string(EncodingName(DefaultEncoding)));
    WriteInteger("Form", "Width", Width);
    WriteInteger("Form", "Height", Height);
    WriteInteger("Form", "MessageHeight", MessageHeight);
    WriteBool("Form", "StatusBar", StatusBar);
    WriteBool("Form", "ToolBar", ToolBar);
    WriteBool("Form", "Ruler", Ruler);
    WriteBool("Form", "LineNumber", LineNumbers);
    WriteBool("Form", "WordWrap", WordWrap);
    WriteBool("Form", "WrapRules", WrapRules);
    WriteBool("Form", "WordBreak", WordBreak);
    WriteInteger("Form", "WrapColumn", WrapColumn);
    WriteBool("Form", "WrapToWindow", WrapToWindow);
    WriteBool("Form", "Workbench", Workbench);
    WriteInteger("Form", "WorkbenchScriptShare", WorkbenchScriptShare);
    WriteInteger("Form", "WorkbenchDataShare", WorkbenchDataShare);
    WriteBool("Form", "ChangeMarks", ChangeMarks);
    WriteBool("Form", "Samples", Samples);
    WriteInteger("Form", "SamplesShare", SamplesShare);
    WriteBool("Form", "Expected", Expected);
    WriteInteger("Form", "ExpectedShare", ExpectedShare);
    WriteInteger(RunSection, OutputLimitIdent, OutputLimitMB);
    WriteInteger(RunSection, ErrorLimitIdent, ErrorLimitMB);
    WriteBool(RunSection, "Live", LiveRun);
    WriteBool(RunSection, "LiveExplained", LiveRunExplained);
    WriteInteger(RunSection, "LivePauseMS", LivePauseMS);
    WriteInteger(RunSection, "LiveTimeLimitMS", LiveTimeLimitMS);
}

} // namespace kestrim
