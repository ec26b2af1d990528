#pragma once
// What the embedded browser needs before the QApplication exists. Kept in the header, so that
// every program with a QApplication can call it without linking the Web page.

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace kestrim {

// The browser's sandbox refuses to run for the root user (common in containers) and would end the
// whole program at the first page: there it is switched off, which the user is told once, unless
// the environment already decides. The OpenGL context that the engine shares is made when the
// browser module makes its first view: asked for here, the toolkit would set up OpenGL at start
// for a page that may never be shown.
inline void PrepareWebEngine()
{
    static constexpr char SandboxSwitch[] = "QTWEBENGINE_DISABLE_SANDBOX";
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet(SandboxSwitch)) {
        qputenv(SandboxSwitch, "1");
        std::fputs("kestrim: root で実行しているため、Web ページのブラウザーのサンドボックスを無効にしました。\n", stderr);
    }
}

} // namespace kestrim
