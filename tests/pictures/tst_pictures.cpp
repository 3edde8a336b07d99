#include "BmpFile.h"
#include "ControlsTestSupport.h"
#include "GraphicClasses.h"
#include "GraphicFileFormats.h"
#include "PictureData.h"
#include "TBitmap.h"
#include "TPicture.h"

#include <QBuffer>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

// A graphic class of the test's own, for registries and conversions nobody knows.
class TTestGraphic : public TGraphic
{
public:
    QString className() const override { return QStringLiteral("TTestGraphic"); }
    std::unique_ptr<TGraphic> newInstance() const override
    {
        return std::make_unique<TTestGraphic>();
    }
    int width() const override { return m_data.size(); }
    int height() const override { return m_data.isEmpty() ? 0 : 1; }
    void setWidth(int) override {}
    void setHeight(int) override {}
    bool empty() const override { return m_data.isEmpty(); }
    void draw(QPainter&, const QRect&) const override {}
    void loadFromStream(QIODevice& s) override
    {
        m_data = s.readAll();
        changed();
    }
    void saveToStream(QIODevice& s) const override { s.write(m_data); }
    void assign(const TGraphic& source) override
    {
        if (const auto* same = dynamic_cast<const TTestGraphic*>(&source)) {
            m_data = same->m_data;
            changed();
            return;
        }
        TGraphic::assign(source);
    }
    void loadFromClipboard(const QMimeData&) override {}
    void saveToClipboard(QMimeData&) const override {}
    QByteArray m_data;
};

static QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

static QByteArray le16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + char(v >> 8);
}

// A bitmap file written by hand: BITMAPINFOHEADER, uncompressed, `rows` as stored (already
// padded, bottom row first unless the height is negative).
static QByteArray bmpFile(int w, int h, int bits, const QByteArray& rows)
{
    QByteArray info = le32(40) + le32(quint32(w)) + le32(quint32(h)) + le16(1) +
                      le16(quint16(bits)) + le32(0) + le32(quint32(rows.size())) + le32(0) +
                      le32(0) + le32(0) + le32(0);
    const quint32 size = 14 + 40 + quint32(rows.size());
    return QByteArray("BM") + le32(size) + le32(0) + le32(54) + info + rows;
}

