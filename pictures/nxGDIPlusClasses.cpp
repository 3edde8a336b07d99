#include "nxGDIPlusClasses.h"

#include "GraphicClasses.h"
#include "GraphicFileFormats.h"
#include "TBitmap.h"
#include "TnxUnitsLoader.h"

#include <QIODevice>
#include <QMimeData>
#include <QPainter>
#include <QtGlobal>
#include <cmath>
#include <new>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "pixel buffers are blue, green, red, alpha in memory as 32-bit ARGB words");

namespace {

TnxGPImageClass imageClass = &TnxGPNullImage::create;
QByteArray pngEncoder;

const QString kPngClassName = QStringLiteral("TnxPNGImage");

qint64 bytesLeft(const QIODevice& stream)
{
    return stream.isSequential() ? stream.bytesAvailable() : stream.size() - stream.pos();
}

int truncated(qreal v)
{
    return v >= 1.0 ? int(std::trunc(v)) : 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------

TnxGPBase::~TnxGPBase() = default;

void* TnxGPBase::operator new(std::size_t size)
{
    if (void* block = gpAlloc(size))
        return block;
    throw std::bad_alloc();
}

void TnxGPBase::operator delete(void* block)
{
    gpFree(block);
}

// ---------------------------------------------------------------------------------------------

TnxGPImage::TnxGPImage() = default;

TnxGPImage::~TnxGPImage()
{
    try {
        if (m_handle)
            gpDisposeImage(m_handle);
    } catch (...) {
        // Nothing to report to from a destructor; the handle was valid, so this cannot happen.
    }
}

std::unique_ptr<TnxGPImage> TnxGPImage::create()
{
    return std::unique_ptr<TnxGPImage>(new TnxGPImage);
}

void TnxGPImage::release()
{
    if (m_handle) {
        GpImage* h = m_handle;
        m_handle = nullptr;
        gpDisposeImage(h);
    }
    TnxRGBColors().swap(m_pixels);
}

void TnxGPImage::decodeFromStream(QIODevice& stream)
{
    const QByteArray data = stream.readAll();
    GpImage* h = gpCreateBitmapFromStream(data);
    release();
    m_handle = h;
}

void TnxGPImage::buildFromBitmap(const TBitmap& bitmap)
{
    if (bitmap.empty()) {
        release();
        return;
    }
    const QImage& img = bitmap.image();
    const int w = img.width();
    const int h = img.height();
    TnxRGBColors pixels(std::size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const quint32*>(img.constScanLine(y));
        std::copy_n(line, w, pixels.begin() + std::ptrdiff_t(y) * w);
    }
    buildFromPixels(w, h, bitmap.hasAlphaByte(), std::move(pixels));
}

void TnxGPImage::buildFromPixels(int width, int height, bool hasAlpha, TnxRGBColors pixels)
{
    if (width < 1 || height < 1 || pixels.size() < std::size_t(width) * height)
        throw EGDIPlusError(__LINE__);
    for (quint32& px : pixels) {
        if (!hasAlpha) {
            px |= 0xFF000000u;
        } else {
            // A premultiplied colour never exceeds its alpha; keep damaged input drawable.
            const quint32 a = px >> 24;
            const quint32 r = std::min((px >> 16) & 0xFF, a);
            const quint32 g = std::min((px >> 8) & 0xFF, a);
            const quint32 b = std::min(px & 0xFF, a);
            px = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    release();
    m_pixels = std::move(pixels);
    try {
        m_handle = gpCreateBitmapFromScan0(width, height, 4 * width, m_pixels.data());
    } catch (...) {
        TnxRGBColors().swap(m_pixels);
        throw;
    }
}

void TnxGPImage::buildFromStream(QIODevice& stream)
{
    if (!gpLibraryUsable() || bytesLeft(stream) < 14) {
        release();
        return;
    }
    const QByteArray head = stream.peek(14);
    if (head.startsWith("BM")) {
        TBitmap bitmap;
        bitmap.loadFromStream(stream);
        buildFromBitmap(bitmap);
    } else {
        decodeFromStream(stream);
    }
}

void TnxGPImage::buildFromImage(const TnxGPImage& other)
{
    if (!other.m_handle) {
        release();
        return;
    }
    if (!other.m_pixels.empty()) {
        const QSize s = other.size();
        buildFromPixels(s.width(), s.height(), true, other.m_pixels);
        return;
    }
    GpImage* clone = gpCloneImage(other.m_handle);
    release();
    m_handle = clone;
}

std::unique_ptr<TBitmap> TnxGPImage::toBitmap() const
{
    if (!m_handle)
        return std::make_unique<TBitmap>();
    return std::make_unique<TBitmap>(gpCreateHBITMAPFromBitmap(m_handle, 0), pf32bit);
}

QSize TnxGPImage::size() const
{
    if (!m_handle)
        return QSize(0, 0);
    const QSizeF d = gpGetImageDimension(m_handle);
    return QSize(truncated(d.width()), truncated(d.height()));
}

// ---------------------------------------------------------------------------------------------

std::unique_ptr<TnxGPImage> TnxGPNullImage::create()
{
    return std::unique_ptr<TnxGPImage>(new TnxGPNullImage);
}

void* TnxGPNullImage::operator new(std::size_t size)
{
    return ::operator new(size);
}

void TnxGPNullImage::operator delete(void* block)
{
    ::operator delete(block);
}

void TnxGPNullImage::decodeFromStream(QIODevice&)
{
    release();
}

void TnxGPNullImage::buildFromBitmap(const TBitmap&)
{
    release();
}

void TnxGPNullImage::buildFromPixels(int, int, bool, TnxRGBColors)
{
    release();
}

void TnxGPNullImage::buildFromStream(QIODevice&)
{
    release();
}

void TnxGPNullImage::buildFromImage(const TnxGPImage&)
{
    release();
}

TnxGPImageClass nxGPImageClass()
{
    return imageClass;
}

void setNxGPImageClass(TnxGPImageClass value)
{
    imageClass = value ? value : &TnxGPNullImage::create;
}

QByteArray nxPngEncoder()
{
    return pngEncoder;
}

// ---------------------------------------------------------------------------------------------

TnxPNGImage::TnxPNGImage() = default;

TnxPNGImage::~TnxPNGImage() = default;

QString TnxPNGImage::className() const
{
    return kPngClassName;
}

std::unique_ptr<TGraphic> TnxPNGImage::newInstance() const
{
    return std::make_unique<TnxPNGImage>();
}

int TnxPNGImage::width() const
{
    return m_image ? m_image->size().width() : 0;
}

int TnxPNGImage::height() const
{
    return m_image ? m_image->size().height() : 0;
}

void TnxPNGImage::setWidth(int) {}

void TnxPNGImage::setHeight(int) {}

bool TnxPNGImage::empty() const
{
    return width() < 1 || height() < 1;
}

bool TnxPNGImage::transparent() const
{
    return true;
}

void TnxPNGImage::setTransparent(bool) {}

void TnxPNGImage::draw(QPainter& canvas, const QRect& rect) const
{
    drawTo(canvas, rect);
}

void TnxPNGImage::loadFromStream(QIODevice& stream)
{
    if (bytesLeft(stream) <= 0) {
        m_image.reset();
        changed();
        return;
    }
    std::unique_ptr<TnxGPImage> image = nxGPImageClass()();
    image->buildFromStream(stream);
    m_image = std::move(image);
    changed();
}

void TnxPNGImage::saveToStream(QIODevice& stream) const
{
    if (!m_image || !m_image->handle())
        return;
    const QByteArray png = gpSaveImageToStream(m_image->handle(), nxPngEncoder());
    if (stream.write(png) != png.size())
        throw EWriteError(QStringLiteral("Stream write error"));
}

void TnxPNGImage::assign(const TGraphic& source)
{
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        assignBitmap(*bitmap);
        return;
    }
    if (const auto* other = dynamic_cast<const TnxPNGImage*>(&source)) {
        if (other == this)
            return;
        const TnxGPImage* from = other->m_image.get();
        if (!from || !from->handle()) {
            m_image.reset();
            changed();
            return;
        }
        std::unique_ptr<TnxGPImage> copy = nxGPImageClass()();
        copy->buildFromImage(*from);
        m_image = std::move(copy);
        changed();
        return;
    }
    TGraphic::assign(source);
}

bool TnxPNGImage::assignTo(TGraphic& dest) const
{
    if (auto* png = dynamic_cast<TnxPNGImage*>(&dest)) {
        png->assign(*this);
        return true;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
        bitmap->assign(*toBitmap());
        return true;
    }
    return false;
}

void TnxPNGImage::loadFromClipboard(const QMimeData& data)
{
    TBitmap bitmap;
    bitmap.setPixelFormat(pf32bit);
    bitmap.loadFromClipboard(data);
    assignBitmap(bitmap);
}

void TnxPNGImage::saveToClipboard(QMimeData& data) const
{
    if (empty())
        return;
    QImage onWhite(width(), height(), QImage::Format_RGB32);
    onWhite.fill(0xFFFFFFFFu);
    {
        QPainter p(&onWhite);
        drawTo(p, onWhite.rect());
    }
    TBitmap(onWhite, pf24bit).saveToClipboard(data);
}

TnxRGBColors TnxPNGImage::pixelBuffer() const
{
    if (!m_image->pixels().empty())
        return m_image->pixels();
    // A decoded image: through a bitmap, as a built image would hold it.
    std::unique_ptr<TnxGPImage> rebuilt = TnxGPImage::create();
    rebuilt->buildFromBitmap(*m_image->toBitmap());
    return rebuilt->pixels();
}

bool TnxPNGImage::comparePixels(const TnxPNGImage& other) const
{
    if (width() != other.width() || height() != other.height())
        return false;
    if (empty() || other.empty())
        return true;
    return pixelBuffer() == other.pixelBuffer();
}

std::unique_ptr<TBitmap> TnxPNGImage::toBitmap() const
{
    return m_image ? m_image->toBitmap() : std::make_unique<TBitmap>();
}

void TnxPNGImage::assignBitmap(const TBitmap& bitmap)
{
    std::unique_ptr<TnxGPImage> image = nxGPImageClass()();
    image->buildFromBitmap(bitmap);
    m_image = std::move(image);
    changed();
}

void TnxPNGImage::drawTo(QPainter& canvas, const QRect& dst) const
{
    if (!m_image || !m_image->handle())
        return;
    drawTo(canvas, dst, QRect(QPoint(0, 0), m_image->size()));
}

void TnxPNGImage::drawTo(QPainter& canvas, const QRect& dst, const QRect& src) const
{
    if (!m_image || !m_image->handle())
        return;
    GpGraphics* graphics = gpCreateFromHDC(canvas);
    try {
        drawOn(graphics, dst, src);
    } catch (...) {
        gpDeleteGraphics(graphics);
        throw;
    }
    gpDeleteGraphics(graphics);
}

void TnxPNGImage::drawOn(GpGraphics* graphics, const QRect& dst, const QRect& src) const
{
    if (!m_image || !m_image->handle())
        return;
    QRect from = src;
    if (from.width() < 1 || from.height() < 1 || dst.width() < 1 || dst.height() < 1)
        return;
    if (dst.width() > from.width() && from.width() > 1)
        from.setWidth(from.width() - 1);
    if (dst.height() > from.height() && from.height() > 1)
        from.setHeight(from.height() - 1);
    if (!gpIsVisibleRect(graphics, dst))
        return;
    gpDrawImageRectRect(graphics, m_image->handle(), dst, from);
}

// ---------------------------------------------------------------------------------------------

void nxGDIPlusClassesInitialization(const GpCodecList& codecs)
{
    setNxGPImageClass(&TnxGPNullImage::create);
    if (gpLoadLibrary(codecs)) {
        pngEncoder = gpFindEncoder("image/png", codecs);
        setNxGPImageClass(&TnxGPImage::create);
        const auto factory = [] { return std::unique_ptr<TGraphic>(new TnxPNGImage); };
        GraphicClasses::registerClass(kPngClassName, factory);
        GraphicFileFormats::registerFormat(QStringLiteral("PNG"), QStringLiteral("PNG文件"),
                                           kPngClassName, factory);
    }
    TnxUnitsLoader::registerUnit(QStringLiteral("nxGDIPlusClasses"), [] {
        GraphicFileFormats::unregisterClass(kPngClassName);
        GraphicClasses::unregisterClass(kPngClassName);
        setNxGPImageClass(&TnxGPNullImage::create);
    });
}
