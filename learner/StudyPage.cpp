#include "StudyPage.h"

#include "LearnerFile.h"
#include "Panel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

int todaysRow(qint64 julianDay, int count)
{
    if (count <= 0)
        return -1;
    // A fixed mix of the day number (splitmix64's finaliser), so that neighbouring days land
    // far apart in the list, and the choice is the same on every machine.
    quint64 z = quint64(julianDay) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return int(z % quint64(count));
}

static QListWidget* newList(QWidget* parent, const QString& name)
{
    auto* list = new QListWidget(parent);
    list->setAccessibleName(name);
    list->setObjectName(name);
    return list;
}

StudyPage::StudyPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsStudy"));
    m_title = new Panel(this);
    m_title->setBevelOuter(Panel::Bevel::Raised);
    m_title->setColor(Panel::buttonFace());
    m_title->setCaption(QStringLiteral("成语学习"));
    QFont bold = font();
    bold.setBold(true);
    m_title->setFont(bold);

    todayCaption = new QLabel(QStringLiteral("今日成语"), this);
    today = new QPushButton(this);
    today->setObjectName(QStringLiteral("today"));
    today->setAccessibleName(QStringLiteral("今日成语"));
    today->setFlat(true);
    historyCaption = new QLabel(QStringLiteral("查阅记录"), this);
    historyList = newList(this, QStringLiteral("查阅记录"));
    bookCaption = new QLabel(QStringLiteral("生词本"), this);
    bookList = newList(this, QStringLiteral("生词本"));
    exportButton = new QPushButton(QStringLiteral("导出"), this);
    exportButton->setAccessibleName(QStringLiteral("导出生词本"));
    exportButton->setToolTip(QStringLiteral("把生词本导出为 Anki 可导入的文本文件"));
    importButton = new QPushButton(QStringLiteral("导入"), this);
    importButton->setAccessibleName(QStringLiteral("导入生词本"));
    importButton->setToolTip(QStringLiteral("从文本文件导入成语到生词本"));

    dueLabel = new QLabel(this);
    dueLabel->setObjectName(QStringLiteral("dueLabel"));
    reviewButton = new QPushButton(QStringLiteral("复习"), this);
    reviewButton->setAccessibleName(QStringLiteral("复习生词本"));

    auto* column = new QVBoxLayout;
    column->setContentsMargins(2, 25, 2, 2);
    column->setSpacing(2);
    column->addWidget(todayCaption);
    column->addWidget(today);
    column->addWidget(historyCaption);
    column->addWidget(historyList, 1);
    column->addWidget(bookCaption);
    column->addWidget(bookList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(exportButton);
    buttons->addWidget(importButton);
    column->addLayout(buttons);
    auto* review = new QHBoxLayout;
    review->addWidget(dueLabel, 1);
    review->addWidget(reviewButton);
    column->addLayout(review);
    setLayout(column);

    const auto chosen = [this](QListWidgetItem* item) {
        emit idiomChosen(item->text(), item->data(Qt::UserRole).toString());
    };
    connect(historyList, &QListWidget::itemClicked, this, chosen);
    connect(bookList, &QListWidget::itemClicked, this, chosen);
    connect(today, &QPushButton::clicked, this, [this] {
        if (!today->text().isEmpty())
            emit idiomChosen(today->text(), QString());
    });
    connect(exportButton, &QPushButton::clicked, this, &StudyPage::exportAsked);
    connect(importButton, &QPushButton::clicked, this, &StudyPage::importAsked);
    connect(reviewButton, &QPushButton::clicked, this, &StudyPage::reviewAsked);
}

void StudyPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_title->setGeometry(0, 0, width(), 21);
}

static void fill(QListWidget* list, const QList<IdiomKey>& keys)
{
    list->clear();
    for (const IdiomKey& key : keys) {
        auto* item = new QListWidgetItem(key.idiom, list);
        item->setData(Qt::UserRole, key.pinyin);
    }
}

void StudyPage::refresh(const LearnerFile* file, qint64 today)
{
    const bool usable = file && file->state() != LearnerFile::State::Closed &&
                        file->state() != LearnerFile::State::Unavailable;
    fill(historyList, usable ? file->history() : QList<IdiomKey>());
    fill(bookList, usable ? file->book() : QList<IdiomKey>());
    bookCaption->setText(usable ? QStringLiteral("生词本（%1）").arg(file->bookCount())
                                : QStringLiteral("生词本（不能保存）"));
    const bool writable = file && file->writable();
    importButton->setEnabled(writable);
    exportButton->setEnabled(usable && file->bookCount() > 0);
    const int due = usable ? file->dueCount(today) : 0;
    dueLabel->setText(QStringLiteral("待复习：%1").arg(due));
    reviewButton->setEnabled(writable && due > 0);
}

void StudyPage::setTodaysIdiom(const QString& idiom)
{
    today->setText(idiom);
}
