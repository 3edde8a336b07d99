#pragma once

#include <QStyledItemDelegate>

// Rows of the program's lists: a fixed height, the text on one line, vertically centred,
// 2 pixels in from the left edge; the selected row in the highlight colours; a focus
// rectangle around the current row while the list has focus.
class ListRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ListRowDelegate(int rowHeight, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_rowHeight;
};
