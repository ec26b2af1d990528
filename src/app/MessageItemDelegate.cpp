#include "app/MessageItemDelegate.h"

#include <QApplication>
#include <QPainter>

namespace kestrim {

QString TMessageItemDelegate::DataLineMark(int Line)
{
    return QStringLiteral("データ %1 行目").arg(Line);
}

int TMessageItemDelegate::Indent(const QStyleOptionViewItem& Option, const QModelIndex& Index)
{
    return Index.data(ContinuationRole).toBool() ? 2 * Option.fontMetrics.averageCharWidth() : 0;
}

int TMessageItemDelegate::MarkGap(const QStyleOptionViewItem& Option)
{
    return 2 * Option.fontMetrics.averageCharWidth();
}

void TMessageItemDelegate::initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const
{
    QStyledItemDelegate::initStyleOption(Option, Index);
    if (Index.data(ScriptPlaceRole).toBool()) {
        Option->font.setUnderline(true);
        Option->palette.setColor(QPalette::Text, Option->palette.color(QPalette::Link));
    }
}

void TMessageItemDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    QStyleOptionViewItem option(Option);
    option.rect.setLeft(option.rect.left() + Indent(Option, Index));
    QStyledItemDelegate::paint(Painter, option, Index);
    const QVariant dataLine = Index.data(DataLineRole);
    if (!dataLine.isValid())
        return;
    initStyleOption(&option, Index);
    const QWidget* widget = option.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
    const QFontMetrics metrics(option.font);
    QFont markFont = option.font;
    markFont.setUnderline(true);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    Painter->save();
    Painter->setFont(markFont);
    Painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Link));
    const QRect markRect(textRect.left() + metrics.horizontalAdvance(option.text) + MarkGap(option), textRect.top(),
                         QFontMetrics(markFont).horizontalAdvance(DataLineMark(dataLine.toInt())) + 1,
                         textRect.height());
    Painter->drawText(markRect, Qt::AlignLeft | Qt::AlignVCenter, DataLineMark(dataLine.toInt()));
    Painter->restore();
}

QSize TMessageItemDelegate::sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    QSize size = QStyledItemDelegate::sizeHint(Option, Index);
    size.rwidth() += Indent(Option, Index);
    const QVariant dataLine = Index.data(DataLineRole);
    if (dataLine.isValid())
        size.rwidth() += MarkGap(Option) + Option.fontMetrics.horizontalAdvance(DataLineMark(dataLine.toInt()));
    return size;
}

} // namespace kestrim
