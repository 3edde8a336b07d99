#pragma once

#include "GameHost.h"

#include <QDialog>

class DbQuery;
class DragListBox;
class ListBox;
class QLabel;
class QPushButton;

// The idiom game window: ten idioms dealt at random, each with one character blanked out;
// the removed characters, shuffled, wait in a pool to be dragged into the answer column.
class TtTest : public QDialog
{
    Q_OBJECT
public:
    // `host` is the main window the game reports to and whose store it reads; a window made
    // without one cannot deal.
    explicit TtTest(const GameHost& host = {}, QWidget* parent = nullptr);
    ~TtTest() override;

    // Controls and components, in layout order.
    ListBox* LBCheng;     // the questions: ten idioms, one character blanked out of each
    QPushButton* bSub;    // "出题": deals ten new questions
    QPushButton* bCheck;  // "验证": checks the answers and shows the score
    QLabel* Label1;       // "分数："
    QLabel* Label2;       // the score
    QLabel* Label3;       // "分"
    DragListBox* LBFalse; // the removed characters, shuffled; after a check, the verdicts
    DragListBox* LBCheck; // the answers: a character dragged beside each question
    DbQuery* ADOQuery1;   // reads the questions and checks answers in the store

    // Event handlers.
    void bSubClick(QObject* Sender);
    void bCheckClick(QObject* Sender);
    void LBChengClick(QObject* Sender);
    void LBFalseDragOver(QObject* Sender, QObject* Source, int X, int Y, bool& Accept);
    void LBFalseDragDrop(QObject* Sender, QObject* Source, int X, int Y);
    void LBCheckDragOver(QObject* Sender, QObject* Source, int X, int Y, bool& Accept);
    void LBCheckDragDrop(QObject* Sender, QObject* Source, int X, int Y);

    // Centres the window on the host's main window (the whole windows, frames included).
    void centreOnMainWindow();

private:
    void createControls();
    void connectHandlers();
    void setScore(const QByteArray& text);
    void dragOver(DragListBox* self, DragListBox* partner, QObject* source, int x, int y,
                  bool& accept) const;
    void dragDrop(DragListBox* self, DragListBox* partner, QObject* source, int x, int y);

    GameHost m_host;
};

// The game window most recently created: the hidden one made at start-up, then the one the
// main window opens for each game; null once that one is destroyed.
extern TtTest* tTest;
