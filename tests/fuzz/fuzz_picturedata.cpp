// Any window-layout picture data and any graphic stream: loading never crashes; what loads
// has a sane size and can be drawn and saved again.
#include "GraphicUnits.h"
#include "TGraphic.h"
#include "TPicture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char arg0[] = "fuzz_picturedata";
    static char* argv[] = {arg0, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    static GraphicUnits units; // the PNG class, as at the program's start
    (void)app;

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The first byte picks the reader: layout picture data, or a class's own stream.
    const bool layout = size > 0 && (data[0] & 1);
    TPicture picture;
    try {
        if (layout) {
            picture.setLayoutData(bytes.mid(1));
        } else {
            const QByteArray name = (size > 0 && (data[0] & 2)) ? "TnxPNGImage" : "TBitmap";
            const QByteArray wrapped = char(name.size()) + name + bytes.mid(1);
            picture.setLayoutData(wrapped);
        }
    } catch (const std::exception&) {
        return 0; // refused with an error: fine
    }
    if (picture.empty())
        return 0;
    if (picture.width() <= 0 || picture.height() <= 0)
        std::abort();
    if (qint64(picture.width()) * picture.height() > 4096 * 4096)
        return 0; // a huge but valid picture: not worth drawing here
    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    try {
        picture.graphic()->draw(p, QRect(0, 0, 64, 64));
        (void)picture.layoutData();
    } catch (const std::exception&) {
    }
    return 0;
}
