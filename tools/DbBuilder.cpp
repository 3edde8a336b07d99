#include "DbBuilder.h"

#include "Gbk.h"
#include "IdiomLine.h"
#include "Pinyin.h"
#include "PinyinRepair.h"
#include "Readings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <sqlite3.h>

namespace DbBuilder {

namespace {

struct Row
{
    IdiomRecord record;
    QString searchForm; // SPingYin
    QString sortKey;    // the toneless syllables joined
    int line;
};

// The report's columns; a repaired entry that still fails is listed as failing.
const char* kReportHeader = "status\tline\tidiom before\tidiom after\tpinyin before\tpinyin "
                            "after\twhat changed\twhy it fails\n";

[[noreturn]] void fail(const QString& message)
{
    throw Error(message);
}

class Db
{
public:
    explicit Db(const QString& path)
    {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            fail(QStringLiteral("cannot create %1: %2").arg(path, error()));
    }
    ~Db() { sqlite3_close_v2(m_db); }

    void exec(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), error()));
    }
    sqlite3* handle() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3* m_db = nullptr;
};

const char* kSchema = R"sql(
PRAGMA page_size = 4096;
PRAGMA journal_mode = DELETE;
CREATE TABLE ChenYu (
    id       INTEGER PRIMARY KEY,
    ChengYu  TEXT COLLATE NOCASE,
    PingYin  TEXT COLLATE NOCASE,
    SPingYin TEXT COLLATE NOCASE,
    DianGu   TEXT COLLATE NOCASE,
    LiZi     TEXT COLLATE NOCASE,
    Chuchu   TEXT COLLATE NOCASE
);
)sql";

// The meaning search's index: the explanation, example and source cut into trigrams, over the
// rows of ChenYu itself (external content), so no text is stored twice. Merged into one
// segment: the store is never written again, and one segment is the fastest to read.
const char* kMeaningIndex = R"sql(
CREATE VIRTUAL TABLE ChenYuText USING fts5(
    DianGu, LiZi, Chuchu, content = 'ChenYu', content_rowid = 'id', tokenize = 'trigram');
INSERT INTO ChenYuText (ChenYuText) VALUES ('rebuild');
INSERT INTO ChenYuText (ChenYuText) VALUES ('optimize');
)sql";

void checkGbk(const Row& row)
{
    const IdiomRecord& r = row.record;
    const std::pair<const char*, const QString*> fields[] = {
        {"ChengYu", &r.chengYu}, {"PingYin", &r.pingYin}, {"SPingYin", &row.searchForm},
        {"DianGu", &r.dianGu},   {"LiZi", &r.liZi},       {"Chuchu", &r.chuchu}};
    for (const auto& [name, text] : fields)
        if (!Gbk::isGbk(*text))
            fail(QStringLiteral("line %1: %2 does not convert to GBK and back unchanged")
                     .arg(row.line)
                     .arg(QLatin1String(name)));
}

void write(const QString& path, const QList<Row>& rows, qint64& indexMs)
{
    Db db(path);
    db.exec(kSchema);
    db.exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db.handle(),
                           "INSERT INTO ChenYu (id, ChengYu, PingYin, SPingYin, DianGu, LiZi, "
                           "Chuchu) VALUES (?, ?, ?, ?, ?, ?, ?)",
                           -1, &insert, nullptr) != SQLITE_OK)
        fail(db.error());
    int id = 0;
    for (const Row& row : rows) {
        const QByteArray texts[6] = {row.record.chengYu.toUtf8(), row.record.pingYin.toUtf8(),
                                     row.searchForm.toUtf8(),     row.record.dianGu.toUtf8(),
                                     row.record.liZi.toUtf8(),    row.record.chuchu.toUtf8()};
        sqlite3_bind_int(insert, 1, ++id);
        for (int i = 0; i < 6; ++i)
            sqlite3_bind_text(insert, i + 2, texts[i].constData(), int(texts[i].size()),
                              SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            sqlite3_finalize(insert);
            fail(QStringLiteral("line %1: %2").arg(row.line).arg(db.error()));
        }
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    db.exec("CREATE INDEX ChenYu_ChengYu ON ChenYu (ChengYu)");
    db.exec("COMMIT");
    QElapsedTimer indexing;
    indexing.start();
    db.exec(kMeaningIndex);
    // The rebuild and the merge leave free pages behind; the shipped file need not carry them.
    db.exec("VACUUM");
    indexMs = indexing.elapsed();
}

