// Kestrim: a workbench for converting text data with a script.
#include "app/Main.h"
#include "dialogs/ApplicationTitle.h"
#include "editor/control/EditorFonts.h"
#include "web/WebEngineSetup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The toolkit's own texts (dialog buttons, file dialogs) in the program's language.
void InstallToolkitTranslation(QApplication& App, QTranslator& Translator)
{
    if (Translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        App.installTranslator(&Translator);
}

} // namespace

int main(int argc, char** argv)
{
    kestrim::PrepareWebEngine();
    QApplication app(argc, argv);
    QTranslator translator;
    InstallToolkitTranslation(app, translator);
    kestrim::SubstituteEditorFonts();
    kestrim::SetApplicationTitle(QStringLiteral("Kestrim"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrim.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrim")); // the installed kestrim.desktop
    kestrim::TfrmKestrim window;
    window.show();
    return app.exec();
}
