#include "IdiomFinder.h"
#include "ShapeSearch.h"

#include <QTest>

// The shape search's patterns and the finder of idioms inside a text: pure logic.
class TestShapes : public QObject
{
    Q_OBJECT
private slots:
    void shape_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("idiom");
        QTest::addColumn<bool>("matches");
        QTest::newRow("? for one") << "一?一?"
                                   << "一心一意" << true;
        QTest::newRow("full-width ？ and ＊") << "一？一＊"
                                              << "一心一意" << true;
        QTest::newRow("* for one, not for a run") << "一*"
                                                  << "一心一意" << false;
        QTest::newRow("a whole idiom, not a part") << "一?一?"
                                                   << "一心一意，万众一心" << false;
        QTest::newRow("too short") << "一?一?"
                                   << "一心一" << false;
        QTest::newRow("% keeps its meaning") << "一?%"
                                             << "一心一意" << true;
        QTest::newRow("% for no character") << "一心一?%"
                                            << "一心一意" << true;
        QTest::newRow("% then a character it also takes") << "%一?"
                                                          << "一心一意" << true;
        QTest::newRow("% where nothing fits") << "一%二?"
                                              << "一心一意" << false;
        QTest::newRow("many %, no match") << "%?%?%?%?%?%?%?%?%?%?%?%?%?%?x"
                                          << "一二三四五六七八九十一二三四五六七八九十" << false;
        QTest::newRow("_ keeps its meaning") << "_心?意"
                                             << "一心一意" << true;
        QTest::newRow("blanks dropped") << "一 ? 一 ?"
                                        << "一模一样" << true;
        QTest::newRow("a character outside the BMP") << "?𠀀"
                                                     << "一𠀀" << true;
        QTest::newRow("AABB") << "AABB"
                              << "高高兴兴" << true;
        QTest::newRow("AABB, all four alike") << "AABB"
                                              << "哈哈哈哈" << false;
        QTest::newRow("aabb in lower case") << "aabb"
                                            << "高高兴兴" << true;
        QTest::newRow("full-width ＡＢＡＢ") << "ＡＢＡＢ"
                                             << "讨论讨论" << true;
        QTest::newRow("ABAB is not AABB") << "ABAB"
                                          << "高高兴兴" << false;
        QTest::newRow("ABAC") << "ABAC"
                              << "一心一意" << true;
        QTest::newRow("ABAC needs C other than B") << "ABAC"
                                                   << "讨论讨论" << false;
        QTest::newRow("ABCC") << "ABCC"
                              << "生气勃勃" << true;
        QTest::newRow("AABC") << "AABC"
                              << "欣欣向荣" << true;
        QTest::newRow("ABCA") << "ABCA"
                              << "天外有天" << true;
        QTest::newRow("ABBC") << "ABBC"
                              << "一望无际" << false;
        QTest::newRow("ABBC, four characters only") << "ABBC"
                                                    << "人才济济" << false;
        QTest::newRow("ABBC matches") << "ABBC"
                                      << "自欺欺人" << true;
        QTest::newRow("a word needs four characters") << "AABB"
                                                      << "高高兴兴的" << false;
    }
    void shape()
    {
        QFETCH(QString, typed);
        QFETCH(QString, idiom);
        QFETCH(bool, matches);
        const ShapeSearch::Pattern pattern = ShapeSearch::parse(typed);
        QVERIFY(pattern.kind != ShapeSearch::Pattern::Kind::None);
        QCOMPARE(ShapeSearch::matches(pattern, idiom), matches);
        QCOMPARE(ShapeSearch::filter(pattern, {idiom}).size(), matches ? 1 : 0);
    }

    void noShape_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("characters") << "一心";
        QTest::newRow("% alone") << "%一%";
        QTest::newRow("not a pattern word") << "ABCD";
        QTest::newRow("a pattern word inside a text") << "AABB式";
    }
    void noShape()
    {
        QFETCH(QString, typed);
        QCOMPARE(ShapeSearch::parse(typed).kind, ShapeSearch::Pattern::Kind::None);
    }

    void finder_data()
    {
        QTest::addColumn<QStringList>("headwords");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        const QStringList words{"一心一意", "心意", "一五一十", "十全十美",
                                "全心全意", "一心", "意在沛公", "项庄舞剑，意在沛公"};
        QTest::newRow("order of occurrence, overlapping")
            << words << "讲得一五一十全十美" << QStringList({"一五一十", "十全十美"});
        QTest::newRow("the longer first at the same place")
            << words << "他一心一意" << QStringList({"一心一意", "一心"});
        QTest::newRow("each once")
            << words << "一心一意，心意，一心一意" << QStringList({"一心一意", "一心", "心意"});
        QTest::newRow("a saying holding a headword")
            << words << "项庄舞剑，意在沛公" << QStringList({"项庄舞剑，意在沛公", "意在沛公"});
        QTest::newRow("a prefix that fails, then a match")
            << words << "一五一心意" << QStringList({"一心", "心意"});
        QTest::newRow("nothing") << words << "今天天气很好" << QStringList();
        QTest::newRow("duplicates in the store")
            << QStringList({"马到成功", "马到成功"}) << "马到成功" << QStringList({"马到成功"});
        QTest::newRow("outside the BMP")
            << QStringList({"𠀀𠀁"}) << "a𠀀𠀁b" << QStringList({"𠀀𠀁"});
        QTest::newRow("no headwords") << QStringList() << "一心一意" << QStringList();
    }
    void finder()
    {
        QFETCH(QStringList, headwords);
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        QCOMPARE(IdiomFinder(headwords).find(text), found);
    }
};

QTEST_APPLESS_MAIN(TestShapes)
#include "tst_shapes.moc"
