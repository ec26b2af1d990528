#include "editor/control/EditorPaint.h"

#include "editor/control/EditorControl.h"
#include "editor/control/QtColors.h"
#include "editor/control/SjisQString.h"

#include <QPainter>

namespace kestrim {

struct TEditorPainter::TPrepared {};

TEditorPainter::TEditorPainter(TEditor& Editor) : FEditor(Editor), FPrepared(std::make_unique<TPrepared>()) {}

TEditorPainter::~TEditorPainter() = default;

void TEditorPainter::Paint(const QRegion& Region)
{
    TEditor& e = FEditor;
    QPainter painter(e.viewport());
    painter.setClipRegion(Region);
    painter.fillRect(Region.boundingRect(), ToQColor(e.FColor, Qt::white));
    painter.setFont(e.FFont);
    const TEditorMetrics& m = e.FMetrics;
    for (int row = e.FTopRow; row <= e.FTopRow + m.VisibleRowCount && row < e.FStrings->Count(); ++row) {
        const std::string text = ExpandTabs(e.FStrings->Str(row), e.FStrings->LayoutSettings(), e.FStrings->WordWrap(),
                                            e.FStrings->WrapOption().WrapByte());
        painter.setPen(ToQColor(e.FFontColor, Qt::black));
        painter.drawText(e.ColLeft(0), e.RowTop(row) + m.Ascent, SjisToQString(text));
    }
    if (e.hasFocus() && e.FCaretLockCount == 0 && e.FCaretBlinkOn) {
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(e.CaretRect(), Qt::white);
    }
}

void TEditorPainter::OptionsChanged() {}

void TEditorPainter::CaretColumnChanged(int /*OldCol*/) {}

void TEditorPainter::TopColChanged() {}

void TEditorPainter::ScrollRowsBelow(int /*Row*/, int /*Delta*/)
{
    FEditor.viewport()->update();
}

} // namespace kestrim
