#include "ControlsTestSupport.h"
#include "Exception.h"
#include "Gauges.h"
#include "Panel.h"

#include <QFontMetrics>
#include <QRandomGenerator>
#include <QtTest>

#include <limits>

using namespace Gauges;

namespace {

const QColor kMoneyGreen(192, 220, 192);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
constexpr QRgb kBlackPixel = 0xFF000000;

QRgb inverse(QRgb rgb)
{
    return rgb ^ 0x00FFFFFF;
}

QFont testFont(int pixelSize = 11)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    return font;
}

GaugeLook lookOf(TGaugeKind kind, TBorderStyle border, int percent)
{
    GaugeLook look;
    look.kind = kind;
    look.borderStyle = border;
    look.percent = percent;
    look.showText = false;
    look.foreColor = kBlue;
    look.backColor = kMoneyGreen;
    look.color = kRed;
    look.font = testFont();
    return look;
}

// The pixels where two images of the same size differ.
QList<QPoint> differences(const QImage& a, const QImage& b)
{
    QList<QPoint> points;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                points.append(QPoint(x, y));
    return points;
}

} // namespace

class TestGauge : public QObject
{
    Q_OBJECT

private slots:
    void scaleByPercent_data();
    void scaleByPercent();
    void percentOf_data();
    void percentOf();
    void percentOfIsExactForWideValues();

    void barAtFullWithBorder();
    void kindPixels_data();
    void kindPixels();
    void pieQuarter();
    void needleUpright();
    void textInverts_data();
    void textInverts();
    void textStaysOffTheFrame();

    void clamping_data();
    void clamping();
    void rangeErrors_data();
    void rangeErrors();
    void rangeMovesProgress();
    void loadingSkipsRangeChecks();
    void emptyRange();
    void repaintsOnlyWhenTheWholePercentChanges();
    void hiddenGaugeIsNotPainted();
    void widgetShowsTheRenderedImage();
    void colourFollowsTheParent();
};

void TestGauge::scaleByPercent_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("z");
    QTest::addColumn<int>("expected");
    // 0.01 lies a little below one hundredth in extended precision.
    QTest::newRow("20 of 100 is one short") << 20 << 100 << 19;
    QTest::newRow("5 of 20 is one short") << 5 << 20 << 0;
    QTest::newRow("20 of 595") << 20 << 595 << 118;
    QTest::newRow("25 of 100") << 25 << 100 << 25;
    QTest::newRow("50 of 593") << 50 << 593 << 296;
    QTest::newRow("100 of 593") << 100 << 593 << 593;
    QTest::newRow("100 of 2147483647") << 100 << 2147483647 << 2147483647;
    QTest::newRow("0 of 100") << 0 << 100 << 0;
    QTest::newRow("33 of 100") << 33 << 100 << 33;
    QTest::newRow("toward zero when negative") << -20 << 100 << -19;
}

void TestGauge::scaleByPercent()
{
    QFETCH(int, y);
    QFETCH(int, z);
    QFETCH(int, expected);
    QCOMPARE(ScaleByPercent(y, z), expected);
}

void TestGauge::percentOf_data()
{
    QTest::addColumn<qint64>("x");
    QTest::addColumn<qint64>("z");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty range") << qint64(5) << qint64(0) << 0;
    QTest::newRow("a third") << qint64(1) << qint64(3) << 33;
    QTest::newRow("two thirds") << qint64(2) << qint64(3) << 66;
    QTest::newRow("just below whole") << qint64(999) << qint64(1000) << 99;
    QTest::newRow("whole") << qint64(1000) << qint64(1000) << 100;
    QTest::newRow("negative toward zero") << qint64(-1) << qint64(3) << -33;
    QTest::newRow("largest 32-bit") << qint64(2147483646) << qint64(2147483647) << 99;
    QTest::newRow("widest range, middle") << qint64(2147483647) << qint64(4294967294) << 50;
    QTest::newRow("widest range, one short of the middle")
        << qint64(2147483646) << qint64(4294967294) << 49;
    QTest::newRow("beyond 32 bits saturates")
        << qint64(2147483647) << qint64(1) << std::numeric_limits<int>::max();
}

