#include "TBitmap.h"

#include "BmpFile.h"
#include "PicStretch.h"

#include <QIODevice>
#include <QMimeData>
#include <QPainter>

namespace {

// A 32-bit file whose fourth bytes are all zero carries no alpha at all (most writers leave
// the byte unset): such a picture is opaque, not invisible.
QImage withAlphaRepaired(QImage straight)
{
    for (int y = 0; y < straight.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return straight;
        }
    }
    for (int y = 0; y < straight.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(straight.scanLine(y));
        for (int x = 0; x < straight.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    return straight;
}

TPixelFormat formatOfBitCount(int bits)
{
    switch (bits) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        return pf16bit;
    case 24:
        return pf24bit;
    case 32:
        return pf32bit;
    default:
        return pfDevice;
    }
}

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(const QImage& image, TPixelFormat format)
    : m_image(normalised(image, format)), m_size(m_image.size()), m_pixelFormat(format)
{}

TBitmap::~TBitmap() = default;

QString TBitmap::className() const
{
    return QStringLiteral("TBitmap");
}

std::unique_ptr<TGraphic> TBitmap::newInstance() const
{
    return std::make_unique<TBitmap>();
}

QImage TBitmap::normalised(const QImage& image, TPixelFormat format)
{
    if (image.isNull())
        return QImage();
    if (format == pf32bit)
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image.hasAlphaChannel() ? PicStretch::opaquePixels(
                                         image.convertToFormat(QImage::Format_ARGB32_Premultiplied))
                                   : image.convertToFormat(QImage::Format_RGB32);
}

int TBitmap::width() const
{
    return m_size.width();
}

int TBitmap::height() const
{
    return m_size.height();
}

void TBitmap::setWidth(int value)
{
    setSize(value, height());
}

void TBitmap::setHeight(int value)
{
    setSize(width(), value);
}

void TBitmap::setSize(int w, int h)
{
    w = qMax(w, 0);
    h = qMax(h, 0);
    if (w == width() && h == height())
        return;
    m_size = QSize(w, h);
    if (w == 0 || h == 0) {
        // No pixels, but the other extent is kept for when this one is set.
        m_image = QImage();
        changed();
        return;
    }
    QImage sized(w, h,
                 m_pixelFormat == pf32bit ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32);
    sized.fill(0xFFFFFFFFu);
    if (!m_image.isNull()) {
        QPainter p(&sized);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, m_image);
    }
    m_image = sized;
    changed();
}

bool TBitmap::empty() const
{
    return m_image.isNull();
}

void TBitmap::setPixelFormat(TPixelFormat value)
{
    if (m_pixelFormat == value)
        return;
    const bool alphaBefore = hasAlphaByte();
    m_pixelFormat = value;
    if (!m_image.isNull() && alphaBefore != hasAlphaByte()) {
        // The stored colours are kept; to pf32bit they become opaque, from it alpha is dropped.
        const QImage opaque = PicStretch::opaquePixels(m_image);
        m_image =
            value == pf32bit ? opaque.convertToFormat(QImage::Format_ARGB32_Premultiplied) : opaque;
    }
    changed();
}

void TBitmap::setImage(const QImage& image, TPixelFormat format)
{
    m_pixelFormat = format;
    m_image = normalised(image, format);
    m_size = m_image.size();
    changed();
}

QRgb TBitmap::transparentColor() const
{
    if (m_image.isNull())
        return 0;
    return m_image.pixel(0, m_image.height() - 1) | 0xFF000000u;
}

void TBitmap::draw(QPainter& canvas, const QRect& rect) const
{
    if (m_image.isNull() || rect.isEmpty())
        return;
    QImage pixels = PicStretch::opaquePixels(m_image);
    if (transparent()) {
        const QRgb key = transparentColor();
        pixels = pixels.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < pixels.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
            for (int x = 0; x < pixels.width(); ++x) {
                if (line[x] == key)
                    line[x] = 0;
            }
        }
    }
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.drawImage(rect, pixels);
    canvas.restore();
}

// Up to `size` bytes of the stream. QIODevice::read(n) sets aside n bytes before it reads, and
// n comes from the file's header: a garbled header must not make us allocate gigabytes.
static QByteArray readUpTo(QIODevice& stream, qint64 size)
{
    if (!stream.isSequential())
        return stream.read(qMin(size, qMax<qint64>(0, stream.size() - stream.pos())));
    QByteArray out;
    while (out.size() < size) {
        const QByteArray chunk = stream.read(qMin<qint64>(size - out.size(), 64 * 1024));
        if (chunk.isEmpty())
            break;
        out += chunk;
    }
    return out;
}

void TBitmap::loadFromStream(QIODevice& stream)
{
    const QByteArray head = stream.peek(14);
    if (head.isEmpty()) {
        m_image = QImage();
        m_size = QSize(0, 0);
        changed();
        return;
    }
    const qint64 size = BmpFile::fileSize(head);
    if (size < 0)
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    // One file is read; its header says how long it is. A header that claims less than a
    // header's worth is not believed and the rest of the stream is taken.
    const QByteArray file = size > 14 ? readUpTo(stream, size) : stream.readAll();
    const BmpFile::Decoded d = BmpFile::decode(file);
    m_pixelFormat = formatOfBitCount(d.bitCount);
    m_image = d.bitCount == 32
                  ? withAlphaRepaired(d.image).convertToFormat(QImage::Format_ARGB32_Premultiplied)
                  : d.image;
    m_size = m_image.size();
    changed();
}

void TBitmap::saveToStream(QIODevice& stream) const
{
    if (m_image.isNull())
        return;
    const QByteArray file =
        m_pixelFormat == pf32bit
            ? BmpFile::encode(m_image.convertToFormat(QImage::Format_ARGB32), 32)
            : BmpFile::encode(m_image, 24);
    if (stream.write(file) != file.size())
        throw EWriteError(QStringLiteral("Stream write error"));
}

void TBitmap::assign(const TGraphic& source)
{
    if (const auto* other = dynamic_cast<const TBitmap*>(&source)) {
        if (other == this)
            return;
        m_image = other->m_image;
        m_size = other->m_size;
        m_pixelFormat = other->m_pixelFormat;
        TGraphic::setTransparentSilently(other->transparent());
        changed();
        return;
    }
    TGraphic::assign(source);
}

void TBitmap::loadFromClipboard(const QMimeData& data)
{
    const QImage img = qvariant_cast<QImage>(data.imageData());
    if (img.isNull())
        throw EInvalidGraphic(QStringLiteral("The clipboard holds no picture"));
    const TPixelFormat format =
        m_pixelFormat == pf32bit || img.hasAlphaChannel() ? pf32bit : pf24bit;
    setImage(img, format);
}

void TBitmap::saveToClipboard(QMimeData& data) const
{
    if (m_image.isNull())
        return;
    data.setImageData(m_pixelFormat == pf32bit ? m_image.convertToFormat(QImage::Format_ARGB32)
                                               : m_image);
}
