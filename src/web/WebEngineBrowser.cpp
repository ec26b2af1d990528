// The browser module: Qt WebEngine's view behind the Web page's browser interface.
#include "web/WebBrowser.h"

#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

// The engine's own set-up of the OpenGL context that it shares with the toolkit, exported by the
// engine for its other modules without a public header. Called before the first view: the
// toolkit makes that context only at start, when asked before the application exists, and so
// would set up OpenGL at every start of the program.
namespace QtWebEngineCore {
Q_DECL_IMPORT void initialize();
}

namespace kestrim {
namespace {

QWebEnginePage::WebAction PageAction(TBoxEdit Edit)
{
    switch (Edit) {
    case TBoxEdit::Undo: return QWebEnginePage::Undo;
    case TBoxEdit::Redo: return QWebEnginePage::Redo;
    case TBoxEdit::Cut: return QWebEnginePage::Cut;
    case TBoxEdit::Copy: return QWebEnginePage::Copy;
    case TBoxEdit::Paste: return QWebEnginePage::Paste;
    case TBoxEdit::SelectAll: break;
    }
    return QWebEnginePage::SelectAll;
}

class TWebEngineBrowser final : public TWebBrowser {
public:
    TWebEngineBrowser(QWidget* Parent, const TBrowserEvents& Events)
        : TWebBrowser(Parent), FView(new QWebEngineView(this))
    {
        FView->setObjectName("webPage");
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(FView);
        setFocusProxy(FView);
        QWebEnginePage* page = FView->page();
        connect(page, &QWebEnginePage::linkHovered, this, Events.LinkHovered);
        connect(page, &QWebEnginePage::loadStarted, this, Events.LoadStarted);
        connect(page, &QWebEnginePage::loadProgress, this, Events.LoadProgress);
        connect(page, &QWebEnginePage::loadFinished, this, Events.LoadFinished);
        connect(page, &QWebEnginePage::renderProcessTerminated, this,
                [Broke = Events.DisplayProcessBroke](QWebEnginePage::RenderProcessTerminationStatus Status,
                                                     int ExitCode) {
                    if (Status != QWebEnginePage::NormalTerminationStatus)
                        Broke(ExitCode);
                });
    }

    void Load(const QUrl& Url) override { FView->load(Url); }
    void Back() override { FView->back(); }
    void Forward() override { FView->forward(); }
    void Edit(TBoxEdit Edit) override { FView->triggerPageAction(PageAction(Edit)); }

private:
    QWebEngineView* FView;
};

} // namespace
} // namespace kestrim

// The view is drawn in software into the window's own image. Drawn through OpenGL, it would make
// the toolkit compose the whole window, the editors included, through OpenGL at every repaint
// (with a software OpenGL, as on virtual machines and remote desktops, a typed key then takes
// several times as long), and recreate the window when the page is first shown.
extern "C" Q_DECL_EXPORT kestrim::TWebBrowser* KestrimCreateBrowser(QWidget* Parent,
                                                                     const kestrim::TBrowserEvents& Events)
{
    QtWebEngineCore::initialize();
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return new kestrim::TWebEngineBrowser(Parent, Events);
}
