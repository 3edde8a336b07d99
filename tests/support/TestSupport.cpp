#include "TestSupport.h"

#include "AppPaths.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

DialogRecorder::DialogRecorder() : m_previous(MessageDialogs::currentRecorder())
{
    MessageDialogs::setRecorder(
        [this](MessageDialogs::Kind kind, const QString& caption, const QString& text) {
            m_shown.append({kind, caption, text});
            if (m_openMs > 0) {
                QEventLoop open;
                QTimer::singleShot(m_openMs, &open, &QEventLoop::quit);
                open.exec();
            }
        });
}

DialogRecorder::~DialogRecorder()
{
    MessageDialogs::setRecorder(m_previous);
}

QStringList DialogRecorder::lines() const
{
    QStringList out;
    for (const Shown& s : m_shown)
        out.append(s.caption + QLatin1Char('|') + s.text);
    return out;
}

AppDir::AppDir(const QString& database)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("data"));
    if (!database.isEmpty())
        QFile::copy(database, databasePath());
    QFile(databasePath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    AppPaths::setExecutableFileForTests(m_dir.path() + QStringLiteral("/wenquell"));
}

AppDir::~AppDir()
{
    AppPaths::setExecutableFileForTests({});
}

void AppDir::writeDatabase(const QByteArray& bytes)
{
    QFile f(databasePath());
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

BannerModuleOn::BannerModuleOn() : m_previous(qgetenv("WENQUELL_BANNER_MODULE"))
{
    qputenv("WENQUELL_BANNER_MODULE", WQ_BANNER_MODULE);
}

BannerModuleOn::~BannerModuleOn()
{
    qputenv("WENQUELL_BANNER_MODULE", m_previous);
}
