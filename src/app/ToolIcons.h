#pragma once
// Images of the tool buttons: the desktop theme's icon where there is one, otherwise the
// style's standard icon or a small picture drawn here.

#include <QIcon>

namespace kestrim {

enum class TToolIcon {
    New,
    Open,
    Save,
    Cut,
    Copy,
    Paste,
    Run,
    Stop,
    RunClipboard,
    LiveRun,
    LoadConfig,
    Clear,
    Back,
    Forward,
    Workbench,
};

QIcon ToolIcon(TToolIcon Icon);

} // namespace kestrim
