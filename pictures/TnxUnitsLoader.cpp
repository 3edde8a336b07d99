#include "TnxUnitsLoader.h"

#include <QList>
#include <utility>

namespace {

QList<std::pair<QString, TnxUnitsLoader::ExitProc>>& units()
{
    static QList<std::pair<QString, TnxUnitsLoader::ExitProc>> list;
    return list;
}

} // namespace

void TnxUnitsLoader::registerUnit(const QString& unitName, ExitProc exitProc)
{
    units().append({unitName, std::move(exitProc)});
}

void TnxUnitsLoader::finalizeUnits()
{
    auto list = std::exchange(units(), {});
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        try {
            if (it->second)
                it->second();
        } catch (...) {
            // The run is ending; the other modules still get to undo their work.
        }
    }
}

QStringList TnxUnitsLoader::registeredUnits()
{
    QStringList names;
    for (const auto& u : units())
        names.append(u.first);
    return names;
}
