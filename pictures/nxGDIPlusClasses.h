#pragma once

#include "TGraphic.h"
#include "nxGDIPlusAPI.h"

#include <memory>
#include <vector>

class TBitmap;

// 32-bit pixels, rows top first; in memory each is blue, green, red, alpha.
using TnxRGBColors = std::vector<quint32>;

// Objects the image library allocates and frees with its own allocator.
class TnxGPBase
{
public:
    virtual ~TnxGPBase();
    static void* operator new(std::size_t size);
    static void operator delete(void* block);
};

// An image of the library: either decoded from data (then its pixel buffer is empty) or built
// from pixels (then the library's image refers to the buffer, which lives as long as it).
class TnxGPImage : public TnxGPBase
{
public:
    TnxGPImage();
    ~TnxGPImage() override;

    static std::unique_ptr<TnxGPImage> create();

    // Frees the library's image and the pixel buffer.
    virtual void release();
    // Decodes everything from the stream's position to its end, from a private copy.
    virtual void decodeFromStream(QIODevice& stream);
    virtual void buildFromBitmap(const TBitmap& bitmap);
    // `pixels` must hold width x height premultiplied pixels; without alpha they are made
    // opaque.
    virtual void buildFromPixels(int width, int height, bool hasAlpha, TnxRGBColors pixels);
    // Fewer than 14 bytes left: no content; a bitmap file: read as a bitmap; anything else:
    // decoded.
    virtual void buildFromStream(QIODevice& stream);
    // A copy of another image: from its pixel buffer when that is filled, else by the
    // library's clone.
    virtual void buildFromImage(const TnxGPImage& other);
    // The image as a 32-bit bitmap (premultiplied, over transparent black); an image without
    // content gives an empty bitmap.
    virtual std::unique_ptr<TBitmap> toBitmap() const;

    GpImage* handle() const { return m_handle; }
    const TnxRGBColors& pixels() const { return m_pixels; }
    // The library's dimensions truncated toward zero; 0 x 0 without content.
    QSize size() const;

protected:
    TnxRGBColors m_pixels;
    GpImage* m_handle = nullptr;
};

// The image made while the library is unusable: it never has content. Allocated from ordinary
// memory, as the library's allocator is not there.
class TnxGPNullImage : public TnxGPImage
{
public:
    static std::unique_ptr<TnxGPImage> create();
    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    void decodeFromStream(QIODevice& stream) override;
    void buildFromBitmap(const TBitmap& bitmap) override;
    void buildFromPixels(int width, int height, bool hasAlpha, TnxRGBColors pixels) override;
    void buildFromStream(QIODevice& stream) override;
    void buildFromImage(const TnxGPImage& other) override;
};

// The class new images are made of: TnxGPNullImage until start-up finds the library usable.
using TnxGPImageClass = std::unique_ptr<TnxGPImage> (*)();
TnxGPImageClass nxGPImageClass();
void setNxGPImageClass(TnxGPImageClass imageClass);
// The library's PNG encoder, looked up at start-up; empty while the library is unusable.
QByteArray nxPngEncoder();

// The PNG graphic: decodes, holds, draws blended by its alpha channel and re-encodes a PNG
// image. Always transparent; its size is the image's and cannot be set.
class TnxPNGImage : public TGraphic
{
public:
    TnxPNGImage();
    ~TnxPNGImage() override;

    QString className() const override;
    std::unique_ptr<TGraphic> newInstance() const override;

    int width() const override;
    int height() const override;
    void setWidth(int value) override;
    void setHeight(int value) override;
    bool empty() const override;
    bool transparent() const override;
    void setTransparent(bool value) override;

    // The whole image into `rect`, blended over what the canvas holds.
    void draw(QPainter& canvas, const QRect& rect) const override;
    // A stream with nothing left empties the graphic; see TnxGPImage::buildFromStream.
    void loadFromStream(QIODevice& stream) override;
    // Writes a PNG file; without an image nothing is written.
    void saveToStream(QIODevice& stream) const override;

    // From a bitmap, or another PNG image (an empty one empties this one).
    void assign(const TGraphic& source) override;
    // To another PNG image, or to a bitmap (32 bits per pixel).
    bool assignTo(TGraphic& dest) const override;

    // Through a bitmap prepared as 32 bits per pixel.
    void loadFromClipboard(const QMimeData& data) override;
    // The image drawn on white.
    void saveToClipboard(QMimeData& data) const override;

    // True when both have the same size and, unless one is empty, the same pixels.
    bool comparePixels(const TnxPNGImage& other) const;
    std::unique_ptr<TBitmap> toBitmap() const;
    void assignBitmap(const TBitmap& bitmap);
    void drawTo(QPainter& canvas, const QRect& dst) const;
    // Draws `src` of the image into `dst`. Enlarged, one column (row) fewer of the source is
    // used, so that the last one is not blended with nothing; nothing is drawn where the
    // destination is not visible.
    void drawTo(QPainter& canvas, const QRect& dst, const QRect& src) const;
    void drawOn(GpGraphics* graphics, const QRect& dst, const QRect& src) const;

    const TnxGPImage* image() const { return m_image.get(); }

private:
    TnxRGBColors pixelBuffer() const;

    std::unique_ptr<TnxGPImage> m_image;
};

// Start-up of this module: new images are null images; if the library is usable, the PNG
// encoder is looked up, images become library images and TnxPNGImage is registered for
// picture data and for the extension "PNG". Registers the undoing with the units loader.
void nxGDIPlusClassesInitialization(const GpCodecList& codecs);