void TestGauge::percentOf()
{
    QFETCH(qint64, x);
    QFETCH(qint64, z);
    QFETCH(int, expected);
    QCOMPARE(PercentOf(x, z), expected);
}

void TestGauge::percentOfIsExactForWideValues()
{
    // The integer quotient is the reference; a single-rounding slip near a whole percentage
    // would show on some of these.
    QRandomGenerator random(20240611);
    for (int i = 0; i < 200000; ++i) {
        const qint64 z = 1 + qint64(random.bounded(quint64(4294967295ULL)));
        const qint64 x = i % 2 ? qint64(random.bounded(quint64(z + 1)))
                               : z - qint64(random.bounded(quint64(std::min<qint64>(z, 1000)) + 1));
        if (PercentOf(x, z) != x * 100 / z)
            QFAIL(qPrintable(QStringLiteral("PercentOf(%1, %2)").arg(x).arg(z)));
    }
}

void TestGauge::barAtFullWithBorder()
{
    // The main window's gauge: 595 x 13, blue on money green.
    GaugeLook look = lookOf(gkHorizontalBar, bsSingle, 100);
    const QImage image = renderGauge(look, QSize(595, 13));
    QCOMPARE(image.size(), QSize(595, 13));
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 595; ++x) {
            const bool frame = x == 0 || y == 0 || x == 594 || y == 12;
            const QRgb expected = frame ? kBlackPixel : kBlue.rgb();
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
        }
    }
}

void TestGauge::kindPixels_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("border");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("percent");
    // "x,y=c" with c: F fore, B back, C the control's colour, K black (frame or nothing drawn).
    QTest::addColumn<QStringList>("pixels");

    auto row = [](const char* name, TGaugeKind kind, TBorderStyle border, QSize size, int percent,
                  const QString& pixels) {
        QTest::newRow(name) << int(kind) << int(border) << size << percent
                            << pixels.split(QLatin1Char(' '));
    };
    row("text field", gkText, bsSingle, {50, 20}, 40, "0,0=K 1,1=B 48,18=B 49,19=K 25,0=K");
    row("text field without border", gkText, bsNone, {50, 20}, 40, "0,0=B 49,19=B");
    row("bar 50 single", gkHorizontalBar, bsSingle, {100, 20}, 50,
        "1,1=F 48,10=F 49,10=B 98,18=B 99,10=K 50,0=K 50,19=K");
    row("bar 50 none", gkHorizontalBar, bsNone, {100, 20}, 50, "0,0=F 49,19=F 50,0=B 99,19=B");
    row("bar 20 of 100 columns", gkHorizontalBar, bsSingle, {101, 20}, 20, "18,10=F 19,10=B");
    row("bar 0", gkHorizontalBar, bsSingle, {100, 20}, 0, "1,1=B 98,18=B 0,0=K");
    row("bar 100 none", gkHorizontalBar, bsNone, {100, 20}, 100, "0,0=F 99,19=F");
    row("vertical 100 single", gkVerticalBar, bsSingle, {20, 100}, 100,
        "1,1=F 18,98=F 19,50=K 10,99=K 10,0=K");
    row("vertical 50 single", gkVerticalBar, bsSingle, {20, 101}, 50,
        "10,49=B 10,50=F 10,99=F 10,100=K");
    row("vertical 20 single", gkVerticalBar, bsSingle, {20, 101}, 20, "10,80=B 10,81=F");
    row("vertical 0 single", gkVerticalBar, bsSingle, {20, 100}, 0, "10,98=B 10,1=B");
    row("vertical 100 none", gkVerticalBar, bsNone, {20, 100}, 100, "10,0=B 10,1=F 0,99=F");
    row("pie 0", gkPie, bsNone, {100, 100}, 0, "75,25=B 25,75=B 0,50=F 50,0=F 0,0=C 99,99=C");
    row("pie 25", gkPie, bsNone, {100, 100}, 25,
        "75,25=F 25,25=B 25,75=B 75,75=B 50,49=F 49,49=B 50,50=B 0,50=F 0,0=C");
    row("pie 50", gkPie, bsNone, {100, 100}, 50, "75,25=F 75,75=F 25,75=B 25,25=B");
    row("pie 75", gkPie, bsNone, {100, 100}, 75, "75,25=F 75,75=F 25,75=F 25,25=B");
    row("pie 100", gkPie, bsNone, {100, 100}, 100, "25,25=F 50,50=F 49,49=F 0,0=C");
    row("pie 25 single", gkPie, bsSingle, {101, 101}, 25, "75,25=F 25,25=B 1,1=C 0,0=K");
    row("pie flat", gkPie, bsNone, {200, 50}, 25, "150,12=F 50,12=B 150,37=B 0,0=C");
    row("needle 0", gkNeedle, bsNone, {100, 50}, 0, "50,25=B 0,0=C 99,0=C 5,49=F");
    row("needle 25", gkNeedle, bsNone, {100, 50}, 25, "30,29=F 31,29=B 50,25=B");
    row("needle 50", gkNeedle, bsNone, {100, 50}, 50,
        "50,1=F 50,25=F 50,48=F 49,25=B 51,25=B 0,0=C 5,49=F");
    row("needle 75", gkNeedle, bsNone, {100, 50}, 75, "70,29=F 69,29=B 71,29=B 50,25=B");
    // Flat along the base line, which is drawn anyway.
    row("needle 100", gkNeedle, bsNone, {100, 50}, 100, "75,48=B 25,25=B 99,49=F");
    row("needle 50 single", gkNeedle, bsSingle, {100, 50}, 50,
        "50,20=F 49,20=B 1,1=C 50,0=K 0,49=K 50,49=F 5,48=F");
}

