// Kestrim: a workbench for converting text data with a script.
#include "app/AllocatorTuning.h"
#include "app/CommandLine.h"
#include "app/Main.h"
#include "app/ToolkitTranslation.h"
#include "dialogs/ApplicationTitle.h"
#include "editor/control/EditorFonts.h"
#include "web/WebEngineSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTimer>

int main(int argc, char** argv)
{
    // The help and the version answer before the toolkit starts: they need no display.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    const kestrim::TCommandLine commandLine = kestrim::ParseCommandLine(args, QDir::currentPath());
    if (const std::optional<int> exitCode = kestrim::AnswerWithoutWindow(commandLine))
        return *exitCode;

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
    // Once the window is up, so that what cannot be opened is said in front of it.
    if (!commandLine.Files.isEmpty())
        QTimer::singleShot(0, &window, [&window, &commandLine] { window.OpenFiles(commandLine.Files); });
    return app.exec();
}
