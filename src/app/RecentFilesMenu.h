#pragma once
// TRecentFilesMenu: the File menu's list of the files opened or saved last, newest first, each
// by its name and what it opens as ("&1 a.pl (スクリプト)"), its full name as the status tip,
// and "一覧を消去(&C)" at the end. Disabled while the list is empty.

#include "settings/RecentFiles.h"

#include <QMenu>

#include <functional>
#include <vector>

namespace kestrim {

class TRecentFilesMenu : public QMenu {
    Q_OBJECT

public:
    // Open is called with the chosen entry, Clear by "一覧を消去(&C)".
    TRecentFilesMenu(std::function<void(const TRecentFile&)> Open, std::function<void()> Clear,
                     QWidget* Parent = nullptr);

    // Lists Files.
    void Show(const std::vector<TRecentFile>& Files);

private:
    std::function<void(const TRecentFile&)> FOpen;
    std::function<void()> FClear;
};

} // namespace kestrim
