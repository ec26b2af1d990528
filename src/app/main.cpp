// Kestrim: a workbench for converting text data with a script.
#include "app/Main.h"
#include "app/StandardLibrary.h"
#include "app/ToolkitTranslation.h"
#include "editor/control/EditorFonts.h"
#include "web/WebEngineSetup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    kestrim::PrepareWebEngine();
    QApplication app(argc, argv);
    kestrim::InstallToolkitTranslation(app);
    kestrim::SubstituteEditorFonts();
    kestrim::SetApplicationTitle(QStringLiteral("Kestrim"));
    kestrim::TfrmKestrim window;
    window.show();
    return app.exec();
}
