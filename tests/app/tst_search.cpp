#include "DbConnection.h"
#include "DbQuery.h"
#include "Gbk.h"
#include "ListBox.h"
#include "MainWindowFixture.h"
#include "RichEdit.h"
#include "Statements.h"
#include "TestSupport.h"
#include "WindowTestMain.h"
#include "uFrmMain.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

static QStringList rows(const ListBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->itemText(i));
    return out;
}

// Pixels of the entry view drawn in the colour that marks a meaning search's text.
static int colouredPixels(RichEdit* view)
{
    const QImage seen = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb mark = RichEdit::highlightColour().rgb();
    int n = 0;
    for (int y = 0; y < seen.height(); ++y) {
        for (int x = 0; x < seen.width(); ++x)
            n += seen.pixel(x, y) == mark;
    }
    return n;
}

class TestSearch : public QObject
{
    Q_OBJECT
private:
    MainWindowFixture m_fixture;
    DialogRecorder* m_dialogs = nullptr;
    TFrmMain* m_w = nullptr;

    void search(const QString& text)
    {
        m_w->edSou->setText(text);
        QTest::mouseClick(m_w->BitBtn2, Qt::LeftButton);
    }

    void reopenOn(const QString& store)
    {
        m_fixture.close();
        QVERIFY(m_fixture.open(store));
        m_w = m_fixture.window();
        m_dialogs = m_fixture.dialogs();
        m_w->pgMain->setCurrentIndex(1);
    }

private slots:
    void init()
    {
        QVERIFY(m_fixture.open());
        m_w = m_fixture.window();
        m_dialogs = m_fixture.dialogs();
        m_w->pgMain->setCurrentIndex(1);
    }
    void cleanup() { m_fixture.close(); }

    void initialState()
    {
        QVERIFY(m_w->RadPinYin->isChecked());
        QVERIFY(!m_w->RadHanZi->isChecked());
        QCOMPARE(m_w->RadPinYin->text(), QStringLiteral("拼音搜索"));
        QCOMPARE(m_w->RadHanZi->text(), QStringLiteral("汉字搜索"));
        QCOMPARE(m_w->BitBtn2->text(), QStringLiteral("搜索"));
        QCOMPARE(m_w->edSou->text(), QString());
        QCOMPARE(m_w->ListBox2->count(), 0);
        QCOMPARE(m_w->ListBox2->size(), QSize(147, 398));
        QCOMPARE(m_w->BitBtn2->geometry(), QRect(91, 22, 56, 25));
        QCOMPARE(m_w->edSou->geometry(), QRect(1, 25, 87, 20));
    }

