#pragma once
// How the program's small dialogs look and where they appear.

class QDialog;
class QWidget;

namespace kestrim {

// The small dialogs' common form: the dialog font ("ＭＳ Ｐゴシック", 12 pixels) and a fixed
// client size.
void SetDialogForm(QDialog& Dialog, int ClientWidth, int ClientHeight);

// Moves Window so that its frame is centred in the primary screen's available area.
void CenterOnScreen(QWidget& Window);

} // namespace kestrim
