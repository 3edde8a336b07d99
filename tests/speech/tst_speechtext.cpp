#include "Gbk.h"
#include "SpeechText.h"

#include <QTest>

using SpeechText::chineseTag;
using SpeechText::englishTag;

static QByteArray hex(const char* h)
{
    return QByteArray::fromHex(h);
}

// Runs the mixed mode as Play does, with a gauge that clamps to 0..100.
struct MixedRun
{
    QByteArray spoken;
    int speakCount = 0;
    QList<int> progress;

    explicit MixedRun(const QByteArray& source)
    {
        SpeechText::WalkState state;
        SpeechText::mixedWalk(
            SpeechText::mixedReplacements(source), state,
            [this](int value) {
                const int clamped = qBound(0, value, 100);
                progress.append(clamped);
                return clamped;
            },
            [this](const QByteArray& text) {
                spoken = text;
                ++speakCount;
            });
    }
};

class TestSpeechText : public QObject
{
    Q_OBJECT
private slots:
    void workedExample()
    {
        const MixedRun run("ab 12.");
        QCOMPARE(run.progress, (QList<int>{25, 41, 58, 75, 91, 100}));
        QCOMPARE(run.speakCount, 1);
        QCOMPARE(run.spoken.toHex(),
                 (englishTag() + hex("a3e1a3e2") + chineseTag() + "  12" + hex("a1a3")).toHex());
        QCOMPARE(SpeechText::chineseMode("ab 12.").toHex(),
                 (chineseTag() + "ab 12" + hex("a1a3")).toHex());
    }

    void tags()
    {
        QCOMPARE(chineseTag(), QByteArray("<LANG LANGID=\"804\">"));
        QCOMPARE(chineseTag().size(), 19);
        QCOMPARE(englishTag(), QByteArray("<LANG LANGID=\"409\">"));
    }

