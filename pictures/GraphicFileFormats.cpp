#include "GraphicFileFormats.h"

#include "TBitmap.h"

#include <QFileInfo>
#include <QStringList>

namespace {

QList<GraphicFileFormats::Format>& registry()
{
    static QList<GraphicFileFormats::Format> formats{
        {QStringLiteral("BMP"), QStringLiteral("Bitmaps"), QStringLiteral("TBitmap"),
         [] { return std::make_unique<TBitmap>(); }}};
    return formats;
}

} // namespace

namespace GraphicFileFormats {

void registerFormat(const QString& extension, const QString& description, const QString& className,
                    GraphicClasses::Factory factory)
{
    auto& r = registry();
    r.removeIf(
        [&](const Format& f) { return f.extension.compare(extension, Qt::CaseInsensitive) == 0; });
    r.append({extension, description, className, std::move(factory)});
}

void unregisterClass(const QString& className)
{
    registry().removeIf([&](const Format& f) { return f.className == className; });
}

std::optional<Format> findForFile(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix();
    if (ext.isEmpty())
        return std::nullopt;
    for (const Format& f : registry()) {
        if (f.extension.compare(ext, Qt::CaseInsensitive) == 0)
            return f;
    }
    return std::nullopt;
}

QList<Format> formats()
{
    return registry();
}

QString fileDialogFilter()
{
    QStringList all;
    QStringList entries;
    for (const Format& f : registry()) {
        const QString pattern = QStringLiteral("*.") + f.extension.toLower();
        all.append(pattern);
        entries.append(QStringLiteral("%1 (%2)").arg(f.description, pattern));
    }
    entries.prepend(QStringLiteral("All pictures (%1)").arg(all.join(QLatin1Char(' '))));
    return entries.join(QStringLiteral(";;"));
}

} // namespace GraphicFileFormats
