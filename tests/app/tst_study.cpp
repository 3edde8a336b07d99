// The learner's memory in the main window: the page, the word-book button and menu item,
// the history, and the idiom store left as it was.

#include "ImgButton.h"
#include "ListBox.h"
#include "MainWindowFixture.h"
#include "ReviewDialog.h"
#include "StudyPage.h"
#include "TestSupport.h"
#include "WindowTestMain.h"
#include "uFrmMain.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

// Pixels of the word-book mark's red, filled only while the idiom is in the book.
static int redPixels(QWidget* w)
{
    const QImage img = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 170 && c.green() < 110 && c.blue() < 90;
        }
    return n;
}

static QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

class TestStudy : public QObject
{
    Q_OBJECT
private:
    MainWindowFixture m_fixture;
    TFrmMain* m_w = nullptr;
    QTemporaryDir m_data;

    void show(int row)
    {
        m_w->ListBox1->setItemIndex(row);
        m_w->ListBox1Click(m_w->ListBox1);
    }

private slots:
    void init()
    {
        qputenv("WENQUELL_LEARNER_FILE", QFile::encodeName(m_data.filePath("learner.db")));
        QVERIFY(m_fixture.open());
        m_w = m_fixture.window();
        // Opened after the first paint, not in the constructor.
        QTRY_VERIFY_WITH_TIMEOUT(m_w->learner() != nullptr, 30000);
    }
    void cleanup()
    {
        m_fixture.close();
        QFile::remove(m_data.filePath("learner.db"));
        QFile::remove(m_data.filePath("learner.db-wal"));
        QFile::remove(m_data.filePath("learner.db-shm"));
    }

    void theDefinedControlsKeepTheirPlacesAndTheNewOnesAreAdded()
    {
        QCOMPARE(m_w->btnList->geometry(), QRect(-2, 31, 39, 34));
        QCOMPARE(m_w->btnSearch->geometry(), QRect(2, 77, 36, 40));
        QCOMPARE(m_w->ImgStest->geometry(), QRect(2, 123, 36, 40));
        QCOMPARE(m_w->btnStudy->geometry(), QRect(-2, 169, 39, 34));
        QCOMPARE(m_w->btnStudy->accessibleName(), QStringLiteral("成语学习"));
        const QList<QAction*> menu = m_w->PopupMenu1->actions();
        QCOMPARE(menu.size(), 3);
        QCOMPARE(menu[0]->text(), QStringLiteral("全选"));
        QCOMPARE(menu[1]->text(), QStringLiteral("复制"));
        QCOMPARE(menu[2], m_w->N3);
        QCOMPARE(m_w->N3->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        QCOMPARE(m_w->pgMain->count(), 3);
        QTest::mouseClick(m_w->btnStudy, Qt::LeftButton, {}, QPoint(18, 16));
        QCOMPARE(m_w->pgMain->currentIndex(), 2);
        QVERIFY(m_w->btnStudy->Checked());
        QVERIFY(!m_w->btnList->Checked());
        QTest::mouseClick(m_w->btnList, Qt::LeftButton, {}, QPoint(18, 16));
        QCOMPARE(m_w->pgMain->currentIndex(), 0);
        QVERIFY(!m_w->btnStudy->Checked());
    }

    void theBookButtonAndItsMenuItem_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<int>("presses");
        QTest::newRow("nothing pressed") << u"button"_qs << 0;
        QTest::newRow("button once: in the book") << u"button"_qs << 1;
        QTest::newRow("button twice: out again") << u"button"_qs << 2;
        QTest::newRow("shortcut once") << u"shortcut"_qs << 1;
        QTest::newRow("menu item once") << u"menu"_qs << 1;
        QTest::newRow("menu item, then button") << u"menu+button"_qs << 2;
    }
    void theBookButtonAndItsMenuItem()
    {
        QFETCH(QString, via);
        QFETCH(int, presses);
        QVERIFY(!m_w->bBook->isEnabled()); // nothing shown yet
        show(1);
        QVERIFY(m_w->bBook->isEnabled());
        const int hollow = redPixels(m_w->bBook);
        for (int i = 0; i < presses; ++i) {
            if (via == u"button" || (via == u"menu+button" && i == 1))
                QTest::mouseClick(m_w->bBook, Qt::LeftButton);
            else if (via == u"shortcut")
                QTest::keyClick(m_w->ListBox1, Qt::Key_B, Qt::ControlModifier);
            else
                m_w->N3->trigger();
        }
        const bool in = presses % 2 == 1;
        QCOMPARE(m_w->learner()->inBook(m_w->shownIdiom()), in);
        const QString name = in ? QStringLiteral("移出生词本") : QStringLiteral("加入生词本");
        QCOMPARE(m_w->bBook->accessibleName(), name);
        QCOMPARE(m_w->N3->text(), name);
        if (in)
            QVERIFY2(redPixels(m_w->bBook) > hollow + 20,
                     qPrintable(QString::number(redPixels(m_w->bBook))));
        else
            QCOMPARE(redPixels(m_w->bBook), hollow);
        QCOMPARE(texts(m_w->tsStudy->bookList),
                 in ? QStringList{m_w->shownIdiom().idiom} : QStringList{});
        // Another idiom shows its own state.
        show(2);
        QCOMPARE(m_w->bBook->accessibleName(), QStringLiteral("加入生词本"));
    }

