#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
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

// Makes the missing folders of `path`, each private to the user (0700).
static void makePrivateFolders(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString made;
    for (const QString& part : parts) {
        made += QLatin1Char('/') + part;
        ::mkdir(QFile::encodeName(made).constData(), 0700);
    }
}

// Whether a file can be made in `dir`: the only sure test, since root passes access() on
// folders where nothing can be made (/sys, /proc).
static bool canMakeFilesIn(const QString& dir)
{
    const QByteArray probe =
        QFile::encodeName(dir + QStringLiteral("/.wenquell-probe-%1").arg(::getpid()));
    const int fd =
        ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(probe.constData());
    return true;
}

// Every copy of the program of one user decides alike, and the decision does not change when
// something else makes $XDG_RUNTIME_DIR later: so the lock and the socket are always found in
// one folder, and one user never gets two main windows.
static bool usableXdgRuntimeDir()
{
    const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !dir.startsWith(QLatin1Char('/')))
        return false;
    if (!QFileInfo::exists(dir))
        makePrivateFolders(dir);
    return QFileInfo(dir).isDir() && canMakeFilesIn(dir);
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
