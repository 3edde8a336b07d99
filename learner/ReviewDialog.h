#pragma once

#include "LearnerFile.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

// The review session over the word book: one card at a time (the idiom; its explanation
// revealed on request), answered 重来 / 困难 / 良好 / 简单, until nothing is due today.
class ReviewDialog : public QDialog
{
    Q_OBJECT
public:
    using Explain = std::function<QString(const IdiomKey&)>;
    ReviewDialog(LearnerFile* file, qint64 today, Explain explain, QWidget* parent = nullptr);

    void reveal();
    void answer(Fsrs::Rating rating);

    QLabel* dueLabel;
    QLabel* prompt;
    QLabel* explanation;
    QPushButton* revealButton;
    QPushButton* ratingButtons[4];

private:
    void showNext();

    LearnerFile* m_file;
    qint64 m_today;
    Explain m_explain;
    std::optional<LearnerFile::DueCard> m_card;
};
