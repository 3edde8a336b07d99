// Any update text: parsing never crashes, and what it accepts has a valid version and an
// address of an allowed kind.
#include "UpdateText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto a =
        UpdateText::parse(text, QUrl(QStringLiteral("file:///site/SiteBack/updateTxt/18.txt")));
    if (!a)
        return 0;
    if (!UpdateText::isValidVersion(a->version))
        std::abort();
    const QString scheme = a->address.scheme();
    if (!a->address.isEmpty() && scheme != QLatin1String("http") &&
        scheme != QLatin1String("https") && scheme != QLatin1String("file"))
        std::abort();
    (void)UpdateText::compareVersions(a->version, QStringLiteral("1.0.0"));
    return 0;
}
