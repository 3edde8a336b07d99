#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace AppPaths {

static QString& override()
{
    static QString path;
    return path;
}

QString executableFile()
{
    if (!override().isEmpty())
        return override();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString besideProgram(const QString& relativePath)
{
    const QString exe = executableFile();
    return exe.left(exe.lastIndexOf(QLatin1Char('/')) + 1) + relativePath;
}

void setExecutableFileForTests(const QString& path)
{
    override() = path;
}

static bool usableXdgRuntimeDir()
{
    const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !dir.isEmpty() && QFileInfo(dir).isDir();
}

QString runtimeDir()
{
    if (usableXdgRuntimeDir())
        return qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::tempPath();
}

QString runtimeFile(const QString& name)
{
    if (usableXdgRuntimeDir())
        return runtimeDir() + QLatin1Char('/') + name;
    return QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('.') +
           QString::number(::getuid());
}

} // namespace AppPaths
