#pragma once

#include "GraphicClasses.h"

#include <QList>
#include <QString>
#include <optional>

// Picture file formats by file extension: which graphic class reads a file, and the
// description a file dialog shows for it. "BMP" (TBitmap) is always known.
namespace GraphicFileFormats {

struct Format
{
    QString extension; // without the dot, as registered
    QString description;
    QString className;
    GraphicClasses::Factory create;
};

// Registers a format; an extension already registered (in any letter case) is taken over.
void registerFormat(const QString& extension, const QString& description, const QString& className,
                    GraphicClasses::Factory factory);
// Removes every format of the class.
void unregisterClass(const QString& className);
// The format for a file name's extension, compared without regard to case.
std::optional<Format> findForFile(const QString& fileName);
QList<Format> formats();
// A file dialog filter: all known picture files first, then one entry per format, e.g.
// "All pictures (*.bmp *.png);;Bitmaps (*.bmp);;PNG文件 (*.png)".
QString fileDialogFilter();

} // namespace GraphicFileFormats
