#pragma once
// TAboutDialog: shows the About window on request. The main window keeps one instance with
// its title, version and copyright, and calls Execute from the Help menu.

#include <QObject>
#include <QString>

namespace kestrim {

class TAboutDialog : public QObject {
    Q_OBJECT

public:
    explicit TAboutDialog(QObject* Parent = nullptr);

    // Window title; empty keeps the window's own title.
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value) { FCaption = Value; }
    // First line; empty shows the application's title.
    QString Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    QString Version() const { return FVersion; }
    void SetVersion(const QString& Value) { FVersion = Value; }
    // Holder and years of the copyright, for the third line.
    QString Copyright() const { return FCopyright; }
    void SetCopyright(const QString& Value) { FCopyright = Value; }
    QString Year() const { return FYear; }
    void SetYear(const QString& Value) { FYear = Value; }

    // Shows the window modally; true when it was closed with the OK button.
    bool Execute();

private:
    QString FCaption;
    QString FTitle;
    QString FVersion;
    QString FCopyright;
    QString FYear;
};

} // namespace kestrim
