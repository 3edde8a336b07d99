#include "SimplifiedChinese.h"

#include <opencc.h>

#include <QLibrary>

namespace {

// OpenCC is opened with its converter, by the first conversion, rather than linked: start-up
// does not load it at all.
struct Converter
{
    decltype(&opencc_convert_utf8) convert = nullptr;
    decltype(&opencc_convert_utf8_free) release = nullptr;
    opencc_t handle = reinterpret_cast<opencc_t>(-1); // OpenCC's own "no converter"
};

Converter openConverter()
{
    Converter c;
    QLibrary library(QStringLiteral(WENQUELL_OPENCC_LIBRARY));
    library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!library.load())
        return c;
    const auto open = reinterpret_cast<decltype(&opencc_open)>(library.resolve("opencc_open"));
    c.convert =
        reinterpret_cast<decltype(&opencc_convert_utf8)>(library.resolve("opencc_convert_utf8"));
    c.release = reinterpret_cast<decltype(&opencc_convert_utf8_free)>(
        library.resolve("opencc_convert_utf8_free"));
    if (open && c.convert && c.release)
        c.handle = open("t2s.json");
    return c;
}

// Opened once, on first use, and kept for the life of the process.
const Converter& converter()
{
    static const Converter c = openConverter();
    return c;
}

} // namespace

QString SimplifiedChinese::fromTraditional(const QString& text)
{
    const Converter& c = converter();
    if (c.handle == reinterpret_cast<opencc_t>(-1) || text.isEmpty())
        return text;
    const QByteArray utf8 = text.toUtf8();
    char* converted = c.convert(c.handle, utf8.constData(), size_t(utf8.size()));
    if (!converted)
        return text;
    const QString result = QString::fromUtf8(converted);
    c.release(converted);
    return result;
}
