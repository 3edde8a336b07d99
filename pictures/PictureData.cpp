#include "PictureData.h"

#include "TGraphic.h"

namespace PictureData {

Parts split(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    const int n = quint8(data[0]);
    if (data.size() < 1 + n) {
        throw EReadError(
            QStringLiteral("Picture data is cut short: its class name needs %1 bytes, %2 follow")
                .arg(n)
                .arg(data.size() - 1));
    }
    return {data.mid(1, n), data.mid(1 + n)};
}

QByteArray join(const QByteArray& className, const QByteArray& graphicData)
{
    if (className.size() > 255)
        throw EWriteError(
            QStringLiteral("Graphic class name too long: %1 bytes").arg(className.size()));
    for (char c : className) {
        if (quint8(c) > 0x7F)
            throw EWriteError(QStringLiteral("Graphic class name is not ASCII"));
    }
    QByteArray out;
    out.reserve(1 + className.size() + graphicData.size());
    out.append(char(className.size()));
    out.append(className);
    out.append(graphicData);
    return out;
}

} // namespace PictureData
