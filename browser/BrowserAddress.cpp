#include "BrowserAddress.h"

#include "Exception.h"

QUrl browserAddress(const QString& URL)
{
    const QString text = URL.trimmed();
    const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text);
    const bool needsHost = url.scheme() == QLatin1String("http") ||
                           url.scheme() == QLatin1String("https") ||
                           url.scheme() == QLatin1String("ftp");
    if (text.isEmpty() || !url.isValid() || url.isRelative() || (needsHost && url.host().isEmpty()))
        throw Exception(QStringLiteral("The browser cannot open the address \"%1\".").arg(URL));
    return url;
}