void TestGauge::kindPixels()
{
    QFETCH(int, kind);
    QFETCH(int, border);
    QFETCH(QSize, size);
    QFETCH(int, percent);
    QFETCH(QStringList, pixels);
    const GaugeLook look = lookOf(TGaugeKind(kind), TBorderStyle(border), percent);
    const QImage image = renderGauge(look, size);
    QCOMPARE(image.size(), size);
    for (const QString& expectation : pixels) {
        const QStringList parts = expectation.split(QRegularExpression(QStringLiteral("[,=]")));
        const QPoint at(parts[0].toInt(), parts[1].toInt());
        QRgb expected = kBlackPixel;
        switch (parts[2].at(0).toLatin1()) {
        case 'F':
            expected = look.foreColor.rgb();
            break;
        case 'B':
            expected = look.backColor.rgb();
            break;
        case 'C':
            expected = look.color.rgb();
            break;
        }
        if (image.pixel(at) != expected)
            QFAIL(qPrintable(
                QStringLiteral("%1: found #%2").arg(expectation).arg(image.pixel(at), 8, 16)));
    }
}

void TestGauge::pieQuarter()
{
    // Away from the edges and the two radii, every pixel inside the circle is filled exactly
    // in the quarter from 12 to 3 o'clock.
    const GaugeLook look = lookOf(gkPie, bsNone, 25);
    const QImage image = renderGauge(look, QSize(100, 100));
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const double dx = x - 49.5;
            const double dy = y - 49.5;
            const double r = std::hypot(dx, dy);
            QRgb expected;
            if (r > 51)
                expected = look.color.rgb();
            else if (r < 47 && std::abs(dx) > 1.5 && std::abs(dy) > 1.5)
                expected = dx > 0 && dy < 0 ? look.foreColor.rgb() : look.backColor.rgb();
            else
                continue;
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
        }
    }
}

