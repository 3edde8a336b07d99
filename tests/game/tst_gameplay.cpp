// A whole game through the real windows on an X display, with real pointer input from
// xdotool: open the game from the main window, deal, drag characters between and within the
// lists, verify, click a question, and save a screenshot of the screen.

#include "AnswerKey.h"
#include "BrowserEngine.h"
#include "DragListBox.h"
#include "GameRules.h"
#include "Gbk.h"
#include "ImgButton.h"
#include "ListBox.h"
#include "MainWindowFixture.h"
#include "MessageDialogs.h"
#include "RichEdit.h"
#include "TestSupport.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>

static QStringList texts(const ListBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->itemText(i));
    return out;
}

static QString keyOf(int row)
{
    return Gbk::toUnicode(AnswerKey::entry(row));
}

// A row's centre, and a point inside it `dx` from its left edge, on the screen.
static QPoint onScreen(const ListBox* list, int row, int dx = -1)
{
    const QRect r = list->rowRect(row);
    const QPoint p = dx < 0 ? r.center() : QPoint(r.left() + dx, r.center().y());
    return list->viewport()->mapToGlobal(p);
}

// Moves the pointer and gives the server a moment. (xdotool's --sync would wait for a move
// that never comes when the pointer is already there.)
static QStringList at(const QPoint& p)
{
    return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
            QStringLiteral("sleep"), QStringLiteral("0.05")};
}

// Runs xdotool while this program's event loop keeps turning: a drag runs a loop of its own
// until the button comes up, so the whole gesture is one xdotool run.
static bool xdotool(const QStringList& args)
{
    QProcess x;
    x.start(QStringLiteral("xdotool"), args);
    if (!x.waitForStarted())
        return false;
    QElapsedTimer t;
    t.start();
    while (x.state() != QProcess::NotRunning && t.elapsed() < 20000)
        QTest::qWait(20);
    QTest::qWait(100);
    return x.state() == QProcess::NotRunning && x.exitCode() == 0;
}

static bool click(QWidget* w, QPoint local = QPoint(-1, -1))
{
    if (local.x() < 0)
        local = w->rect().center();
    return xdotool(at(w->mapToGlobal(local)) << QStringLiteral("click") << QStringLiteral("1"));
}

// Presses on `from`, moves a few pixels, glides to `to` in steps and lets go there.
static bool drag(const QPoint& from, const QPoint& to)
{
    QStringList args = at(from) << QStringLiteral("mousedown") << QStringLiteral("1")
                                << QStringLiteral("sleep") << QStringLiteral("0.1");
    const QPoint start = from + QPoint(4, 3);
    args << at(start) << QStringLiteral("sleep") << QStringLiteral("0.1");
    for (int step = 1; step <= 4; ++step)
        args << at(start + (to - start) * step / 4) << QStringLiteral("sleep")
             << QStringLiteral("0.1");
    args << QStringLiteral("sleep") << QStringLiteral("0.2") << QStringLiteral("mouseup")
         << QStringLiteral("1");
    return xdotool(args);
}

class TestGamePlay : public QObject
{
    Q_OBJECT

