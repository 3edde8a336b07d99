#include "BmpFile.h"

#include "TGraphic.h"

#include <QtEndian>

namespace {

// Bitmaps larger than this many pixels are refused rather than allocated.
constexpr qint64 kMaxPixels = qint64(1) << 28;

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiBitfields = 3;

[[noreturn]] void invalid()
{
    throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
}

quint32 u32(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

qint32 s32(const QByteArray& b, int at)
{
    return qFromLittleEndian<qint32>(b.constData() + at);
}

quint16 u16(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

void put32(QByteArray& b, int at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

void put16(QByteArray& b, int at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

int rowBytes(int width, int bitCount)
{
    return int(((qint64(width) * bitCount + 31) / 32) * 4);
}

// 24- and 32-bit uncompressed pixels; false when the file needs the general reader.
bool decodeDirect(const QByteArray& file, BmpFile::Decoded& out)
{
    const quint32 headerSize = u32(file, 14);
    if (headerSize < kInfoHeaderSize)
        return false; // the old core header: rare, the general reader takes it
    const qint32 width = s32(file, 18);
    const qint32 height = s32(file, 22);
    const int bits = u16(file, 28);
    const quint32 compression = u32(file, 30);
    if (bits != 24 && bits != 32)
        return false;
    if (compression == kBiBitfields) {
        // Only the plain blue-green-red order is read here.
        const int masksAt = headerSize >= 52 ? 14 + 40 : 14 + int(headerSize);
        if (bits != 32 || file.size() < masksAt + 12)
            return false;
        if (u32(file, masksAt) != 0x00FF0000u || u32(file, masksAt + 4) != 0x0000FF00u ||
            u32(file, masksAt + 8) != 0x000000FFu)
            return false;
    } else if (compression != kBiRgb) {
        return false;
    }
    if (width <= 0 || height == 0 || height == INT32_MIN)
        invalid();
    const int h = height < 0 ? -height : height;
    if (qint64(width) * h > kMaxPixels)
        invalid();
    const quint32 offset = u32(file, 10);
    const int stride = rowBytes(width, bits);
    if (offset < kFileHeaderSize + headerSize || offset > quint32(file.size()) ||
        qint64(file.size()) - offset < qint64(stride) * h)
        invalid();

    QImage img(width, h, bits == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull())
        invalid();
    for (int row = 0; row < h; ++row) {
        const int y = height > 0 ? h - 1 - row : row; // bottom-up unless the height is negative
        const auto* in =
            reinterpret_cast<const uchar*>(file.constData()) + offset + qint64(row) * stride;
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (bits == 32) {
            for (int x = 0; x < width; ++x, in += 4)
                line[x] = qFromLittleEndian<quint32>(in);
        } else {
            for (int x = 0; x < width; ++x, in += 3)
                line[x] = 0xFF000000u | (quint32(in[2]) << 16) | (quint32(in[1]) << 8) | in[0];
        }
    }
    out.image = img;
    out.bitCount = bits;
    return true;
}

} // namespace

namespace BmpFile {

qint64 fileSize(const QByteArray& head)
{
    if (head.size() < kFileHeaderSize || head[0] != 'B' || head[1] != 'M')
        return -1;
    return u32(head, 2);
}

Decoded decode(const QByteArray& file)
{
    if (file.size() < kFileHeaderSize + 16 || fileSize(file) < 0)
        invalid();
    Decoded out;
    if (file.size() >= kFileHeaderSize + kInfoHeaderSize && decodeDirect(file, out))
        return out;

    const int bits = u32(file, 14) == 12 ? u16(file, 24) : u16(file, 28);
    const qint64 w = u32(file, 14) == 12 ? u16(file, 18) : qAbs(qint64(s32(file, 18)));
    const qint64 h = u32(file, 14) == 12 ? u16(file, 20) : qAbs(qint64(s32(file, 22)));
    if (w * h > kMaxPixels)
        invalid();
    // Uncompressed pixels must all be there: Qt's reader would otherwise hand back a picture
    // of the claimed size, mostly made up, for a file of a few bytes.
    const bool core = u32(file, 14) == 12;
    const quint32 compression = core ? kBiRgb : u32(file, 30);
    if ((compression == kBiRgb || compression == kBiBitfields) && bits > 0) {
        const qint64 pixelBytes = qint64(rowBytes(int(w), bits)) * h;
        const qint64 offset = u32(file, 10);
        if (offset > file.size() || file.size() - offset < pixelBytes)
            invalid();
    }
    QImage img = QImage::fromData(file, "BMP");
    if (img.isNull())
        invalid();
    out.image = img.convertToFormat(QImage::Format_RGB32);
    out.bitCount = bits;
    return out;
}

QByteArray encode(const QImage& image, int bitCount)
{
    Q_ASSERT(bitCount == 24 || bitCount == 32);
    const QImage img = image.format() == QImage::Format_RGB32 ||
                               image.format() == QImage::Format_ARGB32 ||
                               image.format() == QImage::Format_ARGB32_Premultiplied
                           ? image
                           : image.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int stride = rowBytes(w, bitCount);
    const int offset = kFileHeaderSize + kInfoHeaderSize;
    const qint64 size = offset + qint64(stride) * h;
    QByteArray out(size, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, quint32(size));
    put32(out, 10, offset);
    put32(out, 14, kInfoHeaderSize);
    put32(out, 18, quint32(w));
    put32(out, 22, quint32(h));
    put16(out, 26, 1);
    put16(out, 28, quint16(bitCount));
    put32(out, 30, kBiRgb);
    put32(out, 34, quint32(qint64(stride) * h));
    for (int row = 0; row < h; ++row) {
        const auto* in = reinterpret_cast<const QRgb*>(img.constScanLine(h - 1 - row));
        auto* dst = reinterpret_cast<uchar*>(out.data()) + offset + qint64(row) * stride;
        for (int x = 0; x < w; ++x) {
            const QRgb px = in[x];
            *dst++ = uchar(qBlue(px));
            *dst++ = uchar(qGreen(px));
            *dst++ = uchar(qRed(px));
            if (bitCount == 32)
                *dst++ = uchar(qAlpha(px));
        }
    }
    return out;
}

} // namespace BmpFile
