#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Keeps the exit routines of the modules that did start-up work, and runs them at the end of
// the run in the reverse order of their registration.
class TnxUnitsLoader
{
public:
    using ExitProc = std::function<void()>;

    static void registerUnit(const QString& unitName, ExitProc exitProc);
    // Runs every registered exit routine, last registered first, and forgets them. An exit
    // routine that throws does not stop the ones after it.
    static void finalizeUnits();
    static QStringList registeredUnits();
};