void TestGauge::needleUpright()
{
    // At 50 % the needle is column Width div 2 from the base line up; the rest of the dial is
    // the back colour.
    const GaugeLook look = lookOf(gkNeedle, bsNone, 50);
    const QImage image = renderGauge(look, QSize(101, 60));
    for (int y = 1; y <= 58; ++y) {
        for (int x = 0; x < 101; ++x) {
            const double ex = (x - 50) / 50.5;
            const double ey = (y - 59) / 59.5;
            const bool wellInside = std::hypot(ex, ey) < 0.9 && y < 57;
            if (x == 50) {
                if (image.pixel(x, y) != look.foreColor.rgb())
                    QFAIL(qPrintable(QStringLiteral("needle pixel (50, %1)").arg(y)));
            } else if (wellInside && image.pixel(x, y) != look.backColor.rgb()) {
                QFAIL(qPrintable(QStringLiteral("dial pixel (%1, %2)").arg(x).arg(y)));
            }
        }
    }
    for (int x = 0; x < 101; ++x)
        QCOMPARE(image.pixel(x, 59), look.foreColor.rgb()); // the base line
}

void TestGauge::textInverts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QColor>("fore");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("overFill");
    QTest::addColumn<bool>("overBack");
    QTest::newRow("black on white, half")
        << int(gkHorizontalBar) << QColor(Qt::black) << QColor(Qt::white) << 50 << true << true;
    QTest::newRow("blue on money green, half")
        << int(gkHorizontalBar) << kBlue << kMoneyGreen << 50 << true << true;
    QTest::newRow("blue on money green, full")
        << int(gkHorizontalBar) << kBlue << kMoneyGreen << 100 << true << false;
    QTest::newRow("empty bar") << int(gkHorizontalBar) << kBlue << kMoneyGreen << 0 << false
                               << true;
    QTest::newRow("text field") << int(gkText) << kBlue << kMoneyGreen << 42 << false << true;
}

void TestGauge::textInverts()
{
    QFETCH(int, kind);
    QFETCH(QColor, fore);
    QFETCH(QColor, back);
    QFETCH(int, percent);
    QFETCH(bool, overFill);
    QFETCH(bool, overBack);

    GaugeLook look = lookOf(TGaugeKind(kind), bsSingle, percent);
    look.foreColor = fore;
    look.backColor = back;
    look.font = testFont(14);
    const QSize size(81, 24);
    const QImage plain = renderGauge(look, size);
    look.showText = true;
    const QImage withText = renderGauge(look, size);

    // Centred by the rule: (R - L + 1 - text width) div 2, likewise for the height.
    QImage probe(size, QImage::Format_RGB32);
    QFontMetrics metrics(look.font, &probe);
    const QString text = percentText(percent);
    const QRect textBox((80 - metrics.horizontalAdvance(text)) / 2, (23 - metrics.height()) / 2,
                        metrics.horizontalAdvance(text), metrics.height());

    const QList<QPoint> changed = differences(plain, withText);
    QVERIFY(changed.size() > 10);
    int onFill = 0;
    int onBack = 0;
    for (const QPoint& at : changed) {
        QCOMPARE(withText.pixel(at), inverse(plain.pixel(at)));
        QVERIFY2(textBox.contains(at),
                 qPrintable(QStringLiteral("(%1, %2) outside the text").arg(at.x()).arg(at.y())));
        if (plain.pixel(at) == fore.rgb())
            ++onFill;
        else if (plain.pixel(at) == back.rgb())
            ++onBack;
        else
            QFAIL("text over a pixel that is neither fill nor background");
    }
    QCOMPARE(onFill > 0, overFill);
    QCOMPARE(onBack > 0, overBack);
}

void TestGauge::textStaysOffTheFrame()
{
    // A font taller than the gauge is clipped to the inside: the frame stays black.
    GaugeLook look = lookOf(gkHorizontalBar, bsSingle, 88);
    look.showText = true;
    look.font = testFont(30);
    const QImage image = renderGauge(look, QSize(60, 13));
    bool inverted = false;
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 60; ++x) {
            const bool frame = x == 0 || y == 0 || x == 59 || y == 12;
            if (frame)
                QCOMPARE(image.pixel(x, y), kBlackPixel);
            else
                inverted |= image.pixel(x, y) == inverse(kBlue.rgb()) ||
                            image.pixel(x, y) == inverse(kMoneyGreen.rgb());
        }
    }
    QVERIFY(inverted);
}

