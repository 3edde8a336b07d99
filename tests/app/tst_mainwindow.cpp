#include "DbConnection.h"
#include "EntryText.h"
#include "ErrorGuard.h"
#include "Gbk.h"
#include "GraphicUnits.h"
#include "ImgButton.h"
#include "ListBox.h"
#include "MainWindowFixture.h"
#include "PaintPanel.h"
#include "Panel.h"
#include "RichEdit.h"
#include "ScreenPlacement.h"
#include "TPicture.h"
#include "TestSupport.h"
#include "WakeChannel.h"
#include "WindowTestMain.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <future>
#include <sqlite3.h>

static QString entryOf(const QStringList& fields)
{
    return QStringLiteral("【成  语】：%1\r\n【拼  音】：%2\r\n【解  释】：%3\r\n【例  子】：%4\r\n"
                          "【出  处】：%5")
        .arg(fields[0], fields[1], fields[2], fields[3], fields[4]);
}

static QRect inWindow(QWidget* w)
{
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

// How many pixels of `image` are exactly `rgb`.
static int pixelsOfColour(const QImage& image, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffff) == rgb;
    return n;
}

static void clickRow(ListBox* list, int row)
{
    list->scrollToRow(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(row).center());
}

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    // What a screen reader says for each control that has no text of its own, and that no
    // control it can reach is left without a name.
    void controlsHaveNamesForAScreenReader_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        const QStringList rows{"btnList=成语列表",  "btnSearch=成语搜索", "ImgStest=成语游戏",
                               "bPlay=播放",        "bPuse=暂停",         "brPlay=继续",
                               "bStop=停止",        "TraSound=音量",      "TraSpeed=语速",
                               "ListBox1=成语列表", "ListBox2=搜索结果",  "RichText=成语解释",
                               "edSou=搜索内容",    "LBCheng=题目",       "LBCheck=答案",
                               "LBFalse=备选字",    "bSub=出题",          "bCheck=验证"};
        for (const QString& row : rows)
            QTest::newRow(qPrintable(row)) << row.section(u'=', 0, 0) << row.section(u'=', 1);
    }
    void controlsHaveNamesForAScreenReader()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        MainWindowFixture f;
        TFrmMain& w = f.make();
        TtTest game;
        QWidget* widget = w.findChild<QWidget*>(control);
        if (!widget)
            widget = game.findChild<QWidget*>(control);
        QVERIFY(widget);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Name), name);

        for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(&game)}) {
            for (QWidget* child : window->findChildren<QWidget*>()) {
                const bool control =
                    qobject_cast<QAbstractButton*>(child) ||
                    qobject_cast<QAbstractSlider*>(child) ||
                    qobject_cast<QAbstractItemView*>(child) || qobject_cast<QLineEdit*>(child) ||
                    qobject_cast<QTextEdit*>(child) || qobject_cast<TImgControl*>(child);
                if (!control || child->objectName().isEmpty())
                    continue;
                QVERIFY2(!QAccessible::queryAccessibleInterface(child)
                              ->text(QAccessible::Name)
                              .isEmpty(),
                         qPrintable(child->objectName()));
            }
        }
    }

    // Run on screens of several sizes (see tests/CMakeLists.txt): the whole window on the
    // available area, and at (360, 225) wherever it fits there.
    void placedOnItsScreen()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        const QRect available = w.screen()->availableGeometry();
        const QRect frame = w.frameGeometry();
        QVERIFY2(available.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                           .arg(frame.x())
                                                           .arg(frame.y())
                                                           .arg(frame.width())
                                                           .arg(frame.height())));
        const QRect atItsPlace(QPoint(360, 225) + (frame.topLeft() - w.pos()), frame.size());
        if (available.contains(atItsPlace))
            QCOMPARE(w.pos(), QPoint(360, 225));
        else
            QCOMPARE(frame.topLeft(), ScreenPlacement::fit(atItsPlace, available));
    }

    void entryTextBytes_data()
    {
        QTest::addColumn<QByteArray>("idiom");
        QTest::addColumn<QByteArray>("hex");
        // 【成  语】：a 【拼  音】：b 【解  释】：c 【例  子】：d 【出  处】：e
        QTest::newRow("a to e") << QByteArray("a")
                                << QByteArray("a1beb3c92020d3efa1bfa3ba61"
                                              "0d"
                                              "a1bec6b42020d2f4a1bfa3ba62"
                                              "0d"
                                              "a1bebde22020cacda1bfa3ba63"
                                              "0d"
                                              "a1bec0fd2020d7d3a1bfa3ba64"
                                              "0d"
                                              "a1beb3f62020b4a6a1bfa3ba65");
    }
    void entryTextBytes()
    {
        QFETCH(QByteArray, hex);
        const QByteArray text = EntryText::build({"a", "b", "c", "d", "e"});
        QCOMPARE(text.size(), 69);
        QCOMPARE(text.toHex(), hex);
        QCOMPARE(EntryText::build({}).size(), 64); // five labels alone
    }

    void windowAndLayout()
    {
        MainWindowFixture f;
        TFrmMain& w = f.make();
        QCOMPARE(w.windowTitle(), QStringLiteral("Wenquell"));
        QCOMPARE(w.size(), QSize(772, 565));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.pos(), QPoint(360, 225));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(inWindow(w.pnlAD), QRect(0, 0, 772, 82));
        QCOMPARE(inWindow(w.pnlClient), QRect(0, 82, 772, 483));
        QCOMPARE(inWindow(w.Shape2), QRect(0, 82, 772, 1));
        QCOMPARE(inWindow(w.pnlLeft), QRect(0, 83, 193, 482));
        QCOMPARE(inWindow(w.pnlLLeft), QRect(0, 83, 37, 482));
        QCOMPARE(inWindow(w.pnlLClient), QRect(37, 83, 156, 482));
        QCOMPARE(inWindow(w.Shape1), QRect(192, 83, 1, 482));
        QCOMPARE(inWindow(w.pgMain), QRect(37, 83, 155, 482));
        QCOMPARE(inWindow(w.Panel2).size(), QSize(147, 21));
        QCOMPARE(w.ListBox1->size(), QSize(147, 451));
        QCOMPARE(inWindow(w.ListBox1).topLeft(), inWindow(w.Panel2).bottomLeft() + QPoint(0, 1));
        QCOMPARE(inWindow(w.pnlRight), QRect(193, 83, 579, 482));
        QCOMPARE(inWindow(w.pnlRTop), QRect(198, 88, 569, 36));
        QCOMPARE(inWindow(w.RichText), QRect(198, 124, 569, 436));
        QCOMPARE(w.pgMain->currentIndex(), 0);
        QCOMPARE(w.RichText->font().pixelSize(), 11);
        QCOMPARE(w.RichText->font().families().first(), QStringLiteral("Tahoma"));
        QCOMPARE(QFontInfo(w.RichText->font()).family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(w.RichText->formattingRect(), w.RichText->clientRect().adjusted(10, 10, -10, -10));
    }

    void listHoldsEveryIdiomInStoreOrderAndNothingIsChosen()
    {
        MainWindowFixture f;
        TFrmMain& w = f.make();
        QStringList rows;
        for (int i = 0; i < w.ListBox1->count(); ++i)
            rows.append(w.ListBox1->itemText(i));
        QCOMPARE(rows, QStringList({"爱不释手", "阿谀奉承", "画龙点睛", "绿草如茵", "略知一二",
                                    "马到成功", "马到成功", "人云亦云", "项庄舞剑，意在沛公",
                                    "一言九鼎", "一言为定"}));
        QCOMPARE(w.ListBox1->itemIndex(), -1);
        QCOMPARE(w.RichText->text(), QString());
    }

    void clickingAndArrowKeysShowEntries()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();

        clickRow(w.ListBox1, 9);
        QCOMPARE(w.RichText->text(), entryOf({"一言九鼎", "yī yán jiǔ dǐng",
                                              "一句话的分量像九鼎那样重，形容说话有分量。",
                                              "他说话向来～。", "《史记》"}));
        QCOMPARE(w.RichText->selStart(), 0);
        QCOMPARE(w.RichText->selLength(), 0);
        QCOMPARE(w.RichText->verticalScrollBar()->value(), 0);

        QTest::keyClick(w.ListBox1, Qt::Key_Down);
        QVERIFY(w.RichText->text().startsWith(QStringLiteral("【成  语】：一言为定\r\n")));
        QTest::keyClick(w.ListBox1, Qt::Key_Up);
        QTest::keyClick(w.ListBox1, Qt::Key_Up);
        QVERIFY(
            w.RichText->text().startsWith(QStringLiteral("【成  语】：项庄舞剑，意在沛公\r\n")));

        // Choosing a row from code shows nothing new.
        w.ListBox1->setItemIndex(0);
        QVERIFY(
            w.RichText->text().startsWith(QStringLiteral("【成  语】：项庄舞剑，意在沛公\r\n")));
        w.ListBox1Click(w.ListBox1);
        QVERIFY(w.RichText->text().startsWith(QStringLiteral("【成  语】：爱不释手\r\n")));
    }

    void secondOfTwoDuplicatesShowsTheFirstEntry()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        clickRow(w.ListBox1, 6);
        QVERIFY(w.RichText->text().contains(QStringLiteral("Quick success, 100% sure.")));
    }

    void unknownIdiomShowsTheLabelsAlone_data()
    {
        QTest::addColumn<QString>("idiom");
        QTest::newRow("unknown") << QStringLiteral("不存在的词");
        QTest::newRow("with a quote") << QStringLiteral("画龙'点睛");
        QTest::newRow("empty") << QString();
    }
    void unknownIdiomShowsTheLabelsAlone()
    {
        QFETCH(QString, idiom);
        MainWindowFixture f;
        TFrmMain& w = f.make();
        DialogRecorder& dialogs = *f.dialogs();
        guarded([&] { w.SlectChengYu(Gbk::fromUnicode(idiom)); });
        QCOMPARE(dialogs.shown().size(), 0);
        QCOMPARE(w.RichText->text(), entryOf({"", "", "", "", ""}));
    }

    void contextMenuCopiesOnlyWithASelection()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        w.SlectChengYu(Gbk::fromUnicode(QStringLiteral("画龙点睛")));
        w.RichTextContextPopup(QPoint(20, 20));
        QVERIFY(w.N1->isEnabled());
        QVERIFY(!w.N2->isEnabled());
        w.PopupMenu1->hide();

        w.N1->trigger();
        w.RichTextContextPopup(QPoint(20, 20));
        QVERIFY(w.N2->isEnabled());
        w.PopupMenu1->hide();
        QGuiApplication::clipboard()->clear();
        w.N2->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text().replace(QChar(0x2029), QLatin1Char('\n')),
                 w.RichText->toPlainText());
    }

    void missingStoreIsReportedAndTheWindowStillWorks()
    {
        AppDir dir(QString{});
        DialogRecorder dialogs;
        TFrmMain w;
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown()[0].kind, MessageDialogs::Kind::Plain);
        QCOMPARE(dialogs.shown()[0].caption, QStringLiteral("Wenquell"));
        QCOMPARE(dialogs.shown()[0].text,
                 QStringLiteral("出错！Cannot open the database file '%1': unable to open "
                                "database file.")
                     .arg(dir.databasePath()));
        QCOMPARE(w.ListBox1->count(), 0);
        QVERIFY(!w.ADOConnection1->connected());
        // The rest of the start-up still ran.
        QCOMPARE(w.RichText->formattingRect(), w.RichText->clientRect().adjusted(10, 10, -10, -10));

        dialogs.clear();
        guarded([&] { w.SlectChengYu("x"); });
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown()[0].kind, MessageDialogs::Kind::Critical);
        QCOMPARE(dialogs.shown()[0].caption, QStringLiteral("Wenquell"));
        QVERIFY(
            dialogs.shown()[0].text.startsWith(QStringLiteral("成语数据库没有打开，无法查询：")));
    }

    void storeWithoutTheTableReportsTheListQuery()
    {
        AppDir dir(QString{});
        sqlite3* db = nullptr;
        sqlite3_open(dir.databasePath().toUtf8().constData(), &db);
        sqlite3_exec(db, "create table Other (x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        DialogRecorder dialogs;
        TFrmMain w;
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown()[0].kind, MessageDialogs::Kind::Critical);
        QCOMPARE(dialogs.shown()[0].text, QStringLiteral("no such table: ChenYu"));
        QCOMPARE(w.ListBox1->count(), 0);
        // Creation stopped at the failing step: the inset was not applied.
        QCOMPARE(w.RichText->formattingRect(), w.RichText->clientRect());
    }

    void restoreOnlyWhenMinimised()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        w.ListBox1->setFocus();
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        w.WMAppRestore();
        QVERIFY(!w.isMinimized());
        QVERIFY(w.isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.ListBox1));

        const Qt::WindowStates before = w.windowState();
        w.WMAppRestore();
        QCOMPARE(w.windowState(), before);
    }

    void linkUnderlinesWhilePointedAtAndOpensTheHomePage()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        QCOMPARE(w.Label4->text(), QStringLiteral("访问官方网站"));
        QCOMPARE(w.Label4->geometry(), QRect(493, 10, 72, 12));
        QCOMPARE(w.Label4->parentWidget(), static_cast<QWidget*>(w.pnlRTop));
        QCOMPARE(w.Label4->cursor().shape(), Qt::PointingHandCursor);
        const QColor blue(0, 0, 255);
        QCOMPARE(w.Label4->palette().color(QPalette::WindowText), blue);

        // The underline as a user sees it: a blue line across the link, within its 12 rows.
        const auto underlined = [&w] {
            const QImage picture = w.Label4->grab().toImage();
            for (int y = 0; y < picture.height(); ++y)
                if (pixelsOfColour(picture.copy(0, y, picture.width(), 1), 0x0000ff) >= 66)
                    return true;
            return false;
        };
        QVERIFY(!underlined());
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w.Label4, &enter);
        QVERIFY(w.Label4->font().underline());
        QVERIFY(underlined());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w.Label4, &leave);
        QVERIFY(!w.Label4->font().underline());
        QVERIFY(!underlined());
        QCOMPARE(w.Label4->palette().color(QPalette::WindowText), blue);

        UrlRecorder opened;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        QTest::mouseClick(w.Label4, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(
                                  f.dir()->path() + QStringLiteral("/site/201072118.html"))});
        QVERIFY(f.dialogs()->shown().isEmpty());
        // Without anything to open it with (the test platform has no launcher), the user is
        // told where the page is.
        QTest::mouseClick(w.Label4, Qt::LeftButton);
        QCOMPARE(f.dialogs()->lines(),
                 QStringList{QStringLiteral("提示|无法打开浏览器。请在浏览器中访问：\n") +
                             f.dir()->path() + QStringLiteral("/site/201072118.html")});
    }

    void updaterIsCalledOnceAfterFiveSeconds()
    {
        AppDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("site/SiteBack/updateTxt"));
        QFile text(dir.path() + QStringLiteral("/site/SiteBack/updateTxt/18.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("version=99.0\n");
        text.close();
        QApplication::setApplicationVersion(QStringLiteral("1.0.0"));

        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 5000);
        w.Timer1->setInterval(20); // not five seconds in a test
        QTest::qWait(400);
        QVERIFY(!w.Timer1->isActive());
        // Each DoUpdate call with a newer version puts up a notice: one call, one notice.
        QCOMPARE(w.findChildren<QFrame*>(QStringLiteral("UpdateNotice")).size(), 1);
    }

    void navigationStripAndPageSwitching()
    {
        const GraphicUnits pictures; // as at start-up: the PNG class is there
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        QCOMPARE(w.btnList->geometry(), QRect(-2, 31, 39, 34));
        QCOMPARE(w.btnSearch->geometry(), QRect(2, 77, 36, 40));
        QCOMPARE(w.ImgStest->geometry(), QRect(2, 123, 36, 40));
        QCOMPARE(w.btnList->toolTip(), QStringLiteral("成语列表"));
        QCOMPARE(w.btnSearch->toolTip(), QStringLiteral("成语搜索"));
        QCOMPARE(w.ImgStest->toolTip(), QStringLiteral("成语游戏"));
        QCOMPARE(w.btnList->Tag(), 0);
        QCOMPARE(w.btnSearch->Tag(), 1);
        QCOMPARE(w.btnSearch->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(w.btnList->OnEnterOffset(), 0);
        QCOMPARE(w.ImgStest->OnDownOffset(), 1);
        for (TImgControl* b :
             {static_cast<TImgControl*>(w.btnList), static_cast<TImgControl*>(w.btnSearch)}) {
            QCOMPARE(b->ImgNormal()->width(), 39);
            QCOMPARE(b->ImgNormal()->height(), 34);
            QVERIFY(!b->ImgEnter()->empty() && !b->ImgDown()->empty() && !b->ImgDisable()->empty());
        }
        QVERIFY(!w.btnSearch->ImgCheck()->empty());
        QCOMPARE(w.ImgStest->ImgNormal()->width(), 22);
        QCOMPARE(w.pnlLLeft->Picture()->width(), 37);
        QCOMPARE(w.pnlLLeft->Picture()->height(), 1);
        QCOMPARE(w.pnlLLeft->PicVertStretch(), vstBottom);
        QVERIFY(w.btnList->Checked());
        QVERIFY(!w.btnSearch->Checked());

        QTest::mouseClick(w.btnSearch, Qt::LeftButton, {}, QPoint(18, 20));
        QCOMPARE(w.pgMain->currentIndex(), 1);
        QVERIFY(w.btnSearch->Checked());
        QVERIFY(!w.btnList->Checked());

        // From code (as the game does it): the page changes, the marks stay.
        w.btnListClick(w.btnList);
        QCOMPARE(w.pgMain->currentIndex(), 0);
        QVERIFY(w.btnSearch->Checked());
        QVERIFY(!w.btnList->Checked());
        // A sender of another kind changes nothing.
        w.pgMain->setCurrentIndex(1);
        w.btnListClick(w.ImgStest);
        w.btnListClick(w.ListBox1);
        w.btnListClick(nullptr);
        QCOMPARE(w.pgMain->currentIndex(), 1);
    }

    void bannerFillsItsPanelWithItsFlagsAndNoMenu()
    {
        const BannerModuleOn withBanner;
        AppDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("site/ad"));
        QFile page(dir.path() + QStringLiteral("/site/ad/201072718_1.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        // A strip from a web server that asks for boxes gets none: the window stays the user's.
        page.write("<html><body style='margin:0;background:#a3261c'><script>"
                   "for (let i = 0; i < 20; ++i) { alert(i); confirm(i); prompt(i); }"
                   "document.title = 'asked';</script></body></html>");
        page.close();
        int boxes = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&boxes] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++boxes;
                modal->close();
            }
        });
        closer.start(20);
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const WId window = w.winId();
        // The control comes from the banner module, after the first paint: the test knows it
        // as a widget only.
        QWidget* banner = nullptr;
        QTRY_VERIFY((banner = w.pnlAD->findChild<QWidget*>(QStringLiteral("wbAD"))) && w.wbAD);
        // The main window was not made again for it (no flicker). With OpenGL the browser has
        // a native window of its own over the panel (tests/e2e checks that on a display).
        QCOMPARE(w.winId(), window);
        QCOMPARE(QRect(banner->mapTo(&w, QPoint(0, 0)), banner->size()), QRect(0, 0, 772, 82));
        quint32 flags = 0;
        QVERIFY(QMetaObject::invokeMethod(banner, "hostInfoFlags", Q_RETURN_ARG(quint32, flags)));
        QCOMPARE(flags, 262412u); // no 3D border, no scroll bars, themes, DIV on Enter
        QTRY_COMPARE(banner->property("url").toUrl(),
                     QUrl::fromLocalFile(dir.path() + QStringLiteral("/site/ad/201072718_1.html")));
        // What a user sees: the page's own colour over the whole strip.
        QTRY_COMPARE_WITH_TIMEOUT(pixelsOfColour(w.grab(QRect(0, 0, 772, 82)).toImage(), 0xa3261c),
                                  772 * 82, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(banner->property("title").toString(), QStringLiteral("asked"),
                                  30000);
        QCOMPARE(boxes, 0);
        qint32 result = -1;
        w.wbADShowContextMenu(banner, result);
        QCOMPARE(result, 0); // S_OK: the host "has shown" it, the browser shows none
    }

    void wakeUpMessageRestoresTheWindow()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        MainWindowFixture f;
        QVERIFY(f.open());
        TFrmMain& w = *f.window();
        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        auto sent = std::async(std::launch::async, [] {
            return WakeChannel::sendMessage(QStringLiteral("Wenquell"), WM_APPRESTORE, 0, 0, 3000);
        });
        while (sent.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCOMPARE(sent.get(), WakeChannel::SendResult::Handled);
        QVERIFY(!w.isMinimized());
    }
};

WQ_WINDOW_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
