#pragma once
// TMessageItemDelegate: draws the message list's items as the toolkit does, with what the list
// knows of each line: a line that continues a message is indented under its first line, the
// line that names the message's script line is drawn as a link, and a line that names a data
// line is followed by a link-like mark with that line's number. The texts stay as they came.

#include <QStyledItemDelegate>

namespace kestrim {

class TMessageItemDelegate : public QStyledItemDelegate {
public:
    // Item data the list sets: bool, bool, and the data line's number (none when invalid).
    static constexpr int ContinuationRole = Qt::UserRole + 1;
    static constexpr int ScriptPlaceRole = Qt::UserRole + 2;
    static constexpr int DataLineRole = Qt::UserRole + 3;

    using QStyledItemDelegate::QStyledItemDelegate;

    // The mark after a line that names data line Line.
    static QString DataLineMark(int Line);

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override;

private:
    static int Indent(const QStyleOptionViewItem& Option, const QModelIndex& Index);
    static int MarkGap(const QStyleOptionViewItem& Option);
};

} // namespace kestrim
