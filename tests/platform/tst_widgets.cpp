#include "AlignLayout.h"
#include "ListBox.h"
#include "Panel.h"
#include "RichEdit.h"
#include "ScreenPlacement.h"
#include "Translations.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTranslator>

using AlignLayout::Align;

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    // Qt's own words as a desktop in that language shows them, from the installed translations.
    void qtTextsFollowAChineseLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China) << "取消";
        QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan) << "取消";
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "Cancel";
    }
    void qtTextsFollowAChineseLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, cancel);
        const std::unique_ptr<QTranslator> installed(Translations::installQtTranslations(locale));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
        // The program's boxes say 确定 whatever the locale: all their texts are Chinese.
        QCOMPARE(Translations::okButtonText(), QStringLiteral("确定"));
    }

    void alignedPlacement_data()
    {
        QTest::addColumn<QList<AlignLayout::Item>>("items");
        QTest::addColumn<QList<QRect>>("expected");
        const QRect any(0, 0, 50, 20);
        QTest::newRow("top then client")
            << QList<AlignLayout::Item>{{Align::Client, any}, {Align::Top, any}}
            << QList<QRect>{QRect(0, 20, 100, 180), QRect(0, 0, 100, 20)};
        QTest::newRow("left and right share the middle band")
            << QList<AlignLayout::Item>{{Align::Right, QRect(0, 0, 1, 9)},
                                        {Align::Left, QRect(0, 0, 30, 9)},
                                        {Align::Top, QRect(0, 0, 9, 10)},
                                        {Align::Bottom, QRect(0, 0, 9, 5)}}
            << QList<QRect>{QRect(99, 10, 1, 185), QRect(0, 10, 30, 185), QRect(0, 0, 100, 10),
                            QRect(0, 195, 100, 5)};
        QTest::newRow("unaligned keeps its place")
            << QList<AlignLayout::Item>{{Align::None, QRect(-2, 31, 39, 34)}}
            << QList<QRect>{QRect(-2, 31, 39, 34)};
    }
    void alignedPlacement()
    {
        QFETCH(QList<AlignLayout::Item>, items);
        QFETCH(QList<QRect>, expected);
        QCOMPARE(AlignLayout::place(QRect(0, 0, 100, 200), items), expected);
    }

    void screenPlacement_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("placed");
        const QRect big(0, 0, 1280, 1024);
        const QRect laptop(0, 0, 683, 360); // 1366 x 768 at 200 %, less a panel of 24
        QTest::newRow("fits: stays") << QRect(360, 225, 772, 565) << big << QPoint(360, 225);
        QTest::newRow("off the right and the bottom")
            << QRect(360, 225, 772, 565) << QRect(0, 0, 1024, 768) << QPoint(252, 203);
        QTest::newRow("off the top left") << QRect(-10, -5, 100, 100) << big << QPoint(0, 0);
        QTest::newRow("larger than the screen: top left corner")
            << QRect(360, 225, 772, 565) << laptop << QPoint(0, 0);
        QTest::newRow("wider only") << QRect(360, 100, 772, 200) << laptop << QPoint(0, 100);
        QTest::newRow("a second screen")
            << QRect(360, 225, 772, 565) << QRect(1280, 24, 1024, 744) << QPoint(1280, 203);
    }
    void screenPlacement()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, available);
        QFETCH(QPoint, placed);
        QCOMPARE(ScreenPlacement::fit(frame, available), placed);
    }

    void panelClientRectLosesBevelsAndBorder()
    {
        Panel p;
        p.resize(100, 50);
        QCOMPARE(p.clientRect(), QRect(1, 1, 98, 48)); // raised outer bevel by default
        p.setBevelOuter(Panel::Bevel::None);
        p.setBorderWidth(5);
        QCOMPARE(p.clientRect(), QRect(5, 5, 90, 40));
        p.setBevelInner(Panel::Bevel::Lowered);
        p.setBevelWidth(2);
        QCOMPARE(p.clientRect(), QRect(7, 7, 86, 36));
    }

    void listClickComesFromTheUserOnly()
    {
        ListBox list;
        list.resize(150, 200);
        list.addItems({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &ListBox::Click);

        list.setItemIndex(1); // from code: no click
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(list.itemIndex(), 1);

        const QPoint row0 = list.rowRect(0).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row0);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.itemIndex(), 0);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row0); // same row again
        QCOMPARE(clicks.count(), 2);
        QTest::mouseClick(list.viewport(), Qt::RightButton, {}, row0);
        QCOMPARE(clicks.count(), 2);

        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.itemIndex(), 1);
        QCOMPARE(clicks.count(), 3);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Down); // already on the last row: nothing changes
        QCOMPARE(list.itemIndex(), 2);
        QCOMPARE(clicks.count(), 4);

        // Below the last row there is nothing to choose.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(20, 190));
        QCOMPARE(clicks.count(), 4);
        QCOMPARE(list.itemText(7), QString());
    }

    // Only a press that raises Click moves the highlight, so it stays on the entry on show.
    void listPressWithoutClickKeepsTheSelection_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("selected");
        QTest::newRow("right button, other row") << int(Qt::RightButton) << 0 << 2 << 0 << 1;
        QTest::newRow("middle button, other row") << int(Qt::MiddleButton) << 0 << 0 << 0 << 1;
        QTest::newRow("Ctrl+click, chosen row") // as a click: chosen again
            << int(Qt::LeftButton) << int(Qt::ControlModifier) << 1 << 1 << 1;
        QTest::newRow("Ctrl+click, other row")
            << int(Qt::LeftButton) << int(Qt::ControlModifier) << 2 << 1 << 2;
        QTest::newRow("below the rows") << int(Qt::LeftButton) << 0 << -1 << 0 << 1;
    }
    void listPressWithoutClickKeepsTheSelection()
    {
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(int, row);
        QFETCH(int, clicks);
        QFETCH(int, selected);
        ListBox list;
        list.resize(150, 200);
        list.addItems({QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")});
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.setItemIndex(1);
        QSignalSpy clicked(&list, &ListBox::Click);
        const QPoint at = row < 0 ? QPoint(20, 190) : list.rowRect(row).center();
        QTest::mouseClick(list.viewport(), Qt::MouseButton(button),
                          Qt::KeyboardModifiers(modifiers), at);
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(list.itemIndex(), selected);
    }

    // Changing rows from code: what is left, what stays selected, and rows that do not exist.
    void listRowsFromCode_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selected");
        QTest::newRow("added to an empty list")
            << QStringList{"add 甲 乙"} << QStringList{"甲", "乙"} << -1;
        QTest::newRow("added below, the choice kept")
            << QStringList{"add 甲 乙", "select 1", "add 丙"} << QStringList{"甲", "乙", "丙"} << 1;
        QTest::newRow("emptied: nothing chosen")
            << QStringList{"add 甲 乙", "select 0", "clear"} << QStringList{} << -1;
        QTest::newRow("emptied and filled again")
            << QStringList{"add 甲", "select 0", "clear", "add 乙 丙"} << QStringList{"乙", "丙"}
            << -1;
        QTest::newRow("a row's text changed, the choice kept")
            << QStringList{"add 甲 乙", "select 1", "text 1 丁"} << QStringList{"甲", "丁"} << 1;
        QTest::newRow("text of a row that does not exist")
            << QStringList{"add 甲", "text 1 丁", "text -1 丁"} << QStringList{"甲"} << -1;
        QTest::newRow("choosing a row that does not exist clears the choice")
            << QStringList{"add 甲 乙", "select 1", "select 2"} << QStringList{"甲", "乙"} << -1;
        QTest::newRow("nothing added") << QStringList{"add"} << QStringList{} << -1;
    }
    void listRowsFromCode()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, rows);
        QFETCH(int, selected);
        ListBox list;
        list.resize(100, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &ListBox::Click);
        for (const QString& step : steps) {
            QStringList words = step.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QString verb = words.takeFirst();
            if (verb == QLatin1String("add"))
                words.size() == 1 ? list.addItem(words[0]) : list.addItems(words);
            else if (verb == QLatin1String("select"))
                list.setItemIndex(words[0].toInt());
            else if (verb == QLatin1String("clear"))
                list.clear();
            else if (verb == QLatin1String("text"))
                list.setItemText(words[0].toInt(), words[1]);
        }
        QCOMPARE(list.count(), rows.size());
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(list.itemText(i), rows[i]);
        QCOMPARE(list.itemText(int(rows.size())), QString());
        QCOMPARE(list.itemIndex(), selected);
        QCOMPARE(list.rowRect(int(rows.size())), QRect());
        QCOMPARE(list.rowAt(QPoint(5, 22 * int(rows.size()) + 5)), -1);
        if (!rows.isEmpty())
            QCOMPARE(list.rowAt(list.rowRect(int(rows.size()) - 1).center()), int(rows.size()) - 1);
        QCOMPARE(clicks.count(), 0);
    }

    void listRowsAreTwentyTwoPixelsHigh()
    {
        ListBox list;
        list.addItems({QStringLiteral("一"), QStringLiteral("二")});
        list.resize(100, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.rowRect(0).height(), 22);
        QCOMPARE(list.rowRect(1).top(), 22);
    }

    void richTextReadsBackWithCrLf_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("cr") << QStringLiteral("a\rb\rc") << QStringLiteral("a\r\nb\r\nc");
        QTest::newRow("crlf") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("empty last line") << QStringLiteral("a\r") << QStringLiteral("a\r\n");
        QTest::newRow("empty") << QString() << QString();
    }
    void richTextReadsBackWithCrLf()
    {
        QFETCH(QString, written);
        QFETCH(QString, readBack);
        RichEdit edit;
        edit.setText(written);
        QCOMPARE(edit.text(), readBack);
    }

    void lineSpacingCoversTheSelectedParagraphs()
    {
        RichEdit edit;
        edit.setText(QStringLiteral("one\rtwo\rthree"));
        edit.selectAll();
        SetLineSpacing(&edit, 2);
        edit.setSelLength(0);
        QCOMPARE(edit.selStart(), 0);
        QCOMPARE(edit.selLength(), 0);
        int blocks = 0;
        for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next(), ++blocks) {
            QCOMPARE(b.blockFormat().lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
            QCOMPARE(b.blockFormat().lineHeight(), 200.0);
        }
        QCOMPARE(blocks, 3);
    }

    void insetTextRectLeavesTenPixelsEverySide()
    {
        RichEdit edit;
        edit.resize(569, 436);
        InsetTextRect(&edit);
        const QRect client = edit.clientRect();
        QCOMPARE(edit.formattingRect(), client.adjusted(10, 10, -10, -10));
        QCOMPARE(edit.viewport()->geometry().size(), client.adjusted(10, 10, -10, -10).size());
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
