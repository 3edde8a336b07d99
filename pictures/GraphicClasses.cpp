#include "GraphicClasses.h"

#include "TBitmap.h"

#include <QList>
#include <utility>

namespace {

QList<std::pair<QString, GraphicClasses::Factory>>& registry()
{
    static QList<std::pair<QString, GraphicClasses::Factory>> classes{
        {QStringLiteral("TBitmap"), [] { return std::make_unique<TBitmap>(); }}};
    return classes;
}

qsizetype indexOf(const QString& className)
{
    const auto& r = registry();
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (r[i].first == className)
            return i;
    }
    return -1;
}

} // namespace

namespace GraphicClasses {

void registerClass(const QString& className, Factory factory)
{
    const qsizetype i = indexOf(className);
    if (i >= 0)
        registry()[i].second = std::move(factory);
    else
        registry().append({className, std::move(factory)});
}

void unregisterClass(const QString& className)
{
    const qsizetype i = indexOf(className);
    if (i >= 0)
        registry().removeAt(i);
}

bool isRegistered(const QString& className)
{
    return indexOf(className) >= 0;
}

QStringList registeredClasses()
{
    QStringList names;
    for (const auto& c : registry())
        names.append(c.first);
    return names;
}

std::unique_ptr<TGraphic> create(const QString& className)
{
    const qsizetype i = indexOf(className);
    return i >= 0 ? registry()[i].second() : nullptr;
}

} // namespace GraphicClasses
