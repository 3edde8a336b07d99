#pragma once

#include "TGraphic.h"

#include <QImage>

// Bits per pixel of a bitmap. pfDevice is the screen's own format; like every format below 32
// bits it is opaque. A pf32bit bitmap's fourth byte is an alpha byte.
enum TPixelFormat : quint8
{
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
};

// A bitmap graphic over a QImage. The pixels are held as 32-bit RGB for every pixel format
// but pf32bit, which holds premultiplied ARGB. New pixels (a new bitmap, a larger size) are
// white. Drawn as a plain pixel copy: the alpha byte of a pf32bit bitmap is not used, except
// that a transparent bitmap leaves out the pixels of its transparent colour (its bottom-left
// pixel's). Streams hold bitmap files: pf32bit is written with 32 bits per pixel and straight
// alpha, every other format with 24.
class TBitmap : public TGraphic
{
public:
    TBitmap();
    // A bitmap of `image`'s pixels; below pf32bit any alpha is dropped.
    explicit TBitmap(const QImage& image, TPixelFormat format = pf24bit);
    ~TBitmap() override;

    QString className() const override;
    std::unique_ptr<TGraphic> newInstance() const override;

    int width() const override;
    int height() const override;
    void setWidth(int value) override;
    void setHeight(int value) override;
    void setSize(int width, int height);
    bool empty() const override;

    TPixelFormat pixelFormat() const { return m_pixelFormat; }
    // Converts the pixels: to pf32bit they become opaque, from it the alpha is dropped.
    void setPixelFormat(TPixelFormat value);
    // True for pf32bit only: the one format with an alpha byte.
    bool hasAlphaByte() const { return m_pixelFormat == pf32bit; }

    // The pixels: Format_RGB32, or Format_ARGB32_Premultiplied for pf32bit.
    const QImage& image() const { return m_image; }
    void setImage(const QImage& image, TPixelFormat format);
    // The colour a transparent bitmap leaves out: its bottom-left pixel's.
    QRgb transparentColor() const;

    void draw(QPainter& canvas, const QRect& rect) const override;
    // Reads one bitmap file from the current position; an empty stream gives an empty bitmap.
    // Throws EInvalidGraphic for data that is not a bitmap file.
    void loadFromStream(QIODevice& stream) override;
    // Writes a bitmap file; an empty bitmap writes nothing.
    void saveToStream(QIODevice& stream) const override;

    void assign(const TGraphic& source) override;

    // Takes the clipboard's image. A bitmap prepared as pf32bit stays pf32bit; otherwise the
    // bitmap becomes pf32bit for an image with alpha and pf24bit for one without.
    void loadFromClipboard(const QMimeData& data) override;
    void saveToClipboard(QMimeData& data) const override;

private:
    static QImage normalised(const QImage& image, TPixelFormat format);

    QImage m_image;
    QSize m_size{0, 0}; // kept apart: a bitmap 0 pixels wide still has a height
    TPixelFormat m_pixelFormat = pfDevice;
};
