#include "DbBuilder.h"
#include "IdiomLine.h"
#include "Pinyin.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTest>
#include <sqlite3.h>

namespace {

const QString kGarbled = QStringLiteral(WQ_FIXTURE_DIR "/garbled.txt");
const QString kReadings = QStringLiteral(WQ_FIXTURE_DIR "/readings.tsv");

QList<QStringList> storeRows(const QString& db, const char* sql)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, sql, -1, &s, nullptr);
    QList<QStringList> rows;
    while (sqlite3_step(s) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            row.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i))));
        rows.append(row);
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    return rows;
}

} // namespace

class TestBuilder : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    // The garbled fixture built with the fixture readings: each idiom's row, and each report
    // line by the idiom as written (of twin entries, the later one).
    QString m_garbledDb;
    QHash<QString, QStringList> m_garbledRows;
    QHash<QString, QStringList> m_repairs;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_tmp.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        m_garbledDb = m_tmp.filePath(QStringLiteral("garbled.db"));
        const DbBuilder::Report r = DbBuilder::build(
            kGarbled, m_garbledDb, {kReadings, m_tmp.filePath(QStringLiteral("repairs.tsv"))});
        QCOMPARE(r.rows, 26);
        QCOMPARE((QList<int>{r.repaired, r.failing}), (QList<int>{14, 8}));
        for (const QStringList& row : storeRows(m_garbledDb, "select ChengYu, PingYin, SPingYin "
                                                             "from ChenYu"))
            m_garbledRows.insert(row[0], row.mid(1));
        const QList<QByteArray> report =
            fileBytes(m_tmp.filePath(QStringLiteral("repairs.tsv"))).split('\n');
        QCOMPARE(report.front(), "status\tline\tidiom before\tidiom after\tpinyin before\tpinyin "
                                 "after\twhat changed\twhy it fails");
        for (const QByteArray& line : report.mid(1)) {
            const QStringList cells = QString::fromUtf8(line).split(u'\t');
            if (cells.size() == 8)
                m_repairs.insert(cells[2], cells);
        }
    }

    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("fields"); // idiom, pinyin, explanation, source, example
        QTest::newRow("all labels")
            << " 一言九鼎  拼音：yī yán jiǔ dǐng释义：话重。出处：《史记》示例：～。\r" << true
            << QStringList{"一言九鼎", "yī yán jiǔ dǐng", "话重。", "《史记》", "～。"};
        QTest::newRow("glued to the first label")
            << " 一言为定拼音：yī yán wéi dìng释义：说定。出处：无示例：无" << true
            << QStringList{"一言为定", "yī yán wéi dìng", "说定。", "无", "无"};
        QTest::newRow("no example label")
            << " 绿草如茵  拼音：lǜ cǎo rú yīn释义：柔软。出处：无⑹纠：无" << true
            << QStringList{"绿草如茵", "lǜ cǎo rú yīn", "柔软。", "无⑹纠：无", ""};
        QTest::newRow("two-part saying")
            << " 项庄舞剑，意在沛公  拼音：a释义：b出处：c示例：d" << true
            << QStringList{"项庄舞剑，意在沛公", "a", "b", "c", "d"};
        QTest::newRow("enumeration comma")
            << " 以狸致鼠、以冰致绳拼音：a释义：b出处：c示例：d" << true
            << QStringList{"以狸致鼠、以冰致绳", "a", "b", "c", "d"};
        QTest::newRow("field texts keep their blanks")
            << " 画龙点睛拼音： huà 释义：  b 出处：c示例：d " << true
            << QStringList{"画龙点睛", " huà ", "  b ", "c", "d "};
        QTest::newRow("pinyin glued into the idiom")
            << " 山陬海噬似匆簦簊hān zōu hǎi shì释义：远。出处：无示例：无" << false
            << QStringList();
        QTest::newRow("latin in the idiom") << " 一言A鼎  拼音：a释义：b" << false << QStringList();
        QTest::newRow("ascii comma") << " 一言,九鼎  拼音：a释义：b" << false << QStringList();
        QTest::newRow("two words before the label")
            << " 一言 九鼎  拼音：a释义：b" << false << QStringList();
        QTest::newRow("no idiom") << "   拼音：a释义：b" << false << QStringList();
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(bool, ok);
        QFETCH(QStringList, fields);
        const std::optional<IdiomRecord> r = IdiomLine::parse(line);
        QCOMPARE(r.has_value(), ok);
        if (ok)
            QCOMPARE((QStringList{r->chengYu, r->pingYin, r->dianGu, r->chuchu, r->liZi}), fields);
    }

    void searchForm_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("form");
        QTest::newRow("tone marks") << "yī yán jiǔ dǐng"
                                    << "yiyanjiuding yyjd";
        QTest::newRow("ü") << "lü cǎo"
                           << "lvcao lc";
        QTest::newRow("ü with tone marks") << "lǚ lǜ lǘ lǖ nüè"
                                           << "lvlvlvlvnve lllln";
        QTest::newRow("capitals") << "Yī Yán"
                                  << "yiyan yy";
        QTest::newRow("ideographic spaces") << "yī\u3000zhāo\u3000qiān\u3000lǐ"
                                            << "yizhaoqianli yzql";
        QTest::newRow("punctuation between syllables") << "zú chǐ ji?èr，xuán guī@jì"
                                                       << "zuchijierxuanguiji zcjexgj";
        QTest::newRow("tone digit") << "diu1 hún"
                                    << "diuhun dh";
        QTest::newRow("script g") << "xīn fán jì yǎnɡ"
                                  << "xinfanjiyang xfjy";
        QTest::newRow("empty") << ""
                               << " ";
    }
    void searchForm()
    {
        QFETCH(QString, written);
        QFETCH(QString, form);
        QCOMPARE(Pinyin::searchForm(written), form);
    }

    void buildSortsNumbersAndSkips()
    {
        const QString db = m_tmp.filePath(QStringLiteral("a.db"));
        const DbBuilder::Report r =
            DbBuilder::build(QStringLiteral(WQ_FIXTURE_DIR "/idioms.txt"), db);
        QCOMPARE(r.rows, 11);
        QCOMPARE(r.skippedLines, QList<int>{8});

        sqlite3* h = nullptr;
        QCOMPARE(sqlite3_open_v2(db.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr),
                 SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h, "select id, ChengYu, SPingYin from ChenYu order by rowid", -1, &s,
                           nullptr);
        QStringList rows;
        while (sqlite3_step(s) == SQLITE_ROW)
            rows.append(
                QString::number(sqlite3_column_int(s, 0)) + QLatin1Char(' ') +
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1))) +
                QLatin1Char(' ') +
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 2))));
        sqlite3_finalize(s);
        sqlite3_close(h);
        QCOMPARE(rows.size(), 11);
        QCOMPARE(rows[0], QStringLiteral("1 爱不释手 aibushishou abss"));
        QCOMPARE(rows[3], QStringLiteral("4 绿草如茵 lvcaoruyin lcry"));
        QCOMPARE(rows[4], QStringLiteral("5 略知一二 lvezhiyier lzye"));
        QCOMPARE(rows[5], QStringLiteral("6 马到成功 madaochenggong mdcg"));
        QCOMPARE(rows[6], QStringLiteral("7 马到成功 madaochenggong mdcg"));
        QCOMPARE(rows[10], QStringLiteral("11 一言为定 yiyanweiding yywd"));
    }

    void pinyinRepairs_data()
    {
        // As written; when the store holds another idiom, "→" and that one.
        QTest::addColumn<QString>("idiom");
        QTest::addColumn<QString>("shown");  // PingYin in the store
        QTest::addColumn<QString>("search"); // SPingYin
        // The report's status | what changed | why it fails; empty when the entry is not listed.
        QTest::addColumn<QString>("report");
        QTest::newRow("script g") << "蔽聪塞明"
                                  << "bì cōng sè míng"
                                  << "bicongseming bcsm"
                                  << "repaired|script-letter cōnɡ→cōng; script-letter "
                                     "mínɡ→míng|";
        QTest::newRow("tone mark moved") << "岸谷之变"
                                         << "àn gǔ zhī biàn"
                                         << "anguzhibian agzb"
                                         << "repaired|tone-mark 变 bìan→biàn|";
        QTest::newRow("tone mark moved onto ü") << "略知一二"
                                                << "lüè zhī yī èr"
                                                << "lvezhiyier lzye"
                                                << "repaired|tone-mark 略 lǜe→lüè|";
        QTest::newRow("cut short, toned reading before neutral ones")
            << "挨家挨户"
            << "āi jiā āi hù"
            << "aijiaaihu ajah"
            << "repaired|cut-short 家 ji→jiā|";
        QTest::newRow("cut short and closest reading")
            << "苍白无力"
            << "cāng bái wú lì"
            << "cangbaiwuli cbwl"
            << "repaired|cut-short 苍 āng→cāng; closest-reading 无 búi→wú|";
        QTest::newRow("ü written after x") << "城北徐公"
                                           << "chéng běi xú gōng"
                                           << "chengbeixugong cbxg"
                                           << "repaired|closest-reading 徐 xǘ→xú|";
        QTest::newRow("syllables written together") << "跌宕风流"
                                                    << "diē dàng fēng liú"
                                                    << "diedangfengliu ddfl"
                                                    << "repaired|split fēngliú→fēng liú|";
        QTest::newRow("missing syllable, one place, one reading")
            << "不打不成相识"
            << "bù dǎ bù chéng xiāng shí"
            << "budabuchengxiangshi bdbcxs"
            << "repaired|missing-syllable 成 +chéng|";
        QTest::newRow("lost character: a colon cut out, in both of twin entries")
            << "一硼地→一牛吼地"
            << "yī niú hǒu dì"
            << "yiniuhoudi ynhd"
            << "repaired|lost-character 一硼地→一牛吼地|";
        // The colon's split of 亿, 遥黑, reads yáo but not bǎi.
        QTest::newRow("lost character: an opening quote cut out")
            << "摇亿摆→摇摇摆摆"
            << "yáo yáo bǎi bǎi"
            << "yaoyaobaibai yybb"
            << "repaired|lost-character 摇亿摆→摇摇摆摆|";
        QTest::newRow("lost character, fitting by the letters where no tone fits")
            << "血肉凝→血肉模糊"
            << "xuè ròu mó hu"
            << "xueroumohu xrmh"
            << "repaired|lost-character 血肉凝→血肉模糊|";
        QTest::newRow("lost character: splits at two places fit, kept")
            << "硼地亿"
            << "niú hǒu yáo bǎi"
            << "niuhouyaobai nhyb"
            << "failing||4 syllables for 3 characters: the idiom may have lost a character "
               "(牛吼地亿 硼地摇摆 fit)";
        QTest::newRow("lost character: no split fits, kept")
            << "再接再"
            << "zài jiē zài lì"
            << "zaijiezaili zjzl"
            << "failing||4 syllables for 3 characters: the idiom may have lost a character (no "
               "split at a cut-out ： or “ fits)";
        QTest::newRow("missing syllable of several readings: kept")
            << "打开天窗说亮话"
            << "dǎ kāi tiān chuāng liàng huà"
            << "dakaitianchuanglianghua dktclh"
            << "failing||6 syllables for 7 characters: a missing syllable's character has more "
               "than one reading (说 shuō shuì yuè)";
        QTest::newRow("two readings equally close: kept")
            << "赭衣塞路"
            << "zhě yī sàī lù"
            << "zheyisailu zysl"
            << "failing||塞 sàī: no syllable; readings sāi sài sè fit as well";
        QTest::newRow("tone lacking: the one reading with its letters")
            << "儿女心肠"
            << "ér nǚ xīn cháng"
            << "ernvxinchang enxc"
            << "repaired|tone 女 nǘ→nǚ|";
        QTest::newRow("tone lacking, cut short") << "盐梅相成"
                                                 << "yán méi xiāng chéng"
                                                 << "yanmeixiangcheng ymxc"
                                                 << "repaired|cut-short 成 ché→chéng|";
        QTest::newRow("tone lacking: another reading has that tone, kept")
            << "食不重肉"
            << "shí bù zhóng ròu"
            << "shibuzhongrou sbzr"
            << "failing||重 zhóng: no syllable in this tone; zhòng has its letters, chóng its tone";
        QTest::newRow("tone lacking: two readings with its letters, kept")
            << "将门虎子"
            << "jiáng mén hǔ zǐ"
            << "jiangmenhuzi jmhz"
            << "failing||将 jiáng: no syllable in this tone; readings jiāng jiàng have its letters";
        QTest::newRow("tone lacking: a neutral reading is no answer")
            << "裂裳衣疮"
            << "liè sháng yī chuāng"
            << "lieshangyichuang lsyc"
            << "failing||裳 sháng: no syllable in this tone; no full-tone reading has its letters "
               "(shang cháng)";
        QTest::newRow("tone lacking: no reading with its letters, kept")
            << "仿徨失措"
            << "báng huáng shī cuò"
            << "banghuangshicuo bhsc"
            << "failing||仿 báng: no syllable in this tone; no full-tone reading has its letters "
               "(fǎng)";
        QTest::newRow("classical reading") << "阿家阿翁"
                                           << "ā gū ā wēng"
                                           << "aguaweng agaw"
                                           << "";
        QTest::newRow("neutral tone") << "吊儿郎当"
                                      << "diào er láng dāng"
                                      << "diaoerlangdang deld"
                                      << "";
        QTest::newRow("erhua") << "一股脑儿"
                               << "yī gǔ nǎor"
                               << "yigunaor ygn"
                               << "";
        QTest::newRow("full-width comma") << "项庄舞剑，意在沛公"
                                          << "xiàng zhuāng wǔ jiàn，yì zài pèi gōng"
                                          << "xiangzhuangwujianyizaipeigong xzwjyzpg"
                                          << "";
    }
    void pinyinRepairs()
    {
        QFETCH(QString, idiom);
        QFETCH(QString, shown);
        QFETCH(QString, search);
        QFETCH(QString, report);
        const QString written = idiom.section(u'→', 0, 0), stored = idiom.section(u'→', -1);
        QCOMPARE(m_garbledRows.value(stored), (QStringList{shown, search}));
        QCOMPARE(m_garbledRows.contains(written), written == stored);
        const QStringList line = m_repairs.value(written);
        const QString listed =
            line.isEmpty() ? QString() : line[0] + u'|' + line[6] + u'|' + line[7];
        QCOMPARE(listed, report);
        if (!line.isEmpty())
            QCOMPARE(line[3], stored);
    }

    void repairedStoreKeepsEveryEntryInToneLessOrder()
    {
        const QList<QStringList> rows =
            storeRows(m_garbledDb, "select PingYin from ChenYu order by id");
        QCOMPARE(rows.size(), 26);
        for (qsizetype i = 1; i < rows.size(); ++i)
            QVERIFY2(Pinyin::syllables(rows[i - 1][0]).join(QString()) <=
                         Pinyin::syllables(rows[i][0]).join(QString()),
                     qPrintable(rows[i][0]));
    }

    void sameInputGivesTheSameBytes()
    {
        const QString a = m_tmp.filePath(QStringLiteral("same1.db"));
        const QString b = m_tmp.filePath(QStringLiteral("same2.db"));
        DbBuilder::build(kGarbled, a, {kReadings, a + QStringLiteral(".tsv")});
        QTest::qWait(1100); // a clock-dependent byte would show now
        DbBuilder::build(kGarbled, b, {kReadings, b + QStringLiteral(".tsv")});
        QCOMPARE(fileBytes(a), fileBytes(b));
        QCOMPARE(fileBytes(a + QStringLiteral(".tsv")), fileBytes(b + QStringLiteral(".tsv")));
    }

    void badInputFailsWithItsLineAndKeepsTheOldStore_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("not UTF-8") << QByteArray(" 一言九鼎拼音：a释义：b\n 画龙\xff点睛拼音：a\n")
                                   << "line 2: not UTF-8 text";
        QTest::newRow("outside GBK")
            << QByteArray(" 一言九鼎拼音：a释义：b\n\n 画龙点睛拼音：a释义：\xf0\x9f\x98\x80\n")
            << "line 3: DianGu does not convert to GBK and back unchanged";
    }
    void badInputFailsWithItsLineAndKeepsTheOldStore()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        const QString db = m_tmp.filePath(QStringLiteral("kept.db"));
        DbBuilder::build(QStringLiteral(WQ_FIXTURE_DIR "/idioms.txt"), db);
        const QByteArray before = fileBytes(db);
        try {
            DbBuilder::build(write(QStringLiteral("bad.txt"), input), db);
            QFAIL("a bad input was built");
        } catch (const DbBuilder::Error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
        QCOMPARE(fileBytes(db), before);
        QVERIFY(!QFile::exists(db + QStringLiteral(".part")));
    }

    void commandReportsSkippedLines()
    {
        QProcess p;
        p.start(QStringLiteral(WQ_BUILD_EDUDATA_EXE),
                {QStringLiteral(WQ_FIXTURE_DIR "/idioms.txt"), m_tmp.filePath("cmd.db")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(p.readAllStandardOutput().contains("11 idioms written, 1 damaged lines skipped"),
                 "the report is missing");
        p.start(QStringLiteral(WQ_BUILD_EDUDATA_EXE),
                {m_tmp.filePath("missing.txt"), m_tmp.filePath("cmd2.db")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(!QFile::exists(m_tmp.filePath("cmd2.db")));
        p.start(QStringLiteral(WQ_BUILD_EDUDATA_EXE),
                {kGarbled, m_tmp.filePath("cmd3.db"), QStringLiteral("--readings"), kReadings});
        QVERIFY(p.waitForFinished(10000));
        QVERIFY2(
            p.readAllStandardOutput().contains(
                "pinyin checked: 26 entries, 4 passed as written, 14 repaired, 8 still failing"),
            "the pinyin counts are missing");
    }
};

QTEST_GUILESS_MAIN(TestBuilder)
#include "tst_builder.moc"
