#include "Fsrs.h"
#include "LearnerFile.h"
#include "WordBookText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <unistd.h>

Q_DECLARE_METATYPE(IdiomKey)

static const IdiomKey kA{u"一言九鼎"_qs, u"yī yán jiǔ dǐng"_qs};
static const IdiomKey kB{u"马到成功"_qs, u"mǎ dào chéng gōng"_qs};
static const IdiomKey kC{u"略知一二"_qs, u"lüè zhī yī èr"_qs};
// The same text twice in the store, told apart by the pinyin.
static const IdiomKey kC2{u"略知一二"_qs, u"lüè zhī yí èr"_qs};

static QStringList names(const QList<IdiomKey>& keys)
{
    QStringList out;
    for (const IdiomKey& key : keys)
        out.append(key.idiom + u'/' + key.pinyin);
    return out;
}

static bool runSql(const QString& path, const QByteArray& sql)
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

static QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A learner's file in a temporary folder, opened on a clock that steps by a second per read.
class Fixture
{
public:
    Fixture() : file([this] { return m_now += 1000; }) {}
    QString path() const { return dir.path() + u"/Wenquell/learner.db"_qs; }
    LearnerFile::Opened open() { return file.open(path()); }

    QTemporaryDir dir;
    LearnerFile file;

private:
    qint64 m_now = 1765400000000;
};

