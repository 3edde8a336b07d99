#include "DbQuery.h"

#include "DbConnection.h"
#include "Exception.h"
#include "Gbk.h"
#include "JetDialect.h"

#include <sqlite3.h>

#include <future>
#include <mutex>
#include <optional>
#include <utility>

namespace {

struct Statement
{
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

bool onlySpace(const char* tail)
{
    for (; tail && *tail; ++tail)
        if (!QChar::isSpace(uchar(*tail)) && *tail != ';')
            return false;
    return true;
}

} // namespace

DbQuery::DbQuery(QObject* parent) : QObject(parent) {}

void DbQuery::setSql(const QString& statement)
{
    close();
    m_sql = statement;
}

void DbQuery::close()
{
    m_active = false;
    m_fields.clear();
    m_lastFieldIndex = -1;
    m_madeColumn.clear();
    m_madeTexts.clear();
    // The room is kept for the next result: filling fresh memory costs more than reading the
    // rows (a result of the whole store is about 9 MB).
    m_data.clear();
    m_offsets.resize(0);
    m_rowCount = 0;
    m_row = 0;
}

// Runs a select and reads every row, reusing the room of `data` and `offsets`; the error text
// instead when the engine or the program's rules turn it away.
DbQuery::Result DbQuery::read(sqlite3* db, const QString& statement, ResultText data,
                              QList<qsizetype> offsets)
{
    Result r;
    const QString translated = JetDialect::toSqlite(statement);
    // The program only ever reads: anything but a select is turned away before the engine.
    if (!translated.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive)) {
        r.error = QStringLiteral("The idiom store is read-only.");
        return r;
    }
    const QByteArray text = translated.toUtf8();
    Statement s;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s.stmt, &tail) != SQLITE_OK)
        r.error = QString::fromUtf8(sqlite3_errmsg(db));
    else if (!s.stmt)
        r.error = QStringLiteral("The statement is empty.");
    else if (!onlySpace(tail))
        r.error = QStringLiteral("Only one statement can be run at a time.");
    else if (!sqlite3_stmt_readonly(s.stmt))
        r.error = QStringLiteral("The idiom store is read-only.");
    if (!r.error.isEmpty())
        return r;

    const int columns = sqlite3_column_count(s.stmt);
    for (int c = 0; c < columns; ++c)
        r.fields.append(QString::fromUtf8(sqlite3_column_name(s.stmt, c)));
    data.clear();
    offsets.resize(0);
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            offsets.append(data.size());
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, c));
            if (p)
                data.append(p, sqlite3_column_bytes(s.stmt, c));
        }
        ++r.rows;
    }
    if (rc != SQLITE_DONE) {
        r.error = QString::fromUtf8(sqlite3_errmsg(db));
        return r;
    }
    offsets.append(data.size());
    r.data = std::move(data);
    r.offsets = std::move(offsets);
    return r;
}

namespace {

// The one result being read ahead, if any.
struct ReadAhead
{
    QString connectionString;
    QString statement;
    std::future<DbQuery::Result> result;
};

std::mutex s_readAheadLock;
std::optional<ReadAhead> s_readAhead;

} // namespace

