#pragma once
// The status bar's encoding panel: the visible page's encoding and line ends. A click on it, or
// its context menu, offers the page's encoding commands.

#include <QLabel>

class QMenu;

namespace kestrim {

class TEncodingPanel : public QLabel {
public:
    // Menu holds the commands; it outlives the panel.
    explicit TEncodingPanel(QMenu& Menu, QWidget* Parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;

private:
    QMenu& FMenu;
};

} // namespace kestrim
