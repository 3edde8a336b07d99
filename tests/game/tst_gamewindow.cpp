#include "AnswerKey.h"
#include "BrowserEngine.h"
#include "DragListBox.h"
#include "GameRules.h"
#include "Gbk.h"
#include "ImgButton.h"
#include "ListBox.h"
#include "MainWindowFixture.h"
#include "Panel.h"
#include "RichEdit.h"
#include "TestSupport.h"
#include "WindowTestMain.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sqlite3.h>

static QStringList texts(const ListBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->itemText(i));
    return out;
}

static void setTexts(ListBox* list, const QStringList& rows)
{
    list->clear();
    list->addItems(rows);
}

static QString keyOf(int row)
{
    return Gbk::toUnicode(AnswerKey::entry(row));
}

static QString completed(const QString& question, const QString& answer)
{
    return Gbk::toUnicode(
        GameRules::complete(Gbk::fromUnicode(question), Gbk::fromUnicode(answer)));
}

static QPoint rowCentre(const ListBox* list, int row)
{
    if (row < 0) // the empty area below the last row
        return QPoint(5, list->viewport()->height() - 3);
    return list->rowRect(row).center();
}

// A copy of a fixture store changed by one statement.
static QString changedStore(const QTemporaryDir& dir, const QString& from, const char* sql)
{
    const QString path = dir.path() + QStringLiteral("/changed.db");
    QFile::remove(path);
    QFile::copy(from, path);
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? path : QString();
}

// The main window on a fixture store, and a game window wired to it as the game button does.
struct Game
{
    MainWindowFixture fixture;
    TFrmMain& main;
    DialogRecorder& dialogs;
    int entriesShown = 0;
    std::unique_ptr<TtTest> w;

    explicit Game(const QString& store) : main(fixture.make(store)), dialogs(*fixture.dialogs())
    {
        GameHost host;
        host.mainWindow = &main;
        host.connection = main.ADOConnection1;
        host.idiomList = main.ListBox1;
        host.showIdiomListPage = [this] { main.btnListClick(main.btnList); };
        host.showSelectedIdiom = [this] {
            ++entriesShown;
            main.ListBox1Click(main.ListBox1);
        };
        w = std::make_unique<TtTest>(host);
    }
    QStringList store() const { return texts(main.ListBox1); }
    QStringList keys() const
    {
        QStringList out;
        for (int i = 0; i < w->LBCheng->count(); ++i)
            out.append(keyOf(i));
        return out;
    }
    // Puts each row's removed character into its answer slot, from the pool, as a player
    // who knows every answer would.
    void answerAll()
    {
        const int rows = w->LBCheck->count();
        for (int i = 0; i < rows; ++i) {
            const int from = texts(w->LBFalse).indexOf(keyOf(i));
            QVERIFY(from >= 0);
            w->LBFalse->setItemIndex(from);
            const QPoint at = rowCentre(w->LBCheck, i);
            bool accept = false;
            w->LBCheckDragOver(w->LBCheck, w->LBFalse, at.x(), at.y(), accept);
            QVERIFY(accept);
            w->LBCheckDragDrop(w->LBCheck, w->LBFalse, at.x(), at.y());
        }
    }
};