    void replaceRule_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("capital folded")
            << QByteArray("aAb") << QByteArray("a") << hex("a3e1") << hex("a3e1a3e162");
        QTest::newRow("inserted text is not scanned again")
            << QByteArray("  ") << QByteArray(" ") << QByteArray("  ") << QByteArray("    ");
        QTest::newRow("trailing byte of a GBK character")
            << hex("a96d6d") << QByteArray("m") << QByteArray("M") << hex("a96d4d");
        QTest::newRow("GB18030 four-byte character holds digits")
            << hex("9439fc3639") << QByteArray("9") << QByteArray("N") << hex("9439fc364e");
        QTest::newRow("lead byte at the end")
            << hex("61a3") << QByteArray("a") << QByteArray("b") << hex("62a3");
        QTest::newRow("longer pattern")
            << QByteArray("xAbAB") << QByteArray("ab") << QByteArray("-") << QByteArray("x--");
        QTest::newRow("non-letters keep their case")
            << QByteArray("[{") << QByteArray("{") << QByteArray("(") << QByteArray("[(");
    }
    void replaceRule()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, pattern);
        QFETCH(QByteArray, replacement);
        QFETCH(QByteArray, expected);
        QCOMPARE(SpeechText::replaceAll(text, pattern, replacement).toHex(), expected.toHex());
    }

    void mixedTableCoversPrintableAscii()
    {
        QByteArray ascii;
        for (char c = 0x20; c < 0x7f; ++c)
            ascii += c;
        ascii += "\t\r\n";
        const QByteArray expected = hex(
            "2020a3a122a3a3a1e7a3a5a3a6a3a7a3a8a3a9a1f9a3aba3aca3ada1a3a3afa3b0a3b1a3b2a3b3a3b4a3"
            "b5a3b6a3b7a3b8a3b9a3baa3bba1b4a3bda1b5a3bfa3c0a3e1a3e2a3e3a3e4a3e5a3e6a3e7a3e8a3e9a3"
            "eaa3eba3eca3eda3eea3efa3f0a3f1a3f2a3f3a3f4a3f5a3f6a3f7a3f8a3f9a3faa3dba3dca3dda1a6a9"
            "6d60a3e1a3e2a3e3a3e4a3e5a3e6a3e7a3e8a3e9a3eaa3eba3eca3eda3eea3efa3f0a3f1a3f2a3f3a3f4"
            "a3f5a3f6a3f7a3f8a3f9a3faa3fba1aca3fd7e090d0a");
        QCOMPARE(SpeechText::mixedReplacements(ascii).toHex(), expected.toHex());
    }

    void mixedWalk_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("spoken");
        QTest::addColumn<QList<int>>("progress");
        const QByteArray zh = chineseTag(), en = englishTag();
        QTest::newRow("capitals are small full-width letters")
            << QByteArray("OK") << en + hex("a3efa3eb") << QList<int>{75, 100};
        QTest::newRow("marked vowel is not a letter")
            << Gbk::fromUnicode(u"ài") << zh + hex("a8a4") + en + hex("a3e9")
            << QList<int>{75, 100};
        QTest::newRow("full-width capital is read as Chinese")
            << hex("a3c1") << zh + hex("a3c1") << QList<int>{100};
        QTest::newRow("line break after an English word")
            << QByteArray("ok\r\n") << en + hex("a3efa3eb") + zh + "\r\n"
            << QList<int>{50, 83, 100};
        QTest::newRow("a lone double quote shifts the pairs")
            << QByteArray("\"ab") << zh + hex("22a3e1a3") << QList<int>{60, 100};
        QTest::newRow("straddling pair that equals a letter")
            << QByteArray("\"") + Gbk::fromUnicode(u"。濉") << zh + hex("22a1") + en + hex("a3e5")
            << QList<int>{60, 100};
        QTest::newRow("straddling pair that equals a digit")
            << QByteArray("~") + Gbk::fromUnicode(u"。") + hex("b1a1") << zh + hex("7ea1") + "1"
            << QList<int>{60, 100};
        QTest::newRow("odd length: the last byte is not spoken")
            << QByteArray("a\t") << en + hex("a3e1") << QList<int>{100};
        QTest::newRow("two bytes: clamped from 150")
            << QByteArray("a") << en + hex("a3e1") << QList<int>{100};
        QTest::newRow("digits go back to ASCII in a Chinese section")
            << QByteArray("x9") << en + hex("a3f8") + zh + "9" << QList<int>{75, 100};
        QTest::newRow("angle brackets cannot open markup")
            << QByteArray("<b>") << zh + hex("a1b4") + en + hex("a3e2") + zh + hex("a1b5")
            << QList<int>{50, 83, 100};
    }
    void mixedWalk()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, spoken);
        QFETCH(QList<int>, progress);
        const MixedRun run(source);
        QCOMPARE(run.spoken.toHex(), spoken.toHex());
        QCOMPARE(run.speakCount, 1);
        QCOMPARE(run.progress, progress);
    }

    void tooShortToWalk_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte left alone") << QByteArray("~");
    }
    void tooShortToWalk()
    {
        QFETCH(QByteArray, source);
        const MixedRun run(source);
        QCOMPARE(run.speakCount, 0);
        QVERIFY(run.progress.isEmpty());
        QVERIFY(run.spoken.isEmpty());
    }

    void chineseMode_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty view") << QByteArray() << chineseTag();
        QTest::newRow("markup characters pass through")
            << QByteArray("<a> & b.") << chineseTag() + "<a> & b" + hex("a1a3");
        QTest::newRow("trailing byte 2E is not a full stop")
            << hex("812e") << chineseTag() + hex("812e");
    }
    void chineseMode()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, expected);
        QCOMPARE(SpeechText::chineseMode(source).toHex(), expected.toHex());
    }

    void stateCarriesAcrossTheWalkOnly()
    {
        // The language state decides the first tag: a fresh Play starts at 100 and always tags.
        SpeechText::WalkState state;
        state.language = 1;
        QByteArray spoken;
        SpeechText::mixedWalk(
            SpeechText::mixedReplacements("ab"), state, [](int v) { return qBound(0, v, 100); },
            [&](const QByteArray& t) { spoken = t; });
        QCOMPARE(spoken, hex("a3e1a3e2")); // no tag: an English section was still open
        QCOMPARE(state.language, 1);
    }
};

QTEST_APPLESS_MAIN(TestSpeechText)
#include "tst_speechtext.moc"
