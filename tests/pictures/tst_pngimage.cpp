#include "BmpFile.h"
#include "ControlsTestSupport.h"
#include "GraphicClasses.h"
#include "GraphicFileFormats.h"
#include "GraphicUnits.h"
#include "TBitmap.h"
#include "TPicture.h"
#include "TnxUnitsLoader.h"
#include "nxGDIPlusClasses.h"

#include <QBuffer>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

Q_DECLARE_METATYPE(GpCodecList)

static std::unique_ptr<TnxPNGImage> pngOf(const QByteArray& bytes)
{
    auto png = std::make_unique<TnxPNGImage>();
    QByteArray copy = bytes;
    QBuffer s(&copy);
    s.open(QIODevice::ReadOnly);
    png->loadFromStream(s);
    return png;
}

static std::unique_ptr<TnxPNGImage> pngOf(const QImage& image)
{
    return pngOf(layoutStylePng(image));
}

static QByteArray saved(const TGraphic& g)
{
    QBuffer s;
    s.open(QIODevice::WriteOnly);
    g.saveToStream(s);
    return s.data();
}

static const QRegularExpression
    kGdiError(QStringLiteral("^Invalid operation in GDI\\+ \\(nxGDIPlusAPI, line \\d+\\)$"));

class TestPngImage : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_units = std::make_unique<GraphicUnits>(); }
    void cleanup() { m_units.reset(); }

    // ---- start-up and exit ------------------------------------------------------------------

    void startUpRegistersThePngClass()
    {
        QCOMPARE(TnxUnitsLoader::registeredUnits(),
                 QStringList({QStringLiteral("nxGDIPlusAPI"), QStringLiteral("nxGDIPlusClasses")}));
        QVERIFY(gpLibraryUsable());
        QCOMPARE(nxPngEncoder(), QByteArray("png"));
        QVERIFY(nxGPImageClass() == &TnxGPImage::create);
        QVERIFY(GraphicClasses::isRegistered(QStringLiteral("TnxPNGImage")));
        const auto format = GraphicFileFormats::findForFile(QStringLiteral("x.png"));
        QVERIFY(format);
        QCOMPARE(format->extension, QStringLiteral("PNG"));
        QCOMPARE(format->description, QStringLiteral("PNG文件"));
        QCOMPARE(format->className, QStringLiteral("TnxPNGImage"));
    }

    void exitUndoesStartUpInReverse()
    {
        m_units.reset();
        QVERIFY(TnxUnitsLoader::registeredUnits().isEmpty());
        QVERIFY(!GraphicClasses::isRegistered(QStringLiteral("TnxPNGImage")));
        QVERIFY(!GraphicFileFormats::findForFile(QStringLiteral("x.png")));
        QVERIFY(!gpLibraryUsable());
        QVERIFY(nxGPImageClass() == &TnxGPNullImage::create);
        // A picture saved as PNG data now reads as an empty picture.
        TPicture p;
        p.setLayoutData(pngPictureData(layoutStylePng(positionImage(3, 3))));
        QVERIFY(p.empty());
    }

    void unitsExitInReverseOrder()
    {
        m_units.reset();
        QStringList ran;
        TnxUnitsLoader::registerUnit(QStringLiteral("a"), [&] { ran << QStringLiteral("a"); });
        TnxUnitsLoader::registerUnit(QStringLiteral("b"), [&] {
            ran << QStringLiteral("b");
            throw std::runtime_error("exit failed");
        });
        TnxUnitsLoader::registerUnit(QStringLiteral("c"), [&] { ran << QStringLiteral("c"); });
        TnxUnitsLoader::finalizeUnits();
        QCOMPARE(ran, QStringList({QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
        TnxUnitsLoader::finalizeUnits(); // nothing left to run
        QCOMPARE(ran.size(), 3);
    }

    void missingCodecLeavesPngPicturesEmpty_data()
    {
        QTest::addColumn<GpCodecList>("codecs");
        const GpCodecList all = gpInstalledCodecs();
        QTest::newRow("no PNG decoder") << GpCodecList{{"bmp", "jpg"}, all.encoderMimeTypes};
        QTest::newRow("no PNG encoder") << GpCodecList{all.decoders, {"image/bmp"}};
        QTest::newRow("no codecs") << GpCodecList{};
    }
    void missingCodecLeavesPngPicturesEmpty()
    {
        QFETCH(GpCodecList, codecs);
        m_units.reset();
        m_units = std::make_unique<GraphicUnits>(codecs);
        QVERIFY(!gpLibraryUsable());
        QVERIFY(nxGPImageClass() == &TnxGPNullImage::create);
        QVERIFY(!GraphicClasses::isRegistered(QStringLiteral("TnxPNGImage")));
        QVERIFY(!GraphicFileFormats::findForFile(QStringLiteral("x.PNG")));
        TPicture p;
        p.setLayoutData(pngPictureData(layoutStylePng(positionImage(39, 34))));
        QVERIFY(p.empty());
        // Made directly, the class still exists but its images have no content.
        const auto png = pngOf(positionImage(39, 34));
        QVERIFY(png->empty());
        QCOMPARE(saved(*png), QByteArray());
    }

    void encoderLookupIgnoresCase()
    {
        const GpCodecList upper{{"PNG"}, {"IMAGE/PNG"}};
        m_units.reset();
        m_units = std::make_unique<GraphicUnits>(upper);
        QVERIFY(gpLibraryUsable());
        QCOMPARE(nxPngEncoder(), QByteArray("png"));
    }

    // ---- reading --------------------------------------------------------------------------

    void layoutPictureData()
    {
        const QByteArray png = layoutStylePng(positionImage(39, 34));
        QVERIFY(png.contains("sRGB") && png.contains("gAMA") && png.contains("cHRM") &&
                png.contains("pHYs"));
        const QByteArray data = pngPictureData(png);
        QCOMPARE(quint8(data[0]), 11);
        QCOMPARE(data.mid(1, 11), QByteArray("TnxPNGImage"));
        TPicture p;
        p.setLayoutData(data);
        QVERIFY(dynamic_cast<TnxPNGImage*>(p.graphic()));
        QCOMPARE(QSize(p.width(), p.height()), QSize(39, 34));
        QVERIFY(p.graphic()->transparent());
    }

    void streamSizes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("0 bytes") << QByteArray();
        QTest::newRow("1 byte") << QByteArray("\x89");
        QTest::newRow("8 bytes: a PNG signature alone") << QByteArray("\x89PNG\r\n\x1a\n", 8);
        QTest::newRow("13 bytes") << layoutStylePng(positionImage(2, 2)).left(13);
        QTest::newRow("13 bytes starting BM") << QByteArray("BM") + QByteArray(11, '\0');
    }
    void streamSizes()
    {
        QFETCH(QByteArray, bytes);
        auto png = pngOf(positionImage(5, 5));
        QCOMPARE(png->width(), 5);
        QBuffer s(&bytes);
        s.open(QIODevice::ReadOnly);
        png->loadFromStream(s);
        QCOMPARE(png->width(), 0);
        QCOMPARE(png->height(), 0);
        QVERIFY(png->empty());
        QCOMPARE(saved(*png), QByteArray());
    }

    void undecodableDataRaisesTheLibraryError_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("14 bytes of noise") << QByteArray("not a picture!");
        QTest::newRow("damaged PNG") << layoutStylePng(positionImage(4, 4)).left(40);
    }
    void undecodableDataRaisesTheLibraryError()
    {
        QFETCH(QByteArray, bytes);
        auto png = pngOf(positionImage(3, 3));
        try {
            pngOf(bytes);
            QFAIL("no error");
        } catch (const EGDIPlusError& e) {
            QVERIFY2(kGdiError.match(e.message()).hasMatch(), qPrintable(e.message()));
        }
        // A failed load keeps the image there was.
        QBuffer s(&bytes);
        s.open(QIODevice::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(EGDIPlusError, png->loadFromStream(s));
        QCOMPARE(png->width(), 3);
    }

    void bitmapStreams_data()
    {
        QTest::addColumn<int>("bits");
        QTest::newRow("24-bit: opaque") << 24;
        QTest::newRow("32-bit: alpha kept") << 32;
    }
    void bitmapStreams()
    {
        QFETCH(int, bits);
        QImage img = positionImage(6, 4);
        img.setPixel(2, 1, qRgba(255, 0, 0, 0));
        img.setPixel(3, 1, qRgba(0, 0, 255, 100));
        const QByteArray bmp = bits == 24 ? BmpFile::encode(img, 24) : BmpFile::encode(img, 32);
        const auto png = pngOf(bmp);
        QCOMPARE(QSize(png->width(), png->height()), QSize(6, 4));
        QVERIFY(png->image()->pixels().size() == 24u);
        const auto bitmap = png->toBitmap();
        QCOMPARE(bitmap->pixelFormat(), pf32bit);
        if (bits == 24) {
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 6; ++x)
                    QCOMPARE(qAlpha(bitmap->image().pixel(x, y)), 255);
            }
        } else {
            QCOMPARE(qAlpha(bitmap->image().pixel(2, 1)), 0);
            QCOMPARE(qAlpha(bitmap->image().pixel(3, 1)), 100);
            QCOMPARE(bitmap->image().pixel(0, 0), positionColor(0, 0));
        }
    }

    void decodingUsesAPrivateCopy()
    {
        auto png = std::make_unique<TnxPNGImage>();
        {
            QByteArray bytes = layoutStylePng(positionImage(7, 7));
            QBuffer s(&bytes);
            s.open(QIODevice::ReadOnly);
            png->loadFromStream(s);
            bytes.fill('\0');
        }
        QCOMPARE(png->toBitmap()->image().pixel(6, 6), positionColor(6, 6));
    }

    // ---- writing --------------------------------------------------------------------------

    void saveAndReload()
    {
        QImage img = positionImage(39, 34);
        img.setPixel(5, 5, qRgba(10, 20, 30, 0));
        img.setPixel(6, 5, qRgba(200, 150, 100, 77));
        const auto png = pngOf(img);
        const QByteArray bytes = saved(*png);
        QVERIFY(bytes.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));
        QCOMPARE(bytes.right(8).left(4), QByteArray("IEND"));
        const auto back = pngOf(bytes);
        QCOMPARE(QSize(back->width(), back->height()), QSize(39, 34));
        QVERIFY(back->comparePixels(*png));

        // Built from pixels, saved, reloaded: the same pixels again.
        TBitmap b(img, pf32bit);
        TnxPNGImage built;
        built.assign(b);
        QVERIFY(!built.image()->pixels().empty());
        QVERIFY(pngOf(saved(built))->comparePixels(built));

        // Through picture data.
        TPicture p;
        p.setGraphic(png.get());
        TPicture q;
        q.setLayoutData(p.layoutData());
        QVERIFY(static_cast<TnxPNGImage*>(q.graphic())->comparePixels(*png));
    }

    // ---- size and flags -------------------------------------------------------------------

    void sizeCannotBeSet()
    {
        auto png = pngOf(positionImage(4, 3));
        png->setWidth(100);
        png->setHeight(-7);
        png->setTransparent(false);
        QCOMPARE(QSize(png->width(), png->height()), QSize(4, 3));
        QVERIFY(png->transparent());
        TnxPNGImage none;
        QCOMPARE(QSize(none.width(), none.height()), QSize(0, 0));
        QVERIFY(none.empty());
    }

    // ---- assigning ------------------------------------------------------------------------

    void assigning()
    {
        const auto source = pngOf(positionImage(5, 4));
        TnxPNGImage copy;
        copy.assign(*source);
        QVERIFY(copy.comparePixels(*source));
        QVERIFY(copy.image() != source->image());

        TnxPNGImage empty;
        copy.assign(empty);
        QVERIFY(copy.empty());
        QVERIFY(!copy.image());

        // A copy of a copy built from pixels comes from the pixel buffer.
        TnxPNGImage fromBitmap;
        fromBitmap.assign(TBitmap(positionImage(3, 3), pf24bit));
        TnxPNGImage again;
        again.assign(fromBitmap);
        QVERIFY(again.image()->pixels() == fromBitmap.image()->pixels());
        QVERIFY(again.image()->pixels().data() != fromBitmap.image()->pixels().data());

        // To a bitmap: 32 bits per pixel.
        TBitmap b;
        b.assign(*source);
        QCOMPARE(b.pixelFormat(), pf32bit);
        QCOMPARE(b.image().pixel(4, 3), positionColor(4, 3));
        TPicture p;
        p.setGraphic(source.get());
        QCOMPARE(p.graphic()->className(), QStringLiteral("TnxPNGImage"));
    }

    void comparePixels_data()
    {
        QTest::addColumn<QImage>("a");
        QTest::addColumn<QImage>("b");
        QTest::addColumn<bool>("same");
        QImage other = positionImage(4, 4);
        other.setPixel(3, 3, qRgb(1, 2, 3));
        QTest::newRow("same pixels") << positionImage(4, 4) << positionImage(4, 4) << true;
        QTest::newRow("one pixel differs") << positionImage(4, 4) << other << false;
        QTest::newRow("other size") << positionImage(4, 4) << positionImage(4, 5) << false;
        QTest::newRow("both empty") << QImage() << QImage() << true;
        QTest::newRow("one empty") << positionImage(1, 1) << QImage() << false;
    }
    void comparePixels()
    {
        QFETCH(QImage, a);
        QFETCH(QImage, b);
        QFETCH(bool, same);
        const auto pa = a.isNull() ? std::make_unique<TnxPNGImage>() : pngOf(a);
        auto pb = std::make_unique<TnxPNGImage>();
        if (!b.isNull())
            pb->assign(TBitmap(b, pf24bit)); // one decoded, one built from pixels
        QCOMPARE(pa->comparePixels(*pb), same);
        QCOMPARE(pb->comparePixels(*pa), same);
    }

    // ---- drawing --------------------------------------------------------------------------

    void drawBlendsOverWhatIsThere()
    {
        QImage img(3, 1, QImage::Format_ARGB32);
        img.setPixel(0, 0, qRgba(0, 0, 255, 255));
        img.setPixel(1, 0, qRgba(0, 0, 255, 128));
        img.setPixel(2, 0, qRgba(0, 0, 255, 0));
        const auto png = pngOf(img);
        QImage canvas = solidImage(5, 3, qRgb(255, 0, 0));
        {
            QPainter p(&canvas);
            png->drawAt(p, QPoint(1, 1));
        }
        QCOMPARE(canvas.pixel(1, 1), qRgb(0, 0, 255));
        const QRgb half = canvas.pixel(2, 1);
        QVERIFY2(qAbs(qRed(half) - 127) <= 1 && qGreen(half) == 0 && qAbs(qBlue(half) - 128) <= 1,
                 qPrintable(QString::number(half, 16)));
        QCOMPARE(canvas.pixel(3, 1), qRgb(255, 0, 0));
        QCOMPARE(canvas.pixel(0, 0), qRgb(255, 0, 0));
    }

    void enlargingUsesOneColumnAndRowFewer_data()
    {
        QTest::addColumn<QSize>("dest");
        QTest::addColumn<int>("columnsUsed");
        QTest::addColumn<int>("rowsUsed");
        QTest::newRow("twice the size: 38 x 33 of 39 x 34") << QSize(78, 68) << 38 << 33;
        QTest::newRow("own size: all of it") << QSize(39, 34) << 39 << 34;
        QTest::newRow("wider only") << QSize(50, 34) << 38 << 34;
        QTest::newRow("taller only") << QSize(39, 40) << 39 << 33;
        QTest::newRow("smaller: all of it, shrunk") << QSize(30, 20) << 39 << 34;
    }
    void enlargingUsesOneColumnAndRowFewer()
    {
        QFETCH(QSize, dest);
        QFETCH(int, columnsUsed);
        QFETCH(int, rowsUsed);
        const auto png = pngOf(positionImage(39, 34));
        QImage canvas = solidImage(dest.width(), dest.height(), qRgb(0, 0, 0));
        {
            QPainter p(&canvas);
            png->draw(p, QRect(QPoint(0, 0), dest));
        }
        QSet<int> columns;
        QSet<int> rows;
        for (int y = 0; y < dest.height(); ++y) {
            for (int x = 0; x < dest.width(); ++x) {
                const QRgb px = canvas.pixel(x, y);
                QCOMPARE(qBlue(px), 100); // every pixel is a picture pixel
                columns.insert(qRed(px) / 6);
                rows.insert(qGreen(px) / 6);
            }
        }
        // Only the first columnsUsed columns and rowsUsed rows are sampled, the last included.
        QCOMPARE(*std::max_element(columns.begin(), columns.end()), columnsUsed - 1);
        QCOMPARE(*std::max_element(rows.begin(), rows.end()), rowsUsed - 1);
        if (dest.width() >= columnsUsed)
            QCOMPARE(columns.size(), columnsUsed);
        QCOMPARE(canvas.pixel(dest.width() - 1, dest.height() - 1),
                 positionColor(columnsUsed - 1, rowsUsed - 1));
    }

    void drawSkipsWhatCannotShow()
    {
        const auto png = pngOf(positionImage(4, 4));
        QImage canvas = solidImage(10, 10, qRgb(0, 0, 0));
        QPainter p(&canvas);
        png->drawTo(p, QRect(2, 2, 0, 5));
        png->drawTo(p, QRect(20, 20, 4, 4)); // off the device
        png->drawTo(p, QRect(2, 2, 4, 4), QRect(0, 0, 0, 4));
        p.setClipRect(QRect(0, 0, 3, 3));
        png->drawTo(p, QRect(5, 5, 4, 4)); // outside the clip
        p.end();
        QCOMPARE(canvas, solidImage(10, 10, qRgb(0, 0, 0)).convertToFormat(canvas.format()));
    }

    void visibility_data()
    {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QPoint>("translate");
        QTest::addColumn<QRect>("clip");
        QTest::addColumn<bool>("visible");
        QTest::newRow("inside") << QRect(1, 1, 2, 2) << QPoint() << QRect() << true;
        QTest::newRow("overlapping an edge") << QRect(-3, -3, 4, 4) << QPoint() << QRect() << true;
        QTest::newRow("right of the device") << QRect(10, 0, 5, 5) << QPoint() << QRect() << false;
        QTest::newRow("moved onto the device")
            << QRect(12, 0, 5, 5) << QPoint(-5, 0) << QRect() << true;
        QTest::newRow("moved off the device")
            << QRect(0, 0, 5, 5) << QPoint(0, 10) << QRect() << false;
        QTest::newRow("outside the clip")
            << QRect(6, 6, 2, 2) << QPoint() << QRect(0, 0, 5, 5) << false;
        QTest::newRow("touching the clip")
            << QRect(4, 4, 2, 2) << QPoint() << QRect(0, 0, 5, 5) << true;
    }
    void visibility()
    {
        QFETCH(QRect, rect);
        QFETCH(QPoint, translate);
        QFETCH(QRect, clip);
        QFETCH(bool, visible);
        QImage canvas(10, 10, QImage::Format_RGB32);
        QPainter p(&canvas);
        p.translate(translate);
        if (clip.isValid())
            p.setClipRect(clip);
        GpGraphics* g = gpCreateFromHDC(p);
        QCOMPARE(gpIsVisibleRect(g, rect), visible);
        gpDeleteGraphics(g);
    }

    void drawingOnAnInactivePainterRaisesTheLibraryError()
    {
        const auto png = pngOf(positionImage(4, 4));
        QPainter idle;
        try {
            png->drawTo(idle, QRect(0, 0, 4, 4));
            QFAIL("no error");
        } catch (const EGDIPlusError& e) {
            QVERIFY(kGdiError.match(e.message()).hasMatch());
            QVERIFY(e.line() > 0);
        }
        TnxPNGImage none; // without an image nothing is attempted
        none.drawTo(idle, QRect(0, 0, 4, 4));
    }

    // ---- clipboard ------------------------------------------------------------------------

    void clipboard()
    {
        QImage img = solidImage(2, 1, qRgba(0, 0, 255, 255));
        img.setPixel(1, 0, qRgba(0, 0, 0, 0));
        const auto png = pngOf(img);
        QMimeData mime;
        png->saveToClipboard(mime);
        const QImage onClipboard = qvariant_cast<QImage>(mime.imageData());
        QCOMPARE(onClipboard.pixel(0, 0), qRgb(0, 0, 255));
        QCOMPARE(onClipboard.pixel(1, 0), qRgb(255, 255, 255)); // drawn on white

        QMimeData withAlpha;
        withAlpha.setImageData(img);
        TnxPNGImage pasted;
        pasted.loadFromClipboard(withAlpha);
        QCOMPARE(QSize(pasted.width(), pasted.height()), QSize(2, 1));
        QCOMPARE(qAlpha(pasted.toBitmap()->image().pixel(1, 0)), 0);
    }

    // ---- the library's allocator ----------------------------------------------------------

    void imagesGiveTheirBlocksBack()
    {
        const qsizetype before = gpLiveBlocks();
        {
            auto a = pngOf(positionImage(3, 3));
            TnxPNGImage b;
            b.assign(*a);
            QCOMPARE(gpLiveBlocks(), before + 2);
        }
        QCOMPARE(gpLiveBlocks(), before);
        m_units.reset(); // null images do not use the library's allocator
        auto c = pngOf(positionImage(3, 3));
        QCOMPARE(gpLiveBlocks(), before);
    }

private:
    std::unique_ptr<GraphicUnits> m_units;
};

QTEST_MAIN(TestPngImage)
#include "tst_pngimage.moc"
