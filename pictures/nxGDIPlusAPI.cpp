#include "nxGDIPlusAPI.h"

#include "TnxUnitsLoader.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPaintDevice>
#include <QPainter>
#include <atomic>
#include <cstdlib>

// Raises the library's error, naming the line of the call that failed.
#define GP_FAIL_UNLESS(condition)                                                                  \
    do {                                                                                           \
        if (!(condition))                                                                          \
            throw EGDIPlusError(__LINE__);                                                         \
    } while (false)

struct GpImage
{
    QImage image;
};

struct GpGraphics
{
    QPainter* painter;
};

namespace {

struct LibraryState
{
    bool loaded = false;
    bool usable = false;
};

LibraryState& library()
{
    static LibraryState state;
    return state;
}

std::atomic<qsizetype> liveBlocks{0};

bool contains(const QList<QByteArray>& list, const QByteArray& wanted)
{
    for (const QByteArray& item : list) {
        if (item.compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The codec must give back exactly what it was given, alpha included.
bool roundTripWorks()
{
    QImage probe(2, 2, QImage::Format_ARGB32);
    probe.setPixel(0, 0, qRgba(255, 0, 0, 255));
    probe.setPixel(1, 0, qRgba(0, 255, 0, 128));
    probe.setPixel(0, 1, qRgba(0, 0, 255, 0));
    probe.setPixel(1, 1, qRgba(10, 20, 30, 40));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "png");
    if (!writer.write(probe))
        return false;
    QImage back = QImage::fromData(out.data(), "png");
    if (back.isNull())
        return false;
    back = back.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            if (back.pixel(x, y) != probe.pixel(x, y) && qAlpha(probe.pixel(x, y)) != 0)
                return false;
        }
    }
    return qAlpha(back.pixel(0, 1)) == 0;
}

} // namespace

EGDIPlusError::EGDIPlusError(int line)
    : Exception(QStringLiteral("Invalid operation in GDI+ (nxGDIPlusAPI, line %1)").arg(line)),
      m_line(line)
{}

GpCodecList gpInstalledCodecs()
{
    return {QImageReader::supportedImageFormats(), QImageWriter::supportedMimeTypes()};
}

bool gpLoadLibrary(const GpCodecList& codecs)
{
    LibraryState& lib = library();
    if (lib.loaded)
        return lib.usable;
    lib.loaded = true;
    lib.usable = contains(codecs.decoders, "png") &&
                 contains(codecs.encoderMimeTypes, "image/png") && roundTripWorks();
    return lib.usable;
}

void gpUnloadLibrary()
{
    library() = LibraryState();
}

bool gpLibraryUsable()
{
    return library().usable;
}

QByteArray gpFindEncoder(const QByteArray& mimeType, const GpCodecList& codecs)
{
    if (!library().usable || !contains(codecs.encoderMimeTypes, mimeType))
        return QByteArray();
    const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(mimeType.toLower());
    return formats.isEmpty() ? QByteArray() : formats.first();
}

void* gpAlloc(std::size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (block)
        ++liveBlocks;
    return block;
}

void gpFree(void* block)
{
    if (!block)
        return;
    --liveBlocks;
    std::free(block);
}

qsizetype gpLiveBlocks()
{
    return liveBlocks;
}

GpImage* gpCreateBitmapFromStream(const QByteArray& data)
{
    QByteArray copy = data;
    QBuffer buffer(&copy);
    GP_FAIL_UNLESS(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer);
    QImage image = reader.read();
    GP_FAIL_UNLESS(!image.isNull());
    return new GpImage{image};
}

GpImage* gpCreateBitmapFromScan0(int width, int height, int stride, quint32* scan0)
{
    GP_FAIL_UNLESS(width > 0 && height > 0 && scan0 && stride >= 4 * width);
    QImage image(reinterpret_cast<uchar*>(scan0), width, height, stride,
                 QImage::Format_ARGB32_Premultiplied);
    GP_FAIL_UNLESS(!image.isNull());
    return new GpImage{image};
}

GpImage* gpCloneImage(const GpImage* image)
{
    GP_FAIL_UNLESS(image);
    // A deep copy: the clone must not share a caller's pixel buffer.
    QImage copy = image->image.copy();
    GP_FAIL_UNLESS(!copy.isNull());
    return new GpImage{copy};
}

void gpDisposeImage(GpImage* image)
{
    GP_FAIL_UNLESS(image);
    delete image;
}

QSizeF gpGetImageDimension(const GpImage* image)
{
    GP_FAIL_UNLESS(image);
    return QSizeF(image->image.width(), image->image.height());
}

QByteArray gpSaveImageToStream(const GpImage* image, const QByteArray& encoder)
{
    GP_FAIL_UNLESS(image && !encoder.isEmpty());
    QBuffer out;
    GP_FAIL_UNLESS(out.open(QIODevice::WriteOnly));
    QImageWriter writer(&out, encoder);
    GP_FAIL_UNLESS(writer.write(image->image));
    return out.data();
}

QImage gpCreateHBITMAPFromBitmap(const GpImage* image, QRgb background)
{
    GP_FAIL_UNLESS(image);
    QImage out(image->image.size(), QImage::Format_ARGB32_Premultiplied);
    GP_FAIL_UNLESS(!out.isNull());
    out.fill(qPremultiply(background));
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(0, 0, image->image);
    return out;
}

GpGraphics* gpCreateFromHDC(QPainter& painter)
{
    GP_FAIL_UNLESS(painter.isActive() && painter.device());
    return new GpGraphics{&painter};
}

void gpDeleteGraphics(GpGraphics* graphics)
{
    GP_FAIL_UNLESS(graphics);
    delete graphics;
}

bool gpIsVisibleRect(const GpGraphics* graphics, const QRect& rect)
{
    GP_FAIL_UNLESS(graphics && graphics->painter->isActive());
    const QPainter& p = *graphics->painter;
    const QPaintDevice* device = p.device();
    const QRect onDevice = p.transform().mapRect(QRectF(rect)).toAlignedRect();
    if (!onDevice.intersects(QRect(0, 0, device->width(), device->height())))
        return false;
    return !p.hasClipping() || p.clipRegion().intersects(rect);
}

void gpDrawImageRectRect(GpGraphics* graphics, const GpImage* image, const QRect& dst,
                         const QRect& src)
{
    GP_FAIL_UNLESS(graphics && image && graphics->painter->isActive());
    QPainter& p = *graphics->painter;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(QRectF(dst), image->image, QRectF(src));
    p.restore();
}

void nxGDIPlusAPIInitialization()
{
    TnxUnitsLoader::registerUnit(QStringLiteral("nxGDIPlusAPI"), [] { gpUnloadLibrary(); });
}
