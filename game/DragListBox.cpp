#include "DragListBox.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

DragListBox::DragListBox(QWidget* parent) : ListBox(parent)
{
    // The item view's own drag and drop would move rows; ours only reports to the handlers.
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

QString DragListBox::mimeType()
{
    return QStringLiteral("application/x-wenquell-game-row");
}

void DragListBox::notePress(QMouseEvent* event)
{
    m_pressPos = event->position().toPoint();
    m_pressedOnRow = event->button() == Qt::LeftButton && rowAt(m_pressPos) >= 0;
}

void DragListBox::mousePressEvent(QMouseEvent* event)
{
    ListBox::mousePressEvent(event);
    notePress(event);
}

void DragListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A row clicked and at once grabbed again comes as a double click; it can start a drag
    // like any press.
    ListBox::mouseDoubleClickEvent(event);
    notePress(event);
}

void DragListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressedOnRow || !(event->buttons() & Qt::LeftButton)) {
        m_pressedOnRow = false;
        ListBox::mouseMoveEvent(event);
        return;
    }
    // While the button is held on a row the selection stays on that row: the row is what a
    // drag will carry.
    const QPoint moved = event->position().toPoint() - m_pressPos;
    if (moved.manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressedOnRow = false;
    auto* mime = new QMimeData;
    mime->setData(mimeType(), QByteArray::number(itemIndex()));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void DragListBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressedOnRow = false;
    ListBox::mouseReleaseEvent(event);
}

bool DragListBox::accepts(QDropEvent* event) const
{
    if (!event->mimeData() || !event->mimeData()->hasFormat(mimeType()) || !m_onDragOver)
        return false;
    const QPoint pos = event->position().toPoint();
    bool accept = false;
    m_onDragOver(const_cast<DragListBox*>(this), event->source(), pos.x(), pos.y(), accept);
    return accept;
}

void DragListBox::dragEnterEvent(QDragEnterEvent* event)
{
    // Only our own rows are of interest. The enter is taken even where this spot refuses the
    // drop, so that the moves that follow are still asked about.
    if (!event->mimeData() || !event->mimeData()->hasFormat(mimeType())) {
        event->ignore();
        return;
    }
    event->setDropAction(accepts(event) ? Qt::MoveAction : Qt::IgnoreAction);
    event->accept();
}

void DragListBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (accepts(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DragListBox::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void DragListBox::dropEvent(QDropEvent* event)
{
    // Asked again: the pointer may not have moved since the enter.
    if (!accepts(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (m_onDragDrop) {
        const QPoint pos = event->position().toPoint();
        m_onDragDrop(this, event->source(), pos.x(), pos.y());
    }
}
