#pragma once
// What the embedded browser needs before the QApplication exists. Kept in the header, so that
// every program with a QApplication can call it without linking the Web page.

#include <QCoreApplication>

namespace kestrim {

// The browser renders through OpenGL contexts shared with the widgets; Qt must know that
// before the application object is created.
inline void PrepareWebEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace kestrim
