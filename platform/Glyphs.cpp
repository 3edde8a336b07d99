#include "Glyphs.h"

QIcon Glyphs::icon(const char* name)
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name)), QSize(16, 16),
                 QIcon::Normal);
    icon.addFile(QStringLiteral(":/glyphs/%1_disabled.png").arg(QLatin1String(name)), QSize(16, 16),
                 QIcon::Disabled);
    return icon;
}
