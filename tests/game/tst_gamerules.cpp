#include "AnswerKey.h"
#include "GameRules.h"
#include "Gbk.h"

#include <QTest>

using GameRules::Pool;

static QByteArray gbk(const QString& text)
{
    return Gbk::fromUnicode(text);
}

// A random source that hands out the given draws in turn and records every bound asked for.
class ScriptedRandom
{
public:
    explicit ScriptedRandom(QList<int> draws) : m_draws(std::move(draws)) {}

    GameRules::RandomBelow source()
    {
        return [this](int n) {
            m_bounds.append(n);
            return m_draws.isEmpty() ? 0 : m_draws.takeFirst();
        };
    }
    const QList<int>& bounds() const { return m_bounds; }

private:
    QList<int> m_draws;
    QList<int> m_bounds;
};

static QList<QByteArray> poolList(const Pool& pool)
{
    return QList<QByteArray>(pool.begin(), pool.end());
}

// "啊阿": B0A1 B0A2. Its middle bytes A1 B0 are "“", which is not in the text.
static const QByteArray kStraddlesQuote = QByteArrayLiteral("\xB0\xA1\xB0\xA2");
// "啊" then the GBK character F8 40: the middle bytes A1 F8 are "▲", which is not in the text.
static const QByteArray kStraddlesBlank = QByteArrayLiteral("\xB0\xA1\xF8\x40");

class TestGameRules : public QObject
{
    Q_OBJECT
private slots:
    // Runs first: the key is empty until the first deal.
    void answerKeyBelongsToTheGameAndKeepsRowsNotDealt()
    {
        for (int i = -1; i <= 10; ++i)
            QCOMPARE(AnswerKey::entry(i), QByteArray());
        QList<QByteArray> ten;
        for (int i = 0; i < 10; ++i)
            ten.append(QByteArray(1, char('a' + i)));
        AnswerKey::store(ten);
        AnswerKey::store({"x", "y", "z"});
        const QList<QByteArray> expected = {"x", "y", "z", "d", "e", "f", "g", "h", "i", "j"};
        for (int i = 0; i < 10; ++i)
            QCOMPARE(AnswerKey::entry(i), expected[i]);
        QCOMPARE(AnswerKey::entry(10), QByteArray());
        AnswerKey::store(ten + QList<QByteArray>{"k", "l"});
        QCOMPARE(AnswerKey::entry(9), QByteArray("j"));
    }

