#pragma once
// TKestrimReg: the user's preferences that outlive one run of the program: the editor font,
// the window and message panel sizes, the visible bars and the configuration and URL files.
//
// The main window creates it with "Vek" and "Kestrim", calls Load and applies the fields; when
// it closes it copies its state into the fields and calls Save inside a try block, showing the
// ERegistryError's text in a message box (the settings of that run are then lost, nothing else).

#include "editor/base/TextEncoding.h"
#include "settings/URegistryBase.h"

#include <QFont>

#include <string>

namespace kestrim {

class TKestrimReg : public TRegistryBase {
public:
    TKestrimReg(const std::string& MakerKey, const std::string& ProductKey);

    // The values of a first start, when the store holds nothing.
    static constexpr const char* DefaultFontName = "ＭＳ ゴシック";
    static constexpr int DefaultFontSize = 10;
    static constexpr const char* DefaultConfigFile = "Perl.ini";
    static constexpr const char* DefaultUrlFile = "url.txt";
    static constexpr int DefaultWidth = 640;
    static constexpr int DefaultHeight = 480;
    static constexpr int DefaultMessageHeight = 80;
    static constexpr int DefaultOutputLimitMB = 256;
    static constexpr int DefaultErrorLimitMB = 16;
    // Where the output limits are kept, for the message that tells the user how to change them.
    static constexpr const char* RunSection = "Run";
    static constexpr const char* OutputLimitIdent = "OutputLimitMB";
    static constexpr const char* ErrorLimitIdent = "ErrorLimitMB";
    static constexpr int DefaultLivePauseMS = 600;
    static constexpr int DefaultLiveTimeLimitMS = 3000;
    static constexpr int DefaultWrapColumn = 80;
    static constexpr int WholeShare = 1000;
    static constexpr int DefaultPaneShare = WholeShare / 3;

    // The fields start with those defaults, so that a Load that stops at a bad value leaves
    // usable values behind it. File names are UTF-8.
    std::string ConfigFile = DefaultConfigFile; // a bare name lies in conf/ beside the program
    QFont Font;                                 // only the face name and the point size are kept
    int Height = DefaultHeight;
    int Width = DefaultWidth;
    int MessageHeight = DefaultMessageHeight;
    bool StatusBar = true;
    bool ToolBar = true;
    // The editors' ruler, line numbers and word wrap, all off at a first start.
    bool Ruler = false;
    bool LineNumbers = false;
    bool WordWrap = false;
    // Word wrap's rules, all off at a first start: the line-break rules (the editors' Leading
    // and FollowPunctuation), breaking between words only, and the wrap column, a number of
    // columns or, with WrapToWindow, the width of the editor's window.
    bool WrapRules = false;
    bool WordBreak = false;
    int WrapColumn = DefaultWrapColumn;
    bool WrapToWindow = false;
    // The pages side by side instead of one tab each, with the script page's share of the
    // width and the data page's share of the height beside it, in thousandths (a value
    // outside 1 to 999 gives half).
    bool Workbench = false;
    int WorkbenchScriptShare = WholeShare / 2;
    int WorkbenchDataShare = WholeShare / 2;
    // Whether the data and result pages mark how their lines differ; off at a first start.
    bool ChangeMarks = false;
    // The samples table above the data and the expected result under the result, both hidden
    // at a first start, with their shares of their pages' heights in thousandths (a value
    // outside 1 to 999 gives half).
    bool Samples = false;
    int SamplesShare = DefaultPaneShare;
    bool Expected = false;
    int ExpectedShare = DefaultPaneShare;
    std::string UrlFile = DefaultUrlFile; // written back exactly as it was read
    // The encoding of a new, cleared or freshly started page: "UTF-8" in the store gives UTF-8,
    // anything else Shift-JIS.
    TTextEncoding DefaultEncoding = TTextEncoding::ShiftJis;
    // The most that one run may collect of standard output and of standard error, in
    // megabytes; a value below 1 gives the default.
    int OutputLimitMB = DefaultOutputLimitMB;
    int ErrorLimitMB = DefaultErrorLimitMB;
    // Live runs: whether the script runs on every pause in typing, whether the user has been
    // told what that means, the pause and the time one live run may take, in milliseconds (a
    // value below 1 gives the default).
    bool LiveRun = false;
    bool LiveRunExplained = false;
    int LivePauseMS = DefaultLivePauseMS;
    int LiveTimeLimitMS = DefaultLiveTimeLimitMS;

protected:
    void LoadValues() override;
    void SaveValues() override;

private:
    void LoadFont();
    void LoadDefaultEncoding();
};

} // namespace kestrim
