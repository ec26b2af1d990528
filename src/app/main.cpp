// Kestrim: a workbench for converting text data with a script.
#include "web/WebEngineSetup.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    kestrim::PrepareWebEngine();
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Kestrim");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
