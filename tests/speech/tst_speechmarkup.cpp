#include "PinyinSyllables.h"
#include "SpeechLexicon.h"
#include "SpeechMarkup.h"
#include "SyllablePlan.h"

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

    void pinyinSyllables_data()
    {
        QTest::addColumn<QString>("idiom");
        QTest::addColumn<QString>("pinyin");
        QTest::addColumn<bool>("intact");
        QTest::newRow("tone marks") << "一言九鼎"
                                    << "yī yán jiǔ dǐng" << true;
        QTest::newRow("ü after l and n") << "绿女掠虐"
                                         << "lǜ nǚ lüè nüè" << true;
        QTest::newRow("neutral tone, capital") << "东西"
                                               << "Dōng xi" << true;
        QTest::newRow("punctuation has no syllable") << "不入虎穴，焉得虎子"
                                                     << "bù rù hǔ xué，yān dé hǔ zǐ" << true;
        QTest::newRow("combining macron") << "一" << QStringLiteral("yi\u0304") << true;
        QTest::newRow("no such syllable") << "苍白无力"
                                          << "āng bái búi lì" << false;
        QTest::newRow("two tone marks") << "昂昂自若"
                                        << "áng áng zì roò" << false;
        QTest::newRow("mark on the wrong vowel") << "岸谷之变"
                                                 << "àn gǔ zhī bìan" << false;
        QTest::newRow("ü after x") << "城北徐公"
                                   << "chéng běi xǘ gōng" << false;
        QTest::newRow("script g") << "蔽聪塞明" << QStringLiteral("bì cōng sè mín\u0261") << false;
        QTest::newRow("one syllable short") << "不打不成相识"
                                            << "bù dǎ bù chéng xiāngshí" << false;
        QTest::newRow("tone digit") << "一言九鼎"
                                    << "yi1 yan2 jiu3 ding3" << false;
        QTest::newRow("v for ü") << "女"
                                 << "nv" << false;
    }
    void pinyinSyllables()
    {
        QFETCH(QString, idiom);
        QFETCH(QString, pinyin);
        QFETCH(bool, intact);
        QCOMPARE(!PinyinSyllables::readingOf(idiom, pinyin).isEmpty(), intact);
        SpeechLexicon lexicon;
        QCOMPARE(lexicon.add(idiom, pinyin), intact);
    }

    void recordingFolders_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QStringList>("folders");
        const auto row = [](const char* name, const char* written, QStringList folders) {
            QTest::newRow(name) << QString::fromUtf8(written) << folders;
        };
        row("fourth tone mark", "wàng", {"ㄨㄤ4"});
        row("tone digit", "wang4", {"ㄨㄤ4"});
        row("first tone has no digit", "xīng", {"ㄒㄧㄥ"});
        row("capital, second tone", "Yáng", {"ㄧㄤ2"});
        row("zhi is its initial alone", "zhǐ", {"ㄓ3"});
        row("si", "sì", {"ㄙ4"});
        row("ü after l", "lǜ", {"ㄌㄩ4"});
        row("v for ü with a digit", "lv4", {"ㄌㄩ4"});
        row("u after j is ü", "jué", {"ㄐㄩㄝ2"});
        row("yu", "yǔ", {"ㄩ3"});
        row("yuan", "yuán", {"ㄩㄢ2"});
        row("yong", "yǒng", {"ㄩㄥ3"});
        row("xiong", "xiōng", {"ㄒㄩㄥ"});
        row("you", "yǒu", {"ㄧㄡ3"});
        row("yi", "yī", {"ㄧ"});
        row("wu", "wǔ", {"ㄨ3"});
        row("wei", "wèi", {"ㄨㄟ4"});
        row("iu is iou", "jiǔ", {"ㄐㄧㄡ3"});
        row("ui is uei", "guì", {"ㄍㄨㄟ4"});
        row("un is uen", "dùn", {"ㄉㄨㄣ4"});
        row("un after q is ün", "qún", {"ㄑㄩㄣ2"});
        row("ong", "dōng", {"ㄉㄨㄥ"});
        row("bo", "bó", {"ㄅㄛ2"});
        row("er", "ér", {"ㄦ2"});
        row("neutral tone, no mark", "de", {"ㄉㄜ1", "ㄉㄜ"});
        row("neutral tone, digit 5", "ma5", {"ㄇㄚ1", "ㄇㄚ"});
        row("neutral tone, digit 0", "ne0", {"ㄋㄜ1", "ㄋㄜ"});
        row("interjection without zhuyin", "ń", {});
        row("not a syllable", "bìan", {});
        row("a mark and a digit", "wàng4", {});
        row("empty", "", {});
    }
    void recordingFolders()
    {
        QFETCH(QString, written);
        QFETCH(QStringList, folders);
        QCOMPARE(SyllablePlan::folders(SyllablePlan::parse(written)), folders);
    }

    void spokenTones_data()
    {
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QString>("pinyin");
        QTest::addColumn<QList<int>>("tones");
        const auto row = [](const char* name, const char* characters, const char* pinyin,
                            QList<int> tones) {
            QTest::newRow(name) << QString::fromUtf8(characters) << QString::fromUtf8(pinyin)
                                << tones;
        };
        row("four tones unchanged", "望洋兴叹", "wàng yáng xīng tàn", {4, 2, 1, 4});
        row("3 3 inside a foot", "你好", "nǐ hǎo", {2, 3});
        row("3 3 3 3 in two feet", "岂有此理", "qǐ yǒu cǐ lǐ", {2, 3, 2, 3});
        row("3 3 3 across the join", "展览馆", "zhǎn lǎn guǎn", {2, 2, 3});
        row("3 | 3 across the join", "百感交集", "bǎi gǎn jiāo jí", {2, 3, 1, 2});
        row("second foot only", "胆小如鼠", "dǎn xiǎo rú shǔ", {2, 3, 2, 3});
        row("3 then neutral stays", "姐姐", "jiě jie", {3, 0});
        row("一 before a fourth tone", "一见钟情", "yī jiàn zhōng qíng", {2, 4, 1, 2});
        row("一 before a first tone", "一丝不苟", "yī sī bù gǒu", {4, 1, 4, 3});
        row("一 before a second tone", "一年", "yī nián", {4, 2});
        row("一 before a third, then sandhi elsewhere", "一举两得", "yī jǔ liǎng dé", {4, 2, 3, 2});
        row("一 at the end stays", "统一", "tǒng yī", {3, 1});
        row("一 before the neutral tone stays", "看一看", "kàn yi kàn", {4, 0, 4});
        row("一 written with its change is left", "一样", "yí yàng", {2, 4});
        row("不 before a fourth tone", "不见不散", "bù jiàn bù sàn", {2, 4, 2, 4});
        row("不 before other tones stays", "不知不觉", "bù zhī bù jué", {4, 1, 4, 2});
        row("不 before a third", "不好", "bù hǎo", {4, 3});
        row("yi of another character", "衣服", "yī fu", {1, 0});
        row("written pinyin has no 一", "", "yī jiàn", {1, 4});
        row("tone digits", "你好", "ni3 hao3", {2, 3});
    }
    void spokenTones()
    {
        QFETCH(QString, characters);
        QFETCH(QString, pinyin);
        QFETCH(QList<int>, tones);
        QList<SyllablePlan::Syllable> syllables;
        for (const QString& written : PinyinSyllables::split(pinyin))
            syllables.append(SyllablePlan::parse(written));
        QCOMPARE(SyllablePlan::spokenTones(syllables, characters), tones);
    }

    void lexicon_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spoken");
        // Each word of the spoken text, as the text it points back to.
        QTest::addColumn<QStringList>("words");
        QTest::newRow("an idiom line") << "【成  语】：望洋兴叹"
                                       << "【成  语】： wàng yáng xīng tàn "
                                       << QStringList{"【成", "语】：", "望", "洋", "兴", "叹"};
        QTest::newRow("quoted in an explanation")
            << "比喻重三迭四。"
            << "比喻 chóng sān dié sì 。" << QStringList{"比喻", "重", "三", "迭", "四", "。"};
        QTest::newRow("longest match first")
            << "一言九鼎言"
            << " yī yán jiǔ dǐng 言" << QStringList{"一", "言", "九", "鼎", "言"};
        QTest::newRow("punctuation inside the idiom stays")
            << "不入虎穴，焉得虎子"
            << " bù rù hǔ xué ，yān dé hǔ zǐ "
            << QStringList{"不", "入", "虎", "穴", "，焉", "得", "虎", "子"};
        QTest::newRow("damaged pinyin: characters as they are")
            << "苍白无力"
            << "苍白无力" << QStringList{"苍白无力"};
        QTest::newRow("the first reading of a duplicate")
            << "好好先生"
            << " hǎo hǎo xiān sheng " << QStringList{"好", "好", "先", "生"};
    }
    void lexicon()
    {
        QFETCH(QString, text);
        QFETCH(QString, spoken);
        QFETCH(QStringList, words);
        SpeechLexicon lexicon;
        lexicon.add(QStringLiteral("望洋兴叹"), QStringLiteral("wàng yáng xīng tàn"));
        lexicon.add(QStringLiteral("重三迭四"), QStringLiteral("chóng sān dié sì"));
        lexicon.add(QStringLiteral("一言"), QStringLiteral("yī yán"));
        lexicon.add(QStringLiteral("一言九鼎"), QStringLiteral("yī yán jiǔ dǐng"));
        lexicon.add(QStringLiteral("不入虎穴，焉得虎子"),
                    QStringLiteral("bù rù hǔ xué，yān dé hǔ zǐ"));
        lexicon.add(QStringLiteral("苍白无力"), QStringLiteral("āng bái búi lì"));
        lexicon.add(QStringLiteral("好好先生"), QStringLiteral("hǎo hǎo xiān sheng"));
        QVERIFY(!lexicon.add(QStringLiteral("好好先生"), QStringLiteral("hào hǎo xiān shēng")));

        const SpokenText got = lexicon.apply(text);
        QCOMPARE(got.text, spoken);
        // The synthesiser's words are the blank-separated runs of what it is given; each must
        // point at the characters it stands for.
        QStringList pointed;
        qsizetype i = 0;
        while (i < got.text.size()) {
            while (i < got.text.size() && got.text[i] == u' ')
                ++i;
            qsizetype end = i;
            while (end < got.text.size() && got.text[end] != u' ')
                ++end;
            if (end > i)
                pointed << text.mid(got.sourceStart(i), got.sourceEnd(end) - got.sourceStart(i));
            i = end;
        }
        QCOMPARE(pointed, words);
    }
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

QTEST_APPLESS_MAIN(TestSpeechMarkup)
#include "tst_speechmarkup.moc"
