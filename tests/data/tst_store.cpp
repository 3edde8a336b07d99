#include "DbConnection.h"
#include "DbQuery.h"
#include "EntryText.h"
#include "Exception.h"
#include "Gbk.h"
#include "ResultText.h"
#include "Statements.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QSet>
#include <QTest>
#include <sys/stat.h>

static QByteArray gbk(const QString& s)
{
    return Gbk::fromUnicode(s);
}

class TestStore : public QObject
{
    Q_OBJECT
private:
    AppDir m_dir;
    DbConnection m_conn;
    DbQuery m_query;
    QByteArray m_bytesBefore;

    QStringList idioms(const QByteArray& statement)
    {
        Statements::run(m_query, statement);
        return m_query.column(Fields::Idiom);
    }

private slots:
    void initTestCase()
    {
        m_bytesBefore = fileBytes(m_dir.databasePath());
        QVERIFY(!m_bytesBefore.isEmpty());
        m_conn.setConnectionString(DbConnection::forFile(m_dir.databasePath()));
        m_conn.open();
        QVERIFY(m_conn.connected());
        m_query.setObjectName(QStringLiteral("ADOQuery1"));
        m_query.setConnection(&m_conn);
    }

    // Read here, or read ahead on a thread of its own (as at start-up) and taken by open().
    void fullListInTheStoresOwnOrderWithDuplicates_data()
    {
        QTest::addColumn<bool>("ahead");
        QTest::addColumn<QString>("madeColumn");
        QTest::newRow("read here") << false << QString();
        QTest::newRow("read ahead") << true << QString();
        QTest::newRow("read ahead with the idioms made") << true << QStringLiteral("chengyu");
        QTest::newRow("read ahead with another column made") << true << QStringLiteral("pingyin");
        QTest::newRow("read ahead, made column unknown") << true << QStringLiteral("Nothing");
    }
    void fullListInTheStoresOwnOrderWithDuplicates()
    {
        QFETCH(bool, ahead);
        QFETCH(QString, madeColumn);
        if (ahead)
            DbQuery::readAhead(m_conn.connectionString(), Gbk::toUnicode(Statements::fullList()),
                               madeColumn);
        QCOMPARE(
            idioms(Statements::fullList()),
            QStringList({"爱不释手", "阿谀奉承", "画龙点睛", "绿草如茵", "略知一二", "马到成功",
                         "马到成功", "人云亦云", "项庄舞剑，意在沛公", "一言九鼎", "一言为定"}));
        QCOMPARE(m_query.recordCount(), 11);
        QVERIFY(m_query.eof());
        // The rows stay for reading, and a column asked for again is the same.
        m_query.first();
        QCOMPARE(m_query.fieldAsString(Fields::Idiom), QStringLiteral("爱不释手"));
        QCOMPARE(m_query.column(Fields::Idiom).size(), 11);
        QCOMPARE(m_query.column(Fields::Pinyin).size(), 11);
    }

    void entryLookupFindsTheFirstOfTwo()
    {
        Statements::run(m_query, Statements::entryLookup(gbk(QStringLiteral("马到成功"))));
        QCOMPARE(m_query.recordCount(), 2);
        QCOMPARE(m_query.fieldAsString(QStringLiteral("DianGu")),
                 QStringLiteral("比喻一开始就取得成功。Quick success, 100% sure."));
        QCOMPARE(m_query.fieldAsInteger(QStringLiteral("id")), 6);
    }

    void search_data()
    {
        QTest::addColumn<QByteArray>("statement");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("pinyin syllables")
            << Statements::pinyinSearch("yiyan") << QStringList({"一言九鼎", "一言为定"});
        QTest::newRow("pinyin initials")
            << Statements::pinyinSearch("yyjd") << QStringList({"一言九鼎"});
        QTest::newRow("ascii letters ignore case")
            << Statements::pinyinSearch("YYJD") << QStringList({"一言九鼎"});
        QTest::newRow("u with diaeresis is v")
            << Statements::pinyinSearch("lv") << QStringList({"绿草如茵", "略知一二"});
        QTest::newRow("underscore is any one character")
            << Statements::pinyinSearch("l_c") << QStringList({"绿草如茵"});
        QTest::newRow("percent alone matches every value")
            << Statements::pinyinSearch("%")
            << QStringList({"爱不释手", "阿谀奉承", "画龙点睛", "绿草如茵", "略知一二", "马到成功",
                            "马到成功", "人云亦云", "项庄舞剑，意在沛公", "一言九鼎", "一言为定"});
        QTest::newRow("a blank is searched as a blank")
            << Statements::pinyinSearch(" yyjd") << QStringList({"一言九鼎"});
        QTest::newRow("leading blank finds nothing more")
            << Statements::pinyinSearch("  yyjd") << QStringList();
        QTest::newRow("characters") << Statements::characterSearch(gbk(QStringLiteral("一")))
                                    << QStringList({"略知一二", "一言九鼎", "一言为定"});
        QTest::newRow("full-width comma") << Statements::characterSearch(gbk(QStringLiteral("，")))
                                          << QStringList({"项庄舞剑，意在沛公"});
        QTest::newRow("a quote is searched literally")
            << Statements::characterSearch("'") << QStringList();
        QTest::newRow("a quote cannot end the value")
            << Statements::characterSearch("' or 1=1 or ChengYu like '") << QStringList();
        QTest::newRow("emoji outside GBK")
            << Statements::characterSearch(gbk(QStringLiteral("😀"))) << QStringList();
    }
    void search()
    {
        QFETCH(QByteArray, statement);
        QFETCH(QStringList, expected);
        QCOMPARE(idioms(statement), expected);
    }

