#pragma once

#include "AppPaths.h"

#include "MessageDialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Records the program's message boxes instead of showing them, for as long as it lives; then
// the recorder that was there before takes over again.
class DialogRecorder
{
public:
    struct Shown
    {
        MessageDialogs::Kind kind;
        QString caption;
        QString text;
    };

    DialogRecorder();
    ~DialogRecorder();

    const QList<Shown>& shown() const { return m_shown; }
    // Each box shown as "caption|text", in order.
    QStringList lines() const;
    void clear() { m_shown.clear(); }
    // Each box then stays open this long, events going on behind it as behind a modal box.
    void keepOpenFor(int ms) { m_openMs = ms; }

private:
    QList<Shown> m_shown;
    int m_openMs = 0;
    MessageDialogs::Recorder m_previous;
};

// A directory laid out like the program's own: <dir>/wenquell and <dir>/data/EduData.db.
// The windows created while it lives take it for the executable's directory.
class AppDir
{
public:
    // `database`: a file to copy in as data/EduData.db; empty for none.
    explicit AppDir(const QString& database = QStringLiteral(WQ_FIXTURE_DB));
    ~AppDir();

    QString path() const { return m_dir.path(); }
    QString databasePath() const { return m_dir.path() + u'/' + AppPaths::StoreFile; }
    // Replaces data/EduData.db by the given bytes.
    void writeDatabase(const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
};

QByteArray fileBytes(const QString& path);

// While it lives, main windows are made with the banner, from the build's banner module.
class BannerModuleOn
{
public:
    BannerModuleOn();
    ~BannerModuleOn();

private:
    QByteArray m_previous;
};
