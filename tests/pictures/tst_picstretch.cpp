#include "ControlsTestSupport.h"
#include "PicStretch.h"

#include <QTest>

// Expected maps are written compactly: "3" one index, "0-9" a run (descending if a > b),
// "4*11" an index repeated, "w*5" five white pixels; comma separated.
static QList<int> expand(const QString& text)
{
    QList<int> out;
    for (const QString& part : text.split(QLatin1Char(','))) {
        if (part.contains(QLatin1Char('*'))) {
            const QStringList vn = part.split(QLatin1Char('*'));
            const int v = vn[0] == QLatin1String("w") ? -1 : vn[0].toInt();
            for (int i = 0; i < vn[1].toInt(); ++i)
                out.append(v);
        } else if (part.contains(QLatin1Char('-'))) {
            const QStringList ab = part.split(QLatin1Char('-'));
            const int a = ab[0].toInt();
            const int b = ab[1].toInt();
            for (int i = a; a <= b ? i <= b : i >= b; i += a <= b ? 1 : -1)
                out.append(i);
        } else {
            out.append(part == QLatin1String("w") ? -1 : part.toInt());
        }
    }
    return out;
}

class TestPicStretch : public QObject
{
    Q_OBJECT
private slots:
    // The routine is separable: the pixel at (x, y) of the result is the picture's pixel at
    // (column map[x], row map[y]), or white where either map says white.
    void modes_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<int>("horz");
        QTest::addColumn<int>("vert");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");

        // The cases the panel is known by.
        QTest::newRow("main strip: 37x1 down 482 rows")
            << QSize(37, 1) << QSize(37, 482) << int(hstNone) << int(vstBottom) << "0-36"
            << "0*482";
        QTest::newRow("left: first column repeated")
            << QSize(10, 10) << QSize(30, 10) << int(hstLeft) << int(vstNone) << "0*20,0-9"
            << "0-9";
        QTest::newRow("middle, odd width")
            << QSize(9, 10) << QSize(20, 10) << int(hstMiddle) << int(vstNone) << "0-3,4*11,4-8"
            << "0-9";
        QTest::newRow("none + all: scaled to full height at the left")
            << QSize(10, 10) << QSize(30, 30) << int(hstNone) << int(vstAll) << "0-9,w*20"
            << "0*3,1*3,2*3,3*3,4*3,5*3,6*3,7*3,8*3,9*3";

        // Every horizontal mode, wider.
        QTest::newRow("h none wider")
            << QSize(10, 4) << QSize(15, 4) << int(hstNone) << int(vstBottom) << "0-9,w*5"
            << "0-3";
        QTest::newRow("h all wider, not a multiple")
            << QSize(10, 4) << QSize(25, 4) << int(hstAll) << int(vstNone)
            << "0*2,1*3,2*2,3*3,4*2,5*3,6*2,7*3,8*2,9*3"
            << "0-3";
        QTest::newRow("h left wider")
            << QSize(10, 4) << QSize(13, 4) << int(hstLeft) << int(vstNone) << "0*3,0-9"
            << "0-3";
        QTest::newRow("h middle wider, even")
            << QSize(10, 4) << QSize(13, 4) << int(hstMiddle) << int(vstNone) << "0-4,5*3,5-9"
            << "0-3";
        QTest::newRow("h right wider")
            << QSize(10, 4) << QSize(15, 4) << int(hstRight) << int(vstNone) << "0-9,9*5"
            << "0-3";
        QTest::newRow("h middle, one column")
            << QSize(1, 2) << QSize(4, 2) << int(hstMiddle) << int(vstNone) << "0*4"
            << "0-1";
        QTest::newRow("h same width")
            << QSize(10, 4) << QSize(10, 4) << int(hstMiddle) << int(vstNone) << "0-9"
            << "0-3";

