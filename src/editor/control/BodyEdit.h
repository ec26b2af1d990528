#pragma once
// The widget inside the editor's provisional body: a plain text widget that reports the
// events the application watches, keeps text that enters it within Shift-JIS (saying so in the
// window's status bar when characters turn into "?"), leaves the mouse wheel and the context
// menu to the editor's owner, and draws the line-end marks.

#include <QPlainTextEdit>

#include <functional>

namespace kestrim {

class TBodyEdit : public QPlainTextEdit {
public:
    explicit TBodyEdit(QWidget* Parent);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(int Key, Qt::KeyboardModifiers Modifiers)> OnKeyUp;
    std::function<void(Qt::MouseButton Button)> OnMouseUp;

    // The marks to draw; the owner keeps them in step with its mark options.
    struct TMarkStyle {
        bool Visible = false;
        QColor Color;
    };
    TMarkStyle RetMark;
    TMarkStyle EofMark;
    TMarkStyle Underline;

    // Columns between tab stops.
    static constexpr int TabWidth() { return 8; }
    // Keeps the tab stops at TabWidth columns of the current font.
    void UpdateTabStops();
    // The display width of one column: the width of a digit.
    int ColumnWidth() const;
    // The first pixel row of the viewport below the last row of the text.
    int TextBottom() const;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;
    void insertFromMimeData(const QMimeData* Source) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    // What becomes of Text in the editor: characters that Shift-JIS cannot hold turn into "?".
    QString WithinShiftJis(const QString& Text);
    void PaintLineEndMarks(QPainter& Painter);
    void PaintCaretUnderline(QPainter& Painter);

    bool FClickPending = false;
};

} // namespace kestrim
