// Kestrim: a workbench for converting text data with a script.
#include "app/AllocatorTuning.h"
#include "app/Main.h"
#include "app/ToolkitTranslation.h"
#include "dialogs/ApplicationTitle.h"
#include "editor/control/EditorFonts.h"
#include "web/WebEngineSetup.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    kestrim::TuneAllocatorForLargeTexts();
    kestrim::PrepareWebEngine();
    QApplication app(argc, argv);
    kestrim::InstallToolkitTranslation(app);
    kestrim::SubstituteEditorFonts();
    kestrim::SetApplicationTitle(QStringLiteral("Kestrim"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrim.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrim")); // the installed kestrim.desktop
    kestrim::TfrmKestrim window;
    window.show();
    return app.exec();
}
