#pragma once

#include <QByteArray>
#include <QImage>

// Device-independent bitmap files (.bmp). 24- and 32-bit files are read and written here byte
// for byte, so that a 32-bit file's fourth byte survives as the alpha byte; other depths and
// compressions are read through Qt's reader.
namespace BmpFile {

struct Decoded
{
    QImage image;     // Format_RGB32, or Format_ARGB32 holding a 32-bit file's bytes unchanged
    int bitCount = 0; // bits per pixel as the file states them
};

// The size of the file whose first bytes are `head` (at least 14), from its file header; -1
// when `head` does not start a bitmap file.
qint64 fileSize(const QByteArray& head);

// Reads a whole file. Throws EInvalidGraphic for anything that is not a readable bitmap.
Decoded decode(const QByteArray& file);

// Writes `image` as an uncompressed bottom-up file of 24 or 32 bits per pixel; at 32 the four
// bytes of each pixel are written as the image stores them (blue, green, red, alpha).
QByteArray encode(const QImage& image, int bitCount);

} // namespace BmpFile
