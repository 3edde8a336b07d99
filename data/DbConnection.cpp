#include "DbConnection.h"

#include "Exception.h"

#include <QFile>
#include <QTime>
#include <random>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const QString kJetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

// Reads a "key=value;key=value" string. A value may be quoted with " or ' (the quote doubled
// inside it) so that it can hold ';' or keep its outer blanks.
QString setting(const QString& connectionString, const QString& key)
{
    const QString& s = connectionString;
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype eq = s.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            return {};
        const QString name = s.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        while (j < s.size() && s[j] == QLatin1Char(' '))
            ++j;
        QString value;
        if (j < s.size() && (s[j] == QLatin1Char('"') || s[j] == QLatin1Char('\''))) {
            const QChar quote = s[j++];
            while (j < s.size()) {
                if (s[j] == quote) {
                    if (j + 1 < s.size() && s[j + 1] == quote) {
                        value += quote;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += s[j++];
            }
            while (j < s.size() && s[j] != QLatin1Char(';'))
                ++j;
        } else {
            const qsizetype stop = s.indexOf(QLatin1Char(';'), j);
            const qsizetype end = stop < 0 ? s.size() : stop;
            value = s.mid(j, end - j).trimmed();
            j = end;
        }
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
        i = j + 1;
    }
    return {};
}

// Jet's Rnd: the next number of a generator seeded once per connection.
void jetRnd(sqlite3_context* ctx, int, sqlite3_value**)
{
    auto* gen = static_cast<std::mt19937_64*>(sqlite3_user_data(ctx));
    sqlite3_result_double(ctx, std::uniform_real_distribution<double>(0.0, 1.0)(*gen));
}

// Jet's Time(): the current time of day, which Jet holds as a fraction of a day.
void jetTime(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QTime now = QTime::currentTime();
    sqlite3_result_double(ctx, now.msecsSinceStartOfDay() / 86400000.0);
}

void deleteGenerator(void* p)
{
    delete static_cast<std::mt19937_64*>(p);
}

} // namespace

DbConnection::DbConnection(QObject* parent) : QObject(parent) {}

DbConnection::~DbConnection()
{
    close();
}

void DbConnection::setConnectionString(const QString& text)
{
    m_connectionString = text;
}

QString DbConnection::quoteValue(const QString& value)
{
    const bool plain = !value.contains(QLatin1Char(';')) && !value.startsWith(QLatin1Char('"')) &&
                       !value.startsWith(QLatin1Char('\'')) && value == value.trimmed();
    if (plain)
        return value;
    QString inner = value;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString DbConnection::dataSource(const QString& connectionString)
{
    return setting(connectionString, QStringLiteral("Data Source"));
}

bool DbConnection::isStoreFile(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

void DbConnection::fail(const QString& message)
{
    m_lastOpenError = message;
    throw EDatabaseError(message);
}

void DbConnection::open()
{
    if (m_db)
        return;
    const QString provider = setting(m_connectionString, QStringLiteral("Provider"));
    if (provider.compare(kJetProvider, Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("The provider '%1' is not available.").arg(provider));
    const QString path = dataSource(m_connectionString);
    if (path.isEmpty())
        fail(QStringLiteral("The connection string names no database file."));

    if (!isStoreFile(path))
        fail(QStringLiteral("Cannot open the database file '%1': %2.")
                 .arg(path, QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN))));

    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    int rc =
        sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    // Opening is lazy: reading the schema is what finds a file that is no database.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA query_only = ON; SELECT count(*) FROM sqlite_schema;",
                          nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString why =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        fail(QStringLiteral("Cannot open the database file '%1': %2.").arg(path, why));
    }
    sqlite3_busy_timeout(db, 2000);
    auto* gen = new std::mt19937_64(std::random_device{}());
    sqlite3_create_function_v2(db, "jet_rnd", -1, SQLITE_UTF8, gen, jetRnd, nullptr, nullptr,
                               deleteGenerator);
    // Like Jet, which evaluates Time() once per statement: a constant for SQLite, so that a
    // statement over every row (the game's deal) reads the clock once, not once a row.
    sqlite3_create_function_v2(db, "jet_time", 0, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               jetTime, nullptr, nullptr, nullptr);
    m_db = db;
    m_lastOpenError.clear();
}

void DbConnection::close()
{
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

QString DbConnection::forFile(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + quoteValue(path) +
           QStringLiteral(";Persist Security Info=False");
}
