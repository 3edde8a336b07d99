#include "AppTitle.h"

QString appTitle()
{
    return QStringLiteral("Wenquell");
}
