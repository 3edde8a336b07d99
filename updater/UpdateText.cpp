#include "UpdateText.h"

#include <QList>
#include <QRegularExpression>
#include <QStringDecoder>

namespace UpdateText {

bool isValidVersion(const QString& version)
{
    static const QRegularExpression re(QStringLiteral("^\\d{1,6}(\\.\\d{1,6}){0,3}$"));
    return re.match(version).hasMatch();
}

int compareVersions(const QString& a, const QString& b)
{
    const QStringList pa = a.split(QLatin1Char('.'));
    const QStringList pb = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(pa.size(), pb.size()); ++i) {
        const int x = i < pa.size() ? pa[i].toInt() : 0;
        const int y = i < pb.size() ? pb[i].toInt() : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

static bool acceptableAddress(const QUrl& url)
{
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                             scheme == QLatin1String("file"));
}

std::optional<Announcement> parse(const QByteArray& bytes, const QUrl& source)
{
    if (bytes.isEmpty() || bytes.size() > kMaxSize)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8); // a leading BOM is skipped
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || text.contains(QChar(0)))
        return std::nullopt;

    Announcement a;
    QString address;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return std::nullopt; // not our format
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        for (const QChar c : value)
            if (c.category() == QChar::Other_Control)
                return std::nullopt;
        if (key == QLatin1String("version"))
            a.version = value;
        else if (key == QLatin1String("address"))
            address = value;
    }
    if (!isValidVersion(a.version))
        return std::nullopt;
    if (!address.isEmpty()) {
        const QUrl url = source.resolved(QUrl(address));
        if (!acceptableAddress(url))
            return std::nullopt;
        a.address = url;
    }
    return a;
}

} // namespace UpdateText
