#include "ImgButtonGeometry.h"

#include <QTest>

using ImgButtonGeometry::Input;
using ImgButtonGeometry::Placement;

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(Placement)

static Input input(QSize control, QSize image, int state, int enter = 1, int down = 1)
{
    Input in;
    in.control = control;
    in.image = image;
    in.state = state;
    in.enterOffset = enter;
    in.downOffset = down;
    return in;
}

static Input captioned(TImgControlLayout layout, int spacing = 2)
{
    Input in;
    in.control = QSize(100, 60);
    in.image = QSize(20, 20);
    in.caption = QSize(30, 10);
    in.hasCaption = true;
    in.layout = layout;
    in.spacing = spacing;
    return in;
}

class TestImgButtonLayout : public QObject
{
    Q_OBJECT
private slots:
    void place_data()
    {
        QTest::addColumn<Input>("in");
        QTest::addColumn<QPoint>("image");
        QTest::addColumn<QPoint>("caption");

        // No caption: the picture is centred, the offsets move it. (The caption's point is
        // where the empty caption's box would go: under the picture, as the layout is top.)
        const QSize button(36, 40);
        const QSize small(22, 22);
        QTest::newRow("22 in 36x40 normal")
            << input(button, small, 0) << QPoint(7, 9) << QPoint(18, 31);
        QTest::newRow("22 in 36x40 mouse over")
            << input(button, small, 1) << QPoint(6, 8) << QPoint(17, 30);
        QTest::newRow("22 in 36x40 pressed")
            << input(button, small, 2) << QPoint(8, 10) << QPoint(19, 32);
        QTest::newRow("22 in 36x40 checked")
            << input(button, small, 3) << QPoint(7, 9) << QPoint(18, 31);
        QTest::newRow("22 in 36x40 bigger offsets")
            << input(button, small, 2, 5, 4) << QPoint(11, 13) << QPoint(22, 35);
        QTest::newRow("unknown state moves nothing")
            << input(button, small, 7) << QPoint(7, 9) << QPoint(18, 31);

        const QSize big(39, 34);
        for (int state : {0, 1, 2, 3}) {
            QTest::addRow("39x34 own size, offsets 0, state %d", state)
                << input(big, big, state, 0, 0) << QPoint(0, 0) << QPoint(19, 34);
        }
        // (36 - 39) / 2 truncates toward zero: -1, not -2.
        QTest::newRow("39x34 in 36x40")
            << input(button, big, 0, 0, 0) << QPoint(-1, 3) << QPoint(18, 37);
        QTest::newRow("39x34 in 36x40 pressed")
            << input(button, big, 2) << QPoint(0, 4) << QPoint(19, 38);
        QTest::newRow("much larger, odd overhang")
            << input(QSize(10, 10), QSize(25, 15), 0) << QPoint(-7, -2) << QPoint(5, 13);

        // With a caption: picture and caption centred as a pair along the layout's axis.
        QTest::newRow("left") << captioned(iclImgLeft) << QPoint(24, 20) << QPoint(46, 25);
        QTest::newRow("right") << captioned(iclImgRight) << QPoint(56, 20) << QPoint(24, 25);
        QTest::newRow("top") << captioned(iclImgTop) << QPoint(40, 14) << QPoint(35, 36);
        QTest::newRow("bottom") << captioned(iclImgBottom) << QPoint(40, 26) << QPoint(35, 14);
        QTest::newRow("center overlaps")
            << captioned(iclImgCenter) << QPoint(40, 20) << QPoint(35, 25);
        QTest::newRow("center ignores spacing")
            << captioned(iclImgCenter, 50) << QPoint(40, 20) << QPoint(35, 25);

        // Spacing is an unsigned 16-bit gap.
        QTest::newRow("spacing -1 is 65535, vertical")
            << captioned(iclImgTop, -1) << QPoint(40, -32752) << QPoint(35, 32803);
        QTest::newRow("spacing -1 is 65535, horizontal")
            << captioned(iclImgLeft, -1) << QPoint(-32742, 20) << QPoint(32813, 25);
        QTest::newRow("spacing 65541 is 5")
            << captioned(iclImgTop, 65541) << QPoint(40, 12) << QPoint(35, 37);
        Input noCaption = captioned(iclImgTop, 1000);
        noCaption.hasCaption = false;
        noCaption.caption = QSize(0, 0);
        // The empty caption's box sits right under the picture, without the gap.
        QTest::newRow("no caption, no gap") << noCaption << QPoint(40, 20) << QPoint(50, 40);

        Input over = captioned(iclImgLeft);
        over.state = 1;
        over.enterOffset = 3;
        QTest::newRow("caption moves with the picture") << over << QPoint(21, 17) << QPoint(43, 22);
    }
    void place()
    {
        QFETCH(Input, in);
        QFETCH(QPoint, image);
        QFETCH(QPoint, caption);
        const Placement at = ImgButtonGeometry::place(in);
        QCOMPARE(at.image, image);
        QCOMPARE(at.caption, caption);
    }
};

QTEST_APPLESS_MAIN(TestImgButtonLayout)
#include "tst_imgbuttonlayout.moc"
