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

QIcon Glyphs::programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/wenquell-%1.png").arg(size), QSize(size, size));
    return icon;
}