void TestGauge::clamping_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("progress");
    QTest::addColumn<int>("percent");
    const int lowest = -2147483647;
    const int highest = 2147483647;
    QTest::newRow("above the maximum") << 0 << 100 << 150 << 100 << 100;
    QTest::newRow("below the minimum") << 0 << 100 << -5 << 0 << 0;
    QTest::newRow("inside") << 0 << 100 << 42 << 42 << 42;
    QTest::newRow("negative range") << -50 << 50 << 0 << 0 << 50;
    QTest::newRow("per mille") << 0 << 1000 << 19 << 19 << 1;
    QTest::newRow("widest range, middle") << lowest << highest << 0 << 0 << 50;
    QTest::newRow("widest range, top") << lowest << highest << highest << highest << 100;
    QTest::newRow("widest range, just above bottom")
        << lowest << highest << -2147483000 << -2147483000 << 0;
}

void TestGauge::clamping()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(int, value);
    QFETCH(int, progress);
    QFETCH(int, percent);
    TGauge gauge;
    gauge.setMaxValue(maxValue);
    gauge.setMinValue(minValue);
    gauge.setProgress(value);
    QCOMPARE(gauge.Progress(), progress);
    QCOMPARE(gauge.PercentDone(), percent);
}

void TestGauge::rangeErrors_data()
{
    QTest::addColumn<int>("minValue");
    QTest::addColumn<int>("maxValue");
    QTest::addColumn<bool>("setMinimum");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("minimum above maximum")
        << 0 << 100 << true << 101 << "Value must be between -2147483647 and 99";
    QTest::newRow("maximum below minimum")
        << 0 << 100 << false << -1 << "Value must be between 1 and 2147483647";
    QTest::newRow("negative range, minimum")
        << -20 << -10 << true << 0 << "Value must be between -2147483647 and -11";
    QTest::newRow("negative range, maximum")
        << -20 << -10 << false << -30 << "Value must be between -19 and 2147483647";
}

