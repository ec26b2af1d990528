#pragma once
// TEditorPaintView: what the painter reads of the editor it paints. Nothing here changes the
// editor; the painter draws on the viewport and asks it to repaint parts, nothing more.

#include "editor/base/edGraphics.h"
#include "editor/control/EditorMetrics.h"
#include "editor/control/EditorOptions.h"
#include "editor/text/edStringList.h"

#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <functional>
#include <string>

class QFont;
class QWidget;

namespace kestrim {

class TChangeMarks;
class TEditModel;
class TEditorScreenStrings;
class TFountain;

// Fired after a row piece is drawn: the row's text as painted, x of column 0, the row's top,
// its index, the piece, and whether it was drawn in the selection colours.
using TDrawLineEvent = std::function<void(const std::string& LineStr, int X, int Y, int Index, const QRect& ARect,
                                          bool Selected)>;

class TEditorPaintView {
public:
    virtual QWidget& Viewport() const = 0;
    virtual const TEditorScreenStrings& Strings() const = 0;
    // The caret and the selection.
    virtual const TEditModel& Model() const = 0;
    // The definition rows are parsed and painted with, and the state Row starts in (which may
    // parse the rows above it and keep their states).
    virtual TFountain& Fountain() const = 0;
    virtual TRowAttributeData RowStartState(int Row) const = 0;
    virtual const TEditorMetrics& Metrics() const = 0;
    virtual int TopRow() const = 0;
    virtual int TopCol() const = 0;
    virtual const QFont& Font() const = 0;
    // The background of the text and the default colour of its glyphs.
    virtual TColor Color() const = 0;
    virtual TColor FontColor() const = 0;
    virtual const TEditorViewInfo& View() const = 0;
    virtual const TEditorMarks& Marks() const = 0;
    virtual const TEditorMargin& Margin() const = 0;
    virtual const TEditorRuler& Ruler() const = 0;
    virtual const TEditorLeftbar& Leftbar() const = 0;
    virtual const TEditorImagebar& Imagebar() const = 0;
    virtual const QList<QPixmap>& ImageDigits() const = 0;
    virtual const QList<QPixmap>& ImageMarks() const = 0;
    virtual const TDrawLineEvent& DrawLineEvent() const = 0;
    // The input method's text being composed at the caret.
    virtual const QString& Preedit() const = 0;
    // Whether the caret is to be drawn now (focus, blink phase, no caret bracket), and where.
    virtual bool CaretVisible() const = 0;
    virtual QRect CaretRect() const = 0;
    // Whether the caret row's underline may be drawn (no caret row change under way).
    virtual bool UnderlineShown() const = 0;
    // How the text differs from another, or nullptr; and the colours that shows in.
    virtual const TChangeMarks* ChangeMarks() const = 0;
    virtual const TEditorChangeColors& ChangeColors() const = 0;

protected:
    ~TEditorPaintView() = default;
};

} // namespace kestrim