// A device over bytes that remembers the largest read asked of it (QIODevice sets that much
// aside); sequential, like a pipe, or with a size, like a file.
class ReadSizeRecorder : public QIODevice
{
public:
    ReadSizeRecorder(const QByteArray* data, bool sequential)
        : m_data(*data), m_sequential(sequential)
    {}
    bool isSequential() const override { return m_sequential; }
    qint64 size() const override { return m_sequential ? 0 : m_data.size(); }
    qint64 bytesAvailable() const override
    {
        return m_data.size() - m_next + QIODevice::bytesAvailable();
    }
    qint64 largestRequest = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        largestRequest = qMax(largestRequest, maxSize);
        if (!m_sequential)
            m_next = pos();
        const qint64 n = qMin(maxSize, qint64(m_data.size()) - m_next);
        if (n <= 0)
            return m_sequential ? -1 : 0;
        std::memcpy(data, m_data.constData() + m_next, size_t(n));
        m_next += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_next = 0;
    bool m_sequential;
};

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    // ---- picture data ----------------------------------------------------------------------

    void pictureDataSplit_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("className");
        QTest::addColumn<QByteArray>("graphicData");
        QTest::newRow("png class") << QByteArray("\x0bTnxPNGImage\x89PNG")
                                   << QByteArray("TnxPNGImage") << QByteArray("\x89PNG");
        QTest::newRow("bitmap class, no data")
            << QByteArray("\x07TBitmap") << QByteArray("TBitmap") << QByteArray();
        QTest::newRow("empty name")
            << QByteArray("\x00rest", 5) << QByteArray() << QByteArray("rest");
        QTest::newRow("nothing at all") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("name of 255") << QByteArray(1, char(255)) + QByteArray(255, 'A') + "x"
                                     << QByteArray(255, 'A') << QByteArray("x");
    }
    void pictureDataSplit()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, className);
        QFETCH(QByteArray, graphicData);
        const PictureData::Parts parts = PictureData::split(data);
        QCOMPARE(parts.className, className);
        QCOMPARE(parts.graphicData, graphicData);
        if (!data.isEmpty())
            QCOMPARE(PictureData::join(className, graphicData), data);
    }

    void pictureDataCutShort_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("length only") << QByteArray("\x0b");
        QTest::newRow("half a name") << QByteArray("\x0bTnxPNG");
        QTest::newRow("one byte short") << QByteArray("\x0bTnxPNGImag");
    }
    void pictureDataCutShort()
    {
        QFETCH(QByteArray, data);
        QVERIFY_THROWS_EXCEPTION(EReadError, PictureData::split(data));
        TPicture p;
        p.setGraphic(std::make_unique<TBitmap>(solidImage(2, 2, 0xFF112233)).get());
        QVERIFY_THROWS_EXCEPTION(EReadError, p.setLayoutData(data));
        QCOMPARE(p.width(), 2); // kept what it held
    }

    void pictureDataRefusesBadNames()
    {
        QVERIFY_THROWS_EXCEPTION(EWriteError, PictureData::join(QByteArray(256, 'A'), {}));
        QVERIFY_THROWS_EXCEPTION(EWriteError, PictureData::join("T\xe5", {}));
    }

    void pictureWithKnownAndUnknownClass()
    {
        const QByteArray bmp = BmpFile::encode(positionImage(3, 2), 24);
        TPicture p;
        p.setLayoutData(PictureData::join("TBitmap", bmp));
        QVERIFY(dynamic_cast<TBitmap*>(p.graphic()));
        QCOMPARE(QSize(p.width(), p.height()), QSize(3, 2));
        QCOMPARE(p.bitmap()->image().pixel(2, 1), positionColor(2, 1));

        p.setLayoutData(PictureData::join("TNoSuchImage", bmp));
        QVERIFY(!p.graphic());
        QVERIFY(p.empty());

        // Writing gives the class name and the graphic's own data back.
        p.setLayoutData(PictureData::join("TBitmap", bmp));
        QCOMPARE(p.layoutData(), PictureData::join("TBitmap", bmp));
        TPicture none;
        QCOMPARE(none.layoutData(), QByteArray());
        none.setLayoutData(QByteArray());
        QVERIFY(none.empty());
    }

    void registeredClassReadsItsOwnData()
    {
        GraphicClasses::registerClass(QStringLiteral("TTestGraphic"),
                                      [] { return std::make_unique<TTestGraphic>(); });
        TPicture p;
        p.setLayoutData(QByteArray("\x0cTTestGraphicabc"));
        auto* g = dynamic_cast<TTestGraphic*>(p.graphic());
        QVERIFY(g);
        QCOMPARE(g->m_data, QByteArray("abc"));
        QCOMPARE(p.layoutData(), QByteArray("\x0cTTestGraphicabc"));
        GraphicClasses::unregisterClass(QStringLiteral("TTestGraphic"));
        p.setLayoutData(QByteArray("\x0cTTestGraphicabc"));
        QVERIFY(p.empty());
        QVERIFY(GraphicClasses::isRegistered(QStringLiteral("TBitmap")));
    }

    // ---- bitmap files ---------------------------------------------------------------------

    void bmpHandWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QList<QRgb>>("pixels"); // rows top first
        // 2 x 2 at 24 bits: rows of 6 bytes padded to 8, bottom row first, blue green red.
        QTest::newRow("24 bottom-up")
            << bmpFile(2, 2, 24,
                       QByteArray::fromHex("0000ff"
                                           "00ff00"
                                           "0000" // bottom: red, green
                                           "ff0000"
                                           "102030"
                                           "0000")) // top: blue, (30,20,10)
            << 24
            << QList<QRgb>{qRgb(0, 0, 255), qRgb(0x30, 0x20, 0x10), qRgb(255, 0, 0),
                           qRgb(0, 255, 0)};
        QTest::newRow("24 top-down (negative height)")
            << bmpFile(2, -2, 24,
                       QByteArray::fromHex("0000ff"
                                           "00ff00"
                                           "0000"
                                           "ff0000"
                                           "102030"
                                           "0000"))
            << 24
            << QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                           qRgb(0x30, 0x20, 0x10)};
        QTest::newRow("24, 3 wide: 9 bytes padded to 12")
            << bmpFile(3, 1, 24,
                       QByteArray::fromHex("010203"
                                           "040506"
                                           "070809"
                                           "000000"))
            << 24 << QList<QRgb>{qRgb(3, 2, 1), qRgb(6, 5, 4), qRgb(9, 8, 7)};
        // 32 bits: the fourth byte is straight alpha; held premultiplied.
        QTest::newRow("32 with alpha")
            << bmpFile(2, 1, 32,
                       QByteArray::fromHex("000000ff"
                                           "ff804080"))
            << 32 << QList<QRgb>{qRgba(0, 0, 0, 255), qPremultiply(qRgba(0x40, 0x80, 0xff, 0x80))};
        QTest::newRow("32 with every alpha zero is opaque")
            << bmpFile(2, 1, 32,
                       QByteArray::fromHex("01020300"
                                           "04050600"))
            << 32 << QList<QRgb>{qRgb(3, 2, 1), qRgb(6, 5, 4)};
    }
    void bmpHandWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, bits);
        QFETCH(QList<QRgb>, pixels);
        TBitmap b;
        QBuffer s(&file);
        s.open(QIODevice::ReadOnly);
        b.loadFromStream(s);
        QCOMPARE(b.pixelFormat(), bits == 32 ? pf32bit : pf24bit);
        QList<QRgb> got;
        for (int y = 0; y < b.height(); ++y) {
            for (int x = 0; x < b.width(); ++x)
                got.append(b.image().pixel(x, y));
        }
        QCOMPARE(got, pixels);
    }

    void bmpOtherDepthsGoThroughQt()
    {
        QImage indexed(4, 3, QImage::Format_Indexed8);
        QList<QRgb> table(20, qRgb(9, 9, 9)); // more than 16 colours: written at 8 bits
        table[0] = qRgb(255, 0, 0);
        table[1] = qRgb(0, 0, 255);
        indexed.setColorTable(table);
        indexed.fill(1);
        indexed.setPixel(0, 0, 0);
        QBuffer s;
        s.open(QIODevice::ReadWrite);
        QVERIFY(indexed.save(&s, "BMP"));
        s.seek(0);
        TBitmap b;
        b.loadFromStream(s);
        QCOMPARE(b.pixelFormat(), pf8bit);
        QCOMPARE(b.image().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(b.image().pixel(3, 2), qRgb(0, 0, 255));
        QVERIFY(!b.hasAlphaByte());
    }

    void bmpRoundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("24") << int(pf24bit);
        QTest::newRow("32") << int(pf32bit);
        QTest::newRow("device format is written as 24") << int(pfDevice);
    }
    void bmpRoundTrip()
    {
        QFETCH(int, format);
        QImage img = positionImage(5, 3);
        img.setPixel(1, 1, qRgba(200, 100, 50, 128));
        TBitmap b(img, TPixelFormat(format));
        QBuffer s;
        s.open(QIODevice::ReadWrite);
        b.saveToStream(s);
        const QByteArray bytes = s.data();
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE(BmpFile::fileSize(bytes), bytes.size());
        s.seek(0);
        TBitmap back;
        back.loadFromStream(s);
        QCOMPARE(back.pixelFormat(), format == pf32bit ? pf32bit : pf24bit);
        QCOMPARE(back.image(), b.image());
    }

    void bmpReadsOneFileAndLeavesTheRest()
    {
        QByteArray two = BmpFile::encode(positionImage(2, 2), 24) + "tail";
        QBuffer s(&two);
        s.open(QIODevice::ReadOnly);
        TBitmap b;
        b.loadFromStream(s);
        QCOMPARE(s.readAll(), QByteArray("tail"));
    }

    void bmpBadData_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("not a bitmap") << QByteArray("GIF89a and more bytes than a header");
        QTest::newRow("header only") << QByteArray("BM") + le32(14) + le32(0) + le32(54);
        QTest::newRow("pixels cut off")
            << bmpFile(4, 4, 24, QByteArray(16, '\0')).left(14 + 40 + 16);
        QTest::newRow("zero width") << bmpFile(0, 2, 24, QByteArray(8, '\0'));
        QTest::newRow("absurd size") << bmpFile(100000, 100000, 24, QByteArray(64, '\0'));
        // Other depths go to the general reader: their pixels must be there too (found by
        // fuzzing: 6.7 million by 2 pixels claimed by a 78-byte file).
        QTest::newRow("16-bit, pixels cut off") << bmpFile(6779498, 2, 16, QByteArray(24, '\0'));
        QTest::newRow("8-bit, pixels cut off") << bmpFile(64, 64, 8, QByteArray(1024 + 40, '\0'));
    }
    void bmpBadData()
    {
        QFETCH(QByteArray, file);
        QBuffer s(&file);
        s.open(QIODevice::ReadOnly);
        TBitmap b;
        try {
            b.loadFromStream(s);
            QFAIL("no error");
        } catch (const EInvalidGraphic& e) {
            QCOMPARE(e.message(), QStringLiteral("Bitmap image is not valid"));
        }
    }

    void bmpHeaderClaimingGigabytesReadsOnlyWhatIsThere_data()
    {
        QTest::addColumn<bool>("sequential");
        QTest::newRow("buffer") << false;
        QTest::newRow("pipe-like") << true;
    }
    void bmpHeaderClaimingGigabytesReadsOnlyWhatIsThere()
    {
        QFETCH(bool, sequential);
        // A file size of 0x7F4E... in the header, and a few bytes after it (found by fuzzing).
        QByteArray file = QByteArray("BM") + le32(0x7FFFFFF0) + le32(0) + le32(54) + le32(40) +
                          le32(3) + le32(2) + QByteArray("\x01\x01", 2);
        ReadSizeRecorder s(&file, sequential);
        s.open(QIODevice::ReadOnly);
        TBitmap b;
        QVERIFY_THROWS_EXCEPTION(EInvalidGraphic, b.loadFromStream(s));
        QVERIFY2(s.largestRequest <= 64 * 1024, qPrintable(QString::number(s.largestRequest)));
    }

    // ---- bitmaps --------------------------------------------------------------------------

    void bitmapSizeKeepsPixelsAndAddsWhite()
    {
        TBitmap b;
        QVERIFY(b.empty());
        QCOMPARE(QSize(b.width(), b.height()), QSize(0, 0));
        b.setWidth(3);
        QVERIFY(b.empty());
        b.setHeight(2); // both extents set one after the other
        QCOMPARE(b.image().size(), QSize(3, 2));
        QCOMPARE(b.image().pixel(2, 1), qRgb(255, 255, 255));
        b.setImage(positionImage(2, 2), pf24bit);
        b.setSize(4, 3);
        QCOMPARE(b.image().pixel(1, 1), positionColor(1, 1));
        QCOMPARE(b.image().pixel(3, 0), qRgb(255, 255, 255));
        QCOMPARE(b.image().pixel(0, 2), qRgb(255, 255, 255));
        b.setWidth(-5);
        QCOMPARE(b.width(), 0);
        QVERIFY(b.empty());
    }

    void bitmapPixelFormats()
    {
        QImage withAlpha = solidImage(2, 1, qRgba(0, 0, 0, 0));
        withAlpha.setPixel(1, 0, qRgba(255, 0, 0, 255));
        TBitmap b24(withAlpha, pf24bit);
        QVERIFY(!b24.image().hasAlphaChannel()); // below 32 bits alpha is dropped
        TBitmap b32(withAlpha, pf32bit);
        QCOMPARE(qAlpha(b32.image().pixel(0, 0)), 0);
        b24.setPixelFormat(pf32bit); // opaque after the conversion
        QCOMPARE(qAlpha(b24.image().pixel(0, 0)), 255);
        b32.setPixelFormat(pf24bit);
        QCOMPARE(b32.image().pixel(1, 0), qRgb(255, 0, 0));
        QVERIFY(!b32.hasAlphaByte());
    }

    void bitmapDrawsOpaqueOrLeavesItsTransparentColour()
    {
        QImage img = solidImage(2, 2, qRgb(0, 255, 0));
        img.setPixel(0, 1, qRgb(255, 0, 255)); // bottom-left: the transparent colour
        img.setPixel(1, 0, qRgb(255, 0, 255));
        TBitmap b(img, pf24bit);
        QImage canvas = solidImage(2, 2, qRgb(0, 0, 255));
        {
            QPainter p(&canvas);
            b.drawAt(p, QPoint(0, 0));
        }
        QCOMPARE(canvas.pixel(1, 0), qRgb(255, 0, 255));
        b.setTransparent(true);
        canvas.fill(qRgb(0, 0, 255));
        {
            QPainter p(&canvas);
            b.draw(p, QRect(0, 0, 2, 2));
        }
        QCOMPARE(canvas.pixel(1, 0), qRgb(0, 0, 255));
        QCOMPARE(canvas.pixel(0, 1), qRgb(0, 0, 255));
        QCOMPARE(canvas.pixel(0, 0), qRgb(0, 255, 0));
    }

    // ---- pictures -------------------------------------------------------------------------

    void pictureCopiesAndReportsChanges()
    {
        int changes = 0;
        TPicture p;
        p.setOnChange([&](TPicture*) { ++changes; });
        TBitmap source(positionImage(4, 4), pf24bit);
        p.setGraphic(&source);
        QCOMPARE(changes, 1);
        QVERIFY(p.graphic() != &source);
        source.setSize(1, 1);
        QCOMPARE(p.width(), 4);    // an independent copy
        p.bitmap()->setSize(5, 5); // a change inside the held graphic
        QCOMPARE(changes, 2);

        TPicture q;
        q.assign(&p);
        QCOMPARE(q.width(), 5);
        q.bitmap()->setSize(1, 1);
        QCOMPARE(p.width(), 5);
        q.assign(nullptr);
        QVERIFY(!q.graphic());
        p.assign(&p);
        QCOMPARE(p.width(), 5);
    }

    void pictureBitmapReplacesOtherClasses()
    {
        TPicture p;
        TTestGraphic g;
        g.m_data = "xyz";
        p.setGraphic(&g);
        QCOMPARE(p.width(), 3);
        TBitmap* b = p.bitmap();
        QVERIFY(b);
        QVERIFY(b->empty());
        QCOMPARE(p.graphic()->className(), QStringLiteral("TBitmap"));
    }

    void assigningUnrelatedClassesFails()
    {
        TBitmap b(positionImage(1, 1), pf24bit);
        TTestGraphic g;
        try {
            b.assign(g);
            QFAIL("no error");
        } catch (const EConvertError& e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot assign a TTestGraphic to a TBitmap"));
        }
    }

    void filesByExtension()
    {
        QTemporaryDir dir;
        TPicture p;
        p.setGraphic(std::make_unique<TBitmap>(positionImage(3, 3), pf24bit).get());
        const QString bmp = dir.filePath(QStringLiteral("a.BmP"));
        p.saveToFile(bmp);
        TPicture q;
        q.loadFromFile(bmp);
        QCOMPARE(q.bitmap()->image(), p.bitmap()->image());

        try {
            q.loadFromFile(dir.filePath(QStringLiteral("a.xyz")));
            QFAIL("no error");
        } catch (const EInvalidGraphic& e) {
            QCOMPARE(e.message(), QStringLiteral("Unknown picture file extension (.xyz)"));
        }
        QVERIFY_THROWS_EXCEPTION(EReadError,
                                 q.loadFromFile(dir.filePath(QStringLiteral("none.bmp"))));
        QCOMPARE(q.width(), 3); // kept
        QVERIFY(GraphicFileFormats::fileDialogFilter().contains(QStringLiteral("Bitmaps (*.bmp)")));
    }

    void clipboardCarriesAnImage()
    {
        TPicture p;
        p.setGraphic(std::make_unique<TBitmap>(positionImage(3, 2), pf24bit).get());
        QMimeData mime;
        p.saveToClipboard(mime);
        QVERIFY(TPicture::supportsClipboardData(mime));
        TPicture q;
        q.loadFromClipboard(mime);
        QCOMPARE(q.bitmap()->pixelFormat(), pf24bit);
        QCOMPARE(q.bitmap()->image().pixel(2, 1), positionColor(2, 1));
        QMimeData nothing;
        QVERIFY(!TPicture::supportsClipboardData(nothing));
        QVERIFY_THROWS_EXCEPTION(EInvalidGraphic, q.loadFromClipboard(nothing));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