    void everyEntryShownGoesToTheTopOfTheHistoryOnce()
    {
        const QString a = m_w->ListBox1->itemText(0);
        const QString b = m_w->ListBox1->itemText(3);
        show(0);
        show(3);
        show(0);
        QCOMPARE(texts(m_w->tsStudy->historyList), (QStringList{a, b}));
        // A row of the history shows its entry, and goes to the top.
        QListWidget* history = m_w->tsStudy->historyList;
        QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                          history->visualItemRect(history->item(1)).center());
        QCOMPARE(m_w->shownIdiom().idiom, b);
        QCOMPARE(texts(m_w->tsStudy->historyList), (QStringList{b, a}));
    }

    void aReviewSessionOverTheBook()
    {
        show(0);
        m_w->bBookClick(m_w->bBook);
        const IdiomKey first = m_w->shownIdiom();
        show(2);
        m_w->bBookClick(m_w->bBook);
        const IdiomKey second = m_w->shownIdiom();
        QCOMPARE(m_w->tsStudy->dueLabel->text(), QStringLiteral("待复习：2"));
        QVERIFY(m_w->tsStudy->reviewButton->isEnabled());

        const qint64 day = 20454;
        ReviewDialog review(m_w->learner(), day,
                            [this](const IdiomKey& key) { return m_w->explanationOf(key); });
        review.show();
        QVERIFY(QTest::qWaitForWindowExposed(&review));
        QCOMPARE(review.prompt->text(), first.idiom);
        QCOMPARE(review.dueLabel->text(), QStringLiteral("待复习：2"));
        for (QPushButton* b : review.ratingButtons)
            QVERIFY(!b->isEnabled());
        QTest::mouseClick(review.revealButton, Qt::LeftButton);
        QCOMPARE(review.explanation->text(), m_w->explanationOf(first));
        QVERIFY(!review.explanation->text().isEmpty());
        // The card as the learner sees it, for the screenshots.
        QDir().mkpath(QStringLiteral(WQ_SCREENSHOT_DIR));
        QVERIFY(review.grab().save(QStringLiteral(WQ_SCREENSHOT_DIR "/9-review-card.png")));
        QTest::mouseClick(review.ratingButtons[2], Qt::LeftButton); // 良好
        QCOMPARE(review.prompt->text(), second.idiom);
        QCOMPARE(review.dueLabel->text(), QStringLiteral("待复习：1"));
        review.reveal();
        review.answer(Fsrs::Rating::Again);
        QCOMPARE(review.prompt->text(), QStringLiteral("今天的复习已完成"));
        QVERIFY(!review.revealButton->isEnabled());
        QCOMPARE(m_w->learner()->reviewCount(), 2);
        // Again: back the next day; good: not before three days.
        QCOMPARE(m_w->learner()->dueCount(day + 1), 1);
        QCOMPARE(m_w->learner()->dueCount(day + 3), 2);
    }

    void theIdiomStoreIsNeverWritten()
    {
        const QByteArray before = fileBytes(m_fixture.dir()->databasePath());
        for (int row = 0; row < 4; ++row) {
            show(row);
            m_w->bBookClick(m_w->bBook);
        }
        QCOMPARE(m_w->learner()->bookCount(), 4);
        m_fixture.closeWindow();
        QCOMPARE(fileBytes(m_fixture.dir()->databasePath()), before);
        QVERIFY(!QFileInfo::exists(m_fixture.dir()->databasePath() + u"-wal"_qs));
    }

    void anUnwritableFolderIsToldOnceAndTheDictionaryWorks()
    {
        m_fixture.closeWindow();
        QFile blocker(m_data.filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("WENQUELL_LEARNER_FILE", QFile::encodeName(m_data.filePath("blocked/learner.db")));
        m_fixture.dialogs()->clear();
        QVERIFY(m_fixture.openWindow());
        m_w = m_fixture.window();
        QTRY_VERIFY_WITH_TIMEOUT(m_w->learner() != nullptr, 30000);
        QCOMPARE(m_fixture.dialogs()->shown().size(), 1);
        QCOMPARE(m_fixture.dialogs()->shown()[0].caption, QStringLiteral("提示"));
        QVERIFY(m_fixture.dialogs()->shown()[0].text.startsWith(u"无法写入学习记录的文件夹"_qs));
        show(1);
        QVERIFY(!m_w->shownIdiom().idiom.isEmpty());
        QVERIFY(!m_w->bBook->isEnabled());
        QVERIFY(!m_w->N3->isEnabled());
        QCOMPARE(m_w->tsStudy->bookCaption->text(), QStringLiteral("生词本（不能保存）"));
        QCOMPARE(m_fixture.dialogs()->shown().size(), 1);
        QFile::remove(m_data.filePath("blocked"));
    }
};

WQ_WINDOW_TEST_MAIN(TestStudy)
#include "tst_study.moc"