    void characters_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::newRow("ascii") << QByteArray("a,b") << QList<QByteArray>{"a", ",", "b"};
        QTest::newRow("gbk and ascii")
            << gbk(u"一,心"_qs) << QList<QByteArray>{gbk(u"一"_qs), ",", gbk(u"心"_qs)};
        QTest::newRow("four-byte character with digits inside")
            << gbk(u"𠀀6"_qs) << QList<QByteArray>{QByteArrayLiteral("\x95\x32\x82\x36"), "6"};
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>{};
    }
    void characters()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, expected);
        QCOMPARE(GameRules::characters(text), expected);
    }

    void pickAt_data()
    {
        QTest::addColumn<QString>("idiom");
        QTest::addColumn<int>("p");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first") << u"一心一意"_qs << 1 << u"一"_qs;
        QTest::newRow("last") << u"一心一意"_qs << 4 << u"意"_qs;
        QTest::newRow("，between two halves moves forward")
            << u"项庄舞剑，意在沛公"_qs << 5 << u"意"_qs;
        QTest::newRow("，at the end moves back") << u"一心一意，"_qs << 5 << u"意"_qs;
        QTest::newRow("。at the end moves back") << u"天经地义。"_qs << 5 << u"义"_qs;
        QTest::newRow("。inside moves forward") << u"天经。地义"_qs << 3 << u"地"_qs;
        QTest::newRow(", moves forward") << u"天,地"_qs << 2 << u"地"_qs;
        QTest::newRow(". at the end moves back") << u"天地人."_qs << 4 << u"人"_qs;
        QTest::newRow("mark first moves forward") << u"，天地"_qs << 1 << u"天"_qs;
        QTest::newRow("third of three moves back to the second") << u"天地。"_qs << 3 << u"地"_qs;
        QTest::newRow("second of two stays: p - 1 is not above 1") << u"天，"_qs << 2 << u"，"_qs;
        QTest::newRow("a mark alone stays") << u"，"_qs << 1 << u"，"_qs;
        QTest::newRow("the character after a mark is taken as it is")
            << u"天，，地"_qs << 2 << u"，"_qs;
        QTest::newRow("four-byte character") << u"天𠀀地"_qs << 2 << u"𠀀"_qs;
        QTest::newRow("ascii mark inside mixed text") << u"a.一"_qs << 2 << u"一"_qs;
        QTest::newRow("position 0") << u"一心"_qs << 0 << QString();
        QTest::newRow("past the end") << u"一心"_qs << 3 << QString();
    }
    void pickAt()
    {
        QFETCH(QString, idiom);
        QFETCH(int, p);
        QFETCH(QString, expected);
        QCOMPARE(GameRules::pickAt(gbk(idiom), p), gbk(expected));
    }

    void pickDrawsAPositionAmongTheCharacters()
    {
        const QByteArray idiom = gbk(u"项庄舞剑，意在沛公"_qs);
        const QString expected = u"项庄舞剑意意在沛公"_qs;
        for (int draw = 0; draw < 9; ++draw) {
            ScriptedRandom random({draw});
            QCOMPARE(GameRules::pick(idiom, random.source()), gbk(expected.mid(draw, 1)));
            QCOMPARE(random.bounds(), QList<int>{9}); // characters, not bytes
        }
        ScriptedRandom none({});
        QCOMPARE(GameRules::pick(QByteArray(), none.source()), QByteArray());
        QVERIFY(none.bounds().isEmpty());
    }

    void blankOut_data()
    {
        QTest::addColumn<QByteArray>("idiom");
        QTest::addColumn<QByteArray>("character");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("once") << gbk(u"画蛇添足"_qs) << gbk(u"蛇"_qs) << gbk(u"画▲添足"_qs);
        QTest::newRow("repeated character blanked twice")
            << gbk(u"一心一意"_qs) << gbk(u"一"_qs) << gbk(u"▲心▲意"_qs);
        QTest::newRow("both halves of a saying")
            << gbk(u"一五一十，一清二楚"_qs) << gbk(u"一"_qs) << gbk(u"▲五▲十，▲清二楚"_qs);
        QTest::newRow("a mark that stayed picked")
            << gbk(u"天，"_qs) << gbk(u"，"_qs) << gbk(u"天▲"_qs);
        QTest::newRow("no match across a character boundary")
            << kStraddlesQuote << gbk(u"“"_qs) << kStraddlesQuote;
        QTest::newRow("ascii digit inside a four-byte character is not a digit")
            << gbk(u"𠀀6"_qs) << QByteArray("6") << gbk(u"𠀀▲"_qs);
        QTest::newRow("four-byte character")
            << gbk(u"𠀀一𠀀"_qs) << gbk(u"𠀀"_qs) << gbk(u"▲一▲"_qs);
        QTest::newRow("empty pick") << gbk(u"一心"_qs) << QByteArray() << gbk(u"一心"_qs);
    }
    void blankOut()
    {
        QFETCH(QByteArray, idiom);
        QFETCH(QByteArray, character);
        QFETCH(QByteArray, expected);
        QCOMPARE(GameRules::blankOut(idiom, character), expected);
    }

    void complete_data()
    {
        QTest::addColumn<QByteArray>("question");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("one answer fills both blanks")
            << gbk(u"▲心▲意"_qs) << gbk(u"一"_qs) << gbk(u"一心一意"_qs);
        QTest::newRow("empty answer removes the blanks")
            << gbk(u"▲心▲意"_qs) << QByteArray() << gbk(u"心意"_qs);
        QTest::newRow("a dragged verdict text goes in whole")
            << gbk(u"画▲添足"_qs) << gbk(u"【√】蛇"_qs) << gbk(u"画【√】蛇添足"_qs);
        QTest::newRow("no blank across a character boundary")
            << kStraddlesBlank << QByteArray("x") << kStraddlesBlank;
        QTest::newRow("answer with a quote")
            << gbk(u"▲s"_qs) << QByteArray("'") << QByteArray("'s");
    }
    void complete()
    {
        QFETCH(QByteArray, question);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, expected);
        QCOMPARE(GameRules::complete(question, answer), expected);
    }

    void blankIsTheGbkTriangle() { QCOMPARE(GameRules::blank().toHex(), QByteArray("a1f8")); }

    void poolHoldsThePicksThenEmpties()
    {
        QCOMPARE(poolList(GameRules::poolOf({"a", "b", "c"})),
                 (QList<QByteArray>{"a", "b", "c", "", "", "", "", "", "", ""}));
        QList<QByteArray> twelve;
        for (int i = 0; i < 12; ++i)
            twelve.append(QByteArray(1, char('a' + i)));
        QCOMPARE(poolList(GameRules::poolOf(twelve)), twelve.mid(0, 10));
    }

    void shuffle_data()
    {
        QTest::addColumn<QList<int>>("draws");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("all draws equal: nothing moves")
            << QList<int>(20, 3) << QByteArray("0123456789");
        QTest::newRow("one swap, nine no-ops")
            << (QList<int>{0, 9} + QList<int>(18, 5)) << QByteArray("9123456780");
        QTest::newRow("a then b, in turn")
            << QList<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 0}
            << QByteArray("0234567891");
    }
    void shuffle()
    {
        QFETCH(QList<int>, draws);
        QFETCH(QByteArray, expected);
        Pool pool;
        for (int i = 0; i < 10; ++i)
            pool[i] = QByteArray::number(i);
        ScriptedRandom random(draws);
        GameRules::shuffle(pool, random.source());
        QCOMPARE(poolList(pool).join(), expected);
        QCOMPARE(random.bounds(), QList<int>(20, 10));
    }

    void verdict_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<QByteArray>("removed");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("right") << true << gbk(u"一"_qs) << QByteArray("a1bea1cca1bfd2bb");
        QTest::newRow("wrong") << false << gbk(u"一"_qs) << QByteArray("a1bea1c1a1bfd2bb");
        QTest::newRow("wrong, nothing removed")
            << false << QByteArray() << QByteArray("a1bea1c1a1bf");
    }
    void verdict()
    {
        QFETCH(bool, right);
        QFETCH(QByteArray, removed);
        QFETCH(QByteArray, hex);
        QCOMPARE(GameRules::verdict(right, removed).toHex(), hex);
    }

    void score_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("none") << 0 << QByteArray("0");
        QTest::newRow("three") << 3 << QByteArray("30");
        QTest::newRow("all ten") << 10 << QByteArray("100");
    }
    void score()
    {
        QFETCH(int, rows);
        QFETCH(QByteArray, expected);
        QCOMPARE(GameRules::score(rows), expected);
    }
};

QTEST_APPLESS_MAIN(TestGameRules)
#include "tst_gamerules.moc"