        // Every horizontal mode, narrower: cut on the side the mode does not keep.
        QTest::newRow("h none narrower")
            << QSize(10, 2) << QSize(6, 2) << int(hstNone) << int(vstTop) << "0-5"
            << "0-1";
        QTest::newRow("h all narrower")
            << QSize(10, 2) << QSize(6, 2) << int(hstAll) << int(vstNone) << "0,2,4,5,7,9"
            << "0-1";
        QTest::newRow("h left narrower keeps the right")
            << QSize(10, 2) << QSize(6, 2) << int(hstLeft) << int(vstNone) << "4-9"
            << "0-1";
        QTest::newRow("h middle narrower keeps both ends, right drawn last")
            << QSize(10, 2) << QSize(6, 2) << int(hstMiddle) << int(vstNone) << "0,5-9"
            << "0-1";
        QTest::newRow("h middle much narrower")
            << QSize(10, 2) << QSize(3, 2) << int(hstMiddle) << int(vstNone) << "7-9"
            << "0-1";
        QTest::newRow("h right narrower keeps the left")
            << QSize(10, 2) << QSize(6, 2) << int(hstRight) << int(vstNone) << "0-5"
            << "0-1";

        // Every vertical mode, taller.
        QTest::newRow("v none taller")
            << QSize(3, 10) << QSize(3, 12) << int(hstAll) << int(vstNone) << "0-2"
            << "0-9,w*2";
        QTest::newRow("v top taller, wider too")
            << QSize(3, 10) << QSize(4, 12) << int(hstNone) << int(vstTop) << "0-2,w"
            << "0*2,0-9";
        QTest::newRow("v all taller")
            << QSize(3, 10) << QSize(3, 25) << int(hstNone) << int(vstAll) << "0-2"
            << "0*2,1*3,2*2,3*3,4*2,5*3,6*2,7*3,8*2,9*3";
        QTest::newRow("v top taller")
            << QSize(3, 10) << QSize(3, 14) << int(hstNone) << int(vstTop) << "0-2"
            << "0*4,0-9";
        QTest::newRow("v center taller, even")
            << QSize(3, 10) << QSize(3, 13) << int(hstNone) << int(vstCenter) << "0-2"
            << "0-4,5*3,5-9";
        QTest::newRow("v center taller, odd")
            << QSize(3, 9) << QSize(3, 12) << int(hstNone) << int(vstCenter) << "0-2"
            << "0-3,4*3,4-8";
        QTest::newRow("v bottom taller")
            << QSize(3, 10) << QSize(3, 12) << int(hstNone) << int(vstBottom) << "0-2"
            << "0-9,9*2";

        // Every vertical mode, lower.
        QTest::newRow("v none lower")
            << QSize(2, 10) << QSize(2, 6) << int(hstAll) << int(vstNone) << "0-1"
            << "0-5";
        QTest::newRow("v all lower")
            << QSize(2, 10) << QSize(2, 6) << int(hstNone) << int(vstAll) << "0-1"
            << "0,2,4,5,7,9";
        QTest::newRow("v top lower keeps the bottom")
            << QSize(2, 10) << QSize(2, 6) << int(hstNone) << int(vstTop) << "0-1"
            << "4-9";
        QTest::newRow("v center lower keeps both ends")
            << QSize(2, 10) << QSize(2, 6) << int(hstNone) << int(vstCenter) << "0-1"
            << "0,5-9";
        QTest::newRow("v bottom lower keeps the top")
            << QSize(2, 10) << QSize(2, 6) << int(hstNone) << int(vstBottom) << "0-1"
            << "0-5";

