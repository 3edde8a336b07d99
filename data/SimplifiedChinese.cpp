#include "SimplifiedChinese.h"

#include <opencc.h>

namespace {

// Opened once, on first use, and kept for the life of the process.
opencc_t converter()
{
    static const opencc_t handle = opencc_open("t2s.json");
    return handle;
}

} // namespace

QString SimplifiedChinese::fromTraditional(const QString& text)
{
    const opencc_t handle = converter();
    if (handle == reinterpret_cast<opencc_t>(-1) || text.isEmpty())
        return text;
    const QByteArray utf8 = text.toUtf8();
    char* converted = opencc_convert_utf8(handle, utf8.constData(), size_t(utf8.size()));
    if (!converted)
        return text;
    const QString result = QString::fromUtf8(converted);
    opencc_convert_utf8_free(converted);
    return result;
}