    void results_data()
    {
        QTest::addColumn<bool>("pinyin");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("asTyped");  // found by the search of the text as typed
        QTest::addColumn<QString>("store"); // empty: the common fixture store
        QTest::newRow("syllables")
            << true << "yiyan" << QStringList({"一言九鼎", "一言为定"}) << true << QString();
        QTest::newRow("initials, any case")
            << true << "YYJD" << QStringList({"一言九鼎"}) << true << QString();
        QTest::newRow("blank is kept")
            << true << " yyjd" << QStringList({"一言九鼎"}) << true << QString();
        QTest::newRow("percent: everything")
            << true << "%"
            << QStringList({"爱不释手", "阿谀奉承", "画龙点睛", "绿草如茵", "略知一二", "马到成功",
                            "马到成功", "人云亦云", "项庄舞剑，意在沛公", "一言九鼎", "一言为定"})
            << true << QString();
        QTest::newRow("characters")
            << false << "言" << QStringList({"一言九鼎", "一言为定"}) << true << QString();
        QTest::newRow("underscore")
            << false << "马_成" << QStringList({"马到成功", "马到成功"}) << true << QString();
        // Found only by the second try, with the text as the store spells it.
        const QStringList yyjd{"一言九鼎"};
        QTest::newRow("blanks") << true << "yi yan jiu ding" << yyjd << false << QString();
        QTest::newRow("tone marks") << true << "yī yán jiǔ dǐng" << yyjd << false << QString();
        QTest::newRow("tone numbers") << true << "yi1yan2jiu3ding3" << yyjd << false << QString();
        QTest::newRow("full-width letters") << true << "ＹＹＪＤ" << yyjd << false << QString();
        QTest::newRow("ü") << true << "lü" << QStringList({"绿草如茵", "略知一二"}) << false
                           << QString();
        QTest::newRow("u:") << true << "lu:e" << QStringList({"略知一二"}) << false << QString();
        QTest::newRow("percent still a wildcard")
            << true << "yī%dǐng" << QStringList({"一言九鼎", "一言为定"}) << false << QString();
        QTest::newRow("characters, pinyin checked")
            << true << "一言九鼎" << yyjd << false << QString();
        QTest::newRow("pinyin, characters checked")
            << false << "yyjd" << yyjd << false << QString();
        QTest::newRow("traditional characters")
            << false << "畫龍點睛" << QStringList({"画龙点睛"}) << false << QString();
        QTest::newRow("blanks between characters")
            << false << "一言 九鼎" << yyjd << false << QString();

        // After both tries find nothing: by meaning, by shape, the idioms inside a text.
        const QString store = QStringLiteral(WQ_SEARCH_DB);
        const QStringList metaphor{"虚怀若谷", "表里如一", "一模一样"};
        QTest::newRow("meaning, three characters: explanations by rank, then examples")
            << false << "比喻人" << metaphor << false << store;
        QTest::newRow("meaning, pinyin checked") << true << "比喻人" << metaphor << false << store;
        QTest::newRow("meaning, two characters: explanations first")
            << false << "勤奋" << QStringList({"悬梁刺股", "韦编三绝"}) << false << store;
        QTest::newRow("meaning, one character")
            << false << "谦" << QStringList({"虚怀若谷"}) << false << store;
        QTest::newRow("meaning, traditional characters")
            << false << "樣子完全" << QStringList({"一模一样"}) << false << store;
        const QStringList yiXyiY{"一模一样", "一五一十", "一心一意"};
        QTest::newRow("shape, ?") << false << "一?一?" << yiXyiY << false << store;
        QTest::newRow("shape, full-width ？, pinyin checked")
            << true << "一？一？" << yiXyiY << false << store;
        QTest::newRow("shape, *") << false << "人*人*" << QStringList({"人山人海"}) << false
                                  << store;
        QTest::newRow("shape, AABB, pinyin checked")
            << true << "AABB" << QStringList({"高高兴兴"}) << false << store;
        QTest::newRow("shape, abac")
            << false << "abac"
            << QStringList({"人山人海", "十全十美", "一模一样", "一五一十", "一心一意"}) << false
            << store;
        QTest::newRow("shape, full-width ＡＢＣＡ")
            << false << "ＡＢＣＡ" << QStringList({"天外有天"}) << false << store;
        QTest::newRow("shape, pinyin with ? for a letter")
            << true << "yx?y" << QStringList({"一心一意"}) << false << store;
        QTest::newRow("inside a text: in order, overlapping, each once")
            << false << "他做事一心一意，讲起经过来一五一十全十美，一心一意。"
            << QStringList({"一心一意", "一五一十", "十全十美"}) << false << store;
        // A defined search that finds something is all there is.
        QTest::newRow("defined first: one character")
            << false << "一" << QStringList({"表里如一", "一模一样", "一五一十", "一心一意"})
            << true << store;
        QTest::newRow("defined first: two characters")
            << false << "高兴" << QStringList({"高高兴兴"}) << true << store;
        QTest::newRow("defined first: pinyin")
            << true << "yimu" << QStringList({"一模一样"}) << true << store;
    }
    void results()
    {
        QFETCH(bool, pinyin);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QFETCH(bool, asTyped);
        QFETCH(QString, store);
        if (!store.isEmpty())
            reopenOn(store);
        DbQuery first;
        first.setConnection(m_w->ADOConnection1);
        const QByteArray typed = Gbk::fromUnicode(text);
        Statements::run(first, pinyin ? Statements::pinyinSearch(typed)
                                      : Statements::characterSearch(typed));
        QCOMPARE(first.recordCount() > 0, asTyped);

        (pinyin ? m_w->RadPinYin : m_w->RadHanZi)->setChecked(true);
        search(text);
        QCOMPARE(m_dialogs->lines(), QStringList());
        QCOMPARE(rows(m_w->ListBox2), expected);
        // The first result is highlighted, but its entry is not shown.
        QCOMPARE(m_w->ListBox2->itemIndex(), 0);
        QCOMPARE(m_w->RichText->text(), QString());
        QVERIFY(m_w->ListBox2->updatesEnabled());
    }