void DbQuery::readAhead(const QString& connectionString, const QString& statement,
                        const QString& column)
{
    const QString path = DbConnection::dataSource(connectionString);
    auto result = std::async(std::launch::async, [path, statement, column] {
        Result r;
        sqlite3* db = nullptr;
        if (DbConnection::isStoreFile(path) &&
            sqlite3_open_v2(path.toUtf8().constData(), &db,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK &&
            // One pass over the rows: a small page cache is as good, and new memory is dear.
            sqlite3_exec(db, "PRAGMA query_only = ON; PRAGMA cache_size = 64", nullptr, nullptr,
                         nullptr) == SQLITE_OK)
            r = read(db, statement, {}, {});
        else
            r.error = QStringLiteral("not read ahead");
        sqlite3_close(db);
        // Making 30,000 strings costs about as much as reading the rows: done here too.
        const int field = column.isEmpty() || !r.error.isEmpty() ? -1 : findField(r.fields, column);
        if (field >= 0) {
            r.madeColumn = column;
            r.madeTexts = texts(r.data, r.offsets, r.fields.size(), r.rows, field);
        }
        return r;
    });
    const std::lock_guard lock(s_readAheadLock);
    s_readAhead = ReadAhead{connectionString, statement, std::move(result)};
}

void DbQuery::open()
{
    close();
    if (!m_connection || !m_connection->connected()) {
        const QString why = m_connection ? m_connection->lastOpenError() : QString();
        throw EDatabaseError(why.isEmpty()
                                 ? QStringLiteral("成语数据库没有打开，无法查询。")
                                 : QStringLiteral("成语数据库没有打开，无法查询：%1").arg(why));
    }
    Result r;
    std::optional<ReadAhead> ahead;
    {
        const std::lock_guard lock(s_readAheadLock);
        if (s_readAhead && s_readAhead->statement == m_sql &&
            s_readAhead->connectionString == m_connection->connectionString())
            ahead = std::exchange(s_readAhead, std::nullopt);
    }
    // A result read ahead without error is the same rows, from the same read-only file; any
    // error is left for the statement to meet here again, on the store's own connection.
    if (ahead)
        r = ahead->result.get();
    if (!ahead || !r.error.isEmpty())
        r = read(m_connection->handle(), m_sql, std::exchange(m_data, {}),
                 std::exchange(m_offsets, {}));
    if (!r.error.isEmpty())
        throw EDatabaseError(r.error);

    m_fields = std::move(r.fields);
    m_madeColumn = std::move(r.madeColumn);
    m_madeTexts = std::move(r.madeTexts);
    m_data = std::move(r.data);
    m_offsets = std::move(r.offsets);
    m_rowCount = r.rows;
    m_row = 0;
    m_active = true;
}

void DbQuery::first()
{
    m_row = 0;
}

void DbQuery::next()
{
    if (m_row < m_rowCount)
        ++m_row;
}

int DbQuery::findField(const QStringList& fields, const QString& name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DbQuery::fieldIndex(const QString& name) const
{
    if (m_lastFieldIndex >= 0 && name == m_lastFieldName)
        return m_lastFieldIndex;
    const int i = findField(m_fields, name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(objectName(), name));
    m_lastFieldName = name;
    m_lastFieldIndex = i;
    return i;
}

namespace {

QByteArrayView cellOf(const ResultText& data, const QList<qsizetype>& offsets, qsizetype i)
{
    const qsizetype length = offsets[i + 1] - offsets[i];
    // A result of empty cells only has no text memory at all.
    if (length == 0)
        return {};
    return QByteArrayView(data.constData() + offsets[i], length);
}

} // namespace

QByteArrayView DbQuery::cell(int field) const
{
    if (m_row >= m_rowCount)
        return {};
    return cellOf(m_data, m_offsets, qsizetype(m_row) * m_fields.size() + field);
}

QStringList DbQuery::texts(const ResultText& data, const QList<qsizetype>& offsets,
                           qsizetype fieldCount, int rows, int field)
{
    QStringList values;
    values.reserve(rows);
    for (int row = 0; row < rows; ++row)
        values.append(QString::fromUtf8(cellOf(data, offsets, row * fieldCount + field)));
    return values;
}

QString DbQuery::fieldAsString(const QString& name) const
{
    return QString::fromUtf8(cell(fieldIndex(name)));
}

QByteArray DbQuery::fieldAsGbk(const QString& name) const
{
    return Gbk::fromUnicode(fieldAsString(name));
}

qint64 DbQuery::fieldAsInteger(const QString& name) const
{
    return cell(fieldIndex(name)).toByteArray().toLongLong();
}

QStringList DbQuery::column(const QString& name)
{
    m_row = m_rowCount; // read to the end, as a loop over the rows would leave it
    if (m_rowCount == 0)
        return {};
    const int field = fieldIndex(name);
    if (!m_madeColumn.isEmpty() && findField(m_fields, m_madeColumn) == field) {
        m_madeColumn.clear();
        return std::exchange(m_madeTexts, {});
    }
    return texts(m_data, m_offsets, m_fields.size(), m_rowCount, field);
}