        // Both directions at once.
        QTest::newRow("middle and center")
            << QSize(4, 4) << QSize(7, 6) << int(hstMiddle) << int(vstCenter) << "0-1,2*3,2-3"
            << "0-1,2*2,2-3";
        QTest::newRow("left and bottom, smaller across")
            << QSize(8, 3) << QSize(5, 5) << int(hstLeft) << int(vstBottom) << "3-7"
            << "0-2,2*2";
        QTest::newRow("all and all, shrink and grow")
            << QSize(6, 2) << QSize(3, 4) << int(hstAll) << int(vstAll) << "1,3,5"
            << "0*2,1*2";
    }
    void modes()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, target);
        QFETCH(int, horz);
        QFETCH(int, vert);
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        const QList<int> colMap = expand(columns);
        const QList<int> rowMap = expand(rows);
        QCOMPARE(colMap.size(), target.width());
        QCOMPARE(rowMap.size(), target.height());

        const QImage g = positionImage(picture.width(), picture.height());
        const QImage f =
            PicStretch::stretch(g, target, THorzStretchType(horz), TVertStretchType(vert));
        QCOMPARE(f.size(), target);
        for (int y = 0; y < target.height(); ++y) {
            for (int x = 0; x < target.width(); ++x) {
                const QRgb want = colMap[x] < 0 || rowMap[y] < 0
                                      ? qRgb(255, 255, 255)
                                      : positionColor(colMap[x], rowMap[y]);
                if (f.pixel(x, y) != want) {
                    QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(f.pixel(x, y), 8, 16)
                                         .arg(want, 8, 16)));
                }
            }
        }
    }

    void bothNoneIsThePictureAtItsOwnSize()
    {
        const QImage g = positionImage(10, 10);
        const QImage f = PicStretch::stretch(g, QSize(30, 30), hstNone, vstNone);
        QCOMPARE(f.size(), QSize(10, 10));
        QCOMPARE(f.convertToFormat(QImage::Format_ARGB32), g);
        // Larger than the panel: still whole; the panel's edge cuts it when drawn.
        QCOMPARE(PicStretch::stretch(g, QSize(4, 4), hstNone, vstNone).size(), QSize(10, 10));
    }

    void alphaIsNotUsed()
    {
        QImage g(2, 1, QImage::Format_ARGB32_Premultiplied);
        g.setPixel(0, 0, qRgba(0, 0, 0, 0));
        g.setPixel(1, 0, qRgba(40, 50, 60, 128));
        const QImage f = PicStretch::stretch(g, QSize(3, 1), hstRight, vstNone);
        QCOMPARE(f.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(f.pixel(1, 0), qRgb(40, 50, 60));
        QCOMPARE(f.pixel(2, 0), qRgb(40, 50, 60));
        QVERIFY(!f.hasAlphaChannel());
    }

    void emptyTargetGivesNothing_data()
    {
        QTest::addColumn<QSize>("target");
        QTest::newRow("no width") << QSize(0, 10);
        QTest::newRow("no height") << QSize(10, 0);
        QTest::newRow("negative") << QSize(-3, 5);
    }
    void emptyTargetGivesNothing()
    {
        QFETCH(QSize, target);
        QVERIFY(PicStretch::stretch(positionImage(4, 4), target, hstAll, vstAll).isNull());
    }

    void nearestSourceStaysInRange_data()
    {
        QTest::addColumn<int>("dst");
        QTest::addColumn<int>("src");
        QTest::newRow("grow 3x") << 30 << 10;
        QTest::newRow("shrink") << 7 << 100;
        QTest::newRow("one to many") << 50 << 1;
        QTest::newRow("large") << 40000 << 39999;
    }
    void nearestSourceStaysInRange()
    {
        QFETCH(int, dst);
        QFETCH(int, src);
        int previous = 0;
        for (int d = 0; d < dst; ++d) {
            const int s = PicStretch::nearestSource(d, dst, src);
            QVERIFY(s >= previous && s < src);
            previous = s;
        }
        if (dst >= src)
            QCOMPARE(PicStretch::nearestSource(dst - 1, dst, src), src - 1);
    }
};

QTEST_GUILESS_MAIN(TestPicStretch)
#include "tst_picstretch.moc"