// Writes `bytes` to `path` whole or not at all.
void replaceFile(const QString& path, const QByteArray& bytes)
{
    const QString temp = path + QStringLiteral(".part");
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size() ||
        !out.flush()) {
        out.remove();
        fail(QStringLiteral("cannot write %1: %2").arg(temp, out.errorString()));
    }
    out.close();
    QFile::remove(path);
    if (!QFile::rename(temp, path))
        fail(QStringLiteral("cannot move %1 to %2").arg(temp, path));
}

// One line of the report, tabs and line breaks in the texts made blanks.
QByteArray reportLine(const char* status, int line, const IdiomRecord& before,
                      const PinyinRepair::Outcome& after)
{
    QStringList changes;
    for (const PinyinRepair::Change& c : after.changes)
        changes.append(c.rule + u' ' + c.detail);
    QStringList cells = {QString::fromLatin1(status),
                         QString::number(line),
                         before.chengYu,
                         after.idiom,
                         before.pingYin,
                         after.pinyin,
                         changes.join(QStringLiteral("; ")),
                         after.failure};
    for (QString& cell : cells)
        cell.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    return cells.join(u'\t').toUtf8() + '\n';
}

} // namespace

Report build(const QString& sourcePath, const QString& dbPath, const Options& options)
{
    Readings readings;
    if (!options.readingsPath.isEmpty()) {
        QString error;
        if (!readings.load(options.readingsPath, &error))
            fail(error);
    }

    QFile in(sourcePath);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(sourcePath, in.errorString()));
    const QByteArray bytes = in.readAll();

    Report report;
    QList<Row> rows;
    QByteArray repairs = kReportHeader;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = int(i + 1);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString line = utf8.decode(lines[i]);
        if (utf8.hasError())
            fail(QStringLiteral("line %1: not UTF-8 text").arg(lineNo));
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<IdiomRecord> record = IdiomLine::parse(line);
        if (!record) {
            report.skippedLines.append(lineNo);
            continue;
        }
        const PinyinRepair::Outcome pinyin =
            PinyinRepair::check(record->chengYu, record->pingYin, readings);
        for (const PinyinRepair::Change& c : pinyin.changes)
            ++report.rules[c.rule];
        if (!pinyin.failure.isEmpty()) {
            ++report.failing;
            repairs += reportLine("failing", lineNo, *record, pinyin);
        } else if (!pinyin.changes.isEmpty()) {
            ++report.repaired;
            repairs += reportLine("repaired", lineNo, *record, pinyin);
        }
        Row row{*record, Pinyin::searchForm(pinyin.pinyin), {}, lineNo};
        row.record.chengYu = pinyin.idiom;
        row.record.pingYin = pinyin.pinyin;
        row.sortKey = row.searchForm.section(QLatin1Char(' '), 0, 0);
        checkGbk(row);
        rows.append(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.sortKey < b.sortKey; });

    const QString temp = dbPath + QStringLiteral(".part");
    QFile::remove(temp);
    try {
        write(temp, rows, report.indexMs);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    QFile::remove(dbPath);
    if (!QFile::rename(temp, dbPath))
        fail(QStringLiteral("cannot move %1 to %2").arg(temp, dbPath));
    if (!options.reportPath.isEmpty())
        replaceFile(options.reportPath, repairs);
    report.rows = int(rows.size());
    return report;
}

} // namespace DbBuilder
