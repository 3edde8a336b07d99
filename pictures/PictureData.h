#pragma once

#include <QByteArray>

// The picture data that window layouts carry: one byte n, the graphic's class name in n ASCII
// bytes, then the graphic's own data to the end (for a PNG picture, a whole PNG file).
namespace PictureData {

struct Parts
{
    QByteArray className;
    QByteArray graphicData;
    bool operator==(const Parts&) const = default;
};

// Splits picture data. Throws EReadError when the class name is cut short. Empty data gives
// empty parts (no class).
Parts split(const QByteArray& data);

// Joins a class name and a graphic's data. Throws EWriteError for a name longer than 255
// bytes or one that is not ASCII.
QByteArray join(const QByteArray& className, const QByteArray& graphicData);

} // namespace PictureData
