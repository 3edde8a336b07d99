#include "ReviewDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ReviewDialog::ReviewDialog(LearnerFile* file, qint64 today, Explain explain, QWidget* parent)
    : QDialog(parent), m_file(file), m_today(today), m_explain(std::move(explain))
{
    setObjectName(QStringLiteral("ReviewDialog"));
    setWindowTitle(QStringLiteral("复习生词本"));
    resize(420, 300);
    dueLabel = new QLabel(this);
    prompt = new QLabel(this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setAlignment(Qt::AlignCenter);
    QFont big = prompt->font();
    big.setPixelSize(32);
    prompt->setFont(big);
    explanation = new QLabel(this);
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    revealButton = new QPushButton(QStringLiteral("显示释义"), this);
    revealButton->setAccessibleName(QStringLiteral("显示释义"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(dueLabel);
    column->addWidget(prompt);
    column->addWidget(explanation, 1);
    column->addWidget(revealButton);
    auto* row = new QHBoxLayout;
    const QString names[4] = {QStringLiteral("重来"), QStringLiteral("困难"),
                              QStringLiteral("良好"), QStringLiteral("简单")};
    for (int i = 0; i < 4; ++i) {
        ratingButtons[i] = new QPushButton(names[i], this);
        ratingButtons[i]->setAccessibleName(names[i]);
        row->addWidget(ratingButtons[i]);
        connect(ratingButtons[i], &QPushButton::clicked, this,
                [this, i] { answer(Fsrs::Rating(i + 1)); });
    }
    column->addLayout(row);
    connect(revealButton, &QPushButton::clicked, this, &ReviewDialog::reveal);
    showNext();
}

void ReviewDialog::showNext()
{
    m_card = m_file ? m_file->nextCard(m_today) : std::nullopt;
    const int due = m_file ? m_file->dueCount(m_today) : 0;
    dueLabel->setText(QStringLiteral("待复习：%1").arg(due));
    prompt->setText(m_card ? m_card->key.idiom : QStringLiteral("今天的复习已完成"));
    explanation->clear();
    revealButton->setEnabled(bool(m_card));
    for (QPushButton* b : ratingButtons)
        b->setEnabled(false);
}

void ReviewDialog::reveal()
{
    if (!m_card)
        return;
    explanation->setText(m_explain ? m_explain(m_card->key) : QString());
    revealButton->setEnabled(false);
    for (QPushButton* b : ratingButtons)
        b->setEnabled(m_file->writable());
}

void ReviewDialog::answer(Fsrs::Rating rating)
{
    if (!m_card || !m_file->rate(*m_card, rating, m_today))
        return;
    showNext();
}