void TestGauge::rangeErrors()
{
    QFETCH(int, minValue);
    QFETCH(int, maxValue);
    QFETCH(bool, setMinimum);
    QFETCH(int, value);
    QFETCH(QString, message);
    TGauge gauge;
    gauge.setMinValue(minValue);
    gauge.setMaxValue(maxValue);
    gauge.setMinValue(minValue);
    gauge.setProgress(minValue + 3);
    try {
        if (setMinimum)
            gauge.setMinValue(value);
        else
            gauge.setMaxValue(value);
        QFAIL("no error");
    } catch (const EInvalidOperation& e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(gauge.MinValue(), minValue);
    QCOMPARE(gauge.MaxValue(), maxValue);
    QCOMPARE(gauge.Progress(), minValue + 3);

    // The range may shrink to a single value.
    if (setMinimum)
        gauge.setMinValue(maxValue);
    else
        gauge.setMaxValue(minValue);
    QCOMPARE(gauge.MinValue(), gauge.MaxValue());
}

void TestGauge::rangeMovesProgress()
{
    TGauge gauge;
    gauge.setProgress(50);
    gauge.setMaxValue(30);
    QCOMPARE(gauge.Progress(), 30);
    gauge.setMinValue(10);
    QCOMPARE(gauge.Progress(), 30);
    gauge.setProgress(12);
    gauge.setMinValue(20);
    QCOMPARE(gauge.Progress(), 20);
    gauge.setMaxValue(25);
    QCOMPARE(gauge.Progress(), 20);
}

void TestGauge::loadingSkipsRangeChecks()
{
    TGauge gauge;
    gauge.setLoading(true);
    gauge.setMinValue(200); // above the maximum of 100
    QCOMPARE(gauge.MinValue(), 200);
    QCOMPARE(gauge.Progress(), 200);
    gauge.setMaxValue(150); // below the minimum
    QCOMPARE(gauge.MaxValue(), 150);
    QCOMPARE(gauge.Progress(), 150); // still clamped
    gauge.setMaxValue(300);
    gauge.setLoading(false);
    QVERIFY_THROWS_EXCEPTION(EInvalidOperation, gauge.setMinValue(301));
    QVERIFY_THROWS_EXCEPTION(EInvalidOperation, gauge.setMaxValue(199));
    QCOMPARE(gauge.MinValue(), 200);
    QCOMPARE(gauge.MaxValue(), 300);
}

void TestGauge::emptyRange()
{
    TGauge gauge;
    gauge.setMinValue(100);
    gauge.setProgress(100);
    QCOMPARE(gauge.PercentDone(), 0);
    gauge.setShowText(false);
    gauge.resize(40, 10);
    const QImage image = gauge.image();
    QCOMPARE(image.pixel(1, 1), qRgb(255, 255, 255)); // nothing filled
    QCOMPARE(percentText(gauge.PercentDone()), QStringLiteral("0%"));
}

void TestGauge::repaintsOnlyWhenTheWholePercentChanges()
{
    QWidget window;
    window.resize(300, 100);
    auto* gauge = new TGauge(&window);
    gauge->setMaxValue(1000);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintCounter paints(gauge);

    // No event processing between the writes: each repaint happens inside the write.
    gauge->setProgress(10); // 0 % -> 1 %
    QCOMPARE(paints.count(), 1);
    gauge->setProgress(19); // still 1 %
    QCOMPARE(paints.count(), 1);
    QCOMPARE(gauge->Progress(), 19);
    gauge->setProgress(20);
    QCOMPARE(paints.count(), 2);
    gauge->setProgress(20);
    gauge->setProgress(5000); // clamped to 1000
    QCOMPARE(paints.count(), 3);
    gauge->setProgress(1000);
    QCOMPARE(paints.count(), 3);

    gauge->setKind(gkPie);
    QCOMPARE(paints.count(), 4);
    gauge->setKind(gkPie);
    gauge->setForeColor(QColor(0, 0, 0));
    gauge->setBackColor(QColor(255, 255, 255));
    gauge->setShowText(true);
    gauge->setBorderStyle(bsSingle);
    QCOMPARE(paints.count(), 4);
    gauge->setForeColor(kBlue);
    gauge->setBackColor(kMoneyGreen);
    gauge->setShowText(false);
    gauge->setBorderStyle(bsNone);
    QCOMPARE(paints.count(), 8);

    gauge->setMaxValue(1000);
    QCOMPARE(paints.count(), 8);
    gauge->setMaxValue(2000); // a new range repaints
    QCOMPARE(paints.count(), 9);
    gauge->setMinValue(10);
    QCOMPARE(paints.count(), 10);
}

void TestGauge::hiddenGaugeIsNotPainted()
{
    QWidget window;
    auto* gauge = new TGauge(&window);
    gauge->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintCounter paints(gauge);
    gauge->setProgress(40);
    gauge->setKind(gkNeedle);
    QCoreApplication::processEvents();
    QCOMPARE(paints.count(), 0);
    QCOMPARE(gauge->Progress(), 40);
}

void TestGauge::widgetShowsTheRenderedImage()
{
    QWidget window;
    window.resize(300, 100);
    auto* gauge = new TGauge(&window);
    gauge->setGeometry(10, 10, 200, 40);
    gauge->setFont(testFont());
    gauge->setForeColor(kBlue);
    gauge->setBackColor(kMoneyGreen);
    gauge->setProgress(37);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage shown = gauge->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, gauge->image());
    QCOMPARE(gauge->image().pixel(5, 5), kBlue.rgb());
}

void TestGauge::colourFollowsTheParent()
{
    Panel panel;
    panel.setColor(kRed);
    auto* gauge = new TGauge(&panel);
    gauge->setKind(gkPie);
    gauge->setBorderStyle(bsNone);
    QCOMPARE(gauge->Color(), kRed);
    QCOMPARE(gauge->image().pixel(0, 0), kRed.rgb()); // outside the circle
    gauge->setColor(kBlue);
    QVERIFY(!gauge->ParentColor());
    QCOMPARE(gauge->image().pixel(0, 0), kBlue.rgb());
    gauge->setParentColor(true);
    QCOMPARE(gauge->Color(), kRed);
}

QTEST_MAIN(TestGauge)
#include "tst_gauge.moc"
