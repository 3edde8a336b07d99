#pragma once

#include "ListBox.h"

#include <functional>

// A list box whose rows can be dragged onto another DragListBox (or another row of itself).
// Pressing the button on a row selects it; moving the pointer a few pixels with the button
// held starts a drag of that row. What a drop does is left to the owner's handlers: a drop is
// accepted only where the drag-over handler says so, and the list itself never inserts, moves
// or removes rows.
class DragListBox : public ListBox
{
    Q_OBJECT
public:
    // (target list, drag source, x, y, accept): x and y are in the list's client area.
    using DragOverHandler = std::function<void(QObject*, QObject*, int, int, bool&)>;
    // (target list, drag source, x, y).
    using DragDropHandler = std::function<void(QObject*, QObject*, int, int)>;

    explicit DragListBox(QWidget* parent = nullptr);

    void setOnDragOver(DragOverHandler handler) { m_onDragOver = std::move(handler); }
    void setOnDragDrop(DragDropHandler handler) { m_onDragDrop = std::move(handler); }

    // The MIME type of the drags these lists start; drags of any other kind are refused.
    static QString mimeType();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool accepts(QDropEvent* event) const;
    void notePress(QMouseEvent* event);

    DragOverHandler m_onDragOver;
    DragDropHandler m_onDragDrop;
    // Where the button went down on a row, until the drag starts or the button comes up.
    QPoint m_pressPos;
    bool m_pressedOnRow = false;
};
