#include "JetDialect.h"

#include <QTest>

class TestJetDialect : public QObject
{
    Q_OBJECT
private slots:
    void translation_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("full list") << "select * from ChenYu"
                                   << "select * from ChenYu";
        QTest::newRow("entry lookup")
            << "select * from ChenYu where ChengYu = '一言九鼎'"
            << "select * from ChenYu where ChengYu = '一言九鼎' collate nocase";
        QTest::newRow("pinyin search")
            << "select * from ChenYu where SPingYin like '%yyjd%'"
            << "select * from ChenYu where SPingYin like '%yyjd%' collate nocase";
        QTest::newRow("game questions")
            << "select top 10 * from ChenYu order by rnd(id - time()*id * rnd * 1000)"
            << "select * from ChenYu order by jet_rnd(id - jet_time()*id * jet_rnd() * 1000) "
               "limit 10";
        QTest::newRow("keywords in any case")
            << "SELECT TOP 3 * FROM ChenYu ORDER BY RND(id)"
            << "SELECT * FROM ChenYu ORDER BY jet_rnd(id) limit 3";
        QTest::newRow("doubled quote stays inside the literal")
            << "select * from ChenYu where ChengYu = 'a''b top 5 rnd'"
            << "select * from ChenYu where ChengYu = 'a''b top 5 rnd' collate nocase";
        QTest::newRow("double-quoted string")
            << "select * from ChenYu where ChengYu = \"it's\""
            << "select * from ChenYu where ChengYu = 'it''s' collate nocase";
        QTest::newRow("unterminated literal passes through")
            << "select * from ChenYu where ChengYu = 'a''"
            << "select * from ChenYu where ChengYu = 'a''";
        QTest::newRow("field named like a function") << "select time, rnd_x from t"
                                                     << "select time, rnd_x from t";
        QTest::newRow("top without a number is left alone") << "select top from t"
                                                            << "select top from t";
        QTest::newRow("trailing semicolon before limit") << "select top 2 * from t;"
                                                         << "select * from t limit 2";
    }
    void translation()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(JetDialect::toSqlite(jet), sqlite);
    }
};

QTEST_APPLESS_MAIN(TestJetDialect)
#include "tst_jetdialect.moc"