    void emptyTextSendsNothing()
    {
        m_w->ADOQuery1->setSql(QStringLiteral("marker"));
        search(QString());
        QCOMPARE(m_dialogs->lines(), QStringList({"提示|搜索内容不能为空！"}));
        QCOMPARE(m_dialogs->shown()[0].kind, MessageDialogs::Kind::Information);
        QCOMPARE(m_w->ADOQuery1->sql(), QStringLiteral("marker"));
    }

    void noMatchKeepsTheEarlierResults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown") << "zzzz";
        QTest::newRow("spaces only") << "   ";
        QTest::newRow("a quote") << "'";
        QTest::newRow("an injection attempt") << "' or '1'='1";
        QTest::newRow("emoji") << "😀";
        QTest::newRow("no idiom in either try") << "zhōng zhōng";
        QTest::newRow("no meaning, one character") << "麒";
        QTest::newRow("no meaning, three characters") << "麒麟在天";
        QTest::newRow("no shape") << "ABBC";
        QTest::newRow("no idiom of a shape with ?") << "一?二?";
        QTest::newRow("no idiom inside a long text") << "今天天气很好，我们去公园散步。";
    }
    void noMatchKeepsTheEarlierResults()
    {
        QFETCH(QString, text);
        search(QStringLiteral("yiyan"));
        m_w->ListBox2->setItemIndex(1);
        search(text);
        QCOMPARE(m_dialogs->lines(), QStringList({"提示|Wenquell中未找到相关的词语信息！"}));
        QCOMPARE(rows(m_w->ListBox2), QStringList({"一言九鼎", "一言为定"}));
        QCOMPARE(m_w->ListBox2->itemIndex(), 1);
    }

    void enterSearchesAndStillReachesTheBox()
    {
        m_w->edSou->setFocus();
        QTest::keyClicks(m_w->edSou, QStringLiteral("yyjd"));
        QTest::keyClick(m_w->edSou, Qt::Key_Return);
        QCOMPARE(rows(m_w->ListBox2), QStringList({"一言九鼎"}));
        QCOMPARE(m_w->edSou->text(), QStringLiteral("yyjd"));
        m_w->edSou->clear();
        QTest::keyClick(m_w->edSou, Qt::Key_Enter);
        QCOMPARE(m_dialogs->lines(), QStringList({"提示|搜索内容不能为空！"}));
    }

    void modeChangeEmptiesTextAndResultsOnly()
    {
        m_w->ListBox1Click(nullptr); // nothing selected: nothing happens
        m_w->SlectChengYu(Gbk::fromUnicode(u"画龙点睛"));
        const QString entry = m_w->RichText->text();
        search(QStringLiteral("yiyan"));
        m_w->edSou->setText(QStringLiteral("abc"));

        QTest::mouseClick(m_w->RadPinYin, Qt::LeftButton); // already checked: nothing changes
        QCOMPARE(m_w->edSou->text(), QStringLiteral("abc"));
        QCOMPARE(m_w->ListBox2->count(), 2);

        QTest::mouseClick(m_w->RadHanZi, Qt::LeftButton);
        QVERIFY(m_w->RadHanZi->isChecked());
        QCOMPARE(m_w->edSou->text(), QString());
        QCOMPARE(m_w->ListBox2->count(), 0);
        QCOMPARE(m_w->RichText->text(), entry);

        m_w->edSou->setText(QStringLiteral("x"));
        QTest::mouseClick(m_w->RadPinYin, Qt::LeftButton);
        QCOMPARE(m_w->edSou->text(), QString());
    }

    void clickingAResultShowsItsEntry()
    {
        search(QStringLiteral("yiyan"));
        const ListBox* list = m_w->ListBox2;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(1).center());
        QVERIFY(m_w->RichText->text().startsWith(QStringLiteral("【成  语】：一言为定\r\n")));
    }

    void meaningOnRequest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("messages");
        // 一 is in four idioms themselves; asked for, the meaning search looks elsewhere.
        QTest::newRow("a text the defined search finds")
            << "一" << QStringList({"表里如一", "天外有天"}) << QStringList();
        QTest::newRow("three characters")
            << "比喻人" << QStringList({"虚怀若谷", "表里如一", "一模一样"}) << QStringList();
        QTest::newRow("nothing found")
            << "麒麟" << QStringList() << QStringList({"提示|Wenquell中未找到相关的词语信息！"});
        QTest::newRow("empty") << "" << QStringList() << QStringList({"提示|搜索内容不能为空！"});
    }
    void meaningOnRequest()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, messages);
        reopenOn(QStringLiteral(WQ_SEARCH_DB));
        QCOMPARE(m_w->acMeaning->text(), QStringLiteral("按释义搜索"));
        QVERIFY(m_w->BitBtn2->actions().contains(m_w->acMeaning));
        m_w->edSou->setText(text);
        m_w->acMeaning->trigger();
        QCOMPARE(m_dialogs->lines(), messages);
        QCOMPARE(rows(m_w->ListBox2), expected);
    }

    void meaningResultMarksItsEntryOnly()
    {
        reopenOn(QStringLiteral(WQ_SEARCH_DB));
        m_w->RadHanZi->setChecked(true);
        search(QStringLiteral("比喻人"));
        const ListBox* list = m_w->ListBox2;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(0).center());
        RichEdit* view = m_w->RichText;
        const QString shown = view->text();
        QVERIFY(shown.contains(QStringLiteral("【解  释】：比喻人非常谦虚。")));
        const QList<QTextEdit::ExtraSelection> marks = view->extraSelections();
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks[0].cursor.selectedText(), QStringLiteral("比喻人"));
        QCOMPARE(view->selLength(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(colouredPixels(view) > 0, 10000);
        // What is copied is the text alone.
        m_w->N1Click(nullptr);
        m_w->N2Click(nullptr);
        QCOMPARE(QGuiApplication::clipboard()->text().replace(QChar::ParagraphSeparator, u'\n'),
                 QString(shown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        // The same entry from the full list, or a result of a defined search: no mark.
        m_w->SlectChengYu(Gbk::fromUnicode(u"虚怀若谷"));
        QCOMPARE(view->text(), shown);
        QVERIFY(view->extraSelections().isEmpty());
        search(QStringLiteral("一"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->rowRect(0).center());
        QVERIFY(view->extraSelections().isEmpty());
        QCOMPARE(colouredPixels(view), 0);
    }

    void storeErrorKeepsTheResults()
    {
        search(QStringLiteral("yiyan"));
        m_w->ADOConnection1->close();
        search(QStringLiteral("yyjd"));
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->shown()[0].kind, MessageDialogs::Kind::Critical);
        QCOMPARE(rows(m_w->ListBox2), QStringList({"一言九鼎", "一言为定"}));
        m_w->edSou->setText(QStringLiteral("比喻"));
        m_w->acMeaning->trigger(); // the meaning search on request, through the same guard
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->shown()[1].kind, MessageDialogs::Kind::Critical);
        QVERIFY(m_dialogs->shown()[1].text.contains(QStringLiteral("没有打开")));
        QCOMPARE(rows(m_w->ListBox2), QStringList({"一言九鼎", "一言为定"}));
        QVERIFY(m_w->ListBox2->updatesEnabled());
    }
};

WQ_WINDOW_TEST_MAIN(TestSearch)
#include "tst_search.moc"