    void gameQuestionsAreTenAtMostInRandomOrder()
    {
        QSet<QString> orders;
        for (int round = 0; round < 20; ++round) {
            const QStringList dealt = idioms(Statements::gameQuestions());
            QCOMPARE(dealt.size(), 10);
            orders.insert(dealt.join(QLatin1Char('|')));
        }
        QVERIFY2(orders.size() > 1, "twenty deals came out the same");
    }

    void gameAnswerCheck_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<int>("rows");
        QTest::newRow("an idiom") << QStringLiteral("画龙点睛") << 1;
        QTest::newRow("a duplicate") << QStringLiteral("马到成功") << 2;
        QTest::newRow("blanks removed") << QStringLiteral("画龙点") << 0;
        QTest::newRow("with a quote") << QStringLiteral("画龙'点睛") << 0;
    }
    void gameAnswerCheck()
    {
        QFETCH(QString, candidate);
        QFETCH(int, rows);
        Statements::run(m_query, Statements::gameAnswerCheck(gbk(candidate)));
        QCOMPARE(m_query.recordCount(), rows);
    }

    // A result's text as it grows past its first block and past the first huge piece.
    void resultTextKeepsEveryByteAsItGrows_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::newRow("a few") << 10;
        QTest::newRow("past the first block") << 70 * 1024;
        QTest::newRow("past two pieces") << 5 * 1024 * 1024 + 3;
    }
    void resultTextKeepsEveryByteAsItGrows()
    {
        QFETCH(int, bytes);
        QByteArray expected;
        ResultText text;
        for (int i = 0; expected.size() < bytes; ++i) {
            const QByteArray cell = QByteArray::number(i) + ',';
            expected += cell;
            text.append(cell.constData(), cell.size());
        }
        QCOMPARE(QByteArrayView(text.constData(), text.size()), QByteArrayView(expected));
        ResultText moved = std::move(text);
        QCOMPARE(text.size(), 0);
        moved.clear();
        moved.append("again", 5);
        QCOMPARE(QByteArrayView(moved.constData(), moved.size()), QByteArrayView("again"));
    }

    void fieldsByNameIgnoreCase()
    {
        Statements::run(m_query, Statements::entryLookup(gbk(QStringLiteral("一言九鼎"))));
        QCOMPARE(m_query.fieldAsString(QStringLiteral("chengyu")), QStringLiteral("一言九鼎"));
        QCOMPARE(m_query.fieldAsString(QStringLiteral("SPINGYIN")),
                 QStringLiteral("yiyanjiuding yyjd"));
        try {
            m_query.fieldAsString(QStringLiteral("Nope"));
            QFAIL("an unknown field was read");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.message(), QStringLiteral("ADOQuery1: Field 'Nope' not found"));
        }
    }

    void noRowReadsEmpty()
    {
        Statements::run(m_query, Statements::entryLookup("nothing"));
        QCOMPARE(m_query.recordCount(), 0);
        QVERIFY(m_query.eof());
        const IdiomEntry e = EntryText::read(m_query);
        QVERIFY(e.chengYu.isEmpty() && e.pingYin.isEmpty() && e.dianGu.isEmpty() &&
                e.liZi.isEmpty() && e.chuchu.isEmpty());
    }

    void missingLabelReadsEmpty()
    {
        Statements::run(m_query, Statements::entryLookup(gbk(QStringLiteral("绿草如茵"))));
        QCOMPARE(m_query.fieldAsGbk(QStringLiteral("LiZi")), QByteArray());
        QCOMPARE(m_query.fieldAsString(QStringLiteral("Chuchu")), QStringLiteral("无"));
    }

    void writingStatementsAreRefused_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("ahead"); // read ahead first: refused there, refused here
        QTest::newRow("delete") << "delete from ChenYu" << false;
        QTest::newRow("update") << "update ChenYu set ChengYu = 'x'" << false;
        QTest::newRow("insert") << "insert into ChenYu (ChengYu) values ('x')" << false;
        QTest::newRow("drop") << "drop table ChenYu" << false;
        QTest::newRow("second statement") << "select * from ChenYu; delete from ChenYu" << false;
        QTest::newRow("pragma") << "pragma query_only = 0" << false;
        QTest::newRow("attach") << "attach database 'x.db' as x" << false;
        QTest::newRow("delete, read ahead") << "delete from ChenYu" << true;
    }
    void writingStatementsAreRefused()
    {
        QFETCH(QString, statement);
        QFETCH(bool, ahead);
        if (ahead)
            DbQuery::readAhead(m_conn.connectionString(), statement);
        m_query.setSql(statement);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_query.open());
        QVERIFY(!m_query.active());
    }

    void unknownTableIsAnError()
    {
        m_query.setSql(QStringLiteral("select * from Nothing"));
        try {
            m_query.open();
            QFAIL("opened a table that does not exist");
        } catch (const EDatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("Nothing")), qPrintable(e.message()));
        }
    }

    void failureWhileReadingLeavesNoRowsBehind()
    {
        QCOMPARE(idioms(Statements::fullList()).size(), 11);
        // Fails on the first row, after the statement was accepted.
        m_query.setSql(
            QStringLiteral("select * from ChenYu where abs(-9223372036854775807 - 1) > 0"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_query.open());
        QVERIFY(!m_query.active());
        QCOMPARE(m_query.recordCount(), 0);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_query.fieldAsString(QStringLiteral("ChengYu")));
        // The next result holds its own rows only, in the room the earlier one left.
        Statements::run(m_query, Statements::entryLookup(gbk(QStringLiteral("一言九鼎"))));
        QCOMPARE(m_query.recordCount(), 1);
        QCOMPARE(m_query.fieldAsString(QStringLiteral("ChengYu")), QStringLiteral("一言九鼎"));
        QCOMPARE(m_query.fieldAsString(QStringLiteral("SPingYin")),
                 QStringLiteral("yiyanjiuding yyjd"));
        m_query.next();
        QVERIFY(m_query.eof());
        QCOMPARE(m_query.fieldAsString(QStringLiteral("ChengYu")), QString());
    }

    void openFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("why");
        const QString cannot = QStringLiteral("unable to open database file");
        QTest::newRow("missing") << QByteArray() << "none" << cannot;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << "file"
                                        << "file is not a database";
        // Opening a FIFO would wait for a writer that never comes.
        QTest::newRow("fifo") << QByteArray() << "fifo" << cannot;
        QTest::newRow("folder") << QByteArray() << "folder" << cannot;
    }
    void openFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, kind);
        QFETCH(QString, why);
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/含 空格 XXXXXX"));
        const QString path = dir.path() + QStringLiteral("/data/EduData.db");
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        if (kind == QLatin1String("file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/EduData.db")));
        }
        // The list read ahead of the window meets the same file on its own thread.
        DbQuery::readAhead(DbConnection::forFile(path), QStringLiteral("select * from ChenYu"),
                           QString());
        DbConnection conn;
        conn.setConnectionString(DbConnection::forFile(path));
        try {
            conn.open();
            QFAIL("opened what is no store");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Cannot open the database file '%1': %2.").arg(path, why));
        }
        QVERIFY(!conn.connected());
        QCOMPARE(conn.lastOpenError(),
                 QStringLiteral("Cannot open the database file '%1': %2.").arg(path, why));
        if (kind == QLatin1String("file"))
            QCOMPARE(fileBytes(path), content);              // nothing written
        DbQuery::readAhead(QString(), QString(), QString()); // waits for nothing that hangs
    }

    void queryOnAClosedStoreSaysSo()
    {
        DbConnection closed;
        closed.setConnectionString(DbConnection::forFile(QStringLiteral("/nonexistent/x.db")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, closed.open());
        DbQuery q;
        q.setConnection(&closed);
        q.setSql(QStringLiteral("select * from ChenYu"));
        try {
            q.open();
            QFAIL("queried a closed store");
        } catch (const EDatabaseError& e) {
            QVERIFY(e.message().startsWith(QStringLiteral("成语数据库没有打开，无法查询：")));
            QVERIFY(e.message().contains(QStringLiteral("/nonexistent/x.db")));
        }
    }

    void connectionStrings_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "/opt/wenquell/data/EduData.db";
        QTest::newRow("blanks and Chinese") << "/home/用户 甲/词典/data/EduData.db";
        QTest::newRow("semicolon") << "/tmp/a;b/data/EduData.db";
        QTest::newRow("quote and semicolon") << "/tmp/\"x\";y/EduData.db";
        QTest::newRow("trailing blank") << "/tmp/x /EduData.db ";
    }
    void connectionStrings()
    {
        QFETCH(QString, path);
        QCOMPARE(DbConnection::dataSource(DbConnection::forFile(path)), path);
    }

    void otherProvidersAreNotAvailable()
    {
        DbConnection conn;
        conn.setConnectionString(QStringLiteral("Provider=SQLOLEDB;Data Source=") +
                                 m_dir.databasePath());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, conn.open());
    }

    void storeFileIsNeverWritten()
    {
        m_query.close();
        m_conn.close();
        QCOMPARE(
            QCryptographicHash::hash(fileBytes(m_dir.databasePath()), QCryptographicHash::Sha256),
            QCryptographicHash::hash(m_bytesBefore, QCryptographicHash::Sha256));
        QVERIFY(!QFile::exists(m_dir.databasePath() + QStringLiteral("-journal")));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
