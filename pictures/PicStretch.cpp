#include "PicStretch.h"

#include <algorithm>

namespace {

const QRgb kWhite = 0xFFFFFFFF;

QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kWhite);
    return img;
}

// Copies `count` columns of `src` starting at `srcX` to `dst` starting at `dstX`, row for row;
// whatever falls outside either image is skipped.
void copyColumns(QImage& dst, const QImage& src, int srcX, int dstX, int count)
{
    const int rows = std::min(dst.height(), src.height());
    for (int i = 0; i < count; ++i) {
        const int sx = srcX + i;
        const int dx = dstX + i;
        if (sx < 0 || sx >= src.width() || dx < 0 || dx >= dst.width())
            continue;
        for (int y = 0; y < rows; ++y)
            reinterpret_cast<QRgb*>(dst.scanLine(y))[dx] =
                reinterpret_cast<const QRgb*>(src.constScanLine(y))[sx];
    }
}

// Fills dst's columns [from, to) with src's column `srcX`, row for row.
void repeatColumn(QImage& dst, const QImage& src, int srcX, int from, int to)
{
    if (srcX < 0 || srcX >= src.width())
        return;
    from = std::max(from, 0);
    to = std::min(to, dst.width());
    const int rows = std::min(dst.height(), src.height());
    for (int y = 0; y < rows; ++y) {
        const QRgb px = reinterpret_cast<const QRgb*>(src.constScanLine(y))[srcX];
        QRgb* line = reinterpret_cast<QRgb*>(dst.scanLine(y));
        std::fill(line + std::min(from, to), line + to, px);
    }
}

void copyRows(QImage& dst, const QImage& src, int srcY, int dstY, int count)
{
    const int cols = std::min(dst.width(), src.width());
    for (int i = 0; i < count; ++i) {
        const int sy = srcY + i;
        const int dy = dstY + i;
        if (sy < 0 || sy >= src.height() || dy < 0 || dy >= dst.height())
            continue;
        std::copy_n(reinterpret_cast<const QRgb*>(src.constScanLine(sy)), cols,
                    reinterpret_cast<QRgb*>(dst.scanLine(dy)));
    }
}

void repeatRow(QImage& dst, const QImage& src, int srcY, int from, int to)
{
    if (srcY < 0 || srcY >= src.height())
        return;
    for (int y = std::max(from, 0); y < std::min(to, dst.height()); ++y)
        copyRows(dst, src, srcY, y, 1);
}

// `src` scaled by nearest pixel onto the whole of `dst`.
void scaleInto(QImage& dst, const QImage& src)
{
    if (src.width() < 1 || src.height() < 1)
        return;
    for (int y = 0; y < dst.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(
            src.constScanLine(PicStretch::nearestSource(y, dst.height(), src.height())));
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
        for (int x = 0; x < dst.width(); ++x)
            out[x] = in[PicStretch::nearestSource(x, dst.width(), src.width())];
    }
}

QImage horizontalPass(const QImage& g, int w, THorzStretchType mode)
{
    QImage a = whiteImage(w, g.height());
    const int gw = g.width();
    const int extra = w - gw;
    switch (mode) {
    case hstNone:
        copyColumns(a, g, 0, 0, gw);
        break;
    case hstAll:
        scaleInto(a, g);
        break;
    case hstLeft:
        repeatColumn(a, g, 0, 0, extra);
        copyColumns(a, g, 0, extra, gw);
        break;
    case hstMiddle: {
        const int half = gw / 2;
        copyColumns(a, g, 0, 0, half);
        repeatColumn(a, g, half, half, half + extra);
        copyColumns(a, g, half, half + extra, gw - half);
        break;
    }
    case hstRight:
        copyColumns(a, g, 0, 0, gw);
        repeatColumn(a, g, gw - 1, gw, w);
        break;
    }
    return a;
}

QImage verticalPass(const QImage& a, int h, TVertStretchType mode)
{
    QImage f = whiteImage(a.width(), h);
    const int gh = a.height();
    const int gap = h - gh;
    switch (mode) {
    case vstNone:
        copyRows(f, a, 0, 0, gh);
        break;
    case vstAll:
        scaleInto(f, a);
        break;
    case vstTop:
        repeatRow(f, a, 0, 0, gap);
        copyRows(f, a, 0, gap, gh);
        break;
    case vstCenter: {
        const int half = gh / 2;
        copyRows(f, a, 0, 0, half);
        repeatRow(f, a, half, half, half + gap);
        copyRows(f, a, half, half + gap, gh - half);
        break;
    }
    case vstBottom:
        copyRows(f, a, 0, 0, gh);
        repeatRow(f, a, gh - 1, gh, h);
        break;
    }
    return f;
}

} // namespace

namespace PicStretch {

QImage opaquePixels(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        // The stored colour bytes as they are: no unpremultiplying, the alpha byte dropped.
        QImage out(image.size(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = in[x] | 0xFF000000u;
        }
        return out;
    }
    default:
        return image.convertToFormat(QImage::Format_RGB32);
    }
}

int nearestSource(int d, int dstCount, int srcCount)
{
    // Centre of destination pixel d, mapped into the source: (d + 0.5) * src / dst.
    const qint64 s = (qint64(2) * d + 1) * srcCount / (qint64(2) * dstCount);
    return int(std::clamp<qint64>(s, 0, srcCount - 1));
}

QImage stretch(const QImage& picture, QSize target, THorzStretchType horz, TVertStretchType vert)
{
    if (horz == hstNone && vert == vstNone)
        return opaquePixels(picture);
    if (target.width() < 1 || target.height() < 1)
        return QImage();
    return verticalPass(horizontalPass(opaquePixels(picture), target.width(), horz),
                        target.height(), vert);
}

} // namespace PicStretch
