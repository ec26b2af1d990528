#pragma once
// Where the program's small dialogs appear.

class QWidget;

namespace kestrim {

// Moves Window so that its frame is centred in the primary screen's available area.
void CenterOnScreen(QWidget& Window);

} // namespace kestrim
