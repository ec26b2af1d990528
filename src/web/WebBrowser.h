#pragma once
// TWebBrowser: the Web page's browser as the page uses it. The browser engine is built into a
// module of its own (kestrim_browser.so, in the program's folder) that the page loads when it
// first needs a browser: a program linked to the engine would set up the engine's OpenGL at
// start, and so cost start-up time and memory though the page may never be shown.
//
// The module and the program share no code but this header: the page hands the module the
// functions it calls back, rather than signals, which would need the program's own symbols.

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace kestrim {

// The editing operations that the window's edit shortcuts carry out in a text box of the page.
enum class TBoxEdit { Undo, Redo, Cut, Copy, Paste, SelectAll };

// What the browser tells the page.
struct TBrowserEvents {
    std::function<void(const QString& Url)> LinkHovered; // empty when the mouse leaves a link
    std::function<void()> LoadStarted;
    std::function<void(int Percent)> LoadProgress;
    std::function<void(bool Ok)> LoadFinished;
    // The process that draws the pages ended by breaking down, with ExitCode.
    std::function<void(int ExitCode)> DisplayProcessBroke;
};

class TWebBrowser : public QWidget {
public:
    using QWidget::QWidget;

    virtual void Load(const QUrl& Url) = 0;
    // At either end of the history they do nothing.
    virtual void Back() = 0;
    virtual void Forward() = 0;
    // Carries out Edit in the box of the shown page that has the focus.
    virtual void Edit(TBoxEdit Edit) = 0;
};

// The module's entry: a browser, a child of Parent, that calls Events.
using TCreateBrowser = TWebBrowser* (*)(QWidget* Parent, const TBrowserEvents& Events);
inline constexpr char CreateBrowserEntry[] = "KestrimCreateBrowser";
inline constexpr char BrowserModuleName[] = "kestrim_browser.so";

} // namespace kestrim
