#pragma once

#include <QObject>
#include <QString>

struct sqlite3;

// The connection to the idiom store. It takes the connection string the program was designed
// with ("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=...;Persist Security Info=False"); the
// Jet provider is served here by SQLite, and the file is always opened read-only.
class DbConnection : public QObject
{
    Q_OBJECT
public:
    explicit DbConnection(QObject* parent = nullptr);
    ~DbConnection() override;

    QString connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text);
    bool loginPrompt() const { return m_loginPrompt; }
    void setLoginPrompt(bool on) { m_loginPrompt = on; }

    // Opens the store named by the connection string. Raises EDatabaseError with the engine's
    // description, which names the file, when the file is missing, unreadable or not a database.
    void open();
    // Closing a closed connection does nothing.
    void close();
    bool connected() const { return m_db != nullptr; }

    // Why the last open() failed; empty after a successful one.
    QString lastOpenError() const { return m_lastOpenError; }

    // A value as it must stand in a connection string: quoted when it holds ';' or quotes, or
    // begins or ends with a blank; unchanged otherwise.
    static QString quoteValue(const QString& value);
    // The connection string the program opens a store file with.
    static QString forFile(const QString& path);
    // The database file of a connection string; empty when it names none.
    static QString dataSource(const QString& connectionString);
    // Whether the path names a regular file (or a link to one). Anything else (a FIFO, a
    // device, a folder) is not opened at all: opening a FIFO would wait for a writer forever.
    static bool isStoreFile(const QString& path);

    sqlite3* handle() const { return m_db; }

private:
    void fail(const QString& message);

    QString m_connectionString;
    bool m_loginPrompt = false;
    sqlite3* m_db = nullptr;
    QString m_lastOpenError;
};
