#pragma once
// Driving modal windows from widget tests: a modal window runs its own event loop, so the test
// acts on it from a timer that fires inside that loop.

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kestrim::test {

// Runs Show, which opens a modal window of type T; once it is up, Drive works on it and must
// close it. A different modal window, or none, is a test failure; a different one is closed.
template <typename T>
void DriveModal(const std::function<void()>& Show, const std::function<void(T&)>& Drive)
{
    bool driven = false;
    // A timer of this scope: it cannot fire later into another test's window.
    QTimer driver;
    driver.setSingleShot(true);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        driven = true;
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* window = qobject_cast<T*>(modal)) {
            Drive(*window);
            return;
        }
        ADD_FAILURE() << "another modal window came up";
        if (modal != nullptr)
            modal->close();
    });
    driver.start(0);
    Show();
    if (!driven)
        ADD_FAILURE() << "no modal window came up";
}

// The message box that comes up while Action runs, closed with OK.
struct TShownBox {
    bool Shown = false;
    QString Title;
    QString Text;
};

// Runs Action and closes the message box it brings up, if any: with OK, or by pressing Key
// in it as the user does.
inline TShownBox CloseMessageBoxDuring(const std::function<void()>& Action, int Key = 0)
{
    TShownBox box;
    QTimer closer;
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = {true, shown->windowTitle(), shown->text()};
            if (Key != 0)
                QTest::keyClick(shown, static_cast<Qt::Key>(Key));
            else
                shown->accept();
        }
    });
    closer.start(0);
    Action();
    return box;
}

} // namespace kestrim::test
