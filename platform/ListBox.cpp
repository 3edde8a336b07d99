#include "ListBox.h"

#include "ListRowDelegate.h"

#include <QMouseEvent>

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new ListRowDelegate(kRowHeight, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
}

int ListBox::itemIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void ListBox::setItemIndex(int row)
{
    if (row < 0 || row >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(row));
}

QString ListBox::itemText(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->text() : QString();
}

void ListBox::userChanged(int rowBefore, bool always)
{
    const int now = itemIndex();
    if (now >= 0 && (always || now != rowBefore))
        emit Click();
}

void ListBox::mousePressEvent(QMouseEvent* event)
{
    const int before = itemIndex();
    QListWidget::mousePressEvent(event);
    const bool onRow = event->button() == Qt::LeftButton && itemAt(event->position().toPoint());
    if (onRow)
        userChanged(before, true);
}

void ListBox::mouseMoveEvent(QMouseEvent* event)
{
    const int before = itemIndex();
    QListWidget::mouseMoveEvent(event);
    if (event->buttons() & Qt::LeftButton)
        userChanged(before, false);
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = itemIndex();
    QListWidget::keyPressEvent(event);
    userChanged(before, false);
}
