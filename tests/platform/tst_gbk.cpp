#include "Gbk.h"

#include <QTest>

class TestGbk : public QObject
{
    Q_OBJECT
private slots:
    void bytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("ab 1") << QByteArray("ab 1");
        QTest::newRow("label") << QStringLiteral("【成  语】：")
                               << QByteArray::fromHex("a1beb3c92020d3efa1bfa3ba");
        QTest::newRow("full-width a") << QStringLiteral("ａ") << QByteArray::fromHex("a3e1");
        QTest::newRow("marked vowel") << QStringLiteral("à") << QByteArray::fromHex("a8a4");
        QTest::newRow("blank marker") << QStringLiteral("▲") << QByteArray::fromHex("a1f8");
        // Outside GBK: GB18030 four-byte forms, whose 2nd and 4th bytes are ASCII digits.
        QTest::newRow("emoji") << QStringLiteral("😀") << QByteArray::fromHex("9439fc36");
    }
    void bytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Gbk::fromUnicode(text).toHex(), bytes.toHex());
        QCOMPARE(Gbk::toUnicode(bytes), text);
    }

    void charLength_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("lengths");
        QTest::newRow("ascii") << QByteArray("a1") << QList<int>{1, 1};
        QTest::newRow("two-byte") << QByteArray::fromHex("b3c961") << QList<int>{2, 1};
        QTest::newRow("four-byte") << QByteArray::fromHex("9439fc3661") << QList<int>{4, 1};
        QTest::newRow("cut lead byte") << QByteArray::fromHex("61b3") << QList<int>{1, 1};
        QTest::newRow("cut four-byte") << QByteArray::fromHex("9439fc") << QList<int>{3};
        QTest::newRow("0x80 and 0xff alone") << QByteArray::fromHex("80ff") << QList<int>{1, 1};
    }
    void charLength()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, lengths);
        QList<int> got;
        for (qsizetype i = 0; i < bytes.size();) {
            const qsizetype n = Gbk::charLength(bytes.constData() + i, bytes.size() - i);
            QVERIFY(n > 0);
            got.append(int(n));
            i += n;
        }
        QCOMPARE(got, lengths);
    }

    void roundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("chinese") << QStringLiteral("一言九鼎，ǚ") << true;
        QTest::newRow("emoji") << QStringLiteral("😀") << true;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false;
        QTest::newRow("after a lone surrogate") << QStringLiteral("一言九鼎 yī") << true;
    }
    void roundTrips()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(Gbk::roundTrips(text), expected);
    }

    void loneSurrogatesBecomeReplacementCharacters()
    {
        const QString broken = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
        QCOMPARE(Gbk::toUnicode(Gbk::fromUnicode(broken)),
                 QStringLiteral("a") + QChar(QChar::ReplacementCharacter) + QStringLiteral("b"));
        QCOMPARE(Gbk::fromUnicode(QStringLiteral("ab")), QByteArray("ab")); // nothing carried over
    }

    void isGbk_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("chinese and ascii") << QStringLiteral("一言九鼎 yī") << true;
        QTest::newRow("emoji is GB18030 only") << QStringLiteral("a😀") << false;
        QTest::newRow("lone surrogate") << QString(QChar(0xDC00)) << false;
    }
    void isGbk()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(Gbk::isGbk(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestGbk)
#include "tst_gbk.moc"
