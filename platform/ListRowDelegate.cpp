#include "ListRowDelegate.h"

#include <QApplication>
#include <QPainter>

static constexpr int kTextIndent = 2;

ListRowDelegate::ListRowDelegate(int rowHeight, QObject* parent)
    : QStyledItemDelegate(parent), m_rowHeight(rowHeight)
{}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& pal = option.palette;
    painter->save();
    painter->fillRect(option.rect, pal.color(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QRect textRect = option.rect.adjusted(kTextIndent, 0, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = pal.color(selected ? QPalette::Highlight : QPalette::Base);
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
}

QSize ListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_rowHeight);
}
