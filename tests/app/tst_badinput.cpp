// What a user can type, and what a machine can lack, each as a row: the program answers in its
// own words where the user must know, keeps what it showed, goes on working, and never writes
// to its idiom store.

#include "DbConnection.h"
#include "DragListBox.h"
#include "GameHost.h"
#include "Gbk.h"
#include "ImgButton.h"
#include "ListBox.h"
#include "RichEdit.h"
#include "SpeechLib_TLB.h"
#include "SpeechTestSupport.h"
#include "SpeechText.h"
#include "TestSupport.h"
#include "WindowTestMain.h"
#include "uFrmMain.h"
#include "uTest.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

QByteArray digest(const QString& path)
{
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256);
}

// Writes a store with the table ChenYu and the given idioms (or no table at all).
void writeStore(const QString& path, const QStringList& idioms, bool withTable = true)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    if (withTable) {
        sqlite3_exec(db,
                     "create table ChenYu (id integer primary key, ChengYu text, PingYin text, "
                     "SPingYin text, DianGu text, LiZi text, Chuchu text)",
                     nullptr, nullptr, nullptr);
        for (const QString& idiom : idioms) {
            const QByteArray sql =
                "insert into ChenYu (ChengYu, SPingYin) values ('" + idiom.toUtf8() + "', 'x x')";
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        }
    } else {
        sqlite3_exec(db, "create table Other (x)", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void searchTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pinyin");
        QTest::addColumn<int>("found"); // -1: a box, and the earlier results stay
        QTest::addColumn<QString>("box");
        const QString notFound = QStringLiteral("提示|Wenquell中未找到相关的词语信息！");
        QTest::newRow("a single quote") << "'" << false << -1 << notFound;
        QTest::newRow("quote and statement")
            << "'; drop table ChenYu; --" << true << -1 << notFound;
        QTest::newRow("percent") << "%" << true << 11 << "";
        QTest::newRow("underscore") << "_" << true << 11 << "";
        QTest::newRow("spaces only") << "   " << true << -1 << notFound;
        QTest::newRow("10,000 characters")
            << QString(10000, QLatin1Char('a')) << true << -1 << notFound;
        QTest::newRow("10,000 Chinese characters")
            << QString(10000, QChar(0x4E00)) << false << -1 << notFound;
        QTest::newRow("10,000 four-byte characters")
            << QString(10000, QChar(0x4DC0)) << false << -1 << notFound;
        QTest::newRow("longer than a search holds") << QString(32767, QChar(0x8A00)) << false << -1
                                                    << "提示|搜索内容太长，最多 10000 个字。";
        QTest::newRow("outside GBK") << QStringLiteral("😀成") << false << -1 << notFound;
        // Control characters are no part of an idiom or its pinyin: they are dropped.
        QTest::newRow("control characters") << QStringLiteral("yi\t\x01\x7f") << true << 6 << "";
        QTest::newRow("a NUL inside")
            << QStringLiteral("yi") + QChar(0) + QStringLiteral("yan") << true << 2 << "";
        QTest::newRow("only a NUL") << QString(QChar(0)) << true << -1 << "提示|搜索内容不能为空！";
        QTest::newRow("a lone surrogate")
            << QStringLiteral("yi") + QChar(0xD800) << true << -1 << notFound;
        QTest::newRow("backslash and brackets") << "\\[yi]" << true << -1 << notFound;
    }
    void searchTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, pinyin);
        QFETCH(int, found);
        QFETCH(QString, box);
        AppDir dir;
        const QByteArray before = digest(dir.databasePath());
        DialogRecorder dialogs;
        TFrmMain w;
        w.pgMain->setCurrentIndex(1);
        (pinyin ? w.RadPinYin : w.RadHanZi)->setChecked(true);
        w.edSou->setText(pinyin ? QStringLiteral("yiyan") : QStringLiteral("一言"));
        w.BitBtn2->click();
        const int earlier = w.ListBox2->count();
        QCOMPARE(earlier, 2);
        w.edSou->setText(text);
        w.BitBtn2->click();
        if (found < 0) {
            QCOMPARE(dialogs.lines(), QStringList{box});
            QCOMPARE(w.ListBox2->count(), earlier);
        } else {
            QCOMPARE(dialogs.lines(), QStringList());
            QCOMPARE(w.ListBox2->count(), found);
        }
        // Still working: another search.
        w.RadPinYin->setChecked(true);
        w.edSou->setText(QStringLiteral("yyjd"));
        w.BitBtn2->click();
        QCOMPARE(w.ListBox2->itemText(0), QStringLiteral("一言九鼎"));
        QCOMPARE(digest(dir.databasePath()), before);
    }

    void stores_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("startMessage"); // how what the user sees at start begins
        QTest::newRow("missing") << "missing" << 0
                                 << "Wenquell|出错！Cannot open the database file";
        QTest::newRow("empty file") << "empty" << 0 << "Wenquell|no such table: ChenYu";
        QTest::newRow("not a database")
            << "garbage" << 0 << "Wenquell|出错！Cannot open the database file";
        // Opening a FIFO would wait for a writer for ever: no window, no message.
        QTest::newRow("a FIFO") << "fifo" << 0 << "Wenquell|出错！Cannot open the database file";
        QTest::newRow("no table ChenYu") << "notable" << 0 << "Wenquell|no such table: ChenYu";
        QTest::newRow("no rows") << "norows" << 0 << "";
        QTest::newRow("three rows") << "three" << 3 << "";
    }
    void stores()
    {
        QFETCH(QString, kind);
        QFETCH(int, rows);
        QFETCH(QString, startMessage);
        AppDir dir(QString{});
        const QString db = dir.databasePath();
        if (kind == QLatin1String("empty"))
            dir.writeDatabase(QByteArray());
        else if (kind == QLatin1String("garbage"))
            dir.writeDatabase(QByteArray(5000, '\x5a'));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(db).constData(), 0600), 0);
        else if (kind == QLatin1String("notable"))
            writeStore(db, {}, false);
        else if (kind == QLatin1String("norows"))
            writeStore(db, {});
        else if (kind == QLatin1String("three"))
            writeStore(db, {QStringLiteral("画龙点睛"), QStringLiteral("一言九鼎"),
                            QStringLiteral("马到成功")});
        const bool exists = QFileInfo(db).isFile();
        const QByteArray before = exists ? digest(db) : QByteArray();

        DialogRecorder dialogs;
        auto w = std::make_unique<TFrmMain>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->ListBox1->count(), rows);
        if (startMessage.isEmpty()) {
            QCOMPARE(dialogs.lines(), QStringList());
        } else {
            QCOMPARE(dialogs.shown().size(), 1);
            QVERIFY2(dialogs.lines().first().startsWith(startMessage),
                     qPrintable(dialogs.lines().first()));
        }

        // A search: nothing found, or the store's trouble in the program's words.
        dialogs.clear();
        w->edSou->setText(QStringLiteral("yi"));
        w->BitBtn2->click();
        QCOMPARE(dialogs.shown().size(), 1);
        if (rows == 0 && kind == QLatin1String("norows"))
            QCOMPARE(dialogs.shown()[0].text, QStringLiteral("Wenquell中未找到相关的词语信息！"));

        // The game deals what there is: nothing, or every row of a small store.
        dialogs.clear();
        GameHost host;
        host.mainWindow = w.get();
        host.connection = w->ADOConnection1;
        host.idiomList = w->ListBox1;
        host.showIdiomListPage = [&] { w->btnListClick(w->btnList); };
        host.showSelectedIdiom = [&] { w->ListBox1Click(w->ListBox1); };
        TtTest game(host);
        QTest::mouseClick(game.bSub, Qt::LeftButton);
        QCOMPARE(game.LBCheng->count(), rows);
        if (kind == QLatin1String("norows") || kind == QLatin1String("three"))
            QCOMPARE(dialogs.lines(), QStringList());
        QTest::mouseClick(game.bCheck, Qt::LeftButton);
        if (rows > 0) {
            QCOMPARE(game.LBFalse->itemText(0).left(3), QStringLiteral("【×】"));
            QCOMPARE(game.Label2->text(), QStringLiteral("0"));
        }

        // The window still takes clicks and closes normally; the store is as it was.
        QTest::mouseClick(w->bStop, Qt::LeftButton);
        w.reset();
        QCOMPARE(QFileInfo(db).isFile(), exists);
        if (exists)
            QCOMPARE(digest(db), before);
    }

    void markupCharactersInTheAllChineseMode()
    {
        AppDir dir;
        DialogRecorder dialogs;
        VoiceCalls spoken; // outlives the window: the voice writes down its release
        TFrmMain w;
        w.SpVoice1->Disconnect();
        w.SpVoice1->setVoiceFactory([&] { return std::make_shared<RecordingVoice>(&spoken); });
        w.RichText->setText(QStringLiteral("<b>A & B</b> 1<2."));
        w.PlayClick(w.bPlay);
        QCOMPARE(spoken.spoken.size(), 1);
        // Passed on as the text is (the engine reads what is not a LANG element as text).
        QCOMPARE(spoken.spoken[0], SpeechText::chineseTag() + "<b>A & B</b> 1<2\xA1\xA3");
        // In the mixed mode the angle brackets become 〈 and 〉: no markup can come of them.
        w.YName->setCurrentIndex(1);
        w.PlayClick(w.bPlay);
        QCOMPARE(spoken.spoken.size(), 2);
        QVERIFY(!spoken.spoken[1].mid(19).contains('<') ||
                spoken.spoken[1].count('<') == spoken.spoken[1].count("<LANG"));
        QCOMPARE(dialogs.lines(), QStringList());
    }
};

WQ_WINDOW_TEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
