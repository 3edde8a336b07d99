#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

// The rows of a ListBox: plain strings, nothing kept per row beyond its text, so that filling
// a list with the whole store is one copy of a string list.
class ListBoxRows : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const QStringList& rows() const { return m_rows; }
    void clear();
    void append(const QStringList& rows);
    void setText(int row, const QString& text);

private:
    QStringList m_rows;
};

// A single-selection list box with 22-pixel rows. Click is raised when the user chooses a row
// by mouse or keyboard (also a click on the row already chosen); choosing a row from code
// raises nothing.
class ListBox : public QListView
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 22;

    explicit ListBox(QWidget* parent = nullptr);

    int count() const { return int(m_rows.rows().size()); }
    // Every row's text, in order.
    const QStringList& items() const { return m_rows.rows(); }
    void clear();
    void addItem(const QString& text);
    void addItems(const QStringList& texts);

    // Index of the selected row, -1 when none.
    int itemIndex() const;
    // Selects a row from code (-1 clears), scrolling it into view. Raises no Click.
    void setItemIndex(int row);
    // Text of a row; an empty string for a row that does not exist.
    QString itemText(int row) const;
    // Changes the text of an existing row; nothing for a row that does not exist.
    void setItemText(int row, const QString& text);

    // Row under a point of the viewport, -1 where there is none.
    int rowAt(const QPoint& pos) const;
    // Where a row is drawn, in viewport coordinates; empty for a row that does not exist.
    QRect rowRect(int row) const;
    void scrollToRow(int row);

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void userChanged(int rowBefore, bool always);

    ListBoxRows m_rows;
};
