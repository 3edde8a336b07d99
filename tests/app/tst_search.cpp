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
        QTest::addColumn<bool>("asTyped"); // found by the search of the text as typed
        QTest::newRow("syllables")
            << true << "yiyan" << QStringList({"一言九鼎", "一言为定"}) << true;
        QTest::newRow("initials, any case") << true << "YYJD" << QStringList({"一言九鼎"}) << true;
        QTest::newRow("blank is kept") << true << " yyjd" << QStringList({"一言九鼎"}) << true;
        QTest::newRow("percent: everything")
            << true << "%"
            << QStringList({"爱不释手", "阿谀奉承", "画龙点睛", "绿草如茵", "略知一二", "马到成功",
                            "马到成功", "人云亦云", "项庄舞剑，意在沛公", "一言九鼎", "一言为定"})
            << true;
        QTest::newRow("characters")
            << false << "言" << QStringList({"一言九鼎", "一言为定"}) << true;
        QTest::newRow("underscore")
            << false << "马_成" << QStringList({"马到成功", "马到成功"}) << true;
        // Found only by the second try, with the text as the store spells it.
        const QStringList yyjd{"一言九鼎"};
        QTest::newRow("blanks") << true << "yi yan jiu ding" << yyjd << false;
        QTest::newRow("tone marks") << true << "yī yán jiǔ dǐng" << yyjd << false;
        QTest::newRow("tone numbers") << true << "yi1yan2jiu3ding3" << yyjd << false;
        QTest::newRow("full-width letters") << true << "ＹＹＪＤ" << yyjd << false;
        QTest::newRow("ü") << true << "lü" << QStringList({"绿草如茵", "略知一二"}) << false;
        QTest::newRow("u:") << true << "lu:e" << QStringList({"略知一二"}) << false;
        QTest::newRow("percent still a wildcard")
            << true << "yī%dǐng" << QStringList({"一言九鼎", "一言为定"}) << false;
        QTest::newRow("characters, pinyin checked") << true << "一言九鼎" << yyjd << false;
        QTest::newRow("pinyin, characters checked") << false << "yyjd" << yyjd << false;
        QTest::newRow("traditional characters")
            << false << "畫龍點睛" << QStringList({"画龙点睛"}) << false;
        QTest::newRow("blanks between characters") << false << "一言 九鼎" << yyjd << false;
    }
    void results()
    {
        QFETCH(bool, pinyin);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QFETCH(bool, asTyped);
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

    void storeErrorKeepsTheResults()
    {
        search(QStringLiteral("yiyan"));
        m_w->ADOConnection1->close();
        search(QStringLiteral("yyjd"));
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->shown()[0].kind, MessageDialogs::Kind::Critical);
        QCOMPARE(rows(m_w->ListBox2), QStringList({"一言九鼎", "一言为定"}));
        QVERIFY(m_w->ListBox2->updatesEnabled());
    }
};

WQ_WINDOW_TEST_MAIN(TestSearch)
#include "tst_search.moc"
