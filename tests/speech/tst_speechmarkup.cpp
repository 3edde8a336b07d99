#include "SpeechMarkup.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<SpeechRun>)

namespace {

const QString Zh = QStringLiteral("<LANG LANGID=\"804\">");
const QString En = QStringLiteral("<LANG LANGID=\"409\">");

SpeechRun zh(const QString& text, qsizetype at)
{
    return {SpeechLanguage::Chinese, text, at};
}

SpeechRun en(const QString& text, qsizetype at)
{
    return {SpeechLanguage::English, text, at};
}

QString describe(const QList<SpeechRun>& runs)
{
    QStringList parts;
    for (const SpeechRun& run : runs)
        parts << QStringLiteral("%1@%2[%3]")
                     .arg(run.language == SpeechLanguage::English ? u"en" : u"zh")
                     .arg(run.sourcePos)
                     .arg(run.text);
    return parts.join(u' ');
}

} // namespace

class TestSpeechMarkup : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<SpeechRun>>("runs");

        QTest::newRow("plain text is one Chinese run")
            << QStringLiteral("一心一意 abc") << QList{zh(QStringLiteral("一心一意 abc"), 0)};
        QTest::newRow("plain text keeps tags after its start")
            << QStringLiteral("a<LANG LANGID=\"409\">b")
            << QList{zh(QStringLiteral("a<LANG LANGID=\"409\">b"), 0)};
        QTest::newRow("plain text keeps full-width letters")
            << QStringLiteral("ａｂ１") << QList{zh(QStringLiteral("ａｂ１"), 0)};
        QTest::newRow("empty text") << QString() << QList<SpeechRun>{};
        QTest::newRow("Chinese tag alone") << Zh << QList<SpeechRun>{};

        QTest::newRow("mixed mode worked example")
            << En + QStringLiteral("ａｂ") + Zh + QStringLiteral("  12。")
            << QList{en(QStringLiteral("ab"), 19), zh(QStringLiteral("  12。"), 40)};
        QTest::newRow("full-width capitals and digits fold in English only")
            << En + QStringLiteral("ＡＺａｚ０９") + Zh + QStringLiteral("ＡＺ０９")
            << QList{en(QStringLiteral("AZaz09"), 19), zh(QStringLiteral("ＡＺ０９"), 44)};
        QTest::newRow("other full-width characters stay in English")
            << En + QStringLiteral("ａ，ｂ＠") << QList{en(QStringLiteral("a，b＠"), 19)};
        QTest::newRow("tags hold until the next one")
            << Zh + QStringLiteral("成语") + En + QStringLiteral("ok") + Zh + QStringLiteral("完")
            << QList{zh(QStringLiteral("成语"), 19), en(QStringLiteral("ok"), 40),
                     zh(QStringLiteral("完"), 61)};
        QTest::newRow("same language again still splits")
            << Zh + QStringLiteral("一") + Zh + QStringLiteral("二")
            << QList{zh(QStringLiteral("一"), 19), zh(QStringLiteral("二"), 39)};
        QTest::newRow("text before the first tag is Chinese")
            << QStringLiteral("<b>x") + En + QStringLiteral("y")
            << QList{zh(QStringLiteral("<b>x"), 0), en(QStringLiteral("y"), 23)};

        QTest::newRow("names and attributes in any case, single quotes, blanks")
            << QStringLiteral("<lang  langid = '409' >hi") << QList{en(QStringLiteral("hi"), 23)};
        QTest::newRow("self-closing form switches too")
            << QStringLiteral("<LANG LANGID=\"409\"/>hi") << QList{en(QStringLiteral("hi"), 20)};
        QTest::newRow("closing tag goes back to the enclosing language")
            << En + QStringLiteral("a") + Zh + QStringLiteral("中") + QStringLiteral("</LANG>b")
            << QList{en(QStringLiteral("a"), 19), zh(QStringLiteral("中"), 39),
                     en(QStringLiteral("b"), 47)};
        QTest::newRow("other English and Chinese identifiers")
            << QStringLiteral("<LANG LANGID=\"809\">a<LANG LANGID=\"0404\">b")
            << QList{en(QStringLiteral("a"), 19), zh(QStringLiteral("b"), 40)};
        QTest::newRow("language without a voice keeps the current one")
            << En + QStringLiteral("a<LANG LANGID=\"411\">b")
            << QList{en(QStringLiteral("a"), 19), en(QStringLiteral("b"), 39)};

        // Markup the engine does not know, or that is malformed, is spoken as text.
        QTest::newRow("unknown element")
            << En + QStringLiteral("<SILENCE MSEC=\"500\"/>ｘ")
            << QList{en(QStringLiteral("<SILENCE MSEC=\"500\"/>x"), 19)};
        QTest::newRow("stray less-than sign")
            << Zh + QStringLiteral("1<2 并且 3>2") << QList{zh(QStringLiteral("1<2 并且 3>2"), 19)};
        QTest::newRow("unquoted identifier") << QStringLiteral("<LANG LANGID=409>a")
                                             << QList{zh(QStringLiteral("<LANG LANGID=409>a"), 0)};
        QTest::newRow("identifier that is not hexadecimal")
            << QStringLiteral("<LANG LANGID=\"40g\">a")
            << QList{zh(QStringLiteral("<LANG LANGID=\"40g\">a"), 0)};
        QTest::newRow("identifier too long")
            << QStringLiteral("<LANG LANGID=\"10409\">a")
            << QList{zh(QStringLiteral("<LANG LANGID=\"10409\">a"), 0)};
        QTest::newRow("no identifier")
            << QStringLiteral("<LANG>a") << QList{zh(QStringLiteral("<LANG>a"), 0)};
        QTest::newRow("unknown attribute")
            << QStringLiteral("<LANG LANGID=\"409\" X=\"1\">a")
            << QList{zh(QStringLiteral("<LANG LANGID=\"409\" X=\"1\">a"), 0)};
        QTest::newRow("attribute twice")
            << QStringLiteral("<LANG LANGID=\"409\" LANGID=\"409\">a")
            << QList{zh(QStringLiteral("<LANG LANGID=\"409\" LANGID=\"409\">a"), 0)};
        QTest::newRow("missing closing bracket at the end")
            << Zh + QStringLiteral("中<LANG LANGID=\"409\"")
            << QList{zh(QStringLiteral("中<LANG LANGID=\"409\""), 19)};
        QTest::newRow("unterminated value") << QStringLiteral("<LANG LANGID=\"409>a")
                                            << QList{zh(QStringLiteral("<LANG LANGID=\"409>a"), 0)};
        QTest::newRow("tag cut short by another tag")
            << QStringLiteral("<LANG LANGID=\"409\"") + En + QStringLiteral("ａ")
            << QList{zh(QStringLiteral("<LANG LANGID=\"409\""), 0), en(QStringLiteral("a"), 37)};
        QTest::newRow("name that only begins like the element")
            << QStringLiteral("<LANGUAGE LANGID=\"409\">a")
            << QList{zh(QStringLiteral("<LANGUAGE LANGID=\"409\">a"), 0)};
        QTest::newRow("closing tag with nothing open")
            << QStringLiteral("<x></LANG>a") << QList{zh(QStringLiteral("<x></LANG>a"), 0)};
        QTest::newRow("closing tag with an attribute")
            << En + QStringLiteral("a</LANG LANGID=\"804\">")
            << QList{en(QStringLiteral("a</LANG LANGID=\"804\">"), 19)};
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QList<SpeechRun>, runs);
        QCOMPARE(describe(parseSpeechMarkup(text)), describe(runs));
    }

    void modes()
    {
        const QString markup = En + QStringLiteral("ａ");
        QCOMPARE(describe(parseSpeechMarkup(markup, MarkupMode::PlainText)),
                 describe({zh(markup, 0)}));
        QCOMPARE(describe(parseSpeechMarkup(QStringLiteral("x") + En + QStringLiteral("y"),
                                            MarkupMode::Markup)),
                 describe({zh(QStringLiteral("x"), 0), en(QStringLiteral("y"), 20)}));
    }

    void pieces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QList<bool>>("sentences");

        QTest::newRow("Chinese sentences with their line breaks")
            << QStringLiteral("一心一意。\r\n没有别的！好？") << 400
            << QStringList{QStringLiteral("一心一意。\r\n"), QStringLiteral("没有别的！"),
                           QStringLiteral("好？")}
            << QList{true, true, true};
        QTest::newRow("closing quote stays with its sentence")
            << QStringLiteral("他说：“好。”然后") << 400
            << QStringList{QStringLiteral("他说：“好。”"), QStringLiteral("然后")}
            << QList{true, false};
        QTest::newRow("a full stop inside a number does not end a sentence")
            << QStringLiteral("pi is 3.14. Yes") << 400
            << QStringList{QStringLiteral("pi is 3.14. "), QStringLiteral("Yes")}
            << QList{true, false};
        QTest::newRow("long text is cut at a clause mark")
            << QStringLiteral("一二三，四五六七八") << 6
            << QStringList{QStringLiteral("一二三，"), QStringLiteral("四五六七八")}
            << QList{false, false};
        QTest::newRow("long text without marks is cut at the limit")
            << QStringLiteral("一二三四五六七") << 3
            << QStringList{QStringLiteral("一二三"), QStringLiteral("四五六"), QStringLiteral("七")}
            << QList{false, false, false};
        QTest::newRow("a character outside the BMP is never split")
            << QStringLiteral("一𠀀二") << 2
            << QStringList{QStringLiteral("一"), QStringLiteral("𠀀"), QStringLiteral("二")}
            << QList{false, false, false};
    }
    void pieces()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QStringList, pieces);
        QFETCH(QList<bool>, sentences);
        QStringList got;
        QList<bool> gotSentences;
        for (qsizetype from = 0; from < text.size() && got.size() < 20;) {
            bool sentence = false;
            const qsizetype end = speechPieceEnd(text, from, limit, &sentence);
            QVERIFY(end > from);
            got << text.mid(from, end - from);
            gotSentences << sentence;
            from = end;
        }
        QCOMPARE(got, pieces);
        QCOMPARE(gotSentences, sentences);
    }
};

QTEST_GUILESS_MAIN(TestSpeechMarkup)
#include "tst_speechmarkup.moc"
