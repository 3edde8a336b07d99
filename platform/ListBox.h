#pragma once

#include <QListWidget>

// A single-selection list box with 22-pixel rows. Click is raised when the user chooses a row
// by mouse or keyboard (also a click on the row already chosen); choosing a row from code
// raises nothing.
class ListBox : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 22;

    explicit ListBox(QWidget* parent = nullptr);

    // Index of the selected row, -1 when none.
    int itemIndex() const;
    // Selects a row from code (-1 clears), scrolling it into view. Raises no Click.
    void setItemIndex(int row);
    // Text of a row; an empty string for a row that does not exist.
    QString itemText(int row) const;

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void userChanged(int rowBefore, bool always);
};
