#pragma once

#include <QString>
#include <QWidget>

class LearnerFile;
class Panel;
class QLabel;
class QListWidget;
class QPushButton;

// The left column's learner page: today's idiom, the history and the word book, each row
// showing its entry when clicked. It only shows what the learner's file holds; the main
// window does the looking up.
class StudyPage : public QWidget
{
    Q_OBJECT
public:
    explicit StudyPage(QWidget* parent = nullptr);

    // Fills the lists from the file (null or unavailable: empty, and says so).
    void refresh(const LearnerFile* file, qint64 today = 0);
    void setTodaysIdiom(const QString& idiom);

    QLabel* todayCaption;
    QPushButton* today;
    QLabel* historyCaption;
    QListWidget* historyList;
    QLabel* bookCaption;
    QListWidget* bookList;
    QPushButton* exportButton;
    QPushButton* importButton;
    QLabel* dueLabel;
    QPushButton* reviewButton;

signals:
    void idiomChosen(const QString& idiom, const QString& pinyin);
    void exportAsked();
    void importAsked();
    void reviewAsked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Panel* m_title;
};

// A stable pick per day: the same date gives the same row of `count`, every run.
int todaysRow(qint64 julianDay, int count);
