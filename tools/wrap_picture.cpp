// Turns a PNG file into the picture data of a window layout, as the program's windows load
// their pictures: wrap_picture <graphic class> <in.png> <out>
//   TnxPNGImage: the PNG file as it is;  TBitmap: the picture as a 24-bit .bmp file.

#include "PictureData.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: wrap_picture <graphic class> <in.png> <out>\n");
        return 2;
    }
    const QByteArray className = argv[1];
    QFile in(QString::fromLocal8Bit(argv[2]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "wrap_picture: cannot read %s\n", argv[2]);
        return 1;
    }
    QByteArray data = in.readAll();
    if (className == "TBitmap") {
        QImage image;
        if (!image.loadFromData(data, "PNG")) {
            std::fprintf(stderr, "wrap_picture: %s is no PNG file\n", argv[2]);
            return 1;
        }
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        image.convertToFormat(QImage::Format_RGB888).save(&bmp, "BMP");
        data = bmp.data();
    }
    QFile out(QString::fromLocal8Bit(argv[3]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(PictureData::join(className, data)) < 0) {
        std::fprintf(stderr, "wrap_picture: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
