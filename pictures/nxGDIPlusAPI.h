#pragma once

#include "Exception.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSizeF>
#include <cstddef>

class QPainter;

// The image library that PNG pictures go through: Qt's image codecs decode and encode, and
// QPainter blends by alpha. Every call that fails raises EGDIPlusError, whose text names this
// module and the line of the failing call.

// "Invalid operation in GDI+ (nxGDIPlusAPI, line N)".
class EGDIPlusError : public Exception
{
public:
    explicit EGDIPlusError(int line);
    int line() const { return m_line; }

private:
    int m_line;
};

// An image held by the library: decoded from data, or built over a caller's pixel buffer.
struct GpImage;
// Drawing on a painter through the library.
struct GpGraphics;

// What the codec layer offers: the formats it decodes and the MIME types it encodes.
struct GpCodecList
{
    QList<QByteArray> decoders;
    QList<QByteArray> encoderMimeTypes;
};
// The codecs Qt has installed.
GpCodecList gpInstalledCodecs();

// Makes the library usable, once (later calls return the first answer until it is unloaded):
// PNG must be among `codecs`' decoders and encoders, and a small RGBA picture must come back
// from an encode and decode unchanged.
bool gpLoadLibrary(const GpCodecList& codecs);
// Undoes gpLoadLibrary; the library may be loaded again afterwards.
void gpUnloadLibrary();
bool gpLibraryUsable();
// The encoder for a MIME type, compared without regard to case: the codec format name that
// writes it; empty when the library is unusable or has no such encoder.
QByteArray gpFindEncoder(const QByteArray& mimeType, const GpCodecList& codecs);

// The library's allocator, with a count of the blocks it has handed out and not taken back.
void* gpAlloc(std::size_t size);
void gpFree(void* block);
qsizetype gpLiveBlocks();

// Decodes a whole image file held in memory.
GpImage* gpCreateBitmapFromStream(const QByteArray& data);
// An image of w x h premultiplied ARGB pixels over `scan0` (stride bytes apart), which must
// outlive the image: the image refers to the buffer, it does not copy it.
GpImage* gpCreateBitmapFromScan0(int width, int height, int stride, quint32* scan0);
GpImage* gpCloneImage(const GpImage* image);
void gpDisposeImage(GpImage* image);
QSizeF gpGetImageDimension(const GpImage* image);
// Encodes the image with `encoder` (a name from gpFindEncoder).
QByteArray gpSaveImageToStream(const GpImage* image, const QByteArray& encoder);
// The image as 32-bit premultiplied ARGB pixels composed over `background`.
QImage gpCreateHBITMAPFromBitmap(const GpImage* image, QRgb background);

GpGraphics* gpCreateFromHDC(QPainter& painter);
void gpDeleteGraphics(GpGraphics* graphics);
// True when any part of `rect` (in the painter's coordinates) lies on the device and inside
// the painter's clip.
bool gpIsVisibleRect(const GpGraphics* graphics, const QRect& rect);
// Draws `src` of the image into `dst`, blended over what is there by the image's alpha.
void gpDrawImageRectRect(GpGraphics* graphics, const GpImage* image, const QRect& dst,
                         const QRect& src);

// Start-up and exit of this module: registers its exit (unloading the library) with the
// units loader.
void nxGDIPlusAPIInitialization();