class TestLearner : public QObject
{
    Q_OBJECT
private slots:
    void book_data()
    {
        // Each step: "+" adds, "-" removes; the book afterwards, oldest first.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("add two") << QStringList{"+a", "+b"} << QStringList{"a", "b"};
        QTest::newRow("add twice keeps one, at its first place")
            << QStringList{"+a", "+b", "+a"} << QStringList{"a", "b"};
        QTest::newRow("remove") << QStringList{"+a", "+b", "-a"} << QStringList{"b"};
        QTest::newRow("remove what is not there") << QStringList{"-a", "+b"} << QStringList{"b"};
        QTest::newRow("same text, other pinyin: two idioms")
            << QStringList{"+c", "+c2", "-c"} << QStringList{"c2"};
        QTest::newRow("removed then added again goes last")
            << QStringList{"+a", "+b", "-a", "+a"} << QStringList{"b", "a"};
    }
    void book()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        const QHash<QString, IdiomKey> keys{{"a", kA}, {"b", kB}, {"c", kC}, {"c2", kC2}};
        Fixture f;
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        for (const QString& step : steps) {
            const IdiomKey key = keys[step.mid(1)];
            QVERIFY(step[0] == u'+' ? f.file.addToBook(key) : f.file.removeFromBook(key));
            QCOMPARE(f.file.inBook(key), step[0] == u'+');
        }
        QStringList want;
        for (const QString& k : expected)
            want.append(keys[k].idiom + u'/' + keys[k].pinyin);
        QCOMPARE(names(f.file.book()), want);
        QCOMPARE(f.file.bookCount(), int(expected.size()));
        // What was committed is what a new opening reads.
        f.file.close();
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        QCOMPARE(names(f.file.book()), want);
    }

    void historyIsNewestFirstOnceAndCapped_data()
    {
        QTest::addColumn<int>("distinct");
        QTest::addColumn<int>("revisit"); // seen again at the end; -1 for none
        QTest::newRow("three") << 3 << -1;
        QTest::newRow("oldest seen again goes to the top") << 3 << 0;
        QTest::newRow("at the cap") << LearnerFile::kHistoryCap << -1;
        QTest::newRow("beyond the cap the oldest go") << LearnerFile::kHistoryCap + 5 << -1;
        QTest::newRow("beyond the cap, one brought back") << LearnerFile::kHistoryCap + 5 << 10;
    }
    void historyIsNewestFirstOnceAndCapped()
    {
        QFETCH(int, distinct);
        QFETCH(int, revisit);
        Fixture f;
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        QStringList expected;
        for (int i = 0; i < distinct; ++i) {
            QVERIFY(f.file.addToHistory({u"成语%1"_qs.arg(i), {}}));
            expected.prepend(u"成语%1/"_qs.arg(i));
        }
        if (revisit >= 0) {
            QVERIFY(f.file.addToHistory({u"成语%1"_qs.arg(revisit), {}}));
            expected.removeOne(u"成语%1/"_qs.arg(revisit));
            expected.prepend(u"成语%1/"_qs.arg(revisit));
        }
        while (expected.size() > LearnerFile::kHistoryCap)
            expected.removeLast();
        QCOMPARE(names(f.file.history()), expected);
        QCOMPARE(names(f.file.history(2)), expected.mid(0, 2));
    }

    void importLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one a line")
            << u"一言九鼎\n马到成功\n"_qs.toUtf8() << QStringList{"一言九鼎/", "马到成功/"};
        QTest::newRow("byte-order mark, CR LF, blanks, no last line end")
            << QByteArray("\xEF\xBB\xBF") + u"一言九鼎\r\n\r\n  马到成功  \r\n略知一二"_qs.toUtf8()
            << QStringList{"一言九鼎/", "马到成功/", "略知一二/"};
        QTest::newRow("Anki's header lines and fields")
            << u"#separator:tab\n#html:false\n马到成功\tmǎ dào chéng gōng\t比喻\t\t\n"_qs.toUtf8()
            << QStringList{"马到成功/mǎ dào chéng gōng"};
        QTest::newRow("each once")
            << u"一言九鼎\n一言九鼎\n"_qs.toUtf8() << QStringList{"一言九鼎/"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }
    void importLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const WordBookText::Line& line : WordBookText::parseImport(file))
            got.append(line.idiom + u'/' + line.pinyin);
        QCOMPARE(got, expected);
    }

    void exportThenImportGivesTheSameBook()
    {
        const QList<WordBookText::Note> notes{
            {kA.idiom, kA.pinyin, u"一句话的分量\t像九鼎"_qs, u"他说话向来～。"_qs, u"《史记》"_qs},
            {kC.idiom, kC.pinyin, u"知道\r\n一点点。"_qs, {}, u"无"_qs},
            {kC2.idiom, kC2.pinyin, u"另一读法"_qs, {}, {}},
        };
        const QByteArray tsv = WordBookText::toAnkiTsv(notes);
        const QList<QByteArray> lines = tsv.split('\n');
        QCOMPARE(lines.value(0), QByteArray("#separator:tab"));
        // Tabs and line breaks inside a field never split a note.
        QCOMPARE(lines.value(3), (kA.idiom + u'\t' + kA.pinyin +
                                  u"\t一句话的分量 像九鼎\t他说话向来～。\t《史记》"_qs)
                                     .toUtf8());
        QCOMPARE(lines.value(4),
                 (kC.idiom + u'\t' + kC.pinyin + u"\t知道 一点点。\t\t无"_qs).toUtf8());
        QStringList back;
        for (const WordBookText::Line& line : WordBookText::parseImport(tsv))
            back.append(line.idiom + u'/' + line.pinyin);
        QCOMPARE(back, names({kA, kC, kC2}));
    }

    // Each row: a new card answered on each of its due dates, against the reference figures.
    void schedulerAgreesWithTheReference_data()
    {
        QTest::addColumn<QString>("ratings");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<QStringList>("stability");
        QTest::addColumn<QStringList>("difficulty");
        const QList<QByteArray> lines =
            readAll(QStringLiteral(WQ_FIXTURE_DIR "/fsrs-reference.tsv")).split('\n');
        int rows = 0;
        for (const QByteArray& line : lines) {
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList f = QString::fromLatin1(line).split(u'\t');
            QTest::newRow(qPrintable(f.value(0)))
                << f.value(0) << f.value(1).split(u',') << f.value(2).split(u',')
                << f.value(3).split(u',');
            ++rows;
        }
        QVERIFY(rows >= 4);
    }
    void schedulerAgreesWithTheReference()
    {
        QFETCH(QString, ratings);
        QFETCH(QStringList, days);
        QFETCH(QStringList, stability);
        QFETCH(QStringList, difficulty);
        QCOMPARE(days.size(), ratings.size());
        Fsrs::Card card;
        qint64 today = 20454; // 2026-01-01
        for (int i = 0; i < ratings.size(); ++i) {
            card = Fsrs::review(card, Fsrs::Rating(ratings[i].digitValue()), today);
            QCOMPARE(card.scheduledDays, days[i].toInt());
            QVERIFY2(qAbs(card.stability - stability[i].toDouble()) < 1e-7,
                     qPrintable(u"S %1 at %2"_qs.arg(card.stability, 0, 'f', 8).arg(i)));
            QVERIFY2(qAbs(card.difficulty - difficulty[i].toDouble()) < 1e-7,
                     qPrintable(u"D %1 at %2"_qs.arg(card.difficulty, 0, 'f', 8).arg(i)));
            QCOMPARE(card.reps, i + 1);
            today = card.dueDay();
        }
    }

    void reviewQueue_data()
    {
        // A book of `book` idioms, `perDay` new cards a day; on day 0 each card asked is
        // answered `rating`; then what is due on day 0 and on `laterDay`.
        QTest::addColumn<int>("book");
        QTest::addColumn<int>("perDay");
        QTest::addColumn<int>("rating");
        QTest::addColumn<int>("dueBefore");
        QTest::addColumn<int>("answered");
        QTest::addColumn<int>("laterDay");
        QTest::addColumn<int>("dueLater");
        QTest::newRow("new cards stop at the day's limit") << 5 << 3 << 3 << 3 << 3 << 1 << 2;
        QTest::newRow("good: back after three days, with the rest new")
            << 5 << 3 << 3 << 3 << 3 << 3 << 5;
        QTest::newRow("again: back the next day") << 2 << 20 << 1 << 2 << 2 << 1 << 2;
        QTest::newRow("easy: not back within a week") << 2 << 20 << 4 << 2 << 2 << 7 << 0;
        QTest::newRow("an empty book has nothing due") << 0 << 20 << 3 << 0 << 0 << 1 << 0;
    }
    void reviewQueue()
    {
        QFETCH(int, book);
        QFETCH(int, perDay);
        QFETCH(int, rating);
        QFETCH(int, dueBefore);
        QFETCH(int, answered);
        QFETCH(int, laterDay);
        QFETCH(int, dueLater);
        const qint64 day0 = 20454;
        Fixture f;
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        for (int i = 0; i < book; ++i)
            QVERIFY(f.file.addToBook({u"成语%1"_qs.arg(i), {}}));
        QCOMPARE(f.file.dueCount(day0, perDay), dueBefore);
        QStringList asked;
        while (const auto card = f.file.nextCard(day0, perDay)) {
            QVERIFY(card->card.isNew());
            QVERIFY(f.file.rate(*card, Fsrs::Rating(rating), day0));
            asked.append(card->key.idiom);
            QVERIFY(asked.size() <= book);
        }
        QCOMPARE(int(asked.size()), answered);
        // Oldest in the book first.
        if (!asked.isEmpty())
            QCOMPARE(asked.first(), u"成语0"_qs);
        QCOMPARE(f.file.dueCount(day0, perDay), 0);
        QCOMPARE(f.file.reviewCount(), answered);
        // Committed: a new opening sees the same.
        f.file.close();
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        QCOMPARE(f.file.dueCount(day0 + laterDay, perDay), dueLater);
        if (answered > 0) {
            // An idiom taken out of the book is not asked any more.
            f.file.removeFromBook({asked.first(), {}});
            QCOMPARE(f.file.dueCount(day0 + 400, perDay),
                     std::min(book - 1, answered - 1 + std::min(perDay, book - answered)));
        }
    }

    void importCountsAndNamesWhatTheStoreDoesNotKnow_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("already");
        QTest::addColumn<QStringList>("unknown");
        QTest::newRow("all known")
            << u"马到成功\n略知一二\n"_qs.toUtf8() << 2 << 0 << QStringList{};
        QTest::newRow("one unknown among them") << u"马到成功\n无中生有的词\n略知一二\n"_qs.toUtf8()
                                                << 2 << 0 << QStringList{u"无中生有的词"_qs};
        QTest::newRow("one already in the book, two unknown")
            << u"一言九鼎\nabc\n马到成功\n错字成语\n"_qs.toUtf8() << 1 << 1
            << QStringList{u"abc"_qs, u"错字成语"_qs};
    }
    void importCountsAndNamesWhatTheStoreDoesNotKnow()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, added);
        QFETCH(int, already);
        QFETCH(QStringList, unknown);
        Fixture f;
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        QVERIFY(f.file.addToBook(kA));
        // The store of this test knows three idioms, each with its pinyin.
        const QHash<QString, IdiomKey> store{{kA.idiom, kA}, {kB.idiom, kB}, {kC.idiom, kC}};
        QList<std::pair<QString, QString>> lines;
        for (const WordBookText::Line& line : WordBookText::parseImport(file))
            lines.append({line.idiom, line.pinyin});
        const LearnerFile::Imported got = f.file.importToBook(
            lines, [&](const QString& idiom, const QString&) { return store.value(idiom); });
        QCOMPARE(got.added, added);
        QCOMPARE(got.already, already);
        QCOMPARE(got.unknown, unknown);
        QCOMPARE(f.file.bookCount(), 1 + added);
    }

    void aVersionOneFileIsMigratedAndKeepsItsRecords()
    {
        Fixture f;
        QVERIFY(QDir().mkpath(QFileInfo(f.path()).absolutePath()));
        QVERIFY(runSql(f.path(), readAll(QStringLiteral(WQ_FIXTURE_DIR "/learner-v1.sql"))));
        const LearnerFile::Opened opened = f.open();
        QCOMPARE(opened.state, LearnerFile::State::Open);
        QCOMPARE(opened.notice, QString());
        QCOMPARE(names(f.file.history()), names({kB, kC, kA}));
        QCOMPARE(f.file.book().value(0), kB);
        QCOMPARE(f.file.bookCount(), 2);
        QVERIFY(f.file.addToBook(kA));
        f.file.close();
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(f.path()).constData(), &db), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT (SELECT user_version FROM pragma_user_version),"
                           " (SELECT journal_mode FROM pragma_journal_mode),"
                           " (SELECT count(*) FROM card), (SELECT count(*) FROM review_log)",
                           -1, &st, nullptr);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st, 0), LearnerFile::kSchemaVersion);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                 QByteArray("wal"));
        QCOMPARE(sqlite3_column_int(st, 2), 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
    }

    void aFileThatCannotBeUsedIsSetAside_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the file's bytes, or SQL prefixed "sql:"
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("noticeStart");
        QTest::newRow("not a database")
            << QByteArray(8192, 'x') << u".broken-"_qs << u"学习记录文件已损坏"_qs;
        QTest::newRow("a damaged page")
            << QByteArray("damage") << u".broken-"_qs << u"学习记录文件已损坏"_qs;
        QTest::newRow("a newer schema")
            << QByteArray("sql:CREATE TABLE future(x); PRAGMA user_version = 99;") << u".newer-"_qs
            << u"学习记录文件由较新版本的 Wenquell 写成"_qs;
    }
    void aFileThatCannotBeUsedIsSetAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, suffix);
        QFETCH(QString, noticeStart);
        Fixture f;
        {
            // A good file with records, then spoilt as the row says.
            QCOMPARE(f.open().state, LearnerFile::State::Open);
            for (int i = 0; i < 400; ++i)
                QVERIFY(f.file.addToBook({u"成语%1"_qs.arg(i), u"很长的拼音 %1"_qs.arg(i)}));
            f.file.close();
        }
        QByteArray before;
        if (bytes.startsWith("sql:")) {
            QVERIFY(runSql(f.path(), bytes.mid(4)));
        } else if (bytes == "damage") {
            // Overwrite the head of the book's first page, keeping the file's header intact.
            sqlite3* db = nullptr;
            sqlite3_stmt* st = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(f.path()).constData(), &db), SQLITE_OK);
            sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = 'book'", -1,
                               &st, nullptr);
            QCOMPARE(sqlite3_step(st), SQLITE_ROW);
            const qint64 page = sqlite3_column_int64(st, 0);
            sqlite3_finalize(st);
            sqlite3_close(db);
            QVERIFY(page > 1);
            QFile file(f.path());
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek((page - 1) * 4096);
            file.write(QByteArray(200, '\xFF'));
        } else {
            QFile file(f.path());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
        }
        before = readAll(f.path());

        const LearnerFile::Opened opened = f.open();
        QCOMPARE(opened.state, LearnerFile::State::Open);
        QVERIFY2(opened.setAsidePath.startsWith(f.path() + suffix),
                 qPrintable(opened.setAsidePath));
        QVERIFY2(opened.notice.startsWith(noticeStart), qPrintable(opened.notice));
        QVERIFY(opened.notice.contains(opened.setAsidePath));
        // The file set aside is kept byte for byte; the new one is empty and works.
        QCOMPARE(readAll(opened.setAsidePath), before);
        QCOMPARE(f.file.bookCount(), 0);
        QVERIFY(f.file.addToBook(kA));
        f.file.close();
        // Told once: the next opening finds a good file.
        const LearnerFile::Opened again = f.open();
        QCOMPARE(again.notice, QString());
        QVERIFY(f.file.inBook(kA));
    }

    void anUnwritableFolderLeavesNoMemoryAndOneMessage_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("the folder's place is a file") << u"file"_qs;
        QTest::newRow("a read-only folder") << u"read-only"_qs;
    }
    void anUnwritableFolderLeavesNoMemoryAndOneMessage()
    {
        QFETCH(QString, how);
        Fixture f;
        const QString folder = QFileInfo(f.path()).absolutePath();
        if (how == u"file") {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        }
        const LearnerFile::Opened opened = f.open();
        QCOMPARE(opened.state, LearnerFile::State::Unavailable);
        QVERIFY2(opened.notice.startsWith(u"无法写入学习记录的文件夹"_qs),
                 qPrintable(opened.notice));
        QVERIFY(opened.notice.contains(folder));
        QVERIFY(!f.file.addToBook(kA));
        QVERIFY(!f.file.addToHistory(kA));
        QCOMPARE(f.file.book(), QList<IdiomKey>());
        QVERIFY(!QFileInfo::exists(f.path()));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void aSecondCopyReadsButNeverWrites()
    {
        Fixture f;
        QCOMPARE(f.open().state, LearnerFile::State::Open);
        QVERIFY(f.file.addToBook(kA));
        const QByteArray before = readAll(f.path()) + readAll(f.path() + u"-wal"_qs);

        LearnerFile second;
        const LearnerFile::Opened opened = second.open(f.path());
        QCOMPARE(opened.state, LearnerFile::State::ReadOnly);
        QCOMPARE(opened.notice, QString());
        QVERIFY(second.inBook(kA));
        QVERIFY(!second.addToBook(kB));
        QVERIFY(!second.removeFromBook(kA));
        QVERIFY(!second.addToHistory(kB));
        second.close();
        QCOMPARE(readAll(f.path()) + readAll(f.path() + u"-wal"_qs), before);
        QVERIFY(f.file.inBook(kA));
        QVERIFY(!f.file.inBook(kB));
        // Once the first copy has let go, the file is written again.
        f.file.close();
        QCOMPARE(second.open(f.path()).state, LearnerFile::State::Open);
        QVERIFY(second.addToBook(kB));
    }
};

QTEST_GUILESS_MAIN(TestLearner)
#include "tst_learner.moc"
