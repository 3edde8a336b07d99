#include "DbQuery.h"

#include "DbConnection.h"
#include "Exception.h"
#include "Gbk.h"
#include "JetDialect.h"

#include <sqlite3.h>

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
    // The room is kept for the next result: filling fresh memory costs more than reading the
    // rows (a result of the whole store is about 9 MB).
    m_data.resize(0);
    m_offsets.resize(0);
    m_rowCount = 0;
    m_row = 0;
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
    sqlite3* db = m_connection->handle();
    const QString translated = JetDialect::toSqlite(m_sql);
    // The program only ever reads: anything but a select is turned away before the engine.
    if (!translated.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        throw EDatabaseError(QStringLiteral("The idiom store is read-only."));
    const QByteArray text = translated.toUtf8();
    Statement s;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s.stmt, &tail) != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    if (!s.stmt)
        throw EDatabaseError(QStringLiteral("The statement is empty."));
    if (!onlySpace(tail))
        throw EDatabaseError(QStringLiteral("Only one statement can be run at a time."));
    if (!sqlite3_stmt_readonly(s.stmt))
        throw EDatabaseError(QStringLiteral("The idiom store is read-only."));

    const int columns = sqlite3_column_count(s.stmt);
    QStringList fields;
    for (int c = 0; c < columns; ++c)
        fields.append(QString::fromUtf8(sqlite3_column_name(s.stmt, c)));

    QByteArray data = std::exchange(m_data, {});
    QList<qsizetype> offsets = std::exchange(m_offsets, {});
    int rows = 0;
    int rc;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            offsets.append(data.size());
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, c));
            if (p)
                data.append(p, sqlite3_column_bytes(s.stmt, c));
        }
        ++rows;
    }
    if (rc != SQLITE_DONE)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    offsets.append(data.size());

    m_fields = std::move(fields);
    m_data = std::move(data);
    m_offsets = std::move(offsets);
    m_rowCount = rows;
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

int DbQuery::fieldIndex(const QString& name) const
{
    if (m_lastFieldIndex >= 0 && name == m_lastFieldName)
        return m_lastFieldIndex;
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0) {
            m_lastFieldName = name;
            m_lastFieldIndex = i;
            return i;
        }
    throw EDatabaseError(QStringLiteral("%1: Field '%2' not found").arg(objectName(), name));
}

QByteArrayView DbQuery::cell(int field) const
{
    if (m_row >= m_rowCount)
        return {};
    const qsizetype i = qsizetype(m_row) * m_fields.size() + field;
    return QByteArrayView(m_data.constData() + m_offsets[i], m_offsets[i + 1] - m_offsets[i]);
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
    QStringList values;
    values.reserve(m_rowCount);
    for (first(); !eof(); next())
        values.append(fieldAsString(name));
    return values;
}