class TestGameWindow : public QObject
{
    Q_OBJECT
private slots:
    void windowAndLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("bSub") << "bSub" << QRect(14, 4, 75, 25);
        QTest::newRow("bCheck") << "bCheck" << QRect(94, 4, 75, 25);
        QTest::newRow("Label1") << "Label1" << QRect(192, 16, 36, 13);
        QTest::newRow("Label3") << "Label3" << QRect(264, 16, 12, 13);
        QTest::newRow("LBCheng") << "LBCheng" << QRect(8, 32, 161, 225);
        QTest::newRow("LBCheck") << "LBCheck" << QRect(175, 32, 63, 225);
        QTest::newRow("LBFalse") << "LBFalse" << QRect(245, 32, 68, 225);
    }
    void windowAndLayout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        TtTest w;
        auto* control = w.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), rect);

        QCOMPARE(w.windowTitle(), QStringLiteral("成语游戏"));
        QCOMPARE(w.size(), QSize(322, 266));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w.windowFlags() & Qt::WindowSystemMenuHint);
        // The program's icon, not the toolkit's generic one.
        const QImage icon = w.windowIcon().pixmap(32).toImage();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon,
                 QImage(QStringLiteral(":/icons/wenquell-32.png")).convertToFormat(icon.format()));
        QCOMPARE(w.palette().color(QPalette::Window), Panel::buttonFace());
        QCOMPARE(w.font().families().first(), QStringLiteral("Tahoma"));
        QCOMPARE(w.font().pixelSize(), 11);
        QCOMPARE(w.bSub->text(), QStringLiteral("出题"));
        QCOMPARE(w.bCheck->text(), QStringLiteral("验证"));
        QCOMPARE(w.Label1->text(), QStringLiteral("分数："));
        QCOMPARE(w.Label2->text(), QString());
        QCOMPARE(w.Label2->pos(), QPoint(236, 16));
        QCOMPARE(w.Label3->text(), QStringLiteral("分"));
        for (QPushButton* b : {w.bSub, w.bCheck}) {
            const QImage normal = b->icon().pixmap(16, QIcon::Normal).toImage();
            const QImage disabled = b->icon().pixmap(16, QIcon::Disabled).toImage();
            QCOMPARE(normal.size(), QSize(16, 16));
            QVERIFY(normal != disabled);
        }
        // Tab order 0 to 4.
        const QList<QWidget*> controls{w.LBCheng, w.bSub, w.bCheck, w.LBFalse, w.LBCheck};
        QList<QWidget*> order{w.LBCheng};
        for (QWidget* next = w.LBCheng->nextInFocusChain(); next != w.LBCheng;
             next = next->nextInFocusChain())
            if (controls.contains(next))
                order.append(next);
        QCOMPARE(order, controls);
        QVERIFY(!w.LBCheng->viewport()->acceptDrops());
        QVERIFY(!qobject_cast<DragListBox*>(w.LBCheng));
    }

    void tenRowsLineUpWithoutScrolling()
    {
        TtTest w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (ListBox* list : {static_cast<ListBox*>(w.LBCheng), static_cast<ListBox*>(w.LBCheck),
                              static_cast<ListBox*>(w.LBFalse)})
            for (int i = 0; i < 10; ++i)
                list->addItem(QStringLiteral("一心一意"));
        QApplication::processEvents();
        for (int i = 0; i < 10; ++i) {
            const QRect cheng = w.LBCheng->rowRect(i);
            QCOMPARE(cheng.height(), 22);
            const int y = w.LBCheng->viewport()->mapTo(&w, cheng.topLeft()).y();
            for (ListBox* list :
                 {static_cast<ListBox*>(w.LBCheck), static_cast<ListBox*>(w.LBFalse)})
                QCOMPARE(list->viewport()->mapTo(&w, list->rowRect(i).topLeft()).y(), y);
        }
        for (ListBox* list : {static_cast<ListBox*>(w.LBCheng), static_cast<ListBox*>(w.LBCheck),
                              static_cast<ListBox*>(w.LBFalse)})
            QCOMPARE(list->verticalScrollBar()->maximum(), 0);
    }

    void centredOnTheMainWindow_data()
    {
        QTest::addColumn<QPoint>("main");
        QTest::addColumn<QPoint>("game");
        // The main window is 772 x 565 and the game 322 x 266; no frames offscreen. The
        // screen is 1280 x 1024.
        QTest::newRow("main at its place")
            << QPoint(360, 225) << QPoint(360 + (772 - 322) / 2, 225 + (565 - 266) / 2);
        QTest::newRow("main mostly off the bottom right, game kept on screen")
            << QPoint(1100, 900) << QPoint(1280 - 322, 1024 - 266);
        QTest::newRow("main off the top left") << QPoint(-700, -500) << QPoint(0, 0);
    }
    void centredOnTheMainWindow()
    {
        QFETCH(QPoint, main);
        QFETCH(QPoint, game);
        Game g(QStringLiteral(WQ_GAME_DB));
        QCOMPARE(g.main.screen()->availableGeometry(), QRect(0, 0, 1280, 1024));
        g.main.move(main);
        g.w->centreOnMainWindow();
        QCOMPARE(g.w->pos(), game);
    }

    void dealFollowsTheRules_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<int>("rows");
        QTest::newRow("ten idioms with repeats and sayings") << QStringLiteral(WQ_GAME_DB) << 10;
        QTest::newRow("three idioms") << QStringLiteral(WQ_THREE_DB) << 3;
        QTest::newRow("eleven idioms") << QStringLiteral(WQ_FIXTURE_DB) << 10;
    }
    void dealFollowsTheRules()
    {
        QFETCH(QString, store);
        QFETCH(int, rows);
        Game g(store);
        const QStringList idioms = g.store();
        QSet<QStringList> orders;
        int doubleBlanks = 0;
        for (int deal = 0; deal < 40; ++deal) {
            QTest::mouseClick(g.w->bSub, Qt::LeftButton);
            QCOMPARE(g.w->LBCheng->count(), rows);
            QCOMPARE(texts(g.w->LBCheck), QStringList(rows, QString()));
            QCOMPARE(g.w->LBFalse->count(), 10);
            QVERIFY(g.w->bCheck->isEnabled());
            QStringList dealt;
            for (int i = 0; i < rows; ++i) {
                const QString question = g.w->LBCheng->itemText(i);
                const QString key = keyOf(i);
                const QString idiom = completed(question, key);
                QVERIFY2(idioms.contains(idiom), qPrintable(question + QLatin1Char('|') + key));
                QCOMPARE(key.size(), 1);
                QVERIFY2(!GameRules::isMark(Gbk::fromUnicode(key)), qPrintable(idiom));
                QVERIFY(!question.contains(key));
                QCOMPARE(question.count(QStringLiteral("▲")), idiom.count(key));
                doubleBlanks += question.count(QStringLiteral("▲")) > 1;
                dealt.append(idiom);
            }
            // Ten different rows of the store; with ten or fewer, all of them.
            QStringList sortedDealt = dealt, sortedStore = idioms;
            sortedDealt.sort();
            sortedStore.sort();
            if (idioms.size() <= 10)
                QCOMPARE(sortedDealt, sortedStore);
            for (const QString& idiom : dealt)
                QVERIFY(dealt.count(idiom) <= idioms.count(idiom));
            // The pool holds exactly the removed characters, and empties for rows not dealt.
            QStringList pool = texts(g.w->LBFalse), expected = g.keys();
            expected += QStringList(10 - rows, QString());
            pool.sort();
            expected.sort();
            QCOMPARE(pool, expected);
            orders.insert(dealt);
        }
        QVERIFY(orders.size() > 1);
        if (store == QStringLiteral(WQ_GAME_DB))
            QVERIFY(doubleBlanks > 0);
        QCOMPARE(g.w->Label2->text(), QString());
        QVERIFY(g.dialogs.shown().isEmpty());
    }

    void dealWithNoRowsLeavesEmptyListsAndTheScore()
    {
        QTemporaryDir tmp;
        Game g(changedStore(tmp, QStringLiteral(WQ_THREE_DB), "DELETE FROM ChenYu"));
        setTexts(g.w->LBCheng, {QStringLiteral("▲心▲意")});
        setTexts(g.w->LBCheck, {QStringLiteral("一")});
        setTexts(g.w->LBFalse, {QStringLiteral("【√】一")});
        g.w->bCheckClick(g.w->bCheck);
        QCOMPARE(g.w->Label2->text(), QStringLiteral("0"));
        QVERIFY(!g.w->bCheck->isEnabled());
        QTest::mouseClick(g.w->bSub, Qt::LeftButton);
        QCOMPARE(g.w->LBCheng->count() + g.w->LBCheck->count() + g.w->LBFalse->count(), 0);
        QVERIFY(g.w->bCheck->isEnabled());
        QCOMPARE(g.w->Label2->text(), QStringLiteral("0"));
        QVERIFY(g.dialogs.shown().isEmpty());
    }

    void verifyingDisablesUntilTheNextDealWhichKeepsTheScore()
    {
        Game g(QStringLiteral(WQ_GAME_DB));
        g.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.w.get()));
        QTest::mouseClick(g.w->bCheck, Qt::LeftButton); // nothing dealt: nothing happens
        QVERIFY(g.w->bCheck->isEnabled());
        QCOMPARE(g.w->Label2->text(), QString());

        QTest::mouseClick(g.w->bSub, Qt::LeftButton);
        g.answerAll();
        QTest::mouseClick(g.w->bCheck, Qt::LeftButton);
        QVERIFY(!g.w->bCheck->isEnabled());
        QCOMPARE(g.w->Label2->text(), QStringLiteral("100"));
        QCOMPARE(g.w->Label2->width(), g.w->Label2->sizeHint().width());
        // A second click on the disabled button changes nothing.
        g.w->LBCheck->setItemText(0, QString());
        const QStringList verdicts = texts(g.w->LBFalse);
        QTest::mouseClick(g.w->bCheck, Qt::LeftButton);
        QCOMPARE(texts(g.w->LBFalse), verdicts);
        QCOMPARE(g.w->Label2->text(), QStringLiteral("100"));

        QTest::mouseClick(g.w->bSub, Qt::LeftButton);
        QVERIFY(g.w->bCheck->isEnabled());
        QCOMPARE(texts(g.w->LBCheck), QStringList(10, QString()));
        QVERIFY(!texts(g.w->LBFalse).join(QString()).contains(QStringLiteral("【")));
        QCOMPARE(g.w->Label2->text(), QStringLiteral("100"));
    }

    void verdictsAndScore_data()
    {
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("score");
        // Rows none of whose blanks leave an idiom when removed.
        const QStringList wrong(7, QStringLiteral("人▲亦▲"));
        const QStringList blanks(7, QString());
        QTest::newRow("all right")
            << QStringList{"▲心▲意",
                           "全心全▲",
                           "人▲亦▲",
                           "▲言▲语",
                           "半信半▲",
                           "项庄舞剑，▲在沛公",
                           "万事俱备，只欠东▲",
                           "心▲",
                           "天▲地义",
                           "▲五▲十"}
            << QStringList{"一", "意", "云", "自", "疑", "意", "风", "意", "经", "一"}
            << "√√√√√√√√√√"
            << "100";
        QTest::newRow("all empty") << QStringList(10, QStringLiteral("人▲亦▲"))
                                   << QStringList(10, QString()) << "××××××××××"
                                   << "0";
        QTest::newRow("an empty answer is checked with the blanks removed")
            << QStringList{"▲心▲意", "半▲半疑", "自言自▲"} + wrong
            << QStringList(3, QString()) + blanks << "√×××××××××"
            << "10";
        QTest::newRow("answers in the wrong rows count wherever they make an idiom")
            << QStringList{"▲心▲意", "一心一▲", "▲信▲疑"} + wrong
            << QStringList{"全", "意", "一"} + blanks << "√√××××××××"
            << "20";
        QTest::newRow("a wrong character and a dragged verdict are wrong")
            << QStringList{"人云亦▲", "画▲添足", "一五一▲"} + wrong
            << QStringList{"一", "【√】蛇", "十"} + blanks << "××√×××××××"
            << "10";
    }
    void verdictsAndScore()
    {
        QFETCH(QStringList, questions);
        QFETCH(QStringList, answers);
        QFETCH(QString, marks);
        QFETCH(QString, score);
        Game g(QStringLiteral(WQ_GAME_DB));
        QTest::mouseClick(g.w->bSub, Qt::LeftButton);
        const QStringList keys = g.keys();
        setTexts(g.w->LBCheng, questions);
        setTexts(g.w->LBCheck, answers);
        QTest::mouseClick(g.w->bCheck, Qt::LeftButton);
        QStringList expected;
        for (int i = 0; i < 10; ++i)
            expected.append((marks[i] == QLatin1Char('x') || marks[i] == QChar(u'×')
                                 ? QStringLiteral("【×】")
                                 : QStringLiteral("【√】")) +
                            keys[i]);
        QCOMPARE(texts(g.w->LBFalse), expected);
        QCOMPARE(g.w->Label2->text(), score);
        QCOMPARE(g.w->Label3->text(), QStringLiteral("分"));
        QCOMPARE(g.w->Label1->text(), QStringLiteral("分数："));
        QVERIFY(g.dialogs.shown().isEmpty());
    }

    void threeIdiomsPlayAWholeGame()
    {
        Game g(QStringLiteral(WQ_THREE_DB));
        for (bool answer : {true, false}) {
            QTest::mouseClick(g.w->bSub, Qt::LeftButton);
            if (answer)
                g.answerAll();
            const QStringList poolBefore = texts(g.w->LBFalse);
            QTest::mouseClick(g.w->bCheck, Qt::LeftButton);
            const QString mark = answer ? QStringLiteral("【√】") : QStringLiteral("【×】");
            const QStringList after = texts(g.w->LBFalse);
            QCOMPARE(after.size(), 10);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(after[i], mark + keyOf(i));
            QCOMPARE(after.mid(3), poolBefore.mid(3)); // rows not dealt are left alone
            QCOMPARE(g.w->LBCheck->count(), 3);
            QCOMPARE(g.w->Label2->text(), answer ? QStringLiteral("30") : QStringLiteral("0"));
        }
        QVERIFY(g.dialogs.shown().isEmpty());
    }

    void idiomsWithQuotesVerifyAndShow()
    {
        QTemporaryDir tmp;
        Game g(changedStore(tmp, QStringLiteral(WQ_THREE_DB),
                            "UPDATE ChenYu SET ChengYu = "
                            "substr(ChengYu, 1, 1) || '''' || substr(ChengYu, 2)"));
        QCOMPARE(g.store().filter(QStringLiteral("'")).size(), 3);
        for (int round = 0; round < 10; ++round) {
            QTest::mouseClick(g.w->bSub, Qt::LeftButton);
            g.answerAll();
            QTest::mouseClick(g.w->bCheck, Qt::LeftButton);
            QCOMPARE(g.w->Label2->text(), QStringLiteral("30"));
        }
        const int row = g.keys().indexOf(QStringLiteral("'"));
        if (row >= 0) { // the pick fell on the quote: it was blanked, and it is the answer
            g.w->LBCheng->setItemIndex(row);
            g.w->LBChengClick(g.w->LBCheng);
            QVERIFY(g.main.ListBox1->itemText(g.main.ListBox1->itemIndex())
                        .contains(QLatin1Char('\'')));
        }
        QVERIFY(g.dialogs.shown().isEmpty());
    }

    void drops_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("sourceRow");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("targetRow"); // -1: below the last row
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("check"); // LBCheck afterwards
        QTest::addColumn<QString>("pool");  // LBFalse afterwards
        QTest::addColumn<int>("targetSelected");
        QTest::addColumn<int>("sourceSelected");
        const QString check = "abc", pool = "0123456789";
        QTest::newRow("pool to slot") << "LBFalse" << 4 << "LBCheck" << 1 << true << "a4c"
                                      << "0123b56789" << 1 << 4;
        QTest::newRow("slot to pool") << "LBCheck" << 0 << "LBFalse" << 7 << true << "7bc"
                                      << "0123456a89" << 7 << 0;
        QTest::newRow("within the pool")
            << "LBFalse" << 2 << "LBFalse" << 5 << true << check << "0153426789" << 5 << 5;
        QTest::newRow("within the slots")
            << "LBCheck" << 0 << "LBCheck" << 2 << true << "cba" << pool << 2 << 2;
        QTest::newRow("onto its own selected row")
            << "LBFalse" << 3 << "LBFalse" << 3 << false << check << pool << 3 << 3;
        QTest::newRow("within a list, below its rows")
            << "LBCheck" << 1 << "LBCheck" << -1 << false << check << pool << 1 << 1;
        QTest::newRow("from the partner, below the rows")
            << "LBFalse" << 4 << "LBCheck" << -1 << true << check << pool << -1 << 4;
        QTest::newRow("nothing selected in the partner")
            << "LBCheck" << -1 << "LBFalse" << 2 << true << check << pool << -1 << -1;
        QTest::newRow("the question column is no source")
            << "LBCheng" << 0 << "LBFalse" << 1 << false << check << pool << -1 << 0;
    }
    void drops()
    {
        QFETCH(QString, source);
        QFETCH(int, sourceRow);
        QFETCH(QString, target);
        QFETCH(int, targetRow);
        QFETCH(bool, accept);
        QFETCH(QString, check);
        QFETCH(QString, pool);
        QFETCH(int, targetSelected);
        QFETCH(int, sourceSelected);
        Game g(QStringLiteral(WQ_THREE_DB));
        g.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.w.get()));
        QTest::mouseClick(g.w->bSub, Qt::LeftButton);
        setTexts(g.w->LBCheck, QString("abc").split(QString(), Qt::SkipEmptyParts));
        setTexts(g.w->LBFalse, QString("0123456789").split(QString(), Qt::SkipEmptyParts));
        auto* from = g.w->findChild<ListBox*>(source);
        auto* to = g.w->findChild<DragListBox*>(target);
        from->setItemIndex(sourceRow);

        const QPoint at = rowCentre(to, targetRow);
        bool accepted = !accept;
        if (to == g.w->LBFalse)
            g.w->LBFalseDragOver(to, from, at.x(), at.y(), accepted);
        else
            g.w->LBCheckDragOver(to, from, at.x(), at.y(), accepted);
        QCOMPARE(accepted, accept);
        // The drop handler itself is safe even where the drop would be refused.
        if (to == g.w->LBFalse)
            g.w->LBFalseDragDrop(to, from, at.x(), at.y());
        else
            g.w->LBCheckDragDrop(to, from, at.x(), at.y());

        QCOMPARE(texts(g.w->LBCheck).join(QString()), check);
        QCOMPARE(texts(g.w->LBFalse).join(QString()), pool);
        QCOMPARE(to->itemIndex(), targetSelected);
        QCOMPARE(from->itemIndex(), sourceSelected);
        QCOMPARE(g.w->LBCheng->count(), 3);
        QVERIFY(g.dialogs.shown().isEmpty());
    }

    void questionClickShowsTheIdiom_data()
    {
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("key");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("selected"); // in the main window's full list
        QTest::addColumn<int>("shown");    // entries shown on the way
        // The full list: 爱不释手 阿谀奉承 画龙点睛 绿草如茵 略知一二 马到成功 马到成功 人云亦云
        // 项庄舞剑，意在沛公 一言九鼎 一言为定.
        QTest::newRow("both blanks restored")
            << QStringList{"一言九▲", "人▲亦▲"} << QStringList{"鼎", "云"} << 1 << 7 << 1;
        QTest::newRow("the clicked row's own key")
            << QStringList{"一言九▲", "一言为▲"} << QStringList{"鼎", "定"} << 1 << 10 << 1;
        QTest::newRow("every equal row in turn, the last stays")
            << QStringList{"马到▲功"} << QStringList{"成"} << 0 << 6 << 2;
        QTest::newRow("a two-part saying")
            << QStringList{"项庄舞剑，▲在沛公"} << QStringList{"意"} << 0 << 8 << 1;
        QTest::newRow("not in the list") << QStringList{"▲▲"} << QStringList{"x"} << 0 << -1 << 0;
    }
    void questionClickShowsTheIdiom()
    {
        QFETCH(QStringList, questions);
        QFETCH(QStringList, key);
        QFETCH(int, clicked);
        QFETCH(int, selected);
        QFETCH(int, shown);
        Game g(QStringLiteral(WQ_FIXTURE_DB));
        g.main.show();
        g.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.w.get()));
        QTest::mouseClick(g.w->bSub, Qt::LeftButton);
        QTest::mouseClick(g.w->bCheck, Qt::LeftButton); // works after verification too
        QList<QByteArray> picks;
        for (const QString& k : key)
            picks.append(Gbk::fromUnicode(k));
        AnswerKey::store(picks);
        setTexts(g.w->LBCheng, questions);
        g.main.pgMain->setCurrentIndex(1);

        QTest::mouseClick(g.w->LBCheng->viewport(), Qt::LeftButton, {},
                          rowCentre(g.w->LBCheng, clicked));
        QCOMPARE(g.main.pgMain->currentIndex(), 0);
        QCOMPARE(g.main.ListBox1->itemIndex(), selected);
        QCOMPARE(g.entriesShown, shown);
        if (selected >= 0)
            QVERIFY(g.main.RichText->text().startsWith(QStringLiteral("【成  语】：") +
                                                       g.main.ListBox1->itemText(selected) +
                                                       QStringLiteral("\r\n")));
        QVERIFY(g.w->isVisible());
    }

    void aWindowWithoutAStoreReportsIt()
    {
        DialogRecorder dialogs;
        TtTest w;
        QTest::mouseClick(w.bSub, Qt::LeftButton);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown()[0].kind, MessageDialogs::Kind::Critical);
        QVERIFY(dialogs.shown()[0].text.contains(QStringLiteral("没有打开")));
        QCOMPARE(w.LBCheng->count(), 0);
    }

    // The game button: a new modal window each time, owned by no one, destroyed on closing.
    void theGameButtonOpensAFreshWindowEachTime()
    {
        MainWindowFixture fixture;
        QVERIFY(fixture.open());
        TFrmMain& main = *fixture.window();
        auto hidden = std::make_unique<TtTest>();
        tTest = hidden.get();

        QList<QPointer<TtTest>> opened;
        for (int round = 0; round < 2; ++round) {
            bool checked = false;
            QTimer::singleShot(0, [&] {
                const auto closeIt = qScopeGuard([&] {
                    if (auto* modal = QApplication::activeModalWidget())
                        modal->close();
                });
                auto* game = qobject_cast<TtTest*>(QApplication::activeModalWidget());
                QVERIFY(game && game == tTest && game != hidden.get());
                opened.append(game);
                QVERIFY(game->isModal() && game->isVisible() && !game->parent());
                QCOMPARE(game->pos(), QPoint(585, 374));
                QCOMPARE(game->LBCheng->count() + game->LBCheck->count() + game->LBFalse->count(),
                         0);
                QVERIFY(game->bCheck->isEnabled());
                QCOMPARE(game->Label2->text(), QString());
                QTest::mouseClick(game->bSub, Qt::LeftButton);
                QCOMPARE(game->LBCheng->count(), 10);
                // The main window shows the question's idiom behind the game.
                main.pgMain->setCurrentIndex(1);
                QTest::mouseClick(game->LBCheng->viewport(), Qt::LeftButton, {},
                                  rowCentre(game->LBCheng, 4));
                QCOMPARE(main.pgMain->currentIndex(), 0);
                QCOMPARE(main.ListBox1->itemText(main.ListBox1->itemIndex()),
                         completed(game->LBCheng->itemText(4), keyOf(4)));
                checked = true;
            });
            QTest::mouseClick(main.ImgStest, Qt::LeftButton);
            QVERIFY(checked);
            QVERIFY(opened.last().isNull());
            QVERIFY(tTest == nullptr);
            QVERIFY(hidden && !hidden->isVisible());
        }
        QVERIFY(fixture.dialogs()->shown().isEmpty());
        tTest = nullptr;
    }
};

WQ_WINDOW_TEST_MAIN(TestGameWindow)
#include "tst_gamewindow.moc"
