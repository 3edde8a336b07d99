#include "ControlsTestSupport.h"
#include "GraphicUnits.h"
#include "PaintPanel.h"
#include "TBitmap.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

const QRgb kParent = qRgb(0x40, 0x80, 0x40);
const QRgb kWhite = qRgb(255, 255, 255);

struct Stage
{
    QWidget top;
    Stage()
    {
        top.resize(300, 520);
        top.setAutoFillBackground(true);
        QPalette pal = top.palette();
        pal.setColor(QPalette::Window, QColor(kParent));
        top.setPalette(pal);
    }
    void show()
    {
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
    }
};

std::unique_ptr<TPicture> bitmapPicture(const QImage& image)
{
    auto p = std::make_unique<TPicture>();
    TBitmap b(image, pf24bit);
    p->setGraphic(&b);
    return p;
}

// The strip of the main window: near-white to light grey, one darker grey column at the right.
QImage stripImage()
{
    QImage img(37, 1, QImage::Format_RGB32);
    for (int x = 0; x < 36; ++x)
        img.setPixel(x, 0, qRgb(250 - x, 250 - x, 252 - x));
    img.setPixel(36, 0, qRgb(0x99, 0x99, 0x99));
    return img;
}

QRect inkBox(const QImage& img, QRgb background)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, y) != background)
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

