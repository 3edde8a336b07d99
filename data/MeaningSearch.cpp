#include "MeaningSearch.h"

#include "Exception.h"

#include <QSet>
#include <sqlite3.h>

namespace {

class Statement
{
public:
    Statement(sqlite3* db, const char* sql) : m_db(db)
    {
        if (!db)
            throw EDatabaseError(QStringLiteral("成语数据库没有打开，无法查询。"));
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            raise();
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QByteArray& text)
    {
        sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            raise();
        return false;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                 sqlite3_column_bytes(m_stmt, column));
    }

private:
    [[noreturn]] void raise() { throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(m_db))); }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// An FTS5 query that takes `needle` as one literal phrase in the given columns.
QByteArray phrase(const char* columns, const QString& needle)
{
    QString quoted = needle;
    quoted.replace(u'"', QLatin1String("\"\""));
    return QByteArray(columns) + " : \"" + quoted.toUtf8() + '"';
}

void collect(Statement& s, QSet<qint64>& seen, QStringList& out)
{
    while (s.step()) {
        if (!seen.contains(s.integer(0))) {
            seen.insert(s.integer(0));
            out.append(s.text(1));
        }
    }
}

} // namespace

bool MeaningSearch::hasIndex(sqlite3* db)
{
    Statement s(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'ChenYuText'");
    return s.step();
}

QStringList MeaningSearch::find(sqlite3* db, const QString& needle)
{
    QStringList out;
    if (needle.isEmpty())
        return out;
    QSet<qint64> seen;
    // A trigram index finds nothing shorter than three characters.
    if (needle.toUcs4().size() >= 3 && hasIndex(db)) {
        const char* sql = "SELECT c.id, c.ChengYu FROM ChenYuText JOIN ChenYu AS c "
                          "ON c.id = ChenYuText.rowid WHERE ChenYuText MATCH ?1 "
                          "ORDER BY ChenYuText.rank, c.id";
        for (const char* columns : {"{DianGu}", "{LiZi Chuchu}"}) {
            Statement s(db, sql);
            s.bind(1, phrase(columns, needle));
            collect(s, seen, out);
        }
        return out;
    }
    Statement s(db, "SELECT id, ChengYu FROM ChenYu WHERE instr(DianGu, ?1) > 0 "
                    "OR instr(LiZi, ?1) > 0 OR instr(Chuchu, ?1) > 0 "
                    "ORDER BY coalesce(instr(DianGu, ?1), 0) = 0, id");
    s.bind(1, needle.toUtf8());
    collect(s, seen, out);
    return out;
}
