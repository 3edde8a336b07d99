#include "ControlsTestSupport.h"

#include "PictureData.h"
#include "TPicture.h"

#include <QPaintEvent>
#include <QWidget>
#include <QtEndian>

namespace {

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

QByteArray chunk(const char* type, const QByteArray& data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    return be32(quint32(data.size())) + body + be32(crc32(body));
}

} // namespace

QByteArray layoutStylePng(const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray ihdr = be32(quint32(img.width())) + be32(quint32(img.height()));
    ihdr.append(char(8)); // bit depth
    ihdr.append(char(6)); // RGBA
    ihdr.append(char(0));
    ihdr.append(char(0));
    ihdr.append(char(0)); // not interlaced
    QByteArray chrm;
    for (quint32 v : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u})
        chrm += be32(v);
    QByteArray phys = be32(3780) + be32(3780);
    phys.append(char(1));

    QByteArray raw;
    for (int y = 0; y < img.height(); ++y) {
        raw.append(char(0)); // filter: none
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            raw.append(char(qRed(line[x])));
            raw.append(char(qGreen(line[x])));
            raw.append(char(qBlue(line[x])));
            raw.append(char(qAlpha(line[x])));
        }
    }
    const QByteArray zlib = qCompress(raw).mid(4); // qCompress prefixes the length

    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) +
           chunk("sRGB", QByteArray(1, '\0')) + chunk("gAMA", be32(45455)) + chunk("cHRM", chrm) +
           chunk("pHYs", phys) + chunk("IDAT", zlib) + chunk("IEND", QByteArray());
}

QRgb positionColor(int x, int y)
{
    return qRgb(6 * x, 6 * y, 100);
}

QImage positionImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, positionColor(x, y));
    }
    return img;
}

QImage solidImage(int w, int h, QRgb color)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(color);
    return img;
}

QByteArray pngPictureData(const QByteArray& png)
{
    return PictureData::join("TnxPNGImage", png);
}

void setPngPicture(TPicture& picture, const QImage& image)
{
    picture.setLayoutData(pngPictureData(layoutStylePng(image)));
}

QImage screenOf(QWidget* widget)
{
    QWidget* top = widget->window();
    const QImage all = top->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(QRect(widget->mapTo(top, QPoint(0, 0)), widget->size()));
}

PaintCounter::PaintCounter(QWidget* widget) : QObject(widget)
{
    widget->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint)
        m_rects.append(static_cast<QPaintEvent*>(event)->rect());
    return false;
}