void flushPaints()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestPaintPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_units = std::make_unique<GraphicUnits>(); }
    void cleanupTestCase() { m_units.reset(); }

    void constructionDefaults()
    {
        TPaintPanel p;
        QCOMPARE(p.bevelOuter(), Panel::Bevel::None);
        QCOMPARE(p.bevelInner(), Panel::Bevel::None);
        QCOMPARE(p.bevelWidth(), 1);
        QCOMPARE(p.BevelStyle(), bsNone);
        QCOMPARE(p.BevelColor(), QColor(0, 0, 0));
        QCOMPARE(p.PicHorzStretch(), hstNone);
        QCOMPARE(p.PicVertStretch(), vstNone);
        QCOMPARE(p.Alignment(), taCenter);
        QCOMPARE(p.VerticalAlignment(), taVerticalCenter);
        QVERIFY(p.Picture()->empty());
        QVERIFY(!p.AutoWidth() && !p.AutoHeight());
    }

    void withoutPicture_data()
    {
        QTest::addColumn<bool>("parentBackground");
        QTest::addColumn<QRgb>("seen");
        QTest::newRow("filled with Color") << false << qRgb(10, 20, 30);
        QTest::newRow("parent's background shows") << true << kParent;
    }
    void withoutPicture()
    {
        QFETCH(bool, parentBackground);
        QFETCH(QRgb, seen);
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(5, 5, 40, 30);
        p.setColor(QColor(10, 20, 30));
        p.setParentBackground(parentBackground);
        stage.show();
        QCOMPARE(screenOf(&p), solidImage(40, 30, seen).convertToFormat(QImage::Format_RGB32));
    }

    void mainStrip()
    {
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 37, 482);
        p.setColor(QColor(kWhite));
        p.setPicture(bitmapPicture(stripImage()).get());
        p.setPicVertStretch(vstBottom);
        stage.show();
        const QImage screen = screenOf(&p);
        const QImage strip = stripImage();
        for (int y = 0; y < 482; ++y) {
            for (int x = 0; x < 37; ++x)
                QCOMPARE(screen.pixel(x, y), strip.pixel(x, 0));
        }
    }

    void stretchedOnThePanel_data()
    {
        QTest::addColumn<int>("horz");
        QTest::addColumn<int>("vert");
        QTest::addColumn<int>("borderWidth");
        QTest::newRow("left") << int(hstLeft) << int(vstNone) << 0;
        QTest::newRow("middle and all") << int(hstMiddle) << int(vstAll) << 0;
        QTest::newRow("right and center, with a border") << int(hstRight) << int(vstCenter) << 3;
    }
    void stretchedOnThePanel()
    {
        QFETCH(int, horz);
        QFETCH(int, vert);
        QFETCH(int, borderWidth);
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 36, 27);
        p.setColor(QColor(1, 2, 3));
        p.setBorderWidth(borderWidth);
        p.setPicture(bitmapPicture(positionImage(9, 10)).get());
        p.setPicHorzStretch(THorzStretchType(horz));
        p.setPicVertStretch(TVertStretchType(vert));
        stage.show();
        const QRect client = p.clientRect();
        const QImage expected = PicStretch::stretch(positionImage(9, 10), client.size(),
                                                    THorzStretchType(horz), TVertStretchType(vert));
        const QImage screen = screenOf(&p);
        for (int y = 0; y < 27; ++y) {
            for (int x = 0; x < 36; ++x) {
                const QRgb want = client.contains(x, y)
                                      ? expected.pixel(x - client.x(), y - client.y())
                                      : qRgb(1, 2, 3);
                QCOMPARE(screen.pixel(x, y), want);
            }
        }
    }

    void bothModesNoneDrawsOnlyThePicture()
    {
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 30, 30);
        p.setColor(QColor(kWhite));
        p.setPicture(bitmapPicture(positionImage(10, 10)).get());
        stage.show();
        const QImage screen = screenOf(&p);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 30; ++x) {
                const QRgb want = x < 10 && y < 10 ? positionColor(x, y) : kParent;
                QCOMPARE(screen.pixel(x, y), want);
            }
        }
    }

    void autoWidthAndHeight()
    {
        TPaintPanel p;
        p.resize(100, 482);
        p.setAutoWidth(true); // no picture: ignored
        QVERIFY(!p.AutoWidth());
        p.setPicture(bitmapPicture(stripImage()).get());
        QCOMPARE(p.width(), 100);
        p.setAutoWidth(true);
        QVERIFY(p.AutoWidth());
        QCOMPARE(p.size(), QSize(37, 482)); // at once

        // The change handler follows later pictures, loading included.
        p.setAutoHeight(true);
        QCOMPARE(p.size(), QSize(37, 1));
        p.Picture()->bitmap()->setSize(20, 8);
        QCOMPARE(p.size(), QSize(20, 8));
        p.setAutoWidth(false);
        p.setPicture(bitmapPicture(positionImage(5, 6)).get());
        QCOMPARE(p.size(), QSize(20, 6));

        // A picture that is not a bitmap sizes nothing (it becomes an empty bitmap).
        p.resize(50, 50);
        auto png = std::make_unique<TPicture>();
        setPngPicture(*png, positionImage(39, 34));
        p.setPicture(png.get());
        QCOMPARE(p.size(), QSize(50, 50));
    }

    void pngBecomesAnEmptyBitmapAtTheNextPaint()
    {
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 40, 40);
        p.setColor(QColor(9, 9, 9));
        auto png = std::make_unique<TPicture>();
        setPngPicture(*png, positionImage(39, 34));
        p.setPicture(png.get());
        QCOMPARE(p.Picture()->graphic()->className(), QStringLiteral("TnxPNGImage"));
        stage.show();
        QCOMPARE(p.Picture()->graphic()->className(), QStringLiteral("TBitmap"));
        QVERIFY(p.Picture()->empty());
        QCOMPARE(screenOf(&p),
                 solidImage(40, 40, qRgb(9, 9, 9)).convertToFormat(QImage::Format_RGB32));
    }

    void frame_data()
    {
        QTest::addColumn<int>("bevelWidth");
        QTest::addColumn<QList<int>>("columns"); // frame columns on the middle row
        QTest::addColumn<QList<int>>("rows");    // frame rows on the middle column
        QTest::newRow("width 1: along the client edge")
            << 1 << QList<int>{0, 19} << QList<int>{0, 15};
        QTest::newRow("width 2: moved in, both pixels inside")
            << 2 << QList<int>{0, 1, 18, 19} << QList<int>{0, 1, 14, 15};
        QTest::newRow("width 3: centred, one pixel cut each side")
            << 3 << QList<int>{0, 1, 18, 19} << QList<int>{0, 1, 14, 15};
        QTest::newRow("width 4") << 4 << QList<int>{0, 1, 2, 17, 18, 19}
                                 << QList<int>{0, 1, 2, 13, 14, 15};
    }
    void frame()
    {
        QFETCH(int, bevelWidth);
        QFETCH(QList<int>, columns);
        QFETCH(QList<int>, rows);
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 20, 16);
        p.setColor(QColor(kWhite));
        p.setBevelStyle(bsSingle);
        p.setBevelColor(QColor(255, 0, 0));
        p.setBevelWidth(bevelWidth);
        stage.show();
        const QImage screen = screenOf(&p);
        QList<int> seenColumns;
        for (int x = 0; x < 20; ++x) {
            if (screen.pixel(x, 8) == qRgb(255, 0, 0))
                seenColumns << x;
        }
        QList<int> seenRows;
        for (int y = 0; y < 16; ++y) {
            if (screen.pixel(10, y) == qRgb(255, 0, 0))
                seenRows << y;
        }
        QCOMPARE(seenColumns, columns);
        QCOMPARE(seenRows, rows);
        // The corners are closed.
        QCOMPARE(screen.pixel(columns.first(), rows.first()), qRgb(255, 0, 0));
        QCOMPARE(screen.pixel(columns.last(), rows.last()), qRgb(255, 0, 0));
    }

    void caption_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<int>("biDi");
        QTest::addColumn<QString>("side");   // where the ink is: left, right, centre
        QTest::addColumn<QString>("height"); // top, bottom, middle
        QTest::newRow("left, top")
            << int(taLeftJustify) << int(taAlignTop) << int(bdLeftToRight) << "left"
            << "top";
        QTest::newRow("right, bottom")
            << int(taRightJustify) << int(taAlignBottom) << int(bdLeftToRight) << "right"
            << "bottom";
        QTest::newRow("centre, middle")
            << int(taCenter) << int(taVerticalCenter) << int(bdLeftToRight) << "centre"
            << "middle";
        QTest::newRow("left mirrored right-to-left")
            << int(taLeftJustify) << int(taAlignTop) << int(bdRightToLeft) << "right"
            << "top";
        QTest::newRow("right mirrored right-to-left")
            << int(taRightJustify) << int(taAlignTop) << int(bdRightToLeft) << "left"
            << "top";
        QTest::newRow("left, right-to-left without alignment")
            << int(taLeftJustify) << int(taAlignTop) << int(bdRightToLeftNoAlign) << "left"
            << "top";
        QTest::newRow("left, reading only")
            << int(taLeftJustify) << int(taAlignBottom) << int(bdRightToLeftReadingOnly) << "left"
            << "bottom";
    }
    void caption()
    {
        QFETCH(int, alignment);
        QFETCH(int, vertical);
        QFETCH(int, biDi);
        QFETCH(QString, side);
        QFETCH(QString, height);
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 200, 60);
        p.setColor(QColor(kWhite));
        p.setCaption(QStringLiteral("Caption"));
        p.setAlignment(TAlignment(alignment));
        p.setVerticalAlignment(TVerticalAlignment(vertical));
        p.setBiDiMode(TBiDiMode(biDi));
        stage.show();
        const QRect ink = inkBox(screenOf(&p), kWhite);
        QVERIFY(!ink.isEmpty());
        if (side == QLatin1String("left"))
            QVERIFY2(ink.left() <= 3, qPrintable(QString::number(ink.left())));
        else if (side == QLatin1String("right"))
            QVERIFY2(ink.right() >= 196, qPrintable(QString::number(ink.right())));
        else
            QVERIFY(qAbs(ink.center().x() - 100) <= 3);
        if (height == QLatin1String("top"))
            QVERIFY(ink.top() <= 6);
        else if (height == QLatin1String("bottom"))
            QVERIFY(ink.bottom() >= 55);
        else
            QVERIFY(qAbs(ink.center().y() - 30) <= 4);
    }

    void tabsAreExpanded()
    {
        TPaintPanel p;
        p.resize(300, 30);
        p.setColor(QColor(kWhite));
        p.setAlignment(taLeftJustify);
        p.setCaption(QStringLiteral("a\tb"));
        const QRect withTab =
            inkBox(p.grab().toImage().convertToFormat(QImage::Format_RGB32), kWhite);
        p.setCaption(QStringLiteral("a b"));
        const QRect withSpace =
            inkBox(p.grab().toImage().convertToFormat(QImage::Format_RGB32), kWhite);
        QVERIFY(withTab.width() > withSpace.width() + 10);
    }

    void paintEventComesLastWithTheCanvas()
    {
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 30, 30);
        p.setPicture(bitmapPicture(positionImage(5, 5)).get());
        p.setPicHorzStretch(hstAll);
        p.setPicVertStretch(vstAll);
        p.setBevelStyle(bsSingle);
        QSignalSpy paints(&p, &TPaintPanel::Paint);
        connect(&p, &TPaintPanel::Paint, &p, [&p] {
            QVERIFY(p.Canvas());
            p.Canvas()->fillRect(QRect(0, 0, 2, 2), QColor(0, 255, 255)); // over the frame
        });
        QVERIFY(!p.Canvas());
        stage.show();
        QVERIFY(paints.count() >= 1);
        QVERIFY(!p.Canvas());
        QCOMPARE(screenOf(&p).pixel(0, 0), qRgb(0, 255, 255));
        QCOMPARE(screenOf(&p).pixel(1, 1), qRgb(0, 255, 255));
    }

    void settersRepaintOnChangeOnly_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("repaints");
        QTest::newRow("horizontal mode, same") << "h-same" << false;
        QTest::newRow("horizontal mode, new") << "h-new" << true;
        QTest::newRow("vertical mode, new") << "v-new" << true;
        QTest::newRow("bevel colour, same") << "colour-same" << false;
        QTest::newRow("bevel colour, new") << "colour-new" << true;
        QTest::newRow("bevel style, new") << "style-new" << true;
        QTest::newRow("picture") << "picture" << true;
    }
    void settersRepaintOnChangeOnly()
    {
        QFETCH(QString, what);
        QFETCH(bool, repaints);
        Stage stage;
        TPaintPanel p(&stage.top);
        p.setGeometry(0, 0, 30, 30);
        stage.show();
        flushPaints();
        PaintCounter counter(&p);
        if (what == QLatin1String("h-same"))
            p.setPicHorzStretch(hstNone);
        else if (what == QLatin1String("h-new"))
            p.setPicHorzStretch(hstMiddle);
        else if (what == QLatin1String("v-new"))
            p.setPicVertStretch(vstTop);
        else if (what == QLatin1String("colour-same"))
            p.setBevelColor(QColor(0, 0, 0));
        else if (what == QLatin1String("colour-new"))
            p.setBevelColor(QColor(1, 0, 0));
        else if (what == QLatin1String("style-new"))
            p.setBevelStyle(bsSingle);
        else if (what == QLatin1String("picture"))
            p.setPicture(bitmapPicture(positionImage(2, 2)).get());
        flushPaints();
        QCOMPARE(counter.count() > 0, repaints);
    }

private:
    std::unique_ptr<GraphicUnits> m_units;
};

QTEST_MAIN(TestPaintPanel)
#include "tst_paintpanel.moc"