    void play(TtTest* g, TFrmMain& main)
    {
        QVERIFY(click(g->bSub));
        QTRY_COMPARE(g->LBCheng->count(), 10);
        QCOMPARE(g->LBFalse->count(), 10);
        QStringList keys;
        for (int i = 0; i < 10; ++i)
            keys.append(keyOf(i));

        // A press and release without moving only selects.
        const QStringList dealtPool = texts(g->LBFalse);
        QVERIFY(click(g->LBFalse->viewport(), g->LBFalse->rowRect(0).center()));
        QCOMPARE(g->LBFalse->itemIndex(), 0);
        QCOMPARE(texts(g->LBFalse), dealtPool);

        // Within the pool: row 0 onto row 1 exchanges them.
        QVERIFY(drag(onScreen(g->LBFalse, 0), onScreen(g->LBFalse, 1)));
        QStringList expected = dealtPool;
        expected.swapItemsAt(0, 1);
        QTRY_COMPARE(texts(g->LBFalse), expected);
        QCOMPARE(g->LBFalse->itemIndex(), 1);

        // Onto its own selected row: refused.
        QVERIFY(drag(onScreen(g->LBFalse, 1, 4), onScreen(g->LBFalse, 1, 50)));
        QTest::qWait(200);
        QCOMPARE(texts(g->LBFalse), expected);

        // Every removed character into its own row's slot, from the pool.
        for (int i = 0; i < 10; ++i) {
            const int from = texts(g->LBFalse).indexOf(keys[i]);
            QVERIFY(from >= 0);
            QVERIFY(drag(onScreen(g->LBFalse, from), onScreen(g->LBCheck, i)));
            QTRY_COMPARE(g->LBCheck->itemText(i), keys[i]);
            QCOMPARE(g->LBCheck->itemIndex(), i);
            QCOMPARE(g->LBFalse->count(), 10);
            QCOMPARE(g->LBCheck->count(), 10);
        }
        QCOMPARE(texts(g->LBFalse), QStringList(10, QString()));

        // Within the answers, there and back; and a slot back into the pool and home again.
        QVERIFY(drag(onScreen(g->LBCheck, 0), onScreen(g->LBCheck, 1)));
        QTRY_COMPARE(g->LBCheck->itemText(0), keys[1]);
        QCOMPARE(g->LBCheck->itemText(1), keys[0]);
        QVERIFY(drag(onScreen(g->LBCheck, 1), onScreen(g->LBCheck, 0)));
        QTRY_COMPARE(texts(g->LBCheck), keys);
        QVERIFY(drag(onScreen(g->LBCheck, 5), onScreen(g->LBFalse, 8)));
        QTRY_COMPARE(g->LBFalse->itemText(8), keys[5]);
        QCOMPARE(g->LBCheck->itemText(5), QString());
        QVERIFY(drag(onScreen(g->LBFalse, 8), onScreen(g->LBCheck, 5)));
        QTRY_COMPARE(texts(g->LBCheck), keys);

        QVERIFY(click(g->bCheck));
        QTRY_VERIFY(!g->bCheck->isEnabled());
        QCOMPARE(g->Label2->text(), QStringLiteral("100"));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(g->LBFalse->itemText(i), QStringLiteral("【√】") + keys[i]);

        // A question shows its idiom in the main window behind the game.
        QVERIFY(click(g->LBCheng->viewport(), g->LBCheng->rowRect(3).center()));
        const QString idiom = Gbk::toUnicode(GameRules::complete(
            Gbk::fromUnicode(g->LBCheng->itemText(3)), Gbk::fromUnicode(keys[3])));
        QTRY_COMPARE(main.ListBox1->itemText(main.ListBox1->itemIndex()), idiom);
        QVERIFY(main.RichText->text().startsWith(QStringLiteral("【成  语】：") + idiom));

        QTest::qWait(300);
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
        QVERIFY(shot.save(QStringLiteral(WQ_SCREENSHOT)));
        m_played = true;
    }

    bool m_played = false;

private slots:
    void playsAWholeGameWithTheMouse()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool");
        MainWindowFixture fixture; // the eleven-idiom fixture store: a deal takes ten of them
        QVERIFY(fixture.open());
        TFrmMain& main = *fixture.window();
        FrmMain = &main;
        auto hidden = std::make_unique<TtTest>();
        tTest = hidden.get();

        // Once the game window is up, the game is played from inside its modal loop.
        QPointer<TtTest> game;
        QTimer poll;
        poll.setInterval(50);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* g = qobject_cast<TtTest*>(QApplication::activeModalWidget());
            if (!g || !g->isVisible() || !QTest::qWaitForWindowExposed(g))
                return;
            poll.stop();
            game = g;
            QVERIFY(g == tTest && g != hidden.get() && !g->parent());
            play(g, main);
            g->close();
        });
        poll.start();
        QVERIFY(click(main.ImgStest));
        QTRY_VERIFY_WITH_TIMEOUT(m_played, 60000);
        QTRY_VERIFY(game.isNull());
        QCOMPARE(tTest, nullptr);
        QVERIFY(hidden && !hidden->isVisible());
        QVERIFY(fixture.dialogs()->shown().isEmpty());
        FrmMain = nullptr;
    }
};

// Without a display the test starts offscreen, and skips, instead of failing to start. The
// game needs no banner: without it no browser and no OpenGL are loaded.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("WENQUELL_BANNER_MODULE"))
        qputenv("WENQUELL_BANNER_MODULE", QByteArray());
    prepareBrowserEngine();
    QApplication app(argc, argv);
    MessageDialogs::installErrorReporter();
    TestGamePlay test;
    const int failed = QTest::qExec(&test, argc, argv);
    keepGraphicsDriverMapped();
    return failed;
}
#include "tst_gameplay.moc"
