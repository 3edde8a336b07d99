#include "ListBox.h"

#include "ListRowDelegate.h"

#include <QMouseEvent>

int ListBoxRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ListBoxRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows.at(index.row());
    return {};
}

Qt::ItemFlags ListBoxRows::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void ListBoxRows::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ListBoxRows::append(const QStringList& rows)
{
    if (rows.isEmpty())
        return;
    if (m_rows.isEmpty()) {
        // Into an empty list a reset is cheaper than an insertion, and tells the view the same.
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.append(rows);
    endInsertRows();
}

void ListBoxRows::setText(int row, const QString& text)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row] = text;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

ListBox::ListBox(QWidget* parent) : QListView(parent)
{
    setModel(&m_rows);
    setItemDelegate(new ListRowDelegate(kRowHeight, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
}

void ListBox::clear()
{
    m_rows.clear();
}

void ListBox::addItem(const QString& text)
{
    m_rows.append(QStringList{text});
}

void ListBox::addItems(const QStringList& texts)
{
    m_rows.append(texts);
}

int ListBox::itemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setItemIndex(int row)
{
    if (row < 0 || row >= count()) {
        clearSelection();
        return;
    }
    const QModelIndex at = m_rows.index(row);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}

QString ListBox::itemText(int row) const
{
    return row >= 0 && row < count() ? m_rows.rows().at(row) : QString();
}

void ListBox::setItemText(int row, const QString& text)
{
    m_rows.setText(row, text);
}

int ListBox::rowAt(const QPoint& pos) const
{
    const QModelIndex at = indexAt(pos);
    return at.isValid() ? at.row() : -1;
}

QRect ListBox::rowRect(int row) const
{
    return row >= 0 && row < count() ? visualRect(m_rows.index(row)) : QRect();
}

void ListBox::scrollToRow(int row)
{
    if (row >= 0 && row < count())
        scrollTo(m_rows.index(row));
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
    if (event->button() != Qt::LeftButton) { // chooses nothing, see selectionCommand()
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
    if (rowAt(event->position().toPoint()) >= 0)
        userChanged(before, true);
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const
{
    // Only what raises Click may move the highlight, or the highlighted row and the entry on
    // show disagree: a press beside the rows leaves it, and Ctrl does not toggle it.
    const bool mouse = event && (event->type() == QEvent::MouseButtonPress ||
                                 event->type() == QEvent::MouseButtonRelease ||
                                 event->type() == QEvent::MouseMove);
    if (!mouse)
        return QListView::selectionCommand(index, event);
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const auto* press = static_cast<const QMouseEvent*>(event);
    if (!(press->modifiers() & Qt::ControlModifier))
        return QListView::selectionCommand(index, event);
    const QMouseEvent plain(press->type(), press->position(), press->globalPosition(),
                            press->button(), press->buttons(),
                            press->modifiers() & ~Qt::ControlModifier);
    return QListView::selectionCommand(index, &plain);
}

void ListBox::mouseMoveEvent(QMouseEvent* event)
{
    const int before = itemIndex();
    QListView::mouseMoveEvent(event);
    if (event->buttons() & Qt::LeftButton)
        userChanged(before, false);
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = itemIndex();
    QListView::keyPressEvent(event);
    userChanged(before, false);
}
