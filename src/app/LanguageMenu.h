#pragma once
// TLanguageMenu: the Settings menu's list of language configurations, so that switching needs
// no file dialog: every configuration in conf/ by its name, and the one loaded last when it lies
// elsewhere; the one in use is checked. The list is read again each time the menu opens.

#include <QMenu>

#include <functional>

namespace kestrim {

class TLanguageMenu : public QMenu {
    Q_OBJECT

public:
    // Current gives the configuration in use as the settings keep it (a bare name for conf/);
    // Load is called with the name to load, bare for conf/, the full name otherwise.
    TLanguageMenu(const QString& Title, std::function<QString()> Current, std::function<void(const QString&)> Load,
                  QWidget* Parent = nullptr);

    // Fills the menu from conf/ and the configuration in use.
    void Rebuild();

private:
    void AddConfiguration(const QString& Caption, const QString& Name, bool InUse);

    std::function<QString()> FCurrent;
    std::function<void(const QString&)> FLoad;
};

} // namespace kestrim
